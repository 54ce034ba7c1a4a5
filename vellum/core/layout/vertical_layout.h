#pragma once

// Stacks its visible children top to bottom. Children with a height of their own keep it; the
// others share what is left. An optional separator strip on the bottom (positive size) or top
// (negative size) edge lets the user drag the layout's own height.

#include <windows.h>

#include "vellum/core/layout/box_layout.h"

namespace Vellum {

class CVerticalLayoutUI : public CBoxLayoutUI {
 public:
  CVerticalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // Device pixels; positive: strip on the bottom edge, negative: on the top edge, 0: none.
  void SetSepHeight(int height);
  int GetSepHeight() const;
  RECT GetThumbRect(bool use_new = false) const override;
};

}  // namespace Vellum
