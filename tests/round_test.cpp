// The level round: when it ends, the sounds it starts and stops, and the order
// of drawing within a frame.
#include "game/round.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <stdexcept>
#include <tuple>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "input/players.h"
#include "platform/events.h"
#include "weapons/weapons.h"

namespace {
constexpr uint32_t Backdrop = 0x101010, Dimmed = 0x202060, Mark = 0xE00000, Figure = 0x00C000,
                   Pip = 0xF0D020, Crosshair = 0x0000E0;

using RoundTest = FiguresTest;
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
               {3, [] { roundState.energy = 0; }}};
  for (const auto& c : cases) {
    resetRoundState();
    shell.screen = ScreenId::Round;
    if (c.frame == 0) c.end();
    int flips = 0;
    setFlipHook([&] {
      if (++flips == c.frame) c.end();
      if (flips > 50) throw std::runtime_error("the round did not end");
    });
    RunRound();
    EXPECT_EQ(std::tie(flips, shell.screen, shell.backRequested),
              std::make_tuple(c.frame, ScreenId::RoundEnd, false));
  }
  setFlipHook(nullptr);
}

TEST_F(RoundTest, ShoutsStartWhenNoGangsterIsLeftToComeAndTheEndHaltsOnlyTheRoundsSounds) {
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
  static Uint8 silence[44100 * 4 * 10] = {};  // ten seconds
  Mix_Chunk* shouts = Mix_QuickLoad_RAW(silence, sizeof silence);
  soundBank.samples[Shouts] = shouts;
  setFlipHook([] {});
  roundState.gangstersToCome = 1;
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, NoChannel);
  roundState.gangstersToCome = 0;
  RunRoundFrame();
  EXPECT_EQ(roundState.shoutsChannel, 0);
  // The end halts the shouts and every recorded shot and reload channel, but
  // neither the hit sound nor the title tune.
  for (int c = 1; c < 6; ++c) ASSERT_EQ(Mix_PlayChannelTimed(c, shouts, 0, -1), c);
  players[Tracker].shotChannel = 1;
  players[Joystick2].reloadChannel = 2;
  figureShotChannel[7] = 3;
  hitMetalChannel = 4, titleTuneChannel = 5;
  roundState.energy = 0;
  RunRound();
  for (int c = 0; c < 6; ++c) EXPECT_EQ(Mix_Playing(c), int{c >= 4}) << "channel " << c;
  Mix_HaltChannel(-1);
  soundBank.samples[Shouts] = nullptr;
  Mix_FreeChunk(shouts);
  setFlipHook(nullptr);
}

TEST_F(RoundTest, MarksLieOverTheBackdropUnderFiguresStripAndCrosshairs) {
  pictures.levelBackdrop[0] = own(solidSurface(640, 480, Backdrop));
  pictures.levelDimmed[0] = own(solidSurface(640, 480, Dimmed));
  pictures.shotMark = own(solidSurface(6, 6, Mark));
  pictures.pip = own(solidSurface(4, 12, Pip));
  pictures.pipEmpty = own(solidSurface(4, 12, 0x302010));
  for (SDL_Surface*& f : pictures.figure) f = own(solidSurface(88, 200, Figure));
  for (SDL_Surface*& f : pictures.figureHit) f = own(solidSurface(88, 200, Figure));
  for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, Crosshair));
  ResetTargetField();
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
  // Crosshairs over the bystander and over the energy bar.
  for (auto [d, x, y] : {std::tuple{Joystick1, 215, 100}, std::tuple{Joystick2, 400, 470}})
    players[d].active = true, players[d].cursorX = x, players[d].cursorY = y;
  const struct {
    int x, y;
    uint32_t rgb;
  } probes[] = {{164, 126, Figure}, {150, 150, Figure},    {250, 240, Mark},
                {164, 354, Mark},   {158, 354, Dimmed},    {50, 470, Dimmed},
                {297, 468, Pip},    {298, 468, Mark},      {600, 20, Backdrop},
                {190, 100, Figure}, {205, 100, Crosshair}, {397, 468, Crosshair},
                {164, 220, Dimmed}};  // the twitch shows the place under the foot
  std::vector<uint32_t> seen;
  setFlipHook([&] {
    for (const auto& p : probes) seen.push_back(screenRgb(p.x, p.y));
  });
  RunRoundFrame();
  ASSERT_EQ(seen.size(), std::size(probes));
  for (size_t i = 0; i < seen.size(); ++i)
    EXPECT_EQ(seen[i], probes[i].rgb) << probes[i].x << "," << probes[i].y;
  EXPECT_EQ(totalShots, 2);
}
