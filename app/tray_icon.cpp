#include "app/tray_icon.h"

#include <cwchar>

const wchar_t kTrayTip[] = L"Lumavex (Lumavex)";

namespace {

class ShellTray final : public TrayShell {
 public:
  bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& record) override {
    return Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&record)) != FALSE;
  }
};

// Copies as much of text as fits, always terminated.
template <size_t N>
void CopyTruncated(wchar_t (&field)[N], const wchar_t* text) {
  const size_t length = wcsnlen(text, N - 1);
  wmemcpy(field, text, length);
  field[length] = L'\0';
}

}  // namespace

TrayShell& RealTrayShell() {
  static ShellTray shell;
  return shell;
}

void FillAddRecord(NOTIFYICONDATAW* record, HWND window, HICON icon) {
  record->cbSize = sizeof(NOTIFYICONDATAW);
  record->hWnd = window;
  record->uID = kTrayIconId;
  record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record->uCallbackMessage = kTrayCallbackMessage;
  record->hIcon = icon;
  CopyTruncated(record->szTip, kTrayTip);
}

void FillBalloonRecord(NOTIFYICONDATAW* record, const BalloonTexts& texts) {
  record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_INFO;
  record->dwInfoFlags = NIIF_INFO;
  record->uTimeout = kBalloonTimeoutMs;
  CopyTruncated(record->szInfoTitle, texts.title);
  CopyTruncated(record->szInfo, texts.text);
}

NOTIFYICONDATAW MakeDeleteRecord(HWND window) {
  NOTIFYICONDATAW record = {};
  record.cbSize = sizeof(NOTIFYICONDATAW);
  record.hWnd = window;
  record.uID = kTrayIconId;
  return record;
}

TrayIcon::TrayIcon(HWND window, HICON icon, TrayShell& shell)
    : shell_(shell), window_(window), icon_(icon), record_() {
  // Named from the start, so that a balloon asked for before the icon was added fails as a call for
  // a missing icon rather than going out with no window.
  record_.cbSize = sizeof(NOTIFYICONDATAW);
  record_.hWnd = window_;
  record_.uID = kTrayIconId;
}

bool TrayIcon::Add() {
  FillAddRecord(&record_, window_, icon_);
  return shell_.NotifyIcon(NIM_ADD, record_);
}

bool TrayIcon::ShowBalloon(const BalloonTexts& texts) {
  FillBalloonRecord(&record_, texts);
  return shell_.NotifyIcon(NIM_MODIFY, record_);
}

bool TrayIcon::Remove() { return shell_.NotifyIcon(NIM_DELETE, MakeDeleteRecord(window_)); }
