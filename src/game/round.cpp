// The level round (stand-in until the round lands).
#include "game/round.h"

RoundState roundState = {100, 0, 30, 30, 0, 0, -1};

void resetRoundState() { roundState = RoundState{100, 0, 30, 30, 0, 0, -1}; }
void RunRound() {}
bool RunRoundFrame() { return false; }
void RearmRound() {}
int32_t PlayerCount() { return roundState.playerCount; }
int32_t GangstersToCome() { return roundState.gangstersToCome; }
