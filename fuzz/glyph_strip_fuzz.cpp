// Fuzzes the font strip scan with strips of any size, depth and pixels: every
// glyph it finds must lie inside the strip, the runs must follow each other
// left to right, and drawing every byte value must stay inside both surfaces.
#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gfx/font.h"

namespace {
// The strip's pixel layout by one byte of the input.
SDL_Surface* makeStrip(int w, int h, uint8_t layout) {
  switch (layout % 6) {
    case 0: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    case 1: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
    case 2: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    case 3: return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    case 4:
      return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    default:
      return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int w = 1 + ((data[0] | data[1] << 8) % 1024);
  const int h = 1 + data[2] % 48;
  SDL_Surface* strip = makeStrip(w, h, data[3]);
  if (!strip) abort();
  // The rest of the input fills the rows; short inputs repeat.
  const size_t rowBytes = static_cast<size_t>(w) * strip->format->BytesPerPixel;
  const uint8_t* fill = data + 4;
  const size_t fillSize = size - 4;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = static_cast<uint8_t*>(strip->pixels) + y * strip->pitch;
    for (size_t i = 0; i < rowBytes; ++i)
      row[i] = fillSize ? fill[(y * rowBytes + i) % fillSize] : 0;
  }

  BitmapFont font{};
  font.surface = strip;
  ScanGlyphStrip(&font);

  if (font.height != h) abort();
  int nextFree = 0;  // the first column a following run may start at
  bool ended = false;
  for (int c = 33; c < 256; ++c) {
    const SDL_Rect& g = font.glyphs[c];
    if (g.w == 0) {
      // Byte values without a run keep an all-zero rectangle, and no run follows.
      if (g.x != 0 || g.y != 0 || g.h != 0) abort();
      ended = true;
      continue;
    }
    if (ended || g.y != 1 || g.h != h || g.x < nextFree || g.x + g.w > w) abort();
    nextFree = g.x + g.w + 1;  // a marker column ends every run but the last
  }
  for (int c = 0; c < 32; ++c)
    if (font.glyphs[c].w != 0 || font.glyphs[c].h != 0) abort();
  if (font.glyphs[32].w != font.glyphs[33].w || font.glyphs[32].h != h) abort();

  // Every byte value drawn onto a small screen, partly off its edges.
  SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 24, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  char text[256];
  for (int i = 0; i < 255; ++i) text[i] = static_cast<char>(i + 1);
  text[255] = '\0';
  DrawText(screen, &font, -5, -3, text);
  DrawText(screen, &font, 60, 20, text);
  SDL_FreeSurface(screen);
  SDL_FreeSurface(strip);
  return 0;
}
