#pragma once

// A label that shows a date and time as text. While it has the focus (or is clicked), the system
// date-time picker, CDateTimeWnd, sits over it and edits its time; the label keeps the formatted
// text when the picker closes. The picker closes on Escape (putting back the time it started
// with), when a date is picked from its drop-down calendar, and when it loses the focus while the
// calendar is not dropped down.
//
// Ownership: the control is owned by its container. It holds a plain pointer to its native window,
// which owns itself (see native_child_window.h) and clears that pointer when it goes; a control
// destroyed while the picker is open detaches and destroys the picker first.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CDateTimeWnd;

class CDateTimeUI : public CLabelUI {
 public:
  CDateTimeUI();
  ~CDateTimeUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  const SYSTEMTIME& GetTime() const { return time_; }
  // Sets the time and shows it.
  void SetTime(const SYSTEMTIME& time);
  const CUIString& GetTimeFormat() const { return time_format_; }
  // The picker's display format; the label's text follows it as FormatDateTimeText says.
  void SetTimeFormat(const wchar_t* format);
  // Kept for skins that set it; the picker edits either way.
  bool IsReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  // Shows the time as text while a refresh is pending.
  void UpdateText();

  // The picker while it is open, else null.
  HWND GetNativeWindow() const;
  // Where the picker goes: the control's rectangle clipped by every ancestor.
  RECT GetNativeWindowRect() const;

 private:
  friend class CDateTimeWnd;

  enum : int { kNothingPending = 0, kRefreshText = 1 };

  void RefreshText();
  void OpenWindow();

  SYSTEMTIME time_{};
  int update_flag_ = kNothingPending;
  CUIString time_format_;
  CDateTimeWnd* window_ = nullptr;
  bool read_only_ = false;
};

}  // namespace Vellum
