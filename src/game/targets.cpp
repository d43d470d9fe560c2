// The fifteen figures: their places, how a shot lands on them, how they draw.
#include "game/targets.h"

#include <SDL.h>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/displays.h"
#include "game/round.h"
#include "gfx/blit.h"
#include "gfx/grid.h"
#include "platform/clock.h"
#include "platform/random.h"

TargetField targetField;

namespace {
struct Offset {
  int32_t dx, dy;
};

// Where the muzzle flash sits relative to the centre, for gangster kinds 0..7.
constexpr Offset flashOffsets[8] = {{6, -26},   {-41, -8}, {-20, -64}, {-20, -34},
                                    {-26, -18}, {24, -8},  {0, -64},   {0, -34}};
constexpr Offset otherFlashOffset = {-18, -22};

// Kinds 13 and 14 (and anything unknown) wear kind 0's pictures.
int32_t pictureKind(int32_t kind) { return kind >= 0 && kind < FigurePictureCount ? kind : 0; }

void blitAt(SDL_Surface* picture, int32_t left, int32_t top) {
  if (!picture || !shell.video) return;
  SDL_Rect at{static_cast<Sint16>(left), static_cast<Sint16>(top), 0, 0};
  BlitPicture(picture, nullptr, shell.video, &at);
}

// Damage of a shot by its height relative to the figure's centre: head 5,
// chest 4, belly 3, thighs 2, legs 1.
int32_t zoneDamage(int32_t dy) {
  if (dy <= -70) return 5;
  if (dy <= -40) return 4;
  if (dy <= 4) return 3;
  if (dy <= 52) return 2;
  return 1;
}

bool validSlot(int32_t slot) { return slot >= 0 && slot < SlotCount; }
}  // namespace

Target::Target() : hiddenAt(wallSeconds()) {}

void CreateTargets() {
  if (!targetField.figures) targetField.figures = new Target[TargetCount];
  for (int32_t i = 0; i < TargetCount; ++i) {
    targetField.figures[i] = Target();
    targetField.figures[i].SetKind(i);
  }
}

Target* TargetAt(int32_t i) {
  if (!targetField.figures || i < 0 || i >= TargetCount) return nullptr;
  return &targetField.figures[i];
}

bool Target::Contains(int32_t px, int32_t py) const {
  return px >= x - 44 && px <= x + 43 && py >= y - 100 && py <= y + 99;
}

bool Target::TakeDamage(int32_t px, int32_t py) {
  if (!shown || !Contains(px, py)) return false;
  const int32_t before = health;
  const int32_t pixel = FigurePixel(kind, px - x + 44, py - y + 100);
  if (pixel < FigureBackgroundPixel && health > 0) health -= zoneDamage(py - y);
  return before >= 1 && health < 1;
}

bool Target::TakeHit(int32_t px, int32_t py) {
  if (!shown || !Contains(px, py)) return false;
  playHitMetal(kind);
  AddShotMark(px, py);
  lastShotTicks += HitShotDelayMs;
  jolt = JoltFrames;
  return true;
}

void Target::PlaceAtSlot(int32_t s) {
  if (!validSlot(s)) return;
  x = SlotCentreX(s);
  y = SlotCentreY(s);
}

void Target::SetKind(int32_t k) {
  kind = k;
  isGangster = !(k >= 8 && k <= 12);
}

void Target::Draw() {
  if (!shown) return;
  if (health > 0 && firing) {
    // The flash frame stands still; the jolt waits for the next frame.
    DrawFigureFiring(kind, x, y);
    playFigureShot(kind);
    return;
  }
  int32_t lift = 0;
  if (jolt >= 2) {
    lift = 6;
    jolt = 1;
  } else if (jolt == 1) {
    lift = 3;
    jolt = 0;
  }
  if (health <= 0)
    DrawFigureHit(kind, x, y - lift);
  else
    DrawFigure(kind, x, y - lift);
}

int32_t SlotCentreX(int32_t slot) { return (slot % 6) * 104 + 60; }
int32_t SlotCentreY(int32_t slot) { return slot < 6 ? 126 : 354; }

bool IsSlotFree(int32_t slot) { return validSlot(slot) && targetField.slots.occupied[slot] == 0; }

void OccupySlot(int32_t slot) {
  if (validSlot(slot)) targetField.slots.occupied[slot] = 1;
}

void ReleaseSlot(int32_t slot) {
  if (validSlot(slot)) targetField.slots.occupied[slot] = 0;
}

void ClearSlotTable() {
  for (int32_t& s : targetField.slots.occupied) s = 0;
}

void DrawFigure(int32_t kind, int32_t x, int32_t y) {
  blitAt(pictures.figure[pictureKind(kind)], x - 44, y - 100);
}

void DrawFigureHit(int32_t kind, int32_t x, int32_t y) {
  blitAt(pictures.figureHit[pictureKind(kind)], x - 44, y - 100);
}

void DrawFigureFiring(int32_t kind, int32_t x, int32_t y) {
  DrawFigure(kind, x, y);
  // Draws 0..9; the rare 9 shows the last flash, like 8.
  int32_t flash = RandomUpTo(9);
  if (flash > 8) flash = 8;
  const Offset at = kind >= 0 && kind < 8 ? flashOffsets[kind] : otherFlashOffset;
  blitAt(pictures.muzzleFlash[flash], x + at.dx, y + at.dy);
}

void ResolveShot(int32_t x, int32_t y) {
  DrawShotMark(x, y);
  for (int32_t i = 0; i < TargetCount; ++i) {
    Target* t = TargetAt(i);
    if (t && t->TakeDamage(x, y)) roundState.bodyCount += t->IsGangster() ? 1 : -1;
    if (!t || !t->TakeHit(x, y)) AddShotMark(x, y);
  }
}
