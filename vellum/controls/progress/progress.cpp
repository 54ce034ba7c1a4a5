#include "vellum/controls/progress/progress.h"

#include "vellum/controls/progress/progress_geometry.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

constexpr UINT kProgressTextStyle = DT_SINGLELINE | DT_CENTER;
constexpr int kProgressFixedHeight = 12;

}  // namespace

CProgressUI::CProgressUI() {
  text_style_ = kProgressTextStyle;
  SetFixedHeight(kProgressFixedHeight);
}

CProgressUI::~CProgressUI() = default;

CControlUI* CProgressUI::CreateControl() { return new CProgressUI(); }

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

LPVOID CProgressUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Progress") == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal) return;
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetStretchFore(bool stretch) {
  if (stretch_fore_image_ == stretch) return;
  stretch_fore_image_ = stretch;
  Invalidate();
}

void CProgressUI::SetMinValue(int minimum) {
  minimum_ = minimum;
  Invalidate();
}

void CProgressUI::SetMaxValue(int maximum) {
  maximum_ = maximum;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value == value_ || value < minimum_ || value > maximum_) return;
  value_ = value;
  Invalidate();
  UpdateText();
}

void CProgressUI::SetShowText(bool show_text) {
  if (show_text_ == show_text) return;
  show_text_ = show_text;
  // Switched on after the value was set, the text would otherwise stay empty until the value moves.
  if (show_text_) {
    UpdateText();
  } else {
    SetText(L"");
  }
}

void CProgressUI::UpdateText() {
  if (!show_text_) return;
  const TProgressRange range = NormalizeProgressRange(minimum_, maximum_, value_);
  CUIString text;
  text.SmallFormat(L"%.0f%%", ProgressPercent(range));
  SetText(text.GetData());
}

void CProgressUI::NormalizeRange() {
  const TProgressRange range = NormalizeProgressRange(minimum_, maximum_, value_);
  minimum_ = range.minimum;
  maximum_ = range.maximum;
  value_ = range.value;
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"hor") == 0) {
    SetHorizontal(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"min") == 0) {
    SetMinValue(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"max") == 0) {
    SetMaxValue(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"value") == 0) {
    SetValue(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"isstretchfore") == 0) {
    SetStretchFore(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"showtext") == 0) {
    SetShowText(ParseAttributeBool(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

void CProgressUI::PaintForeColor(HDC dc) {
  NormalizeRange();
  if (fore_color_ == 0) return;
  const TProgressRange range{minimum_, maximum_, value_};
  RECT filled = item_rect_;
  if (horizontal_) {
    filled.right = filled.left + ProgressFilledExtent(item_rect_.right - item_rect_.left, range);
  } else {
    // The same part the fore image fills: from the value down to the bottom.
    filled.top = filled.top + ProgressUnfilledExtent(item_rect_.bottom - item_rect_.top, range);
  }
  CRenderUI::DrawColor(dc, filled, GetAdjustColor(fore_color_));
}

void CProgressUI::PaintForeImage(HDC dc) {
  NormalizeRange();
  const wchar_t* fore_image = GetForeImage();
  if (fore_image[0] == L'\0') return;
  const TProgressRange range{minimum_, maximum_, value_};
  const int width = item_rect_.right - item_rect_.left;
  const int height = item_rect_.bottom - item_rect_.top;
  int filled_width = width;
  int offset_y = 0;
  if (horizontal_) {
    filled_width = ProgressFilledExtent(width, range);
  } else {
    offset_y = ProgressUnfilledExtent(height, range);
  }
  // Image descriptions are written for 96 DPI and scaled when drawn.
  int unscaled_height = height;
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  if (scaler) {
    filled_width = scaler->Unscale(filled_width);
    offset_y = scaler->Unscale(offset_y);
    unscaled_height = scaler->Unscale(height);
  }
  if (stretch_fore_image_) {
    fore_image_modify_.Format(L"dest='%d,%d,%d,%d'", 0, offset_y, filled_width,
                                   unscaled_height);
  } else {
    fore_image_modify_.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", 0, offset_y,
                                   filled_width, unscaled_height, 0, offset_y, filled_width,
                                   unscaled_height);
  }
  DrawImage(dc, fore_image, fore_image_modify_.GetData());
}

}  // namespace Vellum
