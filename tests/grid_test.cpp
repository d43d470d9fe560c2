// The text grid, the backdrops, raw pixel reads and the loading pips.
#include "gfx/grid.h"

#include <SDL.h>

#include <string>

#include "app/shell.h"
#include "fixture.h"
#include "gfx/font.h"

namespace {
// A strip whose glyph for byte b is one pixel wide, coloured 0x00GG00 with
// GG = b - 32 (so every byte has its own colour), 5 rows high.
BitmapFont* oneColumnFont() {
  const int runs = 223;
  SDL_Surface* s =
      SDL_CreateRGBSurface(SDL_SWSURFACE, 1 + runs * 2, 5, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0xFF));
  for (int x = 0; x < s->w; ++x) {
    SDL_Rect r{static_cast<Sint16>(x), 0, 1, 1};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, 0xFF, 0, 0xFF));
  }
  for (int i = 0; i < runs; ++i) {
    SDL_Rect top{static_cast<Sint16>(1 + 2 * i), 0, 1, 1};
    SDL_FillRect(s, &top, SDL_MapRGB(s->format, 0, 0xFF, 0));
    SDL_Rect body{static_cast<Sint16>(1 + 2 * i), 1, 1, 4};
    SDL_FillRect(s, &body, SDL_MapRGB(s->format, 0, static_cast<Uint8>(i + 1), 0));
  }
  EXPECT_EQ(SDL_SaveBMP(s, "pics/grid-font.bmp"), 0);
  SDL_FreeSurface(s);
  return LoadBitmapFont("pics/grid-font.bmp");
}

uint32_t glyphColour(unsigned char c) { return static_cast<uint32_t>(c - 32) << 8; }

class GridTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    BitmapFont* f = oneColumnFont();
    ASSERT_NE(f, nullptr);
    for (BitmapFont*& slot : pictures.fonts) slot = f;
    SDL_FillRect(shell.video, nullptr, 0);
  }
};
}  // namespace

TEST_F(GridTest, CellsPlaceTextByCodeAndReturnTheNextRowEvenForUnknownCodes) {
  EXPECT_EQ(GridPrintF(1, 27, GridPussycat, "!"), 28);
  EXPECT_EQ(screenRgb(16, 447), glyphColour('!'));
  EXPECT_EQ(screenRgb(16, 446), 0u);
  EXPECT_EQ(screenRgb(15, 447), 0u);

  EXPECT_EQ(GridPrintF(10, 2, GridAndes, "\""), 3);
  EXPECT_EQ(screenRgb(80, 31), glyphColour('"'));
  GridPrintF(10, 2, GridImpact, "#");
  EXPECT_EQ(screenRgb(120, 39), glyphColour('#'));
  GridPrintF(3, 1, GridMacHumaine, "$");
  EXPECT_EQ(screenRgb(48, 31), glyphColour('$'));

  // Rows chain: each call prints one row below the last.
  int32_t row = GridPrintF(0, 5, GridPussycat, "a");
  row = GridPrintF(0, row, GridPussycat, "b");
  EXPECT_EQ(row, 7);
  EXPECT_EQ(screenRgb(0, 6 * 16 + 15), glyphColour('b'));

  // An unknown font code draws nothing and still moves on a row.
  SDL_FillRect(shell.video, nullptr, 0);
  EXPECT_EQ(GridPrintF(1, 1, 4, "!!!!"), 2);
  EXPECT_EQ(GridPrintF(1, 9, 0, "!!!!"), 10);
  for (int x = 0; x < 100; ++x) EXPECT_EQ(screenRgb(x, 31), 0u);
}

TEST_F(GridTest, FormattedTextIsDrawnAsIsAndCutAt1023) {
  // A "%" coming from an argument is drawn, not formatted again.
  GridPrintF(0, 0, GridPussycat, "%s", "1%d");
  EXPECT_EQ(screenRgb(0, 15), glyphColour('1'));
  EXPECT_EQ(screenRgb(1, 15), glyphColour('%'));
  EXPECT_EQ(screenRgb(2, 15), glyphColour('d'));
  // Line feeds draw nothing and advance 0: only the cut decides whether the
  // character after 1022 of them is drawn.
  GridPrintF(0, 2, GridPussycat, "%sX", std::string(1022, '\n').c_str());
  EXPECT_EQ(screenRgb(0, 2 * 16 + 15), glyphColour('X'));
  GridPrintF(0, 4, GridPussycat, "%sX", std::string(1023, '\n').c_str());
  EXPECT_EQ(screenRgb(0, 4 * 16 + 15), 0u);
}

TEST_F(GridTest, BackdropsByIndexWithTheFrontEndBackdropForUnknownIndexes) {
  SDL_Surface** slots[9] = {
      &pictures.frontBackdrop,    &pictures.levelBackdrop[0], &pictures.hallOfFame,
      &pictures.deadBackdrop,     &pictures.levelBackdrop[1], &pictures.levelBackdrop[2],
      &pictures.levelBackdrop[3], &pictures.levelBackdrop[4], &pictures.title};
  for (int i = 0; i < 9; ++i) {
    writeBmp("pics/b.bmp", 640, 480, 0x101010u * (i + 1));
    *slots[i] = SDL_LoadBMP("pics/b.bmp");
  }
  for (int i = 0; i < 9; ++i) {
    DrawBackdrop(i);
    EXPECT_EQ(screenRgb(639, 479), 0x101010u * (i + 1)) << i;
  }
  for (int unknown : {9, -1}) {
    DrawBackdrop(4);
    DrawBackdrop(unknown);
    EXPECT_EQ(screenRgb(0, 0), 0x101010u) << unknown;
  }
  for (int i = 0; i < 9; ++i) SDL_FreeSurface(*slots[i]);
}

TEST_F(GridTest, FigurePixelReadsTheKindsNormalPictureAndKindZeroForOthers) {
  EXPECT_EQ(FigurePixel(3, 0, 0), -1);  // no picture
  writeBmp("pics/n.bmp", 88, 200, 0x000102);
  writeBmp("pics/q.bmp", 88, 200, 0x030405);
  pictures.figure[0] = SDL_LoadBMP("pics/n.bmp");
  pictures.figure[3] = SDL_LoadBMP("pics/q.bmp");
  EXPECT_EQ(FigurePixel(3, 87, 199), 0x030405);
  EXPECT_EQ(FigurePixel(0, 0, 0), 0x000102);
  EXPECT_EQ(FigurePixel(13, 0, 0), 0x000102);
  EXPECT_EQ(FigurePixel(14, 10, 10), 0x000102);
  SDL_FreeSurface(pictures.figure[0]);
  SDL_FreeSurface(pictures.figure[3]);
}

TEST_F(GridTest, LoadingPipsEverySixPixelsBelowTheCount) {
  writeBmp("pics/pip.bmp", 4, 12, 0xFFFF00);
  pictures.pip = SDL_LoadBMP("pics/pip.bmp");
  EXPECT_EQ(DrawLoadingPips(0), 10);
  EXPECT_EQ(screenRgb(18, 445), 0u);
  EXPECT_EQ(DrawLoadingPips(12), 22);
  EXPECT_EQ(screenRgb(18, 445), 0xFFFF00u);
  EXPECT_EQ(screenRgb(21, 456), 0xFFFF00u);
  EXPECT_EQ(screenRgb(22, 445), 0u);
  EXPECT_EQ(screenRgb(24, 445), 0xFFFF00u);
  EXPECT_EQ(screenRgb(30, 445), 0u);
  EXPECT_EQ(screenRgb(24, 457), 0u);
  SDL_FreeSurface(pictures.pip);
}
