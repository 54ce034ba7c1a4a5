#include "vellum/controls/hot_key/hot_key.h"

#include <cwchar>

#include "vellum/controls/hot_key/hot_key_name.h"
#include "vellum/controls/hot_key/hot_key_window.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// Room above and below the text of a hot-key control without a fixed height.

void RegisterHotKey(CControlFactory& factory) {
  factory.RegisterControl(L"CHotKeyUI", &CHotKeyUI::CreateControl);
}

const CControlFamilyRegistrar kRegistrar(&RegisterHotKey);

}  // namespace

CHotKeyUI::CHotKeyUI() {
  text_padding_ = RECT{4, 3, 4, 3};
  bk_color_ = 0xFFFFFFFF;
}

CHotKeyUI::~CHotKeyUI() { DestroyHostedWindow(window_); }

CControlUI* CHotKeyUI::CreateControl() { return new CHotKeyUI(); }

const wchar_t* CHotKeyUI::GetClass() const { return L"HotKeyUI"; }

LPVOID CHotKeyUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && std::wcscmp(name, L"HotKey") == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CHotKeyUI::GetControlFlags() const {
  return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0;
}

HWND CHotKeyUI::GetNativeWindow() const {
  return window_ != nullptr ? window_->GetHWND() : nullptr;
}

RECT CHotKeyUI::GetNativeWindowRect() const {
  int font_height = 0;
  if (manager_ != nullptr) {
    const TUIFontInfo* font = manager_->GetFontInfo(font_);
    if (font != nullptr) font_height = font->tm.tmHeight;
  }
  return NativeTextArea(item_rect_, GetTextPadding(), font_height);
}

void CHotKeyUI::SetText(const wchar_t* text) {
  CLabelUI::SetText(text);
  if (window_ != nullptr) ::SetWindowTextW(window_->GetHWND(), text != nullptr ? text : L"");
  Invalidate();
}

void CHotKeyUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible() && window_ != nullptr && manager_ != nullptr) manager_->SetFocus(nullptr);
}

void CHotKeyUI::SetInheritedVisible(bool visible) {
  CLabelUI::SetInheritedVisible(visible);
  if (!IsVisible() && window_ != nullptr && manager_ != nullptr) manager_->SetFocus(nullptr);
}

void CHotKeyUI::SetEnabled(bool enable) {
  CLabelUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CHotKeyUI::SetNormalImage(const wchar_t* image) {
  normal_image_ = image;
  Invalidate();
}
void CHotKeyUI::SetHotImage(const wchar_t* image) {
  hot_image_ = image;
  Invalidate();
}
void CHotKeyUI::SetFocusedImage(const wchar_t* image) {
  focused_image_ = image;
  Invalidate();
}
void CHotKeyUI::SetDisabledImage(const wchar_t* image) {
  disabled_image_ = image;
  Invalidate();
}
void CHotKeyUI::SetNativeBkColor(DWORD color) { native_bk_color_ = color; }

void CHotKeyUI::GetHotKey(WORD& virtual_key, WORD& modifiers) const {
  virtual_key = key_;
  modifiers = modifiers_;
}

void CHotKeyUI::SetHotKey(WORD virtual_key, WORD modifiers) {
  key_ = virtual_key;
  modifiers_ = modifiers;
  if (window_ != nullptr) window_->SetHotKey(key_, modifiers_);
  SetText(HotKeyName(key_, modifiers_).GetData());
}

void CHotKeyUI::DoEvent(TUIEvent& event) {
  if (HandleHostEvent(this, window_ != nullptr, event)) return;
  switch (event.type) {
    case UIEVENT_SETFOCUS: {
      if (!IsEnabled()) break;
      if (window_ != nullptr) return;
      // The paint window takes the focus back from a native window that has just closed on its
      // kill focus (the manager moving its focus, a hidden container): that is no request to edit.
      HWND from = reinterpret_cast<HWND>(event.wParam);
      if (from != nullptr && !::IsWindow(from)) break;
      window_ = CHotKeyWnd::Open(this);
      Invalidate();
      break;
    }
    case UIEVENT_KILLFOCUS:
      if (IsEnabled()) Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (!IsEnabled()) return;
      if (manager_ != nullptr) manager_->ReleaseCapture();
      if (IsFocused() && window_ == nullptr) window_ = CHotKeyWnd::Open(this);
      return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_MOUSEENTER:
      if (!IsEnabled()) break;
      button_state_ |= UISTATE_HOT;
      Invalidate();
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

void CHotKeyUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (std::wcscmp(name, L"normalimage") == 0) {
    SetNormalImage(value);
  } else if (std::wcscmp(name, L"hotimage") == 0) {
    SetHotImage(value);
  } else if (std::wcscmp(name, L"focusedimage") == 0) {
    SetFocusedImage(value);
  } else if (std::wcscmp(name, L"disabledimage") == 0) {
    SetDisabledImage(value);
  } else if (std::wcscmp(name, L"nativebkcolor") == 0) {
    SetNativeBkColor(ParseAttributeColor(value, false));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

SIZE CHotKeyUI::EstimateSize(SIZE available) {
  if (fixed_height_ > 0) return CControlUI::EstimateSize(available);
  return EstimateFieldSize(manager_, font_, fixed_width_);
}

void CHotKeyUI::PaintStatusImage(HDC dc) {
  button_state_ = IsFocused() ? (button_state_ | UISTATE_FOCUSED) : (button_state_ & ~UISTATE_FOCUSED);
  button_state_ =
      IsEnabled() ? (button_state_ & ~UISTATE_DISABLED) : (button_state_ | UISTATE_DISABLED);
  const CUIString* image = nullptr;
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    image = &disabled_image_;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0) {
    image = &focused_image_;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    image = &hot_image_;
  }
  if (image != nullptr && !image->IsEmpty() && DrawImage(dc, image->GetData())) return;
  if (!normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
}

void CHotKeyUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT rect = item_rect_;
  rect.left += text_padding_.left;
  rect.top += text_padding_.top;
  rect.right -= text_padding_.right;
  rect.bottom -= text_padding_.bottom;
  CRenderUI::DrawText(dc, manager_, rect, text.GetData(),
                      IsEnabled() ? text_color_ : disabled_text_color_, font_,
                      text_style_ | DT_SINGLELINE);
}

}  // namespace Vellum
