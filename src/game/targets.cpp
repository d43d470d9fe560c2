// The figures (stand-in until the figures land).
#include "game/targets.h"

TargetField targetField;

void CreateTargets() {}
Target* TargetAt(int32_t) { return nullptr; }
bool IsSlotFree(int32_t) { return false; }
void OccupySlot(int32_t) {}
void ReleaseSlot(int32_t) {}
void ClearSlotTable() {
  for (int32_t& s : targetField.slots.occupied) s = 0;
}
void DrawFigure(int32_t, int32_t, int32_t) {}
void DrawFigureHit(int32_t, int32_t, int32_t) {}
void DrawFigureFiring(int32_t, int32_t, int32_t) {}
void ResolveShot(int32_t, int32_t) {}
void ResetTargetField() {}
void GangsterShotRoll(int32_t) {}
