#include "vellum/controls/date_time/date_time.h"

#include <cwchar>

#include "vellum/controls/date_time/date_time_text.h"
#include "vellum/controls/date_time/date_time_window.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterDateTime(CControlFactory& factory) {
  factory.RegisterControl(L"CDateTimeUI", &CDateTimeUI::CreateControl);
}

const CControlFamilyRegistrar kRegistrar(&RegisterDateTime);

}  // namespace

CDateTimeUI::CDateTimeUI() : time_format_(L"yyyy-MM-dd HH:mm:ss") {
  ::GetLocalTime(&time_);
  RefreshText();
}

CDateTimeUI::~CDateTimeUI() { DestroyHostedWindow(window_); }

CControlUI* CDateTimeUI::CreateControl() { return new CDateTimeUI(); }

const wchar_t* CDateTimeUI::GetClass() const { return L"DateTimeUI"; }

LPVOID CDateTimeUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && std::wcscmp(name, L"DateTime") == 0) return this;
  return CLabelUI::GetInterface(name);
}

HWND CDateTimeUI::GetNativeWindow() const {
  return window_ != nullptr ? window_->GetHWND() : nullptr;
}

RECT CDateTimeUI::GetNativeWindowRect() const { return ClipToAncestors(this, item_rect_); }

void CDateTimeUI::SetTime(const SYSTEMTIME& time) {
  time_ = time;
  RefreshText();
}

void CDateTimeUI::SetTimeFormat(const wchar_t* format) {
  time_format_ = format;
  Invalidate();
  RefreshText();
}

void CDateTimeUI::RefreshText() {
  update_flag_ = kRefreshText;
  UpdateText();
}

void CDateTimeUI::UpdateText() {
  if (update_flag_ != kRefreshText) return;
  SetText(FormatDateTimeText(time_, time_format_.GetData()).GetData());
}

void CDateTimeUI::SetPos(RECT rect, bool invalidate) {
  CLabelUI::SetPos(rect, invalidate);
  if (window_ != nullptr) window_->MoveTo(GetNativeWindowRect());
}

void CDateTimeUI::OpenWindow() {
  if (window_ == nullptr) window_ = CDateTimeWnd::Open(this);
  if (window_ != nullptr) window_->Init();
}

void CDateTimeUI::DoEvent(TUIEvent& event) {
  // The picker is no text field: the label's own cursor shows over it.
  if (event.type != UIEVENT_SETCURSOR && HandleHostEvent(this, window_ != nullptr, event)) return;
  if (HandleOpenOnFocusEvent(this, GetNativeWindow(), event, [](CLabelUI* control) {
        static_cast<CDateTimeUI*>(control)->OpenWindow();
      })) {
    return;
  }
  CLabelUI::DoEvent(event);
}

void CDateTimeUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"timeformat") == 0) {
    SetTimeFormat(value);
  } else if (_wcsicmp(name, L"readonly") == 0) {
    SetReadOnly(ParseAttributeBool(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
