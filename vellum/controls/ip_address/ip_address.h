#pragma once

// A label that shows an IPv4 address as "a.b.c.d". While it has the focus (or is clicked), the
// system IP address control, CIPAddressWnd, sits over it and edits the address. The label starts
// with the local host's address. Back or Delete in the native control empties the label, Escape
// leaves it as it was; either closes the native control. When the focus leaves the native
// control's fields, the label takes the edited address and the native control is hidden, to be
// shown again for the next edit.
//
// Ownership: the control is owned by its container. It holds a plain pointer to its native window,
// which owns itself (see native_child_window.h) and clears that pointer when it goes; the control
// detaches and destroys that window, shown or hidden, when it is destroyed.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CIPAddressWnd;

class CIPAddressUI : public CLabelUI {
 public:
  CIPAddressUI();
  ~CIPAddressUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;

  // First octet in the most significant byte.
  DWORD GetIP() const { return address_; }
  // Sets the address and shows it.
  void SetIP(DWORD address);
  // Applies the pending refresh: the address as text, or an empty text.
  void UpdateText();

  // The native window, shown or hidden, while it exists; else null.
  HWND GetNativeWindow() const;

 private:
  friend class CIPAddressWnd;

  enum : int { kNothingPending = 0, kRefreshText = 1, kEmptyText = 2, kCancelled = 3 };

  void OpenWindow();

  DWORD address_ = 0;
  int update_flag_ = kNothingPending;
  CIPAddressWnd* window_ = nullptr;
};

}  // namespace Vellum
