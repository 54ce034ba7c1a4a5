#include "app/pop_menu.h"

#include "app/main_wnd.h"
#include "app/popup_placement.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/base/dpi_scaler.h"

const wchar_t kPopMenuClassName[] = L"LUMAVEX_POP_MENU";

namespace {

// Distance between the cursor and the menu's nearest corner, at 96 DPI.
constexpr int kCursorGap = 5;

}  // namespace

BEGIN_NOTIFY_MAP(PopMenu, Vellum::WindowImplBase)
END_NOTIFY_MAP()

PopMenu::PopMenu(HWND main_window) : main_window_(main_window) {}

const wchar_t* PopMenu::GetWindowClassName() const { return kPopMenuClassName; }

const wchar_t* PopMenu::GetSkinFile() { return L"pop_menu.xml"; }

void PopMenu::ShowAtCursor() {
  HWND hwnd = GetHWND();
  if (hwnd == nullptr) return;
  // The skin's size is read at the scale the window was built with (96 DPI: the main window sets the
  // menu's DPI only after creating it), so it is scaled here like every other skin value.
  Vellum::CDpiScaler* scaler = paint_manager_.GetDpiScaler();
  const SIZE size = scaler->Scale(paint_manager_.GetInitSize());
  const POINT at = PopupMenuPositionAtCursor(size, scaler->Scale(kCursorGap));
  SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  paint_manager_.Invalidate();
  ShowWindow(true, true);
  SetForegroundWindow(hwnd);
}

void PopMenu::OnClick(Vellum::TUINotification& msg) {
  if (msg.sender == nullptr) return;
  const Vellum::CUIString name = msg.sender->GetName();
  // The menu stays up here: it hides when it loses the focus to the settings window, or when the
  // program quits.
  if (name == L"tray_open_setting") {
    ::SendMessageW(main_window_, kOpenSettingsMessage, 0, 0);
  } else if (name == L"tray_open_quit") {
    ::SendMessageW(main_window_, kQuitMessage, 0, 0);
  }
}

LRESULT PopMenu::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = TRUE;
  return 0;
}

LRESULT PopMenu::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == VK_RETURN || wParam == VK_ESCAPE) ShowWindow(false);
  handled = TRUE;
  return 0;
}

LRESULT PopMenu::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  ShowWindow(false);
  handled = FALSE;
  return 0;
}
