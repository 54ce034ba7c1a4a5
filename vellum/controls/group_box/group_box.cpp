#include "vellum/controls/group_box/group_box.h"

#include <algorithm>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// The frame line runs this far inside the rectangle; the title starts this far along it.
constexpr LONG kFrameInset = 5;
constexpr LONG kTitleIndent = 15;
constexpr LONG kTitleMeasureHeight = 20;

void RegisterGroupBoxFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CGroupBoxUI", &CGroupBoxUI::CreateControl);
}

const CControlFamilyRegistrar kGroupBoxFamily(&RegisterGroupBoxFamily);

}  // namespace

CGroupBoxUI::CGroupBoxUI() { SetInset(RECT{20, 25, 20, 20}); }

CControlUI* CGroupBoxUI::CreateControl() { return new CGroupBoxUI(); }

const wchar_t* CGroupBoxUI::GetClass() const { return L"GroupBoxUI"; }

LPVOID CGroupBoxUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"GroupBox") == 0) return static_cast<CGroupBoxUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

void CGroupBoxUI::SetTextColor(DWORD color) {
  text_color_ = color;
  Invalidate();
}

void CGroupBoxUI::SetDisabledTextColor(DWORD color) {
  disabled_text_color_ = color;
  Invalidate();
}

void CGroupBoxUI::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void CGroupBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && _wcsicmp(name, L"textcolor") == 0) {
    SetTextColor(ParseAttributeColor(value, false));
  } else if (name && _wcsicmp(name, L"disabledtextcolor") == 0) {
    SetDisabledTextColor(ParseAttributeColor(value, false));
  } else if (name && _wcsicmp(name, L"font") == 0) {
    SetFont(ParseAttributeInt(value));
  }
  CVerticalLayoutUI::SetAttribute(name, value);
}

SIZE CGroupBoxUI::CalcTitleSize(HDC dc, SIZE available) {
  RECT measured{0, 0, std::max<LONG>(available.cx, GetFixedXY().cx), kTitleMeasureHeight};
  CRenderUI::DrawText(dc, manager_, measured, GetText().GetData(), 0, font_,
                      text_style_ | DT_CALCRECT);
  return SIZE{measured.right - measured.left, measured.bottom - measured.top};
}

void CGroupBoxUI::PaintText(HDC dc) {
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  if (manager_) {
    if (text_color_ == 0) text_color_ = manager_->GetDefaultFontColor();
    if (disabled_text_color_ == 0) disabled_text_color_ = manager_->GetDefaultDisabledColor();
  }
  RECT frame = item_rect_;
  InflateRect(&frame, -kFrameInset, -kFrameInset);
  const SIZE title =
      CalcTitleSize(dc, SIZE{frame.right - frame.left, frame.bottom - frame.top});
  RECT title_rect{frame.left + kTitleIndent, frame.top - kFrameInset, 0, 0};
  title_rect.right = title_rect.left + title.cx;
  title_rect.bottom = title_rect.top + title.cy;
  CRenderUI::DrawTextWithBkColor(dc, manager_, title_rect, text.GetData(),
                                 IsEnabled() ? text_color_ : disabled_text_color_, font_,
                                 text_style_, GetAdjustColor(bk_color_));
}

void CGroupBoxUI::PaintBorder(HDC dc) {
  const int border = ScaleValue(border_size_);
  if (border < 1) return;
  RECT frame = item_rect_;
  InflateRect(&frame, -kFrameInset, -kFrameInset);
  const DWORD colour = GetAdjustColor(border_color_);
  const SIZE round = ScaleValue(border_round_);
  if (round.cx > 0 || round.cy > 0) {
    CRenderUI::DrawRoundRect(dc, frame, border, round.cx, round.cy, colour, 0);
  } else {
    CRenderUI::DrawRect(dc, frame, border, colour, 0);
  }
  // Again over the frame line, which would otherwise cross the title.
  PaintText(dc);
}

}  // namespace Vellum
