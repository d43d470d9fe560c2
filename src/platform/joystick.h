// Joystick reads: SDL's joysticks in the game, fake sticks in tests.
#pragma once
#include <cstdint>

// An open joystick; opaque to the game.
struct PlatformJoystick;

int joystickCount();
// Opens device index (0 or 1 in this game); null when it cannot be opened.
PlatformJoystick* joystickOpen(int index);
bool joystickOpened(int index);
void joystickClose(PlatformJoystick* stick);
// Refreshes the readings of every open stick (SDL_JoystickUpdate).
void joystickUpdate();
// A missing stick, axis or button reads centred (0) and released (false).
int16_t joystickAxis(PlatformJoystick* stick, int axis);
bool joystickButton(PlatformJoystick* stick, int button);

// Test seam: `count` fake sticks with 4 axes and 4 buttons each, all neutral.
void useFakeJoysticks(int count);
void setFakeAxis(int index, int axis, int16_t value);
void setFakeButton(int index, int button, bool pressed);
void useRealJoysticks();
bool fakeJoysticksInUse();
