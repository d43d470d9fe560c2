// Which SDL 1.2 the game runs on, classic SDL 1.2 or sdl12-compat (SDL 1.2 over
// SDL 2, the libSDL-1.2.so.0 of today's distributions), and the hints the game
// gives sdl12-compat so that it behaves as classic SDL does.
#pragma once
#include <string>

// Whether libSDL-1.2.so.0 is sdl12-compat, which reports 1.2.50 and above.
bool onSdl12Compat();
// The library by name and version: "classic SDL 1.2.15", or "sdl12-compat
// 1.2.60 over SDL 2.26.5" (the SDL 2 version where it can be read).
std::string sdlLibraryName();
// Before SDL_Init, on sdl12-compat only, each hint unless the player set it:
// SDL 2's software renderer, which shows the game's full-size picture as
// classic SDL does, without loading OpenGL (a third of the start-up time and
// memory); and joysticks read through the kernel's input events, numbered as
// classic SDL numbers their axes and buttons.
void prepareSdl();
// Unsets the hints prepareSdl set (tests).
void resetSdlHints();
