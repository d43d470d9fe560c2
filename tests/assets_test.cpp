// The default art and sound the build makes, loaded through the game's own
// loaders, against what the code relies on: sizes and key colours, the
// figures' hit masks and flash points, the keyboard grid, the font strips and
// every fixed text fitting on the screen.
#include <cctype>
#include <string>

#include "app/shell.h"
#include "fixture.h"
#include "game_files.h"
#include "game_texts.h"
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
  // The figures' hit test: a person pixel is a raw value below 50000.
  static bool personAt(SDL_Surface* s, int x, int y) { return GetSurfacePixel(s, x, y) < 50000; }
};

TEST_F(AssetsTest, EveryPictureLoadsInItsSizeAt24BitsWithItsKeyColourPresent) {
  for (const PictureFile& p : Pictures) {
    SDL_Surface* s = picture(p.file);
    if (!s) continue;
    EXPECT_TRUE(s->w == p.w && s->h == p.h && s->format->BytesPerPixel == 3) << p.file;
    if (p.key == NoKey) continue;
    int keyed = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) keyed += isKey(s, x, y, p.key);
    EXPECT_TRUE(keyed > 0 && keyed < s->w * s->h) << p.file << ": " << keyed << " key pixels";
  }
}

TEST_F(AssetsTest, FigurePixelsArePersonOrSurroundingsWithAHeadAndAWeaponUnderTheFlash) {
  for (const FigureFile& f : Figures) {
    SDL_Surface* s = picture(std::string("target_") + f.name + ".bmp");
    SDL_Surface* hit = picture(std::string("target_hit_") + f.name + ".bmp");
    ASSERT_TRUE(s && hit && s->format->BytesPerPixel == 3) << f.name;
    EXPECT_TRUE(s->w == 88 && s->h == 200 && hit->w == 88 && hit->h == 200) << f.name;
    int person = 0, head = 0, between = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const int32_t v = GetSurfacePixel(s, x, y);
        // Person below 50000, surroundings 50000 or above with red at least 1:
        // nothing in between that a change of tone could tip over.
        between += v >= 50000 && v < 65536;
        person += v < 50000;
        head += v < 50000 && y <= 30;
      }
    EXPECT_EQ(between, 0) << f.name;
    EXPECT_TRUE(person > 88 * 200 / 5 && person < 88 * 200 * 3 / 5) << f.name << ": " << person;
    EXPECT_GT(head, 250) << f.name << ": the head shot zone (rows 0 to 30) is mostly empty";
    for (auto [x, y] : {std::pair{0, 0}, {87, 0}, {0, 199}, {87, 199}})
      EXPECT_FALSE(personAt(s, x, y)) << f.name << " at " << x << "," << y;
    if (!f.gangster) continue;
    // The muzzle flash (20 by 20) lands on the figure's weapon.
    const int fx = 44 + f.flashDx + 10, fy = 100 + f.flashDy + 10;
    int armed = 0;
    for (int y = fy - 4; y <= fy + 4; ++y)
      for (int x = fx - 4; x <= fx + 4; ++x) armed += personAt(s, x, y);
    EXPECT_GT(armed, 10) << f.name << ": nothing under the muzzle flash at " << fx << "," << fy;
  }
}

TEST_F(AssetsTest, KeyboardKeysSitOnTheNameEntrysGrid) {
  SDL_Surface* s = picture("keyboard_a_02_transp-9C9886_220x120.bmp");
  ASSERT_NE(s, nullptr);
  const long key = 0xA8A594;
  // Cell (column k, row r) covers x 1 + 20k to 20 + 20k, y 1 + 20r to 20 + 20r;
  // between the round keys of rows 0 to 4 the picture is see-through, but for
  // the end key over rows 1 and 2; the space bar fills row 5.
  for (int r = 0; r < 6; ++r)
    for (int k = 0; k < 11; ++k) {
      EXPECT_FALSE(isKey(s, 11 + 20 * k, 11 + 20 * r, key)) << k << "," << r;
      if (r == 5) continue;
      EXPECT_NE(isKey(s, 11 + 20 * k, 20 + 20 * r, key), k == 10 && r == 1)
          << "below " << k << "," << r;
      EXPECT_TRUE(k == 10 || (isKey(s, 20 + 20 * k, 11 + 20 * r, key) &&
                              isKey(s, 21 + 20 * k, 11 + 20 * r, key)))
          << "right of " << k << "," << r;
    }
  for (int i = 0; i < 220; i += 7)
    EXPECT_TRUE(isKey(s, i, 0, key) && isKey(s, 0, i % 120, key)) << i;
  for (int x = 10; x < 210; x += 10) EXPECT_FALSE(isKey(s, x, 110, key)) << x;
}

TEST_F(AssetsTest, FontStripsHave223RunsAnAcuteAccentAndEveryFixedTextFits) {
  for (size_t i = 0; i < 6; ++i) {
    BitmapFont* f = LoadBitmapFont((std::string("./pics/") + FontFiles[i]).c_str());
    ASSERT_NE(f, nullptr) << FontFiles[i];
    own(f->surface);
    EXPECT_EQ(f->height, FontHeights[i]) << FontFiles[i];
    // The scan stopped at byte 255, which has the 223rd run; the name entry's
    // acute accent 0xB4 and every letter and digit have glyphs.
    EXPECT_GT(f->glyphs[255].w, 0) << FontFiles[i];
    EXPECT_GT(f->glyphs[0xB4].w, 0) << FontFiles[i];
    for (int c = '0'; c <= 'z'; ++c)
      EXPECT_TRUE(!isalnum(c) || f->glyphs[c].w > 1) << FontFiles[i] << " " << char(c);
    if (i != 2) {
      delete f;
      continue;
    }
    // Every text of the game is in the game font, on the 16-pixel grid.
    for (const PlacedText& t : GameTexts) {
      int width = 0;
      for (const unsigned char* p = reinterpret_cast<const unsigned char*>(t.text); *p; ++p)
        width += f->glyphs[*p].w;
      EXPECT_LE(t.column * GridCellEdge(GridPussycat) + width, t.rightLimit)
          << "(" << t.column << "," << t.row << ") \"" << t.text << "\"";
      EXPECT_LE(t.row * 16 + 15 + f->height - 1, 480) << t.text;
    }
    delete f;
  }
}

}  // namespace
