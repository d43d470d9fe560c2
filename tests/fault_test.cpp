// The whole game meeting faults of its surroundings: a data folder it cannot
// write or that is missing, a save that fails half-way, every mixer channel
// taken, the tracker's device closing mid-round.
// Each time the game plays on to status 0, keeps every stored row, and names
// what failed in one line where the player needs to know.
#include <SDL_mixer.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "play_driver.h"
#include "scores/hiscores.h"
#include "scores_support.h"
#include "sim_tracker.h"

namespace fs = std::filesystem;

namespace {
// A Garage table every result of 0 or more beats at its tenth row.
std::string lowTable() {
  std::string text;
  for (int i = 1; i <= 10; ++i)
    text +=
        std::to_string(i) + " P" + std::to_string(i) + " -" + std::to_string(i) + " 1 10 1 -M---\n";
  return text;
}

// The Garage with the Six-Shooter by the mouse: `kills` gangsters, then Escape,
// the end key (an anonymous row) when a name is asked for.
MouseGame garageGame(int kills) {
  MouseGame game(300, 68);
  game.enough = [kills] { return roundState.bodyCount >= kills; };
  return game;
}

class FaultTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }
  // Plays the game to its end; its lines on standard error.
  std::vector<std::string> play(MouseGame& game) {
    captureStderr();
    EXPECT_EQ(game.play(), 0);
    return linesOf(capturedStderr());
  }
};
}  // namespace

TEST_F(FaultTest, RefusedSaveKeepsTheOldFileWholeAndSaysSoInOneLine) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  // As root (to whom modes mean nothing) the save runs as the unprivileged user,
  // who must still reach the game's folder and read the file.
  bool dropped = false;
  const auto modes = [](fs::perms data) {
    const fs::perms rx = fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                         fs::perms::others_exec;
    fs::permissions(".", fs::perms::owner_all | rx);
    fs::permissions("data", data | rx);
  };
  const struct {
    const char* fault;
    std::function<void()> arm, disarm;
    std::string told;  // besides the file's name
  } cases[] = {
      {"data folder read-only",
       [&] {
         modes(fs::perms::owner_read | fs::perms::owner_exec);
         dropped = geteuid() == 0 && seteuid(65534) == 0;
       },
       [&] {
         EXPECT_TRUE(!dropped || seteuid(0) == 0);
         dropped = false, modes(fs::perms::owner_all);
       },
       ""},
      // A file-size limit fails the save's writes after 100 bytes, like a full disk.
      {"save failing half-way",
       [&] {
         rlimit small = saved;
         small.rlim_cur = 100;
         ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
       },
       [&] { setrlimit(RLIMIT_FSIZE, &saved); }, strerror(EFBIG)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    newProcess();
    writeFile("data/data00.dat", lowTable());
    MouseGame game = garageGame(0);
    game.atRoundEnd = c.arm;
    game.afterEntry = c.disarm;
    const std::vector<std::string> lines = play(game);
    c.disarm();
    // The old file whole and alone, the table shown read back from it.
    EXPECT_TRUE(game.entryOffered);
    EXPECT_EQ(readFile("data/data00.dat"), lowTable());
    EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
    EXPECT_TRUE(std::none_of(std::begin(hiscores.rows), std::end(hiscores.rows),
                             [](const HiscoreEntry& e) { return !strcmp(e.name, "Anonymous"); }));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("./data/data00.dat"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(c.told), std::string::npos) << lines[0];
  }
  signal(SIGXFSZ, oldHandler);

  // A missing data folder is made when the first row is saved: a result one
  // above the starting table's tenth row.
  newProcess();
  fs::remove_all("data");
  const int kills = DefaultHiscoreTable().rows[9].score + 1;
  MouseGame game = garageGame(kills);
  EXPECT_EQ(play(game).size(), 0u);
  EXPECT_EQ(game.rounds.at(0).bodyCount, kills);
  const std::vector<std::string> rows = linesOf(readFile("data/data00.dat"));
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const std::string& l) { return l.find(" Anonymous ") != l.npos; }),
            1);
}

// How often the mixer reported each channel stopped while the test listened.
std::atomic<int> channelStops[8];

TEST_F(FaultTest, BusyMixerAndTrackerClosingMidRoundLeaveTheRoundToGoOn) {
  SimTracker sim;
  ASSERT_TRUE(openSimTracker(&sim, true));  // its replies arrive before it returns
  const std::string path = sim.path;
  setenv("LAKEPORT_TRACKER_PORT", path.c_str(), 1);
  setFakeSleepHook([&](uint32_t) {
    if (sim.master >= 0) serveSimTracker(&sim);
  });
  // Eight endless sounds of someone else's hold every channel the mixer has;
  // from then on only the title tune, played again after the round, cuts the
  // channel it recorded at start-up. At frame 20 the tracker is unplugged.
  static Uint8 silence[44100] = {};
  Mix_Chunk* busy = nullptr;
  int roundFrames = 0;
  int32_t titleChannel = NoChannel;
  bool presentAtStart = false;
  MouseGame game = garageGame(3);
  game.onRoundFrame = [&] {
    if (++roundFrames == 20) closeSimTracker(&sim);
    if (roundFrames != 1) return;
    presentAtStart = shell.trackerPresent;
    busy = Mix_QuickLoad_RAW(silence, sizeof silence);
    Mix_HaltChannel(-1);
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannel(c, busy, -1), c);
    titleChannel = titleTuneChannel;
    for (std::atomic<int>& n : channelStops) n = 0;
    Mix_ChannelFinished([](int channel) {
      if (channel >= 0 && channel < 8) ++channelStops[channel];
    });
  };
  const std::vector<std::string> lines = play(game);
  Mix_ChannelFinished(nullptr);
  closeSimTracker(&sim);
  // Every shot and kill counted; the tracker's player stays, aiming where it
  // last aimed; the closing told once.
  EXPECT_TRUE(presentAtStart);
  EXPECT_EQ(game.rounds.at(0).bodyCount, 3);
  EXPECT_GE(game.rounds.at(0).totalShots, 3);
  EXPECT_GT(roundFrames, 40);
  for (int c = 0; c < 8; ++c)
    EXPECT_TRUE(c == titleChannel || channelStops[c] == 0) << "channel " << c;
  EXPECT_TRUE(players[Tracker].active);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(path), std::string::npos) << lines[0];
  Mix_FreeChunk(busy);
}
