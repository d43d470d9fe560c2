// Helpers for the end-of-round tests: a font whose glyphs read back from the
// screen, input scripts run one step a flip, files and hiscore rows.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>

// Puts a font of one-pixel glyphs in every font slot, and frees it again.
void useReadableFont();
void releaseReadableFont();
// The text printed at grid cell (column, row) of code 3, length characters,
// trailing spaces dropped. Black and pixels with red or blue read as spaces.
std::string screenText(int column, int row, int length = 80);
// A new software surface of one colour.
SDL_Surface* solidSurface(int w, int h, uint32_t rgb);

// Runs one step after each flip; a few frames after the last step it throws.
class FrameScript {
 public:
  FrameScript();
  ~FrameScript();
  FrameScript& then(std::function<void()> step);

 private:
  std::deque<std::function<void()>> steps;
  int idleFrames = 0;
};

// The next rename in this process fails with this errno (0: none), as on a
// disk that fails under the game; renames go on as before otherwise.
extern int failNextRename;
// A file's whole contents ("" when it cannot be read), and writing one.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

// Moves the mouse to (x, y), presses and releases its fire button there.
void mouseFireAt(int x, int y);
