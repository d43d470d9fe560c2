// The sound bank (stand-in until the sound bank lands: loads nothing).
#include "audio/soundbank.h"

SoundBank soundBank;
int32_t titleTuneChannel = NoChannel;
int32_t hitMetalChannel = NoChannel;
int32_t figureShotChannel[8] = {NoChannel, NoChannel, NoChannel, NoChannel,
                                NoChannel, NoChannel, NoChannel, NoChannel};

void loadSoundBank() {}
void replaySample(Mix_Chunk*, int32_t* channel) { *channel = NoChannel; }
void haltRecordedChannel(const int32_t*) {}
void playTitleTune() {}
void playHitMetal(int32_t) {}
void playFigureShot(int32_t) {}
void resetSoundChannels() {
  titleTuneChannel = hitMetalChannel = NoChannel;
  for (int32_t& c : figureShotChannel) c = NoChannel;
}
