// The stop signals' handler, the request it marks and the stop action.
#include "platform/signals.h"

#include <csignal>

namespace {
const int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int StopSignalCount = sizeof stopSignals / sizeof stopSignals[0];

volatile sig_atomic_t requested = 0;
bool held = false;
bool installed[StopSignalCount] = {};
struct sigaction oldActions[StopSignalCount];
void (*stopAction)(int) = nullptr;

void markRequest(int signal) { requested = signal; }
}  // namespace

void installStopSignals(void (*onStop)(int signal)) {
  restoreStopSignals();
  stopAction = onStop;
  struct sigaction mark = {};
  mark.sa_handler = markRequest;
  sigemptyset(&mark.sa_mask);
  // Reads and writes the signal interrupts go on; only sleeps end early.
  mark.sa_flags = SA_RESTART;
  for (int i = 0; i < StopSignalCount; ++i) {
    sigaction(stopSignals[i], nullptr, &oldActions[i]);
    if (oldActions[i].sa_handler == SIG_IGN) continue;
    installed[i] = sigaction(stopSignals[i], &mark, nullptr) == 0;
  }
}

void restoreStopSignals() {
  for (int i = 0; i < StopSignalCount; ++i) {
    if (installed[i]) sigaction(stopSignals[i], &oldActions[i], nullptr);
    installed[i] = false;
  }
  requested = 0;
  held = false;
  stopAction = nullptr;
}

int stopSignal() { return requested; }

void requestStop(int why) { requested = why; }

bool stopHeld() { return held; }

void holdStopSignal(bool hold) { held = hold; }

void serviceStopSignal() {
  if (requested && !held && stopAction) stopAction(requested);
}
