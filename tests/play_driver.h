// Plays the whole game in the test process: every flip advances the fake clock;
// a script may push input when the queue is empty, once per flipped frame.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "game/targets.h"

// Thrown when the game runs past its frame budget or spins without flipping.
struct PlayStuck {
  std::string why;
};

class PlayDriver {
 public:
  explicit PlayDriver(uint32_t msPerFrame = 16) : msPerFrame(msPerFrame) {}
  ~PlayDriver();
  std::function<void()> onInput, onFrame;  // at an empty queue; after every flip

  // Runs start-up and the screen loop to the program's end; its exit status.
  // Throws PlayStuck past maxFrames. Records, SDL and the mixer stay as left.
  int play(const std::vector<std::string>& args, long maxFrames);

  // Flips in all, flips since the screen changed, the screen at the last flip.
  long frames() const { return frameCount; }
  long framesOnScreen() const { return framesOnThisScreen; }
  ScreenId flippedScreen() const { return lastFlipScreen; }
  // The screens in the order shown, each as "<ScreenId>:<hash>", the hash (in
  // hex) of every picture the game drew while it lasted: where a replay goes
  // another way or draws one pixel otherwise, it tells on which screen.
  std::string screensShown() const;

 private:
  uint32_t msPerFrame;
  long frameCount = 0, framesOnThisScreen = 0, inputFrame = -1, spinsWithoutFlip = 0;
  ScreenId lastFlipScreen = ScreenId::Title;
  std::vector<std::pair<ScreenId, uint32_t>> trail;  // each screen shown, its pictures' hash
};

std::string screenName(ScreenId screen);  // "screen 5" for the round
struct AimOffset {  // from a figure's centre to a person pixel in its head (one shot kills)
  int dx, dy;
};
AimOffset headShotOffset(int kind);
// The centre of a key cell of the name entry's on-screen keyboard.
inline int nameKeyX(int column) { return 18 + 20 * column + 10; }
inline int nameKeyY(int row) { return 336 + 20 * row + 10; }
// Mouse motion to (x, y) and a release of button 1 (fire) or 3 (button 2) there.
void pushMouseClickAt(int x, int y, int button = 1);
std::vector<std::string> dataFiles();  // the files in data/, sorted

// A player of the whole game with the mouse: fire on the title the first time,
// button 2 after; fire on text screens; the weapon and level pictures at x
// weaponX and levelX. In a round, head shots at the standing figures `wanted`
// picks, each reloaded when `reloadEveryShot`, until `enough`: then Escape. On
// the name entry the keys of `name` (column -1: the keyboard's button 2, Alt),
// then the mouse's button 2 when `cancel`; on the hiscore
// screen fire while `replays` last, else button 2.
class MouseGame {
 public:
  MouseGame(int weaponX, int levelX) : weaponX(weaponX), levelX(levelX) {}
  std::function<bool(const Target&)> wanted = [](const Target& t) { return t.isGangster; };
  std::function<bool()> enough = [] { return false; };
  bool reloadEveryShot = true;
  std::deque<std::pair<int, int>> name = {{10, 1}};  // the end key alone: "Anonymous"
  bool cancel = false;
  int replays = 0;
  // At a round's end, once after a name entry (typed or cancelled), every round frame.
  std::function<void()> atRoundEnd, afterEntry, onRoundFrame;

  int rounds = 0;  // ended; their results are in the pictures and files
  bool entryOffered = false;
  PlayDriver driver;

  // Plays to the program's end; the exit status, or -100 when stuck.
  int play(const std::vector<std::string>& args = {"lakeport-nights"});

 private:
  void act();
  void shootOrMove();
  int weaponX, levelX;
  int titles = 0, x = 320, y = 240;
  bool reloadDue = false;
  long lastMoveFrame = -1000;
  ScreenId last = ScreenId::Title;
  AimOffset aims[FigurePictureCount];
  bool aimed = false;  // found once the figures' pictures are loaded
};
