#include "vellum/controls/list/list_header.h"

#include <algorithm>
#include <vector>

#include "vellum/controls/list/list_header_geometry.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// Room around the text of a header (header) and of an item (item) without a height of its own.
constexpr int kHeaderExtraHeight = 6;
constexpr int kItemExtraHeight = 14;
constexpr int kItemMinWidth = 16;

int DefaultFontHeight(CPaintManagerUI* manager) {
  const TUIFontInfo* font = manager ? manager->GetDefaultFontInfo() : nullptr;
  return font ? static_cast<int>(font->tm.tmHeight) : 0;
}

UINT ApplyHorizontalAlign(UINT style, const wchar_t* value) {
  if (wcsstr(value, L"left") != nullptr) style &= ~(DT_CENTER | DT_RIGHT);
  if (wcsstr(value, L"center") != nullptr) {
    style |= DT_CENTER;
    style &= ~DT_RIGHT;
  }
  if (wcsstr(value, L"right") != nullptr) {
    style |= DT_RIGHT;
    style &= ~DT_CENTER;
  }
  return style;
}

}  // namespace

// ---- CListHeaderUI ----------------------------------------------------------------------------------

CListHeaderUI::CListHeaderUI() = default;

CControlUI* CListHeaderUI::CreateControl() { return new CListHeaderUI(); }

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeaderUI"; }

LPVOID CListHeaderUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListHeader") == 0) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void CListHeaderUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"scaleheader") == 0) {
    SetScaleHeader(ParseAttributeBool(value));
  } else {
    CHorizontalLayoutUI::SetAttribute(name, value);
  }
}

void CListHeaderUI::SetScaleHeader(bool scale) {
  if (scale_header_ == scale) return;
  scale_header_ = scale;
  NeedUpdate();
}

SIZE CListHeaderUI::EstimateSize(SIZE available) {
  SIZE size{0, GetFixedHeight()};
  if (size.cy == 0 && manager_) {
    for (int i = 0; i < items_.GetSize(); ++i) {
      auto* item = static_cast<CControlUI*>(items_[i]);
      size.cy = std::max(size.cy, item->EstimateSize(available).cy);
    }
    size.cy = std::max<LONG>(size.cy, DefaultFontHeight(manager_) + kHeaderExtraHeight);
  }
  for (int i = 0; i < items_.GetSize(); ++i) {
    size.cx += static_cast<CControlUI*>(items_[i])->EstimateSize(available).cx;
  }
  size.cx = std::max(size.cx, available.cx);
  return size;
}

void CListHeaderUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  if (items_.IsEmpty()) return;
  const RECT content = GetInsetRect();
  const SIZE available{content.right - content.left, content.bottom - content.top};

  std::vector<THeaderColumn> columns;
  columns.reserve(static_cast<size_t>(items_.GetSize()));
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* item = static_cast<CControlUI*>(items_[i]);
    THeaderColumn column;
    column.visible = item->IsVisible();
    column.floating = item->IsFloat();
    if (column.visible && !column.floating) {
      const RECT pad = item->GetPadding();
      column.estimated_width = item->EstimateSize(available).cx;
      column.min_width = item->GetMinWidth();
      column.max_width = item->GetMaxWidth();
      column.padding_left = pad.left;
      column.padding_right = pad.right;
      if (auto* header_item = static_cast<CListHeaderItemUI*>(item->GetInterface(L"ListHeaderItem"))) {
        column.scale = header_item->GetScale();
      }
    }
    columns.push_back(column);
  }

  THeaderSpace space;
  space.content_width = available.cx;
  space.child_padding = GetChildPadding();
  space.scale_header = scale_header_;
  space.scale_base = available.cx;
  // A list's rows lose the width of its vertical bar; the scaled columns stay above them.
  if (parent_ && parent_->GetInterface(L"List") != nullptr) {
    auto* list = static_cast<CContainerUI*>(parent_->GetInterface(L"Container"));
    if (CScrollBarUI* bar = list ? list->GetVerticalScrollBar() : nullptr) {
      space.scale_base -= bar->GetFixedWidth();
    }
  }
  const std::vector<int> widths = HeaderColumnWidths(columns, space);

  int x = content.left;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* item = static_cast<CControlUI*>(items_[i]);
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const RECT pad = item->GetPadding();
    LONG height = item->GetFixedHeight();
    if (height == 0) height = available.cy - pad.top - pad.bottom;
    height = std::max<LONG>(height, item->GetMinHeight());
    height = std::min<LONG>(height, item->GetMaxHeight());
    height = std::max<LONG>(height, 0);
    const RECT pos{x + pad.left, content.top + pad.top, x + pad.left + widths[i],
                   content.top + pad.top + height};
    item->SetPos(pos, false);
    x += widths[i] + pad.left + pad.right + space.child_padding;
  }
}

void CListHeaderUI::DoPostPaint(HDC /*dc*/, const RECT& /*paint*/) {}

// ---- CListHeaderItemUI ------------------------------------------------------------------------------

CListHeaderItemUI::CListHeaderItemUI() { SetMinWidth(kItemMinWidth); }

CControlUI* CListHeaderItemUI::CreateControl() { return new CListHeaderItemUI(); }

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListHeaderItem") == 0) return this;
  // A header item is a container but not a layout others may place children in by its rules.
  return CContainerUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const {
  return IsEnabled() && sep_width_ != 0 ? UIFLAG_SETCURSOR : 0;
}

void CListHeaderItemUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (!IsEnabled()) item_state_ = 0;
}

void CListHeaderItemUI::SetDragable(bool dragable) {
  dragable_ = dragable;
  if (!dragable_) item_state_ &= ~kStateDragging;
}

void CListHeaderItemUI::SetSepWidth(int width) { sep_width_ = width; }

void CListHeaderItemUI::SetTextColor(DWORD color) {
  text_color_ = color;
  Invalidate();
}

void CListHeaderItemUI::SetFont(int font) {
  font_ = font;
  Invalidate();
}

void CListHeaderItemUI::SetTextStyle(UINT style) {
  text_style_ = style;
  Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool show) {
  if (show_html_ == show) return;
  show_html_ = show;
  Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT padding) {
  text_padding_ = padding;
  Invalidate();
}

void CListHeaderItemUI::SetNormalImage(const wchar_t* image) {
  normal_image_ = image;
  Invalidate();
}

void CListHeaderItemUI::SetHotImage(const wchar_t* image) {
  hot_image_ = image;
  Invalidate();
}

void CListHeaderItemUI::SetPushedImage(const wchar_t* image) {
  pushed_image_ = image;
  Invalidate();
}

void CListHeaderItemUI::SetFocusedImage(const wchar_t* image) {
  focused_image_ = image;
  Invalidate();
}

void CListHeaderItemUI::SetSepImage(const wchar_t* image) {
  sep_image_ = image;
  Invalidate();
}

void CListHeaderItemUI::SetScale(int percent) {
  scale_ = percent;
  NeedParentUpdate();
}

bool CListHeaderItemUI::InSeparator(POINT point) const {
  return HeaderSeparatorHit(item_rect_, sep_width_, point);
}

void CListHeaderItemUI::RelayoutList() {
  if (parent_) parent_->NeedParentUpdate();
}

void CListHeaderItemUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CContainerUI::DoEvent(event);
    }
    return;
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
          item_state_ |= kStateDragging;
          last_drag_point_ = event.mouse_point;
        }
      } else {
        item_state_ |= UISTATE_PUSHED;
        if (manager_) manager_->SendNotify(this, L"headerclick");
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if ((item_state_ & kStateDragging) != 0) {
        item_state_ &= ~kStateDragging;
        RelayoutList();
      } else if ((item_state_ & UISTATE_PUSHED) != 0) {
        item_state_ &= ~UISTATE_PUSHED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if ((item_state_ & kStateDragging) != 0) {
        const int dx = event.mouse_point.x - last_drag_point_.x;
        const int width = DraggedColumnWidth(item_rect_, sep_width_, dx, GetPadding().right);
        if (width > GetMinWidth()) {
          // The fixed width is kept as written for 96 DPI and scaled when read, so the pointer's
          // device pixels go back to that unit before they are stored.
          CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
          SetFixedWidth(scaler ? scaler->Unscale(width) : width);
          last_drag_point_ = event.mouse_point;
          RelayoutList();
        }
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
        item_state_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        item_state_ &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CHorizontalLayoutUI::DoEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"dragable") == 0) {
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
  } else if (_wcsicmp(name, L"scale") == 0) {
    SetScale(ParseAttributeInt(value));
  } else {
    CHorizontalLayoutUI::SetAttribute(name, value);
  }
}

SIZE CListHeaderItemUI::EstimateSize(SIZE available) {
  if (GetFixedHeight() != 0) return CControlUI::EstimateSize(available);
  return SIZE{GetFixedWidth(), DefaultFontHeight(manager_) + kItemExtraHeight};
}

void CListHeaderItemUI::PaintStatusImage(HDC dc) {
  if (IsFocused()) {
    item_state_ |= UISTATE_FOCUSED;
  } else {
    item_state_ &= ~UISTATE_FOCUSED;
  }

  const CUIString* state_image = nullptr;
  if ((item_state_ & UISTATE_PUSHED) != 0) {
    state_image = &pushed_image_;
  } else if ((item_state_ & UISTATE_HOT) != 0) {
    state_image = &hot_image_;
  } else if ((item_state_ & UISTATE_FOCUSED) != 0) {
    state_image = &focused_image_;
  }
  if (state_image) {
    if (state_image->IsEmpty() && !normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
    if (!state_image->IsEmpty()) DrawImage(dc, state_image->GetData());
  } else if (!normal_image_.IsEmpty()) {
    DrawImage(dc, normal_image_.GetData());
  }

  if (sep_image_.IsEmpty()) return;
  RECT strip = HeaderSeparatorStrip(item_rect_, sep_width_);
  OffsetRect(&strip, -item_rect_.left, -item_rect_.top);
  // Image destinations are written for 96 DPI, like every skin geometry.
  if (CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr) scaler->Unscale(&strip);
  sep_modify_.Format(L"dest='%d,%d,%d,%d'", static_cast<int>(strip.left),
                     static_cast<int>(strip.top), static_cast<int>(strip.right),
                     static_cast<int>(strip.bottom));
  DrawImage(dc, sep_image_.GetData(), sep_modify_.GetData());
}

void CListHeaderItemUI::PaintText(HDC dc) {
  if (text_color_ == 0 && manager_) text_color_ = manager_->GetDefaultFontColor();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT rect = item_rect_;
  rect.left += text_padding_.left;
  rect.top += text_padding_.top;
  rect.right -= text_padding_.right;
  rect.bottom -= text_padding_.bottom;
  if (show_html_) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), text_color_, nullptr, nullptr,
                                links, font_, text_style_);
  } else {
    CRenderUI::DrawText(dc, manager_, rect, text.GetData(), text_color_, font_, text_style_);
  }
}

}  // namespace Vellum
