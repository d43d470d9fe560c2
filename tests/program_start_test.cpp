// The program-wide records hold their start values before anything resets
// them: the real program never calls the resets that every test relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "weapons/weapons.h"

namespace {
bool samePlayer(const Player& a, const Player& b) {
  return a.cursorX == b.cursorX && a.cursorY == b.cursorY && a.shotX == b.shotX &&
         a.shotY == b.shotY && a.triggerHeld == b.triggerHeld &&
         a.fireRequested == b.fireRequested && a.lastShotTime == b.lastShotTime &&
         a.lastMoveTime == b.lastMoveTime && a.active == b.active && a.shotsFired == b.shotsFired &&
         a.menuFireHeld == b.menuFireHeld && a.reloadHeld == b.reloadHeld &&
         a.emptyClickDone == b.emptyClickDone && a.shotChannel == b.shotChannel &&
         a.reloadChannel == b.reloadChannel;
}

bool sameShell(const ShellState& a, const ShellState& b) {
  return a.screen == b.screen && a.backRequested == b.backRequested && a.kioskMode == b.kioskMode &&
         a.trackerPresent == b.trackerPresent && a.chosenWeapon == b.chosenWeapon &&
         a.chosenLevel == b.chosenLevel && a.video == b.video && a.joystick1 == b.joystick1 &&
         a.joystick2 == b.joystick2;
}

bool sameRound(const RoundState& a, const RoundState& b) {
  return memcmp(&a, &b, sizeof a) == 0;  // int32 fields only: no padding
}

// Runs in a freshly started copy of the test program (see below).
bool startValuesMatchTheResets() {
  const ShellState shellAtStart = shell;
  Player playersAtStart[DeviceCount];
  memcpy(playersAtStart, players, sizeof players);
  const MenuInput menuAtStart = menuInput;
  const RoundState roundAtStart = roundState;
  const int32_t shotsAtStart = totalShots;
  resetGameState();
  return shellAtStart.trackerPresent && shellAtStart.chosenWeapon == SixShooter &&
         shellAtStart.screen == ScreenId::Title && sameShell(shellAtStart, shell) &&
         std::equal(playersAtStart, playersAtStart + DeviceCount, players, samePlayer) &&
         playersAtStart[Mouse].cursorX == 320 && playersAtStart[Tracker].cursorX == -1 &&
         menuAtStart.selectDevice == menuInput.selectDevice &&
         menuAtStart.backDevice == menuInput.backDevice && sameRound(roundAtStart, roundState) &&
         roundAtStart.energy == 100 && shotsAtStart == 0 && totalShots == 0;
}
}  // namespace

TEST(ProgramStart, RecordsHoldTheSameValuesTheirResetsGive) {
  // The thread-safe death test style starts the test program anew for the
  // statement, so no other test has touched the records there.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exit(startValuesMatchTheResets() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}
