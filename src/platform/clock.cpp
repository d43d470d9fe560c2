// Real and fake clocks behind one seam.
#include "platform/clock.h"

#include <SDL.h>

#include <cerrno>

#include "platform/signals.h"

namespace {
bool fake = false;
uint32_t fakeMs = 0;
uint32_t fakeStartMs = 0;
time_t fakeStartWall = 0;
std::function<void(uint32_t)> fakeSleepHook;
}  // namespace

uint32_t ticksMs() { return fake ? fakeMs : SDL_GetTicks(); }

time_t wallSeconds() {
  if (fake) return fakeStartWall + static_cast<time_t>((fakeMs - fakeStartMs) / 1000u);
  return time(nullptr);
}

int32_t wallSecondsSince(time_t now, time_t stamp) {
  return static_cast<int32_t>(difftime(now, stamp));
}

void sleepMs(uint32_t ms) {
  if (fake) {
    if (fakeSleepHook) fakeSleepHook(ms);
    fakeMs += ms;
    return;
  }
  // A stop signal cuts the wait short: the program is about to end.
  if (stopSignal()) return;
  timespec want{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  timespec left{};
  while (nanosleep(&want, &left) != 0 && errno == EINTR && !stopSignal()) want = left;
}

void useFakeClock(uint32_t startMs, time_t startWall) {
  fake = true;
  fakeMs = fakeStartMs = startMs;
  fakeStartWall = startWall;
  fakeSleepHook = nullptr;
}

void advanceFakeClock(uint32_t ms) { fakeMs += ms; }
void setFakeTicks(uint32_t ms) { fakeMs = ms; }
void useRealClock() {
  fake = false;
  fakeSleepHook = nullptr;
}
bool fakeClockInUse() { return fake; }
void setFakeSleepHook(std::function<void(uint32_t)> hook) { fakeSleepHook = std::move(hook); }
