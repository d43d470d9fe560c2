// The stand-in tracker's side of the serial link.
#include "sim_tracker.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
// One number right-aligned in a 7-byte field with at least one space before it,
// with as many of two decimals as fit.
std::string formatField(double value) {
  if (!std::isfinite(value)) value = 0.0;
  if (value > 999999.0) value = 999999.0;
  if (value < -99999.0) value = -99999.0;
  char field[32];
  for (int decimals = 2; decimals >= 0; --decimals) {
    const int n = snprintf(field, sizeof field, " %6.*f", decimals, value);
    if (n == 7) break;
  }
  return std::string(field, 7);
}

// The screen coordinate's centre in tracker units: the game truncates toward
// zero, so aiming at the middle of the pixel survives two decimals of rounding.
double pixelCentre(double pixel) { return (pixel < 0 ? pixel - 0.5 : pixel + 0.5) / 4.8; }

int waitingOn(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) < 0 ? -1 : n;
}
}  // namespace

std::string formatTrackerRecord(char station, const double numbers[6]) {
  std::string record{'0', station, ' '};
  for (int i = 0; i < 6; ++i) record += formatField(numbers[i]);
  record += "\r\n";
  return record;
}

bool openSimTracker(SimTracker* sim, bool holdPeer) {
  sim->master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (sim->master < 0) return false;
  const char* name = nullptr;
  termios line{};
  if (grantpt(sim->master) < 0 || unlockpt(sim->master) < 0 || !(name = ptsname(sim->master)) ||
      tcgetattr(sim->master, &line) < 0) {
    const int saved = errno;
    closeSimTracker(sim);
    errno = saved;
    return false;
  }
  sim->path = name;
  // The master's settings are the device side's: raw, so that nothing the game
  // has not set up yet echoes or rewrites bytes.
  cfmakeraw(&line);
  tcsetattr(sim->master, TCSANOW, &line);
  if (holdPeer) {
    sim->peer = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (sim->peer < 0) {
      const int saved = errno;
      closeSimTracker(sim);
      errno = saved;
      return false;
    }
  }
  const double presence[6] = {10.0, 0.0, 0.0, 0.0, 0.0, 1.0};
  for (int i = 0; i < 6; ++i) sim->numbers[i] = presence[i];
  aimSimTracker(sim, 320, 240);
  return true;
}

void closeSimTracker(SimTracker* sim) {
  if (sim->peer >= 0) close(sim->peer);
  if (sim->master >= 0) close(sim->master);
  sim->peer = sim->master = -1;
}

bool sendSimTracker(SimTracker* sim, const std::string& bytes) {
  const int before = sim->peer >= 0 ? waitingOn(sim->peer) : 0;
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = write(sim->master, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd out{sim->master, POLLOUT, 0};
      if (poll(&out, 1, 1000) <= 0) return false;
    } else if (n < 0 && errno != EINTR) {
      return false;
    }
  }
  if (sim->peer < 0) return true;
  // The kernel hands the bytes over to the device side a moment later.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (waitingOn(sim->peer) < before + static_cast<int>(bytes.size())) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    pollfd in{sim->peer, POLLIN, 0};
    poll(&in, 1, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return true;
}

void aimSimTracker(SimTracker* sim, double x, double y) {
  sim->numbers[2] = pixelCentre(x);
  sim->numbers[1] = pixelCentre(y) - 100.0;
}

int serveSimTracker(SimTracker* sim) {
  // Reading until nothing is left also takes bytes the kernel is still handing over.
  char bytes[512];
  int taken = 0;
  for (;;) {
    const ssize_t n = read(sim->master, bytes, sizeof bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EIO) return taken > 0 ? taken : -1;  // the game closed the device
    if (n <= 0) break;
    taken += static_cast<int>(n);
    sim->received.append(bytes, static_cast<size_t>(n));
    for (ssize_t i = 0; i < n; ++i) {
      const char c = bytes[i];
      if (!sim->command.empty()) {
        // "H1,0,0,1\r" and the like run to the carriage return.
        // A command that never ends is dropped rather than held forever.
        if (c == '\r' || sim->command.size() > 32)
          sim->command.clear();
        else
          sim->command += c;
      } else if (c == 'H') {
        sim->command = "H";
      } else if (c == 'S') {
        const double status[6] = {0, 0, 0, 0, 0, 0};
        sendSimTracker(sim, formatTrackerRecord('S', status));
      } else if (c == 'P' && sim->answering) {
        ++sim->reports;
        if (!sim->scripted.empty()) {
          sendSimTracker(sim, sim->scripted.front());
          sim->scripted.pop_front();
        } else {
          sendSimTracker(
              sim, formatTrackerRecord('1', sim->numbers) + formatTrackerRecord('2', sim->numbers));
        }
      }
    }
  }
  return taken;
}
