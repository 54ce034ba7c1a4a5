#pragma once

#include <windows.h>

namespace bench {

// A hidden tool window of a class registered here for it: what a benchmark needs to receive raw input
// or to stand for a program that waits in one window.
inline HWND CreateHiddenToolWindow(const wchar_t* class_name, WNDPROC procedure) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
  return CreateWindowExW(WS_EX_TOOLWINDOW, class_name, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace bench
