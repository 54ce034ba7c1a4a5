#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for GDI objects, device contexts and the cursors and icons the program makes: every early
// return releases what was made before it.

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
// Any GDI object that DeleteObject frees: ScopedGdiObject<HBITMAP>, ScopedGdiObject<HRGN>, ...
template <typename Handle>
using ScopedGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

// A DC from GetDC(nullptr).
struct ScreenDcDeleter {
  void operator()(HDC dc) const {
    if (dc != nullptr) ReleaseDC(nullptr, dc);
  }
};
using ScopedScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcDeleter>;

// A DC from CreateCompatibleDC.
struct MemoryDcDeleter {
  void operator()(HDC dc) const {
    if (dc != nullptr) DeleteDC(dc);
  }
};
using ScopedMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// A cursor made by the program (CopyIcon, CreateIconIndirect), never a shared one from LoadCursor.
struct CursorDeleter {
  void operator()(HCURSOR cursor) const {
    if (cursor != nullptr) DestroyCursor(cursor);
  }
};
using ScopedCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;

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
