// Bitmap fonts: a strip's marker row gives the glyph runs of bytes 33 to 255.
#include "gfx/font.h"

#include <SDL_image.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "gfx/blit.h"

namespace {
char textBuffer[1024];

bool needsLock(const SDL_Surface* s) {
  return s->offset != 0 || (s->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0;
}
}  // namespace

BitmapFont* LoadBitmapFont(const char* path) {
  BitmapFont* font = new (std::nothrow) BitmapFont;
  if (!font) return nullptr;
  font->surface = IMG_Load(path);
  if (!font->surface) {
    delete font;
    return nullptr;
  }
  font->height = 0;
  memset(font->glyphs, 0, sizeof font->glyphs);
  ScanGlyphStrip(font);
  return font;
}

void ScanGlyphStrip(BitmapFont* font) {
  SDL_Surface* s = font->surface;
  const int w = s->w;
  const int h = s->h;
  const bool locked = needsLock(s) && SDL_LockSurface(s) == 0;

  const Uint32 marker = GetPixel(s, 0, 0);
  int x = 0;
  int c = 33;
  while (x < w - 1 && c < 256) {
    if (GetPixel(s, x, 0) == marker) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < w && GetPixel(s, x, 0) != marker) ++x;
    font->glyphs[c].x = static_cast<Sint16>(start);
    font->glyphs[c].y = 1;
    font->glyphs[c].w = static_cast<Uint16>(x - start);
    font->glyphs[c].h = static_cast<Uint16>(h);
    ++c;
  }
  font->glyphs[32].x = 0;
  font->glyphs[32].y = 0;
  font->glyphs[32].w = font->glyphs[33].w;
  font->glyphs[32].h = static_cast<Uint16>(h);
  font->height = h;
  SDL_SetColorKey(s, SDL_SRCCOLORKEY, GetPixel(s, 0, h - 1));
  if (locked) SDL_UnlockSurface(s);
}

Uint16 DrawGlyph(SDL_Surface* dst, const BitmapFont* font, int x, int y, unsigned char c) {
  if (!font) return 0;
  const SDL_Rect& g = font->glyphs[c];
  if (c == ' ' || g.w == 0) return g.w;
  SDL_Rect src = g;
  if (src.h > font->height) src.h = static_cast<Uint16>(font->height);
  SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  if (dst) BlitPicture(font->surface, &src, dst, &at);
  return g.w;
}

void DrawText(SDL_Surface* dst, const BitmapFont* font, int x, int y, const char* text) {
  if (!font || !text) return;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    x += DrawGlyph(dst, font, x, y, *p);
}

void DrawTextF(SDL_Surface* dst, const BitmapFont* font, int x, int y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(textBuffer, sizeof textBuffer, format, args);
  va_end(args);
  DrawText(dst, font, x, y, textBuffer);
}

Uint32 GetPixel(SDL_Surface* surface, int x, int y) {
  if (x < 0) {
    puts("x too small in GetPixel!");
    return 0;
  }
  if (x >= surface->w) {
    puts("x too big in GetPixel!");
    return 0;
  }
  // Rows are not checked by the callers; never read outside the surface.
  if (y < 0 || y >= surface->h) return 0;
  const SDL_PixelFormat* f = surface->format;
  const Uint8* p =
      static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * f->BytesPerPixel;
  switch (f->BytesPerPixel) {
    case 1: return *p;
    case 2: {
      Uint16 v;
      memcpy(&v, p, sizeof v);
      return v;
    }
    case 3:
      return SDL_MapRGB(surface->format, p[f->Rshift / 8], p[f->Gshift / 8], p[f->Bshift / 8]);
    case 4: {
      Uint32 v;
      memcpy(&v, p, sizeof v);
      return v;
    }
    default: return 0xFFFFFFFFu;
  }
}
