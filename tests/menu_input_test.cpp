// The front-end input poll: release semantics, Escape, Space, window close,
// joystick latches and the joystick crosshairs.
#include "input/menu_input.h"

#include <gtest/gtest.h>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/joystick.h"

namespace {
class MenuInputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
  }
  // Opens n fake sticks as start-up would.
  void openSticks(int n) {
    useFakeJoysticks(n);
    if (n >= 1) shell.joystick1 = joystickOpen(0);
    if (n >= 2) shell.joystick2 = joystickOpen(1);
  }
  // One poll that only carries the device readings: an event nobody handles.
  static bool pollWithIdleEvent() {
    pushKey(SDLK_a, true);
    return pollMenuInput();
  }
};

TEST_F(MenuInputTest, EscapeOnlyMarksAndTheNextFireCarriesIt) {
  pushKey(SDLK_ESCAPE, true);
  pushKey(SDLK_ESCAPE, false);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(menuInput.backDevice, -1);

  pushMouseButton(SDL_BUTTON_LEFT, true, 5, 5);
  pushMouseButton(SDL_BUTTON_LEFT, false, 5, 5);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(menuInput.selectDevice, Mouse);
}

TEST_F(MenuInputTest, SpaceDecidesWithoutADeviceLeavingLaterEventsQueued) {
  pushKey(SDLK_SPACE, true);
  EXPECT_TRUE(pollMenuInput());  // the press decides nothing
  pushKey(SDLK_SPACE, false);
  pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, -1);
  EXPECT_FALSE(shell.backRequested);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Keyboard);
}

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  pushKey(SDLK_LCTRL, true);
  pushKey(SDLK_LALT, true);
  pushMouseButton(SDL_BUTTON_LEFT, true, 1, 1);
  pushMouseButton(SDL_BUTTON_RIGHT, true, 1, 1);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_TRUE(players[Keyboard].active);
  EXPECT_FALSE(players[Mouse].active);  // a press alone does not join the mouse
  EXPECT_EQ(menuInput.selectDevice, -1);

  pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Keyboard);

  pushKey(SDLK_RALT, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(menuInput.backDevice, Keyboard);

  shell.backRequested = false;
  pushMouseButton(SDL_BUTTON_RIGHT, false, 1, 1);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(menuInput.backDevice, Mouse);
  EXPECT_FALSE(players[Mouse].active);

  pushMouseButton(SDL_BUTTON_MIDDLE, false, 1, 1);
  pushKey(SDLK_LEFT, true);
  pushKey(SDLK_DOWN, true);
  pushKey(SDLK_LEFT, false);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_FALSE(arrowHeld[ArrowLeft]);
  EXPECT_TRUE(arrowHeld[ArrowDown]);
}

TEST_F(MenuInputTest, ClickSelectsAtTheOldCrosshairAndOnlyDiagonalMotionIsAMove) {
  pushMouseButton(SDL_BUTTON_LEFT, false, 17, 33);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Mouse);
  EXPECT_TRUE(players[Mouse].active);
  EXPECT_EQ(players[Mouse].cursorX, 320);
  players[Mouse].active = false;
  setFakeTicks(5000);
  pushMouseMotion(100, 240);  // y unchanged
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(players[Mouse].cursorX, 100);
  EXPECT_TRUE(players[Mouse].active);
  EXPECT_EQ(players[Mouse].lastMoveTime, 0u);
  pushMouseMotion(101, 241);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(players[Mouse].lastMoveTime, 5000u);
}

TEST_F(MenuInputTest, StickButtonsDecideWhenFirstSeenReleased) {
  openSticks(1);
  setFakeButton(0, 0, true);
  setFakeButton(0, 0, false);
  EXPECT_TRUE(pollWithIdleEvent()) << "a press between two polls is not seen";
  EXPECT_FALSE(players[Joystick1].active);
  setFakeButton(0, 0, true);
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_TRUE(players[Joystick1].menuFireHeld);
  EXPECT_TRUE(players[Joystick1].active);
  EXPECT_TRUE(pollWithIdleEvent());  // still held: nothing decided
  setFakeButton(0, 0, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.selectDevice, Joystick1);
  EXPECT_FALSE(players[Joystick1].menuFireHeld);
  EXPECT_TRUE(pollMenuInput());  // the event that came with the decision

  setFakeButton(0, 1, true);
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_TRUE(players[Joystick1].reloadHeld);
  setFakeButton(0, 1, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(menuInput.backDevice, Joystick1);
  EXPECT_FALSE(players[Joystick1].reloadHeld);
}

TEST_F(MenuInputTest, SecondStickDecidesForDevice4) {
  openSticks(2);
  setFakeButton(1, 0, true);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(1, 0, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.selectDevice, Joystick2);
  EXPECT_FALSE(players[Joystick1].active);
}

// Kiosk mode: axes 3 and 2 and buttons 2 and 3 of the first stick belong to
// the second player.
TEST_F(MenuInputTest, KioskSecondPlayerUsesTheRightSideOfTheFirstStick) {
  shell.kioskMode = true;
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_FALSE(players[Joystick2].active) << "no stick, no second player";
  openSticks(1);
  setFakeAxis(0, 3, 3501);   // horizontal: +2
  setFakeAxis(0, 2, -3500);  // vertical: dead zone
  setFakeButton(0, 3, true);
  advanceFakeClock(13);  // sticks move at most once in any 13 ms
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_EQ(players[Joystick2].cursorX, 322);
  EXPECT_EQ(players[Joystick2].cursorY, 240);
  EXPECT_EQ(players[Joystick1].cursorX, 320);
  EXPECT_TRUE(players[Joystick2].reloadHeld);
  EXPECT_FALSE(players[Joystick1].reloadHeld);
  setFakeButton(0, 3, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.backDevice, Joystick2);
}

TEST_F(MenuInputTest, KioskSecondPlayersTwoButtonPairsActAsOne) {
  // Kiosk mode with two sticks: the second player's fire is joystick 2's
  // button 0 and joystick 1's button 2. One held while the other rests must
  // not decide at every poll, or no other device is ever heard.
  shell.kioskMode = true;
  openSticks(2);
  setFakeButton(1, 0, true);
  EXPECT_TRUE(pollWithIdleEvent());
  pushMouseButton(SDL_BUTTON_LEFT, false, 5, 5);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Mouse);
  menuInput.selectDevice = -1;
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.selectDevice, -1);

  // Both held, then one let go: still down. Both up: one decision.
  setFakeButton(0, 2, true);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(1, 0, false);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(0, 2, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.selectDevice, Joystick2);
  menuInput.selectDevice = -1;
  EXPECT_TRUE(pollMenuInput());  // the idle event comes back, and decides nothing
  EXPECT_EQ(menuInput.selectDevice, -1);

  // The second button's pair the same way.
  setFakeButton(0, 3, true);
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_FALSE(shell.backRequested);
  setFakeButton(0, 3, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(menuInput.backDevice, Joystick2);
}

TEST_F(MenuInputTest, EventTakenWithAStickDecisionIsNotLost) {
  openSticks(1);
  setFakeButton(0, 0, true);
  EXPECT_TRUE(pollWithIdleEvent());
  arrowHeld[ArrowLeft] = true;
  setFakeButton(0, 0, false);
  pushKey(SDLK_LEFT, false);
  pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Joystick1);
  // The key release comes first at the next poll, ahead of the later Ctrl.
  EXPECT_FALSE(pollMenuInput());
  EXPECT_FALSE(arrowHeld[ArrowLeft]);
  EXPECT_EQ(menuInput.selectDevice, Keyboard);
}

TEST_F(MenuInputTest, WindowCloseShutsDownAndExitsWithZero) {
  openSticks(1);
  pushMouseMotion(10, 10);
  pushQuit();
  pushMouseMotion(20, 20);
  try {
    pollMenuInput();
    FAIL() << "window close did not end the program";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.status, 0);
  }
  EXPECT_EQ(players[Mouse].cursorX, 10);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_FALSE(joystickOpened(0));
}

}  // namespace
