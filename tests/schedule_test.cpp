// The figures' schedule on the fake clock with scripted draws: breaks, places,
// the thirty gangster appearances, the gangsters' fire and the level's accuracy.
#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "platform/random.h"

namespace {
constexpr time_t Start = 1700000000;  // the fixture's wall clock at 1000 ms

class ScheduleTest : public FiguresTest {
 protected:
  // A figure made ready to appear: hidden with the given break, no place held.
  static Target* ready(int kind, int breakSeconds = 0) {
    Target* t = TargetAt(kind);
    t->Reset();
    t->breakSeconds = breakSeconds;
    return t;
  }
  // Brings a figure on place s now.
  static Target* appear(int kind, int s) {
    Target* t = ready(kind);
    scriptRandom({drawFor(12, s)});
    t->Tick();
    EXPECT_TRUE(t->shown);
    return t;
  }
  // Ticks a shown figure until it leaves, with r as its break draw.
  static void leave(Target* t, int32_t r) {
    untilSecond(t, 3);
    scriptRandom({r});
    t->Tick();
    EXPECT_FALSE(t->shown);
  }
  // Moves the clock on to the first millisecond of the figure's given second.
  static void untilSecond(const Target* t, int second) {
    while (wallSeconds() - t->appearedAt < second) advanceFakeClock(1);
  }
  // Ticks once with the given draws and tells whether the figure fired.
  static bool firesWith(Target* t, std::vector<int32_t> draws) {
    scriptRandom(draws);
    t->Tick();
    return t->firing == 1;
  }
};

TEST_F(ScheduleTest, FirstBreaksDependOnTheRoleOnlyAndFreeEveryPlace) {
  OccupySlot(4);
  roundState.playerCount = 3;
  advanceFakeClock(2500);
  for (int32_t r : {32767, 0}) {
    scriptRandom(std::vector<int32_t>(TargetCount, r));
    ResetTargetField();
    EXPECT_TRUE(IsSlotFree(4));
    for (int i = 0; i < TargetCount; ++i) {
      const Target* t = TargetAt(i);
      EXPECT_EQ(t->breakSeconds, r == 0 ? 3 : t->IsGangster() ? 15 : 63) << i;
      EXPECT_TRUE(t->hiddenAt == Start + 2 && !t->shown && t->slotReleased &&
                  t->lastShotTicks == 0 && t->firing == 0)
          << i;
    }
  }
}

TEST_F(ScheduleTest, AReadyFigureTriesOneRandomPlaceAFrameOnceItsBreakIsOver) {
  for (int s = 0; s < SlotCount; ++s) OccupySlot(s);
  ReleaseSlot(5);
  advanceFakeClock(999);  // late in the wall second
  Target* t = ready(0, 3);
  t->jolt = 2;
  const uint64_t draws = randomDraws();
  advanceFakeClock(2000);  // two wall seconds on: still waiting, drawing nothing
  t->Tick();
  EXPECT_EQ(randomDraws(), draws);
  advanceFakeClock(1);  // 2.001 s of real time, three wall seconds
  // The draw 12 is never a free place; then a taken one; then place 5.
  for (int32_t draw : {32767, drawFor(12, 4), drawFor(12, 5)}) {
    EXPECT_FALSE(t->shown);
    scriptRandom({draw});
    t->Tick();
  }
  EXPECT_EQ(randomDraws(), draws + 3);
  ASSERT_TRUE(t->shown);
  EXPECT_TRUE(t->slot == 5 && t->x == 580 && t->y == 126 && t->health == 5 && t->jolt == 0);
  EXPECT_EQ(t->appearedAt, Start + 3);
  EXPECT_FALSE(IsSlotFree(5));
  EXPECT_TRUE(roundState.gangstersToCome == 29 && roundState.gangstersLeft == 30);
  // No gangster comes after the thirtieth, and tries no place; bystanders go on.
  ClearSlotTable();
  roundState.gangstersToCome = 1;
  appear(1, 6);
  Target* late = ready(2);
  late->Tick();
  EXPECT_TRUE(!late->shown && randomDraws() == draws + 6);
  appear(11, 3);
  EXPECT_EQ(roundState.gangstersToCome, 0);
}

TEST_F(ScheduleTest, APlaceIsGivenBackOnceOneSecondAfterTheFigureLeft) {
  Target* t = appear(3, 10);
  leave(t, 0);
  EXPECT_TRUE(t->x == -1 && t->y == -1 && t->hiddenAt == wallSeconds());
  EXPECT_EQ(roundState.gangstersLeft, 29);
  advanceFakeClock(999);
  t->Tick();
  EXPECT_FALSE(IsSlotFree(10));
  advanceFakeClock(1);
  t->Tick();
  EXPECT_TRUE(IsSlotFree(10));
  OccupySlot(10);  // a figure that took the place since keeps it
  t->Tick();
  EXPECT_FALSE(IsSlotFree(10));
}

TEST_F(ScheduleTest, AWallClockSetBackRestartsTheWaitAndTheStay) {
  Target* waiting = ready(8, 3);
  Target* standing = appear(0, 0);
  advanceFakeClock(1500);
  useFakeClock(ticksMs(), Start - 3600);
  for (int step : {0, 2999, 1}) {
    advanceFakeClock(step);
    scriptRandom({0, drawFor(12, 4)});
    standing->Tick();
    waiting->Tick();
    EXPECT_EQ(standing->shown, step != 1) << step;
    EXPECT_EQ(waiting->shown, step == 1) << step;
  }
}

TEST_F(ScheduleTest, MorePlayersShortenTheBreaksAndNoPlayerCountsAsOne) {
  const struct {
    int players;
    int32_t r;
    int gangster, bystander;
  } cases[] = {{1, 32767, 15, 63}, {0, 32767, 15, 63}, {2, 32767, 9, 33},
               {1, 0, 3, 3},       {2, 16384, 6, 18},  {5, 32767, 5, 15}};
  for (const auto& c : cases) {
    roundState.playerCount = c.players;
    ClearSlotTable();
    Target* g = appear(0, 0);
    Target* b = appear(8, 1);
    leave(g, c.r);
    leave(b, c.r);
    EXPECT_EQ(g->breakSeconds, c.gangster) << c.players << " players, r " << c.r;
    EXPECT_EQ(b->breakSeconds, c.bystander) << c.players << " players, r " << c.r;
  }
}

// In the second second a gangster fires for q below 75, in the third below 90,
// once more than 180 ms have passed since its last shot; on the Garage the
// shot then hits for q up to 1 (chance 25) and up to 26 (chance 50).
TEST_F(ScheduleTest, AGangsterFiresInItsSecondAndThirdSecondWhenSpaced) {
  shell.chosenLevel = Garage;
  useFakeClock(0u - 1900, Start);  // the tick counter wraps as the third second begins
  Target* t = appear(6, 2);
  t->health = 1;  // wounded, it still fires
  const uint64_t draws = randomDraws();
  for (int ms = 0; ms < 999; ms += 37, advanceFakeClock(37)) EXPECT_FALSE(firesWith(t, {0}));
  EXPECT_EQ(randomDraws(), draws);  // the quiet first second draws nothing
  const struct {
    int second;
    uint32_t sinceShot;
    int q, roll;
    bool fires;
    int32_t energy;
  } ticks[] = {{1, 181, 75, 0, false, 100}, {1, 181, 74, 2, true, 100},
               {1, 181, 74, 1, true, 99},   {1, 180, 0, 0, false, 99},
               {2, 181, 90, 0, false, 99},  {2, 181, 89, 27, true, 99},
               {2, 181, 89, 26, true, 98},  {2, 0u - 400, 0, 0, false, 98}};
  for (const auto& k : ticks) {
    untilSecond(t, k.second);
    t->lastShotTicks = ticksMs() - k.sinceShot;  // into the future after a hit
    EXPECT_EQ(firesWith(t, {drawFor(100, k.q), drawFor(100, k.roll)}), k.fires) << k.q;
    EXPECT_EQ(t->lastShotTicks, k.fires ? ticksMs() : ticksMs() - k.sinceShot) << k.q;
    EXPECT_EQ(roundState.energy, k.energy) << k.q;
  }
  // The frame the stay ends it leaves without firing.
  untilSecond(t, 3);
  EXPECT_FALSE(firesWith(t, {0, 0}));
  EXPECT_FALSE(t->shown);
}

// Killed in its first second, a gangster stays dead on its place for its
// whole stay without a shot: three wall seconds, here 2.1 s of real time.
TEST_F(ScheduleTest, DeadGangstersAndBystandersNeverFireAndStayTheirTime) {
  advanceFakeClock(900);
  Target* killed = appear(0, 0);
  Target* bystander = appear(12, 1);
  ASSERT_TRUE(killed->TakeDamage(killed->x, killed->y - 100));
  const uint32_t appearedMs = ticksMs();
  const uint64_t draws = randomDraws();
  while (killed->shown) {
    advanceFakeClock(20);
    killed->Tick();
    bystander->Tick();
    EXPECT_EQ(killed->firing + bystander->firing, 0);
  }
  EXPECT_EQ(randomDraws(), draws + 2);  // the two breaks on leaving
  EXPECT_EQ(ticksMs() - appearedMs, 2100u);
  EXPECT_EQ(roundState.energy, 100);
}

TEST_F(ScheduleTest, TheLevelDecidesHowOftenAGangsterShotHitsAndEnergyGoesBelowZero) {
  // The highest q that hits for chance 25 and 50 on levels 0 to 4.
  const int last25[LevelCount] = {1, 13, 25, 37, 49};
  const int last50[LevelCount] = {26, 38, 50, 62, 74};
  for (int level = 0; level < LevelCount; ++level) {
    shell.chosenLevel = level;
    for (auto [chance, last] : {std::pair{25, last25[level]}, std::pair{50, last50[level]}}) {
      roundState.energy = 1;
      scriptRandom({drawFor(100, last), drawFor(100, last + 1), 0});
      for (int32_t want : {0, 0, -1}) {
        GangsterShotRoll(chance);
        EXPECT_EQ(roundState.energy, want) << "level " << level << " chance " << chance;
      }
    }
  }
}
}  // namespace
