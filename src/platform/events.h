// The game's edges towards SDL's event queue, the screen flip and process exit,
// with hooks that let a test drive the real loops frame by frame.
#pragma once
#include <SDL.h>

#include <functional>

// SDL_PollEvent. When the queue is empty and an idle hook is set, the hook runs
// once (it may push events) and the queue is polled again. Mouse positions come
// in game pixels, whatever the screen's size (platform/display.h). A stop
// signal that waits and is not held ends the program here first
// (platform/signals.h).
int pollEvent(SDL_Event* event);
// Puts an event taken by pollEvent back at the head of the queue, ahead of
// everything still queued, so the next pollEvent returns it again.
void unreadEvent(const SDL_Event& event);
// Shows the frame (presentFrame: SDL_Flip, or the picture scaled onto the
// screen), then the flip hook if one is set.
int flipScreen(SDL_Surface* surface);
// Ends the process with the status (exit), or hands the status to the exit
// hook, which must not return (a test throws from it).
[[noreturn]] void exitProgram(int status);
// Ends the process as the signal's default action does, so a shell or
// supervisor sees it ended by that signal (status 128 + signal); the exit hook,
// if set, gets 128 + signal instead.
[[noreturn]] void exitBySignal(int signal);

void setIdleHook(std::function<void()> hook);
void setFlipHook(std::function<void()> hook);
void setExitHook(std::function<void(int)> hook);
void clearEventHooks();
