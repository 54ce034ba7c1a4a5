#include "vellum/core/layout/container.h"

#include <cmath>

#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base_controls/scroll_bar.h"

namespace Vellum {
namespace {

bool Intersects(const RECT& a, const RECT& b) {
  RECT unused;
  return IntersectRect(&unused, &a, &b) != FALSE;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CControlUI* CContainerUI::CreateControl() { return new CContainerUI(); }

CContainerUI::~CContainerUI() {
  // Children go at once: the manager must not find them later with a dead parent.
  delayed_destroy_ = false;
  RemoveAll();
  delete vertical_scroll_bar_;
  vertical_scroll_bar_ = nullptr;
  delete horizontal_scroll_bar_;
  horizontal_scroll_bar_ = nullptr;
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (name && _wcsicmp(name, L"Container") == 0) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

// ---- The child list -------------------------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= items_.GetSize()) return nullptr;
  return static_cast<CControlUI*>(items_[index]);
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  if (!control) return -1;
  return items_.Find(control);
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int current = GetItemIndex(control);
  if (current < 0) return false;
  // The index is checked first: taking the child out and failing to put it back would drop a
  // child that is still attached to this container.
  if (index < 0 || index >= items_.GetSize()) return false;
  NeedUpdate();
  ++children_version_;
  items_.Remove(current);
  return items_.InsertAt(index, control);
}

int CContainerUI::GetCount() const { return items_.GetSize(); }

bool CContainerUI::Add(CControlUI* control) {
  if (!control) return false;
  if (manager_) manager_->InitControls(control, this);
  if (IsVisible()) {
    NeedUpdate();
  } else {
    control->SetInheritedVisible(false);
  }
  ++children_version_;
  return items_.Add(control);
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control) return false;
  // Checked before the child is attached, so a refused child is left as it was given.
  if (index < 0 || index > items_.GetSize()) return false;
  if (manager_) manager_->InitControls(control, this);
  if (IsVisible()) {
    NeedUpdate();
  } else {
    control->SetInheritedVisible(false);
  }
  ++children_version_;
  return items_.InsertAt(index, control);
}

void CContainerUI::DestroyChild(CControlUI* control) {
  if (!control) return;
  if (delayed_destroy_ && manager_) {
    manager_->AddDelayedCleanup(control);
  } else {
    delete control;
  }
}

bool CContainerUI::Remove(CControlUI* control) {
  if (!control) return false;
  const int index = items_.Find(control);
  if (index < 0) return false;
  NeedUpdate();
  // Out of the list before it goes, so that nothing reaches a half-destroyed child through it.
  ++children_version_;
  const bool removed = items_.Remove(index);
  if (auto_destroy_) DestroyChild(control);
  return removed;
}

bool CContainerUI::RemoveAt(int index) {
  CControlUI* control = GetItemAt(index);
  if (!control) return false;
  return Remove(control);
}

void CContainerUI::RemoveAll() {
  if (auto_destroy_) {
    // Taken out of the list first, so that nothing deleted here is reachable through it.
    CUIPtrArray children(items_);
    items_.Empty();
    for (int i = 0; i < children.GetSize(); ++i) {
      DestroyChild(static_cast<CControlUI*>(children[i]));
    }
  } else {
    items_.Empty();
  }
  ++children_version_;
  NeedUpdate();
}

// ---- Tree propagation -----------------------------------------------------------------------------

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  ++children_version_;
  for (int i = 0; i < items_.GetSize(); ++i) {
    static_cast<CControlUI*>(items_[i])->SetManager(manager, this, init);
  }
  if (vertical_scroll_bar_) vertical_scroll_bar_->SetManager(manager, this, init);
  if (horizontal_scroll_bar_) horizontal_scroll_bar_->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (int i = 0; i < items_.GetSize(); ++i) {
    static_cast<CControlUI*>(items_[i])->SetInheritedVisible(IsVisible());
  }
}

void CContainerUI::SetInheritedVisible(bool visible) {
  CControlUI::SetInheritedVisible(visible);
  for (int i = 0; i < items_.GetSize(); ++i) {
    static_cast<CControlUI*>(items_[i])->SetInheritedVisible(IsVisible());
  }
}

void CContainerUI::SetEnabled(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  for (int i = 0; i < items_.GetSize(); ++i) {
    static_cast<CControlUI*>(items_[i])->SetEnabled(enable);
  }
  Invalidate();
}

void CContainerUI::SetMouseEnabled(bool enable) {
  if (vertical_scroll_bar_) vertical_scroll_bar_->SetMouseEnabled(enable);
  if (horizontal_scroll_bar_) horizontal_scroll_bar_->SetMouseEnabled(enable);
  CControlUI::SetMouseEnabled(enable);
}

void CContainerUI::Move(SIZE offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    vertical_scroll_bar_->Move(offset, false);
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    horizontal_scroll_bar_->Move(offset, false);
  }
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (child && child->IsVisible()) child->Move(offset, false);
  }
}

// ---- Settings -------------------------------------------------------------------------------------

RECT CContainerUI::GetInset() const { return ScaleValue(inset_); }
void CContainerUI::SetInset(RECT inset) {
  inset_ = inset;
  NeedUpdate();
}
int CContainerUI::GetChildPadding() const { return ScaleValue(child_padding_); }
void CContainerUI::SetChildPadding(int padding) {
  child_padding_ = padding;
  NeedUpdate();
}
UINT CContainerUI::GetChildAlign() const { return child_align_; }
void CContainerUI::SetChildAlign(UINT align) {
  child_align_ = align;
  NeedUpdate();
}
UINT CContainerUI::GetChildVAlign() const { return child_valign_; }
void CContainerUI::SetChildVAlign(UINT align) {
  child_valign_ = align;
  NeedUpdate();
}
bool CContainerUI::IsAutoDestroy() const { return auto_destroy_; }
void CContainerUI::SetAutoDestroy(bool auto_destroy) { auto_destroy_ = auto_destroy; }
bool CContainerUI::IsDelayedDestroy() const { return delayed_destroy_; }
void CContainerUI::SetDelayedDestroy(bool delayed) { delayed_destroy_ = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return mouse_child_enabled_; }
void CContainerUI::SetMouseChildEnabled(bool enable) { mouse_child_enabled_ = enable; }

bool CContainerUI::IsFixedScrollbar() const { return fixed_scrollbar_; }
void CContainerUI::SetFixedScrollbar(bool fixed) {
  fixed_scrollbar_ = fixed;
  Invalidate();
}

void CContainerUI::SetShowScrollbar(bool show) {
  show_scrollbar_ = show;
  if (vertical_scroll_bar_) vertical_scroll_bar_->SetShow(show);
  if (horizontal_scroll_bar_) horizontal_scroll_bar_->SetShow(show);
}

void CContainerUI::SetScrollStepSize(int size) {
  if (size > 0) scroll_step_size_ = size;
}
int CContainerUI::GetScrollStepSize() const { return ScaleValue(scroll_step_size_); }

int CContainerUI::FindSelectable(int index, bool forward) const {
  const int count = items_.GetSize();
  if (count <= 0) return -1;
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  auto selectable = [this](int i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    return child && child->GetInterface(L"ListItem") != nullptr && child->IsVisible() &&
           child->IsEnabled();
  };
  if (forward) {
    for (int i = index; i < count; ++i) {
      if (selectable(i)) return i;
    }
    return -1;
  }
  for (int i = index; i >= 0; --i) {
    if (selectable(i)) return i;
  }
  return FindSelectable(0, true);
}

// ---- Geometry -------------------------------------------------------------------------------------

RECT CContainerUI::GetInsetRect() const {
  RECT rc = item_rect_;
  const RECT inset = GetInset();
  rc.left += inset.left;
  rc.top += inset.top;
  rc.right -= inset.right;
  rc.bottom -= inset.bottom;
  return rc;
}

RECT CContainerUI::GetContentRect() const {
  RECT rc = GetInsetRect();
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    rc.right -= vertical_scroll_bar_->GetFixedWidth();
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    rc.bottom -= horizontal_scroll_bar_->GetFixedHeight();
  }
  return rc;
}

RECT CContainerUI::GetClientPos() const {
  RECT rc = GetInsetRect();
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible()) {
    const auto pos = static_cast<LONG>(vertical_scroll_bar_->GetScrollPos());
    rc.top -= pos;
    rc.bottom -= pos;
    rc.bottom += static_cast<LONG>(vertical_scroll_bar_->GetScrollRange());
    rc.right -= vertical_scroll_bar_->GetFixedWidth();
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible()) {
    const auto pos = static_cast<LONG>(horizontal_scroll_bar_->GetScrollPos());
    rc.left -= pos;
    rc.right -= pos;
    rc.right += static_cast<LONG>(horizontal_scroll_bar_->GetScrollRange());
    rc.bottom -= horizontal_scroll_bar_->GetFixedHeight();
  }
  return rc;
}

void CContainerUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  if (items_.IsEmpty()) return;
  const RECT rc = GetClientPos();
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    LONG width = rc.right - rc.left;
    if (width < child->GetMinWidth()) width = child->GetMinWidth();
    if (width > child->GetMaxWidth()) width = child->GetMaxWidth();
    LONG height = rc.bottom - rc.top;
    if (height < child->GetMinHeight()) height = child->GetMinHeight();
    if (height > child->GetMaxHeight()) height = child->GetMaxHeight();
    child->SetPos(RECT{rc.left, rc.top, rc.left + width, rc.top + height}, false);
  }
}

void CContainerUI::SetFloatPos(int index) {
  CControlUI* child = GetItemAt(index);
  if (!child || !child->IsVisible() || !child->IsFloat()) return;
  const SIZE xy = child->GetFixedXY();
  const int width = child->GetFixedWidth();
  const int height = child->GetFixedHeight();
  const UINT align = child->GetFloatAlign();
  const LONG outer_width = item_rect_.right - item_rect_.left;
  const LONG outer_height = item_rect_.bottom - item_rect_.top;
  RECT pos{0, 0, 0, 0};
  if (align != 0) {
    pos = RECT{0, 0, width, height};
    LONG dx = xy.cx;
    if ((align & UIFLOAT_HCENTER) != 0) {
      dx = (outer_width - width) / 2;
    } else if ((align & UIFLOAT_RIGHT) != 0) {
      dx = outer_width - width;
    }
    LONG dy = xy.cy;
    if ((align & UIFLOAT_VCENTER) != 0) {
      dy = (outer_height - height) / 2;
    } else if ((align & UIFLOAT_BOTTOM) != 0) {
      dy = outer_height - height;
    }
    OffsetRect(&pos, dx, dy);
    OffsetRect(&pos, item_rect_.left, item_rect_.top);
  } else {
    const TFloatPercent percent = child->GetFloatPercent();
    const LONG base_x = xy.cx < 0 ? item_rect_.right : item_rect_.left;
    const LONG base_y = xy.cy < 0 ? item_rect_.bottom : item_rect_.top;
    pos.left = static_cast<LONG>(outer_width * percent.left) + base_x + xy.cx;
    pos.top = static_cast<LONG>(outer_height * percent.top) + base_y + xy.cy;
    pos.right = static_cast<LONG>(outer_width * percent.right) + width + base_x + xy.cx;
    pos.bottom = static_cast<LONG>(outer_height * percent.bottom) + height + base_y + xy.cy;
  }
  child->SetPos(pos, false);
}

// ---- Painting -------------------------------------------------------------------------------------

bool CContainerUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_rect_)) return true;

  CClipRegionUI clip;
  CRenderUI::ClipToRect(dc, area, clip);
  CControlUI::DoPaint(dc, paint, stop);

  if (!items_.IsEmpty()) {
    // Painting up to a stop control walks every child before it.
    int first = 0;
    int end = items_.GetSize();
    if (stop == nullptr) GetPaintRun(paint, &first, &end);
    const RECT content = GetContentRect();
    RECT inner;
    if (!IntersectRect(&inner, &paint, &content)) {
      for (int i = first; i < end; ++i) {
        auto* child = static_cast<CControlUI*>(items_[i]);
        if (child == stop) return false;
        if (!child || !child->IsVisible() || !Intersects(paint, child->GetPos())) continue;
        if (!child->IsFloat() || !Intersects(item_rect_, child->GetPos())) continue;
        if (!child->Paint(dc, paint, stop)) return false;
      }
    } else {
      CClipRegionUI child_clip;
      CRenderUI::ClipToRect(dc, inner, child_clip);
      for (int i = first; i < end; ++i) {
        auto* child = static_cast<CControlUI*>(items_[i]);
        if (child == stop) return false;
        if (!child || !child->IsVisible() || !Intersects(paint, child->GetPos())) continue;
        if (child->IsFloat()) {
          if (!Intersects(item_rect_, child->GetPos())) continue;
          // A floating child may reach outside the content area: it paints under the outer clip.
          CRenderUI::RestoreOuterClip(dc, child_clip);
          const bool go_on = child->Paint(dc, paint, stop);
          CRenderUI::ReapplyClip(dc, child_clip);
          if (!go_on) return false;
        } else {
          if (!Intersects(content, child->GetPos())) continue;
          if (!child->Paint(dc, paint, stop)) return false;
        }
      }
    }
  }

  for (CScrollBarUI* bar : {vertical_scroll_bar_, horizontal_scroll_bar_}) {
    if (!bar || !bar->IsVisible()) continue;
    if (bar == stop) return false;
    if (Intersects(paint, bar->GetPos()) && !bar->Paint(dc, paint, stop)) return false;
  }
  return true;
}

void CContainerUI::GetPaintRun(const RECT& paint, int* first, int* end) {
  const int count = items_.GetSize();
  *first = 0;
  *end = count;
  if (rows_version_ != children_version_) {
    rows_version_ = children_version_;
    children_in_rows_ = true;
    const CControlUI* previous = nullptr;
    for (int i = 0; i < count && children_in_rows_; ++i) {
      const auto* child = static_cast<const CControlUI*>(items_[i]);
      // A child tells its parent when it moves: one that does not know this container as its
      // parent could move unnoticed.
      if (!child || child->GetParent() != this) {
        children_in_rows_ = false;
      } else if (previous) {
        const RECT& before = previous->GetPos();
        const RECT& now = child->GetPos();
        children_in_rows_ = now.top >= before.top && now.bottom >= before.bottom;
      }
      previous = child;
    }
  }
  if (!children_in_rows_) return;
  auto child_at = [this](int i) -> const RECT& {
    return static_cast<const CControlUI*>(items_[i])->GetPos();
  };
  // The first child reaching below the band's top, then the first one starting at or below its bottom.
  int low = 0;
  int high = count;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (child_at(middle).bottom <= paint.top) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  *first = low;
  high = count;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (child_at(middle).top < paint.bottom) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  *end = low;
}

}  // namespace Vellum
