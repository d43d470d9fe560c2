// The title tune: a small dance-band synthesiser. The score (assets/sounds)
// gives the tempo, one chord per bar or half bar, and the melody; the band
// plays the chords as a rhythm section (tuba, banjo, stride piano, brushes)
// under a clarinet or a muted trumpet, and writes a 44100 Hz stereo WAV file.
#include "tune.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "image.h"  // Noise

namespace {
constexpr int Rate = 44100;
constexpr double Pi = 3.14159265358979323846;

struct Chord {
  double beat;             // start, in beats from the top
  double beats;            // length
  int root;                // MIDI note of the root in octave 3
  std::vector<int> tones;  // intervals above the root
};

struct Note {
  double beat;
  double beats;
  int pitch;  // MIDI note
  std::string voice;
};

struct Score {
  double tempo = 180;   // quarter notes per minute
  double swing = 0.62;  // share of a beat taken by the first of two eighths
  std::vector<Chord> chords;
  std::vector<Note> melody;
  double length = 0;  // beats
};

// Stereo sample buffer with panned, gain-scaled adds.
struct Mix {
  std::vector<float> left, right;
  explicit Mix(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
  void add(size_t i, double v, double pan) {
    if (i >= left.size()) return;
    left[i] += float(v * std::sqrt(0.5 * (1 - pan)));
    right[i] += float(v * std::sqrt(0.5 * (1 + pan)));
  }
};

double midiHz(double m) { return 440.0 * std::pow(2.0, (m - 69) / 12.0); }

int parsePitch(const std::string& s, const std::string& where) {
  static const std::map<char, int> steps{{'c', 0}, {'d', 2}, {'e', 4}, {'f', 5},
                                         {'g', 7}, {'a', 9}, {'b', 11}};
  if (s.size() < 2 || !steps.count(char(tolower(s[0]))))
    throw std::runtime_error(where + ": bad note " + s);
  int p = steps.at(char(tolower(s[0])));
  size_t i = 1;
  for (; i < s.size() && (s[i] == '#' || s[i] == 'b'); ++i) p += s[i] == '#' ? 1 : -1;
  if (i >= s.size() || !isdigit(s[i])) throw std::runtime_error(where + ": bad octave in " + s);
  return p + 12 * (std::stoi(s.substr(i)) + 1);
}

Chord parseChord(const std::string& s, const std::string& where) {
  static const std::map<std::string, std::vector<int>> kinds{
      {"", {0, 4, 7}},         {"6", {0, 4, 7, 9}},    {"7", {0, 4, 7, 10}},
      {"maj7", {0, 4, 7, 11}}, {"m", {0, 3, 7}},       {"m6", {0, 3, 7, 9}},
      {"m7", {0, 3, 7, 10}},   {"dim7", {0, 3, 6, 9}}, {"9", {0, 4, 7, 10, 14}},
      {"aug", {0, 4, 8}}};
  size_t i = 1;
  while (i < s.size() && (s[i] == '#' || s[i] == 'b')) ++i;
  const int root = parsePitch(s.substr(0, i) + "3", where);
  auto it = kinds.find(s.substr(i));
  if (it == kinds.end()) throw std::runtime_error(where + ": unknown chord " + s);
  return Chord{0, 0, root, it->second};
}

Score readScore(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  Score sc;
  double chordBeat = 0, melodyBeat = 0;
  std::string voice = "clarinet", line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    const std::string where = path + ":" + std::to_string(lineNo);
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;  // '#' starts a comment line
    if (word == "tempo") {
      words >> sc.tempo;
    } else if (word == "swing") {
      words >> sc.swing;
    } else if (word == "bars") {  // one chord a bar, or two joined by '-'
      while (words >> word) {
        const size_t dash = word.find('-');
        if (dash == std::string::npos) {
          Chord c = parseChord(word, where);
          c.beat = chordBeat, c.beats = 4;
          sc.chords.push_back(c);
        } else {
          for (const std::string& half : {word.substr(0, dash), word.substr(dash + 1)}) {
            Chord c = parseChord(half, where);
            c.beat = chordBeat, c.beats = 2;
            sc.chords.push_back(c);
            chordBeat += 2;
          }
          continue;
        }
        chordBeat += 4;
      }
    } else if (word == "melody") {
      while (words >> word) {
        if (word[0] == '@') {
          voice = word.substr(1);
          continue;
        }
        const size_t colon = word.find(':');
        if (colon == std::string::npos)
          throw std::runtime_error(where + ": note without length: " + word);
        const double beats = std::stod(word.substr(colon + 1));
        const std::string name = word.substr(0, colon);
        if (name != "r") {
          // Chords of two notes joined with '+' are played together.
          std::istringstream parts(name);
          std::string part;
          while (std::getline(parts, part, '+'))
            sc.melody.push_back(Note{melodyBeat, beats, parsePitch(part, where), voice});
        }
        melodyBeat += beats;
      }
    } else {
      throw std::runtime_error(where + ": unknown word " + word);
    }
  }
  sc.length = std::max(chordBeat, melodyBeat);
  if (sc.length <= 0) throw std::runtime_error(path + ": the score is empty");
  return sc;
}

struct Band {
  const Score& sc;
  Mix& mix;
  Noise noise{1926};

  // Seconds from the top of a (possibly swung) beat position.
  double seconds(double beat) const {
    const double whole = std::floor(beat);
    const double frac = beat - whole;
    // Eighths are swung: the off-beat falls late.
    double swung = frac;
    if (std::fabs(frac - 0.5) < 1e-6) swung = sc.swing;
    return (whole + swung) * 60.0 / sc.tempo;
  }
  size_t frame(double beat) const { return size_t(seconds(beat) * Rate); }

  // Plucked string (banjo): a short Karplus-Strong loop.
  void pluck(double start, double hz, double gain, double pan) {
    const int period = std::max(2, int(Rate / hz));
    std::vector<double> loop(static_cast<size_t>(period));
    for (double& v : loop) v = noise.unit() * 2 - 1;
    const size_t at = size_t(start * Rate);
    const int len = int(0.45 * Rate);
    for (int i = 0; i < len; ++i) {
      const size_t k = size_t(i % period);
      const double v = loop[k];
      loop[k] = 0.5 * (v + loop[(k + 1) % size_t(period)]) * 0.993;
      mix.add(at + size_t(i), v * gain * (1 - double(i) / len), pan);
    }
  }
  // Piano: slightly stretched partials that die away, a little hammer noise.
  void piano(double start, double dur, int pitch, double gain, double pan) {
    const double f = midiHz(pitch);
    const size_t at = size_t(start * Rate);
    const int len = int((dur + 0.25) * Rate);
    for (int i = 0; i < len; ++i) {
      const double t = double(i) / Rate;
      double v = 0;
      for (int h = 1; h <= 6; ++h) {
        const double fh = f * h * (1 + 0.0004 * h * h);
        if (fh > 9000) break;
        v += std::sin(2 * Pi * fh * t) * std::exp(-t * (1.8 + 0.9 * h)) / h;
      }
      if (t < 0.004) v += (noise.unit() - 0.5) * 0.3;
      const double release = t > dur ? std::exp(-(t - dur) * 30) : 1.0;
      mix.add(at + size_t(i), v * gain * release * std::min(1.0, t * 400), pan);
    }
  }
  // Tuba: a round, slightly buzzing low note.
  void tuba(double start, double dur, int pitch, double gain) {
    const double f = midiHz(pitch);
    const size_t at = size_t(start * Rate);
    const int len = int((dur + 0.05) * Rate);
    double phase = 0;
    for (int i = 0; i < len; ++i) {
      const double t = double(i) / Rate;
      phase += 2 * Pi * f / Rate;
      const double env = std::min(1.0, t / 0.025) * (t > dur ? std::exp(-(t - dur) * 60) : 1.0) *
                         (1 - 0.3 * t / dur);
      const double v = std::sin(phase) + 0.45 * std::sin(2 * phase) + 0.2 * std::sin(3 * phase) +
                       0.08 * std::sin(4 * phase);
      mix.add(at + size_t(i), v * gain * env, 0.0);
    }
  }
  // Lead voices: a clarinet (odd partials) or a muted trumpet (bright, nasal).
  void lead(double start, double dur, int pitch, const std::string& voice, double gain) {
    const bool trumpet = voice == "trumpet";
    if (!trumpet && voice != "clarinet") throw std::runtime_error("unknown voice " + voice);
    const double f = midiHz(pitch);
    const size_t at = size_t(start * Rate);
    const int len = int((dur + 0.06) * Rate);
    double phase = 0;
    for (int i = 0; i < len; ++i) {
      const double t = double(i) / Rate;
      const double vib = 1 + 0.006 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, t / 0.3);
      phase += 2 * Pi * f * vib / Rate;
      double v = 0;
      if (trumpet) {
        for (int h = 1; h <= 9; ++h)
          v += std::sin(h * phase) * (h == 3 || h == 4 ? 0.9 : 0.55) / std::sqrt(double(h));
      } else {
        for (int h = 1; h <= 9; h += 2) v += std::sin(h * phase) / h;
        v += 0.1 * std::sin(2 * phase);
      }
      const double attack = std::min(1.0, t / (trumpet ? 0.02 : 0.035));
      const double release = t > dur ? std::exp(-(t - dur) * 50) : 1.0;
      mix.add(at + size_t(i), v * gain * attack * release, trumpet ? -0.25 : 0.3);
    }
  }
  // Brushes on the snare: a filtered swish.
  void brush(double start, double gain) {
    const size_t at = size_t(start * Rate);
    const int len = int(0.12 * Rate);
    double lp = 0;
    for (int i = 0; i < len; ++i) {
      const double t = double(i) / Rate;
      lp += 0.35 * ((noise.unit() * 2 - 1) - lp);
      mix.add(at + size_t(i), lp * gain * std::exp(-t * 28), 0.15);
    }
  }
  // The soft bass drum: a falling thump.
  void kick(double start, double gain) {
    const size_t at = size_t(start * Rate);
    const int len = int(0.18 * Rate);
    double phase = 0;
    for (int i = 0; i < len; ++i) {
      const double t = double(i) / Rate;
      phase += 2 * Pi * (48 + 50 * std::exp(-t * 30)) / Rate;
      mix.add(at + size_t(i), std::sin(phase) * gain * std::exp(-t * 18), 0.0);
    }
  }

  // The notes of a chord voiced between low and high (MIDI), ascending.
  static std::vector<int> voicing(const Chord& c, int low, int high) {
    std::vector<int> notes;
    for (int octave = -2; octave <= 3; ++octave)
      for (int iv : c.tones) {
        const int n = c.root + iv + 12 * octave;
        if (n >= low && n <= high) notes.push_back(n);
      }
    std::sort(notes.begin(), notes.end());
    return notes;
  }

  void rhythmSection() {
    for (const Chord& c : sc.chords) {
      for (double b = 0; b < c.beats; b += 1) {
        const double beat = c.beat + b;
        const int inBar = int(std::fmod(beat, 4.0));
        const double at = seconds(beat);
        const double beatSec = 60.0 / sc.tempo;
        // Tuba and piano left hand: root on 1, fifth on 3; chords on 2 and 4.
        if (inBar % 2 == 0) {
          const int bass = c.root - 12 + (inBar == 2 ? 7 : 0);
          tuba(at, beatSec * 0.85, bass, 0.30);
          piano(at, beatSec * 0.8, bass, 0.16, -0.1);
          kick(at, 0.22);
        } else {
          for (int n : voicing(c, 55, 67)) piano(at, beatSec * 0.5, n, 0.10, -0.1);
          brush(at, 0.16);
        }
        // Banjo strums every beat, down-strokes, the off-beats harder.
        const auto strings = voicing(c, 60, 74);
        for (size_t k = 0; k < strings.size(); ++k)
          pluck(at + 0.009 * double(k), midiHz(strings[k]), inBar % 2 ? 0.13 : 0.09, -0.45);
        brush(seconds(beat + 0.5), 0.05);
      }
    }
  }

  void melody() {
    for (const Note& n : sc.melody) {
      const double start = seconds(n.beat);
      const double end = seconds(n.beat + n.beats);
      lead(start, std::max(0.05, (end - start) * 0.92), n.pitch, n.voice, 0.14);
    }
  }
};

// Surface noise of an old record: sparse clicks and a faint hiss.
void crackle(Mix& mix) {
  Noise n(78);
  for (size_t i = 0; i < mix.left.size(); ++i) {
    const double hiss = (n.unit() - 0.5) * 0.004;
    double click = 0;
    if (n.unit() < 0.00025) click = (n.unit() - 0.5) * 0.25;
    mix.left[i] += float(hiss + click);
    mix.right[i] += float(hiss + click);
  }
}

void writeWav(const std::string& path, const Mix& mix) {
  float peak = 1e-6f;
  for (size_t i = 0; i < mix.left.size(); ++i)
    peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
  const double scale = 0.7 / peak;  // about -3 dBFS; the finishing pass sets the final level
  const uint32_t frames = uint32_t(mix.left.size());
  const uint32_t dataBytes = frames * 4;
  std::vector<uint8_t> out;
  auto put = [&](uint32_t v, int bytes) {
    for (int b = 0; b < bytes; ++b) out.push_back(uint8_t(v >> (8 * b)));
  };
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  put(36 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(16, 4);
  put(1, 2);  // PCM
  put(2, 2);
  put(Rate, 4);
  put(Rate * 4, 4);
  put(4, 2);
  put(16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put(dataBytes, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    put(uint16_t(int16_t(std::lround(std::clamp(mix.left[i] * scale, -1.0, 1.0) * 32767))), 2);
    put(uint16_t(int16_t(std::lround(std::clamp(mix.right[i] * scale, -1.0, 1.0) * 32767))), 2);
  }
  std::ofstream f(path, std::ios::binary);
  if (!f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size())))
    throw std::runtime_error("cannot write " + path);
}
}  // namespace

void renderTune(const std::string& scorePath, const std::string& wavPath) {
  const Score sc = readScore(scorePath);
  const double seconds = sc.length * 60.0 / sc.tempo + 1.5;
  Mix mix(size_t(seconds * Rate));
  Band band{sc, mix};
  band.rhythmSection();
  band.melody();
  crackle(mix);
  writeWav(wavPath, mix);
}
