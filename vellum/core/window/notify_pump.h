#pragma once

// Dispatches notification records to member functions through static notification maps. A map
// names its base class's map, so a derived window inherits its bases' entries; the most derived
// map that has an entry for a notification wins. Pumps registered as virtual windows receive the
// notifications that carry their name.
//
// A class declares its map with DECLARE_NOTIFY_MAP() and defines it in its source file:
//   BEGIN_NOTIFY_MAP(CMyWnd, WindowImplBase)
//     NOTIFY_TYPE_HANDLER(L"click", &CMyWnd::OnClick)
//     NOTIFY_CONTROL_HANDLER(L"selectchanged", L"switch", &CMyWnd::OnSwitch)
//   END_NOTIFY_MAP()

#include <windows.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_string_map.h"

namespace Vellum {

class CNotifyPump;

// Handler signatures: 1 takes the notification's wParam and lParam, 2 the notification.
enum : int {
  kNotifySignatureEnd = 0,
  kNotifySignatureParams = 1,
  kNotifySignatureNotification = 2,
};

using NotifyParamsHandler = void (CNotifyPump::*)(WPARAM wParam, LPARAM lParam);
using NotifyHandler = void (CNotifyPump::*)(TUINotification& msg);

struct TNotifyMapEntry {
  CUIString type;          // "click", ...
  CUIString control_name;  // empty: any control
  int signature;           // kNotifySignature*
  NotifyParamsHandler params_handler;
  NotifyHandler handler;
};

struct TNotifyMap {
  const TNotifyMap* base_map;  // null for CNotifyPump's own map
  const TNotifyMapEntry* entries;
};

class CNotifyPump {
 public:
  CNotifyPump();
  virtual ~CNotifyPump();
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;

  // Registers a pump (not owned) for notifications whose virtual-window name equals name, ignoring
  // case. False when the name is empty or already taken.
  bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const wchar_t* name);

  // The virtual-window pump of the notification's name when it takes it, else this pump's maps.
  void NotifyPump(TUINotification& msg);
  // True when some map of this pump's class handled the notification.
  bool LoopDispatch(TUINotification& msg);

  // The entry for the notification: one naming the sender wins at once; otherwise the last entry
  // without a control name; null when none of the type exists.
  static const TNotifyMapEntry* FindMessageEntry(const TNotifyMapEntry* entries,
                                                 TUINotification& msg);

  virtual const TNotifyMap* GetNotifyMap() const;

 protected:
  static const TNotifyMap notify_map_;
  static const TNotifyMapEntry notify_map_entries_[];

 private:
  CUIStringMap virtual_wnds_;  // name -> CNotifyPump*, not owned
};

#define DECLARE_NOTIFY_MAP()                                    \
 protected:                                                     \
  static const ::Vellum::TNotifyMap notify_map_;                \
  static const ::Vellum::TNotifyMapEntry notify_map_entries_[]; \
                                                                \
 public:                                                        \
  const ::Vellum::TNotifyMap* GetNotifyMap() const override;

#define BEGIN_NOTIFY_MAP(the_class, base_class)                                               \
  const ::Vellum::TNotifyMap* the_class::GetNotifyMap() const { return &the_class::notify_map_; } \
  const ::Vellum::TNotifyMap the_class::notify_map_ = {&base_class::notify_map_,              \
                                                        &the_class::notify_map_entries_[0]};  \
  const ::Vellum::TNotifyMapEntry the_class::notify_map_entries_[] = {

#define NOTIFY_TYPE_HANDLER(type, handler)                                              \
  {type, L"", ::Vellum::kNotifySignatureNotification, nullptr,                          \
   static_cast<::Vellum::NotifyHandler>(handler)},

#define NOTIFY_CONTROL_HANDLER(type, control_name, handler)                             \
  {type, control_name, ::Vellum::kNotifySignatureNotification, nullptr,                 \
   static_cast<::Vellum::NotifyHandler>(handler)},

#define NOTIFY_PARAMS_HANDLER(type, control_name, handler)                              \
  {type, control_name, ::Vellum::kNotifySignatureParams,                                \
   static_cast<::Vellum::NotifyParamsHandler>(handler), nullptr},

#define END_NOTIFY_MAP()                                           \
  {L"", L"", ::Vellum::kNotifySignatureEnd, nullptr, nullptr}      \
  }                                                                \
  ;

}  // namespace Vellum
