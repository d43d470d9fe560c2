// Helpers of the round, display, figure and schedule tests: a fixture with the
// fifteen figures made, draws for a wanted RandomUpTo result, placing figures.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "fixture.h"
#include "game/displays.h"
#include "game/targets.h"
#include "platform/clock.h"
#include "scores_support.h"

// The smallest generator integer for which RandomUpTo(n) gives v.
inline int32_t drawFor(int32_t n, int32_t v) {
  for (int32_t i = static_cast<int32_t>(int64_t{v} * 32767 / n); i <= 32767; ++i)
    if (static_cast<int32_t>(i / 32767.0 * n) == v) return i;
  return -1;
}

// Puts a live figure on a place, appeared secondsAgo wall seconds ago.
inline Target* standOn(Target* t, int32_t slot, int secondsAgo = 0) {
  t->shown = true, t->slot = slot, t->slotReleased = false, t->health = 5;
  OccupySlot(slot), t->PlaceAtSlot(slot);
  t->appearedAt = wallSeconds() - secondsAgo;
  return t;
}

// Used entries of the shot-mark list (they form one run from entry 0).
inline int usedShotMarks() {
  int n = 0;
  while (n < ShotMarkCapacity && shotMarks.entries[n].x >= 0) ++n;
  return n;
}

class FiguresTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    CreateTargets();
  }
};
