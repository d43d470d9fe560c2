// Helpers for the tests of the end-of-round screens: a font whose every glyph is
// one pixel of its own colour, so the text on the screen can be read back, and
// a script of input steps run one per flipped frame.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>

// Loads the one-pixel font from pics/ and puts it in every font slot.
void useReadableFont();
// Frees it again and empties the font slots.
void releaseReadableFont();
// The text printed at grid cell (column, row) of code 3, length characters,
// trailing spaces dropped. Black and pixels with red or blue read as spaces.
std::string screenText(int column, int row, int length = 80);
// A new software surface of one colour.
SDL_Surface* solidSurface(int w, int h, uint32_t rgb);

// Runs one step after each flip of the screen; after the last step a few more
// frames are allowed, then the script throws so a loop that never ends fails.
class FrameScript {
 public:
  FrameScript();
  ~FrameScript();
  FrameScript& then(std::function<void()> step);
  int frames() const { return frameCount; }
  bool finished() const { return steps.empty(); }

 private:
  std::deque<std::function<void()>> steps;
  int frameCount = 0;
  int idleFrames = 0;
};

// A file's whole contents ("" when it cannot be read), and writing one.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// Sets row i of the hiscore table in memory.
void setRow(int i, int position, const char* name, int score, int weapon, int shots, int players,
            const char* devices);

// Moves the mouse to (x, y) and releases its left (fire) or right button there.
void mouseFireAt(int x, int y);
void mouseButton2();
