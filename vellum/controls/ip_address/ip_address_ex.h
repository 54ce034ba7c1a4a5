#pragma once

// An IPv4 address field that draws and edits its four octets itself: a click activates the octet
// under it, digits fill the active octet (moving on after three), the arrows, "." and the wheel
// move between or step octets. The active octet is drawn highlighted. The underlying edit is read
// only and never opens its native window.
//
// Ownership: the control is owned by its container.

#include <windows.h>

#include "vellum/controls/edit/edit.h"
#include "vellum/controls/ip_address/ip_octets.h"

namespace Vellum {

class CIPAddressExUI : public CEditUI {
 public:
  CIPAddressExUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void PaintText(HDC dc) override;

  const COctetEditor& GetOctets() const { return octets_; }

 private:
  void RefreshText();

  COctetEditor octets_;
};

}  // namespace Vellum
