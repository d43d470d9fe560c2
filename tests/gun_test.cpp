// Light guns in gamepad mode as the joystick players, and held sticks on the
// menus: the mapping of the axes, the off-screen reload, the idle rule, the
// variable that names the guns, and whole games through the fake joysticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "play_driver.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "weapons/weapons.h"

namespace {
// The axis value at which a gun points at screen pixel s of a screen `size`
// pixels across (the lowest value of that pixel's run).
int16_t axisFor(int s, int size) {
  return static_cast<int16_t>((int64_t(s) * 65536 + size - 1) / size - 32768);
}

// Points gun `stick` at a game point on the current screen.
void aimAt(int stick, int gx, int gy) {
  int sx, sy;
  gameToScreen(gx, gy, &sx, &sy);
  setFakeAxis(stick, 0, axisFor(sx, display.screenW));
  setFakeAxis(stick, 1, axisFor(sy, display.screenH));
}

// One joystick poll, 13 ms after the last.
void pollAfterPacing() {
  advanceFakeClock(13);
  pollJoysticks();
}

// A button of a fake stick changes, with the event a real one sends, which
// the front end needs before it looks at the buttons.
void pushJoyButton(int stick, int button, bool down) {
  setFakeButton(stick, button, down);
  SDL_Event e{};
  e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
  SDL_PushEvent(&e);
}

class GunTest : public GameTest {
 protected:
  // Two fake sticks opened as start-up would, the first `guns` of them guns.
  void openGuns(int guns) {
    useFakeJoysticks(2);
    shell.joystick1 = joystickOpen(0);
    shell.joystick2 = joystickOpen(1);
    ::guns[Joystick1].gun = guns >= 1;
    ::guns[Joystick2].gun = guns >= 2;
  }
  void TearDown() override {
    unsetenv("LAKEPORT_GUNS");
    GameTest::TearDown();
  }
};
}  // namespace

// The axes' corners and centre land on the game pixels shown there, unscaled
// and with the picture scaled between bars; a trigger pulled in a bar reloads.
TEST_F(GunTest, AxesPointAtTheGamePixelShownThereAndAnOffScreenPullReloads) {
  struct Row {
    int screenW, screenH;
    int16_t x, y;
    int gameX, gameY;
    bool outside;
  };
  // clang-format off
  const Row rows[] = {
      {640, 480, -32768, -32768, 0, 0, false},    {640, 480, 32767, -32768, 639, 0, false},
      {640, 480, -32768, 32767, 0, 479, false},   {640, 480, 32767, 32767, 639, 479, false},
      {640, 480, 0, 0, 320, 240, false},
      // 4:3 on 16:9: bars left and right of a 1440 by 1080 picture.
      {1920, 1080, -32768, -32768, 0, 0, true},   {1920, 1080, 32767, -32768, 639, 0, true},
      {1920, 1080, -32768, 32767, 0, 479, true},  {1920, 1080, 32767, 32767, 639, 479, true},
      {1920, 1080, 0, 0, 320, 240, false},
      {1920, 1080, -24576, 0, 0, 240, false},     {1920, 1080, -24577, 0, 0, 240, true},
      // 4:3 on 5:4: bars above and below a 1280 by 960 picture.
      {1280, 1024, -32768, -32768, 0, 0, true},   {1280, 1024, 32767, -32768, 639, 0, true},
      {1280, 1024, -32768, 32767, 0, 479, true},  {1280, 1024, 32767, 32767, 639, 479, true},
      {1280, 1024, 0, 0, 320, 240, false},
      {1280, 1024, 0, -30720, 320, 0, false},     {1280, 1024, 0, -30721, 320, 0, true}};
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message()
                 << r.screenW << "x" << r.screenH << " at " << r.x << "," << r.y);
    resetPlayers();
    openGuns(1);
    setDisplayGeometry(r.screenW, r.screenH);
    setFakeAxis(0, 0, r.x);
    setFakeAxis(0, 1, r.y);
    setFakeButton(0, 0, true);
    players[Joystick1].shotsFired = 1;
    pollAfterPacing();
    const Player& gun = players[Joystick1];
    EXPECT_EQ(gun.cursorX, r.gameX);
    EXPECT_EQ(gun.cursorY, r.gameY);
    EXPECT_EQ(gun.fireRequested, r.outside ? 0 : 1);
    EXPECT_EQ(gun.reloadHeld, r.outside);
    setFakeButton(0, 0, false);
    pollAfterPacing();
    EXPECT_EQ(gun.shotsFired, r.outside ? 0 : 1) << "the release refills";
  }
}

// A gun held still wobbles: only a move of more than two pixels keeps its
// player in; its first reading alone does not make it join.
TEST_F(GunTest, AGunWobblingUnderThreePixelsLeavesAfterTenSeconds) {
  struct Row {
    int wobble;
    bool stays;
  };
  for (const Row r : {Row{0, false}, Row{2, false}, Row{3, true}}) {
    SCOPED_TRACE(r.wobble);
    resetPlayers();
    openGuns(1);
    setDisplayGeometry(1920, 1080);
    aimAt(0, 100, 100);
    pollAfterPacing();
    EXPECT_FALSE(players[Joystick1].active) << "a gun lying still does not join";
    aimAt(0, 320, 240);
    pollAfterPacing();
    EXPECT_TRUE(players[Joystick1].active);
    for (int step = 0; step < 800; ++step) {  // 10.4 seconds
      aimAt(0, 320 + (step % 2) * r.wobble, 240 - (step % 2) * r.wobble);
      pollAfterPacing();
      expireIdlePlayers(ticksMs());
    }
    EXPECT_EQ(players[Joystick1].active, r.stays);
  }
}

TEST_F(GunTest, TheVariableNamesTheGunsAndAMalformedOneIsReported) {
  struct Row {
    const char* value;
    bool kiosk, gun1, gun2, reported;
  };
  const Row rows[] = {{"1,2", false, true, true, false},  {" 2 ", false, false, true, false},
                      {"", false, false, false, false},   {"1,", false, false, false, true},
                      {"1 2", false, false, false, true}, {"3", false, false, false, true},
                      {"2,1", true, true, false, true}};  // kiosk: player 2 is a stick
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    resetPlayers();
    shell.kioskMode = r.kiosk;
    setenv("LAKEPORT_GUNS", r.value, 1);
    captureStderr();
    readJoystickGuns();
    const std::string said = capturedStderr();
    EXPECT_EQ(guns[Joystick1].gun, r.gun1);
    EXPECT_EQ(guns[Joystick2].gun, r.gun2);
    EXPECT_EQ(said.find("LAKEPORT_GUNS") != std::string::npos, r.reported) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), r.reported ? 1 : 0);
  }
}

// The real game on the fake clock with short frames: a stick held over on the
// weapon choice, where no event comes, crosses the screen as fast as in a round.
TEST_F(GunTest, AHeldStickCrossesTheWeaponChoiceAsFastAsARound) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  PlayDriver driver(5);
  std::map<ScreenId, uint32_t> crossingMs;
  uint32_t heldSince = 0;
  driver.onFrame = [&] {
    if (shell.screen != ScreenId::WeaponChoice && shell.screen != ScreenId::Round) return;
    if (crossingMs.count(shell.screen)) return;
    const Player& stick = players[Joystick1];
    if (heldSince == 0 && stick.cursorX == 0) {
      setFakeAxis(0, 0, 32767);
      heldSince = ticksMs();
    } else if (heldSince == 0) {
      setFakeAxis(0, 0, -32768);
    } else if (stick.cursorX == 639) {
      crossingMs[shell.screen] = ticksMs() - heldSince;
      setFakeAxis(0, 0, 0);
      heldSince = 0;
    }
  };
  driver.onInput = [&] {
    switch (shell.screen) {
      case ScreenId::Title:
        pushMouseClickAt(320, 240, crossingMs.count(ScreenId::Round) ? 3 : 1);
        break;
      case ScreenId::WeaponChoice:
        if (crossingMs.count(shell.screen)) pushMouseClickAt(110, 115);
        break;
      case ScreenId::LevelChoice: pushMouseClickAt(68, 115); break;
      case ScreenId::Round:
        if (crossingMs.count(shell.screen)) pushKey(SDLK_ESCAPE, true);
        break;
      case ScreenId::RoundEnd: pushMouseClickAt(320, 240, 3); break;
      default: pushMouseClickAt(320, 240); break;
    }
  };
  useFakeJoysticks(1);
  EXPECT_EQ(driver.play({"lakeport-nights"}, 5000), 0);
  ASSERT_EQ(crossingMs.size(), 2u);
  // 40 paced steps of 16 pixels, one every third 5 ms frame.
  EXPECT_NEAR(crossingMs[ScreenId::WeaponChoice], 600, 30);
  EXPECT_NEAR(crossingMs[ScreenId::Round], crossingMs[ScreenId::WeaponChoice], 30);
}

// Two guns and the mouse play a Garage round together on a 16:9 screen: the
// first gun picks the weapon and the level, both shoot gangsters' heads and
// reload by shooting into the bars, the second shoots the name entry's END key.
TEST_F(GunTest, TwoGunsAndTheMousePlayARoundScaledAndTheRowSaysMJJ) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  setenv("LAKEPORT_GUNS", "1,2", 1);
  useFakeJoysticks(2);
  PlayDriver driver;
  int titles = 0;
  long lastMouseMove = -1000;
  bool entryShot = false;
  int32_t bodyCount = 0;  // as the round ended
  AimOffset heads[FigurePictureCount];
  for (int k = 0; k < FigurePictureCount; ++k) heads[k] = headShotOffset(k);
  // Gun `g` fires at a game point: pulled this frame, let go the next.
  auto shootAt = [](int g, int gx, int gy) {
    aimAt(g, gx, gy);
    pushJoyButton(g, 0, true);
  };
  // Mouse positions come from the screen: pushed where a game point is shown.
  auto mouseClick = [](int button) {
    int sx, sy;
    gameToScreen(320, 240, &sx, &sy);
    pushMouseClickAt(sx, sy, button);
  };
  driver.onInput = [&] {
    if (shell.screen != ScreenId::Title) setDisplayGeometry(1920, 1080);
    for (int g = 0; g < 2; ++g)
      if (players[Joystick1 + g].triggerHeld || players[Joystick1 + g].menuFireHeld ||
          players[Joystick1 + g].reloadHeld) {
        pushJoyButton(g, 0, false);
        pushJoyButton(g, 1, false);
        return;
      }
    switch (shell.screen) {
      case ScreenId::Title: mouseClick(++titles == 1 ? 1 : 3); break;
      case ScreenId::WeaponChoice: shootAt(0, 110, 115); break;
      case ScreenId::LevelChoice: shootAt(0, 68, 115); break;
      case ScreenId::Round:
        if (driver.frames() - lastMouseMove >= 120) {
          // Both coordinates change, or the move would not count as one.
          const int far = driver.frames() / 120 % 2;
          int sx, sy;
          gameToScreen(200 + 100 * far, 300 + 30 * far, &sx, &sy);
          pushMouseMotion(sx, sy);
          lastMouseMove = driver.frames();
        }
        for (int g = 0; g < 2; ++g) {
          const Player& gun = players[Joystick1 + g];
          if (gun.fireRequested) continue;
          if (gun.shotsFired > 0) {
            setFakeAxis(g, 0, -32768);  // into the left bar
            pushJoyButton(g, 0, true);
            continue;
          }
          for (int i = 0; i < TargetCount; ++i) {
            const Target* t = TargetAt(g == 0 ? i : TargetCount - 1 - i);
            if (!t->shown || t->health <= 0 || !t->isGangster) continue;
            const AimOffset& a = heads[t->kind < FigurePictureCount ? t->kind : 0];
            shootAt(g, t->x + a.dx, t->y + a.dy);
            break;
          }
        }
        break;
      case ScreenId::RoundEnd:
        if (!bodyCount) bodyCount = roundState.bodyCount;
        if (driver.flippedScreen() != ScreenId::RoundEnd) break;
        if (qualified && !entryShot) {
          shootAt(1, nameKeyX(10), nameKeyY(1));
          entryShot = true;
        } else {
          pushJoyButton(0, 1, true);  // button two: the title
        }
        break;
      default: mouseClick(1); break;
    }
  };
  captureStderr();
  EXPECT_EQ(driver.play({"lakeport-nights"}, 20000), 0);
  EXPECT_EQ(capturedStderr(), "");
  EXPECT_GE(bodyCount, 20) << "only the guns shot";
  EXPECT_TRUE(entryShot);
  std::stringstream table;
  table << std::ifstream("data/data00.dat").rdbuf();
  EXPECT_NE(table.str().find(" -M-JJ\n"), std::string::npos) << table.str();
}
