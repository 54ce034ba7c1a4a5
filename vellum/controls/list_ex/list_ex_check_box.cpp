#include "vellum/controls/list_ex/list_ex_check_box.h"

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

constexpr int kBoxLeftInset = 6;
constexpr UINT kPressed = UISTATE_CAPTURED | UISTATE_PUSHED;

bool Inside(const RECT& rect, POINT point) { return PtInRect(&rect, point) != FALSE; }

// Sets or clears bits; true when the state changed.
bool Apply(UINT* state, UINT bits, bool on) {
  const UINT before = *state;
  if (on) {
    *state |= bits;
  } else {
    *state &= ~bits;
  }
  return *state != before;
}

}  // namespace

RECT ListExCheckBoxRect(const RECT& item, SIZE box) {
  const LONG left = item.left + kBoxLeftInset;
  const LONG top = item.top + (item.bottom - item.top - box.cy) / 2;
  return RECT{left, top, left + box.cx, top + box.cy};
}

bool CListExCheckBox::SetAttribute(const wchar_t* name, const wchar_t* value) {
  struct TImageAttribute {
    const wchar_t* name;
    CUIString* field;
  };
  const TImageAttribute images[] = {
      {L"checkboxnormalimage", &normal_image_},     {L"checkboxhotimage", &hot_image_},
      {L"checkboxpushedimage", &pushed_image_},     {L"checkboxfocusedimage", &focused_image_},
      {L"checkboxdisabledimage", &disabled_image_}, {L"checkboxselectedimage", &selected_image_},
      {L"checkboxforeimage", &fore_image_},
  };
  if (_wcsicmp(name, L"checkboxwidth") == 0) {
    SetWidth(ParseAttributeInt(value));
    return true;
  }
  if (_wcsicmp(name, L"checkboxheight") == 0) {
    SetHeight(ParseAttributeInt(value));
    return true;
  }
  for (const TImageAttribute& image : images) {
    if (_wcsicmp(name, image.name) == 0) {
      *image.field = value;
      return true;
    }
  }
  return false;
}

bool CListExCheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return false;
  checked_ = checked;
  Apply(&state_, UISTATE_SELECTED, checked);
  return true;
}

void CListExCheckBox::SetWidth(int width) {
  if (width >= 0) width_ = width;
}

void CListExCheckBox::SetHeight(int height) {
  if (height >= 0) height_ = height;
}

CListExCheckBox::TResult CListExCheckBox::HandleMouse(int type, POINT point, const RECT& rect,
                                                      bool hover_tracks_position) {
  TResult result;
  const bool inside = Inside(rect, point);
  switch (type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (inside) result.changed = Apply(&state_, kPressed, true);
      break;
    case UIEVENT_MOUSEMOVE:
      if ((state_ & UISTATE_CAPTURED) != 0) {
        result.changed = Apply(&state_, UISTATE_PUSHED, inside);
      } else if (hover_tracks_position) {
        result.changed = Apply(&state_, UISTATE_HOT, inside);
      }
      break;
    case UIEVENT_BUTTONUP:
      if ((state_ & UISTATE_CAPTURED) != 0) {
        if (inside) {
          SetChecked(!checked_);
          result.toggled = true;
        }
        Apply(&state_, kPressed, false);
        result.changed = true;
      }
      break;
    case UIEVENT_MOUSEENTER:
      if (inside) result.changed = Apply(&state_, UISTATE_HOT, true);
      break;
    case UIEVENT_MOUSELEAVE:
      result.changed = Apply(&state_, UISTATE_HOT, false);
      break;
    default:
      break;
  }
  return result;
}

void CListExCheckBox::Paint(HDC dc, CPaintManagerUI* manager, const RECT& rect, const RECT& paint,
                            bool focused, bool enabled) {
  auto draw = [&](const CUIString& image) {
    return !image.IsEmpty() &&
           CRenderUI::DrawImageString(dc, manager, rect, paint, image.GetData(), nullptr);
  };
  // A press shows only while the mouse moves over the box; a repaint ends it.
  state_ &= ~UISTATE_PUSHED;
  if (checked_ && draw(selected_image_)) {
    draw(fore_image_);
    return;
  }
  Apply(&state_, UISTATE_FOCUSED, focused);
  Apply(&state_, UISTATE_DISABLED, !enabled);
  const CUIString* state_image = nullptr;
  if ((state_ & UISTATE_DISABLED) != 0) {
    state_image = &disabled_image_;
  } else if ((state_ & UISTATE_PUSHED) != 0) {
    state_image = &pushed_image_;
  } else if ((state_ & UISTATE_HOT) != 0) {
    state_image = &hot_image_;
  } else if ((state_ & UISTATE_FOCUSED) != 0) {
    state_image = &focused_image_;
  }
  if (state_image && draw(*state_image)) return;
  if (draw(normal_image_)) return;
  draw(fore_image_);
}

}  // namespace Vellum
