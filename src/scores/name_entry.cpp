// The name entry: players shoot the keys of an on-screen keyboard with their
// crosshairs; only the devices of the round may type or cancel.
#include "scores/name_entry.h"

#include <SDL.h>

#include <cstring>

#include "app/shell.h"
#include "game/round.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/signals.h"
#include "scores/hiscores.h"
#include "scores/round_end.h"
#include "weapons/weapons.h"

char nameField[NameFieldLength + 1] = "                    .";
int32_t nameCursor = 0;

namespace {
const char emptyField[NameFieldLength + 1] = "                    .";

// Columns 0 to 9 of the key rows 0 to 4; row 5 is the space bar. 0xB4 is the
// acute accent, which the font draws with its own glyph.
const char* const keyRows[5] = {"!&/()=?\xb4+*", "1234567890", "QWERTYUIOP", "ASDFGHJKL#",
                                "ZXCVBNM,.-"};

// Applies one key; true when the entry ends.
bool pressKey(int32_t key) {
  switch (key) {
    case NameKeyNone: return false;
    case NameKeyEnd: return true;
    case NameKeyDelete:
      if (nameCursor > 0) nameField[--nameCursor] = ' ';
      return false;
    default:
      // A character beyond the twentieth ends the entry instead of being added.
      if (nameCursor >= NameMaxLength) return true;
      nameField[nameCursor++] = static_cast<char>(key);
      return false;
  }
}

// Reads the action the poll reported; true when the entry ends.
bool takeAction() {
  const int32_t shooter = menuInput.selectDevice;
  menuInput.selectDevice = -1;
  if (shell.backRequested && NameEntryEligible(menuInput.backDevice)) {
    menuInput.backDevice = -1;
    shell.screen = ScreenId::Title;
    return true;
  }
  if (!NameEntryEligible(shooter)) return false;
  return pressKey(NameKeyAt(players[shooter].cursorX, players[shooter].cursorY));
}

void drawFrame() {
  stepKeyboardCursor();
  DrawBackdrop(RoundEndBackdrop());
  const int32_t row = PrintResultLine(1, ShowHiscoreTable());
  GridPrintF(1, row + 1, GridPussycat,
             "Please enter your name (20 chars) or press button 2 to cancel: %5s", nameField);
  if (pictures.keyboard) {
    SDL_Rect at{17, 335, 0, 0};
    SDL_BlitSurface(pictures.keyboard, nullptr, shell.video, &at);
  }
  DrawCrosshairs();
  flipScreen(shell.video);
}

// Stores the entered name, or "Anonymous" for an empty or cancelled entry.
void storeName() {
  char name[NameMaxLength + 1] = "Anonymous";
  if (nameCursor > 0 && !shell.backRequested) {
    memcpy(name, nameField, static_cast<size_t>(nameCursor));
    name[nameCursor] = '\0';
  }
  InsertHiscore(roundState.bodyCount, shell.chosenWeapon, name, totalShots, roundState.playerCount,
                DeviceTag);
  SaveHiscores(shell.chosenLevel);
  LoadHiscores(shell.chosenLevel);
}
}  // namespace

void PrepareNameEntry() {
  memcpy(nameField, emptyField, sizeof nameField);
  nameCursor = 0;
}

int32_t NameKeyAt(int32_t x, int32_t y) {
  if (x < 18 || x > 237 || y < 336 || y > 455) return NameKeyNone;
  const int32_t column = (x - 18) / 20;
  const int32_t row = (y - 336) / 20;
  if (row == 5) return ' ';
  if (column < 10) return static_cast<unsigned char>(keyRows[row][column]);
  switch (row) {
    case 0: return NameKeyDelete;
    case 3: return '|';
    case 4: return '_';
    default: return NameKeyEnd;
  }
}

bool NameEntryEligible(int32_t device) {
  if (device < 0 || device >= DeviceCount) return false;
  // The tracker never fires on these screens: a tag without any other device
  // could never end the entry, so then every device may type and cancel.
  bool firingDeviceTagged = false;
  for (int d = Mouse; d < DeviceCount; ++d) firingDeviceTagged |= DeviceTag[d] != '-';
  return !firingDeviceTagged || DeviceTag[device] != '-';
}

void RunNameEntry() {
  for (;;) {
    // A stop signal or the closed window ends the entry as a cancel does: the
    // row is stored as "Anonymous" before the program ends.
    if (stopSignal()) {
      shell.backRequested = true;
      break;
    }
    if (!pollMenuInput() && takeAction()) break;
    drawFrame();
  }
  storeName();
}
