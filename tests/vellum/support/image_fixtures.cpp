#include "tests/vellum/support/image_fixtures.h"

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace testing_support {

namespace {

void PutBig32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  PutBig32(out, static_cast<uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// The predictor of a filter type, from the unfiltered bytes left (a), above (b) and above-left (c).
int Predict(uint8_t filter, int a, int b, int c) {
  switch (filter) {
    case 1:
      return a;
    case 2:
      return b;
    case 3:
      return (a + b) / 2;
    case 4: {
      const int p = a + b - c;
      const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default:
      return 0;
  }
}

size_t ChannelsOf(uint8_t colour_type) {
  switch (colour_type) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;
  }
}

}  // namespace

std::string EncodePng(const PngFile& file) {
  const size_t bits = ChannelsOf(file.colour_type) * file.bit_depth;
  const size_t bpp = bits < 8 ? 1 : bits / 8;
  const size_t row_bytes = (file.width * bits + 7) / 8;
  std::string raw;
  for (size_t y = 0; y < file.height; ++y) {
    const uint8_t filter = file.filters.empty() ? 0 : file.filters[y % file.filters.size()];
    raw += static_cast<char>(filter);
    for (size_t i = 0; i < row_bytes; ++i) {
      auto sample = [&](size_t row, size_t at) { return static_cast<uint8_t>(file.samples[row * row_bytes + at]); };
      const int a = i >= bpp ? sample(y, i - bpp) : 0;
      const int b = y > 0 ? sample(y - 1, i) : 0;
      const int c = i >= bpp && y > 0 ? sample(y - 1, i - bpp) : 0;
      raw += static_cast<char>(sample(y, i) - Predict(filter, a, b, c));
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &packed_size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(packed_size);

  std::string header;
  PutBig32(header, file.width);
  PutBig32(header, file.height);
  header += static_cast<char>(file.bit_depth);
  header += static_cast<char>(file.colour_type);
  header += std::string(2, '\0');  // deflate, adaptive filtering
  header += static_cast<char>(file.interlace);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  Chunk(png, "IHDR", header);
  for (const auto& extra : file.extra_chunks) Chunk(png, extra.first.c_str(), extra.second);
  const size_t step = file.data_chunk_bytes == 0 ? packed.size() : file.data_chunk_bytes;
  for (size_t at = 0; at < packed.size(); at += step) Chunk(png, "IDAT", packed.substr(at, step));
  if (file.end_chunk) Chunk(png, "IEND", "");
  return png;
}

std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
  PngFile file;
  file.width = static_cast<uint32_t>(width);
  file.height = static_cast<uint32_t>(height);
  for (const Rgba& p : pixels) file.samples += {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b), static_cast<char>(p.a)};
  return EncodePng(file);
}

SolidPng::SolidPng(const wchar_t* name, int width, int height, Rgba colour) : name_(name) {
  const std::string png =
      EncodePng(width, height, std::vector<Rgba>(static_cast<size_t>(width) * height, colour));
  if (FILE* file = _wfopen(name, L"wb")) {
    fwrite(png.data(), 1, png.size(), file);
    fclose(file);
  }
}

SolidPng::~SolidPng() { DeleteFileW(name_.c_str()); }

}  // namespace testing_support
