// Image files decoded to the pixel words GDI+ and 32-bit DIBs take.

#include "vellum/core/image_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vellum/core/image_fixtures.h"

namespace {

using testing_support::EncodePng;
using testing_support::Rgba;
using Vellum::DecodedImage;
using Vellum::DecodeImage;

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

}  // namespace
