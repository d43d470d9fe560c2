// The in-round displays: the shot-mark list, the backdrop with its places, the
// display strip, and the cached layers giving exactly the pixels of drawing
// every picture directly.
#include "game/displays.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "platform/random.h"

namespace {

// A 24-bit surface in the layout of the BMP loader, every pixel different
// enough that a picture drawn at the wrong place or from the wrong spot shows.
SDL_Surface* patternSurface(int w, int h, int seed, int bits = 24) {
  SDL_Surface* s =
      bits == 32 ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF00, 0xFF0000, 0xFF000000, 0)
                 : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
  const int bpp = s->format->BytesPerPixel;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Uint32 v = SDL_MapRGB(s->format, (x * 7 + seed) & 0xFF, (y * 13 + seed * 3) & 0xFF,
                                  (x * y + seed) & 0xFF);
      memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * bpp, &v, bpp);
    }
  return s;
}

SDL_Surface* solidSurface(int w, int h, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  return s;
}

void setPixel(SDL_Surface* s, int x, int y, uint32_t rgb) {
  SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

// A 6 by 6 mark with a white (transparent) rim and several colours inside,
// magenta among them, keyed on white as the game loads it.
SDL_Surface* markPicture() {
  SDL_Surface* s = solidSurface(6, 6, 0xFFFFFF);
  const uint32_t colours[] = {0xFF00FF, 0x202020, 0x804000, 0x000000,
                              0xFEFEFE, 0x10A0F0, 0xFF00FE, 0x404040};
  int k = 0;
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x)
      if ((x + y) % 3 != 0) setPixel(s, x, y, colours[k++ % 8]);
  SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 255, 255, 255));
  return s;
}

std::vector<uint8_t> screenBytes() {
  SDL_Surface* s = shell.video;
  std::vector<uint8_t> out;
  SDL_LockSurface(s);
  const int row = s->w * s->format->BytesPerPixel;
  for (int y = 0; y < s->h; ++y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    out.insert(out.end(), p, p + row);
  }
  SDL_UnlockSurface(s);
  return out;
}

// Where two screens differ: "" when they are the same.
std::string firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const int bpp = shell.video->format->BytesPerPixel;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) {
      const size_t pixel = i / bpp;
      return "first difference at (" + std::to_string(pixel % 640) + ", " +
             std::to_string(pixel / 640) + ")";
    }
  return "";
}

void fillScreen(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }

class DisplaysTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
  }
  void TearDown() override {
    // The fixture frees nothing of the pictures; these are the test's own.
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
    GameTest::TearDown();
  }
  SDL_Surface* own(SDL_Surface* s) {
    owned.push_back(s);
    return s;
  }
  std::vector<SDL_Surface*> owned;
};

// The test's own drawing of the backdrop, its places and every used mark, one
// picture at a time.
void referenceBackdrop(int level) {
  SDL_UpperBlit(pictures.levelBackdrop[level], nullptr, shell.video, nullptr);
  for (int slot = 0; slot < 12; ++slot) {
    const int x = (slot % 6) * 104 + 60 - 44, y = (slot < 6 ? 126 : 354) - 100;
    SDL_Rect from{static_cast<Sint16>(x), static_cast<Sint16>(y), 88, 200}, to = from;
    SDL_UpperBlit(pictures.levelDimmed[level], &from, shell.video, &to);
  }
}

void referenceMarks() {
  for (const ShotMark& m : shotMarks.entries) {
    if (m.x < 0) break;
    // Far-off points leave no mark (rather than wrapping round to the screen).
    if (m.x > 700 || m.y > 700 || m.y < -20) continue;
    SDL_Rect to{static_cast<Sint16>(m.x - 4), static_cast<Sint16>(m.y - 4), 0, 0};
    SDL_UpperBlit(pictures.shotMark, nullptr, shell.video, &to);
  }
}

}  // namespace

TEST_F(DisplaysTest, ShotMarkListFillsFromTheFrontThenOverwritesAmongTheFirst351) {
  // 233 shots of fifteen entries each: 3495 entries, no random draw yet.
  seedRandom(7);
  for (int shot = 0; shot < 233; ++shot)
    for (int k = 0; k < 15; ++k) AddShotMark(shot, 1000 + shot);
  EXPECT_EQ(randomDraws(), 0u);
  EXPECT_EQ(shotMarks.entries[3494].x, 232);
  EXPECT_EQ(shotMarks.entries[3495].x, -10);
  EXPECT_EQ(shotMarks.entries[3495].y, -10);
  const ShotMarkList before = shotMarks;

  // The 234th shot fills the last five, then overwrites ten entries drawn by
  // RandomUpTo(350): 32767 gives 350, the highest entry that is ever overwritten.
  const std::vector<int32_t> draws = {32767, 0, 16384, 93, 32766, 5000, 0, 20000, 12345, 31000};
  scriptRandom(draws);
  for (int k = 0; k < 15; ++k) AddShotMark(700, 701);
  std::vector<bool> hit(ShotMarkCapacity, false);
  for (int i = 3495; i < 3500; ++i) hit[i] = true;
  for (int32_t d : draws) hit[static_cast<int>(d / 32767.0 * 350)] = true;
  EXPECT_TRUE(hit[350]);
  EXPECT_TRUE(hit[0]);
  for (int i = 0; i < ShotMarkCapacity; ++i) {
    const ShotMark& m = shotMarks.entries[i];
    if (hit[i]) {
      EXPECT_EQ(m.x, 700) << "entry " << i;
      EXPECT_EQ(m.y, 701) << "entry " << i;
    } else {
      EXPECT_EQ(m.x, before.entries[i].x) << "entry " << i;
      EXPECT_EQ(m.y, before.entries[i].y) << "entry " << i;
    }
  }

  // A point left of the screen would read as a free entry in the middle of the
  // list and hide the marks after it: a full list keeps its entries, and the
  // random draw is made all the same.
  const ShotMarkList full = shotMarks;
  const uint64_t drawsBefore = randomDraws();
  AddShotMark(-3, 50);
  EXPECT_EQ(randomDraws(), drawsBefore + 1);
  EXPECT_EQ(0, memcmp(&full, &shotMarks, sizeof full));

  ClearShotMarks();
  for (const ShotMark& m : shotMarks.entries) ASSERT_TRUE(m.x == -10 && m.y == -10);
}

TEST_F(DisplaysTest, TextsUseTheSingularForOneOnly) {
  char text[64];
  const struct {
    int32_t n;
    const char* kills;
    const char* targets;
  } cases[] = {{-1, "  -1 kill", "  -1 targets left"},
               {0, "  0 kills", "  0 targets left"},
               {1, "  1 kill", "  1 target left"},
               {2, "  2 kills", "  2 targets left"}};
  for (const auto& c : cases) {
    snprintf(text, sizeof text, KillsFormat(c.n), c.n);
    EXPECT_STREQ(text, c.kills);
    snprintf(text, sizeof text, TargetsLeftFormat(c.n), c.n);
    EXPECT_STREQ(text, c.targets);
  }
}

TEST_F(DisplaysTest, EnergyBarLightsOnePipForEveryTwoPointsAndTheHalfUsedOne) {
  writeBmp(dir + "/pics/le5_4x12.bmp", 4, 12, 0xF0D020);
  writeBmp(dir + "/pics/le5bg_4x12.bmp", 4, 12, 0x302010);
  pictures.pip = own(SDL_LoadBMP((dir + "/pics/le5_4x12.bmp").c_str()));
  pictures.pipEmpty = own(SDL_LoadBMP((dir + "/pics/le5bg_4x12.bmp").c_str()));
  ASSERT_TRUE(pictures.pip && pictures.pipEmpty);
  SDL_Surface* black = own(solidSurface(640, 480, 0x000000));

  const struct {
    int32_t energy;
    int lit;
  } cases[] = {{100, 50}, {99, 50}, {2, 1}, {1, 1}, {0, 0}, {-3, 0}};
  for (const auto& c : cases) {
    roundState.energy = c.energy;
    fillScreen(black);
    DrawRoundDisplay();
    int lit = 0;
    for (int k = 0; k < 50; ++k) {
      const uint32_t top = screenRgb(120 + 6 * k, 465), bottom = screenRgb(123 + 6 * k, 476);
      ASSERT_EQ(top, bottom) << "pip " << k;
      ASSERT_TRUE(top == 0xF0D020 || top == 0x302010) << "pip " << k;
      // Lit pips form one run from the left.
      if (top == 0xF0D020) {
        EXPECT_EQ(lit++, k);
      }
      EXPECT_EQ(screenRgb(124 + 6 * k, 470), 0x000000u) << "gap after pip " << k;
    }
    EXPECT_EQ(lit, c.lit) << "energy " << c.energy;
    EXPECT_EQ(screenRgb(120, 464), 0x000000u);
    EXPECT_EQ(screenRgb(120, 477), 0x000000u);
  }
}

TEST_F(DisplaysTest, PanelsComeFromTheLevelsDimmedPictureAndTheGaragesForOtherLevels) {
  for (int level = 0; level < 5; ++level)
    pictures.levelDimmed[level] = own(solidSurface(640, 480, 0x100000 * (level + 1) + 0x33));
  SDL_Surface* black = own(solidSurface(640, 480, 0x000000));
  for (int level : {0, 3, 4, 5, -1}) {
    shell.chosenLevel = level;
    fillScreen(black);
    DrawRoundDisplay();
    const uint32_t panel = 0x100000 * ((level >= 0 && level < 5 ? level : 0) + 1) + 0x33;
    // Left panel (16, 462) 88 by 18, right panel (432, 462) 192 by 18.
    EXPECT_EQ(screenRgb(16, 462), panel) << "level " << level;
    EXPECT_EQ(screenRgb(103, 479), panel);
    EXPECT_EQ(screenRgb(15, 470), 0u);
    EXPECT_EQ(screenRgb(104, 470), 0u);
    EXPECT_EQ(screenRgb(50, 461), 0u);
    EXPECT_EQ(screenRgb(432, 462), panel);
    EXPECT_EQ(screenRgb(623, 479), panel);
    EXPECT_EQ(screenRgb(431, 470), 0u);
    EXPECT_EQ(screenRgb(624, 470), 0u);
  }
}

TEST_F(DisplaysTest, BackdropShowsTheLevelWithTwelveDimmedPlaces) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = own(solidSurface(640, 480, 0x000010 * (level + 1)));
    pictures.levelDimmed[level] = own(solidSurface(640, 480, 0x001000 * (level + 1)));
  }
  SDL_Surface* junk = own(solidSurface(640, 480, 0xABCDEF));
  for (int level = 0; level < 5; ++level) {
    shell.chosenLevel = level;
    fillScreen(junk);
    DrawRoundBackdrop();
    const uint32_t backdrop = 0x000010u * (level + 1), dimmed = 0x001000u * (level + 1);
    for (int slot = 0; slot < 12; ++slot) {
      const int left = (slot % 6) * 104 + 16, top = slot < 6 ? 26 : 254;
      EXPECT_EQ(screenRgb(left, top), dimmed) << "level " << level << " slot " << slot;
      EXPECT_EQ(screenRgb(left + 87, top + 199), dimmed);
      EXPECT_EQ(screenRgb(left - 1, top + 100), backdrop);
      EXPECT_EQ(screenRgb(left + 88, top + 100), backdrop);
      EXPECT_EQ(screenRgb(left + 40, top - 1), backdrop);
      EXPECT_EQ(screenRgb(left + 40, top + 200), backdrop);
    }
    EXPECT_EQ(screenRgb(639, 479), backdrop);
  }
}

TEST_F(DisplaysTest, CachedLayersGiveThePixelsOfDrawingEveryPicture) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = own(patternSurface(640, 480, level * 11));
    // Dimmed pictures in another pixel layout, so their blits convert.
    pictures.levelDimmed[level] = own(patternSurface(640, 480, level * 11 + 5, 32));
  }
  pictures.shotMark = own(markPicture());
  SDL_Surface* junk = own(patternSurface(640, 480, 99));
  shell.chosenLevel = 1;

  int frames = 0;
  // One frame drawn by the test picture by picture, then by the game over other
  // content, must leave the same bytes.
  auto sameAsReference = [&]() {
    ++frames;
    fillScreen(junk);
    if (shell.chosenLevel >= 0 && shell.chosenLevel < 5) referenceBackdrop(shell.chosenLevel);
    referenceMarks();
    const std::vector<uint8_t> want = screenBytes();
    fillScreen(junk);
    DrawRoundBackdrop();
    DrawShotMarksOnBackdrop();
    return firstDifference(want, screenBytes());
  };

  EXPECT_EQ(sameAsReference(), "");
  // Marks on the edges, partly and wholly off the screen, and piled up.
  for (auto [x, y] : {std::pair{0, 0},
                      {639, 479},
                      {2, 300},
                      {300, 1},
                      {637, 10},
                      {700, 100},
                      {100, 2000},
                      {320, 240},
                      {322, 241},
                      {65540, 100},
                      {100, INT32_MIN},
                      {INT32_MAX, INT32_MAX},
                      {3, -3}})
    AddShotMark(x, y);
  EXPECT_EQ(sameAsReference(), "");
  for (int k = 0; k < 15; ++k) AddShotMark(321, 239);
  EXPECT_EQ(sameAsReference(), "");

  // Up to a full list, densely enough that marks cover each other.
  seedRandom(3);
  uint32_t lcg = 12345;
  auto nextPoint = [&]() {
    lcg = lcg * 1103515245u + 12345u;
    return std::pair<int, int>((lcg >> 8) % 200 + 100, (lcg >> 20) % 150 + 50);
  };
  while (shotMarks.entries[ShotMarkCapacity - 1].x < 0) {
    for (int k = 0; k < 15 && shotMarks.entries[ShotMarkCapacity - 1].x < 0; ++k) {
      auto [x, y] = nextPoint();
      AddShotMark(x, y);
    }
    if (lcg % 17 == 0) {
      ASSERT_EQ(sameAsReference(), "");
    }
  }
  EXPECT_EQ(sameAsReference(), "");

  // Overwrites: a few in one frame (each old and new spot redrawn), then many.
  for (int k = 0; k < 3; ++k) {
    auto [x, y] = nextPoint();
    AddShotMark(x, y);
  }
  EXPECT_EQ(sameAsReference(), "");
  for (int k = 0; k < 150; ++k) {
    auto [x, y] = nextPoint();
    AddShotMark(x, y);
  }
  EXPECT_EQ(sameAsReference(), "");

  // Another level, an entry changed behind the list's back, an emptied list.
  shell.chosenLevel = 4;
  EXPECT_EQ(sameAsReference(), "");
  shotMarks.entries[17] = ShotMark{5, 470};
  EXPECT_EQ(sameAsReference(), "");
  shotMarks.entries[40] = ShotMark{-10, -10};  // the list now ends at entry 40
  EXPECT_EQ(sameAsReference(), "");
  ClearShotMarks();
  EXPECT_EQ(sameAsReference(), "");
  AddShotMark(10, 10);
  EXPECT_EQ(sameAsReference(), "");

  // A new mark picture of another size, and one blended by alpha.
  SDL_Surface* wide = own(patternSurface(9, 5, 42));
  SDL_SetColorKey(wide, SDL_SRCCOLORKEY, SDL_MapRGB(wide->format, 7, 3, 0));
  pictures.shotMark = wide;
  for (int k = 0; k < 40; ++k) {
    auto [x, y] = nextPoint();
    AddShotMark(x, y);
  }
  EXPECT_EQ(sameAsReference(), "");
  SDL_SetAlpha(wide, SDL_SRCALPHA, 128);
  EXPECT_EQ(sameAsReference(), "");
  SDL_SetAlpha(wide, SDL_SRCALPHA, 200);
  EXPECT_EQ(sameAsReference(), "");

  // Without a whole backdrop, or without a level, the marks are drawn one by one.
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_EQ(sameAsReference(), "");
  shell.chosenLevel = 9;
  EXPECT_EQ(sameAsReference(), "");
  for (auto [x, y] : {std::pair{65540, 100}, {100, INT32_MIN}, {INT32_MAX, INT32_MAX}})
    AddShotMark(x, y);
  EXPECT_EQ(sameAsReference(), "");
  EXPECT_GT(frames, 10);
}
