#pragma once

// A multi-line label whose tagged text may hold links. The tagged-text drawing reports where it
// drew each link and its target; the control keeps those rectangles until the next paint, shows the
// hand cursor over a link and sends "link" (wParam: the link's index) when one is clicked. Only the
// first kMaxLinks links are tracked; later ones are drawn but cannot be clicked.
//
// Owned by its container like every control.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CTextUI : public CLabelUI {
 public:
  static constexpr int kMaxLinks = 8;

  CTextUI();
  ~CTextUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void DoEvent(TUIEvent& event) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintText(HDC dc) override;

  // What the last paint laid out: rectangles in window client coordinates.
  int GetLinkCount() const { return link_count_; }
  RECT GetLinkRect(int index) const;
  CUIString GetLinkText(int index) const;
  int GetHoveredLink() const { return hovered_link_; }

 private:
  // The index of the link under the point, or -1.
  int LinkAt(POINT point) const;

  int link_count_ = 0;
  RECT link_rects_[kMaxLinks] = {};
  CUIString link_texts_[kMaxLinks];
  int hovered_link_ = -1;
};

}  // namespace Vellum
