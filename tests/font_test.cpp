// Bitmap fonts and the text grid: the strip scan, drawing glyphs and strings,
// the 1023-character cuts, pixel reads, backdrops and figure pixels.
#include "gfx/font.h"

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "gfx/grid.h"
#include "scores_support.h"

namespace {
// Glyph body colour of the run with index i: unique per run.
uint32_t bodyColour(int i) { return 0x100000u + static_cast<uint32_t>(i) * 0x10; }

class FontTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    SDL_FillRect(shell.video, nullptr, 0);
  }
  // Loads a strip: a marker row over a transparent body, each run of `widths`
  // after one marker column, filled with bodyColour(i) below its top row; the
  // last run ends at the right edge when `lastTouchesEdge`.
  static BitmapFont* strip(const std::vector<int>& widths, int height,
                           bool lastTouchesEdge = false) {
    int w = static_cast<int>(widths.size()) + 1 - lastTouchesEdge;
    for (int g : widths) w += g;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, 0x0000FF);
    SDL_Rect marker{0, 0, static_cast<Uint16>(w), 1};
    SDL_FillRect(s, &marker, 0xFF00FF);
    Sint16 x = 1;
    for (size_t i = 0; i < widths.size(); x += widths[i++] + 1) {
      SDL_Rect run{x, 0, static_cast<Uint16>(widths[i]), 1}, body{x, 1, run.w, Uint16(height - 1)};
      SDL_FillRect(s, &run, 0x00FF00);
      SDL_FillRect(s, &body, bodyColour(static_cast<int>(i)));
    }
    EXPECT_EQ(SDL_SaveBMP(s, "pics/strip.bmp"), 0);
    SDL_FreeSurface(s);
    return LoadBitmapFont("pics/strip.bmp");
  }
  static std::tuple<int, int, int, int> rect(const BitmapFont* f, int c) {
    return {f->glyphs[c].x, f->glyphs[c].y, f->glyphs[c].w, f->glyphs[c].h};
  }
};
}  // namespace

TEST_F(FontTest, TheScanMeasuresRunsUpTo223TheSpaceTheHeightAndTheKey) {
  BitmapFont* f = strip({3, 1, 5}, 12);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->height, 12);
  EXPECT_EQ(rect(f, '!'), std::make_tuple(1, 1, 3, 12));
  EXPECT_EQ(rect(f, '#'), std::make_tuple(7, 1, 5, 12));
  EXPECT_EQ(rect(f, ' '), std::make_tuple(0, 0, 3, 12));  // as wide as "!", never a glyph
  for (int c : {0, 31, int('$'), 255}) EXPECT_EQ(f->glyphs[c].w, 0) << c;
  ASSERT_TRUE(f->surface->flags & SDL_SRCCOLORKEY);
  EXPECT_EQ(f->surface->format->colorkey, SDL_MapRGB(f->surface->format, 0, 0, 0xFF));
  // A run at the right edge ends there; one that begins only in the last
  // column is no glyph; more than 223 runs give byte 255 the 223rd.
  EXPECT_EQ(rect(strip({2, 4}, 8, true), '"'), std::make_tuple(4, 1, 4, 8));
  EXPECT_EQ(strip({1}, 4, true)->glyphs['!'].w, 0);
  std::vector<int> widths(230, 1);
  widths[222] = 3;
  EXPECT_EQ(rect(strip(widths, 6), 255), std::make_tuple(1 + 222 * 2, 1, 3, 6));
  EXPECT_EQ(LoadBitmapFont("pics/nothing-here.png"), nullptr);
}

TEST_F(FontTest, TextAdvancesByGlyphWidthsSkipsWhatHasNoGlyphAndIsCutAt1023) {
  BitmapFont* f = strip(std::vector<int>(223, 2), 5);
  // "!" then a space (advance 2, nothing drawn), a line feed (advance 0), then
  // the acute accent 0xB4 drawing its own glyph; strip rows 1..4 only.
  DrawText(shell.video, f, 10, 2, "! \n\xB4");
  for (auto [x, y, rgb] : {std::tuple{10, 2, bodyColour(0)},
                           {11, 5, bodyColour(0)},
                           {10, 6, 0u},
                           {12, 2, 0u},
                           {14, 2, bodyColour(147)},
                           {15, 2, bodyColour(147)},
                           {16, 2, 0u}})
    EXPECT_EQ(screenRgb(x, y), rgb) << x << "," << y;
  EXPECT_EQ(DrawGlyph(nullptr, f, 0, 0, 0xB4), 2);
  // Line feeds draw nothing and advance 0: only the cut decides whether the
  // character after 1022 of them is drawn, through either formatting buffer.
  for (BitmapFont*& slot : pictures.fonts) slot = f;
  for (int feeds : {1022, 1023}) {
    const std::string text = std::string(feeds, '\n') + "!";
    SDL_FillRect(shell.video, nullptr, 0);
    DrawTextF(shell.video, f, 0, 0, "%s", text.c_str());
    GridPrintF(2, 2, GridPussycat, "%s", text.c_str());
    EXPECT_EQ(screenRgb(0, 0) + screenRgb(32, 47), feeds == 1022 ? 2 * bodyColour(0) : 0) << feeds;
  }
  // A "%" coming from an argument is drawn, not formatted again.
  GridPrintF(0, 0, GridPussycat, "%s", "1%d");
  EXPECT_EQ(screenRgb(2, 15), bodyColour('%' - 33));
  EXPECT_EQ(screenRgb(4, 15), bodyColour('d' - 33));
}

TEST_F(FontTest, GridCellsPlaceTextByCodeAndReturnTheNextRowEvenForUnknownCodes) {
  // Font k's glyphs are k + 1 pixels wide; cell edges 8, 12 and 16; the
  // text's top at row * edge + 15.
  for (int k = 0; k < FontCount; ++k) pictures.fonts[k] = strip(std::vector<int>(223, k + 1), 5);
  for (auto [code, column, row, x, y, font] : {std::array<int32_t, 6>{GridAndes, 10, 2, 80, 31, 0},
                                               {GridAntiqua, 1, 1, 8, 23, 3},
                                               {GridImpact, 10, 2, 120, 39, 1},
                                               {GridCaligula, 2, 1, 24, 27, 4},
                                               {GridPussycat, 1, 27, 16, 447, 2},
                                               {GridMacHumaine, 3, 1, 48, 31, 5}}) {
    SDL_FillRect(shell.video, nullptr, 0);
    EXPECT_EQ(GridPrintF(column, row, code, "!"), row + 1);
    EXPECT_EQ(screenRgb(x + font, y), bodyColour(0)) << code;
    EXPECT_EQ(screenRgb(x - 1, y) | screenRgb(x, y - 1) | screenRgb(x + font + 1, y), 0u) << code;
  }
  SDL_FillRect(shell.video, nullptr, 0);
  EXPECT_EQ(GridPrintF(1, 1, 4, "!!!!") + GridPrintF(1, 9, 0, "!!!!"), 2 + 10);
  for (int x = 0; x < 100; ++x) EXPECT_EQ(screenRgb(x, 31), 0u);
}

TEST_F(FontTest, PixelReadsOnEveryDepthBackdropsByIndexAndFigurePixelsByKind) {
  EXPECT_EQ(GetSurfacePixel(nullptr, 0, 0), -1);
  // Depth, channel masks, the pixel's bytes in memory order, its value.
  for (auto [depth, r, g, b, raw, value] :
       {std::array<Uint32, 6>{8, 0, 0, 0, 0xC8, 0xC8},
        {16, 0xF800, 0x7E0, 0x1F, 0xC350, 50000},
        {24, 0xFF, 0xFF00, 0xFF0000, 0x332211, 0x332211},  // raw even with the masks swapped
        {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000001u, 0xFF000001u}}) {
    SDL_Surface* s = own(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, depth, r, g, b, 0));
    for (Uint32 k = 0; k < depth / 8; ++k)
      static_cast<Uint8*>(s->pixels)[s->pitch + 3 * (depth / 8) + k] = Uint8(raw >> (8 * k));
    EXPECT_EQ(GetPixel(s, 3, 1), value) << depth;
    EXPECT_EQ(GetSurfacePixel(s, 3, 1), static_cast<int32_t>(value)) << depth;
    EXPECT_EQ(GetSurfacePixel(s, 2, 1), 0) << depth;
  }
  captureStdout();
  for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, 2}, {0, -5}})
    EXPECT_EQ(GetPixel(own(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, 24, 0, 0, 0, 0)), x, y), 0u);
  EXPECT_EQ(capturedStdout(), "x too small in GetPixel!\nx too big in GetPixel!\n");

  SDL_Surface** slots[9] = {
      &pictures.frontBackdrop,    &pictures.levelBackdrop[0], &pictures.hallOfFame,
      &pictures.deadBackdrop,     &pictures.levelBackdrop[1], &pictures.levelBackdrop[2],
      &pictures.levelBackdrop[3], &pictures.levelBackdrop[4], &pictures.title};
  for (int i = 0; i < 9; ++i) *slots[i] = own(solidSurface(640, 480, 0x101010u * (i + 1)));
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1}) {
    DrawBackdrop(4);
    DrawBackdrop(i);
    EXPECT_EQ(screenRgb(639, 479), 0x101010u * (i >= 0 && i < 9 ? i + 1 : 1)) << i;
  }
  EXPECT_EQ(FigurePixel(3, 0, 0), -1);  // no picture
  pictures.figure[0] = own(solidSurface(88, 200, 0x000102));
  pictures.figure[3] = own(solidSurface(88, 200, 0x030405));
  EXPECT_EQ(FigurePixel(3, 87, 199), 0x030405);
  for (int kind : {0, 13, 14}) EXPECT_EQ(FigurePixel(kind, 10, 10), 0x000102) << kind;
}
