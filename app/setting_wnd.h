#pragma once

// The settings window: a fixed-size skinned dialog ("setting_wnd.xml") with three on/off switches
// (shake enlarging, start at logon, no enlarging in game mode), the scale factor between a minus
// and a plus button, and a close button. Every change is applied at once through Config, and the
// start-at-logon switch also creates or deletes the logon task.
//
// Ownership: the object deletes itself in OnFinalMessage, however its window ends (the close
// button, a WM_CLOSE from outside, the end of the program). Whoever keeps a pointer to it passes a
// DestroyedCallback and drops the pointer there. Enter, Escape and the system close command only
// hide the window. The controls belong to the window's control tree; the fields below only point
// into it.

#include <windows.h>

#include <functional>

#include "vellum/core/window/window_impl_base.h"

namespace Vellum {
class CButtonUI;
class CLabelUI;
class COptionUI;
}  // namespace Vellum

extern const wchar_t kSettingWndClassName[];  // L"LumavexSettingWnd"

class SettingWnd : public Vellum::WindowImplBase {
 public:
  // Runs in OnFinalMessage just before the object deletes itself, however the window was destroyed
  // (close button, WM_CLOSE from outside, end of program): the owner drops its pointer there.
  using DestroyedCallback = std::function<void(SettingWnd*)>;

  explicit SettingWnd(DestroyedCallback on_destroyed = nullptr);

  // Creates the window as the main window does: no owner, title L"设置 - Lumavex (Lumavex)",
  // WS_POPUP, WS_EX_APPWINDOW, default position and size; paint manager DPI = dpi; WM_SETICON
  // ICON_BIG icon (may be null). Returns the new object (deletes itself on destruction) or nullptr
  // when the window could not be made.
  static SettingWnd* Make(DestroyedCallback on_destroyed, int dpi, HICON icon);

  // Show: shows, activates, brings to the front and centres the window, and sends
  // "dialog_settings_show" (also when it was visible already). Hide: hides it and sends
  // "dialog_settings_close".
  void ShowWnd(bool show);

  const wchar_t* GetWindowClassName() const override;
  void OnFinalMessage(HWND hwnd) override;
  void InitWindow() override;
  void OnClick(Vellum::TUINotification& msg) override;
  const wchar_t* GetSkinFile() override;
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

 protected:
  // Only OnFinalMessage deletes the object.
  ~SettingWnd() override;

 private:
  void OnCloseButton();
  void OnMinus();
  void OnPlus();
  void OnEnableSwitch();
  void OnAutoStartSwitch();
  void OnGameModeSwitch();

  DestroyedCallback on_destroyed_;
  // Set by Make while the window is being created, to learn whether a failed creation has already
  // ended in OnFinalMessage (which deleted the object).
  bool* destroyed_flag_ = nullptr;
  Vellum::CLabelUI* scale_label_ = nullptr;
  Vellum::COptionUI* enable_switch_ = nullptr;
  Vellum::COptionUI* autostart_switch_ = nullptr;
  Vellum::COptionUI* gamemode_switch_ = nullptr;
  Vellum::CButtonUI* minus_button_ = nullptr;
  Vellum::CButtonUI* plus_button_ = nullptr;

  DECLARE_NOTIFY_MAP()
};
