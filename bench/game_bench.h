// Shared by the whole-game benchmarks: a game directory over the build's
// default art, the processor time of the calling thread, and the floor every
// frame is measured against.
#pragma once
#include <string>

// Makes a temporary game directory whose pics/ and sounds/ point at the art
// the build made, with an empty data/, and makes it the working directory.
// SDL runs headless and no tracker is looked for. Returns the directory, or ""
// (with why) when the build made no art.
std::string enterGameDirectory(std::string* why);
// Leaves the directory and removes it.
void leaveGameDirectory(const std::string& dir);
// Processor time of the calling thread in microseconds: what the game's one
// thread spends, whatever else the machine is doing.
double threadMicros();
// The floor of a frame: copying two full 640 by 480 24-bit screens with memcpy,
// in thread microseconds (the median of many copies).
double twoScreenCopyMicros();
// A round in the dummy driver's 640 by 480 screen (shell.video): twelve figures
// on the twelve places, five active crosshairs, full energy, and the shot-mark
// list filled with `marks` marks spread over the scene; one frame drawn.
void worstCaseRound(int marks);
