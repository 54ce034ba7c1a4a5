#pragma once

// The common part of the vertical and horizontal layouts: an optional separator strip on one edge
// of the layout along its stacking axis lets the user drag the layout's own size on that axis. A
// positive separator size puts the strip on the far edge (bottom or right), a negative one on the
// near edge (top or left), 0 turns it off. Without immediate mode a translucent tracker shows the
// new edge until the button is released; in immediate mode the parent is laid out on every move.

#include <windows.h>

#include "vellum/core/layout/container.h"

namespace Vellum {

class CBoxLayoutUI : public CContainerUI {
 public:
  // The translucent black of the tracker drawn while a separator is dragged.
  static constexpr DWORD kTrackerColor = 0xAA000000;

  UINT GetControlFlags() const override;
  void DoEvent(TUIEvent& event) override;
  void DoPostPaint(HDC dc, const RECT& paint) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  void SetSepImmMode(bool immediate);
  bool IsSepImmMode() const;
  // The separator strip of the new position (while dragging, when asked) or of the item rectangle.
  virtual RECT GetThumbRect(bool use_new = false) const = 0;

 protected:
  // vertical: the separator drags the height (top/bottom edges), otherwise the width.
  explicit CBoxLayoutUI(bool vertical);

  // Device pixels, signed as described above.
  int sep_size_ = 0;
  UINT button_state_ = 0;
  POINT last_mouse_{0, 0};
  RECT new_pos_{0, 0, 0, 0};
  bool immediate_ = false;

 private:
  // Moves the dragged edge of new_pos_ for a captured mouse move, within the minimum and
  // maximum size.
  void DragSeparator(POINT pt);

  const bool vertical_;
};

}  // namespace Vellum
