// Bitmap and shape drawing: nine-grid images with tiling, hole and fade, GDI+ images, solid fills,
// gradients, lines and outlines.

#include <objidl.h>

#include <algorithm>
#include <vector>

#include <gdiplus.h>

#include "vellum/core/render/paint_pass.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/render/render_internal.h"

namespace Vellum {

namespace {

bool IsEmptyArea(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool Intersects(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != FALSE;
}

// The memory DC a draw takes its bitmap from: the one the paint pass keeps for that bitmap while a
// pass is open, else one of its own for the time of the draw.
class SourceDC {
 public:
  SourceDC(HDC compatible_with, HBITMAP bitmap)
      : dc_(CPaintPassUI::KeptSourceDC(compatible_with, bitmap)) {
    if (dc_ != nullptr) return;
    dc_ = own_dc_ = CreateCompatibleDC(compatible_with);
    if (own_dc_ != nullptr) old_ = SelectObject(own_dc_, bitmap);
  }
  ~SourceDC() {
    if (own_dc_ == nullptr) return;
    if (old_ != nullptr) SelectObject(own_dc_, old_);
    DeleteDC(own_dc_);
  }
  SourceDC(const SourceDC&) = delete;
  SourceDC& operator=(const SourceDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HDC own_dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Draws the parts of one nine-grid image, each only where it meets the paint rectangle.
class PartPainter {
 public:
  PartPainter(HDC dc, HDC source_dc, const RECT& paint, bool blend, BYTE fade)
      : dc_(dc), source_dc_(source_dc), paint_(paint), blend_(blend) {
    function_ = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    alpha_blend_ = CRenderUI::GetAlphaBlend();
  }

  void Draw(const RECT& dest, const RECT& source) const {
    if (IsEmptyArea(dest) || IsEmptyArea(source) || !Intersects(dest, paint_)) return;
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    const int source_width = source.right - source.left;
    const int source_height = source.bottom - source.top;
    if (blend_) {
      alpha_blend_(dc_, dest.left, dest.top, width, height, source_dc_, source.left, source.top,
                   source_width, source_height, function_);
    } else {
      StretchBlt(dc_, dest.left, dest.top, width, height, source_dc_, source.left, source.top,
                 source_width, source_height, SRCCOPY);
    }
  }

  // The centre, tiled: along x only the tiles are stretched to the centre's height, along y only
  // to its width, along both they keep their size. The last tile of a row or column is cropped.
  // A source centre without width or height has nothing to tile and is left out.
  void Tile(const RECT& dest, const RECT& source, bool xtiled, bool ytiled) const {
    const int tile_width = source.right - source.left;
    const int tile_height = source.bottom - source.top;
    if (tile_width <= 0 || tile_height <= 0 || IsEmptyArea(dest)) return;
    const int step_x = xtiled ? tile_width : dest.right - dest.left;
    const int step_y = ytiled ? tile_height : dest.bottom - dest.top;
    for (int y = dest.top; y < dest.bottom; y += step_y) {
      const int part_height = std::min(step_y, static_cast<int>(dest.bottom) - y);
      const int source_height = ytiled ? part_height : tile_height;
      for (int x = dest.left; x < dest.right; x += step_x) {
        const int part_width = std::min(step_x, static_cast<int>(dest.right) - x);
        const int source_width = xtiled ? part_width : tile_width;
        Draw(RECT{x, y, x + part_width, y + part_height},
             RECT{source.left, source.top, source.left + source_width,
                  source.top + source_height});
      }
    }
  }

 private:
  HDC dc_;
  HDC source_dc_;
  RECT paint_;
  bool blend_;
  BLENDFUNCTION function_{};
  AlphaBlendProc alpha_blend_ = nullptr;
};

Gdiplus::Color ToGdiplusColor(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

// The parts of `area` that the DC's clip lets through, in device units; false when the clip cannot be
// read.
bool ClippedParts(HDC dc, const RECT& area, std::vector<RECT>* parts) {
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  if (clip == nullptr) return false;
  const int has_clip = GetClipRgn(dc, clip);
  if (has_clip == 1) {
    const DWORD size = GetRegionData(clip, 0, nullptr);
    std::vector<BYTE> data(size);
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    if (size >= sizeof(RGNDATAHEADER) && GetRegionData(clip, size, region) == size) {
      const RECT* rects = reinterpret_cast<const RECT*>(region->Buffer);
      for (DWORD i = 0; i < region->rdh.nCount; ++i) {
        RECT part = {};
        if (IntersectRect(&part, &rects[i], &area)) parts->push_back(part);
      }
    }
  } else if (has_clip == 0) {
    parts->push_back(area);
  }
  DeleteObject(clip);
  return has_clip != -1;
}

// Whether memory row 0 of the DIB is its top row. The header read back from a DIB section does not say
// so on every system (Wine reports a positive height for a top-down section), so GDI is asked where a
// pixel about to be filled lies: two markers go into the two candidate rows and are put back after.
bool RowZeroIsTop(HDC dc, DWORD* pixels, int width, int height, const std::vector<RECT>& parts) {
  for (const RECT& part : parts) {
    for (LONG y = part.top; y < part.bottom; ++y) {
      if (y == height - 1 - y) continue;  // the middle row is the same row either way
      DWORD& as_top = pixels[static_cast<size_t>(y) * width + part.left];
      DWORD& as_bottom = pixels[static_cast<size_t>(height - 1 - y) * width + part.left];
      const DWORD saved_top = as_top, saved_bottom = as_bottom;
      as_top = 0x000001;
      as_bottom = 0x000002;
      GdiFlush();
      const COLORREF seen = GetPixel(dc, part.left, y);
      as_top = saved_top;
      as_bottom = saved_bottom;
      return seen == RGB(0, 0, 1);
    }
  }
  return true;  // only middle rows are filled: both answers write the same pixels
}

// Writes an opaque colour straight into the 32-bit DIB section selected into the DC, within its clip:
// the pixels a GDI+ fill gives (alpha byte 0xFF), without building a GDI+ Graphics for each of the
// many backgrounds of a paint pass. False, with nothing drawn, wherever the DC is not that plain case.
bool FillOpaqueIntoDib(HDC dc, const RECT& rect, DWORD color) {
  POINT viewport = {}, window = {};
  if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE || !GetViewportOrgEx(dc, &viewport) ||
      !GetWindowOrgEx(dc, &window) || viewport.x != 0 || viewport.y != 0 || window.x != 0 || window.y != 0) {
    return false;
  }
  auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
  DIBSECTION dib = {};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr ||
      dib.dsBm.bmBitsPixel != 32 || dib.dsBmih.biCompression != BI_RGB) {
    return false;
  }
  const int width = dib.dsBm.bmWidth;
  const int height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
  const RECT surface = {0, 0, width, height};
  RECT area = {};
  if (!IntersectRect(&area, &rect, &surface)) return true;
  std::vector<RECT> parts;
  if (!ClippedParts(dc, area, &parts)) return false;
  if (parts.empty()) return true;
  auto* pixels = static_cast<DWORD*>(dib.dsBm.bmBits);
  GdiFlush();
  const bool top_down = RowZeroIsTop(dc, pixels, width, height, parts);
  const DWORD value = color | 0xFF000000;
  for (const RECT& part : parts) {
    for (LONG y = part.top; y < part.bottom; ++y) {
      DWORD* row = pixels + static_cast<size_t>(top_down ? y : height - 1 - y) * width;
      std::fill(row + part.left, row + part.right, value);
    }
  }
  return true;
}

}  // namespace

void CRenderUI::DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint,
                          const RECT& source, const RECT& corners, bool alpha, BYTE fade,
                          bool hole, bool xtiled, bool ytiled) {
  if (dc == nullptr || bitmap == nullptr) return;
  const SourceDC source_dc(dc, bitmap);
  if (source_dc.get() == nullptr) return;
  const int old_mode = SetStretchBltMode(dc, HALFTONE);
  POINT old_origin{};
  SetBrushOrgEx(dc, 0, 0, &old_origin);

  const bool blend = alpha || fade < 255;
  const bool no_corners =
      corners.left == 0 && corners.top == 0 && corners.right == 0 && corners.bottom == 0;
  if (!blend && no_corners && dest.right - dest.left == source.right - source.left &&
      dest.bottom - dest.top == source.bottom - source.top) {
    RECT visible;
    if (IntersectRect(&visible, &dest, &paint)) {
      BitBlt(dc, visible.left, visible.top, visible.right - visible.left,
             visible.bottom - visible.top, source_dc.get(),
             source.left + visible.left - dest.left, source.top + visible.top - dest.top,
             SRCCOPY);
    }
  } else {
    const PartPainter painter(dc, source_dc.get(), paint, blend, fade);
    const RECT& c = corners;
    const RECT& d = dest;
    const RECT& s = source;
    if (!hole) {
      const RECT centre{d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
      const RECT centre_source{s.left + c.left, s.top + c.top, s.right - c.right,
                               s.bottom - c.bottom};
      if (!IsEmptyArea(centre) && Intersects(centre, paint)) {
        if (xtiled || ytiled) {
          painter.Tile(centre, centre_source, xtiled, ytiled);
        } else {
          painter.Draw(centre, centre_source);
        }
      }
    }
    if (c.left > 0 && c.top > 0) {
      painter.Draw({d.left, d.top, d.left + c.left, d.top + c.top},
                   {s.left, s.top, s.left + c.left, s.top + c.top});
    }
    if (c.top > 0) {
      painter.Draw({d.left + c.left, d.top, d.right - c.right, d.top + c.top},
                   {s.left + c.left, s.top, s.right - c.right, s.top + c.top});
    }
    if (c.right > 0 && c.top > 0) {
      painter.Draw({d.right - c.right, d.top, d.right, d.top + c.top},
                   {s.right - c.right, s.top, s.right, s.top + c.top});
    }
    if (c.left > 0) {
      painter.Draw({d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom},
                   {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom});
    }
    if (c.right > 0) {
      painter.Draw({d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom},
                   {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom});
    }
    if (c.left > 0 && c.bottom > 0) {
      painter.Draw({d.left, d.bottom - c.bottom, d.left + c.left, d.bottom},
                   {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom});
    }
    if (c.bottom > 0) {
      painter.Draw({d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom},
                   {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom});
    }
    if (c.right > 0 && c.bottom > 0) {
      painter.Draw({d.right - c.right, d.bottom - c.bottom, d.right, d.bottom},
                   {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom});
    }
  }

  SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
  if (old_mode != 0) SetStretchBltMode(dc, old_mode);
}

void CRenderUI::DrawImageGdiplus(HDC dc, Gdiplus::Image* image, const RECT& dest,
                                 const RECT& paint, const RECT& source, bool /*alpha*/, BYTE fade,
                                 int rotate) {
  if (dc == nullptr || image == nullptr) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetClip(Gdiplus::Rect(paint.left, paint.top, paint.right - paint.left,
                                 paint.bottom - paint.top));
  Gdiplus::ImageAttributes attributes;
  Gdiplus::ImageAttributes* used_attributes = nullptr;
  if (fade < 255) {
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                    {0, 1, 0, 0, 0},
                                    {0, 0, 1, 0, 0},
                                    {0, 0, 0, fade / 255.0f, 0},
                                    {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault,
                              Gdiplus::ColorAdjustTypeBitmap);
    used_attributes = &attributes;
  }
  if (rotate != 0) {
    const Gdiplus::REAL centre_x = (dest.left + dest.right) / 2.0f;
    const Gdiplus::REAL centre_y = (dest.top + dest.bottom) / 2.0f;
    graphics.TranslateTransform(centre_x, centre_y);
    graphics.RotateTransform(static_cast<Gdiplus::REAL>(rotate));
    graphics.TranslateTransform(-centre_x, -centre_y);
  }
  graphics.DrawImage(image,
                     Gdiplus::Rect(dest.left, dest.top, dest.right - dest.left,
                                   dest.bottom - dest.top),
                     source.left, source.top, source.right - source.left,
                     source.bottom - source.top, Gdiplus::UnitPixel, used_attributes);
  graphics.ResetTransform();
}

void CRenderUI::DrawColor(HDC dc, const RECT& rect, DWORD color) {
  if (dc == nullptr || (color >> 24) == 0) return;
  if ((color >> 24) == 0xFF && FillOpaqueIntoDib(dc, rect, color)) return;
  Gdiplus::Graphics graphics(dc);
  Gdiplus::SolidBrush brush(ToGdiplusColor(color));
  graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                         static_cast<INT>(rect.right - rect.left),
                         static_cast<INT>(rect.bottom - rect.top));
}

void CRenderUI::DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical,
                             int steps) {
  if (dc == nullptr || IsEmptyArea(rect)) return;
  const BYTE alpha = static_cast<BYTE>(((from >> 24) + (to >> 24)) / 2);
  if (alpha == 0) return;

  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC target = dc;
  RECT area = rect;
  HBITMAP offscreen = nullptr;
  HDC offscreen_dc = nullptr;
  HGDIOBJ old_bitmap = nullptr;
  if (alpha < 255) {
    // Drawn opaque into a bitmap of its own, then blended on with the mean alpha.
    BYTE* bits = nullptr;
    offscreen = Create32BitDib(dc, width, -height, &bits);
    offscreen_dc = offscreen != nullptr ? CreateCompatibleDC(dc) : nullptr;
    if (offscreen_dc == nullptr) {
      if (offscreen != nullptr) DeleteObject(offscreen);
      return;
    }
    old_bitmap = SelectObject(offscreen_dc, offscreen);
    target = offscreen_dc;
    area = RECT{0, 0, width, height};
  }

  const GradientFillProc gradient_fill = GetGradientFill();
  if (gradient_fill != nullptr) {
    TRIVERTEX vertices[2] = {};
    const DWORD colors[2] = {from, to};
    const POINT corners[2] = {{area.left, area.top}, {area.right, area.bottom}};
    for (int i = 0; i < 2; ++i) {
      vertices[i].x = corners[i].x;
      vertices[i].y = corners[i].y;
      vertices[i].Red = static_cast<COLOR16>(((colors[i] >> 16) & 0xFF) << 8);
      vertices[i].Green = static_cast<COLOR16>(((colors[i] >> 8) & 0xFF) << 8);
      vertices[i].Blue = static_cast<COLOR16>((colors[i] & 0xFF) << 8);
      vertices[i].Alpha = 0xFF00;
    }
    GRADIENT_RECT mesh = {0, 1};
    gradient_fill(target, vertices, 2, &mesh, 1,
                  vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
  } else {
    int shift = 1;
    if (steps >= 64) {
      shift = 6;
    } else if (steps >= 32) {
      shift = 5;
    } else if (steps >= 16) {
      shift = 4;
    } else if (steps >= 8) {
      shift = 3;
    } else if (steps >= 4) {
      shift = 2;
    }
    const int bands = 1 << shift;
    const int length = vertical ? area.bottom - area.top : area.right - area.left;
    for (int u = 0; u < bands; ++u) {
      auto mix = [&](int bit) {
        const int a = static_cast<int>((from >> bit) & 0xFF);
        const int b = static_cast<int>((to >> bit) & 0xFF);
        return static_cast<BYTE>((a * u + b * (bands - u)) >> shift);
      };
      const int near_edge = length * u / bands;
      const int far_edge = length * (u + 1) / bands;
      if (far_edge - near_edge < 1) continue;
      RECT band = area;
      if (vertical) {
        band.bottom = area.bottom - near_edge;
        band.top = area.bottom - far_edge;
      } else {
        band.right = area.right - near_edge;
        band.left = area.right - far_edge;
      }
      HBRUSH brush = CreateSolidBrush(RGB(mix(16), mix(8), mix(0)));
      if (brush != nullptr) {
        FillRect(target, &band, brush);
        DeleteObject(brush);
      }
    }
  }

  if (offscreen_dc != nullptr) {
    // The gradient itself is opaque, so the constant alpha alone gives the blend.
    const BLENDFUNCTION function = {AC_SRC_OVER, 0, alpha, 0};
    GetAlphaBlend()(dc, rect.left, rect.top, width, height, offscreen_dc, 0, 0, width, height,
                    function);
    SelectObject(offscreen_dc, old_bitmap);
    DeleteDC(offscreen_dc);
    DeleteObject(offscreen);
  }
}

void CRenderUI::DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int style) {
  if (dc == nullptr) return;
  HPEN pen = CreatePen(style, width, ToColorRef(color));
  if (pen == nullptr) return;
  HGDIOBJ old_pen = SelectObject(dc, pen);
  POINT old_position{};
  MoveToEx(dc, rect.left, rect.top, &old_position);
  LineTo(dc, rect.right, rect.bottom);
  MoveToEx(dc, old_position.x, old_position.y, nullptr);
  SelectObject(dc, old_pen);
  DeleteObject(pen);
}

void CRenderUI::DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int style) {
  if (dc == nullptr) return;
  Gdiplus::Graphics graphics(dc);
  Gdiplus::Pen pen(ToGdiplusColor(color), static_cast<Gdiplus::REAL>(width));
  pen.SetAlignment(Gdiplus::PenAlignmentInset);
  pen.SetDashStyle(static_cast<Gdiplus::DashStyle>(style));
  graphics.DrawRectangle(&pen, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                         static_cast<INT>(rect.right - rect.left - 1),
                         static_cast<INT>(rect.bottom - rect.top - 1));
}

void CRenderUI::DrawRoundRect(HDC dc, const RECT& rect, int width, int corner_width,
                              int /*corner_height*/, DWORD color, int style) {
  DrawRoundRectPath(dc, rect.left, rect.top, rect.right - rect.left - 1,
                    rect.bottom - rect.top - 1, corner_width / 2, width, color, false, 0, style);
}

void CRenderUI::DrawRoundRectPath(HDC dc, int x, int y, int width, int height, int radius,
                                  int pen_width, DWORD pen_color, bool fill, DWORD fill_color,
                                  int dash_style) {
  if (dc == nullptr) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::GraphicsPath path;
  // Corners wider than the rectangle meet in its middle: a larger radius only gives the platform's
  // arc code numbers to overflow on.
  radius = std::min(radius, std::max(0, std::min(width, height) / 2));
  if (radius > 0) {
    const INT r = radius;
    const INT d = 2 * radius;
    path.AddLine(x + r, y, x + width - r, y);
    path.AddArc(x + width - d, y, d, d, 270, 90);
    path.AddLine(x + width, y + r, x + width, y + height - r);
    path.AddArc(x + width - d, y + height - d, d, d, 0, 90);
    path.AddLine(x + width - r, y + height, x + r, y + height);
    path.AddArc(x, y + height - d, d, d, 90, 90);
    path.AddLine(x, y + height - r, x, y + r);
    path.AddArc(x, y, d, d, 180, 90);
    path.CloseFigure();
  } else {
    // Arcs of no size are no arcs: a plain rectangle.
    path.AddRectangle(Gdiplus::Rect(x, y, width, height));
  }
  if (fill) {
    Gdiplus::SolidBrush brush(ToGdiplusColor((fill_color >> 24) != 0 ? fill_color : pen_color));
    graphics.FillPath(&brush, &path);
  }
  Gdiplus::Pen pen(ToGdiplusColor(pen_color), static_cast<Gdiplus::REAL>(pen_width));
  pen.SetDashStyle(static_cast<Gdiplus::DashStyle>(dash_style));
  graphics.DrawPath(&pen, &path);
}

}  // namespace Vellum
