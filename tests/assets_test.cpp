// The default art and sound the build makes, loaded through the game's own
// loaders, against what the code relies on: sizes and key colours, the
// figures' hit masks and flash points, the keyboard grid, the font strips and
// the tightest fixed texts fitting on the screen.
#include <cctype>
#include <memory>
#include <string>

#include "app/screens.h"
#include "app/shell.h"
#include "fixture.h"
#include "game_files.h"
#include "gfx/font.h"
#include "gfx/grid.h"

namespace {
class AssetsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art (LAKEPORT_ASSETS off)";
    startVideo();
  }
  SDL_Surface* picture(const std::string& file) {
    SDL_Surface* s = own(loadPicture(("./pics/" + file).c_str()));
    EXPECT_NE(s, nullptr) << file;
    return s;
  }
  static bool isKey(SDL_Surface* s, int x, int y, long key) {
    Uint8 r, g, b;
    SDL_GetRGB(GetPixel(s, x, y), s->format, &r, &g, &b);
    return (r << 16 | g << 8 | b) == key;
  }
};

TEST_F(AssetsTest, EveryPictureLoadsInItsSizeAt24BitsWithItsKeyColourPresent) {
  for (const PictureFile& p : Pictures) {
    SDL_Surface* s = picture(p.file);
    if (!s) continue;
    EXPECT_TRUE(s->w == p.w && s->h == p.h && s->format->BytesPerPixel == 3) << p.file;
    int keyed = 0;
    for (int y = 0; y < s->h && p.key != NoKey; ++y)
      for (int x = 0; x < s->w; ++x) keyed += isKey(s, x, y, p.key);
    EXPECT_TRUE(p.key == NoKey || (keyed > 0 && keyed < s->w * s->h)) << p.file << ": " << keyed;
  }
}

// The hit test's rule: a person pixel is below 50000, the surroundings 50000
// or above with red at least 1, nothing in between that a change of tone
// could tip over; a head in the head-shot rows, the weapon under the flash.
TEST_F(AssetsTest, FigurePixelsArePersonOrSurroundingsWithAHeadAndAWeaponUnderTheFlash) {
  for (const FigureFile& f : Figures) {
    SDL_Surface* s = picture(std::string("target_") + f.name + ".bmp");
    ASSERT_TRUE(s && s->w == 88 && s->h == 200 && s->format->BytesPerPixel == 3) << f.name;
    int person = 0, head = 0, between = 0, armed = 0;
    const int fx = 44 + f.flashDx + 10, fy = 100 + f.flashDy + 10;  // the flash's centre
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const int32_t v = GetSurfacePixel(s, x, y);
        between += v >= 50000 && v < 65536;
        person += v < 50000;
        head += v < 50000 && y <= 30;
        armed += v < 50000 && abs(x - fx) <= 4 && abs(y - fy) <= 4;
      }
    EXPECT_EQ(between, 0) << f.name;
    EXPECT_TRUE(person > 88 * 200 / 5 && person < 88 * 200 * 3 / 5) << f.name << ": " << person;
    EXPECT_GT(head, 250) << f.name;
    EXPECT_TRUE(!f.gangster || armed > 10) << f.name << ": nothing under the muzzle flash";
    for (auto [x, y] : {std::pair{0, 0}, {87, 199}}) EXPECT_GE(GetSurfacePixel(s, x, y), 50000);
  }
}

// Cell (column k, row r) covers x 1 + 20k to 20 + 20k, y 1 + 20r to 20 + 20r;
// between the round keys of rows 0 to 4 the picture is see-through, but for
// the end key over rows 1 and 2; the space bar fills row 5.
TEST_F(AssetsTest, KeyboardKeysSitOnTheNameEntrysGrid) {
  SDL_Surface* s = picture("keyboard_a_02_transp-9C9886_220x120.bmp");
  ASSERT_NE(s, nullptr);
  const long key = 0xA8A594;
  for (int r = 0; r < 6; ++r)
    for (int k = 0; k < 11; ++k) {
      EXPECT_FALSE(isKey(s, 11 + 20 * k, 11 + 20 * r, key)) << k << "," << r;
      if (r == 5) continue;
      EXPECT_NE(isKey(s, 11 + 20 * k, 20 + 20 * r, key), k == 10 && r == 1) << k << "," << r;
      EXPECT_TRUE(k == 10 || (isKey(s, 20 + 20 * k, 11 + 20 * r, key) &&
                              isKey(s, 21 + 20 * k, 11 + 20 * r, key)))
          << "right of " << k << "," << r;
    }
  for (int x = 10; x < 210; x += 10) EXPECT_FALSE(isKey(s, x, 110, key)) << x;
}

// Every strip stops at byte 255, its 223rd run; the name entry's acute accent
// and every letter and digit have glyphs. The texts that come closest to their
// column's or the screen's edge fit in the game font.
TEST_F(AssetsTest, FontStripsHave223RunsAnAcuteAccentAndTheTightestTextsFit) {
  for (size_t i = 0; i < 6; ++i) {
    std::unique_ptr<BitmapFont> f(LoadBitmapFont((std::string("./pics/") + FontFiles[i]).c_str()));
    ASSERT_NE(f, nullptr) << FontFiles[i];
    own(f->surface);
    EXPECT_EQ(f->height, FontHeights[i]) << FontFiles[i];
    EXPECT_TRUE(f->glyphs[255].w > 0 && f->glyphs[0xB4].w > 0) << FontFiles[i];
    for (int c = '0'; c <= 'z'; ++c)
      EXPECT_TRUE(!isalnum(c) || f->glyphs[c].w > 1) << FontFiles[i] << " " << char(c);
    if (i != 2) continue;
    for (auto [column, text, limit] : {std::tuple{2, "Pos.", 4},
                                       {2, "10.", 4},
                                       {28, "  #Shots", 32},
                                       {18, "Score", 21},
                                       {24, "     (medium-hard)", 32},
                                       {27, "  1921 Thompson machine gun", 40},
                                       {11, CreditLineLong, 40},
                                       {25, CreditLineShort, 40}}) {
      int width = 0;
      for (const char* p = text; *p; ++p) width += f->glyphs[static_cast<unsigned char>(*p)].w;
      EXPECT_LE(column * 16 + width, limit * 16) << text;
    }
  }
}
}  // namespace
