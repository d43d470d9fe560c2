// The fifteen figures, their twelve places, shots against them and drawing.
#pragma once
#include <cstdint>
#include <ctime>

constexpr int TargetCount = 15;
constexpr int SlotCount = 12;

class Target {
 public:
  int32_t kind = 0;         // 0..14, also the figure's index
  int32_t x = -1, y = -1;   // centre of its place while shown
  bool shown = false;
  time_t appearedAt = 0;    // wall-clock second of the last appearance
  time_t hiddenAt = 0;      // wall-clock second it last left (or was reset)
  int32_t breakSeconds = 0; // wait after hiddenAt before it tries to appear
  int32_t health = 5;       // 5 on appearing; dead at 0 or below
  int32_t slot = 0;         // place of the last appearance
  bool slotReleased = true; // the place of the last appearance was given back
  uint32_t lastShotTicks = 0;
  int32_t firing = 0;       // fires on this frame (0/1)
  bool isGangster = true;
  int32_t jolt = 0;         // frames of hit jolt still to show

  bool IsGangster() const { return isGangster; }
  bool TakeHit(int32_t px, int32_t py);
  bool TakeDamage(int32_t px, int32_t py);
  void PlaceAtSlot(int32_t s);
  void Reset();
  void Draw();
  void Tick();
  void SetKind(int32_t k);
  bool Contains(int32_t px, int32_t py) const;
};

struct SlotTable {
  int32_t occupied[SlotCount];  // non-zero: taken
};

struct TargetField {
  Target* figures;  // TargetCount figures, index i holds kind i; null before CreateTargets
  SlotTable slots;
};

extern TargetField targetField;

void CreateTargets();
Target* TargetAt(int32_t i);
bool IsSlotFree(int32_t slot);
void OccupySlot(int32_t slot);
void ReleaseSlot(int32_t slot);
// Marks every place free (start-up and ResetTargetField).
void ClearSlotTable();
void DrawFigure(int32_t kind, int32_t x, int32_t y);
void DrawFigureHit(int32_t kind, int32_t x, int32_t y);
void DrawFigureFiring(int32_t kind, int32_t x, int32_t y);
// One shot at (x, y) against every figure, the body count and the shot marks.
void ResolveShot(int32_t x, int32_t y);
// Start of a round: all places free, then Reset of figures 0 to 14.
void ResetTargetField();
// One gangster shot at the players: energy -1 when it hits.
void GangsterShotRoll(int32_t chance);
