#include "vellum/controls/hot_key/hot_key_window.h"

#include <commctrl.h>

#include "vellum/controls/hot_key/hot_key.h"
#include "vellum/controls/hot_key/hot_key_name.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The paint manager reflects a child's WM_COMMAND back to it at this offset.
constexpr UINT kReflectedCommand = 0x2000 + WM_COMMAND;
// The hot-key class's change notification (EN_CHANGE's code) and the edit-style update code.
constexpr WORD kChangeCode = 0x300;
constexpr WORD kUpdateCode = 0x400;
// Shown while the combination is empty after the user cleared it.
constexpr const wchar_t* kNoHotKeyText = L"\u65E0";

// The system class is superclassed by copying its registration, which exists only once the common
// controls have registered it in this process.
bool RegisterHotKeyClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_HOTKEY_CLASS;
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  return registered;
}

}  // namespace

CHotKeyWnd* CHotKeyWnd::Open(CHotKeyUI* owner) {
  if (!RegisterHotKeyClass()) return nullptr;
  auto* window = new CHotKeyWnd();
  if (!window->Init(owner)) {
    delete window;
    return nullptr;
  }
  return window;
}

const wchar_t* CHotKeyWnd::GetWindowClassName() const { return L"HotKeyClass"; }
const wchar_t* CHotKeyWnd::GetSuperClassName() const { return HOTKEY_CLASSW; }
UINT CHotKeyWnd::GetClassStyle() const { return 0; }

CHotKeyUI* CHotKeyWnd::Owner() const { return static_cast<CHotKeyUI*>(GetOwner()); }

void CHotKeyWnd::ForgetOwnerPointer() { Owner()->window_ = nullptr; }

bool CHotKeyWnd::Init(CHotKeyUI* owner) {
  CPaintManagerUI* manager = owner->GetManager();
  if (manager == nullptr) return false;
  if (!CreateOver(owner, owner->GetNativeWindowRect(), WS_CHILD | ES_AUTOHSCROLL,
                  manager->GetFont(owner->GetFont()), false)) {
    return false;
  }
  HWND hwnd = GetHWND();
  SetHotKey(owner->key_, owner->modifiers_);
  owner->SetText(GetHotKeyName().GetData());
  ::EnableWindow(hwnd, owner->IsEnabled() ? TRUE : FALSE);
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::SetFocus(hwnd);
  active_ = true;
  return true;
}

void CHotKeyWnd::GetHotKey(WORD& virtual_key, WORD& modifiers) const {
  const LRESULT value = ::SendMessageW(GetHWND(), HKM_GETHOTKEY, 0, 0);
  virtual_key = LOBYTE(LOWORD(value));
  modifiers = HIBYTE(LOWORD(value));
}

void CHotKeyWnd::SetHotKey(WORD virtual_key, WORD modifiers) {
  const WORD value = static_cast<WORD>((virtual_key & 0xFF) | ((modifiers & 0xFF) << 8));
  ::SendMessageW(GetHWND(), HKM_SETHOTKEY, value, 0);
}

CUIString CHotKeyWnd::GetHotKeyName() const {
  WORD key = 0;
  WORD modifiers = 0;
  GetHotKey(key, modifiers);
  return HotKeyName(key, modifiers);
}

void CHotKeyWnd::ReportChange() {
  CHotKeyUI* owner = Owner();
  if (!active_ || owner == nullptr) return;
  change_reported_ = true;
  GetHotKey(owner->key_, owner->modifiers_);
  if (owner->key_ != 0) {
    owner->SetText(GetHotKeyName().GetData());
  } else {
    owner->SetText(kNoHotKeyText);
    owner->modifiers_ = 0;
  }
  if (GetManager() != nullptr) GetManager()->SendNotify(owner, L"textchanged");
}

void CHotKeyWnd::Paint() {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(GetHWND(), &ps);
  CHotKeyUI* owner = Owner();
  RECT client{};
  ::GetClientRect(GetHWND(), &client);
  HBRUSH background = ::CreateSolidBrush(ArgbToColorRef(owner->native_bk_color_));
  ::FillRect(dc, &client, background);
  ::DeleteObject(background);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ArgbToColorRef(owner->GetTextColor()));
  HGDIOBJ old_font =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(GetHWND(), WM_GETFONT, 0, 0)));
  const CUIString name = GetHotKeyName();
  ::DrawTextW(dc, name.GetData(), -1, &client, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, name.GetData(), name.GetLength(), &extent);
  ::SetCaretPos(extent.cx, 0);
  ::SelectObject(dc, old_font);
  ::EndPaint(GetHWND(), &ps);
}

LRESULT CHotKeyWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CHotKeyUI* owner = Owner();
  switch (message) {
    case WM_KILLFOCUS: {
      const LRESULT result = CNativeChildWindow::HandleMessage(message, wParam, lParam);
      SendMessage(WM_CLOSE);
      return result;
    }
    case WM_PAINT:
      if (owner == nullptr) break;
      Paint();
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      if (owner == nullptr) break;
      if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        if (GetManager() != nullptr) GetManager()->SendNotify(owner, L"return");
        return 0;
      }
      // The system class clears the combination on Back, Delete, Escape, Space and Tab without
      // always reporting it: a change it did not report is reported here.
      WORD key_before = 0;
      WORD modifiers_before = 0;
      GetHotKey(key_before, modifiers_before);
      change_reported_ = false;
      CDestructionWatch watch(mark_);
      const LRESULT result = CNativeChildWindow::HandleMessage(message, wParam, lParam);
      // The change the system class reported may have reached a handler that deleted the
      // control, and with it this window.
      if (watch.IsDestroyed()) return result;
      if (!change_reported_ && Owner() != nullptr) {
        WORD key = 0;
        WORD modifiers = 0;
        GetHotKey(key, modifiers);
        if (key != key_before || modifiers != modifiers_before) ReportChange();
      }
      return result;
    }
    case WM_CHAR:
      // The character of Enter reaches the window too (Wine maps it back to the key and clears
      // the combination): Enter never edits the combination.
      if (wParam == L'\r') return 0;
      break;
    case kReflectedCommand:
      if (HIWORD(wParam) == kChangeCode) {
        ReportChange();
      } else if (HIWORD(wParam) == kUpdateCode) {
        ::InvalidateRect(GetHWND(), nullptr, FALSE);
      }
      return 0;
    case WM_NCCALCSIZE:
    case WM_NCACTIVATE:
      return 0;
    default:
      break;
  }
  return CNativeChildWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace Vellum
