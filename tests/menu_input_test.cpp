// The front-end input poll: decisions on release and the kiosk's button pairs.
#include "input/menu_input.h"

#include <functional>
#include <tuple>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/joystick.h"

namespace {
constexpr int None = -1;

class MenuInputTest : public GameTest {
 protected:
  void SetUp() override { GameTest::SetUp(), startVideo(); }
  // Sets a stick's button and polls with an event nobody handles; true: no decision.
  static bool pollWith(int stick, int button, bool down) {
    setFakeButton(stick, button, down), pushKey(SDLK_a, true);
    return pollMenuInput();
  }
  static auto decided() {
    return std::make_tuple(menuInput.selectDevice, menuInput.backDevice, shell.backRequested);
  }
  static void forget() { resetMenuInput(), shell.backRequested = false; }
};
}  // namespace

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  const struct {
    std::function<void()> input;
    bool goOn;
    int select, back;
    bool backRequested;
  } cases[] = {
      {[] { pushKey(SDLK_LCTRL, true), pushKey(SDLK_LALT, true), pushMouseButton(1, true, 1, 1); },
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
  // Presses join; the mouse selects at its old crosshair.
  EXPECT_EQ(std::tie(players[Keyboard].active, players[Mouse].active, players[Mouse].cursorX),
            std::make_tuple(true, true, 320));
  pushMouseMotion(100, 240), pollMenuInput();
  EXPECT_EQ(players[Mouse].lastMoveTime, 0u) << "motion along one axis is no move";
}

// With two sticks the kiosk's second player fires with joystick 2's button 0
// and joystick 1's button 2. One held while the other rests must not decide at
// every poll, or no other device is ever heard; both up make one decision.
TEST_F(MenuInputTest, KioskSecondPlayersButtonPairsActAsOne) {
  shell.kioskMode = true;
  useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0), shell.joystick2 = joystickOpen(1);
  EXPECT_TRUE(pollWith(1, 0, true));
  pushMouseButton(1, false, 5, 5);
  EXPECT_FALSE(pollMenuInput());
  EXPECT_EQ(decided(), std::make_tuple(Mouse, None, false));
  forget();
  EXPECT_TRUE(pollWith(0, 2, true));
  EXPECT_TRUE(pollWith(1, 0, false));
  EXPECT_FALSE(pollWith(0, 2, false));
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, None, false));
}
