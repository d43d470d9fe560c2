// The tracker link over a real pseudo-terminal: line, bytes, timing, mapping.
#include "input/tracker.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <cstring>
#include <fstream>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "sim_tracker.h"

namespace {
class TrackerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(openSimTracker(&sim, true)) << strerror(errno);
    // The stand-in tracker answers while the game sleeps on the fake clock.
    setFakeSleepHook([this](uint32_t ms) { sleeps.push_back(ms), serveSimTracker(&sim); });
  }
  void TearDown() override {
    closeTrackerPort(), closeSimTracker(&sim);
    GameTest::TearDown();
  }
  SimTracker sim;
  std::vector<uint32_t> sleeps;
};

}  // namespace

TEST_F(TrackerTest, NamedPortsThatFailAreToldTheLineIsRawEachPollSendsPAndSilenceCosts35Ms) {
  std::ofstream("plain-file") << "x";
  setenv("LAKEPORT_TRACKER_PORT", "plain-file", 1);
  captureStderr();
  EXPECT_EQ(openTrackerPort(), 0);
  EXPECT_EQ(capturedStderr(), "lakeport-nights: cannot open tracker port plain-file: " +
                                  std::string(strerror(ENOTTY)) + "\n");
  EXPECT_TRUE(trackerPort.handle == SerialNone && sleeps.empty());

  setenv("LAKEPORT_TRACKER_PORT", sim.path.c_str(), 1);
  termios line{};
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  line.c_cflag |= PARENB | CSTOPB | HUPCL, line.c_iflag |= IXON;  // beside a cooked tty's own
  ASSERT_EQ(tcsetattr(sim.peer, TCSANOW, &line), 0);
  ASSERT_EQ(openTrackerPort(), 1);
  int exclusive = 0;
  EXPECT_TRUE(ioctl(sim.peer, TIOCGEXCL, &exclusive) == 0 && exclusive == 1);
  ASSERT_EQ(tcgetattr(sim.peer, &line), 0);
  EXPECT_EQ(cfgetispeed(&line) + cfgetospeed(&line), 2 * B115200);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), tcflag_t{CS8 | HUPCL});
  EXPECT_FALSE(line.c_iflag & (IXON | IXOFF | ICRNL) || line.c_lflag & (ICANON | ECHO | ISIG) ||
               line.c_oflag & OPOST);
  // "S", the pause in which its answer is thrown away, the commands; each poll
  // sends "P" and finds the reply after 30 ms. Silent: five checks 1 ms apart.
  shell.trackerPresent = true;
  pollTracker(), pollTracker();
  EXPECT_EQ(sim.received, "SutDtH1,0,0,1\rH2,0,0,1\rcFPP");  // carriage returns untouched
  EXPECT_EQ(std::make_pair(players[Tracker].cursorX, players[Tracker].cursorY),
            std::make_pair(320, 240));
  sim.answering = false;
  pollTracker();
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{1000, 30, 30, 30, 1, 1, 1, 1, 1}));
  EXPECT_EQ(players[Tracker].lastMoveTime, 2095u);
}

// The simulator's records parse whole (the fuzz target holds the parser to the
// bytes that came) and aim at every pixel exactly, on the screen and off it.
TEST_F(TrackerTest, RecordsParseAndMapToEveryPixelExactly) {
  TrackerReport report;
  EXPECT_EQ(std::make_pair(trackerScreenX(133.33, 7), trackerScreenY(-0.01, 7)),
            std::make_pair(639, 479));
  for (int x = -40; x < 700; x += 3)
    for (int y = -40; y < 540; y += 7) {
      aimSimTracker(&sim, x, y);
      const std::string record = formatTrackerRecord('1', sim.numbers);
      ASSERT_EQ(parseTrackerReply(record.data(), int32_t(record.size()), &report), 6) << record;
      ASSERT_EQ(std::make_pair(trackerScreenX(report.r[2], 0), trackerScreenY(report.r[1], 0)),
                std::make_pair(x, y));
    }
}
