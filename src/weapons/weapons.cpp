// The weapon rules (stand-in until the weapons land).
#include "weapons/weapons.h"

int32_t totalShots = 0;

void serviceTrigger(int32_t) {}
void reloadPress(int32_t) {}
void reloadRelease(int32_t) {}
const char* weaponName(int32_t weapon) {
  switch (weapon) {
    case SingleAction: return "Single Action";
    case SixShooter: return "Six-Shooter";
    case Thompson: return "Thompson";
    default: return "";
  }
}
void resetWeapons() { totalShots = 0; }
