// The program's start (progress row, picture slots, missing files, kiosk mode,
// start values, the generator, the default art) and its end by a stop signal.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game/round.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/random.h"
#include "platform/sdl_library.h"
#include "platform/signals.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
// The picture of figure kind 0 to 12 (0 to 7 the gangsters), shot or not.
inline std::string figureFile(int kind, bool hit) {
  return std::string(hit ? "target_hit_" : "target_") + "nopqnopqdeghk"[kind] + "_01_88x200" +
         (kind >= 4 && kind < 8 ? "_mirror" : "") + ".bmp";
}

using DefaultArtTest = GameTest;

class StartupTest : public GameTest {
 protected:
  // Every file of the default art again as a BMP of its own colour (SDL_image
  // reads by content): 4 by 12 pictures, 640 by 480 backdrops, plain fonts.
  void SetUp() override {
    GameTest::SetUp();
    const std::filesystem::path art = LAKEPORT_GAME_BUILD_DIR "/pics";
    if (!std::filesystem::exists(art / "title.jpg"))
      GTEST_SKIP() << "the build made no default art";
    uint32_t colour = 0x010203;
    for (const auto& file : std::filesystem::directory_iterator(art)) {
      const std::string name = file.path().filename();
      int w = 4, h = 12;
      uint32_t rgb = colour += 0x030507;
      if (name.find("640x480") != std::string::npos) w = 640, h = 480;
      if (name.find(".png") != std::string::npos) w = 40, h = 10, rgb = 0x00FF00;
      writeBmp("pics/" + name, w, h, rgb);
    }
    std::filesystem::remove("sounds");
    std::filesystem::create_directory_symlink(art.parent_path() / "sounds", "sounds");
  }
  static int start(std::vector<const char*> args = {}) {
    args.insert(args.begin(), "lakeport-nights");
    return startupGame(static_cast<int>(args.size()), const_cast<char**>(args.data()));
  }
};

TEST_F(StartupTest, OneProgressStepAPictureThenTheRowFilledAndEveryPictureInItsSlot) {
  int flips = 0, lastPictureFlip = 0;
  setFlipHook([&] {
    ++flips;
    if (pictures.pipEmpty && !lastPictureFlip) lastPictureFlip = flips;
  });
  ASSERT_EQ(start(), 0);
  // The backdrop, a step a picture but the nine flashes, then the row filled
  // (the whole games hash what it shows).
  EXPECT_EQ(lastPictureFlip, 1 + 55);
  EXPECT_EQ(flips, 1 + 61);
  char *title = nullptr, *icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  EXPECT_EQ(std::string(title) + "|" + icon, "Lakeport Nights|Lakeport Nights");
  EXPECT_TRUE(pointerHidden());
  std::string hints;  // SDL 2's, set for it: its software renderer, pads read as classic SDL does
  for (const char* hint :
       {"SDL_RENDER_DRIVER", "SDL_FRAMEBUFFER_ACCELERATION", "SDL_JOYSTICK_HIDAPI"})
    hints += getenv(hint) ? std::string(getenv(hint)) + " " : "- ";
  EXPECT_EQ(hints, onSdl12Compat() ? "software 0 0 " : "- - - ");
  auto keyed = [](SDL_Surface* s, uint32_t key) {
    return s && (s->flags & SDL_SRCCOLORKEY) &&
           s->format->colorkey == SDL_MapRGB(s->format, key >> 16, key >> 8 & 255, key & 255);
  };
  for (SDL_Surface* s : pictures.crosshair) EXPECT_TRUE(keyed(s, 0));  // the tracker's too
  for (BitmapFont* f : pictures.fonts) EXPECT_TRUE(f && keyed(f->surface, 0x00FF00));  // 24-bit
  // Every picture slot (the fields before the fonts) holds a picture of its own,
  // save the Garage's dimmed backdrop.
  SDL_Surface* const* slots = &pictures.frontBackdrop;
  const std::vector<SDL_Surface*> all(slots, slots + offsetof(PictureSet, fonts) / sizeof *slots);
  EXPECT_EQ(std::set<SDL_Surface*>(all.begin(), all.end()).size(), all.size() - 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), nullptr), 0);
  // Every sound slot holds a chunk of its own, save the title's four copies of one.
  const std::set<Mix_Chunk*> chunks(soundBank.samples, soundBank.samples + SampleCount);
  EXPECT_EQ(chunks.size() - chunks.count(nullptr), SampleCount - 3u);
}

TEST_F(StartupTest, MissingFilesAndDevicesAreNamedOnceAndOneArgumentIsKioskModeWithUpToTwoSticks) {
  // A sound device that cannot be opened: one line and status 1, the screen left first.
  setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1), startVideo(), captureStderr();
  int status = 0;  // the game went on
  try {
    loadSoundBank();
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  EXPECT_TRUE(oneLineAbout(capturedStderr(), "no audio device could be opened: "));
  EXPECT_EQ(std::tuple(status, SDL_WasInit(SDL_INIT_EVERYTHING)), std::tuple(1, 0u));
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (const char* f : {"title.jpg", "cross_c_02.bmp", "pussycat18.png"})
    remove((std::string("pics/") + f).c_str());
  useFakeJoysticks(2), captureStderr();
  ASSERT_EQ(start({"--anything"}), 0);
  EXPECT_TRUE(shell.kioskMode && shell.joystick1 && shell.joystick2);
  std::string said;
  for (const char* f :
       {"font ./pics/pussycat18.png", "picture ./pics/cross_c_02.bmp", "picture ./pics/title.jpg"})
    said += "lakeport-nights: cannot load " + std::string(f) + ": Couldn't open " + strchr(f, '.') +
            "\n";
  EXPECT_EQ(capturedStderr(), said);
  SDL_Quit(), resetGameState();  // again, with no pictures or sounds at all and one stick, a gun
  std::filesystem::remove_all("pics"), std::filesystem::remove("sounds"), useFakeJoysticks(1);
  ASSERT_EQ((setenv("LAKEPORT_GUNS", "1", 1), captureStderr(), start({"two", "arguments"})), 0);
  EXPECT_TRUE(!shell.kioskMode && shell.joystick1 && !shell.joystick2 && guns[Joystick1].gun);
  EXPECT_EQ(capturedStderr(), "lakeport-nights: there is no pics/ folder in " + dir +
                                  ": start the game in its game directory\n"
                                  "lakeport-nights: there is no sounds/ folder in " +
                                  dir + ": the game runs silent\n");
  shutdownGame();
  EXPECT_FALSE(joystickOpened(0) || SDL_WasInit(SDL_INIT_VIDEO));
}

// The real program asked for its usage or version, without a display: it
// says so on standard output and ends with status 0, starting nothing (with
// SDL started it would fail here); the version names the SDL it runs on.
TEST(InformationArguments, HelpAndVersionPrintAndEndWithoutADisplay) {
  const std::string game = LAKEPORT_BINARY_DIR "/lakeport-nights";
  FILE* p = popen(("env -u DISPLAY -u SDL_VIDEODRIVER sh -c '" + game + " --help; echo $?; " +
                   game + " --version; echo $?; SDL_VIDEODRIVER=none " + game + "; echo $?' 2>&1")
                      .c_str(),
                  "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  for (char b[256]; size_t n = fread(b, 1, sizeof b, p);) out.append(b, n);
  pclose(p);
  const size_t version = out.find("\n0\nLakeport Nights ");  // the usage ended with status 0
  ASSERT_NE(version, std::string::npos) << out;
  const size_t failed = out.rfind("\nlakeport-nights: SDL could not be initialised: ") + 1;
  EXPECT_EQ(out.substr(version + 3, failed - version - 3),
            "Lakeport Nights " LAKEPORT_VERSION "\nSDL: " + sdlLibraryName() + "\n0\n");
  EXPECT_NE(sdlLibraryName().find(onSdl12Compat() ? " over SDL 2." : "classic SDL 1.2."),
            std::string::npos);
  EXPECT_EQ(std::count(out.begin() + failed, out.end(), '\n'), 2) << out;
  EXPECT_EQ(out.substr(out.size() - 3), "\n1\n");
  EXPECT_EQ(out.rfind("Usage: lakeport-nights [ARGUMENT]\n", 0), 0u);
  for (const char* named :
       {"LAKEPORT_SCREEN=window", "LAKEPORT_BORDER=", "LAKEPORT_GUN_CROSSHAIR=off",
        "LAKEPORT_GUNS=", "LAKEPORT_TRACKER_PORT=", "kiosk", "data/"})
    EXPECT_NE(out.find(named), std::string::npos) << named;
}

// Runs in a freshly started copy of the test program, before any reset: the
// real program never calls the resets that every test relies on. The shell,
// round and players start from the very values their resets copy; the clock
// and the sticks are SDL's.
bool startValuesMatchTheResets() {
  const MenuInput menu = menuInput;
  const int32_t shots = totalShots;
  const bool sdls = !fakeClockInUse() && !fakeJoysticksInUse();
  resetGameState();
  return sdls && shots == totalShots && menu.selectDevice == menuInput.selectDevice &&
         menu.backDevice == menuInput.backDevice;
}

// The generator also repeats per seed; the highest draw gives RandomUpTo(n) n.
TEST(ProgramStart, RecordsHoldTheSameValuesTheirResetsGiveAndTheGeneratorRepeatsPerSeed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exit(startValuesMatchTheResets() ? 0 : 1), ::testing::ExitedWithCode(0), "");
  const auto start = std::chrono::steady_clock::now();  // the tracker's wait at start-up:
  sleepMs(1000);  // the real clock's sleep lasts its whole second and more
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  seedRandom(1);
  EXPECT_EQ(std::vector<int32_t>({randomInt(), randomInt(), randomInt()}),
            (std::vector<int32_t>{16838, 5758, 10113}));
  scriptRandom({32767, 16384});
  EXPECT_EQ(RandomUpTo(12) * 100 + RandomUpTo(100), 1250);
  seedRandom(1);
}

class StopSignalTest : public GameTest {
 protected:
  void TearDown() override {
    restoreStopSignals();
    GameTest::TearDown();
  }
};

// SIGTERM (a runner may ignore SIGINT and SIGHUP, which the game keeps) or the
// window closed: a score of 1 takes the last row as "Anonymous", 0 leaves the
// table alone; the window's end has status 0.
TEST_F(StopSignalTest, RoundEndStoresTheResultAsACancelledEntryThenEndsBySignalOrWindow) {
  std::string table;
  for (int i = 1; i <= 10; ++i)
    table += std::to_string(i) + " P " + std::to_string(10 - i) + " 1 9 1 -M---\n";
  const std::string taken = table.substr(0, table.find("10 P ")) + "10 Anonymous 1 1 10 1 -M---\n";
  for (auto [score, inTheEntry, window, want] : {std::tuple{1, false, false, taken},
                                                 {1, true, false, taken},
                                                 {0, false, false, table},
                                                 {1, true, true, taken},
                                                 {1, false, true, taken}}) {
    startVideo();
    int status = -1;
    setExitHook([&status](int s) { status = s, throw ProgramExit{s}; });
    writeFile("data/data00.dat", table);
    struct sigaction before, interrupt, term;  // SIGINT is the game's too, unless ignored
    sigaction(SIGINT, nullptr, &before);
    const auto hangUp = signal(SIGHUP, SIG_IGN);  // as nohup leaves it, and so it stays
    installStopSignals(stopGame), sigaction(SIGINT, nullptr, &interrupt);
    sigaction(SIGTERM, nullptr, &term);  // reads and writes go on after it
    EXPECT_EQ(
        std::tuple(interrupt.sa_handler, term.sa_flags & SA_RESTART, signal(SIGHUP, hangUp)),
        std::tuple(before.sa_handler == SIG_IGN ? SIG_IGN : term.sa_handler, SA_RESTART, SIG_IGN));
    roundState.bodyCount = score, roundState.playerCount = 1, totalShots = 10;
    shell.chosenLevel = 0, players[Mouse].active = true;
    static bool byWindow;
    byWindow = window;  // the end key shot right after the stop keeps no typed name
    auto stop = [] { byWindow ? pushQuit() : (void)raise(SIGTERM), mouseFireAt(220, 360); };
    FrameScript script;  // a screen that does not end fails the test
    if (inTheEntry)      // after a letter is typed; else during the 350 ms wait
      script.then([] { mouseFireAt(28, 386); }).then([] {}).then(stop);
    else
      setFakeSleepHook([stop](uint32_t ms) {
        if (ms == 350) stop();
      });
    EXPECT_THROW(RunRoundEnd(), ProgramExit);
    EXPECT_EQ(status, window ? 0 : 128 + SIGTERM);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "shutdownGame did not run";
    EXPECT_EQ(readFile("data/data00.dat"), want) << inTheEntry << window;
    setFakeSleepHook(nullptr);
    resetGameState();
  }
}

// The default art against the hit test: person pixels below 50000, the rest at
// least 65536 (red at least 1), so no change of tone tips one over; a head in
// the head-shot rows, a gangster's weapon under its flash.
TEST_F(DefaultArtTest, FigureMasksKeepTheirContractWithTheHitTest) {
  if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art (LAKEPORT_ASSETS off)";
  startVideo();
  const int flash[8][2] = {{6, -26},   {-41, -8}, {-20, -64}, {-20, -34},
                           {-26, -18}, {24, -8},  {0, -64},   {0, -34}};
  for (int kind = 0; kind < 13; ++kind) {
    SDL_Surface* s = own(loadPicture(("./pics/" + figureFile(kind, false)).c_str()));
    ASSERT_TRUE(s && s->w == 88 && s->h == 200) << kind;
    int person = 0, head = 0, between = 0, armed = 0;
    const int fx = kind < 8 ? 54 + flash[kind][0] : -99, fy = kind < 8 ? 110 + flash[kind][1] : 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 88; ++x) {
        const int32_t v = GetSurfacePixel(s, x, y);
        between += v >= 50000 && v < 65536;
        person += v < 50000;
        head += v < 50000 && y <= 30;
        armed += v < 50000 && abs(x - fx) <= 4 && abs(y - fy) <= 4;
      }
    EXPECT_TRUE(between == 0 && person > 88 * 40 && person < 88 * 120 && head > 250) << kind;
    EXPECT_TRUE(kind >= 8 || armed > 10) << kind << ": nothing under the muzzle flash";
    EXPECT_TRUE(GetSurfacePixel(s, 0, 0) >= 50000 && GetSurfacePixel(s, 87, 199) >= 50000);
  }
}
}  // namespace
