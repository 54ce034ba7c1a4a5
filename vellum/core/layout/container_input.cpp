#include "vellum/core/layout/container.h"

#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

// ---- Hit testing ----------------------------------------------------------------------------------

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  const bool hit_test = (flags & UIFIND_HITTEST) != 0;
  if (hit_test && (!data || !PtInRect(&item_rect_, *static_cast<const POINT*>(data)))) {
    return nullptr;
  }
  if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) return nullptr;

  CControlUI* result = nullptr;
  if ((flags & UIFIND_ME_FIRST) != 0 && (!hit_test || IsMouseEnabled())) {
    result = proc(this, data);
    if (result) return result;
  }
  if (!hit_test || IsMouseEnabled()) {
    if (vertical_scroll_bar_) {
      result = vertical_scroll_bar_->FindControl(proc, data, flags);
      if (result) return result;
    }
    if (horizontal_scroll_bar_) {
      result = horizontal_scroll_bar_->FindControl(proc, data, flags);
      if (result) return result;
    }
  }

  if (!hit_test || mouse_child_enabled_) {
    const RECT content = GetContentRect();
    const int count = items_.GetSize();
    const bool top_first = (flags & UIFIND_TOP_FIRST) != 0;
    for (int n = 0; n < count; ++n) {
      auto* child = static_cast<CControlUI*>(items_[top_first ? count - 1 - n : n]);
      if (!child) continue;
      result = child->FindControl(proc, data, flags);
      if (!result) continue;
      if (!hit_test) return result;
      if (result->IsFloat() || PtInRect(&content, *static_cast<const POINT*>(data))) {
        return result;
      }
    }
  }

  if ((flags & UIFIND_ME_FIRST) != 0) return nullptr;
  if (hit_test && !IsMouseEnabled()) return nullptr;
  return proc(this, data);
}

// ---- Events ---------------------------------------------------------------------------------------

void CContainerUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CControlUI::DoEvent(event);
    }
    return;
  }
  if (event.type == UIEVENT_SETFOCUS) {
    focused_ = true;
    return;
  }
  if (event.type == UIEVENT_KILLFOCUS) {
    focused_ = false;
    return;
  }
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible() &&
      vertical_scroll_bar_->IsEnabled()) {
    if (event.type == UIEVENT_KEYDOWN) {
      switch (event.key_char) {
        case VK_PRIOR: PageUp(); return;
        case VK_NEXT: PageDown(); return;
        case VK_END: EndDown(); return;
        case VK_HOME: HomeUp(); return;
        case VK_UP: LineUp(); return;
        case VK_DOWN: LineDown(); return;
        default: break;
      }
    } else if (event.type == UIEVENT_SCROLLWHEEL) {
      switch (LOWORD(event.wParam)) {
        case SB_LINEUP: LineUp(); return;
        case SB_LINEDOWN: LineDown(); return;
        default: break;
      }
    }
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible() &&
      horizontal_scroll_bar_->IsEnabled()) {
    if (event.type == UIEVENT_KEYDOWN) {
      switch (event.key_char) {
        case VK_PRIOR: PageLeft(); return;
        case VK_NEXT: PageRight(); return;
        case VK_END: EndRight(); return;
        case VK_HOME: HomeLeft(); return;
        case VK_UP: LineLeft(); return;
        case VK_DOWN: LineRight(); return;
        default: break;
      }
    } else if (event.type == UIEVENT_SCROLLWHEEL) {
      switch (LOWORD(event.wParam)) {
        case SB_LINEUP: LineLeft(); return;
        case SB_LINEDOWN: LineRight(); return;
        default: break;
      }
    }
  }
  CControlUI::DoEvent(event);
}

}  // namespace Vellum
