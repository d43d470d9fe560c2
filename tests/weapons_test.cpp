// The weapon rules: magazines, cadence, automatic fire, clicks, recoil, reloads.
#include "weapons/weapons.h"

#include <SDL_mixer.h>

#include <utility>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/joystick.h"
#include "platform/random.h"

namespace {

// Real mixer chunks in the weapon places of the sound bank, long enough to be
// still playing when a test looks at the channels.
class WeaponsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
    silence.assign(44100 * 4 * 5, 0);  // five seconds of stereo 16-bit
    for (int s = ShotGun1; s <= LoadGun3Release; ++s) {
      soundBank.samples[s] = Mix_QuickLoad_RAW(silence.data(), static_cast<Uint32>(silence.size()));
      ASSERT_NE(soundBank.samples[s], nullptr) << Mix_GetError();
    }
  }
  void TearDown() override {
    Mix_HaltChannel(-1);
    unloadSoundBank();
    GameTest::TearDown();
  }

  // What a recorded channel is playing now, or null.
  static Mix_Chunk* playing(int32_t channel) {
    if (channel == NoChannel || !Mix_Playing(channel)) return nullptr;
    return Mix_GetChunk(channel);
  }
  static Mix_Chunk* sample(int s) { return soundBank.samples[s]; }
  static Mix_Chunk* shotSound(int32_t device) { return playing(players[device].shotChannel); }
  static Mix_Chunk* reloadSound(int32_t device) { return playing(players[device].reloadChannel); }

  // The fire control goes down / comes up, as the input code records it.
  static void pull(int32_t device) {
    players[device].fireRequested = 1;
    players[device].triggerHeld = 1;
  }
  static void release(int32_t device) {
    players[device].triggerHeld = 0;
    players[device].emptyClickDone = false;
  }
  // One frame's service, ms after the last one.
  static void serveAfter(uint32_t ms, int32_t device) {
    advanceFakeClock(ms);
    serviceTrigger(device);
  }
  // A pull and its release, served after the cadence has passed.
  static void click(int32_t device) {
    pull(device);
    serveAfter(100, device);
    release(device);
  }

  std::vector<Uint8> silence;
};

TEST_F(WeaponsTest, RevolversFireTheirMagazineThenClickUntilReloaded) {
  struct Case {
    int32_t weapon, magazine, shot, empty;
  };
  for (Case c :
       {Case{SingleAction, 1, ShotGun1, EmptyGun1}, Case{SixShooter, 6, ShotGun2, EmptyGun2}}) {
    SCOPED_TRACE(weaponName(c.weapon));
    shell.chosenWeapon = c.weapon;
    reloadPress(Mouse);
    reloadRelease(Mouse);
    Mix_HaltChannel(-1);
    totalShots = 0;
    for (int i = 1; i <= c.magazine; ++i) {
      click(Mouse);
      EXPECT_EQ(shotSound(Mouse), sample(c.shot)) << "pull " << i;
    }
    for (int i = 0; i < 3; ++i) {
      click(Mouse);
      EXPECT_EQ(shotSound(Mouse), sample(c.empty));
    }
    EXPECT_EQ(players[Mouse].shotsFired, c.magazine);
    EXPECT_EQ(totalShots, c.magazine);
    EXPECT_EQ(Mix_Playing(-1), 1) << "each click cuts the previous sound";
    reloadPress(Mouse);
    reloadRelease(Mouse);
    click(Mouse);
    EXPECT_EQ(shotSound(Mouse), sample(c.shot));
  }
}

TEST_F(WeaponsTest, HeldThompsonFiresAtTheCadenceClicksOnceThenFallsSilent) {
  shell.chosenWeapon = Thompson;
  pull(Mouse);
  serviceTrigger(Mouse);
  ASSERT_EQ(totalShots, 1);
  // Frames every 30 ms: a shot on each frame more than 80 ms after the last.
  int frames = 0;
  while (totalShots < 40 && frames < 1000) {
    serveAfter(30, Mouse);
    ++frames;
  }
  EXPECT_EQ(frames, 39 * 3) << "one shot in every third frame (90 ms)";
  EXPECT_EQ(shotSound(Mouse), sample(ShotGun3));

  serveAfter(90, Mouse);
  EXPECT_EQ(shotSound(Mouse), sample(EmptyGun3));
  const int32_t clickChannel = players[Mouse].shotChannel;
  const uint32_t clickServed = players[Mouse].lastShotTime;

  // Silent while held; the served time still moves on, keeping the player in.
  Mix_HaltChannel(clickChannel);  // the click has played out
  players[Keyboard].fireRequested = 1;
  serviceTrigger(Keyboard);  // another sound takes the freed channel
  ASSERT_EQ(players[Keyboard].shotChannel, clickChannel);
  for (int i = 0; i < 5; ++i) serveAfter(90, Mouse);
  EXPECT_EQ(players[Mouse].shotsFired, 40);
  EXPECT_EQ(totalShots, 41);
  EXPECT_EQ(players[Mouse].lastShotTime, clickServed + 5 * 90);
  EXPECT_EQ(shotSound(Keyboard), sample(ShotGun3)) << "a silent pull cuts nobody's sound";

  release(Mouse);
  click(Mouse);
  EXPECT_EQ(shotSound(Mouse), sample(EmptyGun3)) << "a new hold clicks again";
}

TEST_F(WeaponsTest, CadenceIsStrictlyMoreThan80MsAndMergesEarlyPulls) {
  shell.chosenWeapon = SixShooter;
  setFakeTicks(0xFFFFFFF0u);  // the cadence must hold across the clock wrapping
  pull(Mouse);
  serviceTrigger(Mouse);
  ASSERT_EQ(totalShots, 1);
  const uint32_t served = players[Mouse].lastShotTime;

  for (uint32_t early : {30, 60}) {
    release(Mouse);
    pull(Mouse);
    setFakeTicks(served + early);
    serviceTrigger(Mouse);
  }
  serveAfter(20, Mouse);
  EXPECT_EQ(totalShots, 1) << "80 ms is not more than 80";
  EXPECT_EQ(players[Mouse].fireRequested, 1) << "the pull waits, it is not lost";

  setFakeTicks(served + 81);
  serviceTrigger(Mouse);
  EXPECT_EQ(totalShots, 2);
  EXPECT_EQ(players[Mouse].fireRequested, 0);
  EXPECT_EQ(players[Mouse].lastShotTime, served + 81);
  serveAfter(200, Mouse);
  EXPECT_EQ(totalShots, 2) << "the two early pulls became one shot, and holding is no pull";
}

TEST_F(WeaponsTest, PlayersFiringInOneFrameEachHaveTheirChannelAndMagazine) {
  shell.chosenWeapon = SingleAction;
  advanceFakeClock(100);
  pull(Mouse);
  pull(Keyboard);
  for (int32_t d = 0; d < DeviceCount; ++d) serviceTrigger(d);
  // Served in device order: the mouse took the first free channel.
  EXPECT_EQ(players[Mouse].shotChannel, 0);
  EXPECT_EQ(players[Keyboard].shotChannel, 1);
  EXPECT_EQ(shotSound(Mouse), sample(ShotGun1));
  EXPECT_EQ(shotSound(Keyboard), sample(ShotGun1));

  // The mouse reloads; the keyboard's magazine stays empty.
  reloadPress(Mouse);
  reloadRelease(Mouse);
  click(Keyboard);
  click(Mouse);
  EXPECT_EQ(shotSound(Keyboard), sample(EmptyGun1));
  EXPECT_EQ(shotSound(Mouse), sample(ShotGun1));
  EXPECT_EQ(totalShots, 3);
}

TEST_F(WeaponsTest, SwitchingWeaponsKeepsTheMagazineCount) {
  shell.chosenWeapon = Thompson;
  for (int i = 0; i < 10; ++i) click(Keyboard);
  ASSERT_EQ(players[Keyboard].shotsFired, 10);
  shell.chosenWeapon = SixShooter;
  click(Keyboard);
  EXPECT_EQ(shotSound(Keyboard), sample(EmptyGun2));
  EXPECT_EQ(totalShots, 10);
}

TEST_F(WeaponsTest, ReloadPlaysTheSamplesOfTheWeaponChosenAtThatMoment) {
  // A full magazine: both sounds play and nothing else changes.
  shell.chosenWeapon = SingleAction;
  const Player before = players[Keyboard];
  const uint64_t draws = randomDraws();
  reloadPress(Keyboard);
  EXPECT_EQ(reloadSound(Keyboard), sample(LoadGun1Press));
  reloadRelease(Keyboard);
  EXPECT_EQ(reloadSound(Keyboard), sample(LoadGun1Release));
  EXPECT_EQ(Mix_Playing(-1), 1) << "the release cut the press";
  const Player& after = players[Keyboard];
  EXPECT_EQ(after.shotsFired, before.shotsFired);
  EXPECT_EQ(after.shotChannel, before.shotChannel);
  EXPECT_EQ(after.lastShotTime, before.lastShotTime);
  EXPECT_EQ(after.cursorX, before.cursorX);
  EXPECT_EQ(totalShots, 0);
  EXPECT_EQ(randomDraws(), draws);

  // The weapon may change between press and release; the shot plays on.
  shell.chosenWeapon = SixShooter;
  click(Mouse);
  reloadPress(Mouse);
  EXPECT_EQ(reloadSound(Mouse), sample(LoadGun2Press));
  shell.chosenWeapon = Thompson;
  reloadRelease(Mouse);
  EXPECT_EQ(reloadSound(Mouse), sample(LoadGun3Release));
  EXPECT_EQ(players[Mouse].shotsFired, 0);
  EXPECT_EQ(shotSound(Mouse), sample(ShotGun2)) << "reloading does not cut the shot";
}

// The recoil: r1 = 32767 kicks 10 right, r2 = 32767 kicks 20 up.
TEST_F(WeaponsTest, HeldKeyboardThompsonFollowsItsCrosshairAndKicksItUnclamped) {
  shell.chosenWeapon = Thompson;
  players[Keyboard].cursorX = players[Keyboard].cursorY = 5;
  players[Keyboard].shotX = players[Keyboard].shotY = 300;  // where the Ctrl press put it
  players[Keyboard].triggerHeld = 1;
  // 16383 / 32767 * 20 is just below 10: truncated to 9, a kick of -1.
  scriptRandom({16383, 32767});
  serveAfter(100, Keyboard);
  EXPECT_EQ(totalShots, 1);
  EXPECT_EQ(players[Keyboard].shotX, 5);
  EXPECT_EQ(players[Keyboard].shotY, 5);
  EXPECT_EQ(players[Keyboard].cursorX, 4);
  EXPECT_EQ(players[Keyboard].cursorY, -15);

  // The mouse keeps the position its events gave it.
  players[Mouse].cursorX = 50;
  players[Mouse].shotX = 60;
  pull(Mouse);
  serveAfter(100, Mouse);
  EXPECT_EQ(players[Mouse].shotX, 60);
}

TEST_F(WeaponsTest, OnlyJoysticksThatExistKickAndTheTrackerNever) {
  shell.chosenWeapon = SixShooter;
  players[Joystick1].shotX = players[Joystick1].cursorX = 200;
  players[Joystick1].shotY = players[Joystick1].cursorY = 200;
  players[Joystick2] = players[Joystick1];
  players[Tracker] = players[Joystick1];

  const uint64_t draws = randomDraws();
  click(Tracker);
  click(Joystick1);
  click(Joystick2);
  EXPECT_EQ(randomDraws(), draws) << "no draws for absent joysticks or the tracker";

  useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0);
  scriptRandom({32767, 32767});
  click(Joystick1);
  EXPECT_EQ(randomDraws(), draws + 2);
  EXPECT_EQ(players[Joystick1].cursorX, 210);
  EXPECT_EQ(players[Joystick1].cursorY, 180);

  // The kiosk's second stick lives on joystick 1.
  shell.kioskMode = true;
  scriptRandom({0, 0});
  click(Joystick2);
  EXPECT_EQ(players[Joystick2].cursorX, 190);
  EXPECT_EQ(players[Joystick2].cursorY, 200);
}

// Under the dummy video driver a warp comes back as a queued motion event.
TEST_F(WeaponsTest, MouseRecoilWarpsThePointerClampedToTheScreen) {
  startVideo();
  shell.chosenWeapon = SixShooter;
  SDL_Event e;
  SDL_WarpMouse(320, 240);
  while (SDL_PollEvent(&e)) {
  }
  // A shot at (sx, sy) with the two draws given; the motions the warp queued.
  using Moves = std::vector<std::pair<int, int>>;
  auto kick = [&e](int32_t sx, int32_t sy, int32_t r1, int32_t r2) {
    players[Mouse].shotX = sx;
    players[Mouse].shotY = sy;
    scriptRandom({r1, r2});
    click(Mouse);
    Moves moves;
    while (SDL_PollEvent(&e))
      if (e.type == SDL_MOUSEMOTION) moves.emplace_back(e.motion.x, e.motion.y);
    return moves;
  };
  EXPECT_EQ(kick(0, 0, 32767, 32767), (Moves{{10, 0}}));
  EXPECT_EQ(kick(639, 479, 32767, 0), (Moves{{639, 479}}));
  EXPECT_EQ(kick(3, 100, 0, 16384), (Moves{{0, 90}}));
  EXPECT_EQ(players[Mouse].cursorX, 320) << "the crosshair waits for the motion event";
}

TEST_F(WeaponsTest, UnknownWeaponValuesFireNothingAndHaveNoName) {
  shell.chosenWeapon = 3;
  click(Mouse);
  reloadPress(Mouse);
  EXPECT_EQ(totalShots, 0);
  EXPECT_EQ(Mix_Playing(-1), 0);
  EXPECT_STREQ(weaponName(-1), "");
  EXPECT_STREQ(weaponName(3), "");
}

}  // namespace
