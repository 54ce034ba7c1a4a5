#pragma once

// A button that cross-fades between its normal and hot images when the mouse enters or leaves it,
// over 30 frames of 10 ms each way. Owned by its parent container like every control.

#include <windows.h>

#include "vellum/controls/animation/ui_animation.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base_controls/button.h"

namespace Vellum {

class CFadeButtonUI : public CButtonUI, public CUIAnimation {
 public:
  static constexpr int kFadeInId = 8;
  static constexpr int kFadeOutId = 9;
  static constexpr int kFadeElapse = 10;
  static constexpr int kFadeFrames = 30;

  CFadeButtonUI();
  ~CFadeButtonUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void PaintStatusImage(HDC dc) override;
  void SetNormalImage(const wchar_t* image) override;

  void OnAnimationStep(int total_frame, int current_frame, int animation_id) override;

  BYTE GetFadeAlpha() const { return fade_alpha_; }
  const CUIString& GetLastImage() const { return last_image_; }

 protected:
  CUIString old_image_;
  CUIString new_image_;
  CUIString last_image_;
  BYTE fade_alpha_ = 255;
  bool mouse_entered_ = false;
  bool mouse_left_ = false;
};

}  // namespace Vellum
