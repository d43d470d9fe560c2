// The five players and in-round input (stand-in until the input lands).
#include "input/players.h"

Player players[DeviceCount];
bool arrowHeld[4];
uint32_t arrowStepTime[4];
uint32_t joystickPollTime;

void resetPlayers() {}
bool pollRoundEvents() { return true; }
void pollJoysticks() {}
void stepKeyboardCursor() {}
int32_t roundToInt(double value) { return static_cast<int32_t>(value); }
void expireIdlePlayers(uint32_t) {}
void DrawCrosshairs() {}
void moveJoystickCrosshair(int32_t, int16_t, int16_t, uint32_t) {}
