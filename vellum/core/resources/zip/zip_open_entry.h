#pragma once

// The entry a CZipReader has open for extraction: its decryption and inflation state. Shared by the
// reader's sources only.

#include <zlib.h>

#include <memory>

#include "vellum/core/resources/zip/zip_cipher.h"
#include "vellum/core/resources/zip/zip_reader.h"

namespace Vellum {

constexpr unsigned int kZipPieceSize = 16 * 1024;

struct CZipReader::OpenEntry {
  int index = -1;
  int method = 0;
  bool encrypted = false;
  std::unique_ptr<PkwareKeys> keys;
  z_stream inflater{};
  bool inflater_ready = false;
  bool input_done = false;
  ULONGLONG remaining = 0;  // uncompressed bytes still expected
  uLong crc = 0;
  uLong expected_crc = 0;
  BYTE input[kZipPieceSize];

  ~OpenEntry() {
    if (inflater_ready) inflateEnd(&inflater);
  }
};

}  // namespace Vellum
