#include "vellum/core/layout/horizontal_layout.h"

#include <algorithm>

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(false) {}

CControlUI* CHorizontalLayoutUI::CreateControl() { return new CHorizontalLayoutUI(); }

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"HorizontalLayout") == 0) {
    return static_cast<CHorizontalLayoutUI*>(this);
  }
  return CBoxLayoutUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const RECT rc = GetContentRect();
  const bool vbar = vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible();
  const bool hbar = horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible();

  if (items_.IsEmpty()) {
    ProcessScrollBar(rc, 0, 0);
    return;
  }

  // Only the vertical range widens the space: the children are laid out along the plain width.
  SIZE available{rc.right - rc.left, rc.bottom - rc.top};
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

  int adjustable = 0;
  int cx_fixed = 0;
  int estimated = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible() || child->IsFloat()) continue;
    const RECT pad = child->GetPadding();
    const SIZE child_available{
        std::min<LONG>(max_width_of(child), available.cx),
        std::min<LONG>(max_height_of(child), available.cy - pad.top - pad.bottom)};
    SIZE size = child->EstimateSize(child_available);
    if (size.cx == 0) {
      ++adjustable;
    } else {
      size.cx = std::max<LONG>(size.cx, child->GetMinWidth());
      size.cx = std::min<LONG>(size.cx, child->GetMaxWidth());
    }
    cx_fixed += size.cx + pad.left + pad.right;
    ++estimated;
  }
  cx_fixed += (estimated - 1) * child_padding;
  const int cx_expand = adjustable > 0 ? std::max<int>(0, (available.cx - cx_fixed) / adjustable) : 0;

  int x = rc.left;
  if (hbar) {
    x -= static_cast<int>(horizontal_scroll_bar_->GetScrollPos());
  } else if (adjustable == 0) {
    if (child_align_ == UICHILD_ALIGN_CENTER) {
      x += (available.cx - cx_fixed) / 2;
    } else if (child_align_ == UICHILD_ALIGN_RIGHT) {
      x += available.cx - cx_fixed;
    }
  }

  SIZE remaining = available;
  int cx_fixed_remaining = cx_fixed;
  int adjustable_seen = 0;
  int placed = 0;
  int cx_needed = 0;
  int cy_needed = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const RECT pad = child->GetPadding();
    remaining.cx -= pad.left;
    cx_fixed_remaining -= pad.left + pad.right;
    if (placed > 0) cx_fixed_remaining -= child_padding;
    const SIZE child_available{
        std::min<LONG>(max_width_of(child), remaining.cx),
        std::min<LONG>(max_height_of(child), available.cy - pad.top - pad.bottom)};
    SIZE size = child->EstimateSize(child_available);
    if (size.cx != 0) {
      size.cx = std::max<LONG>(size.cx, child->GetMinWidth());
      size.cx = std::min<LONG>(size.cx, child->GetMaxWidth());
      cx_fixed_remaining -= size.cx;
    } else {
      ++adjustable_seen;
      size.cx = cx_expand;
      if (adjustable_seen == adjustable) {
        size.cx = std::max<LONG>(0, remaining.cx - pad.right - cx_fixed_remaining);
      }
      size.cx = std::max<LONG>(size.cx, child->GetMinWidth());
      size.cx = std::min<LONG>(size.cx, child->GetMaxWidth());
    }

    // The height never comes from the estimate: without a height of its own a child fills.
    LONG height = child->GetMaxHeight();
    if (height == 0) height = available.cy - pad.top - pad.bottom;
    height = std::max<LONG>(height, 0);
    height = std::min<LONG>(height, child_available.cy);
    height = std::max<LONG>(height, child->GetMinHeight());

    RECT pos{x + pad.left, 0, x + pad.left + size.cx, 0};
    if (child_valign_ == UICHILD_VALIGN_VCENTER) {
      LONG y = (rc.top + rc.bottom) / 2;
      if (vbar) {
        y += static_cast<LONG>(vertical_scroll_bar_->GetScrollRange() / 2 -
                               vertical_scroll_bar_->GetScrollPos());
      }
      pos.top = y - height / 2;
      pos.bottom = pos.top + height;
    } else if (child_valign_ == UICHILD_VALIGN_BOTTOM) {
      LONG edge = rc.bottom;
      if (vbar) {
        edge += static_cast<LONG>(vertical_scroll_bar_->GetScrollRange() -
                                  vertical_scroll_bar_->GetScrollPos());
      }
      pos.top = edge - pad.bottom - height;
      pos.bottom = edge - pad.bottom;
    } else {
      LONG edge = rc.top;
      if (vbar) edge -= static_cast<LONG>(vertical_scroll_bar_->GetScrollPos());
      pos.top = edge + pad.top;
      pos.bottom = pos.top + height;
    }
    child->SetPos(pos, false);

    x += size.cx + pad.left + pad.right + child_padding;
    cx_needed += size.cx + pad.left + pad.right;
    cy_needed = std::max<int>(cy_needed, height + pad.top + pad.bottom);
    remaining.cx -= size.cx + pad.right + child_padding;
    ++placed;
  }
  cx_needed += (estimated - 1) * child_padding;
  ProcessScrollBar(rc, cx_needed, cy_needed);
}

// ---- The separator --------------------------------------------------------------------------------

void CHorizontalLayoutUI::SetSepWidth(int width) { sep_size_ = width; }
int CHorizontalLayoutUI::GetSepWidth() const { return sep_size_; }

RECT CHorizontalLayoutUI::GetThumbRect(bool use_new) const {
  const RECT& rc = ((button_state_ & UISTATE_CAPTURED) != 0 && use_new) ? new_pos_ : item_rect_;
  RECT strip = rc;
  if (sep_size_ >= 0) {
    strip.left = rc.right - sep_size_;
    strip.right = rc.right;
  } else {
    strip.left = rc.left;
    strip.right = rc.left - sep_size_;
  }
  return strip;
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"sepwidth") == 0) {
    SetSepWidth(ParseAttributeInt(value));
  } else {
    CBoxLayoutUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
