#include "vellum/controls/edit/edit_window.h"

#include <string>

#include "vellum/controls/edit/edit.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The paint manager reflects a child's WM_COMMAND and colour messages back to it at this offset.
constexpr UINT kReflectBase = 0x2000;

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI* owner) {
  auto* window = new CEditWnd();
  if (!window->Init(owner)) {
    delete window;
    return nullptr;
  }
  return window;
}

const wchar_t* CEditWnd::GetWindowClassName() const { return L"EditWnd"; }
const wchar_t* CEditWnd::GetSuperClassName() const { return L"Edit"; }

CEditUI* CEditWnd::Owner() const { return static_cast<CEditUI*>(GetOwner()); }

void CEditWnd::ForgetOwnerPointer() { Owner()->window_ = nullptr; }

bool CEditWnd::Init(CEditUI* owner) {
  CPaintManagerUI* manager = owner->GetManager();
  if (manager == nullptr) return false;
  const bool layered = manager->IsLayered();
  DWORD style = layered ? (WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL) : (WS_CHILD | ES_AUTOHSCROLL);
  const UINT text_style = owner->GetTextStyle();
  if ((text_style & DT_CENTER) != 0) {
    style |= ES_CENTER;
  } else if ((text_style & DT_RIGHT) != 0) {
    style |= ES_RIGHT;
  }
  if (owner->password_) style |= ES_PASSWORD;
  if (!CreateOver(owner, owner->GetNativeWindowRect(), style, manager->GetFont(owner->GetFont()),
                  layered)) {
    return false;
  }
  HWND hwnd = GetHWND();
  ::SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(owner->max_char_), 0);
  if (owner->password_) {
    ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(owner->password_char_), 0);
  }
  ::SetWindowTextW(hwnd, owner->GetText().GetData());
  ::SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
  ::SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::EnableWindow(hwnd, owner->IsEnabled() ? TRUE : FALSE);
  ::SendMessageW(hwnd, EM_SETREADONLY, owner->read_only_ ? TRUE : FALSE, 0);
  ::SetWindowLongW(hwnd, GWL_STYLE, ::GetWindowLongW(hwnd, GWL_STYLE) | owner->extra_styles_);
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::SetFocus(hwnd);
  const int length = ::GetWindowTextLengthW(hwnd);
  if (owner->auto_sel_all_) {
    ::SendMessageW(hwnd, EM_SETSEL, 0, length > 0 ? length : 1);
  } else {
    ::SendMessageW(hwnd, EM_SETSEL, length, length);
  }
  initialised_ = true;
  return true;
}

LRESULT CEditWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CEditUI* owner = Owner();
  CPaintManagerUI* manager = GetManager();
  switch (message) {
    case WM_KILLFOCUS: {
      const LRESULT result = CNativeChildWindow::HandleMessage(message, wParam, lParam);
      PostMessage(WM_CLOSE);
      return result;
    }
    case WM_CLOSE:
      // A press inside the window after its kill focus (a click on the control's padding) gives
      // it the focus back before the posted close arrives: editing goes on.
      if (::GetFocus() == GetHWND()) return 0;
      break;
    case WM_KEYDOWN:
      if (owner == nullptr) break;
      if (wParam == VK_RETURN) {
        manager->SendNotify(owner, L"return");
        return 0;
      }
      if (wParam == VK_TAB) {
        if (manager->IsLayered()) manager->SetNextTabControl();
        return 0;
      }
      break;
    case kReflectBase + WM_COMMAND:
      if (owner == nullptr) return 0;
      if (HIWORD(wParam) == EN_CHANGE) {
        if (!initialised_) return 0;
        const int length = ::GetWindowTextLengthW(GetHWND());
        CUIString text;
        if (length > 0) {
          std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
          ::GetWindowTextW(GetHWND(), &buffer[0], length + 1);
          text = buffer.c_str();
        }
        owner->text_ = text;
        CDestructionWatch watch(mark_);
        manager->SendNotify(owner, L"textchanged");
        // A handler that deleted the control took this window with it.
        if (watch.IsDestroyed()) return 0;
        if (manager->IsLayered() && Owner() != nullptr) Owner()->Invalidate();
      } else if (HIWORD(wParam) == EN_UPDATE) {
        ::InvalidateRect(GetHWND(), nullptr, FALSE);
      }
      return 0;
    case kReflectBase + WM_CTLCOLOREDIT:
    case kReflectBase + WM_CTLCOLORSTATIC:
      if (owner == nullptr) return 0;
      return reinterpret_cast<LRESULT>(ColorBackground(reinterpret_cast<HDC>(wParam),
                                                       owner->GetTextColor(),
                                                       owner->native_bk_color_));
    default:
      break;
  }
  return CNativeChildWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace Vellum
