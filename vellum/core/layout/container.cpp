#include "vellum/core/layout/container.h"

#include <cmath>

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

constexpr int kDefaultLineStep = 8;
// A layout re-places itself when it shows or hides a bar; children whose size follows the space
// they get could make that flip back and forth, so the nesting is bounded.
constexpr int kMaxScrollBarPlacementDepth = 4;

bool IsMouseEvent(int type) {
  return type >= UIEVENT__MOUSEBEGIN && type <= UIEVENT__MOUSEEND;
}

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

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, const CUIString& style) {
  if (!bar || style.IsEmpty()) return;
  // Without a manager there is no style table: the value is taken as an attribute list.
  const wchar_t* list = manager_ ? manager_->GetStyle(style.GetData()) : nullptr;
  bar->ApplyAttributeList(list ? list : style.GetData());
}

// ---- Hit testing ----------------------------------------------------------------------------------

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  const bool hit_test = (flags & UIFIND_HITTEST) != 0;
  if (hit_test && (!data || !PtInRect(&item_rect_, *static_cast<const POINT*>(data)))) {
    return nullptr;
  }
  if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) return nullptr;

  CControlUI* result = nullptr;
  if ((flags & UIFIND_ME_FIRST) != 0 && (!hit_test || IsMouseEnabled())) {
    result = proc(this, data);
    if (result) return result;
  }
  if (!hit_test || IsMouseEnabled()) {
    if (vertical_scroll_bar_) {
      result = vertical_scroll_bar_->FindControl(proc, data, flags);
      if (result) return result;
    }
    if (horizontal_scroll_bar_) {
      result = horizontal_scroll_bar_->FindControl(proc, data, flags);
      if (result) return result;
    }
  }

  if (!hit_test || mouse_child_enabled_) {
    const RECT content = GetContentRect();
    const int count = items_.GetSize();
    const bool top_first = (flags & UIFIND_TOP_FIRST) != 0;
    for (int n = 0; n < count; ++n) {
      auto* child = static_cast<CControlUI*>(items_[top_first ? count - 1 - n : n]);
      if (!child) continue;
      result = child->FindControl(proc, data, flags);
      if (!result) continue;
      if (!hit_test) return result;
      if (result->IsFloat() || PtInRect(&content, *static_cast<const POINT*>(data))) {
        return result;
      }
    }
  }

  if ((flags & UIFIND_ME_FIRST) != 0) return nullptr;
  if (hit_test && !IsMouseEnabled()) return nullptr;
  return proc(this, data);
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

// ---- Events ---------------------------------------------------------------------------------------

void CContainerUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CControlUI::DoEvent(event);
    }
    return;
  }
  if (event.type == UIEVENT_SETFOCUS) {
    focused_ = true;
    return;
  }
  if (event.type == UIEVENT_KILLFOCUS) {
    focused_ = false;
    return;
  }
  if (vertical_scroll_bar_ && vertical_scroll_bar_->IsVisible() &&
      vertical_scroll_bar_->IsEnabled()) {
    if (event.type == UIEVENT_KEYDOWN) {
      switch (event.key_char) {
        case VK_PRIOR: PageUp(); return;
        case VK_NEXT: PageDown(); return;
        case VK_END: EndDown(); return;
        case VK_HOME: HomeUp(); return;
        case VK_UP: LineUp(); return;
        case VK_DOWN: LineDown(); return;
        default: break;
      }
    } else if (event.type == UIEVENT_SCROLLWHEEL) {
      switch (LOWORD(event.wParam)) {
        case SB_LINEUP: LineUp(); return;
        case SB_LINEDOWN: LineDown(); return;
        default: break;
      }
    }
  }
  if (horizontal_scroll_bar_ && horizontal_scroll_bar_->IsVisible() &&
      horizontal_scroll_bar_->IsEnabled()) {
    if (event.type == UIEVENT_KEYDOWN) {
      switch (event.key_char) {
        case VK_PRIOR: PageLeft(); return;
        case VK_NEXT: PageRight(); return;
        case VK_END: EndRight(); return;
        case VK_HOME: HomeLeft(); return;
        case VK_UP: LineLeft(); return;
        case VK_DOWN: LineRight(); return;
        default: break;
      }
    } else if (event.type == UIEVENT_SCROLLWHEEL) {
      switch (LOWORD(event.wParam)) {
        case SB_LINEUP: LineLeft(); return;
        case SB_LINEDOWN: LineRight(); return;
        default: break;
      }
    }
  }
  CControlUI::DoEvent(event);
}

// ---- Attributes -----------------------------------------------------------------------------------

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name) return;
  if (!value) value = L"";
  if (_wcsicmp(name, L"inset") == 0) {
    SetInset(ParseAttributeRect(value));
  } else if (_wcsicmp(name, L"mousechild") == 0) {
    SetMouseChildEnabled(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"vscrollbar") == 0) {
    EnableScrollBar(ParseAttributeBool(value), horizontal_scroll_bar_ != nullptr);
  } else if (_wcsicmp(name, L"vscrollbarstyle") == 0) {
    vertical_scroll_bar_style_ = value;
    EnableScrollBar(true, horizontal_scroll_bar_ != nullptr);
    ApplyScrollBarStyle(vertical_scroll_bar_, vertical_scroll_bar_style_);
  } else if (_wcsicmp(name, L"hscrollbar") == 0) {
    EnableScrollBar(vertical_scroll_bar_ != nullptr, ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"hscrollbarstyle") == 0) {
    horizontal_scroll_bar_style_ = value;
    EnableScrollBar(vertical_scroll_bar_ != nullptr, true);
    ApplyScrollBarStyle(horizontal_scroll_bar_, horizontal_scroll_bar_style_);
  } else if (_wcsicmp(name, L"childpadding") == 0) {
    SetChildPadding(ParseAttributeInt(value));
  } else if (wcscmp(name, L"childalign") == 0) {
    // Name and values are compared exactly; other values leave the alignment as it was.
    if (wcscmp(value, L"left") == 0) {
      child_align_ = UICHILD_ALIGN_LEFT;
    } else if (wcscmp(value, L"center") == 0) {
      child_align_ = UICHILD_ALIGN_CENTER;
    } else if (wcscmp(value, L"right") == 0) {
      child_align_ = UICHILD_ALIGN_RIGHT;
    }
  } else if (wcscmp(name, L"childvalign") == 0) {
    if (wcscmp(value, L"top") == 0) {
      child_valign_ = UICHILD_VALIGN_TOP;
    } else if (wcscmp(value, L"vcenter") == 0) {
      child_valign_ = UICHILD_VALIGN_VCENTER;
    } else if (wcscmp(value, L"bottom") == 0) {
      child_valign_ = UICHILD_VALIGN_BOTTOM;
    }
  } else if (_wcsicmp(name, L"scrollstepsize") == 0) {
    SetScrollStepSize(ParseAttributeInt(value));
  } else if (_wcsicmp(name, L"fixedscrollbar") == 0) {
    SetFixedScrollbar(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"showscrollbar") == 0) {
    SetShowScrollbar(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

}  // namespace Vellum
