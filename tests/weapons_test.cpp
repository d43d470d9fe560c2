// The weapon rules: magazines, cadence, automatic fire, clicks, recoil, reloads.
#include "weapons/weapons.h"

#include <SDL_mixer.h>

#include <tuple>
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
    for (int s = ShotGun1; s <= LoadGun3Release; ++s)
      soundBank.samples[s] = Mix_QuickLoad_RAW(silence.data(), static_cast<Uint32>(silence.size()));
  }
  void TearDown() override {
    Mix_HaltChannel(-1);
    unloadSoundBank();
    GameTest::TearDown();
  }
  // The sample a recorded channel is playing now.
  static Mix_Chunk* playing(int32_t channel) {
    return channel >= 0 && Mix_Playing(channel) ? Mix_GetChunk(channel) : nullptr;
  }
  static Mix_Chunk* shotSound(int32_t device) { return playing(players[device].shotChannel); }
  static Mix_Chunk* sample(int s) { return soundBank.samples[s]; }
  // The fire control goes down and up as the input code records it; one
  // frame's service ms after the last; a click: a pull served after the
  // cadence, and its release.
  static void pull(int32_t device) {
    players[device].fireRequested = players[device].triggerHeld = 1;
  }
  static void release(int32_t device) {
    players[device].triggerHeld = 0, players[device].emptyClickDone = false;
  }
  static void serveAfter(uint32_t ms, int32_t device) {
    advanceFakeClock(ms), serviceTrigger(device);
  }
  static void click(int32_t device) { pull(device), serveAfter(100, device), release(device); }
  static void reload(int32_t device) { reloadPress(device), reloadRelease(device); }

  std::vector<Uint8> silence = std::vector<Uint8>(44100 * 4 * 5);  // five seconds
};
}  // namespace

TEST_F(WeaponsTest, RevolversFireTheirMagazineThenClickUntilReloaded) {
  const std::pair<Weapon, int32_t> weapons[] = {{SingleAction, 1}, {SixShooter, 6}};
  for (auto [weapon, magazine] : weapons) {
    SCOPED_TRACE(weaponName(weapon));
    shell.chosenWeapon = weapon;
    reload(Mouse);
    Mix_HaltChannel(-1);
    totalShots = 0;
    for (int i = 1; i <= magazine + 3; ++i) {
      click(Mouse);
      EXPECT_EQ(shotSound(Mouse), sample(i <= magazine ? ShotGun1 + weapon : EmptyGun1 + weapon));
    }
    EXPECT_EQ(std::tie(players[Mouse].shotsFired, totalShots), std::tie(magazine, magazine));
    EXPECT_EQ(Mix_Playing(-1), 1) << "each click cuts the previous sound";
    // Another player's magazine is its own.
    click(Keyboard);
    EXPECT_EQ(shotSound(Keyboard), sample(ShotGun1 + weapon));
    reload(Keyboard);
    reload(Mouse);
    click(Mouse);
    EXPECT_EQ(shotSound(Mouse), sample(ShotGun1 + weapon));
  }
}

TEST_F(WeaponsTest, HeldThompsonFiresAtTheCadenceClicksOnceThenFallsSilent) {
  shell.chosenWeapon = Thompson;
  pull(Mouse);
  serviceTrigger(Mouse);
  // Frames every 30 ms: a shot on each frame more than 80 ms after the last.
  int frames = 0;
  while (totalShots < 40 && frames < 1000) serveAfter(30, Mouse), ++frames;
  EXPECT_EQ(frames, 39 * 3) << "one shot in every third frame (90 ms)";
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
  EXPECT_EQ(std::tie(players[Mouse].shotsFired, totalShots), std::make_tuple(40, 41));
  EXPECT_EQ(players[Mouse].lastShotTime, clickServed + 5 * 90);
  EXPECT_EQ(shotSound(Keyboard), sample(ShotGun3)) << "a silent pull cuts nobody's sound";
  release(Mouse);
  click(Mouse);
  EXPECT_EQ(shotSound(Mouse), sample(EmptyGun3)) << "a new hold clicks again";
}

TEST_F(WeaponsTest, CadenceIsStrictlyMoreThan80MsAndMergesEarlyPulls) {
  setFakeTicks(0xFFFFFFF0u);  // the cadence must hold across the clock wrapping
  pull(Mouse);
  serviceTrigger(Mouse);
  const uint32_t served = players[Mouse].lastShotTime;
  for (uint32_t early : {30, 60, 80}) {
    release(Mouse);
    pull(Mouse);
    setFakeTicks(served + early);
    serviceTrigger(Mouse);
  }
  EXPECT_EQ(totalShots, 1) << "80 ms is not more than 80";
  EXPECT_EQ(players[Mouse].fireRequested, 1) << "the pull waits, it is not lost";
  setFakeTicks(served + 81);
  serviceTrigger(Mouse);
  EXPECT_EQ(std::tie(totalShots, players[Mouse].fireRequested, players[Mouse].lastShotTime),
            std::make_tuple(2, 0, served + 81));
  serveAfter(200, Mouse);
  EXPECT_EQ(totalShots, 2) << "the early pulls became one shot, and holding is no pull";
}

TEST_F(WeaponsTest, ReloadPlaysTheSamplesOfTheWeaponChosenAtThatMoment) {
  // A full magazine: both sounds play and nothing else changes.
  shell.chosenWeapon = SingleAction;
  const Player before = players[Keyboard];
  const uint64_t draws = randomDraws();
  reloadPress(Keyboard);
  EXPECT_EQ(playing(players[Keyboard].reloadChannel), sample(LoadGun1Press));
  reloadRelease(Keyboard);
  EXPECT_EQ(playing(players[Keyboard].reloadChannel), sample(LoadGun1Release));
  EXPECT_EQ(Mix_Playing(-1), 1) << "the release cut the press";
  const Player& after = players[Keyboard];
  EXPECT_EQ(std::tie(after.shotsFired, after.shotChannel, after.lastShotTime, after.cursorX),
            std::tie(before.shotsFired, before.shotChannel, before.lastShotTime, before.cursorX));
  EXPECT_EQ(std::tie(totalShots, draws), std::make_tuple(0, randomDraws()));

  // The weapon may change between press and release; the shot plays on.
  shell.chosenWeapon = SixShooter;
  click(Mouse);
  reloadPress(Mouse);
  EXPECT_EQ(playing(players[Mouse].reloadChannel), sample(LoadGun2Press));
  shell.chosenWeapon = Thompson;
  reloadRelease(Mouse);
  EXPECT_EQ(playing(players[Mouse].reloadChannel), sample(LoadGun3Release));
  EXPECT_EQ(players[Mouse].shotsFired, 0);
  EXPECT_EQ(shotSound(Mouse), sample(ShotGun2)) << "reloading does not cut the shot";

  // Unknown weapons fire and play nothing and have no name.
  Mix_HaltChannel(-1);
  shell.chosenWeapon = 3;
  click(Mouse);
  reloadPress(Mouse);
  EXPECT_EQ(std::tie(totalShots, players[Mouse].shotsFired), std::make_tuple(1, 0));
  EXPECT_EQ(Mix_Playing(-1), 0);
  EXPECT_STREQ(weaponName(-1), "");
  EXPECT_STREQ(weaponName(3), "");
}

// The recoil's two draws: r1 = 32767 kicks 10 right, r2 = 32767 kicks 20 up.
TEST_F(WeaponsTest, RecoilKicksDevicesThatExistUnclampedAndWarpsTheMouseClamped) {
  shell.chosenWeapon = SixShooter;
  for (Player& p : players) p.shotX = p.cursorX = p.shotY = p.cursorY = 200;
  const uint64_t draws = randomDraws();
  for (int32_t d : {Tracker, Joystick1, Joystick2}) click(d);
  EXPECT_EQ(randomDraws(), draws) << "no draws for absent joysticks or the tracker";
  useFakeJoysticks(2);
  shell.joystick1 = joystickOpen(0);
  scriptRandom({32767, 32767});
  click(Joystick1);
  EXPECT_EQ(std::tie(players[Joystick1].cursorX, players[Joystick1].cursorY),
            std::make_tuple(210, 180));
  shell.kioskMode = true;  // the kiosk's second stick lives on joystick 1
  scriptRandom({0, 0});
  click(Joystick2);
  EXPECT_EQ(std::tie(players[Joystick2].cursorX, players[Joystick2].cursorY),
            std::make_tuple(190, 200));

  // A held keyboard Thompson fires at its crosshair and kicks it off the screen.
  shell.chosenWeapon = Thompson;
  Player& k = players[Keyboard];
  k.cursorX = k.cursorY = 5;
  k.triggerHeld = 1;
  scriptRandom({16383, 32767});  // 16383 / 32767 * 20 truncates to 9: a kick of -1
  serveAfter(100, Keyboard);
  EXPECT_EQ(std::tie(k.shotX, k.shotY, k.cursorX, k.cursorY), std::make_tuple(5, 5, 4, -15));

  // The mouse's pointer is warped, which comes back as a queued motion event
  // under the dummy driver; the crosshair waits for it.
  startVideo();
  shell.chosenWeapon = SixShooter;
  const struct {
    int32_t x, y, r1, r2, warpX, warpY;
  } kicks[] = {
      {0, 0, 32767, 32767, 10, 0}, {639, 479, 32767, 0, 639, 479}, {3, 100, 0, 16384, 0, 90}};
  SDL_Event e;
  SDL_WarpMouse(320, 240);
  for (const auto& c : kicks) {
    while (SDL_PollEvent(&e)) continue;
    players[Mouse].shotX = c.x;
    players[Mouse].shotY = c.y;
    scriptRandom({c.r1, c.r2});
    click(Mouse);
    std::vector<std::pair<int, int>> moves;
    while (SDL_PollEvent(&e))
      if (e.type == SDL_MOUSEMOTION) moves.emplace_back(e.motion.x, e.motion.y);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{c.warpX, c.warpY}})) << c.x << "," << c.y;
  }
  EXPECT_EQ(players[Mouse].cursorX, 200);
}
