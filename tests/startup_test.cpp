// The program's start and end: start-up over a temporary game directory (the
// progress row, every picture in its slot with its key, kiosk mode, missing
// files, the joysticks), the records' start values and the generator, and a
// stop signal at the end of a round, which waits until the result is stored.
#include <SDL.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game/round.h"
#include "game_files.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/random.h"
#include "platform/signals.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t PipColour = 0xFFD000;
constexpr uint32_t BackdropColour = 0x202830;

class StartupTest : public GameTest {
 protected:
  // Every picture as a BMP of its own colour (SDL_image reads by content),
  // the backdrops in the screen's size.
  void SetUp() override {
    GameTest::SetUp();
    uint32_t colour = 0x010203;
    for (const std::string name : PictureFiles) {
      const bool backdrop = name.find("640x480") != std::string::npos;
      writeBmp("pics/" + name, backdrop ? 640 : 4, backdrop ? 480 : 12,
               name == "le5_4x12.bmp"        ? PipColour
               : name.rfind("pic32", 0) == 0 ? BackdropColour
                                             : (colour += 0x030507));
    }
    for (int kind = 0; kind < 13; ++kind)
      for (bool hit : {false, true})
        writeBmp("pics/" + figureFile(kind, hit), 4, 12, kind * 2 + hit);
    for (const char* f : FontFiles) writeBmp(std::string("pics/") + f, 40, 10, 0x00FF00);
    for (int id = 0; id < SampleCount; ++id) writeWav(samplePath(id), 64);
  }
  static int start(std::vector<const char*> args = {}) {
    args.insert(args.begin(), "lakeport-nights");
    return startupGame(static_cast<int>(args.size()), const_cast<char**>(args.data()));
  }
};
}  // namespace

TEST_F(StartupTest, OneProgressStepAPictureEndsWithExactlyOneHundredPipsAndEveryPictureInItsSlot) {
  int flips = 0, lastPictureFlip = 0;
  setFlipHook([&] {
    ++flips;
    if (pictures.pipEmpty && !lastPictureFlip) lastPictureFlip = flips;
  });
  ASSERT_EQ(start(), 0);
  // The backdrop, a step for each picture but the nine flashes, then the
  // place table, the tracker and the steps that fill the row.
  EXPECT_EQ(lastPictureFlip, 1 + 55);
  EXPECT_EQ(flips, 1 + 61);
  int pips = 0;
  for (int x = 1; x < 640; ++x)
    pips += screenRgb(x, 450) == PipColour && screenRgb(x - 1, 450) != PipColour;
  EXPECT_EQ(pips, 100);
  for (auto [x, y] : {std::pair{18, 445}, {615, 456}}) EXPECT_EQ(screenRgb(x, y), PipColour);
  for (auto [x, y] : {std::pair{17, 445}, {616, 450}, {615, 457}, {615, 444}})
    EXPECT_EQ(screenRgb(x, y), BackdropColour);
  char *title = nullptr, *icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  EXPECT_EQ(std::string(title) + "|" + icon, "Lakeport Nights|Lakeport Nights");
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  auto keyed = [](SDL_Surface* s, uint32_t key) {
    return s && (s->flags & SDL_SRCCOLORKEY) &&
           s->format->colorkey == SDL_MapRGB(s->format, key >> 16, key >> 8 & 255, key & 255);
  };
  EXPECT_TRUE(keyed(pictures.shotMark, 0xFFFFFF) && keyed(pictures.keyboard, 0xA8A594));
  for (SDL_Surface* s : pictures.muzzleFlash) EXPECT_TRUE(keyed(s, 0));
  for (SDL_Surface* s : pictures.crosshair) EXPECT_TRUE(keyed(s, 0));
  for (BitmapFont* f : pictures.fonts) EXPECT_NE(f, nullptr);
  EXPECT_EQ(pictures.levelDimmed[0], pictures.frontBackdrop);
  // Each figure and its hit picture in its kind's slot; the Tire Store and
  // Smoke Shop at their own level indexes.
  for (int k = 0; k < 13; ++k) {
    const int32_t shown = GetSurfacePixel(pictures.figure[k], 3, 11);
    EXPECT_EQ(shown * 2 + GetSurfacePixel(pictures.figureHit[k], 0, 0), 6 * k + 1) << k;
  }
  EXPECT_NE(GetSurfacePixel(pictures.levelBackdrop[1], 0, 0),
            GetSurfacePixel(pictures.levelBackdrop[3], 0, 0));
}

TEST_F(StartupTest, MissingFilesAreNamedOnceAndOneArgumentIsKioskModeWithUpToTwoJoysticks) {
  for (const char* f : {"title.jpg", "cross_c_02.bmp", "pussycat18.png"})
    remove((std::string("pics/") + f).c_str());
  // Exactly one argument is kiosk mode; two joysticks of three are opened.
  useFakeJoysticks(3);
  captureStderr();
  ASSERT_EQ(start({"--anything"}), 0);
  EXPECT_TRUE(shell.kioskMode && shell.joystick1 && shell.joystick2 && !joystickOpened(2));
  std::string said;
  for (const char* f :
       {"font ./pics/pussycat18.png", "picture ./pics/cross_c_02.bmp", "picture ./pics/title.jpg"})
    said += "lakeport-nights: cannot load " + std::string(f) + ": Couldn't open " + strchr(f, '.') +
            "\n";
  EXPECT_EQ(capturedStderr(), said);
  EXPECT_TRUE(!pictures.title && !pictures.crosshair[2] && !pictures.fonts[2]);
  EXPECT_TRUE(pictures.crosshair[3] && pictures.fonts[3]);
  SDL_Quit();
  resetGameState();
  std::filesystem::remove_all("pics");
  useFakeJoysticks(1);
  captureStderr();
  ASSERT_EQ(start({"two", "arguments"}), 0);
  EXPECT_TRUE(!shell.kioskMode && shell.joystick1 && !shell.joystick2);
  EXPECT_EQ(capturedStderr(), "lakeport-nights: there is no pics/ folder in " + dir +
                                  ": start the game in its game directory\n");
  shutdownGame();
  EXPECT_FALSE(joystickOpened(0) || SDL_WasInit(SDL_INIT_VIDEO));
}

namespace {
// Runs in a freshly started copy of the test program, before any reset: the
// real program never calls the resets that every test relies on.
bool startValuesMatchTheResets() {
  const ShellState s = shell;
  const Player mouse = players[Mouse], tracker = players[Tracker];
  const MenuInput menu = menuInput;
  const RoundState round = roundState;
  const int32_t shots = totalShots;
  resetGameState();
  return s.screen == ScreenId::Title && s.trackerPresent && s.chosenWeapon == SixShooter &&
         mouse.cursorX == 320 && tracker.cursorX == -1 && !mouse.active && round.energy == 100 &&
         shots == 0 && memcmp(&round, &roundState, sizeof round) == 0 &&
         menu.selectDevice == menuInput.selectDevice && menu.backDevice == menuInput.backDevice &&
         std::tie(s.screen, s.backRequested, s.kioskMode, s.trackerPresent, s.chosenWeapon,
                  s.chosenLevel, s.video, s.joystick1, s.joystick2) ==
             std::tie(shell.screen, shell.backRequested, shell.kioskMode, shell.trackerPresent,
                      shell.chosenWeapon, shell.chosenLevel, shell.video, shell.joystick1,
                      shell.joystick2);
}
}  // namespace

// The generator also repeats per seed; the highest draw gives RandomUpTo(n) n.
TEST(ProgramStart, RecordsHoldTheSameValuesTheirResetsGiveAndTheGeneratorRepeatsPerSeed) {
  // The thread-safe death test style starts the test program anew.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exit(startValuesMatchTheResets() ? 0 : 1), ::testing::ExitedWithCode(0), "");
  seedRandom(1);
  EXPECT_EQ(std::vector<int32_t>({randomInt(), randomInt(), randomInt()}),
            (std::vector<int32_t>{16838, 5758, 10113}));
  scriptRandom({32767, 16384});
  EXPECT_EQ(RandomUpTo(12) * 100 + RandomUpTo(100), 1250);
  seedRandom(1);
}

namespace {
class StopSignalTest : public GameTest {
 protected:
  void TearDown() override {
    restoreStopSignals();
    GameTest::TearDown();
  }
};
}  // namespace

// SIGTERM alone: the test runner may have started with SIGINT or SIGHUP
// ignored, which the game keeps. A score of 1 takes the last row as
// "Anonymous", a score of 0 leaves the table as it was.
TEST_F(StopSignalTest, RoundEndStoresTheResultAsACancelledEntryThenEndsBySignal) {
  std::string table;
  for (int i = 1; i <= 10; ++i)
    table += std::to_string(i) + " P" + std::to_string(i) + " " + std::to_string(10 - i) +
             " 1 9 1 -M---\n";
  const std::string taken = table.substr(0, table.find("10 P10")) + "10 Anonymous 1 1 10 1 -M---\n";
  for (auto [score, inTheEntry, want] :
       {std::tuple{1, false, taken}, {1, true, taken}, {0, false, table}}) {
    startVideo();
    setExitHook([](int status) { throw ProgramExit{status}; });
    writeFile("data/data00.dat", table);
    installStopSignals(stopGame);
    roundState.bodyCount = score;
    roundState.playerCount = 1;
    totalShots = 10;
    shell.chosenLevel = 0;
    players[Mouse].active = true;
    FrameScript script;  // a screen that does not end fails the test
    if (inTheEntry)      // after a letter is typed; else during the 350 ms wait
      script.then([] { mouseFireAt(28, 386); }).then([] {}).then([] { raise(SIGTERM); });
    else
      setFakeSleepHook([](uint32_t ms) {
        if (ms == 350) raise(SIGTERM);
      });
    int status = -1;
    try {
      RunRoundEnd();
    } catch (const ProgramExit& e) {
      status = e.status;
    }
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "shutdownGame did not run";
    EXPECT_EQ(readFile("data/data00.dat"), want);
    setFakeSleepHook(nullptr);
    resetGameState();
  }
}
