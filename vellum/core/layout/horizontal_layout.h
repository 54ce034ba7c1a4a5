#pragma once

// Places its visible children left to right. Children with a width of their own keep it; the
// others share what is left; every child fills the height unless it has a height of its own. An
// optional separator strip on the right (positive size) or left (negative size) edge lets the
// user drag the layout's own width.

#include <windows.h>

#include "vellum/core/layout/box_layout.h"

namespace Vellum {

class CHorizontalLayoutUI : public CBoxLayoutUI {
 public:
  CHorizontalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // Device pixels; positive: strip on the right edge, negative: on the left edge, 0: none.
  void SetSepWidth(int width);
  int GetSepWidth() const;
  RECT GetThumbRect(bool use_new = false) const override;
};

}  // namespace Vellum
