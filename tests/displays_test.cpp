// The in-round displays: the shot-mark list, the display strip, and the cached
// layers giving exactly the pixels of drawing every picture directly.
#include "game/displays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "platform/random.h"

namespace {

// A 24-bit surface (32-bit on request), every pixel different enough that a
// picture drawn at the wrong place or from the wrong spot shows.
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

// A 6 by 6 mark with a white (transparent) rim and several colours inside,
// magenta and near-white among them, keyed on white as the game loads it.
SDL_Surface* markPicture() {
  SDL_Surface* s = solidSurface(6, 6, 0xFFFFFF);
  const uint32_t colours[] = {0xFF00FF, 0x202020, 0x804000, 0x000000,
                              0xFEFEFE, 0x10A0F0, 0xFF00FE, 0x404040};
  int k = 0;
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) {
      if ((x + y) % 3 == 0) continue;
      SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
      const uint32_t c = colours[k++ % 8];
      SDL_FillRect(s, &r, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
    }
  SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 255, 255, 255));
  return s;
}

// The screen's bytes, row after row without the padding.
std::vector<uint8_t> screenBytes() {
  SDL_Surface* s = shell.video;
  std::vector<uint8_t> out;
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    out.insert(out.end(), p, p + s->w * s->format->BytesPerPixel);
  }
  SDL_UnlockSurface(s);
  return out;
}

// Where the screen differs from `want`: "" when it is the same.
std::string differenceFrom(const std::vector<uint8_t>& want) {
  const std::vector<uint8_t> got = screenBytes();
  const auto at = std::mismatch(want.begin(), want.end(), got.begin()).first - want.begin();
  if (at == static_cast<long>(want.size())) return "";
  const long pixel = at / shell.video->format->BytesPerPixel;
  return "first difference at (" + std::to_string(pixel % 640) + ", " +
         std::to_string(pixel / 640) + ")";
}

void fillScreen(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }

using DisplaysTest = FiguresTest;

}  // namespace

TEST_F(DisplaysTest, ShotMarkListFillsFromTheFrontThenOverwritesAmongTheFirst351) {
  // 233 shots of fifteen entries each: 3495 entries, no random draw yet.
  seedRandom(7);
  for (int shot = 0; shot < 233; ++shot)
    for (int k = 0; k < 15; ++k) AddShotMark(shot, 1000 + shot);
  EXPECT_EQ(randomDraws(), 0u);
  EXPECT_EQ(usedShotMarks(), 3495);
  EXPECT_EQ(shotMarks.entries[3494].x, 232);
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
  ASSERT_TRUE(hit[350] && hit[0]);
  for (int i = 0; i < ShotMarkCapacity; ++i) {
    const ShotMark& m = shotMarks.entries[i];
    const ShotMark want = hit[i] ? ShotMark{700, 701} : before.entries[i];
    EXPECT_TRUE(m.x == want.x && m.y == want.y) << "entry " << i;
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
    const char *kills, *targets;
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
  pictures.pip = own(solidSurface(4, 12, 0xF0D020));
  pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
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
      if (top == 0xF0D020) {
        EXPECT_EQ(lit++, k) << "lit pips form one run from the left";
      }
      EXPECT_EQ(screenRgb(124 + 6 * k, 470), 0x000000u) << "gap after pip " << k;
    }
    EXPECT_EQ(lit, c.lit) << "energy " << c.energy;
    EXPECT_EQ(screenRgb(120, 464) | screenRgb(120, 477), 0x000000u);
  }

  // The panels come from the level's dimmed picture, the Garage's for others:
  // left (16, 462) 88 by 18, right (432, 462) 192 by 18.
  for (int level = 0; level < 5; ++level)
    pictures.levelDimmed[level] = own(solidSurface(640, 480, 0x100000 * (level + 1) + 0x33));
  for (int level : {0, 3, 4, 5, -1}) {
    shell.chosenLevel = level;
    fillScreen(black);
    DrawRoundDisplay();
    const uint32_t panel = 0x100000 * ((level >= 0 && level < 5 ? level : 0) + 1) + 0x33;
    for (auto [x, y] : {std::pair{16, 462}, {103, 479}, {432, 462}, {623, 479}})
      EXPECT_EQ(screenRgb(x, y), panel) << "level " << level << " at " << x << "," << y;
    for (auto [x, y] : {std::pair{15, 470}, {104, 470}, {50, 461}, {431, 470}, {624, 470}})
      EXPECT_EQ(screenRgb(x, y), 0u) << "level " << level << " at " << x << "," << y;
  }
}

// The backdrop with its twelve dimmed places and the marks over it, drawn by
// the game through its cached layer, must give the bytes of drawing every
// picture one by one.
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
  auto sameAsReference = [&]() {
    ++frames;
    fillScreen(junk);
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
    const std::vector<uint8_t> want = screenBytes();
    fillScreen(junk);
    DrawRoundBackdrop();
    DrawShotMarksOnBackdrop();
    return differenceFrom(want);
  };
  uint32_t lcg = 12345;
  auto addRandomMarks = [&](int n) {
    for (int k = 0; k < n; ++k) {
      lcg = lcg * 1103515245u + 12345u;
      AddShotMark((lcg >> 8) % 200 + 100, (lcg >> 20) % 150 + 50);
    }
  };

  EXPECT_EQ(sameAsReference(), "");
  // Marks on the edges, partly and wholly off the screen, and piled up.
  const std::pair<int, int> edges[] = {
      {0, 0},      {639, 479}, {2, 300},   {300, 1},     {637, 10},        {700, 100},
      {100, 2000}, {320, 240}, {322, 241}, {65540, 100}, {100, INT32_MIN}, {INT32_MAX, INT32_MAX},
      {3, -3}};
  for (auto [x, y] : edges) AddShotMark(x, y);
  for (int k = 0; k < 15; ++k) AddShotMark(321, 239);
  EXPECT_EQ(sameAsReference(), "");

  // Up to a full list, densely enough that marks cover each other.
  seedRandom(3);
  while (usedShotMarks() < ShotMarkCapacity - 300) {
    addRandomMarks(300);
    ASSERT_EQ(sameAsReference(), "") << usedShotMarks() << " marks";
  }
  addRandomMarks(ShotMarkCapacity - usedShotMarks());
  EXPECT_EQ(sameAsReference(), "");

  // Overwrites: a few in one frame (each old and new spot redrawn), then many.
  addRandomMarks(3);
  EXPECT_EQ(sameAsReference(), "");
  addRandomMarks(150);
  EXPECT_EQ(sameAsReference(), "");

  // Another level, entries changed behind the list's back, an emptied list.
  shell.chosenLevel = 4;
  EXPECT_EQ(sameAsReference(), "");
  shotMarks.entries[17] = ShotMark{5, 470};
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
  addRandomMarks(40);
  EXPECT_EQ(sameAsReference(), "");
  SDL_SetAlpha(wide, SDL_SRCALPHA, 128);
  EXPECT_EQ(sameAsReference(), "");

  // Without a whole backdrop, or without a level, the marks are drawn one by one.
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_EQ(sameAsReference(), "");
  shell.chosenLevel = 9;
  for (auto [x, y] : {std::pair{65540, 100}, {100, INT32_MIN}, {INT32_MAX, INT32_MAX}})
    AddShotMark(x, y);
  EXPECT_EQ(sameAsReference(), "");
  EXPECT_GT(frames, 10);
}
