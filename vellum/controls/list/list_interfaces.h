#pragma once

// What lists, combos and their rows know of each other. A row talks to its owner only through
// IListOwnerUI (a list, a combo, or a control derived from a list), and an owner talks to its rows
// only through IListItemUI, so either side can be replaced without the other knowing.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CControlUI;
class CListHeaderUI;
struct TUIEvent;

// The most columns a list tracks; header items beyond them get no column rectangle.
constexpr int UILIST_MAX_COLUMNS = 32;

// Owner types a row can ask for.
constexpr int UILIST_TYPE_LIST = 0;
constexpr int UILIST_TYPE_COMBO = 1;
constexpr int UILIST_TYPE_TREE = 2;
constexpr int UILIST_TYPE_MENU = 3;

// How every row of one owner paints: one record per list or combo, read by the rows.
struct TListDisplayInfo {
  int column_count = 0;
  RECT columns[UILIST_MAX_COLUMNS] = {};
  int font = -1;
  UINT text_style = DT_VCENTER | DT_SINGLELINE;
  RECT text_padding{0, 0, 0, 0};
  DWORD text_color = 0xFF000000;
  DWORD bk_color = 0;
  CUIString bk_image;
  bool alternate_bk = false;
  DWORD selected_text_color = 0xFF000000;
  DWORD selected_bk_color = 0xFFC1E3FF;
  CUIString selected_image;
  DWORD hot_text_color = 0xFF000000;
  DWORD hot_bk_color = 0xFFE9F5FF;
  CUIString hot_image;
  DWORD disabled_text_color = 0xFFCCCCCC;
  DWORD disabled_bk_color = 0xFFFFFFFF;
  CUIString disabled_image;
  CUIString fore_image;
  CUIString hot_fore_image;
  CUIString selected_fore_image;
  DWORD line_color = 0;
  bool show_row_line = false;
  bool show_column_line = false;
  bool show_html = false;
  bool multi_expanding = false;
  bool right_button_selects = false;
};

// Supplies the texts of text rows; owned by the application, never by the list.
class IListTextCallback {
 public:
  // state: 0 normal, 1 hot, 2 selected, 3 disabled.
  virtual const wchar_t* GetItemText(CControlUI* row, int index, int column) = 0;
  virtual DWORD GetItemTextColor(CControlUI* row, int index, int column, int state) = 0;

 protected:
  ~IListTextCallback() = default;
};

class IListOwnerUI {
 public:
  virtual int GetListType() = 0;
  virtual TListDisplayInfo* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool take_focus = false) = 0;
  virtual bool SelectMultiItem(int index, bool take_focus = false) = 0;
  virtual bool UnSelectItem(int index, bool others = false) = 0;
  virtual void DoEvent(TUIEvent& event) = 0;

 protected:
  ~IListOwnerUI() = default;
};

class IListUI : public IListOwnerUI {
 public:
  virtual CListHeaderUI* GetHeader() const = 0;
  virtual CControlUI* GetList() const = 0;
  virtual IListTextCallback* GetTextCallback() const = 0;
  virtual void SetTextCallback(IListTextCallback* callback) = 0;
  virtual bool ExpandItem(int index, bool expand = true) = 0;
  virtual int GetExpandedItem() const = 0;
  virtual void SetMultiSelect(bool multi_select) = 0;
  virtual bool IsMultiSelect() const = 0;
  virtual void SelectAllItems() = 0;
  virtual void UnSelectAllItems() = 0;
  virtual int GetSelectItemCount() const = 0;
  virtual int GetNextSelItem(int after) const = 0;

 protected:
  ~IListUI() = default;
};

// A row of a list or combo (GetInterface("ListItem")).
class IListItemUI {
 public:
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int index) = 0;
  virtual IListOwnerUI* GetOwner() = 0;
  // owner: the owning control, which the row asks for "IListOwner"; null when the row leaves it.
  virtual void SetOwner(CControlUI* owner) = 0;
  virtual bool IsSelected() const = 0;
  virtual bool Select(bool select = true) = 0;
  virtual bool SelectMulti(bool select = true) = 0;
  virtual bool IsExpanded() const = 0;
  virtual bool Expand(bool expand = true) = 0;
  virtual void DrawItemText(HDC dc, const RECT& rect) = 0;

 protected:
  ~IListItemUI() = default;
};

}  // namespace Vellum
