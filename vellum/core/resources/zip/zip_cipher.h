#pragma once

#include <windows.h>

#include <cstdint>

namespace Vellum {

// The traditional PKWARE stream cipher of zip entries: three keys set up from the password, each
// decrypted byte feeding back into them.
class PkwareKeys {
 public:
  explicit PkwareKeys(const char* password);
  BYTE Decrypt(BYTE c);

 private:
  BYTE StreamByte() const;
  void Update(BYTE c);

  uint32_t keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

}  // namespace Vellum
