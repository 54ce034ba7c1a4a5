// Real input on a real window (needs the test session's display): hover and its tool tip, leaving
// the window, the set-cursor event, a click with capture and the wheel, all through the system.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

using testing_support::EventLog;
using testing_support::ManagedWindow;
using testing_support::RecordingControl;
using testing_support::TestContainer;

struct ToolTipSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindVisibleToolTip(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ToolTipSearch*>(data);
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(window, GW_OWNER) == search->owner &&
      ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The visible tool-tip window owned by this window, if any.
HWND VisibleToolTip(HWND owner) {
  ToolTipSearch search{owner, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleToolTip,
                      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendMouse(DWORD flags, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  ::SendInput(1, &input, sizeof(input));
}

// A 200 x 100 window with "a" at (10,10)-(90,90) (tool tip "tip", own cursor) and "b" at
// (110,10)-(190,90).
class PaintManagerInput : public testing::Test {
 protected:
  PaintManagerInput() : window_(false, 200, 100) {}

  void SetUp() override {
    ASSERT_NE(window_.hwnd(), nullptr);
    auto* root = new TestContainer;
    root->SetBkColor(0xFFFFFFFFu);
    a_ = new RecordingControl(L"a", &log_, UIFLAG_SETCURSOR);
    a_->SetToolTip(L"tip");
    b_ = new RecordingControl(L"b", &log_);
    root->Add(a_, RECT{10, 10, 90, 90});
    root->Add(b_, RECT{110, 10, 190, 90});
    ASSERT_TRUE(m().AttachRootControl(root));
    m().SetHoverTime(100);
    // Parked off the window, so that every move onto it is a real move.
    ::SetCursorPos(5, 5);
    ::ShowWindow(window_.hwnd(), SW_SHOW);
    ::SetForegroundWindow(window_.hwnd());
    window_.PaintNow();
    log_.Clear();
  }

  CPaintManagerUI& m() { return window_.manager(); }

  void MoveTo(int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window_.hwnd(), &point);
    ::SetCursorPos(point.x, point.y);
  }

  // Pumps messages until the condition holds or the time is up.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 3000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
      if (::GetTickCount() - start > timeout_ms) return false;
      window_.Pump();
      ::Sleep(10);
    }
    return true;
  }

  ManagedWindow window_;
  EventLog log_;
  RecordingControl* a_ = nullptr;
  RecordingControl* b_ = nullptr;
};

TEST_F(PaintManagerInput, HoverShowsTheToolTipAndLeavingTheWindowEndsTheHover) {
  MoveTo(30, 30);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSEENTER).empty(); }));
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSEHOVER).empty(); }));
  EXPECT_EQ(log_.OfType(UIEVENT_MOUSEHOVER)[0].control, L"a");
  EXPECT_TRUE(PumpUntil([&] { return VisibleToolTip(window_.hwnd()) != nullptr; }));

  // A hover ends the tracking; the next move inside arms it again. Then off the window: the
  // manager hears WM_MOUSELEAVE and clears the hover control.
  const size_t moves = log_.OfType(UIEVENT_MOUSEMOVE).size();
  MoveTo(35, 35);
  ASSERT_TRUE(PumpUntil([&] { return log_.OfType(UIEVENT_MOUSEMOVE).size() > moves; }));
  MoveTo(400, 300);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSELEAVE).empty(); }));
  EXPECT_EQ(log_.OfType(UIEVENT_MOUSELEAVE)[0].control, L"a");
}

TEST_F(PaintManagerInput, OnlyControlsThatAskForItGetTheSetCursorEvent) {
  MoveTo(30, 30);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_SETCURSOR).empty(); }));
  EXPECT_EQ(log_.OfType(UIEVENT_SETCURSOR)[0].control, L"a");
  log_.Clear();
  MoveTo(150, 30);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSEENTER).empty(); }));
  window_.Pump();
  EXPECT_TRUE(log_.OfType(UIEVENT_SETCURSOR).empty());
}

TEST_F(PaintManagerInput, AClickCapturesTheMouseUntilTheButtonComesUp) {
  MoveTo(30, 30);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSEENTER).empty(); }));
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_BUTTONDOWN).empty(); }));
  EXPECT_TRUE(m().IsCaptured());
  EXPECT_EQ(::GetCapture(), window_.hwnd());
  EXPECT_EQ(m().GetFocus(), a_);
  MoveTo(150, 30);  // over b, while a holds the mouse
  ASSERT_TRUE(PumpUntil([&] { return log_.OfType(UIEVENT_MOUSEMOVE).size() >= 1; }));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_BUTTONUP).empty(); }));
  EXPECT_EQ(log_.OfType(UIEVENT_BUTTONUP)[0].control, L"a");
  for (const auto& move : log_.OfType(UIEVENT_MOUSEMOVE)) EXPECT_EQ(move.control, L"a");
  EXPECT_TRUE(log_.OfType(UIEVENT_MOUSEENTER).size() == 1u) << "no hover change while captured";
  EXPECT_FALSE(m().IsCaptured());
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(PaintManagerInput, TheWheelReachesTheControlUnderTheMouse) {
  MoveTo(150, 30);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_MOUSEENTER).empty(); }));
  // The wheel goes to the window with the keyboard focus: a click gives it.
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_BUTTONUP).empty(); }));
  ::SetForegroundWindow(window_.hwnd());
  ::SetFocus(window_.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == window_.hwnd(); }));
  SendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
  ASSERT_TRUE(PumpUntil([&] { return !log_.OfType(UIEVENT_SCROLLWHEEL).empty(); }));
  const auto wheel = log_.OfType(UIEVENT_SCROLLWHEEL);
  EXPECT_EQ(wheel[0].control, L"b");
  EXPECT_EQ(LOWORD(wheel[0].wParam), 1);
  EXPECT_EQ(static_cast<short>(HIWORD(wheel[0].wParam)), -WHEEL_DELTA);
}

}  // namespace
}  // namespace Vellum
