// The paint manager's control tree: attaching the root, initialising controls, forgetting those
// that go away, and the look-ups by name, point and class.

#include <windows.h>

#include <cwchar>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"
#include "vellum/core/window/shadow_window.h"

namespace Vellum {

namespace {

CControlUI* CALLBACK FindControlFromPoint(CControlUI* control, LPVOID data) {
  return ::PtInRect(&control->GetPos(), *static_cast<POINT*>(data)) ? control : nullptr;
}

CControlUI* CALLBACK AddToNameMap(CControlUI* control, LPVOID data) {
  const CUIString name = control->GetName();
  if (!name.IsEmpty()) static_cast<CUIStringMap*>(data)->Set(name.GetData(), control);
  return nullptr;
}

struct ClassSearch {
  const wchar_t* class_name;
  CUIPtrArray* found;
};

CControlUI* CALLBACK CollectByClass(CControlUI* control, LPVOID data) {
  auto* search = static_cast<ClassSearch*>(data);
  if (std::wcscmp(search->class_name, L"*") == 0 ||
      std::wcscmp(control->GetClass(), search->class_name) == 0) {
    search->found->Add(control);
  }
  return nullptr;
}

}  // namespace

// ---- The control tree ----

bool CPaintManagerUI::AttachRootControl(CControlUI* root) {
  if (root == nullptr) return false;
  if (shadow_ != nullptr) shadow_->Create(this);
  SetFocus(nullptr);
  event_key_ = nullptr;
  event_hover_ = nullptr;
  event_click_ = nullptr;
  event_rclick_ = nullptr;
  if (root_ != nullptr) {
    post_paint_controls_.Empty();
    AddDelayedCleanup(root_);
  }
  root_ = root;
  first_layout_ = true;
  update_needed_ = true;
  focus_needed_ = true;
  return InitControls(root, nullptr);
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
  control->FindControl(AddToNameMap, &name_map_, 0);
  return true;
}

void CPaintManagerUI::ForgetControl(CControlUI* control) {
  if (control == nullptr) return;
  if (control == event_key_) event_key_ = nullptr;
  if (control == event_hover_) event_hover_ = nullptr;
  if (control == event_click_) {
    event_click_ = nullptr;
    // The capture served the pushed control's drag; nothing is left to receive it.
    if (mouse_capture_) ReleaseCapture();
  }
  if (control == event_rclick_) event_rclick_ = nullptr;
  if (control == focus_) focus_ = nullptr;
  KillTimer(control);
  const CUIString name = control->GetName();
  if (!name.IsEmpty() && name_map_.Find(name.GetData()) == control) name_map_.Remove(name.GetData());
  for (int i = 0; i < async_notify_.GetSize(); ++i) {
    auto* msg = static_cast<TUINotification*>(async_notify_[i]);
    if (msg->sender == control) msg->sender = nullptr;
  }
  RemoveFirst(mouse_leave_needed_, control);
  // The post-paint list takes a control more than once.
  while (RemoveFirst(post_paint_controls_, control)) {
  }
  // The control's native windows stay its own to destroy; the manager only stops printing them.
  for (int i = native_window_controls_.GetSize() - 1; i >= 0; --i) {
    if (native_window_controls_[i] != control) continue;
    native_window_controls_.Remove(i);
    native_windows_.Remove(i);
  }
  for (int i = found_controls_.GetSize() - 1; i >= 0; --i) {
    if (found_controls_[i] == control) found_controls_.Remove(i);
  }
  RemoveOwnedEntries(control);
  for (int i = 0; i < option_groups_.GetSize(); ++i) {
    auto* group = static_cast<CUIPtrArray*>(option_groups_.Find(option_groups_.GetAt(i)));
    if (group == nullptr) continue;
    const int index = group->Find(control);
    if (index >= 0) group->Remove(index);
  }
}

void CPaintManagerUI::ForgetDyingControl(CControlUI* control) {
  if (control == nullptr) return;
  for (CPaintManagerUI* manager : LivingPaintManagers()) manager->ForgetControl(control);
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  return static_cast<CControlUI*>(name_map_.Find(name));
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
  if (root_ == nullptr) return nullptr;
  return root_->FindControl(FindControlFromPoint, &point,
                            UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CUIPtrArray* CPaintManagerUI::FindControlsByClass(CControlUI* parent, const wchar_t* class_name) {
  found_controls_.Empty();
  CControlUI* start = parent != nullptr ? parent : root_;
  if (start == nullptr || class_name == nullptr) return &found_controls_;
  ClassSearch search{class_name, &found_controls_};
  start->FindControl(CollectByClass, &search, 0);
  return &found_controls_;
}

}  // namespace Vellum
