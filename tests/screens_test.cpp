// The screen loop and the front-end screens, driven through the real loop with
// injected events. Texts are read back from the screen: the test font draws
// every byte as a 3-pixel block whose red value is the byte itself.
#include "app/screens.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/joystick.h"

namespace {
constexpr int GlyphWidth = 3;
constexpr uint32_t GlyphTag = 0x1122;  // green and blue of every glyph pixel

// Thrown by a test's hook to leave the endless loops.
struct Stop {};

// A strip of 3-pixel glyphs for bytes 33 to 126, each filled with (byte, 0x11, 0x22).
void writeTestFont(const std::string& path) {
  const int glyphs = 126 - 33 + 1;
  const int w = 1 + glyphs * (GlyphWidth + 1), h = 4;
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0xFF, 0x00, 0xFF));  // transparent
  SDL_Rect marker{0, 0, static_cast<Uint16>(w), 1};
  SDL_FillRect(s, &marker, SDL_MapRGB(s->format, 0x00, 0xFF, 0x00));
  for (int i = 0; i < glyphs; ++i) {
    SDL_Rect glyph{static_cast<Sint16>(1 + i * (GlyphWidth + 1)), 0, GlyphWidth,
                   static_cast<Uint16>(h)};
    SDL_FillRect(s, &glyph, SDL_MapRGB(s->format, static_cast<Uint8>(33 + i), 0x11, 0x22));
  }
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
  SDL_FreeSurface(s);
}

SDL_Surface* solidSurface(int w, int h, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  SDL_FillRect(s, nullptr, rgb);  // the surface's masks make 0xRRGGBB its pixel value
  return s;
}

// What a screen shows at one grid cell.
struct Line {
  int column, row;
  const char* text;  // "" for nothing at all
};

class ScreensTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    writeTestFont("pics/pussycat18.png");
    pictures.fonts[2] = LoadBitmapFont("pics/pussycat18.png");
    ASSERT_NE(pictures.fonts[2], nullptr);
    pictures.frontBackdrop = own(solidSurface(640, 480, 0x102030));
    pictures.title = own(solidSurface(640, 480, 0x203010));
    for (int i = 0; i < 3; ++i) pictures.weaponChoice[i] = own(solidSurface(200, 90, 0x400000 + i));
    for (int i = 0; i < 5; ++i) pictures.levelChoice[i] = own(solidSurface(116, 88, 0x500000 + i));
    setFlipHook([this] {
      if (shell.screen == ScreenId::Round) throw Stop{};  // a round has begun
      if (trail.empty() || trail.back() != shell.screen) trail.push_back(shell.screen);
    });
  }
  void TearDown() override {
    GameTest::TearDown();
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
  }
  SDL_Surface* own(SDL_Surface* s) {
    owned.push_back(s);
    return s;
  }

  // The text drawn at a grid cell, up to the first six empty cells or the edge.
  static std::string textAt(int column, int row) {
    std::string text;
    int blanks = 0;
    for (int x = column * 16 + 1; x < 640 && blanks < 6; x += GlyphWidth) {
      const uint32_t rgb = screenRgb(x, row * 16 + 16);
      const bool glyph = (rgb & 0xFFFF) == GlyphTag;
      text += glyph ? static_cast<char>(rgb >> 16) : ' ';
      blanks = glyph ? 0 : blanks + 1;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  static void expectLines(std::initializer_list<Line> lines) {
    for (const Line& l : lines)
      EXPECT_EQ(textAt(l.column, l.row), l.text) << "at column " << l.column << ", row " << l.row;
  }

  // Each time the queue runs dry the next step pushes its events; after the
  // last step the loop is stopped.
  void script(std::vector<std::function<void()>> steps) {
    auto next = std::make_shared<size_t>(0);
    setIdleHook([steps, next] {
      if (*next >= steps.size() || shell.screen == ScreenId::Round) throw Stop{};
      steps[(*next)++]();
    });
  }
  // Runs one pass of the screen loop; true when a hook stopped it.
  static bool runPass() {
    try {
      runScreenPass();
    } catch (const Stop&) {
      return true;
    }
    return false;
  }
  // Runs the screen until it has drawn and waits for input a second time.
  static void showScreen(void (*screen)()) {
    setIdleHook([waited = false]() mutable {
      if (waited) throw Stop{};
      waited = true;
    });
    EXPECT_THROW(screen(), Stop);
  }

  std::vector<ScreenId> trail;  // the screens flipped, in order
  std::vector<SDL_Surface*> owned;
};

auto fire = [] {
  pushMouseButton(SDL_BUTTON_LEFT, true, 0, 0);
  pushMouseButton(SDL_BUTTON_LEFT, false, 0, 0);
};
auto button2 = [] { pushMouseButton(SDL_BUTTON_RIGHT, false, 0, 0); };
auto escape = [] {
  pushKey(SDLK_ESCAPE, true);
  pushKey(SDLK_ESCAPE, false);
};
auto space = [] { pushKey(SDLK_SPACE, false); };
auto nothing = [] {};  // the queue stays empty: a choice screen draws a frame
std::function<void()> shootAt(int x, int y) {
  return [x, y] {
    pushMouseMotion(x, y);
    pushMouseButton(SDL_BUTTON_LEFT, false, x, y);
  };
}

TEST_F(ScreensTest, FireRunsEveryFrontScreenInOnePass) {
  script({fire, fire, fire, nothing, shootAt(430, 70), nothing, shootAt(514, 159)});
  runPass();
  EXPECT_EQ(trail, (std::vector<ScreenId>{ScreenId::Title, ScreenId::Story, ScreenId::DisplayHelp,
                                          ScreenId::WeaponChoice, ScreenId::LevelChoice}));
  EXPECT_EQ(shell.screen, ScreenId::Round);
  EXPECT_EQ(shell.chosenWeapon, 2);
  EXPECT_EQ(shell.chosenLevel, 4);
  EXPECT_FALSE(shell.backRequested);
}

// Button 2 (or Alt), and Escape followed by any fire, lead straight back to
// the title from every other front screen, choosing nothing.
TEST_F(ScreensTest, Button2GoesStraightBackToTheTitle) {
  const std::function<void()> alt = [] { pushKey(SDLK_LALT, false); };
  for (ScreenId start :
       {ScreenId::Story, ScreenId::DisplayHelp, ScreenId::WeaponChoice, ScreenId::LevelChoice}) {
    for (const auto& steps :
         {std::vector<std::function<void()>>{button2}, std::vector<std::function<void()>>{alt},
          std::vector<std::function<void()>>{escape, shootAt(100, 100)},
          std::vector<std::function<void()>>{escape, space}}) {
      shell.screen = start;
      script(steps);
      EXPECT_FALSE(runPass());
      EXPECT_EQ(shell.screen, ScreenId::Title) << int(start);
      EXPECT_FALSE(shell.backRequested);
      EXPECT_EQ(shell.chosenWeapon, 1);
      EXPECT_EQ(shell.chosenLevel, 0);
    }
  }
}

TEST_F(ScreensTest, Button2OnTheTitleOrWindowCloseEndsTheProgramWithZero) {
  const struct {
    ScreenId screen;
    std::function<void()> input;
  } ends[] = {{ScreenId::Title, button2},
              {ScreenId::Title, [] { escape(), fire(); }},
              {ScreenId::LevelChoice, [] { pushQuit(); }}};
  for (const auto& end : ends) {
    startVideo();
    shell.screen = end.screen;
    script({end.input});
    int status = -1;
    try {
      runScreenLoop();
    } catch (const ProgramExit& e) {
      status = e.status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "shutdownGame did not run";
  }
}

TEST_F(ScreensTest, SpaceContinuesTextScreensButPicksNothing) {
  // A stale select of an inactive player picks nothing either.
  players[Mouse].cursorX = players[Mouse].cursorY = 100;
  menuInput.selectDevice = Mouse;
  script({space, space, space, space, space});
  EXPECT_TRUE(runPass());
  EXPECT_EQ(shell.screen, ScreenId::WeaponChoice);
  EXPECT_EQ(trail.back(), ScreenId::WeaponChoice);
  EXPECT_EQ(menuInput.selectDevice, -1);
}

TEST_F(ScreensTest, TextScreensLeaveTheSelectingDeviceInPlace) {
  shell.screen = ScreenId::DisplayHelp;
  script({shootAt(500, 100), space});
  EXPECT_TRUE(runPass());
  EXPECT_EQ(shell.chosenWeapon, 2);
  EXPECT_EQ(shell.screen, ScreenId::LevelChoice);
  EXPECT_EQ(menuInput.selectDevice, -1);
}

TEST_F(ScreensTest, ChoicesAreKeptAcrossTheTitle) {
  shell.screen = ScreenId::WeaponChoice;
  script({shootAt(10, 70), shootAt(400, 150)});
  runPass();
  EXPECT_EQ(shell.chosenWeapon, 0);
  EXPECT_EQ(shell.chosenLevel, 3);
  shell.screen = ScreenId::Title;  // as the end of the round would
  trail.clear();
  script({fire, fire, fire, nothing, button2});
  EXPECT_FALSE(runPass());
  EXPECT_EQ(trail.back(), ScreenId::WeaponChoice);
  EXPECT_EQ(shell.screen, ScreenId::Title);
  EXPECT_EQ(shell.chosenWeapon, 0);
  EXPECT_EQ(shell.chosenLevel, 3);
}

// Where a mouse shot at (x, y) leads from a choice screen: the choice made, or
// -1 when the screen stays.
int shotChoice(ScreenId screen, int x, int y) {
  shell.screen = screen;
  shell.chosenWeapon = shell.chosenLevel = -1;
  setIdleHook([x, y, shot = false]() mutable {
    if (shot) throw Stop{};
    shot = true;
    shootAt(x, y)();
  });
  try {
    screen == ScreenId::WeaponChoice ? runWeaponChoiceScreen() : runLevelChoiceScreen();
  } catch (const Stop&) {
    EXPECT_EQ(shell.screen, screen);
    return -1;
  }
  EXPECT_EQ(shell.screen,
            screen == ScreenId::WeaponChoice ? ScreenId::LevelChoice : ScreenId::Round);
  return screen == ScreenId::WeaponChoice ? shell.chosenWeapon : shell.chosenLevel;
}

// Both ends of every hit area pick; the gaps between them pick nothing. The
// level areas reach two rows below their pictures.
TEST_F(ScreensTest, HitAreasIncludeBothEnds) {
  const ScreenId W = ScreenId::WeaponChoice, L = ScreenId::LevelChoice;
  const struct {
    ScreenId screen;
    int x, y, choice;
  } shots[] = {
      {W, 209, 159, 0},  {W, 10, 70, 0},    {W, 210, 100, -1}, {W, 9, 100, -1},   {W, 100, 69, -1},
      {W, 100, 160, -1}, {W, 220, 70, 1},   {W, 419, 159, 1},  {W, 420, 100, -1}, {W, 629, 159, 2},
      {L, 100, 159, 0},  {L, 130, 100, -1}, {L, 10, 70, 0},    {L, 125, 159, 0},  {L, 126, 159, -1},
      {L, 136, 70, 1},   {L, 377, 100, 2},  {L, 378, 159, -1}, {L, 503, 159, 3},  {L, 629, 159, 4},
      {L, 630, 100, -1}, {L, 300, 160, -1},
  };
  for (const auto& s : shots)
    EXPECT_EQ(shotChoice(s.screen, s.x, s.y), s.choice)
        << int(s.screen) << ": " << s.x << "," << s.y;
}

TEST_F(ScreensTest, TitleShowsTheDeviceReportAndTheShortCreditLine) {
  shell.trackerPresent = false;
  showScreen(runTitleScreen);
  EXPECT_EQ(screenRgb(0, 0), 0x203010u);
  expectLines(
      {{1, 7, "No tracker detected"},
       {1, 8, "Mouse detected"},
       {1, 9, "Keyboard detected"},
       {1, 10, "No joysticks detected"},
       {1, 11, ""},
       {1, 17, "an input device) and leave (by doing nothing for ten seconds) at any time."},
       {1, 21, "Press fire to continue, or button 2 to exit"},
       {11, 27, ""},
       {25, 27, CreditLineShort}});
  EXPECT_EQ(std::string(CreditLineShort).find_first_not_of(' '), 2u);
}

TEST_F(ScreensTest, TitleWithTrackerAndSticksReportsThemAndTheLongCreditLine) {
  useFakeJoysticks(2);
  shell.trackerPresent = true;
  shell.joystick1 = joystickOpen(0);
  showScreen(runTitleScreen);
  expectLines({{1, 7, "Tracker detected"}, {1, 10, "Joystick detected"}, {11, 27, CreditLineLong}});
  EXPECT_EQ(std::string(CreditLineLong).find_first_not_of(' '), 2u);

  shell.joystick2 = joystickOpen(1);
  showScreen(runTitleScreen);
  expectLines({{1, 10, "Two joysticks detected"}});
}

TEST_F(ScreensTest, KioskTitleShowsItsHelpAndNoDeviceReport) {
  shell.kioskMode = true;
  shell.trackerPresent = false;
  showScreen(runTitleScreen);
  expectLines(
      {{1, 7, "kioskPod version"},
       {1, 9, "This is an one or two player game. The players work collaboratively to master"},
       {1, 14, "leave (by doing nothing for ten seconds) at any time."},
       {1, 18, "Press fire to continue, or button 2 to exit"},
       {1, 19, ""},
       {1, 21, ""},
       {25, 27, CreditLineShort}});
}

TEST_F(ScreensTest, StoryAndHelpTexts) {
  showScreen(runStoryScreen);
  EXPECT_EQ(screenRgb(0, 0), 0x102030u);
  expectLines({{1, 1, "Despite all efforts made by the police,"},
               {1, 27, "Press fire to continue, or button 2 to go to the title screen"}});

  showScreen(runDisplayHelpScreen);
  expectLines({{1, 1, "On the screen during the game there are"},
               {1, 10, ""},
               {1, 27, "Press fire to continue, or button 2 to go to the title screen"}});
}

TEST_F(ScreensTest, ChoiceScreenTextsAndPictures) {
  showScreen(runWeaponChoiceScreen);
  expectLines({{1, 1, "Weapons"},
               {1, 10, "Smith n' Wesson Model 73"},
               {27, 10, "  1921 Thompson machine gun"},
               {27, 17, "  warfare in Lakeport in 1926."},
               {27, 18, ""},
               {1, 27, "Select a weapon, or press button 2 to go to the title screen"}});
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(screenRgb(10 + 210 * i, 70), 0x400000u + i);
    EXPECT_EQ(screenRgb(209 + 210 * i, 159), 0x400000u + i);
    EXPECT_EQ(screenRgb(210 + 210 * i, 100), 0x102030u);
  }

  showScreen(runLevelChoiceScreen);
  expectLines({{1, 1, "Levels"},
               {1, 10, "Garage (easy)"},
               {24, 11, "     (medium-hard)"},
               {32, 10, "     Flower Shop"},
               {1, 15, "shooting frequency stays the same in all levels."},
               {1, 20, "the difficulty."},
               {1, 21, ""},
               {1, 27, "Select a level, or press button 2 to go to the title screen"}});
  for (int i = 0; i < 5; ++i) {
    const int left = 10 + 126 * i;
    EXPECT_EQ(screenRgb(left, 70), 0x500000u + i);
    EXPECT_EQ(screenRgb(left + 115, 157), 0x500000u + i);
    EXPECT_EQ(screenRgb(left + 116, 158), 0x102030u);
  }
}

// Nothing of either credit line is cut off at the right edge in the real font.
TEST_F(ScreensTest, BothCreditLinesFitOnScreenWithTheDefaultFont) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  std::unique_ptr<BitmapFont> font(LoadBitmapFont("pics/pussycat18.png"));
  ASSERT_NE(font, nullptr);
  const auto width = [&](const char* text) {
    int w = 0;
    for (const char* p = text; *p; ++p) w += font->glyphs[static_cast<unsigned char>(*p)].w;
    return w;
  };
  EXPECT_LE(11 * 16 + width(CreditLineLong), 640);
  EXPECT_LE(25 * 16 + width(CreditLineShort), 640);
  SDL_FreeSurface(font->surface);
}
}  // namespace
