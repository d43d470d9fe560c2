// One level round: its counters, set-up, the frame in its fixed order, its ends.
#pragma once
#include <cstdint>

enum LevelId : int32_t { Garage = 0, TireStore = 1, MainStreet = 2, SmokeShop = 3, FlowerShop = 4 };
constexpr int LevelCount = 5;

struct RoundState {
  int32_t energy;            // shared energy; the round is lost at 0 or less
  int32_t bodyCount;         // +1 per gangster killed, -1 per bystander
  int32_t gangstersLeft;     // appearances not yet over; completed at 0 or less
  int32_t gangstersToCome;   // appearances still to come
  int32_t targetsLeftShown;  // gangstersToCome as the frame began
  int32_t playerCount;       // active players as the frame began
  int32_t shoutsChannel;     // recorded channel of the shouts cue
};

extern RoundState roundState;

// Restores every field to its value at program start (tests call it).
void resetRoundState();
// The Round screen: set-up, frames until quit, completion or energy 0; returns
// with ShellState::screen set to RoundEnd.
void RunRound();
// Runs exactly one frame of a round (the thirteen steps); returns what the
// event poll at its end returned (false ends the round).
bool RunRoundFrame();
// Restores the round's starting values after its result screens.
void RearmRound();
int32_t PlayerCount();
int32_t GangstersToCome();
