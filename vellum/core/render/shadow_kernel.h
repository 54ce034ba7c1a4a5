#pragma once

// The arithmetic of a window's soft shadow, apart from any window: the kernel stamped along the
// edge of the window's shape, the shrinking of that shape for sharp shadows, and the painting of
// both into a 32-bit premultiplied pixel block.

#include <windows.h>

#include <vector>

namespace Vellum {

// One row of the shape: the leftmost and rightmost pixel inside it. A row with no pixel inside has
// left > right.
struct ShadowSpan {
  int left = 1;
  int right = 0;
  bool IsEmpty() const { return left > right; }
};

struct ShadowKernel {
  int radius = 0;          // K: the kernel is (2K + 1) pixels square
  int solid_radius = 0;    // S: inside it every pixel has the full darkness
  DWORD solid = 0;         // the colour premultiplied by the darkness, darkness as alpha
  std::vector<DWORD> pixels;  // row by row, premultiplied ARGB
};

// color is 0xRRGGBB. At distance d from the centre: d < S gives the darkness, S <= d <= K gives
// (1 - (d - S) / (sharpness + 1)) * darkness truncated, d > K gives 0.
ShadowKernel MakeShadowKernel(int size, int sharpness, BYTE darkness, DWORD color);

// Each row becomes [max of the left ends of it and its two neighbours + 1, min of their right ends
// - 1], `times` times over. A neighbour that is empty empties the row.
void ShrinkShadowSpans(std::vector<ShadowSpan>* spans, int times);

// Stamps the kernel, centred, at both ends of every span (row y of the block is spans[y]) keeping
// the larger value per pixel, and fills the inside of each span with the solid value. Every write
// is clipped to the width x height block; pixels are top-down rows.
void PaintShadow(DWORD* pixels, int width, int height, const std::vector<ShadowSpan>& spans,
                 const ShadowKernel& kernel);

}  // namespace Vellum
