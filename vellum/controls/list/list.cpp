#include "vellum/controls/list/list.h"

#include <algorithm>

#include "vellum/controls/list/list_body.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/controls/list/list_row_placement.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

// The low word of a wheel event's wParam.
constexpr WORD kWheelUp = 0;
constexpr WORD kWheelDown = 1;

bool IsKeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }
bool Contains(const wchar_t* value, const wchar_t* word) { return wcsstr(value, word) != nullptr; }

}  // namespace

CListUI::CListUI() {
  body_ = new CListBodyUI(this);
  header_ = new CListHeaderUI();
  Add(header_);
  Add(body_);
}

CControlUI* CListUI::CreateControl() { return new CListUI(); }

const wchar_t* CListUI::GetClass() const { return L"ListUI"; }

LPVOID CListUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"List") == 0) return this;
  if (name && _wcsicmp(name, L"IList") == 0) return static_cast<IListUI*>(this);
  if (name && _wcsicmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return UIFLAG_TABSTOP; }

bool CListUI::IsHeaderItem(CControlUI* control) const {
  // Derived header items keep the interface of the list's own; the editable list's header items
  // answer their own name.
  return control && (control->GetInterface(L"ListHeaderItem") != nullptr ||
                     control->GetInterface(L"ListContainerHeaderItem") != nullptr);
}

void CListUI::UpdateColumnCount() {
  list_info_.column_count = std::min(header_->GetCount(), UILIST_MAX_COLUMNS);
}

IListItemUI* CListUI::RowAt(int index) const {
  CControlUI* row = body_->GetItemAt(index);
  if (!row) return nullptr;
  if (index < static_cast<int>(row_cache_.size()) && row_cache_[index].control == row) {
    return row_cache_[index].row;
  }
  return static_cast<IListItemUI*>(row->GetInterface(L"ListItem"));
}

TRowPlacement* CListUI::RowPlacementAt(int index, const CControlUI* row) const {
  if (index < 0 || index >= static_cast<int>(row_cache_.size())) return nullptr;
  const TRowEntry& entry = row_cache_[index];
  return entry.control == row ? entry.placement : nullptr;
}

void CListUI::ReleaseRowPlacement(int index) {
  if (TRowPlacement* placement = RowPlacementAt(index, body_->GetItemAt(index))) {
    placement->body = nullptr;
  }
}

bool CListUI::IsSelectableRow(int index) const {
  CControlUI* row = body_->GetItemAt(index);
  return row && row->IsEnabled() && row->GetInterface(L"ListItem") != nullptr;
}

void CListUI::RenumberRows(int first, int last) {
  last = std::min(last, body_->GetCount() - 1);
  for (int i = std::max(first, 0); i <= last; ++i) {
    if (IListItemUI* row = RowAt(i)) row->SetIndex(i);
  }
}

void CListUI::MarkRowsRenumbered(int first, int last) {
  const bool lazy = unplaced_rows_ == 0 && static_cast<int>(row_cache_.size()) == GetCount();
  if (lazy) {
    stale_from_ = std::min(stale_from_, std::max(first, 0));
    return;
  }
  BringRowNumbersUpToDate();
  RenumberRows(first, last);
}

void CListUI::BringRowNumbersUpToDate() const {
  if (stale_from_ == kNumbered) return;
  const int first = stale_from_;
  stale_from_ = kNumbered;
  const_cast<CListUI*>(this)->RenumberRows(first, GetCount() - 1);
}

void CListUI::NotifyItemSelect(int wParam, int lParam) {
  if (manager_) {
    manager_->SendNotify(this, L"itemselect", static_cast<WPARAM>(wParam),
                         static_cast<LPARAM>(lParam));
  }
}

// ---- The children -----------------------------------------------------------------------------------

CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }

int CListUI::GetCount() const { return body_->GetCount(); }

int CListUI::GetItemIndex(CControlUI* control) const {
  if (control && control->GetInterface(L"ListHeader") != nullptr) {
    return CVerticalLayoutUI::GetItemIndex(control);
  }
  if (IsHeaderItem(control)) return header_->GetItemIndex(control);
  return body_->GetItemIndex(control);
}

bool CListUI::Add(CControlUI* control) {
  if (!control) return false;
  if (control->GetInterface(L"ListHeader") != nullptr) {
    if (control != header_ && header_ && header_->GetCount() == 0) {
      CControlUI* old = header_;
      header_ = static_cast<CListHeaderUI*>(control->GetInterface(L"ListHeader"));
      CVerticalLayoutUI::Remove(old);
    }
    if (header_) UpdateColumnCount();
    // Added once: a header already among the children stays where it is.
    if (CVerticalLayoutUI::GetItemIndex(control) >= 0) return true;
    return CVerticalLayoutUI::AddAt(control, 0);
  }
  if (IsHeaderItem(control)) {
    const bool added = header_->Add(control);
    UpdateColumnCount();
    return added;
  }
  if (IListItemUI* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"))) {
    row->SetOwner(this);
    row->SetIndex(GetCount());
    if (!body_->Add(control)) return false;
    TRowPlacement* placement = nullptr;
    if (static_cast<int>(row_cache_.size()) == GetCount() - 1) {
      placement = RowPlacementOf(control);
      if (placement) placement->body = body_;
      if (!placement) ++unplaced_rows_;
      row_cache_.push_back(TRowEntry{control, row, placement});
    }
    body_->RecordAddedRow(control, placement);
    return true;
  }
  return CVerticalLayoutUI::Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index) {
  if (!control) return false;
  if (control->GetInterface(L"ListHeader") != nullptr) return Add(control);
  if (IsHeaderItem(control)) {
    const bool added = header_->AddAt(control, index);
    UpdateColumnCount();
    return added;
  }
  if (!body_->AddAt(control, index)) return false;
  IListItemUI* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"));
  if (row) {
    row->SetOwner(this);
    row->SetIndex(index);
  }
  if (index <= static_cast<int>(row_cache_.size())) {
    TRowPlacement* placement = RowPlacementOf(control);
    if (placement) placement->body = body_;
    if (row && !placement) ++unplaced_rows_;
    row_cache_.insert(row_cache_.begin() + index, TRowEntry{control, row, placement});
  }
  // From the new row itself: the row it pushed down still answers the number the new row has.
  MarkRowsRenumbered(index, GetCount() - 1);
  selection_.InsertRow(index);
  return true;
}

bool CListUI::Remove(CControlUI* control) {
  if (IsHeaderItem(control)) {
    const bool removed = header_->Remove(control);
    UpdateColumnCount();
    return removed;
  }
  const int index = body_->GetItemIndex(control);
  if (index < 0) return false;
  return RemoveAt(index);
}

bool CListUI::RemoveAt(int index) {
  if (index < 0 || index >= GetCount()) return false;
  const bool was_current = selection_.Current() == index;
  // A removed row keeps the number it had in the list, as if every row had been numbered.
  if (IListItemUI* row = RowAt(index)) row->SetIndex(index);
  // A removed row may outlive the body (delayed destruction): it must not call back into it.
  ReleaseRowPlacement(index);
  if (!body_->RemoveAt(index)) return false;
  if (index < static_cast<int>(row_cache_.size())) {
    const TRowEntry& entry = row_cache_[index];
    if (entry.row && !entry.placement) --unplaced_rows_;
    row_cache_.erase(row_cache_.begin() + index);
  }
  MarkRowsRenumbered(index, GetCount() - 1);
  selection_.RemoveRow(index);
  if (was_current) SelectItem(body_->FindSelectable(index, false), false);
  return true;
}

void CListUI::RemoveAll() {
  BringRowNumbersUpToDate();
  for (int i = 0; i < GetCount(); ++i) ReleaseRowPlacement(i);
  row_cache_.clear();
  unplaced_rows_ = 0;
  selection_.RemoveAllRows();
  body_->RemoveAll();
}

bool CListUI::SetItemIndex(CControlUI* control, int index) {
  if (control && control->GetInterface(L"ListHeader") != nullptr) {
    return CVerticalLayoutUI::SetItemIndex(control, index);
  }
  if (IsHeaderItem(control)) {
    const bool moved = header_->SetItemIndex(control, index);
    UpdateColumnCount();
    return moved;
  }
  const int old = body_->GetItemIndex(control);
  if (old < 0) return false;
  if (old == index) return true;
  if (!body_->SetItemIndex(control, index)) return false;
  if (old < static_cast<int>(row_cache_.size()) && index < static_cast<int>(row_cache_.size())) {
    const TRowEntry moved = row_cache_[old];
    row_cache_.erase(row_cache_.begin() + old);
    row_cache_.insert(row_cache_.begin() + index, moved);
  }
  MarkRowsRenumbered(std::min(old, index), std::max(old, index));
  selection_.MoveRow(old, index);
  return true;
}

// ---- Forwarded to the body --------------------------------------------------------------------------

int CListUI::GetChildPadding() const {
  return laying_out_self_ ? child_padding_ : body_->GetChildPadding();
}
void CListUI::SetChildPadding(int padding) { body_->SetChildPadding(padding); }
bool CListUI::IsDelayedDestroy() const { return body_->IsDelayedDestroy(); }
void CListUI::SetDelayedDestroy(bool delayed) { body_->SetDelayedDestroy(delayed); }
SIZE CListUI::GetScrollPos() const { return body_->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return body_->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos, bool notify) { body_->SetScrollPos(pos, notify); }
void CListUI::LineUp() { body_->LineUp(); }
void CListUI::LineDown() { body_->LineDown(); }
void CListUI::PageUp() { body_->PageUp(); }
void CListUI::PageDown() { body_->PageDown(); }
void CListUI::HomeUp() { body_->HomeUp(); }
void CListUI::EndDown() { body_->EndDown(); }
void CListUI::LineLeft() { body_->LineLeft(); }
void CListUI::LineRight() { body_->LineRight(); }
void CListUI::PageLeft() { body_->PageLeft(); }
void CListUI::PageRight() { body_->PageRight(); }
void CListUI::HomeLeft() { body_->HomeLeft(); }
void CListUI::EndRight() { body_->EndRight(); }
void CListUI::EnableScrollBar(bool vertical, bool horizontal) {
  body_->EnableScrollBar(vertical, horizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return body_->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return body_->GetHorizontalScrollBar(); }

bool CListUI::IsColumnEditable(int /*column*/) { return false; }
CRichEditUI* CListUI::GetEditControl() { return nullptr; }
bool CListUI::IsColumnComboable(int /*column*/) { return false; }
CComboBoxUI* CListUI::GetComboControl() { return nullptr; }

// ---- Layout -----------------------------------------------------------------------------------------

void CListUI::SetPos(RECT rect, bool invalidate) {
  ++layout_serial_;
  in_layout_ = true;
  laying_out_self_ = true;
  CVerticalLayoutUI::SetPos(rect, invalidate);
  laying_out_self_ = false;
  UpdateColumnCount();

  // A hidden header still places its items, so the rows keep their columns.
  const bool hidden = !header_->IsVisible();
  if (hidden) {
    for (int i = 0; i < header_->GetCount(); ++i) header_->GetItemAt(i)->SetInheritedVisible(true);
    header_->SetPos(RECT{rect.left, 0, rect.right, 0}, false);
  }
  for (int i = 0; i < list_info_.column_count; ++i) {
    CControlUI* item = header_->GetItemAt(i);
    if (item->IsVisible() && !item->IsFloat()) list_info_.columns[i] = item->GetPos();
  }
  if (hidden) {
    for (int i = 0; i < header_->GetCount(); ++i) header_->GetItemAt(i)->SetInheritedVisible(false);
  }
  body_->SetPos(body_->GetPos(), invalidate);
  in_layout_ = false;
}

void CListUI::Move(SIZE offset, bool invalidate) {
  CVerticalLayoutUI::Move(offset, invalidate);
  if (!header_->IsVisible()) header_->Move(offset, false);
}

void CListUI::EnsureVisible(int index) {
  if (selection_.Current() < 0) return;
  CControlUI* row = body_->GetItemAt(index);
  if (!row) return;
  const RECT item = row->GetPos();
  RECT area = body_->GetPos();
  const RECT inset = body_->GetInset();
  area.top += inset.top;
  area.bottom -= inset.bottom;
  if (CScrollBarUI* bar = body_->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
    area.bottom -= bar->GetFixedHeight();
  }
  if (item.top >= area.top && item.bottom < area.bottom) return;
  int dy = 0;
  if (item.top < area.top) dy = item.top - area.top;
  if (item.bottom > area.bottom) dy = item.bottom - area.bottom;
  Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  SIZE pos = body_->GetScrollPos();
  pos.cx += dx;
  pos.cy += dy;
  body_->SetScrollPos(pos);
}

// ---- Events -----------------------------------------------------------------------------------------

void CListUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CVerticalLayoutUI::DoEvent(event);
    }
    return;
  }

  switch (event.type) {
    case UIEVENT_SETFOCUS:
      focused_ = true;
      return;
    case UIEVENT_KILLFOCUS:
      focused_ = false;
      return;
    case UIEVENT_KEYDOWN:
      switch (event.key_char) {
        case VK_RETURN:
          if (selection_.Current() != -1) {
            if (CControlUI* row = body_->GetItemAt(selection_.Current())) row->Activate();
          }
          return;
        case VK_PRIOR:
          PageUp();
          return;
        case VK_NEXT:
          PageDown();
          return;
        case VK_END:
          // Searched forward from the last row: a disabled last row leaves nothing selected.
          SelectItem(body_->FindSelectable(GetCount() - 1, true), true);
          return;
        case VK_HOME:
          SelectItem(body_->FindSelectable(0, false), true);
          return;
        case VK_UP:
          if (selection_.Count() > 0) {
            const int smallest = selection_.Smallest();
            UnSelectAllItems();
            SelectItem(std::max(smallest - 1, 0), true);
          }
          return;
        case VK_DOWN:
          if (selection_.Count() > 0) {
            const int largest = selection_.Largest();
            UnSelectAllItems();
            SelectItem(GetCount() >= largest + 2 ? largest + 1 : GetCount() - 1, true);
          }
          return;
        case 'A':
          if (multi_select_ && IsKeyDown(VK_CONTROL)) {
            UnSelectAllItems();
            SelectAllItems();
          }
          return;
        default:
          break;
      }
      break;
    case UIEVENT_SCROLLWHEEL: {
      const WORD direction = LOWORD(event.wParam);
      const bool scroll = !scroll_select_ || multi_select_;
      if (direction == kWheelDown) {
        if (scroll) {
          LineDown();
        } else {
          SelectItem(body_->FindSelectable(selection_.Current() + 1, true), true);
        }
        return;
      }
      if (direction == kWheelUp) {
        if (scroll) {
          LineUp();
        } else {
          SelectItem(body_->FindSelectable(selection_.Current() - 1, false), true);
        }
        return;
      }
      break;
    }
    default:
      break;
  }
  CVerticalLayoutUI::DoEvent(event);
}

// ---- Selection --------------------------------------------------------------------------------------

int CListUI::GetListType() { return UILIST_TYPE_LIST; }
TListDisplayInfo* CListUI::GetListInfo() { return &list_info_; }
int CListUI::GetCurSel() const { return selection_.First(); }
int CListUI::GetSelectItemCount() const { return selection_.Count(); }
int CListUI::GetNextSelItem(int after) const { return selection_.Next(after); }
CListHeaderUI* CListUI::GetHeader() const { return header_; }
CControlUI* CListUI::GetList() const { return body_; }
IListTextCallback* CListUI::GetTextCallback() const { return text_callback_; }
void CListUI::SetTextCallback(IListTextCallback* callback) { text_callback_ = callback; }
int CListUI::GetExpandedItem() const { return selection_.Expanded(); }
bool CListUI::IsMultiSelect() const { return multi_select_; }

void CListUI::SetMultiSelect(bool multi_select) {
  multi_select_ = multi_select;
  if (!multi_select_) UnSelectAllItems();
}

bool CListUI::SelectItem(int index, bool take_focus) {
  selection_.SetAnchor(-1);
  UnSelectItem(index, true);
  if (index < 0) return false;
  if (selection_.Contains(index)) return true;
  IListItemUI* row = RowAt(index);
  if (!row) return false;
  CControlUI* control = body_->GetItemAt(index);
  // The row's Select calls back here (without focus); that nested call records the selection and
  // sends the one notification, so this one finds the current row unchanged.
  if (!row->Select(true)) return false;
  // An "itemselect" handler may have removed, added or moved rows: the selection moved with them,
  // and index may now name another row or none.
  if (body_->GetItemAt(index) != control) return true;
  const int previous = selection_.Current();
  selection_.SetCurrent(index);
  selection_.Add(index);
  EnsureVisible(index);
  if (take_focus) control->SetFocus();
  if (previous != index) NotifyItemSelect(index, 0);
  return true;
}

bool CListUI::SelectMultiItem(int index, bool take_focus) {
  if (!multi_select_) return SelectItem(index, take_focus);
  if (index < 0) {
    UnSelectAllItems();
    return true;
  }
  if (selection_.Anchor() == -1) {
    selection_.SetAnchor(selection_.Current() != -1 ? selection_.Current() : index);
  }
  if (!IsSelectableRow(index)) return false;
  IListItemUI* row = RowAt(index);
  CControlUI* control = body_->GetItemAt(index);

  if (IsKeyDown(VK_CONTROL)) {
    if (!selection_.Contains(index)) {
      if (!row->SelectMulti(true)) return false;
      selection_.SetCurrent(index);
      selection_.Add(index);
      EnsureVisible(index);
      if (take_focus) control->SetFocus();
      NotifyItemSelect(index, 0);
    } else {
      if (!row->SelectMulti(false)) return false;
      if (selection_.Current() == index) selection_.SetCurrent(-1);
      selection_.Erase(index);
      NotifyItemSelect(-1, 0);
    }
    return true;
  }
  if (IsKeyDown(VK_SHIFT)) {
    const int anchor = selection_.Anchor();
    UnSelectAllItems();
    for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i) {
      if (!IsSelectableRow(i)) continue;
      if (RowAt(i)->SelectMulti(true)) selection_.Add(i);
    }
    selection_.SetCurrent(index);
    EnsureVisible(index);
    if (take_focus) control->SetFocus();
    NotifyItemSelect(index, anchor);
    return true;
  }
  if (!row->SelectMulti(true)) return false;
  selection_.SetCurrent(index);
  selection_.Add(index);
  EnsureVisible(index);
  if (take_focus) control->SetFocus();
  NotifyItemSelect(index, 0);
  return true;
}

bool CListUI::UnSelectItem(int index, bool others) {
  if (!others) {
    if (index < 0 || !IsSelectableRow(index) || !selection_.Contains(index)) return false;
    if (!RowAt(index)->SelectMulti(false)) return false;
    if (selection_.Current() == index) selection_.SetCurrent(-1);
    selection_.Erase(index);
    return true;
  }
  // Every other row leaves the selection, a disabled one too: disabling a row does not let it
  // outlive the selections that follow.
  const std::vector<int> selected = selection_.Order();
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    const int row = *it;
    if (row == index) continue;
    CControlUI* control = body_->GetItemAt(row);
    IListItemUI* item = RowAt(row);
    if (!control || !item) continue;
    if (!item->SelectMulti(false) && control->IsEnabled()) continue;
    selection_.Erase(row);
    if (selection_.Current() == row) selection_.SetCurrent(-1);
  }
  if (multi_select_) NotifyItemSelect(-1, -1);
  return true;
}

void CListUI::SelectAllItems() {
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* control = body_->GetItemAt(i);
    if (!control->IsVisible() || !control->IsEnabled()) continue;
    IListItemUI* row = RowAt(i);
    if (!row || !row->SelectMulti(true)) continue;
    selection_.Add(i);
    selection_.SetCurrent(i);
  }
  if (multi_select_) NotifyItemSelect(-1, -1);
}

void CListUI::UnSelectAllItems() {
  // Disabled rows are unflagged too: the set is emptied, and no row stays marked outside it.
  for (int index : selection_.Order()) {
    if (IListItemUI* row = RowAt(index)) row->SelectMulti(false);
  }
  selection_.ClearSelected();
}

bool CListUI::ExpandItem(int index, bool expand) {
  if (selection_.Expanded() >= 0 && !list_info_.multi_expanding) {
    if (IListItemUI* row = RowAt(selection_.Expanded())) row->Expand(false);
    selection_.SetExpanded(-1);
  }
  if (expand) {
    CControlUI* control = body_->GetItemAt(index);
    IListItemUI* row = RowAt(index);
    if (!control || !control->IsVisible() || !row) return false;
    selection_.SetExpanded(index);
    if (!row->Expand(true)) {
      selection_.SetExpanded(-1);
      return false;
    }
  }
  NeedUpdate();
  return true;
}

// ---- Attributes -------------------------------------------------------------------------------------

void CListUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  TListDisplayInfo& info = list_info_;
  auto colour = [this, value](DWORD* field) {
    *field = ParseAttributeColor(value, false);
    Invalidate();
  };
  auto image = [this, value](CUIString* field) {
    *field = value;
    Invalidate();
  };
  auto flag = [this, value](bool* field) {
    *field = ParseAttributeBool(value);
    Invalidate();
  };

  // These two are matched with case, names and values alike.
  if (wcscmp(name, L"multiselect") == 0) {
    SetMultiSelect(wcscmp(value, L"true") == 0);
  } else if (wcscmp(name, L"itemrselected") == 0) {
    const bool selects = wcscmp(value, L"true") == 0;
    if (selects != info.right_button_selects) {
      info.right_button_selects = selects;
      NeedUpdate();
    }
  } else if (_wcsicmp(name, L"header") == 0) {
    header_->SetVisible(_wcsicmp(value, L"hidden") != 0);
  } else if (_wcsicmp(name, L"headerbkimage") == 0) {
    header_->SetBkImage(value);
  } else if (_wcsicmp(name, L"scrollselect") == 0) {
    SetScrollSelect(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"multiexpanding") == 0) {
    info.multi_expanding = ParseAttributeBool(value);
  } else if (_wcsicmp(name, L"itemfont") == 0) {
    info.font = ParseAttributeInt(value);
  } else if (_wcsicmp(name, L"itemalign") == 0) {
    if (Contains(value, L"left")) info.text_style &= ~(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) {
      info.text_style |= DT_CENTER;
      info.text_style &= ~DT_RIGHT;
    }
    if (Contains(value, L"right")) {
      info.text_style |= DT_RIGHT;
      info.text_style &= ~DT_CENTER;
    }
  } else if (_wcsicmp(name, L"itemvalign") == 0) {
    if (Contains(value, L"top")) info.text_style &= ~(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter")) {
      info.text_style &= ~(DT_BOTTOM | DT_WORDBREAK);
      info.text_style |= DT_VCENTER | DT_SINGLELINE;
    }
    if (Contains(value, L"bottom")) {
      info.text_style |= DT_BOTTOM;
      info.text_style &= ~DT_VCENTER;
    }
  } else if (_wcsicmp(name, L"itemendellipsis") == 0) {
    if (ParseAttributeBool(value)) {
      info.text_style |= DT_END_ELLIPSIS;
    } else {
      info.text_style &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
  } else if (_wcsicmp(name, L"itemtextpadding") == 0) {
    info.text_padding = ParseAttributeRect(value);
    NeedUpdate();
  } else if (_wcsicmp(name, L"itemtextcolor") == 0) {
    colour(&info.text_color);
  } else if (_wcsicmp(name, L"itembkcolor") == 0) {
    colour(&info.bk_color);
  } else if (_wcsicmp(name, L"itemselectedtextcolor") == 0) {
    colour(&info.selected_text_color);
  } else if (_wcsicmp(name, L"itemselectedbkcolor") == 0) {
    colour(&info.selected_bk_color);
  } else if (_wcsicmp(name, L"itemhottextcolor") == 0) {
    colour(&info.hot_text_color);
  } else if (_wcsicmp(name, L"itemhotbkcolor") == 0) {
    colour(&info.hot_bk_color);
  } else if (_wcsicmp(name, L"itemdisabledtextcolor") == 0) {
    colour(&info.disabled_text_color);
  } else if (_wcsicmp(name, L"itemdisabledbkcolor") == 0) {
    colour(&info.disabled_bk_color);
  } else if (_wcsicmp(name, L"itemlinecolor") == 0) {
    colour(&info.line_color);
  } else if (_wcsicmp(name, L"itembkimage") == 0) {
    image(&info.bk_image);
  } else if (_wcsicmp(name, L"itemselectedimage") == 0) {
    image(&info.selected_image);
  } else if (_wcsicmp(name, L"itemhotimage") == 0) {
    image(&info.hot_image);
  } else if (_wcsicmp(name, L"itemdisabledimage") == 0) {
    image(&info.disabled_image);
  } else if (_wcsicmp(name, L"itemforeimage") == 0) {
    image(&info.fore_image);
  } else if (_wcsicmp(name, L"itemhotforeimage") == 0) {
    image(&info.hot_fore_image);
  } else if (_wcsicmp(name, L"itemselectedforeimage") == 0) {
    image(&info.selected_fore_image);
  } else if (_wcsicmp(name, L"itemaltbk") == 0) {
    flag(&info.alternate_bk);
  } else if (_wcsicmp(name, L"itemshowrowline") == 0) {
    flag(&info.show_row_line);
  } else if (_wcsicmp(name, L"itemshowcolumnline") == 0) {
    flag(&info.show_column_line);
  } else if (_wcsicmp(name, L"itemshowhtml") == 0) {
    const bool show = ParseAttributeBool(value);
    if (show != info.show_html) {
      info.show_html = show;
      NeedUpdate();
    }
  } else {
    CVerticalLayoutUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
