#include "vellum/controls/animation/animation_tab_layout.h"

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CAnimationTabLayoutUI::CAnimationTabLayoutUI() : CUIAnimation(this) {}

CControlUI* CAnimationTabLayoutUI::CreateControl() { return new CAnimationTabLayoutUI(); }

const wchar_t* CAnimationTabLayoutUI::GetClass() const { return L"AnimationTabLayoutUI"; }

LPVOID CAnimationTabLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"AnimationTabLayout") == 0) {
    return static_cast<CAnimationTabLayoutUI*>(this);
  }
  return CTabLayoutUI::GetInterface(name);
}

bool CAnimationTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == current_) return true;
  if (index > current_) {
    direction_sign_ = -1;
  } else {
    direction_sign_ = 1;
  }

  const int old = current_;
  current_ = index;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (!page) continue;
    if (i == index) {
      page->SetVisible(true);
      page->SetFocus();
      control_ = page;
      control_visible_ = false;
    } else {
      page->SetVisible(false);
    }
  }
  NeedParentUpdate();
  // Hidden again until the first frame, so it never shows at its final place before sliding.
  if (control_) control_->SetVisible(false);

  // A selection during a slide finds the layout away from its place: the place is still the one
  // the running slide started from.
  if (!IsAnimationRunning(kSlideAnimationId)) old_rect_ = item_rect_;
  const RECT place = old_rect_;
  current_rect_ = place;
  if (!vertical_) {
    const LONG shift =
        (kHorizontalSlideOffset - (place.right - place.left)) * direction_sign_;
    current_rect_.left += shift;
    current_rect_.right += shift;
  } else {
    const LONG shift = -(place.bottom - place.top) * direction_sign_;
    current_rect_.top += shift;
    current_rect_.bottom += shift;
  }
  StopAnimation(kSlideAnimationId);
  if (!StartAnimation(kSlideFrameElapse, kSlideFrameCount, kSlideAnimationId)) {
    // No frame will ever come to show the page: show it in place now.
    current_rect_ = old_rect_;
    ShowControlOnce();
    SetPos(old_rect_, true);
  }

  if (manager_) {
    manager_->SetNextTabControl(true);
    manager_->SendNotify(this, L"tabselect", static_cast<WPARAM>(current_),
                         static_cast<LPARAM>(old));
  }
  return true;
}

bool CAnimationTabLayoutUI::Remove(CControlUI* control) {
  // The slide's page may go while it slides in; the frames still to come must not reach it.
  if (control && control == control_) control_ = nullptr;
  return CTabLayoutUI::Remove(control);
}

void CAnimationTabLayoutUI::RemoveAll() {
  control_ = nullptr;
  CTabLayoutUI::RemoveAll();
}

void CAnimationTabLayoutUI::ShowControlOnce() {
  if (control_visible_) return;
  control_visible_ = true;
  if (control_) control_->SetVisible(true);
}

void CAnimationTabLayoutUI::OnAnimationStep(int total_frame, int current_frame, int) {
  ShowControlOnce();
  if (current_frame != total_frame) {
    if (!vertical_) {
      const LONG step = (old_rect_.right - old_rect_.left) * direction_sign_ / total_frame;
      current_rect_.left += step;
      current_rect_.right += step;
    } else {
      const LONG step = (old_rect_.bottom - old_rect_.top) * direction_sign_ / total_frame;
      current_rect_.top += step;
      current_rect_.bottom += step;
    }
  } else {
    current_rect_ = old_rect_;
    SetItemRect(old_rect_);
  }
  SetPos(current_rect_, true);
}

void CAnimationTabLayoutUI::OnAnimationStop(int) {
  SetPos(old_rect_, true);
  NeedParentUpdate();
}

void CAnimationTabLayoutUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
  CContainerUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && _wcsicmp(name, L"animation_direction") == 0 && value &&
      _wcsicmp(value, L"vertical") == 0) {
    vertical_ = true;
  }
  CTabLayoutUI::SetAttribute(name, value);
}

}  // namespace Vellum
