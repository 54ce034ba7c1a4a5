#include "vellum/core/window/notify_pump.h"

#include "vellum/core/manager/control.h"

namespace Vellum {
namespace {

constexpr int kVirtualWndBuckets = 83;

}  // namespace

const TNotifyMapEntry CNotifyPump::notify_map_entries_[] = {
    {L"", L"", kNotifySignatureEnd, nullptr, nullptr},
};
const TNotifyMap CNotifyPump::notify_map_ = {nullptr, &CNotifyPump::notify_map_entries_[0]};

CNotifyPump::CNotifyPump() : virtual_wnds_(kVirtualWndBuckets) {}
CNotifyPump::~CNotifyPump() = default;

const TNotifyMap* CNotifyPump::GetNotifyMap() const { return &CNotifyPump::notify_map_; }

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump) {
  if (name == nullptr || name[0] == L'\0' || pump == nullptr) return false;
  for (int i = 0; i < virtual_wnds_.GetSize(); ++i) {
    if (_wcsicmp(virtual_wnds_.GetAt(i), name) == 0) return false;
  }
  return virtual_wnds_.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name) {
  if (name == nullptr) return false;
  for (int i = 0; i < virtual_wnds_.GetSize(); ++i) {
    const wchar_t* key = virtual_wnds_.GetAt(i);
    if (_wcsicmp(key, name) == 0) return virtual_wnds_.Remove(key);
  }
  return false;
}

void CNotifyPump::NotifyPump(TUINotification& msg) {
  if (!msg.virtual_wnd.IsEmpty()) {
    for (int i = 0; i < virtual_wnds_.GetSize(); ++i) {
      const wchar_t* key = virtual_wnds_.GetAt(i);
      if (msg.virtual_wnd.CompareNoCase(key) != 0) continue;
      auto* pump = static_cast<CNotifyPump*>(virtual_wnds_.Find(key));
      if (pump && pump->LoopDispatch(msg)) return;
      break;
    }
  }
  LoopDispatch(msg);
}

const TNotifyMapEntry* CNotifyPump::FindMessageEntry(const TNotifyMapEntry* entries,
                                                     TUINotification& msg) {
  if (entries == nullptr) return nullptr;
  const TNotifyMapEntry* any_control = nullptr;
  const CUIString sender_name = msg.sender ? msg.sender->GetName() : CUIString();
  for (const TNotifyMapEntry* entry = entries; entry->signature != kNotifySignatureEnd; ++entry) {
    if (entry->type != msg.type) continue;
    if (entry->control_name.IsEmpty()) {
      any_control = entry;
    } else if (entry->control_name == sender_name) {
      return entry;
    }
  }
  return any_control;
}

bool CNotifyPump::LoopDispatch(TUINotification& msg) {
  for (const TNotifyMap* map = GetNotifyMap(); map != nullptr; map = map->base_map) {
    const TNotifyMapEntry* entry = FindMessageEntry(map->entries, msg);
    if (entry == nullptr) continue;
    if (entry->signature == kNotifySignatureParams && entry->params_handler) {
      (this->*(entry->params_handler))(msg.wParam, msg.lParam);
    } else if (entry->signature == kNotifySignatureNotification && entry->handler) {
      (this->*(entry->handler))(msg);
    }
    return true;
  }
  return false;
}

}  // namespace Vellum
