#pragma once

// The column header of a list: a row of header items, each a clickable column title whose width the
// user drags by a separator strip at one of its edges. The list copies each item's laid-out
// rectangle into its column rectangles, so rows draw their cells under the titles. The header is
// owned by its list (or whatever container holds it), the items by the header.

#include <windows.h>

#include "vellum/core/base/ui_string.h"
#include "vellum/core/layout/horizontal_layout.h"

namespace Vellum {

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  CListHeaderUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  // The header draws no separator of its own.
  void DoPostPaint(HDC dc, const RECT& paint) override;

  // Items take their "scale" percent of the header's width.
  void SetScaleHeader(bool scale);
  bool IsScaleHeader() const { return scale_header_; }

 private:
  bool scale_header_ = false;
};

class CListHeaderItemUI : public CHorizontalLayoutUI {
 public:
  // Bits of GetButtonState beyond the common UISTATE_ ones.
  static constexpr UINT kStateDragging = UISTATE_CAPTURED;

  CListHeaderItemUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  bool IsDragable() const { return dragable_; }
  // Turning dragging off ends a drag in progress.
  void SetDragable(bool dragable);
  // Device pixels: > 0 a strip at the right edge, < 0 at the left edge, 0 none.
  int GetSepWidth() const { return sep_width_; }
  void SetSepWidth(int width);
  DWORD GetTextColor() const { return text_color_; }
  void SetTextColor(DWORD color);
  int GetFont() const { return font_; }
  void SetFont(int font);
  UINT GetTextStyle() const { return text_style_; }
  void SetTextStyle(UINT style);
  bool IsShowHtml() const { return show_html_; }
  void SetShowHtml(bool show);
  RECT GetTextPadding() const { return text_padding_; }
  void SetTextPadding(RECT padding);
  const wchar_t* GetNormalImage() const { return normal_image_.GetData(); }
  void SetNormalImage(const wchar_t* image);
  const wchar_t* GetHotImage() const { return hot_image_.GetData(); }
  void SetHotImage(const wchar_t* image);
  const wchar_t* GetPushedImage() const { return pushed_image_.GetData(); }
  void SetPushedImage(const wchar_t* image);
  const wchar_t* GetFocusedImage() const { return focused_image_.GetData(); }
  void SetFocusedImage(const wchar_t* image);
  const wchar_t* GetSepImage() const { return sep_image_.GetData(); }
  void SetSepImage(const wchar_t* image);
  int GetScale() const { return scale_; }
  void SetScale(int percent);
  // UISTATE_FOCUSED, UISTATE_HOT, UISTATE_PUSHED and kStateDragging.
  UINT GetButtonState() const { return item_state_; }

 private:
  bool InSeparator(POINT point) const;
  // The list (the header's parent) lays its rows out against the new columns.
  void RelayoutList();

  POINT last_drag_point_{0, 0};
  bool dragable_ = true;
  UINT item_state_ = 0;
  int sep_width_ = 4;
  DWORD text_color_ = 0;
  int font_ = -1;
  UINT text_style_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  bool show_html_ = false;
  RECT text_padding_{2, 0, 2, 0};
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString pushed_image_;
  CUIString focused_image_;
  CUIString sep_image_;
  CUIString sep_modify_;
  int scale_ = 0;
};

}  // namespace Vellum
