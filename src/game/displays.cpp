// The round's displays (stand-in until the round lands).
#include "game/displays.h"

ShotMarkList shotMarks;

void ClearShotMarks() {
  for (ShotMark& m : shotMarks.entries) m = ShotMark{-10, -10};
}
void DrawRoundBackdrop() {}
void AddShotMark(int32_t, int32_t) {}
void DrawShotMarks() {}
void DrawShotMark(int32_t, int32_t) {}
void DrawRoundDisplay() {}
