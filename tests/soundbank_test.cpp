// The sound bank: loading, the recorded-channel play rule on a real mixer
// (dummy audio driver), the kind-to-sample choices and the title tune's draw.
#include "audio/soundbank.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fixture.h"
#include "platform/random.h"

namespace {
const char* const distinctFiles[] = {
    "shot_gun1",       "shot_gun2",         "shot_gun3",         "empty_gun1",
    "empty_gun2",      "empty_gun3",        "load_gun1_press",   "load_gun2_press",
    "load_gun3_press", "load_gun1_release", "load_gun2_release", "load_gun3_release",
    "target01",        "target02",          "target03",          "target04",
    "target05",        "target06",          "target07",          "target08",
    "hit_metal01",     "hit_metal02",       "hit_metal03",       "shouts",
    "title_20__1",
};
constexpr int DistinctFileCount = sizeof distinctFiles / sizeof distinctFiles[0];

// Frames of file i: two seconds at 11025 Hz plus i, so each file has its own
// length (16 bytes a frame once loaded) and every sample is still playing
// while a test looks at it.
int framesOf(int file) { return 2 * 11025 + file; }

class SoundBankTest : public GameTest {
 protected:
  void writeSoundFiles() {
    for (int i = 0; i < DistinctFileCount; ++i)
      writeWav(dir + "/sounds/" + distinctFiles[i] + ".wav", framesOf(i));
  }
  // Thirty seconds of silence in the device's format, never freed by the mixer.
  static Mix_Chunk* longChunk() {
    static std::vector<Uint8> pcm(44100 * 4 * 30);
    static Mix_Chunk* chunk = nullptr;
    if (!chunk) chunk = Mix_QuickLoad_RAW(pcm.data(), static_cast<Uint32>(pcm.size()));
    return chunk;
  }
  static void fillAllChannels() {
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannelTimed(-1, longChunk(), 0, -1), c);
  }
};
}  // namespace

TEST_F(SoundBankTest, LoadsEverySampleInItsSlotAndTheTitleTuneOnceForItsFourCopies) {
  writeSoundFiles();
  captureStderr();
  loadSoundBank();
  EXPECT_EQ(capturedStderr(), "");
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  ASSERT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
  EXPECT_EQ(frequency, 44100);
  EXPECT_EQ(format, AUDIO_S16LSB);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(Mix_AllocateChannels(-1), 8);
  for (int id = 0; id < SampleCount; ++id) {
    ASSERT_NE(soundBank.samples[id], nullptr) << id;
    const int file = id < TitleTune1 ? id : DistinctFileCount - 1;
    EXPECT_EQ(soundBank.samples[id]->alen, Uint32(framesOf(file) * 16)) << id;
  }
  // One chunk for the four copies, freed once.
  for (int id = TitleTune2; id <= TitleTune4; ++id)
    EXPECT_EQ(soundBank.samples[id], soundBank.samples[TitleTune1]);
  unloadSoundBank();
  for (Mix_Chunk* chunk : soundBank.samples) EXPECT_EQ(chunk, nullptr);
}

TEST_F(SoundBankTest, MissingSamplesAreNamedOnceAndPlayNothing) {
  writeWav(dir + "/sounds/shouts.wav", 100);
  captureStderr();
  loadSoundBank();
  const std::string err = capturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'),
            DistinctFileCount - 1);  // the title tune's file only once
  EXPECT_NE(err.find("./sounds/title_20__1.wav"), std::string::npos);
  EXPECT_EQ(err.find("shouts.wav"), std::string::npos);
  EXPECT_EQ(soundBank.samples[ShotGun1], nullptr);

  fillAllChannels();
  hitMetalChannel = 4;  // a missing sample still cuts the place's last sound
  playHitMetal(0);
  EXPECT_EQ(hitMetalChannel, NoChannel);
  EXPECT_EQ(Mix_Playing(4), 0);
  EXPECT_EQ(Mix_Playing(-1), 7);
  playTitleTune();
  EXPECT_EQ(titleTuneChannel, NoChannel);
  EXPECT_EQ(Mix_Playing(-1), 7);

  // With no device open, plays record nothing and halts are harmless.
  Mix_CloseAudio();
  int32_t place = 3;
  haltRecordedChannel(&place);
  replaySample(longChunk(), &place);
  EXPECT_EQ(place, NoChannel);
  playFigureShot(2);
  EXPECT_EQ(figureShotChannel[2], NoChannel);

  // Started where there is no sounds/ folder at all: one line says so.
  std::filesystem::remove_all("sounds");
  captureStderr();
  loadSoundBank();
  const std::string noFolder = capturedStderr();
  EXPECT_NE(noFolder.find("there is no sounds/ folder in " + dir), std::string::npos) << noFolder;
  EXPECT_EQ(std::count(noFolder.begin(), noFolder.end(), '\n'), 1) << noFolder;
  EXPECT_EQ(soundBank.samples[Shouts], nullptr);
}

TEST_F(SoundBankTest, AudioDeviceThatCannotBeOpenedEndsWithStatusOneAndOneLine) {
  startVideo();
  setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
  captureStderr();
  int status = -1;
  try {
    loadSoundBank();
  } catch (const ProgramExit& e) {
    status = e.status;
  }
  const std::string err = capturedStderr();
  EXPECT_EQ(status, 1);
  const std::string head = "lakeport-nights: no audio device could be opened: ";
  EXPECT_EQ(err.rfind(head, 0), 0u) << err;
  EXPECT_GT(err.size(), head.size() + 1) << "SDL_mixer's reason follows";
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);  // the full-screen mode is left
}

TEST_F(SoundBankTest, RecordedChannelsHaltOnlyWhatTheyRecorded) {
  writeSoundFiles();
  loadSoundBank();
  fillAllChannels();

  // All eight busy: the play fails, records none and halts nothing, also the
  // next time at the same place.
  int32_t place = NoChannel;
  for (int i = 0; i < 2; ++i) {
    replaySample(longChunk(), &place);
    EXPECT_EQ(place, NoChannel);
    EXPECT_EQ(Mix_Playing(-1), 8);
  }

  // Channel 0 is a real channel: it is cut and is then the first free one.
  place = 0;
  replaySample(longChunk(), &place);
  EXPECT_EQ(place, 0);
  EXPECT_EQ(Mix_Playing(-1), 8);

  // Another place's channel that SDL_mixer has reused is cut all the same.
  place = 5;
  haltRecordedChannel(&place);
  EXPECT_EQ(place, 5);
  EXPECT_EQ(Mix_Playing(5), 0);
  int32_t other = NoChannel;
  replaySample(longChunk(), &other);
  EXPECT_EQ(other, 5);
  replaySample(nullptr, &place);
  EXPECT_EQ(place, NoChannel);
  EXPECT_EQ(Mix_Playing(5), 0);

  // No record, or any negative one, halts nothing.
  for (int32_t none : {NoChannel, -2}) haltRecordedChannel(&none);
  EXPECT_EQ(Mix_Playing(-1), 7);
}

TEST_F(SoundBankTest, FigureKindsChooseTheirSampleAndTheirChannel) {
  writeSoundFiles();
  loadSoundBank();
  for (int kind = 0; kind < 8; ++kind) {
    playFigureShot(kind);
    ASSERT_GE(figureShotChannel[kind], 0) << kind;
    EXPECT_EQ(Mix_GetChunk(figureShotChannel[kind]), soundBank.samples[Target01 + kind]);
  }
  ASSERT_EQ(Mix_Playing(-1), 8);
  // Kinds beyond the eight gunshots play target01 and cut kind 0's shot: with
  // every channel busy, only that halt makes room for them.
  const int32_t kindZero = figureShotChannel[0];
  for (int kind : {8, 14, -1}) {
    playFigureShot(kind);
    EXPECT_EQ(figureShotChannel[0], kindZero) << kind;
    EXPECT_EQ(Mix_GetChunk(kindZero), soundBank.samples[Target01]);
    EXPECT_EQ(Mix_Playing(-1), 8);
  }

  Mix_HaltChannel(-1);
  const struct {
    int kind;
    SampleId sample;
  } hits[] = {
      {4, HitMetal01}, {5, HitMetal02}, {9, HitMetal02}, {10, HitMetal03}, {-1, HitMetal01}};
  for (const auto& hit : hits) {
    playHitMetal(hit.kind);
    ASSERT_GE(hitMetalChannel, 0);
    EXPECT_EQ(Mix_GetChunk(hitMetalChannel), soundBank.samples[hit.sample]) << hit.kind;
    EXPECT_EQ(Mix_Playing(-1), 1) << "one hit channel, each hit cuts the last";
  }
}

TEST_F(SoundBankTest, TitleTuneTakesOneDrawAndTheTopDrawPlaysCopyFour) {
  writeSoundFiles();
  loadSoundBank();
  const struct {
    int32_t draw;
    int copy;
  } cases[] = {{0, 1}, {8191, 1}, {8192, 2}, {16384, 3}, {24575, 3}, {24576, 4}, {32767, 4}};
  for (const auto& c : cases) {
    scriptRandom({c.draw});
    const uint64_t before = randomDraws();
    playTitleTune();
    EXPECT_EQ(randomDraws() - before, 1u);
    ASSERT_GE(titleTuneChannel, 0);
    EXPECT_EQ(Mix_GetChunk(titleTuneChannel), soundBank.samples[TitleTune1 + c.copy - 1]) << c.draw;
    EXPECT_EQ(Mix_Playing(-1), 1);
  }
}
