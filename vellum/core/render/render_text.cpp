// Plain text drawing through GDI or GDI+, and text measuring.

#include <objidl.h>

#include <algorithm>
#include <cwchar>

#include <gdiplus.h>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/paint_pass.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/render/render_internal.h"

namespace Vellum {

void CRenderUI::DrawText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                         DWORD color, int font, UINT style) {
  if (dc == nullptr || manager == nullptr || text == nullptr || *text == L'\0') return;
  if (manager->IsLayered() || manager->IsUseGdiplusText()) {
    DrawTextGdiplus(dc, manager, rect, text, color, font, style);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(color));
  // Within a paint pass the font stays selected for the next text; elsewhere it is put back.
  HFONT handle = manager->GetFont(font);
  const bool kept = CPaintPassUI::KeepFont(dc, handle);
  ScopedFont selected(dc, kept ? nullptr : handle);
  const wchar_t* entity = std::wcsstr(text, L"&#x");
  if (entity != nullptr) {
    // One character given by its code: "&#x" then up to four hexadecimal digits, maybe ";".
    CUIString code(entity + 3, static_cast<int>(std::min<size_t>(std::wcslen(entity + 3), 4)));
    if (!code.IsEmpty() && code[code.GetLength() - 1] == L' ') code = code.Left(code.GetLength() - 1);
    if (!code.IsEmpty() && code[code.GetLength() - 1] == L';') code = code.Left(code.GetLength() - 1);
    const wchar_t character[2] = {static_cast<wchar_t>(std::wcstoul(code.GetData(), nullptr, 16)),
                                  L'\0'};
    ::DrawTextW(dc, character, 1, &rect, style);
  } else {
    ::DrawTextW(dc, text, -1, &rect, style);
  }
}

void CRenderUI::DrawTextWithBkColor(HDC dc, CPaintManagerUI* manager, RECT& rect,
                                    const wchar_t* text, DWORD color, int font, UINT style,
                                    DWORD background) {
  if (manager == nullptr || text == nullptr || *text == L'\0') return;
  DrawColor(dc, rect, background);
  DrawText(dc, manager, rect, text, color, font, style);
}

void CRenderUI::DrawTextGdiplus(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                                DWORD color, int font, UINT style) {
  if (dc == nullptr || manager == nullptr || text == nullptr || *text == L'\0') return;
  Gdiplus::Graphics graphics(dc);
  Gdiplus::Font gdiplus_font(dc, manager->GetFont(font));
  const int hint = manager->GetTextRenderingHint();
  graphics.SetTextRenderingHint(
      static_cast<Gdiplus::TextRenderingHint>(hint >= 1 && hint <= 5 ? hint : 0));
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);

  // Alpha 0xFE rather than opaque: text drawn on a layered window must not look like untouched
  // opaque pixels to the code that fixes up GDI output.
  Gdiplus::SolidBrush brush(Gdiplus::Color(0xFE, (color >> 16) & 0xFF, (color >> 8) & 0xFF,
                                           color & 0xFF));
  Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
  if ((style & DT_END_ELLIPSIS) != 0) format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  INT flags = format.GetFormatFlags();
  if ((style & DT_NOCLIP) != 0) flags |= Gdiplus::StringFormatFlagsNoClip;
  if ((style & DT_SINGLELINE) != 0) flags |= Gdiplus::StringFormatFlagsNoWrap;
  format.SetFormatFlags(flags);
  if ((style & DT_CENTER) != 0) {
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
  } else if ((style & DT_RIGHT) != 0) {
    format.SetAlignment(Gdiplus::StringAlignmentFar);
  } else {
    format.SetAlignment(Gdiplus::StringAlignmentNear);
  }
  if ((style & DT_VCENTER) != 0) {
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  } else if ((style & DT_BOTTOM) != 0) {
    format.SetLineAlignment(Gdiplus::StringAlignmentFar);
  } else {
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
  }

  const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rect.left),
                              static_cast<Gdiplus::REAL>(rect.top),
                              static_cast<Gdiplus::REAL>(rect.right - rect.left),
                              static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
  if ((style & DT_CALCRECT) != 0) {
    Gdiplus::RectF bounds;
    graphics.MeasureString(text, -1, &gdiplus_font, layout, &format, &bounds);
    rect.right = rect.left + static_cast<LONG>(bounds.Width) + 1;
    rect.bottom = rect.top + static_cast<LONG>(bounds.Height) + 1;
  } else {
    graphics.DrawString(text, -1, &gdiplus_font, layout, &format, &brush);
  }
}

SIZE CRenderUI::GetTextSize(HDC dc, CPaintManagerUI* manager, const wchar_t* text, int font) {
  SIZE size{0, 0};
  if (manager == nullptr || text == nullptr || *text == L'\0') return size;
  HDC measuring = dc != nullptr ? dc : GetDC(nullptr);
  if (measuring == nullptr) return size;
  {
    ScopedFont selected(measuring, manager->GetFont(font));
    GetTextExtentPoint32W(measuring, text, static_cast<int>(std::wcslen(text)), &size);
  }
  if (dc == nullptr) ReleaseDC(nullptr, measuring);
  return size;
}

}  // namespace Vellum
