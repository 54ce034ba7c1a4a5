#include "vellum/core/window/window_wnd.h"

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

// The window property that carries the object of a superclassed window (its user data belongs to
// the class it copies).
constexpr const wchar_t* kObjectProperty = L"WndX";

}  // namespace

CWindowWnd::CWindowWnd() = default;

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }
UINT CWindowWnd::GetClassStyle() const { return 0; }

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(old_wnd_proc_, hwnd_, message, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND /*hwnd*/) {}

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW wc{};
  wc.style = GetClassStyle();
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hIcon = nullptr;
  wc.lpfnWndProc = &CWindowWnd::__WndProc;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
      !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc)) {
    return false;
  }
  old_wnd_proc_ = wc.lpfnWndProc;
  wc.lpfnWndProc = &CWindowWnd::__ControlProc;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassExW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD ex_style, int x,
                        int y, int cx, int cy, HMENU menu) {
  if (GetSuperClassName() != nullptr) {
    if (!RegisterSuperclass()) return nullptr;
  } else if (!RegisterWindowClass()) {
    return nullptr;
  }
  hwnd_ = ::CreateWindowExW(ex_style, GetWindowClassName(), name, style, x, y, cx, cy, parent,
                            menu, CPaintManagerUI::GetInstance(), this);
  return hwnd_;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD ex_style,
                        const RECT& rect, HMENU menu) {
  return Create(parent, name, style, ex_style, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, menu);
}

void CWindowWnd::ShowWindow(bool show, bool take_focus) {
  if (!::IsWindow(hwnd_)) return;
  ::ShowWindow(hwnd_, !show ? SW_HIDE : (take_focus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE));
}

void CWindowWnd::Close(UINT result) {
  if (!::IsWindow(hwnd_)) return;
  ::PostMessageW(hwnd_, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

void CWindowWnd::CenterWindow() {
  if (!::IsWindow(hwnd_)) return;
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  const LONG width = window.right - window.left;
  const LONG height = window.bottom - window.top;

  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  RECT centre = work;
  if (owner) ::GetWindowRect(owner, &centre);

  LONG x = (centre.left + centre.right) / 2 - width / 2;
  LONG y = (centre.top + centre.bottom) / 2 - height / 2;
  if (x < work.left) {
    x = work.left;
  } else if (x + width > work.right) {
    x = work.right - width;
  }
  if (y < work.top) {
    y = work.top;
  } else if (y + height > work.bottom) {
    y = work.bottom - height;
  }
  ::SetWindowPos(hwnd_, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(hwnd_, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self) {
      const LRESULT result = ::CallWindowProcW(self->old_wnd_proc_, hwnd, message, wParam, lParam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->OnFinalMessage(hwnd);
      return result;
    }
  }
  if (self) return self->HandleMessage(message, wParam, lParam);
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hwnd, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProperty, static_cast<HANDLE>(self));
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(hwnd, kObjectProperty));
    if (message == WM_NCDESTROY && self) {
      const LRESULT result = ::CallWindowProcW(self->old_wnd_proc_, hwnd, message, wParam, lParam);
      // Properties must be gone before the window is: removed, not merely set to null.
      ::RemovePropW(hwnd, kObjectProperty);
      self->hwnd_ = nullptr;
      self->OnFinalMessage(hwnd);
      return result;
    }
  }
  if (self) return self->HandleMessage(message, wParam, lParam);
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

SIZE ScreensExtent() {
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return SIZE{width > 0 ? width : kMaxWindowExtent, height > 0 ? height : kMaxWindowExtent};
}

}  // namespace Vellum
