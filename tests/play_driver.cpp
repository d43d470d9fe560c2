// Plays the whole game in the test process, frame by frame on the fake clock.
#include "play_driver.h"

#include "app/screens.h"
#include "fixture.h"
#include "game/targets.h"
#include "gfx/grid.h"
#include "platform/clock.h"
#include "platform/events.h"

namespace {
// Idle calls without a flip in between before the game counts as stuck: a
// text screen waiting for input the script never gives.
constexpr long MaxSpins = 200000;
}  // namespace

PlayDriver::PlayDriver(uint32_t ms) : msPerFrame(ms) {}

PlayDriver::~PlayDriver() { clearEventHooks(); }

int PlayDriver::play(const std::vector<std::string>& args, long maxFrames) {
  frameBudget = maxFrames;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  setFlipHook([this] {
    advanceFakeClock(msPerFrame);
    ++frameCount;
    spinsWithoutFlip = 0;
    if (trail.empty() || shell.screen != lastFlipScreen) {
      trail.push_back(shell.screen);
      framesOnThisScreen = 0;
    }
    lastFlipScreen = shell.screen;
    ++framesOnThisScreen;
    if (onFrame) onFrame();
    if (frameCount > frameBudget)
      throw PlayStuck{std::string("still playing after ") + std::to_string(frameBudget) +
                      " frames, on the " + screenName(shell.screen) + " screen"};
  });
  setIdleHook([this] {
    if (inputFrame == frameCount) {
      if (++spinsWithoutFlip > MaxSpins)
        throw PlayStuck{std::string("the ") + screenName(shell.screen) +
                        " screen waits for input the script does not give"};
      return;
    }
    inputFrame = frameCount;
    if (onInput) onInput();
  });
  int result = 0;
  try {
    result = startupGame(static_cast<int>(args.size()), argv.data());
    if (result == 0) runScreenLoop();
  } catch (const ProgramExit& e) {
    result = e.status;
  }
  return result;
}

AimOffset headShotOffset(int kind) {
  // The head zone is picture rows 0 to 30; a hit there takes all five points.
  for (int row = 4; row <= 30; ++row)
    for (int step = 0; step < 44; ++step)
      for (int col : {44 - step, 44 + step})
        if (col >= 0 && col < 88 && FigurePixel(kind, col, row) < FigureBackgroundPixel)
          return AimOffset{col - 44, row - 100, true};
  return AimOffset{0, 0, false};
}

void pushMouseClickAt(int x, int y, int button) {
  pushMouseMotion(x, y);
  pushMouseButton(button, false, x, y);
}

const char* screenName(ScreenId screen) {
  switch (screen) {
    case ScreenId::Title: return "title";
    case ScreenId::Story: return "story";
    case ScreenId::DisplayHelp: return "display help";
    case ScreenId::WeaponChoice: return "weapon choice";
    case ScreenId::LevelChoice: return "level choice";
    case ScreenId::Round: return "round";
    case ScreenId::RoundEnd: return "round end";
  }
  return "unknown";
}
