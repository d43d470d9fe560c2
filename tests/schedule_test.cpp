// The figures' schedule on the fake clock with scripted draws.
#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "platform/random.h"

namespace {
class ScheduleTest : public FiguresTest {
 protected:
  // A figure hidden with the given break; with none, brought on place s now.
  static Target* ready(int kind, int breakSeconds) {
    TargetAt(kind)->Reset();
    TargetAt(kind)->breakSeconds = breakSeconds;
    return TargetAt(kind);
  }
  static Target* appear(int kind, int s) {
    Target* t = ready(kind, 0);
    scriptRandom({drawFor(12, s)});
    t->Tick();
    EXPECT_TRUE(t->shown);
    return t;
  }
  // Moves the clock on to the first millisecond of the figure's given second.
  static void untilSecond(const Target* t, int second) {
    while (wallSeconds() - t->appearedAt < second) advanceFakeClock(1);
  }
  // Ticks once with the given draws and tells whether the figure fired.
  static bool firesWith(Target* t, std::vector<int32_t> draws) {
    scriptRandom(draws), t->Tick();
    return t->firing == 1;
  }
};

TEST_F(ScheduleTest, AWallClockSetBackRestartsTheWaitAndTheStay) {
  Target* waiting = ready(8, 3);
  Target* standing = appear(0, 0);
  advanceFakeClock(1500);
  useFakeClock(ticksMs(), wallSeconds() - 3600);
  for (int step : {0, 2999, 1}) {
    advanceFakeClock(step);
    scriptRandom({0, drawFor(12, 4)});
    standing->Tick();
    waiting->Tick();
    EXPECT_EQ(std::make_pair(standing->shown, waiting->shown),
              std::make_pair(step != 1, step == 1));
  }
}

// In the second second a gangster fires for q below 75, in the third below 90,
// once more than 180 ms have passed since its last shot; on the Garage the
// shot then hits for q up to 1 (chance 25) and up to 26 (chance 50).
TEST_F(ScheduleTest, AGangsterFiresInItsSecondAndThirdSecondWhenSpaced) {
  shell.chosenLevel = Garage;
  useFakeClock(0u - 1900, wallSeconds());  // the tick counter wraps as the third second begins
  Target* t = appear(6, 2);
  t->health = 1;  // wounded, it still fires
  for (int ms = 0; ms < 999; ms += 37, advanceFakeClock(37)) EXPECT_FALSE(firesWith(t, {0}));
  const struct {
    int second;
    uint32_t sinceShot;
    int q, roll;
    bool fires;
    int32_t energy;
  } ticks[] = {{1, 181, 75, 0, false, 100},   {1, 181, 74, 2, true, 100},
               {1, 181, 74, 1, true, 99},     {1, 180, 0, 0, false, 99},
               {2, 181, 90, 0, false, 99},    {2, 181, 89, 26, true, 98},
               {2, 0u - 400, 0, 0, false, 98}};
  for (const auto& k : ticks) {
    untilSecond(t, k.second);
    t->lastShotTicks = ticksMs() - k.sinceShot;  // into the future after a hit
    EXPECT_EQ(firesWith(t, {drawFor(100, k.q), drawFor(100, k.roll)}), k.fires) << k.q;
    EXPECT_EQ(t->lastShotTicks, k.fires ? ticksMs() : ticksMs() - k.sinceShot) << k.q;
    EXPECT_EQ(roundState.energy, k.energy) << k.q;
  }
  t->health = 0, t->lastShotTicks = ticksMs() - 181;
  EXPECT_FALSE(firesWith(t, {0, 0})) << "the dead never fire";
  // The frame its stay ends it leaves without firing and draws its break:
  // 3 + 12 r / p seconds for a gangster, p players.
  untilSecond(t, 3);
  roundState.playerCount = 2;
  EXPECT_FALSE(firesWith(t, {32767}));
  EXPECT_TRUE(!t->shown && t->breakSeconds == 9) << t->breakSeconds;
  // On the Flower Shop the highest q that hits is 49 for chance 25, 74 for 50;
  // energy may go below zero.
  shell.chosenLevel = FlowerShop;
  for (auto [chance, last] : {std::pair{25, 49}, {50, 74}}) {
    roundState.energy = 1;
    scriptRandom({drawFor(100, last), drawFor(100, last + 1), 0});
    for (int32_t want : {0, 0, -1}) {
      GangsterShotRoll(chance);
      EXPECT_EQ(roundState.energy, want) << chance;
    }
  }
}
}  // namespace
