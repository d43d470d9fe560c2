// The round's displays: backdrop with dimmed places, shot marks, display strip.
// The backdrop with its places and the marks are kept in layers in the screen's
// own format, so a frame copies two surfaces instead of redrawing thirteen
// pictures and up to 3500 marks.
#include "game/displays.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/shell.h"
#include "game/round.h"
#include "game/targets.h"
#include "gfx/grid.h"
#include "platform/random.h"

ShotMarkList shotMarks;

namespace {
constexpr int PlaceWidth = 88;
constexpr int PlaceHeight = 200;
constexpr int PipCount = 50;
constexpr int PipLeft = 120;
constexpr int PipTop = 465;
constexpr int PipStep = 6;
// DrawBackdrop index of each level.
constexpr int32_t backdropIndex[LevelCount] = {1, 4, 5, 6, 7};
// More changed marks than this in one frame redraw the whole mark layer.
constexpr int MaxDirtyRects = 64;

bool levelValid(int32_t level) { return level >= 0 && level < LevelCount; }

// A rectangle in plain ints, so far-off points cannot wrap SDL's 16-bit fields.
struct Box {
  int x, y, w, h;
};

// The part of box that lies on the surface; w or h is 0 when nothing does.
Box clipTo(Box b, const SDL_Surface* s) {
  const int left = std::max(b.x, 0), top = std::max(b.y, 0);
  const int right = std::min(b.x + b.w, s->w), bottom = std::min(b.y + b.h, s->h);
  return Box{left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

bool overlaps(const Box& a, const Box& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

SDL_Rect toRect(const Box& b) {
  return SDL_Rect{static_cast<Sint16>(b.x), static_cast<Sint16>(b.y), static_cast<Uint16>(b.w),
                  static_cast<Uint16>(b.h)};
}

Box placeBox(int slot) {
  const int cx = (slot % 6) * 104 + 60;
  const int cy = slot < 6 ? 126 : 354;
  return Box{cx - 44, cy - 100, PlaceWidth, PlaceHeight};
}

// Copies the box of src onto the same box of dst.
void copySameBox(SDL_Surface* src, SDL_Surface* dst, const Box& b) {
  if (!src || !dst) return;
  SDL_Rect from = toRect(b), to = toRect(b);
  SDL_UpperBlit(src, &from, dst, &to);
}

void drawPlaces(SDL_Surface* dst, SDL_Surface* dimmed) {
  for (int slot = 0; slot < SlotCount; ++slot) copySameBox(dimmed, dst, placeBox(slot));
}

Box markBox(const ShotMark& m, const SDL_Surface* mark) { return Box{m.x - 4, m.y - 4, mark->w, mark->h}; }

// The mark picture for one point onto dst. A mark wholly off dst draws nothing,
// which is also what keeps far-off points from wrapping round SDL's rectangle.
void blitMark(SDL_Surface* mark, SDL_Surface* dst, const ShotMark& m) {
  const Box b = markBox(m, mark);
  if (clipTo(b, dst).w == 0 || clipTo(b, dst).h == 0) return;
  SDL_Rect to{static_cast<Sint16>(b.x), static_cast<Sint16>(b.y), 0, 0};
  SDL_UpperBlit(mark, nullptr, dst, &to);
}

// Entries in use: the run from entry 0 up to the first free one.
int32_t usedMarks() {
  int32_t n = 0;
  while (n < ShotMarkCapacity && shotMarks.entries[n].x >= 0) ++n;
  return n;
}

// Same size and pixel layout, so a blit between them is a plain copy.
bool sameLayout(const SDL_Surface* a, const SDL_Surface* b) {
  const SDL_PixelFormat* f = a->format;
  const SDL_PixelFormat* g = b->format;
  return a->w == b->w && a->h == b->h && f->BitsPerPixel == g->BitsPerPixel &&
         f->Rmask == g->Rmask && f->Gmask == g->Gmask && f->Bmask == g->Bmask &&
         f->Amask == g->Amask;
}

// A software surface of w by h in the screen's pixel format; pixels may be the
// caller's own buffer.
SDL_Surface* createLike(const SDL_Surface* screen, int w, int h, void* pixels = nullptr,
                        int pitch = 0) {
  const SDL_PixelFormat* f = screen->format;
  if (pixels)
    return SDL_CreateRGBSurfaceFrom(pixels, w, h, f->BitsPerPixel, pitch, f->Rmask, f->Gmask,
                                    f->Bmask, f->Amask);
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask,
                              f->Amask);
}

// Layers are only kept for screens with true-colour pixels; a palette screen
// draws everything directly.
bool layerableScreen(const SDL_Surface* screen) { return screen && !screen->format->palette; }

// ---- The base layer: the level's backdrop with its twelve dimmed places.

struct BaseLayer {
  SDL_Surface* surface = nullptr;
  // What the layer shows, so that any change rebuilds it.
  const SDL_Surface* screen = nullptr;
  int32_t level = -1;
  const SDL_Surface* backdrop = nullptr;
  const SDL_Surface* dimmed = nullptr;
} base;

// Only an opaque backdrop that covers the whole screen hides everything under
// it; with anything else the old screen shows through, so it is drawn directly.
bool backdropCoversScreen(const SDL_Surface* backdrop, const SDL_Surface* screen) {
  return backdrop && backdrop->w >= screen->w && backdrop->h >= screen->h &&
         !(backdrop->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA));
}

// The base layer of a level, built when anything it shows has changed; null
// when the level has to be drawn directly.
SDL_Surface* baseLayer(int32_t level) {
  SDL_Surface* screen = shell.video;
  SDL_Surface* backdrop = pictures.levelBackdrop[level];
  SDL_Surface* dimmed = pictures.levelDimmed[level];
  if (!layerableScreen(screen) || !backdropCoversScreen(backdrop, screen)) return nullptr;
  if (base.surface && base.screen == screen && sameLayout(base.surface, screen) &&
      base.level == level && base.backdrop == backdrop && base.dimmed == dimmed)
    return base.surface;
  if (!base.surface || !sameLayout(base.surface, screen)) {
    SDL_FreeSurface(base.surface);
    base = BaseLayer{};
    base.surface = createLike(screen, screen->w, screen->h);
    if (!base.surface) return nullptr;
  }
  SDL_UpperBlit(backdrop, nullptr, base.surface, nullptr);
  drawPlaces(base.surface, dimmed);
  base.screen = screen;
  base.level = level;
  base.backdrop = backdrop;
  base.dimmed = dimmed;
  return base.surface;
}

// ---- The mark layer: every used entry drawn in list order onto a transparent
// surface. Its colour key is a value that no pixel of the mark picture takes, so
// blitting the layer gives exactly the pixels of blitting each mark. The layer
// is run-length encoded, so its blit only copies the marked pixels.

struct MarkLayer {
  SDL_Surface* surface = nullptr;
  std::vector<Uint8> pixels;  // the surface's own buffer: kept while encoded
  Uint32 key = 0;
  // What the layer was made for, so that any change makes it again.
  const SDL_Surface* screen = nullptr;
  const SDL_Surface* mark = nullptr;
  Uint32 markFlags = 0;
  Uint32 markKey = 0;
  int markW = 0, markH = 0;
  // The entries the layer shows.
  int32_t count = 0;
  ShotMark drawn[ShotMarkCapacity];
} marks;

void freeMarkLayer() {
  SDL_FreeSurface(marks.surface);
  marks.surface = nullptr;
  marks.pixels.clear();
  marks.screen = nullptr;
  marks.mark = nullptr;
  marks.count = 0;
}

bool markLayerFits(const SDL_Surface* screen, const SDL_Surface* mark) {
  return marks.surface && marks.screen == screen && sameLayout(marks.surface, screen) &&
         marks.mark == mark && marks.markFlags == (mark->flags & SDL_SRCCOLORKEY) &&
         marks.markKey == mark->format->colorkey && marks.markW == mark->w &&
         marks.markH == mark->h;
}

// A pixel value, in the screen's format, that no opaque pixel of the mark
// takes. The mark is drawn over two different fills: where both agree, the
// mark's own pixel shows. False when every value is taken.
bool chooseLayerKey(SDL_Surface* screen, SDL_Surface* mark, Uint32* key) {
  SDL_Surface* over[2] = {createLike(screen, mark->w, mark->h),
                          createLike(screen, mark->w, mark->h)};
  std::vector<Uint32> taken;
  bool ok = over[0] && over[1];
  if (ok) {
    SDL_FillRect(over[0], nullptr, 0);
    SDL_FillRect(over[1], nullptr, 0xFFFFFFFFu);
    for (SDL_Surface* s : over) {
      SDL_Rect at{0, 0, 0, 0};
      SDL_UpperBlit(mark, nullptr, s, &at);
    }
    for (int y = 0; y < mark->h; ++y)
      for (int x = 0; x < mark->w; ++x) {
        const Uint32 a = static_cast<Uint32>(GetSurfacePixel(over[0], x, y));
        if (a == static_cast<Uint32>(GetSurfacePixel(over[1], x, y))) taken.push_back(a);
      }
  }
  SDL_FreeSurface(over[0]);
  SDL_FreeSurface(over[1]);
  if (!ok) return false;
  std::sort(taken.begin(), taken.end());
  const int bits = screen->format->BitsPerPixel;
  const Uint64 values = bits >= 32 ? (Uint64(1) << 32) : (Uint64(1) << bits);
  // Magenta first: it is rare in pictures, so the key is easy to spot when
  // looking at the layer.
  Uint64 candidate = SDL_MapRGB(screen->format, 255, 0, 255);
  for (Uint64 tried = 0; tried < values; ++tried, candidate = (candidate + 1) % values)
    if (!std::binary_search(taken.begin(), taken.end(), static_cast<Uint32>(candidate))) {
      *key = static_cast<Uint32>(candidate);
      return true;
    }
  return false;
}

// Lets the layer be drawn on: encoding off.
void beginMarkEdit() { SDL_SetColorKey(marks.surface, SDL_SRCCOLORKEY, marks.key); }
// Encoding on again; SDL encodes the layer at its next blit.
void endMarkEdit() { SDL_SetColorKey(marks.surface, SDL_SRCCOLORKEY | SDL_RLEACCEL, marks.key); }

// Makes an empty mark layer for this screen and mark picture.
bool makeMarkLayer(SDL_Surface* screen, SDL_Surface* mark) {
  freeMarkLayer();
  Uint32 key;
  if (!chooseLayerKey(screen, mark, &key)) return false;
  const int bytes = screen->format->BytesPerPixel;
  const int pitch = (screen->w * bytes + 3) & ~3;
  marks.pixels.assign(static_cast<size_t>(pitch) * screen->h, 0);
  marks.surface = createLike(screen, screen->w, screen->h, marks.pixels.data(), pitch);
  if (!marks.surface) {
    freeMarkLayer();
    return false;
  }
  marks.key = key;
  marks.screen = screen;
  marks.mark = mark;
  marks.markFlags = mark->flags & SDL_SRCCOLORKEY;
  marks.markKey = mark->format->colorkey;
  marks.markW = mark->w;
  marks.markH = mark->h;
  marks.count = 0;
  SDL_FillRect(marks.surface, nullptr, key);
  endMarkEdit();
  return true;
}

// Redraws one box of the layer from the first n entries.
void repaintBox(SDL_Surface* mark, const Box& box, int32_t n) {
  const Box b = clipTo(box, marks.surface);
  if (b.w == 0 || b.h == 0) return;
  SDL_Rect r = toRect(b);
  SDL_SetClipRect(marks.surface, &r);
  SDL_FillRect(marks.surface, &r, marks.key);
  for (int32_t i = 0; i < n; ++i)
    if (overlaps(markBox(shotMarks.entries[i], mark), b))
      blitMark(mark, marks.surface, shotMarks.entries[i]);
  SDL_SetClipRect(marks.surface, nullptr);
}

// Brings the layer in line with the list: new entries at the end are drawn on
// top; a changed or freed entry has its old and its new box redrawn; many
// changes at once redraw the whole layer.
void updateMarkLayer(SDL_Surface* mark) {
  const int32_t n = usedMarks();
  const int32_t common = std::min(n, marks.count);
  Box dirty[MaxDirtyRects];
  int dirtyCount = 0;
  bool redrawAll = false;
  auto touch = [&](const ShotMark& m) {
    if (dirtyCount == MaxDirtyRects)
      redrawAll = true;
    else
      dirty[dirtyCount++] = markBox(m, mark);
  };
  if (std::memcmp(marks.drawn, shotMarks.entries, common * sizeof(ShotMark)) != 0)
    for (int32_t i = 0; i < common && !redrawAll; ++i) {
      const ShotMark& was = marks.drawn[i];
      const ShotMark& now = shotMarks.entries[i];
      if (was.x == now.x && was.y == now.y) continue;
      touch(was);
      touch(now);
    }
  for (int32_t i = n; i < marks.count && !redrawAll; ++i) touch(marks.drawn[i]);
  if (!redrawAll && dirtyCount == 0 && n == marks.count) return;

  beginMarkEdit();
  if (redrawAll) {
    SDL_FillRect(marks.surface, nullptr, marks.key);
    for (int32_t i = 0; i < n; ++i) blitMark(mark, marks.surface, shotMarks.entries[i]);
  } else {
    for (int k = 0; k < dirtyCount; ++k) repaintBox(mark, dirty[k], n);
    // New entries come last in the list, so they go on top of everything.
    for (int32_t i = marks.count; i < n; ++i) blitMark(mark, marks.surface, shotMarks.entries[i]);
  }
  endMarkEdit();
  std::memcpy(marks.drawn, shotMarks.entries, n * sizeof(ShotMark));
  marks.count = n;
}

// The mark layer brought up to date, or null when the marks have to be drawn
// one by one: a mark picture blended by alpha depends on what lies under it.
SDL_Surface* markLayer() {
  SDL_Surface* screen = shell.video;
  SDL_Surface* mark = pictures.shotMark;
  if (!layerableScreen(screen) || !mark || (mark->flags & SDL_SRCALPHA)) return nullptr;
  if (!markLayerFits(screen, mark) && !makeMarkLayer(screen, mark)) return nullptr;
  updateMarkLayer(mark);
  return marks.surface;
}
}  // namespace

void ClearShotMarks() {
  for (ShotMark& m : shotMarks.entries) m = ShotMark{-10, -10};
}

void resetRoundDisplays() {
  ClearShotMarks();
  SDL_FreeSurface(base.surface);
  base = BaseLayer{};
  freeMarkLayer();
}

void DrawRoundBackdrop() {
  const int32_t level = shell.chosenLevel;
  if (!levelValid(level) || !shell.video) return;
  if (SDL_Surface* layer = baseLayer(level)) {
    SDL_UpperBlit(layer, nullptr, shell.video, nullptr);
    return;
  }
  DrawBackdrop(backdropIndex[level]);
  drawPlaces(shell.video, pictures.levelDimmed[level]);
}

void AddShotMark(int32_t x, int32_t y) {
  for (ShotMark& m : shotMarks.entries)
    if (m.x < 0) {
      m = ShotMark{x, y};
      return;
    }
  const int32_t victim = RandomUpTo(ShotMarkOverwriteSpan);
  // A point left of the screen would read as a free entry and hide every mark
  // after it, so a full list keeps its old entry (the draw is still made).
  if (x >= 0) shotMarks.entries[victim] = ShotMark{x, y};
}

void DrawShotMarks() {
  if (!shell.video) return;
  if (SDL_Surface* layer = markLayer()) {
    if (marks.count > 0) SDL_UpperBlit(layer, nullptr, shell.video, nullptr);
    return;
  }
  for (int32_t i = 0; i < ShotMarkCapacity && shotMarks.entries[i].x >= 0; ++i)
    DrawShotMark(shotMarks.entries[i].x, shotMarks.entries[i].y);
}

void DrawShotMark(int32_t x, int32_t y) {
  if (pictures.shotMark && shell.video) blitMark(pictures.shotMark, shell.video, ShotMark{x, y});
}

const char* KillsFormat(int32_t bodyCount) {
  return bodyCount == 1 || bodyCount == -1 ? "  %d kill" : "  %d kills";
}

const char* TargetsLeftFormat(int32_t targetsLeft) {
  return targetsLeft == 1 ? "  %d target left" : "  %d targets left";
}

void DrawRoundDisplay() {
  SDL_Surface* dimmed = pictures.levelDimmed[levelValid(shell.chosenLevel) ? shell.chosenLevel : 0];
  copySameBox(dimmed, shell.video, Box{16, 462, 88, 18});
  copySameBox(dimmed, shell.video, Box{432, 462, 192, 18});
  GridPrintF(1, 28, GridPussycat, KillsFormat(roundState.bodyCount), roundState.bodyCount);
  GridPrintF(27, 28, GridPussycat, TargetsLeftFormat(roundState.targetsLeftShown),
             roundState.targetsLeftShown);
  if (!shell.video) return;
  // Each pip stands for two points of energy; an odd energy lights its
  // half-used pip as well.
  const int64_t energy = roundState.energy;
  for (int k = 0; k < PipCount; ++k) {
    SDL_Rect at{static_cast<Sint16>(PipLeft + PipStep * k), PipTop, 0, 0};
    if (pictures.pipEmpty) SDL_UpperBlit(pictures.pipEmpty, nullptr, shell.video, &at);
  }
  for (int k = 0; k < PipCount && 6 * int64_t(k) < 3 * energy; ++k) {
    SDL_Rect at{static_cast<Sint16>(PipLeft + PipStep * k), PipTop, 0, 0};
    if (pictures.pip) SDL_UpperBlit(pictures.pip, nullptr, shell.video, &at);
  }
}
