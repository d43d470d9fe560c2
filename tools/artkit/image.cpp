// PNG and BMP files for the art tool, and the shared pixel operations.
#include "image.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {
struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File openFile(const std::string& path, const char* mode) {
  File f(fopen(path.c_str(), mode));
  if (!f) throw std::runtime_error("cannot open " + path);
  return f;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
uint32_t get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
}  // namespace

Image readPng(const std::string& path) {
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str()))
    throw std::runtime_error(path + ": " + png.message);
  png.format = PNG_FORMAT_RGBA;
  Image img(int(png.width), int(png.height));
  if (!png_image_finish_read(&png, nullptr, img.px.data(), 0, nullptr))
    throw std::runtime_error(path + ": " + png.message);
  return img;
}

void writePng(const std::string& path, const Image& img, bool withAlpha) {
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = unsigned(img.w);
  png.height = unsigned(img.h);
  png.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<uint8_t> rows;
  rows.reserve(img.px.size() * 4);
  for (const Rgba& p : img.px) {
    rows.push_back(p.r);
    rows.push_back(p.g);
    rows.push_back(p.b);
    if (withAlpha) rows.push_back(p.a);
  }
  if (!png_image_write_to_file(&png, path.c_str(), 0, rows.data(), 0, nullptr))
    throw std::runtime_error(path + ": " + png.message);
}

void writeBmp24(const std::string& path, const Image& img) {
  const uint32_t stride = (uint32_t(img.w) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * uint32_t(img.h);
  std::vector<uint8_t> out;
  out.reserve(54 + dataSize);
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + dataSize);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);  // BITMAPINFOHEADER
  put32(out, uint32_t(img.w));
  put32(out, uint32_t(img.h));  // positive: bottom-up rows
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // no compression
  put32(out, dataSize);
  put32(out, 2835);  // 72 dpi
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = img.h - 1; y >= 0; --y) {
    for (int x = 0; x < img.w; ++x) {
      const Rgba& p = img.at(x, y);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    for (uint32_t pad = uint32_t(img.w) * 3; pad < stride; ++pad) out.push_back(0);
  }
  File f = openFile(path, "wb");
  if (fwrite(out.data(), 1, out.size(), f.get()) != out.size())
    throw std::runtime_error("cannot write " + path);
}

Image readBmp24(const std::string& path) {
  File f = openFile(path, "rb");
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M' || data[28] != 24 ||
      get32(&data[30]) != 0)
    throw std::runtime_error(path + ": not an uncompressed 24-bit BMP");
  const uint32_t offset = get32(&data[10]);
  const int w = int(get32(&data[18]));
  const int h = int(get32(&data[22]));
  const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
  if (w <= 0 || h <= 0 || offset + uint64_t(stride) * h > data.size())
    throw std::runtime_error(path + ": truncated or upside-down BMP");
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = &data[offset + stride * uint32_t(h - 1 - y)];
    for (int x = 0; x < w; ++x) img.at(x, y) = {row[3 * x + 2], row[3 * x + 1], row[3 * x], 255};
  }
  return img;
}

Image mirrored(const Image& img) {
  Image out(img.w, img.h);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) out.at(x, y) = img.at(img.w - 1 - x, y);
  return out;
}

void flattenOnKey(Image& img, Rgba key) {
  for (Rgba& p : img.px) {
    if (p.a < 128) {
      p = {key.r, key.g, key.b, 255};
      continue;
    }
    p.a = 255;
    if (p.r == key.r && p.g == key.g && p.b == key.b)
      p.b = uint8_t(key.b < 128 ? key.b + 1 : key.b - 1);
  }
}
