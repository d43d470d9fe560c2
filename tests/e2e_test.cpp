// The whole game in one process, through the real screen loop with the default
// art: the front end, rounds played by aiming at the figures that stand, the
// end of the round with a name shot on the on-screen keyboard, the hiscore
// file byte for byte, a replay, and the program's end with status 0.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/players.h"
#include "play_driver.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "weapons/weapons.h"

namespace {
// A hiscore file of the rows (without their place numbers) numbered 1 to 10.
std::string tableFile(const std::vector<std::string>& rows) {
  std::string text;
  for (size_t i = 0; i < rows.size() && i < 10; ++i)
    text += std::to_string(i + 1) + " " + rows[i] + "\n";
  return text;
}

// A Garage table whose middle rows tie with a 30-kill Single Action round of
// 30 shots in each way the ranking knows.
const std::vector<std::string> GarageRows = {
    "Big^Al 50 2 120 2 -MK--", "Lucky 40 1 60 1 -M---", "Dot 35 0 40 1 --K--",
    "Vic 30 0 29 1 -M---",   // same weapon, fewer shots: stays above
    "Bert 30 0 30 1 T----",  // a full tie: the older row stays above
    "Cy 30 1 12 1 ---J-",    // a later weapon: goes below
    "Moe 20 2 80 3 -MKJ-",     "Ida 12 1 25 1 -M---",   "Gus 9 0 9 1 --K--",   "Al 8 1 14 1 -M---"};
// A Flower Shop table whose tenth row a round that kills one bystander beats.
const std::vector<std::string> FlowerRows = {
    "Zed 12 2 90 1 -M---", "Yan 10 2 70 1 -M---", "Xia 8 1 30 2 -MK--", "Wes 6 1 20 1 --K--",
    "Val 4 0 9 1 -M---",   "Uma 3 2 41 1 -M---",  "Tom 2 1 12 1 ---J-", "Sue 1 0 5 1 -M---",
    "Rex 0 1 6 1 -M---",   "Quin -2 1 8 1 -M---"};

// What the round left for its end screen.
struct RoundResult {
  int32_t bodyCount, energy, gangstersLeft, totalShots, playerCount, marks;
  std::string deviceTag;
};

class WholeGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }

  // Plays from start-up to the program's end with the script, which is told
  // whether the screen is new; records each round's result and checks every
  // round frame: the energy never rises, and no frame follows the one that
  // took the last of it. With the whole default art the game prints nothing.
  void playToTheEnd(const std::function<void(bool)>& script) {
    driver.onFrame = [this] {
      if (shell.screen != ScreenId::Round) return;
      if (driver.framesOnScreen() == 1) lastEnergy = 100;
      EXPECT_GT(lastEnergy, 0) << "a frame after the energy ran out";
      EXPECT_LE(roundState.energy, lastEnergy);
      lastEnergy = roundState.energy;
    };
    ScreenId last = ScreenId::Title;
    driver.onInput = [&] {
      const bool entered = shell.screen != last;
      last = shell.screen;
      if (entered && shell.screen == ScreenId::RoundEnd)
        results.push_back({roundState.bodyCount, roundState.energy, roundState.gangstersLeft,
                           totalShots, roundState.playerCount, usedShotMarks(), DeviceTag});
      // The end screen drains the round's last input before it draws.
      if (shell.screen == ScreenId::RoundEnd && driver.flippedScreen() != ScreenId::RoundEnd)
        return;
      if (!frontEnd.act(entered)) script(entered);
    };
    captureStderr();
    try {
      EXPECT_EQ(driver.play({"lakeport-nights"}, 20000), 0);
    } catch (const PlayStuck& stuck) {
      ADD_FAILURE() << stuck.why;
    }
    EXPECT_EQ(capturedStderr(), "");
  }

  PlayDriver driver;
  FrontEndClicks frontEnd{0, 0};
  std::vector<RoundResult> results;
  int32_t lastEnergy = 100;
};
}  // namespace

TEST_F(WholeGameTest, GarageRoundKillsEveryGangsterTypesANameReplaysAndExits) {
  writeFile("data/data00.dat", tableFile(GarageRows));
  // "ACE 7" (a space in the name), then the end key.
  std::deque<std::array<int, 3>> name = {{0, 3, 'A'}, {2, 4, 'C'}, {2, 2, 'E'},
                                         {3, 5, ' '}, {6, 1, '7'}, {10, 1, NameKeyEnd}};
  for (const auto& k : name) ASSERT_EQ(NameKeyAt(nameKeyX(k[0]), nameKeyY(k[1])), k[2]);
  frontEnd = {110, 68};  // the Single Action, the Garage
  MouseGunner gunner(true);
  std::string tableAfterEntry;
  bool bystanderHurt = false;
  playToTheEnd([&](bool entered) {
    if (shell.screen == ScreenId::Round) {
      for (int i = 0; i < TargetCount; ++i)
        bystanderHurt |= TargetAt(i)->shown && !TargetAt(i)->isGangster && TargetAt(i)->health < 5;
      if (entered) {
        EXPECT_EQ(std::tie(shell.chosenWeapon, shell.chosenLevel, roundState.bodyCount,
                           roundState.energy, roundState.gangstersLeft, totalShots),
                  std::make_tuple(SingleAction, Garage, 0, 100, 30, 0));
        EXPECT_EQ(usedShotMarks(), 0) << "marks of the last round are still there";
      }
      if (results.empty())
        gunner.act([](const Target& t) { return t.isGangster; }, driver.frames());
      else
        pushKey(SDLK_ESCAPE, true);  // the replay is left at once
    } else if (results.size() == 1 && !name.empty()) {
      EXPECT_TRUE(qualified);
      pushMouseClickAt(nameKeyX(name.front()[0]), nameKeyY(name.front()[1]));
      name.pop_front();
    } else if (results.size() == 1) {
      if (tableAfterEntry.empty()) tableAfterEntry = readFile("data/data00.dat");
      pushMouseClickAt(320, 240);  // fire: the same level again
    } else {
      EXPECT_FALSE(qualified);
      pushMouseClickAt(320, 240, 3);  // button 2: the title
    }
  });

  using S = ScreenId;
  EXPECT_EQ(driver.screensShown(),
            (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                            S::Round, S::RoundEnd, S::Round, S::RoundEnd, S::Title}));
  ASSERT_EQ(results.size(), 2u);
  // Every gangster appearance was killed with one shot each, every shot made
  // its fifteen marks; no bystander hurt.
  const RoundResult& r = results[0];
  EXPECT_EQ(std::tie(r.gangstersLeft, r.bodyCount, r.totalShots, r.marks, r.playerCount),
            std::make_tuple(0, 30, 30, 450, 1));
  EXPECT_GT(r.energy, 0);
  EXPECT_EQ(r.deviceTag, "-M---");
  EXPECT_FALSE(bystanderHurt);
  EXPECT_EQ(std::tie(results[1].gangstersLeft, results[1].bodyCount, results[1].totalShots),
            std::make_tuple(30, 0, 0));
  // The new row sixth, the place numbers where they were, the old tenth row
  // gone; the name's space stored as "^".
  std::vector<std::string> after = GarageRows;
  after.insert(after.begin() + 5, "ACE^7 30 0 30 1 -M---");
  EXPECT_EQ(tableAfterEntry, tableFile(after));
  EXPECT_EQ(readFile("data/data00.dat"), tableFile(after));
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
}

TEST_F(WholeGameTest, FlowerShopRoundEndsByEnergyAndACancelledEntryStoresAnonymous) {
  writeFile("data/data04.dat", tableFile(FlowerRows));
  frontEnd = {530, 570};  // the Thompson, the Flower Shop
  MouseGunner gunner(false);
  int bystandersShot = 0, endClicks = 0;
  playToTheEnd([&](bool) {
    if (shell.screen == ScreenId::Round) {
      // One bystander is shot; the gangsters are left to shoot back.
      bystandersShot += gunner.act(
          [&](const Target& t) { return !t.isGangster && !bystandersShot; }, driver.frames());
    } else if (endClicks++ == 0) {
      EXPECT_TRUE(qualified);
      pushMouseClickAt(320, 240, 3);  // button 2 of the mouse, which played: cancel
    } else {
      pushMouseClickAt(320, 240);  // after a cancel even a fire leads to the title
    }
  });
  using S = ScreenId;
  EXPECT_EQ(driver.screensShown(),
            (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                            S::Round, S::RoundEnd, S::Title}));
  ASSERT_EQ(results.size(), 1u);
  const RoundResult& r = results[0];
  EXPECT_LE(r.energy, 0);
  EXPECT_GT(r.gangstersLeft, 0);
  EXPECT_EQ(std::tie(r.bodyCount, r.totalShots), std::make_tuple(-1, 1));
  EXPECT_EQ(r.deviceTag, "-M---");
  std::vector<std::string> after = FlowerRows;
  after[9] = "Anonymous -1 2 1 1 -M---";
  EXPECT_EQ(readFile("data/data04.dat"), tableFile(after));
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data04.dat"});
}
