// The front-end input poll: decisions on release, Escape, Space, window close,
// the joystick latches and the joystick crosshairs.
#include "input/menu_input.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

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
  // What the last poll decided: select device, back device, back request.
  static auto decided() {
    return std::make_tuple(menuInput.selectDevice, menuInput.backDevice, shell.backRequested);
  }
  static void forget() {
    resetMenuInput();
    shell.backRequested = false;
  }
};
constexpr int None = -1;
}  // namespace

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  const struct {
    std::function<void()> input;
    bool goOn;  // the poll's result: no decision
    int select, back;
    bool backRequested;
  } cases[] = {
      {[] {
         pushKey(SDLK_LCTRL, true), pushKey(SDLK_LALT, true), pushKey(SDLK_SPACE, true);
         pushMouseButton(SDL_BUTTON_LEFT, true, 1, 1);
         pushMouseButton(SDL_BUTTON_RIGHT, true, 1, 1);
       },
       true, None, None, false},
      {[] { pushKey(SDLK_RCTRL, false); }, false, Keyboard, None, false},
      {[] { pushKey(SDLK_RALT, false); }, false, None, Keyboard, true},
      {[] { pushMouseButton(SDL_BUTTON_LEFT, false, 17, 33); }, false, Mouse, None, false},
      {[] { pushMouseButton(SDL_BUTTON_RIGHT, false, 1, 1); }, false, None, Mouse, true},
      {[] { pushMouseButton(SDL_BUTTON_MIDDLE, false, 1, 1); }, true, None, None, false},
      // Space decides without a device; Escape only marks the request.
      {[] { pushKey(SDLK_SPACE, false); }, false, None, None, false},
      {[] { pushKey(SDLK_ESCAPE, false); }, true, None, None, true},
  };
  for (const auto& c : cases) {
    forget();
    c.input();
    EXPECT_EQ(pollMenuInput(), c.goOn);
    EXPECT_EQ(decided(), std::make_tuple(c.select, c.back, c.backRequested));
  }
  // Only the keyboard's presses joined; the left click joined the mouse, which
  // selects at its old crosshair.
  EXPECT_TRUE(players[Keyboard].active);
  EXPECT_EQ(std::tie(players[Mouse].active, players[Mouse].cursorX), std::make_tuple(true, 320));

  // A decision leaves later events queued; a marked request rides on the next.
  pushKey(SDLK_SPACE, false);
  pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(decided(), std::make_tuple(Keyboard, None, true));
  // Cursor keys hold and let go.
  pushKey(SDLK_LEFT, true);
  pushKey(SDLK_DOWN, true);
  pushKey(SDLK_LEFT, false);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(std::tie(arrowHeld[ArrowLeft], arrowHeld[ArrowDown]), std::make_tuple(false, true));
}

TEST_F(MenuInputTest, OnlyDiagonalMouseMotionIsAMoveAndSticksArePolledPerEvent) {
  setFakeTicks(5000);
  pushMouseMotion(100, 240);  // y unchanged
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(std::tie(players[Mouse].cursorX, players[Mouse].active, players[Mouse].lastMoveTime),
            std::make_tuple(100, true, 0u));
  pushMouseMotion(101, 241);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(players[Mouse].lastMoveTime, 5000u);

  openSticks(1);
  setFakeAxis(0, 0, 32767);   // +16 per poll
  setFakeAxis(0, 1, -32768);  // -16 per poll
  EXPECT_TRUE(pollMenuInput());
  EXPECT_FALSE(players[Joystick1].active) << "an empty queue polls no stick";
  pushKey(SDLK_a, true);
  pushKey(SDLK_a, false);
  EXPECT_TRUE(pollMenuInput());
  const Player& j = players[Joystick1];
  EXPECT_EQ(std::tie(j.cursorX, j.cursorY, j.active, j.lastMoveTime),
            std::make_tuple(352, 208, true, 5000u));
}

TEST_F(MenuInputTest, StickButtonsDecideWhenFirstSeenReleased) {
  openSticks(2);
  for (int stick : {0, 1}) {
    const int32_t device = stick ? Joystick2 : Joystick1;
    Player& p = players[device];
    forget();
    setFakeButton(stick, 0, true);
    setFakeButton(stick, 0, false);
    EXPECT_TRUE(pollWithIdleEvent()) << "a press between two polls is not seen";
    EXPECT_FALSE(p.active);
    setFakeButton(stick, 0, true);
    EXPECT_TRUE(pollWithIdleEvent());
    EXPECT_TRUE(p.menuFireHeld && p.active);
    EXPECT_TRUE(pollWithIdleEvent());  // still held: nothing decided
    setFakeButton(stick, 0, false);
    EXPECT_FALSE(pollWithIdleEvent());
    EXPECT_EQ(decided(), std::make_tuple(device, None, false));
    EXPECT_FALSE(p.menuFireHeld);
    EXPECT_TRUE(pollMenuInput());  // the event that came with the decision

    setFakeButton(stick, 1, true);
    EXPECT_TRUE(pollWithIdleEvent());
    EXPECT_TRUE(p.reloadHeld);
    setFakeButton(stick, 1, false);
    EXPECT_FALSE(pollWithIdleEvent());
    EXPECT_EQ(decided(), std::make_tuple(device, device, true));
    EXPECT_FALSE(p.reloadHeld);
  }
}

TEST_F(MenuInputTest, KioskSecondPlayerHasTheRightSideOfStickOneAndItsButtonPairsActAsOne) {
  shell.kioskMode = true;
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_FALSE(players[Joystick2].active) << "no stick, no second player";
  openSticks(1);
  setFakeAxis(0, 3, 3501);   // horizontal: +2
  setFakeAxis(0, 2, -3500);  // vertical: dead zone
  setFakeButton(0, 3, true);
  EXPECT_TRUE(pollWithIdleEvent());
  EXPECT_EQ(std::tie(players[Joystick2].cursorX, players[Joystick2].cursorY,
                     players[Joystick1].cursorX, players[Joystick1].reloadHeld),
            std::make_tuple(322, 240, 320, false));
  setFakeButton(0, 3, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(decided(), std::make_tuple(None, Joystick2, true));

  // With two sticks the second player's fire is joystick 2's button 0 and
  // joystick 1's button 2. One held while the other rests must not decide at
  // every poll, or no other device is ever heard.
  forget();
  openSticks(2);
  setFakeButton(1, 0, true);
  EXPECT_TRUE(pollWithIdleEvent());
  pushMouseButton(SDL_BUTTON_LEFT, false, 5, 5);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Mouse);
  forget();
  EXPECT_TRUE(pollWithIdleEvent());
  // Both held, then one let go: still down. Both up: one decision.
  setFakeButton(0, 2, true);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(1, 0, false);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(0, 2, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, None, false));
  // The second button's pair the same way.
  setFakeButton(0, 3, true);
  setFakeButton(1, 1, true);
  EXPECT_TRUE(pollMenuInput());  // the idle event comes back, and decides nothing
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(0, 3, false);
  EXPECT_TRUE(pollWithIdleEvent());
  setFakeButton(1, 1, false);
  EXPECT_FALSE(pollWithIdleEvent());
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, Joystick2, true));
}

TEST_F(MenuInputTest, EventTakenWithAStickDecisionIsNotLostAndWindowCloseExits) {
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
