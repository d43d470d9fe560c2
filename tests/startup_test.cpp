// Start-up over a temporary game directory: the asset table, colour keys, the
// progress row, kiosk mode, missing files; and the entry glue's messages.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game_files.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "platform/events.h"
#include "platform/joystick.h"

namespace {
constexpr uint32_t PipColour = 0xFFD000;
constexpr uint32_t BackdropColour = 0x202830;

class StartupTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // Every picture as a BMP (SDL_image reads pictures by content, not name).
    uint32_t colour = 0x010203;
    for (const PictureFile& p : Pictures) {
      const std::string name(p.file);
      const uint32_t c = name == "le5_4x12.bmp"        ? PipColour
                         : name.rfind("pic32", 0) == 0 ? BackdropColour
                                                       : (colour += 0x030507);
      writeBmp("pics/" + name, p.w, p.h, c);
    }
    for (const FigureFile& f : Figures)
      for (const char* prefix : {"pics/target_", "pics/target_hit_"})
        writeBmp(prefix + std::string(f.name) + ".bmp", 88, 200, colour += 0x030507);
    for (const char* f : FontFiles) writeBmp(std::string("pics/") + f, 40, 10, 0x00FF00);
    for (int id = 0; id < SampleCount; ++id) writeWav(samplePath(id), 64);
  }

  int start(std::vector<const char*> args) {
    args.insert(args.begin(), "lakeport-nights");
    return startupGame(static_cast<int>(args.size()), const_cast<char**>(args.data()));
  }

  // Lines of standard error about pictures and fonts (sounds have their own).
  static int picturesLines(const std::string& err) {
    int n = 0;
    size_t at = 0;
    for (size_t nl; (nl = err.find('\n', at)) != std::string::npos; at = nl + 1)
      n += err.substr(at, nl - at).find("pics") != std::string::npos;
    return n;
  }
  static Uint32 keyOf(const SDL_Surface* s) {
    return (s->flags & SDL_SRCCOLORKEY) ? s->format->colorkey : 0xDEADBEEFu;
  }
  static Uint32 rgb(const SDL_Surface* s, uint32_t c) {
    return SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF);
  }
};
}  // namespace

TEST_F(StartupTest, ProgressRowEndsWithExactlyOneHundredPipsAfter61Steps) {
  int flips = 0;
  setFlipHook([&flips] { ++flips; });
  ASSERT_EQ(start({}), 0);
  EXPECT_EQ(flips, 1 + 61);  // the backdrop, then one flip per progress step

  int pips = 0;
  for (int x = 0; x < 640; ++x) {
    const bool lit = screenRgb(x, 450) == PipColour;
    const bool litBefore = x > 0 && screenRgb(x - 1, 450) == PipColour;
    if (lit && !litBefore) ++pips;
  }
  EXPECT_EQ(pips, 100);
  EXPECT_EQ(screenRgb(17, 445), BackdropColour);
  EXPECT_EQ(screenRgb(18, 445), PipColour);
  EXPECT_EQ(screenRgb(615, 456), PipColour);
  EXPECT_EQ(screenRgb(616, 450), BackdropColour);
  EXPECT_EQ(screenRgb(615, 457), BackdropColour);
  EXPECT_EQ(screenRgb(615, 444), BackdropColour);

  char* title = nullptr;
  char* icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  EXPECT_STREQ(title, "Lakeport Nights");
  EXPECT_STREQ(icon, "Lakeport Nights");
  EXPECT_EQ(shell.video->w, 640);
  EXPECT_EQ(shell.video->h, 480);
  EXPECT_EQ(shell.video->format->BitsPerPixel, 24);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(StartupTest, EveryPictureLandsInItsSlotWithItsColourKey) {
  ASSERT_EQ(start({}), 0);
  std::vector<std::pair<SDL_Surface*, uint32_t>> keyed = {{pictures.keyboard, 0xA8A594},
                                                          {pictures.shotMark, 0xFFFFFF}};
  for (SDL_Surface* s : pictures.crosshair) keyed.push_back({s, 0});
  for (SDL_Surface* s : pictures.muzzleFlash) keyed.push_back({s, 0});
  for (auto [s, key] : keyed) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(keyOf(s), rgb(s, key));
  }
  for (int k = 0; k < FigurePictureCount; ++k) {
    ASSERT_NE(pictures.figure[k], nullptr);
    ASSERT_NE(pictures.figureHit[k], nullptr);
    EXPECT_FALSE(pictures.figure[k]->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(pictures.figure[k]->w, 88);
  }
  // The figures come in pairs, normal before hit, in kind order.
  EXPECT_NE(GetSurfacePixel(pictures.figure[0], 0, 0),
            GetSurfacePixel(pictures.figureHit[0], 0, 0));
  EXPECT_NE(GetSurfacePixel(pictures.figure[4], 0, 0), GetSurfacePixel(pictures.figure[0], 0, 0));
  for (int l = 0; l < 5; ++l) {
    EXPECT_NE(pictures.levelBackdrop[l], nullptr);
    EXPECT_NE(pictures.levelDimmed[l], nullptr);
    EXPECT_NE(pictures.levelChoice[l], nullptr);
  }
  EXPECT_EQ(pictures.levelDimmed[0], pictures.frontBackdrop);
  for (SDL_Surface* s : pictures.weaponChoice) EXPECT_NE(s, nullptr);
  for (SDL_Surface* s : {pictures.title, pictures.deadBackdrop, pictures.hallOfFame})
    EXPECT_NE(s, nullptr);
  EXPECT_FALSE(pictures.pip->flags & SDL_SRCCOLORKEY);
  EXPECT_FALSE(pictures.pipEmpty->flags & SDL_SRCCOLORKEY);
  for (BitmapFont* f : pictures.fonts) EXPECT_NE(f, nullptr);
  // The Tire Store and Smoke Shop pictures sit at their own level indexes.
  EXPECT_EQ(pictures.levelBackdrop[1]->w, 640);
  EXPECT_NE(GetSurfacePixel(pictures.levelBackdrop[1], 0, 0),
            GetSurfacePixel(pictures.levelBackdrop[3], 0, 0));
}

TEST_F(StartupTest, ExactlyOneArgumentSetsKioskMode) {
  const std::vector<const char*> cases[] = {{}, {"--anything"}, {"kiosk", "two"}};
  for (const auto& args : cases) {
    SDL_Quit();
    resetGameState();
    ASSERT_EQ(start(args), 0);
    EXPECT_EQ(shell.kioskMode, args.size() == 1) << args.size() << " arguments";
  }
}

TEST_F(StartupTest, MissingFilesAreNamedAndStartupCompletes) {
  remove("pics/title.jpg");
  remove("pics/cross_c_02.bmp");
  remove("pics/pussycat18.png");
  captureStderr();
  ASSERT_EQ(start({}), 0);
  const std::string err = capturedStderr();
  EXPECT_NE(err.find("./pics/title.jpg"), std::string::npos) << err;
  EXPECT_NE(err.find("./pics/cross_c_02.bmp"), std::string::npos) << err;
  EXPECT_NE(err.find("./pics/pussycat18.png"), std::string::npos) << err;
  EXPECT_EQ(picturesLines(err), 3) << err;
  EXPECT_EQ(pictures.title, nullptr);
  EXPECT_EQ(pictures.crosshair[2], nullptr);
  EXPECT_EQ(pictures.fonts[2], nullptr);
  EXPECT_NE(pictures.crosshair[3], nullptr);
  EXPECT_FALSE(shell.trackerPresent);  // no tracker answered
}

TEST_F(StartupTest, AGameDirectoryWithoutPicturesIsNamedOnce) {
  std::filesystem::remove_all("pics");
  captureStderr();
  ASSERT_EQ(start({}), 0);
  const std::string err = capturedStderr();
  EXPECT_NE(err.find("there is no pics/ folder in " + dir), std::string::npos) << err;
  EXPECT_EQ(picturesLines(err), 1) << err;
}

TEST_F(StartupTest, ShutdownClosesTheJoysticksAndSdl) {
  useFakeJoysticks(3);
  ASSERT_EQ(start({}), 0);
  EXPECT_NE(shell.joystick1, nullptr);
  EXPECT_NE(shell.joystick2, nullptr);
  EXPECT_FALSE(joystickOpened(2));  // a third stick is ignored
  shutdownGame();
  EXPECT_FALSE(joystickOpened(0));
  EXPECT_FALSE(joystickOpened(1));
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

namespace {
// Runs the real executable with an environment setting; returns its exit
// status and what it wrote on standard error.
int runGame(const std::string& env, std::string* err) {
  const std::string cmd =
      env + " " LAKEPORT_BINARY_DIR "/lakeport-nights 2>&1 >/dev/null </dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) *err += buf;
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST_F(StartupTest, TheEntryGlueExplainsAFailedStart) {
  std::string err;
  EXPECT_NE(runGame("SDL_VIDEODRIVER=no-such-driver SDL_AUDIODRIVER=dummy", &err), 0);
  EXPECT_NE(err.find("lakeport-nights: "), std::string::npos) << err;
  EXPECT_EQ(err.back(), '\n');
}
