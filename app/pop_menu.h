#pragma once

#include <windows.h>

#include "vellum/core/window/window_impl_base.h"

// The small skinned menu that opens when the right mouse button is released on the tray icon: one item
// opens the settings, one quits (their captions are painted in their images). It does no work itself:
// a chosen item is sent to the main window as 0x8002 or 0x8003. Made once by the main window, which
// owns it, and only shown and hidden after that; WM_CLOSE never destroys it. UI thread only.
class PopMenu : public Vellum::WindowImplBase {
 public:
  explicit PopMenu(HWND main_window);

  // Places the menu beside the cursor, on the side away from the taskbar, and shows it with the focus;
  // a click anywhere else takes the focus away and hides it again.
  void ShowAtCursor();

  // --- WindowImplBase ---
  const wchar_t* GetWindowClassName() const override;
  void OnClick(Vellum::TUINotification& msg) override;
  const wchar_t* GetSkinFile() override;
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

 private:
  HWND main_window_;

  DECLARE_NOTIFY_MAP()
};

extern const wchar_t kPopMenuClassName[];  // L"LUMAVEX_POP_MENU"
