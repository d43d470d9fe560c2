// The level round: its ends, the counts taken at the start of each frame, the
// order of drawing within a frame, the sounds it stops, and re-arming.
#include "game/round.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "fixture.h"
#include "game/displays.h"
#include "game/targets.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/random.h"
#include "weapons/weapons.h"

namespace {

struct TooManyFrames {};

SDL_Surface* solid(int w, int h, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  return s;
}

constexpr uint32_t Backdrop = 0x101010, Dimmed = 0x202060, Mark = 0xE00000, Figure = 0x00C000,
                   Pip = 0xF0D020, PipEmpty = 0x302010, Crosshair = 0x0000E0;

class RoundTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    CreateTargets();
    shell.screen = ScreenId::Round;
  }
  void TearDown() override {
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
    for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
    soundBank.samples[Shouts] = nullptr;
    GameTest::TearDown();
  }
  SDL_Surface* own(SDL_Surface* s) {
    owned.push_back(s);
    return s;
  }

  // Counts flips, calls onFlip with the frame's number, and stops a round that
  // runs past maxFrames.
  void countFrames(int maxFrames, std::function<void(int)> onFlip = {}) {
    setFlipHook([this, maxFrames, onFlip]() {
      if (++flips > maxFrames) throw TooManyFrames{};
      if (onFlip) onFlip(flips);
    });
  }
  void runRound() {
    try {
      RunRound();
    } catch (const TooManyFrames&) {
      ADD_FAILURE() << "the round did not end";
    }
  }

  // Plain pictures for every layer of a frame.
  void plainPictures() {
    pictures.levelBackdrop[0] = own(solid(640, 480, Backdrop));
    pictures.levelDimmed[0] = own(solid(640, 480, Dimmed));
    pictures.shotMark = own(solid(6, 6, Mark));
    pictures.pip = own(solid(4, 12, Pip));
    pictures.pipEmpty = own(solid(4, 12, PipEmpty));
    for (SDL_Surface*& f : pictures.figure) f = own(solid(88, 200, Figure));
    for (SDL_Surface*& f : pictures.figureHit) f = own(solid(88, 200, Figure));
    for (SDL_Surface*& c : pictures.crosshair) c = own(solid(31, 31, Crosshair));
    shell.chosenLevel = 0;
  }

  // Opens the mixer on the dummy driver with a ten-second silent chunk.
  Mix_Chunk* openMixer() {
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    EXPECT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
    return silentChunk();
  }
  Mix_Chunk* silentChunk() {
    silence.emplace_back(44100 * 4 * 10, 0);
    Mix_Chunk* c = Mix_QuickLoad_RAW(silence.back().data(), silence.back().size());
    chunks.push_back(c);
    return c;
  }

  // A figure standing on a place since `seconds` ago.
  Target* standFigure(int kind, int slot, int seconds) {
    Target* t = TargetAt(kind);
    t->shown = true;
    t->slot = slot;
    t->slotReleased = false;
    OccupySlot(slot);
    t->PlaceAtSlot(slot);
    t->appearedAt = wallSeconds() - seconds;
    t->health = 5;
    t->jolt = 0;
    t->firing = 0;
    t->lastShotTicks = 0;
    return t;
  }

  int flips = 0;
  std::vector<SDL_Surface*> owned;
  std::vector<Mix_Chunk*> chunks;
  std::vector<std::vector<Uint8>> silence;
};

void expectSamePlayer(const Player& got, const Player& want, int d) {
  EXPECT_EQ(got.cursorX, want.cursorX) << "player " << d;
  EXPECT_EQ(got.cursorY, want.cursorY) << "player " << d;
  EXPECT_EQ(got.shotX, want.shotX) << "player " << d;
  EXPECT_EQ(got.shotY, want.shotY) << "player " << d;
  EXPECT_EQ(got.triggerHeld, want.triggerHeld) << "player " << d;
  EXPECT_EQ(got.fireRequested, want.fireRequested) << "player " << d;
  EXPECT_EQ(got.lastShotTime, want.lastShotTime) << "player " << d;
  EXPECT_EQ(got.lastMoveTime, want.lastMoveTime) << "player " << d;
  EXPECT_EQ(got.active, want.active) << "player " << d;
  EXPECT_EQ(got.shotsFired, want.shotsFired) << "player " << d;
  EXPECT_EQ(got.menuFireHeld, want.menuFireHeld) << "player " << d;
  EXPECT_EQ(got.reloadHeld, want.reloadHeld) << "player " << d;
  EXPECT_EQ(got.emptyClickDone, want.emptyClickDone) << "player " << d;
  EXPECT_EQ(got.shotChannel, want.shotChannel) << "player " << d;
  EXPECT_EQ(got.reloadChannel, want.reloadChannel) << "player " << d;
}

}  // namespace

TEST_F(RoundTest, EscapeBeforeTheFirstFigureEndsWithThirtyGangstersLeft) {
  shell.backRequested = true;
  pushKey(SDLK_ESCAPE, true);
  countFrames(50);
  runRound();
  EXPECT_EQ(flips, 0);  // the set-up's own poll saw the Escape
  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
  EXPECT_FALSE(shell.backRequested);
  EXPECT_EQ(roundState.gangstersLeft, 30);
  EXPECT_EQ(roundState.energy, 100);

  // Escape, or closing the window, during the round ends it after that frame.
  shell.screen = ScreenId::Round;
  flips = 0;
  countFrames(50, [](int frame) {
    if (frame == 4) pushQuit();
  });
  runRound();
  EXPECT_EQ(flips, 4);
  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
  EXPECT_EQ(roundState.gangstersLeft, 30);
}

TEST_F(RoundTest, EndsAreTestedBeforeEachFrameOnly) {
  // Energy lost in a frame lets that frame finish; no further frame runs.
  countFrames(50, [](int frame) {
    if (frame == 3) roundState.energy = 0;
  });
  runRound();
  EXPECT_EQ(flips, 3);
  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);

  // Completion: the thirtieth gangster appearance is over.
  resetRoundState();
  flips = 0;
  countFrames(50, [](int frame) {
    if (frame == 2) roundState.gangstersLeft = 0;
  });
  runRound();
  EXPECT_EQ(flips, 2);

  // Energy already below 0 runs no frame at all.
  resetRoundState();
  roundState.energy = -2;
  flips = 0;
  runRound();
  EXPECT_EQ(flips, 0);
  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
}

TEST_F(RoundTest, EnergyLostToAGangsterInTheFiguresStepStillFinishesTheFrame) {
  plainPictures();
  shell.chosenLevel = 4;  // the most accurate gangsters
  roundState.energy = 1;
  // The set-up resets the figures; once it polls, a gangster stands in its
  // third second and a mouse shot waits between the two rows of places.
  bool placed = false;
  setIdleHook([&]() {
    if (placed) return;
    placed = true;
    standFigure(0, 0, 2);
    advanceFakeClock(200);
    players[Mouse].fireRequested = 1;
    players[Mouse].shotX = 300;
    players[Mouse].shotY = 240;
    scriptRandom({0, 0});  // it fires, and the shot hits
  });
  std::vector<uint32_t> atFlip;
  countFrames(20, [&](int) {
    atFlip = {screenRgb(16, 26), screenRgb(300, 240), static_cast<uint32_t>(roundState.energy)};
  });
  runRound();
  EXPECT_EQ(flips, 1);
  EXPECT_EQ(roundState.energy, 0);
  ASSERT_EQ(atFlip.size(), 3u);
  EXPECT_EQ(atFlip[0], Figure);  // the gangster was still drawn
  EXPECT_EQ(atFlip[1], Mark);    // and the shot of that frame served
  EXPECT_EQ(totalShots, 1);
  EXPECT_EQ(shotMarks.entries[14].x, 300);
  EXPECT_EQ(roundState.gangstersLeft, 30);
}

TEST_F(RoundTest, CountsAreTakenAsEachFrameBegins) {
  setFakeTicks(5000);
  players[Mouse].lastShotTime = 1;
  std::vector<std::pair<int32_t, int32_t>> seen;
  countFrames(10, [&](int frame) {
    seen.emplace_back(PlayerCount(), roundState.targetsLeftShown);
    if (frame == 1) {
      players[Mouse].active = true;
      players[Joystick2].active = true;
      roundState.gangstersToCome = 7;
    }
    if (frame == 2) roundState.energy = 0;
  });
  runRound();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(0, 30));
  EXPECT_EQ(seen[1], std::make_pair(2, 7));
  EXPECT_EQ(GangstersToCome(), 7);
  // The idle rule counts from the start of the round.
  for (const Player& p : players) EXPECT_EQ(p.lastShotTime, 5000u);
}

TEST_F(RoundTest, MarksLieOverTheBackdropAndUnderTheDisplayStrip) {
  plainPictures();
  ResetTargetField();
  AddShotMark(200, 240);  // between the two rows of places
  AddShotMark(164, 126);  // on an empty place
  AddShotMark(50, 470);   // under the left panel
  AddShotMark(300, 470);  // across two pips and the gap between them
  std::vector<uint32_t> at;
  countFrames(1, [&](int) {
    at = {screenRgb(200, 240), screenRgb(164, 126), screenRgb(158, 126), screenRgb(50, 470),
          screenRgb(297, 468), screenRgb(298, 468), screenRgb(10, 10)};
  });
  RunRoundFrame();
  ASSERT_EQ(at.size(), 7u);
  EXPECT_EQ(at[0], Mark);
  EXPECT_EQ(at[1], Mark);
  EXPECT_EQ(at[2], Dimmed);
  EXPECT_EQ(at[3], Dimmed);
  EXPECT_EQ(at[4], Pip);
  EXPECT_EQ(at[5], Mark);
  EXPECT_EQ(at[6], Backdrop);
}

TEST_F(RoundTest, FiguresCoverMarksAndCrosshairsComeLast) {
  plainPictures();
  ResetTargetField();
  standFigure(8, 1, 0);  // a bystander on place 1: x 120..207, y 26..225
  AddShotMark(164, 126);
  // A mouse shot on the bystander in this frame draws its mark at once; the
  // bystander drawn after it (twitched 6 pixels up) covers it again. A shot
  // beside the places shows its mark in the same frame.
  players[Mouse].fireRequested = 1;
  players[Mouse].shotX = 150;
  players[Mouse].shotY = 150;
  players[Keyboard].fireRequested = 1;
  players[Keyboard].shotX = players[Keyboard].cursorX = 250;
  players[Keyboard].shotY = players[Keyboard].cursorY = 240;
  // Crosshairs over the bystander and over the energy bar.
  players[Joystick1].active = true;
  players[Joystick1].cursorX = 215;
  players[Joystick1].cursorY = 100;
  players[Joystick2].active = true;
  players[Joystick2].cursorX = 300;
  players[Joystick2].cursorY = 470;
  std::vector<uint32_t> at;
  countFrames(1, [&](int) {
    at = {screenRgb(164, 126), screenRgb(150, 150), screenRgb(250, 240), screenRgb(190, 100),
          screenRgb(205, 100), screenRgb(297, 468), screenRgb(164, 220)};
  });
  RunRoundFrame();
  ASSERT_EQ(at.size(), 7u);
  EXPECT_EQ(at[0], Figure);
  EXPECT_EQ(at[1], Figure);
  EXPECT_EQ(at[2], Mark);
  EXPECT_EQ(at[3], Figure);
  EXPECT_EQ(at[4], Crosshair);
  EXPECT_EQ(at[5], Crosshair);
  EXPECT_EQ(at[6], Dimmed);  // the twitch shows the place under the figure's foot
  EXPECT_EQ(totalShots, 2);
}

TEST_F(RoundTest, EndHaltsTheRoundsChannelsButNotTheHitOrTitle) {
  Mix_Chunk* chunk = openMixer();
  Mix_Chunk* other = silentChunk();
  for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannelTimed(c, c == 6 ? other : chunk, 0, -1), c);
  soundBank.samples[Shouts] = chunk;
  players[Tracker].shotChannel = 0;
  players[Joystick2].reloadChannel = 1;
  figureShotChannel[7] = 2;
  hitMetalChannel = 3;
  titleTuneChannel = 4;
  roundState.shoutsChannel = 5;
  players[Mouse].shotChannel = 7;
  roundState.energy = 0;
  runRound();
  for (int c : {0, 1, 2, 5, 7}) EXPECT_EQ(Mix_Playing(c), 0) << "channel " << c;
  for (int c : {3, 4, 6}) EXPECT_EQ(Mix_Playing(c), 1) << "channel " << c;

  // A shouts record whose channel now plays another sound leaves it alone.
  roundState.shoutsChannel = 6;
  runRound();
  EXPECT_EQ(Mix_Playing(6), 1);
}

TEST_F(RoundTest, ShoutsStartWhenNoGangsterIsLeftToComeAndKeepGoing) {
  Mix_Chunk* shouts = openMixer();
  Mix_Chunk* other = silentChunk();
  soundBank.samples[Shouts] = shouts;
  ASSERT_EQ(Mix_PlayChannelTimed(0, other, 0, -1), 0);
  countFrames(100);

  roundState.gangstersToCome = 1;
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, NoChannel);

  roundState.gangstersToCome = 0;
  RunRoundFrame();
  ASSERT_EQ(roundState.shoutsChannel, 1);  // the first free channel
  EXPECT_EQ(Mix_GetChunk(1), shouts);
  // Still sounding: not restarted (a restart would take the freed channel 0).
  Mix_HaltChannel(0);
  RunRoundFrame();
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, 1);
  EXPECT_EQ(Mix_Playing(1), 1);

  // Run out, and its channel taken by another sound: started again elsewhere
  // without cutting that sound.
  Mix_HaltChannel(1);
  ASSERT_EQ(Mix_PlayChannelTimed(1, other, 0, -1), 1);
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, 0);
  EXPECT_EQ(Mix_Playing(0), 1);
  EXPECT_EQ(Mix_Playing(1), 1);

  // The end of the round stops the shouts.
  roundState.energy = 0;
  runRound();
  EXPECT_EQ(Mix_Playing(0), 0);
  EXPECT_EQ(Mix_Playing(1), 1);
}

TEST_F(RoundTest, RearmRestoresExactlyTheListedFields) {
  roundState = RoundState{-3, 17, -1, 0, 9, 4, 6};
  for (int d = 0; d < DeviceCount; ++d)
    players[d] = Player{10 + d, 20 + d, 30 + d, 40 + d, 1,    1, 500u + d, 600u + d,
                        true,   7 + d,  true,   true,   true, d, 8 - d};
  for (bool& held : arrowHeld) held = true;
  for (int k = 0; k < 4; ++k) arrowStepTime[k] = 900 + k;
  joystickPollTime = 77;
  totalShots = 99;
  for (int k = 0; k < 40; ++k) AddShotMark(100 + k, 200);

  RoundState wantRound = roundState;
  wantRound.bodyCount = 0;
  wantRound.gangstersLeft = 30;
  wantRound.gangstersToCome = 30;
  wantRound.energy = 100;
  Player want[DeviceCount];
  for (int d = 0; d < DeviceCount; ++d) {
    want[d] = players[d];
    want[d].active = false;
    want[d].triggerHeld = 0;
    want[d].shotsFired = 0;
    want[d].lastShotTime = 4321;
  }
  want[Joystick1].reloadHeld = false;
  want[Joystick2].reloadHeld = false;

  setFakeTicks(4321);
  RearmRound();
  EXPECT_EQ(roundState.energy, wantRound.energy);
  EXPECT_EQ(roundState.bodyCount, wantRound.bodyCount);
  EXPECT_EQ(roundState.gangstersLeft, wantRound.gangstersLeft);
  EXPECT_EQ(roundState.gangstersToCome, wantRound.gangstersToCome);
  EXPECT_EQ(roundState.targetsLeftShown, 9);
  EXPECT_EQ(roundState.playerCount, 4);
  EXPECT_EQ(roundState.shoutsChannel, 6);
  for (int d = 0; d < DeviceCount; ++d) expectSamePlayer(players[d], want[d], d);
  for (int k = 0; k < 4; ++k) {
    EXPECT_FALSE(arrowHeld[k]);
    EXPECT_EQ(arrowStepTime[k], 900u + k);
  }
  EXPECT_EQ(joystickPollTime, 77u);
  EXPECT_EQ(totalShots, 0);
  EXPECT_EQ(shotMarks.entries[0].x, -10);
  EXPECT_EQ(shotMarks.entries[0].y, -10);
}
