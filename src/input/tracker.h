// The serial motion tracker link: port set-up, start-up commands, reports.
#pragma once
#include <cstdint>

// The one serial connection to the tracker: a serial handle, or SerialNone.
struct TrackerPort {
  int handle;
};

struct TrackerReport {
  double r[6];  // R1 to R6 of the last report, in the order received
};

extern TrackerPort trackerPort;
extern TrackerReport trackerReport;

// The device to look for the tracker on: LAKEPORT_TRACKER_PORT when it is set
// (an empty value means none, a null result), else /dev/ttyS0. *named tells
// whether the player named the device.
const char* trackerPortName(bool* named);
// Opens and sets up the tracker's port and sends the start-up commands.
// 1 when opened, 0 otherwise. A device the player named that cannot be used
// gets one line on standard error; the default device fails silently.
int openTrackerPort();
// -1 port not open, -2 write failed, else bytes written.
int32_t trackerWrite(const void* bytes, int32_t count);
// -1 port not open or nothing arrived, -2 read failed, else bytes read.
// Looks for waiting bytes up to five times, 1 ms apart.
int32_t trackerRead(void* buffer, int32_t maximum);
// Sends "P", waits 30 ms and parses the reply into trackerReport.
void readTrackerReport();
// Parses up to six numbers of a reply (only the len bytes given, cut at offset
// 45, from offset 3) into report; numbers the reply does not supply keep their
// values. Returns how many it read.
int parseTrackerReply(const char* reply, int32_t len, TrackerReport* report);
// The screen pixel a tracker number aims at: trunc(4.8 * r3) across,
// trunc(4.8 * (r2 + 100)) down, not clamped to the screen. A value that is not
// a number gives fallback; values beyond +-30000 pixels stop there.
int32_t trackerScreenX(double r3, int32_t fallback);
int32_t trackerScreenY(double r2, int32_t fallback);
// When the tracker is present: one report, then the Tracker player's crosshair.
void pollTracker();
void closeTrackerPort();
// Closes the port and zeroes the report (tests call it).
void resetTracker();
