#include "app/plain_png.h"

#include <gtest/gtest.h>
#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/com_ptr.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutBigEndian(Bytes* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(Bytes* png, const char* type, const Bytes& data) {
  PutBigEndian(png, static_cast<uint32_t>(data.size()));
  const size_t start = png->size();
  png->insert(png->end(), type, type + 4);
  png->insert(png->end(), data.begin(), data.end());
  PutBigEndian(png, static_cast<uint32_t>(crc32(0, png->data() + start, static_cast<uInt>(png->size() - start))));
}

int Predict(int filter, int left, int up, int up_left) {
  switch (filter) {
    case 1: return left;
    case 2: return up;
    case 3: return (left + up) / 2;
    case 4: {
      const int p = left + up - up_left;
      const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - up_left);
      return pa <= pb && pa <= pc ? left : (pb <= pc ? up : up_left);
    }
    default: return 0;
  }
}

struct Fixture {
  int width = 7;
  int height = 6;
  std::vector<uint32_t> argb;  // what a decoder must give
};

// Deterministic pixels with every alpha level from clear to opaque, so that predictions wrap around.
Fixture MakePixels(int width, int height) {
  Fixture f{width, height, {}};
  uint32_t seed = 12345;
  for (int i = 0; i < width * height; ++i) {
    seed = seed * 1103515245u + 12345u;
    f.argb.push_back(seed ^ (seed >> 13));
  }
  return f;
}

struct Options {
  std::vector<int> filters;  // per row, cycled
  size_t idat_pieces = 1;
  uint8_t colour_type = 6;
  uint8_t interlace = 0;
  const char* extra_chunk = nullptr;  // inserted before the image data
  bool end = true;
};

Bytes EncodePng(const Fixture& f, const Options& o) {
  Bytes raw;
  const size_t row_bytes = static_cast<size_t>(f.width) * 4;
  Bytes previous(row_bytes, 0);
  for (int y = 0; y < f.height; ++y) {
    Bytes row;
    for (int x = 0; x < f.width; ++x) {
      const uint32_t p = f.argb[static_cast<size_t>(y) * f.width + x];
      row.insert(row.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
                             static_cast<uint8_t>(p >> 24)});
    }
    const int filter = o.filters[static_cast<size_t>(y) % o.filters.size()];
    raw.push_back(static_cast<uint8_t>(filter));
    for (size_t i = 0; i < row_bytes; ++i) {
      const int left = i >= 4 ? row[i - 4] : 0;
      const int up_left = i >= 4 ? previous[i - 4] : 0;
      raw.push_back(static_cast<uint8_t>(row[i] - Predict(filter, left, previous[i], up_left)));
    }
    previous = row;
  }
  Bytes compressed(compressBound(static_cast<uLong>(raw.size())));
  uLongf length = static_cast<uLongf>(compressed.size());
  compress2(compressed.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 9);
  compressed.resize(length);

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(&header, static_cast<uint32_t>(f.width));
  PutBigEndian(&header, static_cast<uint32_t>(f.height));
  header.insert(header.end(), {8, o.colour_type, 0, 0, o.interlace});
  PutChunk(&png, "IHDR", header);
  if (o.extra_chunk != nullptr) PutChunk(&png, o.extra_chunk, Bytes(4, 0));
  const size_t piece = (compressed.size() + o.idat_pieces - 1) / o.idat_pieces;
  for (size_t at = 0; at < compressed.size(); at += piece) {
    PutChunk(&png, "IDAT", Bytes(compressed.begin() + at, compressed.begin() + std::min(at + piece, compressed.size())));
  }
  if (o.end) PutChunk(&png, "IEND", Bytes());
  return png;
}

// The platform's decoder, through GDI+, as the reference.
std::vector<uint32_t> DecodeWithGdiplus(const Bytes& png) {
  com_ptr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return {};
  ULONG written = 0;
  stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return {};
  const int w = static_cast<int>(bitmap->GetWidth());
  const int h = static_cast<int>(bitmap->GetHeight());
  Gdiplus::Rect all(0, 0, w, h);
  Gdiplus::BitmapData data = {};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return {};
  std::vector<uint32_t> pixels;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
    pixels.insert(pixels.end(), row, row + w);
  }
  bitmap->UnlockBits(&data);
  return pixels;
}

class PlainPngDecode : public testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

TEST_F(PlainPngDecode, EveryRowFilterGivesThePixelsThePlatformDecoderGives) {
  struct Case {
    const char* name;
    int width, height;
    std::vector<int> filters;
    size_t idat_pieces;
  };
  const Case cases[] = {
      {"none", 7, 6, {0}, 1},          {"sub", 7, 6, {1}, 1},          {"up", 7, 6, {2}, 1},
      {"average", 7, 6, {3}, 1},       {"paeth", 7, 6, {4}, 1},        {"mixed, split data", 33, 9, {4, 0, 3, 1, 2}, 5},
      {"one pixel", 1, 1, {4}, 1},     {"one column", 1, 12, {2, 4, 3}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Fixture pixels = MakePixels(c.width, c.height);
    Options options;
    options.filters = c.filters;
    options.idat_pieces = c.idat_pieces;
    const Bytes png = EncodePng(pixels, options);
    ASSERT_TRUE(PlainPng::IsPlainRgba(png.data(), png.size()));
    PlainPng::Image image;
    ASSERT_TRUE(PlainPng::Decode(png.data(), png.size(), &image));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.argb, pixels.argb);
    EXPECT_EQ(DecodeWithGdiplus(png), pixels.argb);
  }
}

TEST(PlainPng, AnythingButPlainRgbaIsLeftToTheGeneralDecoder) {
  const Fixture pixels = MakePixels(4, 4);
  struct Case {
    const char* name;
    Options options;
  };
  Options rgb;
  rgb.filters = {0};
  rgb.colour_type = 2;
  Options interlaced;
  interlaced.filters = {0};
  interlaced.interlace = 1;
  Options gamma;
  gamma.filters = {0};
  gamma.extra_chunk = "gAMA";
  Options transparency;
  transparency.filters = {0};
  transparency.extra_chunk = "tRNS";
  Options no_end;
  no_end.filters = {0};
  no_end.end = false;
  for (const Case& c : {Case{"RGB", rgb}, Case{"interlaced", interlaced}, Case{"gamma chunk", gamma},
                        Case{"transparency chunk", transparency}, Case{"no end chunk", no_end}}) {
    SCOPED_TRACE(c.name);
    const Bytes png = EncodePng(pixels, c.options);
    EXPECT_FALSE(PlainPng::IsPlainRgba(png.data(), png.size()));
    PlainPng::Image image;
    EXPECT_FALSE(PlainPng::Decode(png.data(), png.size(), &image));
  }
  // Not a PNG at all, or cut inside a chunk.
  Options plain;
  plain.filters = {0};
  const Bytes png = EncodePng(pixels, plain);
  EXPECT_FALSE(PlainPng::IsPlainRgba(png.data(), png.size() - 1));
  EXPECT_FALSE(PlainPng::IsPlainRgba(png.data(), 20));
  const std::string text = "not a PNG image";
  EXPECT_FALSE(PlainPng::IsPlainRgba(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  EXPECT_FALSE(PlainPng::IsPlainRgba(nullptr, 0));
}

TEST(PlainPng, DamagedOrOversizedImageDataFailsWithNoPixels) {
  const Fixture pixels = MakePixels(9, 9);
  Options plain;
  plain.filters = {1};
  const Bytes good = EncodePng(pixels, plain);
  PlainPng::Image image;
  ASSERT_TRUE(PlainPng::Decode(good.data(), good.size(), &image));

  // The image data starts after the signature, the header chunk and the data chunk's length and type.
  const size_t data_at = 8 + 25 + 8;
  Bytes damaged = good;
  damaged[data_at + 2] ^= 0xFF;  // inside the compressed stream
  Bytes bad_filter = good;
  {
    // A stream whose first row names filter 5, which does not exist.
    Options five;
    five.filters = {5};
    bad_filter = EncodePng(pixels, five);
  }
  Fixture taller = pixels;
  taller.height = 8;
  taller.argb.resize(9 * 8);
  Bytes short_data = EncodePng(taller, plain);
  short_data[8 + 8 + 7] = 9;  // the header's height now claims 9 rows; the data holds 8
  for (const Bytes* png : {&damaged, &bad_filter, &short_data}) {
    EXPECT_FALSE(PlainPng::Decode(png->data(), png->size(), &image));
    EXPECT_TRUE(image.argb.empty());
  }
  EXPECT_FALSE(PlainPng::Decode(good.data(), good.size(), &image, 80));
  EXPECT_TRUE(PlainPng::Decode(good.data(), good.size(), &image, 81));
}

}  // namespace
