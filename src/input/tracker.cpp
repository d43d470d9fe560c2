// The serial motion tracker link: the port and its start-up commands, the
// report poll, and the Tracker player's crosshair.
#include "input/tracker.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/serial.h"

TrackerPort trackerPort{SerialNone};
TrackerReport trackerReport;

namespace {
constexpr const char* DefaultPort = "/dev/ttyS0";
constexpr int32_t ReplyMaximum = 94;  // two records of 47 bytes
constexpr int32_t RecordCut = 45;     // the first record's numbers end here
constexpr int32_t NumbersStart = 3;   // after the record's 3 leading bytes
constexpr double PixelsPerUnit = 4.8;
constexpr double FarOffScreen = 30000.0;

void writeCommand(const char* text) { trackerWrite(text, static_cast<int32_t>(strlen(text))); }

// One line on standard error for a device the player named.
void reportPortFailure(const char* what, const char* name, int error) {
  fprintf(stderr, "lakeport-nights: cannot %s tracker port %s: %s\n", what, name, strerror(error));
}

// The device of the open port, and whether its failing was told already.
char openPortName[256];
bool portFailureTold = false;

// A port that answered at start-up and then fails (the device unplugged, its
// line hung up) is told once; polls go on as before, the crosshair staying.
void reportPortLost(int error) {
  if (portFailureTold) return;
  portFailureTold = true;
  fprintf(stderr, "lakeport-nights: tracker port %s failed: %s\n", openPortName, strerror(error));
}

int32_t screenPixel(double value, int32_t fallback) {
  if (std::isnan(value)) return fallback;
  // Bounded far off the screen so that no later sum on a crosshair overflows.
  if (value > FarOffScreen) value = FarOffScreen;
  if (value < -FarOffScreen) value = -FarOffScreen;
  return static_cast<int32_t>(value);
}
}  // namespace

const char* trackerPortName(bool* named) {
  const char* chosen = getenv("LAKEPORT_TRACKER_PORT");
  *named = chosen != nullptr;
  if (!chosen) return DefaultPort;
  return chosen[0] ? chosen : nullptr;
}

int openTrackerPort() {
  closeTrackerPort();
  bool named = false;
  const char* name = trackerPortName(&named);
  if (!name) return 0;

  const int handle = serialOpen(name);
  if (handle == SerialNone) {
    if (named) reportPortFailure("open", name, errno);
    return 0;
  }
  if (serialSetLine(handle) < 0) {
    if (named) reportPortFailure("set up", name, errno);
    serialClose(handle);
    return 0;
  }
  trackerPort.handle = handle;
  snprintf(openPortName, sizeof openPortName, "%s", name);
  portFailureTold = false;

  // The tracker answers "S" with bytes of its own; they are thrown away.
  writeCommand("S");
  sleepMs(1000);
  char discard[256];
  trackerRead(discard, sizeof discard);

  for (const char* command : {"u", "t", "D", "t", "H1,0,0,1\r", "H2,0,0,1\r", "c", "F"})
    writeCommand(command);
  return 1;
}

int32_t trackerWrite(const void* bytes, int32_t count) {
  if (trackerPort.handle == SerialNone) return -1;
  const int32_t written = serialWrite(trackerPort.handle, bytes, count);
  if (written < 0) {
    reportPortLost(errno);
    return -2;
  }
  return written;
}

int32_t trackerRead(void* buffer, int32_t maximum) {
  if (trackerPort.handle == SerialNone) return -1;
  int32_t waiting = 0;
  for (int check = 0; check < 5 && waiting <= 0; ++check) {
    waiting = serialWaiting(trackerPort.handle);
    if (waiting <= 0) sleepMs(1);
  }
  if (waiting <= 0) return -1;
  const int32_t got = serialRead(trackerPort.handle, buffer, maximum < waiting ? maximum : waiting);
  if (got < 0) {
    reportPortLost(errno);
    return -2;
  }
  return got;
}

void readTrackerReport() {
  trackerWrite("P", 1);
  sleepMs(30);
  char reply[ReplyMaximum];
  const int32_t got = trackerRead(reply, ReplyMaximum);
  parseTrackerReply(reply, got > 0 ? got : 0, &trackerReport);
}

int parseTrackerReply(const char* reply, int32_t len, TrackerReport* report) {
  // sscanf needs a terminated text: copy what arrived, at most up to the cut.
  char text[RecordCut + 1];
  const int32_t kept = len < 0 ? 0 : (len < RecordCut ? len : RecordCut);
  if (kept > 0) memcpy(text, reply, static_cast<size_t>(kept));
  text[kept] = '\0';
  if (kept <= NumbersStart) return 0;
  double* r = report->r;
  const int read = sscanf(text + NumbersStart, "%lf %lf %lf %lf %lf %lf", &r[0], &r[1], &r[2],
                          &r[3], &r[4], &r[5]);
  return read < 0 ? 0 : read;
}

int32_t trackerScreenX(double r3, int32_t fallback) {
  return screenPixel(PixelsPerUnit * r3, fallback);
}

int32_t trackerScreenY(double r2, int32_t fallback) {
  return screenPixel(PixelsPerUnit * (r2 + 100.0), fallback);
}

void pollTracker() {
  // Only a port start-up opened can have a tracker behind it.
  if (!shell.trackerPresent || trackerPort.handle == SerialNone) return;
  readTrackerReport();
  Player& p = players[Tracker];
  p.cursorX = trackerScreenX(trackerReport.r[2], p.cursorX);
  p.cursorY = trackerScreenY(trackerReport.r[1], p.cursorY);
  p.active = true;
  p.lastMoveTime = ticksMs();
}

void closeTrackerPort() {
  serialClose(trackerPort.handle);
  trackerPort.handle = SerialNone;
}

void resetTracker() {
  closeTrackerPort();
  trackerReport = TrackerReport{};
}
