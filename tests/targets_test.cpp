// The figures: place numbers, the body zones of a shot, the jolt, the hit picture.
#include <string>

#include "app/shell.h"
#include "figure_helpers.h"

namespace {
constexpr uint32_t FigureRgb = 0x2080F0;

class TargetsTest : public FiguresTest {
 protected:
  // Writes an 88 by 200 picture of one colour and loads it.
  static SDL_Surface* picture(const std::string& name, uint32_t rgb) {
    writeBmp("pics/" + name, 88, 200, rgb);
    return loadPicture(("./pics/" + name).c_str());
  }
};

// Place numbers outside 0..11 are taken and never written over the table.
TEST_F(TargetsTest, OutsidePlaceNumbersAreRefused) {
  OccupySlot(0);
  TargetAt(0)->PlaceAtSlot(5);
  for (int s : {-1, 12, 1000}) {
    EXPECT_FALSE(IsSlotFree(s));
    OccupySlot(s), ReleaseSlot(s), TargetAt(0)->PlaceAtSlot(s);
  }
  EXPECT_EQ(TargetAt(0)->x, 580);
  for (int s = 0; s < SlotCount; ++s) EXPECT_EQ(IsSlotFree(s), s != 0) << s;
}

// The rectangle's edges, then picture rows at both sides of each zone border
// and the health they leave; the killing shot alone reports the kill.
TEST_F(TargetsTest, ShotsHitTheRectangleAndHarmByZoneKillingOnce) {
  pictures.figure[1] = picture("f1.bmp", 0x00C34F);  // raw value 49999: the person
  Target* t = standOn(TargetAt(1), 8);
  const int x = t->x, y = t->y;
  EXPECT_TRUE(t->TakeHit(x - 44, y - 100) && t->TakeHit(x + 43, y + 99));
  for (auto [dx, dy] : {std::pair{44, 0}, {0, 100}, {-45, 0}, {0, -101}})
    EXPECT_FALSE(t->TakeHit(x + dx, y + dy) || t->TakeDamage(x + dx, y + dy)) << dx << "," << dy;
  const std::pair<int, int> rows[] = {{0, 0},   {30, 0},  {31, 1},  {60, 1},  {61, 2},
                                      {104, 2}, {105, 3}, {152, 3}, {153, 4}, {199, 4}};
  for (auto [row, left] : rows) {
    t->health = 5;
    EXPECT_EQ(t->TakeDamage(x, y - 100 + row), left <= 0) << "row " << row;
    EXPECT_EQ(t->health, left) << "row " << row;
  }
  t->health = 5;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(t->TakeDamage(x, y + 99), i == 5) << i;
  EXPECT_FALSE(t->TakeDamage(x, y - 100));
}

TEST_F(TargetsTest, AJoltLiftsSixThenThreePixelsAndTheDeadShowTheHitPicture) {
  pictures.figure[4] = picture("f4.bmp", FigureRgb);
  pictures.figureHit[4] = picture("h4.bmp", FigureRgb ^ 0xFF0000);
  Target* t = standOn(TargetAt(4), 7);  // centre (164, 354): picture top at row 254
  auto topRow = [&] {
    SDL_FillRect(shell.video, nullptr, 0);
    t->Draw();
    int row = 240;
    while (row < 270 && screenRgb(t->x, row) == 0) ++row;
    return row;
  };
  EXPECT_EQ(topRow(), 254);
  EXPECT_TRUE(t->TakeHit(t->x, t->y));
  for (int want : {248, 251, 254}) EXPECT_EQ(topRow(), want);
  EXPECT_EQ(std::make_pair(screenRgb(t->x - 44, 254), screenRgb(t->x + 44, 254)),
            std::make_pair(FigureRgb, 0u));
  t->health = 0;
  t->TakeHit(t->x, t->y);
  EXPECT_EQ(topRow(), 248);
  EXPECT_EQ(screenRgb(t->x, 248), FigureRgb ^ 0xFF0000);
}
}  // namespace
