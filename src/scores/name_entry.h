// The name entry on the shot on-screen keyboard.
#pragma once
#include <cstdint>

constexpr int NameFieldLength = 21;
constexpr int NameMaxLength = 20;

// Twenty spaces and a full stop; typed characters replace the spaces.
extern char nameField[NameFieldLength + 1];
// Where the next character goes, 0 to 20.
extern int32_t nameCursor;

// Empties the field and puts the cursor at 0.
void PrepareNameEntry();
// The character, delete or end key at a screen point: a byte value, or
// NameKeyDelete, NameKeyEnd, NameKeyNone. The 11 by 6 grid of 20-pixel cells
// starts at (18, 336), one pixel inside the keyboard picture at (17, 335).
constexpr int32_t NameKeyNone = -1;
constexpr int32_t NameKeyDelete = -2;
constexpr int32_t NameKeyEnd = -3;
int32_t NameKeyAt(int32_t x, int32_t y);
// Whether a device may type or cancel: its letter in DeviceTag is not "-".
// When the tag names no device that fires on the front-end screens (only the
// tracker, or none), every device may, so that the entry can always end.
bool NameEntryEligible(int32_t device);
// Runs the entry until the end key, a twenty-first character, a cancel by an
// eligible button 2 or a stop signal (which cancels), then inserts the name (or
// "Anonymous"), saves and reloads the table.
void RunNameEntry();
