// Image files decoded to the pixel words GDI+ and 32-bit DIBs take.

#include "vellum/core/image/image_decoder.h"
#include "vellum/core/image/plain_png_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vellum/support/image_fixtures.h"

namespace {

using testing_support::EncodePng;
using testing_support::PngFile;
using testing_support::Rgba;
using Vellum::DecodedImage;
using Vellum::DecodeImage;
using Vellum::DecodePlainPng;

std::vector<uint32_t> WordsOf(const DecodedImage& image) {
  if (!image.argb) return {};
  return std::vector<uint32_t>(image.argb.get(), image.argb.get() + image.width * image.height);
}

// Samples that differ from pixel to pixel and row to row in every channel, so that a filter undone
// against the wrong neighbour shows.
std::string Ramp(size_t count, int seed) {
  std::string samples;
  for (size_t i = 0; i < count; ++i) samples += static_cast<char>((i * 37 + seed * 11 + (i * i) % 7) & 0xFF);
  return samples;
}

std::vector<uint32_t> ArgbFromRgba(const std::string& samples) {
  std::vector<uint32_t> words;
  for (size_t i = 0; i + 3 < samples.size(); i += 4) {
    const auto* p = reinterpret_cast<const uint8_t*>(&samples[i]);
    words.push_back(uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  return words;
}

std::vector<uint32_t> ArgbFromRgb(const std::string& samples) {
  std::vector<uint32_t> words;
  for (size_t i = 0; i + 2 < samples.size(); i += 3) {
    const auto* p = reinterpret_cast<const uint8_t*>(&samples[i]);
    words.push_back(0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  return words;
}

TEST(DecodeImage, GivesStraightArgbWordsRowByRowFromTheTop) {
  // Distinct red and blue catch swapped channels; half and zero coverage catch premultiplying.
  const std::string png = EncodePng(2, 2, {Rgba{255, 0, 0, 128}, Rgba{10, 20, 30, 255},
                                           Rgba{0, 0, 255, 0}, Rgba{1, 2, 3, 4}});
  DecodedImage image;
  ASSERT_TRUE(DecodeImage(png.data(), png.size(), &image));
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.file_channels, 4);
  ASSERT_NE(image.argb, nullptr);
  const std::vector<uint32_t> words(image.argb.get(), image.argb.get() + 4);
  EXPECT_EQ(words, (std::vector<uint32_t>{0x80FF0000u, 0xFF0A141Eu, 0x000000FFu, 0x04010203u}));
}

TEST(DecodeImage, BytesThatAreNoImageFailAndLeaveNoPixels) {
  const std::string good = EncodePng(4, 4, std::vector<Rgba>(16, Rgba{9, 9, 9, 9}));
  const std::string cases[] = {"", "not an image at all", good.substr(0, good.size() / 2),
                               good.substr(0, 8)};
  for (const std::string& bytes : cases) {
    DecodedImage image;
    ASSERT_TRUE(DecodeImage(good.data(), good.size(), &image));
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), &image)) << bytes.size() << " bytes";
    EXPECT_EQ(image.argb, nullptr);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.file_channels, 0);
  }
  DecodedImage image;
  EXPECT_FALSE(DecodeImage(nullptr, 100, &image));
}

// The common kind of PNG is decoded row by row without a second image-sized buffer; every other kind
// is declined there and decoded by the general decoder. Either way the words are the file's pixels.
TEST(DecodeImage, EveryKindOfPngGivesItsOwnPixels) {
  struct Case {
    const char* name;
    PngFile file;
    std::vector<uint32_t> expected;
    bool row_by_row;
    int channels;
  };
  auto file = [](uint32_t width, uint32_t height, uint8_t colour_type, std::string samples,
                 std::vector<uint8_t> filters) {
    PngFile png;
    png.width = width;
    png.height = height;
    png.colour_type = colour_type;
    png.samples = std::move(samples);
    png.filters = std::move(filters);
    return png;
  };
  const PngFile every_filter = file(5, 10, 6, Ramp(5 * 10 * 4, 1), {0, 1, 2, 3, 4});
  const PngFile one_wide = file(1, 6, 6, Ramp(6 * 4, 2), {4, 3, 1, 2});
  // Neighbours that tie in the Paeth choice: above against above-left, then left against above-left.
  std::string ties;
  for (int value : {10, 4, 5, 13, 2, 200}) ties += std::string(4, static_cast<char>(value));
  const PngFile paeth_ties = file(3, 2, 6, ties, {0, 4});
  PngFile split = file(7, 5, 6, Ramp(7 * 5 * 4, 3), {2, 4});
  split.data_chunk_bytes = 5;
  split.extra_chunks = {{"tEXt", std::string("Comment\0split", 13)}, {"gAMA", std::string(4, '\x01')}};
  const PngFile rgb = file(4, 6, 2, Ramp(4 * 6 * 3, 4), {4, 3, 2, 1, 0});
  PngFile deep = file(2, 1, 6, std::string("\x12\x34\x56\x78\x9a\xbc\xde\xf0\xff\xff\x00\x00\x80\x00\x40\x00", 16), {});
  deep.bit_depth = 16;
  PngFile keyed = file(2, 1, 2, std::string("\x01\x02\x03\x04\x05\x06", 6), {});
  keyed.extra_chunks = {{"tRNS", std::string("\x00\x04\x00\x05\x00\x06", 6)}};
  PngFile palette = file(2, 1, 3, std::string("\x01\x00", 2), {});
  palette.extra_chunks = {{"PLTE", std::string("\x10\x20\x30\x40\x50\x60", 6)}};
  PngFile interlaced = file(1, 1, 6, Ramp(4, 5), {});
  interlaced.interlace = 1;

  const Case cases[] = {
      {"RGBA, every filter", every_filter, ArgbFromRgba(every_filter.samples), true, 4},
      {"RGBA one pixel wide", one_wide, ArgbFromRgba(one_wide.samples), true, 4},
      {"RGBA, Paeth ties", paeth_ties, ArgbFromRgba(paeth_ties.samples), true, 4},
      {"RGBA data in many chunks after ancillary ones", split, ArgbFromRgba(split.samples), true, 4},
      {"RGB, every filter", rgb, ArgbFromRgb(rgb.samples), true, 3},
      {"grey", file(3, 1, 0, std::string("\x00\x80\xff", 3), {1}), {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu},
       false, 1},
      {"RGBA, 16 bits", deep, {0xDE12569Au, 0x40FF0080u}, false, 4},
      {"RGB with a transparent colour", keyed, {0xFF010203u, 0x00040506u}, false, 4},
      {"palette", palette, {0xFF405060u, 0xFF102030u}, false, 3},
      {"interlaced", interlaced, ArgbFromRgba(interlaced.samples), false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string png = EncodePng(c.file);
    DecodedImage direct;
    EXPECT_EQ(DecodePlainPng(png.data(), png.size(), &direct), c.row_by_row);
    if (c.row_by_row) EXPECT_EQ(WordsOf(direct), c.expected);
    else EXPECT_EQ(direct.argb, nullptr);
    DecodedImage image;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), &image));
    EXPECT_EQ(image.width, static_cast<int>(c.file.width));
    EXPECT_EQ(image.height, static_cast<int>(c.file.height));
    EXPECT_EQ(image.file_channels, c.channels);
    EXPECT_EQ(WordsOf(image), c.expected);
  }
}

TEST(DecodeImage, DamagedPngsAreRefusedOnBothPaths) {
  auto base = [] {
    PngFile file;
    file.width = 4;
    file.height = 4;
    file.samples = Ramp(64, 6);
    file.filters = {1};
    return file;
  };
  std::vector<std::pair<const char*, std::string>> cases;
  {
    PngFile file = base();
    file.filters = {1, 5};
    cases.emplace_back("a filter type the format lacks", EncodePng(file));
  }
  {
    PngFile file = base();
    file.end_chunk = false;
    cases.emplace_back("no end chunk", EncodePng(file));
  }
  {
    PngFile file = base();
    file.extra_chunks = {{"ABCD", "x"}};
    cases.emplace_back("an unknown critical chunk", EncodePng(file));
  }
  {
    PngFile file = base();
    file.samples.resize(32);
    file.height = 2;
    std::string png = EncodePng(file);
    png[16 + 7] = 4;  // the header promises four rows; the data holds two
    cases.emplace_back("fewer rows than the header says", png);
  }
  {
    const std::string png = EncodePng(base());
    cases.emplace_back("cut off in the image data", png.substr(0, png.size() - 30));
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    DecodedImage image;
    EXPECT_FALSE(DecodePlainPng(c.second.data(), c.second.size(), &image));
    EXPECT_EQ(image.argb, nullptr);
    EXPECT_FALSE(DecodeImage(c.second.data(), c.second.size(), &image));
  }
}

}  // namespace
