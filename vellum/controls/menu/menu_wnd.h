#pragma once

// A menu window: a top-most tool pop-up with a paint manager of its own. A root menu builds its
// list from skin XML and is placed at a point; a sub-menu shows the sub-items of one item (its
// owner) in a CMenuUI it creates, beside the menu that holds the owner. The sub-items stay the
// owner's: the sub-menu's list only borrows them (its body's auto-destroy is off) and hands them
// back however the window ends, on WM_CLOSE or, when destroyed without one (its owner window going
// away), in its final message. An owner item that goes away while its sub-menu is open takes the
// items back, detaches the window and destroys it first; a detached window never touches its owner.
//
// Every menu window registers with the process-wide observer (menu_observer.h), which closes the
// chain: all of it when an item is chosen or the focus leaves the menus, the part below a menu when
// another item of that menu opens its sub-menu. The object deletes itself in its final message.

#include <windows.h>

#include "vellum/controls/menu/menu_observer.h"
#include "vellum/controls/menu/menu_placement.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_wnd.h"

namespace Vellum {

class CMenuElementUI;
class CMenuUI;

// What a key pressed in a menu window does before the controls see it.
enum class MenuKeyAction {
  kCloseThis,  // this menu window closes (its parents stay)
  kPassOn,     // the list and its items handle it
};
MenuKeyAction MenuKeyActionFor(WPARAM virtual_key);

class CMenuWnd final : public CWindowWnd,
                       public MenuReceiverImpl,
                       public INotifyUI,
                       public IDialogBuilderCallback {
 public:
  CMenuWnd() = default;

  // Creates and shows the menu. owner: null for a root menu, else the item whose sub-items this
  // window shows. xml: the root menu's skin (XML text, file or resource name, or MAKEINTRESOURCEW
  // id). point: where the root menu goes (screen). manager: the application's window that receives
  // chosen items (a root menu's parent; null keeps the earlier one). check_table: the application's
  // check-state table (null keeps the earlier one). False when no window could be made: the object
  // has left the observer and deleted itself then.
  bool Init(CMenuElementUI* owner, const wchar_t* xml, POINT point, CPaintManagerUI* manager,
            CUIStringMap* check_table = nullptr, UINT alignment = MENU_ALIGN_LEFT | MENU_ALIGN_TOP);

  // Posts WM_CLOSE with the result while the window exists; from then on the window is closing.
  void Close(UINT result = IDOK);
  bool IsClosing() const { return closing_; }

  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;

  // Code MENU_CLOSE_ALL closes this window; MENU_CLOSE_BELOW closes it when window is one of its
  // ancestors. Returns TRUE.
  BOOL Receive(int code, HWND window) override;
  // Clicks and value changes inside the menu reach the application's window too.
  void Notify(TUINotification& msg) override;
  // "Menu" and "MenuElement" for the skin builder.
  CControlUI* CreateControl(const wchar_t* class_name) override;

  CPaintManagerUI& GetManager() { return manager_; }
  CMenuElementUI* GetOwner() const { return owner_; }
  // The list the window shows (the built root for a root menu), null before WM_CREATE.
  CMenuUI* GetMenuRoot() const;
  UINT GetAlignment() const { return alignment_; }

 private:
  friend class CMenuElementUI;
  ~CMenuWnd() = default;

  LRESULT OnCreate();
  void OnKillFocus(HWND new_focus);
  void OnSize(WPARAM wParam);
  void ResizeMenu();
  void ResizeSubMenu();
  // Gives the borrowed sub-items back to the owner's manager and parent; done at most once.
  void ReturnItems();
  // From now on the window does not touch its owner.
  void Detach() { owner_ = nullptr; }
  RECT WorkArea() const;

  bool closing_ = false;
  POINT point_{};
  CUIString xml_;
  UINT_PTR xml_id_ = 0;
  CPaintManagerUI manager_;
  CMenuElementUI* owner_ = nullptr;
  CMenuUI* layout_ = nullptr;
  UINT alignment_ = MENU_ALIGN_LEFT | MENU_ALIGN_TOP;
  bool items_borrowed_ = false;
};

}  // namespace Vellum
