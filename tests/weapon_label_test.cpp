// The weapon keys' label in a round: read back from the frames that follow the
// key, drawn under the crosshairs, gone after a second and a half.
#include <gtest/gtest.h>

#include <string>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"

namespace {

class WeaponLabelTest : public FiguresTest {
 protected:
  void TearDown() override {
    releaseReadableFont();
    FiguresTest::TearDown();
  }
};

// Row 0 from column 1 as the frame ms later is flipped.
std::string rowZeroAfter(uint32_t ms) {
  advanceFakeClock(ms);
  std::string seen;
  setFlipHook([&seen] { seen = screenText(1, 0, 240); });
  RunRoundFrame();
  setFlipHook(nullptr);
  return seen;
}

// Each label stands for 1500 ms from its own key, under the crosshairs.
TEST_F(WeaponLabelTest, ShowsFor1500MsFromItsKeyUnderTheCrosshairs) {
  useReadableFont();
  pictures.levelBackdrop[0] = own(solidSurface(640, 480, 0x101010));
  pictures.levelDimmed[0] = own(solidSurface(640, 480, 0x202060));
  for (SDL_Surface*& c : pictures.crosshair) c = own(solidSurface(31, 31, 0x0000E0));
  shell.chosenLevel = 0;
  for (auto [key, label] : {std::pair{SDLK_2, "[Revolver]"}, {SDLK_1, "[single shot]"}}) {
    pushKey(key, true), pushKey(key, false);
    const uint32_t keyedAt = (RunRoundFrame(), ticksMs());
    EXPECT_EQ(rowZeroAfter(0), label);
    EXPECT_EQ(rowZeroAfter(keyedAt + 1499 - ticksMs()), label);
    EXPECT_EQ(rowZeroAfter(keyedAt + 1500 - ticksMs()), "");
  }
  pushKey(SDLK_3, true), pushKey(SDLK_3, false), RunRoundFrame();
  players[Mouse].active = true;
  players[Mouse].cursorX = 22 + 15;  // the crosshair's left edge on the label's seventh glyph
  players[Mouse].cursorY = 15;
  EXPECT_EQ(rowZeroAfter(0), "[Thomp");
  EXPECT_EQ(screenRgb(22, 15), 0x0000E0u);
}

}  // namespace
