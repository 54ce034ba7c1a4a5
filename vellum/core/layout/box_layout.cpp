#include "vellum/core/layout/box_layout.h"

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

CBoxLayoutUI::CBoxLayoutUI(bool vertical) : vertical_(vertical) {}

UINT CBoxLayoutUI::GetControlFlags() const {
  return IsEnabled() && sep_size_ != 0 ? UIFLAG_SETCURSOR : 0;
}

void CBoxLayoutUI::SetSepImmMode(bool immediate) {
  if (immediate_ == immediate) return;
  if ((button_state_ & UISTATE_CAPTURED) != 0 && !immediate_ && manager_) {
    manager_->RemovePostPaint(this);
  }
  immediate_ = immediate;
}

bool CBoxLayoutUI::IsSepImmMode() const { return immediate_; }

void CBoxLayoutUI::DragSeparator(POINT pt) {
  LONG RECT::*const near_edge = vertical_ ? &RECT::top : &RECT::left;
  LONG RECT::*const far_edge = vertical_ ? &RECT::bottom : &RECT::right;
  const LONG coord = vertical_ ? pt.y : pt.x;
  const LONG delta = coord - (vertical_ ? last_mouse_.y : last_mouse_.x);
  last_mouse_ = pt;
  RECT rc = new_pos_;
  const LONG old_size = new_pos_.*far_edge - new_pos_.*near_edge;
  const int min_size = vertical_ ? GetMinHeight() : GetMinWidth();
  const int max_size = vertical_ ? GetMaxHeight() : GetMaxWidth();
  if (sep_size_ > 0) {
    if ((delta > 0 && coord < new_pos_.*far_edge - sep_size_) ||
        (delta < 0 && coord > new_pos_.*far_edge)) {
      return;
    }
    rc.*far_edge += delta;
    if (rc.*far_edge - rc.*near_edge <= min_size) {
      if (old_size <= min_size) return;
      rc.*far_edge = rc.*near_edge + min_size;
    }
    if (rc.*far_edge - rc.*near_edge >= max_size) {
      if (old_size >= max_size) return;
      rc.*far_edge = rc.*near_edge + max_size;
    }
  } else {
    if ((delta > 0 && coord < new_pos_.*near_edge) ||
        (delta < 0 && coord > new_pos_.*near_edge - sep_size_)) {
      return;
    }
    rc.*near_edge += delta;
    if (rc.*far_edge - rc.*near_edge <= min_size) {
      if (old_size <= min_size) return;
      rc.*near_edge = rc.*far_edge - min_size;
    }
    if (rc.*far_edge - rc.*near_edge >= max_size) {
      if (old_size >= max_size) return;
      rc.*near_edge = rc.*far_edge - max_size;
    }
  }

  RECT invalid = GetThumbRect(true);
  new_pos_ = rc;
  // The stored fixed size is unscaled, so that the dragged pixel size holds at every scale.
  const int size = rc.*far_edge - rc.*near_edge;
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  (vertical_ ? fixed_height_ : fixed_width_) = scaler ? scaler->Unscale(size) : size;
  if (immediate_) {
    SetItemRect(new_pos_);
    if (parent_) {
      parent_->SetPos(parent_->GetPos(), true);
    } else {
      NeedParentUpdate();
    }
  } else {
    const RECT new_strip = GetThumbRect(true);
    const RECT item_strip = GetThumbRect(false);
    UnionRect(&invalid, &invalid, &new_strip);
    UnionRect(&invalid, &invalid, &item_strip);
    if (manager_) manager_->Invalidate(invalid);
  }
}

void CBoxLayoutUI::DoEvent(TUIEvent& event) {
  if (sep_size_ == 0) {
    CContainerUI::DoEvent(event);
    return;
  }
  const POINT pt = event.mouse_point;
  const bool captured = (button_state_ & UISTATE_CAPTURED) != 0;
  if (event.type == UIEVENT_SETCURSOR && IsEnabled()) {
    const RECT strip = GetThumbRect(false);
    if (PtInRect(&strip, pt)) {
      ::SetCursor(::LoadCursorW(nullptr, vertical_ ? IDC_SIZENS : IDC_SIZEWE));
      return;
    }
  } else if (event.type == UIEVENT_BUTTONDOWN && IsEnabled()) {
    const RECT strip = GetThumbRect(false);
    if (PtInRect(&strip, pt)) {
      button_state_ |= UISTATE_CAPTURED;
      last_mouse_ = pt;
      new_pos_ = item_rect_;
      if (!immediate_ && manager_) manager_->AddPostPaint(this);
      return;
    }
  } else if (event.type == UIEVENT_BUTTONUP && captured) {
    button_state_ &= ~UISTATE_CAPTURED;
    SetItemRect(new_pos_);
    if (!immediate_ && manager_) manager_->RemovePostPaint(this);
    NeedParentUpdate();
    return;
  } else if (event.type == UIEVENT_MOUSEMOVE && captured) {
    DragSeparator(pt);
    return;
  }
  CContainerUI::DoEvent(event);
}

void CBoxLayoutUI::DoPostPaint(HDC dc, const RECT& /*paint*/) {
  if ((button_state_ & UISTATE_CAPTURED) != 0 && !immediate_) {
    CRenderUI::DrawColor(dc, GetThumbRect(true), kTrackerColor);
  }
}

void CBoxLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"sepimm") == 0) {
    SetSepImmMode(ParseAttributeBool(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
