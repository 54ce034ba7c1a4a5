#include "vellum/controls/list_ex/list_ex_element.h"

#include "vellum/controls/list/list.h"
#include "vellum/controls/list_ex/list_ex.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// Room above and below a row's text when the row has no height of its own.
constexpr int kRowExtraHeight = 8;

CUIString* TextAt(const CUIPtrArray& texts, int column) {
  if (column < 0 || column >= texts.GetSize()) return nullptr;
  return static_cast<CUIString*>(texts[column]);
}

}  // namespace

CListTextExtElementUI::CListTextExtElementUI() = default;

CListTextExtElementUI::~CListTextExtElementUI() {
  for (int i = 0; i < column_texts_.GetSize(); ++i)
    delete static_cast<CUIString*>(column_texts_[i]);
}

CControlUI* CListTextExtElementUI::CreateControl() { return new CListTextExtElementUI(); }

const wchar_t* CListTextExtElementUI::GetClass() const { return L"ListTextExElementUI"; }

LPVOID CListTextExtElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ListTextExElement") == 0) return this;
  return CListLabelElementUI::GetInterface(name);
}

UINT CListTextExtElementUI::GetControlFlags() const {
  return UIFLAG_WANTRETURN | (IsEnabled() && link_count_ > 0 ? UIFLAG_SETCURSOR : 0);
}

void CListTextExtElementUI::SetOwner(CControlUI* owner) {
  CListLabelElementUI::SetOwner(owner);
  owner_list_ = owner ? static_cast<CListUI*>(owner->GetInterface(L"List")) : nullptr;
}

CListExUI* CListTextExtElementUI::EditableOwner() const {
  if (!owner_list_ || !owner_list_->GetInterface(L"ListEx")) return nullptr;
  return static_cast<CListExUI*>(owner_list_);
}

int CListTextExtElementUI::FirstCheckableColumn() const {
  CListExUI* list = EditableOwner();
  if (!list) return -1;
  const int count = list->GetListInfo()->column_count;
  for (int i = 0; i < count; ++i) {
    if (list->IsColumnCheckable(i)) return i;
  }
  return -1;
}

const wchar_t* CListTextExtElementUI::GetText(int column) const {
  const CUIString* text = TextAt(column_texts_, column);
  return text ? text->GetData() : nullptr;
}

void CListTextExtElementUI::SetText(int column, const wchar_t* text) {
  if (!owner_list_) return;
  const int count = owner_list_->GetListInfo()->column_count;
  if (column < 0 || column >= count) return;
  while (column_texts_.GetSize() < count) column_texts_.Add(nullptr);
  CUIString* entry = TextAt(column_texts_, column);
  if (!entry) {
    if (!text) return;
    column_texts_.SetAt(column, new CUIString(text));
  } else {
    if (*entry == (text ? text : L"")) return;
    *entry = text;
  }
  InvalidateRow();
}

void CListTextExtElementUI::SetCheck(bool checked) {
  if (check_box_.SetChecked(checked)) InvalidateRow();
}

RECT CListTextExtElementUI::GetCheckBoxRect() const {
  return ListExCheckBoxRect(item_rect_, check_box_.GetSize());
}

int CListTextExtElementUI::LinkAt(POINT point) const {
  for (int i = 0; i < link_count_; ++i) {
    if (PtInRect(&link_rects_[i], point)) return i;
  }
  return -1;
}

int CListTextExtElementUI::ColumnAt(POINT point) const {
  if (!owner_list_) return -1;
  const TListDisplayInfo& info = *owner_list_->GetListInfo();
  for (int i = 0; i < info.column_count; ++i) {
    const RECT cell{info.columns[i].left + info.text_padding.left,
                    item_rect_.top + info.text_padding.top,
                    info.columns[i].right - info.text_padding.right,
                    item_rect_.bottom - info.text_padding.bottom};
    if (PtInRect(&cell, point)) return i;
  }
  return -1;
}

void CListTextExtElementUI::DoEvent(TUIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.type) && owner_list_) {
    owner_list_->DoEvent(event);
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
  if (event.type == UIEVENT_MOUSEMOVE) {
    const int link = LinkAt(event.mouse_point);
    if (link != hot_link_) {
      hot_link_ = link;
      InvalidateRow();
    }
  } else if (event.type == UIEVENT_MOUSELEAVE && hot_link_ != -1) {
    hot_link_ = -1;
    InvalidateRow();
  }

  CListExUI* list = EditableOwner();
  if (event.type == UIEVENT_BUTTONUP && list && list->IsFocused()) {
    const int column = ColumnAt(event.mouse_point);
    RECT cell{0, 0, 0, 0};
    if (column >= 0) {
      // The editors float in the list, so the cell goes into the list's coordinates.
      const RECT& bounds = list->GetListInfo()->columns[column];
      const RECT& list_pos = list->GetPos();
      cell = RECT{bounds.left + 1, 1, bounds.right - 1, item_rect_.bottom - item_rect_.top - 1};
      OffsetRect(&cell, -list_pos.left, item_rect_.top - list_pos.top);
    }
    list->OfferCell(GetIndex(), column, cell, GetText(column));
  }

  const int checkable = FirstCheckableColumn();
  if (checkable >= 0 && IsEnabled() && IsMouseEvent(event.type)) {
    // A row has one check, however many columns show it.
    const CListExCheckBox::TResult result =
        check_box_.HandleMouse(event.type, event.mouse_point, GetCheckBoxRect(), false);
    if (result.changed || result.toggled) InvalidateRow();
    if (result.toggled && manager_) {
      manager_->SendNotify(this, L"listitemchecked",
                           MAKEWPARAM(static_cast<WORD>(GetIndex()), static_cast<WORD>(checkable)),
                           check_box_.IsChecked() ? 1 : 0);
    }
  }
  CListLabelElementUI::DoEvent(event);
}

void CListTextExtElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (check_box_.SetAttribute(name, value)) {
    InvalidateRow();
  } else {
    CListLabelElementUI::SetAttribute(name, value);
  }
}

SIZE CListTextExtElementUI::EstimateSize(SIZE /*available*/) {
  SIZE size = GetFixedSize();
  if (size.cy == 0 && manager_ && owner_) {
    const TListDisplayInfo& info = *owner_->GetListInfo();
    const TUIFontInfo* font = manager_->GetFontInfo(info.font);
    const int text_height = font ? static_cast<int>(font->tm.tmHeight) : 0;
    size.cy = text_height + kRowExtraHeight + info.text_padding.top + info.text_padding.bottom;
  }
  return size;
}

bool CListTextExtElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* /*stop*/) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_rect_)) return true;
  DrawItemBk(dc, item_rect_);
  DrawCheckBoxes(dc);
  DrawItemText(dc, item_rect_);
  return true;
}

void CListTextExtElementUI::DrawCheckBoxes(HDC dc) {
  CListExUI* list = EditableOwner();
  if (!list) return;
  const int count = list->GetListInfo()->column_count;
  for (int i = 0; i < count; ++i) {
    if (!list->IsColumnCheckable(i)) continue;
    check_box_.Paint(dc, manager_, GetCheckBoxRect(), paint_rect_, IsFocused(), IsEnabled());
  }
}

void CListTextExtElementUI::DrawItemText(HDC dc, const RECT& rect) {
  if (!owner_list_) return;
  const TListDisplayInfo& info = *owner_list_->GetListInfo();
  IListTextCallback* callback = owner_list_->GetTextCallback();
  CListExUI* list = EditableOwner();
  const DWORD color = RowTextColor(info);
  const UINT style = info.text_style | DT_SINGLELINE;
  link_count_ = 0;
  for (int i = 0; i < info.column_count; ++i) {
    RECT cell{info.columns[i].left + info.text_padding.left, rect.top + info.text_padding.top,
              info.columns[i].right - info.text_padding.right,
              rect.bottom - info.text_padding.bottom};
    if (list && list->IsColumnCheckable(i)) cell.left += check_box_.GetSize().cx;
    const wchar_t* text = callback ? callback->GetItemText(this, GetIndex(), i) : GetText(i);
    if (!text) text = L"";
    if (info.show_html) {
      int found = kMaxLinks - link_count_;
      CRenderUI::DrawHtmlText(dc, manager_, cell, text, color, &link_rects_[link_count_],
                              &link_texts_[link_count_], found, info.font, style);
      link_count_ += found;
    } else {
      CRenderUI::DrawText(dc, manager_, cell, text, color, info.font, style);
    }
  }
  for (int i = link_count_; i < kMaxLinks; ++i) {
    link_rects_[i] = RECT{0, 0, 0, 0};
    link_texts_[i].Empty();
  }
}

}  // namespace Vellum
