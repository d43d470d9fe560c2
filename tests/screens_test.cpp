// Bitmap fonts and the text grid, and the front-end screens driven through the
// real loop with injected events, their texts read back in the readable font.
#include "app/screens.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "scores_support.h"

namespace {
uint32_t bodyColour(int i) { return 0x100000u + static_cast<uint32_t>(i) * 0x10; }

class FontTest : public GameTest {
 protected:
  void SetUp() override { GameTest::SetUp(), startVideo(), SDL_FillRect(shell.video, nullptr, 0); }
  // Loads a strip: runs of `widths` in the marker row, one marker column apart,
  // bodyColour(i) below; the last run ends at the right edge if `lastTouchesEdge`.
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

TEST_F(FontTest, TheScanMeasuresRunsUpTo223TheSpaceTheHeightAndTheKey) {
  BitmapFont* f = strip({3, 1, 5}, 12);
  ASSERT_TRUE(f && f->height == 12);
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
  EXPECT_EQ(GetSurfacePixel(nullptr, 0, 0), -1) << "a missing picture";
}

TEST_F(FontTest, TextAdvancesByGlyphWidthsSkipsWhatHasNoGlyphIsCutAt1023AndGridCellsPlaceIt) {
  BitmapFont* f = strip(std::vector<int>(223, 2), 5);
  // "!", a space and a line feed (advance 2 and 0, nothing drawn), the name
  // entry's accent 0xB4; strip rows 1 to 4 only.
  DrawText(shell.video, f, 10, 2, "! \n\xB4");
  const std::array<uint32_t, 3> pixels[] = {
      {10, 2, bodyColour(0)},   {11, 5, bodyColour(0)},   {10, 6, 0}, {12, 2, 0},
      {14, 2, bodyColour(147)}, {15, 2, bodyColour(147)}, {16, 2, 0}};
  for (auto [x, y, rgb] : pixels) EXPECT_EQ(screenRgb(x, y), rgb) << x << "," << y;
  EXPECT_EQ(DrawGlyph(nullptr, f, 0, 0, 0xB4) + DrawGlyph(shell.video, nullptr, 0, 0, '!'), 2)
      << "a missing font neither draws nor advances";
  // Only the cut decides whether the character after 1022 line feeds is drawn.
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
  // Grid cells by code, the next row returned even for unknown codes; font k's
  // glyphs k + 1 pixels wide, cell edges 8, 12 and 16, the text's top at row * edge + 15.
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

struct Stop {};  // thrown by a test's hook to leave the endless loops
using Steps = std::vector<std::function<void()>>;

class ScreensTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp(), startVideo(), useReadableFont();
    pictures.frontBackdrop = own(solidSurface(640, 480, 0x102030));
    pictures.title = own(solidSurface(640, 480, 0x203010));
    for (int i = 0; i < 5; ++i) pictures.levelChoice[i] = own(solidSurface(116, 88, 0x500000 + i));
    setFlipHook([] {
      if (shell.screen == ScreenId::Round) throw Stop{};  // a round has begun
    });
  }
  void TearDown() override {
    releaseReadableFont();
    GameTest::TearDown();
  }
  // One pass of the screen loop, a step's events pushed whenever the queue runs
  // dry, stopped after the last. True when a hook stopped it.
  static bool runPass(Steps steps) {
    setIdleHook([steps, next = size_t{0}]() mutable {
      if (next >= steps.size() || shell.screen == ScreenId::Round) throw Stop{};
      steps[next++]();
    });
    try {
      runScreenPass();
    } catch (const Stop&) {
      return true;
    }
    return false;
  }
};

auto button2 = [] { pushMouseButton(SDL_BUTTON_RIGHT, false, 0, 0); };
auto escape = [] { pushKey(SDLK_ESCAPE, true), pushKey(SDLK_ESCAPE, false); };
auto space = [] { pushKey(SDLK_SPACE, false); };
auto leftAlt = [] { pushKey(SDLK_LALT, false); };
std::function<void()> shootAt(int x, int y) {
  return [x, y] { pushMouseMotion(x, y), pushMouseButton(SDL_BUTTON_LEFT, false, x, y); };
}

// Button 2 (or Alt), and Escape then any fire, lead back to the title choosing nothing;
// space continues text screens but picks nothing, not even a stale select of an
// inactive player; a fire on a text screen picks where it aims on the next.
TEST_F(ScreensTest, BackControlsReturnToTheTitleOrEndTheGameThereAndSpacePicksNothing) {
  for (ScreenId start :
       {ScreenId::Story, ScreenId::DisplayHelp, ScreenId::WeaponChoice, ScreenId::LevelChoice})
    for (const Steps& steps :
         {Steps{button2}, Steps{leftAlt}, Steps{escape, shootAt(100, 100)}, Steps{escape, space}}) {
      shell.screen = start;
      shell.chosenWeapon = shell.chosenLevel = 9;
      EXPECT_FALSE(runPass(steps));
      EXPECT_EQ(shell.screen, ScreenId::Title) << int(start);
      EXPECT_TRUE(!shell.backRequested && shell.chosenWeapon + shell.chosenLevel == 18);
    }
  players[Mouse].active = false, menuInput.selectDevice = Mouse;
  players[Mouse].cursorX = players[Mouse].cursorY = 100;
  EXPECT_TRUE(runPass({space, space, space, space, space}));
  EXPECT_TRUE(shell.screen == ScreenId::WeaponChoice && menuInput.selectDevice == -1);
  shell.screen = ScreenId::DisplayHelp;
  EXPECT_TRUE(runPass({shootAt(500, 100), space}));
  EXPECT_TRUE(shell.chosenWeapon == 2 && shell.screen == ScreenId::LevelChoice);
  // On the title, button 2 shuts the game down, then ends it with 0.
  int status = -1;
  setExitHook([&status](int s) { status = s, throw Stop{}; });
  shell.screen = ScreenId::Title;
  EXPECT_TRUE(runPass({button2}) && status == 0 && !SDL_WasInit(SDL_INIT_VIDEO));
}

// Both ends of every hit area pick, the pixels beside them nothing; level areas
// reach two rows below their pictures: every area spans rows 70 to 159.
TEST_F(ScreensTest, HitAreasIncludeBothEnds) {
  const ScreenId W = ScreenId::WeaponChoice, L = ScreenId::LevelChoice;
  // clang-format off
  const struct { ScreenId screen; int left, right, choice; } areas[] = {
      {W, 10, 209, 0},  {W, 220, 419, 1}, {W, 430, 629, 2}, {L, 10, 125, 0},
      {L, 136, 251, 1}, {L, 262, 377, 2}, {L, 388, 503, 3}, {L, 514, 629, 4}};
  for (const auto& a : areas)
    for (auto [x, y, choice] : {std::tuple{a.left, 70, a.choice}, {a.right, 159, a.choice},
         {a.left - 1, 100, -1}, {a.right + 1, 100, -1}, {a.left, 69, -1}, {a.right, 160, -1}}) {
      // clang-format on
      shell.screen = a.screen;
      shell.chosenWeapon = shell.chosenLevel = -1;
      const bool stayed = runPass({shootAt(x, y)}) && shell.screen == a.screen;
      const int chosen = a.screen == W ? shell.chosenWeapon : shell.chosenLevel;
      EXPECT_EQ(stayed ? -1 : chosen, choice) << int(a.screen) << ": " << x << "," << y;
    }
}

// The rows each screen writes on and where they start; the title's device report
// and kiosk help, their last lines and the row below (the whole games show the
// title with no stick, one stick or the tracker).
TEST_F(ScreensTest, EveryScreenShowsItsTextsAndPictures) {
  useFakeJoysticks(2), shell.trackerPresent = false;  // until a report says otherwise
  // Each row: '.' empty, else 'a' + the cell column its first text starts in.
  // clang-format off
  const struct { void (*run)(); int kiosk, sticks; const char* layout; } shown[] = {
      {runTitleScreen, 0, 2, ".......bbbb.bbb.bb.b.b.....z.."},
      {runTitleScreen, 1, 0, ".......b.bb.bbb.b.b........z.."},
      {runWeaponChoiceScreen, 0, 0, ".b........bbbbboooo........b.."},
      {runLevelChoiceScreen, 0, 0, ".b........bj.bbbbbbbb......b.."}};
  const std::tuple<int, int, int, const char*> lines[] = {
      {0, 1, 10, "Two joysticks detected"}, {0, 25, 27, CreditLineShort},
      {1, 1, 7, "kioskPod version"}, {1, 1, 18, "Press fire to continue, or button 2 to exit"}};
  // clang-format on
  // The mouse's crosshair, in the bottom right corner, drawn on the choice screens only.
  pictures.crosshair[Mouse] = own(solidSurface(4, 4, 0x00FFFF)), players[Mouse].active = true;
  players[Mouse].cursorX = 636 + 15, players[Mouse].cursorY = 476 + 15;
  arrowHeld[ArrowRight] = true;  // the keyboard's crosshair steps on the choice screens
  for (int k = 0; k < 4; ++k) {
    players[Keyboard].cursorX = 100, arrowStepTime[ArrowRight] = 0;
    shell.kioskMode = shown[k].kiosk;
    shell.joystick1 = shown[k].sticks > 0 ? joystickOpen(0) : nullptr;
    shell.joystick2 = shown[k].sticks > 1 ? joystickOpen(1) : nullptr;
    setIdleHook([waited = false]() mutable {
      if (waited) throw Stop{};
      waited = true;
    });
    EXPECT_THROW(shown[k].run(), Stop);
    for (auto [screen, column, row, text] : lines)
      EXPECT_TRUE(screen != k || screenText(column, row, 90) == text)
          << k << ": " << screenText(column, row, 90);
    EXPECT_EQ(std::tuple(screenRgb(639, 479) == 0x00FFFF, players[Keyboard].cursorX > 100),
              std::tuple(k >= 2, k >= 2))
        << k;
    std::string layout;
    for (int row = 0; row < 30; ++row) {
      const std::string text = screenText(0, row, 640);
      layout += text.empty() ? '.' : char('a' + text.find_first_not_of(' ') / 16);
    }
    EXPECT_EQ(layout, shown[k].layout) << k;
  }
}
}  // namespace
