// The end of a round: result line, qualification, the hiscore screen.
#pragma once
#include <cstdint>

extern char DeviceTag[6];  // one letter or "-" per DeviceId, fixed as the round ends
extern bool qualified;     // the score beat the tenth row; cleared on leaving

void resetRoundEnd();
// The RoundEnd screen: title tune, 350 ms, the queue drained, the tag, the
// level's table, the name entry when the score beats the tenth row, then the
// hiscore screen until an action. Returns with ShellState::screen Title (after
// a back request) or Round, the round re-armed. A stop signal waits until the
// result is stored, then ends the program at the hiscore screen's first poll.
void RunRoundEnd();
// Builds DeviceTag from the players' active flags: T, M, K, J, J or "-".
void BuildDeviceTag();
// Puts a result into the table in memory above the first row it ranks higher
// than (score, then the lower weapon, then fewer shots; a full tie goes below).
// Rows below move down with their data, the tenth is dropped; the place
// numbers stay where they are. A result ranking above no row changes nothing.
void InsertHiscore(int32_t score, int32_t weapon, const char* name, int32_t shots, int32_t players,
                   const char* devices);
// Draws the level's table; returns 16, the row after it and one empty row.
int32_t ShowHiscoreTable();
// Prints the result line of the round at (column, row); returns row + 1.
int32_t PrintResultLine(int32_t column, int32_t row);
// The backdrop index of the end screens: 2 when the round was completed, 3 when
// the players were shot (or quit).
int32_t RoundEndBackdrop();
