#pragma once

// Small controls for the container, layout and scroll bar tests: one whose size estimate is set
// by the test, one that reports its own deletion, and a notifier that records what it hears.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/ui_events.h"

namespace testing_support {

// Estimates what the test says (or its fixed size, as the base does, when nothing is said) and
// remembers the last available size it was offered.
class SizedControl : public Vellum::CControlUI {
 public:
  SizedControl() = default;
  explicit SizedControl(SIZE estimate) : estimate_(estimate), has_estimate_(true) {}
  SIZE EstimateSize(SIZE available) override {
    last_available = available;
    return has_estimate_ ? estimate_ : Vellum::CControlUI::EstimateSize(available);
  }
  SIZE last_available{-1, -1};

 private:
  SIZE estimate_{0, 0};
  bool has_estimate_ = false;
};

// Sets *deleted when it is destroyed.
class DeletionProbe : public Vellum::CControlUI {
 public:
  explicit DeletionProbe(bool* deleted) : deleted_(deleted) { *deleted_ = false; }
  ~DeletionProbe() override { *deleted_ = true; }

 private:
  bool* deleted_;
};

struct HeardNotification {
  std::wstring type;
  Vellum::CControlUI* sender;
  WPARAM wParam;
  LPARAM lParam;
};

class NotificationRecorder : public Vellum::INotifyUI {
 public:
  void Notify(Vellum::TUINotification& msg) override {
    heard.push_back({msg.type.GetData(), msg.sender, msg.wParam, msg.lParam});
  }
  std::vector<HeardNotification> OfType(const wchar_t* type) const {
    std::vector<HeardNotification> found;
    for (const auto& item : heard) {
      if (item.type == type) found.push_back(item);
    }
    return found;
  }
  std::vector<HeardNotification> heard;
};

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace testing_support

// Readable rectangles in gtest messages.
inline std::ostream& operator<<(std::ostream& out, const RECT& rect) {
  return out << "{" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom
             << "}";
}
