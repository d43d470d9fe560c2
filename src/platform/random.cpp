// A small linear congruential generator with the 15-bit range the game's rules
// are written for; the same seed gives the same game on every machine.
#include "platform/random.h"

#include <deque>

namespace {
uint32_t state = 1;
std::deque<int32_t> scripted;
uint64_t draws = 0;
}  // namespace

void seedRandom(uint32_t seed) {
  state = seed;
  scripted.clear();
  draws = 0;
}

int32_t randomInt() {
  ++draws;
  if (!scripted.empty()) {
    int32_t v = scripted.front();
    scripted.pop_front();
    return v;
  }
  state = state * 1103515245u + 12345u;
  return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

double RandomUnit() { return randomInt() / 32767.0; }

int32_t RandomUpTo(int32_t n) { return static_cast<int32_t>(RandomUnit() * n); }

void scriptRandom(const std::vector<int32_t>& values) {
  scripted.assign(values.begin(), values.end());
}

uint64_t randomDraws() { return draws; }
