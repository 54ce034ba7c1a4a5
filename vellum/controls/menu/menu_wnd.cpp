#include "vellum/controls/menu/menu_wnd.h"

#include <algorithm>
#include <vector>

#include "vellum/controls/menu/menu.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/markup/dialog_builder.h"
#include "vellum/core/window/shadow_window.h"

namespace Vellum {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*rect*/, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<TMonitorArea>*>(data)->push_back({info.rcMonitor, info.rcWork});
  }
  return TRUE;
}

std::vector<TMonitorArea> Monitors() {
  std::vector<TMonitorArea> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

}  // namespace

MenuKeyAction MenuKeyActionFor(WPARAM virtual_key) {
  return (virtual_key == VK_ESCAPE || virtual_key == VK_LEFT) ? MenuKeyAction::kCloseThis
                                                              : MenuKeyAction::kPassOn;
}

const wchar_t* CMenuWnd::GetWindowClassName() const { return L"DuiMenuWnd"; }
const wchar_t* CMenuWnd::GetSuperClassName() const { return nullptr; }
UINT CMenuWnd::GetClassStyle() const { return 0; }

CMenuUI* CMenuWnd::GetMenuRoot() const {
  CControlUI* root = manager_.GetRoot();
  return root ? static_cast<CMenuUI*>(root->GetInterface(L"Menu")) : nullptr;
}

bool CMenuWnd::Init(CMenuElementUI* owner, const wchar_t* xml, POINT point,
                    CPaintManagerUI* manager, CUIStringMap* check_table, UINT alignment) {
  closing_ = false;
  point_ = point;
  if (xml && IS_INTRESOURCE(xml)) {
    xml_id_ = reinterpret_cast<UINT_PTR>(xml);
    xml_.Empty();
  } else {
    xml_id_ = 0;
    xml_ = xml ? xml : L"";
  }
  owner_ = owner;
  alignment_ = alignment;
  if (owner_ && !owner_->GetManager()) {
    // An item in no window has no menu to open beside, nor the scale and defaults a sub-menu
    // takes from that menu's manager.
    if (owner_->GetMenuWnd() == this) owner_->OnSubMenuGone();
    owner_ = nullptr;
    delete this;
    return false;
  }

  MenuObserverImpl& observer = GetMenuObserver();
  if (!owner_) {
    observer.SetMainManager(manager);
    if (check_table) observer.SetCheckTable(check_table);
  }
  observer.AddReceiver(this);

  CPaintManagerUI* parent_manager = owner_ ? owner_->GetManager() : observer.GetMainManager();
  HWND parent = parent_manager ? parent_manager->GetPaintWindow() : nullptr;
  if (!Create(parent, nullptr, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, RECT{0, 0, 0, 0})) {
    // No window, so no final message: undo what the final message would.
    RemoveObserver();
    if (owner_) owner_->OnSubMenuGone();
    owner_ = nullptr;
    delete this;
    return false;
  }
  HWND top = hwnd_;
  while (HWND up = ::GetParent(top)) top = up;
  ::ShowWindow(hwnd_, SW_SHOW);
  // The application's window keeps an active caption while its menu has the focus.
  ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
  return true;
}

void CMenuWnd::Close(UINT result) {
  if (!hwnd_ || !::IsWindow(hwnd_)) return;
  PostMessage(WM_CLOSE, static_cast<WPARAM>(result));
  closing_ = true;
}

BOOL CMenuWnd::Receive(int code, HWND window) {
  switch (code) {
    case MENU_CLOSE_ALL:
      Close(1);
      break;
    case MENU_CLOSE_BELOW:
      for (HWND up = hwnd_ ? ::GetParent(hwnd_) : nullptr; up; up = ::GetParent(up)) {
        if (up == window) {
          Close(1);
          break;
        }
      }
      break;
    default:
      break;
  }
  return TRUE;
}

void CMenuWnd::Notify(TUINotification& msg) {
  CPaintManagerUI* main_manager = GetMenuObserver().GetMainManager();
  if (!main_manager) return;
  if (msg.type == L"click" || msg.type == L"valuechanged") main_manager->SendNotify(msg, false);
}

CControlUI* CMenuWnd::CreateControl(const wchar_t* class_name) {
  if (!class_name) return nullptr;
  if (_wcsicmp(class_name, L"Menu") == 0) return new CMenuUI();
  if (_wcsicmp(class_name, L"MenuElement") == 0) return new CMenuElementUI();
  return nullptr;
}

// ---- Messages -----------------------------------------------------------------------------------

LRESULT CMenuWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      break;
    case WM_SIZE:
      OnSize(wParam);
      break;
    case WM_KILLFOCUS:
      OnKillFocus(reinterpret_cast<HWND>(wParam));
      break;
    case WM_CLOSE:
      if (owner_) {
        ReturnItems();
        owner_->SetPos(owner_->GetPos(), true);
        owner_->SetFocus();
      }
      break;
    case WM_KEYDOWN:
      if (MenuKeyActionFor(wParam) == MenuKeyAction::kCloseThis) {
        Close(1);
      } else if (!manager_.GetFocus()) {
        // Nothing in a new menu has the focus yet: the keys are the list's, which moves onto
        // its items from there.
        if (CMenuUI* list = GetMenuRoot()) manager_.SetFocus(list);
      }
      break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (manager_.MessageHandler(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CMenuWnd::OnCreate() {
  CControlUI* tree = nullptr;
  if (owner_) {
    LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    style &= ~WS_CAPTION;
    style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ::SetWindowLongW(hwnd_, GWL_STYLE, style);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::SetWindowPos(hwnd_, nullptr, client.left, client.top, client.right - client.left,
                   client.bottom - client.top, SWP_FRAMECHANGED);

    CPaintManagerUI* owner_manager = owner_->GetManager();
    manager_.Init(hwnd_);
    manager_.GetDpiScaler()->SetScale(owner_manager->GetDpiScaler()->GetDPI());
    layout_ = new CMenuUI();
    manager_.SetForceSharedResources(true);
    layout_->SetManager(&manager_, nullptr, true);
    if (const wchar_t* defaults = owner_manager->GetDefaultAttributeList(L"Menu")) {
      layout_->ApplyAttributeList(defaults);
    }
    static_cast<CContainerUI*>(layout_->GetList())->SetAutoDestroy(false);
    for (int i = 0; i < owner_->GetSubItemCount(); ++i) {
      CMenuElementUI* item = owner_->GetSubItemAt(i);
      item->SetOwner(layout_);
      layout_->Add(item);
    }
    items_borrowed_ = true;
    if (CShadowUI* shadow = owner_manager->GetShadow()) shadow->CopyShadow(manager_.GetShadow());
    manager_.SetLayered(owner_manager->IsLayered());
    tree = layout_;
  } else {
    manager_.Init(hwnd_);
    CPaintManagerUI* main_manager = GetMenuObserver().GetMainManager();
    if (main_manager) manager_.GetDpiScaler()->SetScale(main_manager->GetDpiScaler()->GetDPI());
    CSkinBuilder builder;
    const wchar_t* skin = xml_id_ != 0 ? MAKEINTRESOURCEW(xml_id_) : xml_.GetData();
    tree = builder.Create(skin, nullptr, this, &manager_);
  }

  CShadowUI* shadow = manager_.GetShadow();
  const bool show_shadow = shadow && shadow->IsShowShadow();
  if (shadow) shadow->ShowShadow(false);
  if (tree) manager_.AttachRootControl(tree);
  manager_.AddNotifier(this);
  if (owner_) {
    ResizeSubMenu();
  } else {
    ResizeMenu();
  }
  if (CMenuUI* root = GetMenuRoot()) root->SetMenuWnd(this);
  if (shadow) {
    shadow->ShowShadow(show_shadow);
    shadow->Create(&manager_);
  }
  return 0;
}

void CMenuWnd::OnSize(WPARAM wParam) {
  // The rounded window region a framework window keeps, from the skin's corner size.
  if (wParam == SIZE_MINIMIZED) return;
  const SIZE corner = manager_.GetRoundCorner();
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  HRGN region = ::CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                     window.bottom - window.top + 1, corner.cx, corner.cy);
  // Once set, the region belongs to the system; only a region the window refused is ours to free.
  if (region && ::SetWindowRgn(hwnd_, region, TRUE) == 0) ::DeleteObject(region);
}

void CMenuWnd::OnKillFocus(HWND new_focus) {
  for (MenuMenuReceiverImplBase* receiver : GetMenuObserver().GetReceivers()) {
    auto* menu = dynamic_cast<CMenuWnd*>(receiver);
    if (menu && menu->GetHWND() == new_focus && new_focus) return;
  }
  GetMenuObserver().Broadcast(MENU_CLOSE_ALL, hwnd_);
}

RECT CMenuWnd::WorkArea() const {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
  if (monitor && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

void CMenuWnd::ResizeMenu() {
  CControlUI* root = manager_.GetRoot();
  if (!root) return;
  const RECT work = WorkArea();
  const SIZE estimated = root->EstimateSize(SIZE{work.right - work.left, work.bottom - work.top});
  const SIZE screens = ScreensExtent();
  manager_.SetInitSize(std::min(estimated.cx, screens.cx), std::min(estimated.cy, screens.cy));
  const SIZE size = manager_.GetInitSize();
  const RECT rect = PlaceRootMenu(point_, size, alignment_);
  RECT inset{};
  if (auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"))) {
    inset = container->GetInset();
  }
  ::SetForegroundWindow(hwnd_);
  ::MoveWindow(hwnd_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  ::SetWindowPos(hwnd_, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top + inset.top + inset.bottom, SWP_SHOWWINDOW);
}

void CMenuWnd::ResizeSubMenu() {
  CPaintManagerUI* owner_manager = owner_->GetManager();
  HWND parent_window = owner_manager ? owner_manager->GetPaintWindow() : nullptr;
  // The item's monitor: this window is still an empty rectangle at the origin, which lies on the
  // primary monitor whatever monitor the menu stands on.
  RECT owner_rect = owner_->GetPos();
  ::MapWindowPoints(parent_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&owner_rect), 2);
  std::vector<TMonitorArea> monitors = Monitors();
  if (monitors.empty()) monitors.push_back({WorkArea(), WorkArea()});
  const RECT work = WorkAreaHolding(owner_rect, monitors);
  const SIZE available{work.right - work.left, work.bottom - work.top};
  SIZE size{0, 0};
  for (int i = 0; i < owner_->GetSubItemCount(); ++i) {
    const SIZE item = owner_->GetSubItemAt(i)->EstimateSize(available);
    if (item.cx > size.cx) size.cx = item.cx;
    size.cy += item.cy;
  }
  const SIZE screens = ScreensExtent();
  size.cx = std::min(size.cx, screens.cx);
  size.cy = std::min(size.cy, screens.cy);
  RECT parent_rect{};
  ::GetWindowRect(parent_window, &parent_rect);

  std::vector<RECT> chain;
  size_t parent_index = 0;
  for (MenuMenuReceiverImplBase* receiver : GetMenuObserver().GetReceivers()) {
    auto* menu = dynamic_cast<CMenuWnd*>(receiver);
    if (!menu || !menu->GetHWND()) continue;
    RECT window{};
    ::GetWindowRect(menu->GetHWND(), &window);
    chain.push_back(window);
    if (menu->GetHWND() == parent_window) {
      parent_index = chain.size() - 1;
      break;
    }
  }
  const TMenuChainDirection direction =
      chain.empty() ? TMenuChainDirection{} : ChainDirection(chain, parent_index);
  const RECT rect = PlaceSubMenu(owner_rect, size, parent_rect, direction, monitors);
  const RECT inset = layout_->GetInset();
  ::MoveWindow(hwnd_, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top + inset.top + inset.bottom, FALSE);
}

// ---- The end ------------------------------------------------------------------------------------

void CMenuWnd::ReturnItems() {
  if (!items_borrowed_ || !owner_) return;
  items_borrowed_ = false;
  // Emptied without deleting (the body's auto-destroy is off): the list can never reach them again.
  if (layout_) layout_->RemoveAll();
  owner_->SetManager(owner_->GetManager(), owner_->GetParent(), false);
}

void CMenuWnd::OnFinalMessage(HWND /*hwnd*/) {
  RemoveObserver();
  if (owner_) {
    ReturnItems();
    for (int i = 0; i < owner_->GetSubItemCount(); ++i) {
      CMenuElementUI* item = owner_->GetSubItemAt(i);
      item->SetOwner(owner_->GetParent());
      item->SetVisible(false);
      item->SetInheritedVisible(false);
    }
    owner_->OnSubMenuGone();
    owner_ = nullptr;
  }
  manager_.RemoveNotifier(this);
  delete this;
}

}  // namespace Vellum
