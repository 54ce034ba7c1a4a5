#pragma once

// The native EDIT window of a CEditUI while it is being edited: a superclass of the system class
// "Edit" under the class name "EditWnd". Owned by itself (see native_child_window.h).

#include <windows.h>

#include "vellum/controls/native/destruction_watch.h"
#include "vellum/controls/native/native_child_window.h"

namespace Vellum {

class CEditUI;

class CEditWnd : public CNativeChildWindow {
 public:
  // Creates the window over the owner's text area with the owner's settings, shows it without
  // activation and gives it the focus. Null when the window could not be made.
  static CEditWnd* Open(CEditUI* owner);

  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void ForgetOwnerPointer() override;

 private:
  CEditWnd() = default;
  ~CEditWnd() override = default;

  bool Init(CEditUI* owner);
  CEditUI* Owner() const;

  bool initialised_ = false;
  // A "textchanged" handler may delete the control, and so this window.
  TDestructionMark mark_;
};

}  // namespace Vellum
