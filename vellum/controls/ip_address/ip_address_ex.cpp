#include "vellum/controls/ip_address/ip_address_ex.h"

#include <cstdio>
#include <cwchar>

#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

constexpr COLORREF kActiveText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kActiveBackground = 0xFF9933;

}  // namespace

CIPAddressExUI::CIPAddressExUI() {
  SetReadOnly(true);
  RefreshText();
}

CControlUI* CIPAddressExUI::CreateControl() { return new CIPAddressExUI(); }

const wchar_t* CIPAddressExUI::GetClass() const { return L"IPAddressExUI"; }

LPVOID CIPAddressExUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && std::wcscmp(name, L"IPAddress") == 0) return this;
  return CEditUI::GetInterface(name);
}

void CIPAddressExUI::RefreshText() { SetText(octets_.GetText().GetData()); }

void CIPAddressExUI::DoEvent(TUIEvent& event) {
  // The octets are edited here, not in a native edit window: past its own events the control
  // behaves as a plain label.
  switch (event.type) {
    case UIEVENT_KILLFOCUS:
      if (!IsEnabled()) break;
      octets_.Deactivate();
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (!IsEnabled()) break;
      octets_.Press(item_rect_.right - item_rect_.left, event.mouse_point.x - item_rect_.left);
      RefreshText();
      break;
    case UIEVENT_SCROLLWHEEL:
      if (!IsEnabled()) break;
      // The manager puts 1 in the low word for a turn towards the user.
      octets_.Wheel(LOWORD(event.wParam) == 0);
      RefreshText();
      break;
    case UIEVENT_KEYDOWN:
      if (!IsEnabled()) break;
      if (octets_.KeyDown(static_cast<UINT>(event.key_char))) Invalidate();
      RefreshText();
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CIPAddressExUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  if (GetText().IsEmpty() || manager_ == nullptr) return;
  const RECT area = GetTextRect();
  const int width = area.right - area.left;
  const UINT style = text_style_ | DT_SINGLELINE | DT_NOPREFIX;
  const bool enabled = IsEnabled();
  const COLORREF color = ArgbToColorRef(enabled ? text_color_ : disabled_text_color_);

  HGDIOBJ old_font = ::SelectObject(dc, manager_->GetFont(font_));
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF old_color = ::SetTextColor(dc, color);
  const COLORREF old_background = ::GetBkColor(dc);
  auto draw_at = [&](int x, const char* text) {
    RECT rect{area.left + x, area.top, area.right, area.bottom};
    ::DrawTextA(dc, text, -1, &rect, style);
  };
  for (int i = 1; i <= 3; ++i) draw_at(i * width / 4, ".");
  if (!octets_.AllZero() || octets_.GetActiveOctet() != COctetEditor::kNoOctet) {
    for (int i = 1; i <= 4; ++i) {
      char digits[4] = {};
      std::snprintf(digits, sizeof(digits), "%d", octets_.GetOctet(i));
      const bool active = enabled && i == octets_.GetActiveOctet();
      ::SetBkMode(dc, active ? OPAQUE : TRANSPARENT);
      ::SetTextColor(dc, active ? kActiveText : color);
      ::SetBkColor(dc, kActiveBackground);
      draw_at((i - 1) * width / 4 + width / 8, digits);
    }
  }
  ::SetBkColor(dc, old_background);
  ::SetTextColor(dc, old_color);
  ::SetBkMode(dc, old_mode);
  ::SelectObject(dc, old_font);
}

}  // namespace Vellum
