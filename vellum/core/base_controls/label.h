#pragma once

// A control that draws one text (plain or tagged) inside its rectangle with its own alignment,
// font, colours and text padding, and that measures its text to size itself: automatic width for
// single-line text, automatic height for multi-line text. The base of the button family.

#include <windows.h>

#include "vellum/core/manager/control.h"

namespace Vellum {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  void SetText(const wchar_t* text) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintText(HDC dc) override;

  // --- virtual operations added by the label, in their fixed order ---
  virtual bool GetAutoCalcWidth() const;
  virtual void SetAutoCalcWidth(bool auto_width);
  virtual bool GetAutoCalcHeight() const;
  virtual void SetAutoCalcHeight(bool auto_height);

  UINT GetTextStyle() const { return text_style_; }
  void SetTextStyle(UINT style);
  DWORD GetTextColor() const { return text_color_; }
  void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return disabled_text_color_; }
  void SetDisabledTextColor(DWORD color);
  int GetFont() const { return font_; }
  void SetFont(int index);
  // Scaled through the attached manager; stored as written.
  RECT GetTextPadding() const;
  void SetTextPadding(RECT padding);
  bool IsShowHtml() const { return show_html_; }
  void SetShowHtml(bool show_html = true);

 protected:
  // A colour left at 0 takes the manager's current default, once, at the first paint.
  void ResolveDefaultColors();
  // The item rectangle less the text padding: where the text is drawn.
  RECT GetTextRect() const;
  // Draws text in rect with the label's style through the plain or the tagged text path.
  void DrawLabelText(HDC dc, RECT rect, const CUIString& text, DWORD color, int font);

  DWORD text_color_ = 0;
  DWORD disabled_text_color_ = 0;
  int font_ = -1;
  UINT text_style_ = DT_SINGLELINE | DT_VCENTER;
  RECT text_padding_{0, 0, 0, 0};
  bool show_html_ = false;
  bool auto_calc_width_ = false;
  bool auto_calc_height_ = false;
  SIZE last_available_{0, 0};
  SIZE estimated_{0, 0};
  bool estimate_needed_ = false;
};

}  // namespace Vellum
