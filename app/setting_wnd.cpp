#include "app/setting_wnd.h"

#include <cwchar>
#include <string>
#include <utility>

#include "app/app_events.h"
#include "common/config.h"
#include "common/logging.h"
#include "common/logon_task.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"

using Vellum::CButtonUI;
using Vellum::CControlUI;
using Vellum::CLabelUI;
using Vellum::COptionUI;
using Vellum::TUINotification;

const wchar_t kSettingWndClassName[] = L"LumavexSettingWnd";

namespace {

// "Settings - Lumavex (Lumavex)": the word "Settings" in Chinese, then the product name.
const wchar_t kSettingWndTitle[] = L"\u8BBE\u7F6E - Lumavex (Lumavex)";

constexpr int kMinScaleFactor = 2;
constexpr int kMaxScaleFactor = 5;

template <typename T>
T* FindNamed(Vellum::CPaintManagerUI& manager, const wchar_t* name, const wchar_t* interface_name) {
  CControlUI* control = manager.FindControl(name);
  if (control == nullptr) return nullptr;
  return static_cast<T*>(control->GetInterface(interface_name));
}

void SetEnabledIfPresent(CButtonUI* button, bool enabled) {
  if (button != nullptr) button->SetEnabled(enabled);
}

void SetLabelNumber(CLabelUI* label, int value) {
  label->SetText(std::to_wstring(value).c_str());
}

}  // namespace

BEGIN_NOTIFY_MAP(SettingWnd, WindowImplBase)
END_NOTIFY_MAP()

SettingWnd::SettingWnd(DestroyedCallback on_destroyed) : on_destroyed_(std::move(on_destroyed)) {}

SettingWnd::~SettingWnd() = default;

SettingWnd* SettingWnd::Make(DestroyedCallback on_destroyed, int dpi, HICON icon) {
  auto* window = new SettingWnd(std::move(on_destroyed));
  // A window that fails after WM_NCCREATE still ends in OnFinalMessage, which deletes the object;
  // only one that never got that far is deleted here.
  bool destroyed = false;
  window->destroyed_flag_ = &destroyed;
  HWND hwnd = window->Create(nullptr, kSettingWndTitle, WS_POPUP, WS_EX_APPWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
  if (hwnd == nullptr) {
    if (!destroyed) delete window;
    return nullptr;
  }
  window->destroyed_flag_ = nullptr;
  window->paint_manager_.SetDPI(dpi);
  ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  return window;
}

const wchar_t* SettingWnd::GetWindowClassName() const { return kSettingWndClassName; }

const wchar_t* SettingWnd::GetSkinFile() { return L"setting_wnd.xml"; }

void SettingWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  if (destroyed_flag_ != nullptr) *destroyed_flag_ = true;
  // The owner drops its pointer before the object goes, whichever way the window ended.
  if (on_destroyed_) on_destroyed_(this);
  delete this;
}

void SettingWnd::InitWindow() {
  scale_label_ = FindNamed<CLabelUI>(paint_manager_, L"scale_factor", L"Label");
  minus_button_ = FindNamed<CButtonUI>(paint_manager_, L"minus_btn", L"Button");
  plus_button_ = FindNamed<CButtonUI>(paint_manager_, L"plus_btn", L"Button");
  SetEnabledIfPresent(plus_button_, true);
  SetEnabledIfPresent(minus_button_, true);

  const Config& config = Config::GetInstance();
  if (scale_label_ != nullptr) {
    SetLabelNumber(scale_label_, config.scale_factor);
    if (config.scale_factor >= kMaxScaleFactor) SetEnabledIfPresent(plus_button_, false);
    if (config.scale_factor <= kMinScaleFactor) SetEnabledIfPresent(minus_button_, false);
  }

  enable_switch_ = FindNamed<COptionUI>(paint_manager_, L"enable_btn", L"Option");
  if (enable_switch_ != nullptr) enable_switch_->Selected(config.enable_shake, true);
  autostart_switch_ = FindNamed<COptionUI>(paint_manager_, L"autostart_btn", L"Option");
  if (autostart_switch_ != nullptr) autostart_switch_->Selected(config.auto_run, true);
  gamemode_switch_ = FindNamed<COptionUI>(paint_manager_, L"gamemode_btn", L"Option");
  if (gamemode_switch_ != nullptr) gamemode_switch_->Selected(config.game_mode, true);
}

void SettingWnd::ShowWnd(bool show) {
  if (show) {
    ShowWindow(true, true);
    paint_manager_.NeedUpdate();
    paint_manager_.Invalidate();
    ::BringWindowToTop(hwnd_);
    ::SetForegroundWindow(hwnd_);
    CenterWindow();
    SendAppEvent("dialog_settings_show");
  } else {
    ShowWindow(false, false);
    SendAppEvent("dialog_settings_close");
  }
}

void SettingWnd::OnClick(TUINotification& msg) {
  if (msg.sender == nullptr) return;
  const Vellum::CUIString name = msg.sender->GetName();
  if (name == L"close_btn") {
    OnCloseButton();
  } else if (name == L"minus_btn") {
    OnMinus();
  } else if (name == L"plus_btn") {
    OnPlus();
  } else if (name == L"enable_btn") {
    OnEnableSwitch();
  } else if (name == L"autostart_btn") {
    OnAutoStartSwitch();
  } else if (name == L"gamemode_btn") {
    OnGameModeSwitch();
  }
}

void SettingWnd::OnCloseButton() {
  ShowWnd(false);
  // WM_CLOSE destroys the window once this notification is over; OnFinalMessage then tells the
  // owner, which forgets this window and builds a fresh one on its next request.
  Close(1);
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), 0, 0);
}

void SettingWnd::OnMinus() {
  if (scale_label_ == nullptr) return;
  const int value = _wtoi(scale_label_->GetText().GetData()) - 1;
  if (value >= kMinScaleFactor) {
    SetEnabledIfPresent(plus_button_, true);
    Config::GetInstance().SetScaleFactor(value);
    SetLabelNumber(scale_label_, value);
  }
  if (value <= kMinScaleFactor) SetEnabledIfPresent(minus_button_, false);
}

void SettingWnd::OnPlus() {
  if (scale_label_ == nullptr) return;
  const int value = _wtoi(scale_label_->GetText().GetData()) + 1;
  if (value <= kMaxScaleFactor) {
    SetEnabledIfPresent(minus_button_, true);
    Config::GetInstance().SetScaleFactor(value);
    SetLabelNumber(scale_label_, value);
  }
  if (value >= kMaxScaleFactor) SetEnabledIfPresent(plus_button_, false);
}

// The option toggles its own selection after this click handler returns, so a switch's new value
// is the opposite of what it shows now.

void SettingWnd::OnEnableSwitch() {
  if (enable_switch_ == nullptr) return;
  const bool enable = !enable_switch_->IsSelected();
  Config::GetInstance().SetEnableShake(enable);
  SendAppEvent(enable ? "shake_enabled" : "shake_disabled");
}

void SettingWnd::OnAutoStartSwitch() {
  if (autostart_switch_ == nullptr) return;
  const bool enable = !autostart_switch_->IsSelected();
  Config::GetInstance().SetAutoRun(enable);
  if (enable) {
    if (!LogonTaskExists() && !CreateLogonTask(std::wstring())) {
      LOG_ERROR << "autostart on: CreateLogonTask failed";
    }
  } else if (!DeleteLogonTask() && LogonTaskExists()) {
    // A task that was not there is no failure; one that is still there would start the program at
    // the next logon against the user's choice.
    LOG_ERROR << "autostart off: DeleteLogonTask failed";
  }
}

void SettingWnd::OnGameModeSwitch() {
  if (gamemode_switch_ == nullptr) return;
  const bool enable = !gamemode_switch_->IsSelected();
  Config::GetInstance().SetGameModeEnable(enable);
  SendAppEvent(enable ? "disableshake_gamemode_toggleon" : "disableshake_gamemode_toggleoff");
}

LRESULT SettingWnd::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::DestroyWindow(hwnd_);
  handled = TRUE;
  return 0;
}

LRESULT SettingWnd::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  // Alt+F4 and the system close command only hide the window; it stays for the next request. The
  // low four bits of the command are the system's own.
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    ShowWnd(false);
    handled = TRUE;
    return 1;
  }
  handled = FALSE;
  return 0;
}

LRESULT SettingWnd::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == VK_RETURN || wParam == VK_ESCAPE) ShowWnd(false);
  handled = TRUE;
  return 0;
}
