// The paint manager's message handling: window messages become control events, focus and tab
// order, capture, hover and tool tips, per-control timers, notifications (direct and through the
// deferred-work message), deferred deletion and the control look-ups.

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <cwchar>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_rules.h"
#include "vellum/core/window/shadow_window.h"

namespace Vellum {

namespace {

// Messages reflected to the child control that sent them (the OCM_ range of ActiveX hosts).
constexpr UINT kReflectBase = 0x2000;

POINT PointFromLParam(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

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

bool RemoveFirst(CUIPtrArray& list, void* item) {
  const int index = list.Find(item);
  if (index < 0) return false;
  return list.Remove(index);
}

}  // namespace

// ---- Messages ----

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (window_ == nullptr) return false;

  for (int i = 0; i < message_filters_.GetSize(); ++i) {
    bool handled = false;
    const LRESULT filtered = static_cast<IMessageFilterUI*>(message_filters_[i])
                                 ->MessageHandler(message, wParam, lParam, handled);
    if (!handled) continue;
    switch (message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
        last_mouse_pos_ = PointFromLParam(lParam);
        break;
      case WM_CONTEXTMENU:
      case WM_MOUSEWHEEL: {
        POINT point = PointFromLParam(lParam);
        ::ScreenToClient(window_, &point);
        last_mouse_pos_ = point;
        break;
      }
      default:
        break;
    }
    result = filtered;
    return true;
  }

  if (layered_) {
    switch (message) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        result = 0;
        return true;
      case WM_NCACTIVATE:
        if (::IsIconic(window_)) return false;
        result = wParam == 0 ? TRUE : FALSE;
        return true;
      default:
        break;
    }
  }

  switch (message) {
    case WM_SIZE:
      if (focus_ != nullptr) SendEvent(focus_, UIEVENT_WINDOWSIZE, 0, 0, MapKeyState());
      if (root_ != nullptr) root_->NeedUpdate();
      return true;
    case WM_SETFOCUS:
      // A focused edit control has its own native window, which keeps the keyboard focus.
      if (focus_ != nullptr && focus_->GetInterface(L"Edit") == nullptr) {
        SendEvent(focus_, UIEVENT_SETFOCUS, wParam, lParam, MapKeyState());
      }
      return false;
    case WM_KILLFOCUS:
      if (mouse_capture_) ReleaseCapture();
      return false;
    case WM_PAINT:
      HandlePaint();
      return true;
    case WM_PRINTCLIENT:
      HandlePrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return false;
    case WM_CLOSE:
      HandleClose();
      return false;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_SETCURSOR: {
      if (root_ == nullptr || LOWORD(lParam) != HTCLIENT) return false;
      if (mouse_capture_) return true;
      POINT point{};
      ::GetCursorPos(&point);
      ::ScreenToClient(window_, &point);
      CControlUI* control = FindControl(point);
      if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
      TUIEvent event;
      event.type = UIEVENT_SETCURSOR;
      event.sender = control;
      event.wParam = wParam;
      event.lParam = lParam;
      event.mouse_point = point;
      event.key_state = MapKeyState();
      event.timestamp = ::GetTickCount();
      control->Event(event);
      return true;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (info == nullptr) return false;
      if (min_info_.cx > 0) info->ptMinTrackSize.x = min_info_.cx;
      if (min_info_.cy > 0) info->ptMinTrackSize.y = min_info_.cy;
      if (max_info_.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = max_info_.cx;
      if (max_info_.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = max_info_.cy;
      return false;
    }
    case WM_NOTIFY: {
      if (lParam == 0) return false;
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      result = ::SendMessageW(header->hwndFrom, kReflectBase + WM_NOTIFY, wParam, lParam);
      return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      if (lParam == 0) return false;
      const LRESULT reflected =
          ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectBase + message, wParam, lParam);
      if (reflected == 0) return false;
      result = reflected;
      return true;
    }
    case WM_CONTEXTMENU: {
      if (root_ == nullptr) return false;
      POINT point = PointFromLParam(lParam);
      ::ScreenToClient(window_, &point);
      last_mouse_pos_ = point;
      if (event_rclick_ == nullptr) return false;
      ReleaseCapture();
      CControlUI* control = event_rclick_;
      SendEvent(control, UIEVENT_CONTEXTMENU, wParam, reinterpret_cast<LPARAM>(control),
                static_cast<WORD>(wParam));
      event_rclick_ = nullptr;
      return false;
    }
    case WM_KEYDOWN:
      if (root_ == nullptr || focus_ == nullptr) return false;
      event_key_ = focus_;
      SendEvent(focus_, UIEVENT_KEYDOWN, wParam, lParam, MapKeyState());
      return false;
    case WM_KEYUP:
      if (root_ == nullptr || event_key_ == nullptr) return false;
      {
        CControlUI* control = event_key_;
        event_key_ = nullptr;
        SendEvent(control, UIEVENT_KEYUP, wParam, lParam, MapKeyState());
      }
      return false;
    case WM_CHAR:
      if (root_ == nullptr || focus_ == nullptr) return false;
      SendEvent(focus_, UIEVENT_CHAR, wParam, lParam, MapKeyState());
      return false;
    case WM_TIMER: {
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
      return false;
    }
    case WM_MOUSEMOVE:
      HandleMouseMove(wParam, lParam);
      return false;
    case WM_LBUTTONDOWN:
      HandleLButtonDown(wParam, lParam);
      return false;
    case WM_LBUTTONUP: {
      last_mouse_pos_ = PointFromLParam(lParam);
      if (event_click_ == nullptr) return false;
      ReleaseCapture();
      CControlUI* control = event_click_;
      SendEvent(control, UIEVENT_BUTTONUP, wParam, lParam, static_cast<WORD>(wParam));
      event_click_ = nullptr;
      return false;
    }
    case WM_LBUTTONDBLCLK: {
      if (!no_activate_) ::SetFocus(window_);
      last_mouse_pos_ = PointFromLParam(lParam);
      bool foreign = false;
      CControlUI* control = OwnControlAt(last_mouse_pos_, &foreign);
      if (control == nullptr) return false;
      SendEvent(control, UIEVENT_DBLCLICK, wParam, lParam, static_cast<WORD>(wParam));
      event_click_ = control;
      return false;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (!no_activate_) ::SetFocus(window_);
      last_mouse_pos_ = PointFromLParam(lParam);
      bool foreign = false;
      CControlUI* control = OwnControlAt(last_mouse_pos_, &foreign);
      if (control == nullptr) return false;
      control->SetFocus();
      SetCapture();
      const bool right = message == WM_RBUTTONDOWN;
      SendEvent(control, right ? UIEVENT_RBUTTONDOWN : UIEVENT_MBUTTONDOWN, wParam, lParam,
                static_cast<WORD>(wParam));
      if (right) {
        event_rclick_ = control;
      } else {
        event_click_ = control;
      }
      return false;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      last_mouse_pos_ = PointFromLParam(lParam);
      if (mouse_capture_) ReleaseCapture();
      bool foreign = false;
      CControlUI* control = OwnControlAt(last_mouse_pos_, &foreign);
      if (foreign) return false;
      const bool right = message == WM_RBUTTONUP;
      if (right) {
        event_rclick_ = control;
      } else {
        event_click_ = control;
      }
      if (control == nullptr) return false;
      SendEvent(control, right ? UIEVENT_RBUTTONUP : UIEVENT_MBUTTONUP, wParam, lParam,
                static_cast<WORD>(wParam));
      return false;
    }
    case WM_MOUSEWHEEL: {
      if (root_ == nullptr) return false;
      POINT point = PointFromLParam(lParam);
      ::ScreenToClient(window_, &point);
      last_mouse_pos_ = point;
      bool foreign = false;
      CControlUI* control = OwnControlAt(point, &foreign);
      if (control == nullptr) return false;
      SendEvent(control, UIEVENT_SCROLLWHEEL, PackWheelDelta(GET_WHEEL_DELTA_WPARAM(wParam)),
                lParam, MapKeyState());
      // Scrolling moves controls under a resting mouse: refresh the hover state.
      ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(last_mouse_pos_.x, last_mouse_pos_.y));
      return false;
    }
    case WM_MOUSEHOVER:
      return HandleMouseHover(lParam);
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      return false;
    case kDeferredWorkMessage:
      DoDeferredWork();
      return false;
    default:
      return false;
  }
}

WORD CPaintManagerUI::MapKeyState() {
  WORD state = 0;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= MK_LBUTTON;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= MK_RBUTTON;
  if (::GetKeyState(VK_SHIFT) < 0) state |= MK_SHIFT;
  if (::GetKeyState(VK_CONTROL) < 0) state |= MK_CONTROL;
  if (::GetKeyState(VK_MENU) < 0) state |= 0x20;  // MK_ALT
  return state;
}

void CPaintManagerUI::SendEvent(CControlUI* control, int type, WPARAM wParam, LPARAM lParam,
                                WORD key_state, CControlUI* sender) {
  if (control == nullptr) return;
  TUIEvent event;
  event.type = type;
  event.sender = sender != nullptr ? sender : control;
  event.timestamp = ::GetTickCount();
  event.mouse_point = last_mouse_pos_;
  event.key_char = static_cast<WORD>(wParam);
  event.key_state = key_state;
  event.wParam = wParam;
  event.lParam = lParam;
  control->Event(event);
}

CControlUI* CPaintManagerUI::OwnControlAt(POINT point, bool* foreign) const {
  CControlUI* control = FindControl(point);
  *foreign = control != nullptr && control->GetManager() != this;
  return *foreign ? nullptr : control;
}

bool CPaintManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!mouse_tracking_) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = window_;
    track.dwHoverTime =
        tooltip_window_ != nullptr
            ? static_cast<DWORD>(::SendMessageW(tooltip_window_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
            : static_cast<DWORD>(hover_time_);
    ::TrackMouseEvent(&track);
    mouse_tracking_ = true;
  }
  const POINT point = PointFromLParam(lParam);
  const bool moved = point.x != last_mouse_pos_.x || point.y != last_mouse_pos_.y;
  last_mouse_pos_ = point;
  bool foreign = false;
  CControlUI* control = OwnControlAt(point, &foreign);
  if (foreign) return false;
  if (moved && drag_pending_ && wParam == MK_LBUTTON) {
    StartDrag();
    return false;
  }
  if (!mouse_capture_) {
    CControlUI* hover = OwnControlAt(point, &foreign);
    if (foreign) return false;
    if (hover != event_hover_ && event_hover_ != nullptr) {
      const CUIPtrArray also_leaving(mouse_leave_needed_);
      for (int i = 0; i < also_leaving.GetSize(); ++i) {
        SendEvent(static_cast<CControlUI*>(also_leaving[i]), UIEVENT_MOUSELEAVE, wParam, lParam,
                  MapKeyState());
      }
      CControlUI* left = event_hover_;
      event_hover_ = nullptr;
      SendEvent(left, UIEVENT_MOUSELEAVE, wParam, lParam, MapKeyState());
      if (tooltip_window_ != nullptr) {
        ::SendMessageW(tooltip_window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tooltip_));
      }
    }
    if (hover != event_hover_ && hover != nullptr) {
      event_hover_ = hover;
      SendEvent(hover, UIEVENT_MOUSEENTER, wParam, lParam, MapKeyState());
    }
  }
  CControlUI* target = event_click_ != nullptr ? event_click_ : control;
  SendEvent(target, UIEVENT_MOUSEMOVE, wParam, lParam, MapKeyState());
  return false;
}

void CPaintManagerUI::HandleLButtonDown(WPARAM wParam, LPARAM lParam) {
  if (!no_activate_) ::SetFocus(window_);
  if (root_ == nullptr) return;
  last_mouse_pos_ = PointFromLParam(lParam);
  bool foreign = false;
  CControlUI* control = OwnControlAt(last_mouse_pos_, &foreign);
  if (control == nullptr) return;
  if (drag_drop_enabled_ && control->IsDragEnabled()) {
    drag_pending_ = true;
    TakeDragSnapshot(control);
  }
  SetCapture();
  event_click_ = control;
  control->SetFocus();
  SendEvent(control, UIEVENT_BUTTONDOWN, wParam, lParam, static_cast<WORD>(wParam));
}

bool CPaintManagerUI::HandleMouseHover(LPARAM lParam) {
  mouse_tracking_ = false;
  const POINT point = PointFromLParam(lParam);
  CControlUI* control = FindControl(point);
  if (control == nullptr) return false;
  if (event_hover_ != nullptr) {
    SendEvent(event_hover_, UIEVENT_MOUSEHOVER, 0, lParam, MapKeyState());
  }
  tooltip_text_ = control->GetToolTip();
  if (tooltip_text_.IsEmpty()) return true;
  tooltip_ = {};
  tooltip_.cbSize = TTTOOLINFOW_V2_SIZE;
  tooltip_.uFlags = TTF_IDISHWND;
  tooltip_.hwnd = window_;
  tooltip_.uId = reinterpret_cast<UINT_PTR>(window_);
  tooltip_.hinst = GetInstance();
  tooltip_.lpszText = const_cast<wchar_t*>(tooltip_text_.GetData());
  tooltip_.rect = control->GetPos();
  if (tooltip_window_ == nullptr) {
    tooltip_window_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                        nullptr, GetInstance(), nullptr);
    if (tooltip_window_ == nullptr) return true;
    ::SendMessageW(tooltip_window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tooltip_));
  }
  ::SendMessageW(tooltip_window_, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
  if (!::IsWindowVisible(tooltip_window_)) {
    ::SendMessageW(tooltip_window_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tooltip_));
    ::SendMessageW(tooltip_window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tooltip_));
  }
  return true;
}

void CPaintManagerUI::HandleMouseLeave() {
  if (tooltip_window_ != nullptr) {
    ::SendMessageW(tooltip_window_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tooltip_));
  }
  if (!mouse_tracking_) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  RECT window_rect{};
  ::GetWindowRect(window_, &window_rect);
  LPARAM move_lparam = -1;
  if (!::IsIconic(window_) && ::GetActiveWindow() == window_ && ::PtInRect(&window_rect, cursor) &&
      ::SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT) {
    ::ScreenToClient(window_, &cursor);
    move_lparam = MAKELPARAM(cursor.x, cursor.y);
  }
  ::SendMessageW(window_, WM_MOUSEMOVE, 0, move_lparam);
  mouse_tracking_ = false;
}

void CPaintManagerUI::HandleClose() {
  const WORD key_state = MapKeyState();
  if (event_hover_ != nullptr) SendEvent(event_hover_, UIEVENT_MOUSELEAVE, 0, 0, key_state);
  if (event_click_ != nullptr) SendEvent(event_click_, UIEVENT_BUTTONUP, 0, 0, key_state);
  if (event_rclick_ != nullptr) SendEvent(event_rclick_, UIEVENT_RBUTTONUP, 0, 0, key_state);
  SetFocus(nullptr);
  if (::GetActiveWindow() == window_) {
    HWND owner = ::GetWindow(window_, GW_OWNER);
    if (owner != nullptr) ::SetFocus(owner);
  }
  if (tooltip_window_ != nullptr) {
    ::DestroyWindow(tooltip_window_);
    tooltip_window_ = nullptr;
  }
}

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

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) { return notifiers_.Add(notifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveFirst(notifiers_, notifier); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
  return message_filters_.Add(filter);
}
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
  return RemoveFirst(message_filters_, filter);
}
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  return pre_message_filters_.Add(filter);
}
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveFirst(pre_message_filters_, filter);
}
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  return translate_accelerators_.Add(translator);
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

// ---- Focus and capture ----

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
  if (control == event_click_) event_click_ = nullptr;
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
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (control == nullptr) return;
  control->SetManager(this, nullptr, false);
  delayed_cleanup_.Add(control);
  PostAsyncNotify();
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
