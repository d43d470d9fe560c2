// Input: the keyboard crosshair's steps, the sampled joysticks, and the front
// end's decisions on release with the kiosk's button pairs.
#include "input/players.h"

#include <functional>
#include <tuple>

#include "app/shell.h"
#include "fixture.h"
#include "input/menu_input.h"
#include "platform/clock.h"
#include "platform/joystick.h"

namespace {
constexpr int None = -1;
auto at(const Player& p) { return std::make_tuple(p.cursorX, p.cursorY); }

class PlayersTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    useFakeJoysticks(2);
    shell.joystick1 = joystickOpen(0);
  }
  static void pollLater() { advanceFakeClock(13), pollJoysticks(); }
};

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

TEST_F(PlayersTest, CursorKeysStepSixPixelsOnceIn11MsEachCancelTheirOppositeAndClamp) {
  Player& k = players[Keyboard];
  // Milliseconds later, the keys right, up, left and down held, from, to.
  const std::tuple<uint32_t, bool, bool, bool, bool, int32_t, int32_t, int32_t, int32_t> steps[] = {
      {0, 1, 0, 0, 0, 320, 240, 326, 240},
      {10, 1, 0, 0, 0, 326, 240, 326, 240},
      {1, 1, 1, 0, 0, 326, 240, 332, 234},
      {20, 1, 1, 1, 1, 700, 234, 700, 234},  // opposite keys cancel, leaving it off the screen
      {0, 0, 0, 1, 1, 2, 477, 0, 479},       // clamped as it steps
      {0, 0, 0, 1, 1, 700, -20, 639, 0}};    // and when a key qualifies without stepping
  for (auto [after, right, up, left, down, fromX, fromY, x, y] : steps) {
    advanceFakeClock(after);
    arrowHeld[ArrowRight] = right, arrowHeld[ArrowUp] = up;
    arrowHeld[ArrowLeft] = left, arrowHeld[ArrowDown] = down;
    k.cursorX = fromX, k.cursorY = fromY;
    stepKeyboardCursor();
    EXPECT_EQ(at(k), std::tuple(x, y)) << fromX << "," << fromY;
  }
  arrowStepTime[ArrowLeft] = 5000, k.active = true;
  expireIdlePlayers(15000);
  EXPECT_TRUE(k.active) << "the keyboard idles by its keys' steps, for more than 10 s";
}

// Axis readings beyond the dead zone move the crosshair a sixteenth of their
// size, at most once in any 13 ms, clamped to the screen.
TEST_F(PlayersTest, DeadZoneStepsClampingAndPacing) {
  Player& j = players[Joystick1];
  const std::tuple<int16_t, int, int, int> readings[] = {
      {3500, 320, 320, 320},  {-3500, 320, 320, 320}, {3501, 320, 322, 322},
      {-3501, 320, 318, 318}, {32767, 320, 336, 336}, {-32768, 320, 304, 304},
      {32767, 634, 639, 479}, {-32768, 10, 0, 0}};
  for (auto [value, from, x, y] : readings) {
    j.cursorX = j.cursorY = from, j.active = false;
    setFakeAxis(0, 0, value), setFakeAxis(0, 1, value);
    pollLater();
    EXPECT_EQ(std::tuple(j.cursorX, j.cursorY, j.active), std::tuple(x, y, x != from)) << value;
  }
  setFakeAxis(0, 0, 32767), advanceFakeClock(12), pollJoysticks();
  EXPECT_EQ(j.cursorX, 0) << "a poll within 13 ms of the last";
}

// In kiosk mode the second player has the right stick of joystick 1 and its
// buttons 2 and 3; with joystick 2 open as well, a button held on either of a
// pair counts as held, so the magazine refills once, not at every poll.
TEST_F(PlayersTest, ReloadLetsGoOnceAndKioskButtonPairsActAsOne) {
  // Stick, button, down; then trigger held, reload held, refilled, active.
  const std::tuple<int, int, bool, std::tuple<int32_t, bool, bool, bool>> steps[] = {
      {0, 2, true, {1, false, false, true}}, {0, 3, true, {1, true, false, true}},
      {1, 1, true, {1, true, false, true}},  {0, 3, false, {1, true, false, true}},
      {1, 0, true, {1, true, false, true}},  {0, 2, false, {1, true, false, true}},
      {1, 1, false, {1, false, true, true}}, {1, 0, false, {0, false, false, true}}};
  for (auto [stick, button, down, want] : steps) {
    shell.kioskMode = true;
    if (stick == 1 && !shell.joystick2) shell.joystick2 = joystickOpen(1);
    Player& p = players[Joystick2];
    p.shotsFired = 4;
    setFakeButton(stick, button, down);
    pollLater();
    EXPECT_EQ(std::tuple(p.triggerHeld, p.reloadHeld, p.shotsFired == 0, p.active), want)
        << stick << " " << button << " " << down;
  }
  EXPECT_EQ(players[Joystick1].triggerHeld, 0) << "kiosk buttons 2 and 3 are not the first's";
  // The second player's stick: axes 3 and 2 of joystick 1 in kiosk mode.
  setFakeAxis(0, 3, 32767), setFakeAxis(0, 2, -32768);
  setFakeAxis(1, 0, -32768), setFakeAxis(1, 1, 32767);
  for (bool kiosk : {true, false}) {
    resetPlayers();
    shell.kioskMode = kiosk;
    pollLater();
    EXPECT_EQ(at(players[Joystick2]), kiosk ? std::tuple(336, 224) : std::tuple(304, 256));
    EXPECT_EQ(at(players[Joystick1]), std::tuple(320, 240));
  }
}

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  // The input; then whether the poll goes on, the devices that select and go
  // back, and the back request.
  const std::pair<std::function<void()>, std::tuple<bool, int, int, bool>> cases[] = {
      {[] { pushKey(SDLK_LCTRL, true), pushKey(SDLK_LALT, true), pushMouseButton(1, true, 1, 1); },
       {true, None, None, false}},
      {[] { pushKey(SDLK_RCTRL, false); }, {false, Keyboard, None, false}},
      {[] { pushKey(SDLK_RALT, false); }, {false, None, Keyboard, true}},
      {[] { pushMouseButton(1, false, 17, 33); }, {false, Mouse, None, false}},
      {[] { pushMouseButton(3, false, 1, 1); }, {false, None, Mouse, true}},
      {[] { pushMouseButton(2, false, 1, 1); }, {true, None, None, false}},
      // Space decides without a device; Escape only marks the request.
      {[] { pushKey(SDLK_SPACE, false); }, {false, None, None, false}},
      {[] { pushKey(SDLK_ESCAPE, false); }, {true, None, None, true}},
  };
  for (const auto& [input, want] : cases) {
    forget();
    input();
    const bool goOn = pollMenuInput();
    EXPECT_EQ(std::tuple_cat(std::tuple(goOn), decided()), want);
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
