#include "vellum/controls/list/list_element.h"

#include <algorithm>
#include <typeinfo>

#include "vellum/controls/list/list_body.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_store.h"

namespace Vellum {
namespace {

// Room above and below a row's text when the row has no height of its own.
constexpr int kRowExtraHeight = 8;

bool IsKeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

void InvalidateVisiblePart(CControlUI* row) {
  if (!row->IsVisible()) return;
  CPaintManagerUI* manager = row->GetManager();
  CControlUI* parent = row->GetParent();
  auto* container = parent ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
  if (!container) {
    row->Invalidate();
    return;
  }
  if (!manager) return;
  RECT rect = row->GetPos();
  RECT client = container->GetPos();
  const RECT inset = container->GetInset();
  client.left += inset.left;
  client.top += inset.top;
  client.right -= inset.right;
  client.bottom -= inset.bottom;
  if (CScrollBarUI* bar = container->GetVerticalScrollBar(); bar && bar->IsVisible()) {
    client.right -= bar->GetFixedWidth();
  }
  if (CScrollBarUI* bar = container->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
    client.bottom -= bar->GetFixedHeight();
  }
  if (!IntersectRect(&rect, &rect, &client)) return;
  for (CControlUI* above = parent->GetParent(); above; above = above->GetParent()) {
    const RECT bounds = above->GetPos();
    if (!IntersectRect(&rect, &rect, &bounds)) return;
  }
  manager->Invalidate(rect);
}

// The selection rules of a row, shared by the plain rows and the container row, which differ only in
// their base class.
bool SelectRow(CControlUI* row, IListOwnerUI* owner, int index, bool* selected, bool select) {
  if (!row->IsEnabled()) return false;
  if (owner) owner->UnSelectItem(index, true);
  if (*selected == select) return true;
  *selected = select;
  // Repainted first: the owner's "itemselect" handlers may remove the row, and nothing touches it
  // after the owner is told.
  InvalidateVisiblePart(row);
  if (owner) {
    if (select) {
      owner->SelectItem(index, false);
    } else {
      owner->UnSelectItem(index, false);
    }
  }
  return true;
}

// A disabled row cannot be selected, but it can always be let go.
bool SelectRowMulti(CControlUI* row, bool* selected, bool select) {
  if (select && !row->IsEnabled()) return false;
  if (*selected != select) {
    *selected = select;
    InvalidateVisiblePart(row);
  }
  return true;
}

// A row that is hidden gives up its selection.
void DeselectHiddenRow(const CControlUI* row, IListOwnerUI* owner, bool* selected) {
  if (row->IsVisible() || !*selected) return;
  *selected = false;
  if (owner) owner->SelectItem(-1, false);
}

IListOwnerUI* ListOwnerOf(CControlUI* owner) {
  return owner ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
}

// The mouse handling every kind of row shares: a press selects (with Ctrl or Shift the owner extends
// the selection), the right button does so where the list asks for it, and the click and hover
// notifications. True when the event was handled.
bool HandleRowMouse(CControlUI* row, IListItemUI* item, IListOwnerUI* owner, UINT* button_state,
                    TUIEvent& event) {
  CPaintManagerUI* manager = row->GetManager();
  auto select_step = [&] {
    if (IsKeyDown(VK_CONTROL) || IsKeyDown(VK_SHIFT)) {
      if (owner) owner->SelectMultiItem(item->GetIndex(), false);
    } else {
      item->Select(true);
    }
  };
  switch (event.type) {
    case UIEVENT_RBUTTONDOWN:
      if (!owner || !owner->GetListInfo()->right_button_selects) return false;
      if (row->IsEnabled()) select_step();
      return true;
    case UIEVENT_BUTTONDOWN:
      if (row->IsEnabled()) {
        if (row->IsRichEvent() && manager) manager->SendNotify(row, L"buttondown");
        select_step();
      }
      return true;
    case UIEVENT_BUTTONUP:
      if (row->IsEnabled() && manager) manager->SendNotify(row, L"itemclick");
      return true;
    case UIEVENT_MOUSEENTER:
      if (row->IsEnabled()) {
        *button_state |= UISTATE_HOT;
        InvalidateVisiblePart(row);
        if (row->IsRichEvent() && manager) manager->SendNotify(row, L"mouseenter");
      }
      return true;
    case UIEVENT_MOUSELEAVE:
      if ((*button_state & UISTATE_HOT) != 0) {
        *button_state &= ~UISTATE_HOT;
        InvalidateVisiblePart(row);
        if (row->IsRichEvent() && manager) manager->SendNotify(row, L"mouseleave");
      }
      return true;
    default:
      return false;
  }
}

DWORD ChooseTextColor(const TListDisplayInfo& info, DWORD base, UINT state, bool selected,
                      bool enabled) {
  DWORD color = base;
  if ((state & UISTATE_HOT) != 0) color = info.hot_text_color;
  if (selected) color = info.selected_text_color;
  if (!enabled) color = info.disabled_text_color;
  return color;
}

// The background of a row from its owner's settings. Returns without drawing the owner's grid
// where an image ends the painting.
void PaintRowBackground(CControlUI* row, HDC dc, const RECT& rect, const TListDisplayInfo& info,
                        int index, bool selected, UINT state, bool container_row) {
  DWORD color = info.bk_color;
  if (info.alternate_bk && index % 2 != 0) color = 0;
  if ((state & UISTATE_HOT) != 0 && info.hot_bk_color != 0) color = info.hot_bk_color;
  if (selected && info.selected_bk_color != 0) color = info.selected_bk_color;
  if (!row->IsEnabled() && info.disabled_bk_color != 0) {
    CRenderUI::DrawColor(dc, row->GetPaintRect(), row->GetAdjustColor(info.disabled_bk_color));
  } else if (color != 0) {
    CRenderUI::DrawColor(dc, row->GetPaintRect(), row->GetAdjustColor(color));
  }

  auto draw_with_fore = [&](const CUIString& image, const CUIString& fore) {
    if (image.IsEmpty() || !row->DrawImage(dc, image.GetData())) return false;
    if (container_row && !fore.IsEmpty()) row->DrawImage(dc, fore.GetData());
    return true;
  };
  // The fore image over a row's background is the list's: the row's own fore image is drawn by
  // the row's painting, after its children.
  if (!row->IsEnabled() && !info.disabled_image.IsEmpty() &&
      row->DrawImage(dc, info.disabled_image.GetData())) {
    return;
  }
  if (selected && draw_with_fore(info.selected_image, info.selected_fore_image)) return;
  if ((state & UISTATE_HOT) != 0 && draw_with_fore(info.hot_image, info.hot_fore_image)) return;

  const CUIString row_image(row->GetBkImage());
  if (!row_image.IsEmpty()) {
    if (!info.alternate_bk || index % 2 == 0) draw_with_fore(row_image, info.fore_image);
  } else if (!info.bk_image.IsEmpty()) {
    if (draw_with_fore(info.bk_image, info.fore_image) && !container_row) return;
  }

  if (info.line_color == 0) return;
  if (info.show_row_line) {
    const RECT line{rect.left, rect.bottom - 1, rect.right, rect.bottom - 1};
    CRenderUI::DrawLine(dc, line, 1, row->GetAdjustColor(info.line_color));
  }
  if (info.show_column_line) {
    for (int i = 0; i < info.column_count; ++i) {
      const RECT line{info.columns[i].right - 1, rect.top, info.columns[i].right - 1, rect.bottom};
      CRenderUI::DrawLine(dc, line, 1, row->GetAdjustColor(info.line_color));
    }
  }
}

// A row's one text in rect less the owner's (scaled) text padding.
void DrawLabelText(CControlUI* row, HDC dc, const RECT& rect, IListOwnerUI* owner, UINT state,
                   bool selected) {
  if (!owner) return;
  const CUIString text = row->GetText();
  if (text.IsEmpty()) return;
  const TListDisplayInfo& info = *owner->GetListInfo();
  RECT padding = info.text_padding;
  CPaintManagerUI* manager = row->GetManager();
  if (CDpiScaler* scaler = manager ? manager->GetDpiScaler() : nullptr) scaler->Scale(&padding);
  RECT text_rect{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                 rect.bottom - padding.bottom};
  const DWORD color = ChooseTextColor(info, info.text_color, state, selected, row->IsEnabled());
  if (info.show_html) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager, text_rect, text.GetData(), color, nullptr, nullptr, links,
                            info.font, info.text_style);
  } else {
    CRenderUI::DrawText(dc, manager, text_rect, text.GetData(), color, info.font, info.text_style);
  }
}

int DisplayFontHeight(CPaintManagerUI* manager, int font) {
  const TUIFontInfo* info = manager ? manager->GetFontInfo(font) : nullptr;
  return info ? static_cast<int>(info->tm.tmHeight) : 0;
}

}  // namespace

TRowPlacement* RowPlacementOf(CControlUI* control) {
  TRowPlacement* placement = nullptr;
  if (auto* row = dynamic_cast<CListElementUI*>(control)) {
    placement = &row->placement_;
  } else if (auto* row = dynamic_cast<CListContainerElementUI*>(control)) {
    placement = &row->placement_;
  } else {
    return nullptr;
  }
  // Derived rows may estimate their height from the width; these three never do.
  const std::type_info& type = typeid(*control);
  placement->height_ignores_width = type == typeid(CListLabelElementUI) ||
                                    type == typeid(CListTextElementUI) ||
                                    type == typeid(CListContainerElementUI);
  return placement;
}

bool MeasureRowDirectly(CControlUI* control, const CPaintManagerUI* unscaled, TRowMeasure* out) {
  auto measure = [unscaled, out](const auto* row) {
    if (row->manager_ != unscaled || row->fixed_height_ == 0) return false;
    out->visible = row->visible_ && row->inherited_visible_;
    out->floating = row->float_;
    out->height = std::min(std::max(row->fixed_height_, row->min_height_), row->max_height_);
    out->pad_top = row->padding_.top;
    out->pad_bottom = row->padding_.bottom;
    return true;
  };
  const std::type_info& type = typeid(*control);
  if (type == typeid(CListContainerElementUI)) {
    return measure(static_cast<const CListContainerElementUI*>(control));
  }
  if (type != typeid(CListLabelElementUI) && type != typeid(CListTextElementUI)) return false;
  const auto* row = static_cast<const CListElementUI*>(control);
  // A label row without an owner measures nothing.
  if (!row->owner_ && type == typeid(CListLabelElementUI)) return false;
  return measure(row);
}

// ---- CListElementUI ---------------------------------------------------------------------------------

CListElementUI::CListElementUI() = default;

const wchar_t* CListElementUI::GetClass() const { return L"ListElementUI"; }

LPVOID CListElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
  if (name && _wcsicmp(name, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
  return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

void CListElementUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CListElementUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  DeselectHiddenRow(this, owner_, &selected_);
}

const RECT& CListElementUI::GetPos() const {
  if (placement_.body && placement_.body == parent_) {
    placement_.body->PlaceOwedRow(const_cast<CListElementUI*>(this), GetIndex());
  }
  return item_rect_;
}

bool CListElementUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (manager_) manager_->SendNotify(this, L"itemactivate");
  return true;
}

int CListElementUI::GetIndex() const {
  if (placement_.body && placement_.body == parent_) placement_.body->BringRowNumbersUpToDate(index_);
  return index_;
}
void CListElementUI::SetIndex(int index) { index_ = index; }
IListOwnerUI* CListElementUI::GetOwner() { return owner_; }
void CListElementUI::SetOwner(CControlUI* owner) { owner_ = ListOwnerOf(owner); }
bool CListElementUI::IsSelected() const { return selected_; }
bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool /*expand*/) { return false; }

bool CListElementUI::Select(bool select) {
  return SelectRow(this, owner_, GetIndex(), &selected_, select);
}

bool CListElementUI::SelectMulti(bool select) { return SelectRowMulti(this, &selected_, select); }

void CListElementUI::InvalidateRow() { InvalidateVisiblePart(this); }

DWORD CListElementUI::RowTextColor(const TListDisplayInfo& info) const {
  return ChooseTextColor(info, info.text_color, button_state_, selected_, IsEnabled());
}

void CListElementUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (owner_) {
      owner_->DoEvent(event);
    } else {
      CControlUI::DoEvent(event);
    }
    return;
  }
  if (event.type == UIEVENT_DBLCLICK) {
    if (IsEnabled()) {
      Activate();
      InvalidateRow();
    }
    return;
  }
  if (event.type == UIEVENT_KEYDOWN && event.key_char == VK_RETURN && IsEnabled()) {
    Activate();
    InvalidateRow();
    return;
  }
  if (owner_) {
    owner_->DoEvent(event);
  } else {
    CControlUI::DoEvent(event);
  }
}

void CListElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  // Selects whatever the value says, as skins written for this framework expect.
  if (_wcsicmp(name, L"selected") == 0) {
    Select(true);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CListElementUI::DrawItemBk(HDC dc, const RECT& rect) {
  if (!owner_) return;
  PaintRowBackground(this, dc, rect, *owner_->GetListInfo(), GetIndex(), selected_, button_state_,
                     false);
}

// ---- CListLabelElementUI ----------------------------------------------------------------------------

CControlUI* CListLabelElementUI::CreateControl() { return new CListLabelElementUI(); }

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }

LPVOID CListLabelElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListLabelElement") == 0) return this;
  return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (owner_) {
      owner_->DoEvent(event);
    } else {
      CListElementUI::DoEvent(event);
    }
    return;
  }
  if (HandleRowMouse(this, this, owner_, &button_state_, event)) return;
  CListElementUI::DoEvent(event);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
  if (!owner_) return SIZE{0, 0};
  SIZE size = GetFixedSize();
  if (size.cy == 0 && manager_) {
    const TListDisplayInfo& info = *owner_->GetListInfo();
    size.cy = info.text_padding.top + info.text_padding.bottom +
              DisplayFontHeight(manager_, info.font) + kRowExtraHeight;
  }
  if (size.cx == 0) size.cx = available.cx;
  return size;
}

bool CListLabelElementUI::DoPaint(HDC dc, const RECT& /*paint*/, CControlUI* /*stop*/) {
  DrawItemBk(dc, item_rect_);
  DrawItemText(dc, item_rect_);
  return true;
}

void CListLabelElementUI::DrawItemText(HDC dc, const RECT& rect) {
  DrawLabelText(this, dc, rect, owner_, button_state_, selected_);
}

// ---- CListTextElementUI -----------------------------------------------------------------------------

CControlUI* CListTextElementUI::CreateControl() { return new CListTextElementUI(); }

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListTextElement") == 0) return this;
  return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const {
  return UIFLAG_WANTRETURN | (IsEnabled() && link_count_ > 0 ? UIFLAG_SETCURSOR : 0);
}

void CListTextElementUI::SetOwner(CControlUI* owner) {
  CListLabelElementUI::SetOwner(owner);
  list_owner_ = owner ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

const wchar_t* CListTextElementUI::GetText(int column) const {
  if (column < 0 || column >= static_cast<int>(column_texts_.size()) || !column_text_set_[column]) {
    return nullptr;
  }
  if (!IsResourceText()) return column_texts_[column].GetData();
  resource_text_scratch_ = CResourceStore::GetInstance()->GetText(column_texts_[column].GetData());
  return resource_text_scratch_.GetData();
}

void CListTextElementUI::SetText(int column, const wchar_t* text) {
  if (column < 0) return;
  if (column >= static_cast<int>(column_texts_.size())) {
    column_texts_.resize(column + 1);
    column_text_set_.resize(column + 1, false);
  }
  column_texts_[column] = text;
  column_text_set_[column] = text != nullptr;
  InvalidateRow();
}

void CListTextElementUI::SetTextColor(int column, DWORD color) {
  if (column < 0) return;
  if (column >= static_cast<int>(column_colors_.size())) {
    const DWORD fallback = owner_ ? owner_->GetListInfo()->text_color : 0xFF000000;
    column_colors_.resize(column + 1, fallback);
  }
  column_colors_[column] = color;
  InvalidateRow();
}

int CListTextElementUI::LinkAt(POINT point) const {
  for (int i = 0; i < link_count_; ++i) {
    if (PtInRect(&links_->rects[i], point)) return i;
  }
  return -1;
}

void CListTextElementUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type) && list_owner_) {
    list_owner_->DoEvent(event);
    return;
  }
  if (event.type == UIEVENT_SETCURSOR && LinkAt(event.mouse_point) >= 0) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return;
  }
  if (event.type == UIEVENT_BUTTONUP && IsEnabled()) {
    const int link = LinkAt(event.mouse_point);
    if (link >= 0) {
      if (manager_) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link));
      return;
    }
  }
  if (link_count_ > 0) {
    if (event.type == UIEVENT_MOUSEMOVE) {
      const int link = LinkAt(event.mouse_point);
      if (link != hot_link_) {
        InvalidateRow();
        hot_link_ = link;
      }
    } else if (event.type == UIEVENT_MOUSELEAVE && hot_link_ != -1) {
      InvalidateRow();
      hot_link_ = -1;
    }
  }
  CListLabelElementUI::DoEvent(event);
}

SIZE CListTextElementUI::EstimateSize(SIZE /*available*/) {
  SIZE size{GetFixedWidth(), GetFixedHeight()};
  if (size.cy == 0 && manager_ && owner_) {
    const TListDisplayInfo& info = *owner_->GetListInfo();
    size.cy = info.text_padding.top + info.text_padding.bottom +
              DisplayFontHeight(manager_, info.font) + kRowExtraHeight;
  }
  return size;
}

void CListTextElementUI::DrawItemText(HDC dc, const RECT& rect) {
  if (!list_owner_) return;
  const TListDisplayInfo& info = *list_owner_->GetListInfo();
  IListTextCallback* callback = list_owner_->GetTextCallback();
  link_count_ = 0;
  for (int i = 0; i < info.column_count; ++i) {
    RECT cell{info.columns[i].left + info.text_padding.left, rect.top + info.text_padding.top,
              info.columns[i].right - info.text_padding.right,
              rect.bottom - info.text_padding.bottom};
    const wchar_t* text = nullptr;
    DWORD color = 0;
    if (callback) {
      const int state = !IsEnabled() ? 3 : selected_ ? 2 : (button_state_ & UISTATE_HOT) ? 1 : 0;
      text = callback->GetItemText(this, GetIndex(), i);
      color = callback->GetItemTextColor(this, GetIndex(), i, state);
    } else {
      text = GetText(i);
      const DWORD base =
          i < static_cast<int>(column_colors_.size()) ? column_colors_[i] : info.text_color;
      color = ChooseTextColor(info, base, button_state_, selected_, IsEnabled());
    }
    if (!text) text = L"";
    if (info.show_html) {
      if (!links_) links_.reset(new TLinks());
      int found = kMaxLinks - link_count_;
      CRenderUI::DrawHtmlText(dc, manager_, cell, text, color, &links_->rects[link_count_],
                              &links_->texts[link_count_], found, info.font, info.text_style);
      link_count_ += found;
    } else {
      CRenderUI::DrawText(dc, manager_, cell, text, color, info.font, info.text_style);
    }
  }
  if (!links_) return;
  for (int i = link_count_; i < kMaxLinks; ++i) {
    links_->rects[i] = RECT{0, 0, 0, 0};
    links_->texts[i].Empty();
  }
}

const RECT& CListTextElementUI::GetLinkRect(int link) const {
  static const RECT kNoLink{0, 0, 0, 0};
  return links_ ? links_->rects[link] : kNoLink;
}

const CUIString& CListTextElementUI::GetLinkText(int link) const {
  static const CUIString kNoLink;
  return links_ ? links_->texts[link] : kNoLink;
}

// ---- CListContainerElementUI ------------------------------------------------------------------------

CListContainerElementUI::CListContainerElementUI() = default;

CControlUI* CListContainerElementUI::CreateControl() { return new CListContainerElementUI(); }

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

LPVOID CListContainerElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
  if (name && _wcsicmp(name, L"ListContainerElement") == 0) {
    return static_cast<CListContainerElementUI*>(this);
  }
  return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

void CListContainerElementUI::SetEnabled(bool enable) {
  CHorizontalLayoutUI::SetEnabled(enable);
  if (!IsEnabled()) button_state_ = 0;
}

void CListContainerElementUI::SetVisible(bool visible) {
  CHorizontalLayoutUI::SetVisible(visible);
  DeselectHiddenRow(this, owner_, &selected_);
}

bool CListContainerElementUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (manager_) manager_->SendNotify(this, L"itemactivate");
  return true;
}

int CListContainerElementUI::GetIndex() const {
  if (placement_.body && placement_.body == parent_) placement_.body->BringRowNumbersUpToDate(index_);
  return index_;
}
void CListContainerElementUI::SetIndex(int index) { index_ = index; }
IListOwnerUI* CListContainerElementUI::GetOwner() { return owner_; }
void CListContainerElementUI::SetOwner(CControlUI* owner) { owner_ = ListOwnerOf(owner); }
bool CListContainerElementUI::IsSelected() const { return selected_; }
bool CListContainerElementUI::IsExpanded() const { return false; }
bool CListContainerElementUI::Expand(bool /*expand*/) { return false; }

bool CListContainerElementUI::Select(bool select) {
  return SelectRow(this, owner_, GetIndex(), &selected_, select);
}

bool CListContainerElementUI::SelectMulti(bool select) { return SelectRowMulti(this, &selected_, select); }

void CListContainerElementUI::InvalidateRow() { InvalidateVisiblePart(this); }

void CListContainerElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"selected") == 0) {
    Select(true);
  } else {
    CHorizontalLayoutUI::SetAttribute(name, value);
  }
}

void CListContainerElementUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (owner_) {
      owner_->DoEvent(event);
    } else {
      CContainerUI::DoEvent(event);
    }
    return;
  }
  if (HandleRowMouse(this, this, owner_, &button_state_, event)) return;
  switch (event.type) {
    case UIEVENT_DBLCLICK:
      if (IsEnabled()) {
        Activate();
        InvalidateRow();
      }
      return;
    case UIEVENT_KEYDOWN:
      if (event.key_char == VK_RETURN && IsEnabled()) {
        Activate();
        InvalidateRow();
        return;
      }
      break;
    case UIEVENT_TIMER:
      if (manager_) manager_->SendNotify(this, L"timer", event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (IsContextMenuUsed()) {
        if (manager_) manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (owner_) {
    owner_->DoEvent(event);
  } else {
    CControlUI::DoEvent(event);
  }
}

const RECT& CListContainerElementUI::GetPos() const {
  if (placement_.body && placement_.body == parent_) {
    placement_.body->PlaceOwedRow(const_cast<CListContainerElementUI*>(this), GetIndex());
  }
  return item_rect_;
}

void CListContainerElementUI::SetPos(RECT rect, bool invalidate) {
  if (!owner_) return;
  const int type = owner_->GetListType();
  const int tile_width = GetFixedWidth();
  if (type == UILIST_TYPE_LIST && tile_width > 0) {
    const int per_line = (rect.right - rect.left) / tile_width;
    if (per_line > 0) {
      const int height = rect.bottom - rect.top;
      const int index = GetIndex();
      rect.left += tile_width * (index % per_line);
      rect.right = rect.left + tile_width;
      OffsetRect(&rect, 0, -(index - index / per_line) * height);
    }
  }
  CHorizontalLayoutUI::SetPos(rect, invalidate);

  if (type != UILIST_TYPE_LIST && type != UILIST_TYPE_TREE) return;
  // Lists and trees are both lists behind their owner interface.
  CListHeaderUI* header = static_cast<IListUI*>(owner_)->GetHeader();
  if (!header || !header->IsVisible()) return;
  for (int i = 0; i < items_.GetSize(); ++i) {
    CControlUI* column = header->GetItemAt(i);
    if (!column) break;
    const RECT bounds = column->GetPos();
    if (bounds.left == 0 && bounds.right == 0) continue;
    auto* cell = static_cast<CControlUI*>(items_[i]);
    RECT pos = cell->GetPos();
    pos.left = bounds.left;
    pos.right = bounds.right;
    cell->SetPos(pos, false);
  }
}

bool CListContainerElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  DrawItemBk(dc, item_rect_);
  return CHorizontalLayoutUI::DoPaint(dc, paint, stop);
}

void CListContainerElementUI::DrawItemText(HDC dc, const RECT& rect) {
  DrawLabelText(this, dc, rect, owner_, button_state_, selected_);
}

void CListContainerElementUI::DrawItemBk(HDC dc, const RECT& rect) {
  if (!owner_) return;
  PaintRowBackground(this, dc, rect, *owner_->GetListInfo(), GetIndex(), selected_, button_state_,
                     true);
}

}  // namespace Vellum
