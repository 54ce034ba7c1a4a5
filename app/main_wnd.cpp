#include "app/main_wnd.h"

#include <string>
#include <utility>

#include "app/app_events.h"
#include "app/balloon_texts.h"
#include "app/cursor_manager.h"
#include "app/dpi_snap.h"
#include "app/fullscreen_check.h"
#include "app/pop_menu.h"
#include "app/setting_wnd.h"
#include "common/collector.h"
#include "common/config.h"
#include "common/data_session.h"
#include "common/logging.h"
#include "common/singleton.h"
#include "common/system_info.h"
#include "vellum/core/base/dpi_scaler.h"

namespace {

constexpr UINT kRestorePollMs = 100;
constexpr int kTrayIconResourceId = 130;
constexpr int64_t kTicksPerHour = 36000000000LL;  // 100 ns ticks

int64_t SystemClockNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
}

// Whole days between two wall-clock readings; a clock set back gives a negative count, as it did.
int64_t WholeDaysBetween(int64_t start, int64_t now) {
  const int64_t hours = (now - start) / kTicksPerHour;
  return static_cast<int32_t>(hours) / 24;
}

}  // namespace

BEGIN_NOTIFY_MAP(MainWnd, Vellum::WindowImplBase)
END_NOTIFY_MAP()

MainWnd& MainWnd::GetInstance() {
  // Never freed: the window and its object live until the process ends.
  static MainWnd* instance = new MainWnd(RealTrayShell(), RealSystemCursors(), nullptr);
  return *instance;
}

MainWnd::MainWnd(TrayShell& tray_shell, SystemCursors& system_cursors, WallClock clock)
    : tray_shell_(tray_shell),
      system_cursors_(system_cursors),
      clock_(clock ? std::move(clock) : WallClock(SystemClockNow)),
      shake_detector_([this] { OnShake(); }) {}

MainWnd::~MainWnd() {
  // Windows made by a test may still be up; neither their messages nor the settings window's
  // destruction callback may reach a freed object.
  if (setting_wnd_ != nullptr) DestroyWindow(setting_wnd_->GetHWND());
  if (GetHWND() != nullptr) DestroyWindow(GetHWND());
}

const wchar_t* MainWnd::GetWindowClassName() const { return L"LumavexMainWnd"; }

const wchar_t* MainWnd::GetSkinFile() { return L"main_wnd.xml"; }

void MainWnd::InitWindow() {
  HWND hwnd = GetHWND();
  // A run that ended without restoring (a crash) may have left the enlarged arrow in place; the cursor
  // manager must copy the user's arrow, not that one.
  ReloadSchemeOnce();
  CreateCursorManager();
  start_time_ = clock_();

  taskbar_created_message_ = RegisterWindowMessageW(L"TaskbarCreated");
  quit_message_ = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  if (quit_message_ == 0) {
    LOG_ERROR << "RegisterWindowMessage TARVO_INSTALL_MSG failed: " << GetLastError();
  }
  // The program runs elevated, and the shell that announces a new taskbar does not: without this the
  // announcement is filtered out and the icon is lost for good when Explorer restarts.
  if (taskbar_created_message_ != 0) {
    ChangeWindowMessageFilterEx(hwnd, taskbar_created_message_, MSGFLT_ALLOW, nullptr);
  }

  RAWINPUTDEVICE mouse = {1, 2, RIDEV_INPUTSINK, hwnd};
  RegisterRawInputDevices(&mouse, 1, sizeof(mouse));

  StartMidnightTask();

  pop_menu_ = std::make_unique<PopMenu>(hwnd);
  pop_menu_->Create(hwnd, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT);
  pop_menu_->GetPaintManager().SetDPI(SnapDpi(Vellum::GetMainMonitorDpi()));

  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTrayIconResourceId));
  tray_icon_ = std::make_unique<TrayIcon>(hwnd, icon_, tray_shell_);
  AddTrayIcon();

  SetTimer(hwnd, kRestoreTimerId, kRestorePollMs, nullptr);

  if (start_mode_ == kStartOpenSettings) {
    ShowSettingWnd();
  } else if (start_mode_ == kStartShowBalloon) {
    ShowBalloon();
  }
}

void MainWnd::CreateCursorManager() {
  const Config& config = Config::GetInstance();
  cursor_manager_ = std::make_unique<CursorManager>(
      CursorManager::Settings{config.scale_factor, config.restore_delay}, ReportMouseShaked, system_cursors_);
}

void MainWnd::StartMidnightTask() {
  LOG_INFO << "StartMidnightTask";
  SetTimer(GetHWND(), kMidnightTimerId, static_cast<UINT>(SecondsToNextMidnight()) * 1000u, nullptr);
}

void MainWnd::AddTrayIcon() {
  if (!tray_icon_) return;
  // Without the icon the user has no way to the settings or out of the program.
  StopTrayRetries();
  tray_retries_left_ = kTrayRetries;
  TryAddTrayIcon();
}

void MainWnd::TryAddTrayIcon() {
  if (tray_icon_->Add()) {
    StopTrayRetries();
    return;
  }
  if (tray_retries_left_ == kTrayRetries) LOG_WARN << "Shell_NotifyIcon NIM_ADD failed, trying again";
  if (tray_retries_left_ == 0) {
    LOG_ERROR << "Shell_NotifyIcon NIM_ADD failed " << kTrayRetries + 1 << " times, waiting for TaskbarCreated";
    StopTrayRetries();
    return;
  }
  --tray_retries_left_;
  tray_retry_pending_ = true;
  SetTimer(GetHWND(), kTrayRetryTimerId, kTrayRetryMs, nullptr);
}

void MainWnd::StopTrayRetries() {
  if (GetHWND() != nullptr) KillTimer(GetHWND(), kTrayRetryTimerId);
  tray_retry_pending_ = false;
  tray_retries_left_ = 0;
}

void MainWnd::RemoveTrayIcon() {
  // A pending retry would bring back an icon that was just taken away.
  StopTrayRetries();
  if (tray_icon_ && GetHWND() != nullptr) tray_icon_->Remove();
}

void MainWnd::ShowBalloon() {
  if (tray_icon_) tray_icon_->ShowBalloon(BalloonTextsForThisSystem());
}

void MainWnd::ShowSettingWnd() {
  if (setting_wnd_ == nullptr) {
    // The window deletes itself however it ends; the callback is the one place this pointer is
    // dropped, so a destroyed window is never shown again and the next request makes a new one.
    setting_wnd_ = SettingWnd::Make([this](SettingWnd* window) { OnSettingWndDestroyed(window); },
                                    SnapDpi(Vellum::GetMainMonitorDpi()), icon_);
    if (setting_wnd_ == nullptr) return;
  }
  setting_wnd_->ShowWnd(true);
}

void MainWnd::OnSettingWndDestroyed(SettingWnd* window) {
  if (setting_wnd_ == window) setting_wnd_ = nullptr;
}

void MainWnd::OnMidnightTimer() {
  online_days_ = WholeDaysBetween(start_time_, clock_());
  auto* collector = Singleton<common::Collector>::GetInstance();
  auto session = collector->CreateSession("event", "alive");
  session->SetField("first_hit", "false");
  session->SetField("online_days", std::to_string(online_days_));
  collector->Report(session);
  StartMidnightTask();
}

void MainWnd::ReloadSchemeOnce() {
  reloading_scheme_ = true;
  system_cursors_.ReloadScheme(true);
  reloading_scheme_ = false;
}

void MainWnd::RestoreSystemCursors() {
  if (!cursor_manager_) {
    ReloadSchemeOnce();
    return;
  }
  reloading_scheme_ = true;
  cursor_manager_->RestoreSystemCursors();
  reloading_scheme_ = false;
}

void MainWnd::Quit() {
  RemoveTrayIcon();
  RestoreSystemCursors();
  PostQuitMessage(0);
}

void MainWnd::OnFinalMessage(HWND hwnd) {
  if (cursor_manager_) {
    RestoreSystemCursors();
    cursor_manager_.reset();
  }
  WindowImplBase::OnFinalMessage(hwnd);
}

LRESULT MainWnd::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  RemoveTrayIcon();
  handled = TRUE;
  return 0;
}

LRESULT MainWnd::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = TRUE;
  return 0;
}

void MainWnd::OnTrayNotification(UINT notification, BOOL& handled) {
  switch (notification) {
    case WM_RBUTTONUP:
      SendAppEvent("open_tray_menu");
      if (pop_menu_) pop_menu_->ShowAtCursor();
      break;
    case WM_LBUTTONUP:
      SendAppEvent("open_tray_settings");
      ShowSettingWnd();
      break;
    case NIN_BALLOONUSERCLICK:
      SendAppEvent("click_balloon_settings");
      ShowSettingWnd();
      break;
    default:
      // The same message number carries the UI framework's deferred work: leave it to the manager.
      handled = FALSE;
      return;
  }
  handled = TRUE;
}

void MainWnd::OnSettingChange() {
  // Reloading the scheme broadcasts WM_SETTINGCHANGE itself: answering that broadcast would reload
  // again, without end.
  if (reloading_scheme_ || !cursor_manager_) return;
  // Only enlarged cursors need the scheme back before the manager copies the arrow afresh.
  if (cursor_manager_->enlarged()) RestoreSystemCursors();
  cursor_manager_.reset();
  CreateCursorManager();
}

void MainWnd::OnRawInput(LPARAM input) {
  const bool enabled = Config::GetInstance().enable_shake;
  // Logged once as the state begins: per report the line would flood the log within minutes.
  if (!enabled && shake_enabled_) LOG_INFO << "is_enable_shake:" << 0;
  shake_enabled_ = enabled;
  if (enabled) shake_detector_.OnRawInput(reinterpret_cast<HRAWINPUT>(input));
}

void MainWnd::OnShake() {
  if (!cursor_manager_) return;
  // Game mode is decided when a shake is found, not per mouse report: the window test costs far more
  // than the detector, and only its answer at this moment changes what the user sees.
  const Config& config = Config::GetInstance();
  const bool full_screen = config.game_mode && IsFullScreenUnderCursor();
  if (full_screen && !full_screen_veto_) LOG_INFO << "is_full_screen:" << 1;
  full_screen_veto_ = full_screen;
  if (full_screen) return;
  // The factor may have been changed in the settings window since the manager was made.
  cursor_manager_->set_scale_factor(config.scale_factor);
  cursor_manager_->Enlarge();
}

LRESULT MainWnd::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  if (message == WM_TIMER) {
    handled = TRUE;
    if (wParam == kRestoreTimerId) {
      if (cursor_manager_) cursor_manager_->RestoreIfIdle();
    } else if (wParam == kTrayRetryTimerId) {
      if (tray_retry_pending_) TryAddTrayIcon();
    } else if (wParam == kMidnightTimerId) {
      OnMidnightTimer();
      // Once a day the pages the program has not touched since are given back.
      SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
      SetProcessWorkingSetSize(GetCurrentProcess(), 0, 0);
    }
    return 1;
  }
  if (message == kTrayCallbackMessage) {
    OnTrayNotification(LOWORD(lParam), handled);
    return handled ? 1 : 0;
  }
  if (message == kOpenSettingsMessage) {
    SendAppEvent("click_menu_settings");
    ShowSettingWnd();
    handled = TRUE;
    return 1;
  }
  if (message == kQuitMessage) {
    SendAppEvent("click_menu_exit");
    handled = TRUE;
    Quit();
    return 1;
  }
  if (quit_message_ != 0 && message == quit_message_) {
    LOG_INFO << "receive quit broadcast msg";
    handled = TRUE;
    // Leaves as the menu's quit does: no icon left behind in the tray, no enlarged cursors.
    Quit();
    return 1;
  }
  if (message == WM_SETTINGCHANGE) {
    OnSettingChange();
    return 0;
  }
  if (message == WM_INPUT) {
    OnRawInput(lParam);
    // Default processing releases the raw-input data. It is called here, not reached through the UI
    // framework's handlers, which have no use for raw input and would cost more than the detector.
    handled = TRUE;
    return ::DefWindowProcW(GetHWND(), message, wParam, lParam);
  }
  if (taskbar_created_message_ != 0 && message == taskbar_created_message_) {
    AddTrayIcon();
    handled = TRUE;
    return 1;
  }
  return 0;
}
