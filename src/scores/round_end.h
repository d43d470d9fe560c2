// The end of a round: result line, qualification, the hiscore screen.
#pragma once
#include <cstdint>

extern char DeviceTag[6];  // one letter or "-" per DeviceId
extern bool qualified;

void resetRoundEnd();
// The RoundEnd screen; returns with ShellState::screen Title or Round.
void RunRoundEnd();
// Builds DeviceTag from the players' active flags.
void BuildDeviceTag();
void InsertHiscore(int32_t score, int32_t weapon, const char* name, int32_t shots,
                   int32_t players, const char* devices);
// Draws the level's table; returns 16, the row after it and one empty row.
int32_t ShowHiscoreTable();
// Prints the result line of the round at (column, row); returns row + 1.
int32_t PrintResultLine(int32_t column, int32_t row);
