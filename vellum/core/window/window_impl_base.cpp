#include "vellum/core/window/window_impl_base.h"

#include <windowsx.h>

#include <cwchar>

#include "vellum/core/manager/control.h"
#include "vellum/core/markup/dialog_builder.h"

namespace Vellum {
namespace {

// The title bar goes: the frame is the skin's own.
constexpr LONG kNoCaptionMask = static_cast<LONG>(0xFF3FFFFF);
constexpr LONG kClipStyles = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

constexpr const wchar_t* kSkinErrorCaption = L"Vellum";
// "Loading the resource file failed: "
constexpr const wchar_t* kSkinErrorText =
    L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1A";

void SetControlVisible(CPaintManagerUI& manager, const wchar_t* name, bool visible) {
  CControlUI* control = manager.FindControl(name);
  if (control) control->SetVisible(visible);
}

}  // namespace

bool IsStaticControlClass(const wchar_t* class_name) {
  static const wchar_t* const kStaticClasses[] = {
      L"controlui",       L"textui",          L"labelui",          L"containerui",
      L"horizontallayoutui", L"verticallayoutui", L"tablayoutui",  L"childlayoutui",
      L"dialoglayoutui",  L"progresscontainerui",
  };
  if (class_name == nullptr) return false;
  for (const wchar_t* name : kStaticClasses) {
    if (_wcsicmp(class_name, name) == 0) return true;
  }
  return false;
}

BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
  NOTIFY_TYPE_HANDLER(L"click", &WindowImplBase::OnClick)
END_NOTIFY_MAP()

WindowImplBase::WindowImplBase() = default;
WindowImplBase::~WindowImplBase() = default;

const wchar_t* WindowImplBase::GetSuperClassName() const { return nullptr; }
UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

void WindowImplBase::OnFinalMessage(HWND /*hwnd*/) {
  paint_manager_.RemovePreMessageFilter(this);
  paint_manager_.RemoveNotifier(this);
  paint_manager_.ForgetControl(paint_manager_.GetRoot());
}

void WindowImplBase::OnClick(TUINotification& msg) {
  if (msg.sender == nullptr) return;
  const CUIString name = msg.sender->GetName();
  if (name == L"closebtn") {
    Close(1);
  } else if (name == L"minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

bool WindowImplBase::IsInStaticControl(CControlUI* control) {
  if (control == nullptr) return false;
  for (CControlUI* node = control; node != nullptr; node = node->GetParent()) {
    if (!IsStaticControlClass(node->GetClass())) return false;
  }
  return true;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
  return wParam == VK_ESCAPE ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (::IsIconic(hwnd_)) {
    handled = FALSE;
    return 0;
  }
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL& /*handled*/) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL& /*handled*/) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& /*handled*/) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(hwnd_, &point);
  RECT client{};
  ::GetClientRect(hwnd_, &client);

  if (!::IsZoomed(hwnd_)) {
    const RECT box = paint_manager_.GetSizeBox();
    const bool left = point.x < client.left + box.left;
    const bool right = point.x > client.right - box.right;
    if (point.y < client.top + box.top) {
      return left ? HTTOPLEFT : (right ? HTTOPRIGHT : HTTOP);
    }
    if (point.y > client.bottom - box.bottom) {
      return left ? HTBOTTOMLEFT : (right ? HTBOTTOMRIGHT : HTBOTTOM);
    }
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }

  RECT caption = paint_manager_.GetCaptionRect();
  if (caption.bottom < 0) caption.bottom = client.bottom;
  if (point.x < client.left + caption.left || point.x >= client.right - caption.right) {
    return HTCLIENT;
  }
  if (point.y >= caption.top && point.y < caption.bottom) {
    return IsInStaticControl(paint_manager_.FindControl(point)) ? HTCAPTION : HTCLIENT;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& /*handled*/) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT work = monitor.rcWork;
  // The maximised position is relative to the window's own monitor.
  if ((monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) ::OffsetRect(&work, -work.left, -work.top);

  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  const LONG width = work.right - work.left;
  const LONG height = work.bottom - work.top;
  info->ptMaxPosition = POINT{work.left, work.top};
  info->ptMaxSize = POINT{width, height};
  const SIZE max_info = paint_manager_.GetMaxInfo();
  info->ptMaxTrackSize = POINT{max_info.cx != 0 ? max_info.cx : width,
                               max_info.cy != 0 ? max_info.cy : height};
  const SIZE min_info = paint_manager_.GetMinInfo();
  info->ptMinTrackSize = POINT{min_info.cx, min_info.cy};
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != SIZE_MINIMIZED) {
    const SIZE corner = paint_manager_.GetRoundCorner();
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    HRGN region = ::CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                       window.bottom - window.top + 1, corner.cx, corner.cy);
    // Once set, the region belongs to the system and must not be deleted; only a region the
    // window refused is ours to free.
    if (region && ::SetWindowRgn(hwnd_, region, TRUE) == 0) ::DeleteObject(region);
  }
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam,
                                     BOOL& /*handled*/) {
  // The low four bits of a system command are used by the system itself.
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE);
    return 0;
  }
  const bool was_zoomed = ::IsZoomed(hwnd_) != FALSE;
  const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
  const bool zoomed = ::IsZoomed(hwnd_) != FALSE;
  if (zoomed != was_zoomed) {
    SetControlVisible(paint_manager_, L"maxbtn", !zoomed);
    SetControlVisible(paint_manager_, L"restorebtn", zoomed);
  }
  return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& /*handled*/) {
  LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
  style &= kNoCaptionMask;
  style |= kClipStyles;
  ::SetWindowLongW(hwnd_, GWL_STYLE, style);

  paint_manager_.Init(hwnd_, GetManagerName());
  paint_manager_.AddPreMessageFilter(this);

  CSkinBuilder builder;
  CControlUI* root = nullptr;
  const wchar_t* skin_type = GetSkinType();
  if (skin_type == nullptr || skin_type[0] == L'\0') {
    root = builder.Create(GetSkinFile(), nullptr, this, &paint_manager_, nullptr);
  } else {
    root = builder.Create(MAKEINTRESOURCEW(_wtoi(GetSkinFile())), skin_type, this, &paint_manager_,
                          nullptr);
  }
  if (root == nullptr) {
    CUIString text(kSkinErrorText);
    text += GetSkinFile();
    ::MessageBoxW(nullptr, text.GetData(), kSkinErrorCaption, MB_ICONERROR);
    ::ExitProcess(1);
  }
  paint_manager_.AttachRootControl(root);
  paint_manager_.AddNotifier(this);
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LONG WindowImplBase::GetStyle() {
  return ::GetWindowLongW(hwnd_, GWL_STYLE) & kNoCaptionMask;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  BOOL handled = TRUE;
  switch (message) {
    case WM_CREATE: result = OnCreate(message, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(message, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(message, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(message, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(message, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(message, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(message, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(message, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(message, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(message, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(message, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(message, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(message, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(message, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(message, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(message, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(message, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(message, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(message, wParam, lParam, handled); break;
    default: handled = FALSE; break;
  }
  if (handled) return result;

  result = HandleCustomMessage(message, wParam, lParam, handled);
  if (handled) return result;

  if (paint_manager_.MessageHandler(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void WindowImplBase::Notify(TUINotification& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM /*lParam*/,
                                       bool& /*handled*/) {
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    return ResponseDefaultKeyEvent(wParam);
  }
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t* /*class_name*/) { return nullptr; }

const wchar_t* WindowImplBase::QueryControlText(const wchar_t* /*id*/, const wchar_t* /*type*/) {
  return nullptr;
}

}  // namespace Vellum
