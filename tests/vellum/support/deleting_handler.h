#pragma once

// For the tests of native-hosted fields whose "textchanged" handler deletes the control.

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace testing_support {
// Each test program's own copy: with external linkage GCC takes the kept memory for a mismatched
// allocation and warns at every deletion.
namespace {

// A control whose memory, once deleted, is filled with a pattern and kept instead of being freed:
// a read of the control after its deletion then follows a wild pointer and faults at once rather
// than passing unseen in memory that still looks whole.
template <typename Control>
class Poisoned : public Control {
 public:
  static void operator delete(void* memory, std::size_t size) {
    std::memset(memory, 0xFE, size);
    Graveyard().push_back(memory);
  }
  static void FreeAll() {
    for (void* memory : Graveyard()) ::operator delete(memory);
    Graveyard().clear();
  }

 private:
  static std::vector<void*>& Graveyard() {
    static std::vector<void*> graveyard;
    return graveyard;
  }
};

// Deletes the sender of "textchanged" from its box while the notification is on its way, as an
// application's handler may.
class DeleteOnTextChanged : public Vellum::INotifyUI {
 public:
  explicit DeleteOnTextChanged(Vellum::CVerticalLayoutUI* box) : box_(box) {}
  void Notify(Vellum::TUINotification& msg) override {
    if (msg.type != L"textchanged" || msg.sender == nullptr) return;
    if (box_->GetItemIndex(msg.sender) < 0) return;
    box_->Remove(msg.sender);
    ++deleted;
  }
  int deleted = 0;

 private:
  Vellum::CVerticalLayoutUI* box_;
};

}  // namespace
}  // namespace testing_support
