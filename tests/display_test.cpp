// The game picture on screens of every size: where it lies, how pointer
// positions map to game pixels and back, and what the scaled flip shows.
#include "platform/display.h"

#include <cstdlib>
#include <string>

#include "fixture.h"
#include "platform/events.h"

namespace {
// 4:3, 16:9 (bars left and right), 5:4 (bars above and below), a picture
// width that is no multiple of four, a desktop smaller than the game.
const struct {
  int w, h;
  SDL_Rect picture;
} screens[] = {{640, 480, {0, 0, 640, 480}},     {1920, 1080, {240, 0, 1440, 1080}},
               {1280, 1024, {0, 32, 1280, 960}}, {3840, 2160, {480, 0, 2880, 2160}},
               {1000, 700, {33, 0, 933, 700}},   {600, 400, {0, 0, 640, 480}}};

// Leaves the mapping as every other test expects it: plain 640x480.
class ScreenMapping : public GameTest {
 protected:
  void TearDown() override {
    resetDisplay();
    GameTest::TearDown();
  }
};
}  // namespace

TEST_F(ScreenMapping, PictureIsTheLargestCentredBoxAndPointsMapBothWays) {
  for (const auto& s : screens) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    setDisplayGeometry(s.w, s.h);
    const SDL_Rect& p = display.picture;
    EXPECT_TRUE(p.x == s.picture.x && p.y == s.picture.y && p.w == s.picture.w &&
                p.h == s.picture.h);
    // Every game pixel is shown, and the warp's point comes back as the same pixel.
    int gx, gy, sx, sy;
    for (int g = 0; g < GameWidth; ++g) {
      gameToScreen(g, g * GameHeight / GameWidth, &sx, &sy);
      screenToGame(sx, sy, &gx, &gy);
      ASSERT_TRUE(!outsidePicture(sx, sy) && gx == g && gy == g * GameHeight / GameWidth) << g;
    }
    // The bars and beyond clamp to the picture's edges.
    EXPECT_FALSE(outsidePicture(p.x, p.y) || outsidePicture(p.x + p.w - 1, p.y + p.h - 1));
    EXPECT_TRUE(outsidePicture(p.x - 1, p.y) && outsidePicture(p.x, p.y - 1) &&
                outsidePicture(p.x + p.w, p.y) && outsidePicture(p.x, p.y + p.h));
    screenToGame(-5, -5, &gx, &gy);
    EXPECT_EQ(gx * 1000 + gy, 0);
    screenToGame(display.screenW + 7, display.screenH + 7, &gx, &gy);
    EXPECT_EQ(gx * 1000 + gy, 639 * 1000 + 479);
  }
  // A mouse event put back comes out in the same game pixels; the player's
  // own pointer mode is kept (set here if the runner has none).
  startVideo();
  setDisplayGeometry(1280, 1024);
  pushMouseButton(SDL_BUTTON_LEFT, true, 641, 1000);
  SDL_Event got{};
  ASSERT_TRUE(pollEvent(&got));
  unreadEvent(got);
  ASSERT_TRUE(pollEvent(&got) && got.button.x == 320 && got.button.y == 479);
  const bool had = getenv("SDL_MOUSE_RELATIVE");
  setenv("SDL_MOUSE_RELATIVE", "1", 0);
  const std::string mode = getenv("SDL_MOUSE_RELATIVE");
  preparePointer(), resetDisplay();
  EXPECT_STREQ(getenv("SDL_MOUSE_RELATIVE"), mode.c_str());
  if (!had) unsetenv("SDL_MOUSE_RELATIVE");
}

TEST_F(ScreenMapping, ScaledPictureShowsTheMappedGamePixelInTheScreensLayout) {
  SDL_Surface* game = own(
      SDL_CreateRGBSurface(SDL_SWSURFACE, GameWidth, GameHeight, 24, 0xFF0000, 0xFF00, 0xFF, 0));
  for (int y = 0; y < GameHeight; ++y)
    for (int x = 0; x < GameWidth; ++x) {
      Uint8* at = static_cast<Uint8*>(game->pixels) + y * game->pitch + 3 * x;
      at[0] = Uint8(x * 7 + y), at[1] = Uint8(y), at[2] = Uint8(x);  // blue, green, red
    }
  for (Uint32 red : {0xFF0000u, 0xFFu})
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(std::to_string(screens[k].w) + (red == 0xFF ? " BGR" : " RGB"));
      setDisplayGeometry(screens[k].w, screens[k].h);
      SDL_Surface* screen = own(SDL_CreateRGBSurface(SDL_SWSURFACE, screens[k].w, screens[k].h, 32,
                                                     red, 0xFF00, red ^ 0xFF00FF, 0));
      SDL_FillRect(screen, nullptr, 0x01010101);
      scalePicture(game, screen, true);
      int wrong = 0;
      for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x) {
          Uint32 expected = 0x01010101;  // the bars are left alone
          int gx, gy;
          screenToGame(x, y, &gx, &gy);
          if (!outsidePicture(x, y))
            expected = SDL_MapRGB(screen->format, Uint8(gx), Uint8(gy), Uint8(gx * 7 + gy));
          wrong += static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x] != expected;
        }
      EXPECT_EQ(wrong, 0);
      // A later frame writes only the game rows it changed: the first, one in
      // the middle and the last here; a pixel in another row stays as it was.
      Uint32* px = static_cast<Uint32*>(screen->pixels);
      int sx, sy, bandRows = 0, rowsOfChanged = 0;
      gameToScreen(5, 240, &sx, &sy);
      px[sy * screen->pitch / 4 + sx] = 0x01010101;
      for (int g : {0, 241, 479}) static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      EXPECT_EQ(scalePicture(game, screen, false), 3);
      EXPECT_EQ(px[sy * screen->pitch / 4 + sx], 0x01010101u);
      for (int g : {0, 241, 479}) {
        gameToScreen(5, g, &sx, &sy);
        EXPECT_EQ(px[sy * screen->pitch / 4 + sx],
                  SDL_MapRGB(screen->format, 5, Uint8(g), Uint8((35 + g) ^ 0xFF)));
        static_cast<Uint8*>(game->pixels)[g * game->pitch + 15] ^= 0xFF;
      }
      for (int r : display.gameRow) rowsOfChanged += r == 0 || r == 241 || r == 479;
      for (const SDL_Rect& b : display.bands) bandRows += b.h;
      EXPECT_EQ(bandRows, rowsOfChanged);
    }
}
