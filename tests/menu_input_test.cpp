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
constexpr int None = -1;

class MenuInputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
  }
  void openSticks(int n) {
    useFakeJoysticks(n);
    shell.joystick1 = joystickOpen(0);
    shell.joystick2 = n > 1 ? joystickOpen(1) : nullptr;
  }
  // Sets a stick's button, then polls with an event nobody handles; the poll's
  // result (true: nothing decided).
  static bool pollWith(int stick, int button, bool down) {
    setFakeButton(stick, button, down);
    pushKey(SDLK_a, true);
    return pollMenuInput();
  }
  // What the polls decided: select device, back device, back request.
  static auto decided() {
    return std::make_tuple(menuInput.selectDevice, menuInput.backDevice, shell.backRequested);
  }
  static void forget() {
    resetMenuInput();
    shell.backRequested = false;
  }
};
}  // namespace

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  const struct {
    std::function<void()> input;
    bool goOn;
    int select, back;
    bool backRequested;
  } cases[] = {
      {[] {
         pushKey(SDLK_LCTRL, true), pushKey(SDLK_LALT, true), pushKey(SDLK_SPACE, true);
         pushMouseButton(1, true, 1, 1), pushMouseButton(3, true, 1, 1);
       },
       true, None, None, false},
      {[] { pushKey(SDLK_RCTRL, false); }, false, Keyboard, None, false},
      {[] { pushKey(SDLK_RALT, false); }, false, None, Keyboard, true},
      {[] { pushMouseButton(1, false, 17, 33); }, false, Mouse, None, false},
      {[] { pushMouseButton(3, false, 1, 1); }, false, None, Mouse, true},
      {[] { pushMouseButton(2, false, 1, 1); }, true, None, None, false},
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
  // A Ctrl press joins the keyboard; the click joined the mouse, which selects
  // at its old crosshair.
  EXPECT_EQ(std::tie(players[Keyboard].active, players[Mouse].active, players[Mouse].cursorX),
            std::make_tuple(true, true, 320));
  // A decision leaves later events queued; a marked request rides on the next.
  pushKey(SDLK_SPACE, false), pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(decided(), std::make_tuple(Keyboard, None, true));
  pushKey(SDLK_LEFT, true), pushKey(SDLK_DOWN, true), pushKey(SDLK_LEFT, false);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(std::tie(arrowHeld[ArrowLeft], arrowHeld[ArrowDown]), std::make_tuple(false, true));
}

TEST_F(MenuInputTest, OnlyDiagonalMouseMotionIsAMove) {
  setFakeTicks(5000);
  const Player& m = players[Mouse];
  pushMouseMotion(100, 240);  // y unchanged
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(std::tie(m.cursorX, m.active, m.lastMoveTime), std::make_tuple(100, true, 0u));
  pushMouseMotion(101, 241);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_EQ(m.lastMoveTime, 5000u);
}

TEST_F(MenuInputTest, StickButtonsDecideWhenFirstSeenReleased) {
  openSticks(2);
  for (int stick : {0, 1}) {
    const int32_t device = stick ? Joystick2 : Joystick1;
    const Player& p = players[device];
    forget();
    setFakeButton(stick, 0, true);
    EXPECT_TRUE(pollWith(stick, 0, false)) << "a press between two polls is not seen";
    EXPECT_FALSE(p.active);
    EXPECT_TRUE(pollWith(stick, 0, true));
    EXPECT_TRUE(p.menuFireHeld && p.active);
    EXPECT_TRUE(pollWith(stick, 0, true));
    EXPECT_FALSE(pollWith(stick, 0, false));
    EXPECT_EQ(std::tuple(decided(), p.menuFireHeld),
              std::tuple(std::tuple(device, None, false), false));
    EXPECT_TRUE(pollMenuInput());  // the event that came with the decision
    EXPECT_TRUE(pollWith(stick, 1, true));
    EXPECT_TRUE(p.reloadHeld);
    EXPECT_FALSE(pollWith(stick, 1, false));
    EXPECT_EQ(std::tuple(decided(), p.reloadHeld),
              std::tuple(std::tuple(device, device, true), false));
  }
}

TEST_F(MenuInputTest, KioskSecondPlayerHasTheRightSideOfStickOneAndItsButtonPairsActAsOne) {
  shell.kioskMode = true;
  pushKey(SDLK_a, true);
  EXPECT_TRUE(pollMenuInput());
  EXPECT_FALSE(players[Joystick2].active) << "no stick, no second player";
  openSticks(1);
  setFakeAxis(0, 3, 3501), setFakeAxis(0, 2, -3500);  // two pixels right; the dead zone
  advanceFakeClock(13);  // sticks move at most once in any 13 ms
  EXPECT_TRUE(pollWith(0, 3, true));
  EXPECT_EQ(std::tie(players[Joystick2].cursorX, players[Joystick2].cursorY,
                     players[Joystick1].cursorX, players[Joystick1].reloadHeld),
            std::make_tuple(322, 240, 320, false));
  EXPECT_FALSE(pollWith(0, 3, false));
  EXPECT_EQ(decided(), std::make_tuple(None, Joystick2, true));
  // With two sticks the second player's fire is joystick 2's button 0 and
  // joystick 1's button 2. One held while the other rests must not decide at
  // every poll, or no other device is ever heard.
  forget();
  openSticks(2);
  EXPECT_TRUE(pollWith(1, 0, true));
  pushMouseButton(1, false, 5, 5);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(decided(), std::make_tuple(Mouse, None, false));
  forget();
  // Both held, then one let go: still down. Both up: one decision.
  EXPECT_TRUE(pollWith(0, 2, true));
  EXPECT_TRUE(pollWith(1, 0, false));
  EXPECT_FALSE(pollWith(0, 2, false));
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, None, false));
  // The second button's pair the same way.
  setFakeButton(1, 1, true);
  EXPECT_TRUE(pollWith(0, 3, true));  // the event of the decision comes back first
  EXPECT_TRUE(pollWith(0, 3, false));
  EXPECT_FALSE(pollWith(1, 1, false));
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, Joystick2, true));
}

TEST_F(MenuInputTest, EventTakenWithAStickDecisionIsNotLostAndWindowCloseExits) {
  openSticks(1);
  EXPECT_TRUE(pollWith(0, 0, true));
  arrowHeld[ArrowLeft] = true;
  setFakeButton(0, 0, false);
  pushKey(SDLK_LEFT, false), pushKey(SDLK_RCTRL, false);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(menuInput.selectDevice, Joystick1);
  // The key release comes first at the next poll, ahead of the later Ctrl.
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(std::tie(arrowHeld[ArrowLeft], menuInput.selectDevice),
            std::make_tuple(false, Keyboard));
  pushMouseMotion(10, 10), pushQuit(), pushMouseMotion(20, 20);
  try {
    pollMenuInput();
    ADD_FAILURE() << "window close did not end the program";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.status, 0);
  }
  EXPECT_EQ(players[Mouse].cursorX, 10);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_FALSE(joystickOpened(0));
}
