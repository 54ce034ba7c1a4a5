#pragma once

// The system IP address control of a CIPAddressUI: a superclass of "SysIPAddress32" under the
// class name "IPAddressWnd". It is hidden, not destroyed, when the focus leaves its fields, and
// destroyed when Back, Delete or Escape closes it. Owned by itself (see native_child_window.h).
//
// The keyboard focus lives in the control's four child edits, and their keys never reach the
// control's own window procedure: the edits are subclassed so that their key-ups of Back, Delete
// and Escape reach this window. The subclass is taken off again when the control's window is
// destroyed, before the control destroys its fields.
//
// The system control makes a font for its fields when it is created; the platform's control does
// not always delete it when it is destroyed (one font lost per window), so whatever of it is left
// goes with this object.

#include <windows.h>

#include "vellum/controls/native/native_child_window.h"

namespace Vellum {

class CIPAddressUI;

class CIPAddressWnd : public CNativeChildWindow {
 public:
  // Creates the native control over the owner's rectangle with the owner's font. Null when the
  // common controls could not register the class or the window could not be made.
  static CIPAddressWnd* Open(CIPAddressUI* owner);

  // Hands the owner's address to the native control (the local host's when the owner's text is
  // empty), shows it and gives it the keyboard focus.
  void Init();

  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void ForgetOwnerPointer() override;

 private:
  CIPAddressWnd() = default;
  ~CIPAddressWnd() override;

  CIPAddressUI* Owner() const;
  void SubclassFields();
  void UnsubclassFields();
  // A key-up of one of the fields, after the field handled it.
  void OnFieldKeyUp(WPARAM virtual_key);
  bool HasFocusInside() const;
  static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);

  bool initialised_ = false;
  // The font the system control made for its fields; not ours to use, only to clean up.
  HFONT field_font_ = nullptr;
};

}  // namespace Vellum
