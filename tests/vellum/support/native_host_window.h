#pragma once

// A visible framework window for the tests of controls that host a native child window: a vertical
// layout as root, a box in it that the tests hide, notifications recorded, and the window brought
// to the foreground so that focus and injected keys reach it (a test that injects input takes
// LOCKS pointer).

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace testing_support {

class NotificationLog : public Vellum::INotifyUI {
 public:
  void Notify(Vellum::TUINotification& msg) override {
    entries.push_back({msg.type.GetData(), msg.sender});
  }
  int Count(const wchar_t* type, const Vellum::CControlUI* sender) const {
    int n = 0;
    for (const Entry& e : entries) n += (e.type == type && e.sender == sender) ? 1 : 0;
    return n;
  }
  struct Entry {
    std::wstring type;
    Vellum::CControlUI* sender;
  };
  std::vector<Entry> entries;
};

class NativeHostWindow {
 public:
  NativeHostWindow(int width = 320, int height = 140) : window_(false, width, height) {
    root_ = new Vellum::CVerticalLayoutUI();
    box_ = new Vellum::CVerticalLayoutUI();
    box_->SetFixedHeight(40);
    box_->SetDelayedDestroy(false);
    root_->Add(box_);
    manager().AttachRootControl(root_);
    manager().AddNotifier(&log_);
  }
  ~NativeHostWindow() { manager().RemoveNotifier(&log_); }

  Vellum::CPaintManagerUI& manager() { return window_.manager(); }
  HWND hwnd() const { return window_.hwnd(); }
  // The box that holds the control under test; a second control for the focus to move to goes
  // below it, in the root.
  Vellum::CVerticalLayoutUI* box() { return box_; }
  Vellum::CVerticalLayoutUI* root() { return root_; }
  NotificationLog& log() { return log_; }

  // Adds control to the box (owned by it from now on), lays out and paints the window and brings
  // it to the foreground.
  template <typename T>
  T* Host(T* control, int height = 30) {
    control->SetFixedHeight(height);
    box_->Add(control);
    manager().InitControls(control, box_);
    window_.ShowAndPaint();
    ::SetForegroundWindow(hwnd());
    WaitUntil([&] { return ::GetForegroundWindow() == hwnd(); }, 2000);
    Settle();
    return control;
  }
  template <typename T>
  T* AddBelow(T* control, int height = 30) {
    control->SetFixedHeight(height);
    root_->Add(control);
    manager().InitControls(control, root_);
    Settle();
    return control;
  }
  void Pump() { PumpFor(30); }
  void PaintNow() { window_.PaintNow(); }
  const std::vector<MSG>& seen() const { return window_.seen(); }

 private:
  // The paint after a new tree focuses its first tab stop; each test starts with nothing focused
  // and no such focus pending.
  void Settle() {
    for (int i = 0; i < 4; ++i) {
      ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      PumpFor(20);
    }
    manager().SetFocus(nullptr);
    PumpFor(100);
  }

  ManagedWindow window_;
  Vellum::CVerticalLayoutUI* root_ = nullptr;
  Vellum::CVerticalLayoutUI* box_ = nullptr;
  NotificationLog log_;
};

// Keys pressed in order and released in reverse, each with its scan code; navigation keys are sent
// as extended keys, as a keyboard sends them.
inline bool PressChord(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  auto key_input = [](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, 0));
    if ((vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE) {
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
  };
  for (WORD vk : keys) inputs.push_back(key_input(vk, false));
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(key_input(*it, true));
  const UINT count = static_cast<UINT>(inputs.size());
  return ::SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

// Each key of the text (digits and upper-case letters stand for their keys) pressed and released.
inline bool TypeKeys(const std::wstring& keys) {
  for (wchar_t key : keys) {
    if (!PressChord({static_cast<WORD>(key)})) return false;
  }
  return true;
}

// The window's rectangle in the client coordinates of its parent (or owner, for a pop-up).
inline RECT RectInParent(HWND child, HWND parent) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace testing_support
