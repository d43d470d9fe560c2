// Hiscore files: ten rows of "%d %s %d %d %d %d %s" per level, names with "^"
// for spaces, read as whitespace-separated tokens and written by safe replace.
#include "scores/hiscores.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

HiscoreTable hiscores;
int32_t hiscoreLevel = -1;

namespace {
const char* const fileNames[] = {"./data/data00.dat", "./data/data01.dat", "./data/data02.dat",
                                 "./data/data03.dat", "./data/data04.dat"};
const char* const dataDir = "./data";

// Longer tokens are only counted; no field is wider than this.
constexpr size_t TokenKeep = 63;

struct Token {
  char text[TokenKeep + 1];
  size_t length;  // the whole token's length, also past TokenKeep
};

// Reads the next whitespace-separated token; false at the end of the file or on
// a read error.
bool readToken(FILE* f, Token& token) {
  int c;
  do c = getc(f);
  while (c != EOF && isspace(c));
  if (c == EOF) return false;
  token.length = 0;
  while (c != EOF && !isspace(c)) {
    if (token.length < TokenKeep) token.text[token.length] = static_cast<char>(c);
    ++token.length;
    c = getc(f);
  }
  token.text[token.length < TokenKeep ? token.length : TokenKeep] = '\0';
  return true;
}

// A whole token that is a decimal 32-bit integer.
bool parseInt(const Token& token, int32_t& out) {
  if (token.length > TokenKeep) return false;
  char* end = nullptr;
  errno = 0;
  const long value = strtol(token.text, &end, 10);
  if (end == token.text || *end != '\0' || errno == ERANGE || value < INT32_MIN ||
      value > INT32_MAX)
    return false;
  out = static_cast<int32_t>(value);
  return true;
}

// Copies at most max bytes of the token into field; true when it had to cut.
// A NUL byte (a damaged file, such as one a crash left with zeroed blocks)
// ends the text there; a text left empty that way reads as "-", which is how
// an empty field is written, so that what is read saves and reads back alike.
bool copyCut(char* field, size_t max, const Token& token) {
  const size_t kept = token.length < max ? token.length : max;
  const size_t text = strnlen(token.text, kept);
  if (text == 0) {
    memcpy(field, "-", 2);
  } else {
    memcpy(field, token.text, text);
    field[text] = '\0';
  }
  return token.length > max || text < kept;
}

// Reads ten rows over the fields of table (a field not read keeps its value).
// True when all seventy fields were read whole and nothing follows them;
// otherwise why says what is wrong.
bool readTable(FILE* f, HiscoreTable& table, std::string& why) {
  bool whole = true;
  for (int row = 0; row < HiscoreRows; ++row) {
    HiscoreEntry& e = table.rows[row];
    int32_t* const numbers[] = {&e.position, &e.score, &e.weapon, &e.shots, &e.playerCount};
    for (int field = 0; field < 7; ++field) {
      Token token;
      if (!readToken(f, token)) {
        why = ferror(f) ? strerror(errno) : "row " + std::to_string(row + 1) + " ends early";
        DecodeNameFromFile(e.name);
        return false;
      }
      if (field == 1) {
        if (copyCut(e.name, HiscoreNameMax, token)) {
          why = "name on row " + std::to_string(row + 1) + " cut to 20 characters or at a NUL byte";
          whole = false;
        }
      } else if (field == 6) {
        if (copyCut(e.devices, HiscoreDevicesMax, token)) {
          why =
              "devices on row " + std::to_string(row + 1) + " cut to 9 characters or at a NUL byte";
          whole = false;
        }
      } else if (!parseInt(token, *numbers[field == 0 ? 0 : field - 1])) {
        why = "row " + std::to_string(row + 1) + " has a field that is not a number";
        DecodeNameFromFile(e.name);
        return false;
      }
    }
    DecodeNameFromFile(e.name);
  }
  Token extra;
  if (whole && readToken(f, extra)) {
    why = "text after the tenth row";
    whole = false;
  }
  return whole;
}

// Prints the one-line save failure and returns -1.
int32_t saveFailed(const char* path, const std::string& reason) {
  fprintf(stderr, "Hiscores not saved to %s: %s\n", path, reason.c_str());
  return -1;
}

// Copies the file byte for byte to a new file; false with err set on failure.
bool copyFile(const char* from, const char* to, int& err) {
  const int in = open(from, O_RDONLY);
  if (in < 0) {
    err = errno;
    return false;
  }
  const int out = open(to, O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (out < 0) {
    err = errno;
    close(in);
    return false;
  }
  char buffer[4096];
  bool ok = true;
  for (;;) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
      if (put > 0)
        done += put;
      else if (errno != EINTR)
        ok = false;
    }
    if (!ok) break;
  }
  if (ok && fsync(out) != 0) ok = false;
  if (!ok) err = errno;
  if (close(out) != 0 && ok) {
    err = errno;
    ok = false;
  }
  close(in);
  if (!ok) unlink(to);
  return ok;
}

// Keeps a present file that does not read back completely beside itself under
// a free "<file>.damaged" name. False (with reason) when it cannot be kept.
bool keepDamagedFile(const char* path, std::string& reason) {
  struct stat st;
  if (lstat(path, &st) != 0) {
    if (errno == ENOENT) return true;
    reason = strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = "it is not a regular file";
    return false;
  }
  if (FILE* f = fopen(path, "r")) {
    HiscoreTable scratch{};
    std::string why;
    const bool whole = readTable(f, scratch, why);
    fclose(f);
    if (whole) return true;
  }
  for (int n = 1; n < 100; ++n) {
    std::string copy = std::string(path) + ".damaged";
    if (n > 1) copy += "-" + std::to_string(n);
    // A hard link keeps the old file under both names without copying it.
    int err = 0;
    const bool kept = link(path, copy.c_str()) == 0 ||
                      ((err = errno) != EEXIST && copyFile(path, copy.c_str(), err));
    if (kept) {
      fprintf(stderr, "Damaged hiscore file %s kept as %s\n", path, copy.c_str());
      return true;
    }
    if (err != EEXIST) {
      reason = "cannot keep the damaged file as " + copy + ": " + strerror(err);
      return false;
    }
  }
  reason = "no free name to keep the damaged file under";
  return false;
}

mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}
}  // namespace

void resetHiscores() {
  hiscores = HiscoreTable{};
  hiscoreLevel = -1;
}

HiscoreTable DefaultHiscoreTable() {
  struct Row {
    const char* name;
    int32_t score, weapon, shots;
  };
  static const Row rows[HiscoreRows] = {
      {"Nickel Nolan", 20, 1, 41},   {"Dotty Fairweather", 18, 0, 30},
      {"Sal the Barber", 16, 2, 88}, {"Knuckles McGraw", 14, 1, 37},
      {"Rosie Two-Bits", 12, 1, 29}, {"Gin Mill Gus", 10, 2, 73},
      {"Half-Pint Harry", 8, 0, 19}, {"Mabel Sweeney", 6, 1, 22},
      {"Slim Kowalski", 4, 2, 51},   {"Officer Doyle", 2, 0, 11},
  };
  HiscoreTable table{};
  for (int i = 0; i < HiscoreRows; ++i) {
    table.rows[i].position = i + 1;
    SetHiscoreRow(table.rows[i], rows[i].name, rows[i].score, rows[i].weapon, rows[i].shots, 1,
                  "-----");
  }
  return table;
}

void SetHiscoreRow(HiscoreEntry& row, const char* name, int32_t score, int32_t weapon,
                   int32_t shots, int32_t players, const char* devices) {
  snprintf(row.name, sizeof row.name, "%s", name);
  row.score = score;
  row.weapon = weapon;
  row.shots = shots;
  row.playerCount = players;
  snprintf(row.devices, sizeof row.devices, "%s", devices);
}

const char* HiscoreFileName(int32_t level) {
  return level >= 0 && level < 5 ? fileNames[level] : nullptr;
}

void EncodeNameForFile(char* name) {
  for (; *name; ++name)
    if (*name == ' ') *name = '^';
}

void DecodeNameFromFile(char* name) {
  for (; *name; ++name)
    if (*name == '^') *name = ' ';
}

int32_t LoadHiscores(int32_t level) {
  const char* path = HiscoreFileName(level);
  if (!path) return -1;
  // Another level's rows never stand in for what this level's file lacks.
  HiscoreTable table = hiscoreLevel == level ? hiscores : DefaultHiscoreTable();
  hiscoreLevel = level;
  FILE* f = fopen(path, "r");
  if (!f) {
    if (errno != ENOENT)
      fprintf(stderr, "Hiscore file %s cannot be read: %s\n", path, strerror(errno));
    hiscores = table;
    return -1;
  }
  rewind(f);
  std::string why;
  if (!readTable(f, table, why))
    fprintf(stderr, "Hiscore file %s is damaged: %s\n", path, why.c_str());
  if (fclose(f) != 0) printf("The file 'data' was not closed\n");
  hiscores = table;
  return hiscores.rows[HiscoreRows - 1].score;
}

int32_t SaveHiscores(int32_t level) {
  const char* path = HiscoreFileName(level);
  if (!path) return -1;
  if (hiscoreLevel >= 0 && hiscoreLevel != level)
    return saveFailed(path,
                      "the table in memory belongs to " + std::string(fileNames[hiscoreLevel]));
  if (mkdir(dataDir, 0777) != 0 && errno != EEXIST)
    return saveFailed(path, std::string("cannot create ./data/: ") + strerror(errno));
  std::string reason;
  if (!keepDamagedFile(path, reason)) return saveFailed(path, reason);

  std::string temp = std::string(path) + ".XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0)
    return saveFailed(path, std::string("cannot create a file in ./data/: ") + strerror(errno));
  fchmod(fd, newFileMode());
  FILE* f = fdopen(fd, "w");
  if (!f) {
    reason = strerror(errno);
    close(fd);
    unlink(temp.c_str());
    return saveFailed(path, reason);
  }
  for (const HiscoreEntry& row : hiscores.rows) {
    // Names are encoded only on their way into the file; empty texts would
    // leave the line short of a token, so they are written as "-".
    char name[HiscoreNameMax + 1];
    snprintf(name, sizeof name, "%s", row.name[0] ? row.name : "-");
    EncodeNameForFile(name);
    fprintf(f, "%d %s %d %d %d %d %s\n", row.position, name, row.score, row.weapon, row.shots,
            row.playerCount, row.devices[0] ? row.devices : "-");
  }
  bool ok = fflush(f) == 0 && !ferror(f);
  if (!ok) reason = strerror(errno);
  if (ok && fsync(fd) != 0) {
    ok = false;
    reason = strerror(errno);
  }
  if (fclose(f) != 0) {
    printf("The file 'data' was not closed\n");
    if (ok) reason = strerror(errno);
    ok = false;
  }
  if (ok && rename(temp.c_str(), path) != 0) {
    ok = false;
    reason = strerror(errno);
  }
  if (!ok) {
    unlink(temp.c_str());
    return saveFailed(path, reason);
  }
  // The rename itself reaches the disk with the directory.
  const int dirFd = open(dataDir, O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return 0;
}
