// The weapon rules: a player's trigger state becomes shots, empty clicks and
// recoil once per frame; the reload control plays its sounds and refills.
#include "weapons/weapons.h"

#include <SDL.h>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "game/targets.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random.h"

int32_t totalShots = 0;

namespace {

// Two served pulls of one player are more than this many ms apart.
constexpr uint32_t FireCadenceMs = 80;

struct WeaponRule {
  const char* name;  // as the result lines print it
  int32_t magazine;  // shots until the first empty click
  bool automatic;    // fires while the trigger is held; clicks once per hold
};

const WeaponRule weaponTable[] = {
    {"Single Action", 1, false},
    {"Six-Shooter", 6, false},
    {"Thompson", 40, true},
};
constexpr int32_t WeaponCount = sizeof weaponTable / sizeof weaponTable[0];

bool knownWeapon(int32_t weapon) { return weapon >= 0 && weapon < WeaponCount; }
bool knownDevice(int32_t device) { return device >= 0 && device < DeviceCount; }

// The weapon's sample of a group laid out per weapon in the bank (ShotGun1,
// EmptyGun1, LoadGun1Press, LoadGun1Release each start a run of three).
Mix_Chunk* weaponSample(SampleId first, int32_t weapon) {
  return soundBank.samples[first + weapon];
}

// Whether the recoil of this player draws random numbers: only devices that
// exist kick (Joystick2 also exists as the kiosk's second stick).
bool kicks(int32_t device) {
  switch (device) {
    case Mouse:
    case Keyboard: return true;
    case Joystick1: return shell.joystick1 != nullptr;
    case Joystick2: return shell.joystick2 != nullptr || shell.kioskMode;
    default: return false;  // the tracker only aims
  }
}

// Kicks the player's aim up to 20 pixels up and 10 to either side of the shot.
void recoil(int32_t device) {
  if (!kicks(device)) return;
  Player& p = players[device];
  const int32_t dx = -10 + static_cast<int32_t>(20 * RandomUnit());
  const int32_t dy = static_cast<int32_t>(20 * RandomUnit());
  const int32_t x = p.shotX + dx;
  const int32_t y = p.shotY - dy;
  if (device == Mouse) {
    // The pointer moves; its motion event moves the mouse crosshair.
    warpMouse(x, y);  // clamped to the picture
  } else {
    // Clamped later, by the next joystick poll or cursor key step.
    p.cursorX = x;
    p.cursorY = y;
  }
}

// One shot leaves the player's weapon: counted, resolved, kicked.
void fireShot(int32_t device) {
  Player& p = players[device];
  p.shotsFired += 1;
  totalShots += 1;
  if (device == Keyboard && shell.chosenWeapon == Thompson) {
    // Held automatic fire follows the keyboard crosshair.
    p.shotX = p.cursorX;
    p.shotY = p.cursorY;
  }
  ResolveShot(p.shotX, p.shotY);
  recoil(device);
}

}  // namespace

void serviceTrigger(int32_t device) {
  if (!knownDevice(device)) return;
  Player& p = players[device];
  const int32_t weapon = shell.chosenWeapon;
  const uint32_t now = ticksMs();
  const bool cadenceDue = now - p.lastShotTime > FireCadenceMs;
  const bool automaticHold =
      p.triggerHeld == 1 && knownWeapon(weapon) && weaponTable[weapon].automatic;
  if (!cadenceDue || !(p.fireRequested == 1 || automaticHold)) return;

  // Each shot or click cuts the player's previous one (replaySample halts the
  // recorded channel). An empty Thompson's silent pulls cut nothing: its click
  // plays out, and a channel the mixer has since given to another sound is left
  // alone.
  if (knownWeapon(weapon)) {
    const WeaponRule& rule = weaponTable[weapon];
    if (p.shotsFired < rule.magazine) {
      replaySample(weaponSample(ShotGun1, weapon), &p.shotChannel);
      fireShot(device);
    } else if (!rule.automatic || !p.emptyClickDone) {
      replaySample(weaponSample(EmptyGun1, weapon), &p.shotChannel);
      if (rule.automatic) p.emptyClickDone = true;
    }
  }
  // Served, whether it fired, clicked or stayed silent: this keeps the
  // cadence and keeps the player from going idle.
  p.fireRequested = 0;
  p.lastShotTime = ticksMs();
}

void reloadPress(int32_t device) {
  if (!knownDevice(device) || !knownWeapon(shell.chosenWeapon)) return;
  replaySample(weaponSample(LoadGun1Press, shell.chosenWeapon), &players[device].reloadChannel);
}

void reloadRelease(int32_t device) {
  if (!knownDevice(device)) return;
  Player& p = players[device];
  if (knownWeapon(shell.chosenWeapon)) {
    replaySample(weaponSample(LoadGun1Release, shell.chosenWeapon), &p.reloadChannel);
  }
  p.shotsFired = 0;
}

const char* weaponName(int32_t weapon) {
  return knownWeapon(weapon) ? weaponTable[weapon].name : "";
}

void resetWeapons() { totalShots = 0; }
