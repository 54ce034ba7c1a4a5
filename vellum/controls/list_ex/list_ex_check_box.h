#pragma once

// The check box that header items and rows of an editable list draw at their left edge. It is a
// drawn box, not a control: its owner places it, forwards the mouse to it and sends the
// notification when it toggles. Header items and rows share the same states and images.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CPaintManagerUI;

// Where a box of that size sits in an item: 6 pixels in from the left edge, centred vertically.
RECT ListExCheckBoxRect(const RECT& item, SIZE box);

class CListExCheckBox {
 public:
  // What a mouse event did to the box.
  struct TResult {
    bool changed = false;  // a state bit changed: the owner repaints
    bool toggled = false;  // the check flipped: the owner notifies
  };

  // The check box attributes ("checkboxwidth", "checkboxnormalimage", ...); false for any other.
  bool SetAttribute(const wchar_t* name, const wchar_t* value);

  bool IsChecked() const { return checked_; }
  // True when the flag changed; UISTATE_SELECTED follows it.
  bool SetChecked(bool checked);
  UINT GetState() const { return state_; }
  // The stored size, as written in the skin; negative values are never taken.
  SIZE GetSize() const { return SIZE{width_, height_}; }
  void SetWidth(int width);
  void SetHeight(int height);

  // One mouse event at point against the box at rect. hover_tracks_position: mouse moves without a
  // press set or clear hot by position (the header's box does, a row's does not).
  TResult HandleMouse(int type, POINT point, const RECT& rect, bool hover_tracks_position);

  // Draws the state's image into rect; the focus and disabled bits are taken from the owner.
  void Paint(HDC dc, CPaintManagerUI* manager, const RECT& rect, const RECT& paint, bool focused,
             bool enabled);

 private:
  UINT state_ = 0;
  bool checked_ = false;
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString pushed_image_;
  CUIString focused_image_;
  CUIString disabled_image_;
  CUIString selected_image_;
  CUIString fore_image_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace Vellum
