#pragma once

// A column header of an editable list. Besides what a list's header item does (a clickable title
// whose width the user drags by a separator strip), it declares what its column allows: editing
// in a floating rich edit, choosing in a floating combo box, or a check box, drawn in the header
// and in every row. Owned by the header that holds it.

#include <windows.h>

#include "vellum/controls/list/list_header_item_core.h"
#include "vellum/controls/list_ex/list_ex_check_box.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/layout/horizontal_layout.h"

namespace Vellum {

class CListContainerHeaderItemUI : public CHorizontalLayoutUI {
 public:
  CListContainerHeaderItemUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  bool IsDragable() const { return core_.dragable; }
  void SetDragable(bool dragable);
  int GetSepWidth() const { return core_.sep_width; }
  void SetSepWidth(int width) { core_.sep_width = width; }
  DWORD GetTextColor() const { return core_.text_color; }
  void SetTextColor(DWORD color);
  int GetFont() const { return core_.font; }
  void SetFont(int font);
  UINT GetTextStyle() const { return core_.text_style; }
  void SetTextStyle(UINT style);
  bool IsShowHtml() const { return core_.show_html; }
  void SetShowHtml(bool show);
  RECT GetTextPadding() const { return core_.text_padding; }
  void SetTextPadding(RECT padding);
  void SetNormalImage(const wchar_t* image);
  void SetHotImage(const wchar_t* image);
  void SetPushedImage(const wchar_t* image);
  void SetFocusedImage(const wchar_t* image);
  void SetSepImage(const wchar_t* image);
  // UISTATE_FOCUSED, UISTATE_HOT, UISTATE_PUSHED and UISTATE_CAPTURED (a separator drag).
  UINT GetButtonState() const { return core_.state; }

  bool IsColumnEditable() const { return editable_; }
  void SetColumnEditable(bool editable) { editable_ = editable; }
  bool IsColumnComboable() const { return comboable_; }
  void SetColumnComboable(bool comboable) { comboable_ = comboable; }
  bool IsColumnCheckable() const { return checkable_; }
  void SetColumnCheckable(bool checkable);

  // Invalidates only on a change; sends nothing.
  void SetCheck(bool checked);
  bool GetCheck() const { return check_box_.IsChecked(); }
  UINT GetCheckBoxState() const { return check_box_.GetState(); }
  // The box in device pixels.
  RECT GetCheckBoxRect() const;

 private:
  // The item's index in its header, -1 without one.
  int IndexInHeader() const;

  TListHeaderItemCore core_;
  bool editable_ = false;
  bool comboable_ = false;
  bool checkable_ = false;
  CListExCheckBox check_box_;
};

}  // namespace Vellum
