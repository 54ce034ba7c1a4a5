#include "vellum/controls/combo/combo_wnd.h"

#include <windowsx.h>

#include <algorithm>

#include "vellum/controls/combo/combo.h"
#include "vellum/controls/combo/drop_down_placement.h"
#include "vellum/controls/list/list_interfaces.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/window/shadow_window.h"

namespace Vellum {
namespace {

// The space the layout's border and inset take above and below the rows.
constexpr int kFrameHeight = 4;

RECT WorkAreaOf(const RECT& screen_rect) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = ::MonitorFromRect(&screen_rect, MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace

// The layout showing the combo's rows. A borrowed row's parent is this layout while the window is
// open, so code that changes a row through its parent reaches it; taking a row out here would leave
// it in the combo (or free it under the combo), and adding one would show a control the combo does
// not have. Those calls are refused, and so is making the layout an owner; the window itself changes
// the rows through Borrow and GiveBack as the combo's rows change.
class CComboWnd::CRowsLayoutUI : public CVerticalLayoutUI {
 public:
  CRowsLayoutUI() { CVerticalLayoutUI::SetAutoDestroy(false); }

  // The rows are never this layout's to delete.
  void SetAutoDestroy(bool) override {}
  bool Add(CControlUI*) override { return false; }
  bool AddAt(CControlUI*, int) override { return false; }
  bool Remove(CControlUI*) override { return false; }
  bool RemoveAt(int) override { return false; }
  void RemoveAll() override {}
  bool SetItemIndex(CControlUI*, int) override { return false; }

  void Borrow(CControlUI* row, int index) { CVerticalLayoutUI::AddAt(row, index); }
  void GiveBack(CControlUI* row) { CVerticalLayoutUI::Remove(row); }
  // Emptied without deleting (auto-destroy is off), so the layout can never reach a row again.
  void GiveBackAll() { CVerticalLayoutUI::RemoveAll(); }
  void Move(CControlUI* row, int index) { CVerticalLayoutUI::SetItemIndex(row, index); }
};

const wchar_t* CComboWnd::GetWindowClassName() const { return L"ComboWnd"; }

CVerticalLayoutUI* CComboWnd::GetLayout() const { return layout_; }

bool CComboWnd::Init(CComboUI* owner) {
  owner_ = owner;
  old_sel_ = owner->GetCurSel();
  pressed_on_row_ = false;
  CPaintManagerUI* owner_manager = owner->GetManager();
  HWND owner_window = owner_manager ? owner_manager->GetPaintWindow() : nullptr;
  if (!owner_window) {
    delete this;
    return false;
  }

  const RECT combo = owner->GetPos();
  const SIZE drop_box = owner->GetDropBoxSize();
  const SIZE screens = ScreensExtent();
  const int width =
      std::min<int>(drop_box.cx > 0 ? drop_box.cx : combo.right - combo.left, screens.cx);
  int height = owner->GetDropBoxInset().top;
  for (int i = 0; i < owner->GetCount(); ++i) {
    CControlUI* row = owner->GetItemAt(i);
    if (!row->IsVisible()) continue;
    height += row->EstimateSize(SIZE{width, drop_box.cy}).cy;
  }
  height += kFrameHeight;
  if (height > drop_box.cy) height = drop_box.cy;
  height = std::min<int>(height, screens.cy);

  RECT combo_on_screen = combo;
  ::MapWindowPoints(owner_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&combo_on_screen), 2);
  const RECT rect = PlaceDropDown(combo_on_screen, width, height, WorkAreaOf(combo_on_screen));

  if (!Create(owner_window, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rect)) {
    delete this;
    return false;
  }
  ::ShowWindow(hwnd_, SW_SHOW);
  // The owner keeps an active caption while its drop-down has the focus.
  HWND top = hwnd_;
  while (HWND up = ::GetParent(top)) top = up;
  ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
  return true;
}

void CComboWnd::OnCreate() {
  manager_.SetForceSharedResources(true);
  manager_.Init(hwnd_);
  manager_.SetLayered(true);

  layout_ = new CRowsLayoutUI();
  layout_->SetManager(&manager_, nullptr, true);
  CPaintManagerUI* owner_manager = owner_->GetManager();
  if (const wchar_t* defaults = owner_manager->GetDefaultAttributeList(L"VerticalLayout")) {
    layout_->ApplyAttributeList(defaults);
  }
  layout_->SetInset(RECT{1, 1, 1, 1});
  layout_->SetBkColor(0xFFFFFFFF);
  layout_->SetBorderColor(0xFFC6C7D2);
  layout_->SetBorderSize(1);
  layout_->EnableScrollBar();
  layout_->ApplyAttributeList(owner_->GetDropBoxAttributeList().GetData());
  for (int i = 0; i < owner_->GetCount(); ++i) layout_->Borrow(owner_->GetItemAt(i), i);
  rows_borrowed_ = true;

  if (CShadowUI* shadow = owner_manager->GetShadow()) shadow->CopyShadow(manager_.GetShadow());
  if (owner_->IsShowShadow()) manager_.GetShadow()->ShowShadow(true);

  manager_.AttachRootControl(layout_);
  manager_.AddNotifier(this);
}

void CComboWnd::ReturnRows() {
  if (!rows_borrowed_ || !owner_) return;
  rows_borrowed_ = false;
  layout_->GiveBackAll();
  owner_->SetManager(owner_->GetManager(), owner_->GetParent(), false);
  const RECT empty{0, 0, 0, 0};
  for (int i = 0; i < owner_->GetCount(); ++i) owner_->GetItemAt(i)->SetPos(empty, false);
}

namespace {

CControlUI* CALLBACK ForgetInManager(CControlUI* control, LPVOID manager) {
  static_cast<CPaintManagerUI*>(manager)->ForgetControl(control);
  return nullptr;
}

}  // namespace

void CComboWnd::JoinRow(CControlUI* row, int index) {
  if (!rows_borrowed_ || !owner_ || !row) return;
  layout_->Borrow(row, index);
}

void CComboWnd::ReturnRow(CControlUI* row) {
  if (!rows_borrowed_ || !owner_ || !row) return;
  layout_->GiveBack(row);
  // Hover, focus and capture of the pop-up may point into the row; it goes home clean.
  row->FindControl(ForgetInManager, &manager_, 0);
  row->SetManager(owner_->GetManager(), owner_, false);
  row->SetPos(RECT{0, 0, 0, 0}, false);
}

void CComboWnd::MoveRow(CControlUI* row, int index) {
  if (!rows_borrowed_ || !owner_ || !row) return;
  layout_->Move(row, index);
}

bool CComboWnd::IsRowAt(POINT point) const {
  for (CControlUI* control = manager_.FindControl(point); control && control != layout_;
       control = control->GetParent()) {
    if (control->GetInterface(L"ListItem")) return true;
  }
  return false;
}

void CComboWnd::EnsureVisible(int index) {
  if (!owner_ || !layout_ || owner_->GetCurSel() < 0) return;
  CControlUI* row = layout_->GetItemAt(index);
  if (!row) return;
  const RECT item = row->GetPos();
  RECT area = layout_->GetPos();
  const RECT inset = layout_->GetInset();
  area.top += inset.top;
  area.bottom -= inset.bottom;
  if (CScrollBarUI* bar = layout_->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
    area.bottom -= bar->GetFixedHeight();
  }
  if (item.top >= area.top && item.bottom < area.bottom) return;
  int dy = 0;
  if (item.top < area.top) dy = item.top - area.top;
  if (item.bottom > area.bottom) dy = item.bottom - area.bottom;
  SIZE pos = layout_->GetScrollPos();
  pos.cy += dy;
  layout_->SetScrollPos(pos);
}

void CComboWnd::Notify(TUINotification& msg) {
  if (!owner_) return;
  if (msg.type == L"windowinit") {
    EnsureVisible(old_sel_);
  } else if (msg.type == L"click") {
    // Buttons inside rows report to the combo's window, which knows nothing of this one.
    if (CPaintManagerUI* owner_manager = owner_->GetManager()) {
      owner_manager->SendNotify(msg.sender, L"click", 0, 0);
    }
  }
}

LRESULT CComboWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != hwnd_) PostMessage(WM_CLOSE);
      break;
    case WM_CLOSE:
      ReturnRows();
      if (owner_) owner_->SetFocus();
      break;
    case WM_KEYDOWN:
      if (!owner_) break;
      if (wParam == VK_RETURN) {
        PostMessage(WM_KILLFOCUS);
      } else if (wParam == VK_ESCAPE) {
        owner_->SelectItem(old_sel_, true);
        EnsureVisible(old_sel_);
        PostMessage(WM_KILLFOCUS);
      } else {
        TUIEvent event;
        event.type = UIEVENT_KEYDOWN;
        event.key_char = static_cast<WORD>(wParam);
        event.timestamp = ::GetTickCount();
        owner_->DoEvent(event);
        EnsureVisible(owner_->GetCurSel());
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      pressed_on_row_ = IsRowAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      break;
    case WM_LBUTTONUP:
      if (pressed_on_row_ && IsRowAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
        PostMessage(WM_KILLFOCUS);
      }
      pressed_on_row_ = false;
      break;
    case WM_MOUSEWHEEL: {
      TUIEvent event;
      event.type = UIEVENT_SCROLLWHEEL;
      event.wParam = MAKEWPARAM(GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
      event.timestamp = ::GetTickCount();
      if (owner_ && owner_->IsScrollSelect()) {
        owner_->DoEvent(event);
        EnsureVisible(owner_->GetCurSel());
      } else if (layout_) {
        layout_->DoEvent(event);
      }
      return 0;
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (manager_.MessageHandler(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CComboWnd::OnFinalMessage(HWND /*hwnd*/) {
  ReturnRows();
  if (owner_) owner_->OnDropDownGone();
  owner_ = nullptr;
  manager_.RemoveNotifier(this);
  delete this;
}

}  // namespace Vellum
