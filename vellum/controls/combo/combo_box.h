#pragma once

// A combo that draws an arrow cut from a strip of five states (normal, hot, pushed, focused,
// disabled) at its right edge, and paints its selected row itself beside the arrow. Rows and the
// drop-down are the combo's, owned as there.

#include <windows.h>

#include "vellum/controls/combo/combo.h"

namespace Vellum {

// The arrow image description rewritten to draw one part of its five-part strip into dest: the
// text from "source" to the closing apostrophe becomes "source='...' dest='...'". Empty when the
// description has no complete source value. part_width receives a fifth of the source width.
CUIString BuildArrowImage(const wchar_t* description, int part, const RECT& dest, int* part_width);

class CComboBoxUI : public CComboUI {
 public:
  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  const CUIString& GetArrowImage() const { return arrow_image_; }
  int GetArrowWidth() const { return arrow_width_; }

 private:
  CUIString arrow_image_;
  int arrow_width_ = 0;
};

}  // namespace Vellum
