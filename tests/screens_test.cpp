// The screen loop and the front-end screens, driven through the real loop with
// injected events; texts are read back from the screen in the readable font.
#include "app/screens.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "scores_support.h"

namespace {
struct Stop {};  // thrown by a test's hook to leave the endless loops
using Steps = std::vector<std::function<void()>>;

class ScreensTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
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
    releaseReadableFont();
    GameTest::TearDown();
  }
  // Each time the queue runs dry the next step pushes its events; after the
  // last step the loop is stopped.
  static void script(Steps steps) {
    setIdleHook([steps, next = size_t{0}]() mutable {
      if (next >= steps.size() || shell.screen == ScreenId::Round) throw Stop{};
      steps[next++]();
    });
  }
  // Runs one pass of the screen loop; true when a hook stopped it.
  static bool runPass(Steps steps) {
    script(steps);
    try {
      runScreenPass();
    } catch (const Stop&) {
      return true;
    }
    return false;
  }
  std::vector<ScreenId> trail;  // the screens flipped, in order
};

auto fire = [] {
  pushMouseButton(SDL_BUTTON_LEFT, true, 0, 0);
  pushMouseButton(SDL_BUTTON_LEFT, false, 0, 0);
};
auto button2 = [] { pushMouseButton(SDL_BUTTON_RIGHT, false, 0, 0); };
auto escape = [] { pushKey(SDLK_ESCAPE, true), pushKey(SDLK_ESCAPE, false); };
auto space = [] { pushKey(SDLK_SPACE, false); };
auto nothing = [] {};  // the queue stays empty: a choice screen draws a frame
std::function<void()> shootAt(int x, int y) {
  return [x, y] { pushMouseMotion(x, y), pushMouseButton(SDL_BUTTON_LEFT, false, x, y); };
}

TEST_F(ScreensTest, FireRunsEveryScreenAndBackReturnsToTheTitleChoosingNothing) {
  runPass({fire, fire, fire, nothing, shootAt(430, 70), nothing, shootAt(514, 159)});
  EXPECT_EQ(trail, (std::vector<ScreenId>{ScreenId::Title, ScreenId::Story, ScreenId::DisplayHelp,
                                          ScreenId::WeaponChoice, ScreenId::LevelChoice}));
  EXPECT_TRUE(shell.screen == ScreenId::Round && shell.chosenWeapon == 2 && shell.chosenLevel == 4);
  // Button 2 (or Alt), and Escape followed by any fire, lead straight back.
  const std::function<void()> alt = [] { pushKey(SDLK_LALT, false); };
  for (ScreenId start :
       {ScreenId::Story, ScreenId::DisplayHelp, ScreenId::WeaponChoice, ScreenId::LevelChoice})
    for (const Steps& steps :
         {Steps{button2}, Steps{alt}, Steps{escape, shootAt(100, 100)}, Steps{escape, space}}) {
      shell.screen = start;
      shell.chosenWeapon = shell.chosenLevel = 9;
      EXPECT_FALSE(runPass(steps));
      EXPECT_EQ(shell.screen, ScreenId::Title) << int(start);
      EXPECT_TRUE(!shell.backRequested && shell.chosenWeapon + shell.chosenLevel == 18);
    }
  // Space continues text screens but picks nothing, not even a stale select of
  // an inactive player; a fire on a text screen picks where it aims next.
  players[Mouse].active = false;
  players[Mouse].cursorX = players[Mouse].cursorY = 100;
  menuInput.selectDevice = Mouse;
  EXPECT_TRUE(runPass({space, space, space, space, space}));
  EXPECT_EQ(trail.back(), ScreenId::WeaponChoice);
  EXPECT_EQ(menuInput.selectDevice, -1);
  shell.screen = ScreenId::DisplayHelp;
  EXPECT_TRUE(runPass({shootAt(500, 100), space}));
  EXPECT_TRUE(shell.chosenWeapon == 2 && shell.screen == ScreenId::LevelChoice);
}

TEST_F(ScreensTest, Button2OnTheTitleOrWindowCloseEndsTheProgramWithZero) {
  for (auto [screen, input] : {std::pair{ScreenId::Title, std::function<void()>(button2)},
                               {ScreenId::Title, [] { escape(), fire(); }},
                               {ScreenId::LevelChoice, [] { pushQuit(); }}}) {
    startVideo();
    shell.screen = screen;
    script({input});
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
      {L, 100, 159, 0},  {L, 10, 70, 0},    {L, 125, 159, 0},  {L, 126, 159, -1}, {L, 136, 70, 1},
      {L, 377, 100, 2},  {L, 378, 159, -1}, {L, 503, 159, 3},  {L, 629, 159, 4},  {L, 630, 100, -1},
  };
  for (const auto& s : shots) {
    shell.screen = s.screen;
    shell.chosenWeapon = shell.chosenLevel = -1;
    const bool stayed = runPass({shootAt(s.x, s.y)}) && shell.screen == s.screen;
    const int chosen = s.screen == W ? shell.chosenWeapon : shell.chosenLevel;
    EXPECT_EQ(stayed ? -1 : chosen, s.choice) << int(s.screen) << ": " << s.x << "," << s.y;
  }
}

// The first and last line of each text, the mended words, the rows below the
// last line left empty, the credit line the device report calls for.
TEST_F(ScreensTest, EveryScreenShowsItsTextsAndPictures) {
  useFakeJoysticks(2);
  const struct {
    void (*run)();
    bool kiosk, tracker;
    int sticks;
    std::vector<std::tuple<int, int, std::string>> lines;
  } screens[] = {
      {runTitleScreen,
       false,
       false,
       0,
       {{1, 7, "No tracker detected"},
        {1, 8, "Mouse detected"},
        {1, 9, "Keyboard detected"},
        {1, 10, "No joysticks detected"},
        {1, 11, ""},
        {1, 17, "an input device) and leave (by doing nothing for ten seconds) at any time."},
        {1, 21, "Press fire to continue, or button 2 to exit"},
        {11, 27, ""},
        {25, 27, CreditLineShort}}},
      {runTitleScreen,
       false,
       true,
       1,
       {{1, 7, "Tracker detected"}, {1, 10, "Joystick detected"}, {11, 27, CreditLineLong}}},
      {runTitleScreen, false, false, 2, {{1, 10, "Two joysticks detected"}}},
      {runTitleScreen,
       true,
       false,
       0,
       {{1, 7, "kioskPod version"},
        {1, 9, "This is an one or two player game. The players work collaboratively to master"},
        {1, 14, "leave (by doing nothing for ten seconds) at any time."},
        {1, 18, "Press fire to continue, or button 2 to exit"},
        {1, 19, ""},
        {1, 21, ""}}},
      {runStoryScreen,
       false,
       false,
       0,
       {{1, 1, "Despite all efforts made by the police,"},
        {1, 7, "but avoid hurting any innocent bystanders."},
        {1, 27, "Press fire to continue, or button 2 to go to the title screen"}}},
      {runDisplayHelpScreen,
       false,
       false,
       0,
       {{1, 1, "On the screen during the game there are"},
        {1, 6, "reaches zero you are dead. The number of"},
        {1, 7, "gangsters still to come in the ongoing level"},
        {1, 9, "the screen."},
        {1, 10, ""},
        {1, 27, "Press fire to continue, or button 2 to go to the title screen"}}},
      {runWeaponChoiceScreen,
       false,
       false,
       0,
       {{1, 1, "Weapons"},
        {1, 10, "Smith n' Wesson Model 73"},
        {14, 18, "  Default choice."},
        {27, 17, "  warfare in Lakeport in 1926."},
        {27, 18, ""},
        {1, 27, "Select a weapon, or press button 2 to go to the title screen"}}},
      {runLevelChoiceScreen,
       false,
       false,
       0,
       {{1, 10, "Garage (easy)"},
        {24, 11, "     (medium-hard)"},
        {32, 10, "     Flower Shop"},
        {1, 13, "The shooting accuracy of the gangsters depends"},
        {1, 15, "shooting frequency stays the same in all levels."},
        {1, 20, "the difficulty."},
        {1, 21, ""},
        {1, 27, "Select a level, or press button 2 to go to the title screen"}}},
  };
  for (const auto& s : screens) {
    shell.kioskMode = s.kiosk;
    shell.trackerPresent = s.tracker;
    shell.joystick1 = s.sticks > 0 ? joystickOpen(0) : nullptr;
    shell.joystick2 = s.sticks > 1 ? joystickOpen(1) : nullptr;
    setIdleHook([waited = false]() mutable {
      if (waited) throw Stop{};
      waited = true;
    });
    EXPECT_THROW(s.run(), Stop);
    for (const auto& [column, row, text] : s.lines)
      EXPECT_EQ(screenText(column, row, 90), text) << "at column " << column << ", row " << row;
    if (s.run == runWeaponChoiceScreen || s.run == runLevelChoiceScreen) {
      const bool weapons = s.run == runWeaponChoiceScreen;
      for (int i = 0; i < (weapons ? 3 : 5); ++i) {
        const int left = 10 + (weapons ? 210 : 126) * i, right = left + (weapons ? 199 : 115);
        const uint32_t colour = (weapons ? 0x400000u : 0x500000u) + i;
        EXPECT_EQ(screenRgb(left, 70), colour);
        EXPECT_EQ(screenRgb(right, weapons ? 159 : 157), colour);
        EXPECT_EQ(screenRgb(right + 1, weapons ? 100 : 158), 0x102030u);
      }
    }
  }
  EXPECT_EQ(screenRgb(0, 0), 0x102030u);
}
}  // namespace
