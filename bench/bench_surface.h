#pragma once

// What the framework benchmarks paint into and hang their managers on: a top-down 32-bit DIB
// selected into a memory DC, and a message-only window.

#include <windows.h>

#include "vellum/core/render/render_engine.h"

namespace bench {

class Canvas {
 public:
  Canvas(HDC reference, int width, int height) : dc(::CreateCompatibleDC(reference)) {
    BYTE* bits = nullptr;
    bitmap = Vellum::CRenderUI::Create32BitDib(reference, width, -height, &bits);
    old = ::SelectObject(dc, bitmap);
  }
  ~Canvas() {
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;

 private:
  HGDIOBJ old = nullptr;
};

inline LRESULT CALLBACK PassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of its own class: enough for a paint manager that never shows anything.
inline HWND MessageWindow(const wchar_t* class_name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = PassProc;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  ::RegisterClassExW(&window_class);
  return ::CreateWindowExW(0, class_name, L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, window_class.hInstance,
                           nullptr);
}

}  // namespace bench
