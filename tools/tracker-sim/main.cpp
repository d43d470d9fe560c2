// lakeport-tracker-sim: a pseudo-terminal that answers like the motion tracker,
// so that the tracker player can be tried without the hardware.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim_tracker.h"

namespace {
const char* const Usage =
    "usage: lakeport-tracker-sim [--stdin] [--absent]\n"
    "Prints the path of a pseudo-terminal that answers like the motion tracker;\n"
    "name it in LAKEPORT_TRACKER_PORT when starting the game.\n"
    "  (no option)  goes to the background and aims along a path of its own\n"
    "  --stdin      stays in the foreground and aims at the screen pixels read\n"
    "               from standard input, one \"x y\" pair a line\n"
    "  --absent     reports zeros where the tracker shows it is there, so the\n"
    "               game runs without it\n"
    "It ends when the game that used the device closes it, or when no game\n"
    "opened it within ten minutes.\n";

constexpr double TwoPi = 6.283185307179586;
constexpr int IdleSeconds = 600;

// A slow figure of eight over most of the screen.
void aimAlongPath(SimTracker* sim, double seconds) {
  aimSimTracker(sim, 320 + 260 * std::sin(TwoPi * seconds / 12.0),
                240 + 180 * std::sin(TwoPi * seconds / 6.0));
}

// Takes every whole "x y" line of the bytes read so far from standard input.
void takeAimLines(SimTracker* sim, std::string* pending) {
  size_t end;
  while ((end = pending->find('\n')) != std::string::npos) {
    const std::string line = pending->substr(0, end);
    pending->erase(0, end + 1);
    double x, y;
    char extra;
    if (sscanf(line.c_str(), "%lf %lf %c", &x, &y, &extra) == 2 && std::isfinite(x) &&
        std::isfinite(y))
      aimSimTracker(sim, x, y);
    else if (line.find_first_not_of(" \t\r") != std::string::npos)
      fprintf(stderr, "lakeport-tracker-sim: not an \"x y\" pair: %s\n", line.c_str());
  }
  // A line that never ends is not held forever.
  if (pending->size() > 4096) pending->clear();
}

// Moves to the background: the caller's $(...) ends once standard output closes.
bool detach() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child > 0) _exit(0);
  setsid();
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    if (null > STDERR_FILENO) close(null);
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  bool fromStdin = false, absent = false;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--stdin")) {
      fromStdin = true;
    } else if (!strcmp(argv[i], "--absent")) {
      absent = true;
    } else if (!strcmp(argv[i], "--help")) {
      fputs(Usage, stdout);
      return 0;
    } else {
      fprintf(stderr, "lakeport-tracker-sim: unknown option %s\n%s", argv[i], Usage);
      return 2;
    }
  }

  SimTracker sim;
  if (!openSimTracker(&sim, false)) {
    fprintf(stderr, "lakeport-tracker-sim: cannot open a pseudo-terminal: %s\n", strerror(errno));
    return 1;
  }
  if (absent) sim.numbers[3] = sim.numbers[4] = sim.numbers[5] = 0.0;
  printf("%s\n", sim.path.c_str());
  fflush(stdout);
  if (!fromStdin && !detach()) {
    fprintf(stderr, "lakeport-tracker-sim: cannot go to the background: %s\n", strerror(errno));
    return 1;
  }

  const auto start = std::chrono::steady_clock::now();
  std::string pending;
  bool stdinOpen = fromStdin;
  bool opened = false;
  for (;;) {
    pollfd watch[2] = {{sim.master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    poll(watch, stdinOpen ? 2 : 1, 200);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (stdinOpen && (watch[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      char bytes[512];
      const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
      if (n > 0)
        pending.append(bytes, static_cast<size_t>(n));
      else if (n == 0 || errno != EINTR)
        stdinOpen = false;  // keep the last aim
      takeAimLines(&sim, &pending);
    }
    if (!fromStdin) aimAlongPath(&sim, seconds);
    if (serveSimTracker(&sim) < 0) break;
    // Only whether anything came matters here; the bytes need not pile up.
    opened = opened || !sim.received.empty();
    sim.received.clear();
    if (!opened && seconds > IdleSeconds) {
      fprintf(stderr, "lakeport-tracker-sim: no game opened %s; ending\n", sim.path.c_str());
      closeSimTracker(&sim);
      return 1;
    }
  }
  closeSimTracker(&sim);
  return 0;
}
