// Picture blits with SDL's clipping and the machine's own memory copy.
#include "gfx/blit.h"

#include <cstring>

namespace {
bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
  return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel &&
         a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask &&
         a->Amask == b->Amask;
}

// The byte of a pixel of `bytes` bytes that a channel mask stands for, or -1
// when the mask is not one whole byte of it.
int byteOf(Uint32 mask, int bytes) {
  for (int b = 0; b < bytes; ++b)
    if (mask == 0xFFu << (8 * b)) return SDL_BYTEORDER == SDL_LIL_ENDIAN ? b : bytes - 1 - b;
  return -1;
}

// For a layout whose three colours are whole bytes: which byte holds red,
// green and blue. False for any other layout.
bool colourBytes(const SDL_PixelFormat* f, int order[3]) {
  const int n = f->BytesPerPixel;
  order[0] = byteOf(f->Rmask, n);
  order[1] = byteOf(f->Gmask, n);
  order[2] = byteOf(f->Bmask, n);
  return order[0] >= 0 && order[1] >= 0 && order[2] >= 0 && order[0] != order[1] &&
         order[1] != order[2] && order[0] != order[2];
}

// The same for a 24-bit layout without alpha.
bool colourBytes24(const SDL_PixelFormat* f, int order[3]) {
  return f->BytesPerPixel == 3 && f->Amask == 0 && colourBytes(f, order);
}

// How a clipped blit of src onto dst is done. For Bytes24, from[i] is the
// source byte that goes to destination byte i; for Blend, from[0..2] are the
// source's red, green and blue bytes, from[3] its alpha byte and to[0..2] the
// destination's colour bytes.
BlitWay copyKind(const SDL_Surface* src, const SDL_Surface* dst, int from[4], int to[3]) {
  const SDL_PixelFormat* f = src->format;
  // Palette pictures map through their palettes; RLE pictures keep their
  // pixels encoded; a surface onto itself may overlap.
  if (src == dst || f->BytesPerPixel < 2 || (src->flags & SDL_RLEACCEL)) return BlitWay::Sdl;
  if (src->flags & SDL_SRCALPHA) {
    // A picture with an alpha channel of its own (a font) blends onto a 24-bit
    // surface; its colour key and the surface alpha play no part, as in SDL 1.2.
    from[3] = byteOf(f->Amask, 4);
    const bool blends = f->BytesPerPixel == 4 && from[3] >= 0 && colourBytes(f, from);
    return blends && colourBytes24(dst->format, to) ? BlitWay::Blend : BlitWay::Sdl;
  }
  if (!(src->flags & SDL_SRCCOLORKEY) && sameLayout(f, dst->format)) return BlitWay::Rows;
  // SDL rebuilds a 24-bit pixel from its three colours (skipping the key's):
  // where every colour is one whole byte on both sides, that moves bytes.
  int srcBytes[3];
  if (!colourBytes24(f, srcBytes) || !colourBytes24(dst->format, to)) return BlitWay::Sdl;
  for (int c = 0; c < 3; ++c) from[to[c]] = srcBytes[c];
  return from[0] == 0 && from[1] == 1 && from[2] == 2 ? BlitWay::Runs24 : BlitWay::Bytes24;
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

// Moves every 24-bit pixel (but the key's, when keyed) byte by byte into the
// destination's order. In the same order (runs), the runs between key pixels
// are copied whole: a keyed picture such as a crosshair is mostly key.
void copyBytes24(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int w, int rows,
                 bool runs, const int order[3], bool keyed, Uint32 key) {
  const Uint8 k0 = key & 0xFF, k1 = (key >> 8) & 0xFF, k2 = (key >> 16) & 0xFF;
  auto isKey = [=](const Uint8* p) { return keyed && p[0] == k0 && p[1] == k1 && p[2] == k2; };
  const int a = order[0], b = order[1], c = order[2];
  for (int y = 0; y < rows; ++y) {
    const Uint8* s = from + y * fromPitch;
    Uint8* d = to + y * toPitch;
    if (runs) {
      for (int x = 0; x < w;) {
        while (x < w && isKey(s + 3 * x)) ++x;
        const int start = x;
        while (x < w && !isKey(s + 3 * x)) ++x;
        memcpy(d + 3 * start, s + 3 * start, static_cast<size_t>(3 * (x - start)));
      }
      continue;
    }
    for (int x = 0; x < w; ++x, s += 3, d += 3) {
      if (isKey(s)) continue;
      const Uint8 p[3] = {s[0], s[1], s[2]};
      d[0] = p[a];
      d[1] = p[b];
      d[2] = p[c];
    }
  }
}

// Lays every pixel of a 32-bit picture with an alpha channel over a 24-bit
// surface as classic SDL 1.2 does, so that text looks the same to the last
// bit on sdl12-compat, whose SDL 2 rounds otherwise: d + ((s - d) a + 255) / 256.
void blendRows(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int w, int rows,
               const int src[4], const int dst[3]) {
  for (int y = 0; y < rows; ++y) {
    const Uint8* s = from + y * fromPitch;
    Uint8* d = to + y * toPitch;
    for (int x = 0; x < w; ++x, s += 4, d += 3) {
      const int a = s[src[3]];
      if (a == 0) continue;  // most of a glyph's box
      for (int c = 0; c < 3; ++c) {
        Uint8& out = d[dst[c]];
        out = static_cast<Uint8>(out + (((s[src[c]] - out) * a + 255) >> 8));
      }
    }
  }
}

bool lockIfNeeded(SDL_Surface* s) { return !SDL_MUSTLOCK(s) || SDL_LockSurface(s) == 0; }
void unlockIfNeeded(SDL_Surface* s) {
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}
}  // namespace

BlitWay blitWay(const SDL_Surface* src, const SDL_Surface* dst) {
  int order[4], to[3];
  return copyKind(src, dst, order, to);
}

int BlitPicture(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
  if (!src || !dst) return SDL_UpperBlit(src, srcrect, dst, dstrect);
  int order[4] = {0, 1, 2, 3}, to[3];
  const BlitWay kind = copyKind(src, dst, order, to);
  if (kind == BlitWay::Sdl || src->locked || dst->locked)
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
  Uint8* onto = static_cast<Uint8*>(dst->pixels) + dstrect->y * dst->pitch +
                dstrect->x * dst->format->BytesPerPixel;
  if (kind == BlitWay::Rows)
    copyRows(from, src->pitch, onto, dst->pitch, w * bpp, h);
  else if (kind == BlitWay::Blend)
    blendRows(from, src->pitch, onto, dst->pitch, w, h, order, to);
  else
    copyBytes24(from, src->pitch, onto, dst->pitch, w, h, kind == BlitWay::Runs24, order,
                (src->flags & SDL_SRCCOLORKEY) != 0, src->format->colorkey);
  unlockIfNeeded(dst);
  unlockIfNeeded(src);
  return 0;
}
