#include "vellum/core/layout/tab_layout.h"

#include <algorithm>

#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CTabLayoutUI::CTabLayoutUI() = default;

CControlUI* CTabLayoutUI::CreateControl() { return new CTabLayoutUI(); }

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

int CTabLayoutUI::GetCurSel() const { return current_; }

bool CTabLayoutUI::Add(CControlUI* control) {
  if (!CContainerUI::Add(control)) return false;
  if (current_ == -1 && control->IsVisible()) {
    current_ = GetItemIndex(control);
  } else {
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (current_ == -1 && control->IsVisible()) {
    current_ = index;
  } else {
    if (current_ != -1 && index <= current_) ++current_;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  if (!control) return false;
  const int index = GetItemIndex(control);
  if (!CContainerUI::Remove(control)) return false;
  if (index == current_) {
    if (GetCount() > 0) {
      current_ = 0;
      GetItemAt(0)->SetVisible(true);
    } else {
      current_ = -1;
    }
    NeedParentUpdate();
  } else if (index < current_) {
    --current_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  current_ = -1;
  CContainerUI::RemoveAll();
  NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == current_) return true;
  const int old = current_;
  current_ = index;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (!page) continue;
    if (i == index) {
      page->SetVisible(true);
      page->SetFocus();
      SetPos(item_rect_, true);
    } else {
      page->SetVisible(false);
    }
  }
  NeedParentUpdate();
  if (manager_) {
    manager_->SetNextTabControl(true);
    manager_->SendNotify(this, L"tabselect", static_cast<WPARAM>(current_),
                         static_cast<LPARAM>(old));
  }
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return SelectItem(index);
}

void CTabLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const RECT rc = GetInsetRect();

  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (!page || !page->IsVisible()) continue;
    if (page->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    if (i != current_) continue;
    const RECT pad = page->GetPadding();
    RECT area{rc.left + pad.left, rc.top + pad.top, rc.right - pad.right, rc.bottom - pad.bottom};
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    SIZE size = page->EstimateSize(SIZE{width, height});
    if (size.cx == 0) size.cx = std::max<LONG>(0, width);
    if (size.cy == 0) size.cy = std::max<LONG>(0, height);
    size.cx = std::max<LONG>(size.cx, page->GetMinWidth());
    size.cx = std::min<LONG>(size.cx, page->GetMaxWidth());
    size.cy = std::max<LONG>(size.cy, page->GetMinHeight());
    size.cy = std::min<LONG>(size.cy, page->GetMaxHeight());
    page->SetPos(RECT{area.left, area.top, area.left + size.cx, area.top + size.cy}, true);
  }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && _wcsicmp(name, L"selectedid") == 0) SelectItem(ParseAttributeInt(value ? value : L""));
  CContainerUI::SetAttribute(name, value);
}

}  // namespace Vellum
