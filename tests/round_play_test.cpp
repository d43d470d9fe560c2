// Whole rounds played through the real screens, figures, input and weapons:
// from the level choice through shots and kills to the end of the round.
#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "app/screens.h"
#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/events.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {

constexpr uint32_t FigureRgb = 0x000000;  // raw pixel 0: every shot lands
constexpr uint32_t HitRgb = 0xC00000;     // the killed figure's picture
constexpr uint32_t FrameMs = 40;
constexpr int FrameLimit = 20000;  // far beyond any round; ends a runaway test

class RoundPlayTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // Every figure picture, plain and mirrored (a few mirrors go unused).
    for (char kind : std::string("nopqdeghk"))
      for (const char* mirror : {"", "_mirror"}) {
        const std::string f = std::string(1, kind) + "_01_88x200" + mirror + ".bmp";
        writeBmp("pics/target_" + f, 88, 200, FigureRgb);
        writeBmp("pics/target_hit_" + f, 88, 200, HitRgb);
      }
    captureStderr();  // start-up names every other picture it misses
    const char* args[] = {"lakeport-nights"};
    ASSERT_EQ(startupGame(1, const_cast<char**>(args)), 0);
    capturedStderr();
  }

  // The level choice, by a mouse click on the level's picture.
  static void chooseLevel(int32_t level) {
    shell.screen = ScreenId::LevelChoice;
    mouseFireAt(10 + 126 * level + 58, 110);
    runLevelChoiceScreen();
    ASSERT_EQ(shell.screen, ScreenId::Round);
    ASSERT_EQ(shell.chosenLevel, level);
  }

  // Runs the round; every frame advances the clock and then calls the
  // player's hand, which may push the events of the next frame.
  void playRound(std::function<void()> hand) {
    frames = 0;
    setFlipHook([this, hand] {
      ++frames;
      advanceFakeClock(FrameMs);
      if (frames >= FrameLimit) {
        pushKey(SDLK_ESCAPE, true);
        return;
      }
      hand();
    });
    RunRound();
    setFlipHook(nullptr);
  }

  // A figure that stands and will still stand when the next frame serves
  // the trigger: in its first wall-clock second, alive.
  static Target* freshFigure() {
    for (int32_t i = 0; i < TargetCount; ++i) {
      Target* t = TargetAt(i);
      if (t->shown && t->health > 0 && wallSecondsSince(wallSeconds(), t->appearedAt) < 1) return t;
    }
    return nullptr;
  }

  int frames = 0;
};

TEST_F(RoundPlayTest, ShootingEveryFigureCompletesTheRoundWithItsBodyCount) {
  ASSERT_EQ(shell.chosenWeapon, SixShooter);
  chooseLevel(Garage);

  int shots = 0, expectedBody = 0, misses = 0;
  bool switched = false;
  Target* victim = nullptr;  // shot at, its kill shows on the next frame
  int32_t victimKind = -1;
  std::vector<int32_t> killedKinds;
  playRound([&] {
    if (victim) {
      // The frame just drawn served the shot: the figure is dead and shows
      // its hit picture, twitched up by the jolt.
      EXPECT_LE(victim->health, 0) << "kind " << victimKind;
      EXPECT_EQ(screenRgb(victim->x, victim->y + 20), HitRgb) << "kind " << victimKind;
      killedKinds.push_back(victimKind);
      victim = nullptr;
    }
    // Pull only when the next frame serves the pull at once.
    if (ticksMs() - players[Mouse].lastShotTime <= 80) return;
    if (players[Mouse].shotsFired == (switched ? 40 : 6)) {
      mouseButton2();  // reload
    }
    if (shots == 20 && !switched) {
      pushKey(SDLK_3, true);  // the Thompson from now on; the magazine count stays
      pushKey(SDLK_3, false);
      switched = true;
    }
    if (Target* t = freshFigure()) {
      mouseFireAt(t->x, t->y - 90);  // the head: five points, a kill at once
      victim = t;
      victimKind = t->kind;
      expectedBody += t->IsGangster() ? 1 : -1;
      ++shots;
    } else if (misses < 3 && shots > misses * 10) {
      mouseFireAt(110, 126);  // between two places: no figure is touched
      ++misses;
      ++shots;
    }
  });

  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
  EXPECT_LE(roundState.gangstersLeft, 0) << "completed";
  EXPECT_EQ(shell.chosenWeapon, Thompson);
  EXPECT_GT(killedKinds.size(), 20u);
  EXPECT_EQ(misses, 3);
  EXPECT_EQ(roundState.bodyCount, expectedBody);
  EXPECT_EQ(totalShots, shots);
  EXPECT_EQ(usedShotMarks(), 15 * shots) << "every shot reached the figures";
}

TEST_F(RoundPlayTest, GangstersLeftStandingShootTheEnergyAway) {
  chooseLevel(FlowerShop);
  int32_t lastEnergy = roundState.energy;
  int finalFrame = -1;
  playRound([&] {
    // The energy only falls, and the round ends after the frame it hit 0.
    EXPECT_LE(roundState.energy, lastEnergy);
    lastEnergy = roundState.energy;
    if (lastEnergy <= 0 && finalFrame < 0) finalFrame = frames;
  });

  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
  EXPECT_LE(roundState.energy, 0);
  EXPECT_GT(roundState.gangstersLeft, 0) << "shot, not completed";
  EXPECT_EQ(frames, finalFrame) << "no frame after the energy ran out";
  EXPECT_EQ(roundState.bodyCount, 0);
  EXPECT_EQ(totalShots, 0);
}

}  // namespace
