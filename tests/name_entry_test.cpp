// The name entry: the key grid, who may type, the field and how the entry ends.
#include "scores/name_entry.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "scores/hiscores.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
// Screen points of some keys.
struct Point {
  int x, y;
};
Point keyAt(int column, int row) { return {18 + 20 * column + 5, 336 + 20 * row + 5}; }
Point keyOf(char c) {
  const char* rows[] = {"!&/()=?\xb4+*", "1234567890", "QWERTYUIOP", "ASDFGHJKL#", "ZXCVBNM,.-"};
  for (int r = 0; r < 5; ++r)
    if (const char* p = strchr(rows[r], c)) return keyAt(static_cast<int>(p - rows[r]), r);
  return keyAt(3, 5);  // the space bar
}
const Point EndKey{230, 380};
const Point DeleteKey{230, 340};

class NameEntryTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
    pictures.hallOfFame = solidSurface(640, 480, 0);
    pictures.keyboard = solidSurface(220, 120, 0x0000FF);
    roundState.bodyCount = 20;
    roundState.gangstersLeft = 0;
    roundState.playerCount = 1;
    totalShots = 33;
    shell.chosenWeapon = SixShooter;
    shell.chosenLevel = TireStore;
    startAfresh();
    players[Mouse].active = true;
    BuildDeviceTag();
  }
  void TearDown() override {
    releaseReadableFont();
    SDL_FreeSurface(pictures.hallOfFame);
    SDL_FreeSurface(pictures.keyboard);
    GameTest::TearDown();
  }
  // Runs the entry with one step per frame; every step must be used.
  static void runEntry(const std::vector<std::function<void()>>& steps) {
    FrameScript script;
    for (const auto& step : steps) script.then(step);
    RunNameEntry();
    EXPECT_TRUE(script.finished());
  }
  static std::function<void()> shoot(Point p) {
    return [p] { mouseFireAt(p.x, p.y); };
  }
  static std::function<void()> tap(SDLKey key) {
    return [key] { pushKey(key, true), pushKey(key, false); };
  }
  // The default table of a level without a file, and an empty field.
  static void startAfresh() {
    std::remove("data/data01.dat");
    resetHiscores();
    LoadHiscores(TireStore);
    PrepareNameEntry();
  }
  static std::string storedName() {
    for (const HiscoreEntry& e : hiscores.rows)
      if (e.score == 20) return e.name;
    return "(none)";
  }
};
}  // namespace

TEST_F(NameEntryTest, KeyGridEdges) {
  const struct {
    int x, y, key;
  } cases[] = {{18, 336, '!'},         {37, 355, '!'},          {38, 336, '&'},
               {17, 336, NameKeyNone}, {18, 335, NameKeyNone},  {220, 360, NameKeyEnd},
               {237, 395, NameKeyEnd}, {238, 395, NameKeyNone}, {230, 340, NameKeyDelete},
               {100, 450, ' '},        {237, 440, ' '},         {100, 456, NameKeyNone},
               {158, 336, 0xB4},       {220, 400, '|'},         {220, 420, '_'},
               {198, 435, '-'}};
  for (const auto& c : cases) EXPECT_EQ(NameKeyAt(c.x, c.y), c.key) << c.x << "," << c.y;
}

TEST_F(NameEntryTest, OnlyTaggedDevicesMayTypeUnlessNoTaggedDeviceCanFire) {
  const struct {
    const char* tag;
    const char* eligible;  // per device, T M K J J
  } cases[] = {{"-M-J-", "-M-J-"}, {"T-K--", "T-K--"}, {"-----", "TMKJJ"}, {"T----", "TMKJJ"}};
  for (const auto& c : cases) {
    memcpy(DeviceTag, c.tag, 6);
    for (int d = 0; d < DeviceCount; ++d)
      EXPECT_EQ(NameEntryEligible(d), c.eligible[d] != '-') << c.tag << " device " << d;
    EXPECT_FALSE(NameEntryEligible(-1));
    EXPECT_FALSE(NameEntryEligible(DeviceCount));
  }
}

TEST_F(NameEntryTest, TypingDeletingAndEndingStoresTheName) {
  std::string field;
  bool keyboardDrawn = false;
  // A delete on the empty field first: there is nothing to delete yet.
  runEntry({shoot(DeleteKey), shoot(keyOf('A')), shoot(keyOf('B')), shoot(DeleteKey),
            shoot(keyOf('C')), [&] {
              field = screenText(1, 18, 120);
              keyboardDrawn = screenRgb(17, 335) == 0x0000FF && screenRgb(16, 335) != 0x0000FF;
              mouseFireAt(EndKey.x, EndKey.y);
            }});
  EXPECT_EQ(field, "Please enter your name (20 chars) or press button 2 to cancel: AC" +
                       std::string(18, ' ') + ".");
  EXPECT_TRUE(keyboardDrawn);
  EXPECT_EQ(storedName(), "AC");
  EXPECT_EQ(hiscores.rows[0].shots, 33);
  EXPECT_STREQ(hiscores.rows[0].devices, "-M---");
}

TEST_F(NameEntryTest, TwentyFirstCharacterEndsTheEntryWithTwenty) {
  const std::string twenty = "QWERTYUIOP1234567890";
  std::vector<std::function<void()>> steps;
  for (char c : twenty + "Z") steps.push_back(shoot(keyOf(c)));
  runEntry(steps);
  EXPECT_EQ(storedName(), twenty);
  EXPECT_STREQ(nameField, (twenty + ".").c_str());
}

TEST_F(NameEntryTest, DeviceWithoutItsLetterTypesNothing) {
  // The keyboard joins during the entry: its crosshair is on "A" but it is not
  // in the tag fixed at the end of the round.
  players[Keyboard].cursorX = keyOf('A').x;
  players[Keyboard].cursorY = keyOf('A').y;
  runEntry({tap(SDLK_LCTRL), shoot(keyOf('B')), shoot(EndKey)});
  EXPECT_EQ(storedName(), "B");
}

TEST_F(NameEntryTest, EligibleButtonTwoCancelsAtOnceAndLeadsToTheTitle) {
  ASSERT_EQ(SaveHiscores(TireStore), 0);
  roundState.bodyCount = 20;
  shell.screen = ScreenId::RoundEnd;
  FrameScript script;
  script.then([] { mouseFireAt(keyOf('X').x, keyOf('X').y); })
      .then([] { mouseButton2(); })
      .then([] { mouseFireAt(1, 1); });  // the hiscore screen: a fire, yet the title
  RunRoundEnd();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(shell.screen, ScreenId::Title);
  EXPECT_FALSE(shell.backRequested);
  LoadHiscores(TireStore);
  EXPECT_EQ(storedName(), "Anonymous");
}

TEST_F(NameEntryTest, BackRequestThatCannotCancelIsRememberedAndStoresAnonymous) {
  // Escape marks a back request without a device: keys still work.
  runEntry({tap(SDLK_ESCAPE), shoot(keyOf('W')), shoot(EndKey)});
  EXPECT_EQ(nameCursor, 1);
  EXPECT_TRUE(shell.backRequested);
  EXPECT_EQ(storedName(), "Anonymous");
}

TEST_F(NameEntryTest, RememberedButtonTwoOfAnEligibleDeviceCancelsAtTheNextAction) {
  menuInput.backDevice = Mouse;  // from a button 2 on an earlier screen
  runEntry({tap(SDLK_ESCAPE), shoot(keyOf('W'))});
  EXPECT_EQ(nameCursor, 0);
  EXPECT_EQ(menuInput.backDevice, -1);
  EXPECT_EQ(storedName(), "Anonymous");
}

TEST_F(NameEntryTest, EntryWithoutAnyFiringDeviceInTheTagStillEnds) {
  memcpy(DeviceTag, "T----", 6);
  runEntry({shoot(keyOf('K')), shoot(EndKey)});
  EXPECT_EQ(storedName(), "K");
  startAfresh();
  runEntry({tap(SDLK_LALT)});
  EXPECT_EQ(shell.screen, ScreenId::Title);
  EXPECT_EQ(storedName(), "Anonymous");
}
