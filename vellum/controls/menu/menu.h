#pragma once

// The list inside a menu window (CMenuUI) and its items (CMenuElementUI). An item's own
// CMenuElementUI children form its sub-menu: they stay hidden inside the item, which never lays
// them out or paints them, and are borrowed by the sub-menu window (CMenuWnd) while it is open. The
// item owns them throughout; the window hands them back however it ends. Check states live in the
// application's check table (menu_observer.h), keyed by item name.

#include <windows.h>

#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_ptr_array.h"

namespace Vellum {

class CMenuWnd;

class CMenuUI : public CListUI {
 public:
  CMenuUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  int GetListType() override;
  void DoEvent(TUIEvent& event) override;
  // The widest item and the items' heights added up; every visible item is given that width, so
  // all items share the widest one.
  SIZE EstimateSize(SIZE available) override;

  // Only menu items; an item's own sub-items are hidden as it comes in.
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;

  CMenuWnd* GetMenuWnd() const { return menu_wnd_; }
  void SetMenuWnd(CMenuWnd* window) { menu_wnd_ = window; }

  // Selects, with the focus, the first (or last) item that can take the selection; false when
  // none can.
  bool SelectEdgeItem(bool last);

 private:
  // Down or Up: the next item that can take the selection, or with none current the first or last.
  void StepSelection(bool down);

  CMenuWnd* menu_wnd_ = nullptr;
};

class CMenuElementUI : public CListContainerElementUI {
 public:
  CMenuElementUI();
  ~CMenuElementUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void DrawItemText(HDC dc, const RECT& rect) override;
  SIZE EstimateSize(SIZE available) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  bool GetChecked() const;
  void SetChecked(bool checked);
  void SetIcon(const wchar_t* icon);
  const CUIString& GetIcon() const { return icon_; }
  void SetIconSize(int cx, int cy);
  SIZE GetIconSize() const { return icon_size_; }  // unscaled
  void SetCheckItem(bool check_item);
  bool IsCheckItem() const { return check_item_; }
  // Makes the item a separator: a thin line, disabled and deaf to the mouse.
  void SetLineType();
  bool IsLineType() const { return draw_line_; }
  void SetShowExpandArrow(bool show);
  bool IsShowExpandArrow() const { return show_expand_arrow_; }
  void SetLineColor(DWORD color);
  DWORD GetLineColor() const { return line_color_; }
  void SetLinePadding(RECT padding);
  RECT GetLinePadding() const { return line_padding_; }  // unscaled

  // Opens the sub-menu window for this item's sub-items when none is open.
  void CreateMenuWnd();
  CMenuWnd* GetMenuWnd() const { return sub_menu_; }
  // Called by the sub-menu window as it ends.
  void OnSubMenuGone();
  // The item's own sub-items (children that are menu items).
  int GetSubItemCount() const;
  CMenuElementUI* GetSubItemAt(int index) const;

 private:
  friend class CMenuWnd;
  // Keeps the sub-items out of the container's own layout, hit testing and painting while alive:
  // they belong to the sub-menu's window, never to the item's rectangle.
  class COwnChildrenOnly;

  // Shows the sub-menu, or closes the deeper sub-menus of this menu for a leaf; selects the item.
  void Open(bool select);
  void Choose();
  // Return on the item: a leaf is chosen as a click chooses it; an item with sub-items opens them.
  void ChooseFromKeyboard();
  // The open sub-menu starts with its first item that can take the selection.
  void SelectFirstSubItem();
  IListOwnerUI* ListOwner() { return GetOwner(); }
  void PaintSeparator(HDC dc);
  void PaintIcon(HDC dc);
  void PaintExpandArrow(HDC dc);

  CMenuWnd* sub_menu_ = nullptr;
  bool draw_line_ = false;
  DWORD line_color_ = 0xFFBCBFC4;
  RECT line_padding_{29, 0, 7, 0};
  SIZE icon_size_{16, 16};
  CUIString icon_;
  bool check_item_ = false;
  bool show_expand_arrow_ = false;
};

// True for a control that is a menu item.
bool IsMenuItem(CControlUI* control);

}  // namespace Vellum
