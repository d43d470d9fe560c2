// Bitmap fonts: the strip scan, drawing glyphs and strings, and GetPixel.
#include "gfx/font.h"

#include <SDL.h>

#include <string>
#include <tuple>
#include <vector>

#include "fixture.h"
#include "gfx/grid.h"

namespace {
constexpr uint32_t Marker = 0xFF00FF;
constexpr uint32_t RunColour = 0x00FF00;
constexpr uint32_t Transparent = 0x0000FF;

void putRgb(SDL_Surface* s, int x, int y, uint32_t rgb) {
  SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

// Glyph body colour of the run with index i: unique per run.
uint32_t bodyColour(int i) { return 0x100000u + static_cast<uint32_t>(i) * 0x10; }

// Writes a strip: one marker column, then each run of `widths` followed by one
// marker column (unless `lastTouchesEdge`, where the last run ends at the edge).
// Glyph bodies are filled with bodyColour(i); everything else is transparent.
std::string writeStrip(const std::string& name, const std::vector<int>& widths, int height,
                       bool lastTouchesEdge = false) {
  int w = 1;
  for (int g : widths) w += g + 1;
  if (lastTouchesEdge) --w;
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0xFF));
  for (int x = 0; x < w; ++x) putRgb(s, x, 0, Marker);
  int x = 1;
  for (size_t i = 0; i < widths.size(); ++i) {
    for (int k = 0; k < widths[i]; ++k, ++x) {
      putRgb(s, x, 0, RunColour);
      for (int y = 1; y < height; ++y) putRgb(s, x, y, bodyColour(static_cast<int>(i)));
    }
    ++x;
  }
  putRgb(s, 0, height - 1, Transparent);
  EXPECT_EQ(SDL_SaveBMP(s, name.c_str()), 0);
  SDL_FreeSurface(s);
  return name;
}

class FontTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
  }
  SDL_Surface* canvas(int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, 0);
    surfaces.push_back(s);
    return s;
  }
  static uint32_t rgbAt(SDL_Surface* s, int x, int y) {
    Uint8 r, g, b;
    SDL_GetRGB(GetPixel(s, x, y), s->format, &r, &g, &b);
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
  }
  void TearDown() override {
    for (SDL_Surface* s : surfaces) SDL_FreeSurface(s);
    GameTest::TearDown();
  }
  std::vector<SDL_Surface*> surfaces;
};
}  // namespace

TEST_F(FontTest, ScanMeasuresRunsHeightSpaceAndColourKey) {
  BitmapFont* f = LoadBitmapFont(writeStrip("pics/strip.bmp", {3, 1, 5}, 12).c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->height, 12);
  auto rect = [f](int c) {
    const SDL_Rect& r = f->glyphs[c];
    return std::make_tuple(int(r.x), int(r.y), int(r.w), int(r.h));
  };
  EXPECT_EQ(rect('!'), std::make_tuple(1, 1, 3, 12));
  EXPECT_EQ(rect('"'), std::make_tuple(5, 1, 1, 12));
  EXPECT_EQ(rect('#'), std::make_tuple(7, 1, 5, 12));
  // Space: the width of "!", never a glyph of its own.
  EXPECT_EQ(rect(' '), std::make_tuple(0, int(f->glyphs[' '].y), 3, 12));
  // Fewer than 223 runs: the rest of the bytes, and all control bytes, are empty.
  for (int c : {0, 10, 31, int('$'), 200, 255}) EXPECT_EQ(f->glyphs[c].w, 0) << c;
  ASSERT_TRUE(f->surface->flags & SDL_SRCCOLORKEY);
  EXPECT_EQ(f->surface->format->colorkey, SDL_MapRGB(f->surface->format, 0, 0, 0xFF));
}

TEST_F(FontTest, RunsAtTheRightEdgeAndAMissingFile) {
  captureStdout();
  // The last run touches the right edge: it ends there, with no message.
  BitmapFont* edge = LoadBitmapFont(writeStrip("pics/edge.bmp", {2, 4}, 8, true).c_str());
  ASSERT_NE(edge, nullptr);
  EXPECT_EQ(edge->glyphs['"'].x, 4);
  EXPECT_EQ(edge->glyphs['"'].w, 4);
  EXPECT_EQ(edge->surface->w, 8);
  EXPECT_EQ(capturedStdout(), "");

  // A run that begins only in the last column is not a glyph.
  BitmapFont* last = LoadBitmapFont(writeStrip("pics/last.bmp", {1}, 4, true).c_str());
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->glyphs['!'].w, 0);
  EXPECT_EQ(LoadBitmapFont("pics/nothing-here.png"), nullptr);
}

TEST_F(FontTest, MoreThan223RunsGiveByte255TheLastCountedRun) {
  std::vector<int> widths(230, 1);
  widths[222] = 3;  // the 223rd run
  widths[223] = 2;  // ignored from here on
  BitmapFont* f = LoadBitmapFont(writeStrip("pics/many.bmp", widths, 6).c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->glyphs[255].w, 3);
  EXPECT_EQ(f->glyphs[255].x, 1 + 222 * 2);
  EXPECT_EQ(f->glyphs[0xB4].x, 1 + (0xB4 - 33) * 2);
}

TEST_F(FontTest, DrawTextAdvancesByGlyphWidthsAndSkipsWhatHasNoGlyph) {
  std::vector<int> widths(223, 2);
  BitmapFont* f = LoadBitmapFont(writeStrip("pics/full.bmp", widths, 5).c_str());
  ASSERT_NE(f, nullptr);
  SDL_Surface* c = canvas(64, 8);
  // "!" then a space (advance 2, nothing drawn), a line feed (advance 0),
  // then the acute accent 0xB4 drawing its own glyph.
  DrawText(c, f, 10, 2, "! \n\xB4");
  EXPECT_EQ(rgbAt(c, 10, 2), bodyColour(0));
  EXPECT_EQ(rgbAt(c, 11, 5), bodyColour(0));
  EXPECT_EQ(rgbAt(c, 10, 6), 0u);  // strip rows 1..4 only: four rows drawn
  EXPECT_EQ(rgbAt(c, 12, 2), 0u);  // the space draws nothing
  EXPECT_EQ(rgbAt(c, 14, 2), bodyColour(0xB4 - 33));
  EXPECT_EQ(rgbAt(c, 15, 2), bodyColour(0xB4 - 33));
  EXPECT_EQ(rgbAt(c, 16, 2), 0u);
  EXPECT_EQ(DrawGlyph(c, f, 0, 0, '\n'), 0);
  EXPECT_EQ(DrawGlyph(c, f, 0, 0, 0xB4), 2);
  EXPECT_EQ(DrawGlyph(c, nullptr, 0, 0, '!'), 0);
}

TEST_F(FontTest, DrawTextFDrawsAtMost1023Characters) {
  BitmapFont* f = LoadBitmapFont(writeStrip("pics/one.bmp", {1}, 3).c_str());
  ASSERT_NE(f, nullptr);
  SDL_Surface* c = canvas(1100, 3);
  DrawTextF(c, f, 0, 0, "%s", std::string(1500, '!').c_str());
  EXPECT_EQ(rgbAt(c, 1022, 0), bodyColour(0));
  EXPECT_EQ(rgbAt(c, 1023, 0), 0u);
}

TEST_F(FontTest, GetPixelAndGetSurfacePixelOnEveryDepth) {
  EXPECT_EQ(GetSurfacePixel(nullptr, 0, 0), -1);
  const struct {
    int depth;
    Uint32 r, g, b;  // channel masks
    Uint32 raw;      // the pixel's bytes in memory order
    Uint32 value;
  } cases[] = {
      {8, 0, 0, 0, 0xC8, 0xC8},
      {16, 0xF800, 0x7E0, 0x1F, 0xC350, 50000},
      {24, 0xFF0000, 0xFF00, 0xFF, 0x332211, 0x332211},  // bytes 0x11 0x22 0x33
      {24, 0xFF, 0xFF00, 0xFF0000, 0x332211, 0x332211},  // raw even with the masks swapped
      {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000001u, 0xFF000001u},
  };
  for (const auto& c : cases) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, c.depth, c.r, c.g, c.b, 0);
    surfaces.push_back(s);
    const Uint8 bytes[4] = {Uint8(c.raw), Uint8(c.raw >> 8), Uint8(c.raw >> 16),
                            Uint8(c.raw >> 24)};
    memcpy(static_cast<Uint8*>(s->pixels) + s->pitch + 3 * (c.depth / 8), bytes, c.depth / 8);
    EXPECT_EQ(GetPixel(s, 3, 1), c.value) << c.depth;
    EXPECT_EQ(GetSurfacePixel(s, 3, 1), static_cast<int32_t>(c.value)) << c.depth;
    EXPECT_EQ(GetSurfacePixel(s, 2, 1), 0) << c.depth;
  }
}

TEST_F(FontTest, GetPixelOutsideTheSurfaceSaysSoAndReadsNothing) {
  SDL_Surface* s = canvas(4, 2);
  captureStdout();
  EXPECT_EQ(GetPixel(s, -1, 0), 0u);
  EXPECT_EQ(GetPixel(s, 4, 0), 0u);
  EXPECT_EQ(GetPixel(s, 0, 2), 0u);
  EXPECT_EQ(GetPixel(s, 0, -5), 0u);
  EXPECT_EQ(capturedStdout(), "x too small in GetPixel!\nx too big in GetPixel!\n");
}
