// The paint manager's hover: the hover message, the tool tip it shows and the mouse leaving the
// window.

#include <windows.h>
#include <commctrl.h>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"

namespace Vellum {

// ---- Hover and tool tips ----

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

}  // namespace Vellum
