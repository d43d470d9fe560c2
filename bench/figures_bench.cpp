// Speed of the figures: one shot against all fifteen (fifteen rectangle tests
// and up to fifteen pixel reads) and one frame of ticks and drawing.
#include <benchmark/benchmark.h>

#include "app/shell.h"
#include "game/displays.h"
#include "game/round.h"
#include "game/targets.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {
SDL_Surface* surface(int w, int h, Uint32 fill) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  SDL_FillRect(s, nullptr, fill);
  return s;
}

// Twelve figures on the twelve places, pictures of 88 by 200 pixels at 24 bits.
void standTwelve() {
  useFakeClock(1000, 1700000000);
  seedRandom(1);
  shell.video = surface(640, 480, 0);
  for (int k = 0; k < FigurePictureCount; ++k) {
    pictures.figure[k] = surface(88, 200, 0x000100);
    pictures.figureHit[k] = surface(88, 200, 0x010000);
  }
  for (int k = 0; k < 9; ++k) pictures.muzzleFlash[k] = surface(30, 30, 0xFFFF00);
  CreateTargets();
  ClearSlotTable();
  for (int i = 0; i < SlotCount; ++i) {
    Target* t = TargetAt(i);
    t->shown = true;
    t->PlaceAtSlot(i);
    OccupySlot(i);
    t->appearedAt = wallSeconds();
  }
}

void BM_ResolveShotOnAFigure(benchmark::State& state) {
  standTwelve();
  for (auto _ : state) {
    Target* t = TargetAt(5);
    t->health = 5;
    ResolveShot(t->x, t->y + 60);
    ClearShotMarks();
  }
}
BENCHMARK(BM_ResolveShotOnAFigure);

void BM_TickAndDrawFifteen(benchmark::State& state) {
  standTwelve();
  for (auto _ : state) {
    for (int i = 0; i < TargetCount; ++i) TargetAt(i)->Tick();
    for (int i = 0; i < TargetCount; ++i) TargetAt(i)->Draw();
    for (int i = 0; i < SlotCount; ++i) TargetAt(i)->appearedAt = wallSeconds();
  }
}
BENCHMARK(BM_TickAndDrawFifteen);
}  // namespace
