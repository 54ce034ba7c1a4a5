#pragma once

#include <windows.h>

// Owns an open registry key and closes it at the end of the scope.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { reset(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  // For the out-parameter of RegOpenKeyEx/RegCreateKeyEx: closes what is held and hands out the slot.
  HKEY* put() {
    reset();
    return &key_;
  }
  HKEY get() const { return key_; }
  void reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};
