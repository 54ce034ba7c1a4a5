#pragma once

// A progress bar with a thumb that the user drags with the mouse or moves with the wheel. It
// notifies "valuechanged" when a drag ends on another value than it began with and on every wheel
// turn, and, with send move on, "movevaluechanged" on every mouse move of a drag. Owned by its
// parent container like every control.

#include <windows.h>

#include "vellum/controls/progress/progress.h"

namespace Vellum {

class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  ~CSliderUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintForeImage(HDC dc) override;

  // Ignored while the user holds the thumb.
  void SetValue(int value) override;

  // The thumb in device pixels, its size scaled by the attached manager.
  RECT GetThumbRect() const;
  // The value whose thumb is centred on point, by the same (scaled) thumb as GetThumbRect, so a
  // press on the thumb's centre keeps the value.
  int ValueFromPoint(POINT point) const;

  const wchar_t* GetThumbImage() const { return thumb_image_.GetData(); }
  void SetThumbImage(const wchar_t* image);
  const wchar_t* GetThumbHotImage() const { return thumb_hot_image_.GetData(); }
  void SetThumbHotImage(const wchar_t* image);
  const wchar_t* GetThumbPushedImage() const { return thumb_pushed_image_.GetData(); }
  void SetThumbPushedImage(const wchar_t* image);
  // Written for 96 DPI.
  SIZE GetThumbSize() const { return thumb_size_; }
  void SetThumbSize(SIZE size);
  int GetStep() const { return step_; }
  void SetStep(int step);
  bool IsSendMove() const { return send_move_; }
  void SetSendMove(bool send_move);
  // UISTATE_HOT while the mouse is over the thumb, UISTATE_CAPTURED while it is held.
  UINT GetButtonState() const { return button_state_; }

 private:
  bool DrawThumb(HDC dc, const CUIString& image);

  UINT button_state_ = 0;
  int step_ = 1;
  SIZE thumb_size_{10, 10};
  CUIString thumb_image_;
  CUIString thumb_hot_image_;
  CUIString thumb_pushed_image_;
  CUIString thumb_modify_;
  bool send_move_ = false;
};

}  // namespace Vellum
