#include "vellum/core/render/render_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/base/gdi_handles.h"

namespace Vellum {

namespace {

// One channel of the HSL to RGB conversion; t is first wrapped into 0..1.
float HueToChannel(float p, float q, float t) {
  while (t < 0.0f) t += 1.0f;
  while (t > 1.0f) t -= 1.0f;
  if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
  if (2.0f * t < 1.0f) return q;
  if (3.0f * t < 2.0f) return p + (q - p) * (2.0f / 3.0f - t) * 6.0f;
  return p;
}

BYTE ToByte(float value) {
  const float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<BYTE>(scaled);
}

// The HSL shift shared by colours and image pixels.
DWORD ShiftColor(DWORD color, short hue, short saturation, short lightness) {
  float h = 0, s = 0, l = 0;
  CRenderUI::RgbToHsl(color, &h, &s, &l);
  h = hue - 180 + h;
  if (h <= 0) h += 360;
  s = saturation / 100.0f * s;
  l = lightness / 100.0f * l;
  CRenderUI::HslToRgb(color, h, s, l);
  return color;
}

struct Msimg32 {
  AlphaBlendProc alpha_blend = nullptr;
  GradientFillProc gradient_fill = nullptr;
};

const Msimg32& ResolveMsimg32() {
  static const Msimg32 procs = [] {
    Msimg32 p;
    // The library is loaded by the first paint manager; load it here too, so that an early lookup
    // cannot leave the process without AlphaBlend for good.
    HMODULE module = GetModuleHandleW(L"msimg32.dll");
    if (!module) module = LoadLibraryW(L"msimg32.dll");
    if (module) {
      p.alpha_blend = reinterpret_cast<AlphaBlendProc>(
          reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
      p.gradient_fill = reinterpret_cast<GradientFillProc>(
          reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
    }
    if (!p.alpha_blend) p.alpha_blend = &CRenderUI::AlphaBlendFallback;
    return p;
  }();
  return procs;
}

}  // namespace

// ---- Colours ---------------------------------------------------------------------------------------

void CRenderUI::RgbToHsl(DWORD color, float* hue, float* saturation, float* lightness) {
  // Red, green and blue are read where HslToRgb writes them (ARGB order), so that a colour that
  // is converted there and back comes out as it went in.
  const float r = ((color >> 16) & 0xFF) / 255.0f;
  const float g = ((color >> 8) & 0xFF) / 255.0f;
  const float b = (color & 0xFF) / 255.0f;
  const float m = std::min(r, std::min(g, b));
  const float big = std::max(r, std::max(g, b));
  const float l = (big + m) / 2.0f;
  float h = 0, s = 0;
  if (m != big) {
    const float d = big - m;
    if (m == r) {
      h = 3.0f - (g - b) / d;
    } else if (m == g) {
      h = 5.0f - (b - r) / d;
    } else {
      h = 1.0f - (r - g) / d;
    }
    if (h >= 6.0f) h -= 6.0f;
    h *= 60.0f;
    s = 2.0f * l <= 1.0f ? d / (big + m) : d / (2.0f - big - m);
  }
  *hue = h;
  *saturation = s;
  *lightness = l;
}

void CRenderUI::HslToRgb(DWORD& color, float hue, float saturation, float lightness) {
  const float q = 2.0f * lightness < 1.0f ? lightness * (1.0f + saturation)
                                          : lightness + saturation - lightness * saturation;
  const float p = 2.0f * lightness - q;
  const float t = hue / 360.0f;
  const BYTE first = ToByte(HueToChannel(p, q, t + 1.0f / 3.0f));
  const BYTE second = ToByte(HueToChannel(p, q, t));
  const BYTE third = ToByte(HueToChannel(p, q, t - 1.0f / 3.0f));
  color = (color & 0xFF000000u) | (static_cast<DWORD>(first) << 16) |
          (static_cast<DWORD>(second) << 8) | third;
}

DWORD CRenderUI::AdjustColor(DWORD color, short hue, short saturation, short lightness) {
  if (hue == 180 && saturation == 100 && lightness == 100) return color;
  return ShiftColor(color, hue, saturation, lightness);
}

void CRenderUI::AdjustImage(bool use_hsl, TUIImageInfo* image, short hue, short saturation,
                            short lightness) {
  if (!image || !image->use_hsl || !image->bitmap || !image->bits || !image->hsl_bits) return;
  const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  if (!use_hsl || (hue == 180 && saturation == 100 && lightness == 100)) {
    std::memcpy(image->bits, image->hsl_bits, count * 4);
  } else {
    const DWORD* from = reinterpret_cast<const DWORD*>(image->hsl_bits);
    DWORD* to = reinterpret_cast<DWORD*>(image->bits);
    for (size_t i = 0; i < count; ++i) to[i] = ShiftColor(from[i], hue, saturation, lightness);
  }
  // The working pixels are a block of their own: the bitmap shows them only once copied in.
  DIBSECTION dib{};
  if (GetObjectW(image->bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBits &&
      dib.dsBm.bmBits != image->bits && dib.dsBm.bmBitsPixel == 32 &&
      dib.dsBm.bmWidth == image->width && std::abs(dib.dsBm.bmHeight) == image->height) {
    GdiFlush();
    std::memcpy(dib.dsBm.bmBits, image->bits, count * 4);
  }
}

DWORD CRenderUI::MixColor(DWORD a, double weight_a, DWORD b, double weight_b) {
  DWORD result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double value = ((a >> shift) & 0xFF) * weight_a + ((b >> shift) & 0xFF) * weight_b;
    const DWORD channel = value <= 0 ? 0 : value >= 255 ? 255 : static_cast<DWORD>(value);
    result |= channel << shift;
  }
  return result;
}

void CRenderUI::AvoidPureBlack(DWORD& color) {
  if ((color & 0x00FFFFFFu) == 0) color += 1;
}

// ---- Bitmaps and clipping ----------------------------------------------------------------------------

HBITMAP CRenderUI::Create32BitDib(HDC dc, int width, int height, BYTE** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(std::abs(width * height) * 4);
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bits) *bits = bitmap ? static_cast<BYTE*>(pixels) : nullptr;
  return bitmap;
}

CClipRegionUI::~CClipRegionUI() {
  // A null outer region means there was no clip before: selecting null removes ours.
  if (dc) SelectClipRgn(dc, outer_region);
  if (outer_region) DeleteObject(outer_region);
  if (region) DeleteObject(region);
}

namespace {

void InstallClip(HDC dc, const RECT& rect, HRGN region, CClipRegionUI& clip) {
  // The exact clip in force (a round parent's clip stays round once this one ends); none when
  // GetClipRgn reports that the DC has no clip.
  clip.outer_region = CreateRectRgn(0, 0, 0, 0);
  if (clip.outer_region && GetClipRgn(dc, clip.outer_region) != 1) {
    DeleteObject(clip.outer_region);
    clip.outer_region = nullptr;
  }
  // Regions are in device units: where the DC draws with a shifted origin (a control rendered into a
  // bitmap of its own size), the logical rectangle moves with it.
  POINT origin{};
  if (GetViewportOrgEx(dc, &origin) && (origin.x != 0 || origin.y != 0)) {
    OffsetRgn(region, origin.x, origin.y);
  }
  // The record keeps the clip as installed, inside the outer one, so that putting it back after
  // floating children never lets a child paint beyond its parent.
  if (clip.outer_region) CombineRgn(region, region, clip.outer_region, RGN_AND);
  clip.region = region;
  ExtSelectClipRgn(dc, region, RGN_AND);
  clip.dc = dc;
  clip.rect = rect;
}

}  // namespace

void CRenderUI::ClipToRect(HDC dc, const RECT& rect, CClipRegionUI& clip) {
  InstallClip(dc, rect, CreateRectRgnIndirect(&rect), clip);
}

void CRenderUI::ClipToRoundRect(HDC dc, const RECT& rect, const RECT& round_rect, int corner_width,
                                int corner_height, CClipRegionUI& clip) {
  HRGN region = CreateRectRgnIndirect(&rect);
  // An ellipse larger than the rectangle rounds it no further.
  const LONG most_wide = std::max<LONG>(0, round_rect.right + 1 - round_rect.left);
  const LONG most_high = std::max<LONG>(0, round_rect.bottom + 1 - round_rect.top);
  corner_width = static_cast<int>(std::min<LONG>(corner_width, most_wide));
  corner_height = static_cast<int>(std::min<LONG>(corner_height, most_high));
  const ScopedRegion round(CreateRoundRectRgn(round_rect.left, round_rect.top, round_rect.right + 1,
                                              round_rect.bottom + 1, corner_width, corner_height));
  CombineRgn(region, region, round.get(), RGN_AND);
  InstallClip(dc, rect, region, clip);
}

void CRenderUI::RestoreOuterClip(HDC dc, CClipRegionUI& clip) {
  if (clip.dc) SelectClipRgn(dc, clip.outer_region);
}

void CRenderUI::ReapplyClip(HDC dc, CClipRegionUI& clip) {
  if (clip.region) SelectClipRgn(dc, clip.region);
}

// ---- Alpha blending -----------------------------------------------------------------------------------

BOOL WINAPI CRenderUI::AlphaBlendFallback(HDC dest, int x, int y, int width, int height,
                                          HDC source, int source_x, int source_y,
                                          int source_width, int source_height,
                                          BLENDFUNCTION blend) {
  const ScopedMemoryDc memory(CreateCompatibleDC(dest));
  if (!memory) return FALSE;
  BYTE* source_bits = nullptr;
  BYTE* dest_bits = nullptr;
  const ScopedBitmap source_dib(Create32BitDib(dest, width, height, &source_bits));
  const ScopedBitmap dest_dib(source_dib ? Create32BitDib(dest, width, height, &dest_bits) : nullptr);
  if (!source_dib || !dest_dib) return FALSE;
  // Selected back before the owners above delete the bitmaps and the DC.
  HGDIOBJ old = SelectObject(memory.get(), source_dib.get());
  StretchBlt(memory.get(), 0, 0, width, height, source, source_x, source_y, source_width, source_height,
             SRCCOPY);
  SelectObject(memory.get(), dest_dib.get());
  BitBlt(memory.get(), 0, 0, width, height, dest, x, y, SRCCOPY);
  GdiFlush();

  // The source is premultiplied when it carries alpha: its colour is only scaled by the constant
  // alpha, while the destination keeps what the source leaves uncovered.
  const bool per_pixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  const double constant = blend.SourceConstantAlpha / 255.0;
  const DWORD* from = reinterpret_cast<const DWORD*>(source_bits);
  DWORD* to = reinterpret_cast<DWORD*>(dest_bits);
  const size_t count = static_cast<size_t>(std::abs(width)) * static_cast<size_t>(std::abs(height));
  for (size_t i = 0; i < count; ++i) {
    const DWORD src = from[i];
    const DWORD dst = to[i];
    const double source_alpha = per_pixel ? (src >> 24) / 255.0 : 1.0;
    const double cover = std::max(0.0, constant * source_alpha);
    const double source_weight = per_pixel ? constant : cover;
    const double alpha = (src >> 24) * source_weight + (dst >> 24) * (1.0 - cover);
    const DWORD a = alpha <= 0 ? 0 : alpha >= 255 ? 255 : static_cast<DWORD>(alpha);
    to[i] = MixColor(src, source_weight, dst, 1.0 - cover) | (a << 24);
  }

  BitBlt(dest, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
  SelectObject(memory.get(), old);
  return TRUE;
}

AlphaBlendProc CRenderUI::GetAlphaBlend() { return ResolveMsimg32().alpha_blend; }

GradientFillProc CRenderUI::GetGradientFill() { return ResolveMsimg32().gradient_fill; }

}  // namespace Vellum
