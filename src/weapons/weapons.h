// The three weapons: magazines, cadence, automatic fire, clicks, recoil, reloads.
#pragma once
#include <cstdint>

enum Weapon : int32_t { SingleAction = 0, SixShooter = 1, Thompson = 2 };

// Every shot of every player in the current round.
extern int32_t totalShots;

// Serves one player's trigger once per frame (the round calls it in DeviceId order).
void serviceTrigger(int32_t device);
// The player's reload control went down / came up (up refills the magazine).
void reloadPress(int32_t device);
void reloadRelease(int32_t device);
// "Single Action", "Six-Shooter", "Thompson", or "" for any other value.
const char* weaponName(int32_t weapon);
void resetWeapons();
