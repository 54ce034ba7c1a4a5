#pragma once

#include <cstddef>

#include "vellum/core/image_decoder.h"

namespace Vellum {

// Decodes the common kind of PNG (8 bits per channel, RGB or RGBA, not interlaced) one row at a time
// straight into the pixel buffer, so the whole inflated image never sits in a second buffer of its
// own: the pixels are the only large block the decode touches. False, with `image` left empty, for
// any other kind of PNG and for damaged data, which the general decoder then has its say on.
bool DecodePngRowByRow(const void* bytes, size_t size, DecodedImage* image);

}  // namespace Vellum
