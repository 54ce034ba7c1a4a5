#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/ui_input.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;

// A shown window whose update region shows what the controls asked to repaint. Nothing
// dispatches its messages, so the region only grows until the test reads and clears it.
class WatchedWindow {
 public:
  WatchedWindow() {
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP,
                              0, 0, 200, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    // Let the first exposure arrive before the test starts watching.
    testing_support::PumpFor(100);
    Clear();
  }
  ~WatchedWindow() { DestroyWindow(window_); }
  WatchedWindow(const WatchedWindow&) = delete;
  WatchedWindow& operator=(const WatchedWindow&) = delete;

  HWND get() const { return window_; }
  void Clear() { ValidateRect(window_, nullptr); }
  // The bounding box of what was invalidated since the last Clear (empty when nothing was).
  RECT Dirty() const {
    RECT rect{0, 0, 0, 0};
    GetUpdateRect(window_, &rect, FALSE);
    return rect;
  }

 private:
  HWND window_ = nullptr;
};

void ExpectRect(const RECT& actual, const RECT& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

struct Tree {
  WatchedWindow window;
  CPaintManagerUI manager;
  CControlUI parent;
  CControlUI child;
  Tree() {
    manager.Init(window.get());
    parent.SetManager(&manager, nullptr, false);
    child.SetManager(&manager, &parent, false);
    parent.SetPos(RECT{0, 0, 100, 100}, false);
    child.SetPos(RECT{50, 50, 150, 150}, false);
    window.Clear();
  }
};

TEST(ControlInvalidate, TheRepaintIsTheControlClippedByItsAncestors) {
  Tree tree;
  tree.child.SetBkColor(0xFF00FF00);
  ExpectRect(tree.window.Dirty(), RECT{50, 50, 100, 100});

  // The same value again asks for nothing.
  tree.window.Clear();
  tree.child.SetBkColor(0xFF00FF00);
  tree.child.SetText(L"");
  tree.child.SetBkImage(L"");
  ExpectRect(tree.window.Dirty(), RECT{0, 0, 0, 0});

  // Out of the parent's area: nothing to repaint.
  tree.child.SetPos(RECT{120, 120, 150, 150}, false);
  tree.window.Clear();
  tree.child.SetText(L"moved");
  ExpectRect(tree.window.Dirty(), RECT{0, 0, 0, 0});
}

TEST(ControlInvalidate, InvisibleControlsAskForNoRepaint) {
  Tree tree;
  tree.child.SetVisible(false);
  tree.window.Clear();
  tree.child.SetBkColor(0xFF0000FF);
  tree.child.Invalidate();
  tree.child.NeedUpdate();
  ExpectRect(tree.window.Dirty(), RECT{0, 0, 0, 0});
}

TEST(ControlInvalidate, MovingRepaintsTheOldAndTheNewPlace) {
  Tree tree;
  tree.child.SetPos(RECT{10, 10, 30, 30}, false);
  tree.window.Clear();
  tree.child.SetPos(RECT{60, 60, 80, 80}, true);
  ExpectRect(tree.window.Dirty(), RECT{10, 10, 80, 80});

  // The union is clipped by the parent, and a hidden parent stops the repaint.
  tree.window.Clear();
  tree.child.SetPos(RECT{90, 90, 140, 140}, true);
  ExpectRect(tree.window.Dirty(), RECT{60, 60, 100, 100});
  tree.parent.SetVisible(false);
  tree.window.Clear();
  tree.child.SetPos(RECT{10, 10, 20, 20}, true);
  ExpectRect(tree.window.Dirty(), RECT{0, 0, 0, 0});
}

}  // namespace
