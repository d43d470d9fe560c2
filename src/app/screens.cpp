// The screen loop (stand-in until the front-end screens land: the title picture
// until Escape or window close).
#include "app/screens.h"

#include "app/shell.h"
#include "gfx/grid.h"
#include "platform/clock.h"
#include "platform/events.h"

void runScreenPass() {
  DrawBackdrop(8);
  flipScreen(shell.video);
  SDL_Event e;
  while (pollEvent(&e)) {
    if (e.type == SDL_QUIT || (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE)) {
      shutdownGame();
      exitProgram(0);
    }
  }
  sleepMs(10);
}

void runScreenLoop() {
  for (;;) runScreenPass();
}

void waitForAction() {}
void runTitleScreen() {}
void runStoryScreen() {}
void runDisplayHelpScreen() {}
void runWeaponChoiceScreen() {}
void runLevelChoiceScreen() {}
