#pragma once

// The column header of a list: a row of header items, each a clickable column title whose width the
// user drags by a separator strip at one of its edges. The list copies each item's laid-out
// rectangle into its column rectangles, so rows draw their cells under the titles. The header is
// owned by its list (or whatever container holds it), the items by the header.

#include <windows.h>

#include "vellum/controls/list/list_header_item_core.h"
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

  bool IsDragable() const { return core_.dragable; }
  // Turning dragging off ends a drag in progress.
  void SetDragable(bool dragable);
  // Device pixels: > 0 a strip at the right edge, < 0 at the left edge, 0 none.
  int GetSepWidth() const { return core_.sep_width; }
  void SetSepWidth(int width);
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
  const wchar_t* GetNormalImage() const { return core_.normal_image.GetData(); }
  void SetNormalImage(const wchar_t* image);
  const wchar_t* GetHotImage() const { return core_.hot_image.GetData(); }
  void SetHotImage(const wchar_t* image);
  const wchar_t* GetPushedImage() const { return core_.pushed_image.GetData(); }
  void SetPushedImage(const wchar_t* image);
  const wchar_t* GetFocusedImage() const { return core_.focused_image.GetData(); }
  void SetFocusedImage(const wchar_t* image);
  const wchar_t* GetSepImage() const { return core_.sep_image.GetData(); }
  void SetSepImage(const wchar_t* image);
  int GetScale() const { return scale_; }
  void SetScale(int percent);
  // UISTATE_FOCUSED, UISTATE_HOT, UISTATE_PUSHED and kStateDragging.
  UINT GetButtonState() const { return core_.state; }

 private:
  TListHeaderItemCore core_;
  int scale_ = 0;
};

}  // namespace Vellum
