// The video mode at the desktop's size, the game-to-screen mapping, the scaled
// flip and the pointer warp.
#include "platform/display.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl_library.h"
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && SDL_BYTEORDER == SDL_LIL_ENDIAN
#include <tmmintrin.h>
#define LAKEPORT_SHUFFLE 1
#endif

Display display;

namespace {
int clampTo(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

// The game pixel at the middle of screen pixel `at` of a picture `size` wide
// that shows `game` pixels.
int gameAt(int at, int size, int game) { return (2 * at + 1) * game / (2 * size); }
// The picture pixel at the middle of game pixel `g`'s run; gameAt maps it back
// where the picture is at least the game's size.
int pictureAt(int g, int size, int game) { return (2 * g + 1) * size / (2 * game); }

// The old way, a real 640 by 480 mode at 24 bits drawn on directly, for a
// screen that gives no 32-bit pixels.
SDL_Surface* openPlainMode() {
  setDisplayGeometry(GameWidth, GameHeight);
  return SDL_SetVideoMode(GameWidth, GameHeight, 24, SDL_FULLSCREEN | SDL_DOUBLEBUF);
}

enum class ScreenAsked { Desktop, RealMode, Window };

// What LAKEPORT_SCREEN asks for.
ScreenAsked screenAsked() {
  const char* asked = getenv("LAKEPORT_SCREEN");
  if (!asked || !*asked) return ScreenAsked::Desktop;
  if (strcmp(asked, "640x480") == 0) return ScreenAsked::RealMode;
  if (strcmp(asked, "window") == 0) return ScreenAsked::Window;
  fprintf(stderr,
          "lakeport-nights: LAKEPORT_SCREEN=%s is not understood (640x480 and window are); the "
          "game fills the desktop\n",
          asked);
  return ScreenAsked::Desktop;
}

// A border's thickness (0 to 10) and an optional colour: "3", "10,red".
bool parseFrame(const char* text, int* percent, Uint32* rgb) {
  static const struct {
    const char* name;
    Uint32 rgb;
  } colours[] = {{"white", 0xFFFFFF}, {"red", 0xFF0000}, {"green", 0x00FF00}, {"blue", 0x0000FF}};
  int digits = 0;
  for (*percent = 0; *text >= '0' && *text <= '9' && digits < 3; ++text, ++digits)
    *percent = 10 * *percent + (*text - '0');
  if (digits == 0 || *percent > 10) return false;
  *rgb = 0xFFFFFF;
  if (!*text) return true;
  if (*text++ != ',') return false;
  for (const auto& c : colours)
    if (strcmp(text, c.name) == 0) return *rgb = c.rgb, true;
  return false;
}

// The game's surface, its picture scaled onto a 32-bit screen of w by h.
SDL_Surface* openScaledScreen(int w, int h, Uint32 flags) {
  SDL_Surface* screen = SDL_SetVideoMode(w, h, 32, flags);
  if (!screen || screen->format->BytesPerPixel != 4) return nullptr;
  // The game's own surface, in the layout of the 24-bit screen it always had.
  SDL_Surface* game = SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000,
                                           0x00FF00, 0x0000FF, 0);
  if (!game) return nullptr;
  setDisplayGeometry(screen->w, screen->h);
  display.screen = screen;
  display.game = game;
  display.fullUpdatesLeft = 2;
  return game;
}

}  // namespace

void hidePointer() {
  const char* relative = getenv("SDL_MOUSE_RELATIVE");
  if (relative && strcmp(relative, "0") != 0) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  // A hidden pointer over a grabbed screen reports motion alone on sdl12-compat
  // (and on classic SDL where SDL_MOUSE_RELATIVE asks for it); a pointer with
  // no pixels keeps the absolute points of guns, touch screens and tablets.
  // Where SDL makes no cursors, its video driver shows none to hide.
  Uint8 none[8] = {};
  if (SDL_Cursor* blank = SDL_CreateCursor(none, none, 8, 8, 0, 0)) SDL_SetCursor(blank);
}

int windowScale(int desktopW, int desktopH) {
  // A tenth of the desktop is left for the window's edges and the panels.
  return std::max(1, std::min(desktopW * 9 / 10 / GameWidth, desktopH * 9 / 10 / GameHeight));
}

SDL_Surface* openGameScreen() {
  readFrameSetting();
  const ScreenAsked asked = screenAsked();
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  int w = info ? info->current_w : 0, h = info ? info->current_h : 0;
  // SDL's dummy driver has no desktop; the size it makes up (none on classic
  // SDL, 1024x768 on sdl12-compat) would only scale the picture.
  char driver[16] = "";
  if (SDL_VideoDriverName(driver, sizeof driver) && strcmp(driver, "dummy") == 0) w = h = 0;
  Uint32 flags = SDL_FULLSCREEN | SDL_DOUBLEBUF;
  if (asked == ScreenAsked::Window) {
    const int times = windowScale(w, h);
    w = times * GameWidth, h = times * GameHeight;
    flags = SDL_RESIZABLE;
    display.windowed = true;
  } else if (w < GameWidth || h < GameHeight ||
             (asked == ScreenAsked::RealMode && !onSdl12Compat())) {
    // sdl12-compat sets no modes: there the picture fills the desktop all the same.
    w = GameWidth, h = GameHeight;
  }
  if (SDL_Surface* game = openScaledScreen(w, h, flags)) return game;
  display.windowed = false;
  return openPlainMode();
}

void readFrameSetting() {
  display.framePercent = 0;
  display.frameColour = 0xFFFFFF;
  const char* asked = getenv("LAKEPORT_BORDER");
  if (!asked || !*asked || parseFrame(asked, &display.framePercent, &display.frameColour)) return;
  display.framePercent = 0;
  fprintf(stderr,
          "lakeport-nights: LAKEPORT_BORDER=%s is not understood (a thickness of 0 to 10 percent, "
          "then ,white ,red ,green or ,blue); no border\n",
          asked);
}

void setDisplayGeometry(int w, int h) {
  if (w < 1 || h < 1) w = GameWidth, h = GameHeight;
  display.screenW = w;
  display.screenH = h;
  const int t = display.framePercent * h / 100;
  int pw = std::max(w - 2 * t, 1), ph = std::max(h - 2 * t, 1);
  if (pw * GameHeight > ph * GameWidth)
    pw = std::max(ph * GameWidth / GameHeight, 1);
  else
    ph = std::max(pw * GameHeight / GameWidth, 1);
  display.picture = SDL_Rect{static_cast<Sint16>((w - pw) / 2), static_cast<Sint16>((h - ph) / 2),
                             static_cast<Uint16>(pw), static_cast<Uint16>(ph)};
  display.frame = SDL_Rect{static_cast<Sint16>(display.picture.x - t),
                           static_cast<Sint16>(display.picture.y - t),
                           static_cast<Uint16>(pw + 2 * t), static_cast<Uint16>(ph + 2 * t)};
  display.gameColumn.resize(pw);
  for (int c = 0; c < pw; ++c) display.gameColumn[c] = gameAt(c, pw, GameWidth);
  display.gameRow.resize(ph);
  for (int r = 0; r < ph; ++r) display.gameRow[r] = gameAt(r, ph, GameHeight);
  display.shown.clear();  // a new picture box is written whole
}

void resizeScreen(int w, int h) {
  if (!display.game) return;
  display.screen =
      SDL_SetVideoMode(w, h, 32, display.windowed ? SDL_RESIZABLE : SDL_FULLSCREEN | SDL_DOUBLEBUF);
  if (display.screen && display.screen->format->BytesPerPixel != 4) display.screen = nullptr;
  if (!display.screen) return;  // nothing shows until a size that works
  setDisplayGeometry(display.screen->w, display.screen->h);
  display.fullUpdatesLeft = 2;
  presentFrame(display.game);  // the last frame again, for screens that wait for input
}

void resetDisplay() {
  if (display.game) SDL_FreeSurface(display.game);
  display = Display{};
  setDisplayGeometry(GameWidth, GameHeight);
}

bool outsidePicture(int sx, int sy) {
  const SDL_Rect& p = display.picture;
  return sx < p.x || sy < p.y || sx >= p.x + p.w || sy >= p.y + p.h;
}

void screenToGame(int sx, int sy, int* gx, int* gy) {
  const SDL_Rect& p = display.picture;
  *gx = display.gameColumn[clampTo(sx - p.x, 0, p.w - 1)];
  *gy = display.gameRow[clampTo(sy - p.y, 0, p.h - 1)];
}

void gameToScreen(int gx, int gy, int* sx, int* sy) {
  const SDL_Rect& p = display.picture;
  *sx = p.x + pictureAt(clampTo(gx, 0, GameWidth - 1), p.w, GameWidth);
  *sy = p.y + pictureAt(clampTo(gy, 0, GameHeight - 1), p.h, GameHeight);
}

namespace {
// Moves a mouse event's positions through a mapping; xrel/yrel become the
// motion between the mapped points. Other events are untouched.
void movePointerEvent(SDL_Event* e, void (*map)(int, int, int*, int*)) {
  int x, y, fromX, fromY;
  switch (e->type) {
    case SDL_MOUSEMOTION:
      map(e->motion.x, e->motion.y, &x, &y);
      map(e->motion.x - e->motion.xrel, e->motion.y - e->motion.yrel, &fromX, &fromY);
      e->motion.x = static_cast<Uint16>(x);
      e->motion.y = static_cast<Uint16>(y);
      e->motion.xrel = static_cast<Sint16>(x - fromX);
      e->motion.yrel = static_cast<Sint16>(y - fromY);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      map(e->button.x, e->button.y, &x, &y);
      e->button.x = static_cast<Uint16>(x);
      e->button.y = static_cast<Uint16>(y);
      break;
    default: break;
  }
}
}  // namespace

void mapPointerEvent(SDL_Event* e) { movePointerEvent(e, screenToGame); }

void unmapPointerEvent(SDL_Event* e) { movePointerEvent(e, gameToScreen); }

void warpMouse(int gx, int gy) {
  int sx, sy;
  gameToScreen(gx, gy, &sx, &sy);
  SDL_WarpMouse(static_cast<Uint16>(sx), static_cast<Uint16>(sy));
}

namespace {
// Copies n pixels to the screen with stores that bypass the cache: the
// processor need not read the screen's old pixels first, which costs as much
// again as the write on a screen far larger than the cache.
void streamRow(Uint32* to, const Uint32* from, int n) {
#ifdef __SSE2__
  int i = 0;
  for (; i < n && (reinterpret_cast<uintptr_t>(to + i) & 15); ++i) to[i] = from[i];
  for (; i + 4 <= n; i += 4)
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
  for (; i < n; ++i) to[i] = from[i];
#else
  memcpy(to, from, n * sizeof(Uint32));
#endif
}

// A 24-bit pixel as the value its format's masks describe.
inline Uint32 read24(const Uint8* in) {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
  return in[0] | in[1] << 8 | in[2] << 16;
#else
  return in[0] << 16 | in[1] << 8 | in[2];
#endif
}

// One game row (24 bits a pixel) in another layout of 8-bit channels.
void convertRow(const Uint8* in, const SDL_PixelFormat& from, const SDL_PixelFormat& to,
                Uint32* __restrict line) {
  const Uint32 rm = from.Rmask, gm = from.Gmask, bm = from.Bmask;
  const int rs = from.Rshift, gs = from.Gshift, bs = from.Bshift;
  const int rt = to.Rshift, gt = to.Gshift, bt = to.Bshift;
  for (int x = 0; x < GameWidth; ++x) {
    const Uint32 v = read24(in + 3 * x);
    line[x] = ((v & rm) >> rs) << rt | ((v & gm) >> gs) << gt | ((v & bm) >> bs) << bt;
  }
}

// Writes v into out[0] to out[Most - 1], and with SSE2 up to out[3] or out[7].
template <int Most>
inline void fill(Uint32* out, Uint32 v) {
#ifdef __SSE2__
  const __m128i four = _mm_set1_epi32(static_cast<int>(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), four);
  if (Most > 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), four);
#else
  for (int k = 0; k < Most; ++k) out[k] = v;
#endif
}

// Widens one game row: game pixel x fills run[x] pixels. Each pixel is written
// Most times and the next one starts over the extra copies, which keeps the
// loop free of branches and of a load per screen pixel.
template <int Most, typename Pixel>
void widenRow(Pixel pixel, const int* run, Uint32* __restrict out) {
  for (int x = 0; x < GameWidth; ++x) {
    fill<Most>(out, pixel(x));
    out += run[x];
  }
}

// The game row widened into `out` in the screen's pixel format, which is the
// game's own where sameLayout.
template <int Most>
void widenGameRow(const Uint8* in, bool sameLayout, const SDL_PixelFormat& from,
                  const SDL_PixelFormat& to, const int* run, Uint32* out) {
  if (sameLayout) {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    // Four pixels from three words: a quarter of the loads of byte reads.
    for (int x = 0; x < GameWidth; x += 4, in += 12, run += 4) {
      Uint32 w[3];
      memcpy(w, in, sizeof w);
      const Uint32 quad[4] = {w[0] & 0xFFFFFF, w[0] >> 24 | (w[1] & 0xFFFF) << 8,
                              w[1] >> 16 | (w[2] & 0xFF) << 16, w[2] >> 8};
      for (int i = 0; i < 4; ++i) {
        fill<Most>(out, quad[i]);
        out += run[i];
      }
    }
#else
    widenRow<Most>([in](int x) { return read24(in + 3 * x); }, run, out);
#endif
  } else {
    Uint32 line[GameWidth];
    convertRow(in, from, to, line);
    widenRow<Most>([&line](int x) { return line[x]; }, run, out);
  }
}

#ifdef LAKEPORT_SHUFFLE
// Every four picture columns show at most four neighbouring game pixels, 12
// bytes of a game row: one byte shuffle makes the four screen pixels, on
// processors that have it (SSSE3) and where every colour is one whole byte.
struct ShuffleTable {
  int width = -1;
  Uint32 masks[6] = {};     // the two layouts' colour masks it was built for
  std::vector<int> offset;  // the chunk's first game byte in the row
  struct Mask {
    alignas(16) Sint8 byte[16];  // which of the 16 bytes from there go where
  };
  std::vector<Mask> mask;
};

// The byte of a whole-byte colour channel, or -1.
int channelByte(Uint32 mask, int shift) {
  return mask == 0xFFu << shift && shift % 8 == 0 ? shift / 8 : -1;
}

// The table for the picture's width and the two layouts; false when the
// layouts' colours are not whole bytes.
bool buildShuffleTable(ShuffleTable& t, int width, const SDL_PixelFormat& from,
                       const SDL_PixelFormat& to) {
  const int in[3] = {channelByte(from.Rmask, from.Rshift), channelByte(from.Gmask, from.Gshift),
                     channelByte(from.Bmask, from.Bshift)};
  const int out[3] = {channelByte(to.Rmask, to.Rshift), channelByte(to.Gmask, to.Gshift),
                      channelByte(to.Bmask, to.Bshift)};
  const Uint32 masks[6] = {from.Rmask, from.Gmask, from.Bmask, to.Rmask, to.Gmask, to.Bmask};
  if (t.width == width && std::equal(masks, masks + 6, t.masks)) return true;
  for (int c = 0; c < 3; ++c)
    if (in[c] < 0 || out[c] < 0) return false;
  // Four columns of a picture smaller than the game may span more than the
  // 16 bytes one shuffle reaches.
  for (int j = 0; j + 3 < width; j += 4)
    if (display.gameColumn[j + 3] - display.gameColumn[j] > 4) return false;
  t.width = width;
  std::copy(masks, masks + 6, t.masks);
  t.offset.assign(width / 4, 0);
  t.mask.assign(width / 4, ShuffleTable::Mask{});
  for (int j = 0; j < width / 4; ++j) {
    const int first = display.gameColumn[4 * j];
    Sint8* m = t.mask[j].byte;
    memset(m, -128, 16);  // the spare byte of each screen pixel is 0
    for (int k = 0; k < 4; ++k)
      for (int c = 0; c < 3; ++c)
        m[4 * k + out[c]] = static_cast<Sint8>(3 * (display.gameColumn[4 * j + k] - first) + in[c]);
    t.offset[j] = 3 * first;
  }
  return true;
}

// One game row widened to the picture's width with the table; the row is
// copied first so that the last loads stay inside memory of ours.
__attribute__((target("ssse3"))) void shuffleGameRow(const ShuffleTable& t, const Uint8* in,
                                                     Uint32* out) {
  alignas(16) Uint8 row[3 * GameWidth + 16];
  memcpy(row, in, 3 * GameWidth);
  const int chunks = static_cast<int>(t.offset.size());
  for (int j = 0; j < chunks; ++j) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + t.offset[j]));
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(out + 4 * j),
        _mm_shuffle_epi8(bytes, _mm_load_si128(reinterpret_cast<const __m128i*>(t.mask[j].byte))));
  }
}
#endif
}  // namespace

bool canShuffleRows() {
#ifdef LAKEPORT_SHUFFLE
  static const bool can = __builtin_cpu_supports("ssse3");
  return can;
#else
  return false;
#endif
}

int scalePicture(SDL_Surface* game, SDL_Surface* screen, bool whole) {
  const SDL_Rect p = display.picture;
  // Most of a frame is what the last one showed: the rows that did not change
  // are neither scaled nor sent to the display again.
  constexpr int RowBytes = 3 * GameWidth;
  std::vector<Uint8>& shown = display.shown;
  whole = whole || shown.size() != size_t{RowBytes} * GameHeight;
  shown.resize(size_t{RowBytes} * GameHeight);
  bool changed[GameHeight];
  int scaled = 0;
  for (int g = 0; g < GameHeight; ++g) {
    const Uint8* in = static_cast<const Uint8*>(game->pixels) + g * game->pitch;
    Uint8* kept = shown.data() + g * RowBytes;
    changed[g] = whole || memcmp(in, kept, RowBytes) != 0;
    if (changed[g]) memcpy(kept, in, RowBytes), ++scaled;
  }
  display.bands.clear();
  int run[GameWidth] = {};
  int most = 0;
  for (int c = 0; c < p.w; ++c) most = std::max(most, ++run[display.gameColumn[c]]);
  // The widened row is made in a buffer that stays in the cache and streamed
  // to every screen row that shows it.
  static std::vector<Uint32> wide;
  wide.resize(p.w + 8);  // fill's spare writes beyond the row
  const SDL_PixelFormat& from = *game->format;
  const SDL_PixelFormat& to = *screen->format;
  const bool same = from.Rmask == to.Rmask && from.Gmask == to.Gmask && from.Bmask == to.Bmask;
  RowWay way = most > 5 ? RowWay::Spread : same ? RowWay::SameLayout : RowWay::OtherLayout;
#ifdef LAKEPORT_SHUFFLE
  static ShuffleTable table;
  if (display.shuffleRows && canShuffleRows() && buildShuffleTable(table, p.w, from, to))
    way = RowWay::Shuffle;
#endif
  display.rowWay = way;
  const int* row = display.gameRow.data();
  Uint8* top = static_cast<Uint8*>(screen->pixels) + p.y * screen->pitch + 4 * p.x;
  for (int r = 0; r < p.h; ++r) {
    if (!changed[row[r]]) continue;
    if (r == 0 || row[r] != row[r - 1]) {
      const Uint8* in = static_cast<const Uint8*>(game->pixels) + row[r] * game->pitch;
#ifdef LAKEPORT_SHUFFLE
      if (way == RowWay::Shuffle) {
        shuffleGameRow(table, in, wide.data());
        // The last columns when the width is not a multiple of four.
        for (int c = p.w & ~3; c < p.w; ++c) {
          const Uint8* px = in + 3 * display.gameColumn[c];
          const Uint32 v = read24(px);
          wide[c] = ((v & from.Rmask) >> from.Rshift) << to.Rshift |
                    ((v & from.Gmask) >> from.Gshift) << to.Gshift |
                    ((v & from.Bmask) >> from.Bshift) << to.Bshift;
        }
      } else
#endif
        switch (most) {
          case 1: widenGameRow<1>(in, same, from, to, run, wide.data()); break;
          case 2: widenGameRow<2>(in, same, from, to, run, wide.data()); break;
          case 3: widenGameRow<3>(in, same, from, to, run, wide.data()); break;
          case 4: widenGameRow<4>(in, same, from, to, run, wide.data()); break;
          case 5: widenGameRow<5>(in, same, from, to, run, wide.data()); break;
          default: {  // a screen over five times the game's width
            Uint32 line[GameWidth];
            convertRow(in, from, to, line);
            for (int c = 0; c < p.w; ++c) wide[c] = line[display.gameColumn[c]];
          }
        }
    }
    streamRow(reinterpret_cast<Uint32*>(top + r * screen->pitch), wide.data(), p.w);
    std::vector<SDL_Rect>& bands = display.bands;
    if (!bands.empty() && bands.back().y + bands.back().h == p.y + r)
      bands.back().h += 1;
    else
      bands.push_back(SDL_Rect{p.x, static_cast<Sint16>(p.y + r), p.w, 1});
  }
#ifdef __SSE2__
  _mm_sfence();  // the streamed pixels are in memory before anyone reads them
#endif
  return scaled;
}

int presentFrame(SDL_Surface* surface) {
  if (!surface) return -1;
  SDL_Surface* screen = display.screen;
  if (surface == display.game && !screen) return -1;  // a window between sizes
  if (surface != display.game) return SDL_Flip(surface);
  const bool full = display.fullUpdatesLeft > 0;
  if (full) {
    // The bars and the frame once in each of the screen's buffers.
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    const Uint32 c = display.frameColour;
    if (display.framePercent > 0)
      SDL_FillRect(screen, &display.frame,
                   SDL_MapRGB(screen->format, c >> 16, c >> 8 & 255, c & 255));
    display.fullUpdatesLeft -= 1;
  }
  // A page-flipped screen alternates two buffers: each is written whole.
  const bool flipped = (screen->flags & SDL_DOUBLEBUF) == SDL_DOUBLEBUF;
  if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) < 0) return -1;
  scalePicture(surface, screen, full || flipped);
  if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
  // A software screen sends only the rows that changed to the display; the
  // bars and the rest stay.
  if (full || flipped) return SDL_Flip(screen);
  if (!display.bands.empty())
    SDL_UpdateRects(screen, static_cast<int>(display.bands.size()), display.bands.data());
  return 0;
}
