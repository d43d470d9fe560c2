// The round's fast drawing paths give exactly the pixels of the plain ones:
// the game's own blit against SDL's, the frame's one-copy background against
// backdrop-then-marks, the remembered display strip against one drawn afresh,
// and the quick search for a free shot-mark entry against the list itself.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game/displays.h"
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
void scribble(SDL_Surface* s, std::mt19937& rng) {
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < s->w * s->format->BytesPerPixel; ++x)
      row[x] = static_cast<Uint8>(rng() % 3 == 0 ? 0x40 : rng());
  }
  SDL_UnlockSurface(s);
}

std::vector<Uint8> bytesOf(SDL_Surface* s) {
  std::vector<Uint8> out;
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    out.insert(out.end(), row, row + s->w * s->format->BytesPerPixel);
  }
  SDL_UnlockSurface(s);
  return out;
}

// A twin of a surface: layout, palette, pixels and clip rectangle.
SDL_Surface* copyOf(SDL_Surface* s) {
  const SDL_PixelFormat* f = s->format;
  SDL_Surface* c = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, f->BitsPerPixel, f->Rmask,
                                        f->Gmask, f->Bmask, f->Amask);
  if (f->palette) SDL_SetColors(c, f->palette->colors, 0, f->palette->ncolors);
  for (int y = 0; y < s->h; ++y)
    memcpy(static_cast<Uint8*>(c->pixels) + y * c->pitch,
           static_cast<Uint8*>(s->pixels) + y * s->pitch, s->w * f->BytesPerPixel);
  c->clip_rect = s->clip_rect;
  return c;
}

SDL_Rect randomRect(std::mt19937& rng, int span) {
  auto coord = [&] { return static_cast<Sint16>(static_cast<int>(rng() % (2 * span)) - span / 2); };
  return SDL_Rect{coord(), coord(), static_cast<Uint16>(rng() % span),
                  static_cast<Uint16>(rng() % span)};
}

class FastDrawingTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
  }
  // A 640 by 480 picture in the screen's layout, different for every seed.
  SDL_Surface* scene(int seed) {
    std::mt19937 rng(seed);
    SDL_Surface* s = own(surfaceOfLayout(seed % 2, 640, 480));
    scribble(s, rng);
    return s;
  }
  static void cover(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }
};
}  // namespace

TEST_F(FastDrawingTest, BlitPictureGivesSdlsPixelsRectanglesAndResults) {
  std::mt19937 rng(7);
  int fastOnes = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    // Mostly the two 24-bit byte orders, where the game's copy takes over.
    const int srcLayout =
        rng() % 3 == 0 ? static_cast<int>(rng() % 6) : static_cast<int>(rng() % 2);
    const int dstLayout = rng() % 4 == 0               ? static_cast<int>(rng() % 6)
                          : srcLayout < 2 && rng() % 2 ? 1 - srcLayout
                                                       : srcLayout;
    SDL_Surface* src = surfaceOfLayout(srcLayout, 1 + rng() % 40, 1 + rng() % 40);
    SDL_Surface* dst = surfaceOfLayout(dstLayout, 1 + rng() % 50, 1 + rng() % 50);
    scribble(src, rng);
    scribble(dst, rng);
    switch (rng() % 4) {
      case 0: break;
      case 1: SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x404040 & (rng() % 2 ? ~0u : 0x4040u)); break;
      case 2: SDL_SetColorKey(src, SDL_SRCCOLORKEY, rng()); break;
      default: SDL_SetAlpha(src, SDL_SRCALPHA, static_cast<Uint8>(rng())); break;
    }
    if (rng() % 3 == 0) {
      SDL_Rect clip = randomRect(rng, 50);
      SDL_SetClipRect(dst, &clip);
    }
    SDL_Surface* twin = copyOf(dst);
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
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
    SDL_FreeSurface(twin);
  }
  EXPECT_GT(fastOnes, 2500);
}

TEST_F(FastDrawingTest, OneCopyBackgroundEqualsBackdropThenEveryMark) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = scene(10 + 2 * level);
    pictures.levelDimmed[level] = scene(11 + 2 * level);
  }
  SDL_Surface* mark = own(surfaceOfLayout(0, 6, 6));
  std::mt19937 rng(3);
  scribble(mark, rng);
  SDL_SetColorKey(mark, SDL_SRCCOLORKEY, 0x404040);
  pictures.shotMark = mark;
  SDL_Surface* junk = scene(99);
  shell.chosenLevel = 2;

  // Against every mark drawn one by one; and the marks' own cached path too.
  auto same = [&] {
    cover(junk);
    DrawRoundBackdrop();
    DrawShotMarks();
    const std::vector<Uint8> want = bytesOf(shell.video);
    cover(junk);
    DrawRoundBackdrop();
    DrawShotMarksOnBackdrop();
    if (bytesOf(shell.video) != want) return false;
    cover(junk);
    DrawRoundScene();
    return bytesOf(shell.video) == want;
  };
  EXPECT_TRUE(same());
  // A full list, then rounds of shots that overwrite entries among the first
  // 351: few changed boxes, many, and more than are mended one by one; marks
  // on and over the edges.
  seedRandom(5);
  while (shotMarks.entries[ShotMarkCapacity - 1].x < 0)
    AddShotMark(static_cast<int>(rng() % 660) - 10, static_cast<int>(rng() % 500) - 10);
  EXPECT_TRUE(same());
  for (int shots : {1, 4, 12, 30}) {
    for (int k = 0; k < 15 * shots; ++k)
      AddShotMark(static_cast<int>(rng() % 660) - 5, static_cast<int>(rng() % 490) - 5);
    EXPECT_TRUE(same()) << shots << " shots";
  }
  shotMarks.entries[2000] = ShotMark{-10, -10};  // the list now ends there
  EXPECT_TRUE(same());
  shell.chosenLevel = 4;
  EXPECT_TRUE(same());
  SDL_SetAlpha(mark, SDL_SRCALPHA, 100);
  EXPECT_TRUE(same());
  // Without a whole backdrop or a level the marks are drawn one by one.
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_TRUE(same());
  shell.chosenLevel = 7;
  EXPECT_TRUE(same());
}

TEST_F(FastDrawingTest, RememberedDisplayStripEqualsOneDrawnAfresh) {
  for (int level = 0; level < 5; ++level) pictures.levelDimmed[level] = scene(30 + level);
  pictures.pip = own(surfaceOfLayout(0, 4, 12));
  pictures.pipEmpty = own(surfaceOfLayout(1, 4, 12));
  std::mt19937 rng(11);
  scribble(pictures.pip, rng);
  scribble(pictures.pipEmpty, rng);
  // A font of 94 glyphs whose strip has its own layout and a key.
  SDL_Surface* strip = surfaceOfLayout(1, 1 + 94 * 6, 19);
  scribble(strip, rng);
  SDL_LockSurface(strip);
  Uint8* top = static_cast<Uint8*>(strip->pixels);
  for (int x = 0; x < strip->w; ++x) memset(top + 3 * x, x % 6 == 0 ? 0x11 : 0x77, 3);
  SDL_UnlockSurface(strip);
  BitmapFont font{};
  font.surface = strip;
  ScanGlyphStrip(&font);
  pictures.fonts[2] = &font;
  SDL_Surface* junk[2] = {scene(41), scene(42)};

  auto drawnAfresh = [&](SDL_Surface* under) {
    const ShotMarkList kept = shotMarks;
    cover(under);
    resetRoundDisplays();  // forgets the strip it remembered
    shotMarks = kept;
    DrawRoundDisplay();
    return bytesOf(shell.video);
  };
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
    // What the strip remembered from the last step, which may no longer fit.
    cover(junk[0]);
    DrawRoundDisplay();
    const std::vector<Uint8> got = bytesOf(shell.video);
    ASSERT_EQ(got, drawnAfresh(junk[0])) << "step " << step;
  }
  EXPECT_GT(unchangedFrames, 15);
  pictures.fonts[2] = nullptr;
  SDL_FreeSurface(strip);
}

TEST_F(FastDrawingTest, ANewMarkGoesToTheFirstFreeEntryWhereverItLies) {
  for (int hole : {0, 1, 31, 32, 33, 2047, 3487, 3488, 3498, 3499}) {
    for (int i = 0; i < ShotMarkCapacity; ++i) shotMarks.entries[i] = ShotMark{i % 640, i % 480};
    shotMarks.entries[hole] = ShotMark{-10, -10};
    if (hole + 5 < ShotMarkCapacity) shotMarks.entries[hole + 5] = ShotMark{-10, -10};
    AddShotMark(7, 9);
    EXPECT_EQ(shotMarks.entries[hole].x, 7) << hole;
    EXPECT_EQ(shotMarks.entries[hole].y, 9) << hole;
    for (int i = 0; i < ShotMarkCapacity; ++i) {
      if (i == hole || i == hole + 5) continue;
      ASSERT_EQ(shotMarks.entries[i].x, i % 640) << hole;
    }
  }
}
