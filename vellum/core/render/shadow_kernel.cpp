#include "vellum/core/render/shadow_kernel.h"

#include <algorithm>
#include <cmath>

namespace Vellum {

namespace {

DWORD Premultiply(DWORD color, int alpha) {
  const DWORD a = static_cast<DWORD>(alpha);
  const DWORD red = ((color >> 16) & 0xFF) * a / 255;
  const DWORD green = ((color >> 8) & 0xFF) * a / 255;
  const DWORD blue = (color & 0xFF) * a / 255;
  return (a << 24) | (red << 16) | (green << 8) | blue;
}

}  // namespace

ShadowKernel MakeShadowKernel(int size, int sharpness, BYTE darkness, DWORD color) {
  ShadowKernel kernel;
  kernel.radius = std::max(std::max(size, sharpness), 0);
  kernel.solid_radius = std::max(size - sharpness, 0);
  kernel.solid = Premultiply(color, darkness);
  const int side = 2 * kernel.radius + 1;
  kernel.pixels.assign(static_cast<size_t>(side) * side, 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double dx = x - kernel.radius;
      const double dy = y - kernel.radius;
      const double distance = std::sqrt(dx * dx + dy * dy);
      int alpha = 0;
      if (distance < kernel.solid_radius) {
        alpha = darkness;
      } else if (distance <= kernel.radius) {
        alpha = static_cast<int>((1.0 - (distance - kernel.solid_radius) / (sharpness + 1)) *
                                 darkness);
        alpha = std::clamp(alpha, 0, 255);
      }
      kernel.pixels[static_cast<size_t>(y) * side + x] = Premultiply(color, alpha);
    }
  }
  return kernel;
}

void ShrinkShadowSpans(std::vector<ShadowSpan>* spans, int times) {
  const int rows = static_cast<int>(spans->size());
  std::vector<ShadowSpan> previous;
  for (int pass = 0; pass < times; ++pass) {
    previous = *spans;
    for (int y = 0; y < rows; ++y) {
      ShadowSpan shrunk;
      bool empty = false;
      int left = previous[y].left;
      int right = previous[y].right;
      for (int neighbour = y - 1; neighbour <= y + 1; ++neighbour) {
        // Beyond the block there is no shape.
        if (neighbour < 0 || neighbour >= rows || previous[neighbour].IsEmpty()) {
          empty = true;
          break;
        }
        left = std::max(left, previous[neighbour].left);
        right = std::min(right, previous[neighbour].right);
      }
      if (!empty) {
        shrunk.left = left + 1;
        shrunk.right = right - 1;
      }
      (*spans)[y] = shrunk;
    }
  }
}

void PaintShadow(DWORD* pixels, int width, int height, const std::vector<ShadowSpan>& spans,
                 const ShadowKernel& kernel) {
  if (pixels == nullptr || width <= 0 || height <= 0) return;
  const int radius = kernel.radius;
  const int side = 2 * radius + 1;
  auto keep_larger = [](DWORD* pixel, DWORD value) {
    if (value > *pixel) *pixel = value;
  };
  auto stamp = [&](int centre_x, int centre_y) {
    const int top = std::max(centre_y - radius, 0);
    const int bottom = std::min(centre_y + radius, height - 1);
    const int left = std::max(centre_x - radius, 0);
    const int right = std::min(centre_x + radius, width - 1);
    for (int y = top; y <= bottom; ++y) {
      const DWORD* row = &kernel.pixels[static_cast<size_t>(y - centre_y + radius) * side];
      DWORD* target = pixels + static_cast<size_t>(y) * width;
      for (int x = left; x <= right; ++x) keep_larger(&target[x], row[x - centre_x + radius]);
    }
  };
  const int rows = std::min(height, static_cast<int>(spans.size()));
  for (int y = 0; y < rows; ++y) {
    const ShadowSpan& span = spans[y];
    if (span.IsEmpty()) continue;
    stamp(span.left, y);
    if (span.right != span.left) stamp(span.right, y);
    DWORD* target = pixels + static_cast<size_t>(y) * width;
    const int from = std::max(span.left, 0);
    const int to = std::min(span.right, width - 1);
    for (int x = from; x <= to; ++x) keep_larger(&target[x], kernel.solid);
  }
}

}  // namespace Vellum
