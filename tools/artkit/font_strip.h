// Font strips for the game's bitmap fonts, rendered with FreeType.
#pragma once
#include <string>

#include "image.h"

struct StripStyle {
  std::string face;      // font file
  std::string fallback;  // font file for code points the face lacks, or empty
  int pixelSize = 16;    // largest em size in pixels; smaller when ASCII would not fit
  int height = 18;       // strip height: the marker row and the glyph rows
  int baseline = 0;      // glyph baseline row, worked out from the ASCII glyphs
  int tracking = 0;      // extra pixels after every glyph
  Rgba fill{255, 255, 255, 255};
  Rgba halo_color{0, 0, 0, 255};
  float halo = 0.0f;      // opacity of a one-pixel dark outline
  float shadow = 0.0f;    // opacity of a dark copy one pixel down and right
  float gradient = 0.0f;  // how much darker the fill gets toward the bottom
};

// The strip: row 0 marks one run per byte value 33 to 255 (blank one-column
// runs for 127 to 159), glyphs below it, transparent elsewhere (the bottom-left
// pixel is transparent). Throws when a glyph is missing from both faces.
Image renderFontStrip(const StripStyle& style);
