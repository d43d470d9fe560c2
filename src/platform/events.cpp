// Event polling with pointer positions in game pixels, flipping and exit, each
// with an optional test hook.
#include "platform/events.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/display.h"
#include "platform/signals.h"

namespace {
std::function<void()> idleHook;
std::function<void()> flipHook;
std::function<void(int)> exitHook;
}  // namespace

int pollEvent(SDL_Event* event) {
  serviceStopSignal();
  int got = SDL_PollEvent(event);
  if (!got && idleHook) {
    idleHook();
    got = SDL_PollEvent(event);
  }
  // A window resized by the player is the screen's business alone.
  while (got && event->type == SDL_VIDEORESIZE) {
    resizeScreen(event->resize.w, event->resize.h);
    got = SDL_PollEvent(event);
  }
  if (got) mapPointerEvent(event);
  return got;
}

void unreadEvent(const SDL_Event& event) {
  // SDL 1.2 only appends; take the queue out, add the event, then the rest.
  // The queue holds at most 127 events and one was just taken from it.
  SDL_Event queued[128];
  int count = SDL_PeepEvents(queued, 128, SDL_GETEVENT, SDL_ALLEVENTS);
  if (count < 0) count = 0;
  SDL_Event first = event;
  unmapPointerEvent(&first);  // pollEvent maps it again
  SDL_PeepEvents(&first, 1, SDL_ADDEVENT, 0);
  if (count > 0) SDL_PeepEvents(queued, count, SDL_ADDEVENT, 0);
}

int flipScreen(SDL_Surface* surface) {
  int result = presentFrame(surface);
  if (flipHook) flipHook();
  return result;
}

void exitProgram(int status) {
  if (exitHook) exitHook(status);
  fflush(stdout);
  exit(status);
}

void exitBySignal(int signal) {
  if (exitHook) exitHook(128 + signal);
  fflush(stdout);
  struct sigaction byDefault = {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  sigaction(signal, &byDefault, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);  // a signal whose default action does not end the process
}

void setIdleHook(std::function<void()> hook) { idleHook = std::move(hook); }
void setFlipHook(std::function<void()> hook) { flipHook = std::move(hook); }
void setExitHook(std::function<void(int)> hook) { exitHook = std::move(hook); }

void clearEventHooks() {
  idleHook = nullptr;
  flipHook = nullptr;
  exitHook = nullptr;
}
