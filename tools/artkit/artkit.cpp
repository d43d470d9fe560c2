// The art tool the build runs to make the game's default pictures, font strips
// and title tune from the sources in assets/. Every command takes key=value
// arguments and writes one file; a fault prints one line and exits 1.
//
//   artkit font out=F.png face=F.otf [fallback=F] size=N height=N
//          [tracking=N] [fill=RRGGBB] [halo=OPACITY] [halocolor=RRGGBB]
//          [shadow=OPACITY] [gradient=F]
//   artkit figure out=F.bmp person=P.png tone=cold|hit seed=N
//   artkit mirror out=F.bmp in=F.bmp
//   artkit bmp out=F.bmp in=P.png [key=RRGGBB]
//   artkit tune out=F.wav score=S.txt
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

#include "figure.h"
#include "font_strip.h"
#include "image.h"
#include "tune.h"

namespace {
using Args = std::map<std::string, std::string>;

const std::string& need(const Args& a, const char* key) {
  auto it = a.find(key);
  if (it == a.end()) throw std::runtime_error(std::string("missing argument ") + key);
  return it->second;
}
std::string opt(const Args& a, const char* key, const char* fallback) {
  auto it = a.find(key);
  return it == a.end() ? fallback : it->second;
}
double num(const Args& a, const char* key, double fallback) {
  auto it = a.find(key);
  if (it == a.end()) return fallback;
  char* end = nullptr;
  const double v = strtod(it->second.c_str(), &end);
  if (end == it->second.c_str() || *end)
    throw std::runtime_error(std::string("bad number for ") + key);
  return v;
}
Rgba colour(const std::string& hex) {
  if (hex.size() != 6) throw std::runtime_error("bad colour " + hex);
  const unsigned long v = strtoul(hex.c_str(), nullptr, 16);
  return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), 255};
}

void fontCommand(const Args& a) {
  StripStyle st;
  st.face = need(a, "face");
  st.fallback = opt(a, "fallback", "");
  st.pixelSize = int(num(a, "size", 16));
  st.height = int(num(a, "height", 18));
  st.tracking = int(num(a, "tracking", 0));
  st.fill = colour(opt(a, "fill", "ffffff"));
  st.halo_color = colour(opt(a, "halocolor", "000000"));
  st.halo = float(num(a, "halo", 0));
  st.shadow = float(num(a, "shadow", 0));
  st.gradient = float(num(a, "gradient", 0));
  writePng(need(a, "out"), renderFontStrip(st), true);
}

void figureCommand(const Args& a) {
  const std::string tone = need(a, "tone");
  if (tone != "cold" && tone != "hit") throw std::runtime_error("tone is cold or hit");
  const Image person = readPng(need(a, "person"));
  writeBmp24(need(a, "out"), figureCard(person, tone == "hit", uint64_t(num(a, "seed", 1))));
}

void bmpCommand(const Args& a) {
  Image img = readPng(need(a, "in"));
  const std::string key = opt(a, "key", "");
  if (!key.empty()) flattenOnKey(img, colour(key));
  writeBmp24(need(a, "out"), img);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: artkit font|figure|mirror|bmp|tune key=value...\n");
    return 1;
  }
  const std::string cmd = argv[1];
  try {
    Args a;
    for (int i = 2; i < argc; ++i) {
      const std::string s = argv[i];
      const size_t eq = s.find('=');
      if (eq == std::string::npos) throw std::runtime_error("argument without '=': " + s);
      a[s.substr(0, eq)] = s.substr(eq + 1);
    }
    if (cmd == "font")
      fontCommand(a);
    else if (cmd == "figure")
      figureCommand(a);
    else if (cmd == "mirror")
      writeBmp24(need(a, "out"), mirrored(readBmp24(need(a, "in"))));
    else if (cmd == "bmp")
      bmpCommand(a);
    else if (cmd == "tune")
      renderTune(need(a, "score"), need(a, "out"));
    else
      throw std::runtime_error("unknown command " + cmd);
  } catch (const std::exception& e) {
    fprintf(stderr, "artkit %s: %s\n", cmd.c_str(), e.what());
    return 1;
  }
  return 0;
}
