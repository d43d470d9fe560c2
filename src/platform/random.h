// The game's one pseudo-random generator: every random decision draws one
// integer from 0 to 32767 inclusive from here.
#pragma once
#include <cstdint>
#include <vector>

// Seeds the generator (start-up seeds it once with the calendar time).
void seedRandom(uint32_t seed);
// The next integer, 0 to 32767 inclusive.
int32_t randomInt();
// randomInt() / 32767.0: 0 <= RandomUnit() <= 1.
double RandomUnit();
// RandomUnit() * n truncated toward zero: 0 to n, n only for the integer 32767.
int32_t RandomUpTo(int32_t n);

// Test seam: the integers given are drawn first, in order, before the generator
// takes over again. randomDraws() counts every integer drawn since the last seed.
void scriptRandom(const std::vector<int32_t>& values);
uint64_t randomDraws();
