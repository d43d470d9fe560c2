// Serial devices on Linux: open, line settings, byte reads and writes.
#include "platform/serial.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

int serialOpen(const char* path) {
  // O_NONBLOCK only for the open itself: a line without carrier detect and
  // without CLOCAL would otherwise hang the open until a carrier appears.
  int fd;
  do fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return SerialNone;
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 || ioctl(fd, TIOCEXCL) < 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return SerialNone;
  }
  return fd;
}

int serialSetLine(int handle) {
  termios line{};
  if (tcgetattr(handle, &line) < 0) return -1;
  // The tracker speaks raw bytes: no echo, no line editing, no character
  // translation, no signals, so every byte arrives and leaves as it was sent.
  line.c_iflag &=
      ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  line.c_oflag &= ~OPOST;
  line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  // CLOCAL: the tracker has no carrier detect line to wait for.
  line.c_cflag |= CS8 | CREAD | CLOCAL;
  // Reads return what has arrived and never wait for more.
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  if (cfsetispeed(&line, B115200) < 0 || cfsetospeed(&line, B115200) < 0) return -1;
  if (tcsetattr(handle, TCSANOW, &line) < 0) return -1;
  // Setting the speed may raise DTR and RTS again, so they drop afterwards.
  // Pseudo-terminals have no modem lines and refuse the request; that is fine.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(handle, TIOCMBIC, &lines);
  return 0;
}

int32_t serialWrite(int handle, const void* bytes, int32_t count) {
  if (count < 0) return -1;
  ssize_t n;
  do n = write(handle, bytes, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? -1 : static_cast<int32_t>(n);
}

int32_t serialWaiting(int handle) {
  // Linux keeps a line usable after framing, parity and overrun errors: the
  // damaged bytes arrive as data and nothing needs clearing before a read.
  int waiting = 0;
  if (ioctl(handle, FIONREAD, &waiting) < 0) return -1;
  return waiting;
}

int32_t serialRead(int handle, void* buffer, int32_t count) {
  if (count < 0) return -1;
  ssize_t n;
  do n = read(handle, buffer, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? -1 : static_cast<int32_t>(n);
}

void serialClose(int handle) {
  if (handle != SerialNone) close(handle);
}
