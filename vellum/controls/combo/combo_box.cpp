#include "vellum/controls/combo/combo_box.h"

#include <cwchar>
#include <string>

#include "vellum/controls/list/list_interfaces.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// Arrow parts in the strip, in its order.
constexpr int kArrowNormal = 0;
constexpr int kArrowHot = 1;
constexpr int kArrowPushed = 2;
constexpr int kArrowFocused = 3;
constexpr int kArrowDisabled = 4;
constexpr int kArrowParts = 5;

}  // namespace

CUIString BuildArrowImage(const wchar_t* description, int part, const RECT& dest, int* part_width) {
  if (!description) return CUIString();
  const std::wstring text(description);
  const size_t source = text.find(L"source");
  if (source == std::wstring::npos) return CUIString();
  const size_t open = text.find(L'\'', source);
  if (open == std::wstring::npos) return CUIString();
  const size_t close = text.find(L'\'', open + 1);
  if (close == std::wstring::npos) return CUIString();
  const std::wstring value = text.substr(open + 1, close - open - 1);
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  if (swscanf(value.c_str(), L"%d,%d,%d,%d", &left, &top, &right, &bottom) != 4) return CUIString();

  const int width = (right - left) / kArrowParts;
  if (part_width) *part_width = width;
  const int part_left = left + part * width;
  wchar_t replacement[160] = {};
  swprintf(replacement, sizeof(replacement) / sizeof(replacement[0]),
           L"source='%d,%d,%d,%d' dest='%d,%d,%d,%d'", part_left, top, part_left + width, bottom,
           static_cast<int>(dest.left), static_cast<int>(dest.top), static_cast<int>(dest.right),
           static_cast<int>(dest.bottom));
  const std::wstring result = text.substr(0, source) + replacement + text.substr(close + 1);
  return CUIString(result.c_str());
}

CControlUI* CComboBoxUI::CreateControl() { return new CComboBoxUI(); }

const wchar_t* CComboBoxUI::GetClass() const { return L"ComboBoxUI"; }

void CComboBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && _wcsicmp(name, L"arrowimage") == 0) {
    arrow_image_ = value ? value : L"";
    Invalidate();
    return;
  }
  CComboUI::SetAttribute(name, value);
}

void CComboBoxUI::PaintStatusImage(HDC dc) {
  if (arrow_image_.IsEmpty()) {
    CComboUI::PaintStatusImage(dc);
    return;
  }
  int part = kArrowNormal;
  if (!IsEnabled()) {
    part = kArrowDisabled;
  } else if (button_state_ & UICOMBO_STATE_PUSHED) {
    part = kArrowPushed;
  } else if (button_state_ & UICOMBO_STATE_HOT) {
    part = kArrowHot;
  } else if (IsFocused()) {
    part = kArrowFocused;
  }

  // The part width decides the destination, so the source is read before dest is known.
  int width = 0;
  if (BuildArrowImage(arrow_image_.GetData(), part, RECT{}, &width).IsEmpty()) return;
  arrow_width_ = width;
  // A description is written for 96 DPI and scaled as it is read, so the destination goes in
  // unscaled: the combo's inside (device pixels) brought back to that scale, the arrow at its right.
  const int border = GetBorderSize();
  RECT dest{border, border, GetWidth() - border, GetHeight() - border};
  if (CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr) scaler->Unscale(&dest);
  dest.left = dest.right - arrow_width_;
  const CUIString image = BuildArrowImage(arrow_image_.GetData(), part, dest, nullptr);
  DrawImage(dc, image.GetData());
}

void CComboBoxUI::PaintText(HDC dc) {
  const int selected = GetCurSel();
  if (selected < 0) return;
  CControlUI* control = GetItemAt(selected);
  if (!control) return;
  RECT rect = GetTextRect();
  // The arrow is as wide as its part of the strip at the scale in use.
  rect.right -= ScaleValue(arrow_width_);
  if (auto* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"))) {
    row->DrawItemText(dc, rect);
    return;
  }
  const RECT old_pos = control->GetPos();
  control->SetPos(rect, false);
  control->DoPaint(dc, rect, nullptr);
  control->SetPos(old_pos, false);
}

}  // namespace Vellum
