// The in-round displays and their fast paths against SDL's own drawing; the game
// picture on screens of every size: where it lies, points both ways, the flip.
#include "game/displays.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/random.h"

namespace {
// Random bytes, colour keys often among them, in 24-bit RGB, BGR or 32-bit.
SDL_Surface* scribble(int layout, int w, int h, std::mt19937& rng) {
  static const Uint32 m[3][4] = {
      {24, 0xFF0000, 0xFF00, 0xFF}, {24, 0xFF, 0xFF00, 0xFF0000}, {32, 0xFF0000, 0xFF00, 0xFF}};
  const Uint32* f = m[layout];
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f[0], f[1], f[2], f[3], 0);
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w * s->format->BytesPerPixel; ++x)
      static_cast<Uint8*>(s->pixels)[y * s->pitch + x] = Uint8(rng() % 3 == 0 ? 0x40 : rng());
  return s;
}

std::vector<Uint8> bytesOf(SDL_Surface* s) {
  const Uint8* p = static_cast<const Uint8*>(s->pixels);
  return std::vector<Uint8>(p, p + s->h * s->pitch);
}

class DisplaysTest : public FiguresTest {
 protected:
  SDL_Surface* scene(int seed, int layout, int w = 640, int h = 480) {
    std::mt19937 rng(seed);
    return own(scribble(layout, w, h, rng));
  }
  static void cover(SDL_Surface* with) { SDL_UpperBlit(with, nullptr, shell.video, nullptr); }
  // The round's displays over the whole of `under`, clipped, remembered or afresh.
  static std::vector<Uint8> drawOver(SDL_Surface* under, SDL_Rect clip, bool afresh) {
    SDL_SetClipRect(shell.video, nullptr), cover(under), SDL_SetClipRect(shell.video, &clip);
    if (afresh) resetRoundDisplays();
    DrawRoundDisplay();
    return bytesOf(shell.video);
  }
};

// Screens of 4:3, 16:9 and 5:4, frames of 0, 3 and 10 percent (t pixels thick), a width
// no multiple of four, windows smaller than the game or 0 wide, a picture over 5 times its width.
// clang-format off
const struct { int w, h, percent, t; SDL_Rect picture; } screens[] = {
    {1920, 1080, 0, 0, {240, 0, 1440, 1080}}, {1280, 1024, 0, 0, {0, 32, 1280, 960}},
    {3840, 2160, 0, 0, {480, 0, 2880, 2160}}, {1000, 700, 0, 0, {33, 0, 933, 700}},
    {600, 400, 0, 0, {33, 0, 533, 400}}, {320, 240, 0, 0, {0, 0, 320, 240}},
    {479, 360, 0, 0, {0, 0, 479, 359}}, {3300, 2475, 0, 0, {0, 0, 3300, 2475}},
    {640, 480, 3, 14, {19, 14, 602, 452}}, {0, 600, 0, 0, {0, 0, 640, 480}},
    {640, 480, 0, 0, {0, 0, 640, 480}}, {640, 480, 10, 48, {64, 48, 512, 384}},
    {1920, 1080, 3, 32, {283, 32, 1354, 1016}}, {1920, 1080, 10, 108, {384, 108, 1152, 864}},
    {1280, 1024, 3, 30, {30, 54, 1220, 915}}, {1280, 1024, 10, 102, {102, 108, 1076, 807}}};
// clang-format on

class ScreenMapping : public GameTest {};  // the fixture puts back plain 640x480
}  // namespace

TEST_F(DisplaysTest, ShotMarksFillTheFirstFreeEntryThenOverwriteAmongTheFirst351) {
  for (int hole : {0, 5, 31, 32, 33, 34, 35, 3487, 3488, 3499}) {  // the next one a block later
    const int next = std::min(hole + 33, 3499);
    for (int i = 0; i < ShotMarkCapacity; ++i) shotMarks.entries[i] = ShotMark{i % 640, i % 480};
    shotMarks.entries[hole] = shotMarks.entries[next] = ShotMark{-10, -10};
    AddShotMark(7, 9);
    EXPECT_TRUE(shotMarks.entries[hole].x == 7 && shotMarks.entries[hole].y == 9) << hole;
    EXPECT_EQ(usedShotMarks(), next == hole ? 3500 : next) << hole;
  }
  // A full list's shot overwrites the entry RandomUpTo(350) draws; x 0 is stored.
  shotMarks.entries[3499] = ShotMark{1, 1};
  ShotMarkList want = shotMarks;
  want.entries[350] = want.entries[0] = want.entries[175] = ShotMark{0, 701};
  scriptRandom({32767, 0, 16384});
  for (int k = 0; k < 3; ++k) AddShotMark(0, 701);
  AddShotMark(-3, 50);
  EXPECT_EQ(randomDraws(), 4u);
  EXPECT_EQ(0, memcmp(&want, &shotMarks, sizeof want));
}

// The strip's words, pips and panels; remembered from the last frame or afresh.
TEST_F(DisplaysTest, TheStripSaysKillsAndTargetsLeftLightsAPipForEveryTwoPointsAndIsRemembered) {
  useReadableFont(), pictures.pip = own(solidSurface(4, 12, 0xF0D020));
  pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
  for (int l = 0; l < 5; ++l)
    pictures.levelDimmed[l] = own(solidSurface(640, 480, 0x100033 * (l + 1)));
  SDL_Surface* junk = scene(41, 0);
  // Panels (16, 462) 88 by 18 and (432, 462) 192 by 18, the Garage's if no level.
  for (auto [energy, lit, level] :
       {std::tuple{100, 50, 0}, {99, 50, 4}, {2, 1, 5}, {1, 1, -1}, {0, 0, 1}, {-3, 0, 3}}) {
    SCOPED_TRACE("energy " + std::to_string(energy) + ", level " + std::to_string(level));
    roundState.energy = energy, roundState.bodyCount = level, roundState.targetsLeftShown = lit;
    shell.chosenLevel = level, SDL_FillRect(shell.video, nullptr, 0);
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
    EXPECT_EQ(screenText(1, 28, 160) + "|" + screenText(27, 28, 200),
              "  " + std::to_string(level) + (std::abs(level) == 1 ? " kill" : " kills") + "|  " +
                  std::to_string(lit) + (lit == 1 ? " target left" : " targets left"));
    const std::vector<Uint8> remembered =
        drawOver(junk, {0, 0, 640, 480}, false);  // other pixels under it
    EXPECT_EQ(remembered, drawOver(junk, {0, 0, 640, 480}, true));
    EXPECT_TRUE(drawOver(junk, {0, 0, 640, 480}, false) == remembered && layerWork.stripDraws == 1);
  }
  // One thing changed at a time, a remembered strip is still a fresh one's pixels.
  std::mt19937 rng(9);
  SDL_Surface* otherPip = own(solidSurface(4, 12, 0x20F0D0));
  SDL_Rect clip{0, 0, 640, 480};
  for (int step = 0; step < 150; ++step) {
    switch (rng() % 7) {
      case 0: roundState.energy = int(rng() % 102) - 1; break;
      case 1: roundState.bodyCount = int(rng() % 40) - 5; break;
      case 2: roundState.targetsLeftShown = int(rng() % 31); break;
      case 3: shell.chosenLevel = int(rng() % 6); break;
      case 4: std::swap(pictures.pip, otherPip); break;
      case 5: (rng() % 2 ? clip.x : clip.y) = Sint16(rng() % 2 ? 0 : 440 + rng() % 40); break;
      case 6: (rng() % 2 ? clip.w : clip.h) = Uint16(rng() % 2 ? 640 : rng() % 40); break;
    }
    const std::vector<Uint8> remembered = drawOver(junk, clip, false);
    ASSERT_EQ(remembered, drawOver(junk, clip, true)) << "step " << step;
  }
  SDL_SetClipRect(shell.video, nullptr), releaseReadableFont();
}

// The backdrop, its twelve dimmed places and the marks give SDL's bytes every way.
TEST_F(DisplaysTest, CachedLayersGiveThePixelsOfDrawingEveryPicture) {
  for (int level = 0; level < 5; ++level) {
    pictures.levelBackdrop[level] = scene(10 + level, level % 2);
    pictures.levelDimmed[level] = scene(20 + level, 2);  // another layout: blits convert
  }
  pictures.shotMark = scene(3, 0, 6, 6);
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY, 0x404040), shell.chosenLevel = 1;
  SDL_Surface* junk = scene(99, 0);
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
      cover(junk), ways[k].first(), ways[k].second();
      if (bytesOf(shell.video) != want) return "way " + std::to_string(k);
    }
    return "";
  };
  // Marks on the edges, partly and wholly off the screen, and piled up.
  const std::pair<int, int> edges[] = {
      {0, 0},     {639, 479},  {2, 300},     {300, 1},         {637, 10},
      {700, 100}, {100, 2000}, {65540, 100}, {100, INT32_MIN}, {INT32_MAX, INT32_MAX},
      {3, -3}};
  for (auto [x, y] : edges) AddShotMark(x, y);
  for (int k = 0; k < 15; ++k) AddShotMark(321, 239);
  EXPECT_EQ(differs(), "");
  // Up to a full list, then overwrites: few changed boxes, many, too many.
  while (usedShotMarks() < ShotMarkCapacity) {
    addRandomMarks(700);
    ASSERT_EQ(differs(), "") << usedShotMarks() << " marks";
  }
  // Frames that change nothing draw nothing: a shot's 15 overwritten entries
  // repaint their boxes, 49 marks; 180 or more redraw the whole scene.
  for (int shots : {1, 12, 30}) {
    const LayerWork was = layerWork;
    addRandomMarks(15 * shots);
    EXPECT_TRUE(differs() == "" && layerWork.baseBuilds == was.baseBuilds &&
                layerWork.sceneRedraws == was.sceneRedraws + (shots > 1) &&
                (shots > 1 || layerWork.sceneMarks == was.sceneMarks + 49))
        << shots;
  }
  // Entries changed behind the list's back (two a row apart, one showing only its
  // bottom row), another level, a re-armed round.
  shotMarks.entries[0] = ShotMark{5, 470}, shotMarks.entries[1] = ShotMark{8, 471};
  shotMarks.entries[2] = ShotMark{20, -1};
  EXPECT_EQ(differs(), "");
  shotMarks.entries[2000] = ShotMark{-10, -10};  // the list now ends there
  const uint64_t builds = layerWork.baseBuilds;
  shell.chosenLevel = 4, addRandomMarks(60);
  EXPECT_TRUE(differs() == "" && layerWork.baseBuilds == builds + 1);
  ClearShotMarks(), AddShotMark(10, 10);
  EXPECT_EQ(differs(), "");
  pictures.shotMark = scene(4, 1, 6, 6);  // another picture alone, keyed BGR
  SDL_SetColorKey(pictures.shotMark, SDL_SRCCOLORKEY, 0x404040);
  EXPECT_EQ(differs(), "");
  // Another mark size, blended; no backdrop or no level: marks one by one.
  pictures.shotMark = scene(42, 1, 9, 5), SDL_SetAlpha(pictures.shotMark, SDL_SRCALPHA, 128);
  addRandomMarks(40);
  EXPECT_EQ(differs(), "");
  pictures.shotMark = scene(43, 0, 1, 1);  // a mark of one pixel, one moved
  EXPECT_EQ(differs(), "");
  shotMarks.entries[1] = shotMarks.entries[0], --shotMarks.entries[0].x;  // the first a pixel left
  EXPECT_EQ(differs(), "");
  pictures.levelDimmed[4] = scene(77, 2);  // the places' picture alone, then the backdrop
  EXPECT_EQ(differs(), "");
  for (int level = 0; level < 5; ++level) {  // keyed backdrops, drawn directly
    SDL_SetColorKey(pictures.levelBackdrop[shell.chosenLevel = level], SDL_SRCCOLORKEY, 0x404040);
    EXPECT_EQ(differs(), "") << level;
  }
  pictures.levelBackdrop[4] = nullptr;
  EXPECT_EQ(differs(), "");
  shell.chosenLevel = 9;
  EXPECT_EQ(differs(), "");
}

// The weapon keys' label stands for 1500 ms from its own key, in round frames.
TEST_F(DisplaysTest, AWeaponKeySwitchesAndItsLabelShowsFor1500Ms) {
  useReadableFont(), pictures.levelBackdrop[0] = own(solidSurface(640, 480, 0x101010));
  pictures.levelDimmed[0] = own(solidSurface(640, 480, 0x202060)), shell.chosenLevel = 0;
  auto rowZeroAfter = [](uint32_t ms) {  // as the frame ms later is flipped
    advanceFakeClock(ms);
    std::string seen;
    setFlipHook([&seen] { seen = screenText(1, 0, 240); }), RunRoundFrame(), setFlipHook(nullptr);
    return seen;
  };
  for (auto [key, label] :
       {std::pair{SDLK_2, "[Revolver]"}, {SDLK_1, "[single shot]"}, {SDLK_3, "[Thompson]"}}) {
    pushKey(key, true), pushKey(key, false);
    const uint32_t keyedAt = (RunRoundFrame(), ticksMs());
    EXPECT_EQ(shell.chosenWeapon, key - SDLK_1) << "the key switches the weapon too";
    EXPECT_EQ(rowZeroAfter(0), label);
    EXPECT_EQ(rowZeroAfter(keyedAt + 1499 - ticksMs()), label);
    EXPECT_EQ(rowZeroAfter(keyedAt + 1500 - ticksMs()), "");
  }
  releaseReadableFont();
}

TEST_F(ScreenMapping, PictureIsTheLargestCentredBoxInsideItsFrameAndPointsMapBothWays) {
  for (const auto& s : screens) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h) + " " + std::to_string(s.percent));
    display.framePercent = s.percent;
    setDisplayGeometry(s.w, s.h);
    const SDL_Rect& p = display.picture;
    EXPECT_EQ(0, memcmp(&p, &s.picture, sizeof p));
    const SDL_Rect frame{Sint16(p.x - s.t), Sint16(p.y - s.t), Uint16(p.w + 2 * s.t),
                         Uint16(p.h + 2 * s.t)};
    EXPECT_EQ(0, memcmp(&display.frame, &frame, sizeof frame));
    // Every game pixel is shown where the picture is as large as the game, and
    // the warp's point comes back within a pixel (the same one there).
    const int off = p.w >= GameWidth ? 0 : 1;
    int gx, gy, sx, sy;
    for (int g = 0; g < GameWidth; ++g) {
      gameToScreen(g, g * GameHeight / GameWidth, &sx, &sy), screenToGame(sx, sy, &gx, &gy);
      ASSERT_TRUE(!outsidePicture(sx, sy) && abs(gx - g) <= off &&
                  abs(gy - g * GameHeight / GameWidth) <= off)
          << g;
    }
    // The frame's corners count as the picture's nearest corners.
    screenToGame(frame.x, frame.y, &gx, &gy);
    screenToGame(frame.x + frame.w - 1, frame.y + frame.h - 1, &sx, &sy);
    EXPECT_TRUE(outsidePicture(frame.x, frame.y) == (s.t > 0) && gx <= off && gy <= off &&
                sx >= GameWidth - 1 - off && sy >= GameHeight - 1 - off);
  }
  // An event put back comes out alike, then the one behind it; the player's own
  // pointer mode is kept.
  startVideo(), display.framePercent = 0, setDisplayGeometry(1280, 1024);
  pushMouseButton(SDL_BUTTON_LEFT, true, 641, 1000), pushQuit();
  SDL_Event got{};
  ASSERT_TRUE(pollEvent(&got));
  unreadEvent(got);
  ASSERT_TRUE(pollEvent(&got) && got.button.x == 320 && got.button.y == 479);
  ASSERT_TRUE(pollEvent(&got) && got.type == SDL_QUIT);
  // The pointer hides by having no pixels, unless the player asks SDL for
  // relative motion: then SDL hides it.
  for (const char* relative : {"0", "1"}) {
    setenv("SDL_MOUSE_RELATIVE", relative, 1), SDL_ShowCursor(SDL_ENABLE), hidePointer();
    EXPECT_TRUE(*relative == '0' ? pointerHidden() : SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE);
  }
  unsetenv("SDL_MOUSE_RELATIVE");
}

// LAKEPORT_BORDER and LAKEPORT_SCREEN read, then the frame drawn with the whole
// picture and kept by the flips that scale changed rows only.
TEST_F(ScreenMapping, SettingsAreReadStrictlyAndTheFrameStandsBetweenBarsAndPicture) {
  // A screen SDL refuses (here there is no video driver at all): no screen and
  // no window flag, for start-up to say so.
  setenv("SDL_VIDEODRIVER", "none", 1), setenv("LAKEPORT_SCREEN", "window", 1);
  EXPECT_TRUE(!openGameScreen() && !display.windowed);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // The window: the largest multiple of the game inside nine tenths of the desktop.
  for (auto [w, h, times] :
       {std::tuple{1440, 1067, 2}, {1422, 1067, 1}, {1440, 1066, 1}, {0, 0, 1}, {3840, 2160, 4}})
    EXPECT_EQ(windowScale(w, h), times) << w << "x" << h;
  // LAKEPORT_SCREEN: a window, the real mode, or one line and the whole screen.
  startVideo();
  for (auto [value, window] : {std::pair{"window", true}, {"640x480", false}, {"Window", false}}) {
    setenv("LAKEPORT_SCREEN", value, 1), captureStderr();
    EXPECT_NE(openGameScreen(), nullptr);
    const std::string said = capturedStderr();
    EXPECT_TRUE(display.windowed == window &&
                (*value == 'W' ? oneLineAbout(said, "LAKEPORT_SCREEN=W") : said.empty()))
        << value << said;
    resetDisplay();
  }
  unsetenv("LAKEPORT_SCREEN");
  // clang-format off
  const struct { const char* value; int percent; Uint32 rgb; } borders[] = {
      {"", 0, 0xFFFFFF}, {"0", 0, 0xFFFFFF}, {"10,blue", 10, 0xFF}, {"11", -1, 0xFFFFFF},
      {"3,pink", -1, 0xFFFFFF}, {"3,", -1, 0xFFFFFF}, {",red", -1, 0xFFFFFF}, {"3x", -1, 0xFFFFFF},
      {"0003", -1, 0xFFFFFF}, {"3,red", 3, 0xFF0000}};  // the frame the rest draws
  // clang-format on
  for (const auto& b : borders) {  // -1: not understood, no frame
    setenv("LAKEPORT_BORDER", b.value, 1), captureStderr(), readFrameSetting();
    const std::string said = capturedStderr();
    EXPECT_TRUE(display.framePercent == std::max(b.percent, 0) && display.frameColour == b.rgb &&
                (b.percent < 0 ? oneLineAbout(said, std::string("LAKEPORT_BORDER=") + b.value)
                               : said.empty()))
        << b.value;
  }
  unsetenv("LAKEPORT_BORDER");
  // 3 % of a 640 by 480 screen, in red: the frame from x 5 and y 0, 14 thick.
  setDisplayGeometry(GameWidth, GameHeight);
  display.game = SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000, 0xFF00,
                                      0xFF, 0);  // resetDisplay frees it
  display.screen =
      own(SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0));
  display.fullUpdatesLeft = 1;
  auto at = [](int x, int y) {
    return static_cast<Uint32*>(display.screen->pixels)[y * display.screen->pitch / 4 + x];
  };
  for (Uint32 grey : {0x808080u, 0x404040u}) {  // every row changes
    const int flip = grey == 0x404040;
    SDL_FillRect(display.game, nullptr, grey);
    presentFrame(display.game);
    EXPECT_EQ(at(4, 240), 0u) << flip;  // a bar
    for (auto [x, y] : {std::pair{5, 240}, {634, 240}, {320, 0}, {320, 13}, {18, 466}})
      EXPECT_EQ(at(x, y), 0xFF0000u) << flip << " " << x << "," << y;
    EXPECT_EQ(at(19, 14), grey);
  }
  display.windowed = true;
  resizeScreen(800, 600);  // the player's new size: the frame 18 thick from x 6, the picture at 24
  EXPECT_TRUE(at(5, 300) == 0 && at(6, 300) == 0xFF0000u && at(24, 300) == 0x404040u);
  EXPECT_EQ((display.screen = nullptr, presentFrame(display.game)), -1) << "a size refused";
}

TEST_F(ScreenMapping, ScaledPictureShowsTheMappedGamePixelInTheScreensLayout) {
  SDL_Surface* game = own(
      SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0));
  for (int y = 0; y < GameHeight; ++y)
    for (int x = 0; x < GameWidth; ++x) {
      Uint8* at = static_cast<Uint8*>(game->pixels) + y * game->pitch + 3 * x;
      at[0] = Uint8(x * 7 + y), at[1] = Uint8(y), at[2] = Uint8(x);  // blue, green, red
    }
  // Both layouts, with and without the byte shuffle (processors without SSSE3).
  for (int pass = 0; pass < 4; ++pass)
    for (int k = 0; k < 8; ++k) {
      const Uint32 red = pass & 1 ? 0xFF : 0xFF0000;
      display.shuffleRows = pass < 2;
      SCOPED_TRACE(std::to_string(screens[k].w) + (red == 0xFF ? " BGR " : " RGB ") +
                   std::to_string(pass));
      setDisplayGeometry(screens[k].w, screens[k].h);
      SDL_Surface* screen = own(SDL_CreateRGBSurface(SDL_SWSURFACE, screens[k].w, screens[k].h, 32,
                                                     red, 0xFF00, red ^ 0xFF00FF, 0));
      SDL_FillRect(screen, nullptr, 0x01010101), scalePicture(game, screen, true);
      // Shuffles where the processor can and 4 columns span 4 pixels, else by layout.
      const RowWay slow = k == 7     ? RowWay::Spread
                          : pass & 1 ? RowWay::OtherLayout
                                     : RowWay::SameLayout;
      EXPECT_EQ(display.rowWay,
                pass < 2 && k != 5 && k != 6 && canShuffleRows() ? RowWay::Shuffle : slow);
      int wrong = 0;
      for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x) {
          Uint32 expected = 0x01010101;  // the bars are left alone
          int gx, gy;
          screenToGame(x, y, &gx, &gy);
          if (!outsidePicture(x, y))
            expected = SDL_MapRGB(screen->format, Uint8(gx), Uint8(gy), Uint8(gx * 7 + gy));
          wrong += static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x] != expected;
        }
      EXPECT_EQ(wrong, 0);
      if (screens[k].w < GameWidth) continue;  // its screen rows show rows 240 and 241 at once
      // A later frame writes only the game rows it changed, first, middle, last.
      Uint32* px = static_cast<Uint32*>(screen->pixels);
      int sx, sy, bandRows = 0, rowsOfChanged = 0;
      gameToScreen(5, 240, &sx, &sy);
      px[sy * screen->pitch / 4 + sx] = 0x01010101;
      for (int g : {0, 241, 479}) static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      EXPECT_EQ(scalePicture(game, screen, false), 3);
      EXPECT_EQ(px[sy * screen->pitch / 4 + sx], 0x01010101u);
      for (int g : {0, 241, 479}) {
        gameToScreen(5, g, &sx, &sy);
        EXPECT_EQ(px[sy * screen->pitch / 4 + sx],
                  SDL_MapRGB(screen->format, 5, Uint8(g), Uint8((35 + g) ^ 0xFF)));
        static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      }
      for (int r : display.gameRow) rowsOfChanged += r == 0 || r == 241 || r == 479;
      for (const SDL_Rect& b : display.bands) bandRows += b.h;
      EXPECT_EQ(bandRows, rowsOfChanged);
    }
}
