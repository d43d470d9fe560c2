// Readable screen text, frame scripts and files for the end-of-round tests.
#include "scores_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "app/shell.h"
#include "fixture.h"
#include "gfx/font.h"
#include "platform/events.h"

int failNextRename = 0;
extern "C" int rename(const char* from, const char* to) {
  if (const int e = std::exchange(failNextRename, 0)) return errno = e, -1;
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}

void useReadableFont() {
  // Column 0 and every even column carry the marker on top; glyph 33 + i is
  // the one column 1 + 2i, coloured 0x00GG00 with GG = its byte - 32.
  SDL_Surface* s = solidSurface(1 + 2 * 223, 4, 0x0000FF);
  ASSERT_NE(s, nullptr);
  for (Sint16 x = 0; x < s->w; ++x) {
    SDL_Rect top{x, 0, 1, 1}, body{x, 1, 1, 3};
    const bool glyph = x % 2 == 1;
    SDL_FillRect(s, &top,
                 SDL_MapRGB(s->format, glyph ? 0 : 0xFF, glyph ? 0xFF : 0, glyph ? 0 : 0xFF));
    if (glyph) SDL_FillRect(s, &body, SDL_MapRGB(s->format, 0, x / 2 + 1, 0));
  }
  ASSERT_EQ(SDL_SaveBMP(s, "pics/readable-font.bmp"), 0);
  SDL_FreeSurface(s);
  BitmapFont* font = LoadBitmapFont("pics/readable-font.bmp");
  ASSERT_NE(font, nullptr);
  for (BitmapFont*& slot : pictures.fonts) slot = font;
}

void releaseReadableFont() {
  BitmapFont* font = pictures.fonts[0];
  for (BitmapFont*& slot : pictures.fonts) slot = nullptr;
  if (font) SDL_FreeSurface(font->surface), delete font;
}

std::string screenText(int column, int row, int length) {
  std::string text;
  for (int x = column * 16; x < column * 16 + length && x < 640; ++x) {
    const uint32_t rgb = screenRgb(x, row * 16 + 15);
    text += (rgb & 0xFF00FF) ? ' ' : static_cast<char>(((rgb >> 8) & 0xFF) + 32);
  }
  return text.erase(text.find_last_not_of(' ') + 1);
}

SDL_Surface* solidSurface(int w, int h, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  return s;
}

FrameScript::FrameScript() {
  setFlipHook([this] {
    if (steps.empty()) {
      if (++idleFrames > 20) throw std::runtime_error("the screen did not end after its script");
      return;
    }
    const auto step = steps.front();
    steps.pop_front();
    step();
  });
}

FrameScript::~FrameScript() { setFlipHook(nullptr); }

FrameScript& FrameScript::then(std::function<void()> step) {
  steps.push_back(std::move(step));
  return *this;
}

void mouseFireAt(int x, int y) {
  pushMouseMotion(x, y), pushMouseButton(1, true, x, y), pushMouseButton(1, false, x, y);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
