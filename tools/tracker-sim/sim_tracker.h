// A stand-in for the motion tracker on a pseudo-terminal: it takes the game's
// command bytes and answers "S" and every "P" in the tracker's record layout.
// The simulator program and the tests share it.
#pragma once
#include <deque>
#include <string>

struct SimTracker {
  int master = -1;                   // pseudo-terminal master (non-blocking); -1 none
  int peer = -1;                     // a device-side handle held by tests; -1 none
  std::string path;                  // the device the game opens
  double numbers[6] = {};            // R1 to R6 of the next report
  bool answering = true;             // false: every "P" goes unanswered
  std::deque<std::string> scripted;  // replies to the next "P"s, used before reports
  std::string received;              // every byte the game sent, in order
  std::string command;               // a started "H" command awaiting its '\r'
  int reports = 0;                   // "P"s answered
};

constexpr int SimRecordLength = 47;
constexpr int SimReplyLength = 2 * SimRecordLength;

// Opens a pseudo-terminal and sets its line raw. With holdPeer the device side
// stays open too, so that every reply is known to have arrived before serving
// returns (tests); without, the game's closing the device shows as a hang-up.
// Aims at the centre of the screen with the presence numbers set. False with
// errno set when no pseudo-terminal could be had.
bool openSimTracker(SimTracker* sim, bool holdPeer);
void closeSimTracker(SimTracker* sim);
// Takes every byte the game has sent so far and answers it. The number of bytes
// taken, or -1 once the game closed the device after having opened it.
int serveSimTracker(SimTracker* sim);
// Writes bytes to the game's side; with a held peer, returns once they arrived.
bool sendSimTracker(SimTracker* sim, const std::string& bytes);
// Sets R2 and R3 so that the game's crosshair lands exactly on pixel (x, y).
void aimSimTracker(SimTracker* sim, double x, double y);
// One 47-byte record: 3 leading bytes, six numbers in 7-byte fields from offset
// 3 to 44, then "\r\n".
std::string formatTrackerRecord(char station, const double numbers[6]);
