#include "vellum/controls/ip_address/ip_address.h"

#include <cwchar>

#include "vellum/controls/ip_address/ip_address_window.h"
#include "vellum/controls/ip_address/ip_octets.h"
#include "vellum/controls/ip_address/local_ip.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CIPAddressUI::CIPAddressUI() {
  SetIP(GetLocalIP());
}

CIPAddressUI::~CIPAddressUI() { DestroyHostedWindow(window_); }

CControlUI* CIPAddressUI::CreateControl() { return new CIPAddressUI(); }

const wchar_t* CIPAddressUI::GetClass() const { return L"IPAddressUI"; }

LPVOID CIPAddressUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && std::wcscmp(name, L"IPAddress") == 0) return this;
  return CLabelUI::GetInterface(name);
}

HWND CIPAddressUI::GetNativeWindow() const {
  return window_ != nullptr ? window_->GetHWND() : nullptr;
}

void CIPAddressUI::SetIP(DWORD address) {
  address_ = address;
  update_flag_ = kRefreshText;
  UpdateText();
}

void CIPAddressUI::UpdateText() {
  if (update_flag_ == kRefreshText) {
    SetText(FormatAddress(address_).GetData());
  } else if (update_flag_ == kEmptyText) {
    SetText(L"");
  }
}

void CIPAddressUI::OpenWindow() {
  if (window_ == nullptr) window_ = CIPAddressWnd::Open(this);
  if (window_ != nullptr) window_->Init();
}

void CIPAddressUI::DoEvent(TUIEvent& event) {
  const bool window_shown = window_ != nullptr && ::IsWindowVisible(window_->GetHWND());
  if (HandleHostEvent(this, window_shown, event)) return;
  if (HandleOpenOnFocusEvent(this, GetNativeWindow(), event, [](CLabelUI* control) {
        static_cast<CIPAddressUI*>(control)->OpenWindow();
      })) {
    return;
  }
  CLabelUI::DoEvent(event);
}

}  // namespace Vellum
