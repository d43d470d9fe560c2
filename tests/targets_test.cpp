// Tests of the figures: places, the rectangle and picture hit tests, body
// zones, the hit reaction, shot resolution and drawing.
#include <SDL_mixer.h>

#include <string>

#include "app/shell.h"
#include "audio/soundbank.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "gfx/grid.h"
#include "platform/random.h"

namespace {
constexpr uint32_t PersonRgb = 0x00C34F;      // raw value 49999: the figure itself
constexpr uint32_t BackgroundRgb = 0x00C350;  // raw value 50000: around the figure

// The sample playing (or last played) on a recorded channel, or null.
Mix_Chunk* chunkOn(int32_t channel) {
  return channel == NoChannel ? nullptr : Mix_GetChunk(channel);
}

class TargetsTest : public FiguresTest {
 protected:
  // Writes an 88 by 200 figure picture of one colour and loads it.
  static SDL_Surface* figurePicture(const std::string& name, uint32_t rgb) {
    writeBmp("pics/" + name, 88, 200, rgb);
    return loadPicture(("./pics/" + name).c_str());
  }
  // The figure pictures of kinds 0..12, person colour all over unless given.
  void loadFigures(uint32_t rgb = PersonRgb) {
    for (int k = 0; k < FigurePictureCount; ++k) {
      pictures.figure[k] = figurePicture("figure" + std::to_string(k) + ".bmp", rgb);
      pictures.figureHit[k] = figurePicture("hit" + std::to_string(k) + ".bmp", rgb ^ 0xFF0000);
    }
  }
  // Nine small muzzle flashes, flash k in colour flashRgb(k).
  static uint32_t flashRgb(int k) { return 0x204000 + 0x10 * (k + 1); }
  void loadFlashes() {
    for (int k = 0; k < 9; ++k) {
      const std::string name = "flash" + std::to_string(k) + ".bmp";
      writeBmp("pics/" + name, 4, 4, flashRgb(k));
      pictures.muzzleFlash[k] = loadPicture(("./pics/" + name).c_str());
    }
  }
  void loadSounds() {
    for (int i = 1; i <= 8; ++i) writeWav("sounds/target0" + std::to_string(i) + ".wav", 11025);
    for (int i = 1; i <= 3; ++i) writeWav("sounds/hit_metal0" + std::to_string(i) + ".wav", 11025);
    captureStderr();  // the other samples are missing, and say so
    loadSoundBank();
    capturedStderr();
    for (int id = Target01; id <= HitMetal03; ++id) ASSERT_NE(soundBank.samples[id], nullptr);
  }
  static void clearScreen() { SDL_FillRect(shell.video, nullptr, 0); }
};

TEST_F(TargetsTest, FiguresAreMadeHiddenWithTheirKindAndRole) {
  advanceFakeClock(5000);
  TargetAt(3)->shown = true;
  TargetAt(3)->health = -2;
  CreateTargets();  // made afresh, as at start-up
  for (int i = 0; i < TargetCount; ++i) {
    const Target* t = TargetAt(i);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->kind, i);
    EXPECT_EQ(t->IsGangster(), i < 8 || i > 12) << i;
    EXPECT_TRUE(t->x == -1 && t->y == -1 && !t->shown && t->health == 5) << i;
    EXPECT_EQ(t->hiddenAt, 1700000005);
  }
  EXPECT_EQ(TargetAt(-1), nullptr);
  EXPECT_EQ(TargetAt(15), nullptr);
}

TEST_F(TargetsTest, PlacesLieOnTwoRowsAndNumbersOutsideCountAsTaken) {
  for (int s = 0; s < SlotCount; ++s) {
    TargetAt(0)->PlaceAtSlot(s);
    EXPECT_EQ(TargetAt(0)->x, 60 + 104 * (s % 6));
    EXPECT_EQ(TargetAt(0)->y, s < 6 ? 126 : 354);
  }
  OccupySlot(11);
  EXPECT_FALSE(IsSlotFree(11));
  ReleaseSlot(11);
  EXPECT_TRUE(IsSlotFree(11));
  // Numbers outside 0..11 are taken and never written over the table.
  OccupySlot(0);
  for (int s : {-1, 12, 1000}) {
    EXPECT_FALSE(IsSlotFree(s));
    OccupySlot(s);
    ReleaseSlot(s);
  }
  EXPECT_FALSE(IsSlotFree(0));
  for (int s = 1; s < SlotCount; ++s) EXPECT_TRUE(IsSlotFree(s));
}

TEST_F(TargetsTest, RectangleRunsFromMinus44ToPlus43AndMinus100ToPlus99) {
  Target* t = standOn(TargetAt(0), 8);  // centre (268, 354)
  const int x = t->x, y = t->y;
  for (auto [dx, dy] : {std::pair{-44, -100}, {43, 99}, {43, -100}})
    EXPECT_TRUE(t->TakeHit(x + dx, y + dy)) << dx << "," << dy;
  for (auto [dx, dy] : {std::pair{44, 0}, {0, 100}, {-45, 0}, {0, -101}}) {
    EXPECT_FALSE(t->TakeHit(x + dx, y + dy)) << dx << "," << dy;
    EXPECT_FALSE(t->TakeDamage(x + dx, y + dy)) << dx << "," << dy;
  }
  EXPECT_EQ(t->health, 5);
}

TEST_F(TargetsTest, ShotsBetweenPlacesTouchNobody) {
  for (int s = 0; s < SlotCount; ++s) standOn(TargetAt(s), s);
  // Between places 0 and 1 on the upper row, and between the two rows.
  for (auto [x, y] : {std::pair{110, 126}, {104, 126}, {119, 126}, {60, 226}, {60, 253}}) {
    ResolveShot(x, y);
    for (int s = 0; s < SlotCount; ++s)
      EXPECT_TRUE(TargetAt(s)->health == 5 && TargetAt(s)->jolt == 0) << x << "," << y;
  }
  EXPECT_EQ(roundState.bodyCount, 0);
}

TEST_F(TargetsTest, BodyZonesTakeFiveToOneAndAKillIsReportedOnce) {
  loadFigures();
  Target* t = standOn(TargetAt(1), 2);
  // Picture rows at both sides of each zone border and the health they leave.
  const std::pair<int, int> rows[] = {{0, 0},   {30, 0},  {31, 1},  {60, 1},  {61, 2},
                                      {104, 2}, {105, 3}, {152, 3}, {153, 4}, {199, 4}};
  for (auto [row, left] : rows) {
    t->health = 5;
    EXPECT_EQ(t->TakeDamage(t->x, t->y - 100 + row), left <= 0) << "row " << row;
    EXPECT_EQ(t->health, left) << "row " << row;
  }
  // Five shots in the legs, two in the belly: only the last one reports.
  t->health = 5;
  for (int i = 1; i <= 4; ++i) EXPECT_FALSE(t->TakeDamage(t->x, t->y + 99)) << i;
  EXPECT_TRUE(t->TakeDamage(t->x, t->y + 99));
  t->health = 5;
  EXPECT_FALSE(t->TakeDamage(t->x - 44, t->y));
  EXPECT_TRUE(t->TakeDamage(t->x + 43, t->y));
  EXPECT_EQ(t->health, -1);
  // Dead and still standing: no more damage, no second kill.
  EXPECT_FALSE(t->TakeDamage(t->x, t->y));
  EXPECT_FALSE(t->TakeDamage(t->x, t->y - 100));
  EXPECT_EQ(t->health, -1);
}

TEST_F(TargetsTest, BackgroundPixelsJoltSoundAndMarkButDoNoHarm) {
  loadSounds();
  // A person standing in columns 30..57, rows 40..199, in a light surround.
  SDL_Surface* pic = figurePicture("figure.bmp", BackgroundRgb);
  ASSERT_NE(pic, nullptr);
  SDL_Rect person{30, 40, 28, 160};
  SDL_FillRect(pic, &person, SDL_MapRGB(pic->format, 0x00, 0xC3, 0x4F));
  pictures.figure[0] = pic;
  Target* t = standOn(TargetAt(0), 3);
  t->lastShotTicks = 7000;
  const int left = t->x - 44, top = t->y - 100;
  for (auto [col, row] : {std::pair{29, 120}, {58, 120}, {40, 39}, {0, 0}, {87, 199}})
    EXPECT_FALSE(t->TakeDamage(left + col, top + row));
  EXPECT_EQ(t->health, 5);
  // Hitting the surround is still a hit, with its sound and a mark.
  ResolveShot(left + 5, top + 5);
  EXPECT_EQ(t->health, 5);
  EXPECT_EQ(t->jolt, 2);
  EXPECT_EQ(t->lastShotTicks, 7540u);
  EXPECT_EQ(chunkOn(hitMetalChannel), soundBank.samples[HitMetal01]);
  EXPECT_EQ(usedShotMarks(), 15);

  EXPECT_FALSE(t->TakeDamage(left + 30, top + 120));  // rows 105..152: 2
  EXPECT_EQ(t->health, 3);
  EXPECT_TRUE(t->TakeDamage(left + 57, top + 40));  // rows 31..60: 4
}

TEST_F(TargetsTest, HiddenFigureNeverReacts) {
  loadSounds();
  Target* t = standOn(TargetAt(2), 4);
  t->shown = false;  // left, its last place still in x and y
  t->lastShotTicks = 3000;
  for (auto [x, y] : {std::pair{t->x, t->y}, {t->x - 44, t->y - 100}}) {
    EXPECT_FALSE(t->TakeDamage(x, y));
    EXPECT_FALSE(t->TakeHit(x, y));
  }
  // Freshly made figures sit at (-1, -1); a shot in the corner misses them too.
  Target* fresh = TargetAt(3);
  ResolveShot(0, 0);
  ResolveShot(t->x, t->y);
  for (const Target* f : {t, fresh}) EXPECT_TRUE(f->health == 5 && f->jolt == 0);
  EXPECT_EQ(t->lastShotTicks, 3000u);
  EXPECT_EQ(hitMetalChannel, NoChannel);
  EXPECT_EQ(roundState.bodyCount, 0);
}

// No pictures are loaded: the pixel reader answers -1, so every shot lands.
TEST_F(TargetsTest, EveryShotAddsFifteenMarksAndCountsGangstersUpBystandersDown) {
  Target* gangster = standOn(TargetAt(13), 0);
  Target* bystander = standOn(TargetAt(9), 7);
  const struct {
    int x, y, bodyCount;
  } shots[] = {{110, 126, 0},                              // nobody
               {gangster->x, gangster->y - 90, 1},         // a kill
               {gangster->x, gangster->y, 1},              // the dead one again
               {bystander->x + 10, bystander->y - 80, 0},  // a bystander killed
               {bystander->x, bystander->y, 0}};
  for (int i = 0; i < 5; ++i) {
    ResolveShot(shots[i].x, shots[i].y);
    EXPECT_EQ(roundState.bodyCount, shots[i].bodyCount) << "shot " << i;
    EXPECT_EQ(usedShotMarks(), 15 * (i + 1));
    for (int e = 15 * i; e < 15 * (i + 1); ++e) EXPECT_EQ(shotMarks.entries[e].x, shots[i].x);
  }
}

TEST_F(TargetsTest, HitSoundFollowsTheKind) {
  loadSounds();
  for (int k = 0; k < TargetCount; ++k) {
    Target* t = standOn(TargetAt(k), 0);
    ASSERT_TRUE(t->TakeHit(t->x, t->y)) << k;
    const SampleId want = k < 5 ? HitMetal01 : k < 10 ? HitMetal02 : HitMetal03;
    EXPECT_EQ(chunkOn(hitMetalChannel), soundBank.samples[want]) << k;
    t->shown = false;
  }
}

TEST_F(TargetsTest, JoltLiftsTheFigureSixThenThreePixelsForTwoFrames) {
  loadFigures(0x2080F0);
  Target* t = standOn(TargetAt(4), 7);  // centre (164, 354): picture top at row 254
  auto topRow = [&]() {
    clearScreen();
    t->Draw();
    int row = 240;
    while (row < 270 && screenRgb(t->x, row) != 0x2080F0) ++row;
    return row;
  };
  EXPECT_EQ(topRow(), 254);
  EXPECT_TRUE(t->TakeHit(t->x, t->y));
  EXPECT_EQ(topRow(), 248);
  EXPECT_EQ(topRow(), 251);
  EXPECT_EQ(topRow(), 254);
  EXPECT_EQ(screenRgb(t->x - 44, 254), 0x2080F0u);
  EXPECT_EQ(screenRgb(t->x + 44, 254), 0u);

  // Dead: the hit picture, jolted the same way; hidden: nothing.
  t->health = 0;
  t->TakeHit(t->x, t->y);
  clearScreen();
  t->Draw();
  EXPECT_EQ(screenRgb(t->x, 248), 0x2080F0u ^ 0xFF0000);
  EXPECT_EQ(screenRgb(t->x, 247), 0u);
  t->shown = false;
  clearScreen();
  t->Draw();
  EXPECT_EQ(screenRgb(t->x, t->y), 0u);
}

TEST_F(TargetsTest, FiringFrameShowsTheFlashAndHoldsTheJolt) {
  loadFigures(0x2080F0);
  loadFlashes();
  loadSounds();
  const std::pair<int, int> offsets[TargetCount] = {
      {6, -26},   {-41, -8},  {-20, -64}, {-20, -34}, {-26, -18}, {24, -8},   {0, -64},  {0, -34},
      {-18, -22}, {-18, -22}, {-18, -22}, {-18, -22}, {-18, -22}, {-18, -22}, {-18, -22}};
  // Kinds and flash draws: every flash once; the rare draw 9 shows flash 8.
  const std::pair<int, int> shots[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3},  {4, 4},
                                       {5, 5}, {6, 6}, {7, 7}, {13, 9}, {14, 8}};
  for (auto [k, draw] : shots) {
    Target* t = standOn(TargetAt(k), 9);
    t->jolt = 2;
    t->firing = 1;
    scriptRandom({drawFor(9, draw)});
    clearScreen();
    t->Draw();
    auto [dx, dy] = offsets[k];
    const uint32_t flash = flashRgb(draw > 8 ? 8 : draw);
    EXPECT_EQ(screenRgb(t->x + dx, t->y + dy), flash) << k;
    EXPECT_EQ(screenRgb(t->x + dx + 3, t->y + dy + 3), flash) << k;
    EXPECT_EQ(screenRgb(t->x - 44, t->y - 100), 0x2080F0u) << k;  // not lifted
    EXPECT_EQ(t->jolt, 2) << k;
    const int channelKind = k < 8 ? k : 0;
    EXPECT_EQ(chunkOn(figureShotChannel[channelKind]), soundBank.samples[Target01 + channelKind])
        << k;
    t->shown = false;
  }
}

TEST_F(TargetsTest, KindsThirteenAndFourteenWearKindZerosPictures) {
  pictures.figure[0] = figurePicture("zero.bmp", 0x112233);
  pictures.figureHit[0] = figurePicture("zerohit.bmp", 0x445566);
  for (int k : {13, 14}) {
    clearScreen();
    DrawFigure(k, 100, 200);
    EXPECT_EQ(screenRgb(56, 100), 0x112233u);
    DrawFigureHit(k, 100, 200);
    EXPECT_EQ(screenRgb(143, 299), 0x445566u);
  }
  // Their hit test reads kind 0's picture too.
  pictures.figure[0] = figurePicture("zerobg.bmp", BackgroundRgb);
  pictures.figure[12] = figurePicture("twelve.bmp", PersonRgb);
  Target* t13 = standOn(TargetAt(13), 0);
  Target* t12 = standOn(TargetAt(12), 1);
  t13->TakeDamage(t13->x, t13->y);
  t12->TakeDamage(t12->x, t12->y);
  EXPECT_EQ(t13->health, 5);
  EXPECT_EQ(t12->health, 2);
  // A kind without a picture draws nothing.
  clearScreen();
  DrawFigure(5, 100, 200);
  EXPECT_EQ(screenRgb(100, 200), 0u);
}
}  // namespace
