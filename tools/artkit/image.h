// Pictures in memory for the art tool: 8-bit RGBA rasters, PNG in and out,
// 24-bit BMP out, and the small pixel operations the recipes share.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  uint8_t r, g, b, a;
};

struct Image {
  int w = 0;
  int h = 0;
  std::vector<Rgba> px;  // row-major, top row first

  Image() = default;
  Image(int width, int height, Rgba fill = {0, 0, 0, 0})
      : w(width), h(height), px(size_t(width) * height, fill) {}
  Rgba& at(int x, int y) { return px[size_t(y) * w + x]; }
  const Rgba& at(int x, int y) const { return px[size_t(y) * w + x]; }
};

// Reads any PNG as 8-bit RGBA; throws std::runtime_error naming the file.
Image readPng(const std::string& path);
// Writes 8-bit RGBA PNG (or RGB when withAlpha is false); throws on failure.
void writePng(const std::string& path, const Image& img, bool withAlpha);
// Writes an uncompressed bottom-up 24-bit BMP; alpha is ignored.
void writeBmp24(const std::string& path, const Image& img);
// Reads an uncompressed 24-bit BMP as written by writeBmp24 (alpha 255).
Image readBmp24(const std::string& path);

// The picture mirrored left to right, pixel for pixel.
Image mirrored(const Image& img);
// Replaces every pixel whose alpha is below half by the key colour and makes
// every other pixel opaque in its own (un-premultiplied) colour; no pixel but
// those keeps the key colour exactly: a near one is nudged off by one step.
void flattenOnKey(Image& img, Rgba key);

// A small deterministic noise source, so the same sources make the same files.
struct Noise {
  uint64_t state;
  explicit Noise(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return uint32_t(state >> 11);
  }
  // Uniform in [0, 1).
  double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }
  // Roughly normal, mean 0, deviation 1.
  double gauss() { return (unit() + unit() + unit() + unit() - 2.0) * 1.7320508; }
};

inline uint8_t clamp8(double v) { return v <= 0 ? 0 : v >= 255 ? 255 : uint8_t(v + 0.5); }
