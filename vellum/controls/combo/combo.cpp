#include "vellum/controls/combo/combo.h"

#include "vellum/controls/combo/combo_wnd.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

bool Contains(const wchar_t* value, const wchar_t* word) { return wcsstr(value, word) != nullptr; }

IListItemUI* AsRow(CControlUI* control) {
  return control ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

// A row handed elsewhere must not call the combo it left, which may go first.
void LetRowGo(CControlUI* control, IListOwnerUI* combo) {
  IListItemUI* row = AsRow(control);
  if (row != nullptr && row->GetOwner() == combo) row->SetOwner(nullptr);
}

}  // namespace

CComboUI::CComboUI() {
  // Rows of a combo centre their text vertically but may wrap it.
  list_info_.text_style = DT_VCENTER;
}

CComboUI::~CComboUI() {
  // The rows die with this container; an open drop-down must give them back and stop talking to
  // the combo before that.
  if (CComboWnd* drop_down = drop_down_) {
    drop_down->ReturnRows();
    drop_down->Detach();
    drop_down_ = nullptr;
    ::DestroyWindow(drop_down->GetHWND());
  }
}

CControlUI* CComboUI::CreateControl() { return new CComboUI(); }

const wchar_t* CComboUI::GetClass() const { return L"ComboUI"; }

LPVOID CComboUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Combo") == 0) return static_cast<CComboUI*>(this);
  if (name && _wcsicmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return UIFLAG_TABSTOP | UIFLAG_SETCURSOR; }

CUIString CComboUI::GetText() const {
  if (cur_sel_ < 0) return CContainerUI::GetText();
  CControlUI* row = GetItemAt(cur_sel_);
  return row ? row->GetText() : CContainerUI::GetText();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (manager_) manager_->SendNotify(this, L"predropdown");
  if (drop_down_) return true;
  drop_down_ = new CComboWnd();
  if (!drop_down_->Init(this)) {
    // Init deletes the object when its window could not be made.
    drop_down_ = nullptr;
    return true;
  }
  if (manager_) manager_->SendNotify(this, L"dropdown");
  Invalidate();
  return true;
}

void CComboUI::OnDropDownGone() {
  drop_down_ = nullptr;
  button_state_ &= ~UICOMBO_STATE_PUSHED;
  Invalidate();
}

void CComboUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CComboUI::SetPos(RECT rect, bool invalidate) {
  if (::EqualRect(&rect, &item_rect_)) return;
  if (drop_down_) drop_down_->Close(1);
  // Rows are laid out only in the drop-down, never inside the combo.
  const RECT empty{0, 0, 0, 0};
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetPos(empty, false);
  CControlUI::SetPos(rect, invalidate);
}

void CComboUI::Move(SIZE offset, bool invalidate) { CControlUI::Move(offset, invalidate); }

SIZE CComboUI::EstimateSize(SIZE available) {
  if (GetFixedHeight() != 0 || !manager_) return CControlUI::EstimateSize(available);
  return SIZE{GetFixedWidth(), manager_->GetDefaultFontInfo()->tm.tmHeight + 12};
}

bool CComboUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  return CControlUI::DoPaint(dc, paint, stop);
}

// ---- Rows -------------------------------------------------------------------------------------------

int CComboUI::GetListType() { return UILIST_TYPE_COMBO; }
TListDisplayInfo* CComboUI::GetListInfo() { return &list_info_; }
int CComboUI::GetCurSel() const { return cur_sel_; }
bool CComboUI::SelectMultiItem(int index, bool take_focus) { return SelectItem(index, take_focus); }
bool CComboUI::UnSelectItem(int /*index*/, bool /*others*/) { return false; }

void CComboUI::RenumberRows(int first) {
  for (int i = first; i < GetCount(); ++i) {
    if (IListItemUI* row = AsRow(GetItemAt(i))) row->SetIndex(i);
  }
}

bool CComboUI::Add(CControlUI* control) {
  if (IListItemUI* row = AsRow(control)) {
    row->SetOwner(this);
    row->SetIndex(GetCount());
  }
  if (!CContainerUI::Add(control)) return false;
  if (drop_down_) drop_down_->JoinRow(control, GetCount() - 1);
  return true;
}

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (IListItemUI* row = AsRow(control)) {
    row->SetOwner(this);
    row->SetIndex(index);
  }
  if (drop_down_) drop_down_->JoinRow(control, index);
  RenumberRows(index + 1);
  if (cur_sel_ >= index) ++cur_sel_;
  return true;
}

bool CComboUI::Remove(CControlUI* control) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  // Out of an open drop-down before it is freed.
  if (drop_down_) drop_down_->ReturnRow(control);
  LetRowGo(control, this);
  if (!CContainerUI::Remove(control)) return false;
  RenumberRows(index);
  if (index == cur_sel_) {
    cur_sel_ = -1;
    SelectItem(FindSelectable(index, false), false);
  } else if (index < cur_sel_) {
    --cur_sel_;
  }
  return true;
}

// The container's RemoveAt goes through Remove, which keeps the rows and the selection in step.
bool CComboUI::RemoveAt(int index) {
  CControlUI* control = GetItemAt(index);
  return control && Remove(control);
}

void CComboUI::RemoveAll() {
  cur_sel_ = -1;
  for (int i = GetCount() - 1; i >= 0; --i) {
    if (drop_down_) drop_down_->ReturnRow(GetItemAt(i));
    LetRowGo(GetItemAt(i), this);
  }
  CContainerUI::RemoveAll();
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
  const int old_index = GetItemIndex(control);
  if (old_index < 0 || old_index == index) return old_index >= 0;
  const int selected = cur_sel_;
  CControlUI* selected_row = GetItemAt(selected);
  if (!CContainerUI::SetItemIndex(control, index)) return false;
  if (drop_down_) drop_down_->MoveRow(control, index);
  RenumberRows(old_index < index ? old_index : index);
  if (selected_row) cur_sel_ = GetItemIndex(selected_row);
  return true;
}

bool CComboUI::SelectItem(int index, bool take_focus) {
  if (index == cur_sel_) return true;
  const int previous = cur_sel_;
  if (cur_sel_ >= 0) {
    IListItemUI* row = AsRow(GetItemAt(cur_sel_));
    if (!row) return false;
    row->Select(false);
    cur_sel_ = -1;
  }
  if (index < 0 || GetCount() == 0) return false;
  if (index >= GetCount()) index = GetCount() - 1;
  CControlUI* control = GetItemAt(index);
  IListItemUI* row = AsRow(control);
  if (!row || !control->IsEnabled()) return false;
  cur_sel_ = index;
  if (drop_down_ || take_focus) control->SetFocus();
  row->Select(true);
  NotifyItemSelect(index, previous);
  Invalidate();
  return true;
}

void CComboUI::NotifyItemSelect(int index, int previous) {
  if (manager_) manager_->SendNotify(this, L"itemselect", index, previous);
}

// ---- Events -----------------------------------------------------------------------------------------

void CComboUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CContainerUI::DoEvent(event);
    }
    return;
  }
  switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
      if (IsEnabled()) {
        Activate();
        button_state_ |= UICOMBO_STATE_PUSHED | UICOMBO_STATE_PRESSED;
      }
      return;
    case UIEVENT_BUTTONUP:
      if (button_state_ & UICOMBO_STATE_PRESSED) {
        button_state_ &= ~UICOMBO_STATE_PRESSED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_KEYDOWN:
      if (!IsKeyboardEnabled()) break;
      switch (event.key_char) {
        case VK_UP:
        case VK_PRIOR:
          SelectItem(FindSelectable(cur_sel_ - 1, false), false);
          return;
        case VK_DOWN:
        case VK_NEXT:
          SelectItem(FindSelectable(cur_sel_ + 1, true), false);
          return;
        case VK_HOME:
          SelectItem(FindSelectable(0, false), false);
          return;
        case VK_END:
          SelectItem(FindSelectable(GetCount() - 1, true), false);
          return;
        case VK_F4:
          Activate();
          return;
        default:
          break;
      }
      break;
    case UIEVENT_SCROLLWHEEL:
      if (!scroll_select_) return;
      if (LOWORD(event.wParam) == 1) {
        SelectItem(FindSelectable(cur_sel_ + 1, true), false);
      } else {
        SelectItem(FindSelectable(cur_sel_ - 1, false), false);
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (::PtInRect(&item_rect_, event.mouse_point)) {
        button_state_ |= UICOMBO_STATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (button_state_ & UICOMBO_STATE_HOT) {
        button_state_ &= ~UICOMBO_STATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

// ---- Painting ---------------------------------------------------------------------------------------

void CComboUI::ResolveDefaultColors() {
  if (!manager_) return;
  if (text_color_ == 0) text_color_ = manager_->GetDefaultFontColor();
  if (disabled_text_color_ == 0) disabled_text_color_ = manager_->GetDefaultDisabledColor();
}

RECT CComboUI::GetTextRect() const {
  RECT rect = item_rect_;
  rect.left += text_padding_.left;
  rect.top += text_padding_.top;
  rect.right -= text_padding_.right;
  rect.bottom -= text_padding_.bottom;
  return rect;
}

void CComboUI::PaintStatusImage(HDC dc) {
  if (IsFocused()) {
    button_state_ |= UICOMBO_STATE_FOCUSED;
  } else {
    button_state_ &= ~UICOMBO_STATE_FOCUSED;
  }
  if (!IsEnabled()) {
    button_state_ |= UICOMBO_STATE_DISABLED;
  } else {
    button_state_ &= ~UICOMBO_STATE_DISABLED;
  }
  const CUIString* state_image = nullptr;
  if (button_state_ & UICOMBO_STATE_DISABLED) {
    state_image = &disabled_image_;
  } else if (button_state_ & UICOMBO_STATE_PUSHED) {
    state_image = &pushed_image_;
  } else if (button_state_ & UICOMBO_STATE_HOT) {
    state_image = &hot_image_;
  } else if (button_state_ & UICOMBO_STATE_FOCUSED) {
    state_image = &focused_image_;
  }
  if (state_image && !state_image->IsEmpty() && DrawImage(dc, state_image->GetData())) return;
  if (!normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
}

void CComboUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  RECT rect = GetTextRect();
  const CUIString text = GetText();
  const DWORD color = IsEnabled() ? text_color_ : disabled_text_color_;
  if (show_html_) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), color, nullptr, nullptr, links,
                            font_, text_style_);
  } else {
    CRenderUI::DrawText(dc, manager_, rect, text.GetData(), color, font_, text_style_);
  }
}

// ---- Attributes -------------------------------------------------------------------------------------

void CComboUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  TListDisplayInfo& info = list_info_;
  auto is = [name](const wchar_t* attribute) { return _wcsicmp(name, attribute) == 0; };
  auto colour = [this, value](DWORD* field) {
    *field = ParseAttributeColor(value, false);
    Invalidate();
  };
  auto image = [this, value](CUIString* field) {
    *field = value;
    Invalidate();
  };
  auto repainting_flag = [this, value](bool* field) {
    const bool on = ParseAttributeBool(value);
    if (on == *field) return;
    *field = on;
    Invalidate();
  };

  if (is(L"align")) {
    if (Contains(value, L"left")) text_style_ &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
    if (Contains(value, L"center")) {
      text_style_ |= DT_CENTER;
      text_style_ &= ~DT_RIGHT;
    }
    if (Contains(value, L"right")) {
      text_style_ |= DT_RIGHT;
      text_style_ &= ~(DT_CENTER | DT_SINGLELINE);
    }
  } else if (is(L"valign")) {
    if (Contains(value, L"top")) {
      text_style_ &= ~(DT_VCENTER | DT_BOTTOM);
      text_style_ |= DT_SINGLELINE;
    }
    if (Contains(value, L"vcenter")) {
      text_style_ &= ~DT_BOTTOM;
      text_style_ |= DT_VCENTER | DT_SINGLELINE;
    }
    if (Contains(value, L"bottom")) {
      text_style_ &= ~DT_VCENTER;
      text_style_ |= DT_BOTTOM | DT_SINGLELINE;
    }
  } else if (is(L"endellipsis")) {
    if (ParseAttributeBool(value)) {
      text_style_ |= DT_END_ELLIPSIS;
    } else {
      text_style_ &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
  } else if (is(L"wordbreak")) {
    if (ParseAttributeBool(value)) {
      text_style_ &= ~DT_SINGLELINE;
      text_style_ |= DT_WORDBREAK | DT_EDITCONTROL;
    } else {
      text_style_ &= ~(DT_WORDBREAK | DT_EDITCONTROL);
      text_style_ |= DT_SINGLELINE;
    }
  } else if (is(L"font")) {
    font_ = ParseAttributeInt(value);
    Invalidate();
  } else if (is(L"textcolor")) {
    colour(&text_color_);
  } else if (is(L"disabledtextcolor")) {
    colour(&disabled_text_color_);
  } else if (is(L"textpadding")) {
    text_padding_ = ParseAttributeRect(value);
    Invalidate();
  } else if (is(L"showhtml")) {
    repainting_flag(&show_html_);
  } else if (is(L"showshadow")) {
    repainting_flag(&show_shadow_);
  } else if (is(L"normalimage")) {
    image(&normal_image_);
  } else if (is(L"hotimage")) {
    image(&hot_image_);
  } else if (is(L"pushedimage")) {
    image(&pushed_image_);
  } else if (is(L"focusedimage")) {
    image(&focused_image_);
  } else if (is(L"disabledimage")) {
    image(&disabled_image_);
  } else if (is(L"scrollselect")) {
    scroll_select_ = ParseAttributeBool(value);
  } else if (is(L"dropbox")) {
    drop_box_attributes_ = value;
  } else if (is(L"dropboxsize")) {
    drop_box_size_ = ParseAttributeSize(value);
  } else if (is(L"dropboxinset")) {
    drop_box_inset_ = ParseAttributeRect(value);
  } else if (is(L"itemfont")) {
    info.font = ParseAttributeInt(value);
  } else if (is(L"itemalign")) {
    if (Contains(value, L"left")) info.text_style &= ~(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) {
      info.text_style |= DT_CENTER;
      info.text_style &= ~DT_RIGHT;
    }
    if (Contains(value, L"right")) {
      info.text_style |= DT_RIGHT;
      info.text_style &= ~DT_CENTER;
    }
  } else if (is(L"itemvalign")) {
    if (Contains(value, L"top")) info.text_style &= ~(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter")) {
      info.text_style &= ~(DT_BOTTOM | DT_WORDBREAK);
      info.text_style |= DT_VCENTER | DT_SINGLELINE;
    }
    if (Contains(value, L"bottom")) {
      info.text_style |= DT_BOTTOM;
      info.text_style &= ~DT_VCENTER;
    }
  } else if (is(L"itemendellipsis")) {
    if (ParseAttributeBool(value)) {
      info.text_style |= DT_END_ELLIPSIS;
    } else {
      info.text_style &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
  } else if (is(L"itemtextpadding")) {
    info.text_padding = ParseAttributeRect(value);
    NeedUpdate();
  } else if (is(L"itemtextcolor")) {
    colour(&info.text_color);
  } else if (is(L"itembkcolor")) {
    colour(&info.bk_color);
  } else if (is(L"itembkimage")) {
    image(&info.bk_image);
  } else if (is(L"itemaltbk")) {
    info.alternate_bk = ParseAttributeBool(value);
  } else if (is(L"itemselectedtextcolor")) {
    colour(&info.selected_text_color);
  } else if (is(L"itemselectedbkcolor")) {
    colour(&info.selected_bk_color);
  } else if (is(L"itemselectedimage")) {
    image(&info.selected_image);
  } else if (is(L"itemhottextcolor")) {
    colour(&info.hot_text_color);
  } else if (is(L"itemhotbkcolor")) {
    colour(&info.hot_bk_color);
  } else if (is(L"itemhotimage")) {
    image(&info.hot_image);
  } else if (is(L"itemdisabledtextcolor")) {
    colour(&info.disabled_text_color);
  } else if (is(L"itemdisabledbkcolor")) {
    colour(&info.disabled_bk_color);
  } else if (is(L"itemdisabledimage")) {
    image(&info.disabled_image);
  } else if (is(L"itemlinecolor")) {
    colour(&info.line_color);
  } else if (is(L"itemshowhtml")) {
    info.show_html = ParseAttributeBool(value);
    Invalidate();
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
