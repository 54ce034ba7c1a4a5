#include "vellum/controls/ip_address/ip_address_window.h"

#include <commctrl.h>

#include "vellum/controls/ip_address/ip_address.h"
#include "vellum/controls/ip_address/local_ip.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The paint manager reflects a child's WM_COMMAND back to it at this offset.
constexpr UINT kReflectedCommand = 0x2000 + WM_COMMAND;
constexpr UINT_PTR kFieldSubclassId = 1;

// The system class is superclassed by copying its registration, which exists only once the common
// controls have registered it in this process.
bool RegisterIPAddressClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_INTERNET_CLASSES;
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  return registered;
}

}  // namespace

CIPAddressWnd* CIPAddressWnd::Open(CIPAddressUI* owner) {
  CPaintManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
  if (manager == nullptr || !RegisterIPAddressClass()) return nullptr;
  auto* window = new CIPAddressWnd();
  HFONT font = manager->GetFont(owner->GetFont());
  if (!window->CreateOver(owner, owner->GetPos(), WS_CHILD | WS_GROUP | WS_TABSTOP, font, false)) {
    delete window;
    return nullptr;
  }
  window->SubclassFields();
  HWND field = ::GetWindow(window->GetHWND(), GW_CHILD);
  HFONT field_font =
      field != nullptr ? reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0)) : nullptr;
  if (field_font != font) window->field_font_ = field_font;
  return window;
}

CIPAddressWnd::~CIPAddressWnd() {
  // Deleted after the window and its fields are gone; a font the system control did delete is no
  // object any more.
  if (field_font_ != nullptr && ::GetObjectType(field_font_) == OBJ_FONT) ::DeleteObject(field_font_);
}

const wchar_t* CIPAddressWnd::GetWindowClassName() const { return L"IPAddressWnd"; }
const wchar_t* CIPAddressWnd::GetSuperClassName() const { return WC_IPADDRESSW; }

CIPAddressUI* CIPAddressWnd::Owner() const { return static_cast<CIPAddressUI*>(GetOwner()); }

void CIPAddressWnd::ForgetOwnerPointer() { Owner()->window_ = nullptr; }

void CIPAddressWnd::SubclassFields() {
  for (HWND field = ::GetWindow(GetHWND(), GW_CHILD); field != nullptr;
       field = ::GetWindow(field, GW_HWNDNEXT)) {
    ::SetWindowSubclass(field, &CIPAddressWnd::FieldProc, kFieldSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
  }
}

void CIPAddressWnd::UnsubclassFields() {
  for (HWND field = ::GetWindow(GetHWND(), GW_CHILD); field != nullptr;
       field = ::GetWindow(field, GW_HWNDNEXT)) {
    ::RemoveWindowSubclass(field, &CIPAddressWnd::FieldProc, kFieldSubclassId);
  }
}

LRESULT CALLBACK CIPAddressWnd::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*id*/, DWORD_PTR data) {
  const LRESULT result = ::DefSubclassProc(field, message, wParam, lParam);
  if (message == WM_KEYUP && data != 0) reinterpret_cast<CIPAddressWnd*>(data)->OnFieldKeyUp(wParam);
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(field, &CIPAddressWnd::FieldProc, kFieldSubclassId);
  }
  return result;
}

void CIPAddressWnd::OnFieldKeyUp(WPARAM virtual_key) {
  CIPAddressUI* owner = Owner();
  if (owner == nullptr) return;
  if (virtual_key == VK_BACK || virtual_key == VK_DELETE) {
    owner->update_flag_ = CIPAddressUI::kEmptyText;
    owner->UpdateText();
    PostMessage(WM_CLOSE);
  } else if (virtual_key == VK_ESCAPE) {
    owner->update_flag_ = CIPAddressUI::kCancelled;
    PostMessage(WM_CLOSE);
  }
}

void CIPAddressWnd::Init() {
  CIPAddressUI* owner = Owner();
  if (owner == nullptr) return;
  owner->update_flag_ = CIPAddressUI::kNothingPending;
  HWND hwnd = GetHWND();
  if (owner->GetText().IsEmpty()) owner->address_ = GetLocalIP();
  ::SendMessageW(hwnd, IPM_SETADDRESS, 0, static_cast<LPARAM>(owner->address_));
  ::ShowWindow(hwnd, SW_SHOW);
  ::SetFocus(hwnd);
  initialised_ = true;
}

bool CIPAddressWnd::HasFocusInside() const {
  HWND focus = ::GetFocus();
  return focus != nullptr && (focus == GetHWND() || ::IsChild(GetHWND(), focus));
}

LRESULT CIPAddressWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KILLFOCUS:
      return 0;
    case WM_DESTROY:
      // Before the system control tears its fields down: it may put back the window procedures
      // they had when it made them, which leaves our subclass out of their chain, and the
      // bookkeeping of a subclass that never sees its field's last message is never freed.
      UnsubclassFields();
      break;
    case kReflectedCommand: {
      CIPAddressUI* owner = Owner();
      if (HIWORD(wParam) != EN_KILLFOCUS || owner == nullptr) return 0;
      // The control reports a field losing the focus also while the focus moves on to another
      // of its fields.
      if (HasFocusInside()) return 0;
      const LRESULT result = CNativeChildWindow::HandleMessage(message, wParam, lParam);
      if (owner->update_flag_ == CIPAddressUI::kNothingPending) {
        DWORD address = 0;
        ::SendMessageW(GetHWND(), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        owner->address_ = address;
        owner->update_flag_ = CIPAddressUI::kRefreshText;
        owner->UpdateText();
      }
      ::ShowWindow(GetHWND(), SW_HIDE);
      return result;
    }
    default:
      break;
  }
  return CNativeChildWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace Vellum
