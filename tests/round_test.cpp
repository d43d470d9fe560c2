// The level round: its ends, the counts taken at the start of each frame, the
// order of drawing within a frame, the sounds it stops, and re-arming.
#include "game/round.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "input/players.h"
#include "platform/events.h"
#include "platform/random.h"
#include "weapons/weapons.h"

namespace {

struct TooManyFrames {};

constexpr uint32_t Backdrop = 0x101010, Dimmed = 0x202060, Mark = 0xE00000, Figure = 0x00C000,
                   Pip = 0xF0D020, Crosshair = 0x0000E0;

// A screen pixel expected as a frame is flipped.
struct Probe {
  int x, y;
  uint32_t rgb;
};

class RoundTest : public FiguresTest {
 protected:
  void SetUp() override {
    FiguresTest::SetUp();
    shell.screen = ScreenId::Round;
  }
  void TearDown() override {
    for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
    soundBank.samples[Shouts] = nullptr;
    FiguresTest::TearDown();
  }

  // Counts flips, calls onFlip with the frame's number, and stops a round that
  // runs past maxFrames.
  void countFrames(int maxFrames, std::function<void(int)> onFlip = {}) {
    flips = 0;
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
  // Runs one frame and checks the screen as it is flipped.
  void frameShows(const std::vector<Probe>& probes) {
    std::vector<uint32_t> seen;
    countFrames(1, [&](int) {
      for (const Probe& p : probes) seen.push_back(screenRgb(p.x, p.y));
    });
    RunRoundFrame();
    setFlipHook(nullptr);
    ASSERT_EQ(seen.size(), probes.size());
    for (size_t i = 0; i < probes.size(); ++i)
      EXPECT_EQ(seen[i], probes[i].rgb) << "at " << probes[i].x << "," << probes[i].y;
  }

  // Plain pictures for every layer of a frame.
  void plainPictures() {
    pictures.levelBackdrop[0] = own(solidSurface(640, 480, Backdrop));
    pictures.levelDimmed[0] = own(solidSurface(640, 480, Dimmed));
    pictures.shotMark = own(solidSurface(6, 6, Mark));
    pictures.pip = own(solidSurface(4, 12, Pip));
    pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
    for (SDL_Surface*& f : pictures.figure) f = own(solidSurface(88, 200, Figure));
    for (SDL_Surface*& f : pictures.figureHit) f = own(solidSurface(88, 200, Figure));
    for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, Crosshair));
    shell.chosenLevel = 0;
  }

  // Opens the mixer on the dummy driver; chunks are ten seconds of silence.
  void openMixer() {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
  }
  Mix_Chunk* silentChunk() {
    silence.emplace_back(44100 * 4 * 10, 0);
    chunks.push_back(Mix_QuickLoad_RAW(silence.back().data(), silence.back().size()));
    return chunks.back();
  }

  int flips = 0;
  std::vector<Mix_Chunk*> chunks;
  std::vector<std::vector<Uint8>> silence;
};

auto playerFields(const Player& p) {
  return std::make_tuple(p.cursorX, p.cursorY, p.shotX, p.shotY, p.triggerHeld, p.fireRequested,
                         p.lastShotTime, p.lastMoveTime, p.active, p.shotsFired, p.menuFireHeld,
                         p.reloadHeld, p.emptyClickDone, p.shotChannel, p.reloadChannel);
}

}  // namespace

TEST_F(RoundTest, EndsAreTestedBeforeEachFrameOnly) {
  // Escape before the first figure: the set-up's own poll sees it.
  shell.backRequested = true;
  pushKey(SDLK_ESCAPE, true);
  countFrames(50);
  runRound();
  EXPECT_EQ(flips, 0);
  EXPECT_EQ(shell.screen, ScreenId::RoundEnd);
  EXPECT_FALSE(shell.backRequested);
  EXPECT_EQ(roundState.gangstersLeft, 30);
  EXPECT_EQ(roundState.energy, 100);

  // Whatever ends the round during a frame lets that frame finish, no more.
  const struct {
    int frame;
    std::function<void()> end;
    const char* what;
  } cases[] = {{4, pushQuit, "window closed"},
               {3, [] { roundState.energy = 0; }, "energy lost"},
               {2, [] { roundState.gangstersLeft = 0; }, "thirtieth gangster gone"},
               {0, [] { roundState.energy = -2; }, "energy already below 0"}};
  for (const auto& c : cases) {
    resetRoundState();
    shell.screen = ScreenId::Round;
    if (c.frame == 0) c.end();
    countFrames(50, [&c](int frame) {
      if (frame == c.frame) c.end();
    });
    runRound();
    EXPECT_EQ(flips, c.frame) << c.what;
    EXPECT_EQ(shell.screen, ScreenId::RoundEnd) << c.what;
  }
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
    standOn(TargetAt(0), 0, 2);
    advanceFakeClock(200);
    players[Mouse].fireRequested = 1;
    players[Mouse].shotX = 300;
    players[Mouse].shotY = 240;
    scriptRandom({0, 0});  // it fires, and the shot hits
  });
  uint32_t figureSeen = 0, markSeen = 0;
  countFrames(20, [&](int) {
    figureSeen = screenRgb(16, 26);
    markSeen = screenRgb(300, 240);
  });
  runRound();
  EXPECT_EQ(flips, 1);
  EXPECT_EQ(roundState.energy, 0);
  EXPECT_EQ(figureSeen, Figure);  // the gangster was still drawn
  EXPECT_EQ(markSeen, Mark);      // and the shot of that frame served
  EXPECT_EQ(totalShots, 1);
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
  frameShows({{200, 240, Mark},
              {164, 126, Mark},
              {158, 126, Dimmed},
              {50, 470, Dimmed},
              {297, 468, Pip},
              {298, 468, Mark},
              {10, 10, Backdrop}});
}

TEST_F(RoundTest, FiguresCoverMarksAndCrosshairsComeLast) {
  plainPictures();
  ResetTargetField();
  standOn(TargetAt(8), 1);  // a bystander on place 1: x 120..207, y 26..225
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
  for (auto [d, x, y] : {std::tuple{Joystick1, 215, 100}, std::tuple{Joystick2, 300, 470}}) {
    players[d].active = true;
    players[d].cursorX = x;
    players[d].cursorY = y;
  }
  frameShows({{164, 126, Figure},
              {150, 150, Figure},
              {250, 240, Mark},
              {190, 100, Figure},
              {205, 100, Crosshair},
              {297, 468, Crosshair},
              {164, 220, Dimmed}});  // the twitch shows the place under the foot
  EXPECT_EQ(totalShots, 2);
}

TEST_F(RoundTest, ShoutsStartOnceNoGangsterIsLeftToComeAndTheEndHaltsTheRoundsSounds) {
  openMixer();
  Mix_Chunk* shouts = silentChunk();
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
  EXPECT_EQ(roundState.shoutsChannel, 1);
  // Run out, and its channel taken by another sound: started again elsewhere
  // without cutting that sound.
  Mix_HaltChannel(1);
  ASSERT_EQ(Mix_PlayChannelTimed(1, other, 0, -1), 1);
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, 0);
  EXPECT_EQ(Mix_Playing(1), 1);

  // The end halts the shouts and every recorded shot and reload channel, but
  // neither the hit sound nor the title tune nor an unrecorded sound.
  for (int c = 1; c < 8; ++c) ASSERT_EQ(Mix_PlayChannelTimed(c, c == 6 ? other : shouts, 0, -1), c);
  players[Tracker].shotChannel = 1;
  players[Joystick2].reloadChannel = 2;
  figureShotChannel[7] = 3;
  hitMetalChannel = 4;
  titleTuneChannel = 5;
  players[Mouse].shotChannel = 7;
  roundState.energy = 0;
  runRound();
  for (int c : {0, 1, 2, 3, 7}) EXPECT_EQ(Mix_Playing(c), 0) << "channel " << c;
  for (int c : {4, 5, 6}) EXPECT_EQ(Mix_Playing(c), 1) << "channel " << c;
  // A shouts record whose channel now plays another sound leaves it alone.
  roundState.shoutsChannel = 6;
  runRound();
  EXPECT_EQ(Mix_Playing(6), 1);
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
  Player want[DeviceCount];
  for (int d = 0; d < DeviceCount; ++d) {
    want[d] = players[d];
    want[d].active = false;
    want[d].triggerHeld = 0;
    want[d].shotsFired = 0;
    want[d].lastShotTime = 4321;
    if (d == Joystick1 || d == Joystick2) want[d].reloadHeld = false;
  }

  setFakeTicks(4321);
  RearmRound();
  EXPECT_EQ(std::tie(roundState.energy, roundState.bodyCount, roundState.gangstersLeft,
                     roundState.gangstersToCome, roundState.targetsLeftShown,
                     roundState.playerCount, roundState.shoutsChannel),
            std::make_tuple(100, 0, 30, 30, 9, 4, 6));
  for (int d = 0; d < DeviceCount; ++d)
    EXPECT_EQ(playerFields(players[d]), playerFields(want[d])) << "player " << d;
  for (int k = 0; k < 4; ++k) {
    EXPECT_FALSE(arrowHeld[k]);
    EXPECT_EQ(arrowStepTime[k], 900u + k);
  }
  EXPECT_EQ(joystickPollTime, 77u);
  EXPECT_EQ(totalShots, 0);
  EXPECT_EQ(usedShotMarks(), 0);
}
