#include "vellum/controls/progress/slider.h"

#include <climits>

#include "vellum/controls/progress/progress_geometry.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"

namespace Vellum {
namespace {

constexpr UINT kSliderTextStyle = DT_SINGLELINE | DT_CENTER;
// The low word of a wheel event's wParam: 0 turned up, 1 turned down.
constexpr WORD kWheelUp = 0;
constexpr WORD kWheelDown = 1;

}  // namespace

CSliderUI::CSliderUI() { text_style_ = kSliderTextStyle; }

CSliderUI::~CSliderUI() = default;

CControlUI* CSliderUI::CreateControl() { return new CSliderUI(); }

const wchar_t* CSliderUI::GetClass() const { return L"SliderUI"; }

LPVOID CSliderUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Slider") == 0) return this;
  return CProgressUI::GetInterface(name);
}

void CSliderUI::SetEnabled(bool enable) {
  CProgressUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CSliderUI::SetValue(int value) {
  if ((button_state_ & UISTATE_CAPTURED) != 0) return;
  CProgressUI::SetValue(value);
}

RECT CSliderUI::GetThumbRect() const {
  return SliderThumbRect(item_rect_, ScaleValue(thumb_size_), horizontal_,
                         TProgressRange{minimum_, maximum_, value_});
}

int CSliderUI::ValueFromPoint(POINT point) const {
  return SliderValueFromPoint(item_rect_, ScaleValue(thumb_size_), horizontal_,
                              TProgressRange{minimum_, maximum_, value_}, point);
}

void CSliderUI::SetThumbImage(const wchar_t* image) {
  thumb_image_ = image;
  Invalidate();
}

void CSliderUI::SetThumbHotImage(const wchar_t* image) {
  thumb_hot_image_ = image;
  Invalidate();
}

void CSliderUI::SetThumbPushedImage(const wchar_t* image) {
  thumb_pushed_image_ = image;
  Invalidate();
}

void CSliderUI::SetThumbSize(SIZE size) { thumb_size_ = size; }
void CSliderUI::SetStep(int step) { step_ = step; }
void CSliderUI::SetSendMove(bool send_move) { send_move_ = send_move; }

void CSliderUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CLabelUI::DoEvent(event);
    }
    return;
  }

  switch (event.type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) break;
      button_state_ |= UISTATE_CAPTURED;
      {
        const int value = ValueFromPoint(event.mouse_point);
        if (value != value_ && value >= minimum_ && value <= maximum_) {
          value_ = value;
          Invalidate();
        }
      }
      UpdateText();
      return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_RBUTTONUP:
      if (!IsEnabled()) break;
      button_state_ &= ~UISTATE_CAPTURED;
      {
        // Every release within the range reports, also one that leaves the value as it was.
        const int value = ValueFromPoint(event.mouse_point);
        if (value >= minimum_ && value <= maximum_) {
          value_ = value;
          if (manager_) manager_->SendNotify(this, L"valuechanged");
          Invalidate();
        }
      }
      UpdateText();
      return;
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_SCROLLWHEEL: {
      const WORD direction = LOWORD(event.wParam);
      if (!IsEnabled() || (direction != kWheelUp && direction != kWheelDown)) break;
      // A step past either end is refused by SetValue, so the value stays where it was; the
      // turn is reported all the same. Summed in 64 bits: a sum beyond an int is beyond the range.
      const long long step = direction == kWheelUp ? step_ : -static_cast<long long>(step_);
      const long long target = static_cast<long long>(value_) + step;
      if (target >= INT_MIN && target <= INT_MAX) SetValue(static_cast<int>(target));
      if (manager_) manager_->SendNotify(this, L"valuechanged");
      return;
    }
    case UIEVENT_MOUSEMOVE:
      if ((button_state_ & UISTATE_CAPTURED) != 0) {
        value_ = ValueFromPoint(event.mouse_point);
        if (send_move_) {
          UpdateText();
          if (manager_) manager_->SendNotify(this, L"movevaluechanged");
        }
        Invalidate();
      }
      if (IsEnabled()) {
        const RECT thumb = GetThumbRect();
        if (PtInRect(&thumb, event.mouse_point)) {
          button_state_ |= UISTATE_HOT;
        } else {
          button_state_ &= ~UISTATE_HOT;
        }
        Invalidate();
      }
      return;
    case UIEVENT_SETCURSOR:
      if (!IsEnabled()) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return;
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) break;
      button_state_ &= ~UISTATE_HOT;
      Invalidate();
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"thumbimage") == 0) {
    SetThumbImage(value);
  } else if (_wcsicmp(name, L"thumbhotimage") == 0) {
    SetThumbHotImage(value);
  } else if (_wcsicmp(name, L"thumbpushedimage") == 0) {
    SetThumbPushedImage(value);
  } else if (_wcsicmp(name, L"thumbsize") == 0) {
    SetThumbSize(ParseAttributeSize(value));
  } else if (_wcsicmp(name, L"step") == 0) {
    SetStep(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"sendmove") == 0) {
    SetSendMove(ParseAttributeBool(value));
  } else {
    CProgressUI::SetAttribute(name, value);
  }
}

bool CSliderUI::DrawThumb(HDC dc, const CUIString& image) {
  return !image.IsEmpty() && DrawImage(dc, image.GetData(), thumb_modify_.GetData());
}

void CSliderUI::PaintForeImage(HDC dc) {
  CProgressUI::PaintForeImage(dc);

  RECT thumb = GetThumbRect();
  OffsetRect(&thumb, -item_rect_.left, -item_rect_.top);
  if (CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr) scaler->Unscale(&thumb);
  thumb_modify_.Format(L"dest='%d,%d,%d,%d'", static_cast<int>(thumb.left),
                       static_cast<int>(thumb.top), static_cast<int>(thumb.right),
                       static_cast<int>(thumb.bottom));

  if ((button_state_ & UISTATE_CAPTURED) != 0) {
    if (DrawThumb(dc, thumb_pushed_image_)) return;
  } else if ((button_state_ & UISTATE_HOT) != 0) {
    if (DrawThumb(dc, thumb_hot_image_)) return;
  }
  DrawThumb(dc, thumb_image_);
}

}  // namespace Vellum
