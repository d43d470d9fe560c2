// Cost of one round frame with an empty and a full shot-mark list, beside the
// cost of copying two full screens, on SDL's dummy video driver.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "game/displays.h"
#include "game/round.h"
#include "game/targets.h"
#include "game_bench.h"
#include "gfx/font.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

// Headless before any benchmark starts SDL.
const bool headless = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return true;
}();

constexpr size_t ScreenBytes = 640 * 480 * 3;
bool madeUp = false;  // some art was missing and made up here

// A picture from the art the build made, or a made-up one in the pixel layout
// the loader gives such a file: JPEG pictures in byte order R, G, B, BMP
// pictures the other way round, like the screen.
SDL_Surface* picture(const char* file, int w, int h) {
  const std::string path = std::string(LAKEPORT_GAME_BUILD_DIR) + "/pics/" + file;
  if (SDL_Surface* s = IMG_Load(path.c_str())) return s;
  const bool jpeg = std::strstr(file, ".jpg") != nullptr;
  SDL_Surface* s = jpeg ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0)
                        : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < w * 3; ++x) row[x] = static_cast<Uint8>((x * 7 + y * 13) & 0xFF);
  }
  SDL_UnlockSurface(s);
  madeUp = true;
  return s;
}

void setUpOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  (void)headless;
  SDL_Init(SDL_INIT_VIDEO);
  shell.video = SDL_SetVideoMode(640, 480, 24, SDL_FULLSCREEN | SDL_DOUBLEBUF);
  shell.trackerPresent = false;
  shell.chosenLevel = 2;
  useFakeClock(1000, 1700000000);
  seedRandom(1);
  pictures.levelBackdrop[2] = picture("main-street_a_01_cut_a_01_verlauf_640x480.jpg", 640, 480);
  pictures.levelDimmed[2] =
      picture("main-street_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", 640, 480);
  pictures.shotMark = picture("shot_fail_6x6_e_01.bmp", 6, 6);
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY,
                  SDL_MapRGB(pictures.shotMark->format, 255, 255, 255));
  pictures.pip = picture("le5_4x12.bmp", 4, 12);
  pictures.pipEmpty = picture("le5bg_4x12.bmp", 4, 12);
  const char* crosses[5] = {"cross_a_02.bmp", "cross_b_02.bmp", "cross_c_02.bmp", "cross_d_02.bmp",
                            "cross_f_02.bmp"};
  for (int d = 0; d < 5; ++d) {
    pictures.crosshair[d] = picture(crosses[d], 31, 31);
    SDL_SetColorKey(pictures.crosshair[d], SDL_SRCCOLORKEY, 0);
  }
  const char* figures[FigurePictureCount] = {
      "target_n_01_88x200.bmp",        "target_o_01_88x200.bmp",
      "target_p_01_88x200.bmp",        "target_q_01_88x200.bmp",
      "target_n_01_88x200_mirror.bmp", "target_o_01_88x200_mirror.bmp",
      "target_p_01_88x200_mirror.bmp", "target_q_01_88x200_mirror.bmp",
      "target_d_01_88x200.bmp",        "target_e_01_88x200.bmp",
      "target_g_01_88x200.bmp",        "target_h_01_88x200.bmp",
      "target_k_01_88x200.bmp"};
  for (int k = 0; k < FigurePictureCount; ++k) {
    pictures.figure[k] = picture(figures[k], 88, 200);
    pictures.figureHit[k] = pictures.figure[k];
  }
  const std::string font = std::string(LAKEPORT_GAME_BUILD_DIR) + "/pics/pussycat18.png";
  pictures.fonts[2] = LoadBitmapFont(font.c_str());
  CreateTargets();
}

}  // namespace

void worstCaseRound(int marks) {
  setUpOnce();
  ResetTargetField();
  for (int slot = 0; slot < SlotCount; ++slot) {
    Target* t = TargetAt(slot < 7 ? slot : slot + 1);
    t->shown = true;
    t->slot = slot;
    t->slotReleased = false;
    OccupySlot(slot);
    t->PlaceAtSlot(slot);
    t->appearedAt = wallSeconds();
    t->health = 5;
    t->lastShotTicks = ticksMs();  // the frozen clock keeps them from firing
  }
  for (int d = 0; d < DeviceCount; ++d) {
    players[d].active = true;
    players[d].cursorX = 100 + 110 * d;
    players[d].cursorY = 200 + 40 * d;
    players[d].fireRequested = 0;
    players[d].lastShotTime = ticksMs();
    players[d].lastMoveTime = ticksMs();
  }
  roundState.energy = 100;
  roundState.bodyCount = 17;
  roundState.gangstersToCome = 12;
  ClearShotMarks();
  uint32_t lcg = 99;
  for (int i = 0; i < marks; ++i) {
    lcg = lcg * 1103515245u + 12345u;
    AddShotMark(static_cast<int>((lcg >> 8) % 640), static_cast<int>((lcg >> 18) % 470));
  }
  RunRoundFrame();  // builds the layers
}

namespace {

void BM_RoundFrame(benchmark::State& state) {
  worstCaseRound(static_cast<int>(state.range(0)));
  for (auto _ : state) RunRoundFrame();
  state.SetLabel(madeUp ? "made-up art" : "the build's art");
}
BENCHMARK(BM_RoundFrame)->Arg(0)->Arg(3500)->Unit(benchmark::kMicrosecond);

// What the frame's marks would cost drawn one by one.
void BM_DrawEveryMarkDirectly(benchmark::State& state) {
  worstCaseRound(3500);
  for (auto _ : state) DrawShotMarks();
}
BENCHMARK(BM_DrawEveryMarkDirectly)->Unit(benchmark::kMicrosecond);

// A frame with one new shot on a full list: fifteen entries overwritten, so the
// cached scene is mended where the old marks were.
void BM_RoundFrameWithAShotOnAFullList(benchmark::State& state) {
  worstCaseRound(3500);
  uint32_t lcg = 7;
  for (auto _ : state) {
    lcg = lcg * 1103515245u + 12345u;
    for (int k = 0; k < 15; ++k)
      AddShotMark(static_cast<int>((lcg >> 8) % 640), static_cast<int>((lcg >> 18) % 470));
    RunRoundFrame();
  }
}
BENCHMARK(BM_RoundFrameWithAShotOnAFullList)->Unit(benchmark::kMicrosecond);

// The yardstick: two full 640 by 480 24-bit screens copied with memcpy.
void BM_CopyTwoScreens(benchmark::State& state) {
  std::vector<unsigned char> from(ScreenBytes, 1), to(ScreenBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), ScreenBytes);
    benchmark::ClobberMemory();
    std::memcpy(from.data(), to.data(), ScreenBytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyTwoScreens)->Unit(benchmark::kMicrosecond);

}  // namespace
