// The end of a round: device tag, ranking, the table and result line on the
// screen, the hiscore screen and where it leads.
#include "scores/round_end.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/clock.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t HallOfFameRgb = 0x010000;  // backdrop 2, reads as blank text
constexpr uint32_t DeadRgb = 0x000001;        // backdrop 3

class RoundEndTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
    pictures.hallOfFame = solidSurface(640, 480, HallOfFameRgb);
    pictures.deadBackdrop = solidSurface(640, 480, DeadRgb);
    for (int i = 0; i < HiscoreRows; ++i)
      setRow(i, i + 1, ("Row" + std::to_string(i)).c_str(), 30 - 2 * i, 1, 50, 1, "-M---");
  }
  void TearDown() override {
    releaseReadableFont();
    SDL_FreeSurface(pictures.hallOfFame);
    SDL_FreeSurface(pictures.deadBackdrop);
    GameTest::TearDown();
  }
  // A finished Thompson round on the Garage played with the mouse alone.
  static void finishRound(int32_t score, bool completed) {
    roundState.bodyCount = score;
    roundState.gangstersLeft = completed ? 0 : 7;
    roundState.playerCount = 1;
    totalShots = 60;
    shell.chosenWeapon = Thompson;
    shell.chosenLevel = Garage;
    shell.screen = ScreenId::RoundEnd;
    players[Mouse].active = true;
  }
  static std::string names() {
    std::string all;
    for (const HiscoreEntry& e : hiscores.rows) all += std::string(e.name) + ",";
    return all;
  }
};

}  // namespace

TEST_F(RoundEndTest, DeviceTagHasTheLettersOfTheActivePlayers) {
  players[Mouse].active = true;
  BuildDeviceTag();
  EXPECT_STREQ(DeviceTag, "-M---");
  players[Mouse].active = false;
  players[Keyboard].active = players[Joystick2].active = true;
  BuildDeviceTag();
  EXPECT_STREQ(DeviceTag, "--K-J");
  for (Player& p : players) p.active = true;
  BuildDeviceTag();
  EXPECT_STREQ(DeviceTag, "TMKJJ");
}

TEST_F(RoundEndTest, ResultsRankByScoreThenWeaponThenShotsAndOldRowsStayAbove) {
  // Rows score 30, 28, ..., 12, all Six-Shooter with 50 shots.
  InsertHiscore(28, 2, "LowerGun", 1, 1, "-M---");  // Thompson ranks below a Six-Shooter
  EXPECT_STREQ(hiscores.rows[2].name, "LowerGun");
  InsertHiscore(28, 0, "Single", 99, 1, "-M---");  // Single Action ranks above it
  EXPECT_STREQ(hiscores.rows[1].name, "Single");
  InsertHiscore(26, 1, "Fewer", 49, 1, "-M---");
  InsertHiscore(26, 1, "Tie", 50, 1, "-M---");
  InsertHiscore(26, 1, "More", 51, 1, "-M---");
  EXPECT_EQ(names(), "Row0,Single,Row1,LowerGun,Fewer,Row2,Tie,More,Row3,Row4,");
  for (int i = 0; i < HiscoreRows; ++i) EXPECT_EQ(hiscores.rows[i].position, i + 1);
}

TEST_F(RoundEndTest, InsertingAtTheTopDropsTheTenthRowAndKeepsThePlaceNumbers) {
  for (int i = 0; i < HiscoreRows; ++i) hiscores.rows[i].position = 10 * (i + 1);
  InsertHiscore(31, 2, "Top Gun", 60, 2, "-MK--");
  EXPECT_EQ(names(), "Top Gun,Row0,Row1,Row2,Row3,Row4,Row5,Row6,Row7,Row8,");
  const HiscoreEntry& top = hiscores.rows[0];
  EXPECT_EQ(top.score, 31);
  EXPECT_EQ(top.weapon, 2);
  EXPECT_EQ(top.shots, 60);
  EXPECT_EQ(top.playerCount, 2);
  EXPECT_STREQ(top.devices, "-MK--");
  EXPECT_EQ(hiscores.rows[1].score, 30);
  for (int i = 0; i < HiscoreRows; ++i) EXPECT_EQ(hiscores.rows[i].position, 10 * (i + 1));

  // A result that ranks above no row leaves the table as it was.
  const std::string before = names();
  InsertHiscore(12, 1, "Tenth tie", 50, 1, "-M---");
  InsertHiscore(-5, 0, "Low", 0, 1, "-M---");
  EXPECT_EQ(names(), before);
}

TEST_F(RoundEndTest, TableAndResultLineStandInTheirColumnsAndRows) {
  finishRound(25, true);
  BuildDeviceTag();
  setRow(0, 1, "Big Al", 44, 0, 12, 3, "TMK--");
  hiscores.rows[9].weapon = 7;
  EXPECT_EQ(ShowHiscoreTable(), 16);
  EXPECT_EQ(PrintResultLine(1, 16), 17);
  EXPECT_EQ(screenText(1, 1), "Garage Hiscore Table");
  EXPECT_EQ(screenText(2, 3, 32), "Pos.");
  EXPECT_EQ(screenText(4, 3, 32), " Name");
  EXPECT_EQ(screenText(18, 3, 32), "Score");
  EXPECT_EQ(screenText(21, 3, 32), "Gun");
  EXPECT_EQ(screenText(28, 3, 32), "  #Shots");
  EXPECT_EQ(screenText(32, 3, 32), "  #Players");
  EXPECT_EQ(screenText(2, 5, 32), "1.");
  EXPECT_EQ(screenText(4, 5, 32), " Big Al");
  EXPECT_EQ(screenText(18, 5, 32), "44");
  EXPECT_EQ(screenText(21, 5, 32), "Single Action");
  EXPECT_EQ(screenText(28, 5, 32), "  12");
  EXPECT_EQ(screenText(32, 5, 32), "  3");
  EXPECT_EQ(screenText(34, 5, 32), "    (TMK--)");
  EXPECT_EQ(screenText(21, 6, 32), "Six-Shooter");
  EXPECT_EQ(screenText(2, 14, 32), "10.");
  EXPECT_EQ(screenText(21, 14, 32), "");  // no weapon name for an unknown weapon
  for (int row : {2, 4, 15}) EXPECT_EQ(screenText(0, row, 640), "");
  EXPECT_EQ(screenText(1, 16),
            "Round completed. Your score: 25, Thompson, shots: 60, players: 1 (-M---)");

  SDL_FillRect(shell.video, nullptr, 0);
  shell.chosenLevel = FlowerShop;
  ShowHiscoreTable();
  EXPECT_EQ(screenText(1, 1), "O'Dorran's Flower Shop Hiscore Table");
  roundState.gangstersLeft = 1;
  shell.chosenWeapon = SingleAction;
  SDL_FillRect(shell.video, nullptr, 0);
  PrintResultLine(1, 16);
  EXPECT_EQ(screenText(1, 16),
            "You've been shot. Your score: 25, Single Action, shots: 60, players: 1 (-M---)");
}

TEST_F(RoundEndTest, TyingTheTenthRowShowsTheResultLineAndAFireReplaysTheLevel) {
  ASSERT_EQ(SaveHiscores(Garage), 0);
  const std::string file = readFile("data/data00.dat");
  finishRound(12, true);  // the tenth row's score
  // A click from the round's last moments is drained, not taken as an action.
  mouseFireAt(100, 100);
  std::string shown, resultLine, prompt;
  uint32_t firstFrameMs = 0;
  uint32_t backdrop = 0;
  FrameScript script;
  script.then([&] {
    firstFrameMs = ticksMs();
    shown = screenText(4, 14, 32);
    resultLine = screenText(1, 16);
    prompt = screenText(1, 27);
    backdrop = screenRgb(639, 479);
    mouseFireAt(300, 300);
  });
  RunRoundEnd();
  EXPECT_EQ(script.frames(), 1);
  EXPECT_EQ(firstFrameMs, 1350u);
  EXPECT_EQ(shown, " Row9");
  EXPECT_EQ(resultLine, "Round completed. Your score: 12, Thompson, shots: 60, players: 1 (-M---)");
  EXPECT_EQ(prompt, "Press fire to play this level again, or botton 2 to go to the title screen");
  EXPECT_EQ(backdrop, HallOfFameRgb);
  EXPECT_EQ(shell.screen, ScreenId::Round);
  EXPECT_FALSE(qualified);
  EXPECT_EQ(readFile("data/data00.dat"), file);
  // The round is re-armed: players join again by using their devices.
  EXPECT_EQ(roundState.bodyCount, 0);
  EXPECT_FALSE(players[Mouse].active);
  EXPECT_EQ(menuInput.selectDevice, -1);
}

TEST_F(RoundEndTest, ButtonTwoOnTheHiscoreScreenLeadsToTheTitle) {
  ASSERT_EQ(SaveHiscores(Garage), 0);
  finishRound(3, false);
  shell.backRequested = false;
  uint32_t backdrop = 0;
  FrameScript script;
  script.then([&] {
    backdrop = screenRgb(639, 479);
    mouseButton2();
  });
  RunRoundEnd();
  EXPECT_EQ(backdrop, DeadRgb);
  EXPECT_EQ(shell.screen, ScreenId::Title);
  EXPECT_FALSE(shell.backRequested);
}

TEST_F(RoundEndTest, QualifyingResultIsEnteredSavedAndShownWithoutTheResultLine) {
  ASSERT_EQ(SaveHiscores(Garage), 0);
  finishRound(13, true);
  std::string row14, row16;
  FrameScript script;
  script
      .then([] { mouseFireAt(230, 380); })  // the end key
      .then([&] {
        row14 = screenText(4, 14, 32);
        row16 = screenText(1, 16);
        mouseFireAt(1, 1);
      });
  RunRoundEnd();
  EXPECT_EQ(row14, " Anonymous");
  EXPECT_EQ(row16, "");
  EXPECT_EQ(shell.screen, ScreenId::Round);
  EXPECT_FALSE(qualified);
  const std::string file = readFile("data/data00.dat");
  EXPECT_NE(file.find("\n10 Anonymous 13 2 60 1 -M---\n"), std::string::npos) << file;
}

TEST_F(RoundEndTest, LevelWithoutAFileAsksForANameOnlyForAResultItsTableTakes) {
  // The Flower Shop has no file: its table is the one it starts from, whose
  // tenth row (2) a score of 0 does not beat. No entry is offered, nothing is
  // written, and the result line is shown under that table.
  finishRound(0, false);
  shell.chosenLevel = FlowerShop;
  setRow(9, 10, "Other Level", -50, 0, 1, 1, "-M---");  // another level's rows must not count
  hiscoreLevel = Garage;
  std::string resultLine, tenth;
  FrameScript script;
  script.then([&] {
    resultLine = screenText(1, 16);
    tenth = screenText(4, 14, 32);
    mouseButton2();
  });
  RunRoundEnd();
  EXPECT_EQ(script.frames(), 1);
  EXPECT_EQ(resultLine, "You've been shot. Your score: 0, Thompson, shots: 60, players: 1 (-M---)");
  EXPECT_EQ(tenth, std::string(" ") + DefaultHiscoreTable().rows[9].name);
  EXPECT_FALSE(std::filesystem::exists("data/data04.dat"));

  // A score that beats it is entered, and the file is made with it.
  const int32_t score = DefaultHiscoreTable().rows[9].score + 1;
  finishRound(score, false);
  shell.chosenLevel = FlowerShop;
  bool entryShown = false;
  FrameScript entry;
  entry
      .then([&] {
        entryShown = screenText(1, 18).rfind("Please enter your name", 0) == 0;
        mouseFireAt(230, 380);  // the end key: "Anonymous"
      })
      .then([] { mouseFireAt(1, 1); });
  RunRoundEnd();
  EXPECT_TRUE(entryShown);
  const std::string file = readFile("data/data04.dat");
  const std::string row = "\n10 Anonymous " + std::to_string(score) + " 2 60 1 -M---\n";
  EXPECT_NE(file.find(row), std::string::npos) << file;
  EXPECT_EQ(file.find("Other"), std::string::npos) << file;
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 10);
}
