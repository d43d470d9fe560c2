// Font strips: renders the glyphs of byte values 33 to 255 (ISO 8859-1) of a
// font side by side under a marker row, in the strip format the game reads.
#include "font_strip.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {
constexpr Rgba Marker{255, 0, 255, 255};  // row 0 between glyph runs
constexpr Rgba RunMark{0, 255, 0, 255};   // row 0 over a glyph run
constexpr Rgba Clear{0, 0, 0, 0};         // the transparent colour, bottom left

struct Face {
  FT_Face face = nullptr;
  bool has(uint32_t code) const { return face && FT_Get_Char_Index(face, code) != 0; }
};

// One glyph's coverage (0..1) in a cell of the strip's height.
struct Cell {
  int w = 0;
  std::vector<float> cover;  // w * height
};

Face openFace(FT_Library lib, const std::string& path, int px) {
  Face f;
  if (path.empty()) return f;
  if (FT_New_Face(lib, path.c_str(), 0, &f.face))
    throw std::runtime_error("cannot read font " + path);
  if (FT_Set_Pixel_Sizes(f.face, 0, FT_UInt(px)))
    throw std::runtime_error("cannot size font " + path);
  return f;
}

// Renders one code point into a cell as wide as its advance plus one column for
// the outline or shadow, on the strip's baseline; at least minAdvance wide.
Cell renderCell(const Face& face, uint32_t code, const StripStyle& st, int minAdvance) {
  Cell cell;
  FT_Face f = face.face;
  // A glyph beyond ASCII too tall for the strip (an accented capital) is drawn
  // a little smaller, on the same baseline, rather than cut; ASCII punctuation
  // that reaches further (brackets) keeps its size and loses its outermost rows.
  for (int size = st.pixelSize;; --size) {
    FT_Set_Pixel_Sizes(f, 0, FT_UInt(size));
    if (FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
      throw std::runtime_error("cannot render code point " + std::to_string(code));
    const int pad = (st.halo > 0 || st.shadow > 0) ? 1 : 0;
    const int top = st.baseline - f->glyph->bitmap_top - pad;
    const int bottom = top + int(f->glyph->bitmap.rows) + 2 * pad;
    if (code < 128 || (top >= 1 && bottom <= st.height) || size <= st.pixelSize * 3 / 4) break;
  }
  FT_Set_Pixel_Sizes(f, 0, FT_UInt(st.pixelSize));
  const FT_GlyphSlot g = f->glyph;
  int advance = int(std::lround(g->advance.x / 64.0)) + st.tracking;
  advance = std::max(advance, minAdvance);
  // The outline needs a column on the left, the shadow one on the right.
  const int left = st.halo > 0 ? 1 : 0;
  const int pad = (st.halo > 0 || st.shadow > 0) ? 1 : 0;
  // A glyph given more room than its own advance ('!', whose run is also the
  // width of the space) stands in the middle of it.
  int shift = 0;
  if (minAdvance > 0) shift = std::max(0, (advance - int(g->bitmap.width)) / 2 - g->bitmap_left);
  cell.w = std::max(1, advance + pad);
  cell.cover.assign(size_t(cell.w) * st.height, 0.0f);
  const FT_Bitmap& bm = g->bitmap;
  for (unsigned row = 0; row < bm.rows; ++row) {
    const int y = st.baseline - g->bitmap_top + int(row);
    if (y < 1 || y >= st.height) continue;
    for (unsigned col = 0; col < bm.width; ++col) {
      const int x = left + shift + g->bitmap_left + int(col);
      if (x < 0 || x >= cell.w) continue;
      const float a = bm.buffer[row * unsigned(bm.pitch) + col] / 255.0f;
      float& c = cell.cover[size_t(y) * cell.w + x];
      c = std::max(c, a);
    }
  }
  return cell;
}

// Paints a cell into the strip at column x0: the halo first, the fill over it.
void paintCell(Image& strip, int x0, const Cell& cell, const StripStyle& st) {
  const int h = st.height;
  auto cover = [&](int x, int y) -> float {
    if (x < 0 || x >= cell.w || y < 1 || y >= h) return 0.0f;
    return cell.cover[size_t(y) * cell.w + x];
  };
  for (int y = 1; y < h; ++y) {
    for (int x = 0; x < cell.w; ++x) {
      const float a = cover(x, y);
      float halo = 0.0f;
      if (st.halo > 0) {
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const float k = (dx == 0 || dy == 0) ? 1.0f : 0.7f;
            halo = std::max(halo, k * cover(x + dx, y + dy));
          }
        halo = std::min(1.0f, halo * 1.4f) * st.halo;
      }
      if (st.shadow > 0) halo = std::max(halo, cover(x - 1, y - 1) * st.shadow);
      const float outA = a + halo * (1.0f - a);
      if (outA <= 0.0f) continue;
      // Darker fill toward the baseline gives the letters a little body.
      const float t = float(y) / float(h);
      const float shade = 1.0f - st.gradient * t;
      auto mix = [&](uint8_t fill, uint8_t dark) {
        return clamp8((fill * shade * a + dark * halo * (1.0f - a)) / outA);
      };
      strip.at(x0 + x, y) = {mix(st.fill.r, st.halo_color.r), mix(st.fill.g, st.halo_color.g),
                             mix(st.fill.b, st.halo_color.b), clamp8(outA * 255.0f)};
    }
  }
}

// Ink rows of the letters and digits at a size: the highest row above the
// baseline and the lowest below it.
void asciiExtent(FT_Face f, int size, int& above, int& below) {
  FT_Set_Pixel_Sizes(f, 0, FT_UInt(size));
  above = below = 0;
  for (uint32_t code = '0'; code <= 'z'; ++code) {
    if (!isalnum(int(code)) || FT_Get_Char_Index(f, code) == 0 ||
        FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
      continue;
    above = std::max(above, f->glyph->bitmap_top);
    below = std::max(below, int(f->glyph->bitmap.rows) - f->glyph->bitmap_top);
  }
}
}  // namespace

Image renderFontStrip(const StripStyle& style) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) throw std::runtime_error("cannot start FreeType");
  StripStyle st = style;
  Face main = openFace(lib, st.face, st.pixelSize);
  // The largest size up to the one asked for at which every letter and digit
  // fits below the marker row with its outline; the baseline follows from it.
  const int pad = (st.halo > 0 || st.shadow > 0) ? 1 : 0;
  for (;; --st.pixelSize) {
    int above, below;
    asciiExtent(main.face, st.pixelSize, above, below);
    st.baseline = 1 + pad + above;
    if (st.baseline + below <= st.height) break;  // the outline may lose its lowest row
    if (st.pixelSize <= 6) throw std::runtime_error("the font does not fit the strip height");
  }
  if (getenv("ARTKIT_DEBUG"))
    fprintf(stderr, "%s: size %d baseline %d\n", st.face.c_str(), st.pixelSize, st.baseline);
  Face fallback = openFace(lib, st.fallback, st.pixelSize);

  std::vector<Cell> cells;
  int spaceAdvance = 0;
  if (FT_Load_Char(main.face, ' ', FT_LOAD_DEFAULT) == 0)
    spaceAdvance = int(std::lround(main.face->glyph->advance.x / 64.0)) + st.tracking;
  for (uint32_t code = 33; code <= 255; ++code) {
    if (code >= 127 && code <= 159) {  // no characters here: a blank one-column run
      cells.push_back(Cell{1, std::vector<float>(size_t(st.height), 0.0f)});
      continue;
    }
    if (code == 160) {  // no-break space: blank, as wide as a space
      const int w = std::max(1, spaceAdvance);
      cells.push_back(Cell{w, std::vector<float>(size_t(w) * st.height, 0.0f)});
      continue;
    }
    const Face& face = main.has(code) ? main : fallback;
    if (!face.has(code)) {
      fprintf(stderr, "artkit: %s has no glyph for U+%04X\n", st.face.c_str(), code);
      throw std::runtime_error("missing glyph");
    }
    // '!' is also the width of the space: give it at least a space's room.
    cells.push_back(renderCell(face, code, st, code == '!' ? spaceAdvance : 0));
  }

  int width = 1;
  for (const Cell& c : cells) width += c.w + 1;
  Image strip(width, st.height, Clear);
  strip.at(0, 0) = Marker;
  int x = 1;
  for (const Cell& c : cells) {
    for (int i = 0; i < c.w; ++i) strip.at(x + i, 0) = RunMark;
    paintCell(strip, x, c, st);
    strip.at(x + c.w, 0) = Marker;
    x += c.w + 1;
  }
  if (main.face) FT_Done_Face(main.face);
  if (fallback.face) FT_Done_Face(fallback.face);
  FT_Done_FreeType(lib);
  return strip;
}
