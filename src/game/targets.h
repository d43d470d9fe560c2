// The fifteen figures, their twelve places, shots against them and drawing;
// their schedule (appearing, staying, firing, breaks) lives in schedule.cpp.
#pragma once
#include <cstdint>
#include <ctime>

constexpr int TargetCount = 15;
constexpr int SlotCount = 12;
// Raw picture values from this one up are background: a shot there does no harm.
constexpr int32_t FigureBackgroundPixel = 50000;
// Frames of the hit jolt, and how far a hit postpones the gangster's next shot.
constexpr int32_t JoltFrames = 2;
constexpr uint32_t HitShotDelayMs = 540;

// One figure. Kinds 8 to 12 are bystanders, every other kind is a gangster.
class Target {
 public:
  int32_t kind = 0;        // 0..14, also the figure's index
  int32_t x = -1, y = -1;  // centre of its place while shown
  bool shown = false;
  time_t appearedAt = 0;     // wall-clock second of the last appearance
  time_t hiddenAt = 0;       // wall-clock second it last left (or was reset)
  int32_t breakSeconds = 0;  // wait after hiddenAt before it tries to appear
  int32_t health = 5;        // 5 on appearing; dead at 0 or below
  int32_t slot = 0;          // place of the last appearance
  bool slotReleased = true;  // the place of the last appearance was given back
  uint32_t lastShotTicks = 0;
  int32_t firing = 0;  // fires on this frame (0/1)
  bool isGangster = true;
  int32_t jolt = 0;  // frames of hit jolt still to show

  // A hidden figure off the screen, health 5, hidden since now (wall clock).
  Target();

  bool IsGangster() const { return isGangster; }
  // A shot at (px, py) on a shown figure's rectangle: hit sound, a shot mark,
  // 540 ms more before its next shot, a two-frame jolt; true. Otherwise false
  // and nothing changes.
  bool TakeHit(int32_t px, int32_t py);
  // A shot at (px, py) on a shown figure's rectangle whose picture pixel there
  // is below 50000 takes the body zone's damage from a live figure. True only
  // for the shot that brings health from 1 or more to 0 or less.
  bool TakeDamage(int32_t px, int32_t py);
  // Centre of place s (0..11); other numbers leave x and y alone.
  void PlaceAtSlot(int32_t s);
  // Start of a round: hidden, no place held, a fresh first break.
  void Reset();
  // This frame's picture: the hit picture when dead, the firing picture and
  // the gunshot on a firing frame, else the normal picture, jolted after hits.
  void Draw();
  // One frame of the schedule (appear, fire, leave).
  void Tick();
  void SetKind(int32_t k);
  // The 88 by 200 rectangle around the stored centre, both ends inclusive:
  // x - 44 .. x + 43 and y - 100 .. y + 99.
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

// Makes the fifteen figures (once; later calls construct them afresh in place)
// and gives figure i kind i.
void CreateTargets();
// The figure of index i, or null for an index outside 0..14 or before CreateTargets.
Target* TargetAt(int32_t i);
// Place numbers outside 0..11 count as taken and are never written.
bool IsSlotFree(int32_t slot);
void OccupySlot(int32_t slot);
void ReleaseSlot(int32_t slot);
// Marks every place free (start-up and ResetTargetField).
void ClearSlotTable();
// Centre of a place: x = (slot mod 6) * 104 + 60, y = 126 upper row, 354 lower.
int32_t SlotCentreX(int32_t slot);
int32_t SlotCentreY(int32_t slot);
// The kind's normal / hit picture with its top-left corner at (x - 44, y - 100);
// kinds outside 0..12 use kind 0's pictures. A missing picture draws nothing.
void DrawFigure(int32_t kind, int32_t x, int32_t y);
void DrawFigureHit(int32_t kind, int32_t x, int32_t y);
// DrawFigure, then one muzzle flash chosen by RandomUpTo(9) at the kind's offset.
void DrawFigureFiring(int32_t kind, int32_t x, int32_t y);
// One shot at (x, y): a mark drawn at once, then every figure in index order
// takes the damage (a kill moves the body count: +1 gangster, -1 bystander) and
// the hit; each figure the shot misses adds the mark to the list instead, so
// every shot adds fifteen mark entries.
void ResolveShot(int32_t x, int32_t y);
// Start of a round: all places free, then Reset of figures 0 to 14.
void ResetTargetField();
// One gangster shot at the players: energy -1 when RandomUpTo(100) plus the
// level's roll offset (2 - level) * 12 is at most chance.
void GangsterShotRoll(int32_t chance);
