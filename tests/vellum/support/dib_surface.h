#pragma once

// A top-down 32-bit DIB selected into a memory DC: the surface pixel tests paint into and read.

#include <windows.h>

#include <functional>

#include "vellum/core/render/render_engine.h"

namespace testing_support {

class Surface {
 public:
  Surface(int width, int height, DWORD fill) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BYTE* bits = nullptr;
    bitmap_ = Vellum::CRenderUI::Create32BitDib(dc_, width, -height, &bits);
    bits_ = reinterpret_cast<DWORD*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  void Fill(DWORD color) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = color;
  }
  void Paint(const std::function<DWORD(int x, int y)>& color) {
    GdiFlush();
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) bits_[y * width_ + x] = color(x, y);
    }
  }
  DWORD At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x];
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  DWORD* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace testing_support
