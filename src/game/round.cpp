// One level round: its counters, set-up, the frame in its fixed order, its ends.
#include "game/round.h"

#include <SDL_mixer.h>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/displays.h"
#include "game/targets.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "weapons/weapons.h"

namespace {
constexpr RoundState startState{100, 0, 30, 30, 0, 0, NoChannel};

// True while the recorded channel still plays the shouts; once a sample has
// ended SDL_mixer hands its channel to the next sound.
bool shoutsSounding() {
  const int32_t channel = roundState.shoutsChannel;
  return channel >= 0 && Mix_Playing(channel) && Mix_GetChunk(channel) == soundBank.samples[Shouts];
}

// The crowd shouts over the finale, from the first frame on which no gangster
// is left to come until the round ends. A sample that is still sounding is left
// alone (restarting it every frame would only ever play its first few
// milliseconds); one that has run out is started again.
void shoutsCue() {
  if (shoutsSounding()) return;
  // The old record may name a channel that now carries another sound.
  roundState.shoutsChannel = NoChannel;
  replaySample(soundBank.samples[Shouts], &roundState.shoutsChannel);
}

// Everything the round may still be playing, except the figures' hit sound,
// which is left to finish.
void stopRoundSounds() {
  for (Player& p : players) {
    haltRecordedChannel(&p.shotChannel);
    haltRecordedChannel(&p.reloadChannel);
  }
  for (const int32_t& channel : figureShotChannel) haltRecordedChannel(&channel);
  if (shoutsSounding()) haltRecordedChannel(&roundState.shoutsChannel);
}

int32_t countActivePlayers() {
  int32_t n = 0;
  for (const Player& p : players) n += p.active ? 1 : 0;
  return n;
}
}  // namespace

RoundState roundState = startState;

void resetRoundState() { roundState = startState; }

bool RunRoundFrame() {
  roundState.targetsLeftShown = roundState.gangstersToCome;
  if (roundState.gangstersToCome <= 0) shoutsCue();
  roundState.playerCount = countActivePlayers();
  // The backdrop with its places (step 4) goes onto the screen together with
  // the marks (step 8): the polls, the idle rule and the ticks between them
  // neither draw nor add marks, so one copy of the cached scene does both.
  pollTracker();
  pollJoysticks();
  stepKeyboardCursor();
  expireIdlePlayers(ticksMs());
  for (int32_t i = 0; i < TargetCount; ++i)
    if (Target* t = TargetAt(i)) t->Tick();
  DrawRoundScene();
  for (int32_t d = Tracker; d <= Joystick2; ++d) serviceTrigger(d);
  for (int32_t i = 0; i < TargetCount; ++i)
    if (Target* t = TargetAt(i)) t->Draw();
  DrawRoundDisplay();
  DrawCrosshairs();
  flipScreen(shell.video);
  return pollRoundEvents();
}

void RunRound() {
  // The ten-second idle rule counts from the start of the round.
  const uint32_t start = ticksMs();
  for (Player& p : players) p.lastShotTime = start;
  ResetTargetField();
  bool keep = pollRoundEvents();
  while (keep && roundState.gangstersLeft > 0 && roundState.energy > 0) keep = RunRoundFrame();
  shell.screen = ScreenId::RoundEnd;
  shell.backRequested = false;
  stopRoundSounds();
}

void RearmRound() {
  roundState.bodyCount = startState.bodyCount;
  roundState.gangstersLeft = startState.gangstersLeft;
  roundState.gangstersToCome = startState.gangstersToCome;
  roundState.energy = startState.energy;
  const uint32_t now = ticksMs();
  for (Player& p : players) {
    p.active = false;
    p.triggerHeld = 0;
    p.shotsFired = 0;
    p.lastShotTime = now;
  }
  for (bool& held : arrowHeld) held = false;
  players[Joystick1].reloadHeld = false;
  players[Joystick2].reloadHeld = false;
  totalShots = 0;
  ClearShotMarks();
}

int32_t PlayerCount() { return roundState.playerCount; }
int32_t GangstersToCome() { return roundState.gangstersToCome; }
