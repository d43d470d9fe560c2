// Fuzzes the hiscore reader with hiscore files of any bytes: a load must keep
// every name and devices field inside its size and terminated, give only valid
// rows ranked by score, and whatever it read must save and read back as the
// same table. The reader's notes about damaged files go to standard error,
// which tools/fuzz.sh closes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "scores/hiscores.h"

namespace fs = std::filesystem;

namespace {
bool terminatedWithin(const char* text, size_t size) { return memchr(text, '\0', size) != nullptr; }

// A row the game can show: a known weapon, shots and players in range, and a
// device tag with each device's letter or "-" at its place.
bool validRow(const HiscoreEntry& e) {
  static const char letters[] = "TMKJJ";
  if (e.weapon < 0 || e.weapon > 2 || e.shots < 0 || e.playerCount < 0 || e.playerCount > 5 ||
      strlen(e.devices) != 5)
    return false;
  for (int i = 0; i < 5; ++i)
    if (e.devices[i] != letters[i] && e.devices[i] != '-') return false;
  return e.name[0] != '\0';
}

// Whether two tables hold the same rows.
bool sameTable(const HiscoreTable& a, const HiscoreTable& b) {
  for (int i = 0; i < HiscoreRows; ++i) {
    const HiscoreEntry &x = a.rows[i], &y = b.rows[i];
    if (x.position != y.position || strcmp(x.name, y.name) != 0 || x.score != y.score ||
        x.weapon != y.weapon || x.shots != y.shots || x.playerCount != y.playerCount ||
        strcmp(x.devices, y.devices) != 0)
      return false;
  }
  return true;
}

void emptyDataFolder() {
  for (const auto& e : fs::directory_iterator("data")) fs::remove(e.path());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Saving syncs the file and its folder; in memory that costs nothing.
  char dir[] = "/dev/shm/lakeport-fuzz-hiscores-XXXXXX";
  char fallback[] = "/tmp/lakeport-fuzz-hiscores-XXXXXX";
  const char* made = mkdtemp(dir);
  if (!made) made = mkdtemp(fallback);
  if (!made || chdir(made) != 0 || !fs::create_directory("data")) abort();
  atexit([] {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (!ec) fs::remove_all(here, ec);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  emptyDataFolder();
  FILE* f = fopen("data/data00.dat", "wb");
  if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) abort();

  resetHiscores();
  const int32_t lowest = LoadHiscores(0);
  if (lowest != hiscores.rows[HiscoreRows - 1].score) abort();
  for (int i = 0; i < HiscoreRows; ++i) {
    const HiscoreEntry& row = hiscores.rows[i];
    if (!terminatedWithin(row.name, sizeof row.name)) abort();
    if (!terminatedWithin(row.devices, sizeof row.devices)) abort();
    if (strchr(row.name, '^')) abort();  // names in memory carry spaces
    if (!validRow(row)) abort();
    if (i > 0 && row.score > hiscores.rows[i - 1].score) abort();
  }

  // What was read saves and reads back unchanged.
  const HiscoreTable read = hiscores;
  if (SaveHiscores(0) != 0) abort();
  resetHiscores();
  LoadHiscores(0);
  if (!sameTable(read, hiscores)) abort();
  return 0;
}
