// The bank of sound samples and the one play rule: halt the channel recorded
// for a place, play once on the first free channel, record that channel.
#pragma once
#include <SDL_mixer.h>

#include <cstdint>

enum SampleId : int32_t {
  ShotGun1, ShotGun2, ShotGun3,
  EmptyGun1, EmptyGun2, EmptyGun3,
  LoadGun1Press, LoadGun2Press, LoadGun3Press,
  LoadGun1Release, LoadGun2Release, LoadGun3Release,
  Target01, Target02, Target03, Target04, Target05, Target06, Target07, Target08,
  HitMetal01, HitMetal02, HitMetal03,
  Shouts,
  TitleTune1, TitleTune2, TitleTune3, TitleTune4,
  SampleCount
};

struct SoundBank {
  Mix_Chunk* samples[SampleCount];  // null where a file did not load
};

constexpr int32_t NoChannel = -1;

extern SoundBank soundBank;
extern int32_t titleTuneChannel;
extern int32_t hitMetalChannel;
extern int32_t figureShotChannel[8];

// Opens the audio device (44100 Hz, signed 16-bit LSB, stereo, 4096) and loads
// every sample; a sample that does not load stays null, with one line on
// standard error naming the file (or one line for a missing sounds/ folder). When the device cannot be opened it prints
// one line with the reason, shuts SDL down and ends the program with status 1.
void loadSoundBank();
// The file a sample slot is loaded from ("./sounds/..."), or "" for no slot.
const char* samplePath(int32_t id);
// Halts *channel if one is recorded, plays the sample once on the first free
// channel and records it; a failed play (or a null sample) records NoChannel.
void replaySample(Mix_Chunk* sample, int32_t* channel);
// Halts *channel if one is recorded (the record stays). Any negative record
// means none. Both calls leave the mixer alone while no device is open.
void haltRecordedChannel(const int32_t* channel);
// One title copy chosen by one random draw, into titleTuneChannel.
void playTitleTune();
// The hit sample of a figure kind into hitMetalChannel.
void playHitMetal(int32_t kind);
// The gunshot of a figure kind into that kind's channel (others: kind 0's).
void playFigureShot(int32_t kind);
// Sets every recorded channel of the bank back to NoChannel (tests call it).
void resetSoundChannels();
// Frees every loaded sample and empties the bank (the game never does; tests
// call it so that no chunk outlives the mixer it was made for).
void unloadSoundBank();
