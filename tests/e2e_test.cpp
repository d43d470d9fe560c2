// The whole game in one process, title to exit, with the default art; with
// faults around it (no data folder, a save failing half-way, every mixer channel
// taken, the tracker unplugged) it plays on, keeps every row and says so once.
#include <SDL_mixer.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <tuple>

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
#include "weapons/weapons.h"

namespace fs = std::filesystem;

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
  std::vector<std::string> play(MouseGame& game) {  // the lines on standard error
    captureStderr();
    EXPECT_EQ(game.play(), 0);
    return linesOf(capturedStderr());
  }
};
using FaultTest = WholeGameTest;
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
  MouseGame game(110, 68);  // the Single Action, the Garage
  // Delete on the empty field, then "ACX", delete, "E 7" and the end key.
  game.name = {{10, 0}, {0, 3}, {2, 4}, {1, 4}, {10, 0}, {2, 2}, {3, 5}, {6, 1}, {10, 1}};
  game.replays = 1;
  game.enough = [&] { return !game.rounds.empty(); };  // the replay is left at once
  bool bystanderHurt = false;
  game.onRoundFrame = [&] {
    for (int i = 0; i < TargetCount; ++i)
      bystanderHurt |= TargetAt(i)->shown && !TargetAt(i)->isGangster && TargetAt(i)->health < 5;
  };
  EXPECT_EQ(play(game).size(), 0u);

  EXPECT_EQ(game.driver.screensShown(),
            (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                            S::Round, S::RoundEnd, S::Round, S::RoundEnd, S::Title}));
  ASSERT_EQ(game.rounds.size(), 2u);
  // A kill a shot, fifteen marks a shot, no bystander hurt; the replay quit at once.
  const MouseGame::Round &r = game.rounds[0], &replay = game.rounds[1];
  EXPECT_EQ(
      std::tie(r.gangstersLeft, r.bodyCount, r.totalShots, r.marks, r.playerCount, r.qualified),
      std::make_tuple(0, 30, 30, 450, 1, true));
  EXPECT_TRUE(r.energy > 0 && r.deviceTag == "-M---" && !bystanderHurt);
  EXPECT_EQ(std::tie(replay.gangstersLeft, replay.bodyCount, replay.totalShots, replay.marks,
                     replay.qualified),
            std::make_tuple(30, 0, 0, 0, false));
  // The new row sixth, the old tenth gone, the name's space stored as "^".
  rows.insert(rows.begin() + 5, "ACE^7 30 0 30 1 -M---");
  rows.pop_back();
  EXPECT_EQ(readFile("data/data00.dat"), tableFile(rows));
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data00.dat"});
}

// The Flower Shop has no file: its starting table's tenth row (2) a score of 0
// does not beat, so no name is asked for and nothing is written.
TEST_F(WholeGameTest, ALevelWithoutAFileAsksANameOnlyForAResultItsStartingTableTakes) {
  MouseGame game(530, 570);  // the Thompson, the Flower Shop, left at once
  game.enough = [] { return true; };
  EXPECT_EQ(play(game).size(), 0u);
  EXPECT_EQ(game.rounds.at(0).bodyCount, 0);
  EXPECT_FALSE(game.entryOffered);
  EXPECT_TRUE(dataFiles().empty());
}

// A Flower Shop round the gangsters end by energy after one bystander is shot,
// its entry cancelled (the row stored as "Anonymous"); with the save failing
// half-way (a file-size limit of 100 bytes, as a full disk) the old file stays
// whole and one line names it.
TEST_F(FaultTest, FlowerShopRoundEndsByEnergyAndACancelledEntryIsStoredOrRefusedWhole) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  for (const bool failing : {false, true}) {
    SCOPED_TRACE(failing ? "save failing" : "save working");
    newProcess();
    std::vector<std::string> rows = {
        "Zed 12 2 90 1 -M---", "Yan 10 2 70 1 -M---", "Xia 8 1 30 2 -MK--", "Wes 6 1 20 1 --K--",
        "Val 4 0 9 1 -M---",   "Uma 3 2 41 1 -M---",  "Tom 2 1 12 1 ---J-", "Sue 1 0 5 1 -M---",
        "Rex 0 1 6 1 -M---",   "Quin -2 1 8 1 -M---"};
    writeFile("data/data04.dat", tableFile(rows));
    MouseGame game(530, 570);  // the Thompson, the Flower Shop
    game.wanted = [](const Target& t) { return !t.isGangster && totalShots == 0; };
    game.reloadEveryShot = false;
    game.cancel = true;  // button 2 of the mouse, which played
    game.name.clear();
    game.replays = 1;
    rlimit small = saved;
    small.rlim_cur = 100;
    if (failing) game.atRoundEnd = [&] { ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0); };
    game.afterEntry = [&] { setrlimit(RLIMIT_FSIZE, &saved); };
    const std::vector<std::string> lines = play(game);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(game.driver.screensShown(),
              (std::vector<S>{S::Title, S::Story, S::DisplayHelp, S::WeaponChoice, S::LevelChoice,
                              S::Round, S::RoundEnd, S::Title}));
    ASSERT_EQ(game.rounds.size(), 1u);
    const MouseGame::Round& r = game.rounds[0];
    EXPECT_TRUE(r.energy <= 0 && r.gangstersLeft > 0);
    EXPECT_EQ(std::tie(r.bodyCount, r.totalShots, r.deviceTag, r.qualified),
              std::make_tuple(-1, 1, "-M---", true));
    EXPECT_EQ(dataFiles(), std::vector<std::string>{"data04.dat"});
    if (!failing) {
      EXPECT_EQ(lines.size(), 0u);
      rows[9] = "Anonymous -1 2 1 1 -M---";
      EXPECT_EQ(readFile("data/data04.dat"), tableFile(rows));
      continue;
    }
    // The old file whole and alone, the table in memory read back from it.
    EXPECT_EQ(readFile("data/data04.dat"), tableFile(rows));
    EXPECT_TRUE(std::none_of(std::begin(hiscores.rows), std::end(hiscores.rows),
                             [](const HiscoreEntry& e) { return !strcmp(e.name, "Anonymous"); }));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("./data/data04.dat"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(strerror(EFBIG)), std::string::npos) << lines[0];
  }
  signal(SIGXFSZ, oldHandler);
}

// How often the mixer reported each channel stopped while the test listened.
std::atomic<int> channelStops[8];

TEST_F(FaultTest, BusyMixerUnpluggedTrackerAndMissingDataFolderLeaveTheGameToGoOn) {
  SimTracker sim;
  ASSERT_TRUE(openSimTracker(&sim, true));  // its replies arrive before it returns
  const std::string path = sim.path;
  setenv("LAKEPORT_TRACKER_PORT", path.c_str(), 1);
  setFakeSleepHook([&](uint32_t) {
    if (sim.master >= 0) serveSimTracker(&sim);
  });
  // Eight endless sounds of someone else's hold every channel the mixer has;
  // from then on only the title tune, played again after the round, cuts the
  // channel it recorded at start-up. At frame 20 the tracker is unplugged. The
  // data folder is missing: the first row saved makes it.
  fs::remove_all("data");
  static Uint8 silence[44100] = {};
  Mix_Chunk* busy = nullptr;
  int roundFrames = 0;
  int32_t titleChannel = NoChannel;
  bool presentAtStart = false;
  MouseGame game(300, 68);  // the Six-Shooter, the Garage: 3 kills, then Escape
  game.enough = [] { return roundState.bodyCount >= 3; };
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
  // Every kill counted; the tracker's player stays; the closing told once.
  EXPECT_TRUE(presentAtStart);
  EXPECT_EQ(game.rounds.at(0).bodyCount, 3);
  EXPECT_GE(game.rounds.at(0).totalShots, 3);
  EXPECT_GT(roundFrames, 40);
  for (int c = 0; c < 8; ++c)
    EXPECT_TRUE(c == titleChannel || channelStops[c] == 0) << "channel " << c;
  EXPECT_TRUE(players[Tracker].active);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(path), std::string::npos) << lines[0];
  const std::string file = readFile("data/data00.dat");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 10);
  EXPECT_NE(file.find("\n10 Anonymous 3 1 "), std::string::npos) << file;
  Mix_FreeChunk(busy);
}
