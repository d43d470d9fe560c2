// The weapon keys' label in a round: read back from the frames that follow the
// key, drawn under the crosshairs, gone after a second and a half.
#include <gtest/gtest.h>

#include <string>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/events.h"

namespace {

constexpr uint32_t Crosshair = 0x0000E0;

class WeaponLabelTest : public FiguresTest {
 protected:
  void SetUp() override {
    FiguresTest::SetUp();
    useReadableFont();
    pictures.levelBackdrop[0] = own(solidSurface(640, 480, 0x101010));
    pictures.levelDimmed[0] = own(solidSurface(640, 480, 0x202060));
    for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, Crosshair));
    shell.chosenLevel = 0;
  }
  void TearDown() override {
    releaseReadableFont();
    FiguresTest::TearDown();
  }

  // Releases a weapon key; the frame's event poll handles it.
  static void weaponKey(SDLKey key) {
    pushKey(key, true);
    pushKey(key, false);
    RunRoundFrame();
  }
  // Row 0 from column 1 as the frame ms later is flipped.
  static std::string rowZeroAfter(uint32_t ms) {
    advanceFakeClock(ms);
    std::string seen;
    setFlipHook([&seen] { seen = screenText(1, 0, 240); });
    RunRoundFrame();
    setFlipHook(nullptr);
    return seen;
  }
};

TEST_F(WeaponLabelTest, ShowsForASecondAndAHalfAndALaterKeyReplacesIt) {
  weaponKey(SDLK_2);
  EXPECT_EQ(rowZeroAfter(1000), "[Revolver]");
  EXPECT_EQ(rowZeroAfter(1000), "");

  weaponKey(SDLK_1);
  EXPECT_EQ(rowZeroAfter(1000), "[single shot]");
  weaponKey(SDLK_3);
  EXPECT_EQ(rowZeroAfter(0), "[Thompson]");
  // Its second and a half counts from its own key.
  EXPECT_EQ(rowZeroAfter(1000), "[Thompson]");
  EXPECT_EQ(rowZeroAfter(1000), "");
}

TEST_F(WeaponLabelTest, CrosshairsAreDrawnOverIt) {
  weaponKey(SDLK_1);
  players[Mouse].active = true;
  players[Mouse].cursorX = 22 + 15;  // the crosshair's left edge on the label's seventh glyph
  players[Mouse].cursorY = 15;
  EXPECT_EQ(rowZeroAfter(0), "[singl");
  EXPECT_EQ(screenRgb(22, 15), Crosshair);
}

}  // namespace
