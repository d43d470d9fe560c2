// The name entry on the shot on-screen keyboard.
#pragma once
#include <cstdint>

constexpr int NameFieldLength = 21;

extern char nameField[NameFieldLength + 1];
extern int32_t nameCursor;

// Empties the field and puts the cursor at 0.
void PrepareNameEntry();
// The character, delete or end key at a screen point: a byte value, or
// NameKeyDelete, NameKeyEnd, NameKeyNone.
constexpr int32_t NameKeyNone = -1;
constexpr int32_t NameKeyDelete = -2;
constexpr int32_t NameKeyEnd = -3;
int32_t NameKeyAt(int32_t x, int32_t y);
// Runs the entry until it ends, then inserts, saves and reloads the table.
void RunNameEntry();
