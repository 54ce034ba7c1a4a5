#pragma once

// A label that shows a value between a minimum and a maximum as a filled part: with the fore colour,
// or with the fore image stretched over (or cut to) that part; optionally its text is the
// percentage. Horizontal bars fill from the left, vertical ones from the bottom. Owned by its
// parent container like every control.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  ~CProgressUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintForeColor(HDC dc) override;
  void PaintForeImage(HDC dc) override;

  // --- virtual operations added by the progress bar ---
  // With show text on, the text becomes the percentage.
  virtual void UpdateText();

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal = true);
  bool IsStretchFore() const { return stretch_fore_image_; }
  void SetStretchFore(bool stretch = true);
  int GetMinValue() const { return minimum_; }
  // Neither bound is checked against the other or the value: painting guards the range.
  void SetMinValue(int minimum);
  int GetMaxValue() const { return maximum_; }
  void SetMaxValue(int maximum);
  int GetValue() const { return value_; }
  // A value outside the range, or the current one, changes nothing.
  virtual void SetValue(int value);
  bool IsShowText() const { return show_text_; }
  void SetShowText(bool show_text = true);

 protected:
  // The range and value painting uses, stored back.
  void NormalizeRange();

  bool show_text_ = false;
  bool horizontal_ = true;
  bool stretch_fore_image_ = true;
  int maximum_ = 100;
  int minimum_ = 0;
  int value_ = 0;
  CUIString fore_image_modify_;
};

}  // namespace Vellum
