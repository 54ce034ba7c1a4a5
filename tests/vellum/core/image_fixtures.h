#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A straight (not premultiplied) RGBA pixel as an image file stores it.
struct Rgba {
  uint8_t r, g, b, a;
};

// An 8-bit RGBA PNG of the given pixels, row by row from the top.
std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels);

}  // namespace testing_support
