// Picture blits that give SDL_UpperBlit's pixels at the speed of the machine's
// own memory copy where SDL's blitter is slow.
#pragma once
#include <SDL.h>

// SDL_UpperBlit with the same arguments, clipping, result and pixels (classic
// SDL 1.2's). It copies rows itself where both surfaces share one pixel layout
// of 2 to 4 bytes and the source has no colour key or alpha; and between 24-bit
// layouts whose colours are whole bytes, in either byte order, with or without
// a colour key, it moves the bytes of every pixel but the key's. SDL's copy of
// plain rows bypasses the processor's cache and costs four times a memory copy;
// its other copies rebuild every pixel from its colours. A 32-bit picture with
// an alpha channel (a font) it blends onto such a 24-bit surface itself, with
// classic SDL 1.2's rounding on sdl12-compat too. Anything else is SDL's blit.
int BlitPicture(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);

// The way BlitPicture takes from src onto dst: SDL's blit, whole rows, the
// runs between key pixels of one 24-bit layout, a 24-bit pixel's bytes moved
// into another order, or a font's alpha blend.
enum class BlitWay { Sdl, Rows, Runs24, Bytes24, Blend };
BlitWay blitWay(const SDL_Surface* src, const SDL_Surface* dst);
