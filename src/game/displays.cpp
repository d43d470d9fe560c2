// The round's displays: backdrop with dimmed places, shot marks, display strip.
// The backdrop with its places, and the same with every mark over it, are kept
// as layers in the screen's own format, so a frame copies two surfaces instead
// of drawing thirteen pictures and up to 3500 marks.
#include "game/displays.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "app/shell.h"
#include "game/round.h"
#include "game/targets.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "gfx/grid.h"
#include "platform/clock.h"
#include "platform/random.h"

ShotMarkList shotMarks;
LayerWork layerWork;

namespace {
constexpr int PlaceWidth = 88;
constexpr int PlaceHeight = 200;
constexpr int PipCount = 50;
constexpr int PipLeft = 120;
constexpr int PipTop = 465;
constexpr int PipStep = 6;
// DrawBackdrop index of each level.
constexpr int32_t backdropIndex[LevelCount] = {1, 4, 5, 6, 7};
// More changed boxes than this in one frame redraw the whole scene layer: four
// players' shots on a full list change 60 entries, 120 boxes, and a box costs
// about a 200th of the whole.
constexpr int MaxDirtyRects = 256;

bool levelValid(int32_t level) { return level >= 0 && level < LevelCount; }

// A rectangle in wide integers, so far-off points neither overflow nor wrap
// round SDL's 16-bit fields.
struct Box {
  int64_t x, y, w, h;
};

// The part of box that lies on the surface; w or h is 0 when nothing does.
Box clipTo(const Box& b, const SDL_Surface* s) {
  const int64_t left = std::max<int64_t>(b.x, 0), top = std::max<int64_t>(b.y, 0);
  const int64_t right = std::min<int64_t>(b.x + b.w, s->w);
  const int64_t bottom = std::min<int64_t>(b.y + b.h, s->h);
  return Box{left, top, std::max<int64_t>(right - left, 0), std::max<int64_t>(bottom - top, 0)};
}

bool isEmpty(const Box& b) { return b.w == 0 || b.h == 0; }

SDL_Rect toRect(const Box& b) {
  return SDL_Rect{static_cast<Sint16>(b.x), static_cast<Sint16>(b.y), static_cast<Uint16>(b.w),
                  static_cast<Uint16>(b.h)};
}

Box placeBox(int slot) {
  const int64_t cx = (slot % 6) * 104 + 60;
  const int64_t cy = slot < 6 ? 126 : 354;
  return Box{cx - 44, cy - 100, PlaceWidth, PlaceHeight};
}

// Copies the box of src onto the same box of dst.
void copySameBox(SDL_Surface* src, SDL_Surface* dst, const Box& b) {
  if (!src || !dst) return;
  SDL_Rect from = toRect(b), to = toRect(b);
  BlitPicture(src, &from, dst, &to);
}

void drawPlaces(SDL_Surface* dst, SDL_Surface* dimmed) {
  for (int slot = 0; slot < SlotCount; ++slot) copySameBox(dimmed, dst, placeBox(slot));
}

Box markBox(const ShotMark& m, const SDL_Surface* mark) {
  return Box{int64_t(m.x) - 4, int64_t(m.y) - 4, mark->w, mark->h};
}

// The mark picture for one point onto dst. A mark wholly off dst draws nothing,
// which is also what keeps far-off points from wrapping round SDL's rectangle.
void blitMark(SDL_Surface* mark, SDL_Surface* dst, const ShotMark& m) {
  const Box b = markBox(m, mark);
  if (isEmpty(clipTo(b, dst))) return;
  SDL_Rect to{static_cast<Sint16>(b.x), static_cast<Sint16>(b.y), 0, 0};
  BlitPicture(mark, nullptr, dst, &to);
}

// The first entry with x below 0, or ShotMarkCapacity when there is none. A
// full list is walked on every shot, fifteen times, so it goes 32 entries at a
// time: an entry is 8 bytes with x in the low half, and the OR of the words
// has bit 31 set when any x is negative.
int32_t firstFreeEntry() {
  static_assert(sizeof(ShotMark) == 8, "an entry is one 64-bit word");
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(shotMarks.entries);
  int32_t i = 0;
  auto word = [bytes](int32_t entry) {
    uint64_t w;
    std::memcpy(&w, bytes + 8 * entry, sizeof w);
    return w;
  };
  for (; i + 32 <= ShotMarkCapacity; i += 32) {
    // Four ORs side by side, so the loads do not wait on one another.
    uint64_t a = 0, b = 0, c = 0, d = 0;
    for (int32_t k = i; k < i + 32; k += 4) {
      a |= word(k);
      b |= word(k + 1);
      c |= word(k + 2);
      d |= word(k + 3);
    }
    if ((a | b | c | d) & 0x80000000u) break;
  }
  while (i < ShotMarkCapacity && shotMarks.entries[i].x >= 0) ++i;
  return i;
}

// Entries in use: the run from entry 0 up to the first free one.
int32_t usedMarks() { return firstFreeEntry(); }

// Same size and pixel layout, so a blit between them is a plain copy.
bool sameLayout(const SDL_Surface* a, const SDL_Surface* b) {
  const SDL_PixelFormat* f = a->format;
  const SDL_PixelFormat* g = b->format;
  return a->w == b->w && a->h == b->h && f->BitsPerPixel == g->BitsPerPixel &&
         f->Rmask == g->Rmask && f->Gmask == g->Gmask && f->Bmask == g->Bmask &&
         f->Amask == g->Amask;
}

// A software surface of w by h in the screen's pixel format.
SDL_Surface* createLike(const SDL_Surface* screen, int w, int h) {
  const SDL_PixelFormat* f = screen->format;
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
    base.surface = createLike(screen, screen->w, screen->h);
    if (!base.surface) return nullptr;
  }
  BlitPicture(backdrop, nullptr, base.surface, nullptr);
  drawPlaces(base.surface, dimmed);
  base.screen = screen;
  base.level = level;
  base.backdrop = backdrop;
  base.dimmed = dimmed;
  ++layerWork.baseBuilds;  // the scene's cue to redraw
  return base.surface;
}

// ---- The scene layer: the base layer with every used entry drawn over it in
// list order. Over a screen that shows the base layer, copying the scene gives
// exactly the pixels of drawing each mark, blended or keyed alike.

struct SceneLayer {
  SDL_Surface* surface = nullptr;
  uint64_t baseBuild = 0;  // the base layer's build it was made over
  // The mark picture it was drawn with, so that any change redraws it.
  const SDL_Surface* mark = nullptr;
  Uint32 markFlags = 0, markKey = 0;
  Uint8 markAlpha = 0;
  int markW = 0, markH = 0;
  // The entries it shows, and a box that holds all of them (outside it the
  // scene equals the base layer).
  int32_t count = 0;
  ShotMark drawn[ShotMarkCapacity];
  Box marked{0, 0, 0, 0};
} scene;

void freeSceneLayer() {
  SDL_FreeSurface(scene.surface);
  scene.surface = nullptr;
  scene.mark = nullptr;
  scene.count = 0;
}

bool sceneMarkIs(const SDL_Surface* mark) {
  return scene.mark == mark &&
         scene.markFlags == (mark->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) &&
         scene.markKey == mark->format->colorkey && scene.markAlpha == mark->format->alpha &&
         scene.markW == mark->w && scene.markH == mark->h;
}

void rememberSceneMark(const SDL_Surface* mark) {
  scene.mark = mark;
  scene.markFlags = mark->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA);
  scene.markKey = mark->format->colorkey;
  scene.markAlpha = mark->format->alpha;
  scene.markW = mark->w;
  scene.markH = mark->h;
}

Box unite(const Box& a, const Box& b) {
  if (isEmpty(a)) return b;
  const int64_t left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return Box{left, top, std::max(a.x + a.w, b.x + b.w) - left,
             std::max(a.y + a.h, b.y + b.h) - top};
}

// Draws one entry onto the scene and widens the marked box to hold it.
void addToScene(SDL_Surface* mark, const ShotMark& m) {
  const Box on = clipTo(markBox(m, mark), scene.surface);
  if (isEmpty(on)) return;
  blitMark(mark, scene.surface, m);
  ++layerWork.sceneMarks;
  scene.marked = unite(scene.marked, on);
}

// The first n entries by the row their mark's top lies on, so that the marks
// near a box are found without walking the whole list for every box. Only
// marks that can reach the scene are kept.
struct MarkRows {
  int64_t firstTop = 0;        // the top row that bucket 0 stands for
  std::vector<int32_t> start;  // per bucket: where its entries begin in order
  std::vector<int32_t> order;  // entry indexes, bucket after bucket
  std::vector<int32_t> next;   // scratch while filling
} markRows;

void indexMarkRows(const SDL_Surface* mark, int32_t n) {
  const int64_t h = mark->h;
  markRows.firstTop = -(h - 1);
  const size_t buckets = static_cast<size_t>(scene.surface->h + h - 1);
  auto bucketOf = [&](const ShotMark& m) -> int64_t {
    const int64_t top = int64_t(m.y) - 4;
    return top < markRows.firstTop || top >= scene.surface->h ? -1 : top - markRows.firstTop;
  };
  markRows.start.assign(buckets + 1, 0);
  for (int32_t i = 0; i < n; ++i)
    if (const int64_t b = bucketOf(shotMarks.entries[i]); b >= 0) ++markRows.start[b + 1];
  for (size_t b = 0; b < buckets; ++b) markRows.start[b + 1] += markRows.start[b];
  markRows.order.resize(static_cast<size_t>(markRows.start[buckets]));
  markRows.next.assign(markRows.start.begin(), markRows.start.end() - 1);
  for (int32_t i = 0; i < n; ++i)
    if (const int64_t b = bucketOf(shotMarks.entries[i]); b >= 0)
      markRows.order[static_cast<size_t>(markRows.next[b]++)] = i;
}

// Redraws one box of the scene: the base layer, then, in list order, every
// entry of the index whose mark touches the box.
void repaintBox(SDL_Surface* baseSurface, SDL_Surface* mark, const Box& box) {
  const Box b = clipTo(box, scene.surface);
  if (isEmpty(b)) return;
  SDL_Rect r = toRect(b);
  SDL_SetClipRect(scene.surface, &r);
  copySameBox(baseSurface, scene.surface, b);
  const int64_t w = mark->w, h = mark->h;
  if (w <= 0 || h <= 0) {
    SDL_SetClipRect(scene.surface, nullptr);
    return;
  }
  // Marks whose top lies from h - 1 rows above the box down to its last row.
  const int64_t buckets = static_cast<int64_t>(markRows.start.size()) - 1;
  const int64_t first = std::max<int64_t>(b.y - (h - 1) - markRows.firstTop, 0);
  const int64_t last = std::min<int64_t>(b.y + b.h - 1 - markRows.firstTop, buckets - 1);
  static std::vector<int32_t> touching;
  touching.clear();
  for (int64_t k = first; k <= last; ++k)
    for (int32_t p = markRows.start[k]; p < markRows.start[k + 1]; ++p) {
      const int32_t i = markRows.order[static_cast<size_t>(p)];
      const int64_t x = int64_t(shotMarks.entries[i].x) - 4;
      if (x < b.x + b.w && b.x < x + w) touching.push_back(i);
    }
  std::sort(touching.begin(), touching.end());
  for (int32_t i : touching) blitMark(mark, scene.surface, shotMarks.entries[i]);
  layerWork.sceneMarks += touching.size();
  SDL_SetClipRect(scene.surface, nullptr);
}

// Brings the scene in line with the base layer and the list: new entries at
// the end are drawn on top; a changed or freed entry has its old and its new
// box redrawn; a new base, a new mark picture or many changes at once redraw
// the whole scene.
void updateScene(SDL_Surface* baseSurface, SDL_Surface* mark) {
  const int32_t n = usedMarks();
  bool redrawAll = scene.baseBuild != layerWork.baseBuilds || !sceneMarkIs(mark);
  const int32_t common = std::min(n, scene.count);
  Box dirty[MaxDirtyRects];
  int dirtyCount = 0;
  auto touch = [&](const ShotMark& m) {
    if (dirtyCount == MaxDirtyRects)
      redrawAll = true;
    else
      dirty[dirtyCount++] = markBox(m, mark);
  };
  if (!redrawAll && std::memcmp(scene.drawn, shotMarks.entries, common * sizeof(ShotMark)) != 0)
    for (int32_t i = 0; i < common && !redrawAll; ++i) {
      const ShotMark& was = scene.drawn[i];
      const ShotMark& now = shotMarks.entries[i];
      if (was.x == now.x && was.y == now.y) continue;
      touch(was);
      touch(now);
    }
  for (int32_t i = n; i < scene.count && !redrawAll; ++i) touch(scene.drawn[i]);

  if (redrawAll) {
    ++layerWork.sceneRedraws;
    BlitPicture(baseSurface, nullptr, scene.surface, nullptr);
    scene.marked = Box{0, 0, 0, 0};
    for (int32_t i = 0; i < n; ++i) addToScene(mark, shotMarks.entries[i]);
  } else {
    if (dirtyCount > 0 && mark->w > 0 && mark->h > 0) indexMarkRows(mark, n);
    for (int k = 0; k < dirtyCount; ++k) repaintBox(baseSurface, mark, dirty[k]);
    // New entries come last in the list, so they go on top of everything.
    for (int32_t i = scene.count; i < n; ++i) addToScene(mark, shotMarks.entries[i]);
  }
  std::memcpy(scene.drawn, shotMarks.entries, n * sizeof(ShotMark));
  scene.count = n;
  scene.baseBuild = layerWork.baseBuilds;
  rememberSceneMark(mark);
}

// The scene over the base layer, brought up to date; null when there is no
// base layer for the level or no mark picture.
SDL_Surface* sceneLayer(SDL_Surface* baseSurface) {
  SDL_Surface* mark = pictures.shotMark;
  if (!mark) return nullptr;
  if (!scene.surface || !sameLayout(scene.surface, baseSurface)) {
    freeSceneLayer();
    scene.surface = createLike(baseSurface, baseSurface->w, baseSurface->h);
    if (!scene.surface) return nullptr;
    scene.baseBuild = 0;  // no build has number 0: drawn afresh
  }
  updateScene(baseSurface, mark);
  return scene.surface;
}

// ---- The display strip. What it draws depends only on the pixels under it,
// the three counts, the level, the pictures and the font, and it draws nothing
// above row StripTop; so a frame in which all of these are as they were last
// time copies the band it drew then.

constexpr int StripTop = 462;

struct StripKey {
  const SDL_Surface* screen;
  int w, h, pitch;
  SDL_Rect clip;
  int32_t level, bodyCount, targetsLeft, energy;
  const void* drawnWith[5];  // dimmed picture, pips, font and its strip
};

struct StripMemo {
  bool valid = false;
  StripKey key{};
  std::vector<Uint8> under, over;  // the band before and after the display
} strip;
std::vector<Uint8> stripScratch;

StripKey currentStripKey(const SDL_Surface* screen) {
  StripKey k{};
  k.screen = screen;
  k.w = screen->w;
  k.h = screen->h;
  k.pitch = screen->pitch;
  k.clip = screen->clip_rect;
  k.level = shell.chosenLevel;
  k.bodyCount = roundState.bodyCount;
  k.targetsLeft = roundState.targetsLeftShown;
  k.energy = roundState.energy;
  const BitmapFont* font = GridFontFor(GridPussycat);
  k.drawnWith[0] = pictures.levelDimmed[levelValid(shell.chosenLevel) ? shell.chosenLevel : 0];
  k.drawnWith[1] = pictures.pipEmpty;
  k.drawnWith[2] = pictures.pip;
  k.drawnWith[3] = font;
  k.drawnWith[4] = font ? font->surface : nullptr;
  return k;
}

bool sameStripKey(const StripKey& a, const StripKey& b) {
  return a.screen == b.screen && a.w == b.w && a.h == b.h && a.pitch == b.pitch &&
         a.clip.x == b.clip.x && a.clip.y == b.clip.y && a.clip.w == b.clip.w &&
         a.clip.h == b.clip.h && a.level == b.level && a.bodyCount == b.bodyCount &&
         a.targetsLeft == b.targetsLeft && a.energy == b.energy &&
         std::equal(std::begin(a.drawnWith), std::end(a.drawnWith), std::begin(b.drawnWith));
}

// The rows from StripTop to the bottom of the screen, as stored.
bool readBand(SDL_Surface* s, std::vector<Uint8>& out) {
  if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
  const size_t rowBytes = static_cast<size_t>(s->w) * s->format->BytesPerPixel;
  out.resize(rowBytes * (s->h - StripTop));
  for (int y = StripTop; y < s->h; ++y)
    std::memcpy(&out[rowBytes * (y - StripTop)], static_cast<Uint8*>(s->pixels) + y * s->pitch,
                rowBytes);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  return true;
}

void writeBand(SDL_Surface* s, const std::vector<Uint8>& in) {
  if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
  const size_t rowBytes = static_cast<size_t>(s->w) * s->format->BytesPerPixel;
  for (int y = StripTop; y < s->h; ++y)
    std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, &in[rowBytes * (y - StripTop)],
                rowBytes);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
}

// The strip drawn picture by picture.
void drawDisplayStrip() {
  ++layerWork.stripDraws;
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
    if (pictures.pipEmpty) BlitPicture(pictures.pipEmpty, nullptr, shell.video, &at);
  }
  for (int k = 0; k < PipCount && 6 * int64_t(k) < 3 * energy; ++k) {
    SDL_Rect at{static_cast<Sint16>(PipLeft + PipStep * k), PipTop, 0, 0};
    if (pictures.pip) BlitPicture(pictures.pip, nullptr, shell.video, &at);
  }
}

// The last weapon key's label and when it was shown; -1 for none.
struct WeaponLabel {
  int32_t weapon = -1;
  uint32_t shownAt = 0;
} weaponLabel;

// Drawn over the figures every frame until it is WeaponLabelMs old. It stands
// far above the strip's band, so the strip's memo never holds it.
void drawWeaponLabel() {
  static const char* const labels[3] = {"[single shot]", "[Revolver]", "[Thompson]"};
  if (weaponLabel.weapon < 0) return;
  if (ticksMs() - weaponLabel.shownAt >= WeaponLabelMs) {
    weaponLabel.weapon = -1;  // gone for good, also once the clock wraps round
    return;
  }
  GridPrintF(1, 0, GridPussycat, "%s", labels[weaponLabel.weapon]);
}

// The strip, from the memo when nothing it depends on has changed.
void drawStripRemembered() {
  SDL_Surface* screen = shell.video;
  if (!screen || screen->h <= StripTop || screen->w <= 0) {
    drawDisplayStrip();
    return;
  }
  const StripKey key = currentStripKey(screen);
  if (!readBand(screen, stripScratch)) {
    drawDisplayStrip();
    return;
  }
  if (strip.valid && sameStripKey(strip.key, key) && strip.under == stripScratch) {
    writeBand(screen, strip.over);
    return;
  }
  drawDisplayStrip();
  strip.valid = readBand(screen, strip.over);
  strip.key = key;
  strip.under.swap(stripScratch);
}
}  // namespace

void ClearShotMarks() {
  for (ShotMark& m : shotMarks.entries) m = ShotMark{-10, -10};
}

void resetRoundDisplays() {
  ClearShotMarks();
  SDL_FreeSurface(base.surface);
  base = BaseLayer{};
  freeSceneLayer();
  strip = StripMemo{};
  weaponLabel = WeaponLabel{};
  layerWork = LayerWork{};
}

void DrawRoundBackdrop() {
  const int32_t level = shell.chosenLevel;
  if (!levelValid(level) || !shell.video) return;
  if (SDL_Surface* layer = baseLayer(level)) {
    BlitPicture(layer, nullptr, shell.video, nullptr);
    return;
  }
  DrawBackdrop(backdropIndex[level]);
  drawPlaces(shell.video, pictures.levelDimmed[level]);
}

void AddShotMark(int32_t x, int32_t y) {
  if (const int32_t free = firstFreeEntry(); free < ShotMarkCapacity) {
    shotMarks.entries[free] = ShotMark{x, y};
    return;
  }
  const int32_t victim = RandomUpTo(ShotMarkOverwriteSpan);
  // A point left of the screen would read as a free entry and hide every mark
  // after it, so a full list keeps its old entry (the draw is still made).
  if (x >= 0) shotMarks.entries[victim] = ShotMark{x, y};
}

void DrawShotMarks() {
  for (int32_t i = 0; i < ShotMarkCapacity && shotMarks.entries[i].x >= 0; ++i)
    DrawShotMark(shotMarks.entries[i].x, shotMarks.entries[i].y);
}

void DrawShotMarksOnBackdrop() {
  const int32_t level = shell.chosenLevel;
  SDL_Surface* baseSurface = levelValid(level) && shell.video ? baseLayer(level) : nullptr;
  SDL_Surface* sceneSurface = baseSurface ? sceneLayer(baseSurface) : nullptr;
  if (!sceneSurface) {
    DrawShotMarks();
    return;
  }
  const Box b = clipTo(scene.marked, sceneSurface);
  if (isEmpty(b)) return;
  copySameBox(sceneSurface, shell.video, b);
}

void DrawRoundScene() {
  const int32_t level = shell.chosenLevel;
  SDL_Surface* baseSurface = levelValid(level) && shell.video ? baseLayer(level) : nullptr;
  SDL_Surface* sceneSurface = baseSurface ? sceneLayer(baseSurface) : nullptr;
  if (!sceneSurface) {
    DrawRoundBackdrop();
    DrawShotMarksOnBackdrop();
    return;
  }
  BlitPicture(sceneSurface, nullptr, shell.video, nullptr);
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
  drawStripRemembered();
  drawWeaponLabel();
}

void ShowWeaponLabel(int32_t weapon) {
  if (weapon < 0 || weapon > 2) return;
  weaponLabel = WeaponLabel{weapon, ticksMs()};
}
