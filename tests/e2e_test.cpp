// The whole game in one process with the default art: the front end, rounds
// played at the standing figures, a name shot on the on-screen keyboard, the
// hiscore file byte for byte, a replay, and the program's end with status 0.
#include <tuple>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "play_driver.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
// A hiscore file of the rows (without their place numbers) numbered from 1.
std::string tableFile(const std::vector<std::string>& rows) {
  std::string text;
  for (size_t i = 0; i < rows.size(); ++i) text += std::to_string(i + 1) + " " + rows[i] + "\n";
  return text;
}

class WholeGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }
  // Plays to the program's end; with all the default art the game tells nothing.
  void playToTheEnd(MouseGame& game) {
    captureStderr();
    EXPECT_EQ(game.play(), 0);
    EXPECT_EQ(capturedStderr(), "");
  }
};
using S = ScreenId;
}  // namespace

TEST_F(WholeGameTest, GarageRoundKillsEveryGangsterTypesANameReplaysAndExits) {
  // Rows 4 to 6 tie with a 30-kill Single Action round of 30 shots: fewer
  // shots and a full tie stay above, a later weapon goes below.
  std::vector<std::string> rows = {"Big^Al 50 2 120 2 -MK--", "Lucky 40 1 60 1 -M---",
                                   "Dot 35 0 40 1 --K--",     "Vic 30 0 29 1 -M---",
                                   "Bert 30 0 30 1 T----",    "Cy 30 1 12 1 ---J-",
                                   "Moe 20 2 80 3 -MKJ-",     "Ida 12 1 25 1 -M---",
                                   "Gus 9 0 9 1 --K--",       "Al 8 1 14 1 -M---"};
  writeFile("data/data00.dat", tableFile(rows));
  MouseGame game(110, 68);                                        // the Single Action, the Garage
  game.name = {{0, 3}, {2, 4}, {2, 2}, {3, 5}, {6, 1}, {10, 1}};  // "ACE 7", the end key
  game.replays = 1;
  game.enough = [&] { return !game.rounds.empty(); };  // the replay is left at once
  bool bystanderHurt = false;
  std::string tableAfterEntry;
  game.afterEntry = [&] { tableAfterEntry = readFile("data/data00.dat"); };
  game.onRoundFrame = [&] {
    if (game.driver.framesOnScreen() == 1) {
      EXPECT_EQ(std::tie(shell.chosenWeapon, shell.chosenLevel, roundState.bodyCount,
                         roundState.energy, roundState.gangstersLeft, totalShots),
                std::make_tuple(SingleAction, Garage, 0, 100, 30, 0));
    }
    for (int i = 0; i < TargetCount; ++i)
      bystanderHurt |= TargetAt(i)->shown && !TargetAt(i)->isGangster && TargetAt(i)->health < 5;
  };
  playToTheEnd(game);

  EXPECT_EQ(game.driver.screensShown(),
            (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                            S::Round, S::RoundEnd, S::Round, S::RoundEnd, S::Title}));
  ASSERT_EQ(game.rounds.size(), 2u);
  // Every gangster killed with one shot, fifteen marks a shot, no bystander
  // hurt; the replay quit at once with the last round's marks gone.
  const MouseGame::Round &r = game.rounds[0], &replay = game.rounds[1];
  EXPECT_EQ(
      std::tie(r.gangstersLeft, r.bodyCount, r.totalShots, r.marks, r.playerCount, r.qualified),
      std::make_tuple(0, 30, 30, 450, 1, true));
  EXPECT_GT(r.energy, 0);
  EXPECT_EQ(r.deviceTag, "-M---");
  EXPECT_FALSE(bystanderHurt);
  EXPECT_EQ(std::tie(replay.gangstersLeft, replay.bodyCount, replay.totalShots, replay.marks,
                     replay.qualified),
            std::make_tuple(30, 0, 0, 0, false));
  // The new row sixth, the old tenth gone, the name's space stored as "^".
  rows.insert(rows.begin() + 5, "ACE^7 30 0 30 1 -M---");
  rows.pop_back();
  EXPECT_EQ(tableAfterEntry, tableFile(rows));
  EXPECT_EQ(readFile("data/data00.dat"), tableFile(rows));
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
}

TEST_F(WholeGameTest, FlowerShopRoundEndsByEnergyAndACancelledEntryStoresAnonymous) {
  // A table whose tenth row a round that kills one bystander beats.
  std::vector<std::string> rows = {
      "Zed 12 2 90 1 -M---", "Yan 10 2 70 1 -M---", "Xia 8 1 30 2 -MK--", "Wes 6 1 20 1 --K--",
      "Val 4 0 9 1 -M---",   "Uma 3 2 41 1 -M---",  "Tom 2 1 12 1 ---J-", "Sue 1 0 5 1 -M---",
      "Rex 0 1 6 1 -M---",   "Quin -2 1 8 1 -M---"};
  writeFile("data/data04.dat", tableFile(rows));
  MouseGame game(530, 570);  // the Thompson, the Flower Shop
  // One bystander is shot; the gangsters are left to shoot back.
  game.wanted = [](const Target& t) { return !t.isGangster && totalShots == 0; };
  game.reloadEveryShot = false;
  // Button 2 of the mouse, which played, cancels; after it a fire leads to the title.
  game.cancel = true;
  game.name.clear();
  game.replays = 1;
  playToTheEnd(game);
  EXPECT_EQ(game.driver.screensShown(),
            (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                            S::Round, S::RoundEnd, S::Title}));
  ASSERT_EQ(game.rounds.size(), 1u);
  const MouseGame::Round& r = game.rounds[0];
  EXPECT_LE(r.energy, 0);
  EXPECT_GT(r.gangstersLeft, 0);
  EXPECT_EQ(std::tie(r.bodyCount, r.totalShots, r.deviceTag, r.qualified),
            std::make_tuple(-1, 1, "-M---", true));
  rows[9] = "Anonymous -1 2 1 1 -M---";
  EXPECT_EQ(readFile("data/data04.dat"), tableFile(rows));
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data04.dat"});
}
