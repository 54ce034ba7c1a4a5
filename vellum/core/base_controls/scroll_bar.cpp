#include "vellum/core/base_controls/scroll_bar.h"

#include <algorithm>
#include <cstdlib>

#include "vellum/core/layout/container.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

constexpr int kDefaultThickness = 16;
constexpr int kOutlineWidth = 2;

bool IsEmptyArea(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

}  // namespace

CScrollBarUI::CScrollBarUI() {
  fixed_width_ = kDefaultThickness;
  fixed_height_ = 0;
}

CScrollBarUI::~CScrollBarUI() = default;

CControlUI* CScrollBarUI::CreateControl() { return new CScrollBarUI(); }

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ScrollBar") == 0) return this;
  return CControlUI::GetInterface(name);
}

CContainerUI* CScrollBarUI::GetOwner() const { return owner_; }
void CScrollBarUI::SetOwner(CContainerUI* owner) { owner_ = owner; }

bool CScrollBarUI::IsShown() const { return shown_; }
void CScrollBarUI::SetShow(bool show) {
  shown_ = show;
  Invalidate();
}

bool CScrollBarUI::IsHorizontal() const { return horizontal_; }

void CScrollBarUI::SetHorizontal(bool horizontal) {
  if (horizontal_ == horizontal) return;
  horizontal_ = horizontal;
  if (horizontal_) {
    if (fixed_height_ == 0) {
      fixed_width_ = 0;
      fixed_height_ = kDefaultThickness;
    }
  } else if (fixed_width_ == 0) {
    fixed_width_ = kDefaultThickness;
    fixed_height_ = 0;
  }
  if (owner_) {
    owner_->NeedUpdate();
  } else {
    NeedParentUpdate();
  }
}

int64_t CScrollBarUI::GetScrollRange() const { return range_; }

void CScrollBarUI::SetScrollRange(int64_t range) {
  if (range < 0) range = 0;
  if (range_ == range) return;
  range_ = range;
  if (position_ > range_) position_ = range_;
  SetPos(item_rect_, true);
}

int64_t CScrollBarUI::GetScrollPos() const { return position_; }

void CScrollBarUI::SetScrollPos(int64_t pos) {
  if (pos < 0) pos = 0;
  if (pos > range_) pos = range_;
  if (position_ == pos) return;
  position_ = pos;
  SetPos(item_rect_, true);
}

int CScrollBarUI::GetLineSize() const { return line_size_; }
void CScrollBarUI::SetLineSize(int size) { line_size_ = size; }

bool CScrollBarUI::GetShowButton1() const { return show_button1_; }
void CScrollBarUI::SetShowButton1(bool show) {
  show_button1_ = show;
  SetPos(item_rect_, true);
}
bool CScrollBarUI::GetShowButton2() const { return show_button2_; }
void CScrollBarUI::SetShowButton2(bool show) {
  show_button2_ = show;
  SetPos(item_rect_, true);
}

#define VELLUM_SCROLL_BAR_IMAGE(Name, field)                                      \
  const wchar_t* CScrollBarUI::Get##Name() const { return field.GetData(); }     \
  void CScrollBarUI::Set##Name(const wchar_t* image) {                           \
    field = image;                                                               \
    Invalidate();                                                                \
  }
VELLUM_SCROLL_BAR_IMAGE(Button1NormalImage, button1_normal_image_)
VELLUM_SCROLL_BAR_IMAGE(Button1HotImage, button1_hot_image_)
VELLUM_SCROLL_BAR_IMAGE(Button1PushedImage, button1_pushed_image_)
VELLUM_SCROLL_BAR_IMAGE(Button1DisabledImage, button1_disabled_image_)
VELLUM_SCROLL_BAR_IMAGE(Button2NormalImage, button2_normal_image_)
VELLUM_SCROLL_BAR_IMAGE(Button2HotImage, button2_hot_image_)
VELLUM_SCROLL_BAR_IMAGE(Button2PushedImage, button2_pushed_image_)
VELLUM_SCROLL_BAR_IMAGE(Button2DisabledImage, button2_disabled_image_)
VELLUM_SCROLL_BAR_IMAGE(ThumbNormalImage, thumb_normal_image_)
VELLUM_SCROLL_BAR_IMAGE(ThumbHotImage, thumb_hot_image_)
VELLUM_SCROLL_BAR_IMAGE(ThumbPushedImage, thumb_pushed_image_)
VELLUM_SCROLL_BAR_IMAGE(ThumbDisabledImage, thumb_disabled_image_)
VELLUM_SCROLL_BAR_IMAGE(RailNormalImage, rail_normal_image_)
VELLUM_SCROLL_BAR_IMAGE(RailHotImage, rail_hot_image_)
VELLUM_SCROLL_BAR_IMAGE(RailPushedImage, rail_pushed_image_)
VELLUM_SCROLL_BAR_IMAGE(RailDisabledImage, rail_disabled_image_)
VELLUM_SCROLL_BAR_IMAGE(BkNormalImage, bk_normal_image_)
VELLUM_SCROLL_BAR_IMAGE(BkHotImage, bk_hot_image_)
VELLUM_SCROLL_BAR_IMAGE(BkPushedImage, bk_pushed_image_)
VELLUM_SCROLL_BAR_IMAGE(BkDisabledImage, bk_disabled_image_)
#undef VELLUM_SCROLL_BAR_IMAGE

void CScrollBarUI::SetVisible(bool visible) {
  visible_ = visible;
  focused_ = false;
}

void CScrollBarUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  if (!IsEnabled()) {
    button1_state_ = 0;
    button2_state_ = 0;
    thumb_state_ = 0;
  }
}

void CScrollBarUI::SetFocus() {
  if (owner_) {
    owner_->SetFocus();
  } else {
    CControlUI::SetFocus();
  }
}

// ---- Placement ------------------------------------------------------------------------------------

namespace {

// The thumb's share of the track is the visible length over length plus range. Worked in 64 bits:
// a bar millions of pixels long (a huge inset or position) overflows the 32-bit product and the
// sum, which could wrap the divisor to zero.
int ThumbLength(int length, int track, int range) {
  const int64_t whole = static_cast<int64_t>(length) + range;
  if (whole <= 0) return track;
  return static_cast<int>(static_cast<int64_t>(length) * track / whole);
}

}  // namespace

void CScrollBarUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const RECT& rc = item_rect_;
  if (horizontal_) {
    const int t = GetFixedHeight();
    const int length = rc.right - rc.left;
    const int track = length - (show_button1_ ? t : 0) - (show_button2_ ? t : 0);
    button1_rect_ = show_button1_ ? RECT{rc.left, rc.top, rc.left + t, rc.top + t}
                                  : RECT{rc.left, rc.top, rc.left, rc.top};
    if (t < track) {
      button2_rect_ = show_button2_ ? RECT{rc.right - t, rc.top, rc.right, rc.top + t}
                                    : RECT{rc.right, rc.top, rc.right, rc.top};
      thumb_rect_.top = rc.top;
      thumb_rect_.bottom = rc.top + t;
      if (range_ <= 0) {
        thumb_rect_.left = button1_rect_.right;
        thumb_rect_.right = button2_rect_.left;
      } else {
        int thumb = ThumbLength(length, track, range_);
        if (thumb < t) thumb = t;
        thumb_rect_.left = button1_rect_.right +
                           static_cast<LONG>(static_cast<int64_t>(track - thumb) * position_ / range_);
        thumb_rect_.right = thumb_rect_.left + thumb;
        if (thumb_rect_.right > button2_rect_.left) {
          thumb_rect_.left = button2_rect_.left - thumb;
          thumb_rect_.right = button2_rect_.left;
        }
      }
    } else {
      const int size = std::min(t, length / 2);
      button1_rect_ = RECT{rc.left, rc.top, rc.left + size, rc.top + t};
      button2_rect_ = RECT{rc.right - size, rc.top, rc.right, rc.top + t};
      thumb_rect_ = RECT{0, 0, 0, 0};
    }
    return;
  }

  const int t = GetFixedWidth();
  const int length = rc.bottom - rc.top;
  const int track = length - (show_button1_ ? t : 0) - (show_button2_ ? t : 0);
  button1_rect_ = show_button1_ ? RECT{rc.left, rc.top, rc.left + t, rc.top + t}
                                : RECT{rc.left, rc.top, rc.left, rc.top};
  if (t < track) {
    button2_rect_ = show_button2_ ? RECT{rc.left, rc.bottom - t, rc.left + t, rc.bottom}
                                  : RECT{rc.left, rc.bottom, rc.left, rc.bottom};
    thumb_rect_.left = rc.left;
    thumb_rect_.right = rc.left + t;
    if (range_ <= 0) {
      thumb_rect_.top = button1_rect_.bottom;
      thumb_rect_.bottom = button2_rect_.top;
    } else {
      int thumb = ThumbLength(length, track, range_);
      if (thumb < t) thumb = t;
      const float share = static_cast<float>(position_) / static_cast<float>(range_);
      thumb_rect_.top =
          button1_rect_.bottom + static_cast<LONG>(share * static_cast<float>(track - thumb));
      thumb_rect_.bottom = thumb_rect_.top + thumb;
      if (thumb_rect_.bottom > button2_rect_.top) {
        thumb_rect_.top = button2_rect_.top - thumb;
        thumb_rect_.bottom = button2_rect_.top;
      }
    }
  } else {
    const int size = std::min(t, length / 2);
    button1_rect_ = RECT{rc.left, rc.top, rc.left + t, rc.top + size};
    button2_rect_ = RECT{rc.left, rc.bottom - size, rc.left + t, rc.bottom};
    thumb_rect_ = RECT{0, 0, 0, 0};
  }
}

// ---- Steps ----------------------------------------------------------------------------------------

void CScrollBarUI::StepLineBack() {
  if (owner_) {
    if (horizontal_) {
      owner_->LineLeft();
    } else {
      owner_->LineUp();
    }
  } else {
    SetScrollPos(position_ - line_size_);
  }
}

void CScrollBarUI::StepLineForward() {
  if (owner_) {
    if (horizontal_) {
      owner_->LineRight();
    } else {
      owner_->LineDown();
    }
  } else {
    SetScrollPos(position_ + line_size_);
  }
}

void CScrollBarUI::StepPageBack() {
  if (owner_) {
    if (horizontal_) {
      owner_->PageLeft();
    } else {
      owner_->PageUp();
    }
  } else {
    SetScrollPos(position_ - (horizontal_ ? GetWidth() : GetHeight()));
  }
}

void CScrollBarUI::StepPageForward() {
  if (owner_) {
    if (horizontal_) {
      owner_->PageRight();
    } else {
      owner_->PageDown();
    }
  } else {
    SetScrollPos(position_ + (horizontal_ ? GetWidth() : GetHeight()));
  }
}

// ---- Events ---------------------------------------------------------------------------------------

void CScrollBarUI::DoEvent(TUIEvent& event) {
  // An owner may hand events back to its bar; a bar that is already inside its own DoEvent drops
  // such an event instead of passing it round without end.
  if (event_depth_ > 0) return;
  struct DepthGuard {
    explicit DepthGuard(int* depth) : depth_(depth) { ++*depth_; }
    ~DepthGuard() { --*depth_; }
    int* depth_;
  } guard(&event_depth_);

  auto pass_on = [this, &event] {
    if (owner_) {
      owner_->DoEvent(event);
    } else {
      CControlUI::DoEvent(event);
    }
  };
  auto notify_scroll = [this] {
    if (manager_) manager_->SendNotify(this, L"scroll");
  };
  const POINT pt = event.mouse_point;

  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    pass_on();
    return;
  }
  switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
      if (!IsEnabled()) break;
      last_offset_ = 0;
      repeat_count_ = 0;
      if (manager_) manager_->SetTimer(this, kRepeatTimerId, kRepeatElapse);
      if (PtInRect(&button1_rect_, pt)) {
        button1_state_ |= UISTATE_PUSHED;
        StepLineBack();
      } else if (PtInRect(&button2_rect_, pt)) {
        button2_state_ |= UISTATE_PUSHED;
        StepLineForward();
      } else if (PtInRect(&thumb_rect_, pt)) {
        thumb_state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        last_mouse_ = pt;
        last_position_ = position_;
      } else {
        const bool before = horizontal_ ? pt.x < thumb_rect_.left : pt.y < thumb_rect_.top;
        const bool after = horizontal_ ? pt.x > thumb_rect_.right : pt.y > thumb_rect_.bottom;
        if (before) {
          StepPageBack();
        } else if (after) {
          StepPageForward();
        }
      }
      notify_scroll();
      return;
    }
    case UIEVENT_BUTTONUP: {
      repeat_count_ = 0;
      last_offset_ = 0;
      if (manager_) manager_->KillTimer(this, kRepeatTimerId);
      bool cleared = true;
      if ((thumb_state_ & UISTATE_CAPTURED) != 0) {
        thumb_state_ &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
      } else if ((button1_state_ & UISTATE_PUSHED) != 0) {
        button1_state_ &= ~UISTATE_PUSHED;
      } else if ((button2_state_ & UISTATE_PUSHED) != 0) {
        button2_state_ &= ~UISTATE_PUSHED;
      } else {
        cleared = false;
      }
      if (cleared) Invalidate();
      return;
    }
    case UIEVENT_MOUSEMOVE: {
      if ((thumb_state_ & UISTATE_CAPTURED) != 0) {
        // The track as laid out, so that the thumb follows the mouse at every scale.
        const int64_t track = horizontal_
                                  ? (button2_rect_.left - button1_rect_.right) -
                                        (thumb_rect_.right - thumb_rect_.left)
                                  : (button2_rect_.top - button1_rect_.bottom) -
                                        (thumb_rect_.bottom - thumb_rect_.top);
        const int64_t divisor = track < 0 ? -track : track;
        if (divisor != 0) {
          const int64_t moved = horizontal_ ? pt.x - last_mouse_.x : pt.y - last_mouse_.y;
          last_offset_ = moved * range_ / divisor;
        }
        return;
      }
      if ((thumb_state_ & UISTATE_HOT) != 0 && !PtInRect(&thumb_rect_, pt)) {
        thumb_state_ &= ~UISTATE_HOT;
        Invalidate();
      } else if (IsEnabled() && (thumb_state_ & UISTATE_HOT) == 0 && PtInRect(&thumb_rect_, pt)) {
        thumb_state_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    }
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_TIMER:
      if (event.wParam == kRepeatTimerId) {
        HandleTimer();
        return;
      }
      break;
    case UIEVENT_MOUSEENTER:
      if (!IsEnabled()) break;
      button1_state_ |= UISTATE_HOT;
      button2_state_ |= UISTATE_HOT;
      if (PtInRect(&thumb_rect_, pt)) thumb_state_ |= UISTATE_HOT;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) break;
      button1_state_ &= ~UISTATE_HOT;
      button2_state_ &= ~UISTATE_HOT;
      thumb_state_ &= ~UISTATE_HOT;
      Invalidate();
      return;
    default:
      break;
  }
  pass_on();
}

void CScrollBarUI::HandleTimer() {
  ++repeat_count_;
  if ((thumb_state_ & UISTATE_CAPTURED) != 0) {
    const int64_t target = last_position_ + last_offset_;
    if (owner_) {
      SIZE pos = owner_->GetScrollPos();
      if (horizontal_) {
        pos.cx = static_cast<LONG>(target);
      } else {
        pos.cy = static_cast<LONG>(target);
      }
      owner_->SetScrollPos(pos, true);
    } else {
      SetScrollPos(target);
    }
    Invalidate();
  } else if ((button1_state_ & UISTATE_PUSHED) != 0) {
    if (repeat_count_ <= kRepeatDelayTicks) return;
    StepLineBack();
  } else if ((button2_state_ & UISTATE_PUSHED) != 0) {
    if (repeat_count_ <= kRepeatDelayTicks) return;
    StepLineForward();
  } else {
    if (repeat_count_ <= kRepeatDelayTicks) return;
    POINT pt{0, 0};
    ::GetCursorPos(&pt);
    if (manager_ && manager_->GetPaintWindow()) ::ScreenToClient(manager_->GetPaintWindow(), &pt);
    const bool before = horizontal_ ? pt.x < thumb_rect_.left : pt.y < thumb_rect_.top;
    const bool after = horizontal_ ? pt.x > thumb_rect_.right : pt.y > thumb_rect_.bottom;
    if (before) {
      StepPageBack();
    } else if (after) {
      StepPageForward();
    }
  }
  if (manager_) manager_->SendNotify(this, L"scroll");
}

// ---- Attributes -----------------------------------------------------------------------------------

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  static const struct {
    const wchar_t* name;
    void (CScrollBarUI::*setter)(const wchar_t*);
  } kImages[] = {
      {L"button1normalimage", &CScrollBarUI::SetButton1NormalImage},
      {L"button1hotimage", &CScrollBarUI::SetButton1HotImage},
      {L"button1pushedimage", &CScrollBarUI::SetButton1PushedImage},
      {L"button1disabledimage", &CScrollBarUI::SetButton1DisabledImage},
      {L"button2normalimage", &CScrollBarUI::SetButton2NormalImage},
      {L"button2hotimage", &CScrollBarUI::SetButton2HotImage},
      {L"button2pushedimage", &CScrollBarUI::SetButton2PushedImage},
      {L"button2disabledimage", &CScrollBarUI::SetButton2DisabledImage},
      {L"thumbnormalimage", &CScrollBarUI::SetThumbNormalImage},
      {L"thumbhotimage", &CScrollBarUI::SetThumbHotImage},
      {L"thumbpushedimage", &CScrollBarUI::SetThumbPushedImage},
      {L"thumbdisabledimage", &CScrollBarUI::SetThumbDisabledImage},
      {L"railnormalimage", &CScrollBarUI::SetRailNormalImage},
      {L"railhotimage", &CScrollBarUI::SetRailHotImage},
      {L"railpushedimage", &CScrollBarUI::SetRailPushedImage},
      {L"raildisabledimage", &CScrollBarUI::SetRailDisabledImage},
      {L"bknormalimage", &CScrollBarUI::SetBkNormalImage},
      {L"bkhotimage", &CScrollBarUI::SetBkHotImage},
      {L"bkpushedimage", &CScrollBarUI::SetBkPushedImage},
      {L"bkdisabledimage", &CScrollBarUI::SetBkDisabledImage},
  };
  for (const auto& image : kImages) {
    if (_wcsicmp(name, image.name) == 0) {
      (this->*image.setter)(value);
      return;
    }
  }
  if (_wcsicmp(name, L"hor") == 0) {
    SetHorizontal(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"linesize") == 0) {
    SetLineSize(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"range") == 0) {
    SetScrollRange(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"value") == 0) {
    SetScrollPos(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"showbutton1") == 0) {
    SetShowButton1(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"showbutton2") == 0) {
    SetShowButton2(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// ---- Painting -------------------------------------------------------------------------------------

bool CScrollBarUI::DoPaint(HDC dc, const RECT& /*paint*/, CControlUI* /*stop*/) {
  if (!shown_) return true;
  PaintBkColor(dc);
  PaintBkImage(dc);
  PaintBk(dc);
  PaintButton1(dc);
  PaintButton2(dc);
  PaintThumb(dc);
  PaintRail(dc);
  PaintBorder(dc);
  return true;
}

CUIString CScrollBarUI::MakeDestModify(const RECT& part) {
  const int scale =
      manager_ && manager_->GetDpiScaler() ? manager_->GetDpiScaler()->GetScale() : 100;
  auto unscale = [scale](LONG value) { return MulDiv(value, 100, scale > 0 ? scale : 100); };
  CUIString modify;
  modify.SmallFormat(L"dest='%d,%d,%d,%d'", unscale(part.left - item_rect_.left),
                     unscale(part.top - item_rect_.top), unscale(part.right - item_rect_.left),
                     unscale(part.bottom - item_rect_.top));
  return modify;
}

bool CScrollBarUI::DrawStateImage(HDC dc, UINT state, const CUIString& normal,
                                  const CUIString& hot, const CUIString& pushed,
                                  const CUIString& disabled, const wchar_t* modify) {
  const CUIString* chosen = nullptr;
  if ((state & UISTATE_DISABLED) != 0 && !disabled.IsEmpty()) {
    chosen = &disabled;
  } else if ((state & UISTATE_PUSHED) != 0 && !pushed.IsEmpty()) {
    chosen = &pushed;
  } else if ((state & UISTATE_HOT) != 0 && !hot.IsEmpty()) {
    chosen = &hot;
  }
  if (chosen && DrawImage(dc, chosen->GetData(), modify)) return true;
  return !normal.IsEmpty() && DrawImage(dc, normal.GetData(), modify);
}

void CScrollBarUI::PaintBk(HDC dc) {
  UINT state = thumb_state_;
  if (!IsEnabled()) state |= UISTATE_DISABLED;
  DrawStateImage(dc, state, bk_normal_image_, bk_hot_image_, bk_pushed_image_,
                 bk_disabled_image_, nullptr);
}

void CScrollBarUI::PaintPart(HDC dc, const RECT& part, UINT state, const CUIString& normal,
                             const CUIString& hot, const CUIString& pushed,
                             const CUIString& disabled) {
  if (!IsEnabled()) state |= UISTATE_DISABLED;
  image_modify_ = MakeDestModify(part);
  if (!DrawStateImage(dc, state, normal, hot, pushed, disabled, image_modify_.GetData())) {
    CRenderUI::DrawRect(dc, part, kOutlineWidth, kOutlineColor);
  }
}

void CScrollBarUI::PaintButton1(HDC dc) {
  if (!show_button1_) return;
  PaintPart(dc, button1_rect_, button1_state_, button1_normal_image_, button1_hot_image_,
            button1_pushed_image_, button1_disabled_image_);
}

void CScrollBarUI::PaintButton2(HDC dc) {
  if (!show_button2_) return;
  PaintPart(dc, button2_rect_, button2_state_, button2_normal_image_, button2_hot_image_,
            button2_pushed_image_, button2_disabled_image_);
}

void CScrollBarUI::PaintThumb(HDC dc) {
  if (IsEmptyArea(thumb_rect_)) return;
  PaintPart(dc, thumb_rect_, thumb_state_, thumb_normal_image_, thumb_hot_image_,
            thumb_pushed_image_, thumb_disabled_image_);
}

void CScrollBarUI::PaintRail(HDC dc) {
  if (IsEmptyArea(thumb_rect_)) return;
  UINT state = thumb_state_;
  if (!IsEnabled()) state |= UISTATE_DISABLED;
  RECT rail = thumb_rect_;
  if (horizontal_) {
    const int t = GetFixedHeight();
    rail.left = (thumb_rect_.left + thumb_rect_.right) / 2 - t / 2;
    rail.right = rail.left + t;
  } else {
    const int t = GetFixedWidth();
    rail.top = (thumb_rect_.top + thumb_rect_.bottom) / 2 - t / 2;
    rail.bottom = rail.top + t;
  }
  image_modify_ = MakeDestModify(rail);
  DrawStateImage(dc, state, rail_normal_image_, rail_hot_image_, rail_pushed_image_,
                 rail_disabled_image_, image_modify_.GetData());
}

}  // namespace Vellum
