// The front-end input poll that every screen outside a round reads.
#pragma once
#include <cstdint>

struct MenuInput {
  int32_t selectDevice;  // DeviceId whose fire made the last selection, or -1
  int32_t backDevice;    // DeviceId whose button 2 made the last back request, or -1
};

extern MenuInput menuInput;

void resetMenuInput();
// Handles pending events. True: the queue is empty and nothing was decided.
// False: a fire, button 2 or Space was released (see menuInput and
// ShellState::backRequested). Window close shuts the game down with status 0;
// while the end of a round holds stops, it asks for that end as a stop signal
// does (platform/signals.h) and returns false.
bool pollMenuInput();
