#include "vellum/controls/date_time/date_time_window.h"

#include <commctrl.h>

#include "vellum/controls/date_time/date_time.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The paint manager reflects a child's WM_NOTIFY back to it at this offset.
constexpr UINT kReflectedNotify = 0x2000 + WM_NOTIFY;

// The system class is superclassed by copying its registration, which exists only once the common
// controls have registered it in this process.
bool RegisterDateTimeClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_DATE_CLASSES;
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  return registered;
}

}  // namespace

CDateTimeWnd* CDateTimeWnd::Open(CDateTimeUI* owner) {
  CPaintManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
  if (manager == nullptr || !RegisterDateTimeClass()) return nullptr;
  auto* window = new CDateTimeWnd();
  if (!window->CreateOver(owner, owner->GetNativeWindowRect(), WS_CHILD,
                          manager->GetFont(owner->GetFont()), false)) {
    delete window;
    return nullptr;
  }
  return window;
}

const wchar_t* CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }
const wchar_t* CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

CDateTimeUI* CDateTimeWnd::Owner() const { return static_cast<CDateTimeUI*>(GetOwner()); }

void CDateTimeWnd::ForgetOwnerPointer() { Owner()->window_ = nullptr; }

void CDateTimeWnd::Init() {
  CDateTimeUI* owner = Owner();
  if (owner == nullptr) return;
  owner->update_flag_ = CDateTimeUI::kNothingPending;
  HWND hwnd = GetHWND();
  if (owner->GetText().IsEmpty()) ::GetLocalTime(&owner->time_);
  ::SendMessageW(hwnd, DTM_SETFORMATW, 0,
                 reinterpret_cast<LPARAM>(owner->time_format_.GetData()));
  saved_time_ = owner->time_;
  ::SendMessageW(hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->time_));
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::SetFocus(hwnd);
  initialised_ = true;
}

void CDateTimeWnd::ReadTime() {
  CDateTimeUI* owner = Owner();
  if (owner == nullptr) return;
  SYSTEMTIME time{};
  if (::SendMessageW(GetHWND(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) ==
      GDT_VALID) {
    owner->time_ = time;
  }
  owner->RefreshText();
}

bool CDateTimeWnd::IsOwnCalendar(HWND focus) const {
  if (focus == nullptr) return false;
  HWND calendar = reinterpret_cast<HWND>(::SendMessageW(GetHWND(), DTM_GETMONTHCAL, 0, 0));
  return calendar != nullptr && (focus == calendar || ::IsChild(calendar, focus));
}

LRESULT CDateTimeWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CDateTimeUI* owner = Owner();
  switch (message) {
    case WM_KEYDOWN:
      if (wParam != VK_ESCAPE || owner == nullptr) break;
      owner->time_ = saved_time_;
      owner->RefreshText();
      PostMessage(WM_CLOSE);
      return 0;
    case kReflectedNotify: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (owner == nullptr || header == nullptr || header->hwndFrom != GetHWND()) break;
      if (header->code == DTN_DATETIMECHANGE) {
        ReadTime();
      } else if (header->code == DTN_DROPDOWN) {
        dropped_down_ = true;
      } else if (header->code == DTN_CLOSEUP) {
        ReadTime();
        PostMessage(WM_CLOSE);
        dropped_down_ = false;
      }
      break;
    }
    case WM_KILLFOCUS:
      // The focus moves to the drop-down calendar before the picker reports the drop-down:
      // that move is part of dropping down, not the user leaving.
      if (!dropped_down_ && !IsOwnCalendar(reinterpret_cast<HWND>(wParam))) PostMessage(WM_CLOSE);
      break;
    default:
      break;
  }
  return CNativeChildWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace Vellum
