// The whole game in one process, through the real screen loop with the default
// art: the front end, rounds played by aiming at the figures that stand, the
// end of the round with a name shot on the on-screen keyboard, the hiscore
// file byte for byte, a replay, and the program's end with status 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/shell.h"
#include "fixture.h"
#include "game/displays.h"
#include "game/round.h"
#include "game/targets.h"
#include "input/players.h"
#include "play_driver.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "weapons/weapons.h"

namespace fs = std::filesystem;

namespace {
// A Garage table whose middle rows tie with a 30-kill Single Action round of
// 30 shots in each way the ranking knows.
const char* const GarageTable =
    "1 Big^Al 50 2 120 2 -MK--\n"
    "2 Lucky 40 1 60 1 -M---\n"
    "3 Dot 35 0 40 1 --K--\n"
    "4 Vic 30 0 29 1 -M---\n"   // same weapon, fewer shots: stays above
    "5 Bert 30 0 30 1 T----\n"  // a full tie: the older row stays above
    "6 Cy 30 1 12 1 ---J-\n"    // a later weapon: goes below
    "7 Moe 20 2 80 3 -MKJ-\n"
    "8 Ida 12 1 25 1 -M---\n"
    "9 Gus 9 0 9 1 --K--\n"
    "10 Al 8 1 14 1 -M---\n";

// The same table after the round: the new row sixth, the place numbers where
// they were, the old tenth row gone.
const char* const GarageTableAfter =
    "1 Big^Al 50 2 120 2 -MK--\n"
    "2 Lucky 40 1 60 1 -M---\n"
    "3 Dot 35 0 40 1 --K--\n"
    "4 Vic 30 0 29 1 -M---\n"
    "5 Bert 30 0 30 1 T----\n"
    "6 ACE^7 30 0 30 1 -M---\n"
    "7 Cy 30 1 12 1 ---J-\n"
    "8 Moe 20 2 80 3 -MKJ-\n"
    "9 Ida 12 1 25 1 -M---\n"
    "10 Gus 9 0 9 1 --K--\n";

// A Flower Shop table whose tenth row a round that kills one bystander beats.
const char* const FlowerShopTable =
    "1 Zed 12 2 90 1 -M---\n"
    "2 Yan 10 2 70 1 -M---\n"
    "3 Xia 8 1 30 2 -MK--\n"
    "4 Wes 6 1 20 1 --K--\n"
    "5 Val 4 0 9 1 -M---\n"
    "6 Uma 3 2 41 1 -M---\n"
    "7 Tom 2 1 12 1 ---J-\n"
    "8 Sue 1 0 5 1 -M---\n"
    "9 Rex 0 1 6 1 -M---\n"
    "10 Quin -2 1 8 1 -M---\n";

// The same table with the round's cancelled entry in place of the tenth row.
const std::string FlowerShopTableAfter =
    std::string(FlowerShopTable).substr(0, std::string(FlowerShopTable).find("10 Quin")) +
    "10 Anonymous -1 2 1 1 -M---\n";

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> dataFiles() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator("data")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// What the round left for its end screen.
struct RoundResult {
  int32_t bodyCount, energy, gangstersLeft, totalShots, playerCount;
  std::string deviceTag;
};

RoundResult roundResult() {
  return RoundResult{roundState.bodyCount, roundState.energy,      roundState.gangstersLeft,
                     totalShots,           roundState.playerCount, DeviceTag};
}

class WholeGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }

  // Plays from start-up to the program's end; the exit status, or -100 with a
  // failure when the game got stuck. With the whole default art and sound the
  // game has nothing to tell on standard error.
  int playToTheEnd(PlayDriver& driver) {
    captureStderr();
    int status = -100;
    try {
      status = driver.play({"lakeport-nights"}, 20000);
    } catch (const PlayStuck& stuck) {
      ADD_FAILURE() << stuck.why;
    }
    EXPECT_EQ(capturedStderr(), "");
    return status;
  }
};
}  // namespace

TEST_F(WholeGameTest, GarageRoundKillsEveryGangsterTypesANameReplaysAndExits) {
  writeText("data/data00.dat", GarageTable);

  struct NameKey {
    int column, row;
    int32_t key;
  };
  // "ACE 7", then the end key.
  std::deque<NameKey> name = {{0, 3, 'A'}, {2, 4, 'C'}, {2, 2, 'E'},
                              {3, 5, ' '}, {6, 1, '7'}, {10, 1, NameKeyEnd}};
  for (const NameKey& k : name) ASSERT_EQ(NameKeyAt(nameKeyX(k.column), nameKeyY(k.row)), k.key);

  PlayDriver driver;
  FrontEndClicks frontEnd{110, 68};  // the Single Action, the Garage
  std::unique_ptr<MouseGunner> gunner;
  int rounds = 0;
  ScreenId lastScreen = ScreenId::Title;
  std::vector<RoundResult> results;
  std::string tableAfterEntry;
  bool bystanderHurt = false;

  driver.onFrame = [&] {
    if (shell.screen != ScreenId::Round) return;
    for (int i = 0; i < TargetCount; ++i) {
      const Target* t = TargetAt(i);
      if (t->shown && !t->isGangster && t->health < 5) bystanderHurt = true;
    }
  };
  driver.onInput = [&] {
    const bool entered = shell.screen != lastScreen;
    lastScreen = shell.screen;
    if (frontEnd.act(entered)) return;
    switch (shell.screen) {
      case ScreenId::Round:
        if (entered) {
          ++rounds;
          EXPECT_EQ(shell.chosenWeapon, SingleAction);
          EXPECT_EQ(shell.chosenLevel, Garage);
          EXPECT_EQ(roundState.bodyCount, 0);
          EXPECT_EQ(roundState.energy, 100);
          EXPECT_EQ(roundState.gangstersLeft, 30);
          EXPECT_EQ(totalShots, 0);
          EXPECT_LT(shotMarks.entries[0].x, 0) << "marks of the last round are still there";
          if (!gunner) gunner = std::make_unique<MouseGunner>(true);
        }
        if (rounds == 1)
          gunner->act([](const Target& t) { return t.isGangster; }, driver.frames());
        else
          pushKey(SDLK_ESCAPE, true);  // the replay is left at once
        break;
      case ScreenId::RoundEnd:
        if (entered) results.push_back(roundResult());
        // The end screen drains the round's last input before it draws.
        if (driver.flippedScreen() != ScreenId::RoundEnd) break;
        if (rounds == 1 && !name.empty()) {
          EXPECT_TRUE(qualified);
          pushMouseClickAt(nameKeyX(name.front().column), nameKeyY(name.front().row));
          name.pop_front();
        } else if (rounds == 1) {
          tableAfterEntry = fileText("data/data00.dat");
          pushMouseClickAt(320, 240);  // fire: the same level again
        } else {
          EXPECT_FALSE(qualified);
          pushMouseClickAt(320, 240, 3);  // button 2: the title
        }
        break;
      default: break;
    }
  };

  EXPECT_EQ(playToTheEnd(driver), 0);

  std::vector<ScreenId> expected = {
      ScreenId::Title,       ScreenId::Story, ScreenId::DisplayHelp, ScreenId::WeaponChoice,
      ScreenId::LevelChoice, ScreenId::Round, ScreenId::RoundEnd,    ScreenId::Round,
      ScreenId::RoundEnd,    ScreenId::Title};
  EXPECT_EQ(driver.screensShown(), expected);

  ASSERT_EQ(results.size(), 2u);
  // Every gangster appearance was killed with one shot each; no bystander hurt.
  EXPECT_EQ(results[0].gangstersLeft, 0);
  EXPECT_EQ(results[0].bodyCount, 30);
  EXPECT_EQ(results[0].totalShots, 30);
  EXPECT_GT(results[0].energy, 0);
  EXPECT_EQ(results[0].playerCount, 1);
  EXPECT_EQ(results[0].deviceTag, "-M---");
  EXPECT_FALSE(bystanderHurt);
  // The replay was quit at once.
  EXPECT_EQ(results[1].gangstersLeft, 30);
  EXPECT_EQ(results[1].bodyCount, 0);
  EXPECT_EQ(results[1].totalShots, 0);

  EXPECT_EQ(tableAfterEntry, GarageTableAfter);
  EXPECT_EQ(fileText("data/data00.dat"), GarageTableAfter);
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
}

TEST_F(WholeGameTest, FlowerShopRoundEndsByEnergyAndACancelledEntryStoresAnonymous) {
  writeText("data/data04.dat", FlowerShopTable);

  PlayDriver driver;
  FrontEndClicks frontEnd{530, 570};  // the Thompson, the Flower Shop
  std::unique_ptr<MouseGunner> gunner;
  int bystandersShot = 0;
  ScreenId lastScreen = ScreenId::Title;
  std::vector<RoundResult> results;
  bool cancelled = false;

  driver.onInput = [&] {
    const bool entered = shell.screen != lastScreen;
    lastScreen = shell.screen;
    if (frontEnd.act(entered)) return;
    switch (shell.screen) {
      case ScreenId::Round:
        if (!gunner) gunner = std::make_unique<MouseGunner>(false);
        // One bystander is shot; the gangsters are left to shoot back.
        if (gunner->act([&](const Target& t) { return !t.isGangster && bystandersShot == 0; },
                        driver.frames()))
          ++bystandersShot;
        break;
      case ScreenId::RoundEnd:
        if (entered) results.push_back(roundResult());
        if (driver.flippedScreen() != ScreenId::RoundEnd) break;
        if (!cancelled) {
          EXPECT_TRUE(qualified);
          pushMouseClickAt(320, 240, 3);  // button 2 of the mouse, which played: cancel
          cancelled = true;
        } else {
          pushMouseClickAt(320, 240);  // after a cancel even a fire leads to the title
        }
        break;
      default: break;
    }
  };

  EXPECT_EQ(playToTheEnd(driver), 0);
  std::vector<ScreenId> expected = {
      ScreenId::Title,       ScreenId::Story, ScreenId::DisplayHelp, ScreenId::WeaponChoice,
      ScreenId::LevelChoice, ScreenId::Round, ScreenId::RoundEnd,    ScreenId::Title};
  EXPECT_EQ(driver.screensShown(), expected);

  ASSERT_EQ(results.size(), 1u);
  EXPECT_LE(results[0].energy, 0);
  EXPECT_GT(results[0].gangstersLeft, 0);
  EXPECT_EQ(results[0].bodyCount, -1);
  EXPECT_EQ(results[0].totalShots, 1);
  EXPECT_EQ(results[0].deviceTag, "-M---");
  EXPECT_EQ(fileText("data/data04.dat"), FlowerShopTableAfter);
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data04.dat"});
}
