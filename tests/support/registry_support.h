#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/scoped_reg_key.h"

namespace testing_support {

// Changes one registry value for a test and puts everything back at the end of the scope: the old
// data and type, or the value's absence, and any keys that had to be created for it.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, const std::wstring& sub_key, const std::wstring& value_name,
                      REGSAM view = KEY_WOW64_32KEY);
  ~ScopedRegistryValue();
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

  // REG_SZ with its terminator.
  bool SetString(const std::wstring& text);
  // Any type and exactly these bytes (no terminator is added).
  bool SetRaw(DWORD type, const void* data, DWORD size);
  bool SetDword(DWORD value) { return SetRaw(REG_DWORD, &value, sizeof(value)); }
  // Removes the value (the key stays).
  bool Remove();

 private:
  bool Open(ScopedRegKey* key);

  HKEY root_;
  std::wstring sub_key_;
  std::wstring value_name_;
  REGSAM view_;
  bool existed_ = false;
  DWORD old_type_ = 0;
  std::vector<BYTE> old_data_;
  // The outermost key that did not exist before, removed with its tree at the end.
  std::wstring created_key_;
};

}  // namespace testing_support
