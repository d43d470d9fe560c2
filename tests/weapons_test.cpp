// The weapon rules: magazines, the cadence across the clock's wrap, recoil.
#include "weapons/weapons.h"

#include <tuple>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {
using WeaponsTest = GameTest;

void pull(int32_t d) { players[d].fireRequested = players[d].triggerHeld = 1; }
void release(int32_t d) { players[d].triggerHeld = 0, players[d].emptyClickDone = false; }
void click(int32_t d) { pull(d), advanceFakeClock(100), serviceTrigger(d), release(d); }
}  // namespace

// A shot needs more than 80 ms since the last; early pulls wait as one.
TEST_F(WeaponsTest, MagazinesEmptyAndTheCadenceIsStrictlyMoreThan80Ms) {
  shell.chosenWeapon = SingleAction;
  for (int i = 0; i < 3; ++i) click(Mouse);
  EXPECT_EQ(std::tie(players[Mouse].shotsFired, totalShots), std::make_tuple(1, 1));
  setFakeTicks(0xFFFFFFF0u);  // the cadence must hold across the clock wrapping
  totalShots = 0;
  shell.chosenWeapon = Thompson;
  pull(Keyboard), serviceTrigger(Keyboard);
  const uint32_t served = players[Keyboard].lastShotTime;
  for (uint32_t early : {30, 80})
    release(Keyboard), pull(Keyboard), setFakeTicks(served + early), serviceTrigger(Keyboard);
  EXPECT_EQ(std::tie(totalShots, players[Keyboard].fireRequested), std::make_tuple(1, 1));
  setFakeTicks(served + 81), serviceTrigger(Keyboard);
  EXPECT_EQ(std::tie(totalShots, players[Keyboard].lastShotTime), std::make_tuple(2, served + 81));
  players[Keyboard].shotsFired = 40, advanceFakeClock(100), serviceTrigger(Keyboard);
  EXPECT_TRUE(players[Keyboard].emptyClickDone) << "held empty, it clicks once, then is silent";
}

// Recoil draws r1 = 32767 (10 right), r2 = 32767 (20 up) warp the mouse pointer,
// clamped; the crosshair waits for the motion event that comes back.
TEST_F(WeaponsTest, RecoilWarpsTheMouseClamped) {
  startVideo();
  shell.chosenWeapon = SixShooter;
  players[Mouse].cursorX = 200;
  const struct {
    int32_t x, y, r1, r2, warpX, warpY;
  } kicks[] = {
      {0, 0, 32767, 32767, 10, 0}, {639, 479, 32767, 0, 639, 479}, {3, 100, 0, 16384, 0, 90}};
  SDL_Event e;
  SDL_WarpMouse(320, 240);
  for (const auto& c : kicks) {
    while (SDL_PollEvent(&e)) continue;
    players[Mouse].shotX = c.x, players[Mouse].shotY = c.y;
    scriptRandom({c.r1, c.r2});
    click(Mouse);
    std::vector<std::pair<int, int>> moves;
    while (SDL_PollEvent(&e))
      if (e.type == SDL_MOUSEMOTION) moves.emplace_back(e.motion.x, e.motion.y);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{c.warpX, c.warpY}})) << c.x << "," << c.y;
  }
  EXPECT_EQ(players[Mouse].cursorX, 200);
}
