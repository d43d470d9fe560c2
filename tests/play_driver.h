// Plays the whole game in the test process: start-up, then the real screen
// loop, driven frame by frame. Every flip advances the fake clock; whenever
// the game finds its event queue empty, a script may push the next input, at
// most once per flipped frame, so the game sees the input the way it would
// see a player's.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "game/targets.h"

// Thrown by the driver when the game runs past its frame budget or spins
// without ever flipping.
struct PlayStuck {
  std::string why;
};

class PlayDriver {
 public:
  // Every flip advances the fake clock by msPerFrame.
  explicit PlayDriver(uint32_t msPerFrame = 16) : msPerFrame(msPerFrame) {}
  ~PlayDriver();
  // The script: called when the game finds its event queue empty, once per
  // flipped frame; and, on a screen that waits for input without flipping,
  // again at every further look at the empty queue after the first.
  std::function<void()> onInput;
  // Called after every flip (start-up's progress flips included).
  std::function<void()> onFrame;

  // Runs start-up and the screen loop until the program ends; returns its exit
  // status (start-up's result when it fails). Throws PlayStuck past maxFrames.
  // The game's records, SDL and the mixer are left as they are: newProcess()
  // makes them as a new process finds them.
  int play(const std::vector<std::string>& args, long maxFrames);

  long frames() const { return frameCount; }
  // Flips since the screen value last changed.
  long framesOnScreen() const { return framesOnThisScreen; }
  // The screen value at the last flip.
  ScreenId flippedScreen() const { return lastFlipScreen; }
  // The distinct screens in the order they were shown (one entry per change).
  const std::vector<ScreenId>& screensShown() const { return trail; }

 private:
  uint32_t msPerFrame;
  long frameCount = 0, framesOnThisScreen = 0, inputFrame = -1, spinsWithoutFlip = 0;
  ScreenId lastFlipScreen = ScreenId::Title;
  std::vector<ScreenId> trail;
};

// Closes the mixer (as often as the games opened it) and SDL, and resets every
// record: what the next start of the game would find in a new process.
void newProcess();
const char* screenName(ScreenId screen);
// Where a shot at a figure kind lands on the person's head (a picture pixel
// below the figures' background value, in the head zone: one shot kills), as
// an offset from the figure's centre.
struct AimOffset {
  int dx, dy;
};
AimOffset headShotOffset(int kind);
// The centre of a key cell of the name entry's on-screen keyboard.
inline int nameKeyX(int column) { return 18 + 20 * column + 10; }
inline int nameKeyY(int row) { return 336 + 20 * row + 10; }
// Mouse motion to (x, y) followed by a release of the button there (the front
// end decides on release): 1 fires, 3 is button 2.
void pushMouseClickAt(int x, int y, int button = 1);
// The names of the files in data/, sorted; the lines of a text.
std::vector<std::string> dataFiles();
std::vector<std::string> linesOf(const std::string& text);

// A player who plays the whole game with the mouse, from start-up to the
// program's end: the story the first time on the title and button 2 (the end
// of the game) after that; fire on the text screens; the weapon and level
// pictures at x weaponX and levelX. In a round, a head shot at the first
// standing, live figure `wanted` picks, a quick click at a time, each followed
// by a reload when `reloadEveryShot`, until `enough` says so: then Escape. On
// the name entry the key cells of `name`, or button 2 when `cancel`. On the
// hiscore screen a fire (the same level again) while `replays` last, else
// button 2. Every round frame, the energy must never rise and no frame may
// follow the one that took the last of it.
class MouseGame {
 public:
  MouseGame(int weaponX, int levelX) : weaponX(weaponX), levelX(levelX) {}
  std::function<bool(const Target&)> wanted = [](const Target& t) { return t.isGangster; };
  std::function<bool()> enough = [] { return false; };
  bool reloadEveryShot = true;
  std::deque<std::pair<int, int>> name = {{10, 1}};  // the end key alone: "Anonymous"
  bool cancel = false;
  int replays = 0;
  // Hooks: as the end of a round begins, once on the hiscore screen after a
  // name entry, after every round frame.
  std::function<void()> atRoundEnd, afterEntry, onRoundFrame;

  // What each round left for its end screens.
  struct Round {
    int32_t bodyCount, energy, gangstersLeft, totalShots, playerCount, marks;
    std::string deviceTag;
    bool qualified;
  };
  std::vector<Round> rounds;
  bool entryOffered = false;
  PlayDriver driver;

  // Plays to the program's end; the exit status, or -100 (with a failure)
  // when the game got stuck.
  int play(const std::vector<std::string>& args = {"lakeport-nights"});

 private:
  void act();
  void shootOrMove();
  int weaponX, levelX;
  int titles = 0, x = 320, y = 240;
  int32_t lastEnergy = 100;
  bool reloadDue = false, drawnEnd = false;
  long lastMoveFrame = -1000;
  ScreenId last = ScreenId::Title;
  AimOffset aims[FigurePictureCount];
  bool aimed = false;  // found once the figures' pictures are loaded
};
