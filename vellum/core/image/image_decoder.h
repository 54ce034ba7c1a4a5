#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Decoding of image files (PNG, BMP, JPEG, GIF, ...) from memory with the decoder the skin images use,
// for callers that want the pixels themselves rather than a DIB section.
namespace Vellum {

// Gives decoded pixels back to the decoder's allocator.
struct DecodedPixelsDeleter {
  void operator()(uint32_t* pixels) const;
};

struct DecodedImage {
  int width = 0;
  int height = 0;
  // What the file stores: 1 grey, 2 grey and alpha, 3 colour, 4 colour and alpha.
  int file_channels = 0;
  // width * height pixels, top-down rows without padding, each 0xAARRGGBB with straight (not
  // premultiplied) alpha, opaque where the file has no alpha: the layout of GDI+'s 32bppARGB and of a
  // 32-bit DIB. They stay in the decoder's own buffer: a copy would touch a fresh block as large as
  // the image, and first touches of fresh memory can cost more than the decoding itself.
  std::unique_ptr<uint32_t[], DecodedPixelsDeleter> argb;
};

// False (and `image` left empty) when the bytes are not an image the decoder reads or are damaged.
bool DecodeImage(const void* bytes, size_t size, DecodedImage* image);

}  // namespace Vellum
