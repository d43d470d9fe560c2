// The tracker link over a real pseudo-terminal: line settings, bytes and
// timing, the presence test, the reply parser and screen mapping, a missing
// device, and the simulator program.
#include "input/tracker.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "sim_tracker.h"

namespace {
const std::string StartupBytes = "SutDtH1,0,0,1\rH2,0,0,1\rcF";

class TrackerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(openSimTracker(&sim, true)) << strerror(errno);
    setenv("LAKEPORT_TRACKER_PORT", sim.path.c_str(), 1);
    // The stand-in tracker answers while the game sleeps on the fake clock.
    setFakeSleepHook([this](uint32_t ms) {
      sleeps.push_back(ms);
      serveSimTracker(&sim);
    });
  }
  void TearDown() override {
    closeTrackerPort();
    closeSimTracker(&sim);
    GameTest::TearDown();
  }
  static std::pair<int32_t, int32_t> aim() {
    return {players[Tracker].cursorX, players[Tracker].cursorY};
  }

  SimTracker sim;
  std::vector<uint32_t> sleeps;
};

// Parses exactly these bytes from a buffer of their size, so that reading past
// them shows under the address sanitizer.
int parseExact(const std::string& bytes, TrackerReport* report) {
  std::vector<char> exact(bytes.begin(), bytes.end());
  return parseTrackerReply(exact.data(), static_cast<int32_t>(exact.size()), report);
}
}  // namespace

TEST_F(TrackerTest, NamedPortsThatFailAreToldTheLineIsRawEachPollSendsPAndSilenceCosts35Ms) {
  const std::string missing = dir + "/no-such-tracker";
  std::ofstream("plain-file") << "x";
  const std::pair<std::string, std::string> failing[] = {
      {missing, missing + ": No such file or directory"},
      {"plain-file", "plain-file: " + std::string(strerror(ENOTTY))}};
  for (const auto& [name, reason] : failing) {
    setenv("LAKEPORT_TRACKER_PORT", name.c_str(), 1);
    captureStderr();
    EXPECT_EQ(openTrackerPort(), 0);
    EXPECT_EQ(capturedStderr(), "lakeport-nights: cannot open tracker port " + reason + "\n");
    EXPECT_EQ(trackerPort.handle, SerialNone);
  }
  char buffer[4];
  EXPECT_EQ(trackerWrite("P", 1) + trackerRead(buffer, 4), -2);
  EXPECT_TRUE(sleeps.empty());  // no pause
  // An empty name looks for no tracker; unset, the first serial port is the default.
  bool named = false;
  setenv("LAKEPORT_TRACKER_PORT", "", 1);
  EXPECT_TRUE(trackerPortName(&named) == nullptr && named);
  unsetenv("LAKEPORT_TRACKER_PORT");
  EXPECT_TRUE(trackerPortName(&named) == std::string("/dev/ttyS0") && !named);
  setenv("LAKEPORT_TRACKER_PORT", sim.path.c_str(), 1);

  termios line{};
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  line.c_lflag |= ICANON | ECHO;
  line.c_oflag |= OPOST | OCRNL;
  line.c_cflag |= PARENB | CSTOPB | HUPCL;
  line.c_iflag |= IXON | ICRNL;
  ASSERT_EQ(tcsetattr(sim.peer, TCSANOW, &line), 0);
  ASSERT_EQ(openTrackerPort(), 1);
  int exclusive = 0;
  EXPECT_TRUE(ioctl(sim.peer, TIOCGEXCL, &exclusive) == 0 && exclusive == 1);
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  EXPECT_EQ(cfgetispeed(&line) + cfgetospeed(&line), 2 * B115200);
  // HUPCL is left as the system had it.
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), tcflag_t{CS8 | HUPCL});
  EXPECT_FALSE(line.c_iflag & (IXON | IXOFF | ICRNL) || line.c_lflag & (ICANON | ECHO | ISIG) ||
               line.c_oflag & OPOST);

  // "S", the pause in which its answer is thrown away, the commands; each poll
  // sends "P" and finds the reply after 30 ms.
  shell.trackerPresent = true;
  pollTracker();
  EXPECT_EQ(aim(), std::make_pair(320, 240));
  pollTracker();
  EXPECT_EQ(sim.received, StartupBytes + "PP");  // carriage returns untouched
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{1000, 30, 30}));

  // Silent: five checks 1 ms apart; gone: writes fail. The crosshair stays.
  sim.answering = false;
  sleeps.clear();
  pollTracker();
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{30, 1, 1, 1, 1, 1}));
  EXPECT_EQ(players[Tracker].lastMoveTime, 2095u);
  closeSimTracker(&sim);
  captureStderr();
  for (int i = 0; i < 3; ++i) pollTracker();
  capturedStderr();
  EXPECT_LE(ticksMs(), 2095u + 3 * 35u);
  EXPECT_EQ(aim(), std::make_pair(320, 240));
  EXPECT_EQ(trackerWrite("P", 1), -2);
}

TEST_F(TrackerTest, TheFirstRecordsLastThreeNumbersDecideWhetherTheTrackerPlays) {
  const double lastThree[][3] = {{0, 0, 1}, {0, -0.01, 0}, {0.5, 0, 0}, {0, 0, 0}};
  for (const auto& r : lastThree) {
    const bool present = r[0] + r[1] + r[2] != 0;
    SCOPED_TRACE(r[0] + 10 * r[1] + 100 * r[2]);
    SDL_Quit();
    resetGameState();
    setFakeSleepHook([this](uint32_t) { serveSimTracker(&sim); });
    sim.received.clear();
    std::copy(r, r + 3, sim.numbers + 3);
    captureStderr();  // the empty game directory's missing pictures
    const char* args[] = {"lakeport-nights", nullptr};
    ASSERT_EQ(startupGame(1, const_cast<char**>(args)), 0);
    capturedStderr();
    EXPECT_EQ(shell.trackerPresent, present);
    // Polls aim the tracker's player, or neither send, wait nor touch it.
    setFakeTicks(50000);
    pollTracker();
    const Player& t = players[Tracker];
    EXPECT_EQ(sim.received, StartupBytes + (present ? "PP" : "P"));
    EXPECT_EQ(aim(), present ? std::make_pair(320, 240) : std::make_pair(-1, -1));
    EXPECT_TRUE(t.active == present && t.lastMoveTime == (present ? 50030u : 0u));
    EXPECT_EQ(t.fireRequested + t.triggerHeld, 0);  // it aims, never fires
    shutdownGame();
    EXPECT_EQ(trackerPort.handle, SerialNone);
  }
}

TEST_F(TrackerTest, RepliesParseFromOffsetThreeUpToTheCutAndMapTruncatedUnclamped) {
  const std::string full = "01   10.00 -50.00  66.67   0.00   0.00   1.00\r\n";
  TrackerReport report{{1, 2, 3, 4, 5, 6}};
  const struct {
    std::string reply;
    int numbers;
    std::vector<double> after;  // r[0] to r[3] afterwards
  } replies[] = {
      {full.substr(0, 20), 3, {10, -50, 6, 4}},  // cut inside the third number
      {"01 ", 0, {10, -50, 6, 4}},
      {"1234.5", 1, {4.5, -50, 6, 4}},  // the three leading bytes are never read
      {"01    7.00 -25.00   nope", 2, {7, -25, 6, 4}},
      // Digits in the record's closing bytes do not extend the sixth number.
      {full.substr(0, 45) + "77" + full, 6, {10, -50, 66.67, 0}},
  };
  for (const auto& r : replies) {
    EXPECT_EQ(parseExact(r.reply, &report), r.numbers) << r.reply;
    EXPECT_EQ(std::vector<double>(report.r, report.r + 4), r.after) << r.reply;
  }
  EXPECT_EQ(report.r[5], 1.0);
  EXPECT_EQ(parseTrackerReply(nullptr, 0, &report) + parseTrackerReply("0", -5, &report), 0);

  // Not a number keeps the coordinate; beyond any screen stops far off it.
  const struct {
    double r2, r3;
    int32_t x, y;
  } aims[] = {{-100, 0, 0, 0},
              {0, 133.4, 640, 480},
              {-50, -1, -4, 240},
              {-100.1, 0.1, 0, 0},
              {-150, 500, 2400, -240},
              {-0.01, 133.33, 639, 479},
              {-1e12, 1e300, 30000, -30000},
              {NAN, -INFINITY, -30000, 7}};
  for (const auto& a : aims) {
    EXPECT_EQ(trackerScreenX(a.r3, 7), a.x) << a.r3;
    EXPECT_EQ(trackerScreenY(a.r2, 7), a.y) << a.r2;
  }
  // The simulator's records aim at every pixel exactly, on the screen and off it.
  for (int x = -40; x < 700; x += 3)
    for (int y = -40; y < 540; y += 7) {
      aimSimTracker(&sim, x, y);
      const std::string record = formatTrackerRecord('1', sim.numbers);
      ASSERT_EQ(parseExact(record, &report), 6) << record;
      ASSERT_EQ(std::make_pair(trackerScreenX(report.r[2], 0), trackerScreenY(report.r[1], 0)),
                std::make_pair(x, y));
    }
}
