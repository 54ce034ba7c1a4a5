#include "vellum/core/base_controls/button.h"

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/layout/tab_layout.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

bool IsInside(const RECT& rect, POINT point) { return ::PtInRect(&rect, point) != FALSE; }

}  // namespace

CButtonUI::CButtonUI() { text_style_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }
CButtonUI::~CButtonUI() = default;

CControlUI* CButtonUI::CreateControl() { return new CButtonUI(); }

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Button") == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
  return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
  if (!CLabelUI::Activate()) return false;
  if (manager_) {
    manager_->SendNotify(this, L"click", 0, 0, false);
    BindTriggerTabSel();
  }
  return true;
}

void CButtonUI::SetEnabled(bool enable) {
  CLabelUI::SetEnabled(enable);
  if (enable) {
    button_state_ &= ~UISTATE_DISABLED;
  } else {
    button_state_ |= UISTATE_DISABLED;
  }
}

void CButtonUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CLabelUI::DoEvent(event);
    }
    return;
  }

  switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      break;
    case UIEVENT_KEYDOWN:
      if (IsKeyboardEnabled() && (event.key_char == VK_SPACE || event.key_char == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsInside(item_rect_, event.mouse_point) && IsEnabled()) {
        button_state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
        if (IsRichEvent() && manager_) manager_->SendNotify(this, L"buttondown");
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if ((button_state_ & UISTATE_CAPTURED) != 0) {
        if (IsInside(item_rect_, event.mouse_point)) {
          button_state_ |= UISTATE_PUSHED;
        } else {
          button_state_ &= ~UISTATE_PUSHED;
        }
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if ((button_state_ & UISTATE_CAPTURED) != 0) {
        button_state_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (IsInside(item_rect_, event.mouse_point)) Activate();
      }
      return;
    case UIEVENT_CONTEXTMENU:
      if (IsContextMenuUsed() && manager_) {
        manager_->SendNotify(this, L"menu", event.wParam, event.lParam, false);
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        button_state_ |= UISTATE_HOT;
        Invalidate();
        if (IsRichEvent() && manager_) manager_->SendNotify(this, L"mouseenter");
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        button_state_ &= ~UISTATE_HOT;
        Invalidate();
        if (IsRichEvent() && manager_) manager_->SendNotify(this, L"mouseleave");
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

// ---- Images ---------------------------------------------------------------------------------------

const wchar_t* CButtonUI::GetNormalImage() const {
  return button_texts_.Get(&TButtonTexts::normal_image).GetData();
}
void CButtonUI::SetNormalImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::normal_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetHotImage() const {
  return button_texts_.Get(&TButtonTexts::hot_image).GetData();
}
void CButtonUI::SetHotImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::hot_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetPushedImage() const {
  return button_texts_.Get(&TButtonTexts::pushed_image).GetData();
}
void CButtonUI::SetPushedImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::pushed_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetFocusedImage() const {
  return button_texts_.Get(&TButtonTexts::focused_image).GetData();
}
void CButtonUI::SetFocusedImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::focused_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetDisabledImage() const {
  return button_texts_.Get(&TButtonTexts::disabled_image).GetData();
}
void CButtonUI::SetDisabledImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::disabled_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetHotForeImage() const {
  return button_texts_.Get(&TButtonTexts::hot_fore_image).GetData();
}
void CButtonUI::SetHotForeImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::hot_fore_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetPushedForeImage() const {
  return button_texts_.Get(&TButtonTexts::pushed_fore_image).GetData();
}
void CButtonUI::SetPushedForeImage(const wchar_t* image) {
  button_texts_.Store(&TButtonTexts::pushed_fore_image, image);
  Invalidate();
}
const wchar_t* CButtonUI::GetStateImage() const {
  return button_texts_.Get(&TButtonTexts::state_image).GetData();
}
void CButtonUI::SetStateImage(const wchar_t* image) {
  // The strip is cut again into the state images at the next paint.
  if (button_texts_.Store(&TButtonTexts::state_image, image)) {
    button_texts_.Find()->normal_image.Empty();
  }
  Invalidate();
}

void CButtonUI::SetStateCount(int count) {
  state_count_ = count;
  Invalidate();
}

// ---- Bound tab ------------------------------------------------------------------------------------

void CButtonUI::BindTabIndex(int index) {
  if (index >= 0) bind_tab_index_ = index;
}

const wchar_t* CButtonUI::GetBindTabLayoutName() const {
  return button_texts_.Get(&TButtonTexts::bind_tab_layout_name).GetData();
}

void CButtonUI::BindTabLayoutName(const wchar_t* name) {
  button_texts_.Store(&TButtonTexts::bind_tab_layout_name, name);
}

void CButtonUI::BindTriggerTabSel(int index) {
  const wchar_t* name = GetBindTabLayoutName();
  if (name[0] == L'\0' || (bind_tab_index_ < 0 && index < 0) || !manager_) return;
  CControlUI* found = manager_->FindControl(name);
  if (!found) return;
  // Only a real tab layout is asked to select: the name may just as well name a label.
  auto* tab = static_cast<CTabLayoutUI*>(found->GetInterface(L"TabLayout"));
  if (!tab) return;
  tab->SelectItem(index >= 0 ? index : bind_tab_index_);
}

// ---- Colours and fonts ----------------------------------------------------------------------------

void CButtonUI::SetHotBkColor(DWORD color) {
  hot_bk_color_ = color;
  Invalidate();
}
void CButtonUI::SetPushedBkColor(DWORD color) {
  pushed_bk_color_ = color;
  Invalidate();
}
void CButtonUI::SetDisabledBkColor(DWORD color) {
  disabled_bk_color_ = color;
  Invalidate();
}
void CButtonUI::SetHotBorderColor(DWORD color) {
  if (hot_border_color_ == color) return;
  hot_border_color_ = color;
  Invalidate();
}
void CButtonUI::SetPushedBorderColor(DWORD color) {
  if (pushed_border_color_ == color) return;
  pushed_border_color_ = color;
  Invalidate();
}
void CButtonUI::SetDisabledBorderColor(DWORD color) {
  if (disabled_border_color_ == color) return;
  disabled_border_color_ = color;
  Invalidate();
}
void CButtonUI::SetHotFont(int index) {
  hot_font_ = index;
  Invalidate();
}
void CButtonUI::SetPushedFont(int index) {
  pushed_font_ = index;
  Invalidate();
}
void CButtonUI::SetFocusedFont(int index) {
  focused_font_ = index;
  Invalidate();
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"normalimage") == 0) {
    SetNormalImage(value);
  } else if (_wcsicmp(name, L"hotimage") == 0) {
    SetHotImage(value);
  } else if (_wcsicmp(name, L"pushedimage") == 0) {
    SetPushedImage(value);
  } else if (_wcsicmp(name, L"focusedimage") == 0) {
    SetFocusedImage(value);
  } else if (_wcsicmp(name, L"disabledimage") == 0) {
    SetDisabledImage(value);
  } else if (_wcsicmp(name, L"hotforeimage") == 0) {
    SetHotForeImage(value);
  } else if (_wcsicmp(name, L"pushedforeimage") == 0) {
    SetPushedForeImage(value);
  } else if (_wcsicmp(name, L"stateimage") == 0) {
    SetStateImage(value);
  } else if (_wcsicmp(name, L"statecount") == 0) {
    SetStateCount(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"bindtabindex") == 0) {
    BindTabIndex(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"bindtablayoutname") == 0) {
    BindTabLayoutName(value);
  } else if (_wcsicmp(name, L"hotbkcolor") == 0) {
    SetHotBkColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"pushedbkcolor") == 0) {
    SetPushedBkColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"disabledbkcolor") == 0) {
    SetDisabledBkColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"hottextcolor") == 0) {
    SetHotTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"pushedtextcolor") == 0) {
    SetPushedTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"focusedtextcolor") == 0) {
    SetFocusedTextColor(ParseAttributeColor(value, false));
  } else if (wcscmp(name, L"hotbordercolor") == 0) {
    SetHotBorderColor(ParseAttributeColor(value, false));
  } else if (wcscmp(name, L"pushedbordercolor") == 0) {
    SetPushedBorderColor(ParseAttributeColor(value, false));
  } else if (wcscmp(name, L"disabledbordercolor") == 0) {
    SetDisabledBorderColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"hotfont") == 0) {
    SetHotFont(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"pushedfont") == 0) {
    SetPushedFont(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"focuedfont") == 0) {
    SetFocusedFont(ParseAttributeInt(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

// ---- Painting -------------------------------------------------------------------------------------

void CButtonUI::RefreshState(bool check_window) {
  if (IsFocused()) {
    button_state_ |= UISTATE_FOCUSED;
  } else {
    button_state_ &= ~UISTATE_FOCUSED;
  }
  if (!IsEnabled()) {
    button_state_ |= UISTATE_DISABLED;
  } else {
    button_state_ &= ~UISTATE_DISABLED;
  }
  if (check_window && manager_ && manager_->GetPaintWindow() &&
      !::IsWindowEnabled(manager_->GetPaintWindow())) {
    button_state_ &= UISTATE_DISABLED;
  }
}

bool CButtonUI::CutStrip(const CUIString& strip, int count, bool with_corner,
                         CUIString frames[4]) {
  if (!manager_ || strip.IsEmpty() || count <= 0) return false;
  // The frames are written as the skin would write them (unscaled, with the plain name), because
  // each is parsed, scaled and renamed for the DPI again when it is drawn.
  const CDpiScaler as_written;
  TImageDrawInfo written;
  written.Parse(strip.GetData(), nullptr, as_written);
  const TImageDrawInfo* scaled = manager_->GetDrawInfo(strip.GetData());
  if (!scaled) return false;
  const TUIImageInfo* image = manager_->GetOrLoadImage(scaled->name.GetData(),
                                                      scaled->res_type.GetData(), scaled->mask);
  if (!image || image->width <= 0 || image->height <= 0) return false;
  const CDpiScaler* scaler = manager_->GetDpiScaler();
  const int width = scaler->Unscale(image->width);
  const int height = scaler->Unscale(image->height);
  const int frame = width / count;
  const RECT& dest = written.dest;
  const RECT& corner = written.corner;
  for (int i = 0; i < count && i < 4; ++i) {
    if (with_corner) {
      frames[i].Format(
          L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d' corner='%d,%d,%d,%d'",
          written.name.GetData(), written.res_type.GetData(), dest.left, dest.top, dest.right,
          dest.bottom, i * frame, 0, (i + 1) * frame, height, corner.left, corner.top,
          corner.right, corner.bottom);
    } else {
      frames[i].Format(L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                       written.name.GetData(), written.res_type.GetData(), dest.left, dest.top,
                       dest.right, dest.bottom, i * frame, 0, (i + 1) * frame, height);
    }
  }
  return true;
}

void CButtonUI::CutStateImages(const CUIString& strip, int count, bool with_corner,
                               CUIString& normal, CUIString& hot, CUIString& pushed,
                               CUIString* disabled) {
  if (strip.IsEmpty() || count <= 0 || !normal.IsEmpty()) return;
  CUIString frames[4];
  if (!CutStrip(strip, count, with_corner, frames)) return;
  normal = frames[0];
  if (count > 1) {
    hot = frames[1];
    pushed = frames[1];
  }
  if (count > 2) pushed = frames[2];
  if (count > 3 && disabled) *disabled = frames[3];
}

void CButtonUI::PaintBkColor(HDC dc) {
  DWORD colour = 0;
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    colour = disabled_bk_color_;
  } else if ((button_state_ & UISTATE_PUSHED) != 0) {
    colour = pushed_bk_color_;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    colour = hot_bk_color_;
  }
  if (colour != 0) {
    CRenderUI::DrawColor(dc, paint_rect_, GetAdjustColor(colour));
    return;
  }
  CLabelUI::PaintBkColor(dc);
}

void CButtonUI::PaintStatusImage(HDC dc) {
  RefreshState(true);
  // Without the block there is no image of any state to draw.
  TButtonTexts* found = button_texts_.Find();
  if (!found) return;
  TButtonTexts& texts = *found;
  CutStateImages(texts.state_image, state_count_, false, texts.normal_image, texts.hot_image,
                 texts.pushed_image, &texts.disabled_image);

  const CUIString* state_image = nullptr;
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    state_image = &texts.disabled_image;
  } else if ((button_state_ & UISTATE_PUSHED) != 0) {
    state_image = &texts.pushed_image;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    state_image = &texts.hot_image;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0) {
    state_image = &texts.focused_image;
  }
  if (state_image && !state_image->IsEmpty() && DrawImage(dc, state_image->GetData())) return;
  if (!texts.normal_image.IsEmpty()) DrawImage(dc, texts.normal_image.GetData());
}

void CButtonUI::PaintForeImage(HDC dc) {
  const CUIString* state_fore = nullptr;
  if ((button_state_ & UISTATE_PUSHED) != 0) {
    state_fore = &button_texts_.Get(&TButtonTexts::pushed_fore_image);
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    state_fore = &button_texts_.Get(&TButtonTexts::hot_fore_image);
  }
  if (state_fore && !state_fore->IsEmpty() && DrawImage(dc, state_fore->GetData())) return;
  const wchar_t* fore_image = GetForeImage();
  if (fore_image[0] != L'\0') DrawImage(dc, fore_image);
}

void CButtonUI::PaintText(HDC dc) {
  RefreshState(false);
  ResolveDefaultColors();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;

  const RECT rect = GetTextRect();

  DWORD colour = IsEnabled() ? text_color_ : disabled_text_color_;
  if ((button_state_ & UISTATE_PUSHED) != 0 && pushed_text_color_ != 0) {
    colour = pushed_text_color_;
  } else if ((button_state_ & UISTATE_HOT) != 0 && hot_text_color_ != 0) {
    colour = hot_text_color_;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0 && focused_text_color_ != 0) {
    colour = focused_text_color_;
  }

  int font = font_;
  if ((button_state_ & UISTATE_PUSHED) != 0 && pushed_font_ != -1) {
    font = pushed_font_;
  } else if ((button_state_ & UISTATE_HOT) != 0 && hot_font_ != -1) {
    font = hot_font_;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0 && focused_font_ != -1) {
    font = focused_font_;
  }
  DrawLabelText(dc, rect, text, colour, font);
}

void CButtonUI::DrawBorderIn(HDC dc, DWORD color) {
  const DWORD colour = GetAdjustColor(color);
  const int size = GetBorderSize();
  const SIZE round = GetBorderRound();
  if (size > 0 && (round.cx > 0 || round.cy > 0)) {
    CRenderUI::DrawRoundRect(dc, item_rect_, size, round.cx, round.cy, colour, border_style_);
    return;
  }
  const RECT sides = GetBorderRect();
  if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
    const RECT& r = item_rect_;
    if (sides.left > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.top, r.left, r.bottom}, sides.left, colour,
                          border_style_);
    }
    if (sides.top > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.top, r.right, r.top}, sides.top, colour,
                          border_style_);
    }
    if (sides.right > 0) {
      CRenderUI::DrawLine(dc, RECT{r.right - 1, r.top, r.right - 1, r.bottom}, sides.right,
                          colour, border_style_);
    }
    if (sides.bottom > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom - 1}, sides.bottom,
                          colour, border_style_);
    }
    return;
  }
  if (size > 0) CRenderUI::DrawRect(dc, item_rect_, size, colour, border_style_);
}

void CButtonUI::PaintBorder(HDC dc) {
  DWORD colour = 0;
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    colour = disabled_border_color_;
  } else if ((button_state_ & UISTATE_PUSHED) != 0) {
    colour = pushed_border_color_;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    colour = hot_border_color_;
  }
  if (colour == 0) {
    CLabelUI::PaintBorder(dc);
    return;
  }
  DrawBorderIn(dc, colour);
}

}  // namespace Vellum
