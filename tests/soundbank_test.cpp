// The sound bank without an audio device (the fault tests play the rest).
#include "audio/soundbank.h"

#include "fixture.h"

using SoundBankTest = GameTest;

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
  const std::string head = "lakeport-nights: no audio device could be opened: ";
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(err.rfind(head, 0) == 0 && err.size() > head.size() + 1) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);  // the full-screen mode is left
}
