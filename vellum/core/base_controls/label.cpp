#include "vellum/core/base_controls/label.h"

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

// The measuring rectangle's open side: wide or tall enough for any text a skin holds.
constexpr LONG kMeasureExtent = 9999;
// Room above and below the text of a single-line label without a fixed height.
constexpr LONG kSingleLineExtraHeight = 8;

bool Contains(const wchar_t* value, const wchar_t* word) {
  return value != nullptr && wcsstr(value, word) != nullptr;
}

}  // namespace

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

CControlUI* CLabelUI::CreateControl() { return new CLabelUI(); }

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Label") == 0) return this;
  return CControlUI::GetInterface(name);
}

UINT CLabelUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

void CLabelUI::SetText(const wchar_t* text) {
  CControlUI::SetText(text);
  estimate_needed_ = true;
  if (auto_calc_width_ || auto_calc_height_) NeedParentUpdate();
}

void CLabelUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_SETFOCUS) {
    focused_ = true;
    return;
  }
  if (event.type == UIEVENT_KILLFOCUS) {
    focused_ = false;
    return;
  }
  CControlUI::DoEvent(event);
}

bool CLabelUI::GetAutoCalcWidth() const { return auto_calc_width_; }
void CLabelUI::SetAutoCalcWidth(bool auto_width) { auto_calc_width_ = auto_width; }
bool CLabelUI::GetAutoCalcHeight() const { return auto_calc_height_; }
void CLabelUI::SetAutoCalcHeight(bool auto_height) { auto_calc_height_ = auto_height; }

void CLabelUI::SetTextStyle(UINT style) {
  text_style_ = style;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  text_color_ = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  disabled_text_color_ = color;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  font_ = index;
  estimate_needed_ = true;
  Invalidate();
}

RECT CLabelUI::GetTextPadding() const { return ScaleValue(text_padding_); }

void CLabelUI::SetTextPadding(RECT padding) {
  text_padding_ = padding;
  estimate_needed_ = true;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool show_html) {
  if (show_html_ == show_html) return;
  show_html_ = show_html;
  estimate_needed_ = true;
  Invalidate();
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"align") == 0) {
    if (Contains(value, L"left")) text_style_ &= ~(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) {
      text_style_ &= ~DT_RIGHT;
      text_style_ |= DT_CENTER;
    }
    if (Contains(value, L"right")) {
      text_style_ &= ~DT_CENTER;
      text_style_ |= DT_RIGHT;
    }
  } else if (_wcsicmp(name, L"valign") == 0) {
    if (Contains(value, L"top")) {
      text_style_ &= ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK);
      text_style_ |= DT_SINGLELINE;
    }
    if (Contains(value, L"vcenter")) {
      text_style_ &= ~(DT_BOTTOM | DT_WORDBREAK);
      text_style_ |= DT_VCENTER | DT_SINGLELINE;
    }
    if (Contains(value, L"bottom")) {
      text_style_ &= ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK | DT_SINGLELINE);
      text_style_ |= DT_BOTTOM | DT_SINGLELINE;
    }
  } else if (_wcsicmp(name, L"endellipsis") == 0) {
    if (ParseAttributeBool(value)) {
      text_style_ |= DT_END_ELLIPSIS;
    } else {
      text_style_ &= ~DT_END_ELLIPSIS;
    }
  } else if (_wcsicmp(name, L"wordbreak") == 0) {
    if (ParseAttributeBool(value)) {
      text_style_ &= ~DT_SINGLELINE;
      text_style_ |= DT_WORDBREAK | DT_EDITCONTROL;
    } else {
      text_style_ &= ~(DT_WORDBREAK | DT_EDITCONTROL);
      text_style_ |= DT_SINGLELINE;
    }
  } else if (_wcsicmp(name, L"noprefix") == 0) {
    if (ParseAttributeBool(value)) {
      text_style_ |= DT_NOPREFIX;
    } else {
      text_style_ &= ~DT_NOPREFIX;
    }
  } else if (_wcsicmp(name, L"font") == 0) {
    SetFont(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"textcolor") == 0) {
    SetTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"disabledtextcolor") == 0) {
    SetDisabledTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"textpadding") == 0) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (_wcsicmp(name, L"showhtml") == 0) {
    SetShowHtml(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"autocalcwidth") == 0) {
    SetAutoCalcWidth(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"autocalcheight") == 0) {
    SetAutoCalcHeight(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

SIZE CLabelUI::EstimateSize(SIZE available) {
  if (fixed_width_ > 0 && fixed_height_ > 0) return GetFixedSize();
  if (available.cx != last_available_.cx || available.cy != last_available_.cy) {
    estimate_needed_ = true;
  }
  if (!estimate_needed_) return estimated_;

  const CUIString text = GetText();
  last_available_ = available;
  estimate_needed_ = false;
  estimated_ = GetFixedSize();
  const RECT padding = GetTextPadding();
  const UINT measure_style = (text_style_ & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
  // Only called with a manager: the text is measured on its paint DC.
  auto measure = [&](RECT& measured) {
    if (show_html_) {
      int links = 0;
      CRenderUI::DrawHtmlText(manager_->GetPaintDC(), manager_, measured, text.GetData(), 0,
                              nullptr, nullptr, links, font_, measure_style);
    } else {
      CRenderUI::DrawText(manager_->GetPaintDC(), manager_, measured, text.GetData(), 0, font_,
                          measure_style);
    }
  };

  if ((text_style_ & DT_SINGLELINE) != 0) {
    if (estimated_.cy == 0) {
      LONG text_height = 0;
      if (manager_) {
        const TUIFontInfo* font = manager_->GetFontInfo(font_);
        if (font) text_height = font->tm.tmHeight;
      }
      estimated_.cy = padding.top + text_height + padding.bottom + kSingleLineExtraHeight;
    }
    if (estimated_.cx == 0 && auto_calc_width_ && manager_) {
      RECT measured{0, 0, kMeasureExtent, estimated_.cy};
      measure(measured);
      estimated_.cx = (measured.right - measured.left) +
                      ScaleValue(text_padding_.right + text_padding_.left);
    }
  } else if (estimated_.cy == 0 && auto_calc_height_ && manager_) {
    RECT measured{padding.left, 0, estimated_.cx - padding.right, kMeasureExtent};
    measure(measured);
    estimated_.cy = (measured.bottom - measured.top) + padding.top + padding.bottom;
  }
  return estimated_;
}

void CLabelUI::ResolveDefaultColors() {
  if (!manager_) return;
  if (text_color_ == 0) text_color_ = manager_->GetDefaultFontColor();
  if (disabled_text_color_ == 0) disabled_text_color_ = manager_->GetDefaultDisabledColor();
}

RECT CLabelUI::GetTextRect() const {
  RECT rect = item_rect_;
  const RECT padding = GetTextPadding();
  rect.left += padding.left;
  rect.right -= padding.right;
  rect.top += padding.top;
  rect.bottom -= padding.bottom;
  return rect;
}

void CLabelUI::DrawLabelText(HDC dc, RECT rect, const CUIString& text, DWORD color, int font) {
  if (show_html_) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), color, nullptr, nullptr, links,
                            font, text_style_);
  } else {
    CRenderUI::DrawText(dc, manager_, rect, text.GetData(), color, font, text_style_);
  }
}

void CLabelUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  const RECT rect = GetTextRect();
  DrawLabelText(dc, rect, text, IsEnabled() ? text_color_ : disabled_text_color_, font_);
}

}  // namespace Vellum
