#include "vellum/core/layout/container.h"

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base_controls/scroll_bar.h"

namespace Vellum {
namespace {

constexpr int kDefaultLineStep = 8;
// A layout re-places itself when it shows or hides a bar; children whose size follows the space
// they get could make that flip back and forth, so the nesting is bounded.
constexpr int kMaxScrollBarPlacementDepth = 4;

}  // namespace

// ---- Scroll bar placement -------------------------------------------------------------------------

void CContainerUI::ProcessScrollBar(RECT rect, int cx_required, int cy_required) {
  if (scroll_bar_depth_ >= kMaxScrollBarPlacementDepth) return;
  struct DepthGuard {
    explicit DepthGuard(int* depth) : depth_(depth) { ++*depth_; }
    ~DepthGuard() { --*depth_; }
    int* depth_;
  } guard(&scroll_bar_depth_);

  if (horizontal_scroll_bar_) {
    const int over = cx_required - (rect.right - rect.left);
    if (over > 0 && !horizontal_scroll_bar_->IsVisible()) {
      horizontal_scroll_bar_->SetVisible(true);
      horizontal_scroll_bar_->SetScrollRange(over);
      horizontal_scroll_bar_->SetScrollPos(0);
      SetPos(item_rect_, true);
    } else if (horizontal_scroll_bar_->IsVisible()) {
      if (over > 0) {
        const RECT bar{rect.left, rect.bottom, rect.right,
                       rect.bottom + horizontal_scroll_bar_->GetFixedHeight()};
        horizontal_scroll_bar_->SetPos(bar, true);
        if (horizontal_scroll_bar_->GetScrollRange() != over) {
          const int64_t old_pos = horizontal_scroll_bar_->GetScrollPos();
          horizontal_scroll_bar_->SetScrollRange(over);
          if (horizontal_scroll_bar_->GetScrollPos() < old_pos) SetPos(item_rect_, true);
        }
      } else {
        horizontal_scroll_bar_->SetVisible(false);
        horizontal_scroll_bar_->SetScrollPos(0);
        horizontal_scroll_bar_->SetScrollRange(0);
        SetPos(item_rect_, true);
      }
    }
  }

  if (vertical_scroll_bar_) {
    const int over = cy_required - (rect.bottom - rect.top);
    bool changed = false;
    if (over > 0 && !vertical_scroll_bar_->IsVisible()) {
      vertical_scroll_bar_->SetVisible(true);
      vertical_scroll_bar_->SetScrollRange(over);
      vertical_scroll_bar_->SetScrollPos(0);
      changed = true;
    } else if (vertical_scroll_bar_->IsVisible()) {
      if (over > 0) {
        const RECT bar{rect.right, rect.top, rect.right + vertical_scroll_bar_->GetFixedWidth(),
                       rect.bottom};
        vertical_scroll_bar_->SetPos(bar, true);
        if (vertical_scroll_bar_->GetScrollRange() != over) {
          const int64_t old_pos = vertical_scroll_bar_->GetScrollPos();
          vertical_scroll_bar_->SetScrollRange(over);
          if (vertical_scroll_bar_->GetScrollPos() < old_pos) changed = true;
        }
      } else {
        vertical_scroll_bar_->SetVisible(false);
        vertical_scroll_bar_->SetScrollPos(0);
        vertical_scroll_bar_->SetScrollRange(0);
        changed = true;
      }
    }
    if (changed) SetPos(item_rect_, true);
  }
}

// ---- Scrolling ------------------------------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const {
  SIZE pos{0, 0};
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    pos.cy = static_cast<LONG>(vertical_scroll_bar_->GetScrollPos());
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    pos.cx = static_cast<LONG>(horizontal_scroll_bar_->GetScrollPos());
  }
  return pos;
}

SIZE CContainerUI::GetScrollRange() const {
  SIZE range{0, 0};
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    range.cy = static_cast<LONG>(vertical_scroll_bar_->GetScrollRange());
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    range.cx = static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange());
  }
  return range;
}

void CContainerUI::SetScrollPos(SIZE pos, bool notify) {
  LONG dy = 0;
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    const int64_t old_pos = vertical_scroll_bar_->GetScrollPos();
    vertical_scroll_bar_->SetScrollPos(pos.cy);
    dy = static_cast<LONG>(vertical_scroll_bar_->GetScrollPos() - old_pos);
  }
  LONG dx = 0;
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    const int64_t old_pos = horizontal_scroll_bar_->GetScrollPos();
    horizontal_scroll_bar_->SetScrollPos(pos.cx);
    dx = static_cast<LONG>(horizontal_scroll_bar_->GetScrollPos() - old_pos);
  }
  if (dx == 0 && dy == 0) return;

  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible() || child->IsFloat()) continue;
    RECT rc = child->GetPos();
    OffsetRect(&rc, -dx, -dy);
    child->SetPos(rc, true);
  }
  Invalidate();

  if (notify && vertical_scroll_bar_ && manager_) {
    // The "linesize" attribute accepts 0 and negative values; the page number counts in steps
    // of at least one pixel so that it never divides by zero.
    int line = vertical_scroll_bar_->GetLineSize();
    if (line <= 0) line = 1;
    const int64_t page = (vertical_scroll_bar_->GetScrollPos() + line) / line;
    manager_->SendNotify(this, L"scroll", static_cast<WPARAM>(page), 0);
  }
}

int CContainerUI::VerticalLineStep() const {
  const int step = GetScrollStepSize();
  if (step != 0) return step;
  if (!manager_) return kDefaultLineStep;
  const TUIFontInfo* font = manager_->GetDefaultFontInfo();
  return kDefaultLineStep + (font ? static_cast<int>(font->tm.tmHeight) : 0);
}

int CContainerUI::HorizontalLineStep() const {
  const int step = GetScrollStepSize();
  return step != 0 ? step : kDefaultLineStep;
}

void CContainerUI::ScrollBy(LONG dx, LONG dy) {
  SIZE pos = GetScrollPos();
  pos.cx += dx;
  pos.cy += dy;
  SetScrollPos(pos);
}

void CContainerUI::LineUp() { ScrollBy(0, -VerticalLineStep()); }

void CContainerUI::LineDown() { ScrollBy(0, VerticalLineStep()); }

namespace {
int VerticalPageStep(const RECT& item, const RECT& stored_inset, const CScrollBarUI* horizontal) {
  int step = (item.bottom - item.top) - stored_inset.top - stored_inset.bottom;
  if (horizontal && horizontal->IsVisible()) step -= horizontal->GetFixedHeight();
  return step;
}
}  // namespace

void CContainerUI::PageUp() {
  ScrollBy(0, -VerticalPageStep(item_rect_, inset_, horizontal_scroll_bar_));
}

void CContainerUI::PageDown() {
  ScrollBy(0, VerticalPageStep(item_rect_, inset_, horizontal_scroll_bar_));
}

void CContainerUI::HomeUp() {
  SIZE pos = GetScrollPos();
  pos.cy = 0;
  SetScrollPos(pos);
}

void CContainerUI::EndDown() {
  if (manager_ && manager_->GetPaintWindow()) ::UpdateWindow(manager_->GetPaintWindow());
  SIZE pos = GetScrollPos();
  pos.cy = GetScrollRange().cy;
  SetScrollPos(pos);
}

void CContainerUI::LineLeft() { ScrollBy(-HorizontalLineStep(), 0); }

void CContainerUI::LineRight() { ScrollBy(HorizontalLineStep(), 0); }

namespace {
int HorizontalPageStep(const RECT& item, const RECT& scaled_inset, const CScrollBarUI* vertical) {
  int step = (item.right - item.left) - scaled_inset.left - scaled_inset.right;
  if (vertical && vertical->IsVisible()) step -= vertical->GetFixedWidth();
  return step;
}
}  // namespace

void CContainerUI::PageLeft() {
  ScrollBy(-HorizontalPageStep(item_rect_, GetInset(), vertical_scroll_bar_), 0);
}

void CContainerUI::PageRight() {
  ScrollBy(HorizontalPageStep(item_rect_, GetInset(), vertical_scroll_bar_), 0);
}

void CContainerUI::HomeLeft() {
  SIZE pos = GetScrollPos();
  pos.cx = 0;
  SetScrollPos(pos);
}

void CContainerUI::EndRight() {
  if (manager_ && manager_->GetPaintWindow()) ::UpdateWindow(manager_->GetPaintWindow());
  SIZE pos = GetScrollPos();
  pos.cx = GetScrollRange().cx;
  SetScrollPos(pos);
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  if (vertical && !vertical_scroll_bar_) {
    vertical_scroll_bar_ = new CScrollBarUI();
    vertical_scroll_bar_->SetOwner(this);
    vertical_scroll_bar_->SetManager(manager_, nullptr, false);
    if (manager_) {
      const wchar_t* defaults = manager_->GetDefaultAttributeList(L"VScrollBar");
      if (defaults) vertical_scroll_bar_->ApplyAttributeList(defaults);
      vertical_scroll_bar_->SetShow(show_scrollbar_);
    }
  } else if (!vertical && vertical_scroll_bar_) {
    delete vertical_scroll_bar_;
    vertical_scroll_bar_ = nullptr;
  }

  if (horizontal && !horizontal_scroll_bar_) {
    horizontal_scroll_bar_ = new CScrollBarUI();
    horizontal_scroll_bar_->SetHorizontal(true);
    horizontal_scroll_bar_->SetOwner(this);
    horizontal_scroll_bar_->SetManager(manager_, nullptr, false);
    if (manager_) {
      const wchar_t* defaults = manager_->GetDefaultAttributeList(L"HScrollBar");
      if (defaults) horizontal_scroll_bar_->ApplyAttributeList(defaults);
      horizontal_scroll_bar_->SetShow(show_scrollbar_);
    }
  } else if (!horizontal && horizontal_scroll_bar_) {
    delete horizontal_scroll_bar_;
    horizontal_scroll_bar_ = nullptr;
  }
  NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return vertical_scroll_bar_; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return horizontal_scroll_bar_; }

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* style) {
  if (!bar || style == nullptr || style[0] == L'\0') return;
  // Without a manager there is no style table: the value is taken as an attribute list.
  const wchar_t* list = manager_ ? manager_->GetStyle(style) : nullptr;
  bar->ApplyAttributeList(list ? list : style);
}

}  // namespace Vellum
