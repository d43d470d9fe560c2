// The default art and sound the build makes, loaded through the game's own
// loaders: every file is there, in its size and format, the figures' hit
// masks, the font strips and the keyboard grid hold, every text fits.
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game_files.h"
#include "game_texts.h"
#include "gfx/font.h"
#include "gfx/grid.h"

namespace {
struct Rgb {
  int r, g, b;
};

Rgb rgbAt(SDL_Surface* s, int x, int y) {
  SDL_LockSurface(s);
  const Uint32 v = GetPixel(s, x, y);
  SDL_UnlockSurface(s);
  Uint8 r, g, b;
  SDL_GetRGB(v, s->format, &r, &g, &b);
  return {r, g, b};
}

bool isKey(SDL_Surface* s, int x, int y, long key) {
  const Rgb c = rgbAt(s, x, y);
  return c.r == ((key >> 16) & 255) && c.g == ((key >> 8) & 255) && c.b == (key & 255);
}

double meanLuminance(SDL_Surface* s) {
  double sum = 0;
  for (int y = 0; y < s->h; y += 4)
    for (int x = 0; x < s->w; x += 4) {
      const Rgb c = rgbAt(s, x, y);
      sum += 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    }
  return sum / ((s->w / 4) * (s->h / 4));
}

// The raw pixel the figures' hit test reads is a person pixel below 50000.
bool personAt(SDL_Surface* s, int x, int y) { return GetSurfacePixel(s, x, y) < 50000; }

class AssetsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art (LAKEPORT_ASSETS off)";
    startVideo();
  }
  SDL_Surface* picture(const std::string& file) {
    SDL_Surface* s = loadPicture(("./pics/" + file).c_str());
    EXPECT_NE(s, nullptr) << file;
    if (s) loaded.push_back(s);
    return s;
  }
  void TearDown() override {
    for (SDL_Surface* s : loaded) SDL_FreeSurface(s);
    for (BitmapFont* f : fonts) {
      SDL_FreeSurface(f->surface);
      delete f;
    }
    GameTest::TearDown();
  }
  BitmapFont* font(const std::string& file) {
    BitmapFont* f = LoadBitmapFont(("./pics/" + file).c_str());
    EXPECT_NE(f, nullptr) << file;
    if (f) fonts.push_back(f);
    return f;
  }
  std::vector<SDL_Surface*> loaded;
  std::vector<BitmapFont*> fonts;
};

TEST_F(AssetsTest, EveryPictureLoadsInItsSizeAt24BitsWithItsKeyColourPresent) {
  for (const PictureFile& p : Pictures) {
    SDL_Surface* s = picture(p.file);
    if (!s) continue;
    EXPECT_EQ(s->w, p.w) << p.file;
    EXPECT_EQ(s->h, p.h) << p.file;
    EXPECT_EQ(s->format->BytesPerPixel, 3) << p.file;
    if (p.key == NoKey) continue;
    int keyed = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) keyed += isKey(s, x, y, p.key);
    EXPECT_GT(keyed, 0) << p.file << " never shows its key colour";
    EXPECT_LT(keyed, s->w * s->h) << p.file << " is nothing but its key colour";
  }
}

TEST_F(AssetsTest, CrosshairsAreCentredAndEachLooksDifferent) {
  std::vector<std::vector<Uint32>> seen;
  for (const char* c : {"a", "b", "c", "d", "f"}) {
    SDL_Surface* s = picture(std::string("cross_") + c + "_02.bmp");
    if (!s) continue;
    // The aim point is drawn; the corners are see-through.
    EXPECT_FALSE(isKey(s, 15, 15, 0) && isKey(s, 14, 15, 0) && isKey(s, 15, 14, 0)) << c;
    EXPECT_TRUE(isKey(s, 0, 0, 0) || isKey(s, 30, 30, 0)) << c;
    std::vector<Uint32> px;
    for (int i = 0; i < 31 * 31; ++i) px.push_back(GetSurfacePixel(s, i % 31, i / 31));
    for (const auto& other : seen) {
      int differing = 0;
      for (size_t i = 0; i < px.size(); ++i) differing += px[i] != other[i];
      EXPECT_GT(differing, 60) << c << " looks like another crosshair";
    }
    seen.push_back(px);
  }
}

TEST_F(AssetsTest, FigurePixelsAreEitherPersonOrSurroundingsWithAHittableHead) {
  for (const FigureFile& f : Figures) {
    SDL_Surface* s = picture(std::string("target_") + f.name + ".bmp");
    if (!s) continue;
    ASSERT_EQ(s->format->BytesPerPixel, 3);
    int person = 0, head = 0, between = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const int32_t v = GetSurfacePixel(s, x, y);
        // Person below 50000, surroundings 50000 or above with red at least 1:
        // nothing in between that a change of tone could tip over.
        between += v >= 50000 && v < 65536;
        if (v < 50000) {
          ++person;
          head += y <= 30;
        }
      }
    EXPECT_EQ(between, 0) << f.name;
    const double share = person / (88.0 * 200.0);
    EXPECT_GT(share, 0.22) << f.name << " is too slight to hit";
    EXPECT_LT(share, 0.6) << f.name << " fills its card";
    EXPECT_GT(head, 250) << f.name << ": the head shot zone (rows 0 to 30) is mostly empty";
    EXPECT_TRUE(personAt(s, 44, 22)) << f.name << ": no face at the head's centre";
    // The card's corners and feet corners are surroundings.
    for (auto [x, y] : {std::pair{0, 0}, {87, 0}, {0, 199}, {87, 199}})
      EXPECT_FALSE(personAt(s, x, y)) << f.name << " at " << x << "," << y;
    // The hit picture shows the same figure, plainly wounded.
    SDL_Surface* hit = picture(std::string("target_hit_") + f.name + ".bmp");
    if (!hit) continue;
    ASSERT_TRUE(hit->w == 88 && hit->h == 200) << "target_hit_" << f.name;
    int blood = 0, changed = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const Rgb c = rgbAt(hit, x, y);
        blood += c.r > 120 && c.g < 60 && c.b < 60;
        changed += GetSurfacePixel(s, x, y) != GetSurfacePixel(hit, x, y);
      }
    EXPECT_GT(blood, 25) << f.name << " shows no wound";
    EXPECT_GT(changed, 88 * 200 / 5) << f.name;
    if (!f.gangster) continue;
    // The muzzle flash (20 x 20) lands on the figure's weapon.
    const int fx = 44 + f.flashDx + 10, fy = 100 + f.flashDy + 10;
    int armed = 0;
    for (int y = fy - 4; y <= fy + 4; ++y)
      for (int x = fx - 4; x <= fx + 4; ++x) armed += personAt(s, x, y);
    EXPECT_GT(armed, 10) << f.name << ": nothing under the muzzle flash at " << fx << "," << fy;
  }
}

TEST_F(AssetsTest, MirroredFiguresAreExactFlipsOfTheirOriginals) {
  for (const char* k : {"n", "o", "p", "q"})
    for (const char* hit : {"", "hit_"}) {
      const std::string base = std::string("target_") + hit + k + "_01_88x200";
      SDL_Surface* a = picture(base + ".bmp");
      SDL_Surface* b = picture(base + "_mirror.bmp");
      if (!a || !b) continue;
      int differing = 0;
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 88; ++x)
          differing += GetSurfacePixel(a, x, y) != GetSurfacePixel(b, 87 - x, y);
      EXPECT_EQ(differing, 0) << base;
    }
}

TEST_F(AssetsTest, DimmedScenesAreDarkerYetShowTheScene) {
  for (const char* base :
       {"pic32_1200x900_verlauf_640x480", "qmorvel_Tire_Store_v_verlauf_640x480",
        "main-street_a_01_cut_a_01_verlauf_640x480", "smoke-shop_a_01_cut_a_01_verlauf_640x480",
        "flower-shop_a_01_cut_a_01_verlauf_640x480"}) {
    SDL_Surface* normal = picture(std::string(base) + ".jpg");
    SDL_Surface* dimmed = picture(std::string(base) + "_-50_-30.jpg");
    if (!normal || !dimmed) continue;
    const double n = meanLuminance(normal), d = meanLuminance(dimmed);
    EXPECT_LT(d, n * 0.85) << base;
    EXPECT_GT(d, 12) << base << ": the dimmed twin is black";
    EXPECT_LT(n, 140) << base << ": a night scene this bright";
  }
}

TEST_F(AssetsTest, KeyboardKeysSitOnTheNameEntrysGrid) {
  SDL_Surface* s = picture("keyboard_a_02_transp-9C9886_220x120.bmp");
  ASSERT_NE(s, nullptr);
  const long key = 0xA8A594;
  // Cell (column k, row r) covers picture x 1 + 20k to 20 + 20k, y 1 + 20r to 20 + 20r.
  for (int r = 0; r < 6; ++r)
    for (int k = 0; k < 11; ++k)
      EXPECT_FALSE(isKey(s, 11 + 20 * k, 11 + 20 * r, key)) << k << "," << r;
  // Between the round keys of rows 0 to 4 the picture is see-through.
  for (int r = 0; r < 5; ++r)
    for (int k = 0; k < 10; ++k) {
      EXPECT_TRUE(isKey(s, 20 + 20 * k, 11 + 20 * r, key)) << "right of " << k << "," << r;
      EXPECT_TRUE(isKey(s, 21 + 20 * k, 11 + 20 * r, key)) << "left of " << k + 1 << "," << r;
    }
  for (int r = 0; r < 5; ++r)
    for (int k = 0; k < 11; ++k) {
      const bool endKey = k == 10 && r == 1;  // one key over rows 1 and 2
      EXPECT_EQ(isKey(s, 11 + 20 * k, 20 + 20 * r, key), !endKey) << "below " << k << "," << r;
    }
  // The frame outside the grid, and the space bar across the whole of row 5.
  for (int x = 0; x < 220; x += 7) EXPECT_TRUE(isKey(s, x, 0, key)) << x;
  for (int y = 0; y < 120; y += 7) EXPECT_TRUE(isKey(s, 0, y, key)) << y;
  for (int x = 10; x < 210; x += 10) EXPECT_FALSE(isKey(s, x, 110, key)) << x;
}

TEST_F(AssetsTest, FontStripsHave223RunsAnAcuteAccentAndTheirSizes) {
  std::vector<std::vector<int>> widths;
  for (size_t i = 0; i < 6; ++i) {
    BitmapFont* f = font(FontFiles[i]);
    if (!f) continue;
    SDL_Surface* s = f->surface;
    EXPECT_EQ(f->height, FontHeights[i]) << FontFiles[i];
    // Count the runs of the marker row as the strip format defines them.
    SDL_LockSurface(s);
    const Uint32 marker = GetPixel(s, 0, 0);
    int runs = 0;
    for (int x = 0; x < s->w; ++x)
      if (GetPixel(s, x, 0) != marker && (x == 0 || GetPixel(s, x - 1, 0) == marker)) ++runs;
    // The transparent colour (bottom left) is see-through and not the marker.
    Uint8 r, g, b, a;
    SDL_GetRGBA(GetPixel(s, 0, s->h - 1), s->format, &r, &g, &b, &a);
    SDL_UnlockSurface(s);
    EXPECT_EQ(runs, 223) << FontFiles[i];
    EXPECT_EQ(a, 0) << FontFiles[i];
    // 0xB4, the acute accent of the name entry, has a glyph with ink in it.
    const SDL_Rect& acute = f->glyphs[0xB4];
    EXPECT_GT(acute.w, 0) << FontFiles[i];
    int ink = 0;
    SDL_LockSurface(s);
    for (int y = 1; y < s->h; ++y)
      for (int x = acute.x; x < acute.x + acute.w; ++x) {
        SDL_GetRGBA(GetPixel(s, x, y), s->format, &r, &g, &b, &a);
        ink += a > 128;
      }
    SDL_UnlockSurface(s);
    EXPECT_GT(ink, 1) << FontFiles[i];
    // Letters and digits all have glyphs; the space is as wide as '!'.
    for (int c = '0'; c <= 'z'; ++c) {
      if (!isalnum(c)) continue;
      EXPECT_GT(f->glyphs[c].w, 1) << FontFiles[i] << " " << char(c);
    }
    EXPECT_GE(f->glyphs[' '].w, 3) << FontFiles[i];
    std::vector<int> w;
    for (int c = 'A'; c <= 'z'; ++c) w.push_back(f->glyphs[c].w);
    widths.push_back(w);
  }
  // Six real faces: no two strips have the same letter widths.
  for (size_t i = 0; i < widths.size(); ++i)
    for (size_t j = i + 1; j < widths.size(); ++j) EXPECT_NE(widths[i], widths[j]) << i << " " << j;
}

TEST_F(AssetsTest, EveryFixedTextFitsOnTheScreenInTheGameFont) {
  BitmapFont* f = font("pussycat18.png");
  ASSERT_NE(f, nullptr);
  for (const PlacedText& t : GameTexts) {
    int width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(t.text); *p; ++p)
      width += f->glyphs[*p].w;
    const int x = t.column * GridCellEdge(GridPussycat);
    EXPECT_LE(x + width, t.rightLimit)
        << "(" << t.column << "," << t.row << ") \"" << t.text << "\"";
    // The lowest row still shows its whole height on the screen.
    EXPECT_LE(t.row * 16 + 15 + f->height - 1, 480) << t.text;
  }
  // A line of text is as tall as the grid's rows and no wider than a column
  // of the grid needs on average: the 40 columns hold sentences.
  EXPECT_LE(f->glyphs['n'].w, 9);
}

TEST_F(AssetsTest, EverySoundLoadsThroughTheMixerNeitherSilentNorClipped) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
  std::set<std::string> paths;  // the game's own sample table, each file once
  for (int id = 0; id < SampleCount; ++id) paths.insert(samplePath(id));
  for (const std::string& path : paths) {
    const char* name = path.c_str();
    SDL_AudioSpec wav;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    ASSERT_NE(SDL_LoadWAV(path.c_str(), &wav, &buf, &len), nullptr)
        << name << ": " << SDL_GetError();
    EXPECT_EQ(wav.freq, 44100) << name;
    EXPECT_EQ(wav.format, AUDIO_S16LSB) << name;
    EXPECT_EQ(wav.channels, 2) << name;
    SDL_FreeWAV(buf);

    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    ASSERT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    const Sint16* samples = reinterpret_cast<const Sint16*>(chunk->abuf);
    const size_t count = chunk->alen / 2;
    int peak = 0;
    double energy = 0;
    size_t atLimit = 0;
    for (size_t i = 0; i < count; ++i) {
      const int v = std::abs(int(samples[i]));
      peak = std::max(peak, v);
      energy += double(v) * v;
      atLimit += v >= 32767;
    }
    const double peakDb = 20 * std::log10(peak / 32768.0);
    const double rmsDb = 10 * std::log10(energy / double(count) / (32768.0 * 32768.0));
    EXPECT_EQ(atLimit, 0u) << name << " clips";
    EXPECT_LE(peakDb, -0.9) << name;
    EXPECT_GE(peakDb, -7.0) << name << " is too quiet beside the others";
    EXPECT_GE(rmsDb, -34.0) << name << " is nearly silent";
    if (path == "./sounds/title_20__1.wav") {
      EXPECT_GE(count / 2 / 44100.0, 30.0) << "the title tune is shorter than 30 seconds";
    }
    Mix_FreeChunk(chunk);
  }
}
}  // namespace
