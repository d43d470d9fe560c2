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
class StopSignalTest : public GameTest {
 protected:
  void TearDown() override {
    restoreStopSignals();
    GameTest::TearDown();
  }
};
}  // namespace

// SIGTERM alone: the test runner may have started with SIGINT or SIGHUP
// ignored, which the game keeps. A score of 1 takes the last row as
// "Anonymous", a score of 0 leaves the table as it was.
TEST_F(StopSignalTest, RoundEndStoresTheResultAsACancelledEntryThenEndsBySignal) {
  std::string table;
  for (int i = 1; i <= 10; ++i)
    table += std::to_string(i) + " P" + std::to_string(i) + " " + std::to_string(10 - i) +
             " 1 9 1 -M---\n";
  const std::string taken = table.substr(0, table.find("10 P10")) + "10 Anonymous 1 1 10 1 -M---\n";
  for (auto [score, inTheEntry, want] :
       {std::tuple{1, false, taken}, {1, true, taken}, {0, false, table}}) {
    startVideo();
    setExitHook([](int status) { throw ProgramExit{status}; });
    writeFile("data/data00.dat", table);
    installStopSignals(stopGame);
    roundState.bodyCount = score;
    roundState.playerCount = 1;
    totalShots = 10;
    shell.chosenLevel = 0;
    players[Mouse].active = true;
    FrameScript script;  // a screen that does not end fails the test
    if (inTheEntry)      // after a letter is typed; else during the 350 ms wait
      script.then([] { mouseFireAt(28, 386); }).then([] {}).then([] { raise(SIGTERM); });
    else
      setFakeSleepHook([](uint32_t ms) {
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
    EXPECT_EQ(readFile("data/data00.dat"), want);
    setFakeSleepHook(nullptr);
    resetGameState();
  }
}
