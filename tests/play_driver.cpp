// Plays the whole game in the test process, frame by frame on the fake clock.
#include "play_driver.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/screens.h"
#include "figure_helpers.h"
#include "gfx/grid.h"
#include "input/players.h"
#include "platform/events.h"
#include "scores/round_end.h"
#include "scores_support.h"

namespace {
// FNV-1a over a picture's rows in four lanes of eight bytes (some 50 us a frame).
uint32_t pictureHash(const SDL_Surface* s) {
  uint64_t lane[4] = {14695981039346656037u, 1, 2, 3};
  const int words = s->w * s->format->BytesPerPixel / 8;
  for (int y = 0; y < s->h; ++y)
    for (int i = 0; i < words; ++i) {
      uint64_t w;
      memcpy(&w, static_cast<const Uint8*>(s->pixels) + y * s->pitch + 8 * i, sizeof w);
      lane[i % 4] = (lane[i % 4] ^ w) * 1099511628211u;
    }
  return uint32_t((lane[0] ^ lane[1] * 3 ^ lane[2] * 5 ^ lane[3] * 7) >> 32);
}
}  // namespace

PlayDriver::~PlayDriver() { clearEventHooks(); }

int PlayDriver::play(const std::vector<std::string>& args, long maxFrames) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  setFlipHook([this, maxFrames] {
    advanceFakeClock(msPerFrame), ++frameCount, spinsWithoutFlip = 0;
    if (trail.empty() || shell.screen != lastFlipScreen)
      trail.emplace_back(shell.screen, 0), framesOnThisScreen = 0;
    trail.back().second = trail.back().second * 31 + pictureHash(shell.video);
    lastFlipScreen = shell.screen, ++framesOnThisScreen;
    if (onFrame) onFrame();
    if (frameCount > maxFrames)
      throw PlayStuck{"still playing after " + std::to_string(maxFrames) + " frames, on " +
                      screenName(shell.screen)};
  });
  setExitHook([](int status) { throw ProgramExit{status}; });
  setIdleHook([this] {
    if (inputFrame == frameCount) {
      // The look right after the input ends that poll (a round's frame goes on);
      // a screen that looks again is waiting: stuck when it never gets any.
      if (++spinsWithoutFlip > 200000)
        throw PlayStuck{screenName(shell.screen) + " waits for input the script does not give"};
      if (spinsWithoutFlip == 1) return;
    }
    inputFrame = frameCount;
    if (onInput) onInput();
  });
  try {
    const int result = startupGame(static_cast<int>(args.size()), argv.data());
    if (result == 0) runScreenLoop();
    return result;
  } catch (const ProgramExit& e) {
    return e.status;
  }
}

std::string PlayDriver::screensShown() const {
  std::string text;
  char word[16];
  for (auto [screen, hash] : trail)
    snprintf(word, sizeof word, " %d:%08x", int(screen), hash), text += word;
  return text.substr(text.empty() ? 0 : 1);
}

std::string screenName(ScreenId screen) { return "screen " + std::to_string(int(screen)); }

AimOffset headShotOffset(int kind) {
  // The head zone is picture rows 0 to 30; a shot there takes all five points.
  // The pixel nearest the middle of the highest row with the person on it.
  for (int row = 4; row <= 30; ++row)
    for (int step = 0; step < 44; ++step)
      for (int col : {44 - step, 44 + step})
        if (col < 88 && FigurePixel(kind, col, row) < FigureBackgroundPixel)
          return AimOffset{col - 44, row - 100};
  return AimOffset{0, 0};
}

void pushMouseClickAt(int x, int y, int b) {
  pushMouseMotion(x, y), pushMouseButton(b, false, x, y);
}

std::vector<std::string> dataFiles() {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator("data"))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

int MouseGame::play(const std::vector<std::string>& args) {
  driver.onFrame = [this] {
    if (shell.screen == ScreenId::Round && onRoundFrame) onRoundFrame();
  };
  driver.onInput = [this] { act(); };
  try {
    return driver.play(args, 20000);
  } catch (const PlayStuck& stuck) {
    ADD_FAILURE() << stuck.why;
    return -100;
  }
}

void MouseGame::act() {
  if (entryOffered && !qualified && afterEntry) std::exchange(afterEntry, nullptr)();
  const bool entered = std::exchange(last, shell.screen) != shell.screen;
  switch (shell.screen) {
    case ScreenId::Title:
      if (entered || titles == 0) ++titles;
      return pushMouseClickAt(320, 240, titles == 1 ? 1 : 3);
    case ScreenId::WeaponChoice: return pushMouseClickAt(weaponX, 115);
    case ScreenId::LevelChoice: return pushMouseClickAt(levelX, 115);
    case ScreenId::Round: return enough() ? pushKey(SDLK_ESCAPE, true) : shootOrMove();
    case ScreenId::RoundEnd: break;
    default: return pushMouseClickAt(320, 240);
  }
  if (entered) ++rounds;
  if (entered && atRoundEnd) atRoundEnd();
  // The end screens drain the round's last input before they draw.
  if (driver.flippedScreen() != ScreenId::RoundEnd) return;
  entryOffered |= qualified;
  if (qualified && !name.empty()) {
    const auto [column, row] = name.front();
    name.pop_front();
    return column < 0 ? pushKey(SDLK_LALT, false)
                      : pushMouseClickAt(nameKeyX(column), nameKeyY(row));
  }
  if (qualified && std::exchange(cancel, false)) return pushMouseClickAt(320, 240, 3);
  pushMouseClickAt(320, 240, replays-- > 0 ? 1 : 3);
}

void MouseGame::shootOrMove() {
  for (int k = 0; k < FigurePictureCount && !aimed; ++k) aims[k] = headShotOffset(k);
  aimed = true;
  const Player& mouse = players[Mouse];
  if (reloadDue && mouse.fireRequested == 0) {
    pushMouseButton(3, true, x, y), pushMouseButton(3, false, x, y);
    reloadDue = false;
    return;
  }
  if (mouse.fireRequested) return;  // the last pull waits for its cadence
  for (int i = 0; i < TargetCount; ++i) {
    const Target* t = TargetAt(i);
    if (!t->shown || t->health <= 0 || !wanted(*t)) continue;
    const AimOffset& a = aims[t->kind < FigurePictureCount ? t->kind : 0];
    x = t->x + a.dx, y = t->y + a.dy;
    mouseFireAt(x, y);
    reloadDue = reloadEveryShot, lastMoveFrame = driver.frames();
    return;
  }
  if (driver.frames() - lastMoveFrame >= 120) {
    // Both coordinates change, or the move would not count as one.
    x = 200 + (mouse.cursorX + 37) % 240, y = 200 + (mouse.cursorY + 23) % 200;
    pushMouseMotion(x, y), lastMoveFrame = driver.frames();
  }
}
