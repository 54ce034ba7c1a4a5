#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {

void CControlUI::Event(TUIEvent& event) {
  if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(TUIEvent& event) {
  switch (event.type) {
    case UIEVENT_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, cursor_ != 0 ? MAKEINTRESOURCEW(cursor_) : IDC_ARROW));
      return;
    case UIEVENT_SETFOCUS:
      focused_ = true;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      focused_ = false;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      if (manager_) manager_->SendNotify(this, L"timer", event.wParam, event.lParam, false);
      return;
    case UIEVENT_CONTEXTMENU:
      if (menu_used_) {
        if (manager_) manager_->SendNotify(this, L"menu", event.wParam, event.lParam, false);
        return;
      }
      break;
    default:
      break;
  }
  // Unhandled events travel up: this is how a scrolling container reacts to the wheel over a child.
  if (parent_) parent_->DoEvent(event);
}

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  RECT area = item_rect_;
  for (CControlUI* ancestor = parent_; ancestor; ancestor = ancestor->GetParent()) {
    RECT clipped;
    if (!IntersectRect(&clipped, &area, &ancestor->GetPos())) return;
    area = clipped;
  }
  if (manager_) manager_->Invalidate(area);
}

void CControlUI::NeedUpdate() {
  if (!IsVisible()) return;
  update_needed_ = true;
  Invalidate();
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedChildUpdate(CControlUI* /*child*/) {
  // NeedUpdate repaints the same area already; asking the window system twice per geometry change
  // doubled the cost of every row shown, hidden or resized in a long list.
  NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (parent_) {
    parent_->NeedChildUpdate(this);
  } else {
    NeedUpdate();
  }
  if (manager_) manager_->NeedUpdate();
}

}  // namespace Vellum
