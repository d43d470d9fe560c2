// Clocks and sleeping: every time the game reads or waits goes through here, so
// tests can run it on a fake clock.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>

// Milliseconds since SDL started (SDL_GetTicks), or the fake clock's reading.
uint32_t ticksMs();
// The calendar time in whole seconds (time), or the fake clock's seconds.
time_t wallSeconds();
// Whole seconds from stamp to now (difftime, truncated toward zero).
int32_t wallSecondsSince(time_t now, time_t stamp);
// Blocks the calling thread, or less when a stop signal waits (the program is
// about to end); on the fake clock it only advances the clock.
void sleepMs(uint32_t ms);

// Test seam. On the fake clock ticksMs() reads startMs plus every advance and
// sleep; wallSeconds() is startWall plus the elapsed fake milliseconds / 1000.
void useFakeClock(uint32_t startMs, time_t startWall);
void advanceFakeClock(uint32_t ms);
void setFakeTicks(uint32_t ms);
void useRealClock();
bool fakeClockInUse();
// On the fake clock every sleepMs first runs the hook with the length asked for
// (a stand-in device answers while the game waits), then advances the clock.
// useFakeClock and useRealClock remove it.
void setFakeSleepHook(std::function<void(uint32_t ms)> hook);
