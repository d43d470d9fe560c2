// The worst round frame the game meets, after the real start-up with the
// default art: a full shot-mark list of 3500 entries, twelve figures standing
// (two gangsters firing, five dead, five bystanders), all five crosshairs and
// the display strip, with the sounds of the two shots; measured beside the
// floor, copying two full screens, in the same run.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>

#include "app/shell.h"
#include "game/displays.h"
#include "game/round.h"
#include "game/targets.h"
#include "game_bench.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "weapons/weapons.h"

namespace {
// Kinds by place 0 to 11: the two that fire, five dead gangsters, the five
// bystanders. Kinds 7, 13 and 14 wait, as every place is taken.
constexpr int FiringKinds[2] = {0, 5};
constexpr int StandingKinds[SlotCount] = {0, 8, 1, 9, 2, 10, 5, 11, 3, 12, 4, 6};
constexpr uint32_t FrameTicks = 50000;

bool firing(int kind) { return kind == FiringKinds[0] || kind == FiringKinds[1]; }

// Puts the round into the worst state; called before every frame, since a
// frame fires, rolls, jolts and counts. The clock stands still, so the figures
// stay in the third second of their stay.
void arrangeWorstFrame(uint32_t seed) {
  setFakeTicks(FrameTicks);
  for (int i = 0; i < TargetCount; ++i) {
    Target* t = TargetAt(i);
    t->shown = false;
    t->breakSeconds = 1000;
    t->hiddenAt = wallSeconds();
  }
  for (int slot = 0; slot < SlotCount; ++slot) {
    Target* t = TargetAt(StandingKinds[slot]);
    t->shown = true;
    t->slot = slot;
    t->slotReleased = false;
    OccupySlot(slot);
    t->PlaceAtSlot(slot);
    t->appearedAt = wallSeconds() - 2;
    t->health = (firing(t->kind) || !t->isGangster) ? 5 : 0;
    t->jolt = 0;
    t->firing = 0;
    t->lastShotTicks = FrameTicks - 1000;
  }
  for (int d = 0; d < DeviceCount; ++d) {
    Player& p = players[d];
    p.active = true;
    p.cursorX = 60 + 130 * d;
    p.cursorY = 90 + 80 * d;
    p.fireRequested = 0;
    p.triggerHeld = 0;
    p.lastShotTime = p.lastMoveTime = FrameTicks;
  }
  roundState.energy = 100;
  roundState.bodyCount = -12;
  roundState.gangstersLeft = 25;
  roundState.gangstersToCome = 10;
  seedRandom(seed);
}

int firingCount() {
  int n = 0;
  for (int i = 0; i < TargetCount; ++i) n += TargetAt(i)->shown && TargetAt(i)->firing;
  return n;
}

struct WorstFrame {
  bool ready = false;
  std::string why;
  uint32_t seed = 0;  // a seed with which exactly the two gangsters fire
};

WorstFrame& worstFrame() {
  static WorstFrame w;
  static bool tried = false;
  if (tried) return w;
  tried = true;
  static const std::string dir = enterGameDirectory(&w.why);
  if (dir.empty()) return w;
  atexit([] { leaveGameDirectory(dir); });
  useFakeClock(1000, 1700000000);
  static char name[] = "lakeport-nights";
  static char* argv[] = {name, nullptr};
  if (startupGame(1, argv) != 0) {
    w.why = "start-up failed";
    return w;
  }
  shell.chosenLevel = FlowerShop;
  shell.chosenWeapon = Thompson;
  ResetTargetField();
  ClearShotMarks();
  uint32_t lcg = 12345;
  for (int i = 0; i < ShotMarkCapacity; ++i) {
    lcg = lcg * 1103515245u + 12345u;
    AddShotMark(static_cast<int>((lcg >> 8) % 640), static_cast<int>((lcg >> 18) % 480));
  }
  for (uint32_t seed = 1; seed < 1000 && !w.ready; ++seed) {
    arrangeWorstFrame(seed);
    RunRoundFrame();
    if (firingCount() == 2) {
      w.seed = seed;
      w.ready = true;
    }
  }
  if (!w.ready) w.why = "no seed makes exactly two gangsters fire";
  return w;
}

// Arg: how many players (mouse, keyboard, both joysticks) fire a shot in the
// frame, each at a live gangster; on the full list every shot overwrites
// fifteen entries, which the next frame's scene takes in.
void BM_WorstRoundFrame(benchmark::State& state) {
  WorstFrame& w = worstFrame();
  if (!w.ready) {
    state.SkipWithError(w.why.c_str());
    return;
  }
  const int shooters = static_cast<int>(state.range(0));
  const double floor = twoScreenCopyMicros();
  double total = 0;
  int spread = 0;
  for (auto _ : state) {
    arrangeWorstFrame(w.seed);
    // New points every frame, so the overwritten entries really change.
    spread = (spread + 7) % 61;
    for (int d = Mouse; d < Mouse + shooters; ++d) {
      const Target* aim = TargetAt(FiringKinds[d % 2]);
      players[d].fireRequested = 1;
      players[d].shotX = aim->x - 30 + spread;
      players[d].shotY = aim->y + 20 + 5 * d;  // the thighs: it stays alive
      players[d].lastShotTime = FrameTicks - 1000;
      players[d].shotsFired = 0;
    }
    const double t0 = threadMicros();
    RunRoundFrame();
    const double spent = threadMicros() - t0;
    total += spent;
    state.SetIterationTime(spent / 1e6);
  }
  if (firingCount() != 2) state.SkipWithError("the frame did not have two gangsters firing");
  const double frame = total / static_cast<double>(state.iterations());
  state.counters["frame_us"] = frame;
  state.counters["floor_us"] = floor;
  state.counters["x_floor"] = frame / floor;
  state.counters["target_x"] = 2.0;
}
// Processor time of the game's thread, so the figure does not depend on what
// else the machine runs.
BENCHMARK(BM_WorstRoundFrame)
    ->Arg(0)
    ->Arg(1)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
}  // namespace
