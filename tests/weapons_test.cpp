// The weapon rules (magazines, the cadence across the clock's wrap, recoil) and
// the sound bank without an audio device (the fault tests play the rest).
#include "weapons/weapons.h"

#include <tuple>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {
using WeaponsTest = GameTest;
using SoundBankTest = GameTest;

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
  // The shot's point, the two draws, where the pointer is warped.
  const std::tuple<int32_t, int32_t, int32_t, int32_t, std::pair<int, int>> kicks[] = {
      {0, 0, 32767, 32767, {10, 0}}, {639, 479, 32767, 0, {639, 479}}, {3, 100, 0, 16384, {0, 90}}};
  SDL_Event e;
  SDL_WarpMouse(320, 240);
  for (auto [x, y, r1, r2, warp] : kicks) {
    while (SDL_PollEvent(&e)) continue;
    players[Mouse].shotX = x, players[Mouse].shotY = y;
    scriptRandom({r1, r2});
    click(Mouse);
    std::vector<std::pair<int, int>> moves;
    while (SDL_PollEvent(&e))
      if (e.type == SDL_MOUSEMOTION) moves.emplace_back(e.motion.x, e.motion.y);
    EXPECT_EQ(moves, std::vector{warp}) << x << "," << y;
  }
  EXPECT_EQ(players[Mouse].cursorX, 200);
}

TEST_F(SoundBankTest, AnAudioDeviceThatCannotBeOpenedEndsWithStatusOneAndOneLine) {
  startVideo();
  setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
  captureStderr();
  int status = -1;
  try {
    loadSoundBank();
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  const std::string err = capturedStderr();
  const std::string head = "lakeport-nights: no audio device could be opened: ";
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(err.rfind(head, 0) == 0 && err.size() > head.size() + 1) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);  // the full-screen mode is left
}
