#pragma once

// A row of an editable list: one text per column (drawn with links when the list shows tagged
// text) and a check box, drawn for the columns whose header item is checkable. A click on a cell
// of a focused list offers that cell to the list's editors. Owned by the list's body; the column
// texts are owned by the row.

#include <windows.h>

#include "vellum/controls/list/list_element.h"
#include "vellum/controls/list_ex/list_ex_check_box.h"
#include "vellum/core/base/ui_ptr_array.h"

namespace Vellum {

class CListExUI;
class CListUI;

class CListTextExtElementUI : public CListLabelElementUI {
 public:
  static constexpr int kMaxLinks = 8;

  CListTextExtElementUI();
  ~CListTextExtElementUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetOwner(CControlUI* owner) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void DrawItemText(HDC dc, const RECT& rect) override;

  using CListLabelElementUI::GetText;
  using CListLabelElementUI::SetText;
  // The text of a column, null when none was set.
  const wchar_t* GetText(int column) const;
  // Only with an owner list and for one of its columns.
  void SetText(int column, const wchar_t* text);

  // Invalidates only on a change; sends nothing.
  void SetCheck(bool checked);
  bool GetCheck() const { return check_box_.IsChecked(); }
  UINT GetCheckBoxState() const { return check_box_.GetState(); }
  RECT GetCheckBoxRect() const;

  int GetLinkCount() const { return link_count_; }
  const RECT& GetLinkRect(int link) const { return link_rects_[link]; }
  const CUIString& GetLinkText(int link) const { return link_texts_[link]; }

  // The column under a point (inside the column less the list's text padding), -1 for none.
  int ColumnAt(POINT point) const;

 private:
  int LinkAt(POINT point) const;
  // The editable list that owns the row, null for any other owner.
  CListExUI* EditableOwner() const;
  // The first column whose header item is checkable, -1 for none.
  int FirstCheckableColumn() const;
  void DrawCheckBoxes(HDC dc);

  int link_count_ = 0;
  RECT link_rects_[kMaxLinks] = {};
  CUIString link_texts_[kMaxLinks];
  int hot_link_ = -1;
  CListUI* owner_list_ = nullptr;
  // Owned CUIString*, null where a column has no text yet.
  CUIPtrArray column_texts_;
  CListExCheckBox check_box_;
};

}  // namespace Vellum
