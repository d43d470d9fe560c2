// The round's ends, sounds and drawing order; its figures, schedule and weapon
// rules (the whole games play the rest).
#include "game/round.h"

#include <SDL_mixer.h>

#include <functional>
#include <stdexcept>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/random.h"
#include "scores/round_end.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t Backdrop = 0x101010, Dimmed = 0x202060, Mark = 0xE00000, Figure = 0x00C000,
                   Pip = 0xF0D020, Crosshair = 0x0000E0, FigureRgb = 0x2080F0;

using RoundTest = FiguresTest;
using TargetsTest = FiguresTest;
using ScheduleTest = FiguresTest;
using WeaponsTest = GameTest;

void pull(int32_t d) { players[d].fireRequested = players[d].triggerHeld = 1; }
void release(int32_t d) { players[d].triggerHeld = 0, players[d].emptyClickDone = false; }
void click(int32_t d) { pull(d), advanceFakeClock(100), serviceTrigger(d), release(d); }

// Writes an 88 by 200 picture of one colour and loads it.
SDL_Surface* picture(const std::string& name, uint32_t rgb) {
  SDL_Surface* s = solidSurface(88, 200, rgb);
  SDL_SaveBMP(s, ("pics/" + name).c_str()), SDL_FreeSurface(s);
  return loadPicture(("./pics/" + name).c_str());
}
void untilSecond(const Target* t, int second) {
  while (wallSeconds() - t->appearedAt < second) advanceFakeClock(1);
}
bool firesWith(Target* t, std::vector<int32_t> draws) {
  scriptRandom(draws), t->Tick();
  return t->firing == 1;
}
}  // namespace

TEST_F(RoundTest, EndsAreTestedBeforeEachFrameOnly) {
  // Escape before the first figure: the set-up's own poll sees it. Whatever ends
  // the round during a frame lets that frame finish, no more.
  const struct {
    int frame;
    std::function<void()> end;
  } cases[] = {{0, [] { pushKey(SDLK_ESCAPE, true), shell.backRequested = true; }},
               {4, pushQuit},
               {2, [] { roundState.gangstersLeft = 0; }},
               {3, [] { roundState.energy = 0, roundState.gangstersLeft = 1; }}};
  for (const auto& c : cases) {
    resetRoundState();
    shell.screen = ScreenId::Round;
    if (c.frame == 0) c.end();
    TargetAt(7)->firing = 1;  // the last round ended on its shot: no flash when it next comes
    int flips = 0;
    setFlipHook([&] {
      if (++flips == c.frame) c.end();
      if (flips > 50) throw std::runtime_error("the round did not end");
    });
    RunRound();
    EXPECT_EQ(
        std::tuple(flips, shell.screen, shell.backRequested, roundState.playerCount,
                   RoundEndBackdrop(), TargetAt(7)->firing),  // none played: lost unless swept
        std::tuple(c.frame, ScreenId::RoundEnd, false, 0, c.frame == 2 ? 2 : 3, 0));
  }
  setFlipHook(nullptr);
}

TEST_F(RoundTest,
       ShoutsStartWhenNoGangsterIsLeftToComeSoundsHaveTheirSamplesAndTheEndHaltsOnlyTheRounds) {
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
  static Uint8 silence[44100 * 4 * 10] = {};  // ten seconds
  Mix_Chunk* shouts = Mix_QuickLoad_RAW(silence, sizeof silence);
  soundBank.samples[Shouts] = shouts;
  setFlipHook([] {});
  players[Joystick2].active = true, advanceFakeClock(10001);  // idle for ten seconds and more
  roundState.gangstersToCome = 1, RunRoundFrame();
  EXPECT_EQ(
      std::tie(roundState.shoutsChannel, roundState.targetsLeftShown, players[Joystick2].active),
      std::make_tuple(NoChannel, 1, false));
  roundState.gangstersToCome = 0, players[Joystick2].fireRequested = 1, RunRoundFrame();
  EXPECT_EQ(std::pair(roundState.shoutsChannel, totalShots), std::pair(0, 1));  // stick 2 fired
  // The end halts the shouts and every recorded shot and reload channel, but
  // neither the hit sound nor the title tune.
  for (int c = 1; c < 6; ++c) ASSERT_EQ(Mix_PlayChannelTimed(c, shouts, 0, -1), c);
  players[Tracker].shotChannel = 1, players[Joystick2].reloadChannel = 2;
  figureShotChannel[7] = 3, hitMetalChannel = 4, titleTuneChannel = 5;
  OccupySlot(4), roundState.energy = 0, RunRound();
  for (int c = 0; c < 6; ++c) EXPECT_EQ(Mix_Playing(c), int{c >= 4}) << "channel " << c;
  EXPECT_TRUE(IsSlotFree(4)) << "a round begins with every place free";
  Mix_HaltChannel(-1);
  // Each sound its own sample: a hit by figure kind (01 below 5, 02 below 10), a
  // wounded gangster's shot, reloads by key, button and stick, a shot, a click;
  // the round's keys and buttons held until let go.
  for (Mix_Chunk*& s : soundBank.samples) s = s ? s : Mix_QuickLoad_RAW(silence, sizeof silence);
  auto sounds = [](int32_t c, int id) { return Mix_GetChunk(c) == soundBank.samples[id]; };
  for (int kind : {4, 5, 9, 10, 14}) {
    playHitMetal(kind);
    EXPECT_TRUE(sounds(hitMetalChannel, HitMetal01 + (kind >= 5) + (kind >= 10))) << kind;
  }
  scriptRandom({32767}), playTitleTune();  // the top draw plays the fourth copy too
  EXPECT_TRUE(sounds(titleTuneChannel, TitleTune1 + 3));
  Target* t = standOn(TargetAt(6), 2);
  pictures.figure[6] = own(solidSurface(88, 200, Figure));
  t->health = 1, t->firing = 1, t->Draw();
  const bool fired = sounds(figureShotChannel[6], Target01 + 6) && screenRgb(t->x, t->y) == Figure;
  Mix_HaltChannel(-1), t->health = 0, t->Draw();  // shot in the frame it fires: no shot sound
  playFigureShot(14);  // the two gangsters after the bystanders fire with the first's sound
  EXPECT_TRUE(fired && !Mix_Playing(figureShotChannel[6]) &&
              sounds(figureShotChannel[0], Target01));
  shell.chosenWeapon = Thompson, players[Keyboard].shotsFired = 3;
  const bool joined = (pushKey(SDLK_DOWN, true), pushMouseMotion(7, 9), pollRoundEvents(),
                       players[Keyboard].active && players[Mouse].active) &&
                      (players[Keyboard].active = false, pushKey(SDLK_RCTRL, true),
                       pollRoundEvents(), players[Keyboard].active);
  players[Keyboard].cursorX = 123, players[Keyboard].cursorY = 45;  // the keys shoot there
  for (SDLKey key : {SDLK_LALT, SDLK_UP, SDLK_LCTRL}) pushKey(key, true);
  pushMouseButton(3, true, 5, 5), pushMouseButton(1, true, 5, 5), pollRoundEvents();
  EXPECT_TRUE(joined && players[Mouse].triggerHeld == 1 &&
              sounds(players[Keyboard].reloadChannel, LoadGun1Press + Thompson) &&
              sounds(players[Mouse].reloadChannel, LoadGun1Press + Thompson) &&
              arrowHeld[ArrowUp] && players[Keyboard].fireRequested == 1 &&
              players[Keyboard].triggerHeld == 1 && players[Keyboard].shotX == 123 &&
              players[Keyboard].shotY == 45);
  // A release lets the next hold click again.
  players[Keyboard].emptyClickDone = players[Mouse].emptyClickDone = true;
  for (SDLKey key : {SDLK_LALT, SDLK_UP, SDLK_LCTRL}) pushKey(key, false);
  pushMouseButton(1, true, 5, 5), pushMouseMotion(9, 8), pushMouseButton(1, false, 9, 8);
  pollRoundEvents();  // the Thompson held by the mouse fires where it moves
  EXPECT_TRUE(sounds(players[Keyboard].reloadChannel, LoadGun1Release + Thompson));
  EXPECT_EQ(std::tuple(players[Keyboard].shotsFired, arrowHeld[ArrowUp],
                       players[Keyboard].triggerHeld, players[Mouse].triggerHeld,
                       players[Keyboard].emptyClickDone || players[Mouse].emptyClickDone,
                       players[Mouse].shotX, players[Mouse].shotY),
            std::tuple(0, false, 0, 0, false, 9, 8));
  useFakeJoysticks(1), shell.joystick1 = joystickOpen(0), players[Joystick1].emptyClickDone = true;
  setFakeButton(0, 1, true), advanceFakeClock(13), pollJoysticks();  // button 2; fire is up
  EXPECT_TRUE(sounds(players[Joystick1].reloadChannel, LoadGun1Press + Thompson) &&
              !players[Joystick1].emptyClickDone);
  // Someone's sound on channel 0, which a player's first shot leaves alone.
  Mix_HaltChannel(-1), Mix_PlayChannelTimed(0, shouts, -1, -1);
  // Each weapon's last shot, then its empty magazine's click.
  for (auto [w, fired, id] : {std::tuple{Thompson, 39, ShotGun1},
                              {Thompson, 40, EmptyGun1},
                              {SixShooter, 5, ShotGun1},
                              {SixShooter, 6, EmptyGun1},
                              {SingleAction, 0, ShotGun1},
                              {SingleAction, 1, EmptyGun1}}) {
    shell.chosenWeapon = w, players[Mouse].shotsFired = fired;
    advanceFakeClock(100), pull(Mouse), serviceTrigger(Mouse);
    EXPECT_TRUE(sounds(players[Mouse].shotChannel, id + w)) << w << " " << fired;
  }
  EXPECT_TRUE(Mix_Playing(0) && Mix_GetChunk(0) == shouts);
  Mix_HaltChannel(-1), setFlipHook(nullptr);
  for (Mix_Chunk*& s : soundBank.samples) Mix_FreeChunk(s), s = nullptr;
}

TEST_F(RoundTest, MarksLieOverTheBackdropUnderFiguresStripAndCrosshairs) {
  pictures.levelBackdrop[0] = own(solidSurface(640, 480, Backdrop));
  pictures.levelDimmed[0] = own(solidSurface(640, 480, Dimmed));
  pictures.shotMark = own(solidSurface(6, 6, Mark));
  pictures.pip = own(solidSurface(4, 12, Pip));
  for (SDL_Surface*& f : pictures.figure) f = own(solidSurface(88, 200, Figure));
  for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, Crosshair));
  standOn(TargetAt(8), 1);  // a bystander on place 1: x 120..207, y 26..225
  AddShotMark(164, 126);    // under the bystander
  AddShotMark(164, 354);    // on an empty place
  AddShotMark(50, 470);     // under the left panel
  AddShotMark(300, 470);    // across two pips and the gap between them
  // A shot on the bystander in this frame draws its mark at once; the figure
  // drawn after it (twitched 6 pixels up) covers it again. A shot beside the
  // places shows its mark in the same frame.
  for (auto [d, x, y] : {std::tuple{Mouse, 150, 150}, std::tuple{Keyboard, 250, 240}})
    players[d].fireRequested = 1, players[d].shotX = x, players[d].shotY = y;
  // Crosshairs over the bystander, over the energy bar, and off the top but for
  // its bottom row (the tracker's is not clamped).
  for (auto [d, x, y] :
       {std::tuple{Joystick1, 215, 100}, {Joystick2, 400, 470}, {Tracker, 500, -15}})
    players[d].active = true, players[d].cursorX = x, players[d].cursorY = y;
  const std::tuple<int, int, uint32_t> probes[] = {
      {164, 126, Figure},  {150, 150, Figure}, {250, 240, Mark},      {164, 354, Mark},
      {158, 354, Dimmed},  {50, 470, Dimmed},  {297, 468, Pip},       {298, 468, Mark},
      {600, 20, Backdrop}, {190, 100, Figure}, {205, 100, Crosshair}, {397, 468, Crosshair},
      {164, 220, Dimmed},  // the twitch shows the place under the foot
      {500, 0, Crosshair}};
  std::vector<std::tuple<int, int, uint32_t>> seen;
  setFlipHook([&] {
    for (auto [x, y, rgb] : probes) seen.emplace_back(x, y, screenRgb(x, y));
  });
  RunRoundFrame();
  EXPECT_EQ(seen, std::vector(std::begin(probes), std::end(probes)));
  EXPECT_EQ(totalShots, 2);
}

// The rectangle's edges, then picture rows at both sides of each zone border
// and the health they leave; the killing shot alone reports the kill.
TEST_F(TargetsTest, PlacesOutside0To11AreRefusedAndShotsHitTheRectangleHarmingByZoneKillingOnce) {
  OccupySlot(0), TargetAt(0)->PlaceAtSlot(5);
  for (int s : {-1, 12, 1000}) {
    EXPECT_FALSE(IsSlotFree(s));
    OccupySlot(s), ReleaseSlot(s), TargetAt(0)->PlaceAtSlot(s);
  }
  EXPECT_EQ(TargetAt(0)->x, 580);
  for (int s = 0; s < SlotCount; ++s) EXPECT_EQ(IsSlotFree(s), s != 0) << s;
  pictures.figure[1] = picture("f1.bmp", 0x00C34F);  // raw value 49999: the person
  Target* t = standOn(TargetAt(1), 8);
  const int x = t->x, y = t->y;
  const uint32_t lastShot = t->lastShotTicks;
  EXPECT_TRUE(t->TakeHit(x - 44, y - 100) && t->TakeHit(x + 43, y + 99));
  EXPECT_EQ(t->lastShotTicks, lastShot + 2 * HitShotDelayMs) << "each hit holds its fire back";
  for (auto [dx, dy] : {std::pair{44, 0}, {0, 100}, {-45, 0}, {0, -101}})
    EXPECT_FALSE(t->TakeHit(x + dx, y + dy) || t->TakeDamage(x + dx, y + dy)) << dx << "," << dy;
  const std::pair<int, int> rows[] = {{0, 0},   {30, 0},  {31, 1},  {60, 1},  {61, 2},
                                      {104, 2}, {105, 3}, {152, 3}, {153, 4}, {199, 4}};
  for (auto [row, left] : rows) {
    t->health = 5;
    EXPECT_EQ(t->TakeDamage(x, y - 100 + row), left <= 0) << "row " << row;
    EXPECT_EQ(t->health, left) << "row " << row;
  }
  t->health = 5;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(t->TakeDamage(x, y + 99), i == 5) << i;
  EXPECT_FALSE(t->TakeDamage(x, y - 100));
  pictures.figure[1] = picture("b1.bmp", 0x00C350), t->health = 5;  // 50000: around the person
  SDL_Rect centre{44, 100, 1, 1};                                   // the person's one pixel
  std::vector<int> left;  // after shots beside it, then on it
  SDL_FillRect(pictures.figure[1], &centre, 0x00C34F);
  for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {0, 0}})
    t->TakeDamage(x + dx, y + dy), left.push_back(t->health);
  EXPECT_EQ(left, (std::vector<int>{5, 5, 5, 5, 2}));
}

TEST_F(TargetsTest, AJoltLiftsSixThenThreePixelsAndTheDeadShowTheHitPicture) {
  pictures.figure[4] = picture("f4.bmp", FigureRgb);
  pictures.figureHit[4] = picture("h4.bmp", FigureRgb ^ 0xFF0000);
  Target* t = standOn(TargetAt(4), 7);  // centre (164, 354): picture top at row 254
  auto topRow = [&] {
    SDL_FillRect(shell.video, nullptr, 0), t->Draw();
    int row = 240;
    while (row < 270 && screenRgb(t->x, row) == 0) ++row;
    return row;
  };
  EXPECT_EQ(topRow(), 254);
  // The rare tenth draw of a flash shows the ninth picture, as the one before.
  pictures.muzzleFlash[8] = own(solidSurface(6, 6, 0x00FF00));
  t->firing = 1, scriptRandom({32767}), t->Draw(), t->firing = 0, t->health = 1;
  EXPECT_EQ(screenRgb(t->x - 26, t->y - 18), 0x00FF00u);
  EXPECT_TRUE(t->TakeHit(t->x, t->y));  // one health left: it still stands
  for (int want : {248, 251, 254}) EXPECT_EQ(topRow(), want);
  for (int dx : {-45, -44, 43, 44})  // the picture is 88 wide
    EXPECT_EQ(screenRgb(t->x + dx, 254), dx == -45 || dx == 44 ? 0u : FigureRgb) << dx;
  t->health = 0, t->TakeHit(t->x, t->y);
  EXPECT_EQ(topRow(), 248);
  EXPECT_EQ(screenRgb(t->x, 248), FigureRgb ^ 0xFF0000);
}

// In the second second a gangster fires for q below 75, in the third below 90,
// once more than 180 ms have passed since its last shot; on the Garage the
// shot then hits for q up to 1 (chance 25) and up to 26 (chance 50).
TEST_F(ScheduleTest, AWallClockSetBackRestartsTheWaitAndStayAGangsterFiresInSecondsTwoAndThree) {
  Target* waiting = TargetAt(8);  // hidden since the set-up
  waiting->breakSeconds = 3;
  Target* standing = standOn(TargetAt(0), 0);
  advanceFakeClock(1500), useFakeClock(ticksMs(), wallSeconds() - 3600);
  for (int step : {0, 2999, 1}) {
    advanceFakeClock(step), scriptRandom({0, drawFor(12, 4)});
    standing->Tick(), waiting->Tick();
    EXPECT_EQ(std::make_pair(standing->shown, waiting->shown),
              std::make_pair(step != 1, step == 1));
  }
  shell.chosenLevel = Garage;
  useFakeClock(0u - 1900, wallSeconds());  // the tick counter wraps as the third second begins
  Target* t = standOn(TargetAt(6), 2);
  t->health = 1, t->lastShotTicks = ticksMs() - 181;  // wounded, it still fires
  for (int ms = 0; ms < 999; ms += 37, advanceFakeClock(37)) EXPECT_FALSE(firesWith(t, {0}));
  // Second, ms since its last shot, q, hit roll, fires, energy after.
  const std::tuple<int, uint32_t, int, int, bool, int32_t> ticks[] = {
      {1, 181, 75, 0, false, 100},   {1, 181, 74, 2, true, 100}, {1, 181, 74, 1, true, 99},
      {1, 180, 0, 0, false, 99},     {2, 181, 90, 0, false, 99}, {2, 181, 89, 26, true, 98},
      {2, 0u - 400, 0, 0, false, 98}};
  for (auto [second, sinceShot, q, roll, fires, energy] : ticks) {
    untilSecond(t, second);
    t->lastShotTicks = ticksMs() - sinceShot;  // into the future after a hit
    // The last draws that give q and the roll.
    EXPECT_EQ(firesWith(t, {drawFor(100, q + 1) - 1, drawFor(100, roll + 1) - 1}), fires) << q;
    EXPECT_EQ(t->lastShotTicks, fires ? ticksMs() : ticksMs() - sinceShot) << q;
    EXPECT_EQ(roundState.energy, energy) << q;
  }
  t->health = 0, t->lastShotTicks = ticksMs() - 181;
  EXPECT_FALSE(firesWith(t, {0, 0})) << "the dead never fire";
  // The frame its stay ends it leaves without firing and draws its break:
  // 3 + 12 r / p seconds for a gangster, p players; 3 + 60 r / p for a bystander.
  for (int k = 0; k < TargetCount; ++k) EXPECT_EQ(TargetAt(k)->isGangster, k < 8 || k > 12) << k;
  untilSecond(t, 3), roundState.playerCount = 2;
  EXPECT_FALSE(firesWith(t, {31130}));  // r = 0.95
  EXPECT_TRUE(!t->shown && t->breakSeconds == 8) << t->breakSeconds;
  roundState.playerCount = 0;  // nobody in play counts as one player
  EXPECT_TRUE((firesWith(standOn(TargetAt(8), 5, 3), {32440}), TargetAt(8)->breakSeconds == 62));
  EXPECT_FALSE((t->Tick(), IsSlotFree(2))) << "its place is given back a second later, not at once";
  advanceFakeClock(1000), t->Tick();
  EXPECT_TRUE(IsSlotFree(2));
  // On the Flower Shop q up to 49 hits for chance 25; energy may go below zero.
  shell.chosenLevel = FlowerShop, roundState.energy = 0;
  scriptRandom({drawFor(100, 50) - 1, drawFor(100, 50)});  // the last draw for 49, the first for 50
  for (int i = 0; i < 2; ++i) GangsterShotRoll(25);
  EXPECT_EQ(roundState.energy, -1);
}

// A shot needs more than 80 ms since the last; early pulls wait as one.
TEST_F(WeaponsTest, MagazinesEmptyAndTheCadenceIsStrictlyMoreThan80Ms) {
  shell.chosenWeapon = SingleAction;
  for (int i = 0; i < 3; ++i) click(Mouse);
  EXPECT_EQ(std::tie(players[Mouse].shotsFired, totalShots), std::make_tuple(1, 1));
  setFakeTicks(0xFFFFFFF0u), totalShots = 0;  // the cadence must hold across the clock wrapping
  shell.chosenWeapon = Thompson, players[Keyboard].cursorX = 7, players[Keyboard].cursorY = 9;
  pull(Keyboard), serviceTrigger(Keyboard);  // at the crosshair, where held fire follows it
  const uint32_t served = players[Keyboard].lastShotTime;
  for (uint32_t early : {30, 80})
    release(Keyboard), pull(Keyboard), setFakeTicks(served + early), serviceTrigger(Keyboard);
  EXPECT_EQ(std::tie(totalShots, players[Keyboard].fireRequested, shotMarks.entries[0].x,
                     shotMarks.entries[0].y),
            std::make_tuple(1, 1, 7, 9));
  setFakeTicks(served + 81), serviceTrigger(Keyboard);
  EXPECT_EQ(std::tie(totalShots, players[Keyboard].lastShotTime), std::make_tuple(2, served + 81));
  players[Keyboard].shotsFired = 40, advanceFakeClock(100), serviceTrigger(Keyboard);
  EXPECT_TRUE(players[Keyboard].emptyClickDone) << "held empty, it clicks once, then is silent";
}

// Recoil draws r1 = 32767 (10 right), r2 = 32767 (20 up) warp the mouse pointer,
// clamped; the crosshair waits for the motion event that comes back.
TEST_F(WeaponsTest, RecoilWarpsTheMouseClamped) {
  startVideo();
  shell.chosenWeapon = SixShooter, players[Mouse].cursorX = 200;
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
  // A stick kicks only where it exists; the tracker only aims.
  for (auto [device, kiosk] :
       {std::pair{Joystick1, false}, {Joystick2, false}, {Tracker, true}, {Joystick2, true}}) {
    const uint64_t drawn = (shell.kioskMode = kiosk, randomDraws());
    players[device].shotX = players[device].shotY = 100, scriptRandom({32767, 32767});
    click(device);
    EXPECT_EQ(randomDraws() - drawn, device == Joystick2 && kiosk ? 2u : 0u);
  }
  EXPECT_EQ(std::pair(players[Joystick2].cursorX, players[Joystick2].cursorY), std::pair(110, 80));
}
