#pragma once

// The list: a column header above a scrolling body of rows. The list keeps the selection (single or
// multiple, with a Shift range anchor) and the display settings every row paints from; rows reach
// it only through IListOwnerUI and IListUI. It creates its header and body itself and owns them
// like any children; the rows are owned by the body. The text callback belongs to the application.

#include <windows.h>

#include <vector>

#include "vellum/controls/list/list_interfaces.h"
#include "vellum/controls/list/list_selection.h"
#include "vellum/core/layout/vertical_layout.h"

namespace Vellum {

class CComboBoxUI;
class CListBodyUI;
class CListHeaderUI;
class CRichEditUI;
struct TRowPlacement;

class CListUI : public CVerticalLayoutUI, public IListUI {
 public:
  CListUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // The rows, not the list's own children.
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

  // Spacing and scrolling are the body's.
  int GetChildPadding() const override;
  void SetChildPadding(int padding) override;
  bool IsDelayedDestroy() const override;
  void SetDelayedDestroy(bool delayed) override;
  SIZE GetScrollPos() const override;
  SIZE GetScrollRange() const override;
  void SetScrollPos(SIZE pos, bool notify = true) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void HomeUp() override;
  void EndDown() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void HomeLeft() override;
  void EndRight() override;
  void EnableScrollBar(bool vertical = true, bool horizontal = false) override;
  CScrollBarUI* GetVerticalScrollBar() const override;
  CScrollBarUI* GetHorizontalScrollBar() const override;

  // For lists that edit cells in place; a plain list edits nothing.
  virtual bool IsColumnEditable(int column);
  virtual CRichEditUI* GetEditControl();
  virtual bool IsColumnComboable(int column);
  virtual CComboBoxUI* GetComboControl();

  // --- IListOwnerUI ---
  int GetListType() override;
  TListDisplayInfo* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectItem(int index, bool take_focus = false) override;
  bool SelectMultiItem(int index, bool take_focus = false) override;
  bool UnSelectItem(int index, bool others = false) override;

  // --- IListUI ---
  CListHeaderUI* GetHeader() const override;
  CControlUI* GetList() const override;
  IListTextCallback* GetTextCallback() const override;
  void SetTextCallback(IListTextCallback* callback) override;
  bool ExpandItem(int index, bool expand = true) override;
  int GetExpandedItem() const override;
  void SetMultiSelect(bool multi_select) override;
  bool IsMultiSelect() const override;
  void SelectAllItems() override;
  void UnSelectAllItems() override;
  int GetSelectItemCount() const override;
  int GetNextSelItem(int after) const override;

  // The row selected last (GetCurSel gives the earliest), and the first end of a Shift range.
  int GetCurrentItem() const { return selection_.Current(); }
  int GetRangeAnchor() const { return selection_.Anchor(); }
  bool IsScrollSelect() const { return scroll_select_; }
  void SetScrollSelect(bool scroll_select) { scroll_select_ = scroll_select; }
  // Scrolls the body so the row is inside its visible area.
  void EnsureVisible(int index);
  // Scrolls the body by the distances.
  void Scroll(int dx, int dy);

 protected:
  // A row is about to leave the body, by the list's own calls or by the body's container calls,
  // to be freed or handed elsewhere: a list that keeps records of its rows beyond the body lets go
  // of them here.
  virtual void OnRowLeaving(CControlUI* /*row*/) {}

 private:
  // The body reads the rows' placement records from the row cache.
  friend class CListBodyUI;

  // The row at index when it answers "ListItem", else null.
  IListItemUI* RowAt(int index) const;
  // The placement record of the body's row at index when the cache knows that row, else null.
  TRowPlacement* RowPlacementAt(int index, const CControlUI* row) const;
  // The row at index leaves the body and stops asking it for its rectangle.
  void ReleaseRowPlacement(int index);
  bool IsSelectableRow(int index) const;
  void UpdateColumnCount();
  void RenumberRows(int first, int last);
  // Rows from first on may answer old numbers until they are next read. Numbering them at once
  // would make each insertion or removal in a long list cost a call per following row.
  void MarkRowsRenumbered(int first, int last);
  // Numbers every row marked since the last reading; const because readers of numbers are.
  void BringRowNumbersUpToDate() const;
  // The same for a row that says it is number `known`: a row numbered below the first marked one
  // has not moved since it was numbered, so nothing needs doing for it.
  void BringRowNumbersUpToDate(int known) const {
    if (known >= stale_from_) BringRowNumbersUpToDate();
  }
  void NotifyItemSelect(int wParam, int lParam);
  bool IsHeaderItem(CControlUI* control) const;

  bool scroll_select_ = false;
  bool multi_select_ = false;
  CListSelection selection_;
  IListTextCallback* text_callback_ = nullptr;
  CListBodyUI* body_ = nullptr;
  CListHeaderUI* header_ = nullptr;
  TListDisplayInfo list_info_;
  // Each body row beside its row interface, in body order: asking a control for an interface by
  // name costs string comparisons, too many to renumber every row on each removal. An entry is
  // trusted only while the body still holds that control at that index.
  struct TRowEntry {
    CControlUI* control;
    IListItemUI* row;
    TRowPlacement* placement;
  };
  std::vector<TRowEntry> row_cache_;
  // Cached rows that cannot reach the list to ask for their number (not of this family); while
  // there are any, or the cache does not cover the body, rows are numbered at once.
  int unplaced_rows_ = 0;
  // The first row whose number may be out of date, kNumbered when none is. Every row that answers
  // a number below it is at that place.
  static constexpr int kNumbered = 0x7fffffff;
  mutable int stale_from_ = kNumbered;
  // While the list stacks its own header and body it spaces them by its own padding, not the rows'.
  bool laying_out_self_ = false;
  // Counts the list's layouts; the body measures its rows once per layout of the list when their
  // heights cannot have changed between its two placements in it.
  unsigned layout_serial_ = 0;
  bool in_layout_ = false;
};

}  // namespace Vellum
