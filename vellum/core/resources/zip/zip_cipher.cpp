#include "vellum/core/resources/zip/zip_cipher.h"

#include <zlib.h>

namespace Vellum {

namespace {

uint32_t Crc(uint32_t crc, BYTE b) {
  static const z_crc_t* table = get_crc_table();
  return table[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

}  // namespace

PkwareKeys::PkwareKeys(const char* password) {
  for (const char* p = password; *p; ++p) Update(static_cast<BYTE>(*p));
}

BYTE PkwareKeys::Decrypt(BYTE c) {
  const BYTE plain = c ^ StreamByte();
  Update(plain);
  return plain;
}

BYTE PkwareKeys::StreamByte() const {
  const uint32_t t = (keys_[2] | 2) & 0xFFFF;
  return static_cast<BYTE>((t * (t ^ 1)) >> 8);
}

void PkwareKeys::Update(BYTE c) {
  keys_[0] = Crc(keys_[0], c);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc(keys_[2], static_cast<BYTE>(keys_[1] >> 24));
}

}  // namespace Vellum
