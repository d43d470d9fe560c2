// Proportional bitmap fonts read from picture strips: loading, the strip scan,
// drawing glyphs and strings, and the pixel reader the scan uses.
#pragma once
#include <SDL.h>

#include <cstdint>

struct BitmapFont {
  int32_t height;        // the strip's height; no glyph is drawn taller
  SDL_Surface* surface;  // the strip as loaded, colour key set
  SDL_Rect glyphs[256];  // source rectangle per byte value (unsigned)
};

// Loads the strip at path and scans its glyphs; null when the picture cannot be
// loaded (nothing is left allocated, nothing is printed).
BitmapFont* LoadBitmapFont(const char* path);
// Measures the glyph runs of the font's surface, sets the space, the height and
// the colour key. Byte values without a run keep an all-zero rectangle.
void ScanGlyphStrip(BitmapFont* font);
// Blits one glyph with its top-left corner at (x, y); returns its advance.
// Space only advances. A null font draws nothing and advances 0.
Uint16 DrawGlyph(SDL_Surface* dst, const BitmapFont* font, int x, int y, unsigned char c);
// Draws a zero-terminated string left to right on one line.
void DrawText(SDL_Surface* dst, const BitmapFont* font, int x, int y, const char* text);
// printf into one program-wide 1024-byte buffer (cut at 1023), then DrawText.
void DrawTextF(SDL_Surface* dst, const BitmapFont* font, int x, int y, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// The pixel at (x, y) of a surface the caller has locked where it needs locking.
// x outside the surface prints "x too small in GetPixel!" or "x too big in
// GetPixel!" and returns 0; y outside the surface returns 0 unread.
Uint32 GetPixel(SDL_Surface* surface, int x, int y);
