// The tracker link (stand-in until the tracker lands: no port).
#include "input/tracker.h"

TrackerReport trackerReport;

int openTrackerPort() { return 0; }
int32_t trackerWrite(const void*, int32_t) { return -1; }
int32_t trackerRead(void*, int32_t) { return -1; }
void readTrackerReport() {}
int parseTrackerReply(const char*, int32_t, TrackerReport*) { return 0; }
void pollTracker() {}
void closeTrackerPort() {}
void resetTracker() { trackerReport = TrackerReport{}; }
