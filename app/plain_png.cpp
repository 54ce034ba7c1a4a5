#include "app/plain_png.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace PlainPng {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kChunkOverhead = 12;  // length, type, CRC
constexpr size_t kBytesPerPixel = 4;

uint32_t LoadBigEndian(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

struct Chunk {
  const uint8_t* type;
  const uint8_t* data;
  size_t length;
};

// Reads the chunk at `*at` and moves past it; false when it does not fit in the file.
bool NextChunk(const uint8_t* bytes, size_t size, size_t* at, Chunk* chunk) {
  if (size - *at < kChunkOverhead) return false;
  const size_t length = LoadBigEndian(bytes + *at);
  if (length > size - *at - kChunkOverhead) return false;
  chunk->type = bytes + *at + 4;
  chunk->data = bytes + *at + 8;
  chunk->length = length;
  *at += kChunkOverhead + length;
  return true;
}

bool Is(const Chunk& chunk, const char* type) { return std::memcmp(chunk.type, type, 4) == 0; }

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Undoes one row's filter in place; `previous` is the unfiltered row above (zeros for the first row).
bool Unfilter(int filter, uint8_t* row, const uint8_t* previous, size_t length) {
  switch (filter) {
    case 0:
      return true;
    case 1:
      for (size_t i = kBytesPerPixel; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - kBytesPerPixel]);
      return true;
    case 2:
      for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + previous[i]);
      return true;
    case 3:
      for (size_t i = 0; i < length; ++i) {
        const int left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        row[i] = static_cast<uint8_t>(row[i] + ((left + previous[i]) >> 1));
      }
      return true;
    case 4:
      for (size_t i = 0; i < length; ++i) {
        const int left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const int up_left = i >= kBytesPerPixel ? previous[i - kBytesPerPixel] : 0;
        row[i] = static_cast<uint8_t>(row[i] + Paeth(left, previous[i], up_left));
      }
      return true;
    default:
      return false;
  }
}

// zlib's stream over the image data chunks, which together form one compressed stream.
class Inflater {
 public:
  Inflater(const uint8_t* bytes, size_t size, size_t first_data) : bytes_(bytes), size_(size), at_(first_data) {
    ok_ = inflateInit(&stream_) == Z_OK;
  }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Fills `out` completely; false on damaged data or a stream that ends too early.
  bool Read(uint8_t* out, size_t length) {
    if (!ok_) return false;
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(length);
    while (stream_.avail_out != 0) {
      if (stream_.avail_in == 0 && !Feed()) return false;
      const int result = inflate(&stream_, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        ended_ = true;
        return stream_.avail_out == 0;
      }
      if (result != Z_OK && result != Z_BUF_ERROR) return false;
    }
    return true;
  }

  // True when the stream ends right after what was read and its checksum holds: damaged data can
  // otherwise inflate to the right number of wrong bytes.
  bool Finish() {
    if (!ok_) return false;
    if (ended_) return true;
    uint8_t extra = 0;
    for (;;) {
      stream_.next_out = &extra;
      stream_.avail_out = 1;
      if (stream_.avail_in == 0 && !Feed()) return false;
      const int result = inflate(&stream_, Z_NO_FLUSH);
      if (result == Z_STREAM_END) return stream_.avail_out == 1;
      if ((result != Z_OK && result != Z_BUF_ERROR) || stream_.avail_out == 0) return false;
    }
  }

 private:
  // Hands zlib the next image data chunk.
  bool Feed() {
    Chunk chunk;
    while (NextChunk(bytes_, size_, &at_, &chunk) && Is(chunk, "IDAT")) {
      if (chunk.length == 0) continue;
      stream_.next_in = const_cast<Bytef*>(chunk.data);
      stream_.avail_in = static_cast<uInt>(chunk.length);
      return true;
    }
    return false;
  }

  z_stream stream_ = {};
  const uint8_t* bytes_;
  size_t size_;
  size_t at_;
  bool ok_ = false;
  bool ended_ = false;
};

}  // namespace

bool IsPlainRgba(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < sizeof(kSignature) || std::memcmp(bytes, kSignature, sizeof(kSignature)) != 0) {
    return false;
  }
  size_t at = sizeof(kSignature);
  Chunk chunk;
  // Bit depth 8, colour type 6 (RGBA), standard compression and filtering, no interlacing.
  if (!NextChunk(bytes, size, &at, &chunk) || !Is(chunk, "IHDR") || chunk.length != 13 || chunk.data[8] != 8 ||
      chunk.data[9] != 6 || chunk.data[10] != 0 || chunk.data[11] != 0 || chunk.data[12] != 0) {
    return false;
  }
  while (NextChunk(bytes, size, &at, &chunk)) {
    if (Is(chunk, "IEND")) return true;
    if (!Is(chunk, "IDAT")) return false;
  }
  return false;
}

bool Decode(const uint8_t* bytes, size_t size, Image* image, size_t max_pixels) {
  *image = Image();
  if (!IsPlainRgba(bytes, size)) return false;
  const uint8_t* header = bytes + sizeof(kSignature) + 8;
  const uint32_t width = LoadBigEndian(header);
  const uint32_t height = LoadBigEndian(header + 4);
  if (width == 0 || height == 0 || width > INT_MAX / kBytesPerPixel || height > INT_MAX ||
      static_cast<uint64_t>(width) * height > max_pixels) {
    return false;
  }

  // Each stored row is its filter byte followed by the filtered pixels.
  const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
  std::vector<uint8_t> rows(2 * (row_bytes + 1), 0);
  uint8_t* row = rows.data();
  uint8_t* previous = rows.data() + row_bytes + 1;
  std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
  Inflater inflater(bytes, size, sizeof(kSignature) + kChunkOverhead + 13);
  for (uint32_t y = 0; y < height; ++y) {
    if (!inflater.Read(row, row_bytes + 1) || !Unfilter(row[0], row + 1, previous + 1, row_bytes)) return false;
    uint32_t* out = &argb[static_cast<size_t>(y) * width];
    const uint8_t* p = row + 1;
    for (uint32_t x = 0; x < width; ++x, p += kBytesPerPixel) {
      out[x] = (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
               (static_cast<uint32_t>(p[1]) << 8) | p[2];
    }
    std::swap(row, previous);
  }
  if (!inflater.Finish()) return false;
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->argb = std::move(argb);
  return true;
}

}  // namespace PlainPng
