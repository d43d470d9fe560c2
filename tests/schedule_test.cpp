// Tests of the figures' schedule on the fake clock with scripted draws:
// breaks, places, the thirty gangster appearances, the gangsters' fire and
// the level's accuracy.
#include <set>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "platform/random.h"

namespace {
constexpr time_t Start = 1700000000;  // the fixture's wall clock at 1000 ms

class ScheduleTest : public FiguresTest {
 protected:
  // A figure made ready to appear: hidden with the given break, no place held.
  Target* readyFigure(int kind, int breakSeconds = 3) {
    Target* t = TargetAt(kind);
    t->Reset();
    t->breakSeconds = breakSeconds;
    return t;
  }
  // Brings a figure on place s now (one tick with the place's draw scripted).
  Target* appear(int kind, int s) {
    Target* t = readyFigure(kind, 0);
    scriptRandom({drawFor(12, s)});
    t->Tick();
    EXPECT_TRUE(t->shown);
    return t;
  }
  // Ticks a shown figure until it leaves, with r as its break draw.
  static void leave(Target* t, int32_t r) {
    const time_t since = t->appearedAt;
    while (wallSeconds() - since < 3) advanceFakeClock(100);
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

TEST_F(ScheduleTest, FirstBreaksDependOnTheRoleOnly) {
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
      EXPECT_TRUE(t->hiddenAt == Start + 2 && !t->shown && t->slotReleased) << i;
      EXPECT_TRUE(t->lastShotTicks == 0 && t->firing == 0) << i;
    }
  }
}

TEST_F(ScheduleTest, FigureAppearsWhenItsBreakIsOverInWholeWallSeconds) {
  advanceFakeClock(999);  // late in the wall second
  Target* t = readyFigure(0, 3);
  advanceFakeClock(2000);  // two wall seconds on
  const uint64_t before = randomDraws();
  t->Tick();
  EXPECT_FALSE(t->shown);
  EXPECT_EQ(randomDraws(), before);  // waiting draws nothing
  advanceFakeClock(1);               // 2.001 s of real time, three wall seconds
  scriptRandom({drawFor(12, 7)});
  t->Tick();
  ASSERT_TRUE(t->shown);
  EXPECT_EQ(t->slot, 7);
  EXPECT_EQ(t->x, 164);
  EXPECT_EQ(t->y, 354);
  EXPECT_EQ(t->appearedAt, Start + 3);
  EXPECT_FALSE(IsSlotFree(7));
  EXPECT_EQ(roundState.gangstersToCome, 29);
  EXPECT_EQ(roundState.gangstersLeft, 30);
}

TEST_F(ScheduleTest, ReadyFiguresDrawANewPlaceEveryFrameUntilOneIsFree) {
  for (int s = 0; s < SlotCount; ++s) OccupySlot(s);
  Target* a = readyFigure(2);
  Target* b = readyFigure(9);
  advanceFakeClock(3000);
  for (int frame = 0; frame < 20; ++frame) {
    const uint64_t before = randomDraws();
    a->Tick();
    b->Tick();
    EXPECT_EQ(randomDraws(), before + 2);
    EXPECT_FALSE(a->shown || b->shown);
    advanceFakeClock(40);
  }
  EXPECT_EQ(roundState.gangstersToCome, 30);
  ReleaseSlot(5);
  // The draw 12 is never a free place; then a taken one; then place 5.
  scriptRandom({32767, drawFor(12, 4), drawFor(12, 5)});
  a->Tick();
  a->Tick();
  EXPECT_FALSE(a->shown);
  a->Tick();
  EXPECT_TRUE(a->shown);
  EXPECT_EQ(a->slot, 5);
}

TEST_F(ScheduleTest, PlaceIsGivenBackOneSecondAfterTheFigureLeft) {
  Target* t = appear(3, 10);
  leave(t, 0);
  EXPECT_TRUE(t->x == -1 && t->y == -1);
  EXPECT_EQ(t->hiddenAt, wallSeconds());
  for (int step : {0, 999}) {
    advanceFakeClock(step);
    t->Tick();
    EXPECT_FALSE(IsSlotFree(10)) << step;
  }
  advanceFakeClock(1);
  t->Tick();
  EXPECT_TRUE(IsSlotFree(10));
  // Given back once: a figure that took the place since keeps it.
  OccupySlot(10);
  advanceFakeClock(500);
  t->Tick();
  EXPECT_FALSE(IsSlotFree(10));
}

TEST_F(ScheduleTest, WallClockSetBackRestartsTheWaitAndTheStay) {
  Target* waiting = readyFigure(8, 3);
  Target* standing = appear(0, 0);
  advanceFakeClock(1500);
  useFakeClock(ticksMs(), Start - 3600);  // the clock is set back an hour
  waiting->Tick();
  standing->Tick();
  advanceFakeClock(2999);
  standing->Tick();
  waiting->Tick();
  EXPECT_TRUE(standing->shown);
  EXPECT_FALSE(waiting->shown);
  advanceFakeClock(1);
  scriptRandom({0, drawFor(12, 4)});
  standing->Tick();
  waiting->Tick();
  EXPECT_FALSE(standing->shown);
  EXPECT_TRUE(waiting->shown);
}

TEST_F(ScheduleTest, MorePlayersShortenTheBreaksAndNoPlayerCountsAsOne) {
  struct Case {
    int players;
    int32_t r;
    int gangster, bystander;
  };
  const Case cases[] = {{1, 32767, 15, 63}, {0, 32767, 15, 63}, {2, 32767, 9, 33},
                        {1, 0, 3, 3},       {2, 16384, 6, 18},  {5, 32767, 5, 15}};
  for (const Case& c : cases) {
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

TEST_F(ScheduleTest, NoGangsterComesAfterTheThirtiethWhileBystandersGoOn) {
  roundState.gangstersToCome = 1;
  Target* first = appear(0, 0);
  EXPECT_EQ(roundState.gangstersToCome, 0);
  Target* second = readyFigure(5, 0);
  const uint64_t before = randomDraws();
  second->Tick();
  EXPECT_FALSE(second->shown);
  EXPECT_EQ(randomDraws(), before);
  appear(11, 3);  // a bystander still comes
  EXPECT_EQ(roundState.gangstersToCome, 0);
  leave(first, 0);
  EXPECT_EQ(roundState.gangstersLeft, 29);
}

// A whole round on the seeded generator, run on for a minute after the last
// gangster has left: thirty gangster appearances exactly, no two figures on
// one place, every shown figure's place marked taken.
TEST_F(ScheduleTest, WholeRoundKeepsPlacesAndCountsStraight) {
  roundState.playerCount = 2;
  seedRandom(78);
  ResetTargetField();
  int gangsterAppearances = 0;
  bool wasShown[TargetCount] = {};
  uint32_t endMs = 0;
  for (int frame = 0; frame < 60000 && (endMs == 0 || ticksMs() < endMs); ++frame) {
    advanceFakeClock(16 + frame % 7);
    for (int i = 0; i < TargetCount; ++i) TargetAt(i)->Tick();
    if (endMs == 0 && roundState.gangstersLeft <= 0) endMs = ticksMs() + 60000;
    std::set<int> taken;
    for (int i = 0; i < TargetCount; ++i) {
      const Target* t = TargetAt(i);
      if (t->shown && !wasShown[i] && t->IsGangster()) ++gangsterAppearances;
      wasShown[i] = t->shown;
      if (!t->shown) continue;
      ASSERT_TRUE(taken.insert(t->slot).second) << "two figures on place " << t->slot;
      ASSERT_FALSE(IsSlotFree(t->slot));
    }
  }
  EXPECT_NE(endMs, 0u);
  EXPECT_EQ(roundState.gangstersToCome, 0);
  EXPECT_EQ(gangsterAppearances, 30);
}

TEST_F(ScheduleTest, GangsterIsQuietInItsFirstSecondAndFiresOnlyWhenSpaced) {
  Target* t = appear(6, 2);
  for (int ms = 0; ms < 999; ms += 37) {
    const uint64_t before = randomDraws();
    t->Tick();
    EXPECT_EQ(t->firing, 0);
    EXPECT_EQ(randomDraws(), before);
    advanceFakeClock(37);
  }
  // Second second: fires for q below 75, once more than 180 ms have passed;
  // third second: q below 90.
  for (auto [second, lastFiring] : {std::pair{1, 74}, {2, 89}}) {
    untilSecond(t, second);
    t->lastShotTicks = ticksMs() - 181;
    EXPECT_FALSE(firesWith(t, {drawFor(100, lastFiring + 1)})) << second;
    EXPECT_TRUE(firesWith(t, {drawFor(100, lastFiring), drawFor(100, 100)})) << second;
    EXPECT_EQ(t->lastShotTicks, ticksMs());
  }
  t->lastShotTicks = ticksMs() - 180;
  EXPECT_FALSE(firesWith(t, {0}));  // a frame without a shot clears the flash
  // A hit moved the stamp into the future: the signed difference holds fire.
  t->lastShotTicks = ticksMs() + 400;
  EXPECT_FALSE(firesWith(t, {0}));
  // The frame the stay ends the gangster leaves without firing.
  untilSecond(t, 3);
  t->lastShotTicks = 0;
  EXPECT_FALSE(firesWith(t, {0, 0}));
  EXPECT_FALSE(t->shown);
  EXPECT_EQ(roundState.energy, 100);
}

TEST_F(ScheduleTest, ShotSpacingSurvivesTheTickCounterWrapping) {
  useFakeClock(0xFFFFFC00u, Start);
  Target* t = appear(7, 5);
  advanceFakeClock(1500);  // past the wrap
  untilSecond(t, 1);
  t->lastShotTicks = 0xFFFFFF80u;
  EXPECT_TRUE(firesWith(t, {0, drawFor(100, 100)}));
}

// Killed in its first second, a gangster stays dead on its place for its
// whole stay without a shot: three wall seconds, here 2.1 s of real time.
TEST_F(ScheduleTest, DeadGangstersAndBystandersNeverFireAndStayTheirTime) {
  advanceFakeClock(900);
  Target* killed = appear(0, 0);
  Target* bystander = appear(12, 1);
  ASSERT_TRUE(killed->TakeDamage(killed->x, killed->y - 100));
  const uint32_t appearedMs = ticksMs();
  while (killed->shown) {
    advanceFakeClock(20);
    const uint64_t before = randomDraws();
    killed->Tick();
    bystander->Tick();
    if (killed->shown) {
      EXPECT_EQ(randomDraws(), before);
      EXPECT_EQ(killed->firing + bystander->firing, 0);
    }
  }
  EXPECT_EQ(ticksMs() - appearedMs, 2100u);
  EXPECT_EQ(roundState.energy, 100);
  EXPECT_EQ(roundState.gangstersLeft, 29);
}

TEST_F(ScheduleTest, LevelDecidesHowOftenAGangsterShotHits) {
  // Highest q that hits for chance 25 and 50 on levels 0..4.
  const int last25[LevelCount] = {1, 13, 25, 37, 49};
  const int last50[LevelCount] = {26, 38, 50, 62, 74};
  for (int level = 0; level < LevelCount; ++level) {
    shell.chosenLevel = level;
    for (auto [chance, last] : {std::pair{25, last25[level]}, std::pair{50, last50[level]}}) {
      roundState.energy = 10;
      scriptRandom({drawFor(100, last), drawFor(100, last + 1), 0});
      for (int32_t want : {9, 9, 8}) {
        GangsterShotRoll(chance);
        EXPECT_EQ(roundState.energy, want) << "level " << level << " chance " << chance;
      }
    }
  }
}

TEST_F(ScheduleTest, FiringGangsterRollsWithTheChanceOfItsSecond) {
  shell.chosenLevel = Garage;
  Target* t = appear(4, 6);
  // Second second: chance 25, hits for q up to 1; third: chance 50, up to 26.
  const struct {
    int second, q, energy;
  } shots[] = {{1, 2, 100}, {1, 1, 99}, {2, 27, 99}, {2, 26, 98}};
  for (const auto& s : shots) {
    untilSecond(t, s.second);
    advanceFakeClock(181);
    EXPECT_TRUE(firesWith(t, {0, drawFor(100, s.q)}));
    EXPECT_EQ(roundState.energy, s.energy) << "second " << s.second << " q " << s.q;
  }
}

TEST_F(ScheduleTest, EnergyGoesBelowZeroWhenSeveralGangstersHitOnOneFrame) {
  shell.chosenLevel = FlowerShop;
  Target* g[3] = {appear(0, 0), appear(1, 1), appear(2, 2)};
  advanceFakeClock(2000);
  roundState.energy = 1;
  scriptRandom({0, 0, 0, 0, 0, 0});
  for (Target* t : g) t->Tick();
  for (Target* t : g) EXPECT_EQ(t->firing, 1);
  EXPECT_EQ(roundState.energy, -2);
}
}  // namespace
