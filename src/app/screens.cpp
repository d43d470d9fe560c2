// The endless screen loop and the five front-end screens: title, story,
// display help, weapon choice and level choice.
#include "app/screens.h"

#include <SDL.h>

#include "app/shell.h"
#include "game/round.h"
#include "gfx/blit.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/events.h"
#include "scores/round_end.h"

// The credit line at the foot of the title, in its two variants.
const char* const CreditLineShort = "  by the Lakeport Nights gang";
const char* const CreditLineLong = "  by the Lakeport Nights gang, tracker code by the wire crew";

namespace {
constexpr int32_t CreditRow = 27;
constexpr int32_t CreditColumnLong = 11;
constexpr int32_t CreditColumnShort = 25;

// A choice picture's place and the area a shot picks it in (both ends inside).
struct ChoiceArea {
  int x, y;           // top-left corner of the picture
  int right, bottom;  // last column and row of the hit area
};

const ChoiceArea weaponAreas[3] = {
    {10, 70, 209, 159},
    {220, 70, 419, 159},
    {430, 70, 629, 159},
};

// The level areas are 90 rows high, two more than the pictures.
const ChoiceArea levelAreas[LevelCount] = {
    {10, 70, 125, 159},  {136, 70, 251, 159}, {262, 70, 377, 159},
    {388, 70, 503, 159}, {514, 70, 629, 159},
};

void print(int32_t column, int32_t row, const char* text) {
  GridPrintF(column, row, GridPussycat, "%s", text);
}

// Prints lines one row apart from (column, row) down.
template <size_t N>
void printLines(int32_t column, int32_t row, const char* const (&lines)[N]) {
  for (const char* line : lines) row = GridPrintF(column, row, GridPussycat, "%s", line);
}

const char* const pressFireToTitle =
    "Press fire to continue, or button 2 to go to the title screen";
const char* const pressFireToExit = "Press fire to continue, or button 2 to exit";

void drawKioskHelp() {
  print(1, 7, "kioskPod version");
  print(1, 9, "This is an one or two player game. The players work collaboratively to master");
  print(1, 10, "each level.");
  print(1, 12, "It is possible to play with up to two joypads (button one fires, button two");
  print(1, 13, "reloads). The second player may join (by pressing a button on his joypad) and");
  print(1, 14, "leave (by doing nothing for ten seconds) at any time.");
  print(1, 16, "Use only for educational purposes.");
  print(1, 18, pressFireToExit);
}

// What start-up found; nothing is probed again.
void drawDeviceReport() {
  print(1, 7, shell.trackerPresent ? "Tracker detected" : "No tracker detected");
  print(1, 8, "Mouse detected");
  print(1, 9, "Keyboard detected");
  const char* sticks = "No joysticks detected";
  if (shell.joystick1) sticks = shell.joystick2 ? "Two joysticks detected" : "Joystick detected";
  print(1, 10, sticks);
  print(1, 12, "It is possible to play using the keyboard (cursor keys move, Ctrl fires, Alt");
  print(1, 13, "reloads), mouse, tracker, and up to two joysticks (button one fires, button two");
  print(1, 14, "reloads with all of these).");
  print(1, 16,
        "All players work collaboratively to master each level. Players can join (by moving");
  print(1, 17, "an input device) and leave (by doing nothing for ten seconds) at any time.");
  print(1, 19, "Use only for educational purposes.");
  print(1, 21, pressFireToExit);
}

// A text screen's end: on to `next`, or back to the title on button 2.
void leaveTextScreen(ScreenId next) {
  shell.screen = shell.backRequested ? ScreenId::Title : next;
  shell.backRequested = false;
}

// The area a point lies in, or -1.
template <size_t N>
int hitArea(const ChoiceArea (&areas)[N], int x, int y) {
  for (size_t i = 0; i < N; ++i) {
    const ChoiceArea& a = areas[i];
    if (x >= a.x && x <= a.right && y >= a.y && y <= a.bottom) return static_cast<int>(i);
  }
  return -1;
}

template <size_t N>
void drawChoicePictures(SDL_Surface* const (&pictureRow)[N], const ChoiceArea (&areas)[N]) {
  for (size_t i = 0; i < N; ++i) {
    SDL_Rect place{static_cast<Sint16>(areas[i].x), static_cast<Sint16>(areas[i].y), 0, 0};
    BlitPicture(pictureRow[i], nullptr, shell.video, &place);
  }
}

enum class ChoiceResult { None, Back, Picked };

// One poll of a choice screen. On a pick, *choice is the area shot at.
template <size_t N>
ChoiceResult pollChoice(const ChoiceArea (&areas)[N], int32_t* choice) {
  if (pollMenuInput()) return ChoiceResult::None;
  int x = -1, y = -1;
  const int32_t device = menuInput.selectDevice;
  if (device >= 0 && device < DeviceCount && players[device].active) {
    x = players[device].cursorX;
    y = players[device].cursorY;
  }
  menuInput.selectDevice = -1;
  if (shell.backRequested) {
    shell.screen = ScreenId::Title;
    shell.backRequested = false;
    return ChoiceResult::Back;
  }
  const int hit = hitArea(areas, x, y);
  if (hit < 0) return ChoiceResult::None;
  *choice = hit;
  return ChoiceResult::Picked;
}

void drawWeaponChoice() {
  static const char* const singleAction[] = {
      "Smith n' Wesson Model 73",
      "Single action revolver.",
      "Manually operated, fires",
      "fairly slowly but",
      "accurately.",
  };
  static const char* const sixShooter[] = {
      "  Colt Navy 1902",
      "  Six shot revolver.",
      "  Semi-automatic, a fast",
      "  and reliable weapon.",
      "  Widely used by",
      "  Metropolitan Police from",
      "  1911 to 1923 all over the",
      "  country.",
      "  Default choice.",
  };
  static const char* const thompson[] = {
      "  1921 Thompson machine gun", "  Forty shots.",
      "  Full automatic. A deadly",  "  weapon on short distances.",
      "  Made famous by Rusty",      "  'Machine Gun' Mahone who",
      "  introduced it to gang",     "  warfare in Lakeport in 1926.",
  };
  stepKeyboardCursor();
  DrawBackdrop(0);
  print(1, 1, "Weapons");
  printLines(1, 10, singleAction);
  printLines(14, 10, sixShooter);
  printLines(27, 10, thompson);
  print(1, 27, "Select a weapon, or press button 2 to go to the title screen");
  drawChoicePictures(pictures.weaponChoice, weaponAreas);
  DrawCrosshairs();
  flipScreen(shell.video);
}

void drawLevelChoice() {
  static const char* const difficulty[] = {
      "The shooting accuracy of the gangsters depends",
      "on the level you choose. The gangster's",
      "shooting frequency stays the same in all levels.",
      "The more players there are, the shorter are",
      "the breaks the gangsters take. That means,",
      "you are going to face more of them at once.",
      "The choice of weapon does not directly influence",
      "the difficulty.",
  };
  stepKeyboardCursor();
  DrawBackdrop(0);
  print(1, 1, "Levels");
  print(1, 10, "Garage (easy)");
  print(9, 10, "Tire Store");
  print(9, 11, "(easy-medium)");
  print(17, 10, "Main Street");
  print(17, 11, "(medium)");
  print(24, 10, "     Smoke Shop");
  print(24, 11, "     (medium-hard)");
  print(32, 10, "     Flower Shop");
  print(32, 11, "     (hard)");
  printLines(1, 13, difficulty);
  print(1, 27, "Select a level, or press button 2 to go to the title screen");
  drawChoicePictures(pictures.levelChoice, levelAreas);
  DrawCrosshairs();
  flipScreen(shell.video);
}
}  // namespace

void runScreenPass() {
  if (shell.screen == ScreenId::Title) runTitleScreen();
  if (shell.screen == ScreenId::Story) runStoryScreen();
  if (shell.screen == ScreenId::DisplayHelp) runDisplayHelpScreen();
  if (shell.screen == ScreenId::WeaponChoice) runWeaponChoiceScreen();
  if (shell.screen == ScreenId::LevelChoice) runLevelChoiceScreen();
  if (shell.screen == ScreenId::Round) RunRound();
  if (shell.screen == ScreenId::RoundEnd) RunRoundEnd();
}

void runScreenLoop() {
  for (;;) runScreenPass();
}

void waitForAction() {
  while (pollMenuInput()) {
  }
}

void runTitleScreen() {
  DrawBackdrop(8);
  if (shell.kioskMode)
    drawKioskHelp();
  else
    drawDeviceReport();
  if (shell.trackerPresent)
    print(CreditColumnLong, CreditRow, CreditLineLong);
  else
    print(CreditColumnShort, CreditRow, CreditLineShort);
  flipScreen(shell.video);
  waitForAction();
  if (shell.backRequested) {
    shutdownGame();
    exitProgram(0);
  }
  shell.screen = ScreenId::Story;
  shell.backRequested = false;
}

void runStoryScreen() {
  static const char* const story[] = {
      "Despite all efforts made by the police,",
      "violence and injustice rule the streets.",
      "There is only one man who can survive gangland,",
      "defend the world and face the gangsters.",
  };
  DrawBackdrop(0);
  printLines(1, 1, story);
  print(1, 6, "Your mission is to shoot as many bad guys as possible,");
  print(1, 7, "but avoid hurting any innocent bystanders.");
  print(1, 27, pressFireToTitle);
  flipScreen(shell.video);
  waitForAction();
  leaveTextScreen(ScreenId::DisplayHelp);
}

void runDisplayHelpScreen() {
  static const char* const help[] = {
      "On the screen during the game there are",
      "several displays. The main action happens in",
      "the center. In the lower left corner is the",
      "body count of all shot gangsters. In the",
      "lower center is your energy level. If this",
      "reaches zero you are dead. The number of",
      "gangsters still to come in the ongoing level",
      "is displayed in the lower right corner of",
      "the screen.",
  };
  DrawBackdrop(0);
  printLines(1, 1, help);
  print(1, 27, pressFireToTitle);
  flipScreen(shell.video);
  waitForAction();
  leaveTextScreen(ScreenId::WeaponChoice);
}

namespace {
// A choice screen: redraws until a back request (to the title) or a pick,
// which sets *chosen and moves on to the next screen.
template <size_t N>
void runChoiceScreen(const ChoiceArea (&areas)[N], int32_t* chosen, ScreenId next, void (*draw)()) {
  for (;;) {
    int32_t choice = 0;
    const ChoiceResult result = pollChoice(areas, &choice);
    if (result == ChoiceResult::Back) return;
    if (result == ChoiceResult::Picked) {
      *chosen = choice;
      shell.screen = next;
      return;
    }
    draw();
  }
}
}  // namespace

void runWeaponChoiceScreen() {
  runChoiceScreen(weaponAreas, &shell.chosenWeapon, ScreenId::LevelChoice, drawWeaponChoice);
}

void runLevelChoiceScreen() {
  runChoiceScreen(levelAreas, &shell.chosenLevel, ScreenId::Round, drawLevelChoice);
}
