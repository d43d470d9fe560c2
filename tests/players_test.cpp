// The five players and the input of a round: events, the keyboard crosshair,
// the sampled joysticks, the idle rule and the crosshairs on screen.
#include "input/players.h"

#include <SDL.h>

#include <cmath>
#include <tuple>

#include "app/shell.h"
#include "fixture.h"
#include "platform/clock.h"
#include "platform/joystick.h"
#include "weapons/weapons.h"

namespace {
// A player's aim, shot point, fire request, held trigger and activity.
auto pullOf(const Player& p) {
  return std::make_tuple(p.cursorX, p.cursorY, p.shotX, p.shotY, p.fireRequested, p.triggerHeld,
                         p.active);
}
auto at(const Player& p) { return std::make_tuple(p.cursorX, p.cursorY); }

int eventsLeft() {
  int n = 0;
  for (SDL_Event e; SDL_PollEvent(&e);) ++n;
  return n;
}

using PlayersTest = GameTest;

class JoystickTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    useFakeJoysticks(2);
    shell.joystick1 = joystickOpen(0);
  }
  // One poll 13 ms after the last one.
  static void pollLater() {
    advanceFakeClock(13);
    pollJoysticks();
  }
};
}  // namespace

TEST_F(PlayersTest, RoundEventsPullMoveSwitchWeaponsAndEndTheRound) {
  startVideo();
  Player &k = players[Keyboard], &m = players[Mouse];
  k.cursorX = 100, k.cursorY = 200, m.shotsFired = 5;
  k.emptyClickDone = m.emptyClickDone = true;
  // A press fires; a weapon key switches on release only; a press alone does
  // not bring the mouse in, nor move its crosshair.
  pushKey(SDLK_LCTRL, true), pushMouseButton(1, true, 33, 44), pushKey(SDLK_3, true);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_EQ(pullOf(k), std::make_tuple(100, 200, 100, 200, 1, 1, true));
  EXPECT_EQ(pullOf(m), std::make_tuple(320, 240, 33, 44, 1, 1, false));
  EXPECT_EQ(shell.chosenWeapon, SixShooter);
  // A release lets go but leaves the pull for the weapon rules; the Thompson
  // fires along the motion only while held; a switch keeps the magazine.
  pushKey(SDLK_RCTRL, false), pushMouseButton(1, false, 50, 60), pushKey(SDLK_3, false);
  pushMouseMotion(70, 80);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_EQ(pullOf(m), std::make_tuple(70, 80, 33, 44, 1, 0, true));
  EXPECT_EQ(std::tie(k.triggerHeld, k.emptyClickDone, m.emptyClickDone, shell.chosenWeapon),
            std::make_tuple(0, false, false, Thompson));
  m.triggerHeld = 1;
  pushMouseMotion(71, 81), pushKey(SDLK_1, false);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_EQ(std::tie(m.shotX, m.shotY, shell.chosenWeapon, m.shotsFired),
            std::make_tuple(71, 81, SingleAction, 5));
  // Cursor keys hold and let go; other keys and the middle button do nothing.
  resetPlayers();
  pushKey(SDLK_LEFT, true), pushKey(SDLK_DOWN, true), pushKey(SDLK_LEFT, false);
  pushKey(SDLK_a, true), pushKey(SDLK_SPACE, false), pushMouseButton(2, false, 1, 1);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_EQ(std::tie(arrowHeld[ArrowLeft], arrowHeld[ArrowDown]), std::make_tuple(false, true));
  for (int d = 0; d < DeviceCount; ++d)
    EXPECT_EQ(std::tie(players[d].active, players[d].fireRequested), std::tuple(d == Keyboard, 0));
  // Escape pressed (not released) and a window close end the round at once,
  // leaving later events queued; an empty queue keeps it going.
  pushKey(SDLK_ESCAPE, false), pushMouseMotion(5, 6), pushKey(SDLK_ESCAPE, true);
  pushKey(SDLK_UP, true);
  EXPECT_FALSE(pollRoundEvents());
  EXPECT_EQ(std::tuple(m.cursorX, eventsLeft()), std::tuple(5, 1));
  pushQuit(), pushMouseMotion(9, 9);
  EXPECT_FALSE(pollRoundEvents());
  EXPECT_EQ(eventsLeft(), 1);
  EXPECT_TRUE(pollRoundEvents());
}

TEST_F(PlayersTest, CursorKeysStepSixPixelsOnceIn11MsEachCancelTheirOppositeAndClamp) {
  Player& k = players[Keyboard];
  const struct {
    uint32_t after;
    bool right, up, left, down;
    int32_t fromX, fromY, x, y;
  } steps[] = {
      {0, 1, 0, 0, 0, 320, 240, 326, 240},  {10, 1, 0, 0, 0, 326, 240, 326, 240},
      {1, 1, 0, 0, 0, 326, 240, 332, 240},  {5, 1, 1, 0, 0, 332, 240, 332, 234},  // own times
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
  EXPECT_FALSE(k.active) << "stepping is not joining";
}

TEST(RoundToInt, NearestWithExactHalvesTowardZeroAndSaturating) {
  const std::pair<double, int32_t> cases[] = {{2.5, 2},          {-2.5, -2}, {2.51, 3},
                                              {-2.51, -3},       {NAN, 0},   {1e12, INT32_MAX},
                                              {-1e12, INT32_MIN}};
  for (auto [value, rounded] : cases) EXPECT_EQ(roundToInt(value), rounded) << value;
}

TEST_F(JoystickTest, DeadZoneStepsClampingAndPacing) {
  Player& j = players[Joystick1];
  const std::tuple<int16_t, int, int, int> readings[] = {
      {3500, 320, 320, 320},  {-3500, 320, 320, 320}, {3501, 320, 322, 322},
      {-3501, 320, 318, 318}, {32767, 320, 336, 336}, {-32768, 320, 304, 304},
      {32767, 634, 639, 479}, {-32768, 10, 0, 0}};  // the last two clamped
  for (auto [value, from, x, y] : readings) {
    j.cursorX = j.cursorY = from, j.active = false;
    setFakeAxis(0, 0, value), setFakeAxis(0, 1, value);
    pollLater();
    EXPECT_EQ(std::tuple(j.cursorX, j.cursorY, j.active), std::tuple(x, y, x != from)) << value;
  }
  EXPECT_FALSE(players[Joystick2].active) << "joystick 2 is not open";
  // At most one poll in any 13 ms.
  j.cursorX = j.cursorY = 320;
  setFakeAxis(0, 0, 32767);
  advanceFakeClock(12);
  pollJoysticks();
  EXPECT_EQ(j.cursorX, 320);
  advanceFakeClock(1);
  pollJoysticks();
  EXPECT_EQ(j.cursorX, 336);
}

TEST_F(JoystickTest, ButtonsAreSampledAtEveryPoll) {
  Player& j = players[Joystick1];
  j.cursorX = 100, j.cursorY = 50;
  setFakeButton(0, 0, true);
  pollLater();
  EXPECT_EQ(std::tuple(pullOf(j), j.lastMoveTime),
            std::tuple(std::make_tuple(100, 50, 100, 50, 1, 1, true), 0u))
      << "firing is not moving";
  // Held, the button asks again at the next poll, at the crosshair's new place.
  j.fireRequested = 0, j.emptyClickDone = true, j.cursorX = 120;
  pollLater();
  EXPECT_EQ(std::tuple(pullOf(j), j.emptyClickDone),
            std::tuple(std::make_tuple(120, 50, 120, 50, 1, 1, true), true));
  setFakeButton(0, 0, false);
  pollLater();
  EXPECT_EQ(std::tie(j.triggerHeld, j.emptyClickDone), std::tuple(0, false));
}

// The reload button latches while held and reloads once after release. In
// kiosk mode the second player has the right stick of joystick 1 and its
// buttons 2 and 3; with joystick 2 open as well, a button held on either of a
// pair counts as held, so the magazine does not refill at every poll while the
// other rests.
TEST_F(JoystickTest, ReloadLetsGoOnceAndKioskButtonPairsActAsOne) {
  const struct {
    bool kiosk;
    int stick, button;
    bool down;
    int32_t device, triggerHeld;
    bool reloadHeld, reloaded;
  } steps[] = {{false, 0, 1, true, Joystick1, 0, true, false},
               {false, 0, 1, false, Joystick1, 0, false, true},
               {false, 0, 1, false, Joystick1, 0, false, false},
               {true, 0, 2, true, Joystick2, 1, false, false},
               {true, 0, 3, true, Joystick2, 1, true, false},
               {true, 1, 1, true, Joystick2, 1, true, false},
               {true, 0, 3, false, Joystick2, 1, true, false},
               {true, 1, 0, true, Joystick2, 1, true, false},
               {true, 0, 2, false, Joystick2, 1, true, false},
               {true, 1, 1, false, Joystick2, 1, false, true},
               {true, 1, 0, false, Joystick2, 0, false, false}};
  for (const auto& s : steps) {
    shell.kioskMode = s.kiosk;
    if (s.stick == 1 && !shell.joystick2) shell.joystick2 = joystickOpen(1);
    const Player& p = players[s.device];
    players[s.device].shotsFired = 4;
    setFakeButton(s.stick, s.button, s.down);
    pollLater();
    EXPECT_EQ(std::tuple(p.triggerHeld, p.reloadHeld, p.shotsFired == 0, p.active),
              std::tuple(s.triggerHeld, s.reloadHeld, s.reloaded, true))
        << s.stick << " " << s.button << " " << s.down;
  }
  EXPECT_EQ(players[Joystick1].triggerHeld, 0) << "kiosk buttons 2 and 3 are not the first's";
  // The second player's stick: axes 3 and 2 of joystick 1 in kiosk mode (a
  // centred one without any stick), joystick 2's own outside it.
  setFakeAxis(0, 3, 32767), setFakeAxis(0, 2, -32768);
  setFakeAxis(1, 0, -32768), setFakeAxis(1, 1, 32767);
  for (bool kiosk : {true, false}) {
    resetPlayers();
    shell.kioskMode = kiosk;
    pollLater();
    EXPECT_EQ(at(players[Joystick2]), kiosk ? std::tuple(336, 224) : std::tuple(304, 256));
    EXPECT_EQ(at(players[Joystick1]), std::tuple(320, 240));
  }
  resetPlayers();
  useFakeJoysticks(0);
  shell.joystick1 = shell.joystick2 = nullptr;
  shell.kioskMode = true;
  for (int i = 0; i < 5; ++i) pollLater();
  EXPECT_EQ(pullOf(players[Joystick2]), std::make_tuple(320, 240, -1, -1, 0, 0, false));
}

TEST_F(PlayersTest, PlayersLeaveAfterTenIdleSecondsKeepingTheirState) {
  startVideo();
  Player &m = players[Mouse], &k = players[Keyboard];
  for (Player& p : players) p.lastShotTime = 1000;  // the round starts
  // The mouse moving along one axis only joins but is no move.
  pushMouseMotion(400, 240);
  for (int y = 250; y < 260; ++y)
    pollRoundEvents(), advanceFakeClock(1000), pushMouseMotion(400, y);
  pollRoundEvents();
  advanceFakeClock(1);
  expireIdlePlayers(ticksMs());
  EXPECT_EQ(std::tie(m.active, m.cursorY), std::tuple(false, 259)) << "leaving keeps the crosshair";
  pushMouseMotion(410, 310);
  pollRoundEvents();
  advanceFakeClock(10000);
  expireIdlePlayers(ticksMs());
  EXPECT_TRUE(m.active);
  // The keyboard goes by its four keys' step times, not by moves; a served
  // shot keeps any player in, across the clock's wrap as well.
  const uint32_t now = 0x1000;
  k.lastShotTime = now - 10001, k.lastMoveTime = now;
  for (int recent = 0; recent <= 4; ++recent) {
    for (uint32_t& t : arrowStepTime) t = now - 10001;
    if (recent < 4) arrowStepTime[recent] = now - 10000;
    k.active = true;
    expireIdlePlayers(now);
    EXPECT_EQ(k.active, recent < 4) << recent;
  }
  k.active = true, k.lastShotTime = now - 10000;
  expireIdlePlayers(now);
  EXPECT_TRUE(k.active);
  // The tracker's poll renews its player; the others leave with their magazines.
  for (Player& p : players) p.active = true, p.shotsFired = 3;
  for (int frame = 0; frame < 200; ++frame) {
    advanceFakeClock(100);
    players[Tracker].lastMoveTime = ticksMs();
    expireIdlePlayers(ticksMs());
  }
  for (int d = 0; d < DeviceCount; ++d)
    EXPECT_EQ(std::tie(players[d].active, players[d].shotsFired), std::tuple(d == Tracker, 3));
}

TEST_F(PlayersTest, CrosshairsOfActivePlayersAreCentredOnTheirCursorAndNeverWrap) {
  startVideo();
  SDL_FillRect(shell.video, nullptr, 0);
  // Device d's crosshair is 31 by 31 pixels of 0x(d+1)(d+1)0000. Joystick 1 is
  // inactive; joystick 2 is drawn after the keyboard, over it; the tracker is
  // far off and must not wrap onto the screen.
  const int32_t at[DeviceCount][2] = {{65636, 65636}, {0, 0}, {200, 100}, {400, 300}, {210, 100}};
  for (int d = 0; d < DeviceCount; ++d) {
    pictures.crosshair[d] = own(SDL_CreateRGBSurface(0, 31, 31, 24, 0xFF0000, 0xFF00, 0xFF, 0));
    SDL_FillRect(pictures.crosshair[d], nullptr, 0x110000 * (d + 1));
    players[d].active = d != Joystick1;
    players[d].cursorX = at[d][0], players[d].cursorY = at[d][1];
  }
  DrawCrosshairs();
  const std::tuple<int, int, uint32_t> expected[] = {
      {0, 0, 0x220000},     {15, 15, 0x220000},   {16, 16, 0},  // the mouse, partly off
      {194, 100, 0x330000}, {195, 100, 0x550000}, {225, 115, 0x550000},
      {226, 116, 0},        {400, 300, 0},        {100, 100, 0}};
  for (auto [x, y, rgb] : expected) EXPECT_EQ(screenRgb(x, y), rgb) << x << "," << y;
}
