#include "vellum/controls/list/list_body.h"

#include <algorithm>
#include <climits>

#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/list/list_row_placement.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"

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

// ---- What the rows measured -------------------------------------------------------------------------

bool CListBodyUI::TMeasureBasis::operator==(const TMeasureBasis& other) const {
  return manager == other.manager && scale == other.scale && font == other.font &&
         font_height == other.font_height && EqualRect(&text_padding, &other.text_padding);
}

CListBodyUI::TMeasureBasis CListBodyUI::CurrentMeasureBasis() const {
  TMeasureBasis basis;
  basis.manager = manager_;
  if (manager_) basis.scale = manager_->GetDpiScaler()->GetScale();
  if (owner_) {
    const TListDisplayInfo& info = *owner_->GetListInfo();
    basis.font = info.font;
    basis.text_padding = info.text_padding;
    const TUIFontInfo* font = manager_ ? manager_->GetFontInfo(info.font) : nullptr;
    if (font) basis.font_height = font->tm.tmHeight;
  }
  return basis;
}

void CListBodyUI::ForgetAllMeasures() {
  // Serial 0 marks a single row to measure again, so it is never a current serial.
  if (++measure_serial_ == 0) measure_serial_ = 1;
  measure_dropped_ = true;
}

void CListBodyUI::ForgetMeasure(CControlUI* row) {
  measure_dropped_ = true;
  if (records_in_step_) {
    const auto* item = static_cast<IListItemUI*>(row->GetInterface(L"ListItem"));
    const int index = item ? item->GetIndex() : -1;
    if (index >= 0 && index < measured_count_ && rows_[index].control == row) {
      rows_[index].measure_serial = 0;
      return;
    }
  }
  unmeasured_.insert(row);
}

void CListBodyUI::NeedChildUpdate(CControlUI* child) {
  // The scroll bars are shown and hidden from within a layout; they are no rows.
  if (child && child != vertical_scroll_bar_ && child != horizontal_scroll_bar_) {
    ForgetMeasure(child);
  }
  CVerticalLayoutUI::NeedChildUpdate(child);
}

void CListBodyUI::SetVisible(bool visible) {
  // The rows' visibility follows the body's without a word from them.
  CVerticalLayoutUI::SetVisible(visible);
  ForgetAllMeasures();
}

void CListBodyUI::SetInheritedVisible(bool visible) {
  CVerticalLayoutUI::SetInheritedVisible(visible);
  ForgetAllMeasures();
}

bool CListBodyUI::Add(CControlUI* control) {
  // While records are out of step, a new row may sit where a removed one was, even at its address.
  if (control && !records_in_step_) unmeasured_.insert(control);
  return CVerticalLayoutUI::Add(control);
}

bool CListBodyUI::AddAt(CControlUI* control, int index) {
  if (!control) return false;
  const bool appended = index == items_.GetSize();
  if (!CVerticalLayoutUI::AddAt(control, index)) return false;
  if (!records_in_step_ || !appended) {
    unmeasured_.insert(control);
    if (index < measured_count_) records_in_step_ = false;
  }
  return true;
}

void CListBodyUI::RowLeaving(CControlUI* row) {
  owner_->OnRowLeaving(row);
  // A row handed elsewhere must not call the list it left, which may go first.
  auto* item = static_cast<IListItemUI*>(row->GetInterface(L"ListItem"));
  if (item != nullptr && item->GetOwner() == static_cast<IListOwnerUI*>(owner_)) item->SetOwner(nullptr);
}

bool CListBodyUI::Remove(CControlUI* control) {
  if (owner_ != nullptr && items_.Find(control) >= 0) RowLeaving(control);
  if (!CVerticalLayoutUI::Remove(control)) return false;
  records_in_step_ = false;
  return true;
}

void CListBodyUI::RemoveAll() {
  if (owner_ != nullptr) {
    for (int i = 0; i < items_.GetSize(); ++i) RowLeaving(static_cast<CControlUI*>(items_[i]));
  }
  CVerticalLayoutUI::RemoveAll();
  measured_count_ = 0;
  recorded_count_ = 0;
  records_in_step_ = true;
  unmeasured_.clear();
}

bool CListBodyUI::SetItemIndex(CControlUI* control, int index) {
  const int old = items_.Find(control);
  if (!CVerticalLayoutUI::SetItemIndex(control, index)) return false;
  if (old != index) {
    unmeasured_.insert(control);
    records_in_step_ = false;
  }
  return true;
}

void CListBodyUI::RecordAddedRow(CControlUI* row, const TRowPlacement* placement) {
  const int index = items_.GetSize() - 1;
  if (index < 0 || items_[index] != row) return;
  if (static_cast<int>(rows_.size()) <= index) rows_.resize(index + 1);
  if (!records_in_step_ || measured_count_ != index || !placement ||
      !placement->height_ignores_width || !manager_) {
    return;
  }
  // Nothing measured depends on the old basis: take today's.
  if (measured_count_ == 0) measure_basis_ = CurrentMeasureBasis();
  if (measure_basis_.manager != manager_ || measure_basis_.scale != 100 ||
      manager_->GetDpiScaler()->GetScale() != 100) {
    return;
  }
  TRowMeasure direct;
  if (!MeasureRowDirectly(row, manager_, &direct)) return;
  TRowRecord& record = rows_[index];
  record.control = row;
  record.kind = !direct.visible    ? TRowRecord::kHidden
                : direct.floating ? TRowRecord::kFloat
                                  : TRowRecord::kStacked;
  record.adjustable = false;
  record.list_row = true;
  record.tiles_when_fixed_width = placement->tiles_when_fixed_width;
  record.height_ignores_width = true;
  record.keeps_measure = true;
  record.height = direct.height;
  record.pad_top = direct.pad_top;
  record.pad_bottom = direct.pad_bottom;
  record.measure_serial = measure_serial_;
  ++measured_count_;
}

void CListBodyUI::BringRecordsInStep(int count) {
  // Rows still in the body keep their order among themselves: a record that is not the next row's
  // belongs to a removed row. Rows added or moved are measured afresh, so when there are none the
  // records move down in place.
  const bool in_place = unmeasured_.empty();
  std::vector<TRowRecord>& out = in_place ? rows_ : spare_rows_;
  if (static_cast<int>(out.size()) < count) out.resize(count);
  int from = 0;
  for (int i = 0; i < count; ++i) {
    auto* row = static_cast<CControlUI*>(items_[i]);
    if (!in_place && unmeasured_.count(row) != 0) {
      out[i].control = row;
      out[i].measure_serial = 0;
      continue;
    }
    while (from < measured_count_ && rows_[from].control != row) ++from;
    if (from < measured_count_) {
      if (!in_place || from != i) out[i] = rows_[from];
      ++from;
    } else {
      out[i].control = row;
      out[i].measure_serial = 0;
    }
  }
  if (!in_place) rows_.swap(out);
  unmeasured_.clear();
  measured_count_ = count;
  records_in_step_ = true;
}

void CListBodyUI::MeasureRow(int index, CControlUI* row, SIZE available, bool unscaled) {
  TRowRecord& record = rows_[index];
  const TRowPlacement* placement = owner_ ? owner_->RowPlacementAt(index, row) : nullptr;
  record.control = row;
  record.list_row = placement != nullptr;
  record.tiles_when_fixed_width = placement && placement->tiles_when_fixed_width;
  record.height_ignores_width = placement && placement->height_ignores_width;
  record.keeps_measure = record.height_ignores_width;
  record.measure_serial = measure_serial_;
  record.adjustable = false;
  TRowMeasure direct;
  if (unscaled && record.height_ignores_width && MeasureRowDirectly(row, manager_, &direct)) {
    record.kind = !direct.visible    ? TRowRecord::kHidden
                  : direct.floating ? TRowRecord::kFloat
                                    : TRowRecord::kStacked;
    record.height = direct.height;
    record.pad_top = direct.pad_top;
    record.pad_bottom = direct.pad_bottom;
    return;
  }
  if (!row->IsVisible()) {
    record.kind = TRowRecord::kHidden;
    return;
  }
  if (row->IsFloat()) {
    record.kind = TRowRecord::kFloat;
    return;
  }
  record.kind = TRowRecord::kStacked;
  const RECT pad = row->GetPadding();
  const SIZE size = row->EstimateSize(available);
  record.adjustable = size.cy == 0;
  record.height = record.adjustable
                      ? 0
                      : std::min<int>(std::max<int>(size.cy, row->GetMinHeight()),
                                      row->GetMaxHeight());
  record.pad_top = pad.top;
  record.pad_bottom = pad.bottom;
}

// ---- Layout -----------------------------------------------------------------------------------------

void CListBodyUI::BringRowNumbersUpToDate(int known) const {
  if (owner_) owner_->BringRowNumbersUpToDate(known);
}

void CListBodyUI::SetPos(RECT rect, bool invalidate) {
  // Rows laid out and then read by their place in sight answer their numbers without a pass each.
  if (owner_) owner_->BringRowNumbersUpToDate();
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
  const int content_height = rc.bottom - rc.top;
  const int horizontal_range =
      hbar_visible ? static_cast<int>(horizontal_scroll_bar_->GetScrollRange()) : 0;
  const int horizontal_pos =
      hbar_visible ? static_cast<int>(horizontal_scroll_bar_->GetScrollPos()) : 0;
  const int vertical_pos =
      vbar_visible ? static_cast<int>(vertical_scroll_bar_->GetScrollPos()) : 0;
  const SIZE available{content_width + horizontal_range, content_height};

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

  // Rows with a width of their own in a plain list are tiles: they fill rows of a grid, and only
  // the grid's height needs scrolling.
  const int count = items_.GetSize();
  int tiles_per_line = 0;
  if (owner_ && owner_->GetListType() == UILIST_TYPE_LIST && count > 0) {
    const int tile_width = static_cast<CControlUI*>(items_[0])->GetFixedWidth();
    if (tile_width >= 1 && content_width / tile_width >= 1) tiles_per_line = content_width / tile_width;
  }

  // Measuring. Showing or hiding a scroll bar lays the body out again from within this layout,
  // and the list places the body twice in one layout of its own (the second time under the new
  // columns); both change only the width, so the measures stand when no row's height depends on
  // it. A row that reads its position meanwhile keeps the rectangle it has.
  laying_out_ = true;
  record_of_.clear();
  const bool same_pass = scroll_bar_depth_ > 0 ||
                         (owner_ && owner_->in_layout_ && owner_->layout_serial_ == measured_serial_);
  const bool measures_stand = same_pass && heights_ignore_width_ && !measure_dropped_ &&
                              measured_version_ == children_version_ && recorded_count_ == count;
  if (owner_) measured_serial_ = owner_->layout_serial_;
  const int child_padding = GetChildPadding();
  bool in_sight_only = tiles_per_line == 0;
  int adjustable = 0;
  int cy_fixed = 0;
  int stacked_count = 0;
  // Taken before measuring: a row that changes while it is measured is measured next time.
  std::unordered_set<const CControlUI*> unmeasured;
  bool unscaled = true;
  if (!measures_stand) {
    if (!records_in_step_) BringRecordsInStep(count);
    if (static_cast<int>(rows_.size()) < count) rows_.resize(count);
    const TMeasureBasis basis = CurrentMeasureBasis();
    if (!(basis == measure_basis_)) {
      measure_basis_ = basis;
      ForgetAllMeasures();
    }
    heights_ignore_width_ = true;
    unscaled = basis.scale == 100;
    unmeasured.swap(unmeasured_);
    measure_dropped_ = false;
  }
  // One pass over the records measures what must be and sums up the stack.
  for (int i = 0; i < count; ++i) {
    TRowRecord& record = rows_[i];
    if (!measures_stand) {
      auto* row = static_cast<CControlUI*>(items_[i]);
      const bool holds = i < measured_count_ && record.control == row && record.keeps_measure &&
                         record.measure_serial == measure_serial_ &&
                         (unmeasured.empty() || unmeasured.count(row) == 0);
      if (!holds) MeasureRow(i, row, available, unscaled);
      if (record.kind == TRowRecord::kStacked && !record.height_ignores_width) {
        heights_ignore_width_ = false;
      }
    }
    if (record.kind != TRowRecord::kStacked) {
      in_sight_only = false;
      continue;
    }
    if (!record.list_row ||
        (record.tiles_when_fixed_width && record.control->GetFixedWidth() > 0)) {
      in_sight_only = false;
    }
    if (record.adjustable) ++adjustable;
    cy_fixed += record.height + record.pad_top + record.pad_bottom;
    ++stacked_count;
  }
  measured_count_ = count;
  if (stacked_count > 0) cy_fixed += (stacked_count - 1) * child_padding;
  const int share = adjustable > 0 ? std::max<int>(0, (available.cy - cy_fixed) / adjustable) : 0;

  // Stacking, relative to the content area's top with nothing scrolled.
  int y = 0;
  int cy_needed = 0;
  int adjustable_seen = 0;
  int cy_fixed_remaining = cy_fixed;
  int stacked = 0;
  int previous_top = INT_MIN;
  int previous_bottom = INT_MIN;
  for (int i = 0; i < count; ++i) {
    TRowRecord& record = rows_[i];
    if (record.kind != TRowRecord::kStacked) continue;
    if (stacked > 0) cy_fixed_remaining -= child_padding;
    cy_fixed_remaining -= record.pad_top + record.pad_bottom;
    int height = record.height;
    if (record.adjustable) {
      ++adjustable_seen;
      height = share;
      if (adjustable_seen == adjustable) {
        height = std::max<int>(
            0, content_height - y - record.pad_top - record.pad_bottom - cy_fixed_remaining);
      }
      height = std::max<int>(height, record.control->GetMinHeight());
      height = std::min<int>(height, record.control->GetMaxHeight());
    } else {
      cy_fixed_remaining -= height;
    }
    height = std::max<int>(height, 0);
    record.top = y + record.pad_top;
    record.bottom = record.top + height;
    record.placed_generation = 0;
    if (record.top < previous_top || record.bottom < previous_bottom) in_sight_only = false;
    previous_top = record.top;
    previous_bottom = record.bottom;

    y += height + record.pad_top + record.pad_bottom + child_padding;
    cy_needed += height + record.pad_top + record.pad_bottom;
    ++stacked;
  }
  if (stacked > 0) cy_needed += (stacked - 1) * child_padding;
  if (tiles_per_line > 0) {
    cy_needed = static_cast<CControlUI*>(items_[0])->GetFixedHeight() *
                ((count - 1) / tiles_per_line + 1);
  }

  ++generation_;
  recorded_count_ = count;
  content_origin_ = POINT{rc.left, rc.top};
  content_height_ = content_height;
  row_span_ = content_width + horizontal_range;
  columns_width_ = cx_needed;
  applied_scroll_ = SIZE{horizontal_pos, vertical_pos};
  placing_in_sight_ = in_sight_only;
  laying_out_ = false;
  if (placing_in_sight_) {
    FindRowsInSight(&sight_first_, &sight_end_);
    for (int i = sight_first_; i < sight_end_; ++i) PlaceRow(i);
    MarkRowsUnchanged();
  } else {
    for (int i = 0; i < count; ++i) {
      const TRowRecord& record = rows_[i];
      if (record.kind == TRowRecord::kFloat) {
        SetFloatPos(i);
      } else if (record.kind == TRowRecord::kStacked) {
        PlaceRow(i);
      }
    }
    sight_first_ = sight_end_ = 0;
  }
  measured_version_ = children_version_;

  ProcessScrollBar(rc, cx_needed, cy_needed);
  // Placing the scroll bars counts as a change among the children; the rows stand as placed.
  if (placing_in_sight_) MarkRowsUnchanged();
  measured_version_ = children_version_;
}

void CListBodyUI::PlaceRow(int index) {
  TRowRecord& record = rows_[index];
  CControlUI* row = record.control;
  const RECT pad = row->GetPadding();
  LONG width = std::max<LONG>(row_span_ - pad.left - pad.right, columns_width_);
  width = std::max<LONG>(width, row->GetMinWidth());
  width = std::min<LONG>(width, row->GetMaxWidth());
  const LONG left = content_origin_.x - applied_scroll_.cx + pad.left;
  const LONG top = content_origin_.y - applied_scroll_.cy + record.top;
  record.placed_generation = generation_;
  row->SetPos(RECT{left, top, left + width, top + (record.bottom - record.top)}, false);
}

void CListBodyUI::FindRowsInSight(int* first, int* end) const {
  // The rows are stacked in order, so both ends are found by halving.
  const LONG top = applied_scroll_.cy;
  const LONG bottom = top + content_height_;
  int low = 0;
  int high = recorded_count_;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (rows_[middle].bottom <= top) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  *first = low;
  high = recorded_count_;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (rows_[middle].top < bottom) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  *end = low;
}

void CListBodyUI::MarkRowsUnchanged() {
  rows_unchanged_version_ = children_version_;
  // The rows stand in a stack, in order, whatever of them is placed yet: painting may look for the
  // ones it needs by halving instead of checking every row.
  rows_version_ = children_version_;
  children_in_rows_ = true;
}

void CListBodyUI::PlaceOwedRow(CControlUI* row, int index) {
  if (laying_out_ || !placing_in_sight_) return;
  if (index < 0 || index >= recorded_count_ || rows_[index].control != row) {
    // Rows were added, removed or moved since the last layout: the row keeps the place that
    // layout gave it until the next one.
    if (record_of_.empty()) {
      for (int i = 0; i < recorded_count_; ++i) record_of_[rows_[i].control] = i;
    }
    const auto found = record_of_.find(row);
    if (found == record_of_.end()) return;
    index = found->second;
  }
  if (rows_[index].placed_generation == generation_ || !row->IsVisible()) return;
  const bool unchanged = RowsUnchanged();
  PlaceRow(index);
  if (unchanged) MarkRowsUnchanged();
}

CControlUI* CListBodyUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if (!placing_in_sight_ || (flags & UIFIND_HITTEST) == 0) {
    return CVerticalLayoutUI::FindControl(proc, data, flags);
  }
  // A hit test as the container does it, asking only the rows that can be in sight: rows out of
  // sight lie outside the content area, where a row never takes the point.
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  const auto* point = static_cast<const POINT*>(data);
  if (!point || !PtInRect(&item_rect_, *point)) return nullptr;
  if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) return nullptr;

  CControlUI* result = nullptr;
  if ((flags & UIFIND_ME_FIRST) != 0 && IsMouseEnabled()) {
    result = proc(this, data);
    if (result) return result;
  }
  if (IsMouseEnabled()) {
    for (CScrollBarUI* bar : {vertical_scroll_bar_, horizontal_scroll_bar_}) {
      if (!bar) continue;
      result = bar->FindControl(proc, data, flags);
      if (result) return result;
    }
  }
  if (mouse_child_enabled_) {
    const RECT content = GetContentRect();
    int first = sight_first_;
    int end = sight_end_;
    if (!RowsUnchanged()) {
      first = 0;
      end = items_.GetSize();
    }
    const bool top_first = (flags & UIFIND_TOP_FIRST) != 0;
    for (int n = first; n < end; ++n) {
      auto* child = static_cast<CControlUI*>(items_[top_first ? first + end - 1 - n : n]);
      if (!child) continue;
      // An owed row takes its rectangle before it is tested.
      child->GetPos();
      result = child->FindControl(proc, data, flags);
      if (!result) continue;
      if (result->IsFloat() || PtInRect(&content, *point)) return result;
    }
  }
  if ((flags & UIFIND_ME_FIRST) != 0) return nullptr;
  if (!IsMouseEnabled()) return nullptr;
  return proc(this, data);
}

void CListBodyUI::SetScrollPos(SIZE pos, bool /*notify*/) {
  const SIZE old = GetScrollPos();
  if (vertical_scroll_bar_) vertical_scroll_bar_->SetScrollPos(pos.cy);
  if (horizontal_scroll_bar_) horizontal_scroll_bar_->SetScrollPos(pos.cx);
  const SIZE now = GetScrollPos();
  const SIZE moved{-(now.cx - old.cx), -(now.cy - old.cy)};
  if (moved.cx == 0 && moved.cy == 0) return;

  if (placing_in_sight_ && !RowsUnchanged()) {
    // The record of the rows is older than the rows: they are laid out again at the new position.
    SetPos(item_rect_, false);
  } else if (placing_in_sight_) {
    applied_scroll_.cx -= moved.cx;
    applied_scroll_.cy -= moved.cy;
    ++generation_;
    int first = 0;
    int end = 0;
    FindRowsInSight(&first, &end);
    for (int i = first; i < end; ++i) {
      if (rows_[i].control->IsVisible()) PlaceRow(i);
    }
    sight_first_ = first;
    sight_end_ = end;
    MarkRowsUnchanged();
  } else {
    for (int i = 0; i < items_.GetSize(); ++i) {
      auto* row = static_cast<CControlUI*>(items_[i]);
      if (!row->IsVisible() || row->IsFloat()) continue;
      RECT rect = row->GetPos();
      OffsetRect(&rect, moved.cx, moved.cy);
      row->SetPos(rect, false);
    }
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
