#include "vellum/controls/list/list_header.h"

#include <algorithm>
#include <vector>

#include "vellum/controls/list/list_header_geometry.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

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
  return IsEnabled() && core_.sep_width != 0 ? UIFLAG_SETCURSOR : 0;
}

void CListHeaderItemUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (!IsEnabled()) core_.state = 0;
}

void CListHeaderItemUI::SetDragable(bool dragable) {
  core_.dragable = dragable;
  if (!core_.dragable) core_.state &= ~kStateDragging;
}

void CListHeaderItemUI::SetSepWidth(int width) { core_.sep_width = width; }

void CListHeaderItemUI::SetTextColor(DWORD color) {
  core_.text_color = color;
  Invalidate();
}

void CListHeaderItemUI::SetFont(int font) {
  core_.font = font;
  Invalidate();
}

void CListHeaderItemUI::SetTextStyle(UINT style) {
  core_.text_style = style;
  Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool show) {
  if (core_.show_html == show) return;
  core_.show_html = show;
  Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT padding) {
  core_.text_padding = padding;
  Invalidate();
}

void CListHeaderItemUI::SetNormalImage(const wchar_t* image) {
  core_.normal_image = image;
  Invalidate();
}

void CListHeaderItemUI::SetHotImage(const wchar_t* image) {
  core_.hot_image = image;
  Invalidate();
}

void CListHeaderItemUI::SetPushedImage(const wchar_t* image) {
  core_.pushed_image = image;
  Invalidate();
}

void CListHeaderItemUI::SetFocusedImage(const wchar_t* image) {
  core_.focused_image = image;
  Invalidate();
}

void CListHeaderItemUI::SetSepImage(const wchar_t* image) {
  core_.sep_image = image;
  Invalidate();
}

void CListHeaderItemUI::SetScale(int percent) {
  scale_ = percent;
  NeedParentUpdate();
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
  if (HandleListHeaderItemEvent(*this, core_, event, L"headerclick")) return;
  CHorizontalLayoutUI::DoEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (SetListHeaderItemAttribute(*this, name, value)) return;
  if (_wcsicmp(name, L"align") == 0) {
    SetTextStyle(ApplyHorizontalAlign(core_.text_style, value));
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

void CListHeaderItemUI::PaintStatusImage(HDC dc) { PaintListHeaderItemImages(*this, dc, core_); }

void CListHeaderItemUI::PaintText(HDC dc) {
  PaintListHeaderItemText(*this, dc, core_, 0, core_.text_style);
}

}  // namespace Vellum
