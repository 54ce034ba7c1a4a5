// The paint manager's keyboard focus and tab order.

#include <windows.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

namespace {

struct TabSearch {
  CControlUI* focus;
  CControlUI* last;
  bool forward;
  bool next_is_it;
};

CControlUI* CALLBACK FindControlFromTab(CControlUI* control, LPVOID data) {
  auto* search = static_cast<TabSearch*>(data);
  if (control == search->focus) {
    if (search->forward) {
      search->next_is_it = true;
      return nullptr;
    }
    return search->last;
  }
  if ((control->GetControlFlags() & UIFLAG_TABSTOP) == 0) return nullptr;
  search->last = control;
  if (search->next_is_it || search->focus == nullptr) return control;
  return nullptr;
}

}  // namespace

// ---- Focus ----

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (::GetFocus() != window_ && control != focus_ && window_ != nullptr) ::SetFocus(window_);
  if (control == focus_) return;
  if (focus_ != nullptr) {
    CControlUI* old = focus_;
    SendEvent(old, UIEVENT_KILLFOCUS, 0, 0, MapKeyState(), control);
    SendNotify(old, L"killfocus");
    focus_ = nullptr;
  }
  if (control == nullptr) return;
  if (control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
  focus_ = control;
  SendEvent(control, UIEVENT_SETFOCUS, 0, 0, MapKeyState());
  SendNotify(control, L"setfocus");
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* control) {
  if (window_ != nullptr) ::SetFocus(window_);
  if (control == nullptr) return;
  if (focus_ != nullptr) {
    CControlUI* old = focus_;
    SendEvent(old, UIEVENT_KILLFOCUS, 0, 0, MapKeyState(), control);
    SendNotify(old, L"killfocus");
    focus_ = nullptr;
  }
  if (root_ == nullptr) return;
  TabSearch search{control, nullptr, false, false};
  focus_ = root_->FindControl(FindControlFromTab, &search,
                              UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
  focus_needed_ = true;
  root_->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (update_needed_ && forward) {
    focus_needed_ = true;
    if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
    return true;
  }
  if (root_ == nullptr) {
    focus_needed_ = false;
    return true;
  }
  const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
  TabSearch search{focus_, nullptr, forward, false};
  CControlUI* control = root_->FindControl(FindControlFromTab, &search, flags);
  if (control == nullptr) {
    if (forward) {
      TabSearch wrap{nullptr, nullptr, true, false};
      control = root_->FindControl(FindControlFromTab, &wrap, flags);
    } else {
      control = search.last;
    }
  }
  if (control != nullptr) SetFocus(control);
  focus_needed_ = false;
  return true;
}

}  // namespace Vellum
