#include "vellum/controls/menu/menu_observer.h"

#include <algorithm>
#include <cwchar>

namespace Vellum {

void CopyMenuField(wchar_t* field, size_t capacity, const wchar_t* text) {
  if (!field || capacity == 0) return;
  size_t length = 0;
  if (text) {
    while (length + 1 < capacity && text[length] != L'\0') ++length;
    wmemcpy(field, text, length);
  }
  field[length] = L'\0';
}

TMenuCommand* MakeMenuCommand(const wchar_t* name, const wchar_t* user_data, const wchar_t* text,
                              bool checked) {
  auto* command = new TMenuCommand{};
  CopyMenuField(command->name, name);
  CopyMenuField(command->user_data, user_data);
  CopyMenuField(command->text, text);
  command->checked = checked ? TRUE : FALSE;
  return command;
}

// ---- Receiver -----------------------------------------------------------------------------------

void MenuReceiverImpl::AddObserver(MenuMenuObserverImplBase* observer) {
  observers_.push_back(observer);
}

void MenuReceiverImpl::RemoveObserver() {
  // RemoveReceiver does not call back here, so the list can be walked as it stands.
  for (MenuMenuObserverImplBase* observer : observers_) {
    if (observer) observer->RemoveReceiver(this);
  }
}

BOOL MenuReceiverImpl::Receive(int /*code*/, HWND /*window*/) { return FALSE; }

// ---- Observer -----------------------------------------------------------------------------------

void MenuObserverImpl::AddReceiver(MenuMenuReceiverImplBase* receiver) {
  if (!receiver) return;
  receivers_.push_back(receiver);
  receiver->AddObserver(this);
}

void MenuObserverImpl::RemoveReceiver(MenuMenuReceiverImplBase* receiver) {
  const auto found = std::find(receivers_.begin(), receivers_.end(), receiver);
  if (found != receivers_.end()) receivers_.erase(found);
}

BOOL MenuObserverImpl::Broadcast(int code, HWND window) {
  // By index, so a receiver that leaves during its Receive cannot make the walk read past the end.
  for (size_t i = receivers_.size(); i-- > 0;) {
    if (i >= receivers_.size()) continue;
    if (MenuMenuReceiverImplBase* receiver = receivers_[i]) receiver->Receive(code, window);
  }
  return FALSE;
}

void MenuObserverImpl::SetMainManager(CPaintManagerUI* manager) {
  if (manager) main_manager_ = manager;
}

MenuObserverImpl& GetMenuObserver() {
  static MenuObserverImpl observer;
  return observer;
}

// ---- Check table --------------------------------------------------------------------------------

bool GetMenuCheck(const wchar_t* name) {
  CUIStringMap* table = GetMenuObserver().GetCheckTable();
  if (!name || name[0] == L'\0' || !table) return false;
  const auto* info = static_cast<const TMenuCheckInfo*>(table->Find(name));
  return info && info->checked;
}

void SetMenuCheck(const wchar_t* name, bool checked) {
  CUIStringMap* table = GetMenuObserver().GetCheckTable();
  if (!name || name[0] == L'\0' || !table) return;
  if (auto* info = static_cast<TMenuCheckInfo*>(table->Find(name))) {
    info->checked = checked;
    return;
  }
  auto* info = new TMenuCheckInfo{};
  CopyMenuField(info->name, name);
  info->checked = checked;
  if (!table->Insert(name, info)) delete info;
}

}  // namespace Vellum
