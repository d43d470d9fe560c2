// The screen loop and the front-end screens, driven through the real loop with
// injected events; texts are read back from the screen in the readable font.
#include "app/screens.h"

#include <gtest/gtest.h>

#include <functional>
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
    for (int i = 0; i < 5; ++i) pictures.levelChoice[i] = own(solidSurface(116, 88, 0x500000 + i));
    setFlipHook([] {
      if (shell.screen == ScreenId::Round) throw Stop{};  // a round has begun
    });
  }
  void TearDown() override {
    releaseReadableFont();
    GameTest::TearDown();
  }
  // Runs one pass of the screen loop; each time the queue runs dry the next
  // step pushes its events, after the last the loop is stopped. True when a
  // hook stopped it.
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
std::function<void()> shootAt(int x, int y) {
  return [x, y] { pushMouseMotion(x, y), pushMouseButton(SDL_BUTTON_LEFT, false, x, y); };
}

// Button 2 (or Alt), and Escape followed by any fire, lead straight back to
// the title from every other screen, choosing nothing; space continues text
// screens but picks nothing, not even a stale select of an inactive player; a
// fire on a text screen picks where it aims on the next.
TEST_F(ScreensTest, BackControlsReturnToTheTitleOrEndTheGameThereAndSpacePicksNothing) {
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
  players[Mouse].active = false;
  players[Mouse].cursorX = players[Mouse].cursorY = 100;
  menuInput.selectDevice = Mouse;
  EXPECT_TRUE(runPass({space, space, space, space, space}));
  EXPECT_EQ(shell.screen, ScreenId::WeaponChoice);
  EXPECT_EQ(menuInput.selectDevice, -1);
  shell.screen = ScreenId::DisplayHelp;
  EXPECT_TRUE(runPass({shootAt(500, 100), space}));
  EXPECT_TRUE(shell.chosenWeapon == 2 && shell.screen == ScreenId::LevelChoice);
  // On the title, button 2 shuts the game down, then ends it with 0.
  int status = -1;
  setExitHook([&status](int s) { status = s, throw Stop{}; });
  shell.screen = ScreenId::Title;
  EXPECT_TRUE(runPass({button2}) && status == 0 && !SDL_WasInit(SDL_INIT_VIDEO));
}

// Both ends of every hit area pick; the gaps between them pick nothing. The
// level areas reach two rows below their pictures.
TEST_F(ScreensTest, HitAreasIncludeBothEnds) {
  const ScreenId W = ScreenId::WeaponChoice, L = ScreenId::LevelChoice;
  // clang-format off
  const struct { ScreenId screen; int x, y, choice; } shots[] = {{W, 10, 70, 0}, {W, 209, 159, 0},
      {W, 210, 100, -1}, {W, 9, 100, -1}, {W, 100, 69, -1}, {W, 100, 160, -1}, {W, 220, 70, 1},
      {W, 629, 159, 2}, {L, 125, 159, 0}, {L, 126, 159, -1}, {L, 136, 70, 1}, {L, 377, 100, 2},
      {L, 378, 159, -1}, {L, 503, 159, 3}, {L, 629, 159, 4}, {L, 630, 100, -1}};
  // clang-format on
  for (const auto& s : shots) {
    shell.screen = s.screen;
    shell.chosenWeapon = shell.chosenLevel = -1;
    const bool stayed = runPass({shootAt(s.x, s.y)}) && shell.screen == s.screen;
    const int chosen = s.screen == W ? shell.chosenWeapon : shell.chosenLevel;
    EXPECT_EQ(stayed ? -1 : chosen, s.choice) << int(s.screen) << ": " << s.x << "," << s.y;
  }
}

// The device report and the credit line it calls for, the last line of each
// text and the row below it, the mended words.
TEST_F(ScreensTest, EveryScreenShowsItsTextsAndPictures) {
  useFakeJoysticks(2);
  const char* const toTitle = "Press fire to continue, or button 2 to go to the title screen";
  const char* const toExit = "Press fire to continue, or button 2 to exit";
  // clang-format off
  const struct { void (*run)(); int kiosk, tracker, sticks; } shown[] = {{runTitleScreen, 0, 0, 0},
      {runTitleScreen, 0, 1, 1}, {runTitleScreen, 0, 0, 2}, {runTitleScreen, 1, 0, 0},
      {runStoryScreen, 0, 0, 0}, {runDisplayHelpScreen, 0, 0, 0}, {runWeaponChoiceScreen, 0, 0, 0},
      {runLevelChoiceScreen, 0, 0, 0}};
  const std::tuple<int, int, int, const char*> lines[] = {
      {0, 1, 7, "No tracker detected"}, {0, 1, 10, "No joysticks detected"}, {0, 1, 11, ""},
      {0, 1, 21, toExit}, {0, 25, 27, CreditLineShort}, {1, 1, 7, "Tracker detected"},
      {1, 1, 10, "Joystick detected"}, {1, 11, 27, CreditLineLong},
      {2, 1, 10, "Two joysticks detected"}, {3, 1, 7, "kioskPod version"}, {3, 1, 18, toExit},
      {3, 1, 19, ""}, {3, 1, 21, ""}, {4, 1, 7, "but avoid hurting any innocent bystanders."},
      {4, 1, 8, ""}, {4, 1, 27, toTitle}, {5, 1, 6, "reaches zero you are dead. The number of"},
      {5, 1, 7, "gangsters still to come in the ongoing level"}, {5, 1, 10, ""}, {5, 1, 27, toTitle},
      {6, 14, 18, "  Default choice."}, {6, 27, 18, ""},
      {6, 1, 27, "Select a weapon, or press button 2 to go to the title screen"},
      {7, 1, 13, "The shooting accuracy of the gangsters depends"},
      {7, 1, 15, "shooting frequency stays the same in all levels."}, {7, 1, 21, ""},
      {7, 1, 27, "Select a level, or press button 2 to go to the title screen"}};
  // clang-format on
  for (int k = 0; k < 8; ++k) {
    shell.kioskMode = shown[k].kiosk, shell.trackerPresent = shown[k].tracker;
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
  }
  // The level pictures, the last drawn, stand in their areas' first 88 rows.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(screenRgb(10 + 126 * i, 70) + screenRgb(125 + 126 * i, 157), 2 * (0x500000u + i));
    EXPECT_EQ(screenRgb(126 + 126 * i, 158), 0x102030u) << i;
  }
}
}  // namespace
