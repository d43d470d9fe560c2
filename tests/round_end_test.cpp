// The end of a round: device tag, ranking, the table and result line on the
// screen, the hiscore screen and where it leads.
#include "scores/round_end.h"

#include <algorithm>
#include <filesystem>

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
  EXPECT_EQ(hiscores.rows[0].playerCount, 2);
  EXPECT_STREQ(hiscores.rows[0].devices, "-MK--");
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
  // Each column is read up to the next one; an unknown weapon has no name.
  const struct {
    int column, row;
    const char* text;
  } cells[] = {// clang-format off
      {2, 3, "Pos."}, {4, 3, " Name"}, {18, 3, "Score"}, {21, 3, "Gun"},
      {28, 3, "  #Shots"}, {32, 3, "  #Players"},
      {2, 5, "1."}, {4, 5, " Big Al"}, {18, 5, "44"}, {21, 5, "Single Action"},
      {28, 5, "  12"}, {32, 5, "  3"}, {34, 5, "    (TMK--)"},
      {21, 6, "Six-Shooter"}, {2, 14, "10."}, {21, 14, ""},
      {0, 2, ""}, {0, 4, ""}, {0, 15, ""}};
  // clang-format on
  for (const auto& c : cells)
    EXPECT_EQ(screenText(c.column, c.row, c.column ? 32 : 640), c.text) << c.column << "," << c.row;
  EXPECT_EQ(screenText(1, 16),
            "Round completed. Your score: 25, Thompson, shots: 60, players: 1 (-M---)");

  SDL_FillRect(shell.video, nullptr, 0);
  shell.chosenLevel = FlowerShop;
  ShowHiscoreTable();
  EXPECT_EQ(screenText(1, 1), "O'Dorran's Flower Shop Hiscore Table");
}

TEST_F(RoundEndTest, TyingTheTenthRowShowsTheResultLineAndAFireReplaysTheLevel) {
  ASSERT_EQ(SaveHiscores(Garage), 0);
  const std::string file = readFile("data/data00.dat");
  finishRound(12, true);  // the tenth row's score
  // A click from the round's last moments is drained, not taken as an action.
  mouseFireAt(100, 100);
  std::string resultLine, prompt;
  uint32_t firstFrameMs = 0;
  uint32_t backdrop = 0;
  FrameScript script;
  script.then([&] {
    firstFrameMs = ticksMs();
    resultLine = screenText(1, 16);
    prompt = screenText(1, 27);
    backdrop = screenRgb(639, 479);
    mouseFireAt(300, 300);
  });
  RunRoundEnd();
  EXPECT_EQ(script.frames(), 1);
  EXPECT_EQ(firstFrameMs, 1350u);
  EXPECT_EQ(resultLine, "Round completed. Your score: 12, Thompson, shots: 60, players: 1 (-M---)");
  EXPECT_EQ(prompt, "Press fire to play this level again, or button 2 to go to the title screen");
  EXPECT_EQ(backdrop, HallOfFameRgb);
  EXPECT_EQ(shell.screen, ScreenId::Round);
  EXPECT_EQ(readFile("data/data00.dat"), file);
  // The round is re-armed: players join again by using their devices.
  EXPECT_EQ(roundState.bodyCount, 0);
  EXPECT_FALSE(players[Mouse].active);
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
  // written, and the result line is shown under that table; button 2 leaves.
  finishRound(0, false);
  shell.chosenLevel = FlowerShop;
  setRow(9, 10, "Other Level", -50, 0, 1, 1, "-M---");  // another level's rows must not count
  hiscoreLevel = Garage;
  shell.backRequested = false;
  std::string resultLine, tenth;
  uint32_t backdrop = 0;
  FrameScript script;
  script.then([&] {
    resultLine = screenText(1, 16);
    tenth = screenText(4, 14, 32);
    backdrop = screenRgb(639, 479);
    mouseButton2();
  });
  RunRoundEnd();
  EXPECT_EQ(script.frames(), 1);
  EXPECT_EQ(resultLine, "You've been shot. Your score: 0, Thompson, shots: 60, players: 1 (-M---)");
  EXPECT_EQ(tenth, std::string(" ") + DefaultHiscoreTable().rows[9].name);
  EXPECT_EQ(backdrop, DeadRgb);
  EXPECT_EQ(shell.screen, ScreenId::Title);
  EXPECT_FALSE(shell.backRequested);
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
