// Whole-game benchmarks that need a process of their own: start-up to the first
// title frame, and the peak resident memory of a round. Each measurement runs
// in a fresh copy of this runner (the same program, told by the environment
// what to measure), so nothing an earlier benchmark loaded counts.
#include "game_bench.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/screens.h"
#include "app/shell.h"
#include "game/displays.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "weapons/weapons.h"

namespace fs = std::filesystem;

namespace {
const char* const ChildVariable = "LAKEPORT_BENCH_CHILD";

struct FirstFrame {};

double processMillis() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The peak resident set of this process so far, in KiB (VmHWM).
long peakResidentKib() {
  FILE* f = fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  while (fgets(line, sizeof line, f))
    if (sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  fclose(f);
  return kib;
}

char** gameArguments() {
  static char name[] = "lakeport-nights";
  static char* argv[] = {name, nullptr};
  return argv;
}

// Child: start-up from its first call to the flip of the first title frame.
int measureStartup() {
  bool started = false;
  double wallMs = 0, cpuMs = 0;
  const auto wall0 = std::chrono::steady_clock::now();
  const double cpu0 = processMillis();
  setFlipHook([&] {
    if (!started) return;
    wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall0).count();
    cpuMs = processMillis() - cpu0;
    throw FirstFrame{};
  });
  if (startupGame(1, gameArguments()) != 0) return 1;
  started = true;
  try {
    runScreenLoop();
  } catch (const FirstFrame&) {
  }
  printf("startup %.3f %.3f\n", wallMs, cpuMs);
  return 0;
}

// Child: start-up, then a Garage round on the fake clock with the mouse's
// Thompson held down while it sweeps the screen, reloaded now and then, until
// the shot-mark list is full and beyond; then the peak resident memory.
int measureRoundMemory() {
  useFakeClock(1000, 1700000000);
  if (startupGame(1, gameArguments()) != 0) return 1;
  const long afterStartup = peakResidentKib();
  shell.chosenLevel = Garage;
  shell.chosenWeapon = Thompson;
  long frames = 0, pushedAt = -1;
  setFlipHook([&] {
    advanceFakeClock(16);
    ++frames;
  });
  setIdleHook([&] {
    if (pushedAt == frames) return;
    pushedAt = frames;
    SDL_Event e{};
    if (frames >= 3000) {
      e.type = SDL_KEYDOWN;
      e.key.keysym.sym = SDLK_ESCAPE;
      SDL_PushEvent(&e);
      return;
    }
    const Uint16 x = static_cast<Uint16>(320 + 300 * std::sin(frames * 0.037));
    const Uint16 y = static_cast<Uint16>(230 + 220 * std::sin(frames * 0.023));
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
    // The left button goes down again and again (the trigger stays held); now
    // and then the right button reloads.
    const bool reload = frames % 240 == 0;
    for (Uint8 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      if (type == SDL_MOUSEBUTTONUP && !reload) break;
      e = SDL_Event{};
      e.type = type;
      e.button.button = reload ? 3 : 1;
      e.button.x = x;
      e.button.y = y;
      SDL_PushEvent(&e);
    }
  });
  RunRound();
  int marks = 0;
  while (marks < ShotMarkCapacity && shotMarks.entries[marks].x >= 0) ++marks;
  printf("memory %ld %ld %ld %d %d\n", peakResidentKib(), afterStartup, frames, totalShots, marks);
  return 0;
}

// Runs this program again with what to measure; the numbers it printed after
// its key word, or an empty list when it failed.
std::vector<double> runChild(const char* what, const char* key, int count) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  self[n] = '\0';
  setenv(ChildVariable, what, 1);
  const std::string command = std::string("'") + self + "' 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  unsetenv(ChildVariable);
  if (!p) return {};
  std::vector<double> numbers;
  char word[64];
  if (fscanf(p, "%63s", word) == 1 && strcmp(word, key) == 0) {
    double v;
    for (int i = 0; i < count && fscanf(p, "%lf", &v) == 1; ++i) numbers.push_back(v);
  }
  if (pclose(p) != 0 || static_cast<int>(numbers.size()) != count) return {};
  return numbers;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Start-up with the default art and no tracker, from startupGame to the flip of
// the first title frame, in a fresh process each time: wall-clock and processor
// milliseconds beside the 250 ms it should stay within.
void BM_StartupToFirstTitleFrame(benchmark::State& state) {
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    const std::vector<double> r = runChild("startup", "startup", 2);
    if (r.empty()) {
      state.SkipWithError("the start-up run failed (no default art?)");
      return;
    }
    wall.push_back(r[0]);
    cpu.push_back(r[1]);
    state.SetIterationTime(r[0] / 1e3);
  }
  state.counters["wall_ms"] = median(wall);
  state.counters["cpu_ms"] = median(cpu);
  state.counters["target_ms"] = 250;
}
BENCHMARK(BM_StartupToFirstTitleFrame)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The peak resident memory of a fresh process through start-up and a round that
// fills the shot-mark list, beside the 64 MiB it should stay within.
void BM_PeakResidentMemoryOfARound(benchmark::State& state) {
  for (auto _ : state) {
    const std::vector<double> r = runChild("round-memory", "memory", 5);
    if (r.empty()) {
      state.SkipWithError("the round run failed (no default art?)");
      return;
    }
    state.counters["peak_MiB"] = r[0] / 1024;
    state.counters["after_startup_MiB"] = r[1] / 1024;
    state.counters["frames"] = r[2];
    state.counters["shots"] = r[3];
    state.counters["marks"] = r[4];
    state.counters["target_MiB"] = 64;
  }
}
BENCHMARK(BM_PeakResidentMemoryOfARound)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace

std::string enterGameDirectory(std::string* why) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("LAKEPORT_TRACKER_PORT", "", 1);
  const fs::path built(LAKEPORT_GAME_BUILD_DIR);
  if (!fs::exists(built / "pics" / "title.jpg")) {
    *why = "the build made no default art in " + built.string();
    return "";
  }
  char dir[] = "/tmp/lakeport-bench-XXXXXX";
  if (!mkdtemp(dir)) {
    *why = "no temporary folder";
    return "";
  }
  std::error_code ec;
  fs::create_directory_symlink(built / "pics", fs::path(dir) / "pics", ec);
  fs::create_directory_symlink(built / "sounds", fs::path(dir) / "sounds", ec);
  fs::create_directory(fs::path(dir) / "data", ec);
  if (ec || chdir(dir) != 0) {
    *why = std::string("cannot set up ") + dir;
    return "";
  }
  return dir;
}

void leaveGameDirectory(const std::string& dir) {
  std::error_code ignored;
  fs::current_path("/", ignored);
  fs::remove_all(dir, ignored);
}

double threadMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

double twoScreenCopyMicros() {
  constexpr size_t ScreenBytes = 640 * 480 * 3;
  std::vector<unsigned char> a(ScreenBytes, 1), b(ScreenBytes, 2), c(ScreenBytes, 3),
      d(ScreenBytes, 4);
  std::vector<double> times;
  for (int i = 0; i < 301; ++i) {
    const double t0 = threadMicros();
    memcpy(b.data(), a.data(), ScreenBytes);
    memcpy(d.data(), c.data(), ScreenBytes);
    benchmark::ClobberMemory();
    times.push_back(threadMicros() - t0);
  }
  return median(times);
}

// The runner's entry: a child measurement when the environment asks for one,
// otherwise the benchmarks.
int main(int argc, char** argv) {
  if (const char* what = getenv(ChildVariable)) {
    std::string why;
    const std::string dir = enterGameDirectory(&why);
    if (dir.empty()) {
      fprintf(stderr, "%s\n", why.c_str());
      return 1;
    }
    const int status = strcmp(what, "startup") == 0        ? measureStartup()
                       : strcmp(what, "round-memory") == 0 ? measureRoundMemory()
                                                           : 2;
    fflush(stdout);
    leaveGameDirectory(dir);
    // The mixer's thread still runs: leave without tearing anything down.
    _exit(status);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
