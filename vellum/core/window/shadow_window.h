#pragma once

// A soft drop shadow for a framework window, drawn in a separate layered, click-through popup that
// sits directly behind its parent and follows it. The shadow is computed from the parent's shape
// (colour mode) or drawn from a nine-grid image (image mode, once an image is set).
//
// Ownership: each paint manager owns one CShadowUI as a member; the shadow window belongs to the
// parent (destroyed with it). The parent's window procedure is subclassed while the shadow lives;
// a process-wide map finds the shadow of a parent from that procedure.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CPaintManagerUI;

class CShadowUI {
 public:
  static constexpr BYTE kStatusEnabled = 1;
  static constexpr BYTE kStatusVisible = 2;
  static constexpr BYTE kStatusParentVisible = 4;

  CShadowUI() = default;
  virtual ~CShadowUI();
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // Creates the shadow window for the manager's window when a shadow is wanted. A second call for
  // the same window only redraws the shadow.
  void Create(CPaintManagerUI* manager);

  void ShowShadow(bool show);
  bool IsShowShadow() const { return show_; }

  // Each refuses a value out of range (false, nothing changed); otherwise it stores the value and
  // redraws a visible shadow at once.
  bool SetSize(int size);                   // -35..35
  bool SetSharpness(unsigned int sharpness);  // 0..35
  bool SetDarkness(unsigned int darkness);  // 0..255
  bool SetPosition(int x, int y);           // each -35..35
  bool SetColor(COLORREF color);            // 0xRRGGBB
  bool SetShadowCorner(RECT corner);        // each >= 0
  bool SetImage(const wchar_t* image);      // non-null; turns image mode on

  // Hands this shadow's look to other (a pop-up that should look like its owner): in image mode
  // image, corner and size, in colour mode size, sharpness, darkness, colour and position; then
  // the show flag.
  bool CopyShadow(CShadowUI* other);

  // Registers the "TovelShadowWnd" class once per process.
  static bool RegisterShadowWindowClass(HINSTANCE instance);

  HWND GetHWND() const { return window_; }
  BYTE GetStatus() const { return status_; }
  bool IsUpdatePending() const { return update_pending_; }
  int GetSize() const { return size_; }
  int GetSharpness() const { return sharpness_; }
  BYTE GetDarkness() const { return darkness_; }

 private:
  static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnParentMessage(HWND parent, UINT message, WPARAM wparam, LPARAM lparam);
  void Update(HWND parent);
  bool PaintImage(HDC dc, int width, int height);
  void PaintColor(HWND parent, DWORD* pixels, int width, int height);
  void Redraw();  // after a setter: an immediate update of a visible shadow
  void MoveShadow(HWND parent);
  void ShowShadowWindow(HWND parent, bool update);
  void HideShadowWindow(bool clear_parent_visible);

  CPaintManagerUI* manager_ = nullptr;
  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  WNDPROC parent_proc_ = nullptr;
  BYTE status_ = 0;
  bool show_ = false;
  BYTE darkness_ = 150;
  BYTE sharpness_ = 5;
  signed char size_ = 0;
  signed char x_offset_ = 0;
  signed char y_offset_ = 0;
  LPARAM last_parent_size_ = 0;
  bool update_pending_ = false;
  DWORD color_ = 0;
  CUIString image_;
  RECT corner_{};
  bool image_mode_ = false;
};

}  // namespace Vellum
