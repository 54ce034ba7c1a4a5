#include "vellum/core/base_controls/option.h"

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_ptr_array.h"

namespace Vellum {
COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
  const wchar_t* group = GetGroup();
  if (group[0] != L'\0' && manager_) manager_->RemoveOptionGroup(group, this);
}

CControlUI* COptionUI::CreateControl() { return new COptionUI(); }

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Option") == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CButtonUI::SetManager(manager, parent, init);
  const wchar_t* group = GetGroup();
  if (init && group[0] != L'\0' && manager_) manager_->AddOptionGroup(group, this);
}

const wchar_t* COptionUI::GetGroup() const {
  return option_texts_.Get(&TOptionTexts::group_name).GetData();
}

void COptionUI::SetGroup(const wchar_t* name) {
  const CUIString& old_group = option_texts_.Get(&TOptionTexts::group_name);
  if (name == nullptr) {
    if (old_group.IsEmpty()) return;
  } else if (old_group == name) {
    return;
  }
  if (!old_group.IsEmpty() && manager_) manager_->RemoveOptionGroup(old_group.GetData(), this);
  option_texts_.Store(&TOptionTexts::group_name, name);
  // Read again: the first group makes the block the name now lives in.
  const wchar_t* group = GetGroup();
  if (group[0] != L'\0' && manager_) manager_->AddOptionGroup(group, this);
  Selected(selected_, true);
}

const wchar_t* COptionUI::GetGroupType() const {
  return option_texts_.Get(&TOptionTexts::group_type).GetData();
}

void COptionUI::SetGroupType(const wchar_t* type) {
  option_texts_.Store(&TOptionTexts::group_type, type);
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  Selected(GetGroup()[0] == L'\0' ? !selected_ : true, true);
  Invalidate();
  return true;
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected_) {
    button_state_ |= UISTATE_SELECTED;
  } else {
    button_state_ &= ~UISTATE_SELECTED;
  }
  if (manager_) {
    const wchar_t* group_name = GetGroup();
    if (group_name[0] != L'\0' && selected_) {
      const CUIString& group_type = option_texts_.Get(&TOptionTexts::group_type);
      CUIPtrArray* group = manager_->GetOptionGroup(group_name);
      for (int i = 0; group && i < group->GetSize(); ++i) {
        auto* member = static_cast<COptionUI*>(group->GetAt(i));
        if (member == this) continue;
        // Members sharing this option's non-empty group type may be selected together.
        if (group_type.IsEmpty() || group_type.CompareNoCase(member->GetGroupType()) != 0) {
          member->Selected(false, notify);
        }
      }
    }
    if (notify) manager_->SendNotify(this, L"selectchanged", 0, 0, false);
  }
  Invalidate();
}

const wchar_t* COptionUI::GetSelectedStateImage() const {
  return option_texts_.Get(&TOptionTexts::selected_state_image).GetData();
}
void COptionUI::SetSelectedStateImage(const wchar_t* image) {
  option_texts_.Store(&TOptionTexts::selected_state_image, image);
  Invalidate();
}
const wchar_t* COptionUI::GetSelectedImage() const {
  return option_texts_.Get(&TOptionTexts::selected_image).GetData();
}
void COptionUI::SetSelectedImage(const wchar_t* image) {
  option_texts_.Store(&TOptionTexts::selected_image, image);
  Invalidate();
}
const wchar_t* COptionUI::GetSelectedHotImage() const {
  return option_texts_.Get(&TOptionTexts::selected_hot_image).GetData();
}
void COptionUI::SetSelectedHotImage(const wchar_t* image) {
  option_texts_.Store(&TOptionTexts::selected_hot_image, image);
  Invalidate();
}
const wchar_t* COptionUI::GetSelectedPushedImage() const {
  return option_texts_.Get(&TOptionTexts::selected_pushed_image).GetData();
}
void COptionUI::SetSelectedPushedImage(const wchar_t* image) {
  option_texts_.Store(&TOptionTexts::selected_pushed_image, image);
  Invalidate();
}
const wchar_t* COptionUI::GetSelectedForeImage() const {
  return option_texts_.Get(&TOptionTexts::selected_fore_image).GetData();
}
void COptionUI::SetSelectedForeImage(const wchar_t* image) {
  option_texts_.Store(&TOptionTexts::selected_fore_image, image);
  Invalidate();
}
void COptionUI::SetSelectedStateCount(int count) {
  selected_state_count_ = count;
  Invalidate();
}
void COptionUI::SetSelectedFont(int index) {
  selected_font_ = index;
  Invalidate();
}

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"group") == 0) {
    SetGroup(value);
  } else if (_wcsicmp(name, L"grouptype") == 0) {
    SetGroupType(value);
  } else if (_wcsicmp(name, L"selected") == 0) {
    Selected(ParseAttributeBool(value), true);
  } else if (_wcsicmp(name, L"selectedimage") == 0) {
    SetSelectedImage(value);
  } else if (_wcsicmp(name, L"selectedhotimage") == 0) {
    SetSelectedHotImage(value);
  } else if (_wcsicmp(name, L"selectedpushedimage") == 0) {
    SetSelectedPushedImage(value);
  } else if (_wcsicmp(name, L"selectedforeimage") == 0) {
    SetSelectedForeImage(value);
  } else if (_wcsicmp(name, L"selectedstateimage") == 0) {
    SetSelectedStateImage(value);
  } else if (_wcsicmp(name, L"selectedstatecount") == 0) {
    SetSelectedStateCount(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"selectedbkcolor") == 0) {
    SetSelectedBkColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"selectedtextcolor") == 0) {
    SetSelectedTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"selectedfont") == 0) {
    SetSelectedFont(ParseAttributeInt(value));
  } else {
    CButtonUI::SetAttribute(name, value);
  }
}

void COptionUI::PaintBkColor(HDC dc) {
  if (!selected_) {
    CButtonUI::PaintBkColor(dc);
    return;
  }
  if (selected_bk_color_ != 0) {
    CRenderUI::DrawColor(dc, paint_rect_, GetAdjustColor(selected_bk_color_));
  }
}

void COptionUI::PaintStatusImage(HDC dc) {
  if (!selected_ || !IsEnabled()) {
    CButtonUI::PaintStatusImage(dc);
    return;
  }
  // Without the block the selected look has no image to draw.
  TOptionTexts* found = option_texts_.Find();
  if (!found) return;
  TOptionTexts& texts = *found;
  // The selected look has no disabled frame: a disabled option paints the button's images.
  CutStateImages(texts.selected_state_image, selected_state_count_, true, texts.selected_image,
                 texts.selected_hot_image, texts.selected_pushed_image, nullptr);
  if ((button_state_ & UISTATE_PUSHED) != 0 && !texts.selected_pushed_image.IsEmpty()) {
    if (DrawImage(dc, texts.selected_pushed_image.GetData())) return;
  } else if ((button_state_ & UISTATE_HOT) != 0 && !texts.selected_hot_image.IsEmpty()) {
    if (DrawImage(dc, texts.selected_hot_image.GetData())) return;
  }
  if (!texts.selected_image.IsEmpty()) DrawImage(dc, texts.selected_image.GetData());
}

void COptionUI::PaintForeImage(HDC dc) {
  const wchar_t* selected_fore = GetSelectedForeImage();
  if (selected_ && selected_fore[0] != L'\0' && DrawImage(dc, selected_fore)) return;
  CButtonUI::PaintForeImage(dc);
}

void COptionUI::PaintText(HDC dc) {
  if ((button_state_ & UISTATE_SELECTED) == 0) {
    CButtonUI::PaintText(dc);
    return;
  }
  ResolveDefaultColors();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  const RECT rect = GetTextRect();
  const DWORD enabled_colour = selected_text_color_ != 0 ? selected_text_color_ : text_color_;
  const int font = selected_font_ != -1 ? selected_font_ : font_;
  DrawLabelText(dc, rect, text, IsEnabled() ? enabled_colour : disabled_text_color_, font);
}

// ---- Check box ------------------------------------------------------------------------------------

CCheckBoxUI::CCheckBoxUI() = default;
CCheckBoxUI::~CCheckBoxUI() = default;

CControlUI* CCheckBoxUI::CreateControl() { return new CCheckBoxUI(); }

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"CheckBox") == 0) return this;
  return COptionUI::GetInterface(name);
}

void CCheckBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"EnableAutoCheck") == 0) SetAutoCheck(ParseAttributeBool(value));
  COptionUI::SetAttribute(name, value);
}

void CCheckBoxUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CButtonUI::DoEvent(event);
    }
    return;
  }
  if (auto_check_ && (event.type == UIEVENT_BUTTONDOWN || event.type == UIEVENT_DBLCLICK)) {
    if (::PtInRect(&item_rect_, event.mouse_point) && IsEnabled()) {
      Selected(!selected_, true);
      if (manager_) manager_->SendNotify(this, L"checkclick", 0, 0, false);
      Invalidate();
    }
    return;
  }
  CButtonUI::DoEvent(event);
}

void CCheckBoxUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected_) {
    button_state_ |= UISTATE_SELECTED;
  } else {
    button_state_ &= ~UISTATE_SELECTED;
  }
  const wchar_t* group_name = GetGroup();
  if (manager_ && group_name[0] != L'\0') {
    if (!selected_) {
      Invalidate();
      return;
    }
    CUIPtrArray* group = manager_->GetOptionGroup(group_name);
    for (int i = 0; group && i < group->GetSize(); ++i) {
      auto* member = static_cast<COptionUI*>(group->GetAt(i));
      if (member != this) member->Selected(false, notify);
    }
  }
  if (manager_ && notify) {
    manager_->SendNotify(this, L"selectchanged", selected_ ? 1 : 0, 0, false);
  }
  Invalidate();
}

}  // namespace Vellum
