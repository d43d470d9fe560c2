// The end of a round: the table and result line on the screen, and the name
// asked for only when the table takes the result.
#include "scores/round_end.h"

#include <filesystem>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "scores/hiscores.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t HallOfFameRgb = 0x010000, DeadRgb = 0x000001;  // read as blank text

class RoundEndTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
    pictures.hallOfFame = own(solidSurface(640, 480, HallOfFameRgb));
    pictures.deadBackdrop = own(solidSurface(640, 480, DeadRgb));
    for (int i = 0; i < HiscoreRows; ++i)
      setRow(i, 10 * (i + 1), ("Row" + std::to_string(i)).c_str(), 30 - 2 * i, 1, 50, 1, "-M---");
  }
  void TearDown() override {
    releaseReadableFont();
    GameTest::TearDown();
  }
  // A finished Thompson round on a level played with the mouse alone.
  static void finishRound(int32_t score, bool completed, int32_t level = Garage) {
    roundState.bodyCount = score;
    roundState.gangstersLeft = completed ? 0 : 7;
    roundState.playerCount = 1;
    totalShots = 60;
    shell.chosenWeapon = Thompson;
    shell.chosenLevel = level;
    shell.screen = ScreenId::RoundEnd;
    players[Mouse].active = true;
  }
};
}  // namespace

TEST_F(RoundEndTest, TableAndResultLineStandInTheirColumnsAndRows) {
  finishRound(25, true);
  for (Player& p : players) p.active = true;
  BuildDeviceTag();
  EXPECT_STREQ(DeviceTag, "TMKJJ");
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
      {21, 6, "Six-Shooter"}, {2, 14, "100."}, {21, 14, ""},
      {0, 2, ""}, {0, 4, ""}, {0, 15, ""}};
  // clang-format on
  for (const auto& c : cells)
    EXPECT_EQ(screenText(c.column, c.row, c.column ? 32 : 640), c.text) << c.column << "," << c.row;
}

TEST_F(RoundEndTest, TyingTheTenthRowShowsTheResultLineAndAFireReplaysTheLevel) {
  ASSERT_EQ(SaveHiscores(Garage), 0);
  const std::string file = readFile("data/data00.dat");
  finishRound(12, true);  // the tenth row's score
  mouseFireAt(100, 100);  // from the round's last moments: drained, not an action
  std::string prompt;
  uint32_t firstFrameMs = 0, backdrop = 0;
  FrameScript script;
  script.then([&] {
    std::tie(firstFrameMs, prompt, backdrop) = std::make_tuple(
        ticksMs(), screenText(1, 16) + "|" + screenText(1, 27), screenRgb(639, 479));
    mouseFireAt(300, 300);
  });
  RunRoundEnd();
  EXPECT_EQ(std::tie(firstFrameMs, backdrop, shell.screen),
            std::make_tuple(1350u, HallOfFameRgb, ScreenId::Round));
  EXPECT_EQ(
      prompt,
      "Round completed. Your score: 12, Thompson, shots: 60, players: 1 (-M---)|Press fire to "
      "play this level again, or button 2 to go to the title screen");
  EXPECT_EQ(readFile("data/data00.dat"), file);
  // The round is re-armed: players join again by using their devices.
  EXPECT_EQ(std::tie(roundState.bodyCount, totalShots, players[Mouse].active),
            std::make_tuple(0, 0, false));
}

TEST_F(RoundEndTest, LevelWithoutAFileAsksForANameOnlyForAResultItsTableTakes) {
  // The Flower Shop has no file: its starting table's tenth row (2) a score of
  // 0 does not beat. No entry, nothing written, the result line under that
  // table over the shot backdrop; button 2 leaves.
  finishRound(0, false, FlowerShop);
  setRow(9, 10, "Other Level", -50, 0, 1, 1, "-M---");  // another level's rows must not count
  hiscoreLevel = Garage;
  std::string resultLine, tenth;
  uint32_t backdrop = 0;
  FrameScript script;
  script.then([&] {
    resultLine = screenText(1, 16);
    tenth = screenText(4, 14, 32);
    backdrop = screenRgb(639, 479);
    pushMouseButton(SDL_BUTTON_RIGHT, true, 0, 0), pushMouseButton(SDL_BUTTON_RIGHT, false, 0, 0);
  });
  RunRoundEnd();
  EXPECT_EQ(script.frames(), 1);
  EXPECT_EQ(resultLine, "You've been shot. Your score: 0, Thompson, shots: 60, players: 1 (-M---)");
  EXPECT_EQ(tenth, std::string(" ") + DefaultHiscoreTable().rows[9].name);
  EXPECT_EQ(std::tie(backdrop, shell.screen, shell.backRequested),
            std::make_tuple(DeadRgb, ScreenId::Title, false));
  EXPECT_FALSE(std::filesystem::exists("data/data04.dat"));
}
