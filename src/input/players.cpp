// The five per-device players and the input of a round: keyboard and mouse
// events, the sampled joysticks, the keyboard crosshair, the idle rule and the
// crosshairs on screen.
#include "input/players.h"

#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/displays.h"
#include "gfx/blit.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "weapons/weapons.h"

namespace {
constexpr int32_t ScreenWidth = 640;
constexpr int32_t ScreenHeight = 480;
constexpr int32_t DeadZone = 3500;         // axis readings up to this size are centred
constexpr double AxisStepScale = 0.0005;   // pixels per poll and axis unit
constexpr uint32_t JoystickPacingMs = 12;  // polls at most once in any 13 ms
constexpr int32_t GunStillPixels = 2;      // a gun held still wanders this far
constexpr int32_t NoRest = -1;             // a gun not read yet
constexpr GunState NoGun = {false, NoRest, NoRest, false, false};
constexpr uint32_t ArrowStepMs = 10;  // a cursor key steps at most once in any 11 ms
constexpr int32_t ArrowStepPixels = 6;
constexpr uint32_t IdleLimitMs = 10000;  // a player leaves after ten idle seconds
constexpr int32_t CrosshairHalf = 15;    // the crosshair picture's centre

Player initialPlayer(int32_t device) {
  Player p{};
  p.cursorX = device == Tracker ? -1 : 320;
  p.cursorY = device == Tracker ? -1 : 240;
  p.shotX = p.shotY = -1;
  p.shotChannel = p.reloadChannel = NoChannel;
  return p;
}

int32_t clampTo(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

void clampCursor(Player& p) {
  p.cursorX = clampTo(p.cursorX, 0, ScreenWidth - 1);
  p.cursorY = clampTo(p.cursorY, 0, ScreenHeight - 1);
}

// One axis reading: beyond the dead zone it moves the coordinate and counts as
// use of the device; the coordinate is clamped either way.
void moveAxis(Player& p, int32_t& coordinate, int32_t limit, int16_t value, uint32_t now) {
  if (value < -DeadZone || value > DeadZone) {
    coordinate += roundToInt(value * AxisStepScale);
    p.active = true;
    p.lastMoveTime = now;
  }
  coordinate = clampTo(coordinate, 0, limit - 1);
}

// A joystick's fire button as sampled by one poll: held asks for a shot again.
void sampleFireButton(Player& p, bool pressed) {
  if (pressed) {
    p.shotX = p.cursorX;
    p.shotY = p.cursorY;
    p.fireRequested = 1;
    p.triggerHeld = 1;
    p.active = true;
  } else {
    p.triggerHeld = 0;
    p.emptyClickDone = false;
  }
}

// A joystick's reload button as sampled by one poll: held presses again; the
// release is reported once, after a press was seen.
void sampleReloadButton(int32_t device, bool pressed) {
  Player& p = players[device];
  if (pressed) {
    reloadPress(device);
    p.reloadHeld = true;
    p.active = true;
  } else if (p.reloadHeld) {
    reloadRelease(device);
    p.reloadHeld = false;
  }
}

// Where one gun axis points on a screen `size` pixels across: the axis's full
// range covers the whole screen, 32767 its last pixel.
int32_t gunScreenPoint(int16_t value, int32_t size) {
  return static_cast<int32_t>((int64_t(value) + 32768) * size / 65536);
}

// A gun's reading: the crosshair goes to the game point shown where it points
// (the nearest edge of the picture from a black bar). Only a move of more than
// two pixels from where it last counted is use of the device, so a gun left
// lying still lets its player leave; its first reading only notes where it
// rests. True when it points outside the picture.
bool aimGun(Player& p, GunState& g, int16_t horizontal, int16_t vertical, uint32_t now) {
  const int sx = gunScreenPoint(horizontal, display.screenW);
  const int sy = gunScreenPoint(vertical, display.screenH);
  screenToGame(sx, sy, &p.cursorX, &p.cursorY);
  const bool moved =
      abs(p.cursorX - g.restX) > GunStillPixels || abs(p.cursorY - g.restY) > GunStillPixels;
  if (g.restX != NoRest && moved) {
    p.active = true;
    p.lastMoveTime = now;
  }
  if (g.restX == NoRest || moved) {
    g.restX = p.cursorX;
    g.restY = p.cursorY;
  }
  return outsidePicture(sx, sy);
}

// One reading of a joystick player's axes: a stick steps the crosshair, a gun
// points it. True when a gun points outside the picture.
bool aimJoystick(int32_t device, uint32_t now) {
  PlatformJoystick* const one = shell.joystick1;
  Player& p = players[device];
  int16_t horizontal, vertical;
  if (device == Joystick2 && shell.kioskMode) {
    // In kiosk mode the second player has the right-hand stick of joystick 1,
    // whether or not that joystick is present (an absent one reads centred).
    horizontal = joystickAxis(one, 3);
    vertical = joystickAxis(one, 2);
  } else {
    PlatformJoystick* const stick = device == Joystick1 ? one : shell.joystick2;
    horizontal = joystickAxis(stick, 0);
    vertical = joystickAxis(stick, 1);
  }
  if (guns[device].gun) return aimGun(p, guns[device], horizontal, vertical, now);
  moveAxis(p, p.cursorX, ScreenWidth, horizontal, now);
  moveAxis(p, p.cursorY, ScreenHeight, vertical, now);
  return false;
}

// A joystick player's two buttons as sampled by one poll. A gun's trigger
// pulled while it points off the picture is a reload until it is let go, as
// light-gun players expect.
void sampleButtons(int32_t device, bool fire, bool reload, bool outside) {
  Player& p = players[device];
  GunState& g = guns[device];
  if (!fire)
    g.offscreenPull = false;
  else if (g.gun && outside && p.triggerHeld == 0)
    g.offscreenPull = true;
  if (g.offscreenPull) {
    fire = false;
    reload = true;
  }
  sampleFireButton(p, fire);
  sampleReloadButton(device, reload);
}

// Both joystick players, at most once in any 13 ms: the axes, and in a round
// the buttons as well.
void pollJoystickPlayers(bool withButtons) {
  const uint32_t now = ticksMs();
  if (now - joystickPollTime <= JoystickPacingMs) return;
  PlatformJoystick* const one = shell.joystick1;
  PlatformJoystick* const two = shell.joystick2;
  if (one || two) joystickUpdate();  // one update reads every open stick
  if (one) {
    const bool outside = aimJoystick(Joystick1, now);
    if (withButtons)
      sampleButtons(Joystick1, joystickButton(one, 0), joystickButton(one, 1), outside);
  }
  if (two || shell.kioskMode) {
    const bool outside = aimJoystick(Joystick2, now);
    // Joystick 2's buttons and, in kiosk mode, buttons 2 and 3 of joystick 1
    // as well: a button counts as down while either of its pair is down, so
    // one held does not read as released (and reload at every poll) because
    // the other is up.
    if (withButtons) {
      const bool fire =
          (two && joystickButton(two, 0)) || (shell.kioskMode && joystickButton(one, 2));
      const bool reload =
          (two && joystickButton(two, 1)) || (shell.kioskMode && joystickButton(one, 3));
      sampleButtons(Joystick2, fire, reload, outside);
    }
  }
  joystickPollTime = now;
}

int arrowOf(SDLKey key) {
  switch (key) {
    case SDLK_UP: return ArrowUp;
    case SDLK_DOWN: return ArrowDown;
    case SDLK_LEFT: return ArrowLeft;
    case SDLK_RIGHT: return ArrowRight;
    default: return -1;
  }
}

bool isCtrl(SDLKey key) { return key == SDLK_RCTRL || key == SDLK_LCTRL; }
bool isAlt(SDLKey key) { return key == SDLK_RALT || key == SDLK_LALT; }

// Key pressed in a round; false for Escape, which ends the round.
bool keyDown(SDLKey key) {
  Player& k = players[Keyboard];
  const int arrow = arrowOf(key);
  if (arrow >= 0) {
    arrowHeld[arrow] = true;
    k.active = true;
  } else if (isCtrl(key)) {
    k.shotX = k.cursorX;
    k.shotY = k.cursorY;
    k.active = true;
    k.fireRequested = 1;
    k.triggerHeld = 1;
  } else if (isAlt(key)) {
    reloadPress(Keyboard);
  } else if (key == SDLK_ESCAPE) {
    return false;
  }
  return true;
}

void keyUp(SDLKey key) {
  Player& k = players[Keyboard];
  const int arrow = arrowOf(key);
  if (arrow >= 0) {
    arrowHeld[arrow] = false;
  } else if (isCtrl(key)) {
    k.triggerHeld = 0;
    k.emptyClickDone = false;
  } else if (isAlt(key)) {
    reloadRelease(Keyboard);
  } else if (key >= SDLK_1 && key <= SDLK_3) {
    const int32_t weapon = key - SDLK_1;
    shell.chosenWeapon = weapon;
    ShowWeaponLabel(weapon);  // the next frames draw it with the displays
  }
}

void mouseMotion(int32_t x, int32_t y, uint32_t now) {
  Player& m = players[Mouse];
  if (m.triggerHeld == 1 && shell.chosenWeapon == Thompson) {
    m.shotX = x;
    m.shotY = y;
    m.fireRequested = 1;
  }
  // Only a move along both axes renews the movement time.
  if (x != m.cursorX && y != m.cursorY) m.lastMoveTime = now;
  m.cursorX = x;
  m.cursorY = y;
  m.active = true;
}

void mouseButton(int button, bool down, int32_t x, int32_t y) {
  Player& m = players[Mouse];
  if (button == SDL_BUTTON_LEFT) {
    if (down) {
      m.shotX = x;
      m.shotY = y;
      m.fireRequested = 1;
      m.triggerHeld = 1;
    } else {
      m.triggerHeld = 0;
      m.emptyClickDone = false;
    }
  } else if (button == SDL_BUTTON_RIGHT) {
    if (down)
      reloadPress(Mouse);
    else
      reloadRelease(Mouse);
  }
}
}  // namespace

Player players[DeviceCount] = {initialPlayer(Tracker), initialPlayer(Mouse),
                               initialPlayer(Keyboard), initialPlayer(Joystick1),
                               initialPlayer(Joystick2)};
GunState guns[DeviceCount] = {NoGun, NoGun, NoGun, NoGun, NoGun};
bool arrowHeld[4];
uint32_t arrowStepTime[4];
uint32_t joystickPollTime;

void resetPlayers() {
  for (int32_t d = 0; d < DeviceCount; ++d) {
    players[d] = initialPlayer(d);
    guns[d] = NoGun;
  }
  for (int k = 0; k < 4; ++k) {
    arrowHeld[k] = false;
    arrowStepTime[k] = 0;
  }
  joystickPollTime = 0;
}

bool pollRoundEvents() {
  SDL_Event e;
  while (pollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN:
        if (!keyDown(e.key.keysym.sym)) return false;
        break;
      case SDL_KEYUP: keyUp(e.key.keysym.sym); break;
      case SDL_MOUSEMOTION: mouseMotion(e.motion.x, e.motion.y, ticksMs()); break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        mouseButton(e.button.button, e.type == SDL_MOUSEBUTTONDOWN, e.button.x, e.button.y);
        break;
      case SDL_QUIT: return false;
      default: break;
    }
  }
  return true;
}

void pollJoysticks() { pollJoystickPlayers(true); }

void aimJoysticks() { pollJoystickPlayers(false); }

namespace {
// The joystick players LAKEPORT_GUNS names, or none when it says nothing
// understood (then with one line on standard error).
void readGunList() {
  const char* value = getenv("LAKEPORT_GUNS");
  if (!value) return;
  // A list of 1 and 2 separated by commas, spaces allowed; empty names none.
  bool gun[2] = {false, false};
  bool wantItem = false, understood = true;
  for (const char* c = value; *c && understood; ++c) {
    if (*c == ' ') continue;
    if ((*c == '1' || *c == '2') && !wantItem) {
      gun[*c - '1'] = true;
      wantItem = true;
    } else if (*c == ',' && wantItem) {
      wantItem = false;
    } else {
      understood = false;
    }
  }
  if (!understood || (!wantItem && (gun[0] || gun[1]))) {
    fprintf(stderr,
            "lakeport-nights: LAKEPORT_GUNS=%s is not understood (it names joystick players "
            "1 and 2, e.g. 1,2); no joystick is a gun\n",
            value);
    return;
  }
  if (gun[1] && shell.kioskMode) {
    fprintf(stderr,
            "lakeport-nights: LAKEPORT_GUNS: in kiosk mode joystick player 2 is the first "
            "joystick's second stick, not a gun\n");
    gun[1] = false;
  }
  guns[Joystick1].gun = gun[0];
  guns[Joystick2].gun = gun[1];
}
}  // namespace

void readJoystickGuns() {
  readGunList();
  const char* crosshair = getenv("LAKEPORT_GUN_CROSSHAIR");
  if (!crosshair || !*crosshair || strcmp(crosshair, "on") == 0) return;
  if (strcmp(crosshair, "off") != 0) {
    fprintf(stderr,
            "lakeport-nights: LAKEPORT_GUN_CROSSHAIR=%s is not understood (off hides the "
            "crosshairs of the mouse and the guns); they are drawn\n",
            crosshair);
    return;
  }
  for (int d = Mouse; d < DeviceCount; ++d) guns[d].hideCrosshair = d == Mouse || guns[d].gun;
}

void stepKeyboardCursor() {
  static const int opposite[4] = {ArrowDown, ArrowUp, ArrowRight, ArrowLeft};
  static const int32_t stepX[4] = {0, 0, -ArrowStepPixels, ArrowStepPixels};
  static const int32_t stepY[4] = {-ArrowStepPixels, ArrowStepPixels, 0, 0};
  const uint32_t now = ticksMs();
  Player& k = players[Keyboard];
  for (int key = 0; key < 4; ++key) {
    if (!arrowHeld[key] || arrowHeld[opposite[key]]) continue;
    if (now - arrowStepTime[key] > ArrowStepMs) {
      k.cursorX += stepX[key];
      k.cursorY += stepY[key];
      arrowStepTime[key] = now;
    }
    clampCursor(k);
  }
}

int32_t roundToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  const double whole = std::trunc(value);
  const double rest = value - whole;
  int32_t result = static_cast<int32_t>(whole);
  // An exact half stays at the truncated value, that is toward zero.
  if (rest > 0.5) ++result;
  if (rest < -0.5) --result;
  return result;
}

void expireIdlePlayers(uint32_t now) {
  for (int32_t d = 0; d < DeviceCount; ++d) {
    Player& p = players[d];
    bool movedLately;
    if (d == Keyboard) {
      movedLately = false;
      for (uint32_t stepped : arrowStepTime)
        if (now - stepped <= IdleLimitMs) movedLately = true;
    } else {
      movedLately = now - p.lastMoveTime <= IdleLimitMs;
    }
    if (now - p.lastShotTime > IdleLimitMs && !movedLately) p.active = false;
  }
}

void DrawCrosshairs() {
  for (int32_t d = 0; d < DeviceCount; ++d) {
    const Player& p = players[d];
    SDL_Surface* picture = pictures.crosshair[d];
    if (!p.active || !picture || !shell.video || guns[d].hideCrosshair) continue;
    // The tracker's crosshair is not clamped; one wholly off the screen is not
    // blitted, so a far-off position cannot wrap around SDL's 16-bit rectangle.
    const int64_t left = int64_t(p.cursorX) - CrosshairHalf;
    const int64_t top = int64_t(p.cursorY) - CrosshairHalf;
    if (left >= ScreenWidth || top >= ScreenHeight || left + picture->w <= 0 ||
        top + picture->h <= 0)
      continue;
    SDL_Rect where{static_cast<Sint16>(left), static_cast<Sint16>(top), 0, 0};
    BlitPicture(picture, nullptr, shell.video, &where);
  }
}
