// Light guns and held sticks: axes, off-screen reloads, idling, whole games.

#include <map>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "play_driver.h"
#include "scores/round_end.h"
#include "scores_support.h"

namespace {
// Points gun `stick` at a game point: the lowest axis value of the run that
// points at the screen pixel showing it.
void aimAt(int stick, int gx, int gy) {
  int s[2];
  gameToScreen(gx, gy, &s[0], &s[1]);
  const int size[2] = {display.screenW, display.screenH};
  for (int a = 0; a < 2; ++a)
    setFakeAxis(stick, a, int16_t((int64_t(s[a]) * 65536 + size[a] - 1) / size[a] - 32768));
}

void pollAfterPacing() { advanceFakeClock(13), pollJoysticks(); }

// A fake stick's button changes, with the event the front end waits for.
void pushJoyButton(int stick, int button, bool down) {
  setFakeButton(stick, button, down);
  SDL_Event e{};
  e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
  SDL_PushEvent(&e);
}

// Two fake sticks opened as start-up would, the first one a gun.
void openGuns() {
  useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0), shell.joystick2 = joystickOpen(1);
  guns[Joystick1].gun = true;
}

using GunTest = GameTest;
}  // namespace

// The axes' corners and centre land on the game pixels shown there, unscaled
// and with the picture scaled between bars (4:3 on 16:9 and on 5:4, where the
// corners lie in the bars); a trigger pulled in a bar reloads.
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
    resetPlayers();
    openGuns();
    setDisplayGeometry(w, h);
    setFakeAxis(0, 0, x), setFakeAxis(0, 1, y), setFakeButton(0, 0, true);
    players[Joystick1].shotsFired = 1;
    pollAfterPacing();
    const Player& gun = players[Joystick1];
    EXPECT_EQ(std::tie(gun.cursorX, gun.cursorY, gun.fireRequested, gun.reloadHeld),
              std::make_tuple(gameX, gameY, outside ? 0 : 1, outside));
    setFakeButton(0, 0, false);
    pollAfterPacing();
    EXPECT_EQ(gun.shotsFired, outside ? 0 : 1) << "the release refills";
  }
}

// A gun held still wobbles: only a move of more than two pixels keeps its
// player in; its first reading alone does not make it join.
TEST_F(GunTest, AGunWobblingUnderThreePixelsLeavesAfterTenSeconds) {
  for (auto [wobble, stays] : {std::pair{2, false}, {3, true}}) {
    SCOPED_TRACE(wobble);
    resetPlayers();
    openGuns();
    setDisplayGeometry(1920, 1080);
    aimAt(0, 100, 100);
    pollAfterPacing();
    EXPECT_FALSE(players[Joystick1].active) << "a gun lying still does not join";
    for (int step = 0; step < 801; ++step) {  // 10.4 seconds
      aimAt(0, 320 + (step % 2) * wobble, 240 - (step % 2) * wobble);
      pollAfterPacing();
      EXPECT_TRUE(step > 0 || players[Joystick1].active);
      expireIdlePlayers(ticksMs());
    }
    EXPECT_EQ(players[Joystick1].active, stays);
  }
}

// The real game on the fake clock with short frames: a stick held over on the
// weapon choice, where no event comes, crosses the screen as fast as in a round.
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
  ASSERT_EQ(crossingMs.size(), 2u);
  // 40 paced steps of 16 pixels, one every third 5 ms frame.
  EXPECT_NEAR(crossingMs[ScreenId::WeaponChoice], 600, 30);
  EXPECT_NEAR(crossingMs[ScreenId::Round], crossingMs[ScreenId::WeaponChoice], 30);
}

// Two guns and the mouse play a Garage round on a 16:9 screen: gun 1 picks
// weapon and level, both shoot heads and reload in the bars, gun 2 shoots END.
TEST_F(GunTest, TwoGunsAndTheMousePlayARoundScaledAndTheRowSaysMJJ) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  setenv("LAKEPORT_GUNS", "1,2", 1);
  useFakeJoysticks(2);
  PlayDriver driver;
  long lastMouseMove = -1000;
  bool entryShot = false;
  int32_t bodyCount = 0;  // as the round ended
  // Gun `g` fires at a game point: pulled this frame, let go the next.
  auto shootAt = [](int g, int gx, int gy) { aimAt(g, gx, gy), pushJoyButton(g, 0, true); };
  auto mouseAt = [](int gx, int gy, int button) {
    int sx, sy;
    gameToScreen(gx, gy, &sx, &sy);
    button ? pushMouseClickAt(sx, sy, button) : pushMouseMotion(sx, sy);
  };
  driver.onInput = [&] {
    if (shell.screen != ScreenId::Title) setDisplayGeometry(1920, 1080);
    for (int g = 0; g < 2; ++g)
      if (players[Joystick1 + g].triggerHeld || players[Joystick1 + g].menuFireHeld ||
          players[Joystick1 + g].reloadHeld) {
        return pushJoyButton(g, 0, false), pushJoyButton(g, 1, false);
      }
    switch (shell.screen) {
      case ScreenId::Title: mouseAt(320, 240, entryShot ? 3 : 1); break;
      case ScreenId::WeaponChoice: shootAt(0, 110, 115); break;
      case ScreenId::LevelChoice: shootAt(0, 68, 115); break;
      case ScreenId::Round:
        if (driver.frames() - lastMouseMove >= 120) {
          // Both coordinates change, or the move would not count as one.
          const int far = driver.frames() / 120 % 2;
          mouseAt(200 + 100 * far, 300 + 30 * far, 0);
          lastMouseMove = driver.frames();
        }
        for (int g = 0; g < 2; ++g) {
          const Player& gun = players[Joystick1 + g];
          if (gun.fireRequested) continue;
          if (gun.shotsFired > 0) {  // a reload: into the left bar
            setFakeAxis(g, 0, -32768), pushJoyButton(g, 0, true);
            continue;
          }
          for (int i = 0; i < TargetCount; ++i) {
            const Target* t = TargetAt(g == 0 ? i : TargetCount - 1 - i);
            if (!t->shown || t->health <= 0 || !t->isGangster) continue;
            const AimOffset a = headShotOffset(t->kind < FigurePictureCount ? t->kind : 0);
            shootAt(g, t->x + a.dx, t->y + a.dy);
            break;
          }
        }
        break;
      case ScreenId::RoundEnd:
        if (!bodyCount) bodyCount = roundState.bodyCount;
        if (driver.flippedScreen() != ScreenId::RoundEnd) break;
        if (qualified && !entryShot)
          shootAt(1, nameKeyX(10), nameKeyY(1)), entryShot = true;
        else
          pushJoyButton(0, 1, true);  // button two: the title
        break;
      default: mouseAt(320, 240, 1); break;
    }
  };
  captureStderr();
  EXPECT_EQ(driver.play({"lakeport-nights"}, 20000), 0);
  EXPECT_EQ(capturedStderr(), "");
  EXPECT_GE(bodyCount, 20) << "only the guns shot";
  EXPECT_TRUE(entryShot);
  const std::string table = readFile("data/data00.dat");
  EXPECT_NE(table.find(" -M-JJ\n"), std::string::npos) << table;
}
