// The frame on a screen larger than the game: scaling the 640 by 480 picture
// onto a 1920x1080 and a 3840x2160 screen surface, held against its floor,
// writing the scaled picture once, both on top of the two-screen copy every
// frame costs.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "game/round.h"
#include "game_bench.h"
#include "input/players.h"
#include "platform/display.h"

namespace {
double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A game picture with no two neighbouring pixels alike.
SDL_Surface* busyGamePicture() {
  SDL_Surface* game =
      SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  Uint8* p = static_cast<Uint8*>(game->pixels);
  for (int i = 0; i < game->pitch * GameHeight; ++i) p[i] = static_cast<Uint8>(i * 131 + i / 7);
  return game;
}

// The floor of a scaled frame: every picture pixel written once, nothing read.
double pictureWriteMicros(SDL_Surface* screen) {
  const SDL_Rect p = display.picture;
  std::vector<double> writes;
  for (int i = 0; i < 31; ++i) {
    const double t0 = threadMicros();
    for (int r = 0; r < p.h; ++r)
      memset(static_cast<Uint8*>(screen->pixels) + (p.y + r) * screen->pitch + 4 * p.x, i, 4 * p.w);
    benchmark::ClobberMemory();
    writes.push_back(threadMicros() - t0);
  }
  return median(writes);
}

// Counters of a scaled frame beside its floor.
void report(benchmark::State& state, double copy, double write, double scale) {
  state.counters["scale_us"] = scale;
  state.counters["frame_us"] = copy + scale;
  state.counters["floor_us"] = copy + write;
  state.counters["x_floor"] = (copy + scale) / (copy + write);
  state.counters["target_x"] = 1.5;
}

// Scales `game` onto a screen surface of the Args' size (width, height) frame
// after frame, `next` drawing each frame's picture untimed first, and reports
// the scaling beside its floor. Only changed rows are scaled unless `whole`.
// Returns the game rows scaled a frame, on average.
double timeScaling(benchmark::State& state, SDL_Surface* game, bool whole,
                   const std::function<void(long frame)>& next) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  setDisplayGeometry(w, h);
  SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  const double copy = twoScreenCopyMicros();
  const double write = pictureWriteMicros(screen);
  scalePicture(game, screen, true);
  std::vector<double> scales;
  long rows = 0, frame = 0;
  for (auto _ : state) {
    next(++frame);
    const double t0 = threadMicros();
    rows += scalePicture(game, screen, whole);
    benchmark::ClobberMemory();
    const double spent = threadMicros() - t0;
    scales.push_back(spent);
    state.SetIterationTime(spent / 1e6);
  }
  report(state, copy, write, median(scales));
  // Which way the rows went: a figure for the shuffles is no figure for the rest.
  static const char* const ways[] = {"byte shuffles", "same layout", "other layout", "spread"};
  state.SetLabel(ways[static_cast<int>(display.rowWay)]);
  SDL_FreeSurface(screen);
  resetDisplay();
  return static_cast<double>(rows) / std::max(frame, 1L);
}

// Every row of a picture that changes everywhere.
void BM_ScaledFrame(benchmark::State& state) {
  SDL_Surface* game = busyGamePicture();
  timeScaling(state, game, true, [](long) {});
  SDL_FreeSurface(game);
}
BENCHMARK(BM_ScaledFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The round's frames as the game shows them: twelve figures and all five
// crosshairs moving a few pixels a frame, each frame scaling the rows that
// changed. rows: the game rows scaled a frame, on average.
void BM_ScaledRoundFrame(benchmark::State& state) {
  worstCaseRound(0);
  state.counters["rows"] = timeScaling(state, shell.video, false, [](long frame) {
    for (int d = 0; d < DeviceCount; ++d) {
      players[d].cursorX = 40 + static_cast<int>(3 * frame + 110 * d) % 560;
      players[d].cursorY = 60 + static_cast<int>(2 * frame + 70 * d) % 380;
    }
    RunRoundFrame();
  });
}
BENCHMARK(BM_ScaledRoundFrame)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
