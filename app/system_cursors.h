#pragma once

#include <windows.h>

// The system-wide cursor calls of the cursor manager, in one place. Wine answers SetSystemCursor with
// success and changes nothing (so the system arrow never changes size there), and fails the scheme
// reload, so tests replace this to see every call and to play the system's part.
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
  // The side of the system arrow as it is now, which the enlarged cursor is built from. Once the arrow
  // has been replaced, this is the replacement's size, not the user's.
  virtual int ArrowSize() = 0;
};

// The one that calls user32.
SystemCursors& RealSystemCursors();
