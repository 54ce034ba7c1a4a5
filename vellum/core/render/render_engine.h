#pragma once

// Static painting helpers that every painting step of the framework goes through: colour
// arithmetic on 32-bit ARGB values (alpha in the top byte, then red, green, blue), clip regions
// saved and restored around one painting step, 32-bit DIB sections, and the image loader that turns
// PNG, JPEG, BMP or GIF bytes into premultiplied top-down 32-bit DIB sections.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Gdiplus {
class Image;
}

namespace Vellum {

class CControlUI;
class CPaintManagerUI;
struct TImageDrawInfo;

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

// A clip state saved on the caller's stack for one painting step; its destructor puts back the
// exact clip it replaced (no clip when there was none) and deletes both regions.
class CClipRegionUI {
 public:
  CClipRegionUI() = default;
  ~CClipRegionUI();
  CClipRegionUI(const CClipRegionUI&) = delete;
  CClipRegionUI& operator=(const CClipRegionUI&) = delete;

  RECT rect{};
  HDC dc = nullptr;
  HRGN region = nullptr;        // installed by the clip operation
  HRGN outer_region = nullptr;  // in force before it (device units); null: there was no clip
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

  // Image drawing. The item rectangle is the control's; nothing is drawn outside the paint
  // rectangle. The operations that take a manager get their images, fonts and DPI scale from it.

  // The manager's cached description of the two texts, drawn with DrawImageInfo. False without a
  // device context or manager.
  static bool DrawImageString(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                              const wchar_t* image, const wchar_t* modify = nullptr,
                              HINSTANCE instance = nullptr);
  // Places the description's image by its destination, size, align and padding and draws it.
  static bool DrawImageInfo(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                            const TImageDrawInfo* info, HINSTANCE instance = nullptr);
  // Draws one named image, loading it through the manager when needed. False when the name is
  // empty or the image cannot be had; true when it was drawn or lay outside the paint rectangle.
  static bool DrawImage(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                        const CUIString& name, const CUIString& type, const RECT& dest,
                        const RECT& source, const RECT& corners, DWORD mask, BYTE fade,
                        int rotate, bool gdiplus, bool hole, bool xtiled, bool ytiled,
                        HINSTANCE instance = nullptr);
  // Nine-grid drawing of a premultiplied bitmap: corners copied at their size, edges stretched
  // along their length, the centre stretched or tiled (or left out with hole). Within a paint pass
  // the bitmap stays selected until the pass closes (see CPaintPassUI).
  static void DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint,
                        const RECT& source, const RECT& corners, bool alpha, BYTE fade = 255,
                        bool hole = false, bool xtiled = false, bool ytiled = false);
  static void DrawImageGdiplus(HDC dc, Gdiplus::Image* image, const RECT& dest, const RECT& paint,
                               const RECT& source, bool alpha, BYTE fade, int rotate);

  // Shapes. Fills blend by the colour's alpha and draw nothing at alpha 0; GDI pens ignore alpha.
  static void DrawColor(HDC dc, const RECT& rect, DWORD color);
  static void DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical,
                           int steps);
  static void DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int style = PS_SOLID);
  // style is a GDI+ dash style (0 solid).
  static void DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int style = 0);
  static void DrawRoundRect(HDC dc, const RECT& rect, int width, int corner_width,
                            int corner_height, DWORD color, int style = 0);
  static void DrawRoundRectPath(HDC dc, int x, int y, int width, int height, int radius,
                                int pen_width, DWORD pen_color, bool fill, DWORD fill_color,
                                int dash_style = 0);

  // Text with the manager's font of that id; style takes the DT_ flags. With DT_CALCRECT the
  // rectangle receives the measured extent instead.
  static void DrawText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                       DWORD color, int font, UINT style);
  static void DrawTextWithBkColor(HDC dc, CPaintManagerUI* manager, RECT& rect,
                                  const wchar_t* text, DWORD color, int font, UINT style,
                                  DWORD background);
  static void DrawTextGdiplus(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                              DWORD color, int font, UINT style);
  // Tagged text (<b>, <c #AARRGGBB>, <a link> ...). links and link_texts have room for link_count
  // entries (either may be null with a count of 0); link_count comes back as the number filled.
  static void DrawHtmlText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                           DWORD color, RECT* links, CUIString* link_texts, int& link_count,
                           int font, UINT style);
  // The extent of the whole text in the manager's font of that id; (0, 0) without text or manager.
  static SIZE GetTextSize(HDC dc, CPaintManagerUI* manager, const wchar_t* text, int font);

  // The control (or the manager's root, painted up to the stop control) painted into a new top-down
  // 32-bit DIB section of the rectangle's size; a background colour with alpha is blended over the
  // copy. Null without manager or control, or when the bitmap cannot be made.
  static HBITMAP RenderControlToBitmap(CPaintManagerUI* manager, CControlUI* control,
                                       const RECT& rect, DWORD background = 0);
  static HBITMAP RenderWindowToBitmap(CPaintManagerUI* manager, const RECT& rect,
                                      CControlUI* stop = nullptr, DWORD background = 0);
};

}  // namespace Vellum
