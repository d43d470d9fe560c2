// Fuzzes the tracker reply parser with replies of any bytes and length: it must
// read only the bytes that arrived, change only the numbers it parsed, and map
// every number it gives to a bounded screen pixel.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "input/tracker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reply in a buffer of exactly its size, so any read past it is caught.
  std::vector<char> reply(data, data + size);
  TrackerReport report;
  const double before[6] = {1.5, -2.5, 3.5, -4.5, 5.5, -6.5};
  memcpy(report.r, before, sizeof before);
  const int parsed = parseTrackerReply(reply.data(), static_cast<int32_t>(reply.size()), &report);
  if (parsed < 0 || parsed > 6) abort();
  // Numbers the reply does not supply keep their values (bit for bit).
  for (int i = parsed; i < 6; ++i)
    if (memcmp(&report.r[i], &before[i], sizeof(double)) != 0) abort();
  // Nothing beyond offset 45 counts: the same bytes cut there parse the same.
  if (size > 45) {
    TrackerReport cut;
    memcpy(cut.r, before, sizeof before);
    std::vector<char> head(data, data + 45);
    if (parseTrackerReply(head.data(), 45, &cut) != parsed) abort();
    if (memcmp(cut.r, report.r, sizeof cut.r) != 0) abort();
  }
  // Whatever was parsed (infinities, not-a-numbers, huge values) lands on a
  // bounded pixel, so no later sum on a crosshair can overflow.
  for (int i = 0; i < 6; ++i) {
    const int32_t x = trackerScreenX(report.r[i], -7);
    const int32_t y = trackerScreenY(report.r[i], -7);
    if (x < -30000 || x > 30000 || y < -30000 || y > 30000) abort();
  }
  return 0;
}
