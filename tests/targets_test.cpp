// The figures: places, the rectangle and picture hit tests, body zones, the
// hit reaction, shot resolution and drawing.
#include <SDL_mixer.h>

#include <string>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "game_files.h"
#include "platform/random.h"

namespace {
constexpr uint32_t PersonRgb = 0x00C34F;      // raw value 49999: the figure itself
constexpr uint32_t BackgroundRgb = 0x00C350;  // raw value 50000: around the figure
constexpr uint32_t FigureRgb = 0x2080F0;

class TargetsTest : public FiguresTest {
 protected:
  // Writes an 88 by 200 picture of one colour and loads it.
  static SDL_Surface* picture(const std::string& name, uint32_t rgb, int w = 88, int h = 200) {
    writeBmp("pics/" + name, w, h, rgb);
    return loadPicture(("./pics/" + name).c_str());
  }
  // The pictures of kinds 0..12, the hit pictures with red flipped; nine 4 by
  // 4 muzzle flashes, flash k in colour flashRgb(k); the figures' sounds.
  void loadFigures(uint32_t rgb) {
    for (int k = 0; k < FigurePictureCount; ++k) {
      pictures.figure[k] = picture("f" + std::to_string(k) + ".bmp", rgb);
      pictures.figureHit[k] = picture("h" + std::to_string(k) + ".bmp", rgb ^ 0xFF0000);
    }
    for (int k = 0; k < 9; ++k) pictures.muzzleFlash[k] = picture("m.bmp", flashRgb(k), 4, 4);
    for (int id = 0; id <= TitleTune1; ++id) writeWav(samplePath(id), 11025);
    loadSoundBank();
  }
  static uint32_t flashRgb(int k) { return 0x204000 + 0x10 * (k + 1); }
  static void clearScreen() { SDL_FillRect(shell.video, nullptr, 0); }
  static Mix_Chunk* playing(int32_t channel) {
    return channel < 0 ? nullptr : Mix_GetChunk(channel);
  }
};

TEST_F(TargetsTest, FiguresAreMadeHiddenOnPlacesInTwoRowsAndOutsideNumbersAreRefused) {
  advanceFakeClock(5000);
  TargetAt(3)->shown = true;
  TargetAt(3)->health = -2;
  CreateTargets();  // made afresh, as at start-up
  for (int i = 0; i < TargetCount; ++i) {
    Target* t = TargetAt(i);
    EXPECT_TRUE(t->kind == i && t->IsGangster() == (i < 8 || i > 12)) << i;
    EXPECT_TRUE(t->x == -1 && t->y == -1 && !t->shown && t->health == 5) << i;
    EXPECT_EQ(t->hiddenAt, 1700000005);
  }
  EXPECT_TRUE(TargetAt(-1) == nullptr && TargetAt(15) == nullptr);
  for (int s = 0; s < SlotCount; ++s) {
    TargetAt(0)->PlaceAtSlot(s);
    EXPECT_EQ(std::make_pair(TargetAt(0)->x, TargetAt(0)->y),
              std::make_pair(60 + 104 * (s % 6), s < 6 ? 126 : 354));
  }
  // Numbers outside 0..11 are taken and never written over the table.
  OccupySlot(0);
  OccupySlot(11);
  ReleaseSlot(11);
  for (int s : {-1, 12, 1000}) {
    EXPECT_FALSE(IsSlotFree(s));
    OccupySlot(s);
    ReleaseSlot(s);
    TargetAt(0)->PlaceAtSlot(s);
  }
  EXPECT_EQ(TargetAt(0)->x, 580);
  EXPECT_FALSE(IsSlotFree(0));
  for (int s = 1; s < SlotCount; ++s) EXPECT_TRUE(IsSlotFree(s));
}

TEST_F(TargetsTest, ShotsHitTheRectangleAndHarmOnlyThePersonByZoneKillingOnce) {
  loadFigures(PersonRgb);
  // A person in columns 30..57, rows 40..199 of the first kind's picture.
  pictures.figure[0] = picture("bg.bmp", BackgroundRgb);
  SDL_Rect person{30, 40, 28, 160};
  SDL_FillRect(pictures.figure[0], &person, SDL_MapRGB(pictures.figure[0]->format, 0, 0xC3, 0x4F));
  Target* t = standOn(TargetAt(1), 8);  // centre (268, 354)
  const int x = t->x, y = t->y;
  for (auto [dx, dy] : {std::pair{-44, -100}, {43, 99}, {43, -100}})
    EXPECT_TRUE(t->TakeHit(x + dx, y + dy)) << dx << "," << dy;
  for (auto [dx, dy] : {std::pair{44, 0}, {0, 100}, {-45, 0}, {0, -101}})
    EXPECT_FALSE(t->TakeHit(x + dx, y + dy) || t->TakeDamage(x + dx, y + dy)) << dx << "," << dy;
  // Picture rows at both sides of each zone border and the health they leave.
  const std::pair<int, int> rows[] = {{0, 0},   {30, 0},  {31, 1},  {60, 1},  {61, 2},
                                      {104, 2}, {105, 3}, {152, 3}, {153, 4}, {199, 4}};
  for (auto [row, left] : rows) {
    t->health = 5;
    EXPECT_EQ(t->TakeDamage(x, y - 100 + row), left <= 0) << "row " << row;
    EXPECT_EQ(t->health, left) << "row " << row;
  }
  // Five shots in the legs: only the last one reports the kill; dead and still
  // standing, it takes no more damage.
  t->health = 5;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(t->TakeDamage(x, y + 99), i == 5) << i;
  EXPECT_FALSE(t->TakeDamage(x, y - 100));
  EXPECT_EQ(t->health, 0);
  // The surroundings take no harm; kinds 13 and 14 read kind 0's picture.
  Target* g = standOn(TargetAt(13), 3);
  const int left = g->x - 44, top = g->y - 100;
  for (auto [col, row] : {std::pair{29, 120}, {58, 120}, {40, 39}, {0, 0}, {87, 199}})
    EXPECT_FALSE(g->TakeDamage(left + col, top + row));
  EXPECT_EQ(g->health, 5);
  EXPECT_FALSE(g->TakeDamage(left + 30, top + 120));  // rows 105..152: 2
  EXPECT_TRUE(g->TakeDamage(left + 57, top + 40));    // rows 31..60: 4
}

TEST_F(TargetsTest, AShotMarksFifteenTimesJoltsWhatItHitsAndCountsKills) {
  loadFigures(BackgroundRgb);
  pictures.figure[9] = picture("person.bmp", PersonRgb);
  Target* g = standOn(TargetAt(13), 0);
  Target* b = standOn(TargetAt(9), 7);
  Target* hidden = standOn(TargetAt(2), 1);
  hidden->shown = false;  // left, its last place still in x and y
  g->lastShotTicks = 7000;
  pictures.figure[0] = nullptr;  // no picture: the pixel reader answers -1
  const struct {
    int x, y, bodyCount;
    const Target* jolted;
  } shots[] = {{110, 126, 0, nullptr},       {hidden->x, hidden->y, 0, nullptr},
               {g->x, g->y - 90, 1, g},      {g->x, g->y, 1, g},
               {b->x + 10, b->y - 80, 0, b}, {b->x - 44, b->y - 100, 0, b}};
  for (int i = 0; i < 6; ++i) {
    g->jolt = b->jolt = 0;
    ResolveShot(shots[i].x, shots[i].y);
    EXPECT_EQ(roundState.bodyCount, shots[i].bodyCount) << "shot " << i;
    EXPECT_EQ(usedShotMarks(), 15 * (i + 1));
    for (int e = 15 * i; e < 15 * (i + 1); ++e) EXPECT_EQ(shotMarks.entries[e].x, shots[i].x);
    for (const Target* t : {g, b, hidden}) EXPECT_EQ(t->jolt, t == shots[i].jolted ? 2 : 0) << i;
  }
  EXPECT_EQ(g->lastShotTicks, 8080u);
  EXPECT_EQ(playing(hitMetalChannel), soundBank.samples[HitMetal02]);
  EXPECT_TRUE(hidden->health == 5 && hidden->lastShotTicks == 0);
}

TEST_F(TargetsTest, AJoltLiftsSixThenThreePixelsAndAFiringFrameShowsTheFlashInstead) {
  loadFigures(FigureRgb);
  Target* t = standOn(TargetAt(4), 7);  // centre (164, 354): picture top at row 254
  auto topRow = [&] {
    clearScreen();
    t->Draw();
    int row = 240;
    while (row < 270 && screenRgb(t->x, row) == 0) ++row;
    return row;
  };
  EXPECT_EQ(topRow(), 254);
  EXPECT_TRUE(t->TakeHit(t->x, t->y));
  for (int want : {248, 251, 254}) EXPECT_EQ(topRow(), want);
  EXPECT_EQ(screenRgb(t->x - 44, 254), FigureRgb);
  EXPECT_EQ(screenRgb(t->x + 44, 254), 0u);
  // Dead: the hit picture, jolted the same way; hidden: nothing.
  t->health = 0;
  t->TakeHit(t->x, t->y);
  EXPECT_EQ(topRow(), 248);
  EXPECT_EQ(screenRgb(t->x, 248), FigureRgb ^ 0xFF0000);
  t->shown = false;
  EXPECT_EQ(topRow(), 270);

  // Each gangster kind's flash at its offset, every flash once (the rare draw
  // 9 shows flash 8), with the kind's shot sound; the jolt waits.
  Mix_HaltChannel(-1);  // eight channels for the eight shot sounds
  const std::pair<int, int> shots[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3},  {4, 4},
                                       {5, 5}, {6, 6}, {7, 7}, {13, 9}, {14, 8}};
  for (auto [k, draw] : shots) {
    Target* f = standOn(TargetAt(k), 9);
    f->jolt = 2;
    f->firing = 1;
    scriptRandom({drawFor(9, draw)});
    clearScreen();
    f->Draw();
    const auto [dx, dy] =
        k < 8 ? std::pair{Figures[k].flashDx, Figures[k].flashDy} : std::pair{-18, -22};
    for (int d : {0, 3})
      EXPECT_EQ(screenRgb(f->x + dx + d, f->y + dy + d), flashRgb(draw > 8 ? 8 : draw)) << k;
    EXPECT_EQ(screenRgb(f->x - 44, f->y - 100), FigureRgb) << k;
    EXPECT_EQ(f->jolt, 2) << k;
    const int sound = k < 8 ? k : 0;
    EXPECT_EQ(playing(figureShotChannel[sound]), soundBank.samples[Target01 + sound]) << k;
    f->shown = false;
  }
  // Kinds 13 and 14 wear kind 0's pictures; a kind without one draws nothing.
  pictures.figure[0] = picture("zero.bmp", 0x112233);
  pictures.figureHit[0] = picture("zerohit.bmp", 0x445566);
  for (int k : {13, 14}) {
    DrawFigure(k, 100, 200);
    EXPECT_EQ(screenRgb(56, 100), 0x112233u);
    DrawFigureHit(k, 100, 200);
    EXPECT_EQ(screenRgb(143, 299), 0x445566u);
  }
  pictures.figure[5] = nullptr;
  clearScreen();
  DrawFigure(5, 100, 200);
  EXPECT_EQ(screenRgb(100, 200), 0u);
}
}  // namespace
