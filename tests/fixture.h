// Shared test fixture: headless SDL, a temporary game directory, every record
// reset, a fake clock and fake joysticks.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Thrown by the exit hook the fixture installs, in place of exit().
struct ProgramExit {
  int status;
};

// Restores every program-wide record of the game to its start value; with
// newProcess also closes the mixer and SDL, as a new process finds them.
void resetGameState();
void newProcess();

// A temporary game directory (pics/, sounds/, data/) as the working directory.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Initialises SDL (video, audio off) and sets the 640x480x24 screen.
  void startVideo();
  // Links the build's default art and sound into pics/ and sounds/, or false.
  bool useDefaultAssets();
  // Writes a w by h 24-bit BMP filled with 0xRRGGBB below the game directory.
  static void writeBmp(const std::string& path, int w, int h, uint32_t rgb);
  // Captures what the test's code writes to a standard stream until read.
  void captureStdout();
  std::string capturedStdout();
  void captureStderr();
  std::string capturedStderr();
  // Keeps a surface the test made until the test ends, then frees it.
  SDL_Surface* own(SDL_Surface* s);

  std::string dir;

 private:
  std::string oldCwd;
  std::vector<SDL_Surface*> owned;
  bool capturingOut = false, capturingErr = false;
};

// Whether `said` is one line of the game's about the environment variable.
bool oneLineAbout(const std::string& said, const std::string& variable);
// Whether the pointer is hidden the game's way: shown with no pixels at all,
// or left alone where SDL makes no cursors (sdl12-compat's dummy driver), so
// that its motion stays absolute.
bool pointerHidden();
// Reads the screen pixel at (x, y) as 0xRRGGBB.
uint32_t screenRgb(int x, int y);
void pushKey(SDLKey key, bool down);
void pushMouseMotion(int x, int y);
void pushMouseButton(int button, bool down, int x, int y);
void pushQuit();
