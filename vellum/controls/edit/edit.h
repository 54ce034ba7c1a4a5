#pragma once

// A single-line text input. While it is not being edited it paints itself (state images, its text,
// a tip text while empty, one password character per character in password mode); on focus it
// places a native EDIT window, CEditWnd, over its text area, which does the editing and reports
// every change ("textchanged") and the Return key ("return"), and closes when it loses the
// keyboard focus.
//
// Ownership: the control is owned by its container. It holds a plain pointer to its native window,
// which owns itself (see native_child_window.h) and clears that pointer when it goes; a control
// destroyed while editing detaches and destroys its window first.

#include <windows.h>

#include "vellum/core/base_controls/label.h"

namespace Vellum {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool enable = true) override;
  void SetText(const wchar_t* text) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

  int GetMaxChar() const { return max_char_; }
  void SetMaxChar(int max_char);
  bool IsReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);
  bool IsNumberOnly() const { return (extra_styles_ & ES_NUMBER) != 0; }
  void SetNumberOnly(bool number_only);
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool password);
  wchar_t GetPasswordChar() const { return password_char_; }
  void SetPasswordChar(wchar_t ch);
  bool IsAutoSelAll() const { return auto_sel_all_; }
  void SetAutoSelAll(bool auto_sel_all);

  const CUIString& GetNormalImage() const { return normal_image_; }
  void SetNormalImage(const wchar_t* image);
  const CUIString& GetHotImage() const { return hot_image_; }
  void SetHotImage(const wchar_t* image);
  const CUIString& GetFocusedImage() const { return focused_image_; }
  void SetFocusedImage(const wchar_t* image);
  const CUIString& GetDisabledImage() const { return disabled_image_; }
  void SetDisabledImage(const wchar_t* image);

  // The tip text; with resource text, the text the resource store holds under it.
  CUIString GetTipValue() const;
  void SetTipValue(const wchar_t* tip);
  DWORD GetTipValueColor() const { return tip_color_; }
  void SetTipValueColor(DWORD color);
  DWORD GetNativeTextColor() const { return native_text_color_; }
  void SetNativeTextColor(DWORD color) { native_text_color_ = color; }
  DWORD GetNativeBkColor() const { return native_bk_color_; }
  void SetNativeBkColor(DWORD color);

  // The native window while editing, else null.
  HWND GetNativeWindow() const;
  // Where the native window goes: the text area, clipped by every ancestor.
  RECT GetNativeWindowRect() const;

 private:
  friend class CEditWnd;

  void OpenWindow();

  CEditWnd* window_ = nullptr;
  int max_char_ = 255;
  bool read_only_ = false;
  bool password_ = false;
  bool auto_sel_all_ = false;
  wchar_t password_char_ = L'*';
  UINT button_state_ = 0;
  CUIString normal_image_;
  CUIString hot_image_;
  CUIString focused_image_;
  CUIString disabled_image_;
  CUIString tip_;
  DWORD tip_color_ = 0xFFBAC0C5;
  DWORD native_bk_color_ = 0xFFFFFFFF;
  DWORD native_text_color_ = 0;
  UINT extra_styles_ = 0;
};

// What a self-drawn edit shows for its text in password mode: one password character per
// character, characters counted as CharNextW steps.
CUIString MaskPasswordText(const wchar_t* text, wchar_t password_char);

}  // namespace Vellum
