#pragma once

// A label that reacts to the mouse and the keyboard and paints itself by state: one image per
// state (normal, hot, pushed, focused, disabled), hot and pushed fore images, per-state
// background, text and border colours and fonts, or one horizontal strip cut into equal state
// frames. Activating it sends "click" and may switch a tab layout to a bound page.

#include <windows.h>

#include "vellum/core/base_controls/label.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_text_block.h"

namespace Vellum {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  ~CButtonUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  bool Activate() override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkColor(HDC dc) override;
  void PaintStatusImage(HDC dc) override;
  void PaintForeImage(HDC dc) override;
  void PaintText(HDC dc) override;
  void PaintBorder(HDC dc) override;

  // --- virtual operations added by the button, in their fixed order ---
  virtual const wchar_t* GetNormalImage() const;
  virtual void SetNormalImage(const wchar_t* image);
  virtual const wchar_t* GetHotImage() const;
  virtual void SetHotImage(const wchar_t* image);
  virtual const wchar_t* GetPushedImage() const;
  virtual void SetPushedImage(const wchar_t* image);
  virtual const wchar_t* GetFocusedImage() const;
  virtual void SetFocusedImage(const wchar_t* image);
  virtual const wchar_t* GetDisabledImage() const;
  virtual void SetDisabledImage(const wchar_t* image);
  virtual const wchar_t* GetHotForeImage() const;
  virtual void SetHotForeImage(const wchar_t* image);
  virtual const wchar_t* GetPushedForeImage() const;
  virtual void SetPushedForeImage(const wchar_t* image);
  virtual const wchar_t* GetStateImage() const;
  virtual void SetStateImage(const wchar_t* image);

  UINT GetButtonState() const { return button_state_; }
  int GetStateCount() const { return state_count_; }
  void SetStateCount(int count);
  int GetBindTabLayoutIndex() const { return bind_tab_index_; }
  void BindTabIndex(int index);
  const wchar_t* GetBindTabLayoutName() const;
  void BindTabLayoutName(const wchar_t* name);
  // Selects the bound page (index >= 0) or the bound index (index < 0) of the bound tab layout.
  // A bound name that names anything but a tab layout is left alone.
  void BindTriggerTabSel(int index = -1);

  DWORD GetHotBkColor() const { return hot_bk_color_; }
  void SetHotBkColor(DWORD color);
  DWORD GetPushedBkColor() const { return pushed_bk_color_; }
  void SetPushedBkColor(DWORD color);
  DWORD GetDisabledBkColor() const { return disabled_bk_color_; }
  void SetDisabledBkColor(DWORD color);
  DWORD GetHotTextColor() const { return hot_text_color_; }
  void SetHotTextColor(DWORD color) { hot_text_color_ = color; }
  DWORD GetPushedTextColor() const { return pushed_text_color_; }
  void SetPushedTextColor(DWORD color) { pushed_text_color_ = color; }
  DWORD GetFocusedTextColor() const { return focused_text_color_; }
  void SetFocusedTextColor(DWORD color) { focused_text_color_ = color; }
  DWORD GetHotBorderColor() const { return hot_border_color_; }
  void SetHotBorderColor(DWORD color);
  DWORD GetPushedBorderColor() const { return pushed_border_color_; }
  void SetPushedBorderColor(DWORD color);
  DWORD GetDisabledBorderColor() const { return disabled_border_color_; }
  void SetDisabledBorderColor(DWORD color);
  int GetHotFont() const { return hot_font_; }
  void SetHotFont(int index);
  int GetPushedFont() const { return pushed_font_; }
  void SetPushedFont(int index);
  int GetFocusedFont() const { return focused_font_; }
  void SetFocusedFont(int index);

 protected:
  // Focused and disabled follow the control; with check_window a disabled window also clears
  // every bit but disabled.
  void RefreshState(bool check_window);
  // Cuts a strip image of count frames into the descriptions of its first four frames; false
  // when the strip's image cannot be had. with_corner carries the strip's corner rectangle over.
  bool CutStrip(const CUIString& strip, int count, bool with_corner, CUIString frames[4]);
  // Fills normal, hot and pushed (and disabled, when given) from the frames of a state strip of
  // count frames, once: nothing happens while normal is set or when the strip cannot be cut.
  void CutStateImages(const CUIString& strip, int count, bool with_corner, CUIString& normal,
                      CUIString& hot, CUIString& pushed, CUIString* disabled);
  // The border in the control base's manner, in the given colour.
  void DrawBorderIn(HDC dc, DWORD color);

  UINT button_state_ = 0;
  int hot_font_ = -1;
  int pushed_font_ = -1;
  int focused_font_ = -1;
  DWORD hot_bk_color_ = 0;
  DWORD pushed_bk_color_ = 0;
  DWORD disabled_bk_color_ = 0;
  DWORD hot_text_color_ = 0;
  DWORD pushed_text_color_ = 0;
  DWORD focused_text_color_ = 0;
  DWORD hot_border_color_ = 0;
  DWORD pushed_border_color_ = 0;
  DWORD disabled_border_color_ = 0;
  int state_count_ = 0;
  int bind_tab_index_ = -1;

 private:
  // The images and the bound tab layout's name. Most buttons set none of them (the parts of a tree
  // node or of a list row draw with colours only), so they live in a block made by the first
  // non-empty one; until then each reads empty, and clearing one makes no block.
  struct TButtonTexts {
    CUIString normal_image;
    CUIString hot_image;
    CUIString hot_fore_image;
    CUIString pushed_image;
    CUIString pushed_fore_image;
    CUIString focused_image;
    CUIString disabled_image;
    CUIString state_image;
    CUIString bind_tab_layout_name;
  };
  CUITextBlock<TButtonTexts> button_texts_;
};

}  // namespace Vellum
