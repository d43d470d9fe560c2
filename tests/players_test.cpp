// The five players and the input of a round: events, the keyboard crosshair,
// the sampled joysticks, the idle rule and the crosshairs on screen.
#include "input/players.h"

#include <SDL.h>

#include <cmath>
#include <initializer_list>

#include "app/shell.h"
#include "fixture.h"
#include "platform/clock.h"
#include "platform/joystick.h"
#include "weapons/weapons.h"

namespace {
class PlayersTest : public GameTest {
 protected:
  // Drains the queue without handling anything; returns how many were left.
  static int eventsLeft() {
    int n = 0;
    SDL_Event e;
    while (SDL_PollEvent(&e)) ++n;
    return n;
  }
};

// A trigger pull waits for the weapon rules, aimed at (x, y), trigger down.
void expectPull(const Player& p, int32_t x, int32_t y) {
  EXPECT_EQ(p.shotX, x);
  EXPECT_EQ(p.shotY, y);
  EXPECT_EQ(p.fireRequested, 1);
  EXPECT_EQ(p.triggerHeld, 1);
}

class JoystickTest : public PlayersTest {
 protected:
  void SetUp() override {
    PlayersTest::SetUp();
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

TEST_F(PlayersTest, CtrlAndTheLeftButtonFireOnPressAndLetGoOnRelease) {
  startVideo();
  Player& k = players[Keyboard];
  Player& m = players[Mouse];
  k.cursorX = 100;
  k.cursorY = 200;
  k.emptyClickDone = m.emptyClickDone = true;
  pushKey(SDLK_LCTRL, true);
  pushMouseButton(SDL_BUTTON_LEFT, true, 33, 44);
  EXPECT_TRUE(pollRoundEvents());
  expectPull(k, 100, 200);
  EXPECT_TRUE(k.active);
  expectPull(m, 33, 44);
  EXPECT_FALSE(m.active) << "a press alone does not bring the mouse in";
  EXPECT_EQ(m.cursorX, 320) << "the crosshair follows motion only";

  pushKey(SDLK_RCTRL, false);
  pushMouseButton(SDL_BUTTON_LEFT, false, 50, 60);
  EXPECT_TRUE(pollRoundEvents());
  for (Player* p : {&k, &m}) {
    EXPECT_EQ(p->triggerHeld, 0);
    EXPECT_FALSE(p->emptyClickDone);
    EXPECT_EQ(p->fireRequested, 1) << "a waiting pull stays for the weapon rules";
  }
  EXPECT_EQ(m.shotX, 33);
}

TEST_F(PlayersTest, MouseMotionMovesTheCrosshairAndDragsThompsonFire) {
  startVideo();
  Player& m = players[Mouse];
  m.triggerHeld = 1;  // with the trigger held, only the Thompson fires along the motion
  pushMouseMotion(30, 40);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_EQ(m.cursorY, 40);
  EXPECT_TRUE(m.active);
  EXPECT_EQ(m.fireRequested, 0);
  shell.chosenWeapon = Thompson;
  pushMouseMotion(70, 80);
  pollRoundEvents();
  expectPull(m, 70, 80);
}

TEST_F(PlayersTest, EscapeAndQuitEndTheRoundAtOnceLeavingLaterEventsQueued) {
  startVideo();
  pushKey(SDLK_ESCAPE, false);  // only the press ends the round
  pushMouseMotion(5, 6);
  pushKey(SDLK_ESCAPE, true);
  pushMouseMotion(7, 8);
  pushKey(SDLK_UP, true);
  EXPECT_FALSE(pollRoundEvents());
  EXPECT_EQ(players[Mouse].cursorX, 5);
  EXPECT_FALSE(arrowHeld[ArrowUp]);
  EXPECT_EQ(eventsLeft(), 2);

  pushQuit();
  pushMouseMotion(9, 9);
  EXPECT_FALSE(pollRoundEvents());
  EXPECT_EQ(players[Mouse].cursorX, 5);
  EXPECT_EQ(eventsLeft(), 1);
  EXPECT_TRUE(pollRoundEvents()) << "an empty queue keeps the round going";
}

TEST_F(PlayersTest, CursorKeysHoldAndReleaseAndOtherInputIsIgnored) {
  startVideo();
  pushKey(SDLK_LEFT, true);
  pushKey(SDLK_DOWN, true);
  pushKey(SDLK_LEFT, false);
  EXPECT_TRUE(pollRoundEvents());
  EXPECT_TRUE(players[Keyboard].active);
  EXPECT_FALSE(arrowHeld[ArrowLeft]);
  EXPECT_TRUE(arrowHeld[ArrowDown]);

  players[Keyboard].active = false;
  pushKey(SDLK_a, true);
  pushKey(SDLK_SPACE, false);
  pushMouseButton(SDL_BUTTON_MIDDLE, true, 1, 1);
  pushMouseButton(SDL_BUTTON_MIDDLE, false, 1, 1);
  EXPECT_TRUE(pollRoundEvents());
  for (const Player& p : players) {
    EXPECT_FALSE(p.active);
    EXPECT_EQ(p.fireRequested, 0);
  }
  EXPECT_EQ(shell.chosenWeapon, SixShooter);
}

TEST_F(PlayersTest, WeaponKeysSwitchOnReleaseKeepingTheMagazines) {
  startVideo();
  players[Mouse].shotsFired = 5;
  const struct {
    SDLKey key;
    int32_t weapon;
  } keys[] = {{SDLK_3, Thompson}, {SDLK_1, SingleAction}, {SDLK_2, SixShooter}};
  for (const auto& k : keys) {
    pushKey(k.key, true);
    pollRoundEvents();
    EXPECT_NE(shell.chosenWeapon, k.weapon) << "the press changes nothing";
    pushKey(k.key, false);
    pollRoundEvents();
    EXPECT_EQ(shell.chosenWeapon, k.weapon);
  }
  EXPECT_EQ(players[Mouse].shotsFired, 5);
}

// ---- The keyboard crosshair ----

TEST_F(PlayersTest, AKeyStepsSixPixelsAtMostOnceInAny11Ms) {
  Player& k = players[Keyboard];
  arrowHeld[ArrowRight] = true;
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 326);
  advanceFakeClock(10);
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 326);
  advanceFakeClock(1);
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 332);
  EXPECT_EQ(k.cursorY, 240);
  EXPECT_FALSE(k.active) << "stepping is not joining";

  // Each key keeps its own time: Up steps at once although Right just did.
  arrowHeld[ArrowUp] = true;
  advanceFakeClock(5);
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 332);
  EXPECT_EQ(k.cursorY, 234);
}

TEST_F(PlayersTest, OppositeKeysCancelAndTheCrosshairStaysOnScreen) {
  Player& k = players[Keyboard];
  arrowHeld[ArrowUp] = arrowHeld[ArrowDown] = true;
  arrowHeld[ArrowLeft] = arrowHeld[ArrowRight] = true;
  for (int i = 0; i < 3; ++i, advanceFakeClock(20)) stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 320);
  EXPECT_EQ(k.cursorY, 240);
  arrowHeld[ArrowRight] = arrowHeld[ArrowUp] = false;
  advanceFakeClock(20);
  k.cursorX = 2;
  k.cursorY = 477;
  arrowHeld[ArrowLeft] = arrowHeld[ArrowDown] = true;
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 0);
  EXPECT_EQ(k.cursorY, 479);

  // A crosshair pushed off the screen by other code comes back as soon as a
  // key qualifies, stepping or not; cancelled keys leave it where it is.
  k.cursorX = 700;
  k.cursorY = -20;
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 639);
  EXPECT_EQ(k.cursorY, 0);
  arrowHeld[ArrowRight] = arrowHeld[ArrowUp] = true;
  k.cursorX = 700;
  stepKeyboardCursor();
  EXPECT_EQ(k.cursorX, 700);
}

// ---- Joysticks ----

TEST(RoundToInt, NearestWithExactHalvesTowardZeroAndSaturating) {
  const struct {
    double value;
    int32_t rounded;
  } cases[] = {{2.5, 2}, {-2.5, -2},        {2.51, 3},         {-2.51, -3},
               {NAN, 0}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(roundToInt(c.value), c.rounded) << c.value;
}

TEST_F(JoystickTest, DeadZoneAndStepSizes) {
  Player& j = players[Joystick1];
  const struct {
    int16_t value;
    int32_t step;
  } readings[] = {{3500, 0}, {-3500, 0}, {3501, 2}, {-3501, -2}, {32767, 16}, {-32768, -16}};
  for (const auto& r : readings) {
    j = Player{};
    j.cursorX = 320;
    j.cursorY = 240;
    setFakeAxis(0, 0, r.value);
    setFakeAxis(0, 1, r.value);
    pollLater();
    EXPECT_EQ(j.cursorX, 320 + r.step) << r.value;
    EXPECT_EQ(j.cursorY, 240 + r.step) << r.value;
    EXPECT_EQ(j.active, r.step != 0) << r.value;
  }
  // One axis alone moves and joins; the crosshair is clamped to the screen.
  j = Player{};
  j.cursorX = 630;
  j.cursorY = 5;
  setFakeAxis(0, 0, 32767);
  setFakeAxis(0, 1, -32768);
  pollLater();
  EXPECT_EQ(j.cursorX, 639);
  EXPECT_EQ(j.cursorY, 0);
  EXPECT_FALSE(players[Joystick2].active) << "joystick 2 is not open";
}

TEST_F(JoystickTest, PollsAtMostOnceInAny13Ms) {
  setFakeAxis(0, 0, 32767);
  pollJoysticks();  // 1000 ms after the last poll at 0
  EXPECT_EQ(players[Joystick1].cursorX, 336);
  advanceFakeClock(12);
  pollJoysticks();
  EXPECT_EQ(players[Joystick1].cursorX, 336);
  advanceFakeClock(1);
  pollJoysticks();
  EXPECT_EQ(players[Joystick1].cursorX, 352);
}

TEST_F(JoystickTest, ButtonsAreSampledAtEveryPoll) {
  Player& j = players[Joystick1];
  j.cursorX = 100;
  j.cursorY = 50;
  setFakeButton(0, 0, true);
  pollLater();
  expectPull(j, 100, 50);
  EXPECT_TRUE(j.active);
  EXPECT_EQ(j.lastMoveTime, 0u) << "firing is not moving";

  // Held, the button asks again at the next poll, at the crosshair's new place.
  j.fireRequested = 0;
  j.emptyClickDone = true;
  j.cursorX = 120;
  pollLater();
  expectPull(j, 120, 50);
  EXPECT_TRUE(j.emptyClickDone);

  setFakeButton(0, 0, false);
  pollLater();
  EXPECT_EQ(j.triggerHeld, 0);
  EXPECT_FALSE(j.emptyClickDone);

  // The reload button latches while held and lets go once after release.
  j.active = false;
  setFakeButton(0, 1, true);
  pollLater();
  EXPECT_TRUE(j.reloadHeld);
  EXPECT_TRUE(j.active);
  setFakeButton(0, 1, false);
  pollLater();
  EXPECT_FALSE(j.reloadHeld);
}

TEST_F(JoystickTest, KioskModeGivesTheSecondPlayerTheRightStickOfJoystickOne) {
  shell.kioskMode = true;
  setFakeAxis(0, 3, 32767);   // horizontal of the second player
  setFakeAxis(0, 2, -32768);  // vertical of the second player
  setFakeButton(0, 2, true);
  pollLater();
  const Player& first = players[Joystick1];
  const Player& second = players[Joystick2];
  expectPull(second, 336, 224);
  EXPECT_EQ(first.cursorX, 320);
  EXPECT_EQ(first.cursorY, 240);
  EXPECT_EQ(first.fireRequested, 0);

  setFakeButton(0, 2, false);
  setFakeButton(0, 3, true);
  setFakeAxis(0, 0, 5000);
  setFakeButton(0, 0, true);
  pollLater();
  EXPECT_TRUE(second.reloadHeld);
  EXPECT_EQ(second.triggerHeld, 0);
  EXPECT_EQ(first.cursorX, 322);
  EXPECT_EQ(first.fireRequested, 1);
  EXPECT_FALSE(first.reloadHeld);
}

TEST_F(JoystickTest, KioskSecondPlayersTwoButtonPairsActAsOne) {
  // With joystick 2 open in kiosk mode, its buttons and buttons 2 and 3 of
  // joystick 1 both serve the second player: one held counts as held.
  shell.kioskMode = true;
  shell.joystick2 = joystickOpen(1);
  setFakeButton(1, 0, true);  // fire held on joystick 2
  setFakeButton(1, 1, true);  // reload held on joystick 2
  pollLater();
  players[Joystick2].shotsFired = 4;
  for (int i = 0; i < 3; ++i) pollLater();
  EXPECT_EQ(players[Joystick2].triggerHeld, 1);
  EXPECT_TRUE(players[Joystick2].reloadHeld);
  EXPECT_EQ(players[Joystick2].shotsFired, 4) << "the magazine refilled while reload was held";
  setFakeButton(1, 1, false);
  setFakeButton(0, 3, true);  // the same reload, now on joystick 1
  pollLater();
  EXPECT_EQ(players[Joystick2].shotsFired, 4);
  setFakeButton(0, 3, false);
  pollLater();
  EXPECT_EQ(players[Joystick2].shotsFired, 0);
  EXPECT_FALSE(players[Joystick2].reloadHeld);
}

TEST_F(JoystickTest, SecondJoystickOutsideKioskModeAndKioskModeWithoutSticks) {
  shell.joystick2 = joystickOpen(1);
  setFakeAxis(1, 0, -32768);
  setFakeAxis(1, 1, 32767);
  setFakeAxis(0, 3, 32767);
  setFakeButton(1, 0, true);
  pollLater();
  expectPull(players[Joystick2], 304, 256);
  EXPECT_FALSE(players[Joystick1].active);

  resetPlayers();
  useFakeJoysticks(0);
  shell.joystick1 = shell.joystick2 = nullptr;
  shell.kioskMode = true;
  for (int i = 0; i < 5; ++i) pollLater();
  EXPECT_FALSE(players[Joystick2].active);
  EXPECT_EQ(players[Joystick2].cursorX, 320);
}

// ---- Leaving ----

TEST_F(PlayersTest, MouseMovingAlongOneAxisLeavesAfterTenSeconds) {
  startVideo();
  Player& m = players[Mouse];
  for (Player& p : players) p.lastShotTime = 1000;  // the round starts
  pushMouseMotion(400, 240);                        // y unchanged: joins, but is no move
  for (int x = 0; x < 10; ++x) {
    advanceFakeClock(1000);
    pushMouseMotion(400, 250 + x);  // x unchanged
    pollRoundEvents();
  }
  EXPECT_EQ(m.lastMoveTime, 0u);
  advanceFakeClock(1);
  expireIdlePlayers(ticksMs());
  EXPECT_FALSE(m.active);
  EXPECT_EQ(m.cursorY, 259) << "leaving keeps the crosshair";
  pushMouseMotion(410, 310);
  pollRoundEvents();
  EXPECT_EQ(m.lastMoveTime, ticksMs());
  advanceFakeClock(10000);
  expireIdlePlayers(ticksMs());
  EXPECT_TRUE(m.active);
}

TEST_F(PlayersTest, KeyboardLeavesWhenAllFourKeysAreOldAndNoShotWasServed) {
  const uint32_t now = 50000;
  Player& k = players[Keyboard];
  k.lastShotTime = now - 10001;
  k.lastMoveTime = now;  // the keyboard does not go by this one
  for (int recent = 0; recent < 4; ++recent) {
    for (uint32_t& t : arrowStepTime) t = now - 10001;
    arrowStepTime[recent] = now - 10000;
    k.active = true;
    expireIdlePlayers(now);
    EXPECT_TRUE(k.active) << recent;
  }
  arrowStepTime[ArrowRight] = now - 10001;
  k.active = true;
  expireIdlePlayers(now);
  EXPECT_FALSE(k.active);

  // A served shot keeps a player in, across the clock's wrap as well.
  k.active = true;
  for (uint32_t& t : arrowStepTime) t = 0x1000 - 10001;
  k.lastShotTime = 0x1000 - 10000;
  expireIdlePlayers(0x1000);
  EXPECT_TRUE(k.active);
  k.lastShotTime = 0x1000 - 10001;
  expireIdlePlayers(0x1000);
  EXPECT_FALSE(k.active);
}

TEST_F(PlayersTest, IdlePlayersLeaveWithTheirStateKeptAndTheTrackerStays) {
  for (Player& p : players) {
    p.active = true;
    p.shotsFired = 3;
  }
  // Twenty seconds of frames in which only the tracker poll renews its player.
  for (int frame = 0; frame < 200; ++frame) {
    advanceFakeClock(100);
    players[Tracker].lastMoveTime = ticksMs();
    expireIdlePlayers(ticksMs());
  }
  EXPECT_TRUE(players[Tracker].active);
  for (int d = Mouse; d < DeviceCount; ++d) {
    EXPECT_FALSE(players[d].active) << d;
    EXPECT_EQ(players[d].shotsFired, 3) << "leaving keeps the magazine";
  }
}

// ---- Crosshairs ----

TEST_F(PlayersTest, CrosshairsOfActivePlayersAreCentredOnTheirCursor) {
  startVideo();
  SDL_FillRect(shell.video, nullptr, 0);
  // Device d's crosshair is 31 by 31 pixels of 0x(d+1)(d+1)0000. Joystick 1 is
  // inactive; joystick 2 is drawn after the keyboard, over it; the tracker is
  // far off and must not wrap onto the screen.
  const int32_t at[DeviceCount][2] = {{65636, 65636}, {0, 0}, {200, 100}, {400, 300}, {210, 100}};
  for (int d = 0; d < DeviceCount; ++d) {
    pictures.crosshair[d] =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 31, 31, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(pictures.crosshair[d], nullptr, 0x110000 * (d + 1));
    players[d].active = d != Joystick1;
    players[d].cursorX = at[d][0];
    players[d].cursorY = at[d][1];
  }
  DrawCrosshairs();
  const struct {
    int x, y;
    uint32_t rgb;
  } expected[] = {
      {0, 0, 0x220000},     {15, 15, 0x220000},   {16, 16, 0},  // mouse, partly off screen
      {194, 100, 0x330000}, {195, 100, 0x550000},               // keyboard, joystick 2 over it
      {225, 115, 0x550000}, {226, 116, 0},        {400, 300, 0}, {100, 100, 0},  // no wrap
  };
  for (const auto& e : expected) EXPECT_EQ(screenRgb(e.x, e.y), e.rgb) << e.x << "," << e.y;
  for (SDL_Surface*& s : pictures.crosshair) SDL_FreeSurface(s);
  pictures = PictureSet{};
}
