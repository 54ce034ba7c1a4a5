#pragma once

// A label whose text scrolls through its area (a marquee). Each paint moves the text on by the
// step; timer 20 repaints it once per tick while a roll runs, and timer 21, when it is started,
// fires once after its time and sends "textrollend" while the text keeps scrolling (the program
// ends the roll with EndRoll, on that notification if it likes). The text's extent is measured on the
// first paint after the text or the placement changes, and that paint draws nothing. Owned by its
// parent container like every control.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CRollTextUI : public CLabelUI {
 public:
  // Control timers: one roll step per tick, and the end of the roll.
  static constexpr UINT kRollTimerId = 20;
  static constexpr UINT kRollEndTimerId = 21;

  enum RollDirection { kRollLeft = 0, kRollRight = 1, kRollUp = 2, kRollDown = 3 };

  CRollTextUI();
  ~CRollTextUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetText(const wchar_t* text) override;
  void DoEvent(TUIEvent& event) override;
  void PaintText(HDC dc) override;

  // --- virtual operations added here, in their fixed order ---
  // Places the control with invalidation and measures the text again at the next paint; the
  // ordinary SetPos keeps the measured extent.
  virtual void SetPosAndRemeasure(RECT rect);

  // Starts rolling in a direction (kRollLeft..kRollDown; others count as left), one step every
  // elapse ms; with a positive max_time "textrollend" is sent once after that many ms. False when
  // the manager cannot start the step timer (no manager or no window).
  bool BeginRoll(int direction = kRollLeft, UINT elapse = 100, UINT max_time = 0);
  // Stops both timers.
  void EndRoll();
  bool IsRolling() const { return rolling_; }

  int GetRollDirection() const { return direction_; }
  int GetRollStep() const { return step_; }
  // Pixels per paint; values below 1 are taken as 1.
  void SetRollStep(int step);
  int GetScrollPos() const { return scroll_pos_; }
  // 0 until measured.
  int GetTextExtent() const { return text_extent_; }

 private:
  int step_ = 5;
  int scroll_pos_ = 0;
  bool rolling_ = false;
  int direction_ = kRollLeft;
  int text_extent_ = 0;
};

}  // namespace Vellum
