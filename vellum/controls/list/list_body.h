#pragma once

// The scrolling part of a list that holds its rows. Rows stretch to the header's width so their
// cells line up under the columns, and the header scrolls sideways with them. Owned by its list;
// it keeps a plain pointer to that list.

#include <windows.h>

#include "vellum/core/layout/vertical_layout.h"

namespace Vellum {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
 public:
  explicit CListBodyUI(CListUI* owner);

  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetScrollPos(SIZE pos, bool notify = true) override;
  int GetScrollStepSize() const override;

 private:
  CListUI* owner_;
};

}  // namespace Vellum
