// The in-round displays: the shot-mark list, the display strip, and the fast
// drawing paths (the cached backdrop and scene layers, the remembered strip,
// the game's own blit) against the pixels of drawing every picture with SDL.
#include "game/displays.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "platform/random.h"

namespace {
// Pixel layouts a picture can load in: the screen's, the other byte order,
// 32-bit with and without alpha, 16-bit and a palette.
SDL_Surface* surfaceOfLayout(int layout, int w, int h) {
  switch (layout) {
    case 0: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    case 1: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    case 2: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    case 3:
      return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    case 4: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
    default: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
  }
}

// Random bytes, drawn from few values so that colour keys match often.
SDL_Surface* scribble(SDL_Surface* s, std::mt19937& rng) {
  for (int y = 0; y < s->h; ++y) {
    Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < s->w * s->format->BytesPerPixel; ++x)
      row[x] = static_cast<Uint8>(rng() % 3 == 0 ? 0x40 : rng());
  }
  return s;
}

// The pixels of a surface, row after row without the padding.
std::vector<Uint8> bytesOf(SDL_Surface* s) {
  std::vector<Uint8> out;
  for (int y = 0; y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    out.insert(out.end(), row, row + s->w * s->format->BytesPerPixel);
  }
  return out;
}

SDL_Rect randomRect(std::mt19937& rng, int span) {
  auto coord = [&] { return static_cast<Sint16>(static_cast<int>(rng() % (2 * span)) - span / 2); };
  return SDL_Rect{coord(), coord(), static_cast<Uint16>(rng() % span),
                  static_cast<Uint16>(rng() % span)};
}

class DisplaysTest : public FiguresTest {
 protected:
  // A picture in the given layout, different for every seed.
  SDL_Surface* scene(int seed, int layout, int w = 640, int h = 480) {
    std::mt19937 rng(seed);
    return own(scribble(surfaceOfLayout(layout, w, h), rng));
  }
  static void cover(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }
};
}  // namespace

TEST_F(DisplaysTest, ShotMarksFillTheFirstFreeEntryThenOverwriteAmongTheFirst351) {
  for (int hole : {0, 1, 31, 32, 33, 2047, 3487, 3488, 3498, 3499}) {
    for (int i = 0; i < ShotMarkCapacity; ++i) shotMarks.entries[i] = ShotMark{i % 640, i % 480};
    shotMarks.entries[hole] = shotMarks.entries[std::min(hole + 5, 3499)] = ShotMark{-10, -10};
    AddShotMark(7, 9);
    EXPECT_TRUE(shotMarks.entries[hole].x == 7 && shotMarks.entries[hole].y == 9) << hole;
    for (int i = 0; i < hole; ++i) ASSERT_EQ(shotMarks.entries[i].x, i % 640) << hole;
  }
  EXPECT_EQ(randomDraws(), 0u);
  // The full list's next shot overwrites entries drawn by RandomUpTo(350):
  // 32767 gives 350, the highest ever overwritten.
  const ShotMarkList before = shotMarks;
  const std::vector<int32_t> draws = {32767, 0, 16384, 32766};
  scriptRandom(draws);
  for (size_t k = 0; k < draws.size(); ++k) AddShotMark(0, 701);  // the left edge
  std::vector<bool> hit(ShotMarkCapacity, false);
  for (int32_t d : draws) hit[static_cast<int>(d / 32767.0 * 350)] = true;
  for (int i = 0; i < ShotMarkCapacity; ++i) {
    const ShotMark want = hit[i] ? ShotMark{0, 701} : before.entries[i];
    ASSERT_TRUE(shotMarks.entries[i].x == want.x && shotMarks.entries[i].y == want.y) << i;
  }
  // A point left of the screen would read as a free entry in the middle of the
  // list and hide the marks after it: a full list keeps its entries, and the
  // random draw is made all the same.
  const ShotMarkList full = shotMarks;
  AddShotMark(-3, 50);
  EXPECT_EQ(randomDraws(), draws.size() + 1);
  EXPECT_EQ(0, memcmp(&full, &shotMarks, sizeof full));
  ClearShotMarks();
  for (const ShotMark& m : shotMarks.entries) ASSERT_TRUE(m.x == -10 && m.y == -10);
}

TEST_F(DisplaysTest, TheStripSaysKillsAndTargetsLeftAndLightsAPipForEveryTwoPoints) {
  EXPECT_EQ(std::string(KillsFormat(-1)) + KillsFormat(0) + KillsFormat(1) + KillsFormat(2),
            "  %d kill  %d kills  %d kill  %d kills");
  EXPECT_EQ(std::string(TargetsLeftFormat(-1)) + TargetsLeftFormat(0) + TargetsLeftFormat(1) +
                TargetsLeftFormat(2),
            "  %d targets left  %d targets left  %d target left  %d targets left");
  pictures.pip = own(solidSurface(4, 12, 0xF0D020));
  pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
  SDL_Surface* black = own(solidSurface(640, 480, 0x000000));
  for (auto [energy, lit] : {std::pair{100, 50}, {99, 50}, {2, 1}, {1, 1}, {0, 0}, {-3, 0}}) {
    roundState.energy = energy;
    cover(black);
    DrawRoundDisplay();
    for (int k = 0; k < 50; ++k) {
      const uint32_t pip = k < lit ? 0xF0D020 : 0x302010;
      ASSERT_EQ(screenRgb(120 + 6 * k, 465), pip) << "energy " << energy << " pip " << k;
      ASSERT_EQ(screenRgb(123 + 6 * k, 476), pip) << "energy " << energy << " pip " << k;
      ASSERT_EQ(screenRgb(124 + 6 * k, 470) | screenRgb(120 + 6 * k, 464), 0u) << k;
    }
    EXPECT_EQ(screenRgb(120, 477), 0u);
  }
  // The panels come from the level's dimmed picture, the Garage's for others:
  // left (16, 462) 88 by 18, right (432, 462) 192 by 18.
  for (int level = 0; level < 5; ++level)
    pictures.levelDimmed[level] = own(solidSurface(640, 480, 0x100000 * (level + 1) + 0x33));
  for (int level : {0, 3, 4, 5, -1}) {
    shell.chosenLevel = level;
    cover(black);
    DrawRoundDisplay();
    const uint32_t panel = 0x100000 * ((level >= 0 && level < 5 ? level : 0) + 1) + 0x33;
    for (auto [x, y] : {std::pair{16, 462}, {103, 479}, {432, 462}, {623, 479}})
      EXPECT_EQ(screenRgb(x, y), panel) << "level " << level << " at " << x << "," << y;
    for (auto [x, y] : {std::pair{15, 470}, {104, 470}, {50, 461}, {431, 470}, {624, 470}})
      EXPECT_EQ(screenRgb(x, y), 0u) << "level " << level << " at " << x << "," << y;
  }
}

// The backdrop with its twelve dimmed places and the marks over it, drawn
// through the cached layers, mark by mark or as the one-copy scene, must give
// the bytes of drawing every picture one by one with SDL.
TEST_F(DisplaysTest, CachedLayersGiveThePixelsOfDrawingEveryPicture) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = scene(10 + level, level % 2);
    pictures.levelDimmed[level] = scene(20 + level, 2);  // another layout: blits convert
  }
  pictures.shotMark = scene(3, 0, 6, 6);
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY, 0x404040);
  SDL_Surface* junk = scene(99, 0);
  shell.chosenLevel = 1;
  std::mt19937 rng(5);
  auto addRandomMarks = [&](int n) {
    for (int k = 0; k < n; ++k)
      AddShotMark(static_cast<int>(rng() % 660) - 10, static_cast<int>(rng() % 500) - 10);
  };
  auto differs = [&]() -> std::string {
    cover(junk);
    const int level = shell.chosenLevel;
    if (level >= 0 && level < 5) {
      SDL_UpperBlit(pictures.levelBackdrop[level], nullptr, shell.video, nullptr);
      for (int slot = 0; slot < 12; ++slot) {
        SDL_Rect from{static_cast<Sint16>((slot % 6) * 104 + 16),
                      static_cast<Sint16>(slot < 6 ? 26 : 254), 88, 200},
            to = from;
        SDL_UpperBlit(pictures.levelDimmed[level], &from, shell.video, &to);
      }
    }
    for (const ShotMark& m : shotMarks.entries) {
      if (m.x < 0) break;
      // Far-off points leave no mark (rather than wrapping round to the screen).
      if (m.x > 700 || m.y > 700 || m.y < -20) continue;
      SDL_Rect to{static_cast<Sint16>(m.x - 4), static_cast<Sint16>(m.y - 4), 0, 0};
      SDL_UpperBlit(pictures.shotMark, nullptr, shell.video, &to);
    }
    const std::vector<Uint8> want = bytesOf(shell.video);
    cover(junk);
    DrawRoundBackdrop();
    DrawShotMarksOnBackdrop();
    if (bytesOf(shell.video) != want) return "backdrop, then the marks' layer";
    cover(junk);
    DrawRoundScene();
    if (bytesOf(shell.video) != want) return "the one-copy scene";
    cover(junk);
    DrawRoundBackdrop();
    DrawShotMarks();
    return bytesOf(shell.video) != want ? "backdrop, then every mark" : "";
  };

  EXPECT_EQ(differs(), "");
  // Marks on the edges, partly and wholly off the screen, and piled up.
  for (auto [x, y] : {std::pair{0, 0},
                      {639, 479},
                      {2, 300},
                      {300, 1},
                      {637, 10},
                      {700, 100},
                      {100, 2000},
                      {320, 240},
                      {65540, 100},
                      {100, INT32_MIN},
                      {INT32_MAX, INT32_MAX},
                      {3, -3}})
    AddShotMark(x, y);
  for (int k = 0; k < 15; ++k) AddShotMark(321, 239);
  EXPECT_EQ(differs(), "");
  // Up to a full list, then shots that overwrite entries among the first 351:
  // few changed boxes, many, and more than are mended one by one.
  while (usedShotMarks() < ShotMarkCapacity) {
    addRandomMarks(500);
    ASSERT_EQ(differs(), "") << usedShotMarks() << " marks";
  }
  for (int shots : {1, 4, 12, 30}) {
    addRandomMarks(15 * shots);
    EXPECT_EQ(differs(), "") << shots << " shots";
  }
  // Entries changed behind the list's back, another level, emptied and
  // refilled between two frames as a round is re-armed and replayed.
  shotMarks.entries[17] = ShotMark{5, 470};
  shotMarks.entries[2000] = ShotMark{-10, -10};  // the list now ends there
  EXPECT_EQ(differs(), "");
  shell.chosenLevel = 4;
  EXPECT_EQ(differs(), "");
  for (int n : {0, 3, 60}) {
    addRandomMarks(n);
    AddShotMark(12, 9);
    EXPECT_EQ(differs(), "") << n;
    ClearShotMarks();
    AddShotMark(10, 10);
    EXPECT_EQ(differs(), "") << n;
  }
  // A new mark picture of another size, and one blended by alpha.
  pictures.shotMark = scene(42, 1, 9, 5);
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY, 0x404040);
  addRandomMarks(40);
  EXPECT_EQ(differs(), "");
  SDL_SetAlpha(pictures.shotMark, SDL_SRCALPHA, 128);
  EXPECT_EQ(differs(), "");
  // Without a whole backdrop, or without a level, the marks are drawn one by one.
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_EQ(differs(), "");
  shell.chosenLevel = 9;
  for (auto [x, y] : {std::pair{65540, 100}, {100, INT32_MIN}, {INT32_MAX, INT32_MAX}})
    AddShotMark(x, y);
  EXPECT_EQ(differs(), "");
}

TEST_F(DisplaysTest, TheRememberedStripEqualsOneDrawnAfresh) {
  for (int level = 0; level < 5; ++level) pictures.levelDimmed[level] = scene(30 + level, 0);
  pictures.pip = scene(1, 0, 4, 12);
  pictures.pipEmpty = scene(2, 1, 4, 12);
  // A font of 94 glyphs whose strip has its own layout and a key.
  SDL_Surface* strip = scene(3, 1, 1 + 94 * 6, 19);
  for (int x = 0; x < strip->w; ++x)
    memset(static_cast<Uint8*>(strip->pixels) + 3 * x, x % 6 == 0 ? 0x11 : 0x77, 3);
  BitmapFont font{};
  font.surface = strip;
  ScanGlyphStrip(&font);
  pictures.fonts[2] = &font;
  SDL_Surface* junk[2] = {scene(41, 0), scene(42, 0)};
  std::mt19937 rng(11);
  int unchangedFrames = 0;
  for (int step = 0; step < 120; ++step) {
    switch (rng() % 7) {
      case 0: roundState.energy = static_cast<int32_t>(rng() % 110) - 5; break;
      case 1: roundState.bodyCount = static_cast<int32_t>(rng() % 40) - 10; break;
      case 2: roundState.targetsLeftShown = static_cast<int32_t>(rng() % 32); break;
      case 3: shell.chosenLevel = static_cast<int32_t>(rng() % 7); break;
      case 4: std::swap(junk[0], junk[1]); break;  // other pixels under the strip
      default: ++unchangedFrames; break;
    }
    // What the strip remembered from the last step, which may no longer fit,
    // against a strip drawn with nothing remembered.
    cover(junk[0]);
    DrawRoundDisplay();
    const std::vector<Uint8> got = bytesOf(shell.video);
    cover(junk[0]);
    resetRoundDisplays();
    DrawRoundDisplay();
    ASSERT_EQ(got, bytesOf(shell.video)) << "step " << step;
  }
  EXPECT_GT(unchangedFrames, 15);
  pictures.fonts[2] = nullptr;
}

TEST_F(DisplaysTest, BlitPictureGivesSdlsPixelsRectanglesAndResults) {
  std::mt19937 rng(7);
  int fastOnes = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    // Mostly the two 24-bit byte orders, where the game's copy takes over.
    const int srcLayout =
        rng() % 3 == 0 ? static_cast<int>(rng() % 6) : static_cast<int>(rng() % 2);
    const int dstLayout = rng() % 4 == 0               ? static_cast<int>(rng() % 6)
                          : srcLayout < 2 && rng() % 2 ? 1 - srcLayout
                                                       : srcLayout;
    SDL_Surface* src = scribble(surfaceOfLayout(srcLayout, 1 + rng() % 40, 1 + rng() % 40), rng);
    const int w = 1 + rng() % 50, h = 1 + rng() % 50;
    SDL_Surface* dst = scribble(surfaceOfLayout(dstLayout, w, h), rng);
    SDL_Surface* twin = surfaceOfLayout(dstLayout, w, h);
    if (dst->format->palette) SDL_SetColors(twin, dst->format->palette->colors, 0, 256);
    for (int y = 0; y < h; ++y)
      memcpy(static_cast<Uint8*>(twin->pixels) + y * twin->pitch,
             static_cast<Uint8*>(dst->pixels) + y * dst->pitch, w * dst->format->BytesPerPixel);
    switch (rng() % 4) {
      case 0: break;
      case 1: SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x404040 & (rng() % 2 ? ~0u : 0x4040u)); break;
      case 2: SDL_SetColorKey(src, SDL_SRCCOLORKEY, rng()); break;
      default: SDL_SetAlpha(src, SDL_SRCALPHA, static_cast<Uint8>(rng())); break;
    }
    if (rng() % 3 == 0) {
      SDL_Rect clip = randomRect(rng, 50);
      SDL_SetClipRect(dst, &clip);
      SDL_SetClipRect(twin, &clip);
    }
    const bool wholeSource = rng() % 4 == 0, wholeDest = rng() % 6 == 0;
    SDL_Rect from = randomRect(rng, 50), to = randomRect(rng, 60);
    SDL_Rect from2 = from, to2 = to;
    const int sdl =
        SDL_UpperBlit(src, wholeSource ? nullptr : &from, dst, wholeDest ? nullptr : &to);
    const int ours =
        BlitPicture(src, wholeSource ? nullptr : &from2, twin, wholeDest ? nullptr : &to2);
    SCOPED_TRACE("trial " + std::to_string(trial));
    ASSERT_EQ(ours, sdl);
    ASSERT_EQ(bytesOf(twin), bytesOf(dst));
    ASSERT_EQ(std::memcmp(&to2, &to, sizeof to), 0) << "the clipped rectangle differs";
    ASSERT_EQ(std::memcmp(&from2, &from, sizeof from), 0);
    if ((srcLayout == dstLayout && srcLayout < 5) || (srcLayout < 2 && dstLayout < 2)) ++fastOnes;
    for (SDL_Surface* s : {src, dst, twin}) SDL_FreeSurface(s);
  }
  EXPECT_GT(fastOnes, 2500);
}
