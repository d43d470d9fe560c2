// Whole games with the default art, also beside faults (the tracker over a
// pseudo-terminal); the end of a round, the name entry's keys and damaged hiscore files.
#include <SDL_mixer.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "play_driver.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "sim_tracker.h"
#include "weapons/weapons.h"

namespace {
// The round end as a game starts it, read before any test's reset.
const std::tuple<bool, std::string> startRoundEnd{qualified, DeviceTag};

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
  // Plays the game, each screen's pictures hashing as given; what it wrote on standard error.
  std::string play(MouseGame& game, const std::string& screens) {
    captureStdout(), captureStderr();
    EXPECT_EQ(game.play(), 0);
    EXPECT_EQ(capturedStdout(), "") << "the game prints nothing on standard output";
    EXPECT_EQ(game.driver.screensShown(), screens);
    return capturedStderr();
  }
};
using FaultTest = WholeGameTest;
using HiscoreTest = GameTest;
using RoundEndTest = GameTest;
constexpr uint32_t HallOfFameRgb = 0x010000;  // reads as blank text

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
  game.enough = [&] { return game.rounds > 0; };  // the replay is left at once
  std::vector<int> marks;  // fifteen a shot: one for each figure hit or missed
  game.atRoundEnd = [&] {
    marks.push_back(usedShotMarks());
    EXPECT_TRUE(marks.size() > 1 || hitMetalChannel != NoChannel) << "the hits rang";
    // The game's own pictures take the fast ways onto its surface.
    for (auto [p, way] : {std::pair{pictures.levelBackdrop[0], BlitWay::Bytes24},
                          {pictures.shotMark, BlitWay::Runs24},
                          {pictures.figure[0], BlitWay::Rows},
                          {pictures.fonts[0]->surface, BlitWay::Blend}})
      EXPECT_EQ(blitWay(p, shell.video), way);
    int delay = 0, interval = 0;  // held keys repeat after 10 ms, every 30 ms
    EXPECT_EQ((SDL_GetKeyRepeat(&delay, &interval), std::pair(delay, interval)), std::pair(10, 30));
  };
  EXPECT_EQ(play(game,
                 "0:9045dcd5 1:3dc540c2 2:032e6c99 3:6f4a77bd 4:83bfff09 5:05c9e1e3 "
                 "6:6545ca78 5:ea1063e8 6:26587828 0:25ccb410"),
            "");
  EXPECT_EQ(marks, (std::vector<int>{450, 0}));
  // The new row sixth, the old tenth gone, the name's space stored as "^".
  rows.insert(rows.begin() + 5, "ACE^7 30 0 30 1 -M---"), rows.pop_back();
  EXPECT_EQ(readFile("data/data00.dat"), tableFile(rows));
}

// A Flower Shop round the gangsters end by energy after one bystander is shot,
// its entry cancelled; the save fails half-way (a file-size limit of 100 bytes,
// as a full disk): the old file stays whole and one line names it.
TEST_F(FaultTest, FlowerShopRoundEndsByEnergyAndASaveFailingHalfWayKeepsTheOldFileWhole) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  const std::string table = tableFile(
      {"Zed 12 2 90 1 -M---", "Yan 10 2 70 1 -M---", "Xia 8 1 30 2 -MK--", "Wes 6 1 20 1 --K--",
       "Val 4 0 9 1 -M---", "Uma 3 2 41 1 -M---", "Tom 2 1 12 1 ---J-", "Sue 1 0 5 1 -M---",
       "Rex 0 1 6 1 -M---", "Quin -2 1 8 1 -M---"});
  writeFile("data/data04.dat", table);
  MouseGame game(530, 570);  // the Thompson, the Flower Shop
  game.wanted = [](const Target& t) { return !t.isGangster && totalShots == 0; };
  game.reloadEveryShot = false;
  // "A", the keyboard's button 2 (it did not play: only marks the request), then
  // the mouse's, which played.
  game.name = {{0, 3}, {-1, 0}}, game.cancel = true, game.replays = 1;
  const rlimit small{100, saved.rlim_max};
  game.atRoundEnd = [&] { ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0); };
  game.afterEntry = [&] { setrlimit(RLIMIT_FSIZE, &saved); };
  const std::string err = play(
      game,
      "0:9045dcd5 1:3dc540c2 2:032e6c99 3:6f4a77bd 4:a565e50f 5:76d717e3 6:7116e370 0:349ca701");
  setrlimit(RLIMIT_FSIZE, &saved), signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(game.rounds, 1);
  // The old file whole and alone, the table in memory read back from it.
  EXPECT_EQ(dataFiles(), std::vector<std::string>{"data04.dat"});
  EXPECT_EQ(readFile("data/data04.dat"), table);
  EXPECT_EQ(err, "Hiscores not saved to ./data/data04.dat: " + std::string(strerror(EFBIG)) + "\n");
}

// How often the mixer reported each channel stopped while the test listened.
std::atomic<int> channelStops[8];

TEST_F(FaultTest, BusyMixerUnpluggedTrackerAndMissingDataFolderLeaveTheGameToGoOn) {
  SimTracker sim;
  ASSERT_TRUE(openSimTracker(&sim, true));  // its replies arrive before it returns
  aimSimTracker(&sim, 100, 50);
  const std::string path = sim.path;
  setenv("LAKEPORT_TRACKER_PORT", path.c_str(), 1);
  std::vector<uint32_t> sleeps;
  setFakeSleepHook([&](uint32_t ms) {
    sleeps.push_back(ms);
    if (sim.master >= 0) serveSimTracker(&sim);
  });
  termios line{};  // a cooked tty's flags and more, which the game's raw line clears
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  line.c_cflag |= PARENB | CSTOPB | HUPCL;
  line.c_lflag |= ICANON | ECHO | ISIG, line.c_cc[VMIN] = 1, line.c_cc[VTIME] = 5;
  ASSERT_EQ(tcsetattr(sim.peer, TCSANOW, &line), 0);
  // Someone else's endless sounds hold all eight channels; only the title tune
  // cuts its own. The tracker goes at frame 20; the first saved row makes data/.
  std::filesystem::remove_all("data");
  static Uint8 silence[44100] = {};
  Mix_Chunk* busy = nullptr;
  int roundFrames = 0;
  int32_t titleChannel = NoChannel;
  MouseGame game(300, 68);  // the Six-Shooter, the Garage: 3 kills, then Escape
  game.enough = [] { return roundState.bodyCount >= 3; };
  game.name = {{0, 3}, {10, 1}};  // a one-letter name, "A"
  game.onRoundFrame = [&] {
    if (++roundFrames == 20) closeSimTracker(&sim);
    if (roundFrames != 1) return;
    EXPECT_EQ(std::tie(players[Tracker].cursorX, players[Tracker].cursorY), std::tuple(100, 50));
    int exclusive = 0;
    EXPECT_TRUE(ioctl(sim.peer, TIOCGEXCL, &exclusive) == 0 && exclusive == 1);
    ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
    EXPECT_EQ(cfgetispeed(&line) + cfgetospeed(&line), 2 * B115200);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), tcflag_t{CS8 | HUPCL});
    EXPECT_FALSE(line.c_iflag & (IXON | IXOFF | ICRNL) || line.c_lflag & (ICANON | ECHO | ISIG) ||
                 line.c_oflag & OPOST || line.c_cc[VMIN] || line.c_cc[VTIME]);
    // "S", the pause in which its answer is thrown away, the commands; each
    // poll sends "P" and finds the reply after 30 ms.
    EXPECT_EQ(sim.received.substr(0, 27), "SutDtH1,0,0,1\rH2,0,0,1\rcFPP");
    EXPECT_EQ(std::vector(sleeps.begin(), sleeps.begin() + 3),
              (std::vector<uint32_t>{1000, 30, 30}));
    busy = Mix_QuickLoad_RAW(silence, sizeof silence), Mix_HaltChannel(-1);
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannel(c, busy, -1), c);
    titleChannel = titleTuneChannel;
    for (std::atomic<int>& n : channelStops) n = 0;
    Mix_ChannelFinished([](int c) { channelStops[unsigned(c) % 8] += unsigned(c) < 8; });
  };
  const std::string err = play(
      game,
      "0:4b2eac07 1:3dc540c2 2:032e6c99 3:f773aa9a 4:26d7a521 5:441bfa30 6:e83a81e1 0:e0b58342");
  Mix_ChannelFinished(nullptr), closeSimTracker(&sim);
  // The tracker's player stays; the closing is told once.
  for (int c = 0; c < 8; ++c)
    EXPECT_TRUE(c == titleChannel || channelStops[c] == 0) << "channel " << c;
  EXPECT_TRUE(players[Tracker].active);
  EXPECT_EQ(err, "lakeport-nights: tracker port " + path + " failed: " + strerror(EIO) + "\n");
  struct stat dir {};  // data/ is its owner's to use
  EXPECT_TRUE(stat("data", &dir) == 0 && (dir.st_mode & 07700) == 0700) << dir.st_mode;
  const std::string file = readFile("data/data00.dat");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 10);
  EXPECT_NE(file.find("\n10 A 3 1 "), std::string::npos) << file;
  Mix_FreeChunk(busy);
  // Positions are cut, not rounded, to pixels; a port that is no tty is told.
  EXPECT_EQ(std::make_pair(trackerScreenX(133.33, 7), trackerScreenY(-0.01, 7)),
            std::make_pair(639, 479));
  for (auto [port, error] : {std::pair{"data/data00.dat", ENOTTY}, {"data/none", ENOENT}}) {
    setenv("LAKEPORT_TRACKER_PORT", port, 1), captureStderr();
    EXPECT_EQ(openTrackerPort(), 0);
    EXPECT_EQ(capturedStderr(), "lakeport-nights: cannot open tracker port " + std::string(port) +
                                    ": " + strerror(error) + "\n");
  }
  // With standard input closed, a port may open as descriptor 0.
  const int in = dup(0), master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(in >= 0 && master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
  const int fd = (close(0), serialOpen(ptsname(master)));
  const int32_t saved = (serialClose(fd), SaveHiscores(0));  // and so may a save's file
  dup2(in, 0), close(in), close(master);
  EXPECT_EQ(std::tie(fd, saved), std::tuple(0, 0));
}

TEST_F(RoundEndTest, TyingTheTenthRowShowsTableAndResultLineAndAFireReplaysTheLevel) {
  // A game's first round end shows the result line too (the reset is the tests').
  EXPECT_EQ(std::tuple(qualified, std::string(DeviceTag)), startRoundEnd);
  startVideo(), useReadableFont();
  pictures.hallOfFame = own(solidSurface(640, 480, HallOfFameRgb));
  for (int i = 0; i < HiscoreRows; ++i)
    SetHiscoreRow(hiscores.rows[i], ("Row" + std::to_string(i)).c_str(), 30 - 2 * i, 1, 50, 1,
                  "-M---"),
        hiscores.rows[i].position = 10 * (i + 1);
  SetHiscoreRow(hiscores.rows[0], "Big Al", 44, 0, 12, 3, "TMK--");
  ASSERT_EQ(SaveHiscores(Garage), 0);
  const std::string file = readFile("data/data00.dat");
  // A finished Thompson round of the tenth row's score, every device playing.
  roundState.bodyCount = 12, roundState.gangstersLeft = 0, roundState.playerCount = 1,
  totalShots = 60;
  shell.chosenWeapon = Thompson, shell.chosenLevel = Garage, shell.screen = ScreenId::RoundEnd;
  for (Player& p : players) p.active = p.reloadHeld = true;
  mouseFireAt(100, 100);  // from the round's last moments: drained, not an action
  // Each column is read up to the next one.
  const std::tuple<int, int, std::string> cells[] = {
      // clang-format off
      {2, 5, "10."}, {4, 5, " Big Al"}, {18, 5, "44"}, {21, 5, "Single Action"},
      {28, 5, "  12"}, {32, 5, "  3"}, {34, 5, "    (TMK--)"}, {21, 6, "Six-Shooter"},
      {2, 14, "100."}, {0, 2, ""}, {0, 4, ""}, {0, 15, ""},
      {1, 16, "Round completed. Your score: 12, Thompson, shots: 60, players: 1 (TMKJJ)"}};
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
  EXPECT_EQ(std::tie(firstFrameMs, backdrop, shell.screen, menuInput.selectDevice),
            std::make_tuple(1350u, HallOfFameRgb, ScreenId::Round, -1));  // the fire is spent
  EXPECT_EQ(seen, std::vector(std::begin(cells), std::end(cells)));
  EXPECT_EQ(readFile("data/data00.dat"), file);
  // The round is re-armed: players join again by using their devices.
  EXPECT_EQ(std::tie(roundState.bodyCount, totalShots, players[Mouse].active,
                     players[Joystick1].reloadHeld, players[Joystick2].reloadHeld),
            std::make_tuple(0, 0, false, false, false));
  // A result that enters the table asks for the name below the result line, in
  // an emptied field; a 21st character ends the entry without being typed.
  roundState.bodyCount = 13, roundState.gangstersLeft = 0, players[Mouse].active = true;
  memcpy(nameField, "Left from the last entry", 20), nameCursor = 20;
  SDL_FillRect(shell.video, nullptr, 0);
  std::string prompt;
  FrameScript entry;
  entry.then([&] { prompt = screenText(1, 18, 640), backdrop = screenRgb(639, 479); });
  for (int k = 0; k < 21; ++k) entry.then([] { mouseFireAt(nameKeyX(0), nameKeyY(0)); });
  entry.then([] { pushMouseButton(3, false, 1, 1); }), RunRoundEnd();
  EXPECT_EQ(std::tie(backdrop, nameCursor, nameField[20]), std::make_tuple(HallOfFameRgb, 20, '.'));
  EXPECT_EQ(prompt, "Please enter your name (20 chars) or press button 2 to cancel: " +
                        std::string(20, ' ') + ".");
  EXPECT_NE(readFile("data/data00.dat").find(" " + std::string(20, '!') + " 13 "),
            std::string::npos);
  // "A", deleted, and the end key store "Anonymous".
  roundState.bodyCount = 14, roundState.gangstersLeft = 0, players[Mouse].active = true;
  FrameScript alone;
  for (std::pair<int, int> k : {std::pair{0, 3}, {10, 0}, {10, 1}})
    alone.then([k] { mouseFireAt(nameKeyX(k.first), nameKeyY(k.second)); });
  alone.then([] { pushMouseButton(3, false, 1, 1); }), RunRoundEnd();
  EXPECT_NE(readFile("data/data00.dat").find(" Anonymous 14 "), std::string::npos);
  releaseReadableFont();
}

TEST_F(HiscoreTest, DamagedFilesGiveRankedTablesAndAreKeptWhenTheNextResultIsSaved) {
  std::string eleven, lines;  // rows A to K; a hundred lines of one token
  for (char c = 'A'; c <= 'K'; ++c)
    eleven += std::to_string(c - 64) + " " + c + " 9 1 40 1 -M---\n";
  while (lines.size() < 200) lines += "x\n";
  // Each file's table by name, a digit for that house row.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // file, names, error
      {"1 A 5 9 9 9 ZZZZZ\n2 B " + std::string(64, '0') + "\n3 C 5 1 4x 1 -M---\n",
       "0 1 2 3 4 5 6 7 8 9",  // 64 digits are too many to be a number, "4x" is none
       "row 1 on line 1 refused, its weapon 9 is not 0 to 2; row 2 on line 2 refused, its score "
       "is not a 32-bit number; 1 row more refused; 10 rows taken"},
      {"1 A 30 1 40 6 -M---\n2\n3 B 25 1 40 5 TMKJJ\n", "B 1 2 3 4 5 6 7 8 9",
       "players 6 is not 0 to 5; row 2 on line 2 refused, it ends after 1 of 7"},
      {"1 Alf 30 1 40 1 -K---\n2 B 25 0 0 0 -----\n", "B 1 2 3 4 5 6 7 8 9",
       "row 1 on line 1 refused, its devices are not"},
      {"1 A 30 1 40 1 -M---\n2 B 25 1 40\n3 C 20 2 -1 1 -M---\n4 D 18 1 9 1 -M---\n",
       "A D 2 3 4 5 6 7 8 9",
       "it ends after 5 of 7 fields; row 3 on line 3 refused, its shots -1 is not 0 or more"},
      {"1 A -2147483648 1 40 1 -M---\n2 B 2147483647 1 40 1 -M---\n3 C " + std::string(61, '0') +
           "10 1 40 1 -M---\n",  // 63 digits are read whole
       "B 3 4 C 5 6 7 8 9 A", "rows ranked by score; 7 rows taken"},
      {"", "0 1 2 3 4 5 6 7 8 9", "10 rows taken from the house table\n"},  // the line's end
      {eleven, "A B C D E F G H I J", "the rest after row 10 ignored"},
      {lines + eleven, "0 1 2 3 4 5 6 7 8 9",
       "98 rows more refused; 10 rows taken from the house table; the rest after row 100 ignored"},
      {"1 " + std::string(100000, 'N') + " 30 1 40 1 -M---\n2 Ab" + std::string(1, '\0') +
           "cd 20 1 40 1 -M--- 3 " + std::string(3, '\0') + " 19 1 1 1 ---J-\n4 D 1 1 1 1 -M---" +
           std::string(3000, 'D') + "\n",
       std::string(20, 'N') + " Ab - 3 4 5 6 7 8 9", "row 4 on line 3 refused, its devices"},
  };
  const HiscoreTable house = DefaultHiscoreTable();
  int copy = 0;
  for (const auto& [file, wantNames, error] : cases) {
    SCOPED_TRACE(file.substr(0, 60));
    writeFile("data/data01.dat", file), resetHiscores(), captureStderr();
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
    ASSERT_EQ((captureStderr(), SaveHiscores(1)), 0);
    const std::string kept = "data/data01.dat.damaged" + (copy++ ? "-" + std::to_string(copy) : "");
    EXPECT_NE(capturedStderr().find(kept.substr(5)), std::string::npos);
    EXPECT_EQ(readFile(kept), file);
    const std::string saved = readFile("data/data01.dat");  // read back silently, saved alike
    resetHiscores(), captureStderr(), LoadHiscores(1);
    EXPECT_EQ(capturedStderr(), "");
    ASSERT_EQ(SaveHiscores(1), 0);
    EXPECT_EQ(readFile("data/data01.dat"), saved);
  }
  const mode_t mask = umask(027);  // a new file is made as the player's umask allows
  struct stat st[2] = {};          // the new file, and a damaged file's copy made alike
  std::remove("data/data01.dat"), SaveHiscores(1);
  const mode_t left = umask(mask);  // the save leaves the umask as it found it
  stat("data/data01.dat", st), stat("data/data01.dat.damaged", st + 1);
  EXPECT_EQ(std::tuple(st[0].st_mode & 07777, st[1].st_mode & 07777, left),
            std::tuple(0640u, 0644u & ~mask, 027u));
  // A file gone from under the level in memory leaves its table as it was.
  EXPECT_EQ((std::remove("data/data01.dat"), LoadHiscores(1)), -1);
  EXPECT_STREQ(hiscores.rows[0].name, "New");
  // A damaged file that cannot be kept (on a full disk) is not saved over.
  writeFile("data/data01.dat", std::string(5000, 'x'));
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit full{4096, saved.rlim_max};
  const auto handler = signal(SIGXFSZ, SIG_IGN);
  captureStderr(), setrlimit(RLIMIT_FSIZE, &full);
  const int32_t result = SaveHiscores(1);
  setrlimit(RLIMIT_FSIZE, &saved), signal(SIGXFSZ, handler);
  EXPECT_EQ(capturedStderr(),
            "Hiscores not saved to ./data/data01.dat: cannot keep the damaged "
            "file as ./data/data01.dat.damaged-10: File too large\n");
  EXPECT_EQ(std::make_tuple(result, readFile("data/data01.dat").size(), dataFiles().size()),
            std::make_tuple(-1, 5000ul, 10ul));
  // Nor when 99 names of kept files are taken.
  for (int n = 10; n < 100; ++n) writeFile("data/data01.dat.damaged-" + std::to_string(n), "");
  EXPECT_EQ((captureStderr(), SaveHiscores(1)), -1);
  EXPECT_EQ(capturedStderr(),
            "Hiscores not saved to ./data/data01.dat: no free name to keep the "
            "damaged file under\n");
  // A folder in the file's place is told so, read or saved; the house's table stands.
  std::filesystem::create_directory("data/data02.dat"), captureStderr(), LoadHiscores(2);
  EXPECT_NE(capturedStderr().find("house table; read error: Is a directory\n"), std::string::npos);
  captureStderr(), SaveHiscores(2);
  EXPECT_EQ(capturedStderr(),
            "Hiscores not saved to ./data/data02.dat: it is not a regular file\n");
  // The table of one level is never saved as another's.
  LoadHiscores(0), captureStderr(), SaveHiscores(2);
  EXPECT_NE(capturedStderr().find(": the table in memory belongs to ./data/data00.dat\n"),
            std::string::npos);
  // A save whose last step, the rename, fails says so and leaves no file behind.
  const std::vector<std::string> files = dataFiles();
  EXPECT_EQ((failNextRename = EXDEV, captureStderr(), SaveHiscores(0)), -1);
  EXPECT_EQ(capturedStderr(),
            "Hiscores not saved to ./data/data00.dat: " + std::string(strerror(EXDEV)) + "\n");
  EXPECT_EQ(dataFiles(), files);
  // A file in the data folder's place: nothing is read or saved, and both say why.
  std::filesystem::rename("data", "folder"), writeFile("data", ""), captureStderr();
  EXPECT_EQ((LoadHiscores(0), SaveHiscores(0)), -1);
  EXPECT_EQ(capturedStderr(),
            "Hiscore file ./data/data00.dat cannot be read: Not a directory\n"
            "Hiscores not saved to ./data/data00.dat: Not a directory\n");
}

TEST_F(HiscoreTest, NameKeyEdgesAndWhoMayType) {
  const std::tuple<int, int, int> keys[] = {
      {18, 336, '!'},         {37, 355, '!'},          {38, 336, '&'},
      {17, 336, NameKeyNone}, {18, 335, NameKeyNone},  {220, 360, NameKeyEnd},
      {237, 395, NameKeyEnd}, {238, 395, NameKeyNone}, {230, 340, NameKeyDelete},
      {237, 455, ' '},        {100, 456, NameKeyNone}, {158, 336, 0xB4},
      {220, 400, '|'},        {220, 420, '_'},         {18, 356, '1'}};
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
