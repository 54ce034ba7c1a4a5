#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Decoding of the simplest PNG files: 8-bit RGBA, not interlaced, with no chunk besides the header,
// the image data and the end. Nothing in such a file (no gamma, colour profile, palette or
// transparency chunk) leaves a decoder any choice, so every correct decoder gives exactly the stored
// pixels; decoding it here spares the platform decoder's streams, component look-ups and copies.
namespace PlainPng {

// True when `bytes` start like such a file: signature, RGBA header, then only image data chunks up to
// the end chunk, each within `size`. Anything else is left to a general decoder.
bool IsPlainRgba(const uint8_t* bytes, size_t size);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB, top-down, width * height
};

// Decodes a file for which IsPlainRgba holds. False when it does not hold, when the image data is
// damaged or short, or when the image is larger than `max_pixels`.
bool Decode(const uint8_t* bytes, size_t size, Image* image, size_t max_pixels = 16u * 1024 * 1024);

}  // namespace PlainPng
