// Stop signals at the end of a round, in the test process: the request waits
// until the result is stored, as a cancelled entry is, then the program ends
// through the clean shutdown with the signal's status.
#include <csignal>

#include "app/shell.h"
#include "fixture.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/signals.h"
#include "scores/round_end.h"
#include "scores_support.h"
#include "weapons/weapons.h"

namespace {
const char* const Table =
    "1 Al 9 1 9 1 -M---\n2 Bo 8 1 9 1 -M---\n3 Cy 7 1 9 1 -M---\n4 Di 6 1 9 1 -M---\n"
    "5 Ed 5 1 9 1 -M---\n6 Flo 4 1 9 1 -M---\n7 Gil 3 1 9 1 -M---\n8 Hal 2 1 9 1 -M---\n"
    "9 Ivy 1 1 9 1 -M---\n10 Jo 0 1 9 1 -M---\n";

class StopSignalTest : public GameTest {
 protected:
  void TearDown() override {
    restoreStopSignals();
    GameTest::TearDown();
  }
};
}  // namespace

TEST_F(StopSignalTest, RoundEndStoresTheResultAsACancelledEntryThenEndsBySignal) {
  const std::string qualifiedTable =
      std::string(Table).substr(0, std::string(Table).find("10 Jo")) +
      "10 Anonymous 1 1 10 1 -M---\n";
  // SIGTERM alone: the test runner may have started with SIGINT or SIGHUP
  // ignored, which the game keeps.
  const struct {
    int score;
    bool inTheEntry;  // after a letter is typed; else during the 350 ms wait
    std::string table;
  } cases[] = {{1, false, qualifiedTable}, {1, true, qualifiedTable}, {0, false, Table}};
  for (const auto& c : cases) {
    startVideo();
    setExitHook([](int status) { throw ProgramExit{status}; });
    writeFile("data/data00.dat", Table);
    installStopSignals(stopGame);
    roundState.bodyCount = c.score;
    roundState.playerCount = 1;
    totalShots = 10;
    shell.chosenLevel = 0;
    players[Mouse].active = true;
    FrameScript script;  // a screen that does not end fails the test
    if (c.inTheEntry)
      script.then([] { mouseFireAt(28, 386); }).then([] {}).then([&] { raise(SIGTERM); });
    else
      setFakeSleepHook([&](uint32_t ms) {
        if (ms == 350) raise(SIGTERM);
      });
    int status = -1;
    try {
      RunRoundEnd();
    } catch (const ProgramExit& e) {
      status = e.status;
    }
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "shutdownGame did not run";
    EXPECT_EQ(readFile("data/data00.dat"), c.table);
    setFakeSleepHook(nullptr);
    resetGameState();
  }
}
