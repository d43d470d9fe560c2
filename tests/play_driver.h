// Plays the whole game in the test process: start-up, then the real screen
// loop, driven frame by frame. Every flip advances the fake clock; whenever
// the game finds its event queue empty, a script may push the next input, at
// most once per flipped frame, so the game sees the input the way it would
// see a player's. Helpers for the players the whole-game tests script.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
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
  // The game's records are left as they are: resetGameState() makes them as a
  // new process finds them.
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

// The centre of a key cell of the name entry's on-screen keyboard.
inline int nameKeyX(int column) { return 18 + 20 * column + 10; }
inline int nameKeyY(int row) { return 336 + 20 * row + 10; }

// Mouse motion to (x, y) followed by a release of the button there (the front
// end selects on release): 1 fires, 3 is button 2.
void pushMouseClickAt(int x, int y, int button = 1);
const char* screenName(ScreenId screen);
// The names of the files in data/, sorted; the lines of a text.
std::vector<std::string> dataFiles();
std::vector<std::string> linesOf(const std::string& text);

// The mouse player in a round: one shot at a time at a chosen figure, each a
// quick click, with a reload on the frame after when the weapon needs one.
class MouseGunner {
 public:
  explicit MouseGunner(bool reloadEveryShot) : reloadEveryShot(reloadEveryShot) {}
  // One frame's input: a reload after the last shot, else a head shot (all
  // five points) at the first standing, live figure that `wanted` picks, else
  // now and then a move that keeps the mouse in the game. True on a shot.
  bool act(const std::function<bool(const Target&)>& wanted, long frame);

 private:
  struct Aim {
    int dx, dy;  // from the figure's centre to a pixel of the person's head
  } aims[FigurePictureCount];
  bool aimed = false;  // aims are found once the figures' pictures are loaded
  bool reloadEveryShot, reloadDue = false;
  int x = 320, y = 240;
  long lastMoveFrame = -1000;
};

// A player who clicks through the front end with the mouse: on to the story the
// first time on the title and button 2 (the end of the game) after that, fire on
// the text screens, the given pictures on the choice screens.
struct FrontEndClicks {
  int weaponX, levelX;  // the pictures' row is at y 70 to 159
  int titles = 0;
  // One frame's input on a front-end screen; false on the other screens.
  bool act(bool entered);
};
