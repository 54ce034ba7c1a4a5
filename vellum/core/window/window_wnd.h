#pragma once

// Wraps one window handle: registers the window class (or a superclass of an existing class),
// creates the window with the object as creation parameter and routes every message of the window
// to the object's virtual HandleMessage. The object lives before and after its window: the handle
// is null until WM_NCCREATE and null again at WM_NCDESTROY, after which OnFinalMessage is the last
// call that concerns the window (a derived class may delete itself there).

#include <windows.h>

namespace Vellum {

class CWindowWnd {
 public:
  CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  bool RegisterWindowClass();
  bool RegisterSuperclass();

  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD ex_style,
              int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
              int cy = CW_USEDEFAULT, HMENU menu = nullptr);
  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD ex_style, const RECT& rect,
              HMENU menu = nullptr);

  void ShowWindow(bool show = true, bool take_focus = true);
  // Posts WM_CLOSE with the result as wParam.
  void Close(UINT result = IDOK);
  void CenterWindow();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // --- virtual operations, in their fixed order ---
  virtual const wchar_t* GetWindowClassName() const = 0;
  // Null: an own class is registered; else the existing class of that name is superclassed.
  virtual const wchar_t* GetSuperClassName() const;
  virtual UINT GetClassStyle() const;
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void OnFinalMessage(HWND hwnd);

 protected:
  // Deliberately not virtual: window objects are deleted through their own type.
  ~CWindowWnd() = default;

  static LRESULT CALLBACK __WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK __ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC old_wnd_proc_ = ::DefWindowProcW;
};

// The virtual screen, every monitor included: the largest size the framework gives a window. Nothing
// larger could be seen, and some window systems fail on a window of such a size.
SIZE ScreensExtent();

}  // namespace Vellum
