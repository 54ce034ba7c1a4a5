#include "vellum/controls/edit/edit.h"

#include <cwchar>

#include "vellum/controls/edit/edit_window.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_store.h"

namespace Vellum {
namespace {

// Room above and below the text of an edit without a fixed height.

void RegisterEdit(CControlFactory& factory) {
  factory.RegisterControl(L"CEditUI", &CEditUI::CreateControl);
}

const CControlFamilyRegistrar kRegistrar(&RegisterEdit);

}  // namespace

CUIString MaskPasswordText(const wchar_t* text, wchar_t password_char) {
  CUIString masked;
  if (text == nullptr) return masked;
  const wchar_t mask[2] = {password_char, L'\0'};
  for (const wchar_t* p = text; *p != L'\0'; p = ::CharNextW(p)) masked += mask;
  return masked;
}

CEditUI::CEditUI() {
  text_padding_ = RECT{4, 3, 4, 3};
  bk_color_ = 0xFFFFFFFF;
}

CEditUI::~CEditUI() { DestroyHostedWindow(window_); }

CControlUI* CEditUI::CreateControl() { return new CEditUI(); }

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

LPVOID CEditUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"Edit") == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const {
  return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

HWND CEditUI::GetNativeWindow() const { return window_ != nullptr ? window_->GetHWND() : nullptr; }

RECT CEditUI::GetNativeWindowRect() const {
  int font_height = 0;
  if (manager_ != nullptr) {
    const TUIFontInfo* font = manager_->GetFontInfo(font_);
    if (font != nullptr) font_height = font->tm.tmHeight;
  }
  return ClipToAncestors(this, NativeTextArea(item_rect_, GetTextPadding(), font_height));
}

void CEditUI::OpenWindow() {
  if (window_ != nullptr) return;
  window_ = CEditWnd::Open(this);
}

void CEditUI::SetEnabled(bool enable) {
  CLabelUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CEditUI::SetText(const wchar_t* text) {
  CLabelUI::SetText(text);
  // Stored as given: the native window gets this very text, and the two must agree. The control
  // base would turn "{\n}" into a line feed, which a one-line edit cannot hold anyway.
  text_ = text != nullptr ? text : L"";
  if (window_ != nullptr) ::SetWindowTextW(window_->GetHWND(), text_.GetData());
  Invalidate();
}

void CEditUI::SetPos(RECT rect, bool invalidate) {
  CLabelUI::SetPos(rect, invalidate);
  if (window_ != nullptr) window_->MoveTo(GetNativeWindowRect());
}

void CEditUI::Move(SIZE offset, bool invalidate) {
  CLabelUI::Move(offset, invalidate);
  if (window_ != nullptr) window_->MoveTo(GetNativeWindowRect(), true);
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible() && window_ != nullptr && manager_ != nullptr) manager_->SetFocus(nullptr);
}

void CEditUI::SetInheritedVisible(bool visible) {
  CLabelUI::SetInheritedVisible(visible);
  if (!IsVisible() && window_ != nullptr && manager_ != nullptr) manager_->SetFocus(nullptr);
}

void CEditUI::SetMaxChar(int max_char) {
  max_char_ = max_char;
  if (window_ != nullptr) {
    ::SendMessageW(window_->GetHWND(), EM_LIMITTEXT, static_cast<WPARAM>(max_char_), 0);
  }
}

void CEditUI::SetReadOnly(bool read_only) {
  if (read_only_ == read_only) return;
  read_only_ = read_only;
  if (window_ != nullptr) {
    ::SendMessageW(window_->GetHWND(), EM_SETREADONLY, read_only_ ? TRUE : FALSE, 0);
  }
  Invalidate();
}

void CEditUI::SetNumberOnly(bool number_only) {
  if (number_only) {
    extra_styles_ |= ES_NUMBER;
  } else {
    extra_styles_ &= ~static_cast<UINT>(ES_NUMBER);
  }
}

void CEditUI::SetPasswordMode(bool password) {
  if (password_ == password) return;
  password_ = password;
  Invalidate();
  if (window_ == nullptr) return;
  HWND hwnd = window_->GetHWND();
  LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
  style = password_ ? (style | ES_PASSWORD) : (style & ~static_cast<LONG>(ES_PASSWORD));
  ::SetWindowLongW(hwnd, GWL_STYLE, style);
  // The style alone is ignored by a live edit window: only the password character decides
  // whether its text is masked.
  ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, password_ ? static_cast<WPARAM>(password_char_) : 0, 0);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CEditUI::SetPasswordChar(wchar_t ch) {
  if (password_char_ == ch) return;
  password_char_ = ch;
  // A window that is not in password mode keeps showing its text in clear.
  if (window_ != nullptr && password_) {
    ::SendMessageW(window_->GetHWND(), EM_SETPASSWORDCHAR, static_cast<WPARAM>(password_char_), 0);
    ::InvalidateRect(window_->GetHWND(), nullptr, TRUE);
  }
  Invalidate();
}

void CEditUI::SetAutoSelAll(bool auto_sel_all) { auto_sel_all_ = auto_sel_all; }

void CEditUI::SetNormalImage(const wchar_t* image) {
  normal_image_ = image;
  Invalidate();
}
void CEditUI::SetHotImage(const wchar_t* image) {
  hot_image_ = image;
  Invalidate();
}
void CEditUI::SetFocusedImage(const wchar_t* image) {
  focused_image_ = image;
  Invalidate();
}
void CEditUI::SetDisabledImage(const wchar_t* image) {
  disabled_image_ = image;
  Invalidate();
}

CUIString CEditUI::GetTipValue() const {
  if (!IsResourceText()) return tip_;
  return CResourceStore::GetInstance()->GetText(tip_.GetData());
}

void CEditUI::SetTipValue(const wchar_t* tip) {
  tip_ = tip;
  Invalidate();
}

void CEditUI::SetTipValueColor(DWORD color) {
  tip_color_ = color;
  Invalidate();
}

void CEditUI::SetNativeBkColor(DWORD color) {
  native_bk_color_ = color;
  if (window_ != nullptr) ::InvalidateRect(window_->GetHWND(), nullptr, TRUE);
}

void CEditUI::DoEvent(TUIEvent& event) {
  if (HandleHostEvent(this, window_ != nullptr, event)) return;
  switch (event.type) {
    case UIEVENT_SETFOCUS:
      if (!IsEnabled()) break;
      if (window_ == nullptr) {
        OpenWindow();
        Invalidate();
      }
      break;
    case UIEVENT_KILLFOCUS:
      if (IsEnabled()) Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN: {
      if (!IsEnabled()) break;
      if (manager_ != nullptr) manager_->ReleaseCapture();
      if (IsFocused() && window_ == nullptr) {
        OpenWindow();
        if (window_ != nullptr && ::PtInRect(&item_rect_, event.mouse_point)) {
          ::SendMessageW(window_->GetHWND(), EM_SETSEL, 0, -1);
        }
        return;
      }
      if (window_ == nullptr || auto_sel_all_) return;
      HWND hwnd = window_->GetHWND();
      ::SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      const RECT padding = GetTextPadding();
      const POINT at{event.mouse_point.x - item_rect_.left - padding.left,
                     event.mouse_point.y - item_rect_.top - padding.top};
      ::SendMessageW(hwnd, WM_LBUTTONDOWN, event.wParam, MAKELPARAM(at.x, at.y));
      return;
    }
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_MOUSEENTER:
      if (!IsEnabled()) break;
      if (::PtInRect(&item_rect_, event.mouse_point) && (button_state_ & UISTATE_HOT) == 0) {
        button_state_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) break;
      button_state_ &= ~UISTATE_HOT;
      Invalidate();
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"readonly") == 0) {
    SetReadOnly(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"numberonly") == 0) {
    SetNumberOnly(ParseAttributeBool(value));
  } else if (std::wcscmp(name, L"autoselall") == 0) {
    SetAutoSelAll(value != nullptr && std::wcscmp(value, L"true") == 0);
  } else if (_wcsicmp(name, L"password") == 0) {
    SetPasswordMode(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"passwordchar") == 0) {
    SetPasswordChar(value != nullptr ? value[0] : L'\0');
  } else if (_wcsicmp(name, L"maxchar") == 0) {
    SetMaxChar(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"normalimage") == 0) {
    SetNormalImage(value);
  } else if (_wcsicmp(name, L"hotimage") == 0) {
    SetHotImage(value);
  } else if (_wcsicmp(name, L"focusedimage") == 0) {
    SetFocusedImage(value);
  } else if (_wcsicmp(name, L"disabledimage") == 0) {
    SetDisabledImage(value);
  } else if (_wcsicmp(name, L"tipvalue") == 0) {
    SetTipValue(value);
  } else if (_wcsicmp(name, L"tipvaluecolor") == 0) {
    SetTipValueColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"nativetextcolor") == 0) {
    SetNativeTextColor(ParseAttributeColor(value, false));
  } else if (_wcsicmp(name, L"nativebkcolor") == 0) {
    SetNativeBkColor(ParseAttributeColor(value, false));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

SIZE CEditUI::EstimateSize(SIZE available) {
  if (fixed_height_ > 0) return CControlUI::EstimateSize(available);
  return EstimateFieldSize(manager_, font_, fixed_width_);
}

void CEditUI::PaintStatusImage(HDC dc) {
  button_state_ = IsFocused() ? (button_state_ | UISTATE_FOCUSED) : (button_state_ & ~UISTATE_FOCUSED);
  button_state_ =
      IsEnabled() ? (button_state_ & ~UISTATE_DISABLED) : (button_state_ | UISTATE_DISABLED);
  const struct {
    UINT bit;
    const CUIString& image;
  } states[] = {{UISTATE_DISABLED, disabled_image_},
                {UISTATE_FOCUSED, focused_image_},
                {UISTATE_HOT, hot_image_}};
  for (const auto& state : states) {
    if ((button_state_ & state.bit) != 0 && !state.image.IsEmpty() &&
        DrawImage(dc, state.image.GetData())) {
      return;
    }
  }
  if (!normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
}

void CEditUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  const CUIString text = GetText();
  const CUIString tip = GetTipValue();
  CUIString shown;
  DWORD color = text_color_;
  if (text.IsEmpty() || text == tip) {
    shown = tip;
    color = tip_color_;
  } else if (password_) {
    shown = MaskPasswordText(text.GetData(), password_char_);
  } else {
    shown = text;
  }
  if (!IsEnabled()) color = disabled_text_color_;
  if (shown.IsEmpty()) return;
  RECT rect = GetTextRect();
  CRenderUI::DrawText(dc, manager_, rect, shown.GetData(), color, font_,
                      text_style_ | DT_SINGLELINE);
}

}  // namespace Vellum
