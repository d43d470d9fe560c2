// The serial motion tracker link: port set-up, start-up commands, reports.
#pragma once
#include <cstdint>

struct TrackerReport {
  double r[6];  // R1 to R6 of the last report, in the order received
};

extern TrackerReport trackerReport;

// Opens and sets up the tracker's port and sends the start-up commands.
// 1 when opened, 0 otherwise.
int openTrackerPort();
// -1 port not open, -2 write failed, else bytes written.
int32_t trackerWrite(const void* bytes, int32_t count);
// -1 port not open or nothing arrived, -2 read failed, else bytes read.
int32_t trackerRead(void* buffer, int32_t maximum);
// Sends "P" and parses the reply into trackerReport.
void readTrackerReport();
// Parses up to six numbers of a reply (only the len bytes given) into report;
// numbers the reply does not supply keep their values. Returns how many it read.
int parseTrackerReply(const char* reply, int32_t len, TrackerReport* report);
// When the tracker is present: one report, then the Tracker player's crosshair.
void pollTracker();
void closeTrackerPort();
// Closes the port and zeroes the report (tests call it).
void resetTracker();
