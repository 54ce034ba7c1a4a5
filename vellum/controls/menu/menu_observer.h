#pragma once

// What every open menu window shares: one process-wide observer that knows each menu window (as a
// receiver), the paint manager of the application window that receives chosen items, and the
// application's check-state table. A broadcast closes the whole chain of menus, or the part of it
// below one window. Also the records a menu hands out: the check state of a named item and the
// command posted for a chosen item.

#include <windows.h>

#include <vector>

#include "vellum/core/base/ui_string_map.h"

namespace Vellum {

class CPaintManagerUI;

// Broadcast codes.
constexpr int MENU_CLOSE_ALL = 1;    // every menu window closes
constexpr int MENU_CLOSE_BELOW = 2;  // the menus whose window ancestry holds the given window close

// Posted to the main manager's window for a chosen item: wParam is a TMenuCommand allocated with
// new, which the receiving window deletes; lParam is the CMenuElementUI that was chosen.
constexpr UINT kMenuCommandMessage = WM_USER + 3;

// One named item's check state. The library allocates a record the first time a name is checked or
// unchecked and inserts it into the table under the full name; the table's owner deletes them.
struct TMenuCheckInfo {
  wchar_t name[256];
  bool checked;
};

// The record of a chosen item. Strings longer than their field are cut to fit, always terminated.
struct TMenuCommand {
  wchar_t name[256];
  wchar_t user_data[1024];
  wchar_t text[1024];
  BOOL checked;
};

// Copies text into a field of capacity characters (terminator included): cut to capacity - 1
// characters when longer, always terminated; null text gives an empty field.
void CopyMenuField(wchar_t* field, size_t capacity, const wchar_t* text);
template <size_t N>
void CopyMenuField(wchar_t (&field)[N], const wchar_t* text) {
  CopyMenuField(field, N, text);
}

// A zero-filled command record for the item's name, user data, text and check state; the caller
// owns it (delete).
TMenuCommand* MakeMenuCommand(const wchar_t* name, const wchar_t* user_data, const wchar_t* text,
                              bool checked);

class MenuMenuReceiverImplBase;

class MenuMenuObserverImplBase {
 public:
  virtual void AddReceiver(MenuMenuReceiverImplBase* receiver) = 0;
  virtual void RemoveReceiver(MenuMenuReceiverImplBase* receiver) = 0;
  virtual BOOL Broadcast(int code, HWND window) = 0;
  virtual void SetMainManager(CPaintManagerUI* manager) = 0;
  virtual CPaintManagerUI* GetMainManager() const = 0;
  virtual void SetCheckTable(CUIStringMap* table) = 0;
  virtual CUIStringMap* GetCheckTable() const = 0;

 protected:
  ~MenuMenuObserverImplBase() = default;
};

class MenuMenuReceiverImplBase {
 public:
  virtual void AddObserver(MenuMenuObserverImplBase* observer) = 0;
  virtual void RemoveObserver() = 0;
  virtual BOOL Receive(int code, HWND window) = 0;

 protected:
  virtual ~MenuMenuReceiverImplBase() = default;
};

class MenuReceiverImpl : public MenuMenuReceiverImplBase {
 public:
  MenuReceiverImpl() = default;
  MenuReceiverImpl(const MenuReceiverImpl&) = delete;
  MenuReceiverImpl& operator=(const MenuReceiverImpl&) = delete;

  void AddObserver(MenuMenuObserverImplBase* observer) override;
  // Leaves every observer it was added to.
  void RemoveObserver() override;
  BOOL Receive(int code, HWND window) override;

 protected:
  ~MenuReceiverImpl() override = default;

 private:
  std::vector<MenuMenuObserverImplBase*> observers_;
};

// The one observer of the process (GetMenuObserver). The receivers are not owned; the main manager
// and the check table belong to the application.
class MenuObserverImpl final : public MenuMenuObserverImplBase {
 public:
  MenuObserverImpl() = default;
  MenuObserverImpl(const MenuObserverImpl&) = delete;
  MenuObserverImpl& operator=(const MenuObserverImpl&) = delete;
  ~MenuObserverImpl() = default;

  // Null is ignored; the receiver learns of this observer.
  void AddReceiver(MenuMenuReceiverImplBase* receiver) override;
  // Removes the first entry of the receiver.
  void RemoveReceiver(MenuMenuReceiverImplBase* receiver) override;
  // Receive on every receiver, the last registered first. Returns 0.
  BOOL Broadcast(int code, HWND window) override;
  // Null is ignored: the earlier manager stays.
  void SetMainManager(CPaintManagerUI* manager) override;
  CPaintManagerUI* GetMainManager() const override { return main_manager_; }
  void SetCheckTable(CUIStringMap* table) override { check_table_ = table; }
  CUIStringMap* GetCheckTable() const override { return check_table_; }

  // The receivers in registration order (look-ups walk them from the first).
  const std::vector<MenuMenuReceiverImplBase*>& GetReceivers() const { return receivers_; }

 private:
  std::vector<MenuMenuReceiverImplBase*> receivers_;
  CPaintManagerUI* main_manager_ = nullptr;
  CUIStringMap* check_table_ = nullptr;
};

MenuObserverImpl& GetMenuObserver();

// The check state of a named item in the observer's table: false for an empty name, without a
// table, or when the name is not in it (names compare exactly).
bool GetMenuCheck(const wchar_t* name);
// Records the state under the name; nothing for an empty name or without a table.
void SetMenuCheck(const wchar_t* name, bool checked);

}  // namespace Vellum
