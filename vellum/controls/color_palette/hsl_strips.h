#pragma once

// The colour arithmetic of the colour palette, apart from any window: hue, saturation and
// lightness to red, green and blue, and the two strips the palette stretches onto the screen, held
// in one 32-bit top-down bitmap:
//   rows 1..200, columns 0..359: the pallet, column = hue in degrees, row 200 lightness 0 up to
//     row 1 lightness 199/200, at the current saturation;
//   rows 210..210 + bar height - 1, columns 0..199: the saturation bar, column = saturation / 200,
//     at the current hue and lightness.

#include <windows.h>

namespace Vellum {

constexpr int kPaletteBitmapWidth = 400;
constexpr int kPaletteBitmapHeight = 360;
constexpr int kPalletColumns = 360;
constexpr int kPalletRows = 200;
constexpr int kBarTopRow = 210;
constexpr int kBarColumns = 200;
// The bar's rows end at the bitmap's last row.
constexpr int kMaxBarHeight = kPaletteBitmapHeight - kBarTopRow;

// h, s and l in 0..1; the result is 0x00RRGGBB, each channel truncated.
DWORD HslToRgb(double hue, double saturation, double lightness);

// Write the strips into the pixels of a 32-bit top-down bitmap of kPaletteBitmapWidth by
// kPaletteBitmapHeight with stride bytes per row. Every pixel is opaque; black is written as red 1
// so that no pixel of a strip is all zero. saturation and lightness are in 0..200, hue in 0..360.
void FillPalletStrip(BYTE* pixels, int stride, int saturation);
void FillBarStrip(BYTE* pixels, int stride, int bar_height, int hue, int lightness);

}  // namespace Vellum
