#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/shake_detector.h"
#include "app/system_cursors.h"
#include "app/tray_icon.h"
#include "vellum/core/window/window_impl_base.h"

class CursorManager;
class PopMenu;
class SettingWnd;

// Messages the tray pop-up menu sends to the main window when one of its items is chosen.
constexpr UINT kOpenSettingsMessage = 0x8002;
constexpr UINT kQuitMessage = 0x8003;

// The main window's timers: the 100 ms cursor restore poll, the daily event at the next midnight, and
// the next try of a tray icon the shell did not take.
constexpr UINT_PTR kRestoreTimerId = 1;
constexpr UINT_PTR kMidnightTimerId = 2;
constexpr UINT_PTR kTrayRetryTimerId = 3;
// At logon the shell may not take icons yet: a failed add is tried again this often, this many times
// (a minute), and again from the start whenever the shell announces a new taskbar.
constexpr UINT kTrayRetryMs = 2000;
constexpr int kTrayRetries = 30;

// The program's hidden top-level window and its hub: it owns the tray icon, the shake detector fed by
// raw mouse input from every mouse, the cursor manager, the tray pop-up menu and the settings window;
// it answers the tray icon, the menu, the installer's quit broadcast and system setting changes, and
// sends the daily "alive" event. It never shows itself. UI thread only.
//
// Owns: the cursor manager, the pop-up menu (for the run) and the tray icon record. The settings window
// owns itself (it deletes itself when destroyed) and tells this window so, which then forgets it.
class MainWnd : public Vellum::WindowImplBase {
 public:
  // The wall clock in 100 ns ticks; only differences are used (whole days online).
  using WallClock = std::function<int64_t()>;

  // What start-up asks for once the window exists.
  enum StartMode : int { kStartNothing = 0, kStartOpenSettings = 1, kStartShowBalloon = 2 };

  // The process's one main window on the real platform, made on first use and kept until the process
  // ends.
  static MainWnd& GetInstance();

  // A main window whose tray calls, system cursor calls and clock go where the caller says; the
  // single instance uses the real ones. The window itself is made with Create, as start-up does:
  //   Create(nullptr, L"", 0, WS_EX_TOOLWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)
  MainWnd(TrayShell& tray_shell, SystemCursors& system_cursors, WallClock clock);
  ~MainWnd() override;

  // Set by start-up before the window is created.
  void set_start_mode(int mode) { start_mode_ = mode; }
  // Shows the settings window, making it when none exists (or the last one was destroyed).
  void ShowSettingWnd();
  // NIM_ADD of the tray icon; again whenever the taskbar is re-created. A failed add is retried on
  // timer 3 (above).
  void AddTrayIcon();
  // The daily "alive" event with the whole days since start-up; re-arms timer 2 for the next midnight.
  void OnMidnightTimer();

  // --- WindowImplBase ---
  const wchar_t* GetWindowClassName() const override;
  void OnFinalMessage(HWND hwnd) override;
  void InitWindow() override;
  const wchar_t* GetSkinFile() override;
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

  // For tests: what the window owns now.
  CursorManager* cursor_manager() const { return cursor_manager_.get(); }
  PopMenu* pop_menu() const { return pop_menu_.get(); }
  SettingWnd* setting_wnd() const { return setting_wnd_; }
  const ShakeDetector& shake_detector() const { return shake_detector_; }
  UINT quit_message() const { return quit_message_; }
  UINT taskbar_created_message() const { return taskbar_created_message_; }
  int64_t online_days() const { return online_days_; }

 private:
  void OnTrayNotification(UINT notification, BOOL& handled);
  void OnRawInput(LPARAM input);
  void OnShake();
  void OnSettingChange();
  void Quit();
  void RemoveTrayIcon();
  void TryAddTrayIcon();
  void StopTrayRetries();
  void ShowBalloon();
  void StartMidnightTask();
  void CreateCursorManager();
  // Reloads the user's cursor scheme, broadcasting the change; the broadcast that comes back to this
  // window is its own and is not answered.
  void RestoreSystemCursors();
  void ReloadSchemeOnce();
  void OnSettingWndDestroyed(SettingWnd* window);

  TrayShell& tray_shell_;
  SystemCursors& system_cursors_;
  WallClock clock_;

  std::unique_ptr<CursorManager> cursor_manager_;
  int start_mode_ = kStartNothing;
  std::unique_ptr<PopMenu> pop_menu_;
  SettingWnd* setting_wnd_ = nullptr;
  UINT quit_message_ = 0;
  UINT taskbar_created_message_ = 0;
  int64_t online_days_ = 0;
  int64_t start_time_ = 0;
  ShakeDetector shake_detector_;

  HICON icon_ = nullptr;
  std::unique_ptr<TrayIcon> tray_icon_;
  // Whether a tray add waits on timer 3, and how many more may follow it.
  bool tray_retry_pending_ = false;
  int tray_retries_left_ = 0;
  // Whether the latest mouse report found shaking enabled, and whether the latest shake was vetoed by
  // a full-screen window in game mode: each state's log line is written as it begins, not per event.
  bool shake_enabled_ = true;
  bool full_screen_veto_ = false;
  // Set while this window's own scheme reload broadcasts WM_SETTINGCHANGE.
  bool reloading_scheme_ = false;

  DECLARE_NOTIFY_MAP()
};
