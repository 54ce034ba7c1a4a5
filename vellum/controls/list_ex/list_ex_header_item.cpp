#include "vellum/controls/list_ex/list_ex_header_item.h"

#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

constexpr int kItemMinWidth = 16;

UINT ApplyHorizontalAlign(UINT style, const wchar_t* value) {
  if (wcsstr(value, L"left") != nullptr) style &= ~(DT_CENTER | DT_RIGHT);
  if (wcsstr(value, L"center") != nullptr) style |= DT_CENTER;
  if (wcsstr(value, L"right") != nullptr) style |= DT_RIGHT;
  return style;
}

}  // namespace

CListContainerHeaderItemUI::CListContainerHeaderItemUI() { SetMinWidth(kItemMinWidth); }

CControlUI* CListContainerHeaderItemUI::CreateControl() { return new CListContainerHeaderItemUI(); }

const wchar_t* CListContainerHeaderItemUI::GetClass() const { return L"ListContainerHeaderItemUI"; }

LPVOID CListContainerHeaderItemUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListContainerHeaderItem") == 0) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

UINT CListContainerHeaderItemUI::GetControlFlags() const {
  return IsEnabled() && core_.sep_width != 0 ? UIFLAG_SETCURSOR : 0;
}

void CListContainerHeaderItemUI::SetEnabled(bool enable) {
  CHorizontalLayoutUI::SetEnabled(enable);
  if (!IsEnabled()) core_.state = 0;
}

void CListContainerHeaderItemUI::SetDragable(bool dragable) {
  core_.dragable = dragable;
  if (!core_.dragable) core_.state &= ~UISTATE_CAPTURED;
}

void CListContainerHeaderItemUI::SetTextColor(DWORD color) {
  core_.text_color = color;
  Invalidate();
}

void CListContainerHeaderItemUI::SetFont(int font) {
  core_.font = font;
  Invalidate();
}

void CListContainerHeaderItemUI::SetTextStyle(UINT style) {
  core_.text_style = style;
  Invalidate();
}

void CListContainerHeaderItemUI::SetShowHtml(bool show) {
  if (core_.show_html == show) return;
  core_.show_html = show;
  Invalidate();
}

void CListContainerHeaderItemUI::SetTextPadding(RECT padding) {
  core_.text_padding = padding;
  Invalidate();
}

void CListContainerHeaderItemUI::SetNormalImage(const wchar_t* image) {
  core_.normal_image = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetHotImage(const wchar_t* image) {
  core_.hot_image = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetPushedImage(const wchar_t* image) {
  core_.pushed_image = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetFocusedImage(const wchar_t* image) {
  core_.focused_image = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetSepImage(const wchar_t* image) {
  core_.sep_image = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetColumnCheckable(bool checkable) {
  if (checkable_ == checkable) return;
  checkable_ = checkable;
  Invalidate();
}

void CListContainerHeaderItemUI::SetCheck(bool checked) {
  if (check_box_.SetChecked(checked)) Invalidate();
}

RECT CListContainerHeaderItemUI::GetCheckBoxRect() const {
  return ListExCheckBoxRect(item_rect_, ScaleValue(check_box_.GetSize()));
}

int CListContainerHeaderItemUI::IndexInHeader() const {
  auto* header =
      parent_ ? static_cast<CContainerUI*>(parent_->GetInterface(L"Container")) : nullptr;
  return header ? header->GetItemIndex(const_cast<CListContainerHeaderItemUI*>(this)) : -1;
}

void CListContainerHeaderItemUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CHorizontalLayoutUI::DoEvent(event);
    }
    return;
  }

  if (checkable_ && IsEnabled() && IsMouseEvent(event.type)) {
    const CListExCheckBox::TResult result =
        check_box_.HandleMouse(event.type, event.mouse_point, GetCheckBoxRect(), true);
    if (result.changed || result.toggled) Invalidate();
    if (result.toggled && manager_) {
      manager_->SendNotify(this, L"listheaditemchecked", static_cast<WPARAM>(IndexInHeader()),
                           check_box_.IsChecked() ? 1 : 0);
    }
  }

  if (HandleListHeaderItemEvent(*this, core_, event, L"listheaderclick")) return;
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (check_box_.SetAttribute(name, value)) {
    Invalidate();
  } else if (SetListHeaderItemAttribute(*this, name, value)) {
    return;
  } else if (_wcsicmp(name, L"align") == 0) {
    SetTextStyle(ApplyHorizontalAlign(core_.text_style, value));
  } else if (_wcsicmp(name, L"editable") == 0) {
    SetColumnEditable(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"comboable") == 0) {
    SetColumnComboable(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"checkable") == 0) {
    SetColumnCheckable(ParseAttributeBool(value));
  } else {
    CHorizontalLayoutUI::SetAttribute(name, value);
  }
}

void CListContainerHeaderItemUI::PaintStatusImage(HDC dc) {
  PaintListHeaderItemImages(*this, dc, core_);
  if (checkable_)
    check_box_.Paint(dc, manager_, GetCheckBoxRect(), paint_rect_, IsFocused(), IsEnabled());
}

void CListContainerHeaderItemUI::PaintText(HDC dc) {
  const int leading = checkable_ ? ScaleValue(check_box_.GetSize()).cx : 0;
  PaintListHeaderItemText(*this, dc, core_, leading, core_.text_style | DT_SINGLELINE);
}

}  // namespace Vellum
