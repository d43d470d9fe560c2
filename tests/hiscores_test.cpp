// The hiscore files: format, names with spaces, loading, safe saving, damage.
#include "scores/hiscores.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixture.h"
#include "scores/round_end.h"
#include "scores_support.h"

namespace fs = std::filesystem;

namespace {
using HiscoreTest = GameTest;

// Ten distinct rows; row 9 scores -6.
void fillTable() {
  const char* names[] = {"Ace",    "Bo Diddle", "C",       "DEE DEE", "E.",
                         "F#|_,-", "G H I J",   "\xb4Hat", "  Two",   "Nine"};
  for (int i = 0; i < HiscoreRows; ++i)
    setRow(i, i + 1, names[i], 30 - 4 * i, i % 3, 40 + i, 1 + i % 4, i % 2 ? "-MK--" : "T---J");
}

// Every field of every row, for comparing whole tables.
std::string tableText(const HiscoreTable& t) {
  std::string text;
  for (const HiscoreEntry& r : t.rows)
    text += std::to_string(r.position) + "|" + r.name + "|" + std::to_string(r.score) + "|" +
            std::to_string(r.weapon) + "|" + std::to_string(r.shots) + "|" +
            std::to_string(r.playerCount) + "|" + r.devices + "\n";
  return text;
}

std::string tenRows(const char* separator) {
  std::string text;
  for (int i = 0; i < HiscoreRows; ++i) {
    const std::string n = std::to_string(i + 1);
    text += n + separator + "P^" + n + separator + std::to_string(50 - i) + separator + "2" +
            separator + "60" + separator + "1" + separator + "-M---" + separator;
  }
  return text;
}
}  // namespace

TEST_F(HiscoreTest, RowsAreWrittenAsSevenTokensAndLoadBackTheSame) {
  fs::remove_all("data");  // a missing folder is made
  fillTable();
  setRow(2, 3, "Ace", 25, 1, 31, 2, "-MK--");
  setRow(3, 4, "Big Al", 24, 0, 12, 1, "--K--");
  const HiscoreTable saved = hiscores;
  ASSERT_EQ(SaveHiscores(3), 0);
  const std::string text = readFile("data/data03.dat");
  EXPECT_NE(text.find("\n3 Ace 25 1 31 2 -MK--\n4 Big^Al 24 0 12 1 --K--\n"), std::string::npos)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
  EXPECT_EQ(text.back(), '\n');
  // Encoding is for the file only: the table in memory keeps its spaces.
  EXPECT_STREQ(hiscores.rows[3].name, "Big Al");

  resetHiscores();
  EXPECT_EQ(LoadHiscores(3), -6);
  EXPECT_EQ(tableText(hiscores), tableText(saved));
  // Nothing but the table is left in data/.
  EXPECT_EQ(std::distance(fs::directory_iterator("data"), fs::directory_iterator()), 1);
}

TEST_F(HiscoreTest, TokensLoadTheSameWhateverTheLineBreaks) {
  writeFile("data/data02.dat", tenRows(" "));
  EXPECT_EQ(LoadHiscores(2), 41);
  const HiscoreTable oneLine = hiscores;
  writeFile("data/data02.dat", tenRows("\n\t \n"));
  resetHiscores();
  EXPECT_EQ(LoadHiscores(2), 41);
  EXPECT_EQ(tableText(hiscores), tableText(oneLine));
  EXPECT_STREQ(hiscores.rows[9].name, "P 10");
}

TEST_F(HiscoreTest, InterruptedSaveLeavesTheOldFileWhole) {
  fillTable();
  ASSERT_EQ(SaveHiscores(0), 0);
  const std::string old = readFile("data/data00.dat");
  ASSERT_GT(old.size(), 100u);

  // The file-size limit makes the write fail part way, like a full disk.
  setRow(0, 1, "New Row", 99, 0, 1, 1, "-M---");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  captureStderr();
  const int32_t result = SaveHiscores(0);
  const std::string err = capturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, -1);
  EXPECT_EQ(readFile("data/data00.dat"), old);
  EXPECT_NE(err.find("./data/data00.dat"), std::string::npos) << err;
  EXPECT_NE(err.find(strerror(EFBIG)), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  // No half-written temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator("data"), fs::directory_iterator()), 1);
}

TEST_F(HiscoreTest, RefusedSaveIsReportedAndTheGameGoesOn) {
  fs::create_directory("data/data03.dat");
  writeFile("data/data03.dat/keep", "x");
  fillTable();
  captureStderr();
  EXPECT_EQ(SaveHiscores(3), -1);
  const std::string err = capturedStderr();
  EXPECT_NE(err.find("./data/data03.dat"), std::string::npos) << err;
  EXPECT_EQ(readFile("data/data03.dat/keep"), "x");
}

TEST_F(HiscoreTest, MissingFileStartsFromTheDefaultTableNotAnotherLevels) {
  writeFile("data/data00.dat", tenRows(" "));
  ASSERT_EQ(LoadHiscores(0), 41);
  EXPECT_EQ(LoadHiscores(1), -1);
  const HiscoreTable defaults = DefaultHiscoreTable();
  EXPECT_EQ(tableText(hiscores), tableText(defaults));
  EXPECT_EQ(hiscoreLevel, 1);

  // The default table reads back as written.
  ASSERT_EQ(SaveHiscores(1), 0);
  resetHiscores();
  EXPECT_EQ(LoadHiscores(1), defaults.rows[9].score);
  EXPECT_EQ(tableText(hiscores), tableText(defaults));
}

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

TEST_F(HiscoreTest, UnreadableReloadOfTheSameLevelKeepsTheTableInMemory) {
  fillTable();
  hiscoreLevel = 4;
  EXPECT_EQ(LoadHiscores(4), -1);
  EXPECT_STREQ(hiscores.rows[1].name, "Bo Diddle");
  // A table that belongs to one level is never saved under another.
  captureStderr();
  EXPECT_EQ(SaveHiscores(0), -1);
  EXPECT_NE(capturedStderr().find("./data/data00.dat"), std::string::npos);
  EXPECT_FALSE(fs::exists("data/data00.dat"));
}
