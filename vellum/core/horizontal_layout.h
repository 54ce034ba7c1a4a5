#pragma once

// Places its visible children left to right. Children with a width of their own keep it; the
// others share what is left; every child fills the height unless it has a height of its own. An
// optional separator strip on the right (positive size) or left (negative size) edge lets the
// user drag the layout's own width.

#include <windows.h>

#include "vellum/core/container.h"

namespace Vellum {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  static constexpr DWORD kTrackerColor = 0xAA000000;

  CHorizontalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void DoPostPaint(HDC dc, const RECT& paint) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  // Device pixels; positive: strip on the right edge, negative: on the left edge, 0: none.
  void SetSepWidth(int width);
  int GetSepWidth() const;
  void SetSepImmMode(bool immediate);
  bool IsSepImmMode() const;
  RECT GetThumbRect(bool use_new = false) const;

 protected:
  int sep_width_ = 0;
  UINT button_state_ = 0;
  POINT last_mouse_{0, 0};
  RECT new_pos_{0, 0, 0, 0};
  bool immediate_ = false;
};

}  // namespace Vellum
