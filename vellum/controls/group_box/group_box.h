#pragma once

// A vertical layout drawn as a titled frame: a line (plain or with round corners) 5 pixels inside
// its rectangle, interrupted near the top left by its text drawn on the background colour. The
// inset keeps the children clear of the frame and the title. Owned by its parent container like
// every control; it owns its children as a container does.

#include <windows.h>

#include "vellum/core/layout/vertical_layout.h"

namespace Vellum {

class CGroupBoxUI : public CVerticalLayoutUI {
 public:
  CGroupBoxUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintText(HDC dc) override;
  void PaintBorder(HDC dc) override;

  DWORD GetTextColor() const { return text_color_; }
  void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return disabled_text_color_; }
  void SetDisabledTextColor(DWORD color);
  int GetFont() const { return font_; }
  void SetFont(int index);
  UINT GetTextStyle() const { return text_style_; }

 protected:
  // The title's measured size when it may be as wide as available (or the fixed X, if larger).
  SIZE CalcTitleSize(HDC dc, SIZE available);

  DWORD text_color_ = 0;
  DWORD disabled_text_color_ = 0;
  int font_ = -1;
  UINT text_style_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
};

}  // namespace Vellum
