// The paint manager's input: window messages become control events (keys, mouse moves and
// buttons, the wheel, reflected child notifications) and the window's close ends them.

#include <windows.h>
#include <commctrl.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"
#include "vellum/core/manager/paint_manager_rules.h"

namespace Vellum {

namespace {

// Messages reflected to the child control that sent them (the OCM_ range of ActiveX hosts).
constexpr UINT kReflectBase = 0x2000;

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
    case WM_TIMER:
      HandleTimer(wParam, lParam);
      return false;
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

}  // namespace Vellum
