#pragma once

// Stacks its visible children top to bottom. Children with a height of their own keep it; the
// others share what is left. An optional separator strip on the bottom (positive size) or top
// (negative size) edge lets the user drag the layout's own height.

#include <windows.h>

#include "vellum/core/container.h"

namespace Vellum {

class CVerticalLayoutUI : public CContainerUI {
 public:
  // The translucent black of the tracker drawn while a separator is dragged.
  static constexpr DWORD kTrackerColor = 0xAA000000;

  CVerticalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void DoPostPaint(HDC dc, const RECT& paint) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // Device pixels; positive: strip on the bottom edge, negative: on the top edge, 0: none.
  void SetSepHeight(int height);
  int GetSepHeight() const;
  void SetSepImmMode(bool immediate);
  bool IsSepImmMode() const;
  // The separator strip of the new position (while dragging, when asked) or of the item rectangle.
  RECT GetThumbRect(bool use_new = false) const;

 protected:
  int sep_height_ = 0;
  UINT button_state_ = 0;
  POINT last_mouse_{0, 0};
  RECT new_pos_{0, 0, 0, 0};
  bool immediate_ = false;
};

}  // namespace Vellum
