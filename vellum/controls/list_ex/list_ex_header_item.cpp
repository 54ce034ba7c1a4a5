#include "vellum/controls/list_ex/list_ex_header_item.h"

#include "vellum/controls/list/list_header_geometry.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

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

CListContainerHeaderItemUI::CListContainerHeaderItemUI() {
  text_padding_ = RECT{2, 0, 2, 0};
  SetMinWidth(kItemMinWidth);
}

CControlUI* CListContainerHeaderItemUI::CreateControl() { return new CListContainerHeaderItemUI(); }

const wchar_t* CListContainerHeaderItemUI::GetClass() const { return L"ListContainerHeaderItemUI"; }

LPVOID CListContainerHeaderItemUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListContainerHeaderItem") == 0) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

UINT CListContainerHeaderItemUI::GetControlFlags() const {
  return IsEnabled() && sep_width_ != 0 ? UIFLAG_SETCURSOR : 0;
}

void CListContainerHeaderItemUI::SetEnabled(bool enable) {
  CHorizontalLayoutUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CListContainerHeaderItemUI::SetDragable(bool dragable) {
  dragable_ = dragable;
  if (!dragable_) button_state_ &= ~UISTATE_CAPTURED;
}

void CListContainerHeaderItemUI::SetTextColor(DWORD color) {
  text_color_ = color;
  Invalidate();
}

void CListContainerHeaderItemUI::SetFont(int font) {
  font_ = font;
  Invalidate();
}

void CListContainerHeaderItemUI::SetTextStyle(UINT style) {
  text_style_ = style;
  Invalidate();
}

void CListContainerHeaderItemUI::SetShowHtml(bool show) {
  if (show_html_ == show) return;
  show_html_ = show;
  Invalidate();
}

void CListContainerHeaderItemUI::SetTextPadding(RECT padding) {
  text_padding_ = padding;
  Invalidate();
}

void CListContainerHeaderItemUI::SetNormalImage(const wchar_t* image) {
  normal_image_ = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetHotImage(const wchar_t* image) {
  hot_image_ = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetPushedImage(const wchar_t* image) {
  pushed_image_ = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetFocusedImage(const wchar_t* image) {
  focused_image_ = image;
  Invalidate();
}

void CListContainerHeaderItemUI::SetSepImage(const wchar_t* image) {
  sep_image_ = image;
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

bool CListContainerHeaderItemUI::InSeparator(POINT point) const {
  return HeaderSeparatorHit(item_rect_, sep_width_, point);
}

void CListContainerHeaderItemUI::RelayoutList() {
  if (parent_) parent_->NeedParentUpdate();
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

  switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) return;
      if (InSeparator(event.mouse_point)) {
        if (dragable_) {
          button_state_ |= UISTATE_CAPTURED;
          last_mouse_point_ = event.mouse_point;
        }
      } else {
        button_state_ |= UISTATE_PUSHED;
        if (manager_) manager_->SendNotify(this, L"listheaderclick");
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if ((button_state_ & UISTATE_CAPTURED) != 0) {
        const int dx = event.mouse_point.x - last_mouse_point_.x;
        const int width = DraggedColumnWidth(item_rect_, sep_width_, dx, GetPadding().right);
        if (width > GetMinWidth()) {
          // Fixed widths are kept as written for 96 DPI; the pointer moves in device pixels.
          CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
          SetFixedWidth(scaler ? scaler->Unscale(width) : width);
          last_mouse_point_ = event.mouse_point;
          RelayoutList();
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      if ((button_state_ & UISTATE_CAPTURED) != 0) {
        button_state_ &= ~UISTATE_CAPTURED;
        RelayoutList();
      } else if ((button_state_ & UISTATE_PUSHED) != 0) {
        button_state_ &= ~UISTATE_PUSHED;
        Invalidate();
      }
      return;
    case UIEVENT_SETCURSOR:
      if (IsEnabled() && dragable_ && InSeparator(event.mouse_point)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return;
      }
      break;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        button_state_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        button_state_ &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (check_box_.SetAttribute(name, value)) {
    Invalidate();
  } else if (_wcsicmp(name, L"dragable") == 0) {
    SetDragable(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"sepwidth") == 0) {
    SetSepWidth(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"align") == 0) {
    SetTextStyle(ApplyHorizontalAlign(text_style_, value));
  } else if (_wcsicmp(name, L"endellipsis") == 0) {
    SetTextStyle(ParseAttributeBool(value) ? (text_style_ | DT_END_ELLIPSIS)
                                           : (text_style_ & ~static_cast<UINT>(DT_END_ELLIPSIS)));
  } else if (_wcsicmp(name, L"font") == 0) {
    SetFont(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"textcolor") == 0) {
    SetTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"textpadding") == 0) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (_wcsicmp(name, L"showhtml") == 0) {
    SetShowHtml(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"normalimage") == 0) {
    SetNormalImage(value);
  } else if (_wcsicmp(name, L"hotimage") == 0) {
    SetHotImage(value);
  } else if (_wcsicmp(name, L"pushedimage") == 0) {
    SetPushedImage(value);
  } else if (_wcsicmp(name, L"focusedimage") == 0) {
    SetFocusedImage(value);
  } else if (_wcsicmp(name, L"sepimage") == 0) {
    SetSepImage(value);
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
  if (IsFocused()) {
    button_state_ |= UISTATE_FOCUSED;
  } else {
    button_state_ &= ~UISTATE_FOCUSED;
  }
  const CUIString* state_image = nullptr;
  if ((button_state_ & UISTATE_PUSHED) != 0) {
    state_image = &pushed_image_;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    state_image = &hot_image_;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0) {
    state_image = &focused_image_;
  }
  if (state_image) {
    if (state_image->IsEmpty() && !normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
    if (!state_image->IsEmpty()) DrawImage(dc, state_image->GetData());
  } else if (!normal_image_.IsEmpty()) {
    DrawImage(dc, normal_image_.GetData());
  }

  if (!sep_image_.IsEmpty()) {
    RECT strip = HeaderSeparatorStrip(item_rect_, sep_width_);
    OffsetRect(&strip, -item_rect_.left, -item_rect_.top);
    // Image destinations are written for 96 DPI, like every skin geometry.
    if (CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr) scaler->Unscale(&strip);
    sep_modify_.Format(L"dest='%d,%d,%d,%d'", static_cast<int>(strip.left),
                       static_cast<int>(strip.top), static_cast<int>(strip.right),
                       static_cast<int>(strip.bottom));
    DrawImage(dc, sep_image_.GetData(), sep_modify_.GetData());
  }

  if (checkable_)
    check_box_.Paint(dc, manager_, GetCheckBoxRect(), paint_rect_, IsFocused(), IsEnabled());
}

void CListContainerHeaderItemUI::PaintText(HDC dc) {
  if (text_color_ == 0 && manager_) text_color_ = manager_->GetDefaultFontColor();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT rect{item_rect_.left + text_padding_.left, item_rect_.top + text_padding_.top,
            item_rect_.right - text_padding_.right, item_rect_.bottom - text_padding_.bottom};
  if (checkable_) rect.left += ScaleValue(check_box_.GetSize()).cx;
  const UINT style = text_style_ | DT_SINGLELINE;
  if (show_html_) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), text_color_, nullptr, nullptr,
                            links, font_, style);
  } else {
    CRenderUI::DrawText(dc, manager_, rect, text.GetData(), text_color_, font_, style);
  }
}

}  // namespace Vellum
