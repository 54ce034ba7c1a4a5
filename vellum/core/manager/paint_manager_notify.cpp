// The paint manager's notifications (direct and through the deferred-work message), the deferred
// deletion of controls, and the lists of notifiers, filters and other registered parties.

#include <windows.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"

namespace Vellum {

// ---- Notifications ----

void CPaintManagerUI::SendNotify(TUINotification& msg, bool async) {
  msg.mouse_point = last_mouse_pos_;
  msg.timestamp = ::GetTickCount();
  if (use_virtual_wnd_ && msg.sender != nullptr) msg.virtual_wnd = msg.sender->GetVirtualWnd();
  if (!async) {
    DeliverNotify(msg);
    return;
  }
  async_notify_.Add(new TUINotification(msg));
  PostAsyncNotify();
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam,
                                 LPARAM lParam, bool async) {
  TUINotification msg;
  msg.sender = sender;
  msg.type = type;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

void CPaintManagerUI::DeliverNotify(TUINotification& msg) {
  if (msg.sender != nullptr && msg.sender->OnNotify) msg.sender->OnNotify(&msg);
  for (int i = 0; i < notifiers_.GetSize(); ++i) {
    static_cast<INotifyUI*>(notifiers_[i])->Notify(msg);
  }
}

void CPaintManagerUI::PostAsyncNotify() {
  if (async_notify_posted_ || window_ == nullptr) return;
  // wParam and lParam stay 0: a window that also receives tray callbacks on this message never
  // sees a tray notification code here.
  if (::PostMessageW(window_, kDeferredWorkMessage, 0, 0)) async_notify_posted_ = true;
}

void CPaintManagerUI::DoDeferredWork() {
  const CUIPtrArray doomed(delayed_cleanup_);
  delayed_cleanup_.Empty();
  for (int i = 0; i < doomed.GetSize(); ++i) delete static_cast<CControlUI*>(doomed[i]);
  async_notify_posted_ = false;
  while (!async_notify_.IsEmpty()) {
    auto* msg = static_cast<TUINotification*>(async_notify_[0]);
    async_notify_.Remove(0);
    DeliverNotify(*msg);
    delete msg;
  }
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (control == nullptr) return;
  control->SetManager(this, nullptr, false);
  delayed_cleanup_.Add(control);
  PostAsyncNotify();
}

bool CPaintManagerUI::AddOwnedEntry(CUIPtrArray& list, void* entry, CControlUI* owner) {
  if (!list.Add(entry)) return false;
  if (owner == nullptr) return true;
  for (const TOwnedEntry& owned : owned_entries_) {
    if (owned.list == &list && owned.entry == entry) return true;
  }
  owned_entries_.push_back({&list, entry, owner});
  return true;
}

void CPaintManagerUI::RemoveOwnedEntries(CControlUI* owner) {
  for (auto it = owned_entries_.begin(); it != owned_entries_.end();) {
    if (it->owner != owner) {
      ++it;
      continue;
    }
    while (RemoveFirst(*it->list, it->entry)) {
    }
    it = owned_entries_.erase(it);
  }
}

void CPaintManagerUI::RemoveInterfacesOf(CControlUI* owner) {
  if (owner == nullptr) return;
  for (CPaintManagerUI* manager : LivingPaintManagers()) manager->RemoveOwnedEntries(owner);
}

// The cross-casts find the control behind an interface while it is whole: at its death only the
// control base is left to ask.
bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  return AddOwnedEntry(notifiers_, notifier, dynamic_cast<CControlUI*>(notifier));
}
bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveFirst(notifiers_, notifier); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
  return AddOwnedEntry(message_filters_, filter, dynamic_cast<CControlUI*>(filter));
}
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
  return RemoveFirst(message_filters_, filter);
}
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  return AddOwnedEntry(pre_message_filters_, filter, dynamic_cast<CControlUI*>(filter));
}
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveFirst(pre_message_filters_, filter);
}
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  return AddOwnedEntry(translate_accelerators_, translator,
                       dynamic_cast<CControlUI*>(translator));
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
  return RemoveFirst(translate_accelerators_, translator);
}
bool CPaintManagerUI::AddPostPaint(CControlUI* control) { return post_paint_controls_.Add(control); }
bool CPaintManagerUI::RemovePostPaint(CControlUI* control) {
  return RemoveFirst(post_paint_controls_, control);
}
bool CPaintManagerUI::AddMouseLeaveNeeded(CControlUI* control) {
  if (mouse_leave_needed_.Find(control) >= 0) return false;
  return mouse_leave_needed_.Add(control);
}
bool CPaintManagerUI::RemoveMouseLeaveNeeded(CControlUI* control) {
  return RemoveFirst(mouse_leave_needed_, control);
}

}  // namespace Vellum
