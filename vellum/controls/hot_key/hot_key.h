#pragma once

// A label that lets the user type a key combination. While it has the focus, a native hot-key
// window, CHotKeyWnd, sits over its text area and takes the keys; the label shows the
// combination's readable name. The window closes when it loses the keyboard focus.
//
// Ownership: the control is owned by its container. It holds a plain pointer to its native window,
// which owns itself (see native_child_window.h) and clears that pointer when it goes; a control
// destroyed while editing detaches and destroys its window first.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CHotKeyWnd;

class CHotKeyUI : public CLabelUI {
 public:
  CHotKeyUI();
  ~CHotKeyUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetText(const wchar_t* text) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  void SetNormalImage(const wchar_t* image);
  void SetHotImage(const wchar_t* image);
  void SetFocusedImage(const wchar_t* image);
  void SetDisabledImage(const wchar_t* image);
  void SetNativeBkColor(DWORD color);
  DWORD GetNativeBkColor() const { return native_bk_color_; }

  // The current combination: a virtual key and HOTKEYF_ modifier bits.
  void GetHotKey(WORD& virtual_key, WORD& modifiers) const;
  // Sets the combination and shows its name (in the native window too while editing).
  void SetHotKey(WORD virtual_key, WORD modifiers);

  // The native window while editing, else null.
  HWND GetNativeWindow() const;
  // Where the native window goes: the text area less the padding, at most the font's height.
  RECT GetNativeWindowRect() const;

 private:
  friend class CHotKeyWnd;

  CHotKeyWnd* window_ = nullptr;
  UINT button_state_ = 0;
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString focused_image_;
  CUIString disabled_image_;
  DWORD native_bk_color_ = 0xFFFFFFFF;
  WORD key_ = 0;
  WORD modifiers_ = 0;
};

}  // namespace Vellum
