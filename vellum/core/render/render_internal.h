#pragma once

// GDI helpers that the renderer's source files share and nobody else needs.

#include <windows.h>

namespace Vellum {

inline COLORREF ToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Restores the font of a DC when the scope ends.
class ScopedFont {
 public:
  ScopedFont(HDC dc, HFONT font) : dc_(dc), old_(font != nullptr ? SelectObject(dc, font) : nullptr) {}
  ~ScopedFont() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace Vellum
