#pragma once

// The combo: a closed selector that shows its selected row and lists every row in a drop-down
// window (CComboWnd) when activated. The rows are the combo's children and are owned by it; the
// drop-down only borrows them while it is open and never deletes them. The combo owns no drop-down
// object either: the window deletes itself when it is destroyed, and the combo closes an open one
// before the combo itself goes.

#include <windows.h>

#include "vellum/controls/list/list_interfaces.h"
#include "vellum/core/layout/container.h"

namespace Vellum {

class CComboWnd;

// Bits of the combo's button state.
constexpr UINT UICOMBO_STATE_FOCUSED = 0x01;
constexpr UINT UICOMBO_STATE_DISABLED = 0x04;
constexpr UINT UICOMBO_STATE_HOT = 0x08;
constexpr UINT UICOMBO_STATE_PUSHED = 0x10;
constexpr UINT UICOMBO_STATE_PRESSED = 0x40;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  CUIString GetText() const override;
  bool Activate() override;
  void SetEnabled(bool enable = true) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  SIZE EstimateSize(SIZE available) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  bool SetItemIndex(CControlUI* control, int index) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

  // --- IListOwnerUI ---
  int GetListType() override;
  TListDisplayInfo* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectItem(int index, bool take_focus = false) override;
  bool SelectMultiItem(int index, bool take_focus = false) override;
  bool UnSelectItem(int index, bool others = false) override;

  CComboWnd* GetDropDown() const { return drop_down_; }
  UINT GetButtonState() const { return button_state_; }
  bool IsScrollSelect() const { return scroll_select_; }
  bool IsShowShadow() const { return show_shadow_; }
  const CUIString& GetDropBoxAttributeList() const { return drop_box_attributes_; }
  // Unscaled; width 0 stands for the combo's width.
  SIZE GetDropBoxSize() const { return drop_box_size_; }
  RECT GetDropBoxInset() const { return drop_box_inset_; }
  RECT GetTextPadding() const { return text_padding_; }
  UINT GetTextStyle() const { return text_style_; }

 protected:
  // The default colours of the manager, stored the first time the combo paints.
  void ResolveDefaultColors();
  // The combo's rectangle less its text padding.
  RECT GetTextRect() const;

  UINT button_state_ = 0;

 private:
  friend class CComboWnd;

  void RenumberRows(int first);
  void NotifyItemSelect(int index, int previous);
  // Called by the drop-down from its final message: it is gone.
  void OnDropDownGone();

  CComboWnd* drop_down_ = nullptr;
  int cur_sel_ = -1;
  DWORD text_color_ = 0;
  DWORD disabled_text_color_ = 0;
  int font_ = -1;
  UINT text_style_ = DT_VCENTER | DT_SINGLELINE;
  RECT text_padding_{0, 0, 0, 0};
  bool show_html_ = false;
  bool show_shadow_ = false;
  CUIString drop_box_attributes_;
  SIZE drop_box_size_{0, 150};
  RECT drop_box_inset_{0, 0, 0, 0};
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString pushed_image_;
  CUIString focused_image_;
  CUIString disabled_image_;
  bool scroll_select_ = true;
  TListDisplayInfo list_info_;
};

}  // namespace Vellum
