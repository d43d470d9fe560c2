// Plays the whole game in the test process, frame by frame on the fake clock.
#include "play_driver.h"

#include "app/screens.h"
#include "fixture.h"
#include "game/targets.h"
#include "gfx/grid.h"
#include "input/players.h"
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
      // The look right after the input ends that poll (a round's frame goes on);
      // a screen that looks again is waiting.
      if (++spinsWithoutFlip > MaxSpins)
        throw PlayStuck{std::string("the ") + screenName(shell.screen) +
                        " screen waits for input the script does not give"};
      if (spinsWithoutFlip == 1) return;
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

MouseGunner::MouseGunner(bool reloadEveryShot) : reloadEveryShot(reloadEveryShot) {
  for (int k = 0; k < FigurePictureCount; ++k) aims[k] = headShotOffset(k);
}

bool MouseGunner::act(const std::function<bool(const Target&)>& wanted, long frame) {
  Player& mouse = players[Mouse];
  if (reloadDue && mouse.fireRequested == 0) {
    pushMouseButton(3, true, x, y);
    pushMouseButton(3, false, x, y);
    reloadDue = false;
    return false;
  }
  if (mouse.fireRequested) return false;  // the last pull waits for its cadence
  for (int i = 0; i < TargetCount; ++i) {
    Target* t = TargetAt(i);
    if (!t->shown || t->health <= 0 || !wanted(*t)) continue;
    const AimOffset& a = aims[t->kind < FigurePictureCount ? t->kind : 0];
    x = t->x + a.dx;
    y = t->y + a.dy;
    pushMouseMotion(x, y);
    pushMouseButton(1, true, x, y);
    pushMouseButton(1, false, x, y);
    reloadDue = reloadEveryShot;
    lastMoveFrame = frame;
    return true;
  }
  if (frame - lastMoveFrame >= 120) {
    // Both coordinates change, or the move would not count as one.
    x = 200 + (mouse.cursorX + 37) % 240;
    y = 200 + (mouse.cursorY + 23) % 200;
    pushMouseMotion(x, y);
    lastMoveFrame = frame;
  }
  return false;
}

bool FrontEndClicks::act(bool entered) {
  switch (shell.screen) {
    case ScreenId::Title:
      if (entered || titles == 0) ++titles;
      pushMouseClickAt(320, 240, titles == 1 ? 1 : 3);
      return true;
    case ScreenId::Story:
    case ScreenId::DisplayHelp: pushMouseClickAt(320, 240); return true;
    case ScreenId::WeaponChoice: pushMouseClickAt(weaponX, 115); return true;
    case ScreenId::LevelChoice: pushMouseClickAt(levelX, 115); return true;
    default: return false;
  }
}
