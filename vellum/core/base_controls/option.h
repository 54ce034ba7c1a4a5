#pragma once

// A button with a selected state. Options sharing a group name form a radio group kept by the
// paint manager: selecting one deselects the others (those of the same non-empty group type
// excepted). Without a group an option toggles. A selected option paints with its own images,
// background colour, text colour, font and fore image. A check box is an option that can check
// itself on button down and keeps its own group rule.

#include <windows.h>

#include "vellum/core/base_controls/button.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_text_block.h"

namespace Vellum {

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  // A grouped option leaves its manager's group.
  ~COptionUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  bool Activate() override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkColor(HDC dc) override;
  void PaintStatusImage(HDC dc) override;
  void PaintForeImage(HDC dc) override;
  void PaintText(HDC dc) override;

  // --- virtual operations added by the option, in their fixed order ---
  virtual const wchar_t* GetSelectedStateImage() const;
  virtual void SetSelectedStateImage(const wchar_t* image);
  virtual void Selected(bool selected, bool notify = true);

  bool IsSelected() const { return selected_; }
  const wchar_t* GetGroup() const;
  void SetGroup(const wchar_t* name);
  const wchar_t* GetGroupType() const;
  void SetGroupType(const wchar_t* type);

  const wchar_t* GetSelectedImage() const;
  void SetSelectedImage(const wchar_t* image);
  const wchar_t* GetSelectedHotImage() const;
  void SetSelectedHotImage(const wchar_t* image);
  const wchar_t* GetSelectedPushedImage() const;
  void SetSelectedPushedImage(const wchar_t* image);
  const wchar_t* GetSelectedForeImage() const;
  void SetSelectedForeImage(const wchar_t* image);
  int GetSelectedStateCount() const { return selected_state_count_; }
  void SetSelectedStateCount(int count);
  DWORD GetSelectedBkColor() const { return selected_bk_color_; }
  void SetSelectedBkColor(DWORD color) { selected_bk_color_ = color; }
  DWORD GetSelectedTextColor() const { return selected_text_color_; }
  void SetSelectedTextColor(DWORD color) { selected_text_color_ = color; }
  int GetSelectedFont() const { return selected_font_; }
  void SetSelectedFont(int index);

 protected:
  bool selected_ = false;
  int selected_font_ = -1;
  DWORD selected_bk_color_ = 0;
  DWORD selected_text_color_ = 0;
  int selected_state_count_ = 0;

 private:
  // The group and the selected look's images. Most options have neither (the parts of a tree node
  // among them), so they live in a block made by the first non-empty one; until then each reads
  // empty, and clearing one makes no block.
  struct TOptionTexts {
    CUIString group_name;
    CUIString group_type;
    CUIString selected_image;
    CUIString selected_hot_image;
    CUIString selected_pushed_image;
    CUIString selected_fore_image;
    CUIString selected_state_image;
  };
  CUITextBlock<TOptionTexts> option_texts_;
};

class CCheckBoxUI : public COptionUI {
 public:
  CCheckBoxUI();
  ~CCheckBoxUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void Selected(bool selected, bool notify = true) override;

  bool GetCheck() const { return selected_; }
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
  bool IsAutoCheck() const { return auto_check_; }
  void SetAutoCheck(bool auto_check) { auto_check_ = auto_check; }

 private:
  bool auto_check_ = false;
};

}  // namespace Vellum
