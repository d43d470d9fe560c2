// Picture blits with SDL's clipping and the machine's own memory copy.
#include "gfx/blit.h"

#include <cstring>

namespace {
bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
  return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel &&
         a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask &&
         a->Amask == b->Amask;
}

enum class Copy { Sdl, Rows, Keyed };

// How a clipped blit of src onto dst is done.
Copy copyKind(const SDL_Surface* src, const SDL_Surface* dst) {
  const SDL_PixelFormat* f = src->format;
  // Palette pictures map through their palettes; RLE pictures keep their
  // pixels encoded; blended ones mix; a surface onto itself may overlap.
  if (src == dst || f->BytesPerPixel < 2 || !sameLayout(f, dst->format) ||
      (src->flags & (SDL_SRCALPHA | SDL_RLEACCEL)))
    return Copy::Sdl;
  if (!(src->flags & SDL_SRCCOLORKEY)) return Copy::Rows;
  // SDL rebuilds a keyed pixel from its three 8-bit colours: the same bytes
  // exactly when the colours fill all three.
  const bool wholeBytes = (f->Rmask | f->Gmask | f->Bmask) == 0xFFFFFF;
  return f->BytesPerPixel == 3 && wholeBytes ? Copy::Keyed : Copy::Sdl;
}

void copyRows(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int rowBytes, int rows) {
  // Whole surfaces of one pitch are one block.
  if (fromPitch == toPitch && rowBytes == toPitch) {
    memcpy(to, from, static_cast<size_t>(rowBytes) * rows);
    return;
  }
  for (int y = 0; y < rows; ++y)
    memcpy(to + y * toPitch, from + y * fromPitch, static_cast<size_t>(rowBytes));
}

// Copies every 24-bit pixel whose value is not the key.
void copyKeyedRows(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int w, int rows,
                   Uint32 key) {
  key &= 0xFFFFFF;
  for (int y = 0; y < rows; ++y) {
    const Uint8* s = from + y * fromPitch;
    Uint8* d = to + y * toPitch;
    for (int x = 0; x < w; ++x, s += 3, d += 3) {
      const Uint32 v = Uint32(s[0]) | Uint32(s[1]) << 8 | Uint32(s[2]) << 16;
      if (v == key) continue;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

bool lockIfNeeded(SDL_Surface* s) { return !SDL_MUSTLOCK(s) || SDL_LockSurface(s) == 0; }
void unlockIfNeeded(SDL_Surface* s) {
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}
}  // namespace

int BlitPicture(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  if (!src || !dst) return SDL_UpperBlit(src, srcrect, dst, dstrect);
  const Copy kind = copyKind(src, dst);
  if (kind == Copy::Sdl || src->locked || dst->locked)
    return SDL_UpperBlit(src, srcrect, dst, dstrect);

  // SDL_UpperBlit's clipping, step for step, so the rectangles come out alike.
  SDL_Rect fullDst{0, 0, 0, 0};
  if (!dstrect) dstrect = &fullDst;
  int srcX, srcY, w, h;
  if (srcrect) {
    srcX = srcrect->x;
    w = srcrect->w;
    if (srcX < 0) {
      w += srcX;
      dstrect->x = static_cast<Sint16>(dstrect->x - srcX);
      srcX = 0;
    }
    if (src->w - srcX < w) w = src->w - srcX;
    srcY = srcrect->y;
    h = srcrect->h;
    if (srcY < 0) {
      h += srcY;
      dstrect->y = static_cast<Sint16>(dstrect->y - srcY);
      srcY = 0;
    }
    if (src->h - srcY < h) h = src->h - srcY;
  } else {
    srcX = srcY = 0;
    w = src->w;
    h = src->h;
  }
  const SDL_Rect& clip = dst->clip_rect;
  int d = clip.x - dstrect->x;
  if (d > 0) {
    w -= d;
    dstrect->x = static_cast<Sint16>(dstrect->x + d);
    srcX += d;
  }
  d = dstrect->x + w - clip.x - clip.w;
  if (d > 0) w -= d;
  d = clip.y - dstrect->y;
  if (d > 0) {
    h -= d;
    dstrect->y = static_cast<Sint16>(dstrect->y + d);
    srcY += d;
  }
  d = dstrect->y + h - clip.y - clip.h;
  if (d > 0) h -= d;
  if (w <= 0 || h <= 0) {
    dstrect->w = dstrect->h = 0;
    return 0;
  }
  dstrect->w = static_cast<Uint16>(w);
  dstrect->h = static_cast<Uint16>(h);

  if (!lockIfNeeded(src)) return -1;
  if (!lockIfNeeded(dst)) {
    unlockIfNeeded(src);
    return -1;
  }
  const int bpp = src->format->BytesPerPixel;
  const Uint8* from = static_cast<const Uint8*>(src->pixels) + srcY * src->pitch + srcX * bpp;
  Uint8* to = static_cast<Uint8*>(dst->pixels) + dstrect->y * dst->pitch + dstrect->x * bpp;
  if (kind == Copy::Rows)
    copyRows(from, src->pitch, to, dst->pitch, w * bpp, h);
  else
    copyKeyedRows(from, src->pitch, to, dst->pitch, w, h, src->format->colorkey);
  unlockIfNeeded(dst);
  unlockIfNeeded(src);
  return 0;
}
