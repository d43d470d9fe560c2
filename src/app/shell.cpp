// Start-up: SDL, the video mode, fonts, sounds, joysticks, every picture with
// the progress pips, the tracker; and the shutdown that ends the program.
#include "app/shell.h"

#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/screens.h"
#include "audio/soundbank.h"
#include "game/displays.h"
#include "game/targets.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "input/players.h"
#include "input/tracker.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/joystick.h"
#include "platform/random.h"
#include "platform/sdl_library.h"
#include "platform/signals.h"

namespace {
// The shell's values at program start; the definition and the reset share them.
constexpr ShellState initialShell = {ScreenId::Title, false,   false,  true, 1, 0,
                                     nullptr,         nullptr, nullptr};
}  // namespace

ShellState shell = initialShell;
PictureSet pictures;

namespace {
constexpr Uint32 NoKey = 0xFFFFFFFFu;

bool picturesFolderMissing = false;

struct AssetEntry {
  const char* file;    // below ./pics/
  SDL_Surface** slot;  // where the picture goes in PictureSet
  Uint32 key;          // colour key as 0xRRGGBB, or NoKey
  bool step;           // one progress step right after the load
};

// Every picture of the game in its load order, with colour keys and steps.
const AssetEntry assetTable[] = {
    {"le5_4x12.bmp", &pictures.pip, NoKey, true},  // the first step, count 0
    {"cross_a_02.bmp", &pictures.crosshair[0], 0x000000, true},
    {"cross_b_02.bmp", &pictures.crosshair[1], 0x000000, true},
    {"cross_c_02.bmp", &pictures.crosshair[2], 0x000000, true},
    {"cross_d_02.bmp", &pictures.crosshair[3], 0x000000, true},
    {"cross_f_02.bmp", &pictures.crosshair[4], 0x000000, true},
    {"target_n_01_88x200.bmp", &pictures.figure[0], NoKey, true},
    {"target_hit_n_01_88x200.bmp", &pictures.figureHit[0], NoKey, true},
    {"target_o_01_88x200.bmp", &pictures.figure[1], NoKey, true},
    {"target_hit_o_01_88x200.bmp", &pictures.figureHit[1], NoKey, true},
    {"target_p_01_88x200.bmp", &pictures.figure[2], NoKey, true},
    {"target_hit_p_01_88x200.bmp", &pictures.figureHit[2], NoKey, true},
    {"target_q_01_88x200.bmp", &pictures.figure[3], NoKey, true},
    {"target_hit_q_01_88x200.bmp", &pictures.figureHit[3], NoKey, true},
    {"target_n_01_88x200_mirror.bmp", &pictures.figure[4], NoKey, true},
    {"target_hit_n_01_88x200_mirror.bmp", &pictures.figureHit[4], NoKey, true},
    {"target_o_01_88x200_mirror.bmp", &pictures.figure[5], NoKey, true},
    {"target_hit_o_01_88x200_mirror.bmp", &pictures.figureHit[5], NoKey, true},
    {"target_p_01_88x200_mirror.bmp", &pictures.figure[6], NoKey, true},
    {"target_hit_p_01_88x200_mirror.bmp", &pictures.figureHit[6], NoKey, true},
    {"target_q_01_88x200_mirror.bmp", &pictures.figure[7], NoKey, true},
    {"target_hit_q_01_88x200_mirror.bmp", &pictures.figureHit[7], NoKey, true},
    {"target_d_01_88x200.bmp", &pictures.figure[8], NoKey, true},
    {"target_hit_d_01_88x200.bmp", &pictures.figureHit[8], NoKey, true},
    {"target_e_01_88x200.bmp", &pictures.figure[9], NoKey, true},
    {"target_hit_e_01_88x200.bmp", &pictures.figureHit[9], NoKey, true},
    {"target_g_01_88x200.bmp", &pictures.figure[10], NoKey, true},
    {"target_hit_g_01_88x200.bmp", &pictures.figureHit[10], NoKey, true},
    {"target_h_01_88x200.bmp", &pictures.figure[11], NoKey, true},
    {"target_hit_h_01_88x200.bmp", &pictures.figureHit[11], NoKey, true},
    {"target_k_01_88x200.bmp", &pictures.figure[12], NoKey, true},
    {"target_hit_k_01_88x200.bmp", &pictures.figureHit[12], NoKey, true},
    {"pic32_1200x900_verlauf_640x480.jpg", &pictures.levelBackdrop[0], NoKey, true},
    {"smoke-shop_a_01_cut_a_01_verlauf_640x480.jpg", &pictures.levelBackdrop[3], NoKey, true},
    {"main-street_a_01_cut_a_01_verlauf_640x480.jpg", &pictures.levelBackdrop[2], NoKey, true},
    {"flower-shop_a_01_cut_a_01_verlauf_640x480.jpg", &pictures.levelBackdrop[4], NoKey, true},
    {"qmorvel_Tire_Store_v_verlauf_640x480.jpg", &pictures.levelBackdrop[1], NoKey, true},
    {"dead_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", &pictures.deadBackdrop, NoKey, true},
    {"hall-of-fame_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", &pictures.hallOfFame, NoKey, true},
    {"smoke-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", &pictures.levelDimmed[3], NoKey, true},
    {"main-street_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", &pictures.levelDimmed[2], NoKey,
     true},
    {"flower-shop_a_01_cut_a_01_verlauf_640x480_-50_-30.jpg", &pictures.levelDimmed[4], NoKey,
     true},
    {"qmorvel_Tire_Store_v_verlauf_640x480_-50_-30.jpg", &pictures.levelDimmed[1], NoKey, true},
    {"level_a_116x88.bmp", &pictures.levelChoice[0], NoKey, true},
    {"level_b_116x88.bmp", &pictures.levelChoice[1], NoKey, true},
    {"level_c_116x88.bmp", &pictures.levelChoice[2], NoKey, true},
    {"level_d_116x88.bmp", &pictures.levelChoice[3], NoKey, true},
    {"level_e_116x88.bmp", &pictures.levelChoice[4], NoKey, true},
    {"title.jpg", &pictures.title, NoKey, true},
    // The key is 0xA8A594, not the 9C9886 that the file name carries.
    {"keyboard_a_02_transp-9C9886_220x120.bmp", &pictures.keyboard, 0xA8A594, true},
    {"singleshot_200x90.bmp", &pictures.weaponChoice[0], NoKey, true},
    {"sixshooter_200x90.bmp", &pictures.weaponChoice[1], NoKey, true},
    {"thompson_200x90.bmp", &pictures.weaponChoice[2], NoKey, true},
    {"shot_fail_6x6_e_01.bmp", &pictures.shotMark, 0xFFFFFF, true},
    {"shot_a_01.bmp", &pictures.muzzleFlash[0], 0x000000, false},
    {"shot_b_01.bmp", &pictures.muzzleFlash[1], 0x000000, false},
    {"shot_c_01.bmp", &pictures.muzzleFlash[2], 0x000000, false},
    {"shot_d_01.bmp", &pictures.muzzleFlash[3], 0x000000, false},
    {"shot_f_01.bmp", &pictures.muzzleFlash[4], 0x000000, false},
    {"shot_h_01.bmp", &pictures.muzzleFlash[5], 0x000000, false},
    {"shot_j_01.bmp", &pictures.muzzleFlash[6], 0x000000, false},
    {"shot_k_01.bmp", &pictures.muzzleFlash[7], 0x000000, false},
    {"shot_l_01.bmp", &pictures.muzzleFlash[8], 0x000000, false},
    {"le5bg_4x12.bmp", &pictures.pipEmpty, NoKey, true},
};

const char* const fontFiles[FontCount] = {
    "./pics/andes16.png",
    "./pics/impact16.png",
    "./pics/pussycat18.png",
    "./pics/Antiqua_greyed-68-10.png",
    "./pics/Caligula_greyed-68-10.png",
    "./pics/MacHumaine_greyed-68-10.png",
};

const char* const usageText =
    "Usage: lakeport-nights [ARGUMENT]\n"
    "A shooting gallery in the gangland of the 1920s. Every device is a player of\n"
    "its own: the mouse (and anything that points as one: light guns, touch\n"
    "screens, tablets), the keyboard, two joysticks and a serial motion tracker.\n"
    "\n"
    "  ARGUMENT     exactly one argument, whatever it says (\"kiosk\"), starts kiosk\n"
    "               mode for one or two players with joypads\n"
    "  --help       this text\n"
    "  --version    the version, and the SDL 1.2 the game runs on\n"
    "\n"
    "Environment:\n"
    "  LAKEPORT_SCREEN=window       a window you can resize, not the whole screen\n"
    "  LAKEPORT_SCREEN=640x480      a real 640 by 480 display mode (classic SDL 1.2)\n"
    "  LAKEPORT_BORDER=N[,COLOUR]   a frame N percent of the screen high (1 to 10) for\n"
    "                               light guns that watch the screen; COLOUR is white\n"
    "                               (the default), red, green or blue\n"
    "  LAKEPORT_GUN_CROSSHAIR=off   no crosshair for the mouse and the guns\n"
    "  LAKEPORT_GUNS=1,2            the joystick players that are light guns in\n"
    "                               gamepad mode: 1, 2 or 1,2\n"
    "  LAKEPORT_TRACKER_PORT=PATH   the tracker's serial device (default /dev/ttyS0;\n"
    "                               empty: no tracker)\n"
    "\n"
    "The hiscores live in data/ of the folder the game runs in: the\n"
    "lakeport-nights command runs it in ~/.local/share/lakeport-nights\n"
    "($XDG_DATA_HOME/lakeport-nights).\n";

// The progress count after which start-up stops adding pips: 100 in the row.
constexpr int32_t ProgressEnd = 604;

int32_t loadAssetTable(int32_t progress) {
  char path[256];
  for (const AssetEntry& a : assetTable) {
    snprintf(path, sizeof path, "./pics/%s", a.file);
    SDL_Surface* s = loadPicture(path);
    *a.slot = s;
    if (s && a.key != NoKey)
      SDL_SetColorKey(
          s, SDL_SRCCOLORKEY,
          SDL_MapRGB(s->format, (a.key >> 16) & 0xFF, (a.key >> 8) & 0xFF, a.key & 0xFF));
    if (a.step) progress = DrawLoadingPips(progress);
  }
  return progress;
}
}  // namespace

void resetShellState() { shell = initialShell; }

SDL_Surface* loadPicture(const char* path) {
  SDL_Surface* s = IMG_Load(path);
  if (!s && !picturesFolderMissing)
    fprintf(stderr, "lakeport-nights: cannot load picture %s: %s\n", path, IMG_GetError());
  return s;
}

int startupGame(int argc, char** argv) {
  (void)argv;  // the kiosk argument's text is never read
  prepareSdl();
  if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0) return -1;
  shell.video = openGameScreen();
  if (!shell.video) return -2;
  SDL_WM_SetCaption("Lakeport Nights", "Lakeport Nights");
  SDL_EnableKeyRepeat(10, 30);
  hidePointer();

  // Started from the wrong folder: one line says so instead of one per file.
  picturesFolderMissing = access("./pics", F_OK) != 0;
  if (picturesFolderMissing) {
    char cwd[512];
    fprintf(
        stderr,
        "lakeport-nights: there is no pics/ folder in %s: start the game in its game directory\n",
        getcwd(cwd, sizeof cwd) ? cwd : ".");
  }

  pictures.frontBackdrop = loadPicture("./pics/pic32_1200x900_verlauf_640x480_-50_-30.jpg");
  pictures.levelDimmed[0] = pictures.frontBackdrop;
  DrawBackdrop(0);
  flipScreen(shell.video);

  CreateTargets();
  seedRandom(static_cast<uint32_t>(wallSeconds()));
  if (argc == 2) shell.kioskMode = true;

  for (int i = 0; i < FontCount; ++i) {
    pictures.fonts[i] = LoadBitmapFont(fontFiles[i]);
    if (!pictures.fonts[i] && !picturesFolderMissing)
      fprintf(stderr, "lakeport-nights: cannot load font %s: %s\n", fontFiles[i], IMG_GetError());
  }

  loadSoundBank();
  playTitleTune();

  const int sticks = joystickCount();
  if (sticks >= 1) shell.joystick1 = joystickOpen(0);
  if (sticks >= 2) shell.joystick2 = joystickOpen(1);
  readJoystickGuns();

  int32_t progress = loadAssetTable(0);

  ClearSlotTable();
  ClearShotMarks();
  progress = DrawLoadingPips(progress);

  openTrackerPort();
  progress = DrawLoadingPips(progress);

  readTrackerReport();
  if (trackerReport.r[3] == 0.0 && trackerReport.r[4] == 0.0 && trackerReport.r[5] == 0.0)
    shell.trackerPresent = false;

  while (progress < ProgressEnd) progress = DrawLoadingPips(progress);
  return 0;
}

int gameMain(int argc, char** argv) {
  // What a desktop program answers first; any other one argument is kiosk mode.
  if (argc == 2 && strcmp(argv[1], "--help") == 0) return fputs(usageText, stdout), 0;
  if (argc == 2 && strcmp(argv[1], "--version") == 0)
    return printf("Lakeport Nights %s\nSDL: %s\n", LAKEPORT_VERSION, sdlLibraryName().c_str()), 0;
  installStopSignals(stopGame);
  const int result = startupGame(argc, argv);
  if (result != 0) return result;
  runScreenLoop();
}

void shutdownGame() {
  if (joystickOpened(0)) joystickClose(shell.joystick1);
  if (joystickOpened(1)) joystickClose(shell.joystick2);
  shell.joystick1 = shell.joystick2 = nullptr;
  // Hiscore files are opened and closed within each load and save; nothing
  // else holds a stream, so flushing the standard streams is all that is left.
  fflush(nullptr);
  haltRecordedChannel(&titleTuneChannel);
  closeTrackerPort();
  SDL_Quit();
}

void stopGame(int signal) {
  shutdownGame();
  if (signal == StopWindowClosed) exitProgram(0);
  exitBySignal(signal);
}
