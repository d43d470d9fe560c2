// The game picture on screens of every size: where it lies, how pointer
// positions map to game pixels and back, and what the scaled flip shows.
#include "platform/display.h"

#include <cstdlib>
#include <string>

#include "fixture.h"
#include "platform/events.h"

namespace {
struct Screen {
  int w, h;
  SDL_Rect picture;
};
// 4:3, wider (bars left and right), 5:4 (bars above and below), an odd width,
// and a desktop smaller than the game, which keeps the plain 640x480 mapping.
const Screen screens[] = {
    {640, 480, {0, 0, 640, 480}},       {800, 600, {0, 0, 800, 600}},
    {1920, 1080, {240, 0, 1440, 1080}}, {1280, 1024, {0, 32, 1280, 960}},
    {3840, 2160, {480, 0, 2880, 2160}}, {1366, 768, {171, 0, 1024, 768}},
    {600, 400, {0, 0, 640, 480}},       {1000, 700, {33, 0, 933, 700}},
};

std::string named(const Screen& s) { return std::to_string(s.w) + "x" + std::to_string(s.h); }

// Leaves the mapping as every other test expects it: plain 640x480.
class ScreenMapping : public ::testing::Test {
 protected:
  void TearDown() override { resetDisplay(); }
};
}  // namespace

TEST_F(ScreenMapping, PictureIsTheLargestCentredBoxAndPointsMapBothWays) {
  for (const Screen& s : screens) {
    SCOPED_TRACE(named(s));
    setDisplayGeometry(s.w, s.h);
    const SDL_Rect& p = display.picture;
    EXPECT_EQ(p.x, s.picture.x);
    EXPECT_EQ(p.y, s.picture.y);
    EXPECT_EQ(p.w, s.picture.w);
    EXPECT_EQ(p.h, s.picture.h);
    // Every game pixel is shown, and the warp's point comes back as the same pixel.
    int gx, gy, sx, sy;
    for (int g = 0; g < GameWidth; ++g) {
      gameToScreen(g, g * GameHeight / GameWidth, &sx, &sy);
      ASSERT_FALSE(outsidePicture(sx, sy));
      screenToGame(sx, sy, &gx, &gy);
      ASSERT_EQ(gx, g);
      ASSERT_EQ(gy, g * GameHeight / GameWidth);
    }
    // A screen pixel lands within one game pixel of its place in the picture.
    for (int c = 0; c < p.w; ++c) {
      screenToGame(p.x + c, p.y, &gx, &gy);
      ASSERT_NEAR(gx, c * GameWidth / p.w, 1);
    }
    for (int r = 0; r < p.h; ++r) {
      screenToGame(p.x, p.y + r, &gx, &gy);
      ASSERT_NEAR(gy, r * GameHeight / p.h, 1);
    }
    // The bars and beyond clamp to the picture's edges.
    EXPECT_FALSE(outsidePicture(p.x, p.y) || outsidePicture(p.x + p.w - 1, p.y + p.h - 1));
    EXPECT_TRUE(outsidePicture(p.x - 1, p.y) && outsidePicture(p.x, p.y - 1) &&
                outsidePicture(p.x + p.w, p.y) && outsidePicture(p.x, p.y + p.h));
    screenToGame(-5, -5, &gx, &gy);
    EXPECT_EQ(gx * 1000 + gy, 0);
    screenToGame(display.screenW + 7, display.screenH + 7, &gx, &gy);
    EXPECT_EQ(gx * 1000 + gy, 639 * 1000 + 479);
    gameToScreen(-30, 900, &sx, &sy);
    screenToGame(sx, sy, &gx, &gy);
    EXPECT_EQ(gx * 1000 + gy, 479);
  }
}

TEST_F(ScreenMapping, ScaledPictureShowsTheMappedGamePixelInTheScreensLayout) {
  SDL_Surface* game =
      SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0);
  for (int y = 0; y < GameHeight; ++y)
    for (int x = 0; x < GameWidth; ++x) {
      Uint8* at = static_cast<Uint8*>(game->pixels) + y * game->pitch + 3 * x;
      at[0] = static_cast<Uint8>(x * 7 + y);  // blue, in the layout SDL gives 24 bits
      at[1] = static_cast<Uint8>(y);
      at[2] = static_cast<Uint8>(x);
    }
  struct Layout {
    Uint32 r, g, b;
  };
  for (const Layout& l : {Layout{0xFF0000, 0xFF00, 0xFF}, Layout{0xFF, 0xFF00, 0xFF0000}})
    for (const Screen& s : {screens[0], screens[2], screens[3], screens[4], screens[7]}) {
      SCOPED_TRACE(named(s) + (l.r == 0xFF ? " BGR" : " RGB"));
      setDisplayGeometry(s.w, s.h);
      SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, s.w, s.h, 32, l.r, l.g, l.b, 0);
      SDL_FillRect(screen, nullptr, 0x01010101);
      scalePicture(game, screen, true);
      int wrong = 0;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          const Uint32 shown = static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
          Uint32 expected = 0x01010101;  // the bars are left alone
          if (!outsidePicture(x, y)) {
            int gx, gy;
            screenToGame(x, y, &gx, &gy);
            expected = SDL_MapRGB(screen->format, static_cast<Uint8>(gx), static_cast<Uint8>(gy),
                                  static_cast<Uint8>(gx * 7 + gy));
          }
          wrong += shown != expected;
        }
      EXPECT_EQ(wrong, 0);
      // A later frame writes only the game rows it changed: the first, one in
      // the middle and the last here; a pixel in another row stays as it was.
      Uint32* px = static_cast<Uint32*>(screen->pixels);
      const int stride = screen->pitch / 4;
      int sx, sy, bandRows = 0, rowsOfChanged = 0;
      gameToScreen(5, 240, &sx, &sy);
      px[sy * stride + sx] = 0x01010101;
      const int changed[] = {0, 241, 479};
      for (int g : changed) static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      EXPECT_EQ(scalePicture(game, screen, false), 3);
      EXPECT_EQ(px[sy * stride + sx], 0x01010101u);
      for (int g : changed) {
        gameToScreen(5, g, &sx, &sy);
        EXPECT_EQ(px[sy * stride + sx], SDL_MapRGB(screen->format, 5, static_cast<Uint8>(g),
                                                   static_cast<Uint8>((35 + g) ^ 0xFF)));
        static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      }
      for (int r : display.gameRow) rowsOfChanged += r == 0 || r == 241 || r == 479;
      for (const SDL_Rect& b : display.bands) bandRows += b.h;
      EXPECT_EQ(bandRows, rowsOfChanged);
      SDL_FreeSurface(screen);
    }
  SDL_FreeSurface(game);
}

class ScreenMappingEvents : public GameTest {};

TEST_F(ScreenMappingEvents, MousePositionsArriveInGamePixelsAlsoWhenPutBack) {
  startVideo();
  setDisplayGeometry(1280, 1024);  // picture 1280x960 at y 32: two screen pixels a game pixel
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 641;
  e.motion.y = 1000;  // in the bottom bar: the last row
  e.motion.xrel = 21;
  e.motion.yrel = 0;
  SDL_PushEvent(&e);
  pushMouseButton(SDL_BUTTON_LEFT, true, 3, 33);
  SDL_Event got{};
  ASSERT_TRUE(pollEvent(&got));
  EXPECT_EQ(got.motion.x, 320);
  EXPECT_EQ(got.motion.y, 479);
  EXPECT_EQ(got.motion.xrel, 10);
  EXPECT_EQ(got.motion.yrel, 0);
  unreadEvent(got);
  SDL_Event again{};
  ASSERT_TRUE(pollEvent(&again));
  EXPECT_EQ(again.motion.x, 320);
  EXPECT_EQ(again.motion.y, 479);
  EXPECT_EQ(again.motion.xrel, 10);
  ASSERT_TRUE(pollEvent(&got));
  EXPECT_EQ(got.button.x, 1);
  EXPECT_EQ(got.button.y, 0);
}

TEST_F(ScreenMapping, AbsolutePointerUnlessThePlayerChoseOtherwise) {
  const char* before = getenv("SDL_MOUSE_RELATIVE");
  const std::string kept = before ? before : "";
  for (const char* player : {static_cast<const char*>(nullptr), "1"}) {
    if (player)
      setenv("SDL_MOUSE_RELATIVE", player, 1);
    else
      unsetenv("SDL_MOUSE_RELATIVE");
    preparePointer();
    EXPECT_STREQ(getenv("SDL_MOUSE_RELATIVE"), player ? player : "0");
    resetDisplay();
    EXPECT_STREQ(getenv("SDL_MOUSE_RELATIVE"), player);
  }
  if (before)
    setenv("SDL_MOUSE_RELATIVE", kept.c_str(), 1);
  else
    unsetenv("SDL_MOUSE_RELATIVE");
}
