#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for the GDI and cursor handles of the cursor code: every early return releases what was
// made before it.

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
using ScopedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct ScreenDcDeleter {
  void operator()(HDC dc) const {
    if (dc != nullptr) ReleaseDC(nullptr, dc);
  }
};
using ScopedScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcDeleter>;

// GetIconInfo hands out copies of the cursor's two bitmaps that the caller must delete.
class ScopedIconInfo {
 public:
  ScopedIconInfo() = default;
  ScopedIconInfo(const ScopedIconInfo&) = delete;
  ScopedIconInfo& operator=(const ScopedIconInfo&) = delete;
  ~ScopedIconInfo() {
    if (info_.hbmMask != nullptr) DeleteObject(info_.hbmMask);
    if (info_.hbmColor != nullptr) DeleteObject(info_.hbmColor);
  }

  bool Read(HICON icon) { return icon != nullptr && GetIconInfo(icon, &info_) != FALSE; }
  const ICONINFO& get() const { return info_; }

 private:
  ICONINFO info_ = {};
};
