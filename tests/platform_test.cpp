// The random generator's range and seams, and the fake clock.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/random.h"

TEST(Random, DrawsStayInRangeAndRepeatPerSeed) {
  seedRandom(12345);
  int32_t first[100];
  int32_t lo = 32767, hi = 0;
  for (int32_t& v : first) {
    v = randomInt();
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_GE(lo, 0);
  EXPECT_LE(hi, 32767);
  seedRandom(12345);
  for (int32_t v : first) EXPECT_EQ(randomInt(), v);
}

TEST(Random, UpToGivesNOnlyForTheTopInteger) {
  scriptRandom({32767, 32766, 0, 16384});
  EXPECT_EQ(RandomUpTo(12), 12);
  EXPECT_EQ(RandomUpTo(12), 11);
  EXPECT_EQ(RandomUpTo(12), 0);
  EXPECT_EQ(RandomUpTo(100), 50);
  scriptRandom({32767, 0});
  EXPECT_DOUBLE_EQ(RandomUnit(), 1.0);
  EXPECT_DOUBLE_EQ(RandomUnit(), 0.0);
}

TEST(Clock, FakeClockDrivesTicksWallSecondsAndSleep) {
  useFakeClock(500, 1000);
  EXPECT_EQ(ticksMs(), 500u);
  EXPECT_EQ(wallSeconds(), 1000);
  sleepMs(999);
  EXPECT_EQ(wallSeconds(), 1000);
  advanceFakeClock(1);
  EXPECT_EQ(ticksMs(), 1500u);
  EXPECT_EQ(wallSeconds(), 1001);
  EXPECT_EQ(wallSecondsSince(1003, 1001), 2);
  useRealClock();
}
