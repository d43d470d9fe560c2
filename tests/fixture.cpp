// The shared test fixture.
#include "fixture.h"

#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/displays.h"
#include "game/round.h"
#include "game/targets.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/random.h"
#include "platform/sdl_library.h"
#include "scores/hiscores.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace fs = std::filesystem;

namespace {
void push(SDL_Event e) { SDL_PushEvent(&e); }

SDL_Event event(Uint8 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}
}  // namespace

// The mixer closed however often it was opened (SDL_mixer counts the opens; the
// game opens it at start-up).
void newProcess() {
  while (Mix_QuerySpec(nullptr, nullptr, nullptr)) Mix_HaltChannel(-1), Mix_CloseAudio();
  SDL_Quit();
  resetGameState();
}

void resetGameState() {
  resetShellState(), pictures = PictureSet{}, resetPlayers(), resetMenuInput();
  resetRoundState(), resetWeapons(), resetHiscores(), resetRoundEnd();
  resetSoundChannels(), unloadSoundBank(), resetTracker();
  resetRoundDisplays(), ClearSlotTable(), clearEventHooks(), resetDisplay(), resetSdlHints();
  useFakeClock(1000, 1700000000), useFakeJoysticks(0), seedRandom(1), failNextRename = 0;
  // The figures, once made, live for the whole run: back to how they are made.
  if (targetField.figures) CreateTargets();
}

void GameTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 1), setenv("SDL_AUDIODRIVER", "dummy", 1);
  // An empty port name looks for no tracker, unless a test names a device.
  setenv("LAKEPORT_TRACKER_PORT", "", 1);
  char tmpl[] = "/tmp/lakeport-test-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  dir = tmpl;
  for (const char* sub : {"/pics", "/sounds", "/data"}) fs::create_directories(dir + sub);
  oldCwd = fs::current_path().string();
  ASSERT_EQ(chdir(dir.c_str()), 0);
  newProcess();
  setExitHook([](int status) { throw ProgramExit{status}; });
}

void GameTest::TearDown() {
  for (SDL_Surface* s : owned) SDL_FreeSurface(s);
  owned.clear();
  if (capturingOut) capturedStdout();
  if (capturingErr) capturedStderr();
  unsetenv("LAKEPORT_GUNS");  // set by tests that play with guns
  unsetenv("LAKEPORT_GUN_CROSSHAIR"), newProcess();
  useRealClock(), useRealJoysticks();
  if (!oldCwd.empty() && chdir(oldCwd.c_str()) != 0) ADD_FAILURE() << "back to " << oldCwd;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void GameTest::startVideo() {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  shell.video = SDL_SetVideoMode(640, 480, 24, SDL_FULLSCREEN | SDL_DOUBLEBUF);
  ASSERT_NE(shell.video, nullptr) << SDL_GetError();
}

bool GameTest::useDefaultAssets() {
  const fs::path built(LAKEPORT_GAME_BUILD_DIR);
  if (!fs::exists(built / "pics" / "title.jpg")) return false;
  for (const char* sub : {"pics", "sounds"}) {
    fs::remove_all(dir + "/" + sub);
    fs::create_directory_symlink(built / sub, dir + "/" + sub);
  }
  return true;
}

void GameTest::writeBmp(const std::string& path, int w, int h, uint32_t rgb) {
  SDL_Surface* s = solidSurface(w, h, rgb);
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
  SDL_FreeSurface(s);
}

bool oneLineAbout(const std::string& said, const std::string& variable) {
  return said.rfind("lakeport-nights: " + variable, 0) == 0 && said.find('\n') == said.size() - 1;
}

bool pointerHidden() {
  Uint8 none[8] = {};
  SDL_Cursor* probe = SDL_CreateCursor(none, none, 8, 8, 0, 0);
  if (!probe) return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
  SDL_FreeCursor(probe);
  const SDL_Cursor* c = SDL_GetCursor();
  if (SDL_ShowCursor(SDL_QUERY) != SDL_ENABLE) return false;
  const int bytes = c->area.w / 8 * c->area.h;
  return bytes > 0 && std::count(c->mask, c->mask + bytes, 0) == bytes &&
         std::count(c->data, c->data + bytes, 0) == bytes;
}

uint32_t screenRgb(int x, int y) {
  SDL_Surface* s = shell.video;
  SDL_LockSurface(s);
  Uint32 v = 0;
  memcpy(&v, static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel,
         s->format->BytesPerPixel);
  SDL_UnlockSurface(s);
  Uint8 r, g, b;
  SDL_GetRGB(v, s->format, &r, &g, &b);
  return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

void GameTest::captureStdout() {
  fflush(stdout), testing::internal::CaptureStdout(), capturingOut = true;
}
std::string GameTest::capturedStdout() {
  fflush(stdout), capturingOut = false;
  return testing::internal::GetCapturedStdout();
}
void GameTest::captureStderr() {
  fflush(stderr), testing::internal::CaptureStderr(), capturingErr = true;
}
std::string GameTest::capturedStderr() {
  fflush(stderr), capturingErr = false;
  return testing::internal::GetCapturedStderr();
}

SDL_Surface* GameTest::own(SDL_Surface* s) { return owned.push_back(s), s; }

void pushKey(SDLKey key, bool down) {
  SDL_Event e = event(down ? SDL_KEYDOWN : SDL_KEYUP);
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED, e.key.keysym.sym = key;
  push(e);
}

void pushMouseMotion(int x, int y) {
  SDL_Event e = event(SDL_MOUSEMOTION);
  e.motion.x = static_cast<Uint16>(x), e.motion.y = static_cast<Uint16>(y);
  push(e);
}

void pushMouseButton(int button, bool down, int x, int y) {
  SDL_Event e = event(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
  e.button.button = static_cast<Uint8>(button);
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = static_cast<Uint16>(x), e.button.y = static_cast<Uint16>(y);
  push(e);
}

void pushQuit() { push(event(SDL_QUIT)); }
