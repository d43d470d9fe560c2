// The whole game meeting faults of its surroundings: a data folder it cannot
// write or that is missing, a save that fails half-way, no pictures and no
// sounds, every mixer channel taken, and the tracker's device closing in the
// middle of a round. Each time the game plays on to its end with status 0,
// keeps every stored row, and names what failed in one line where the player
// needs to know.
#include <SDL_mixer.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "play_driver.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "sim_tracker.h"
#include "weapons/weapons.h"

namespace fs = std::filesystem;

namespace {
// A Garage table every result of 0 or more beats at its tenth row.
const char* const LowTable =
    "1 Al -1 1 10 1 -M---\n"
    "2 Bo -2 1 10 1 -M---\n"
    "3 Cy -3 1 10 1 -M---\n"
    "4 Di -4 1 10 1 -M---\n"
    "5 Ed -5 1 10 1 -M---\n"
    "6 Flo -6 1 10 1 -M---\n"
    "7 Gil -7 1 10 1 -M---\n"
    "8 Hal -8 1 10 1 -M---\n"
    "9 Ike -9 1 10 1 -M---\n"
    "10 Jo -10 1 10 1 -M---\n";

void writeFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> dataFiles() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator("data")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

bool tableHolds(const char* name) {
  for (const HiscoreEntry& e : hiscores.rows)
    if (std::string(e.name) == name) return true;
  return false;
}

// A game played by the mouse: the Garage with the Six-Shooter, a round in which
// it kills `kills` gangsters and then quits with Escape, the end key on the
// name entry (an anonymous row) when one is offered, button 2 on the hiscore
// screen and on the title. Hooks let a test step in at the start of the round's
// end and on every round frame.
class ScriptedGame {
 public:
  explicit ScriptedGame(int kills) : kills(kills) {}
  std::function<void()> atRoundEnd;  // once, at the first input of the end screens
  std::function<void()> afterEntry;  // once, on the hiscore screen after the entry
  std::function<void()> onRoundFrame;

  // Plays from start-up to the program's end; the exit status.
  int play() {
    driver.onFrame = [this] {
      if (shell.screen == ScreenId::Round && onRoundFrame) onRoundFrame();
    };
    driver.onInput = [this] { act(); };
    try {
      return driver.play({"lakeport-nights"}, 20000);
    } catch (const PlayStuck& stuck) {
      ADD_FAILURE() << stuck.why;
      return -100;
    }
  }

  int32_t bodyCountAtEnd = -1000, shotsAtEnd = -1;
  bool entryOffered = false;

 private:
  void act() {
    const bool entered = shell.screen != last;
    last = shell.screen;
    if (frontEnd.act(entered)) return;
    if (shell.screen == ScreenId::Round) {
      if (!gunner) gunner = std::make_unique<MouseGunner>(true);
      if (roundState.bodyCount >= kills)
        pushKey(SDLK_ESCAPE, true);
      else
        gunner->act([](const Target& t) { return t.isGangster; }, driver.frames());
      return;
    }
    if (shell.screen != ScreenId::RoundEnd) return;
    if (entered) {
      bodyCountAtEnd = roundState.bodyCount;
      shotsAtEnd = totalShots;
      endKeyShot = false;
      if (atRoundEnd) atRoundEnd();
    }
    // The end screens drain the round's last input before they draw.
    if (driver.flippedScreen() != ScreenId::RoundEnd) return;
    if (endKeyShot && afterEntry) {
      afterEntry();
      afterEntry = nullptr;
    }
    if (qualified && !endKeyShot) {
      entryOffered = true;
      endKeyShot = true;
      pushMouseClickAt(nameKeyX(10), nameKeyY(1));  // the end key: "Anonymous"
      return;
    }
    pushMouseClickAt(320, 240, 3);  // button 2: to the title
  }

  int kills;
  PlayDriver driver;
  FrontEndClicks frontEnd{300, 68};  // the Six-Shooter, the Garage
  std::unique_ptr<MouseGunner> gunner;
  ScreenId last = ScreenId::Title;
  bool endKeyShot = false;
};

// Makes file access fail for the game as for a player without rights: as the
// unprivileged user when the tests run as root (to whom modes mean nothing),
// else by the modes alone. Undone when it goes.
class WithoutRights {
 public:
  WithoutRights() {
    if (geteuid() == 0) dropped = seteuid(65534) == 0;
  }
  ~WithoutRights() {
    if (dropped) {
      EXPECT_EQ(seteuid(0), 0);
    }
  }
  WithoutRights(const WithoutRights&) = delete;
  WithoutRights& operator=(const WithoutRights&) = delete;

 private:
  bool dropped = false;
};

class FaultTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }
  // After a save of the entry's row that failed: the old file whole and alone,
  // the table shown read back from it (without the new row), and one line
  // naming the file.
  static void expectRefusedSaveKeptTheOldTable(const ScriptedGame& game,
                                               const std::string& errors) {
    EXPECT_TRUE(game.entryOffered);
    EXPECT_EQ(fileText("data/data00.dat"), LowTable);
    EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
    EXPECT_FALSE(tableHolds("Anonymous"));
    const std::vector<std::string> lines = linesOf(errors);
    ASSERT_EQ(lines.size(), 1u) << errors;
    EXPECT_NE(lines[0].find("./data/data00.dat"), std::string::npos) << lines[0];
  }
  // The game's lines on standard error while it plays.
  std::string playCapturingErrors(ScriptedGame& game, int* status) {
    captureStderr();
    *status = game.play();
    return capturedStderr();
  }
};
}  // namespace

TEST_F(FaultTest, ReadOnlyDataFolderKeepsTheOldTableAndSaysSoInOneLine) {
  writeFileText("data/data00.dat", LowTable);
  // The unprivileged user must still reach the game's folder and read the file.
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  fs::permissions("data", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  std::unique_ptr<WithoutRights> rights;
  ScriptedGame game(0);
  game.atRoundEnd = [&] { rights = std::make_unique<WithoutRights>(); };
  game.afterEntry = [&] { rights.reset(); };
  int status = -1;
  const std::string errors = playCapturingErrors(game, &status);
  fs::permissions("data", fs::perms::owner_all);

  EXPECT_EQ(status, 0);
  expectRefusedSaveKeptTheOldTable(game, errors);
}

TEST_F(FaultTest, MissingDataFolderIsMadeWhenTheFirstRowIsSaved) {
  fs::remove_all("data");
  // A result the level's starting table takes: one above its tenth row.
  const int kills = DefaultHiscoreTable().rows[9].score + 1;
  ScriptedGame game(kills);
  int status = -1;
  const std::string errors = playCapturingErrors(game, &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game.bodyCountAtEnd, kills);
  EXPECT_TRUE(game.entryOffered);
  const std::vector<std::string> lines = linesOf(fileText("data/data00.dat"));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find(" Anonymous ") != l.npos; }),
            1);
  EXPECT_EQ(errors, "");
}

TEST_F(FaultTest, SaveFailingHalfWayKeepsTheOldFileWhole) {
  writeFileText("data/data00.dat", LowTable);
  // A file-size limit makes the save's writes fail after 100 bytes, as a full
  // disk would.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  bool limited = false;
  ScriptedGame game(0);
  game.atRoundEnd = [&] {
    rlimit small = saved;
    small.rlim_cur = 100;
    limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
  };
  game.afterEntry = [&] { setrlimit(RLIMIT_FSIZE, &saved); };
  int status = -1;
  const std::string errors = playCapturingErrors(game, &status);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  ASSERT_TRUE(limited);
  EXPECT_EQ(status, 0);
  expectRefusedSaveKeptTheOldTable(game, errors);
  EXPECT_NE(errors.find(strerror(EFBIG)), std::string::npos) << errors;
}

// How often the mixer reported each channel stopped (halted, or ended) while
// the test listened.
std::atomic<int> channelStops[8];

TEST_F(FaultTest, AllEightMixerChannelsBusyLeaveEverySoundToItsOwner) {
  // Eight endless sounds of someone else's hold every channel the mixer has.
  static Uint8 silence[44100] = {};
  Mix_Chunk* busy = nullptr;
  int roundFrames = 0;
  int32_t titleChannel = NoChannel;
  ScriptedGame game(3);
  game.onRoundFrame = [&] {
    ++roundFrames;
    if (busy) return;
    busy = Mix_QuickLoad_RAW(silence, sizeof silence);
    ASSERT_NE(busy, nullptr);
    Mix_HaltChannel(-1);
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannel(c, busy, -1), c);
    // From now on no shot, reload, hit, gunshot or end of the round may cut
    // one; only the title tune, played again after the round and halted at
    // the end, cuts the channel it recorded at start-up, as every place cuts
    // its own.
    titleChannel = titleTuneChannel;
    for (std::atomic<int>& n : channelStops) n = 0;
    Mix_ChannelFinished([](int channel) {
      if (channel >= 0 && channel < 8) ++channelStops[channel];
    });
  };
  int status = -1;
  const std::string errors = playCapturingErrors(game, &status);
  Mix_ChannelFinished(nullptr);
  EXPECT_EQ(status, 0);
  // The round went on without a sound: every shot counted and every kill.
  EXPECT_EQ(game.bodyCountAtEnd, 3);
  EXPECT_GE(game.shotsAtEnd, 3);
  EXPECT_GT(roundFrames, 100);
  for (int c = 0; c < 8; ++c) {
    if (c == titleChannel) continue;
    EXPECT_EQ(channelStops[c], 0) << "channel " << c;
  }
  EXPECT_EQ(errors, "");
  Mix_FreeChunk(busy);
}

TEST_F(FaultTest, TrackerDeviceClosingMidRoundIsToldOnceAndTheRoundGoesOn) {
  SimTracker sim;
  ASSERT_TRUE(openSimTracker(&sim, true));  // its replies arrive before it returns
  const std::string path = sim.path;
  setenv("LAKEPORT_TRACKER_PORT", path.c_str(), 1);
  setFakeSleepHook([&](uint32_t) {
    if (sim.master >= 0) serveSimTracker(&sim);
  });
  int roundFrames = 0;
  bool presentAtStart = false;
  ScriptedGame game(3);
  game.onRoundFrame = [&] {
    if (++roundFrames == 1) presentAtStart = shell.trackerPresent;
    if (roundFrames == 20) closeSimTracker(&sim);  // the tracker is unplugged
  };
  int status = -1;
  const std::string errors = playCapturingErrors(game, &status);
  closeSimTracker(&sim);
  EXPECT_TRUE(presentAtStart);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game.bodyCountAtEnd, 3);
  EXPECT_GT(roundFrames, 40);
  // The tracker's player stays in the game, aiming where it last aimed.
  EXPECT_TRUE(players[Tracker].active);
  const std::vector<std::string> lines = linesOf(errors);
  ASSERT_EQ(lines.size(), 1u) << errors;
  EXPECT_NE(lines[0].find(path), std::string::npos) << lines[0];
}

// Without any picture or sound the game still plays: figures without pictures
// still take shots, the keyboard's keys still type.
class NoArtTest : public GameTest {
 protected:
  // Plays a game of three kills and an anonymous row; the lines it printed.
  std::vector<std::string> playWithoutArt() {
    writeFileText("data/data00.dat", LowTable);
    ScriptedGame game(3);
    captureStderr();
    EXPECT_EQ(game.play(), 0);
    const std::vector<std::string> lines = linesOf(capturedStderr());
    EXPECT_EQ(game.bodyCountAtEnd, 3);
    EXPECT_TRUE(game.entryOffered);
    EXPECT_EQ(fileText("data/data00.dat").rfind("1 Anonymous 3 1 ", 0), 0u);
    return lines;
  }
};

TEST_F(NoArtTest, MissingFoldersAreToldInOneLineEachAndTheGamePlaysOn) {
  fs::remove_all("pics");
  fs::remove_all("sounds");
  const std::vector<std::string> lines = playWithoutArt();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("pics/"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("sounds/"), std::string::npos) << lines[1];
}

TEST_F(NoArtTest, EmptyFoldersNameEveryMissingFileOnceAndTheGamePlaysOn) {
  const std::vector<std::string> lines = playWithoutArt();
  // One line for each picture, font and sound file, none twice: the four
  // copies of the title tune come from one file.
  std::set<std::string> named;
  for (const std::string& line : lines) {
    const size_t at = line.find("./");
    ASSERT_NE(at, std::string::npos) << line;
    const std::string file = line.substr(at, line.find_first_of(": ", at) - at);
    EXPECT_TRUE(named.insert(file).second) << file << " named twice";
  }
  EXPECT_EQ(named.size(), lines.size());
  EXPECT_GE(named.size(), 60u + 6u + 25u);
}
