#pragma once

// The child window a windowed object is shown in ("ActiveXWnd"): it gives the object UI activation
// when it takes focus or is clicked, and prints the object (with a blinking caret line) into a
// layered window, which cannot show child windows by itself.
//
// Ownership: owned by the site (CActiveXCtrl), which destroys the window and deletes the object
// together. The window never outlives its site.

#include <windows.h>

#include "vellum/core/window/window_wnd.h"

namespace Vellum {

class CActiveXCtrl;

class CActiveXWnd final : public CWindowWnd {
 public:
  static constexpr UINT_PTR kCaretTimerId = 20;

  explicit CActiveXWnd(CActiveXCtrl* site);
  ~CActiveXWnd();

  // A child of the manager's paint window at an empty rectangle; null when it cannot be made.
  HWND Init(HWND parent);

  bool IsCaretShown() const { return caret_shown_; }

  const wchar_t* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  void DoVerb(LONG verb);
  void PrintObject(HDC dc);

  CActiveXCtrl* site_ = nullptr;
  int caret_ticks_ = 0;
  bool caret_shown_ = false;
};

}  // namespace Vellum
