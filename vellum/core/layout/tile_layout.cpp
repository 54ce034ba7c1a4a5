#include "vellum/core/layout/tile_layout.h"

#include <algorithm>

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base_controls/scroll_bar.h"

namespace Vellum {
namespace {
// The height a row estimate may use: rows are as tall as their tallest child wants.
constexpr LONG kRowEstimateHeight = 9999;
}  // namespace

CTileLayoutUI::CTileLayoutUI() = default;

CControlUI* CTileLayoutUI::CreateControl() { return new CTileLayoutUI(); }

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"TileLayout") == 0) return static_cast<CTileLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

SIZE CTileLayoutUI::GetItemSize() const { return ScaleValue(item_size_); }

void CTileLayoutUI::SetItemSize(SIZE size) {
  if (item_size_.cx == size.cx && item_size_.cy == size.cy) return;
  item_size_ = size;
  NeedUpdate();
}

int CTileLayoutUI::GetColumns() const { return columns_; }

void CTileLayoutUI::SetColumns(int columns) {
  if (columns <= 0) return;
  columns_ = columns;
  NeedUpdate();
}

void CTileLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT rc = GetInsetRect();
  if (items_.IsEmpty()) {
    ProcessScrollBar(rc, 0, 0);
    return;
  }
  const bool vbar = vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible();
  const bool hbar = horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible();
  if (vbar) rc.right -= vertical_scroll_bar_->GetFixedWidth();
  if (hbar) rc.bottom -= horizontal_scroll_bar_->GetFixedHeight();

  const LONG width = rc.right - rc.left;
  const SIZE item_size = GetItemSize();
  int columns = columns_;
  if (item_size.cx > 0) {
    columns = width / item_size.cx;
    if (columns == 0) columns = 1;
  }
  if (columns <= 0) columns = 1;
  LONG cell_width = width / columns;
  if (hbar) {
    cell_width = (width + static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange())) / columns;
  }
  const int child_padding = GetChildPadding();

  POINT tile{rc.left, rc.top};
  if (hbar) tile.x -= static_cast<LONG>(horizontal_scroll_bar_->GetScrollPos());
  if (vbar) tile.y -= static_cast<LONG>(vertical_scroll_bar_->GetScrollPos());
  const LONG row_start_x = tile.x;

  int placed = 0;
  LONG row_height = 0;
  int cy_needed = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const int column = placed % columns;

    if (column == 0) {
      // The row is as tall as the tallest estimate of the children it will hold.
      int in_row = 0;
      for (int j = i; j < items_.GetSize() && in_row < columns; ++j) {
        auto* member = static_cast<CControlUI*>(items_[j]);
        if (!member || !member->IsVisible() || member->IsFloat()) continue;
        const RECT pad = member->GetPadding();
        LONG available = cell_width - pad.left - pad.right;
        if (in_row == 0 || in_row == columns - 1) {
          available -= child_padding / 2;
        } else {
          available -= child_padding;
        }
        available = std::max<LONG>(available, member->GetMinWidth());
        available = std::min<LONG>(available, member->GetMaxWidth());
        SIZE estimate = member->EstimateSize(SIZE{available, kRowEstimateHeight});
        estimate.cx = std::max<LONG>(estimate.cx, member->GetMinWidth());
        estimate.cx = std::min<LONG>(estimate.cx, member->GetMaxWidth());
        estimate.cy = std::max<LONG>(estimate.cy, member->GetMinHeight());
        estimate.cy = std::min<LONG>(estimate.cy, member->GetMaxHeight());
        row_height = std::max<LONG>(row_height, estimate.cy + pad.top + pad.bottom);
        ++in_row;
      }
    }

    const RECT pad = child->GetPadding();
    RECT cell{tile.x + pad.left, tile.y + pad.top, tile.x + cell_width - pad.right,
              tile.y + row_height};
    if (column != 0) cell.left += child_padding / 2;
    if (column != columns - 1) cell.right -= child_padding / 2;

    SIZE size = child->EstimateSize(SIZE{cell.right - cell.left, cell.bottom - cell.top});
    if (size.cx == 0) size.cx = cell.right - cell.left;
    if (size.cy == 0) size.cy = cell.bottom - cell.top;
    size.cx = std::max<LONG>(size.cx, child->GetMinWidth());
    size.cx = std::min<LONG>(size.cx, child->GetMaxWidth());
    size.cy = std::max<LONG>(size.cy, child->GetMinHeight());
    size.cy = std::min<LONG>(size.cy, child->GetMaxHeight());
    const LONG left = (cell.left + cell.right - size.cx) / 2;
    const LONG top = (cell.top + cell.bottom - size.cy) / 2;
    child->SetPos(RECT{left, top, left + size.cx, top + size.cy}, true);

    ++placed;
    if (placed % columns == 0) {
      tile.x = row_start_x;
      tile.y += row_height + child_padding;
      row_height = 0;
    } else {
      tile.x += cell_width;
    }
    cy_needed = cell.bottom - rc.top;
    if (vbar) cy_needed += static_cast<int>(vertical_scroll_bar_->GetScrollPos());
  }
  ProcessScrollBar(rc, 0, cy_needed);
}

void CTileLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"itemsize") == 0) {
    SetItemSize(ParseAttributeSize(value));
  } else if (_wcsicmp(name, L"columns") == 0) {
    SetColumns(ParseAttributeInt(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
