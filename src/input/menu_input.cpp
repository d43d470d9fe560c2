// The front-end input poll: every device selects with its fire control and
// goes back with its second button, always on release.
#include "input/menu_input.h"

#include <SDL.h>

#include "app/shell.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/signals.h"

MenuInput menuInput = {-1, -1};

namespace {
// What one look at a pair of joystick buttons decided.
enum class ButtonResult { None, Fire, Back };

// A player's fire and second button through its latches: a press only arms
// the latch, the first poll that sees the button up again decides.
ButtonResult pollMenuButtons(Player& player, bool fireDown, bool backDown) {
  if (fireDown) {
    player.menuFireHeld = true;
    player.active = true;
  } else if (player.menuFireHeld) {
    player.menuFireHeld = false;
    return ButtonResult::Fire;
  }
  if (backDown) {
    player.reloadHeld = true;
    player.active = true;
  } else if (player.reloadHeld) {
    player.reloadHeld = false;
    return ButtonResult::Back;
  }
  return ButtonResult::None;
}

// The second player's buttons: joystick 2's and, in kiosk mode, buttons 2 and
// 3 of joystick 1 as well. A button counts as down while either of its pair is
// down, so one held button cannot turn the other's rest into a release at
// every poll, which would report a decision on every call and keep every
// other device from ever being heard.
bool secondFireDown() {
  return (shell.joystick2 && joystickButton(shell.joystick2, 0)) ||
         (shell.kioskMode && joystickButton(shell.joystick1, 2));
}
bool secondBackDown() {
  return (shell.joystick2 && joystickButton(shell.joystick2, 1)) ||
         (shell.kioskMode && joystickButton(shell.joystick1, 3));
}

// Records a joystick decision for the device; true when there was one.
bool decide(ButtonResult result, int32_t device) {
  if (result == ButtonResult::Fire) {
    menuInput.selectDevice = device;
    return true;
  }
  if (result == ButtonResult::Back) {
    shell.backRequested = true;
    menuInput.backDevice = device;
    return true;
  }
  return false;
}

// Polls the tracker and both joysticks' buttons once; true when a joystick
// decided. The sticks move by the paced reading of aimJoysticks.
bool pollMenuDevices() {
  pollTracker();
  aimJoysticks();
  if (shell.joystick1 || shell.joystick2) joystickUpdate();  // the buttons, between paced reads
  if (shell.joystick1) {
    if (decide(pollMenuButtons(players[Joystick1], joystickButton(shell.joystick1, 0),
                               joystickButton(shell.joystick1, 1)),
               Joystick1))
      return true;
  }
  if (shell.joystick2 || shell.kioskMode) {
    if (decide(pollMenuButtons(players[Joystick2], secondFireDown(), secondBackDown()), Joystick2))
      return true;
  }
  return false;
}

bool isArrow(SDLKey key) {
  return key == SDLK_UP || key == SDLK_DOWN || key == SDLK_LEFT || key == SDLK_RIGHT;
}

int arrowIndex(SDLKey key) {
  switch (key) {
    case SDLK_UP: return ArrowUp;
    case SDLK_DOWN: return ArrowDown;
    case SDLK_LEFT: return ArrowLeft;
    default: return ArrowRight;
  }
}

bool isCtrl(SDLKey key) { return key == SDLK_RCTRL || key == SDLK_LCTRL; }
bool isAlt(SDLKey key) { return key == SDLK_RALT || key == SDLK_LALT; }

// Handles one event; true when it was a decision (the poll returns false).
bool handleMenuEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      const SDLKey key = event.key.keysym.sym;
      if (isArrow(key)) {
        arrowHeld[arrowIndex(key)] = true;
        players[Keyboard].active = true;
      } else if (isCtrl(key)) {
        players[Keyboard].active = true;
      }
      return false;
    }
    case SDL_KEYUP: {
      const SDLKey key = event.key.keysym.sym;
      if (isArrow(key)) {
        arrowHeld[arrowIndex(key)] = false;
        return false;
      }
      if (isCtrl(key)) {
        players[Keyboard].active = true;
        menuInput.selectDevice = Keyboard;
        return true;
      }
      if (isAlt(key)) {
        shell.backRequested = true;
        menuInput.backDevice = Keyboard;
        return true;
      }
      // Escape only marks the request; the next decision carries it.
      if (key == SDLK_ESCAPE) shell.backRequested = true;
      return key == SDLK_SPACE;
    }
    case SDL_MOUSEMOTION: {
      Player& mouse = players[Mouse];
      if (event.motion.x != mouse.cursorX && event.motion.y != mouse.cursorY)
        mouse.lastMoveTime = ticksMs();
      mouse.cursorX = event.motion.x;
      mouse.cursorY = event.motion.y;
      mouse.active = true;
      return false;
    }
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) {
        players[Mouse].active = true;
        menuInput.selectDevice = Mouse;
        return true;
      }
      if (event.button.button == SDL_BUTTON_RIGHT) {
        shell.backRequested = true;
        menuInput.backDevice = Mouse;
        return true;
      }
      return false;
    case SDL_QUIT:
      // While the end of a round holds stops, the window's waits like a signal
      // until the result is stored.
      if (stopHeld()) return requestStop(StopWindowClosed), true;
      shutdownGame();
      exitProgram(0);
    default: return false;
  }
}
}  // namespace

void resetMenuInput() { menuInput = MenuInput{-1, -1}; }

bool pollMenuInput() {
  // A stick held over sends no events: it moves at the round's pace all the same.
  aimJoysticks();
  SDL_Event event;
  while (pollEvent(&event)) {
    if (pollMenuDevices()) {
      // The event came with a joystick's decision; it is handled at the next
      // poll rather than dropped, so a key release or window close is not lost.
      unreadEvent(event);
      return false;
    }
    if (handleMenuEvent(event)) return false;
  }
  return true;
}
