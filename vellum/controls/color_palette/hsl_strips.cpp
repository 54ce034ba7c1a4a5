#include "vellum/controls/color_palette/hsl_strips.h"

namespace Vellum {
namespace {

double HueToChannel(double p, double q, double t) {
  if (t < 0.0) t += 1.0;
  if (t > 1.0) t -= 1.0;
  if (6.0 * t < 1.0) return p + (q - p) * 6.0 * t;
  if (2.0 * t < 1.0) return q;
  if (3.0 * t < 2.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
  return p;
}

// Truncated, after an allowance far below one step: a channel that is exactly 1 in arithmetic
// ((2/3 - 1/2) * 6 for a cyan's green) comes out of double arithmetic a hair below it and would
// truncate to 254.
DWORD ToByte(double channel) {
  const double scaled = channel * 255.0 + 1e-9;
  if (scaled <= 0.0) return 0;
  if (scaled >= 255.0) return 255;
  return static_cast<DWORD>(scaled);
}

void Put(BYTE* pixels, int stride, int row, int column, DWORD rgb) {
  if (rgb == 0) rgb = 0x010000;
  BYTE* pixel = pixels + static_cast<size_t>(row) * stride + static_cast<size_t>(column) * 4;
  pixel[0] = static_cast<BYTE>(rgb & 0xFF);
  pixel[1] = static_cast<BYTE>((rgb >> 8) & 0xFF);
  pixel[2] = static_cast<BYTE>((rgb >> 16) & 0xFF);
  pixel[3] = 0xFF;
}

}  // namespace

DWORD HslToRgb(double hue, double saturation, double lightness) {
  if (saturation == 0.0) {
    const DWORD grey = ToByte(lightness);
    return (grey << 16) | (grey << 8) | grey;
  }
  const double q = lightness < 0.5 ? lightness * (1.0 + saturation)
                                   : lightness + saturation - lightness * saturation;
  const double p = 2.0 * lightness - q;
  const DWORD red = ToByte(HueToChannel(p, q, hue + 1.0 / 3.0));
  const DWORD green = ToByte(HueToChannel(p, q, hue));
  const DWORD blue = ToByte(HueToChannel(p, q, hue - 1.0 / 3.0));
  return (red << 16) | (green << 8) | blue;
}

void FillPalletStrip(BYTE* pixels, int stride, int saturation) {
  const double s = saturation / 200.0;
  for (int row = kPalletRows; row >= 1; --row) {
    const double l = (kPalletRows - row) / 200.0;
    for (int column = 0; column < kPalletColumns; ++column) {
      Put(pixels, stride, row, column, HslToRgb(column / 360.0, s, l));
    }
  }
}

void FillBarStrip(BYTE* pixels, int stride, int bar_height, int hue, int lightness) {
  if (bar_height > kMaxBarHeight) bar_height = kMaxBarHeight;
  const double h = hue / 360.0;
  const double l = lightness / 200.0;
  for (int column = 0; column < kBarColumns; ++column) {
    const DWORD rgb = HslToRgb(h, column / 200.0, l);
    for (int row = kBarTopRow; row < kBarTopRow + bar_height; ++row) Put(pixels, stride, row, column, rgb);
  }
}

}  // namespace Vellum
