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

TEST_F(HiscoreTest, OverlongTokensAreCutToTheirFields) {
  std::string text = tenRows(" ");
  const std::string longName(5000, 'N');
  const std::string longDevices(5000, 'D');
  text.replace(text.find("P^1 "), 3, longName);
  text.replace(text.find("-M---"), 5, longDevices);
  writeFile("data/data00.dat", text);
  captureStderr();
  EXPECT_EQ(LoadHiscores(0), 41);
  const std::string err = capturedStderr();
  EXPECT_STREQ(hiscores.rows[0].name, std::string(20, 'N').c_str());
  EXPECT_STREQ(hiscores.rows[0].devices, std::string(9, 'D').c_str());
  // The rows after it are read from their own tokens.
  EXPECT_EQ(hiscores.rows[0].score, 50);
  EXPECT_STREQ(hiscores.rows[1].name, "P 2");
  EXPECT_NE(err.find("./data/data00.dat"), std::string::npos) << err;
}

TEST_F(HiscoreTest, NulBytesEndATokensTextAndWhatIsReadSavesAndReadsBackAlike) {
  std::string text = tenRows(" ");
  text.replace(text.find("-M---", text.find("P^2 ")), 5, std::string("\0-M", 3));
  text.replace(text.find("P^1 "), 3, std::string("Ab\0cd", 5));
  text.replace(text.find("P^2 "), 3, std::string("\0\0", 2));
  writeFile("data/data00.dat", text);
  captureStderr();
  EXPECT_EQ(LoadHiscores(0), 41);
  EXPECT_NE(capturedStderr().find("./data/data00.dat is damaged"), std::string::npos);
  EXPECT_STREQ(hiscores.rows[0].name, "Ab");
  EXPECT_STREQ(hiscores.rows[1].name, "-");  // an empty text is written and read as "-"
  EXPECT_STREQ(hiscores.rows[1].devices, "-");
  EXPECT_EQ(hiscores.rows[1].score, 49);
  const HiscoreTable read = hiscores;
  captureStderr();
  ASSERT_EQ(SaveHiscores(0), 0);
  resetHiscores();
  LoadHiscores(0);
  capturedStderr();
  EXPECT_EQ(tableText(hiscores), tableText(read));
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

  // A short file of another level takes its missing fields from the defaults too.
  ASSERT_EQ(LoadHiscores(0), 41);
  writeFile("data/data02.dat", "1 Short 7 0 9 1 -M--- 2 Cut");
  captureStderr();
  EXPECT_EQ(LoadHiscores(2), defaults.rows[9].score);
  EXPECT_NE(capturedStderr().find("./data/data02.dat"), std::string::npos);
  EXPECT_STREQ(hiscores.rows[1].name, "Cut");
  EXPECT_EQ(hiscores.rows[1].score, defaults.rows[1].score);
  EXPECT_STREQ(hiscores.rows[5].name, defaults.rows[5].name);
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

TEST_F(HiscoreTest, DamagedFileIsKeptBesideItBeforeItIsOverwritten) {
  const std::string damaged = "1 A 5 0 5 1 -M--- 2 B x";
  writeFile("data/data01.dat", damaged);
  captureStderr();
  LoadHiscores(1);
  ASSERT_EQ(SaveHiscores(1), 0);
  EXPECT_NE(capturedStderr().find("data01.dat.damaged"), std::string::npos);
  EXPECT_EQ(readFile("data/data01.dat.damaged"), damaged);

  // A complete file is simply replaced; a second damaged one gets a new name.
  ASSERT_EQ(SaveHiscores(1), 0);
  EXPECT_FALSE(fs::exists("data/data01.dat.damaged-2"));
  writeFile("data/data01.dat", damaged + " more");
  captureStderr();
  ASSERT_EQ(SaveHiscores(1), 0);
  capturedStderr();
  EXPECT_EQ(readFile("data/data01.dat.damaged"), damaged);
  EXPECT_EQ(readFile("data/data01.dat.damaged-2"), damaged + " more");
}
