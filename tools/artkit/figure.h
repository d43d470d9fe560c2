// Figure cards: a person drawn on a transparent ground becomes an 88 by 200
// photographic card that the game's hit test can read.
#pragma once
#include <cstdint>

#include "image.h"

constexpr int CardWidth = 88;
constexpr int CardHeight = 200;

// Colour rules of the normal card, which the game's hit test relies on: a
// pixel of the person is stored with red 0 and green at most 194 (its raw BMP
// value is below 50000); every other pixel has red 1 or more.
constexpr int PersonMaxGreen = 194;

// Tones the person (alpha at least half) in cold blue-green photographic tones
// and lays it on a warm, dark, grainy ground. The hit card (hit = true) tones
// the person darker and keeps strong reds (the blood) in their own colour; its
// pixels are not bound by the rules above. The person picture must be 88 x 200.
Image figureCard(const Image& person, bool hit, uint64_t seed);
