// The sound bank: opens the audio device, loads every sample once and plays
// each sound by the one rule of recorded channels.
#include "audio/soundbank.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/events.h"
#include "platform/random.h"

SoundBank soundBank;
int32_t titleTuneChannel = NoChannel;
int32_t hitMetalChannel = NoChannel;
int32_t figureShotChannel[8] = {NoChannel, NoChannel, NoChannel, NoChannel,
                                NoChannel, NoChannel, NoChannel, NoChannel};

namespace {
// Sample files by SampleId; the four title copies share one file.
const char* const sampleFiles[SampleCount] = {
    "./sounds/shot_gun1.wav",         "./sounds/shot_gun2.wav",
    "./sounds/shot_gun3.wav",         "./sounds/empty_gun1.wav",
    "./sounds/empty_gun2.wav",        "./sounds/empty_gun3.wav",
    "./sounds/load_gun1_press.wav",   "./sounds/load_gun2_press.wav",
    "./sounds/load_gun3_press.wav",   "./sounds/load_gun1_release.wav",
    "./sounds/load_gun2_release.wav", "./sounds/load_gun3_release.wav",
    "./sounds/target01.wav",          "./sounds/target02.wav",
    "./sounds/target03.wav",          "./sounds/target04.wav",
    "./sounds/target05.wav",          "./sounds/target06.wav",
    "./sounds/target07.wav",          "./sounds/target08.wav",
    "./sounds/hit_metal01.wav",       "./sounds/hit_metal02.wav",
    "./sounds/hit_metal03.wav",       "./sounds/shouts.wav",
    "./sounds/title_20__1.wav",       "./sounds/title_20__1.wav",
    "./sounds/title_20__1.wav",       "./sounds/title_20__1.wav",
};

// The first slot loaded from the same file as slot id (id itself if none).
int32_t firstSlotOfFile(int32_t id) {
  for (int32_t k = 0; k < id; ++k)
    if (strcmp(sampleFiles[k], sampleFiles[id]) == 0) return k;
  return id;
}

// SDL_mixer keeps its channel table only while the device is open; every call
// that touches a channel must not run before the bank is loaded or after
// shutdown closed the device.
bool mixerOpen() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }

// Loads one sample, the loader closing the file; null on failure, with SDL's
// reason left in Mix_GetError.
Mix_Chunk* loadSample(const char* path) {
  SDL_RWops* rw = SDL_RWFromFile(path, "rb");
  return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}
}  // namespace

void loadSoundBank() {
  if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) != 0) {
    fprintf(stderr, "lakeport-nights: no audio device could be opened: %s\n", Mix_GetError());
    // Leave the full-screen mode before ending, so the desktop gets its own back.
    SDL_Quit();
    exitProgram(1);
  }
  unloadSoundBank();
  // Started from the wrong folder: one line says so instead of one per file.
  const bool folderMissing = access("./sounds", F_OK) != 0;
  if (folderMissing) {
    char cwd[512];
    fprintf(stderr, "lakeport-nights: there is no sounds/ folder in %s: the game runs silent\n",
            getcwd(cwd, sizeof cwd) ? cwd : ".");
  }
  for (int32_t id = 0; id < SampleCount; ++id) {
    // The four title copies come from one file: they share the one chunk it
    // loads into (the 45-second tune as four chunks took 24 MB more and a
    // quarter of the start-up). Copies play alike and each play goes to its
    // own channel, so nothing a player hears changes.
    const int32_t first = firstSlotOfFile(id);
    if (first < id) {
      soundBank.samples[id] = soundBank.samples[first];
      continue;
    }
    soundBank.samples[id] = loadSample(sampleFiles[id]);
    if (!soundBank.samples[id] && !folderMissing)
      fprintf(stderr, "lakeport-nights: cannot load sound %s: %s\n", sampleFiles[id],
              Mix_GetError());
  }
}

const char* samplePath(int32_t id) { return id >= 0 && id < SampleCount ? sampleFiles[id] : ""; }

void replaySample(Mix_Chunk* sample, int32_t* channel) {
  haltRecordedChannel(channel);
  *channel = NoChannel;
  if (!sample || !mixerOpen()) return;
  *channel = Mix_PlayChannelTimed(-1, sample, 0, -1);
  if (*channel < 0) *channel = NoChannel;
}

void haltRecordedChannel(const int32_t* channel) {
  // Any negative record means none: Mix_HaltChannel(-1) would cut every sound.
  if (*channel >= 0 && mixerOpen()) Mix_HaltChannel(*channel);
}

void playTitleTune() {
  // trunc(4 * r) is 4 only for the top integer; that draw plays copy 4 too.
  int32_t k = static_cast<int32_t>(4 * RandomUnit());
  if (k > 3) k = 3;
  replaySample(soundBank.samples[TitleTune1 + k], &titleTuneChannel);
}

void playHitMetal(int32_t kind) {
  const int32_t id = kind < 5 ? HitMetal01 : (kind < 10 ? HitMetal02 : HitMetal03);
  replaySample(soundBank.samples[id], &hitMetalChannel);
}

void playFigureShot(int32_t kind) {
  if (kind < 0 || kind > 7) kind = 0;
  replaySample(soundBank.samples[Target01 + kind], &figureShotChannel[kind]);
}

void resetSoundChannels() {
  titleTuneChannel = hitMetalChannel = NoChannel;
  for (int32_t& c : figureShotChannel) c = NoChannel;
}

void unloadSoundBank() {
  for (int32_t id = 0; id < SampleCount; ++id) {
    // A chunk that slots share is freed with the first of them.
    if (soundBank.samples[id] && firstSlotOfFile(id) == id) Mix_FreeChunk(soundBank.samples[id]);
  }
  for (Mix_Chunk*& chunk : soundBank.samples) chunk = nullptr;
}
