// A round's input: the keyboard crosshair's steps and the sampled joysticks.
#include "input/players.h"

#include <tuple>

#include "app/shell.h"
#include "fixture.h"
#include "platform/clock.h"
#include "platform/joystick.h"

namespace {
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
}  // namespace

TEST_F(PlayersTest, CursorKeysStepSixPixelsOnceIn11MsEachCancelTheirOppositeAndClamp) {
  Player& k = players[Keyboard];
  const struct {
    uint32_t after;
    bool right, up, left, down;
    int32_t fromX, fromY, x, y;
  } steps[] = {
      {0, 1, 0, 0, 0, 320, 240, 326, 240},
      {10, 1, 0, 0, 0, 326, 240, 326, 240},
      {1, 1, 1, 0, 0, 326, 240, 332, 234},
      {20, 1, 1, 1, 1, 700, 234, 700, 234},  // opposite keys cancel, leaving it off the screen
      {0, 0, 0, 1, 1, 2, 477, 0, 479},       // clamped as it steps
      {0, 0, 0, 1, 1, 700, -20, 639, 0}};    // and when a key qualifies without stepping
  for (const auto& s : steps) {
    advanceFakeClock(s.after);
    arrowHeld[ArrowRight] = s.right, arrowHeld[ArrowUp] = s.up;
    arrowHeld[ArrowLeft] = s.left, arrowHeld[ArrowDown] = s.down;
    k.cursorX = s.fromX, k.cursorY = s.fromY;
    stepKeyboardCursor();
    EXPECT_EQ(at(k), std::tie(s.x, s.y)) << s.fromX << "," << s.fromY;
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
  const struct {
    int stick, button;
    bool down;
    int32_t triggerHeld;
    bool reloadHeld, reloaded;
  } steps[] = {{0, 2, true, 1, false, false}, {0, 3, true, 1, true, false},
               {1, 1, true, 1, true, false},  {0, 3, false, 1, true, false},
               {1, 0, true, 1, true, false},  {0, 2, false, 1, true, false},
               {1, 1, false, 1, false, true}, {1, 0, false, 0, false, false}};
  for (const auto& s : steps) {
    shell.kioskMode = true;
    if (s.stick == 1 && !shell.joystick2) shell.joystick2 = joystickOpen(1);
    Player& p = players[Joystick2];
    p.shotsFired = 4;
    setFakeButton(s.stick, s.button, s.down);
    pollLater();
    EXPECT_EQ(std::tuple(p.triggerHeld, p.reloadHeld, p.shotsFired == 0, p.active),
              std::tuple(s.triggerHeld, s.reloadHeld, s.reloaded, true))
        << s.stick << " " << s.button << " " << s.down;
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
