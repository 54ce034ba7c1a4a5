#pragma once

// Static painting helpers that every painting step of the framework goes through: colour
// arithmetic on 32-bit ARGB values (alpha in the top byte, then red, green, blue), clip regions
// saved and restored around one painting step, 32-bit DIB sections, and the image loader that turns
// PNG, JPEG, BMP or GIF bytes into premultiplied top-down 32-bit DIB sections.

#include <windows.h>

#include "vellum/core/ui_string.h"

namespace Gdiplus {
class Image;
}

namespace Vellum {

// One loaded image. The pixel block and its HSL source copy are heap blocks (malloc) owned by the
// record; the loaders leave both null, and whoever wants HSL adjustment of an image provides them.
struct TUIImageInfo {
  Gdiplus::Image* gdiplus_image = nullptr;  // kept by LoadImageGdiplus only
  HBITMAP bitmap = nullptr;                 // top-down 32-bit DIB, colour premultiplied by alpha
  BYTE* bits = nullptr;                     // working pixels for HSL adjustment
  BYTE* hsl_bits = nullptr;                 // the unadjusted copy of those pixels
  int width = 0;
  int height = 0;
  bool has_alpha = false;  // some pixel is not opaque, or matched the mask colour
  bool use_hsl = false;
  CUIString res_type;
  DWORD mask = 0;
};

// A clip state saved on the caller's stack for one painting step; its destructor puts the outer
// clip back and deletes both regions.
class CClipRegionUI {
 public:
  CClipRegionUI() = default;
  ~CClipRegionUI();
  CClipRegionUI(const CClipRegionUI&) = delete;
  CClipRegionUI& operator=(const CClipRegionUI&) = delete;

  RECT rect{};
  HDC dc = nullptr;
  HRGN region = nullptr;        // installed by the clip operation
  HRGN outer_region = nullptr;  // in force before it
};

using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

class CRenderUI {
 public:
  // HSL shift of one colour; hue 180, saturation 100, lightness 100 is no shift.
  static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);
  // Recomputes an image's working pixels from its HSL copy (see TUIImageInfo) and puts them into
  // its bitmap. Does nothing for images without use-HSL, a bitmap, or both pixel blocks.
  static void AdjustImage(bool use_hsl, TUIImageInfo* image, short hue, short saturation,
                          short lightness);
  // Hue 0..360, saturation and lightness 0..1, of the red, green and blue bytes of an ARGB value.
  static void RgbToHsl(DWORD color, float* hue, float* saturation, float* lightness);
  // Writes the red, green and blue bytes of an ARGB value; keeps its alpha byte.
  static void HslToRgb(DWORD& color, float hue, float saturation, float lightness);
  // Per channel a * weight_a + b * weight_b, truncated; the alpha byte of the result is 0.
  static DWORD MixColor(DWORD a, double weight_a, DWORD b, double weight_b);
  // Black becomes blue 1, so that it survives code that reads 0 as "no colour".
  static void AvoidPureBlack(DWORD& color);

  // A 32-bit DIB section; a negative height makes it top-down. Null on failure.
  static HBITMAP Create32BitDib(HDC dc, int width, int height, BYTE** bits);

  static void ClipToRect(HDC dc, const RECT& rect, CClipRegionUI& clip);
  static void ClipToRoundRect(HDC dc, const RECT& rect, const RECT& round_rect, int corner_width,
                              int corner_height, CClipRegionUI& clip);
  // Lets children that float outside the clip paint: puts the outer clip back for a while.
  static void RestoreOuterClip(HDC dc, CClipRegionUI& clip);
  static void ReapplyClip(HDC dc, CClipRegionUI& clip);

  // The same arguments and result as the system's AlphaBlend, for when it cannot be found.
  static BOOL WINAPI AlphaBlendFallback(HDC dest, int x, int y, int width, int height,
                                        HDC source, int source_x, int source_y, int source_width,
                                        int source_height, BLENDFUNCTION blend);
  // AlphaBlend (or the fallback) and GradientFill (or null), looked up once per process.
  static AlphaBlendProc GetAlphaBlend();
  static GradientFillProc GetGradientFill();

  // name: a file or zip entry name, or with a type a resource name. Without a type the name is
  // first looked up among the resource store's image paths. Null when the image cannot be loaded.
  static TUIImageInfo* LoadImage(const wchar_t* name, const wchar_t* type = nullptr,
                                 DWORD mask = 0, HINSTANCE instance = nullptr);
  static TUIImageInfo* LoadImage(UINT id, const wchar_t* type = nullptr, DWORD mask = 0,
                                 HINSTANCE instance = nullptr);
  // LoadImage plus a GDI+ image of the same bytes (GDI+ must be started). Null only when neither
  // could be made.
  static TUIImageInfo* LoadImageGdiplus(const wchar_t* name, const wchar_t* type = nullptr,
                                        DWORD mask = 0, HINSTANCE instance = nullptr);
  static void FreeImage(TUIImageInfo* image, bool delete_record = true);
};

}  // namespace Vellum
