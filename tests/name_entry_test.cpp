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

namespace {
using Step = std::function<void()>;
// The key of a character, shot with the mouse.
Step shoot(char c) {
  const char* rows[] = {"!&/()=?\xb4+*", "1234567890", "QWERTYUIOP", "ASDFGHJKL#", "ZXCVBNM,.-"};
  int column = 3, row = 5;  // the space bar
  for (int r = 0; r < 5; ++r)
    if (const char* p = strchr(rows[r], c)) column = static_cast<int>(p - rows[r]), row = r;
  return [=] { mouseFireAt(18 + 20 * column + 5, 336 + 20 * row + 5); };
}
const Step EndKey = [] { mouseFireAt(230, 380); };
const Step DeleteKey = [] { mouseFireAt(230, 340); };
Step tap(SDLKey key) {
  return [key] { pushKey(key, true), pushKey(key, false); };
}

// A round on the Tire Store by the mouse: 20 kills.
class NameEntryTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    startVideo();
    useReadableFont();
    pictures.hallOfFame = own(solidSurface(640, 480, 0));
    pictures.keyboard = own(solidSurface(220, 120, 0x0000FF));
    roundState.bodyCount = 20;
    roundState.gangstersLeft = 0;
    shell.chosenLevel = TireStore;
    memcpy(DeviceTag, "-M---", 6);
  }
  void TearDown() override {
    releaseReadableFont();
    GameTest::TearDown();
  }
  // The default table of a level without a file, an empty field, and the
  // entry run with one step per frame; every step must be used. The name
  // stored with the round's score.
  static std::string runEntry(const std::vector<Step>& steps) {
    std::remove("data/data01.dat");
    resetHiscores();
    LoadHiscores(TireStore);
    PrepareNameEntry();
    FrameScript script;
    for (const Step& step : steps) script.then(step);
    RunNameEntry();
    EXPECT_TRUE(script.finished());
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
  EXPECT_EQ(runEntry({DeleteKey, shoot('A'), shoot('B'), DeleteKey, shoot('C'),
                      [&] {
                        field = screenText(1, 18, 120);
                        keyboardDrawn =
                            screenRgb(17, 335) == 0x0000FF && screenRgb(16, 335) != 0x0000FF;
                        EndKey();
                      }}),
            "AC");
  EXPECT_EQ(field, "Please enter your name (20 chars) or press button 2 to cancel: AC" +
                       std::string(18, ' ') + ".");
  EXPECT_TRUE(keyboardDrawn);

  // A character beyond the twentieth ends the entry with twenty.
  const std::string twenty = "QWERTYUIOP1234567890";
  std::vector<Step> steps;
  for (char c : twenty + "Z") steps.push_back(shoot(c));
  EXPECT_EQ(runEntry(steps), twenty);
  EXPECT_STREQ(nameField, (twenty + ".").c_str());
}

TEST_F(NameEntryTest, WhoMayTypeAndWhoMayCancel) {
  // The keyboard's crosshair rests on "A"; the mouse played the round.
  players[Keyboard].cursorX = 18 + 5;
  players[Keyboard].cursorY = 336 + 60 + 5;
  const struct {
    const char* tag;
    int32_t backDevice;  // remembered from a button 2 on an earlier screen
    std::vector<Step> steps;
    std::string stored;
    int32_t cursor;
    bool cancelled;
  } cases[] = {
      // A device not in the tag fixed at the end of the round types nothing.
      {"-M---", -1, {tap(SDLK_LCTRL), shoot('B'), EndKey}, "B", 1, false},
      // Escape marks a back request without a device: keys still work, but
      // the row is stored anonymous.
      {"-M---", -1, {tap(SDLK_ESCAPE), shoot('W'), EndKey}, "Anonymous", 1, false},
      // A remembered button 2 of an eligible device cancels at the next action.
      {"-M---", Mouse, {tap(SDLK_ESCAPE), shoot('W')}, "Anonymous", 0, true},
      // Without a firing device in the tag every device types and cancels.
      {"T----", -1, {shoot('K'), EndKey}, "K", 1, false},
      {"T----", -1, {tap(SDLK_LALT)}, "Anonymous", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    memcpy(DeviceTag, c.tag, 6);
    resetMenuInput();
    menuInput.backDevice = c.backDevice;
    shell.backRequested = false;
    shell.screen = ScreenId::RoundEnd;
    EXPECT_EQ(runEntry(c.steps), c.stored);
    EXPECT_EQ(nameCursor, c.cursor);
    EXPECT_EQ(shell.screen, c.cancelled ? ScreenId::Title : ScreenId::RoundEnd);
  }
}
