#pragma once

// IPv4 addresses as the IP address controls show and edit them: the dotted text, and the octet
// editing of CIPAddressExUI (which octet a click activates, typed digits, arrows and the wheel).

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// "a.b.c.d" of an address whose first octet is the most significant byte.
CUIString FormatAddress(DWORD address);

// The octet (1 to 4) under a point `offset` pixels right of the left edge of a control `width`
// pixels wide: each octet owns a quarter.
int OctetAtOffset(int width, int offset);

// The decimal value of typed digits, clamped to 0..255.
int OctetFromDigits(const wchar_t* digits);

// Four octets, at most one of them active (taking digits, arrows and the wheel).
class COctetEditor {
 public:
  static constexpr int kNoOctet = 0;

  // Octet i, 1 to 4.
  int GetOctet(int index) const { return octets_[index - 1]; }
  // 0 while none is active.
  int GetActiveOctet() const { return active_; }
  const CUIString& GetTypedDigits() const { return typed_; }
  bool AllZero() const;
  // "a.b.c.d".
  CUIString GetText() const;

  void Deactivate() { active_ = kNoOctet; }
  // A press at that offset in a control of that width activates the octet under it, with no
  // digits typed yet.
  void Press(int width, int offset);
  // A wheel turn away from the user increments the active octet, one towards the user decrements
  // it; nothing happens while no octet is active.
  void Wheel(bool away_from_user);
  // A key went down. True when the active octet moved to another one.
  bool KeyDown(UINT virtual_key);

 private:
  void Step(int delta);
  void MoveTo(int octet);

  int octets_[4] = {0, 0, 0, 0};
  int active_ = kNoOctet;
  wchar_t last_digit_ = L'\0';
  CUIString typed_;
};

}  // namespace Vellum
