// Input: light guns and held sticks in whole games, the keyboard crosshair, the
// sampled joysticks, and the front end's decisions with the kiosk's button pairs.
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "play_driver.h"
#include "scores_support.h"

namespace {
// Points gun `stick` at the lowest axis values that show game point (gx, gy).
void aimAt(int stick, int gx, int gy) {
  int s[2];
  gameToScreen(gx, gy, &s[0], &s[1]);
  const int size[2] = {display.screenW, display.screenH};
  for (int a = 0; a < 2; ++a)
    setFakeAxis(stick, a, int16_t((int64_t(s[a]) * 65536 + size[a] - 1) / size[a] - 32768));
}

void pollAfterPacing() { advanceFakeClock(13), pollJoysticks(); }

// Two fake sticks opened as start-up would, the first one a gun.
void openGuns() {
  useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0), shell.joystick2 = joystickOpen(1);
  guns[Joystick1].gun = true;
}

using GunTest = GameTest;
constexpr int None = -1;
auto at(const Player& p) { return std::make_tuple(p.cursorX, p.cursorY); }

class PlayersTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp(), useFakeJoysticks(2), shell.joystick1 = joystickOpen(0);
  }
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

// The axes' corners and centre land on the game pixels shown there, also scaled
// between bars (16:9, 5:4: corners in the bars); a trigger pulled in a bar reloads;
// either makes the gun's player join at its first reading.
TEST_F(GunTest, AxesPointAtTheGamePixelShownThereAndAnOffScreenPullReloads) {
  // Screen size, axis values, the game pixel, whether it lies in a bar.
  std::vector<std::tuple<int, int, int16_t, int16_t, int, int, bool>> rows = {
      {1920, 1080, -24576, 0, 0, 240, false},
      {1920, 1080, -24577, 0, 0, 240, true},
      {1280, 1024, 0, -30720, 320, 0, false},
      {1280, 1024, 0, -30721, 320, 0, true}};
  for (auto [w, h] : {std::pair{640, 480}, {1920, 1080}, {1280, 1024}}) {
    rows.emplace_back(w, h, 0, 0, 320, 240, false);
    for (int corner = 0; corner < 4; ++corner)
      rows.emplace_back(w, h, corner & 1 ? 32767 : -32768, corner & 2 ? 32767 : -32768,
                        corner & 1 ? 639 : 0, corner & 2 ? 479 : 0, w != 640);
  }
  for (auto [w, h, x, y, gameX, gameY, outside] : rows) {
    SCOPED_TRACE(testing::Message() << w << " wide, at " << x << "," << y);
    resetPlayers(), openGuns(), setDisplayGeometry(w, h);
    setFakeAxis(0, 0, x), setFakeAxis(0, 1, y), setFakeButton(0, 0, true);
    players[Joystick1].shotsFired = 1, pollAfterPacing();
    const Player& gun = players[Joystick1];
    EXPECT_EQ(std::tie(gun.cursorX, gun.cursorY, gun.shotX, gun.shotY, gun.fireRequested,
                       gun.reloadHeld, gun.active),  // a pull shoots where it points
              std::make_tuple(gameX, gameY, outside ? -1 : gameX, outside ? -1 : gameY,
                              outside ? 0 : 1, outside, true));
    setFakeButton(0, 0, false), pollAfterPacing();
    EXPECT_EQ(gun.shotsFired, outside ? 0 : 1) << "the release refills";
  }
}

// A gun held still wobbles: only a move of more than two pixels from where it
// rests keeps its player in, also a creep of a pixel at a time; its first
// reading alone does not make it join.
TEST_F(GunTest, AGunWobblingUnderThreePixelsLeavesAfterTenSeconds) {
  for (auto [wobble, creep, stays] : {std::tuple{2, 0, false}, {3, 0, true}, {0, 1, true}}) {
    SCOPED_TRACE(wobble);
    resetPlayers(), openGuns(), setDisplayGeometry(1920, 1080);
    aimAt(0, 100, 100), pollAfterPacing();
    EXPECT_FALSE(players[Joystick1].active) << "a gun lying still does not join";
    for (int step = 0; step < 801; ++step) {  // 10.4 seconds
      aimAt(0, 320 + (step % 2) * wobble + step / 8 * creep, 240 - (step % 2) * wobble);
      pollAfterPacing();
      EXPECT_TRUE(step > 0 || players[Joystick1].active);
      expireIdlePlayers(ticksMs());
    }
    EXPECT_EQ(players[Joystick1].active, stays);
  }
}

// The whole game in 5 ms frames: a stick held on the weapon choice, where no
// event comes, crosses the screen as fast as in a round.
TEST_F(GunTest, AHeldStickCrossesTheWeaponChoiceAsFastAsARound) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  PlayDriver driver(5);
  std::map<ScreenId, uint32_t> crossingMs;
  uint32_t heldSince = 0;
  // Held full left until at the edge, then full right, timed to the other edge.
  driver.onFrame = [&] {
    const ScreenId now = shell.screen;
    if ((now != ScreenId::WeaponChoice && now != ScreenId::Round) || crossingMs.count(now)) return;
    const int32_t x = players[Joystick1].cursorX;
    if (heldSince == 0 && x == 0) heldSince = ticksMs(), setFakeAxis(0, 0, 32767);
    if (heldSince == 0) setFakeAxis(0, 0, -32768);
    if (heldSince && x == 639)
      crossingMs[now] = ticksMs() - heldSince, setFakeAxis(0, 0, 0), heldSince = 0;
  };
  driver.onInput = [&] {
    const bool crossed = crossingMs.count(shell.screen);
    switch (shell.screen) {
      case ScreenId::Title: return pushMouseClickAt(320, 240, crossingMs.size() == 2 ? 3 : 1);
      case ScreenId::WeaponChoice: return crossed ? pushMouseClickAt(110, 115) : void();
      case ScreenId::LevelChoice: return pushMouseClickAt(68, 115);
      case ScreenId::Round: return crossed ? pushKey(SDLK_ESCAPE, true) : void();
      case ScreenId::RoundEnd: return pushMouseClickAt(320, 240, 3);
      default: return pushMouseClickAt(320, 240);
    }
  };
  useFakeJoysticks(1);
  EXPECT_EQ(driver.play({"lakeport-nights"}, 5000), 0);
  EXPECT_EQ(driver.screensShown(),
            "0:5dcd967a 1:3dc540c2 2:032e6c99 3:b3960c6b 4:0f8b716c 5:e57e4e06 0:f3546db5");
  // 40 paced steps of 16 pixels, one every third 5 ms frame.
  EXPECT_NEAR(crossingMs[ScreenId::WeaponChoice], 600, 30);
  EXPECT_NEAR(crossingMs[ScreenId::Round], crossingMs[ScreenId::WeaponChoice], 30);
}

TEST_F(PlayersTest, CursorKeysStepSixPixelsOnceIn11MsEachCancelTheirOppositeAndClamp) {
  Player& k = players[Keyboard];
  // Milliseconds later, the keys right, up, left and down held, from, to.
  const std::tuple<uint32_t, bool, bool, bool, bool, int32_t, int32_t, int32_t, int32_t> steps[] = {
      {0, 1, 0, 0, 0, 320, 240, 326, 240},
      {10, 1, 0, 0, 0, 326, 240, 326, 240},
      {1, 1, 1, 0, 0, 326, 240, 332, 234},
      {20, 1, 1, 1, 1, 700, 234, 700, 234},  // opposite keys cancel, leaving it off the screen
      {0, 0, 0, 1, 1, 8, 477, 2, 479},       // clamped as it steps
      {0, 0, 0, 1, 1, 700, -20, 639, 0},     // and when a key qualifies without stepping
      {20, 0, 0, 1, 1, 8, 300, 2, 306}};
  for (auto [after, right, up, left, down, fromX, fromY, x, y] : steps) {
    advanceFakeClock(after);
    arrowHeld[ArrowRight] = right, arrowHeld[ArrowUp] = up;
    arrowHeld[ArrowLeft] = left, arrowHeld[ArrowDown] = down;
    k.cursorX = fromX, k.cursorY = fromY;
    stepKeyboardCursor();
    EXPECT_EQ(at(k), std::tuple(x, y)) << fromX << "," << fromY;
  }
  arrowStepTime[ArrowLeft] = 5000, k.active = true;
  Player &m = players[Mouse], &t = players[Tracker];
  m.active = t.active = true, m.lastShotTime = t.lastMoveTime = 5000, m.lastMoveTime = 0;
  expireIdlePlayers(15000);
  EXPECT_TRUE(k.active && m.active && t.active) << "the keyboard idles by its keys' steps";
  expireIdlePlayers(15001);
  EXPECT_FALSE(k.active || m.active || t.active);
}

// Readings beyond the dead zone step the crosshair, once in 13 ms, clamped.
TEST_F(PlayersTest, DeadZoneStepsClampingAndPacing) {
  Player& j = players[Joystick1];
  const std::tuple<int16_t, int, int, int> readings[] = {
      {3500, 320, 320, 320},  {-3500, 320, 320, 320}, {3501, 320, 322, 322},
      {-3501, 320, 318, 318}, {32767, 634, 639, 479}, {-32768, 10, 0, 0}};
  for (auto [value, from, x, y] : readings) {
    j.cursorX = j.cursorY = from, j.active = false;
    setFakeAxis(0, 0, value), setFakeAxis(0, 1, value), pollAfterPacing();
    EXPECT_EQ(std::tuple(j.cursorX, j.cursorY, j.active), std::tuple(x, y, x != from)) << value;
  }
  setFakeAxis(0, 0, 32767), advanceFakeClock(12), pollJoysticks();
  EXPECT_EQ(j.cursorX, 0) << "a poll within 13 ms of the last";
  EXPECT_EQ(std::tuple(roundToInt(2.5), roundToInt(-2.5), roundToInt(2.51), roundToInt(-2.51)),
            std::tuple(2, -2, 3, -3));  // an exact half toward zero
}

// Kiosk mode: the second player has joystick 1's right stick and buttons 2 and 3;
// with joystick 2 open, either of a pair held counts, so a reload refills once.
TEST_F(PlayersTest, ReloadLetsGoOnceAndKioskButtonPairsActAsOne) {
  // Stick, button, down; then trigger held, reload held, refilled, active.
  const std::tuple<int, int, bool, std::tuple<int32_t, bool, bool, bool>> steps[] = {
      {0, 3, true, {0, true, false, true}},  {0, 2, true, {1, true, false, true}},
      {1, 1, true, {1, true, false, true}},  {0, 3, false, {1, true, false, true}},
      {1, 0, true, {1, true, false, true}},  {0, 2, false, {1, true, false, true}},
      {1, 1, false, {1, false, true, true}}, {1, 0, false, {0, false, false, true}}};
  for (auto [stick, button, down, want] : steps) {
    shell.kioskMode = true;
    if (stick == 1 && !shell.joystick2) shell.joystick2 = joystickOpen(1);
    Player& p = players[Joystick2];
    p.shotsFired = 4;
    setFakeButton(stick, button, down);
    pollAfterPacing();
    EXPECT_EQ(std::tuple(p.triggerHeld, p.reloadHeld, p.shotsFired == 0, p.active), want)
        << stick << " " << button << " " << down;
  }
  EXPECT_EQ(players[Joystick1].triggerHeld, 0) << "kiosk buttons 2 and 3 are not the first's";
  // The second player's stick: axes 3 and 2 of joystick 1 in kiosk mode.
  setFakeAxis(0, 3, 32767), setFakeAxis(0, 2, -32768);
  setFakeAxis(1, 0, -32768), setFakeAxis(1, 1, 32767);
  for (bool kiosk : {false, true}) {
    resetPlayers(), shell.kioskMode = kiosk;
    pollAfterPacing();
    EXPECT_EQ(at(players[Joystick2]), kiosk ? std::tuple(336, 224) : std::tuple(304, 256));
    EXPECT_EQ(at(players[Joystick1]), std::tuple(320, 240));
  }
  shell.joystick1 = shell.joystick2 = nullptr, resetPlayers(), pollAfterPacing();  // kiosk
  EXPECT_FALSE(players[Joystick2].active || players[Joystick2].triggerHeld) << "no stick: nothing";
}

// LAKEPORT_GUNS names guns 1 and 2; anything malformed makes no gun and says so
// once; in kiosk mode player 2 is the first stick's second stick, never a gun.
TEST_F(GunTest, TheGunListIsReadStrictlyAndKioskModeRefusesGunTwo) {
  const std::tuple<const char*, bool, bool, bool, bool> rows[] = {
      // value, kiosk, guns, told
      {" 2 ", 0, 0, 1, 0}, {"1,2", 0, 1, 1, 0}, {"", 0, 0, 0, 0},
      {"1,", 0, 0, 0, 1},  {"12", 0, 0, 0, 1},  {"1;2", 0, 0, 0, 1},
      {"3", 0, 0, 0, 1},   {"2,1", 1, 1, 0, 1}, {"2,", 0, 0, 0, 1}};
  for (auto [value, kiosk, gun1, gun2, told] : rows) {
    resetPlayers(), shell.kioskMode = kiosk;
    setenv("LAKEPORT_GUNS", value, 1), captureStderr(), readJoystickGuns();
    const std::string said = capturedStderr();
    EXPECT_EQ(
        std::tuple(guns[Joystick1].gun, guns[Joystick2].gun, oneLineAbout(said, "LAKEPORT_GUNS")),
        std::tuple(gun1, gun2, told))
        << value << said;
  }
  // LAKEPORT_GUN_CROSSHAIR=off hides the mouse's and the guns' crosshairs.
  const std::tuple<const char*, const char*, const char*> hiding[] = {
      // guns, crosshair, hidden (T, M, K, J, J)
      {"1", "off", "-M-J-"}, {"1,2", "off", "-M-JJ"}, {"", "off", "-M---"},
      {"2", "on", "-----"},  {"1,2", "Off", "-----"}, {"2", "off", "-M--J"}};
  startVideo();
  for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, 0xFF00FF));
  for (auto [list, crosshair, hidden] : hiding) {
    resetPlayers();
    setenv("LAKEPORT_GUNS", list, 1), setenv("LAKEPORT_GUN_CROSSHAIR", crosshair, 1);
    captureStderr(), readJoystickGuns();
    const std::string said = capturedStderr();  // nothing for "on" and "off"
    EXPECT_TRUE(*crosshair == 'O' ? oneLineAbout(said, "LAKEPORT_GUN_CROSSHAIR=Off")
                                  : said.empty());
    SDL_FillRect(shell.video, nullptr, 0);
    for (int d = 0; d < DeviceCount; ++d)
      players[d].active = true, players[d].cursorX = 60 + 120 * d, players[d].cursorY = 240;
    DrawCrosshairs();
    std::string hiddenOnes;
    for (int d = 0; d < DeviceCount; ++d)
      hiddenOnes += screenRgb(60 + 120 * d, 240) ? '-' : "TMKJJ"[d];
    EXPECT_EQ(hiddenOnes, hidden) << list << crosshair;
  }
}

// A tracker record's numbers start after three bytes and end at its byte 45,
// where a second record may begin. The text, its length, the numbers read, the
// first and the sixth.
TEST(TrackerReply, SixNumbersAfterThreeBytesUpToTheCut) {
  const std::string cut = "abc1 2 3 4 5" + std::string(31, ' ') + "678";  // "6" is byte 43
  const std::tuple<std::string, int, int, double, double> replies[] = {
      {cut, 46, 6, 1, 67}, {"abc12", 3, 0, 0, 0}, {"abc12", -1, 0, 0, 0}};
  for (const auto& [text, length, read, first, sixth] : replies) {
    TrackerReport report{};
    EXPECT_EQ(parseTrackerReply(text.c_str(), length, &report), read) << text;
    EXPECT_EQ(std::tie(report.r[0], report.r[5]), std::tie(first, sixth)) << text;
  }
  TrackerReport report{};  // each number in its place, none from a longer record before
  for (int length : {22, 20}) parseTrackerReply("12 7 -8.5 3 4.25 5 689", length, &report);
  EXPECT_EQ(std::vector(report.r, report.r + 6), (std::vector<double>{7, -8.5, 3, 4.25, 5, 6}));
}

TEST_F(MenuInputTest, KeysAndMouseDecideOnReleaseOnly) {
  // The input; whether the poll goes on, who selects, who goes back, the request.
  const std::pair<std::function<void()>, std::tuple<bool, int, int, bool>> cases[] = {
      {[] { pushKey(SDLK_LCTRL, true), pushKey(SDLK_LALT, true), pushMouseButton(1, true, 1, 1); },
       {true, None, None, false}},
      {[] { pushKey(SDLK_RCTRL, false); }, {false, Keyboard, None, false}},
      {[] { pushKey(SDLK_RALT, false); }, {false, None, Keyboard, true}},
      {[] { pushMouseButton(1, false, 17, 33); }, {false, Mouse, None, false}},
      {[] { pushMouseButton(3, false, 1, 1); }, {false, None, Mouse, true}},
      {[] { pushMouseButton(2, false, 1, 1); }, {true, None, None, false}},
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
  for (auto [x, y] : {std::pair{100, 240}, {100, 300}}) pushMouseMotion(x, y), pollMenuInput();
  EXPECT_EQ(players[Mouse].lastMoveTime, 0u) << "motion along either axis alone is no move";
  for (auto [x, y] : {std::pair{120, 300}, {120, 310}}) pushMouseMotion(x, y), pollRoundEvents();
  EXPECT_EQ(players[Mouse].lastMoveTime, 0u) << "nor in a round";
  for (auto [x, poll] : {std::pair{130, pollMenuInput}, {140, pollRoundEvents}}) {  // both axes
    advanceFakeClock(5), pushMouseMotion(x, x + 190), poll();
    EXPECT_EQ(players[Mouse].lastMoveTime, ticksMs()) << x;
  }
  resetPlayers(), pushKey(SDLK_LCTRL, true), pushMouseMotion(9, 9);
  EXPECT_TRUE(pollMenuInput() && players[Keyboard].active && players[Mouse].active) << "joined";
  resetPlayers(), pushKey(SDLK_LEFT, true);
  EXPECT_TRUE(pollMenuInput() && players[Keyboard].active && arrowHeld[ArrowLeft]);
  pushKey(SDLK_LEFT, false);
  EXPECT_TRUE(pollMenuInput() && !arrowHeld[ArrowLeft]) << "let go, it stops";
  int status = -1;  // the window closed on a menu ends the game as asked: status 0
  setExitHook([&status](int s) { status = s, throw ProgramExit{s}; });
  EXPECT_THROW((pushQuit(), pollMenuInput()), ProgramExit);
  EXPECT_EQ(std::tuple(status, SDL_WasInit(SDL_INIT_VIDEO)), std::tuple(0, 0u));  // screen left
}

// The kiosk's second player's fire pair (joystick 2's button 0, joystick 1's 2):
// one held while the other rests decides nothing; both up make one decision.
TEST_F(MenuInputTest, KioskSecondPlayersButtonPairsActAsOne) {
  shell.kioskMode = true, useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0), shell.joystick2 = joystickOpen(1);
  EXPECT_TRUE(pollWith(1, 0, true));
  EXPECT_FALSE((pushMouseButton(1, false, 5, 5), pollMenuInput()));
  EXPECT_EQ(decided(), std::make_tuple(Mouse, None, false));
  forget();
  EXPECT_TRUE(pollWith(0, 2, true) && pollWith(1, 0, false));
  EXPECT_FALSE(pollWith(0, 2, false));
  EXPECT_EQ(decided(), std::make_tuple(Joystick2, None, false));
  forget(), shell.kioskMode = false;
  SDL_Event e{};  // joystick 2's own fire decides; the key that came with it waits its turn
  EXPECT_TRUE(pollWith(1, 0, true) && !pollWith(1, 0, false) && pollEvent(&e) &&
              e.key.keysym.sym == SDLK_a);
  forget();
  EXPECT_TRUE(pollWith(0, 0, true) && players[Joystick1].active) << "its press joins it";
  EXPECT_TRUE(!pollWith(0, 0, false) && std::get<0>(decided()) == Joystick1) << "and joystick 1's";
  forget();  // its own back, button 2
  EXPECT_TRUE(pollWith(0, 1, true) && !pollWith(0, 1, false) &&
              decided() == std::tuple(None, int{Joystick1}, true));
  // Its back: joystick 1's button 3, which joins it; outside kiosk mode no one's.
  for (bool kiosk : {true, false}) {
    forget(), resetPlayers(), shell.kioskMode = kiosk;
    EXPECT_TRUE(pollWith(0, 3, true));
    EXPECT_EQ(pollWith(0, 3, false), !kiosk);
    EXPECT_EQ(std::tuple_cat(decided(), std::tuple(players[Joystick2].active)),
              kiosk ? std::tuple(None, int{Joystick2}, true, true)
                    : std::tuple(None, None, false, false));
    EXPECT_TRUE(pollWith(0, 3, false)) << "a release decides once";
  }
}
