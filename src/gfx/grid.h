// The text grid every text of the game goes through, and the picture helpers
// beside it: backdrops, raw pixel reads, the loading pips.
#pragma once
#include <SDL.h>

#include <cstdint>

struct BitmapFont;

// Grid font codes: the font and the cell edge in pixels.
enum GridFont : int32_t {
  GridAndes = 1,        // andes16.png, 8-pixel cells
  GridImpact = 2,       // impact16.png, 12
  GridPussycat = 3,     // pussycat18.png, 16: every text of the game
  GridAntiqua = 11,     // Antiqua_greyed-68-10.png, 8
  GridCaligula = 12,    // Caligula_greyed-68-10.png, 12
  GridMacHumaine = 13,  // MacHumaine_greyed-68-10.png, 16
};

// Cell edge of a grid font code, or 0 for a code not in the table.
int32_t GridCellEdge(int32_t code);
// The loaded font of a grid font code, or null.
BitmapFont* GridFontFor(int32_t code);
// Prints at cell (column, row): top-left pixel (column * edge, row * edge + 15),
// through a 1024-byte buffer (cut at 1023), onto the screen. Returns row + 1,
// also for an unknown code, which draws nothing.
int32_t GridPrintF(int32_t column, int32_t row, int32_t code, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// Blits the full-screen picture of the index onto the screen at (0, 0): 0 and
// unknown indexes the front-end backdrop, 1 Garage, 2 hall of fame, 3 shot,
// 4 Tire Store, 5 Main Street, 6 Smoke Shop, 7 Flower Shop, 8 title.
int DrawBackdrop(int32_t index);
// Raw pixel under SDL_LockSurface: 1, 2, 4 bytes as stored; 3 bytes as a
// little-endian number; other depths 0; no surface -1. x, y are the caller's.
int32_t GetSurfacePixel(SDL_Surface* surface, int x, int y);
// GetSurfacePixel of the normal picture of a figure kind (unknown kinds: kind 0).
int32_t FigurePixel(int32_t kind, int x, int y);
// Draws the pips of the progress row at y = 445 from x = 18 every 6 pixels
// while below progress, flips, and returns progress + 10.
int32_t DrawLoadingPips(int32_t progress);
