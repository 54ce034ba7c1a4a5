#pragma once

// The native hot-key window of a CHotKeyUI while it is being edited: a superclass of the system
// class "msctls_hotkey32" under the class name "HotKeyClass". Owned by itself (see
// native_child_window.h).

#include <windows.h>

#include "vellum/controls/native/destruction_watch.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CHotKeyUI;

class CHotKeyWnd : public CNativeChildWindow {
 public:
  // Creates the window over the owner's text area with the owner's combination, shows it without
  // activation and gives it the keyboard focus. Null when the window could not be made.
  static CHotKeyWnd* Open(CHotKeyUI* owner);

  void GetHotKey(WORD& virtual_key, WORD& modifiers) const;
  void SetHotKey(WORD virtual_key, WORD modifiers);
  CUIString GetHotKeyName() const;

  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void ForgetOwnerPointer() override;

 private:
  CHotKeyWnd() = default;
  ~CHotKeyWnd() override = default;

  bool Init(CHotKeyUI* owner);
  CHotKeyUI* Owner() const;
  void Paint();
  // Reads the combination into the owner and tells the window's notifiers.
  void ReportChange();

  bool active_ = false;
  // Set while a key passes through the system class, when it reported a change itself.
  bool change_reported_ = false;
  // A "textchanged" handler may delete the control, and so this window.
  TDestructionMark mark_;
};

}  // namespace Vellum
