#include "vellum/controls/menu/menu.h"

#include <cwchar>
#include <cwctype>

#include "vellum/controls/list/list_header.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/controls/menu/menu_wnd.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

bool IsTrue(const wchar_t* value) { return value && _wcsicmp(value, L"true") == 0; }

// Decimals with one separator character between them, as the size attributes write them.
int ReadNumbers(const wchar_t* value, long* out, int count) {
  int read = 0;
  wchar_t* end = nullptr;
  const wchar_t* p = value;
  while (p && read < count) {
    out[read++] = wcstol(p, &end, 10);
    if (end == p || *end == L'\0') break;
    p = end + 1;
  }
  return read;
}

}  // namespace

bool IsMenuItem(CControlUI* control) {
  return control && control->GetInterface(L"MenuElement") != nullptr;
}

// ---- CMenuUI ------------------------------------------------------------------------------------

CMenuUI::CMenuUI() {
  if (CListHeaderUI* header = GetHeader()) header->SetVisible(false);
}

CControlUI* CMenuUI::CreateControl() { return new CMenuUI(); }

const wchar_t* CMenuUI::GetClass() const { return L"MenuUI"; }

LPVOID CMenuUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Menu") == 0) return static_cast<CMenuUI*>(this);
  return CListUI::GetInterface(name);
}

int CMenuUI::GetListType() { return UILIST_TYPE_MENU; }

void CMenuUI::DoEvent(TUIEvent& event) {
  if (event.type != UIEVENT_KEYDOWN) {
    CListUI::DoEvent(event);
    return;
  }
  switch (event.key_char) {
    case VK_UP:
    case VK_DOWN:
      StepSelection(event.key_char == VK_DOWN);
      return;
    case VK_RIGHT:
    case VK_RETURN: {
      // The list itself has the focus (nothing in the menu had it when the first key came): the
      // key is the current item's, which opens or chooses as it does when it has the focus.
      CControlUI* current = GetItemAt(GetCurrentItem());
      if (current && current != event.sender && IsMenuItem(current)) current->DoEvent(event);
      return;
    }
    default:
      CListUI::DoEvent(event);
      return;
  }
}

void CMenuUI::StepSelection(bool down) {
  // Up and down step over separators and disabled items, which cannot take the selection: a plain
  // list would select nothing there and the keys would stop working.
  const int current = GetCurrentItem();
  if (current < 0) {
    SelectEdgeItem(!down);
    return;
  }
  auto* body = static_cast<CContainerUI*>(GetList());
  if (!body) return;
  int next = current + (down ? 1 : -1);
  if (next >= 0 && next < GetCount()) next = body->FindSelectable(next, down);
  if (next < 0 || next >= GetCount()) return;
  CControlUI* row = GetItemAt(next);
  if (!row || !row->IsEnabled() || next == current) return;
  SelectItem(next, true);
}

bool CMenuUI::SelectEdgeItem(bool last) {
  auto* body = static_cast<CContainerUI*>(GetList());
  if (!body || GetCount() == 0) return false;
  const int index =
      last ? body->FindSelectable(GetCount() - 1, false) : body->FindSelectable(0, true);
  return index >= 0 && SelectItem(index, true);
}

SIZE CMenuUI::EstimateSize(SIZE available) {
  int cx = 0;
  int cy = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (!item->IsVisible()) continue;
    const SIZE size = item->EstimateSize(available);
    if (size.cx > cx) cx = size.cx;
    cy += size.cy;
  }
  const int scale =
      (manager_ && manager_->GetDpiScaler()) ? manager_->GetDpiScaler()->GetScale() : 100;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (item->IsVisible()) item->SetFixedWidth(MulDiv(cx, 100, scale));
  }
  return SIZE{cx, cy};
}

namespace {

// The item behind a control that is a menu item, its sub-items hidden until their sub-menu opens;
// null for any other control.
CMenuElementUI* TakeMenuItem(CControlUI* control) {
  auto* item =
      static_cast<CMenuElementUI*>(control ? control->GetInterface(L"MenuElement") : nullptr);
  if (!item) return nullptr;
  for (int i = 0; i < item->GetSubItemCount(); ++i) {
    item->GetSubItemAt(i)->SetInheritedVisible(false);
  }
  return item;
}

}  // namespace

bool CMenuUI::Add(CControlUI* control) {
  return TakeMenuItem(control) != nullptr && CListUI::Add(control);
}

bool CMenuUI::AddAt(CControlUI* control, int index) {
  return TakeMenuItem(control) != nullptr && CListUI::AddAt(control, index);
}

bool CMenuUI::Remove(CControlUI* control) {
  if (!IsMenuItem(control)) return false;
  return CListUI::Remove(control);
}

int CMenuUI::GetItemIndex(CControlUI* control) const {
  if (!IsMenuItem(control)) return -1;
  return CListUI::GetItemIndex(control);
}

bool CMenuUI::SetItemIndex(CControlUI* control, int index) {
  if (!IsMenuItem(control)) return false;
  return CListUI::SetItemIndex(control, index);
}

// ---- CMenuElementUI -----------------------------------------------------------------------------

class CMenuElementUI::COwnChildrenOnly {
 public:
  explicit COwnChildrenOnly(CMenuElementUI* item) : item_(item) {
    for (int i = 0; i < item->items_.GetSize(); ++i) {
      if (IsMenuItem(static_cast<CControlUI*>(item->items_[i]))) {
        swapped_ = true;
        break;
      }
    }
    if (!swapped_) return;
    saved_ = item->items_;
    item->items_.Empty();
    for (int i = 0; i < saved_.GetSize(); ++i) {
      if (!IsMenuItem(static_cast<CControlUI*>(saved_[i]))) item->items_.Add(saved_[i]);
    }
  }
  ~COwnChildrenOnly() {
    if (swapped_) item_->items_ = saved_;
  }
  COwnChildrenOnly(const COwnChildrenOnly&) = delete;
  COwnChildrenOnly& operator=(const COwnChildrenOnly&) = delete;

 private:
  CMenuElementUI* item_;
  CUIPtrArray saved_;
  bool swapped_ = false;
};

CMenuElementUI::CMenuElementUI() {
  SetFixedWidth(150);
  SetFixedHeight(30);
}

CMenuElementUI::~CMenuElementUI() {
  // The sub-items die with this container: an open sub-menu hands them back and closes before
  // that, and from then on does not touch this item.
  if (CMenuWnd* sub_menu = sub_menu_) {
    sub_menu_ = nullptr;
    sub_menu->ReturnItems();
    sub_menu->Detach();
    ::DestroyWindow(sub_menu->GetHWND());
  }
}

CControlUI* CMenuElementUI::CreateControl() { return new CMenuElementUI(); }

const wchar_t* CMenuElementUI::GetClass() const { return L"MenuElementUI"; }

LPVOID CMenuElementUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"MenuElement") == 0) return static_cast<CMenuElementUI*>(this);
  return CListContainerElementUI::GetInterface(name);
}

int CMenuElementUI::GetSubItemCount() const {
  int count = 0;
  for (int i = 0; i < items_.GetSize(); ++i) {
    if (IsMenuItem(static_cast<CControlUI*>(items_[i]))) ++count;
  }
  return count;
}

CMenuElementUI* CMenuElementUI::GetSubItemAt(int index) const {
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!IsMenuItem(child)) continue;
    if (index-- == 0) return static_cast<CMenuElementUI*>(child->GetInterface(L"MenuElement"));
  }
  return nullptr;
}

void CMenuElementUI::SetPos(RECT rect, bool invalidate) {
  COwnChildrenOnly own(this);
  CListContainerElementUI::SetPos(rect, invalidate);
}

CControlUI* CMenuElementUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  // Only a point is answered without the sub-items (their places are another window's); searches
  // by name or class still reach them.
  if ((flags & UIFIND_HITTEST) == 0) return CListContainerElementUI::FindControl(proc, data, flags);
  COwnChildrenOnly own(this);
  return CListContainerElementUI::FindControl(proc, data, flags);
}

// ---- Check state --------------------------------------------------------------------------------

bool CMenuElementUI::GetChecked() const { return GetMenuCheck(GetName().GetData()); }

void CMenuElementUI::SetChecked(bool checked) { SetMenuCheck(GetName().GetData(), checked); }

// ---- Setters ------------------------------------------------------------------------------------

void CMenuElementUI::SetIcon(const wchar_t* icon) {
  icon_ = icon ? icon : L"";
  Invalidate();
}

void CMenuElementUI::SetIconSize(int cx, int cy) {
  icon_size_ = SIZE{cx, cy};
  Invalidate();
}

void CMenuElementUI::SetCheckItem(bool check_item) {
  check_item_ = check_item;
  Invalidate();
}

void CMenuElementUI::SetLineType() {
  draw_line_ = true;
  if (fixed_height_ == 0 || fixed_height_ == 30) SetFixedHeight(6);
  SetMouseChildEnabled(false);
  SetMouseEnabled(false);
  SetEnabled(false);
}

void CMenuElementUI::SetShowExpandArrow(bool show) {
  show_expand_arrow_ = show;
  Invalidate();
}

void CMenuElementUI::SetLineColor(DWORD color) {
  line_color_ = color;
  Invalidate();
}

void CMenuElementUI::SetLinePadding(RECT padding) {
  line_padding_ = padding;
  Invalidate();
}

void CMenuElementUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!value) value = L"";
  if (_wcsicmp(name, L"icon") == 0) {
    SetIcon(value);
  } else if (_wcsicmp(name, L"iconsize") == 0) {
    long size[2] = {icon_size_.cx, icon_size_.cy};
    ReadNumbers(value, size, 2);
    SetIconSize(size[0], size[1]);
  } else if (_wcsicmp(name, L"checkitem") == 0) {
    SetCheckItem(IsTrue(value));
  } else if (_wcsicmp(name, L"ischeck") == 0) {
    CUIStringMap* table = GetMenuObserver().GetCheckTable();
    if (!table) return;
    // A name the application already recorded keeps the application's state.
    const CUIString own = GetName();
    for (int i = 0; i < table->GetSize(); ++i) {
      const wchar_t* key = table->GetAt(i);
      if (key && _wcsicmp(key, own.GetData()) == 0) return;
    }
    SetChecked(IsTrue(value));
  } else if (_wcsicmp(name, L"linetype") == 0) {
    if (IsTrue(value)) SetLineType();
  } else if (_wcsicmp(name, L"expland") == 0) {
    SetShowExpandArrow(IsTrue(value));
  } else if (_wcsicmp(name, L"linecolor") == 0) {
    if (*value == L'#') ++value;
    SetLineColor(static_cast<DWORD>(wcstoul(value, nullptr, 16)));
  } else if (_wcsicmp(name, L"linepadding") == 0) {
    long padding[4] = {line_padding_.left, line_padding_.top, line_padding_.right,
                       line_padding_.bottom};
    ReadNumbers(value, padding, 4);
    SetLinePadding(RECT{padding[0], padding[1], padding[2], padding[3]});
  } else if (_wcsicmp(name, L"height") == 0) {
    SetFixedHeight(static_cast<int>(wcstol(value, nullptr, 10)));
  } else {
    CListContainerElementUI::SetAttribute(name, value);
  }
}

// ---- Size ---------------------------------------------------------------------------------------

SIZE CMenuElementUI::EstimateSize(SIZE available) {
  SIZE size{0, 0};
  // Only the item's own content: its sub-items are the sub-menu's, not part of the item.
  for (int i = 0; i < items_.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(items_[i]);
    if (!child->IsVisible() || IsMenuItem(child)) continue;
    const SIZE child_size = child->EstimateSize(available);
    if (child_size.cx > size.cx) size.cx = child_size.cx;
    size.cy += child_size.cy;
  }
  IListOwnerUI* owner = GetOwner();
  if (size.cy == 0 && owner && manager_) {
    const TListDisplayInfo& info = *owner->GetListInfo();
    RECT padding = info.text_padding;
    if (CDpiScaler* scaler = manager_->GetDpiScaler()) scaler->Scale(&padding);
    const int width = available.cx > GetFixedWidth() ? available.cx : GetFixedWidth();
    RECT text{0, 0, width, 9999};
    text.left += padding.left;
    text.right -= padding.right;
    const CUIString label = GetText();
    if (label.IsEmpty()) {
      // Nothing to measure (a separator): the drawing calls would leave the whole width standing.
      text.right = text.left;
      text.bottom = text.top;
    } else if (info.show_html) {
      int links = 0;
      CRenderUI::DrawHtmlText(manager_->GetPaintDC(), manager_, text, label.GetData(), 0, nullptr,
                              nullptr, links, info.font, DT_CALCRECT | info.text_style);
    } else {
      CRenderUI::DrawText(manager_->GetPaintDC(), manager_, text, label.GetData(), 0, info.font,
                          DT_CALCRECT | info.text_style);
    }
    size.cx = text.right - text.left + padding.left + padding.right;
    size.cy = text.bottom - text.top + padding.top + padding.bottom;
  }
  if (GetFixedHeight() != 0) size.cy = GetFixedHeight();
  if (size.cx < fixed_width_) size.cx = fixed_width_;
  return size;
}

// ---- Painting -----------------------------------------------------------------------------------

bool CMenuElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_rect_)) return true;
  if (draw_line_) {
    PaintSeparator(dc);
    // No children take part in a separator; only the bars are left to paint.
    CUIPtrArray children(items_);
    items_.Empty();
    const bool go_on = CContainerUI::DoPaint(dc, paint, stop);
    items_ = children;
    return go_on;
  }
  CClipRegionUI clip;
  CRenderUI::ClipToRect(dc, item_rect_, clip);
  DrawItemBk(dc, item_rect_);
  DrawItemText(dc, item_rect_);
  PaintIcon(dc);
  PaintExpandArrow(dc);
  COwnChildrenOnly own(this);
  return CContainerUI::DoPaint(dc, paint, stop);
}

void CMenuElementUI::PaintSeparator(HDC dc) {
  const RECT padding = ScaleValue(line_padding_);
  const int y = item_rect_.top + GetFixedHeight() / 2;
  const RECT line{item_rect_.left + padding.left, y, item_rect_.right - padding.right, y};
  CRenderUI::DrawLine(dc, line, 1, line_color_);
}

void CMenuElementUI::DrawItemText(HDC dc, const RECT& rect) {
  IListOwnerUI* owner = GetOwner();
  if (!owner) return;
  const CUIString text = GetText();
  if (text.IsEmpty()) return;
  const TListDisplayInfo& info = *owner->GetListInfo();
  DWORD color = info.text_color;
  if ((GetButtonState() & UISTATE_HOT) != 0) color = info.hot_text_color;
  if (IsSelected()) color = info.selected_text_color;
  if (!IsEnabled()) color = info.disabled_text_color;
  RECT padding = info.text_padding;
  if (manager_ && manager_->GetDpiScaler()) manager_->GetDpiScaler()->Scale(&padding);
  RECT text_rect{rect.left + padding.left, rect.top + padding.top, rect.right - padding.right,
                 rect.bottom - padding.bottom};
  const UINT style = info.text_style | DT_SINGLELINE;
  if (info.show_html) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager_, text_rect, text.GetData(), color, nullptr, nullptr, links,
                            info.font, style);
  } else {
    CRenderUI::DrawText(dc, manager_, text_rect, text.GetData(), color, info.font, style);
  }
}

void CMenuElementUI::PaintIcon(HDC dc) {
  if (icon_.IsEmpty() || (check_item_ && !GetChecked())) return;
  IListOwnerUI* owner = GetOwner();
  // The destination is written unscaled, as every image description is: drawing scales it.
  const int text_left = owner ? owner->GetListInfo()->text_padding.left : 0;
  const int left = (text_left - icon_size_.cx) / 2;
  const int top = (fixed_height_ - icon_size_.cy) / 2;
  CUIString modify;
  modify.SmallFormat(L"dest='%d,%d,%d,%d'", left, top, left + icon_size_.cx, top + icon_size_.cy);
  DrawImage(dc, icon_.GetData(), modify.GetData());
}

void CMenuElementUI::PaintExpandArrow(HDC dc) {
  if (!show_expand_arrow_ || !manager_) return;
  const wchar_t* image = manager_->GetDefaultAttributeList(L"ExplandIcon");
  if (!image || image[0] == L'\0') return;
  TImageDrawInfo* draw = manager_->GetDrawInfo(image);
  if (!draw) return;
  TUIImageInfo* info = manager_->GetOrLoadImage(
      draw->name.GetData(), draw->res_type.IsEmpty() ? nullptr : draw->res_type.GetData());
  if (!info) return;
  CDpiScaler* scaler = manager_->GetDpiScaler();
  const int w = info->width;
  const int h = info->height;
  const int width = GetFixedWidth();
  const int height = GetFixedHeight();
  const int margin = (scaler ? scaler->Scale(20) : 20) / 3;
  RECT dest{width - w - margin, (height - h) / 2, width - margin, (height - h) / 2 + h};
  if (scaler) scaler->Unscale(&dest);
  CUIString modify;
  modify.SmallFormat(L"dest='%d,%d,%d,%d'", dest.left, dest.top, dest.right, dest.bottom);
  DrawImage(dc, image, modify.GetData());
}

// ---- Events -------------------------------------------------------------------------------------

void CMenuElementUI::Open(bool select) {
  if (sub_menu_) return;
  int shown = 0;
  for (int i = 0; i < GetSubItemCount(); ++i) {
    CMenuElementUI* sub_item = GetSubItemAt(i);
    sub_item->SetVisible(true);
    sub_item->SetInheritedVisible(true);
    ++shown;
  }
  IListOwnerUI* owner = GetOwner();
  if (shown > 0) {
    if (select && owner) owner->SelectItem(GetIndex(), true);
    CreateMenuWnd();
    return;
  }
  if (manager_) GetMenuObserver().Broadcast(MENU_CLOSE_BELOW, manager_->GetPaintWindow());
  if (select && owner) owner->SelectItem(GetIndex(), false);
}

void CMenuElementUI::Choose() {
  SetChecked(!GetChecked());
  HWND window = manager_ ? manager_->GetPaintWindow() : nullptr;
  MenuObserverImpl& observer = GetMenuObserver();
  CMenuUI* menu = nullptr;
  for (CControlUI* up = parent_; up && !menu; up = up->GetParent()) {
    menu = static_cast<CMenuUI*>(up->GetInterface(L"Menu"));
  }
  const bool closing = menu && menu->GetMenuWnd() && menu->GetMenuWnd()->IsClosing();
  CPaintManagerUI* main_manager = observer.GetMainManager();
  if (window && !closing && main_manager) {
    TMenuCommand* command = MakeMenuCommand(GetName().GetData(), GetUserData().GetData(),
                                            GetText().GetData(), GetChecked());
    if (!::PostMessageW(main_manager->GetPaintWindow(), kMenuCommandMessage,
                        reinterpret_cast<WPARAM>(command), reinterpret_cast<LPARAM>(this))) {
      delete command;
    }
  }
  observer.Broadcast(MENU_CLOSE_ALL, window);
}

void CMenuElementUI::SelectFirstSubItem() {
  CMenuUI* list = sub_menu_ ? sub_menu_->GetMenuRoot() : nullptr;
  if (list) list->SelectEdgeItem(false);
}

void CMenuElementUI::ChooseFromKeyboard() {
  if (sub_menu_) return;
  if (GetSubItemCount() > 0) {
    Open(true);
    SelectFirstSubItem();
    return;
  }
  Choose();
}

void CMenuElementUI::DoEvent(TUIEvent& event) {
  switch (event.type) {
    case UIEVENT_MOUSEENTER:
      CListContainerElementUI::DoEvent(event);
      Open(true);
      return;
    case UIEVENT_MOUSELEAVE:
      if (GetSubItemCount() == 0 && GetOwner()) GetOwner()->SelectItem(-1, false);
      CListContainerElementUI::DoEvent(event);
      return;
    case UIEVENT_KEYDOWN:
      if (event.key_char == VK_RIGHT) {
        Open(true);
        SelectFirstSubItem();
        return;
      }
      if (event.key_char == VK_RETURN && IsEnabled()) {
        Activate();
        ChooseFromKeyboard();
        return;
      }
      break;
    case UIEVENT_BUTTONUP:
      if (!IsEnabled()) return;
      CListContainerElementUI::DoEvent(event);
      if (sub_menu_) return;
      if (GetSubItemCount() > 0) {
        Open(false);
        return;
      }
      Choose();
      return;
    default:
      break;
  }
  CListContainerElementUI::DoEvent(event);
}

// ---- Sub-menu -----------------------------------------------------------------------------------

void CMenuElementUI::CreateMenuWnd() {
  // A sub-menu takes its parent window, scale and defaults from the item's manager.
  if (sub_menu_ || !manager_) return;
  sub_menu_ = new CMenuWnd();
  GetMenuObserver().Broadcast(MENU_CLOSE_BELOW, manager_->GetPaintWindow());
  // Init deletes the window object (and clears sub_menu_ through OnSubMenuGone) when no window
  // could be made.
  sub_menu_->Init(this, L"", POINT{0, 0}, nullptr, nullptr, MENU_ALIGN_LEFT | MENU_ALIGN_TOP);
}

void CMenuElementUI::OnSubMenuGone() {
  sub_menu_ = nullptr;
  Invalidate();
}

}  // namespace Vellum
