#pragma once

#include <cstddef>

#include "vellum/core/image/image_decoder.h"

namespace Vellum {

// Decodes the common kind of PNG (8 bits per channel, RGB or RGBA, not interlaced) in the pixel buffer
// itself: the image data is inflated straight into it and the rows are unfiltered and turned into
// pixel words where they lie, so the pixels are the only image-sized block the decode touches. False,
// with `image` left empty, for any other kind of PNG and for damaged data, which the general decoder
// then has its say on.
bool DecodePlainPng(const void* bytes, size_t size, DecodedImage* image);

}  // namespace Vellum
