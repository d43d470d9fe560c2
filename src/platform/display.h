// The game's 640 by 480 picture on the player's screen: the video mode, the
// mapping between game and screen points, the scaled flip and the pointer warp.
#pragma once
#include <SDL.h>

#include <vector>

constexpr int GameWidth = 640;
constexpr int GameHeight = 480;

// Where the game picture lies on the screen. Unscaled (a real 640 by 480 mode,
// or SDL's dummy driver) the picture is the screen and every map is the identity.
struct Display {
  int screenW, screenH;         // the screen in pixels
  SDL_Rect picture;             // the largest 4:3 box that fits, centred
  std::vector<int> gameColumn;  // for each picture column, the game column shown there
  std::vector<int> gameRow;     // for each picture row, the game row shown there
  SDL_Surface* screen;          // the real screen when scaling, else nullptr
  SDL_Surface* game;            // the 640x480x24 surface the game draws on when scaling
  int fullUpdatesLeft;          // flips that still redraw the bars (both buffers)
  std::vector<Uint8> shown;     // the game picture the screen shows, row by row
  std::vector<SDL_Rect> bands;  // the screen rows the last scale wrote
  bool shuffleRows;             // widen rows by byte shuffles where the processor can
};
extern Display display;

// After the video mode: hides the system pointer over the game, keeping its
// positions absolute on classic SDL and on sdl12-compat alike. A player's own
// SDL_MOUSE_RELATIVE other than 0 gets the library's hidden, relative pointer.
void hidePointer();
// After SDL_Init: the game's 640x480 24-bit surface. Full screen at the
// desktop's size with the picture scaled onto it, or a real 640 by 480 mode
// under the dummy driver, with LAKEPORT_SCREEN=640x480, on a desktop smaller
// than the picture or when the desktop's size cannot be had. Null when no mode
// can be set.
SDL_Surface* openGameScreen();
// Sets the mapping for a screen of w by h pixels (no surfaces): the picture is
// the largest 4:3 box that fits, centred. Sizes below 640x480 map unscaled.
void setDisplayGeometry(int w, int h);
// Back to program start: an unscaled 640x480 mapping, the scaling surface
// freed.
void resetDisplay();

// Whether a screen point lies outside the picture (in a black bar or beyond).
bool outsidePicture(int sx, int sy);
// The game point shown at a screen point; points outside the picture clamp to
// its nearest edge.
void screenToGame(int sx, int sy, int* gx, int* gy);
// The screen point at the middle of a game point's pixels (game points are
// clamped to the picture first). screenToGame maps it back to the same point.
void gameToScreen(int gx, int gy, int* sx, int* sy);

// Turns a mouse event's screen positions into game positions (xrel/yrel
// become the motion between the mapped points); other events are untouched.
void mapPointerEvent(SDL_Event* event);
// The inverse, for an event that goes back into SDL's queue.
void unmapPointerEvent(SDL_Event* event);
// Moves the system pointer to a game point, clamped to the picture.
void warpMouse(int gx, int gy);

// Scales a 640x480 24-bit surface onto the picture of a 32-bit screen
// surface: every screen pixel shows the game pixel of the mapping above.
// Unless whole, only the game rows that differ from what the screen shows are
// scaled (the screen must have kept the last scale's pixels). The screen rows
// written are left in display.bands; the result is the game rows scaled.
int scalePicture(SDL_Surface* game, SDL_Surface* screen, bool whole);
// Shows a finished frame: scaled onto the real screen when the surface is the
// game's scaling surface, SDL_Flip otherwise. SDL_Flip's result.
int presentFrame(SDL_Surface* surface);
