// The tracker link over a real pseudo-terminal: the bytes the game sends, the
// reply parser, the screen mapping, the presence test, a silent or missing
// device, random replies, and the simulator program.
#include "input/tracker.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "sim_tracker.h"

namespace {
const std::string StartupCommands = "utDtH1,0,0,1\rH2,0,0,1\rcF";

class TrackerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(openSimTracker(&sim, true)) << strerror(errno);
    setenv("LAKEPORT_TRACKER_PORT", sim.path.c_str(), 1);
    // The stand-in tracker answers while the game sleeps on the fake clock.
    setFakeSleepHook([this](uint32_t ms) {
      sleeps.push_back(ms);
      const size_t before = sim.received.size();
      serveSimTracker(&sim);
      if (sim.received.size() > before)
        arrivals.push_back({ticksMs(), sim.received.substr(before)});
    });
  }
  void TearDown() override {
    closeTrackerPort();
    closeSimTracker(&sim);
    GameTest::TearDown();
  }

  // Opens the link as start-up does and forgets what that cost.
  void openLink() {
    ASSERT_EQ(openTrackerPort(), 1);
    serveSimTracker(&sim);
    sleeps.clear();
    arrivals.clear();
    sim.received.clear();
  }
  void reportNext(std::vector<double> numbers) {
    for (size_t i = 0; i < 6; ++i) sim.numbers[i] = numbers[i];
  }
  int start() {
    const char* args[] = {"lakeport-nights", nullptr};
    return startupGame(1, const_cast<char**>(args));
  }

  SimTracker sim;
  std::vector<uint32_t> sleeps;
  std::vector<std::pair<uint32_t, std::string>> arrivals;  // (ms, bytes) seen at a sleep
};

// A record from its 42 bytes of numbers, with the 3 leading and 2 closing bytes.
std::string record(const std::string& numbers) { return "01 " + numbers + "\r\n"; }

// Parses exactly these bytes from a buffer of their size, so that reading past
// them shows under the address sanitizer.
int parseExact(const std::string& bytes, TrackerReport* report) {
  std::vector<char> exact(bytes.begin(), bytes.end());
  return parseTrackerReply(exact.data(), static_cast<int32_t>(exact.size()), report);
}
}  // namespace

TEST_F(TrackerTest, StartupSendsItsCommandsAroundOneSecondPauseAndEachPollSendsP) {
  ASSERT_EQ(openTrackerPort(), 1);
  // "S", then the pause, during which the tracker's status answer is thrown away.
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0], std::make_pair(1000u, std::string("S")));
  EXPECT_EQ(sleeps, std::vector<uint32_t>{1000});
  EXPECT_EQ(ticksMs(), 2000u);

  readTrackerReport();
  ASSERT_EQ(arrivals.size(), 2u);
  EXPECT_EQ(arrivals[1], std::make_pair(2000u, StartupCommands + "P"));
  EXPECT_EQ(sim.received, "S" + StartupCommands + "P");
  // The reply was there after the 30 ms wait: no further checks were needed.
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{1000, 30}));
  EXPECT_DOUBLE_EQ(trackerReport.r[5], 1.0);

  sim.received.clear();
  shell.trackerPresent = true;
  for (int i = 0; i < 3; ++i) pollTracker();
  EXPECT_EQ(sim.received, "PPP");
  EXPECT_EQ(ticksMs(), 2030u + 3 * 30u);
}

TEST_F(TrackerTest, PortIsExclusiveRawAt115200AndKeepsOtherSettings) {
  termios before{};
  ASSERT_EQ(tcgetattr(sim.peer, &before), 0);
  before.c_lflag |= ICANON | ECHO;
  before.c_oflag |= OPOST | OCRNL;
  before.c_cflag |= PARENB | CSTOPB | HUPCL;
  before.c_iflag |= IXON | ICRNL;
  ASSERT_EQ(tcsetattr(sim.peer, TCSANOW, &before), 0);

  ASSERT_EQ(openTrackerPort(), 1);
  int exclusive = 0;
  ASSERT_EQ(ioctl(sim.peer, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  termios line{};
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  EXPECT_EQ(cfgetispeed(&line) + cfgetospeed(&line), 2 * B115200);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(line.c_iflag & (IXON | IXOFF | ICRNL));
  EXPECT_FALSE(line.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(line.c_oflag & OPOST);
  EXPECT_TRUE(line.c_cflag & HUPCL);  // left as the system had it
  // The carriage returns of the commands went out untouched.
  serveSimTracker(&sim);
  EXPECT_EQ(sim.received, "S" + StartupCommands);
}

TEST_F(TrackerTest, TheFirstRecordsLastThreeNumbersDecideWhetherTheTrackerPlays) {
  const struct {
    double r4, r5, r6;
    bool present;
  } cases[] = {{0, 0, 1, true}, {0, -0.01, 0, true}, {0, 0, 0, false}};
  for (const auto& c : cases) {
    SDL_Quit();
    resetGameState();
    setFakeSleepHook([this](uint32_t) { serveSimTracker(&sim); });
    sim.received.clear();
    reportNext({10, -50, 66.67, c.r4, c.r5, c.r6});
    captureStderr();  // the empty game directory's missing pictures
    ASSERT_EQ(start(), 0);
    capturedStderr();
    EXPECT_EQ(shell.trackerPresent, c.present) << c.r5;
    EXPECT_EQ(sim.received, "S" + StartupCommands + "P");
    EXPECT_NE(trackerPort.handle, SerialNone);  // the port is open either way

    setFakeTicks(50000);
    const Player& t = players[Tracker];
    const auto before = std::make_tuple(t.active, t.lastMoveTime, t.cursorX, t.cursorY);
    pollTracker();
    if (c.present) {
      EXPECT_EQ(std::make_pair(t.cursorX, t.cursorY), std::make_pair(320, 240));
      EXPECT_TRUE(t.active);
      EXPECT_EQ(t.lastMoveTime, 50030u);
      EXPECT_EQ(t.fireRequested + t.triggerHeld, 0);  // it aims, never fires
    } else {
      // Polls then neither send, wait nor touch the tracker's player.
      EXPECT_EQ(sim.received, "S" + StartupCommands + "P");
      EXPECT_EQ(ticksMs(), 50000u);
      EXPECT_EQ(std::make_tuple(t.active, t.lastMoveTime, t.cursorX, t.cursorY), before);
    }
    shutdownGame();
    EXPECT_EQ(trackerPort.handle, SerialNone);
  }
}

TEST_F(TrackerTest, ScreenMappingTruncatesTowardZeroAndDoesNotClamp) {
  openLink();
  shell.trackerPresent = true;
  const struct {
    double r2, r3;
    int32_t x, y;
  } cases[] = {
      {-100, 0, 0, 0},     {0, 133.4, 640, 480},    {-50, -1, -4, 240},
      {-100.1, 0.1, 0, 0}, {-150, 500, 2400, -240}, {-0.01, 133.33, 639, 479},
  };
  for (const auto& c : cases) {
    reportNext({1, c.r2, c.r3, 1, 1, 1});
    pollTracker();
    EXPECT_EQ(players[Tracker].cursorX, c.x) << c.r3;
    EXPECT_EQ(players[Tracker].cursorY, c.y) << c.r2;
  }
  // Not a number keeps the coordinate; beyond any screen stops far off it.
  EXPECT_EQ(trackerScreenX(NAN, 17), 17);
  EXPECT_EQ(trackerScreenY(NAN, 18), 18);
  EXPECT_EQ(trackerScreenX(1e300, 0), 30000);
  EXPECT_EQ(trackerScreenX(-INFINITY, 0), -30000);
  EXPECT_EQ(trackerScreenY(-1e12, 0), -30000);
}

TEST_F(TrackerTest, ShortRepliesParseOnlyWhatArrivedAndTheRecordEndsAtItsCut) {
  TrackerReport report{{1, 2, 3, 4, 5, 6}};
  // Cut inside the third number: the "6" of "66.67" is all that arrived.
  const std::string full = record("  10.00 -50.00  66.67   0.00   0.00   1.00");
  EXPECT_EQ(parseExact(full.substr(0, 20), &report), 3);
  EXPECT_EQ(std::vector<double>(report.r, report.r + 4), (std::vector<double>{10, -50, 6, 4}));
  // Three bytes or fewer hold no numbers at all.
  EXPECT_EQ(parseExact("01 ", &report), 0);
  EXPECT_EQ(parseExact("", &report), 0);
  EXPECT_EQ(parseTrackerReply(nullptr, 0, &report), 0);
  EXPECT_EQ(parseTrackerReply("0", -5, &report), 0);
  EXPECT_EQ(report.r[0], 10);
  // Digits in the record's two closing bytes do not extend the sixth number,
  // nor does the second record count.
  std::string run = full;
  run[45] = '7';
  run[46] = '7';
  EXPECT_EQ(parseExact(run + record("   9.00   9.00   9.00   9.00   9.00   9.00"), &report), 6);
  EXPECT_EQ(report.r[5], 1.0);
  EXPECT_EQ(report.r[2], 66.67);
  // The three leading bytes are never read as a number.
  EXPECT_EQ(parseExact("123   4.5", &report), 1);
  EXPECT_EQ(report.r[0], 4.5);
}

TEST_F(TrackerTest, RepliesWithFewerNumbersUpdateOnlyThoseAndTheCrosshairFollows) {
  openLink();
  shell.trackerPresent = true;
  reportNext({10, -50, 66.67, 0, 0, 1});
  pollTracker();
  ASSERT_EQ(players[Tracker].cursorX, 320);

  // R1 and R2 only: the crosshair moves down, keeps its column.
  sim.scripted.push_back(record("   7.00 -25.00   nope"));
  pollTracker();
  EXPECT_EQ(std::vector<double>(trackerReport.r, trackerReport.r + 6),
            (std::vector<double>{7, -25, 66.67, 0, 0, 1}));
  EXPECT_EQ(std::make_pair(players[Tracker].cursorX, players[Tracker].cursorY),
            std::make_pair(320, 360));

  // A short reply, then one without numbers: nothing more changes.
  sim.scripted.push_back("01  3.0");
  pollTracker();
  EXPECT_EQ(trackerReport.r[0], 3);
  EXPECT_EQ(trackerReport.r[1], -25);
  sim.scripted.push_back("01 \r\n");
  pollTracker();
  EXPECT_EQ(std::make_pair(players[Tracker].cursorX, players[Tracker].cursorY),
            std::make_pair(320, 360));
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{30, 30, 30, 30}));
}

TEST_F(TrackerTest, ADeviceThatFallsSilentCostsAtMost35MsAPollAndLeavesTheCrosshair) {
  openLink();
  shell.trackerPresent = true;
  reportNext({10, -80, 20, 1, 1, 1});
  pollTracker();
  const int32_t x = players[Tracker].cursorX, y = players[Tracker].cursorY;
  ASSERT_EQ(x, 96);
  ASSERT_EQ(y, 96);

  sim.answering = false;
  for (int i = 0; i < 4; ++i) {
    sleeps.clear();
    const uint32_t before = ticksMs();
    pollTracker();
    EXPECT_EQ(ticksMs() - before, 35u);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{30, 1, 1, 1, 1, 1}));
    const Player& t = players[Tracker];
    EXPECT_TRUE(t.cursorX == x && t.cursorY == y && t.active && t.lastMoveTime == ticksMs());
  }
  EXPECT_EQ(sim.received, "PPPPP");

  // The device gone altogether: writes and reads fail, polls go on the same.
  closeSimTracker(&sim);
  const uint32_t before = ticksMs();
  for (int i = 0; i < 3; ++i) pollTracker();
  EXPECT_LE(ticksMs() - before, 3 * 35u);
  EXPECT_EQ(players[Tracker].cursorX, x);
  EXPECT_EQ(trackerWrite("P", 1), -2);
}

TEST_F(TrackerTest, NoDeviceStartsWithoutThePauseAndANamedOneIsReported) {
  // A device the player named that is not there: one line, no waiting.
  const std::string missing = dir + "/no-such-tracker";
  setenv("LAKEPORT_TRACKER_PORT", missing.c_str(), 1);
  captureStderr();
  EXPECT_EQ(openTrackerPort(), 0);
  EXPECT_EQ(capturedStderr(), "lakeport-nights: cannot open tracker port " + missing +
                                  ": No such file or directory\n");
  EXPECT_TRUE(sleeps.empty());
  EXPECT_EQ(trackerWrite("P", 1), -1);
  char buffer[4];
  EXPECT_EQ(trackerRead(buffer, 4), -1);
  EXPECT_TRUE(sleeps.empty());

  // Something that is not a serial device opens but cannot be set up.
  std::ofstream("plain-file") << "x";
  setenv("LAKEPORT_TRACKER_PORT", "plain-file", 1);
  captureStderr();
  EXPECT_EQ(openTrackerPort(), 0);
  EXPECT_EQ(capturedStderr(), "lakeport-nights: cannot open tracker port plain-file: " +
                                  std::string(strerror(ENOTTY)) + "\n");
  EXPECT_EQ(trackerPort.handle, SerialNone);

  // Unset, the first serial port is the default; an empty name looks for no
  // tracker, silently, and start-up never pauses.
  bool named = true;
  unsetenv("LAKEPORT_TRACKER_PORT");
  EXPECT_STREQ(trackerPortName(&named), "/dev/ttyS0");
  EXPECT_FALSE(named);
  setenv("LAKEPORT_TRACKER_PORT", "", 1);
  EXPECT_EQ(trackerPortName(&named), nullptr);
  captureStderr();
  ASSERT_EQ(start(), 0);
  const std::string err = capturedStderr();
  EXPECT_EQ(err.find("tracker"), std::string::npos) << err;
  EXPECT_FALSE(shell.trackerPresent);
  for (uint32_t ms : sleeps) EXPECT_LT(ms, 1000u);
  EXPECT_TRUE(sim.received.empty());
}

TEST_F(TrackerTest, RandomRepliesNeverReadPastWhatArrived) {
  // Heavy on what numbers are made of, so that long runs of them parse.
  const std::string alphabet = "0123456789 .-+eE\t\r\nnaifxNP";
  std::mt19937 random(20240611);
  auto bytes = [&](size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i)
      s += random() % 4 ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
    return s;
  };

  for (int i = 0; i < 20000; ++i) {
    TrackerReport report{{-7, -7, -7, -7, -7, -7}};
    const std::string reply = bytes(random() % 120);
    const int got = parseExact(reply, &report);
    ASSERT_GE(got, 0);
    ASSERT_LE(got, 6);
    for (int k = got; k < 6; ++k) ASSERT_EQ(report.r[k], -7) << reply;
  }

  openLink();
  shell.trackerPresent = true;
  for (int i = 0; i < 150; ++i) {
    sim.scripted.push_back(bytes(random() % 95));
    pollTracker();
    const Player& t = players[Tracker];
    ASSERT_LE(std::abs(t.cursorX), 30000);
    ASSERT_LE(std::abs(t.cursorY), 30000);
    ASSERT_TRUE(t.active);
  }
}

TEST_F(TrackerTest, SimulatorRecordsAimAtEveryPixelExactly) {
  TrackerReport report{};
  for (int x = -40; x < 700; x += 3) {
    for (int y = -40; y < 540; y += 7) {
      aimSimTracker(&sim, x, y);
      const std::string reply = formatTrackerRecord('1', sim.numbers);
      ASSERT_EQ(reply.size(), 47u);
      ASSERT_EQ(parseExact(reply, &report), 6) << reply;
      ASSERT_EQ(trackerScreenX(report.r[2], 0), x) << reply;
      ASSERT_EQ(trackerScreenY(report.r[1], 0), y) << reply;
    }
  }
}

namespace {
// The simulator program, in the foreground, aiming where its input says.
struct SimProgram {
  pid_t pid = -1;
  int input = -1;   // its standard input
  int output = -1;  // its standard output

  bool start() {
    int in[2], out[2];
    if (pipe(in) < 0 || pipe(out) < 0) return false;
    pid = fork();
    if (pid == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      close(in[1]);
      close(out[0]);
      execl(LAKEPORT_BINARY_DIR "/lakeport-tracker-sim", "lakeport-tracker-sim", "--stdin",
            nullptr);
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input = in[1];
    output = out[0];
    return pid > 0;
  }
  std::string readLine() {
    std::string line;
    char c;
    pollfd p{output, POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && read(output, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  void aim(const std::string& line) { ASSERT_GT(write(input, line.data(), line.size()), 0); }
  // The exit status once it ended within the time given, else -1 (and it is stopped).
  int waitForExit(int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  ~SimProgram() {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    if (input >= 0) close(input);
    if (output >= 0) close(output);
  }
};
}  // namespace

TEST_F(TrackerTest, TheSimulatorProgramAnswersTheGameOnItsOwnPseudoTerminal) {
  SimProgram program;
  ASSERT_TRUE(program.start());
  program.aim("100 200\n");
  const std::string path = program.readLine();
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

  // Real time: the simulator answers within the game's 30 ms wait.
  useRealClock();
  setenv("LAKEPORT_TRACKER_PORT", path.c_str(), 1);
  ASSERT_EQ(openTrackerPort(), 1);
  readTrackerReport();
  EXPECT_NE(trackerReport.r[5], 0.0);
  pollTracker();
  EXPECT_EQ(players[Tracker].cursorX, 100);
  EXPECT_EQ(players[Tracker].cursorY, 200);

  program.aim("not a pair\n-4 500\n");
  for (int i = 0; i < 50 && players[Tracker].cursorX != -4; ++i) pollTracker();
  EXPECT_EQ(players[Tracker].cursorX, -4);
  EXPECT_EQ(players[Tracker].cursorY, 500);

  // The game closing the device ends the simulator.
  closeTrackerPort();
  EXPECT_EQ(program.waitForExit(3000), 0);
}
