#include "vellum/core/layout/vertical_layout.h"

#include <algorithm>

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(true) {}

CControlUI* CVerticalLayoutUI::CreateControl() { return new CVerticalLayoutUI(); }

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
  return CBoxLayoutUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const RECT rc = GetContentRect();
  const bool vbar = vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible();
  const bool hbar = horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible();

  if (items_.IsEmpty()) {
    ProcessScrollBar(rc, 0, 0);
    return;
  }

  SIZE available{rc.right - rc.left, rc.bottom - rc.top};
  if (hbar) available.cx += static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange());
  if (vbar) available.cy += static_cast<LONG>(vertical_scroll_bar_->GetScrollRange());
  const int child_padding = GetChildPadding();

  auto max_width_of = [](CControlUI* child) {
    const int fixed = child->GetFixedWidth();
    return fixed > 0 ? fixed : child->GetMaxWidth();
  };
  auto max_height_of = [](CControlUI* child) {
    const int fixed = child->GetFixedHeight();
    return fixed > 0 ? fixed : child->GetMaxHeight();
  };

  // First pass: what the children with a height of their own take, and how many share the rest.
  int adjustable = 0;
  int cy_fixed = 0;
  int estimated = 0;
  int cx_needed = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible() || child->IsFloat()) continue;
    const RECT pad = child->GetPadding();
    const SIZE child_available{
        std::min<LONG>(max_width_of(child), available.cx - pad.left - pad.right),
        std::min<LONG>(max_height_of(child), available.cy)};
    SIZE size = child->EstimateSize(child_available);
    if (size.cy == 0) {
      ++adjustable;
    } else {
      size.cy = std::max<LONG>(size.cy, child->GetMinHeight());
      size.cy = std::min<LONG>(size.cy, child->GetMaxHeight());
    }
    cy_fixed += size.cy + pad.top + pad.bottom;
    size.cx = std::max<LONG>(size.cx, 0);
    size.cx = std::max<LONG>(size.cx, child->GetMinWidth());
    size.cx = std::min<LONG>(size.cx, child->GetMaxWidth());
    cx_needed = std::max<int>(cx_needed, size.cx + pad.left + pad.right);
    ++estimated;
  }
  cy_fixed += (estimated - 1) * child_padding;
  const int cy_expand = adjustable > 0 ? std::max<int>(0, (available.cy - cy_fixed) / adjustable) : 0;

  int y = rc.top;
  if (vbar) {
    y -= static_cast<int>(vertical_scroll_bar_->GetScrollPos());
  } else if (adjustable == 0) {
    if (child_valign_ == UICHILD_VALIGN_VCENTER) {
      y += (available.cy - cy_fixed) / 2;
    } else if (child_valign_ == UICHILD_VALIGN_BOTTOM) {
      y += available.cy - cy_fixed;
    }
  }

  // Second pass: place them; the last adjustable child takes the rounding leftovers.
  SIZE remaining = available;
  int cy_fixed_remaining = cy_fixed;
  int adjustable_seen = 0;
  int placed = 0;
  int cy_needed = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const RECT pad = child->GetPadding();
    remaining.cy -= pad.top;
    cy_fixed_remaining -= pad.top + pad.bottom;
    if (placed > 0) cy_fixed_remaining -= child_padding;
    const SIZE child_available{
        std::min<LONG>(max_width_of(child), available.cx - pad.left - pad.right),
        std::min<LONG>(max_height_of(child), remaining.cy)};
    SIZE size = child->EstimateSize(child_available);
    if (size.cy != 0) {
      size.cy = std::max<LONG>(size.cy, child->GetMinHeight());
      size.cy = std::min<LONG>(size.cy, child->GetMaxHeight());
      cy_fixed_remaining -= size.cy;
    } else {
      ++adjustable_seen;
      size.cy = cy_expand;
      if (adjustable_seen == adjustable) {
        size.cy = std::max<LONG>(0, remaining.cy - pad.bottom - cy_fixed_remaining);
      }
      size.cy = std::max<LONG>(size.cy, child->GetMinHeight());
      size.cy = std::min<LONG>(size.cy, child->GetMaxHeight());
    }

    size.cx = std::max<LONG>(size.cx, 0);
    if (size.cx == 0) size.cx = available.cx - pad.left - pad.right;
    size.cx = std::min<LONG>(size.cx, child_available.cx);
    size.cx = std::max<LONG>(size.cx, child->GetMinWidth());

    RECT pos{0, y + pad.top, 0, y + pad.top + size.cy};
    if (child_align_ == UICHILD_ALIGN_CENTER) {
      LONG x = (rc.left + rc.right) / 2;
      if (hbar) {
        x += static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange() / 2 -
                               horizontal_scroll_bar_->GetScrollPos());
      }
      pos.left = x - size.cx / 2;
      pos.right = pos.left + size.cx;
    } else if (child_align_ == UICHILD_ALIGN_RIGHT) {
      LONG edge = rc.right;
      if (hbar) {
        edge += static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange() -
                                  horizontal_scroll_bar_->GetScrollPos());
      }
      pos.left = edge - pad.right - size.cx;
      pos.right = edge - pad.right;
    } else {
      LONG edge = rc.left;
      if (hbar) edge -= static_cast<LONG>(horizontal_scroll_bar_->GetScrollPos());
      pos.left = edge + pad.left;
      pos.right = pos.left + size.cx;
    }
    child->SetPos(pos, false);

    y += size.cy + pad.top + pad.bottom + child_padding;
    cy_needed += size.cy + pad.top + pad.bottom;
    remaining.cy -= size.cy + pad.bottom + child_padding;
    ++placed;
  }
  cy_needed += (estimated - 1) * child_padding;
  ProcessScrollBar(rc, cx_needed, cy_needed);
}

// ---- The separator --------------------------------------------------------------------------------

void CVerticalLayoutUI::SetSepHeight(int height) { sep_size_ = height; }
int CVerticalLayoutUI::GetSepHeight() const { return sep_size_; }

RECT CVerticalLayoutUI::GetThumbRect(bool use_new) const {
  const RECT& rc = ((button_state_ & UISTATE_CAPTURED) != 0 && use_new) ? new_pos_ : item_rect_;
  RECT strip = rc;
  if (sep_size_ >= 0) {
    strip.bottom = rc.bottom;
    strip.top = std::max<LONG>(rc.bottom - sep_size_, rc.top);
  } else {
    strip.top = rc.top;
    strip.bottom = std::min<LONG>(rc.top - sep_size_, rc.bottom);
  }
  return strip;
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"sepheight") == 0) {
    SetSepHeight(ParseAttributeInt(value));
  } else {
    CBoxLayoutUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
