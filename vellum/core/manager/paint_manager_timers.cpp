// The paint manager's mouse capture and per-control timers.

#include <windows.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_rules.h"

namespace Vellum {

// ---- Capture ----

void CPaintManagerUI::SetCapture() {
  ::SetCapture(window_);
  mouse_capture_ = true;
}

void CPaintManagerUI::ReleaseCapture() {
  ::ReleaseCapture();
  mouse_capture_ = false;
  drag_pending_ = false;
}

// ---- Timers ----

bool CPaintManagerUI::IsTimerIdHeld(UINT win32_id) const {
  for (const TTimerInfo& timer : timers_) {
    if (timer.window == window_ && timer.win32_id == win32_id) return true;
  }
  return false;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse) {
  for (TTimerInfo& timer : timers_) {
    if (timer.control != control || timer.id != id || timer.window != window_) continue;
    if (!timer.killed) return false;
    if (::SetTimer(window_, timer.win32_id, elapse, nullptr) == 0) return false;
    timer.killed = false;
    return true;
  }
  // The ids keep their sequence but skip any id a timer of this window still holds (killed ones
  // keep theirs for re-arming): Windows would silently replace that timer with the new one.
  UINT counter = timer_counter_;
  bool free_id = false;
  for (UINT tries = 0; tries < kTimerIdRange && !free_id; ++tries) {
    counter = NextTimerCounter(counter);
    free_id = !IsTimerIdHeld(counter);
  }
  if (!free_id) return false;
  timer_counter_ = counter;
  if (::SetTimer(window_, counter, elapse, nullptr) == 0) return false;
  timers_.push_back({control, id, window_, counter, false});
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
  for (TTimerInfo& timer : timers_) {
    if (timer.control == control && timer.id == id && timer.window == window_ && !timer.killed) {
      if (::IsWindow(window_)) ::KillTimer(timer.window, timer.win32_id);
      timer.killed = true;
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control && it->window == window_) {
      if (!it->killed && ::IsWindow(window_)) ::KillTimer(it->window, it->win32_id);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

void CPaintManagerUI::RemoveAllTimers() {
  for (const TTimerInfo& timer : timers_) {
    if (timer.window == window_ && !timer.killed && ::IsWindow(window_)) {
      ::KillTimer(timer.window, timer.win32_id);
    }
  }
  timers_.clear();
}

size_t CPaintManagerUI::GetTimerCount() const {
  size_t count = 0;
  for (const TTimerInfo& timer : timers_) {
    if (timer.window == window_ && !timer.killed) ++count;
  }
  return count;
}

void CPaintManagerUI::HandleTimer(WPARAM wParam, LPARAM lParam) {
  const UINT win32_id = LOWORD(wParam);
  for (const TTimerInfo& timer : timers_) {
    if (timer.window == window_ && timer.win32_id == win32_id && !timer.killed) {
      // Copied out: the event may start or stop timers and move the list.
      CControlUI* control = timer.control;
      const UINT id = timer.id;
      SendEvent(control, UIEVENT_TIMER, id, lParam, MapKeyState());
      break;
    }
  }
}

}  // namespace Vellum
