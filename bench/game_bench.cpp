// Whole-game benchmarks that need a process of their own, each on classic SDL
// 1.2 and on sdl12-compat side by side, on an Xvfb server of their own: start-up
// to the first title frame, the peak resident memory of a round, frames per
// second on the weapon choice and of the flip alone. Each measurement runs in a
// fresh copy of this runner (the same program, told by the environment what to
// measure), so nothing an earlier benchmark loaded counts.
#include "game_bench.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/screens.h"
#include "app/shell.h"
#include "game/displays.h"
#include "game/round.h"
#include "input/players.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/events.h"
#include "weapons/weapons.h"

namespace fs = std::filesystem;

namespace {
const char* const ChildVariable = "LAKEPORT_BENCH_CHILD";
const char* const OnXVariable = "LAKEPORT_BENCH_ON_X";
constexpr double FpsSeconds = 2.0;  // how long a child counts frames

struct Library {
  const char* name;
  const char* preload;  // put in front of the game's own libSDL-1.2.so.0
};
const Library libraries[] = {{"classic", ""}, {"sdl12-compat", LAKEPORT_SDL12_COMPAT}};

struct Stop {};

// Queues a key going down, or a pointer event at a game point.
void pushKey(SDLKey key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  SDL_PushEvent(&e);
}

void pushPointer(Uint8 type, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = static_cast<Uint16>(x), e.motion.y = static_cast<Uint16>(y);
  } else {
    e.button.button = button;
    e.button.x = static_cast<Uint16>(x), e.button.y = static_cast<Uint16>(y);
  }
  // Pushed events skip the screen mapping that pollEvent gives SDL's own.
  unmapPointerEvent(&e);
  SDL_PushEvent(&e);
}

double processMillis() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
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
    wallMs = since(wall0) * 1e3;
    cpuMs = processMillis() - cpu0;
    throw Stop{};
  });
  if (startupGame(1, gameArguments()) != 0) return 1;
  started = true;
  try {
    runScreenLoop();
  } catch (const Stop&) {
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
    if (frames >= 3000) {
      pushKey(SDLK_ESCAPE);
      return;
    }
    const int x = static_cast<int>(320 + 300 * std::sin(frames * 0.037));
    const int y = static_cast<int>(230 + 220 * std::sin(frames * 0.023));
    pushPointer(SDL_MOUSEMOTION, 0, x, y);
    // The left button goes down again and again (the trigger stays held); now
    // and then the right button reloads.
    if (frames % 240 == 0) {
      pushPointer(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, x, y);
      pushPointer(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, x, y);
    } else {
      pushPointer(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    }
  });
  RunRound();
  int marks = 0;
  while (marks < ShotMarkCapacity && shotMarks.entries[marks].x >= 0) ++marks;
  printf("memory %ld %ld %ld %d %d\n", peakResidentKib(), afterStartup, frames, totalShots, marks);
  return 0;
}

// Child: the game's frames per second on the weapon choice, wall time, while
// the mouse aims across it a few pixels a frame (a few rows change each frame).
int measureWeaponChoice() {
  if (startupGame(1, gameArguments()) != 0) return 1;
  shell.screen = ScreenId::WeaponChoice;
  long frames = 0, pushedAt = -1;
  auto t0 = std::chrono::steady_clock::now();
  setFlipHook([&] {
    if (++frames == 10) t0 = std::chrono::steady_clock::now();  // past the first whole frames
    if (frames > 10 && since(t0) >= FpsSeconds) throw Stop{};
  });
  setIdleHook([&] {
    if (pushedAt == frames) return;
    pushedAt = frames;
    pushPointer(SDL_MOUSEMOTION, 0, static_cast<int>(5 * frames % 600) + 20,
                static_cast<int>(3 * frames % 440) + 20);
  });
  try {
    runScreenLoop();
  } catch (const Stop&) {
  }
  printf("fps %.1f\n", (frames - 10) / since(t0));
  return 0;
}

// Child: frames per second of the game's flip alone, every row changing.
int measureFlip() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) return 1;
  SDL_Surface* game = openGameScreen();
  if (!game) return 1;
  long frames = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (; since(t0) < FpsSeconds; ++frames) {
    SDL_FillRect(game, nullptr, SDL_MapRGB(game->format, frames & 0xFF, 40, 80));
    presentFrame(game);
  }
  printf("fps %.1f\n", frames / since(t0));
  return 0;
}

// An Xvfb server of its own, with one 24-bit screen of w by h pixels; its
// display is "" when none started.
class XServer {
 public:
  XServer(int w, int h) {
    for (int number = 100; number < 108 && display.empty(); ++number) start(w, h, number);
  }
  ~XServer() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
  }
  std::string display;

 private:
  void start(int w, int h, int number) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
      close(fds[0]);
      const int quiet = open("/dev/null", O_WRONLY);
      if (quiet >= 0) dup2(quiet, 2);
      const std::string fd = std::to_string(fds[1]), name = ":" + std::to_string(number),
                        screen = std::to_string(w) + "x" + std::to_string(h) + "x24";
      execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
             "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its number, then a newline: the pipe stays open until
    // both came, or the second write fails and ends the server.
    std::string said;
    char c;
    while (pid > 0 && said.find('\n') == std::string::npos && read(fds[0], &c, 1) == 1) said += c;
    close(fds[0]);
    const bool up = said.find('\n') != std::string::npos;
    if (up) {
      display = ":" + std::to_string(number);
    } else if (pid > 0) {
      waitpid(pid, nullptr, 0);  // the number was taken
      pid = -1;
    }
  }
  pid_t pid = -1;
};

// Runs this program again with what to measure on the library, on an X server
// of w by h; the numbers it printed after its key word, or an empty list when
// it failed.
std::vector<double> runChild(const char* what, const char* key, int count, const Library& lib,
                             const std::string& display) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  self[n] = '\0';
  const std::string command = std::string(ChildVariable) + "=" + what + " " + OnXVariable +
                              "=1 DISPLAY=" + display + " LD_PRELOAD='" + lib.preload + "' '" +
                              self + "' 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
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

// Runs the child once an iteration on its own server of w by h, on the
// library; `take` reads each run's numbers. False (the benchmark skipped) when
// a run failed.
bool eachRun(benchmark::State& state, const char* what, const char* key, int count,
             const Library& lib, int w, int h,
             const std::function<void(const std::vector<double>&)>& take) {
  if (!*lib.preload && strcmp(lib.name, libraries[0].name) != 0) {
    state.SkipWithError("sdl12-compat is not installed (libsdl1.2-compat)");
    return false;
  }
  for (auto _ : state) {
    XServer x(w, h);
    const std::vector<double> r =
        x.display.empty() ? std::vector<double>{} : runChild(what, key, count, lib, x.display);
    if (r.empty()) {
      state.SkipWithError(x.display.empty() ? "Xvfb did not start"
                                            : "the run failed (no default art?)");
      return false;
    }
    take(r);
  }
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
  return true;
}

// Start-up with the default art and no tracker, from startupGame to the flip of
// the first title frame, in a fresh process each time: wall-clock and processor
// milliseconds beside the 250 ms it should stay within.
void startup(benchmark::State& state, const Library& lib) {
  std::vector<double> wall, cpu;
  if (!eachRun(state, "startup", "startup", 2, lib, 640, 480, [&](const std::vector<double>& r) {
        wall.push_back(r[0]), cpu.push_back(r[1]);
        state.SetIterationTime(r[0] / 1e3);
      }))
    return;
  state.counters["wall_ms"] = median(wall);
  state.counters["cpu_ms"] = median(cpu);
  state.counters["target_ms"] = 250;
}

// The peak resident memory of a fresh process through start-up and a round that
// fills the shot-mark list, beside the 64 MiB it should stay within.
void peakMemory(benchmark::State& state, const Library& lib) {
  eachRun(state, "round-memory", "memory", 5, lib, 640, 480, [&](const std::vector<double>& r) {
    state.counters["peak_MiB"] = r[0] / 1024;
    state.counters["after_startup_MiB"] = r[1] / 1024;
    state.counters["frames"] = r[2];
    state.counters["shots"] = r[3];
    state.counters["marks"] = r[4];
    state.counters["target_MiB"] = 64;
  });
}

// Frames per second of a child on a w by h server: the median of the runs.
void framesPerSecond(benchmark::State& state, const char* what, const Library& lib, int w, int h) {
  std::vector<double> fps;
  if (eachRun(state, what, "fps", 1, lib, w, h,
              [&](const std::vector<double>& r) { fps.push_back(r[0]); }))
    state.counters["fps"] = median(fps);
}

const bool registered = [] {
  for (const Library& lib : libraries) {
    const std::string on = std::string("/") + lib.name;
    benchmark::RegisterBenchmark(("StartupToFirstTitleFrame" + on).c_str(), startup, lib)
        ->Iterations(7)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PeakResidentMemoryOfARound" + on).c_str(), peakMemory, lib)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    for (auto [w, h] : {std::pair{640, 480}, {1920, 1080}}) {
      const std::string size = "/" + std::to_string(w) + "x" + std::to_string(h);
      benchmark::RegisterBenchmark(("WeaponChoiceFramesPerSecond" + size + on).c_str(),
                                   framesPerSecond, "weapon-choice", lib, w, h)
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("FlipFramesPerSecond" + size + on).c_str(), framesPerSecond,
                                   "flip", lib, w, h)
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();
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
    if (getenv(OnXVariable)) unsetenv("SDL_VIDEODRIVER");
    const int status = strcmp(what, "startup") == 0         ? measureStartup()
                       : strcmp(what, "round-memory") == 0  ? measureRoundMemory()
                       : strcmp(what, "weapon-choice") == 0 ? measureWeaponChoice()
                       : strcmp(what, "flip") == 0          ? measureFlip()
                                                            : 2;
    fflush(stdout);
    leaveGameDirectory(dir);
    // The mixer's thread still runs: leave without tearing anything down.
    _exit(status);
  }
  (void)registered;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
