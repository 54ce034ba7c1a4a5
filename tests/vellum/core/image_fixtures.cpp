#include "tests/vellum/core/image_fixtures.h"

#include <zlib.h>

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

}  // namespace

std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < width; ++x) {
      const Rgba& p = pixels[static_cast<size_t>(y * width + x)];
      raw += static_cast<char>(p.r);
      raw += static_cast<char>(p.g);
      raw += static_cast<char>(p.b);
      raw += static_cast<char>(p.a);
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &packed_size,
           reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  packed.resize(packed_size);

  std::string header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace

  std::string png("\x89PNG\r\n\x1a\n", 8);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace testing_support
