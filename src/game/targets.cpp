// The figures (stand-in until the figures land).
#include "game/targets.h"

TargetField targetField;

void CreateTargets() {
  if (!targetField.figures) targetField.figures = new Target[TargetCount];
  for (int32_t i = 0; i < TargetCount; ++i) targetField.figures[i].SetKind(i);
}
Target* TargetAt(int32_t i) { return targetField.figures ? &targetField.figures[i] : nullptr; }

bool Target::TakeHit(int32_t, int32_t) { return false; }
bool Target::TakeDamage(int32_t, int32_t) { return false; }
void Target::PlaceAtSlot(int32_t) {}
void Target::Reset() {}
void Target::Draw() {}
void Target::Tick() {}
void Target::SetKind(int32_t k) {
  kind = k;
  isGangster = !(k >= 8 && k <= 12);
}
bool Target::Contains(int32_t, int32_t) const { return false; }
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
