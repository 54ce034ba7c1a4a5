#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/balloon_texts.h"

// The tray icon's callback message to the main window; its lParam's low word is the mouse or
// notification message. The same value is the UI framework's deferred-work message, so the main
// window acts on its three tray notifications and passes every other 0x8001 on.
constexpr UINT kTrayCallbackMessage = 0x8001;
constexpr UINT kTrayIconId = 1;
constexpr UINT kBalloonTimeoutMs = 10000;
// "Lumavex (Lumavex)": the product name, then again in parentheses.
extern const wchar_t kTrayTip[];

// The record the shell is given: its full current layout (with the balloon icon), whose size the
// shell checks to know which fields it may read. A 32-bit program sends 956 bytes.
static_assert(sizeof(NOTIFYICONDATAW) == (sizeof(void*) == 4 ? 956 : 976), "NOTIFYICONDATAW layout");

// Shell_NotifyIconW, in one place: the shell shows nothing that can be read back (under Wine not even
// the tip or the balloon), so tests put a recorder here to see every record sent.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // message: NIM_ADD, NIM_MODIFY or NIM_DELETE.
  virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& record) = 0;
};

// The one that calls the shell.
TrayShell& RealTrayShell();

// The tray record's fields for each call. The main window keeps one record for the whole run: a call
// fills only what it needs, and what an earlier call set (icon, callback, tip) stays for later ones.

// Add (and add again after the taskbar was re-created): the window, id 1, NIF_MESSAGE | NIF_ICON |
// NIF_TIP, the callback message, the icon and the tip.
void FillAddRecord(NOTIFYICONDATAW* record, HWND window, HICON icon);
// Balloon: NIF_MESSAGE | NIF_ICON | NIF_INFO, information icon, 10 s, the title and text cut to the
// record's 63 and 255 characters.
void FillBalloonRecord(NOTIFYICONDATAW* record, const BalloonTexts& texts);
// Delete: only what names the icon (size, window, id).
NOTIFYICONDATAW MakeDeleteRecord(HWND window);

// The main window's tray icon: the kept record and the calls that send it. A failed call is not
// retried here: the main window tries a failed add again for a while, and again when the shell
// announces "TaskbarCreated".
class TrayIcon {
 public:
  TrayIcon(HWND window, HICON icon, TrayShell& shell = RealTrayShell());
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // NIM_ADD; at start-up and again whenever the taskbar is re-created.
  bool Add();
  // NIM_MODIFY with the balloon tip.
  bool ShowBalloon(const BalloonTexts& texts);
  // NIM_DELETE.
  bool Remove();

  const NOTIFYICONDATAW& record() const { return record_; }

 private:
  TrayShell& shell_;
  HWND window_;
  HICON icon_;
  NOTIFYICONDATAW record_;
};
