// Entry glue: runs the game and explains a start-up that failed.
#include <SDL.h>

#include <cstdio>

#include "app/shell.h"

int main(int argc, char** argv) {
  const int result = gameMain(argc, argv);
  if (result == 0) return 0;  // --help or --version
  if (result == -1) {
    fprintf(stderr, "lakeport-nights: SDL could not be initialised: %s\n", SDL_GetError());
  } else if (result == -2) {
    fprintf(stderr, "lakeport-nights: the 640x480 full-screen video mode could not be set: %s\n",
            SDL_GetError());
    SDL_Quit();
  }
  return 1;
}
