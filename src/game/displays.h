// The round's displays: backdrop with dimmed places, shot marks, display strip.
#pragma once
#include <cstdint>

constexpr int ShotMarkCapacity = 3500;
// Once the list is full, a new mark overwrites one of the entries 0 to this.
constexpr int ShotMarkOverwriteSpan = 350;

struct ShotMark {
  int32_t x, y;  // free when x < 0, written as (-10, -10)
};

struct ShotMarkList {
  ShotMark entries[ShotMarkCapacity];
};

extern ShotMarkList shotMarks;

// The drawing the cached layers did since resetRoundDisplays, which a frame
// that changes nothing leaves as it was: base layers built, scenes drawn
// whole, marks drawn onto a scene, strips drawn picture by picture.
struct LayerWork {
  uint64_t baseBuilds, sceneRedraws, sceneMarks, stripDraws;
};
extern LayerWork layerWork;

// Sets every entry free (start-up and RearmRound).
void ClearShotMarks();
// Empties the list and drops the cached drawing layers (tests call it).
void resetRoundDisplays();

// The backdrop of chosenLevel and its twelve dimmed places onto the screen;
// nothing for a level outside 0 to 4.
void DrawRoundBackdrop();
// Stores a shot point in the first free entry. When none is free it overwrites
// entry RandomUpTo(350), except with a point of x below 0, which would read as
// a free entry there.
void AddShotMark(int32_t x, int32_t y);
// Draws every used entry, from entry 0 up to the first free one, in that order,
// over whatever the screen holds.
void DrawShotMarks();
// The frame's way to the same pixels: while the screen still shows exactly what
// DrawRoundBackdrop drew, it copies a cached layer of backdrop, places and marks
// over it, so a full list costs one copy instead of 3500 blits. Where there is
// no such layer (no whole backdrop, no level) it is DrawShotMarks.
void DrawShotMarksOnBackdrop();
// What DrawRoundBackdrop followed by DrawShotMarksOnBackdrop leaves on the
// screen, in one copy of the cached layer of backdrop, places and marks where
// there is one: a frame's whole background for the cost of one screen copy.
void DrawRoundScene();
// The mark picture with its top-left corner at (x - 4, y - 4).
void DrawShotMark(int32_t x, int32_t y);
// The display strip: two dimmed panels, the kill count, the targets still to
// come and the energy bar; then, while it is fresh, the label of the last
// weapon key at column 1, row 0.
void DrawRoundDisplay();

// How long a weapon key's label stays on screen.
constexpr uint32_t WeaponLabelMs = 1500;
// Shows the label of weapon 0 to 2 ("[single shot]", "[Revolver]",
// "[Thompson]") in the round's frames of the next WeaponLabelMs on the
// platform clock, replacing any label still showing.
void ShowWeaponLabel(int32_t weapon);

// The printf formats of the two display texts for a count.
const char* KillsFormat(int32_t bodyCount);
const char* TargetsLeftFormat(int32_t targetsLeft);
