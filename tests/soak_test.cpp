// A soak of the whole game: random input from every device on every screen; after
// every frame the shot marks, figures, counters and hiscore files must be sound.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>
#include <tuple>

#include "app/shell.h"
#include "figure_helpers.h"
#include "game/round.h"
#include "input/menu_input.h"
#include "input/players.h"
#include "platform/joystick.h"
#include "play_driver.h"
#include "scores/hiscores.h"
#include "scores/name_entry.h"
#include "weapons/weapons.h"

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr long DefaultFrames = 10000;
#else
constexpr long DefaultFrames = 170000;
#endif
struct SoakDone {};

using FileStamp = std::tuple<bool, ino_t, off_t, time_t, long>;
FileStamp stampOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {};
  return {true, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// The table in memory as its file holds it: seven fields a row, spaces as "^".
std::string tableAsFile(const HiscoreTable& table) {
  std::string text;
  for (const HiscoreEntry& e : table.rows) {
    std::string name = e.name;
    std::replace(name.begin(), name.end(), ' ', '^');
    char line[128];
    snprintf(line, sizeof line, "%d %s %d %d %d %d %s\n", e.position, name.c_str(), e.score,
             e.weapon, e.shots, e.playerCount, e.devices);
    text += line;
  }
  return text;
}

class SoakTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!useDefaultAssets()) GTEST_SKIP() << "the build made no default art";
  }

  int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  bool chance(int oneIn) { return pick(oneIn) == 0; }
  std::pair<int, int> somewhere() {  // often where something can be hit
    switch (shell.screen) {
      case ScreenId::WeaponChoice:
      case ScreenId::LevelChoice: return {pick(640), chance(3) ? pick(480) : 60 + pick(110)};
      case ScreenId::RoundEnd:
        return {chance(4) ? pick(640) : 10 + pick(240), chance(4) ? pick(480) : 330 + pick(135)};
      case ScreenId::Round:
        if (const Target* t = TargetAt(pick(TargetCount)); !chance(3) && t->shown)
          return {t->x - 50 + pick(100), t->y - 105 + pick(210)};
        [[fallthrough]];
      default: return {pick(640), pick(480)};
    }
  }

  // One frame's random input from every device. Button 2 on the title ends the
  // program: only late in a start. Nothing follows a release in one batch.
  void randomInput() {
    const bool backOk = shell.screen != ScreenId::Title || framesThisStart > 25000;
    static const SDLKey keys[] = {SDLK_UP,    SDLK_DOWN,   SDLK_LEFT, SDLK_RIGHT, SDLK_LCTRL,
                                  SDLK_RCTRL, SDLK_1,      SDLK_2,    SDLK_3,     SDLK_SPACE,
                                  SDLK_a,     SDLK_RETURN, SDLK_LALT, SDLK_RALT};
    static const int16_t values[] = {0, 3500, -3500, 3501, 32767, -32768, 12000, -9000};
    bool released = false;
    for (int e = pick(4); e > 0 && !released; --e) {
      const auto [x, y] = somewhere();
      const bool down = chance(2);
      const int k = pick(14), b = pick(4), what = pick(10);
      if (what < 2) {
        pushMouseMotion(x, y);
      } else if (what < 4) {
        pushMouseButton(chance(3) && backOk ? 3 : 1, down, x, y), released = !down;
      } else if (what < 7) {  // Alt is button 2
        if (k < 12 || down || backOk) pushKey(keys[k], down);
        released = !down && k >= 4;
      } else if (what == 7) {  // Escape: pressed it ends a round, released it goes back
        if (shell.screen == ScreenId::Round ? chance(400) : chance(20) && backOk)
          pushKey(SDLK_ESCAPE, shell.screen == ScreenId::Round);
      } else if (chance(2)) {  // the sticks are read, not queued
        setFakeAxis(pick(2), pick(4), values[pick(8)]);
      } else if (b % 2 == 0 || backOk) {  // buttons 1 and 3 are a button 2
        setFakeButton(pick(2), b, down);
      }
    }
  }

  void checkFrame(long frame) {  // all that must hold after every frame
    SCOPED_TRACE("frame " + std::to_string(frame) + " on " + screenName(shell.screen));
    // Shot marks: one run from entry 0; past the first free one, all emptied.
    for (int i = usedShotMarks() + 1; i < ShotMarkCapacity; ++i)
      ASSERT_TRUE(shotMarks.entries[i].x == -10 && shotMarks.entries[i].y == -10) << i;
    // Standing figures each on their own taken place (once they are made).
    int holder[SlotCount], gangstersStanding = 0;
    std::fill(std::begin(holder), std::end(holder), -1);
    for (int i = 0; i < TargetCount && targetField.figures; ++i) {
      const Target* t = TargetAt(i);
      if (!t->shown) continue;
      gangstersStanding += t->isGangster;
      ASSERT_TRUE(t->slot >= 0 && t->slot < SlotCount && holder[t->slot] == -1 &&
                  targetField.slots.occupied[t->slot] && t->x == (t->slot % 6) * 104 + 60 &&
                  t->y == (t->slot < 6 ? 126 : 354) && t->health <= 5)
          << "figure " << i << " on place " << t->slot << " at " << t->x << "," << t->y;
      holder[t->slot] = i;
    }
    const RoundState& r = roundState;
    ASSERT_TRUE(r.energy <= 100 && r.energy >= -9 && r.bodyCount <= 30 && r.bodyCount > -2000 &&
                r.gangstersLeft <= 30 && r.gangstersToCome >= 0 &&
                r.gangstersToCome <= r.gangstersLeft && r.playerCount >= 0 &&
                r.playerCount <= DeviceCount && totalShots >= 0)
        << r.energy << " " << r.bodyCount << " " << r.gangstersLeft << " " << r.gangstersToCome;
    ASSERT_TRUE(shell.screen < ScreenId::Round ||
                r.gangstersLeft - r.gangstersToCome == gangstersStanding);
    // The keyboard takes kicks unclamped (the tracker aims where it likes); the
    // others are clamped at their next move, a kick 10 out or 20 up.
    for (const Player& p : players)
      ASSERT_TRUE(p.shotsFired >= 0 && p.shotsFired <= 40 &&
                  (&p == &players[Tracker] || &p == &players[Keyboard] ||
                   (p.cursorX >= -10 && p.cursorX <= 649 && p.cursorY >= -20 && p.cursorY <= 479)))
          << "device " << &p - players << " at " << p.cursorX << ", " << p.cursorY;
    ASSERT_TRUE(shell.chosenWeapon >= 0 && shell.chosenWeapon <= 2 && shell.chosenLevel >= 0 &&
                shell.chosenLevel <= 4 && nameCursor >= 0 && nameCursor <= 20 &&
                nameField[20] == '.' && menuInput.selectDevice >= -1 &&
                menuInput.selectDevice < DeviceCount && menuInput.backDevice >= -1 &&
                menuInput.backDevice < DeviceCount);
    // A hiscore file written holds the table byte for byte, with nothing beside it.
    for (int level = 0; level < 5; ++level) {
      const std::string path = HiscoreFileName(level);
      const FileStamp now = stampOf(path);
      if (now == stamps[level]) continue;
      stamps[level] = now;
      ++saves;
      ASSERT_TRUE(std::get<0>(now)) << path << " vanished";
      ASSERT_EQ(hiscoreLevel, level) << path << " changed but another level is in memory";
      ASSERT_EQ(readFile(path), tableAsFile(hiscores)) << path;
      for (const auto& e : std::filesystem::directory_iterator("data"))
        ASSERT_TRUE(e.path().filename().string().rfind("data0", 0) == 0 &&
                    e.path().extension() == ".dat")
            << e.path();
    }
  }

  long framesThisStart = 0;
  std::mt19937 rng{20261206};
  std::array<FileStamp, 5> stamps{};
  long saves = 0;
};
}  // namespace

TEST_F(SoakTest, RandomInputOnEveryScreenKeepsTheGameSound) {
  // Tables nearly every round beats: most rounds end in a name entry and a save.
  for (int level = 0; level < 5; ++level) {
    std::string table;
    for (int row = 1; row <= HiscoreRows; ++row)
      table += std::to_string(row) + " Low^" + std::to_string(row) + " " +
               std::to_string(-100 - row) + " 1 10 1 -M---\n";
    writeFile(HiscoreFileName(level), table);
    stamps[level] = stampOf(HiscoreFileName(level));
  }
  const char* asked = getenv("LAKEPORT_SOAK_FRAMES");
  const long target = asked ? atol(asked) : DefaultFrames;
  long frames = 0;
  int starts = 0, rounds = 0;
  for (bool done = false; !done && !HasFatalFailure();) {
    if (starts > 0) newProcess();
    useFakeJoysticks(2);
    PlayDriver driver;
    driver.onInput = [&] { randomInput(); };
    driver.onFrame = [&] {
      framesThisStart = driver.frames();
      rounds += shell.screen == ScreenId::Round && driver.framesOnScreen() == 1;
      checkFrame(frames + driver.frames());
      if (HasFatalFailure() || frames + driver.frames() >= target) throw SoakDone{};
    };
    std::vector<std::string> args{"lakeport-nights", "kiosk"};  // exactly one argument: kiosk
    args.resize(1 + starts++ % 2);
    try {
      EXPECT_EQ(driver.play(args, target + 1), 0) << "the game ended with another status";
    } catch (const SoakDone&) {
      done = true;
    } catch (const PlayStuck& stuck) {
      ADD_FAILURE() << stuck.why;
      done = true;
    }
    frames += driver.frames();
  }
  printf("soak: %ld frames, %d starts, %d rounds, %ld saves\n", frames, starts, rounds, saves);
  EXPECT_GE(frames, target);
  EXPECT_GT(rounds, 2);
}
