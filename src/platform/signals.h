// Stop signals: SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, logout) only mark a
// request; the game's event polls and sleeps see it and end the program cleanly.
#pragma once

// Installs the request-marking handler for SIGINT, SIGTERM and SIGHUP, each
// unless it is ignored (nohup, a script's background job), keeping the old
// actions, and forgets any earlier request or hold. Called before SDL_Init, so
// SDL leaves them alone instead of turning them into a window close. `onStop`
// runs with the signal's number at the first serviceStopSignal that finds a
// request and no hold; it must not return.
void installStopSignals(void (*onStop)(int signal));
// Puts the old actions back and forgets request, hold and stop action.
void restoreStopSignals();
// Closing the window asks for the same end as a stop signal, with status 0.
constexpr int StopWindowClosed = -1;
// The signal that asked the program to end, StopWindowClosed, or 0.
int stopSignal();
// Marks a request as a stop signal does (the window's StopWindowClosed).
void requestStop(int why);
// Whether the end of a round holds requests until its result is stored.
bool stopHeld();
// While held, a request waits: the end of a round holds it until its result
// is stored, so the request ends the program only after that.
void holdStopSignal(bool hold);
// Runs the stop action when a request waits and nothing holds it. Every event
// poll calls it.
void serviceStopSignal();
