// The character grid printer and the backdrop, pixel and progress-pip helpers.
#include "gfx/grid.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/shell.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "platform/events.h"

namespace {
char gridBuffer[1024];

// Index into PictureSet::fonts of a grid font code, or -1.
int fontSlot(int32_t code) {
  switch (code) {
    case GridAndes: return 0;
    case GridImpact: return 1;
    case GridPussycat: return 2;
    case GridAntiqua: return 3;
    case GridCaligula: return 4;
    case GridMacHumaine: return 5;
    default: return -1;
  }
}

SDL_Surface* backdropPicture(int32_t index) {
  switch (index) {
    case 1: return pictures.levelBackdrop[0];
    case 2: return pictures.hallOfFame;
    case 3: return pictures.deadBackdrop;
    case 4: return pictures.levelBackdrop[1];
    case 5: return pictures.levelBackdrop[2];
    case 6: return pictures.levelBackdrop[3];
    case 7: return pictures.levelBackdrop[4];
    case 8: return pictures.title;
    default: return pictures.frontBackdrop;
  }
}
}  // namespace

int32_t GridCellEdge(int32_t code) {
  switch (code) {
    case GridAndes:
    case GridAntiqua: return 8;
    case GridImpact:
    case GridCaligula: return 12;
    case GridPussycat:
    case GridMacHumaine: return 16;
    default: return 0;
  }
}

BitmapFont* GridFontFor(int32_t code) {
  const int slot = fontSlot(code);
  return slot < 0 ? nullptr : pictures.fonts[slot];
}

int32_t GridPrintF(int32_t column, int32_t row, int32_t code, const char* format, ...) {
  const int32_t edge = GridCellEdge(code);
  if (edge == 0) return row + 1;
  va_list args;
  va_start(args, format);
  vsnprintf(gridBuffer, sizeof gridBuffer, format, args);
  va_end(args);
  DrawText(shell.video, GridFontFor(code), column * edge, row * edge + 15, gridBuffer);
  return row + 1;
}

int DrawBackdrop(int32_t index) {
  return BlitPicture(backdropPicture(index), nullptr, shell.video, nullptr);
}

int32_t GetSurfacePixel(SDL_Surface* surface, int x, int y) {
  if (!surface) return -1;
  SDL_LockSurface(surface);
  const int bpp = surface->format->BytesPerPixel;
  const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
  int32_t value = 0;
  switch (bpp) {
    case 1: value = *p; break;
    case 2: {
      Uint16 v;
      memcpy(&v, p, sizeof v);
      value = v;
      break;
    }
    case 3: value = p[0] | (p[1] << 8) | (p[2] << 16); break;
    case 4: {
      Uint32 v;
      memcpy(&v, p, sizeof v);
      value = static_cast<int32_t>(v);
      break;
    }
    default: break;
  }
  SDL_UnlockSurface(surface);
  return value;
}

int32_t FigurePixel(int32_t kind, int x, int y) {
  if (kind < 0 || kind >= FigurePictureCount) kind = 0;
  return GetSurfacePixel(pictures.figure[kind], x, y);
}

int32_t DrawLoadingPips(int32_t progress) {
  for (int32_t i = 0; i < progress; i += 6) {
    SDL_Rect at{static_cast<Sint16>(18 + i), 445, 0, 0};
    BlitPicture(pictures.pip, nullptr, shell.video, &at);
  }
  flipScreen(shell.video);
  return progress + 10;
}
