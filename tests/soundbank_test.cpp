// The sound bank: loading, the recorded-channel play rule on a real mixer
// (dummy audio driver), the kind-to-sample choices and the title tune's draw.
#include "audio/soundbank.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <filesystem>

#include "fixture.h"
#include "platform/random.h"

namespace {
class SoundBankTest : public GameTest {
 protected:
  // Every sample file, file i two seconds and i frames long at 11025 Hz (the
  // mixer makes a frame 16 bytes), so each is told by its length and still
  // plays while a test looks at it.
  void loadAllSamples() {
    for (int id = 0; id <= TitleTune1; ++id) writeWav(samplePath(id), framesOf(id));
    captureStderr();
    loadSoundBank();
    EXPECT_EQ(capturedStderr(), "");
  }
  static int framesOf(int id) { return 2 * 11025 + std::min(id, int(TitleTune1)); }
  // Thirty seconds of silence in the device's format, never freed by the mixer.
  static Mix_Chunk* longChunk() {
    static std::vector<Uint8> pcm(44100 * 4 * 30);
    static Mix_Chunk* chunk = Mix_QuickLoad_RAW(pcm.data(), static_cast<Uint32>(pcm.size()));
    return chunk;
  }
  static void fillAllChannels() {
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Mix_PlayChannelTimed(-1, longChunk(), 0, -1), c);
  }
};
}  // namespace

TEST_F(SoundBankTest, LoadsEverySampleInItsSlotAndTheTitleTuneOnceForItsFourCopies) {
  loadAllSamples();
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  ASSERT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
  EXPECT_TRUE(frequency == 44100 && format == AUDIO_S16LSB && channels == 2);
  EXPECT_EQ(Mix_AllocateChannels(-1), 8);
  for (int id = 0; id < SampleCount; ++id) {
    ASSERT_NE(soundBank.samples[id], nullptr) << id;
    EXPECT_EQ(soundBank.samples[id]->alen, Uint32(framesOf(id) * 16)) << id;
  }
  for (int id = TitleTune2; id <= TitleTune4; ++id)
    EXPECT_EQ(soundBank.samples[id], soundBank.samples[TitleTune1]);
  unloadSoundBank();  // one chunk for the four copies, freed once
  for (Mix_Chunk* chunk : soundBank.samples) EXPECT_EQ(chunk, nullptr);
}

TEST_F(SoundBankTest, MissingSamplesAreNamedOnceAndPlayNothingAndAClosedMixerIsLeftAlone) {
  writeWav("sounds/shouts.wav", 100);
  captureStderr();
  loadSoundBank();
  const std::string err = capturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 24);  // the title tune's file once
  EXPECT_NE(err.find("cannot load sound ./sounds/title_20__1.wav"), std::string::npos);
  EXPECT_EQ(err.find("shouts.wav"), std::string::npos);
  EXPECT_EQ(soundBank.samples[ShotGun1], nullptr);

  fillAllChannels();
  hitMetalChannel = 4;  // a missing sample still cuts the place's last sound
  playHitMetal(0);
  playTitleTune();
  EXPECT_EQ(hitMetalChannel + titleTuneChannel, 2 * NoChannel);
  EXPECT_EQ(Mix_Playing(4), 0);
  EXPECT_EQ(Mix_Playing(-1), 7);

  // With no device open, plays record nothing and halts are harmless.
  Mix_CloseAudio();
  int32_t place = 3;
  haltRecordedChannel(&place);
  replaySample(longChunk(), &place);
  playFigureShot(2);
  EXPECT_EQ(place + figureShotChannel[2], 2 * NoChannel);

  // Started where there is no sounds/ folder at all: one line says so.
  std::filesystem::remove_all("sounds");
  captureStderr();
  loadSoundBank();
  const std::string noFolder = capturedStderr();
  EXPECT_EQ(noFolder,
            "lakeport-nights: there is no sounds/ folder in " + dir + ": the game runs silent\n");
  EXPECT_EQ(soundBank.samples[Shouts], nullptr);
}

TEST_F(SoundBankTest, AnAudioDeviceThatCannotBeOpenedEndsWithStatusOneAndOneLine) {
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
  loadAllSamples();
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
  // Another place's channel that SDL_mixer has reused is cut all the same; a
  // missing sample leaves the place without one.
  place = 5;
  haltRecordedChannel(&place);
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

TEST_F(SoundBankTest, KindsAndTheTitleDrawChooseTheSampleAndTheChannel) {
  loadAllSamples();
  for (int kind = 0; kind < 8; ++kind) {
    playFigureShot(kind);
    ASSERT_GE(figureShotChannel[kind], 0) << kind;
    EXPECT_EQ(Mix_GetChunk(figureShotChannel[kind]), soundBank.samples[Target01 + kind]);
  }
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
  // Hits: one channel, each hit cutting the last.
  for (auto [kind, sample] : {std::pair{4, HitMetal01},
                              {5, HitMetal02},
                              {9, HitMetal02},
                              {10, HitMetal03},
                              {-1, HitMetal01}}) {
    playHitMetal(kind);
    EXPECT_EQ(Mix_GetChunk(hitMetalChannel), soundBank.samples[sample]) << kind;
    EXPECT_EQ(Mix_Playing(-1), 1) << kind;
  }
  // The title tune takes one draw; the top one plays copy 4 (they share a chunk).
  for (int32_t draw : {0, 32767}) {
    scriptRandom({draw});
    const uint64_t draws = randomDraws();
    playTitleTune();
    EXPECT_EQ(randomDraws() - draws, 1u);
    EXPECT_EQ(Mix_GetChunk(titleTuneChannel), soundBank.samples[TitleTune4]);
    EXPECT_EQ(Mix_Playing(-1), 2);
  }
}
