// The round's displays: backdrop with dimmed places, shot marks, display strip.
#pragma once
#include <cstdint>

constexpr int ShotMarkCapacity = 3500;

struct ShotMark {
  int32_t x, y;  // free when x < 0, written as (-10, -10)
};

struct ShotMarkList {
  ShotMark entries[ShotMarkCapacity];
};

extern ShotMarkList shotMarks;

// Sets every entry free (start-up and RearmRound).
void ClearShotMarks();
void DrawRoundBackdrop();
void AddShotMark(int32_t x, int32_t y);
void DrawShotMarks();
void DrawShotMark(int32_t x, int32_t y);
void DrawRoundDisplay();
