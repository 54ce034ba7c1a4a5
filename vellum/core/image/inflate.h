#pragma once

#include <cstddef>
#include <cstdint>

namespace Vellum {

// Inflates a zlib stream into `out` until `out_size` bytes are there. The whole output is the history
// that matches copy from, so no window is kept and long runs are copied a block at a time rather than a
// byte at a time: image rows come out several times faster than through a general stream inflater.
// True when the stream gave `out_size` bytes; what follows them (the rest of the stream, its checksum)
// is not read. False for a damaged or truncated stream, one that ends early, a preset dictionary, or a
// code the encoder could not have meant (over-subscribed or incomplete Huffman codes); `out` then holds
// whatever was decoded. Never reads outside `in` or writes outside `out`.
bool InflateZlib(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size);

}  // namespace Vellum
