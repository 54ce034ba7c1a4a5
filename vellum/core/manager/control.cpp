#include "vellum/core/manager/control.h"

#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/resources/resource_store.h"

namespace Vellum {
namespace {

bool IsEmptyRect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

}  // namespace

CControlUI::CControlUI() = default;

CControlUI* CControlUI::CreateControl() { return new CControlUI(); }

CControlUI::~CControlUI() {
  if (OnDestroy) OnDestroy(this);
  RemoveAllCustomAttribute();
  // Not only the manager it is attached to: a control registers with the manager it is built
  // for, and may be detached from it (or moved to another) before it dies.
  CPaintManagerUI::ForgetDyingControl(this);
}

// ---- Identity and place in the tree ----------------------------------------------------------------

CUIString CControlUI::GetName() const { return name_; }
void CControlUI::SetName(const wchar_t* name) { name_ = name; }
const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Control") == 0) return this;
  return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return manager_; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && parent_) Init();
}

CControlUI* CControlUI::GetParent() const { return parent_; }

void CControlUI::Init() {
  DoInit();
  OnInit(this);
}

void CControlUI::DoInit() {}

CUIString CControlUI::GetVirtualWnd() const {
  const CUIString& own = rare_texts_.Get(&TRareTexts::virtual_wnd);
  if (!own.IsEmpty()) return own;
  if (parent_) return parent_->GetVirtualWnd();
  return CUIString();
}

void CControlUI::SetVirtualWnd(const wchar_t* name) {
  rare_texts_.Store(&TRareTexts::virtual_wnd, name);
  if (manager_) manager_->SetUseVirtualWnd(true);
}

// ---- Texts and flags --------------------------------------------------------------------------------

CUIString CControlUI::GetText() const {
  if (!resource_text_) return text_;
  return CResourceStore::GetInstance()->GetText(text_.GetData());
}

void CControlUI::SetText(const wchar_t* text) {
  if (text_ == (text ? text : L"")) return;
  text_ = text;
  text_.Replace(L"{\\n}", L"\n");
  Invalidate();
}

bool CControlUI::IsResourceText() const { return resource_text_; }
void CControlUI::SetResourceText(bool resource) {
  if (resource_text_ == resource) return;
  resource_text_ = resource;
  Invalidate();
}

bool CControlUI::IsDragEnabled() const { return drag_enabled_; }
void CControlUI::SetDragEnabled(bool enable) { drag_enabled_ = enable; }
bool CControlUI::IsDropEnabled() const { return drop_enabled_; }
void CControlUI::SetDropEnabled(bool enable) { drop_enabled_ = enable; }
bool CControlUI::IsRichEvent() const { return rich_event_; }
void CControlUI::SetRichEvent(bool enable) { rich_event_ = enable; }

CUIString CControlUI::GetToolTip() const {
  const CUIString& tooltip = rare_texts_.Get(&TRareTexts::tooltip);
  if (!resource_text_) return tooltip;
  return CResourceStore::GetInstance()->GetText(tooltip.GetData());
}

void CControlUI::SetToolTip(const wchar_t* text) {
  if (!rare_texts_.Store(&TRareTexts::tooltip, text)) return;
  rare_texts_.Find()->tooltip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { tooltip_width_ = width; }
int CControlUI::GetToolTipWidth() const { return ScaleValue(tooltip_width_); }
WORD CControlUI::GetCursor() const { return cursor_; }
void CControlUI::SetCursor(WORD cursor) {
  cursor_ = cursor;
  Invalidate();
}
wchar_t CControlUI::GetShortcut() const { return shortcut_; }
void CControlUI::SetShortcut(wchar_t ch) { shortcut_ = ch; }
bool CControlUI::IsContextMenuUsed() const { return menu_used_; }
void CControlUI::SetContextMenuUsed(bool used) { menu_used_ = used; }
const CUIString& CControlUI::GetUserData() const {
  return rare_texts_.Get(&TRareTexts::user_data);
}
void CControlUI::SetUserData(const wchar_t* text) {
  rare_texts_.Store(&TRareTexts::user_data, text);
}
UINT_PTR CControlUI::GetTag() const { return tag_; }
void CControlUI::SetTag(UINT_PTR tag) { tag_ = tag; }
bool CControlUI::IsUpdateNeeded() const { return update_needed_; }

// ---- Geometry ---------------------------------------------------------------------------------------

int CControlUI::ScaleValue(int value) const {
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  return scaler ? scaler->Scale(value) : value;
}

RECT CControlUI::ScaleValue(const RECT& rect) const {
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  return scaler ? scaler->Scale(rect) : rect;
}

SIZE CControlUI::ScaleValue(SIZE size) const {
  CDpiScaler* scaler = manager_ ? manager_->GetDpiScaler() : nullptr;
  return scaler ? scaler->Scale(size) : size;
}

RECT CControlUI::GetRelativePos() const {
  if (!parent_) return RECT{0, 0, 0, 0};
  const RECT& parent_pos = parent_->GetPos();
  RECT pos = item_rect_;
  OffsetRect(&pos, -parent_pos.left, -parent_pos.top);
  return pos;
}

RECT CControlUI::GetClientPos() const { return item_rect_; }
const RECT& CControlUI::GetPos() const { return item_rect_; }

void CControlUI::SetPos(RECT rect, bool invalidate) {
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;

  RECT area = IsEmptyRect(item_rect_) ? rect : item_rect_;
  SetItemRect(rect);
  if (!manager_) return;

  if (!in_size_event_) {
    in_size_event_ = true;
    if (OnSize) OnSize(this);
    in_size_event_ = false;
  }
  update_needed_ = false;

  if (!invalidate || !IsVisible()) return;
  area.left = area.left < item_rect_.left ? area.left : item_rect_.left;
  area.top = area.top < item_rect_.top ? area.top : item_rect_.top;
  area.right = area.right > item_rect_.right ? area.right : item_rect_.right;
  area.bottom = area.bottom > item_rect_.bottom ? area.bottom : item_rect_.bottom;
  for (CControlUI* ancestor = parent_; ancestor; ancestor = ancestor->GetParent()) {
    if (!ancestor->IsVisible()) return;
    RECT clipped;
    if (!IntersectRect(&clipped, &area, &ancestor->GetPos())) return;
    area = clipped;
  }
  manager_->Invalidate(area);
}

void CControlUI::SetItemRect(const RECT& rect) {
  if (EqualRect(&item_rect_, &rect)) return;
  item_rect_ = rect;
  if (parent_) ++parent_->children_version_;
}

void CControlUI::Move(SIZE offset, bool /*invalidate*/) {
  fixed_xy_.cx += offset.cx;
  fixed_xy_.cy += offset.cy;
  NeedParentUpdate();
}

int CControlUI::GetWidth() const { return item_rect_.right - item_rect_.left; }
int CControlUI::GetHeight() const { return item_rect_.bottom - item_rect_.top; }
int CControlUI::GetX() const { return item_rect_.left; }
int CControlUI::GetY() const { return item_rect_.top; }

RECT CControlUI::GetPadding() const { return ScaleValue(padding_); }
void CControlUI::SetPadding(RECT padding) {
  padding_ = padding;
  NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return ScaleValue(fixed_xy_); }
void CControlUI::SetFixedXY(SIZE xy) {
  fixed_xy_ = xy;
  NeedParentUpdate();
}

SIZE CControlUI::GetFixedSize() const { return ScaleValue(SIZE{fixed_width_, fixed_height_}); }

int CControlUI::GetFixedWidth() const { return ScaleValue(fixed_width_); }
void CControlUI::SetFixedWidth(int width) {
  if (width < 0) return;
  fixed_width_ = width;
  NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return ScaleValue(fixed_height_); }
void CControlUI::SetFixedHeight(int height) {
  if (height < 0) return;
  fixed_height_ = height;
  NeedParentUpdate();
}

namespace {
// The minimum and maximum setters: a negative or unchanged value requests no re-layout.
bool StoreLimit(int* stored, int value) {
  if (value < 0 || value == *stored) return false;
  *stored = value;
  return true;
}
}  // namespace

int CControlUI::GetMinWidth() const { return ScaleValue(min_width_); }
void CControlUI::SetMinWidth(int width) {
  if (StoreLimit(&min_width_, width)) NeedParentUpdate();
}
int CControlUI::GetMaxWidth() const { return ScaleValue(max_width_); }
void CControlUI::SetMaxWidth(int width) {
  if (StoreLimit(&max_width_, width)) NeedParentUpdate();
}
int CControlUI::GetMinHeight() const { return ScaleValue(min_height_); }
void CControlUI::SetMinHeight(int height) {
  if (StoreLimit(&min_height_, height)) NeedParentUpdate();
}
int CControlUI::GetMaxHeight() const { return ScaleValue(max_height_); }
void CControlUI::SetMaxHeight(int height) {
  if (StoreLimit(&max_height_, height)) NeedParentUpdate();
}

TFloatPercent CControlUI::GetFloatPercent() const { return float_percent_; }
void CControlUI::SetFloatPercent(TFloatPercent percent) {
  float_percent_ = percent;
  NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT align) {
  float_align_ = align;
  NeedParentUpdate();
}
UINT CControlUI::GetFloatAlign() const { return float_align_; }

SIZE CControlUI::EstimateSize(SIZE /*available*/) { return GetFixedSize(); }

// ---- Visibility, enabling, focus --------------------------------------------------------------------

bool CControlUI::IsVisible() const { return visible_ && inherited_visible_; }

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  const bool was_visible = IsVisible();
  visible_ = visible;
  focused_ = false;
  if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  if (IsVisible() != was_visible) NeedParentUpdate();
}

void CControlUI::SetInheritedVisible(bool visible) {
  inherited_visible_ = visible;
  if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return enabled_; }
void CControlUI::SetEnabled(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return mouse_enabled_; }
void CControlUI::SetMouseEnabled(bool enable) { mouse_enabled_ = enable; }
bool CControlUI::IsKeyboardEnabled() const { return keyboard_enabled_; }
void CControlUI::SetKeyboardEnabled(bool enable) { keyboard_enabled_ = enable; }
bool CControlUI::IsFocused() const { return focused_; }

void CControlUI::SetFocus() {
  if (manager_) manager_->SetFocus(this);
}

bool CControlUI::IsFloat() const { return float_; }
void CControlUI::SetFloat(bool is_float) {
  if (float_ == is_float) return;
  float_ = is_float;
  NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) != 0) {
    if (!IsMouseEnabled() || !data) return nullptr;
    if (!PtInRect(&item_rect_, *static_cast<const POINT*>(data))) return nullptr;
  }
  return proc(this, data);
}

}  // namespace Vellum
