// Bitmap fonts and the text grid (the strip scan, glyphs and strings, the
// 1023-character cuts, pixel reads, backdrops), and the default art's figure
// hit masks and keyboard grid that the code relies on.
#include "gfx/font.h"

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game_files.h"
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
  // "!", a space (advance 2, nothing drawn), a line feed (advance 0), the
  // acute accent 0xB4 of the name entry; strip rows 1 to 4 only.
  DrawText(shell.video, f, 10, 2, "! \n\xB4");
  const std::array<uint32_t, 3> pixels[] = {
      {10, 2, bodyColour(0)},   {11, 5, bodyColour(0)},   {10, 6, 0}, {12, 2, 0},
      {14, 2, bodyColour(147)}, {15, 2, bodyColour(147)}, {16, 2, 0}};
  for (auto [x, y, rgb] : pixels) EXPECT_EQ(screenRgb(x, y), rgb) << x << "," << y;
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
  const int32_t cells[][6] = {{GridAndes, 10, 2, 80, 31, 0},     {GridAntiqua, 1, 1, 8, 23, 3},
                              {GridImpact, 10, 2, 120, 39, 1},   {GridCaligula, 2, 1, 24, 27, 4},
                              {GridPussycat, 1, 27, 16, 447, 2}, {GridMacHumaine, 3, 1, 48, 31, 5}};
  for (auto [code, column, row, x, y, font] : cells) {
    SDL_FillRect(shell.video, nullptr, 0);
    EXPECT_EQ(GridPrintF(column, row, code, "!"), row + 1);
    EXPECT_EQ(screenRgb(x + font, y), bodyColour(0)) << code;
    EXPECT_EQ(screenRgb(x - 1, y) | screenRgb(x, y - 1) | screenRgb(x + font + 1, y), 0u) << code;
  }
  SDL_FillRect(shell.video, nullptr, 0);
  EXPECT_EQ(GridPrintF(1, 1, 4, "!!!!") + GridPrintF(1, 9, 0, "!!!!"), 2 + 10);
  for (int x = 0; x < 100; ++x) EXPECT_EQ(screenRgb(x, 31), 0u);
}

// Pixel reads outside the surface say so and give 0; backdrops by index, the
// Garage's for others.
TEST_F(FontTest, PixelReadsOutsideTheSurfaceAndBackdropsByIndex) {
  EXPECT_EQ(GetSurfacePixel(nullptr, 0, 0), -1);
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
}

// The default art against the code's hit test: a person pixel is below 50000,
// the surroundings 50000 or above with red at least 1, nothing in between that
// a change of tone could tip over; a head in the head-shot rows, a gangster's
// weapon under its flash. The keyboard cell (k, r) covers x 1 + 20k to 20 + 20k,
// y 1 + 20r to 20 + 20r; between the round keys of rows 0 to 4 it is
// see-through, but for the end key over rows 1 and 2; the space bar fills row 5.
TEST_F(FontTest, DefaultFigureMasksAndTheKeyboardGridKeepTheirContractWithTheCode) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art (LAKEPORT_ASSETS off)";
  const int flash[8][2] = {{6, -26},   {-41, -8}, {-20, -64}, {-20, -34},
                           {-26, -18}, {24, -8},  {0, -64},   {0, -34}};
  for (int kind = 0; kind < 13; ++kind) {
    SDL_Surface* s = own(loadPicture(("./pics/" + figureFile(kind, false)).c_str()));
    ASSERT_TRUE(s && s->w == 88 && s->h == 200) << kind;
    int person = 0, head = 0, between = 0, armed = 0;
    const int fx = kind < 8 ? 54 + flash[kind][0] : -99, fy = kind < 8 ? 110 + flash[kind][1] : 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const int32_t v = GetSurfacePixel(s, x, y);
        between += v >= 50000 && v < 65536;
        person += v < 50000;
        head += v < 50000 && y <= 30;
        armed += v < 50000 && abs(x - fx) <= 4 && abs(y - fy) <= 4;
      }
    EXPECT_TRUE(between == 0 && person > 88 * 40 && person < 88 * 120 && head > 250) << kind;
    EXPECT_TRUE(kind >= 8 || armed > 10) << kind << ": nothing under the muzzle flash";
    EXPECT_TRUE(GetSurfacePixel(s, 0, 0) >= 50000 && GetSurfacePixel(s, 87, 199) >= 50000);
  }
  SDL_Surface* s = own(loadPicture("./pics/keyboard_a_02_transp-9C9886_220x120.bmp"));
  ASSERT_NE(s, nullptr);
  auto see = [s](int x, int y) {
    return GetPixel(s, x, y) == SDL_MapRGB(s->format, 168, 165, 148);
  };
  for (int r = 0; r < 6; ++r)
    for (int k = 0; k < 11; ++k) {
      EXPECT_FALSE(see(11 + 20 * k, 11 + 20 * r)) << k << "," << r;
      if (r == 5) continue;
      EXPECT_NE(see(11 + 20 * k, 20 + 20 * r), k == 10 && r == 1) << k << "," << r;
      EXPECT_TRUE(k == 10 || (see(20 + 20 * k, 11 + 20 * r) && see(21 + 20 * k, 11 + 20 * r)))
          << "right of " << k << "," << r;
    }
  for (int x = 10; x < 210; x += 10) EXPECT_FALSE(see(x, 110)) << x;
}
