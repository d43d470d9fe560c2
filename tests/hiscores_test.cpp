// The hiscore files: damaged files are read as far as they are sound and kept.
#include "scores/hiscores.h"

#include <algorithm>
#include <cstring>

#include "fixture.h"
#include "scores/round_end.h"
#include "scores_support.h"

namespace {
using HiscoreTest = GameTest;

// Every field of every row, for comparing whole tables.
std::string tableText(const HiscoreTable& t) {
  std::string text;
  for (const HiscoreEntry& r : t.rows)
    text += std::to_string(r.position) + "|" + r.name + "|" + std::to_string(r.score) + "|" +
            std::to_string(r.weapon) + "|" + std::to_string(r.shots) + "|" +
            std::to_string(r.playerCount) + "|" + r.devices + "\n";
  return text;
}
}  // namespace

TEST_F(HiscoreTest, DamagedFilesGiveRankedTablesAndAreKeptWhenTheNextResultIsSaved) {
  // Each file's table by name, a digit for that house row: a bad weapon and a
  // field not a number, bad players, a bad tag, a short row, unranked rows,
  // an empty file, overlong and NUL-cut names with an overlong tag.
  const struct {
    std::string file, names, error;
  } cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.substr(0, 60));
    writeFile("data/data01.dat", c.file);
    resetHiscores();
    captureStderr();
    const int32_t lowest = LoadHiscores(1);
    const std::string err = capturedStderr();
    EXPECT_EQ(err.find("Hiscore file ./data/data01.dat is damaged: "), 0u) << err;
    EXPECT_NE(err.find(c.error), std::string::npos) << err;
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
    EXPECT_EQ(names, c.names);

    // The next result is saved over it; the damaged file stays beside it.
    InsertHiscore(100, 0, "New", 3, 1, "-M---");
    const HiscoreTable withNew = hiscores;
    captureStderr();
    ASSERT_EQ(SaveHiscores(1), 0);
    const std::string kept = "data/data01.dat.damaged" + (copy++ ? "-" + std::to_string(copy) : "");
    EXPECT_NE(capturedStderr().find(kept.substr(5)), std::string::npos);
    EXPECT_EQ(readFile(kept), c.file);
    resetHiscores();
    captureStderr();
    LoadHiscores(1);
    EXPECT_EQ(capturedStderr(), "");
    EXPECT_EQ(tableText(hiscores), tableText(withNew));
  }
}
