#include "vellum/controls/list/list_body.h"

#include <algorithm>

#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"

namespace Vellum {
CListBodyUI::CListBodyUI(CListUI* owner) : owner_(owner) {}

int CListBodyUI::GetScrollStepSize() const {
  return owner_ ? owner_->GetScrollStepSize() : CVerticalLayoutUI::GetScrollStepSize();
}

void CListBodyUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type) && owner_) {
    owner_->DoEvent(event);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

void CListBodyUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT rc = GetInsetRect();
  const bool vbar_visible = vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible();
  const bool hbar_visible = horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible();
  if (vertical_scroll_bar_ &&
      (vbar_visible || (owner_ && owner_->IsFixedScrollbar()))) {
    rc.right -= vertical_scroll_bar_->GetFixedWidth();
  }
  if (hbar_visible) rc.bottom -= horizontal_scroll_bar_->GetFixedHeight();
  const int content_width = rc.right - rc.left;
  const int horizontal_range =
      hbar_visible ? static_cast<int>(horizontal_scroll_bar_->GetScrollRange()) : 0;
  const int horizontal_pos =
      hbar_visible ? static_cast<int>(horizontal_scroll_bar_->GetScrollPos()) : 0;
  const int vertical_pos =
      vbar_visible ? static_cast<int>(vertical_scroll_bar_->GetScrollPos()) : 0;
  const SIZE available{content_width + horizontal_range, rc.bottom - rc.top};

  // Rows are at least as wide as the columns above them.
  int cx_needed = 0;
  CListHeaderUI* header = owner_ ? owner_->GetHeader() : nullptr;
  if (header && header->GetCount() > 0) {
    const SIZE estimate = header->EstimateSize(SIZE{available.cx, available.cy});
    if (estimate.cx >= 0) cx_needed = estimate.cx;
    if (hbar_visible) {
      RECT pos = header->GetPos();
      const int width = pos.right - pos.left;
      pos.left = rc.left - horizontal_pos;
      pos.right = pos.left + width;
      header->SetPos(pos, false);
    }
  }

  const int child_padding = GetChildPadding();
  int adjustable = 0;
  int cy_fixed = 0;
  int placed_count = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* row = static_cast<CControlUI*>(items_[i]);
    if (!row->IsVisible() || row->IsFloat()) continue;
    const RECT pad = row->GetPadding();
    SIZE size = row->EstimateSize(available);
    if (size.cy == 0) {
      ++adjustable;
    } else {
      size.cy = std::max<LONG>(size.cy, row->GetMinHeight());
      size.cy = std::min<LONG>(size.cy, row->GetMaxHeight());
    }
    cy_fixed += size.cy + pad.top + pad.bottom;
    ++placed_count;
  }
  if (placed_count > 0) cy_fixed += (placed_count - 1) * child_padding;
  const int share = adjustable > 0 ? std::max<int>(0, (available.cy - cy_fixed) / adjustable) : 0;

  int y = rc.top;
  int cy_needed = 0;
  int adjustable_seen = 0;
  int cy_fixed_remaining = cy_fixed;
  int placed = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* row = static_cast<CControlUI*>(items_[i]);
    if (!row->IsVisible()) continue;
    if (row->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const RECT pad = row->GetPadding();
    if (placed > 0) cy_fixed_remaining -= child_padding;
    cy_fixed_remaining -= pad.top + pad.bottom;
    SIZE size = row->EstimateSize(available);
    if (size.cy == 0) {
      ++adjustable_seen;
      size.cy = share;
      if (adjustable_seen == adjustable) {
        size.cy = std::max<LONG>(0, rc.bottom - y - pad.top - pad.bottom - cy_fixed_remaining);
      }
    } else {
      cy_fixed_remaining -= std::min<LONG>(std::max<LONG>(size.cy, row->GetMinHeight()),
                                           row->GetMaxHeight());
    }
    size.cy = std::max<LONG>(size.cy, row->GetMinHeight());
    size.cy = std::min<LONG>(size.cy, row->GetMaxHeight());
    size.cy = std::max<LONG>(size.cy, 0);

    LONG width = std::max<LONG>(content_width + horizontal_range - pad.left - pad.right, cx_needed);
    width = std::max<LONG>(width, row->GetMinWidth());
    width = std::min<LONG>(width, row->GetMaxWidth());

    const LONG left = rc.left - horizontal_pos + pad.left;
    const LONG top = y + pad.top - vertical_pos;
    row->SetPos(RECT{left, top, left + width, top + size.cy}, false);

    y += size.cy + pad.top + pad.bottom + child_padding;
    cy_needed += size.cy + pad.top + pad.bottom;
    ++placed;
  }
  if (placed > 0) cy_needed += (placed - 1) * child_padding;

  // Rows with a width of their own in a plain list are tiles: they fill rows of a grid, and only
  // the grid's height needs scrolling.
  if (owner_ && owner_->GetListType() == 0 && !items_.IsEmpty()) {
    auto* first = static_cast<CControlUI*>(items_[0]);
    const int tile_width = first->GetFixedWidth();
    if (tile_width >= 1 && content_width / tile_width >= 1) {
      const int per_line = content_width / tile_width;
      cy_needed = first->GetFixedHeight() * ((items_.GetSize() - 1) / per_line + 1);
    }
  }

  ProcessScrollBar(rc, cx_needed, cy_needed);
}

void CListBodyUI::SetScrollPos(SIZE pos, bool /*notify*/) {
  const SIZE old = GetScrollPos();
  if (vertical_scroll_bar_) vertical_scroll_bar_->SetScrollPos(pos.cy);
  if (horizontal_scroll_bar_) horizontal_scroll_bar_->SetScrollPos(pos.cx);
  const SIZE now = GetScrollPos();
  const SIZE moved{-(now.cx - old.cx), -(now.cy - old.cy)};
  if (moved.cx == 0 && moved.cy == 0) return;

  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* row = static_cast<CControlUI*>(items_[i]);
    if (!row->IsVisible() || row->IsFloat()) continue;
    RECT pos = row->GetPos();
    OffsetRect(&pos, moved.cx, moved.cy);
    row->SetPos(pos, false);
  }
  Invalidate();

  if (!owner_) return;
  CListHeaderUI* header = owner_->GetHeader();
  TListDisplayInfo* info = owner_->GetListInfo();
  info->column_count = std::min(header->GetCount(), UILIST_MAX_COLUMNS);
  const bool hidden = !header->IsVisible();
  if (hidden) {
    for (int i = 0; i < header->GetCount(); ++i) header->GetItemAt(i)->SetInheritedVisible(true);
  }
  for (int i = 0; i < info->column_count; ++i) {
    CControlUI* item = header->GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT pos = item->GetPos();
    OffsetRect(&pos, moved.cx, 0);
    item->SetPos(pos, false);
    info->columns[i] = pos;
  }
  if (hidden) {
    for (int i = 0; i < header->GetCount(); ++i) header->GetItemAt(i)->SetInheritedVisible(false);
  }
}

}  // namespace Vellum
