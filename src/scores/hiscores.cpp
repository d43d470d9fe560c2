// Hiscore files: ten rows of "%d %s %d %d %d %d %s" per level, names with "^"
// for spaces, read as whitespace-separated tokens and written by safe replace.
#include "scores/hiscores.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
// One player a device.
constexpr int32_t MaxPlayers = 5;
// Rows read before the rest of a file is left alone, refused ones included.
constexpr int RowsRead = 100;

struct Token {
  char text[TokenKeep + 1];
  size_t length;   // the whole token's length, also past TokenKeep
  long line;       // the line it stands on, from 1
  bool lineStart;  // no token stands before it on its line
};

// A file's tokens, with room for those a refused row gives back.
struct TokenStream {
  FILE* file = nullptr;
  long line = 1;
  bool atLineStart = true;
  Token back[7];  // given back, the next one last
  int backCount = 0;
};

// Reads the next whitespace-separated token; false at the end of the file or on
// a read error.
bool nextToken(TokenStream& s, Token& token) {
  if (s.backCount > 0) {
    token = s.back[--s.backCount];
    return true;
  }
  int c;
  while ((c = getc(s.file)) != EOF && isspace(c))
    if (c == '\n') {
      ++s.line;
      s.atLineStart = true;
    }
  if (c == EOF) return false;
  token.line = s.line;
  token.lineStart = s.atLineStart;
  s.atLineStart = false;
  token.length = 0;
  while (c != EOF && !isspace(c)) {
    if (token.length < TokenKeep) token.text[token.length] = static_cast<char>(c);
    ++token.length;
    c = getc(s.file);
  }
  if (c != EOF) ungetc(c, s.file);
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

// A tag holds at each device's place its letter or "-".
bool isDeviceTag(const Token& token) {
  static const char letters[] = "TMKJJ";
  if (token.length != 5) return false;
  for (int i = 0; i < 5; ++i)
    if (token.text[i] != letters[i] && token.text[i] != '-') return false;
  return true;
}

// Fills e from a row's tokens (got of seven); "" when they make a valid row,
// otherwise why the row is refused. cut is set when the name had to be cut.
std::string rowProblem(const Token* tokens, int got, HiscoreEntry& e, bool& cut) {
  struct Number {
    const char* label;
    int32_t HiscoreEntry::*field;
    int32_t min, max;
  };
  static const Number numbers[7] = {{"place", &HiscoreEntry::position, INT32_MIN, INT32_MAX},
                                    {},
                                    {"score", &HiscoreEntry::score, INT32_MIN, INT32_MAX},
                                    {"weapon", &HiscoreEntry::weapon, 0, 2},
                                    {"shots", &HiscoreEntry::shots, 0, INT32_MAX},
                                    {"players", &HiscoreEntry::playerCount, 0, MaxPlayers},
                                    {}};
  for (int field = 0; field < got; ++field) {
    const Token& token = tokens[field];
    const Number& n = numbers[field];
    if (field == 1) {
      cut = copyCut(e.name, HiscoreNameMax, token);
      DecodeNameFromFile(e.name);
    } else if (field == 6) {
      if (!isDeviceTag(token)) return "its devices are not five of T, M, K, J, J and -";
      memcpy(e.devices, token.text, 6);
    } else if (!parseInt(token, e.*n.field)) {
      return std::string("its ") + n.label + " is not a 32-bit number";
    } else if (e.*n.field < n.min || e.*n.field > n.max) {
      return std::string("its ") + n.label + " " + std::to_string(e.*n.field) + " is not " +
             std::to_string(n.min) +
             (n.max == INT32_MAX ? " or more" : " to " + std::to_string(n.max));
    }
  }
  if (got < 7) return "it ends after " + std::to_string(got) + " of 7 fields";
  return "";
}

std::string rowCount(int n) { return std::to_string(n) + (n == 1 ? " row" : " rows"); }

// Reads a file into table: its valid rows, at most ten, ranked by score (ties
// keep the file's order), the house rows of the places the file does not fill
// ranked in beside them (below on a tie), and the place numbers the file's
// rows had, by place. True when the file held exactly ten valid rows in order
// and nothing else; otherwise why names the refused rows and what was done.
bool readTable(FILE* f, HiscoreTable& table, std::string& why) {
  const HiscoreTable house = DefaultHiscoreTable();
  HiscoreEntry rows[HiscoreRows] = {};
  int valid = 0, refused = 0, row = 0;
  bool cutName = false, ranked = true, more = false;
  std::string notes;
  TokenStream s;
  s.file = f;
  int32_t places[HiscoreRows];
  for (int i = 0; i < HiscoreRows; ++i) places[i] = house.rows[i].position;
  Token tokens[7];
  for (;;) {
    int got = 0;
    while (got < 7 && nextToken(s, tokens[got])) ++got;
    if (got == 0) break;
    if (valid == HiscoreRows || row == RowsRead) {
      more = true;
      break;
    }
    HiscoreEntry& e = rows[valid];
    bool cut = false;
    const std::string problem = rowProblem(tokens, got, e, cut);
    if (row < HiscoreRows) parseInt(tokens[0], places[row]);  // kept only when a number
    ++row;
    if (problem.empty()) {
      cutName |= cut;
      if (valid > 0 && e.score > rows[valid - 1].score) ranked = false;
      ++valid;
      continue;
    }
    // A refused row gives back the tokens of the lines after its first, so
    // that one short line does not shift the rows below it; the row is told
    // by its own line, even a line of one token.
    std::string reason = problem;
    for (int i = 1; i < got; ++i)
      if (tokens[i].lineStart) {
        reason = rowProblem(tokens, i, e, cut);
        while (got > i) s.back[s.backCount++] = tokens[--got];
        break;
      }
    if (++refused <= 2)
      notes += "row " + std::to_string(row) + " on line " + std::to_string(tokens[0].line) +
               " refused, " + reason + "; ";
  }
  if (refused > 2) notes += rowCount(refused - 2) + " more refused; ";
  if (cutName) notes += "a name cut to 20 characters or at a NUL byte; ";
  if (!ranked) notes += "rows ranked by score; ";
  if (valid < HiscoreRows) notes += rowCount(HiscoreRows - valid) + " taken from the house table; ";
  if (more) notes += "the rest after row " + std::to_string(row) + " ignored; ";
  if (ferror(f)) notes += std::string("read error: ") + strerror(errno) + "; ";
  for (int i = valid; i < HiscoreRows; ++i) rows[i] = house.rows[i];
  std::stable_sort(rows, rows + HiscoreRows,
                   [](const HiscoreEntry& a, const HiscoreEntry& b) { return a.score > b.score; });
  for (int i = 0; i < HiscoreRows; ++i) {
    table.rows[i] = rows[i];
    table.rows[i].position = places[i];
  }
  why = notes.empty() ? "" : notes.substr(0, notes.size() - 2);
  return notes.empty();
}

// Prints the one-line save failure and returns -1.
int32_t saveFailed(const char* path, const std::string& reason) {
  fprintf(stderr, "Hiscores not saved to %s: %s\n", path, reason.c_str());
  return -1;
}

// Copies the file to a new file named `to`; false with err set when it cannot
// (EEXIST: that name is taken), and then no part of a copy is left.
bool copyFile(const char* from, const char* to, int& err) {
  FILE* in = fopen(from, "rb");
  const int fd = in ? open(to, O_WRONLY | O_CREAT | O_EXCL, 0644) : -1;
  if (fd < 0) {
    err = errno;
    if (in) fclose(in);
    return false;
  }
  FILE* out = fdopen(fd, "wb");
  char buffer[4096];
  size_t got = 0;
  while (out && (got = fread(buffer, 1, sizeof buffer, in)) > 0 &&
         fwrite(buffer, 1, got, out) == got) {
  }
  bool ok = out && !ferror(in) && !ferror(out) && fflush(out) == 0 && fsync(fd) == 0;
  if (!ok) err = errno;
  if ((out ? fclose(out) : close(fd)) != 0 && ok) {
    err = errno;
    ok = false;
  }
  fclose(in);
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
    // A copy, not a hard link: a data folder on a stick may not have links.
    int err = 0;
    if (copyFile(path, copy.c_str(), err)) {
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
  FILE* f = fopen(path, "r");
  if (!f) {
    if (errno != ENOENT)
      fprintf(stderr, "Hiscore file %s cannot be read: %s\n", path, strerror(errno));
    // Another level's rows never stand in for this level's.
    if (hiscoreLevel != level) hiscores = DefaultHiscoreTable();
    hiscoreLevel = level;
    return -1;
  }
  hiscoreLevel = level;
  std::string why;
  if (!readTable(f, hiscores, why))
    fprintf(stderr, "Hiscore file %s is damaged: %s\n", path, why.c_str());
  if (fclose(f) != 0) printf("The file 'data' was not closed\n");
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
  bool ok = fflush(f) == 0 && !ferror(f) && fsync(fd) == 0;
  if (!ok) reason = strerror(errno);
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
