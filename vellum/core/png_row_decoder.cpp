#include "vellum/core/png_row_decoder.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

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

void StoreRow(const unsigned char* row, int width, bool has_alpha, uint32_t* out) {
  if (has_alpha) {
    for (int x = 0; x < width; ++x, row += 4) {
      out[x] = (uint32_t{row[3]} << 24) | (uint32_t{row[0]} << 16) | (uint32_t{row[1]} << 8) | row[2];
    }
  } else {
    for (int x = 0; x < width; ++x, row += 3) {
      out[x] = 0xFF000000u | (uint32_t{row[0]} << 16) | (uint32_t{row[1]} << 8) | row[2];
    }
  }
}

struct InflateStream {
  z_stream stream = {};
  bool open = false;
  ~InflateStream() {
    if (open) inflateEnd(&stream);
  }
};

}  // namespace

bool DecodePngRowByRow(const void* bytes, size_t size, DecodedImage* image) {
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
      uint64_t{width} * height * 4 > kMaxPixelBytes) {
    return false;
  }

  // Up to the first image data: only ancillary chunks other than a transparent colour, which the
  // general decoder applies.
  for (;;) {
    if (!chunks.Next(&chunk)) return false;
    if (ChunkIs(chunk.type, "IDAT")) break;
    if ((chunk.type[0] & 0x20) == 0 || ChunkIs(chunk.type, "tRNS")) return false;
  }

  const bool has_alpha = colour == 6;
  const size_t bpp = has_alpha ? 4 : 3;
  const size_t row_bytes = bpp * width;
  // Each row as stored (filter byte first) and the row above it, reconstructed.
  std::vector<unsigned char> rows(2 * (row_bytes + 1), 0);
  unsigned char* current = rows.data();
  unsigned char* prior = current + row_bytes + 1;

  std::unique_ptr<uint32_t[], DecodedPixelsDeleter> pixels(
      static_cast<uint32_t*>(std::malloc(static_cast<size_t>(width) * height * 4)));
  if (!pixels) return false;

  InflateStream inflater;
  if (inflateInit(&inflater.stream) != Z_OK) return false;
  inflater.open = true;
  z_stream& z = inflater.stream;
  z.next_in = const_cast<Bytef*>(chunk.data);
  z.avail_in = chunk.length;

  for (uint32_t y = 0; y < height; ++y) {
    z.next_out = current;
    z.avail_out = static_cast<uInt>(row_bytes + 1);
    while (z.avail_out > 0) {
      if (z.avail_in == 0) {
        // The image data may be split over several consecutive chunks.
        if (!chunks.Next(&chunk) || !ChunkIs(chunk.type, "IDAT")) return false;
        z.next_in = const_cast<Bytef*>(chunk.data);
        z.avail_in = chunk.length;
        continue;
      }
      const int status = inflate(&z, Z_NO_FLUSH);
      if (status == Z_STREAM_END && z.avail_out > 0) return false;  // fewer rows than the header says
      if (status != Z_OK && status != Z_STREAM_END) return false;
    }
    if (!Unfilter(current[0], current + 1, prior + 1, row_bytes, bpp)) return false;
    StoreRow(current + 1, static_cast<int>(width), has_alpha, pixels.get() + static_cast<size_t>(y) * width);
    std::swap(current, prior);
  }

  // The rest of the file must still be one the general decoder reads: more image data, ancillary
  // chunks and the end.
  for (;;) {
    if (!chunks.Next(&chunk)) return false;
    if (ChunkIs(chunk.type, "IEND")) break;
    if (!ChunkIs(chunk.type, "IDAT") && ((chunk.type[0] & 0x20) == 0 || ChunkIs(chunk.type, "tRNS"))) return false;
  }

  image->argb = std::move(pixels);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->file_channels = static_cast<int>(bpp);
  return true;
}

}  // namespace Vellum
