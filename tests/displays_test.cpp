// The in-round displays: the shot-mark list, the display strip, and the fast
// drawing paths (the cached backdrop and scene layers, the remembered strip,
// the game's own blit) against the pixels of drawing every picture with SDL.
#include "game/displays.h"

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "gfx/blit.h"
#include "platform/random.h"

namespace {
// Random bytes, drawn from few values so that colour keys match often, in one
// of the layouts a picture can load in: the screen's, the other byte order,
// 32-bit with and without alpha, 16-bit and a palette.
SDL_Surface* scribble(int layout, int w, int h, std::mt19937& rng) {
  static const Uint32 m[6][5] = {
      {24, 0xFF0000, 0xFF00, 0xFF, 0}, {24, 0xFF, 0xFF00, 0xFF0000, 0},
      {32, 0xFF0000, 0xFF00, 0xFF, 0}, {32, 0xFF0000, 0xFF00, 0xFF, ~0xFFFFFFu},
      {16, 0xF800, 0x07E0, 0x001F, 0}, {8, 0, 0, 0, 0}};
  const Uint32* f = m[layout];
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f[0], f[1], f[2], f[3], f[4]);
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w * s->format->BytesPerPixel; ++x)
      static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = Uint8(rng() % 3 == 0 ? 0x40 : rng());
  return s;
}

// The pixels of a surface, row after row without the padding.
std::vector<Uint8> bytesOf(SDL_Surface* s) {
  std::vector<Uint8> out;
  for (int y = 0; y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    out.insert(out.end(), row, row + s->w * s->format->BytesPerPixel);
  }
  return out;
}

class DisplaysTest : public FiguresTest {
 protected:
  // A picture in the given layout, different for every seed.
  SDL_Surface* scene(int seed, int layout, int w = 640, int h = 480) {
    std::mt19937 rng(seed);
    return own(scribble(layout, w, h, rng));
  }
  static void cover(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }
};
}  // namespace

TEST_F(DisplaysTest, ShotMarksFillTheFirstFreeEntryThenOverwriteAmongTheFirst351) {
  for (int hole : {0, 31, 32, 33, 3487, 3488, 3499}) {
    for (int i = 0; i < ShotMarkCapacity; ++i) shotMarks.entries[i] = ShotMark{i % 640, i % 480};
    shotMarks.entries[hole] = shotMarks.entries[std::min(hole + 5, 3499)] = ShotMark{-10, -10};
    AddShotMark(7, 9);
    EXPECT_TRUE(shotMarks.entries[hole].x == 7 && shotMarks.entries[hole].y == 9) << hole;
    EXPECT_EQ(usedShotMarks(), std::min(hole + 5, 3500)) << hole;
  }
  EXPECT_EQ(randomDraws(), 0u);
  // The full list's next shot overwrites the entry RandomUpTo(350) draws; a
  // point on the left edge is stored, one left of it would end the list there.
  shotMarks.entries[3499] = ShotMark{1, 1};
  ShotMarkList want = shotMarks;
  want.entries[350] = want.entries[0] = want.entries[175] = ShotMark{0, 701};
  scriptRandom({32767, 0, 16384});
  for (int k = 0; k < 3; ++k) AddShotMark(0, 701);
  AddShotMark(-3, 50);
  EXPECT_EQ(randomDraws(), 4u);
  EXPECT_EQ(0, memcmp(&want, &shotMarks, sizeof want));
  ClearShotMarks();
  EXPECT_EQ(usedShotMarks(), 0);
}

TEST_F(DisplaysTest, TheStripSaysKillsAndTargetsLeftAndLightsAPipForEveryTwoPoints) {
  EXPECT_EQ(std::string(KillsFormat(-1)) + KillsFormat(0) + KillsFormat(1) + KillsFormat(2),
            "  %d kill  %d kills  %d kill  %d kills");
  EXPECT_EQ(std::string(TargetsLeftFormat(-1)) + TargetsLeftFormat(1) + TargetsLeftFormat(2),
            "  %d targets left  %d target left  %d targets left");
  pictures.pip = own(solidSurface(4, 12, 0xF0D020));
  pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
  for (int l = 0; l < 5; ++l)
    pictures.levelDimmed[l] = own(solidSurface(640, 480, 0x100033 * (l + 1)));
  // The panels come from the level's dimmed picture, the Garage's for others:
  // left (16, 462) 88 by 18, right (432, 462) 192 by 18.
  for (auto [energy, lit, level] :
       {std::tuple{100, 50, 0}, {99, 50, 4}, {2, 1, 5}, {1, 1, -1}, {0, 0, 3}, {-3, 0, 0}}) {
    SCOPED_TRACE("energy " + std::to_string(energy) + ", level " + std::to_string(level));
    roundState.energy = energy;
    shell.chosenLevel = level;
    SDL_FillRect(shell.video, nullptr, 0);
    DrawRoundDisplay();
    for (int k : {0, lit - 1, lit, 49}) {
      const uint32_t pip = k < lit ? 0xF0D020 : 0x302010;
      if (k < 0 || k > 49) continue;
      EXPECT_TRUE(screenRgb(120 + 6 * k, 465) == pip && screenRgb(123 + 6 * k, 476) == pip) << k;
      EXPECT_EQ(screenRgb(124 + 6 * k, 470) | screenRgb(120 + 6 * k, 464), 0u) << k;
    }
    const uint32_t panel = 0x100033 * ((level >= 0 && level < 5 ? level : 0) + 1);
    for (auto [x, y] : {std::pair{16, 462}, {103, 479}, {432, 462}, {623, 479}})
      EXPECT_EQ(screenRgb(x, y), panel) << x << "," << y;
    for (auto [x, y] : {std::pair{15, 470}, {104, 470}, {50, 461}, {431, 470}, {624, 470}})
      EXPECT_EQ(screenRgb(x, y), 0u) << x << "," << y;
  }
}

// The backdrop with its twelve dimmed places and the marks over it, drawn
// through the cached layers, mark by mark or as the one-copy scene, must give
// the bytes of drawing every picture one by one with SDL.
TEST_F(DisplaysTest, CachedLayersGiveThePixelsOfDrawingEveryPicture) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = scene(10 + level, level % 2);
    pictures.levelDimmed[level] = scene(20 + level, 2);  // another layout: blits convert
  }
  pictures.shotMark = scene(3, 0, 6, 6);
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY, 0x404040);
  SDL_Surface* junk = scene(99, 0);
  shell.chosenLevel = 1;
  std::mt19937 rng(5);
  auto addRandomMarks = [&](int n) {
    while (n-- > 0) AddShotMark(int(rng() % 660) - 10, int(rng() % 500) - 10);
  };
  auto differs = [&]() -> std::string {
    cover(junk);
    if (shell.chosenLevel >= 0 && shell.chosenLevel < 5) {
      cover(pictures.levelBackdrop[shell.chosenLevel]);
      for (int slot = 0; slot < 12; ++slot) {
        SDL_Rect from{Sint16((slot % 6) * 104 + 16), Sint16(slot < 6 ? 26 : 254), 88, 200},
            to = from;
        SDL_UpperBlit(pictures.levelDimmed[shell.chosenLevel], &from, shell.video, &to);
      }
    }
    for (const ShotMark& m : shotMarks.entries) {
      if (m.x < 0) break;
      // Far-off points leave no mark (rather than wrapping round to the screen).
      if (m.x > 700 || m.y > 700 || m.y < -20) continue;
      SDL_Rect to{Sint16(m.x - 4), Sint16(m.y - 4), 0, 0};
      SDL_UpperBlit(pictures.shotMark, nullptr, shell.video, &to);
    }
    const std::vector<Uint8> want = bytesOf(shell.video);
    const std::pair<void (*)(), void (*)()> ways[] = {{DrawRoundBackdrop, DrawShotMarksOnBackdrop},
                                                      {DrawRoundScene, [] {}},
                                                      {DrawRoundBackdrop, DrawShotMarks}};
    for (size_t k = 0; k < 3; ++k) {
      cover(junk);
      ways[k].first(), ways[k].second();
      if (bytesOf(shell.video) != want) return "way " + std::to_string(k);
    }
    return "";
  };
  // Marks on the edges, partly and wholly off the screen, and piled up.
  for (auto [x, y] : {std::pair{0, 0},
                      {639, 479},
                      {2, 300},
                      {300, 1},
                      {637, 10},
                      {700, 100},
                      {100, 2000},
                      {65540, 100},
                      {100, INT32_MIN},
                      {INT32_MAX, INT32_MAX},
                      {3, -3}})
    AddShotMark(x, y);
  for (int k = 0; k < 15; ++k) AddShotMark(321, 239);
  EXPECT_EQ(differs(), "");
  // Up to a full list, then shots that overwrite entries among the first 351:
  // few changed boxes, many, and more than are mended one by one.
  while (usedShotMarks() < ShotMarkCapacity) {
    addRandomMarks(700);
    ASSERT_EQ(differs(), "") << usedShotMarks() << " marks";
  }
  for (int shots : {1, 12, 30}) {
    addRandomMarks(15 * shots);
    EXPECT_EQ(differs(), "") << shots << " shots";
  }
  // Entries changed behind the list's back, another level, emptied and
  // refilled between two frames as a round is re-armed and replayed.
  shotMarks.entries[17] = ShotMark{5, 470};
  shotMarks.entries[2000] = ShotMark{-10, -10};  // the list now ends there
  EXPECT_EQ(differs(), "");
  shell.chosenLevel = 4;
  addRandomMarks(60);
  EXPECT_EQ(differs(), "");
  ClearShotMarks();
  AddShotMark(10, 10);
  EXPECT_EQ(differs(), "");
  // A new mark picture of another size, blended by alpha; without a whole
  // backdrop, or without a level, the marks are drawn one by one.
  pictures.shotMark = scene(42, 1, 9, 5);
  SDL_SetAlpha(pictures.shotMark, SDL_SRCALPHA, 128);
  addRandomMarks(40);
  EXPECT_EQ(differs(), "");
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_EQ(differs(), "");
  shell.chosenLevel = 9;
  EXPECT_EQ(differs(), "");
}

// What the strip remembered from the last frame, which may no longer fit,
// against a strip drawn with nothing remembered.
TEST_F(DisplaysTest, TheRememberedStripEqualsOneDrawnAfresh) {
  useReadableFont();
  for (int level = 0; level < 5; ++level) pictures.levelDimmed[level] = scene(30 + level, 0);
  pictures.pip = scene(1, 0, 4, 12);
  pictures.pipEmpty = scene(2, 1, 4, 12);
  SDL_Surface* junk[2] = {scene(41, 0), scene(42, 0)};
  std::mt19937 rng(11);
  for (int step = 0; step < 40; ++step) {
    int32_t* changed[] = {&roundState.energy, &roundState.bodyCount, &roundState.targetsLeftShown,
                          &shell.chosenLevel};
    if (step % 6 < 4) *changed[step % 6] = int32_t(rng() % 110) - 5;
    if (step % 6 == 4) std::swap(junk[0], junk[1]);  // other pixels under the strip
    cover(junk[0]);
    DrawRoundDisplay();
    const std::vector<Uint8> got = bytesOf(shell.video);
    cover(junk[0]);
    resetRoundDisplays();
    DrawRoundDisplay();
    ASSERT_EQ(got, bytesOf(shell.video)) << "step " << step;
  }
  releaseReadableFont();
}

TEST_F(DisplaysTest, BlitPictureGivesSdlsPixelsRectanglesAndResults) {
  std::mt19937 rng(7);
  auto rect = [&](int span) {
    auto at = [&] { return Sint16(int(rng() % (2 * span)) - span / 2); };
    return SDL_Rect{at(), at(), Uint16(rng() % span), Uint16(rng() % span)};
  };
  for (int trial = 0; trial < 3000; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    // Mostly the two 24-bit byte orders, where the game's copy takes over.
    const int from = rng() % 3 == 0 ? rng() % 6 : rng() % 2;
    const int to = rng() % 4 == 0 ? rng() % 6 : from < 2 && rng() % 2 ? 1 - from : from;
    SDL_Surface* src = scribble(from, 1 + rng() % 40, 1 + rng() % 40, rng);
    const int w = 1 + rng() % 50, h = 1 + rng() % 50;
    SDL_Surface *dst = scribble(to, w, h, rng), *twin = scribble(to, w, h, rng);
    if (dst->format->palette) SDL_SetColors(twin, dst->format->palette->colors, 0, 256);
    for (int y = 0; y < h; ++y)
      memcpy(static_cast<Uint8*>(twin->pixels) + y * twin->pitch,
             static_cast<Uint8*>(dst->pixels) + y * dst->pitch, w * dst->format->BytesPerPixel);
    const int how = rng() % 4;
    if (how == 1) SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x404040 & (rng() % 2 ? ~0u : 0x4040u));
    if (how == 2) SDL_SetColorKey(src, SDL_SRCCOLORKEY, rng());
    if (how == 3) SDL_SetAlpha(src, SDL_SRCALPHA, Uint8(rng()));
    SDL_Rect clip = rect(50), a = rect(50), b = rect(60), a2 = a, b2 = b;
    if (rng() % 3 == 0) SDL_SetClipRect(dst, &clip), SDL_SetClipRect(twin, &clip);
    const bool wholeSource = rng() % 4 == 0, wholeDest = rng() % 6 == 0;
    ASSERT_EQ(BlitPicture(src, wholeSource ? nullptr : &a2, twin, wholeDest ? nullptr : &b2),
              SDL_UpperBlit(src, wholeSource ? nullptr : &a, dst, wholeDest ? nullptr : &b));
    ASSERT_EQ(bytesOf(twin), bytesOf(dst));
    ASSERT_EQ(std::memcmp(&b2, &b, sizeof b) | std::memcmp(&a2, &a, sizeof a), 0) << "rectangles";
    for (SDL_Surface* s : {src, dst, twin}) SDL_FreeSurface(s);
  }
}
