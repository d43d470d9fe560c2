// The end of a round: the device tag, qualification and insertion, the result
// line and the hiscore screen that leads to a replay or to the title.
#include "scores/round_end.h"

#include <cstdio>
#include <cstring>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/round.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/signals.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "weapons/weapons.h"

char DeviceTag[6] = "-----";
bool qualified = false;

namespace {
const char* const tableTitles[] = {
    "Garage Hiscore Table", "Tire Store Hiscore Table", "Main Street Hiscore Table",
    "Vivovazor Smoke Shop Hiscore Table", "O'Dorran's Flower Shop Hiscore Table"};

bool ranksAbove(int32_t score, int32_t weapon, int32_t shots, const HiscoreEntry& row) {
  if (score != row.score) return score > row.score;
  if (weapon != row.weapon) return weapon < row.weapon;
  return shots < row.shots;
}

void drawHiscoreScreen() {
  DrawBackdrop(RoundEndBackdrop());
  const int32_t row = ShowHiscoreTable();
  if (!qualified) PrintResultLine(1, row);
  GridPrintF(1, 27, GridPussycat,
             "Press fire to play this level again, or button 2 to go to the title screen");
  flipScreen(shell.video);
}
}  // namespace

void resetRoundEnd() {
  qualified = false;
  memcpy(DeviceTag, "-----", sizeof DeviceTag);
}

void BuildDeviceTag() {
  static const char letters[DeviceCount + 1] = "TMKJJ";
  for (int d = 0; d < DeviceCount; ++d) DeviceTag[d] = players[d].active ? letters[d] : '-';
  DeviceTag[DeviceCount] = '\0';
}

void InsertHiscore(int32_t score, int32_t weapon, const char* name, int32_t shots, int32_t players,
                   const char* devices) {
  int i = 0;
  while (i < HiscoreRows && !ranksAbove(score, weapon, shots, hiscores.rows[i])) ++i;
  if (i == HiscoreRows) return;
  for (int j = HiscoreRows - 1; j > i; --j) {
    const int32_t position = hiscores.rows[j].position;
    hiscores.rows[j] = hiscores.rows[j - 1];
    hiscores.rows[j].position = position;
  }
  SetHiscoreRow(hiscores.rows[i], name, score, weapon, shots, players, devices);
}

int32_t ShowHiscoreTable() {
  const int32_t level = shell.chosenLevel;
  if (level >= 0 && level < LevelCount) GridPrintF(1, 1, GridPussycat, "%s", tableTitles[level]);
  GridPrintF(2, 3, GridPussycat, "Pos.");
  GridPrintF(4, 3, GridPussycat, " Name");
  GridPrintF(18, 3, GridPussycat, "Score");
  GridPrintF(21, 3, GridPussycat, "Gun");
  GridPrintF(28, 3, GridPussycat, "  #Shots");
  GridPrintF(32, 3, GridPussycat, "  #Players");
  for (int i = 0; i < HiscoreRows; ++i) {
    const HiscoreEntry& e = hiscores.rows[i];
    const int32_t row = 5 + i;
    GridPrintF(2, row, GridPussycat, "%d.", e.position);
    GridPrintF(4, row, GridPussycat, " %s", e.name);
    GridPrintF(18, row, GridPussycat, "%d", e.score);
    GridPrintF(21, row, GridPussycat, "%s", weaponName(e.weapon));
    GridPrintF(28, row, GridPussycat, "  %d", e.shots);
    GridPrintF(32, row, GridPussycat, "  %d", e.playerCount);
    GridPrintF(34, row, GridPussycat, "    (%s)", e.devices);
  }
  return 16;
}

int32_t PrintResultLine(int32_t column, int32_t row) {
  const char* outcome = roundState.gangstersLeft <= 0 ? "Round completed." : "You've been shot.";
  return GridPrintF(column, row, GridPussycat,
                    "%s Your score: %d, %s, shots: %d, players: %d (%5s)", outcome,
                    roundState.bodyCount, weaponName(shell.chosenWeapon), totalShots,
                    roundState.playerCount, DeviceTag);
}

int32_t RoundEndBackdrop() { return roundState.gangstersLeft <= 0 ? 2 : 3; }

void RunRoundEnd() {
  // A stop signal from here on waits until the result is stored (the name
  // entry takes it as a cancel); the wait below ends early for it.
  holdStopSignal(true);
  playTitleTune();
  sleepMs(350);
  // Input from the round's last moments must not reach these screens.
  SDL_Event event;
  while (pollEvent(&event))
    if (event.type == SDL_QUIT) requestStop(StopWindowClosed);  // not lost: it ends the game
  BuildDeviceTag();
  PrepareNameEntry();
  // The new row goes into the table now in memory: the file's rows, or, when
  // the file cannot be read, the rows the level starts from. Only a result that
  // beats that table's tenth row is asked for a name, so no name is ever asked
  // for and then left out of the table.
  LoadHiscores(shell.chosenLevel);
  if (roundState.bodyCount > hiscores.rows[HiscoreRows - 1].score) {
    qualified = true;
    RunNameEntry();
  }
  holdStopSignal(false);
  while (pollMenuInput()) drawHiscoreScreen();
  // The action only ends the screen; the next screen starts with no selection.
  menuInput.selectDevice = -1;
  shell.screen = shell.backRequested ? ScreenId::Title : ScreenId::Round;
  shell.backRequested = false;
  RearmRound();
  qualified = false;
}
