// The five per-device players and the in-round input: keyboard and mouse
// events, joystick polls, the keyboard crosshair, the idle rule, crosshairs.
#pragma once
#include <cstdint>

enum DeviceId : int32_t {
  Tracker = 0,
  Mouse = 1,
  Keyboard = 2,
  Joystick1 = 3,
  Joystick2 = 4,
};
constexpr int DeviceCount = 5;

struct Player {
  int32_t cursorX, cursorY;  // crosshair in screen pixels
  int32_t shotX, shotY;      // where the next shot goes
  int32_t triggerHeld;       // the fire control is down (0/1)
  int32_t fireRequested;     // a trigger pull waits for the weapon rules (0/1)
  uint32_t lastShotTime;     // ms when the weapon rules last served the trigger
  uint32_t lastMoveTime;     // ms when the device last moved (not the keyboard)
  bool active;               // takes part: drawn and counted
  int32_t shotsFired;        // shots since the last reload
  bool menuFireHeld;         // joysticks: the front-end poll saw fire down
  bool reloadHeld;           // joysticks: button 2 seen down, release awaited
  bool emptyClickDone;       // the Thompson's empty click of this trigger hold
  int32_t shotChannel;       // recorded mixer channel of the last shot or click
  int32_t reloadChannel;     // recorded mixer channel of the last reload sound
};

// A joystick player that is a light gun in gamepad mode: its axes say where it
// points on the screen.
struct GunState {
  bool gun;              // set at start-up from LAKEPORT_GUNS
  int32_t restX, restY;  // where the crosshair last counted as moved; -1 before
  bool offscreenPull;    // the trigger was pulled off the picture: it reloads
  bool hideCrosshair;    // LAKEPORT_GUN_CROSSHAIR=off: a gun (or the mouse) aims by itself
};

enum ArrowKey { ArrowUp = 0, ArrowDown = 1, ArrowLeft = 2, ArrowRight = 3 };

extern Player players[DeviceCount];
extern GunState guns[DeviceCount];  // by DeviceId; the joysticks', and the mouse's crosshair
extern bool arrowHeld[4];
extern uint32_t arrowStepTime[4];
extern uint32_t joystickPollTime;

// Restores the players and keyboard state to their values at program start.
void resetPlayers();
// Handles every pending SDL event of a round. True when the queue is empty;
// false at once on Escape pressed or SDL_QUIT, leaving later events queued.
bool pollRoundEvents();
// Reads both joysticks, at most once in any 13 ms: a stick steps its crosshair,
// a gun points it; button one fires (a gun's pulled off the picture reloads
// until let go), button two reloads.
void pollJoysticks();
// The menus' share of pollJoysticks: the same paced reading of the axes alone,
// so a held stick moves whether or not an event is queued.
void aimJoysticks();
// Reads LAKEPORT_GUNS once at start-up (after the kiosk flag is set): the
// joystick players it names (1, 2 or 1,2) are guns. A malformed value gets one
// line on standard error and makes no gun; in kiosk mode player 2 is the first
// joystick's second stick and never a gun. Then LAKEPORT_GUN_CROSSHAIR: off
// hides the crosshairs of the mouse (guns in mouse mode play as the mouse)
// and of the joystick guns; a value not understood gets one line and is
// ignored.
void readJoystickGuns();
// Moves the keyboard crosshair by the held cursor keys (6 pixels, 10 ms rule).
void stepKeyboardCursor();
// Nearest integer; an exact half goes toward zero.
int32_t roundToInt(double value);
// Makes players idle for more than 10000 ms inactive.
void expireIdlePlayers(uint32_t now);
// Blits the crosshair of every active player, centred on its cursor.
void DrawCrosshairs();
