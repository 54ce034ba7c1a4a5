#pragma once

// The system date-time picker of a CDateTimeUI while it is open: a superclass of
// "SysDateTimePick32" under the class name "DateTimeWnd". Owned by itself (see
// native_child_window.h).

#include <windows.h>

#include "vellum/controls/native/native_child_window.h"

namespace Vellum {

class CDateTimeUI;

class CDateTimeWnd : public CNativeChildWindow {
 public:
  // Creates the picker over the owner (clipped by its ancestors) with the owner's font. Null when
  // the picker class is missing or the window could not be made.
  static CDateTimeWnd* Open(CDateTimeUI* owner);

  // Hands the owner's format and time to the picker, remembers the time for Escape, shows the
  // picker without activation and gives it the keyboard focus.
  void Init();

  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void ForgetOwnerPointer() override;

 private:
  CDateTimeWnd() = default;
  ~CDateTimeWnd() override = default;

  CDateTimeUI* Owner() const;
  // Reads the picker's time into the owner and shows it.
  void ReadTime();
  // Whether the window taking the focus is the picker's own drop-down calendar.
  bool IsOwnCalendar(HWND focus) const;

  bool initialised_ = false;
  bool dropped_down_ = false;
  SYSTEMTIME saved_time_{};
};

}  // namespace Vellum
