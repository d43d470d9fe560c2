// Figure cards: cold-toned people on a warm ground, with grain and vignette.
#include "figure.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
struct Colour {
  double r, g, b;
};

// The warm ground behind the person: a dim interior lit from behind, darker
// toward the card's edges and its foot.
Colour ground(int x, int y) {
  const double dx = (x - 44.0) / 52.0;
  const double dy = (y - 80.0) / 120.0;
  const double glow = std::exp(-(dx * dx + dy * dy) * 1.6);
  const double foot = std::clamp((y - 150.0) / 50.0, 0.0, 1.0);
  const double edge =
      std::clamp(std::min({x, CardWidth - 1 - x, y, CardHeight - 1 - y}) / 8.0, 0.0, 1.0);
  const double k = (0.5 + 0.5 * glow) * (1.0 - 0.35 * foot) * (0.55 + 0.45 * edge);
  return {18 + 56 * k, 11 + 34 * k, 6 + 17 * k};
}

// Cold photographic tone of a colour: deep blue-green shadows to pale cyan
// lights; warm colours (skin) lean green, cold ones blue. Red is always 0.
Colour coldTone(const Rgba& p, double darken) {
  const double lum = (0.3 * p.r + 0.59 * p.g + 0.11 * p.b) / 255.0;
  const double warm = (p.r - p.b) / 255.0;
  const double l = std::pow(lum, 0.95) * darken;
  const double g = 20 + 166 * l + 14 * warm;
  const double b = 30 + 200 * l - 18 * warm;
  return {0, std::clamp(g, 0.0, double(PersonMaxGreen)), std::clamp(b, 0.0, 255.0)};
}

bool isBlood(const Rgba& p) { return p.r > 90 && p.r > 2 * p.g && p.r > 2 * p.b; }
}  // namespace

Image figureCard(const Image& person, bool hit, uint64_t seed) {
  if (person.w != CardWidth || person.h != CardHeight)
    throw std::runtime_error("the person picture must be 88 x 200");
  Noise noise(seed);
  Image card(CardWidth, CardHeight);
  for (int y = 0; y < CardHeight; ++y) {
    for (int x = 0; x < CardWidth; ++x) {
      const Rgba& p = person.at(x, y);
      const double a = p.a / 255.0;
      const double grain = noise.gauss() * 4.0;
      const Colour bg = ground(x, y);
      Colour fg = coldTone(p, hit ? 0.72 : 1.0);
      if (hit && isBlood(p)) fg = {double(p.r), double(p.g), double(p.b)};
      Colour out{fg.r * a + bg.r * (1 - a), fg.g * a + bg.g * (1 - a), fg.b * a + bg.b * (1 - a)};
      out.r += grain;
      out.g += grain;
      out.b += grain;
      Rgba& c = card.at(x, y);
      c = {clamp8(out.r), clamp8(out.g), clamp8(out.b), 255};
      if (hit) continue;
      if (p.a >= 128) {  // the person: what the hit test finds
        c.r = 0;
        c.g = std::min<uint8_t>(c.g, PersonMaxGreen);
      } else {
        c.r = std::max<uint8_t>(c.r, 1);
      }
    }
  }
  return card;
}
