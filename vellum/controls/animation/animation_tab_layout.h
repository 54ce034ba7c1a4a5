#pragma once

// A tab layout whose newly selected page slides in: the whole layout is moved from beside its
// place back onto it over a short animation, carrying the new page with it. Owned by its parent
// container like every control; it owns its pages as the tab layout does.

#include <windows.h>

#include "vellum/controls/animation/ui_animation.h"
#include "vellum/core/layout/tab_layout.h"

namespace Vellum {

class CAnimationTabLayoutUI : public CTabLayoutUI, public CUIAnimation {
 public:
  // The slide's animation: 15 frames of 10 ms.
  static constexpr int kSlideAnimationId = 1;
  static constexpr int kSlideFrameElapse = 10;
  static constexpr int kSlideFrameCount = 15;
  // A horizontal slide starts this far short of a whole width away.
  static constexpr int kHorizontalSlideOffset = 52;

  CAnimationTabLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;

  using CTabLayoutUI::SelectItem;
  bool SelectItem(int index) override;

  void OnAnimationStep(int total_frame, int current_frame, int animation_id) override;
  void OnAnimationStop(int animation_id) override;

  bool IsVerticalDirection() const { return vertical_; }
  int GetDirectionSign() const { return direction_sign_; }
  const RECT& GetSlidingRect() const { return current_rect_; }

 protected:
  // Shows the page being shown once, whichever comes first: the first slide step, or the slide
  // that could not start.
  void ShowControlOnce();

  bool vertical_ = false;
  int direction_sign_ = 1;
  RECT current_rect_{0, 0, 0, 0};
  RECT old_rect_{0, 0, 0, 0};
  CControlUI* control_ = nullptr;
  bool control_visible_ = false;
};

}  // namespace Vellum
