#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// A straight (not premultiplied) RGBA pixel as an image file stores it.
struct Rgba {
  uint8_t r, g, b, a;
};

// An 8-bit RGBA PNG of the given pixels, row by row from the top.
std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels);

// The parts of a PNG file that decoder tests vary.
struct PngFile {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bit_depth = 8;
  uint8_t colour_type = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
  uint8_t interlace = 0;
  // The rows' samples as the colour type and depth store them, before filtering.
  std::string samples;
  // The filter of each row, repeated over the rows; none on every row when empty. Written as given,
  // so a filter type the format lacks can be tried.
  std::vector<uint8_t> filters;
  // The image data in chunks of at most this many bytes; one chunk when 0.
  size_t data_chunk_bytes = 0;
  // Chunks (type, data) between the header and the image data.
  std::vector<std::pair<std::string, std::string>> extra_chunks;
  bool end_chunk = true;
};

std::string EncodePng(const PngFile& file);

// A solid PNG of width x height in the working folder for the length of a test.
class SolidPng {
 public:
  SolidPng(const wchar_t* name, int width, int height, Rgba colour);
  SolidPng(const wchar_t* name, Rgba colour) : SolidPng(name, 4, 4, colour) {}
  ~SolidPng();
  SolidPng(const SolidPng&) = delete;
  SolidPng& operator=(const SolidPng&) = delete;

 private:
  std::wstring name_;
};

}  // namespace testing_support
