// Serial devices on Linux (termios): the tracker's line, opened exclusively and
// driven as a plain byte stream.
#pragma once
#include <cstdint>

// The handle of no open device.
constexpr int SerialNone = -1;

// Opens an existing serial device for reading and writing, exclusively
// (TIOCEXCL), never as the controlling terminal and without waiting for a
// carrier. Reads and writes on the handle then block as usual. The handle, or
// SerialNone with errno set.
int serialOpen(const char* path);
// Reads the line's settings and sets 115200 baud, 8 data bits, no parity, 1 stop
// bit, no hardware or software flow control, bytes passed through untouched, and
// drops DTR and RTS. 0 on success, -1 with errno set.
int serialSetLine(int handle);
// Writes count bytes: the number written, or -1.
int32_t serialWrite(int handle, const void* bytes, int32_t count);
// The number of received bytes waiting to be read, or -1.
int32_t serialWaiting(int handle);
// Reads at most count bytes; on a line serialSetLine set up it never waits for
// more than have arrived. The number read (0 when nothing had), or -1.
int32_t serialRead(int handle, void* buffer, int32_t count);
// Closes an open handle; SerialNone is ignored.
void serialClose(int handle);
