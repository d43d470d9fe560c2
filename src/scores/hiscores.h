// The per-level hiscore tables and their text files ./data/data00.dat to 04.
#pragma once
#include <cstdint>

constexpr int HiscoreRows = 10;
constexpr int HiscoreNameMax = 20;
constexpr int HiscoreDevicesMax = 9;

struct HiscoreEntry {
  int32_t position;               // place number, kept with the row index
  char name[HiscoreNameMax + 1];  // spaces allowed in memory
  int32_t score;
  int32_t weapon;
  int32_t shots;
  int32_t playerCount;
  char devices[HiscoreDevicesMax + 1];
};

struct HiscoreTable {
  HiscoreEntry rows[HiscoreRows];
};

// The table of the level loaded last; names hold spaces, never "^".
extern HiscoreTable hiscores;
// The level the table in memory belongs to, or -1 before any load.
extern int32_t hiscoreLevel;

void resetHiscores();
// Reads the level's file into the table; returns row 9's score, or -1 when the
// file cannot be opened (or the level is not 0..4; a level other than the one
// in memory then starts from the default table). Only rows that read back whole
// and valid count: a number for the place, a name (cut to 20 characters), a
// 32-bit score, weapon 0 to 2, shots 0 or more, players 0 to 5 and a device tag
// of T, M, K, J, J or "-" at its five places. They are ranked by score (ties in
// the file's order) and the default table's rows of the places they leave
// empty are ranked in below ties, so every table read is ranked. A damaged file
// is reported in one line on standard error naming the refused rows and why; a
// failed close prints the old one-line notice on standard out.
int32_t LoadHiscores(int32_t level);
// Writes the table to the level's file: creates ./data/ when missing, writes a
// temporary file beside the target, syncs it and renames it over the target, so
// the old file stays whole when anything fails. A present file that does not
// read back completely is first kept as "<file>.damaged" (or .damaged-2, ...).
// 0, or -1 with one line on standard error naming the file and the reason.
int32_t SaveHiscores(int32_t level);
// Every space becomes "^" (names are one token in the file).
void EncodeNameForFile(char* name);
// Every "^" becomes a space.
void DecodeNameFromFile(char* name);
// "./data/data0N.dat" for a level 0..4, else null.
const char* HiscoreFileName(int32_t level);
// Fills a row's fields other than its place number; texts longer than their
// fields are cut.
void SetHiscoreRow(HiscoreEntry& row, const char* name, int32_t score, int32_t weapon,
                   int32_t shots, int32_t players, const char* devices);
// The ten rows a level without a readable file starts from.
HiscoreTable DefaultHiscoreTable();
