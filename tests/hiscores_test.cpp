// The end of a round: the table, result line and prompt on the screen and a
// replay; the name entry's keys and who may type; damaged hiscore files.
#include "scores/hiscores.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t HallOfFameRgb = 0x010000;  // reads as blank text

using HiscoreTest = GameTest;

class RoundEndTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
    pictures.hallOfFame = own(solidSurface(640, 480, HallOfFameRgb));
    for (int i = 0; i < HiscoreRows; ++i)
      SetHiscoreRow(hiscores.rows[i], ("Row" + std::to_string(i)).c_str(), 30 - 2 * i, 1, 50, 1,
                    "-M---"),
          hiscores.rows[i].position = 10 * (i + 1);
  }
  void TearDown() override {
    releaseReadableFont();
    GameTest::TearDown();
  }
};
}  // namespace

TEST_F(RoundEndTest, TyingTheTenthRowShowsTableAndResultLineAndAFireReplaysTheLevel) {
  SetHiscoreRow(hiscores.rows[0], "Big Al", 44, 0, 12, 3, "TMK--");
  ASSERT_EQ(SaveHiscores(Garage), 0);
  const std::string file = readFile("data/data00.dat");
  // A finished Thompson round of the tenth row's score, every device playing.
  roundState.bodyCount = 12, roundState.gangstersLeft = 0, roundState.playerCount = 1,
  totalShots = 60;
  shell.chosenWeapon = Thompson, shell.chosenLevel = Garage, shell.screen = ScreenId::RoundEnd;
  for (Player& p : players) p.active = true;
  mouseFireAt(100, 100);  // from the round's last moments: drained, not an action
  // Each column is read up to the next one.
  const std::tuple<int, int, std::string> cells[] = {
      // clang-format off
      {1, 1, "Garage Hiscore Table"}, {2, 3, "Pos."}, {4, 3, " Name"}, {18, 3, "Score"},
      {21, 3, "Gun"}, {28, 3, "  #Shots"}, {32, 3, "  #Players"},
      {2, 5, "10."}, {4, 5, " Big Al"}, {18, 5, "44"}, {21, 5, "Single Action"},
      {28, 5, "  12"}, {32, 5, "  3"}, {34, 5, "    (TMK--)"}, {21, 6, "Six-Shooter"},
      {2, 14, "100."}, {0, 2, ""}, {0, 4, ""}, {0, 15, ""},
      {1, 16, "Round completed. Your score: 12, Thompson, shots: 60, players: 1 (TMKJJ)"},
      {1, 27, "Press fire to play this level again, or button 2 to go to the title screen"}};
  // clang-format on
  std::vector<std::tuple<int, int, std::string>> seen;
  uint32_t firstFrameMs = 0, backdrop = 0;
  FrameScript script;
  script.then([&] {
    firstFrameMs = ticksMs(), backdrop = screenRgb(639, 479);
    for (const auto& [column, row, text] : cells)
      seen.emplace_back(column, row, screenText(column, row, column > 1 ? 32 : 640));
    mouseFireAt(300, 300);
  });
  RunRoundEnd();
  EXPECT_EQ(std::tie(firstFrameMs, backdrop, shell.screen),
            std::make_tuple(1350u, HallOfFameRgb, ScreenId::Round));
  EXPECT_EQ(seen, std::vector(std::begin(cells), std::end(cells)));
  EXPECT_EQ(readFile("data/data00.dat"), file);
  // The round is re-armed: players join again by using their devices.
  EXPECT_EQ(std::tie(roundState.bodyCount, totalShots, players[Mouse].active),
            std::make_tuple(0, 0, false));
}

TEST_F(HiscoreTest, DamagedFilesGiveRankedTablesAndAreKeptWhenTheNextResultIsSaved) {
  // Each file's table by name, a digit for that house row: a bad weapon and a
  // field not a number, bad players, a bad tag, a short row, unranked rows,
  // an empty file, overlong and NUL-cut names with an overlong tag.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // file, names, error
      {"1 A 5 9 9 9 ZZZZZ\n2 B x\n", "0 1 2 3 4 5 6 7 8 9",
       "row 1 on line 1 refused, its weapon 9 is not 0 to 2; row 2 on line 2 refused, its score "
       "is not a 32-bit number; 10 rows taken"},
      {"1 A 30 1 40 6 -M---\n2 B 25 1 40 5 TMKJJ\n", "B 1 2 3 4 5 6 7 8 9", "its players 6 is not"},
      {"1 A 30 1 40 1 -K---\n2 B 25 0 0 0 -----\n", "B 1 2 3 4 5 6 7 8 9",
       "row 1 on line 1 refused, its devices are not"},
      {"1 A 30 1 40 1 -M---\n2 B 25 1 40\n3 C 20 2 -1 1 -M---\n4 D 18 1 9 1 -M---\n",
       "A D 2 3 4 5 6 7 8 9",
       "it ends after 5 of 7 fields; row 3 on line 3 refused, its shots -1 is not 0 or more"},
      {"1 A 10 1 40 1 -M---\n2 B 30 1 40 1 -M---\n3 C 10 1 40 1 -M---\n", "B 3 4 A C 5 6 7 8 9",
       "rows ranked by score; 7 rows taken"},
      {"", "0 1 2 3 4 5 6 7 8 9", "10 rows taken from the house table"},
      {"1 " + std::string(100000, 'N') + " 30 1 40 1 -M---\n2 Ab" + std::string(1, '\0') +
           "cd 20 1 40 1 -M--- 3 " + std::string(3, '\0') + " 19 1 1 1 ---J-\n4 D 1 1 1 1 " +
           std::string(3000, 'D') + "\n",
       std::string(20, 'N') + " Ab - 3 4 5 6 7 8 9", "row 4 on line 3 refused, its devices"},
  };
  const HiscoreTable house = DefaultHiscoreTable();
  int copy = 0;
  for (const auto& [file, wantNames, error] : cases) {
    SCOPED_TRACE(file.substr(0, 60));
    writeFile("data/data01.dat", file);
    resetHiscores();
    captureStderr();
    const int32_t lowest = LoadHiscores(1);
    const std::string err = capturedStderr();
    EXPECT_EQ(err.find("Hiscore file ./data/data01.dat is damaged: "), 0u) << err;
    EXPECT_NE(err.find(error), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(lowest, hiscores.rows[9].score);
    std::string names;
    for (int i = 0; i < HiscoreRows; ++i) {
      const HiscoreEntry& r = hiscores.rows[i];
      EXPECT_EQ(r.position, i + 1);
      int h = 0;
      while (h < HiscoreRows && strcmp(house.rows[h].name, r.name)) ++h;
      names += (i ? " " : "") + (h < HiscoreRows ? std::to_string(h) : r.name);
    }
    EXPECT_EQ(names, wantNames);

    // The next result is saved over it; the damaged file stays beside it.
    InsertHiscore(100, 0, "New", 3, 1, "-M---");
    captureStderr();
    ASSERT_EQ(SaveHiscores(1), 0);
    const std::string kept = "data/data01.dat.damaged" + (copy++ ? "-" + std::to_string(copy) : "");
    EXPECT_NE(capturedStderr().find(kept.substr(5)), std::string::npos);
    EXPECT_EQ(readFile(kept), file);
    const std::string saved = readFile("data/data01.dat");  // read back silently, saved alike
    resetHiscores();
    captureStderr();
    LoadHiscores(1);
    EXPECT_EQ(capturedStderr(), "");
    ASSERT_EQ(SaveHiscores(1), 0);
    EXPECT_EQ(readFile("data/data01.dat"), saved);
  }
  // A file gone from under the level in memory leaves its table as it was.
  std::remove("data/data01.dat");
  EXPECT_EQ(LoadHiscores(1), -1);
  EXPECT_STREQ(hiscores.rows[0].name, "New");
}

TEST_F(HiscoreTest, NameKeyEdgesAndWhoMayType) {
  const std::tuple<int, int, int> keys[] = {
      {18, 336, '!'},         {37, 355, '!'},          {38, 336, '&'},
      {17, 336, NameKeyNone}, {18, 335, NameKeyNone},  {220, 360, NameKeyEnd},
      {237, 395, NameKeyEnd}, {238, 395, NameKeyNone}, {230, 340, NameKeyDelete},
      {237, 455, ' '},        {100, 456, NameKeyNone}, {158, 336, 0xB4},
      {220, 400, '|'},        {220, 420, '_'}};
  for (auto [x, y, key] : keys) EXPECT_EQ(NameKeyAt(x, y), key) << x << "," << y;
  // Only tagged devices type, unless no tagged device can fire (the tracker cannot).
  for (auto [tag, eligible] :
       {std::pair{"-M-J-", "-M-J-"}, {"T-K--", "T-K--"}, {"T----", "TMKJJ"}}) {
    memcpy(DeviceTag, tag, 6);  // eligible: per device, T M K J J
    for (int d = -1; d <= DeviceCount; ++d)
      EXPECT_EQ(NameEntryEligible(d), d >= 0 && d < DeviceCount && eligible[d] != '-')
          << tag << " device " << d;
  }
}
