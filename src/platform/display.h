// The game's 640 by 480 picture on the player's screen: the video mode, the
// mapping between game and screen points, the scaled flip and the pointer warp.
#pragma once
#include <SDL.h>

#include <vector>

constexpr int GameWidth = 640;
constexpr int GameHeight = 480;

// How the last scale widened its game rows: by byte shuffles (SSSE3), from
// three words to four pixels (the screen has the game's layout), through a
// converted row (another layout), or column by column (over five times wide).
enum class RowWay { Shuffle, SameLayout, OtherLayout, Spread };

// Where the game picture lies on the screen (or the window). On a 640 by 480
// screen without a frame, or unscaled (a screen SDL gives no 32-bit pixels),
// every map is the identity.
struct Display {
  int screenW = GameWidth, screenH = GameHeight;  // the screen or the window in pixels
  SDL_Rect picture{0, 0, GameWidth, GameHeight};  // the largest 4:3 box inside the frame, centred
  SDL_Rect frame{0, 0, GameWidth, GameHeight};    // the picture with its frame around it
  int framePercent = 0;           // the frame's thickness in percent of the screen's height
  Uint32 frameColour = 0xFFFFFF;  // 0xRRGGBB
  bool windowed = false;          // a window the player can resize, not full screen
  std::vector<int> gameColumn;    // for each picture column, the game column shown there
  std::vector<int> gameRow;       // for each picture row, the game row shown there
  SDL_Surface* screen = nullptr;  // the real screen when scaling, else nullptr
  SDL_Surface* game = nullptr;    // the 640x480x24 surface the game draws on when scaling
  int fullUpdatesLeft = 0;        // flips that still redraw bars and frame (both buffers)
  std::vector<Uint8> shown;       // the game picture the screen shows, row by row
  std::vector<SDL_Rect> bands;    // the screen rows the last scale wrote
  bool shuffleRows = true;        // widen rows by byte shuffles where the processor can
  RowWay rowWay{};                // how the last scale widened its rows
};
extern Display display;

// After the video mode: hides the system pointer over the game, keeping its
// positions absolute on classic SDL and on sdl12-compat alike. A player's own
// SDL_MOUSE_RELATIVE other than 0 gets the library's hidden, relative pointer.
void hidePointer();
// After SDL_Init: the game's 640x480 24-bit surface, its picture scaled onto
// a 32-bit screen: full screen at the desktop's size, a real 640 by 480 mode
// (LAKEPORT_SCREEN=640x480 on classic SDL, or a desktop smaller than that), or
// a window (LAKEPORT_SCREEN=window) of the largest whole multiple of 640 by 480
// that fits well inside the desktop; 640 by 480 where the desktop's size is
// unknown (SDL's dummy driver). LAKEPORT_BORDER=THICKNESS[,COLOUR] puts a frame
// around the picture. A value not understood gets one line on standard error
// and is ignored. A screen without 32-bit pixels gets the plain 640 by 480
// mode the game draws on directly. Null when no mode can be set.
SDL_Surface* openGameScreen();
// The window's size in whole multiples of 640 by 480: the largest that fits in
// nine tenths of a desktop of desktopW by desktopH, and at least 1.
int windowScale(int desktopW, int desktopH);
// Reads LAKEPORT_BORDER into the frame's thickness and colour: none when unset,
// 0 or not understood (then with one line on standard error).
void readFrameSetting();
// Sets the mapping for a screen of w by h pixels (no surfaces): the frame's
// thickness is framePercent of h, and the picture the largest 4:3 box that
// fits inside it, centred, however small.
void setDisplayGeometry(int w, int h);
// A new screen of w by h (a window the player resized): the picture and frame
// laid out on it anew, and the last frame shown on it whole.
void resizeScreen(int w, int h);
// Back to program start: an unscaled 640x480 mapping without a frame, the
// scaling surface freed.
void resetDisplay();

// Whether a screen point lies outside the picture (in the frame, a black bar
// or beyond).
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

// Whether this build and processor widen rows by byte shuffles (SSSE3).
bool canShuffleRows();
// Scales a 640x480 24-bit surface onto the picture of a 32-bit screen
// surface: every screen pixel shows the game pixel of the mapping above.
// Unless whole, only the game rows that differ from what the screen shows are
// scaled (the screen must have kept the last scale's pixels). The screen rows
// written are left in display.bands; the result is the game rows scaled.
int scalePicture(SDL_Surface* game, SDL_Surface* screen, bool whole);
// Shows a finished frame: scaled onto the real screen when the surface is the
// game's scaling surface (the bars and the frame drawn with the whole
// picture), SDL_Flip otherwise. SDL_Flip's result.
int presentFrame(SDL_Surface* surface);
