#include "vellum/core/image/plain_png_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "vellum/core/image/inflate.h"

namespace Vellum {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Larger images are left to the general decoder, which refuses them.
constexpr uint32_t kMaxSide = 1u << 24;
constexpr uint64_t kMaxPixelBytes = 0x7FFFFFFFu;

uint32_t Big32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

bool ChunkIs(const unsigned char* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

// One chunk's place in the file, found without reading past its end.
struct Chunk {
  const unsigned char* type = nullptr;
  const unsigned char* data = nullptr;
  uint32_t length = 0;
};

class ChunkReader {
 public:
  ChunkReader(const unsigned char* bytes, size_t size) : at_(bytes), end_(bytes + size) {}
  bool Next(Chunk* chunk) {
    if (end_ - at_ < 12) return false;
    const uint32_t length = Big32(at_);
    if (length > static_cast<size_t>(end_ - at_) - 12) return false;
    chunk->length = length;
    chunk->type = at_ + 4;
    chunk->data = at_ + 8;
    at_ += 12 + static_cast<size_t>(length);  // the CRC is not checked, as the general decoder does not
    return true;
  }

 private:
  const unsigned char* at_;
  const unsigned char* end_;
};

unsigned char Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<unsigned char>(a);
  return static_cast<unsigned char>(pb <= pc ? b : c);
}

// Undoes a row's filter in place; `prior` is the previous row as reconstructed (zeros above the
// first). False for a filter type the format does not have.
bool Unfilter(unsigned char filter, unsigned char* row, const unsigned char* prior, size_t length, size_t bpp) {
  switch (filter) {
    case 0:
      return true;
    case 1:
      for (size_t i = bpp; i < length; ++i) row[i] = static_cast<unsigned char>(row[i] + row[i - bpp]);
      return true;
    case 2:
      for (size_t i = 0; i < length; ++i) row[i] = static_cast<unsigned char>(row[i] + prior[i]);
      return true;
    case 3:
      for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<unsigned char>(row[i] + (prior[i] >> 1));
      for (size_t i = bpp; i < length; ++i) {
        row[i] = static_cast<unsigned char>(row[i] + ((row[i - bpp] + prior[i]) >> 1));
      }
      return true;
    case 4:
      for (size_t i = 0; i < bpp; ++i) row[i] = static_cast<unsigned char>(row[i] + prior[i]);
      for (size_t i = bpp; i < length; ++i) {
        row[i] = static_cast<unsigned char>(row[i] + Paeth(row[i - bpp], prior[i], prior[i - bpp]));
      }
      return true;
    default:
      return false;
  }
}

// The unfiltered rows, each still behind its filter byte, become pixel words in the same buffer. RGBA
// rows move towards the start (a word is no wider than its samples plus the filter byte), so they go
// from the top; RGB rows grow by a quarter, so they go from the bottom and from the right.
void RgbaRowsToWords(unsigned char* buffer, size_t width, size_t height) {
  const size_t stride = width * 4 + 1;
  for (size_t y = 0; y < height; ++y) {
    const unsigned char* row = buffer + y * stride + 1;
    unsigned char* out = buffer + y * width * 4;
    for (size_t x = 0; x < width; ++x, row += 4, out += 4) {
      const uint32_t word =
          (uint32_t{row[3]} << 24) | (uint32_t{row[0]} << 16) | (uint32_t{row[1]} << 8) | row[2];
      std::memcpy(out, &word, 4);
    }
  }
}

void RgbRowsToWords(unsigned char* buffer, size_t width, size_t height) {
  const size_t stride = width * 3 + 1;
  for (size_t y = height; y-- > 0;) {
    for (size_t x = width; x-- > 0;) {
      const unsigned char* sample = buffer + y * stride + 1 + x * 3;
      const uint32_t word = 0xFF000000u | (uint32_t{sample[0]} << 16) | (uint32_t{sample[1]} << 8) | sample[2];
      std::memcpy(buffer + (y * width + x) * 4, &word, 4);
    }
  }
}

}  // namespace

bool DecodePlainPng(const void* bytes, size_t size, DecodedImage* image) {
  *image = DecodedImage();
  const auto* data = static_cast<const unsigned char*>(bytes);
  if (data == nullptr || size < sizeof(kSignature) || std::memcmp(data, kSignature, sizeof(kSignature)) != 0) {
    return false;
  }
  ChunkReader chunks(data + sizeof(kSignature), size - sizeof(kSignature));
  Chunk chunk;
  if (!chunks.Next(&chunk) || !ChunkIs(chunk.type, "IHDR") || chunk.length != 13) return false;
  const uint32_t width = Big32(chunk.data);
  const uint32_t height = Big32(chunk.data + 4);
  const unsigned char depth = chunk.data[8];
  const unsigned char colour = chunk.data[9];
  // Compression, filter method and interlace: only the plain kind is decoded here.
  if (depth != 8 || (colour != 2 && colour != 6) || chunk.data[10] != 0 || chunk.data[11] != 0 ||
      chunk.data[12] != 0) {
    return false;
  }
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      uint64_t{width} * height * 4 + height > kMaxPixelBytes) {
    return false;
  }

  // The whole file must be one the general decoder reads alike: ancillary chunks other than a
  // transparent colour (which the general decoder applies), one run of image data, and the end. Data
  // split over several chunks is joined; it is small beside the pixels.
  const unsigned char* compressed = nullptr;
  size_t data_size = 0;
  std::vector<unsigned char> joined;
  bool data_ended = false;
  for (;;) {
    if (!chunks.Next(&chunk)) return false;
    if (ChunkIs(chunk.type, "IEND")) break;
    if (ChunkIs(chunk.type, "IDAT")) {
      if (data_ended) return false;
      if (compressed == nullptr) {
        compressed = chunk.data;
      } else {
        if (joined.empty()) joined.assign(compressed, compressed + data_size);
        joined.insert(joined.end(), chunk.data, chunk.data + chunk.length);
        compressed = joined.data();
      }
      data_size += chunk.length;
      continue;
    }
    if (compressed != nullptr) data_ended = true;
    if ((chunk.type[0] & 0x20) == 0 || ChunkIs(chunk.type, "tRNS")) return false;
  }
  if (compressed == nullptr) return false;

  const bool has_alpha = colour == 6;
  const size_t bpp = has_alpha ? 4 : 3;
  const size_t row_bytes = bpp * width;
  const size_t stride = row_bytes + 1;  // the filter byte first
  const size_t words_size = size_t{width} * height * 4;
  const size_t rows_size = stride * height;
  std::unique_ptr<uint32_t[], DecodedPixelsDeleter> pixels(
      static_cast<uint32_t*>(std::malloc(std::max(words_size, rows_size))));
  if (!pixels) return false;
  auto* buffer = reinterpret_cast<unsigned char*>(pixels.get());
  if (!InflateZlib(compressed, data_size, buffer, rows_size)) return false;

  // The row above the first is zeros.
  const std::vector<unsigned char> zeros(row_bytes, 0);
  for (size_t y = 0; y < height; ++y) {
    unsigned char* row = buffer + y * stride;
    const unsigned char* prior = y == 0 ? zeros.data() : row - stride + 1;
    if (!Unfilter(row[0], row + 1, prior, row_bytes, bpp)) return false;
  }
  if (has_alpha) {
    RgbaRowsToWords(buffer, width, height);
  } else {
    RgbRowsToWords(buffer, width, height);
  }

  image->argb = std::move(pixels);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->file_channels = static_cast<int>(bpp);
  return true;
}

}  // namespace Vellum
