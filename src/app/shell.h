// The game shell's records (ShellState, PictureSet), start-up and shutdown.
#pragma once
#include <SDL.h>

#include <cstdint>

struct BitmapFont;
struct PlatformJoystick;

enum class ScreenId : int32_t {
  Title = 0,
  Story = 1,
  DisplayHelp = 2,
  WeaponChoice = 3,
  LevelChoice = 4,
  Round = 5,
  RoundEnd = 6,
};

struct ShellState {
  ScreenId screen;             // the screen the loop shows next
  bool backRequested;          // button 2 or Escape seen by the front-end poll
  bool kioskMode;              // started with exactly one argument
  bool trackerPresent;         // cleared when the tracker does not answer
  int32_t chosenWeapon;        // Weapon of the next round
  int32_t chosenLevel;         // LevelId of the next round
  SDL_Surface* video;          // the screen surface
  PlatformJoystick* joystick1; // joystick device 0, or null
  PlatformJoystick* joystick2; // joystick device 1, or null
};

constexpr int FigurePictureCount = 13;  // kinds 0 to 12; 13 and 14 reuse kind 0
constexpr int FontCount = 6;

// Every picture and font of the game, loaded once at start-up, never freed.
// A picture that failed to load stays null and draws nothing.
struct PictureSet {
  SDL_Surface* frontBackdrop;  // pic32_..._-50_-30.jpg, also the dimmed Garage
  SDL_Surface* pip;            // le5_4x12.bmp
  SDL_Surface* pipEmpty;       // le5bg_4x12.bmp
  SDL_Surface* crosshair[5];   // by DeviceId
  SDL_Surface* figure[FigurePictureCount];
  SDL_Surface* figureHit[FigurePictureCount];
  SDL_Surface* levelBackdrop[5];  // by LevelId
  SDL_Surface* levelDimmed[5];    // by LevelId; [0] is frontBackdrop
  SDL_Surface* deadBackdrop;      // backdrop index 3
  SDL_Surface* hallOfFame;        // backdrop index 2
  SDL_Surface* levelChoice[5];    // level_a_116x88.bmp to level_e
  SDL_Surface* title;             // title.jpg, backdrop index 8
  SDL_Surface* keyboard;          // the name entry's on-screen keyboard
  SDL_Surface* weaponChoice[3];   // by Weapon
  SDL_Surface* shotMark;          // shot_fail_6x6_e_01.bmp
  SDL_Surface* muzzleFlash[9];
  BitmapFont* fonts[FontCount];   // grid font codes 1, 2, 3, 11, 12, 13
};

extern ShellState shell;
extern PictureSet pictures;

// Restores ShellState to its values at program start (tests call it).
void resetShellState();

// The program's entry: the stop signals, start-up, then the endless screen
// loop. Returns 0 after printing the usage for --help or the version for
// --version (nothing else starts), -1 when SDL cannot be initialised and -2
// when the video mode cannot be set; otherwise the program ends through
// shutdownGame, with exit status 0 or, after SIGINT, SIGTERM or SIGHUP, ended
// by that signal.
int gameMain(int argc, char** argv);
// Start-up steps 1 to 17 (everything before the screen loop): 0, -1 or -2.
int startupGame(int argc, char** argv);
// Loads one picture of the game below ./pics/; on failure prints one line on
// standard error naming the file and SDL's reason, and returns null.
SDL_Surface* loadPicture(const char* path);
// Closes the joysticks, the tracker port and the title tune, then SDL_Quit.
void shutdownGame();
// The stop action of the signals and the closed window: shutdownGame, then the
// end by that signal, or exit status 0 for the window.
[[noreturn]] void stopGame(int signal);
