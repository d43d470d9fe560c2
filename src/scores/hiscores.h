// The per-level hiscore tables and their text files ./data/data00.dat to 04.
#pragma once
#include <cstdint>

constexpr int HiscoreRows = 10;
constexpr int HiscoreNameMax = 20;
constexpr int HiscoreDevicesMax = 9;

struct HiscoreEntry {
  int32_t position;                 // place number, kept with the row index
  char name[HiscoreNameMax + 1];    // spaces allowed in memory
  int32_t score;
  int32_t weapon;
  int32_t shots;
  int32_t playerCount;
  char devices[HiscoreDevicesMax + 1];
};

struct HiscoreTable {
  HiscoreEntry rows[HiscoreRows];
};

extern HiscoreTable hiscores;

void resetHiscores();
// Reads the level's file into the table; returns row 9's score, or -1 when the
// file cannot be read (or the level is not 0..4).
int32_t LoadHiscores(int32_t level);
// Writes the table to the level's file; 0, or -1 when it cannot be written.
int32_t SaveHiscores(int32_t level);
void EncodeNameForFile(char* name);
void DecodeNameFromFile(char* name);
// "./data/data0N.dat" for a level 0..4, else null.
const char* HiscoreFileName(int32_t level);
