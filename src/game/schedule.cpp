// The figures' schedule: breaks, appearing on a free place, the three seconds
// of standing with the gangsters' fire, leaving; and the level's accuracy.
#include "app/shell.h"
#include "game/round.h"
#include "game/targets.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {
// A figure stands for three wall-clock seconds; gangsters fire from the second.
constexpr int32_t StaySeconds = 3;
constexpr int32_t MinBreakSeconds = 3;
constexpr int32_t GangsterBreakSpread = 12;
constexpr int32_t BystanderBreakSpread = 60;
// Milliseconds a gangster needs after its last shot (signed difference above this).
constexpr int32_t ShotSpacingMs = 180;

int32_t breakSpread(bool gangster) { return gangster ? GangsterBreakSpread : BystanderBreakSpread; }

// Waiting: give the place back after a second, then, once the break is over,
// try one random place per frame.
void tickHidden(Target& t, time_t now) {
  const int32_t waited = wallSecondsSince(now, t.hiddenAt);
  // The place is given back one second after the figure left, never at once.
  if (waited >= 1 && !t.slotReleased) {
    ReleaseSlot(t.slot);
    t.slotReleased = true;
  }
  if (waited < t.breakSeconds) return;
  if (t.isGangster && roundState.gangstersToCome <= 0) return;
  const int32_t s = RandomUpTo(SlotCount);  // 12 now and then: never free
  if (!IsSlotFree(s)) return;
  t.slot = s;
  OccupySlot(s);
  t.PlaceAtSlot(s);
  t.appearedAt = now;
  t.health = 5;
  t.jolt = 0;  // a jolt left from the last stay must not twitch the new one
  t.shown = true;
  if (t.isGangster) --roundState.gangstersToCome;
}

// The stay is over: off the screen, the place kept for one more second.
void leave(Target& t, time_t now) {
  t.x = t.y = -1;
  t.shown = false;
  t.hiddenAt = now;
  t.slotReleased = false;
  // More players, shorter breaks; nobody in play counts as one player.
  const double r = RandomUnit();
  const int32_t players = PlayerCount() > 0 ? PlayerCount() : 1;
  if (t.isGangster) --roundState.gangstersLeft;
  t.breakSeconds = MinBreakSeconds + static_cast<int32_t>(breakSpread(t.isGangster) * r / players);
}

// Standing: leave after three seconds; a live gangster may fire in the second
// and third second.
void tickShown(Target& t, time_t now) {
  const int32_t stood = wallSecondsSince(now, t.appearedAt);
  t.firing = 0;
  if (stood >= StaySeconds) {
    leave(t, now);
    return;
  }
  if (!t.isGangster || t.health < 1) return;

  int32_t fireBelow, chance;
  if (stood >= 2) {
    fireBelow = 90;
    chance = 50;
  } else if (stood >= 1) {
    fireBelow = 75;
    chance = 25;
  } else {
    return;  // the first second is quiet
  }
  const int32_t q = RandomUpTo(100);
  const int32_t sinceShot = static_cast<int32_t>(ticksMs() - t.lastShotTicks);
  if (q < fireBelow && sinceShot > ShotSpacingMs) {
    GangsterShotRoll(chance);
    t.firing = 1;
    t.lastShotTicks = ticksMs();
  }
}
}  // namespace

void Target::Reset() {
  breakSeconds = MinBreakSeconds + RandomUpTo(breakSpread(isGangster));
  hiddenAt = wallSeconds();
  shown = false;
  slotReleased = true;
  lastShotTicks = 0;
  firing = 0;
}

void Target::Tick() {
  const time_t now = wallSeconds();
  // A wall clock set back restarts the wait or the stay; it must not freeze
  // the figure until the clock has caught up again.
  time_t& stamp = shown ? appearedAt : hiddenAt;
  if (now < stamp) stamp = now;
  if (shown)
    tickShown(*this, now);
  else
    tickHidden(*this, now);
}

void GangsterShotRoll(int32_t chance) {
  const int32_t q = RandomUpTo(100);
  if (q + (2 - shell.chosenLevel) * 12 <= chance) --roundState.energy;
}

void ResetTargetField() {
  ClearSlotTable();
  for (int32_t i = 0; i < TargetCount; ++i)
    if (Target* t = TargetAt(i)) t->Reset();
}
