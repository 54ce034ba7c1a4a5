#pragma once

#include <windows.h>

// The system-wide cursor calls of the cursor manager, in one place. Wine answers SetSystemCursor with
// success and changes nothing, and fails the scheme reload, so tests replace this to see every call.
class SystemCursors {
 public:
  virtual ~SystemCursors() = default;

  // CopyIcon and DestroyCursor: the manager's own handles.
  virtual HCURSOR Copy(HCURSOR cursor) = 0;
  virtual void Destroy(HCURSOR cursor) = 0;
  // SetSystemCursor: the system takes ownership of `cursor`, whatever the outcome.
  virtual bool Set(HCURSOR cursor, DWORD id) = 0;
  // SPI_SETCURSORS: reloads the user's cursor scheme; send_change also broadcasts WM_SETTINGCHANGE.
  virtual bool ReloadScheme(bool send_change) = 0;
};

// The one that calls user32.
SystemCursors& RealSystemCursors();
