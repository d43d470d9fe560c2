// Picture blits that give SDL_UpperBlit's pixels at the speed of the machine's
// own memory copy where SDL's blitter is slow.
#pragma once
#include <SDL.h>

// SDL_UpperBlit with the same arguments, clipping, result and pixels. Where both
// surfaces share one pixel layout of 2 to 4 bytes it copies rows itself: plain
// rows for a source without colour key or alpha, and for a 24-bit source with a
// colour key every pixel but the key's. SDL's copy of such rows bypasses the
// processor's cache and costs four times a plain memory copy; its keyed copy
// rebuilds every pixel from its colours. Anything else is SDL's own blit.
int BlitPicture(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
