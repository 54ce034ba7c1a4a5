// Messages to events, focus, timers and notifications, driven with synthetic messages on
// message-only windows (no display needed).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_delegate.h"
#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

using testing_support::EventLog;
using testing_support::ManagedWindow;
using testing_support::RecordingControl;
using testing_support::TestContainer;

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

std::wstring Event(const wchar_t* control, int type) {
  return std::wstring(control) + L":" + std::to_wstring(type);
}

// A window whose root holds two controls side by side: "a" at (0,0)-(50,50), "b" at (50,0)-(100,50).
class PaintManagerEvents : public testing::Test {
 protected:
  void SetUp() override {
    root_ = new TestContainer;
    root_->SetName(L"root");
    a_ = new RecordingControl(L"a", &log_, UIFLAG_TABSTOP);
    b_ = new RecordingControl(L"b", &log_, UIFLAG_TABSTOP);
    root_->Add(a_, RECT{0, 0, 50, 50});
    root_->Add(b_, RECT{50, 0, 100, 50});
    ASSERT_TRUE(m().AttachRootControl(root_));
    root_->SetPos(RECT{0, 0, 100, 50}, false);
    log_.Clear();
  }

  CPaintManagerUI& m() { return window_.manager(); }
  bool Send(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
    LRESULT r = 0;
    const bool handled = m().MessageHandler(message, wParam, lParam, r);
    if (result != nullptr) *result = r;
    return handled;
  }

  ManagedWindow window_;
  EventLog log_;
  TestContainer* root_ = nullptr;
  RecordingControl* a_ = nullptr;
  RecordingControl* b_ = nullptr;
};

TEST_F(PaintManagerEvents, MovingBetweenControlsLeavesThenEntersThenMoves) {
  Send(WM_MOUSEMOVE, 0, Point(10, 10));
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  const std::vector<std::wstring> expected = {
      Event(L"a", UIEVENT_MOUSEENTER), Event(L"a", UIEVENT_MOUSEMOVE),
      Event(L"a", UIEVENT_MOUSELEAVE), Event(L"b", UIEVENT_MOUSEENTER),
      Event(L"b", UIEVENT_MOUSEMOVE)};
  EXPECT_EQ(log_.Summary(), expected);
  EXPECT_EQ(m().GetMousePos().x, 60);

  // The point (-1, -1), as sent when the mouse left the window, clears the hover state.
  log_.Clear();
  Send(WM_MOUSEMOVE, 0, -1);
  EXPECT_EQ(log_.Summary(), std::vector<std::wstring>{Event(L"b", UIEVENT_MOUSELEAVE)});
}

TEST_F(PaintManagerEvents, ThePushedControlKeepsTheMouseUntilTheButtonComesUp) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(60, 10));
  Send(WM_LBUTTONUP, 0, Point(60, 10));
  const std::vector<testing_support::RecordedEvent> down = log_.OfType(UIEVENT_BUTTONDOWN);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].control, L"a");
  EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
  const std::vector<testing_support::RecordedEvent> moves = log_.OfType(UIEVENT_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].control, L"a") << "the pushed control gets the moves";
  const std::vector<testing_support::RecordedEvent> up = log_.OfType(UIEVENT_BUTTONUP);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].control, L"a");
  EXPECT_EQ(m().GetFocus(), a_) << "a button press focuses the control";
}

TEST_F(PaintManagerEvents, WheelTowardsTheUserSetsTheLowWord) {
  struct Case {
    short delta;
    WPARAM expected;
  };
  const Case cases[] = {{-120, MAKEWPARAM(1, static_cast<WORD>(-120))}, {240, MAKEWPARAM(0, 240)}};
  for (const Case& c : cases) {
    log_.Clear();
    POINT screen{60, 10};
    ::ClientToScreen(window_.hwnd(), &screen);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)), Point(screen.x, screen.y));
    const std::vector<testing_support::RecordedEvent> wheel = log_.OfType(UIEVENT_SCROLLWHEEL);
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(wheel[0].control, L"b");
    EXPECT_EQ(wheel[0].wParam, c.expected);
  }
}

TEST_F(PaintManagerEvents, ContextMenuGoesToTheControlTheRightButtonCameUpOver) {
  Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(10, 10));
  Send(WM_RBUTTONUP, 0, Point(60, 10));
  Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_.hwnd()), Point(60, 10));
  const std::vector<std::wstring> expected = {Event(L"a", UIEVENT_RBUTTONDOWN),
                                              Event(L"b", UIEVENT_RBUTTONUP),
                                              Event(L"b", UIEVENT_CONTEXTMENU)};
  std::vector<std::wstring> seen;
  for (const std::wstring& e : log_.Summary()) {
    if (e != Event(L"a", UIEVENT_SETFOCUS) && e != Event(L"b", UIEVENT_SETFOCUS)) seen.push_back(e);
  }
  EXPECT_EQ(seen, expected);
  const std::vector<testing_support::RecordedEvent> menu = log_.OfType(UIEVENT_CONTEXTMENU);
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_EQ(menu[0].lParam, reinterpret_cast<LPARAM>(b_));
}

TEST_F(PaintManagerEvents, CloseReleasesHoverPushedAndRightClickControls) {
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(10, 10));
  log_.Clear();
  EXPECT_FALSE(Send(WM_CLOSE, 0, 0));
  const std::vector<testing_support::RecordedEvent> leave = log_.OfType(UIEVENT_MOUSELEAVE);
  ASSERT_EQ(leave.size(), 1u);
  EXPECT_EQ(leave[0].control, L"b");
  const std::vector<testing_support::RecordedEvent> up = log_.OfType(UIEVENT_RBUTTONUP);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].control, L"a");
  EXPECT_EQ(up[0].sender, a_);
  EXPECT_EQ(m().GetFocus(), nullptr);
}

TEST_F(PaintManagerEvents, KeysGoToTheFocusAndKeyUpToWhereTheKeyWentDown) {
  m().SetFocus(a_);
  Send(WM_KEYDOWN, 'X', 0);
  m().SetFocus(b_);
  Send(WM_CHAR, 'x', 0);
  Send(WM_KEYUP, 'X', 0);
  std::vector<std::wstring> keys;
  for (const auto& e : log_.events()) {
    if (e.type == UIEVENT_KEYDOWN || e.type == UIEVENT_KEYUP || e.type == UIEVENT_CHAR) {
      keys.push_back(Event(e.control.c_str(), e.type));
    }
  }
  EXPECT_EQ(keys, (std::vector<std::wstring>{Event(L"a", UIEVENT_KEYDOWN),
                                             Event(L"b", UIEVENT_CHAR),
                                             Event(L"a", UIEVENT_KEYUP)}));
}

TEST_F(PaintManagerEvents, ControlsOfAnotherManagerAreLeftAlone) {
  ManagedWindow other;
  b_->SetManager(&other.manager(), root_, false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(60, 10));
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  EXPECT_TRUE(log_.events().empty());
  b_->SetManager(&m(), root_, false);
}

TEST_F(PaintManagerEvents, SimpleAnswers) {
  LRESULT result = 0;
  EXPECT_TRUE(Send(WM_ERASEBKGND, 0, 0, &result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(Send(WM_SIZE, 0, Point(100, 50)));
  EXPECT_TRUE(m().IsUpdateNeeded());
  EXPECT_FALSE(Send(WM_TIMER, 99, 0)) << "no such timer";
  EXPECT_TRUE(log_.events().empty());
}

TEST_F(PaintManagerEvents, MessageFiltersComeFirst) {
  struct Filter : IMessageFilterUI {
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
      handled = message == WM_LBUTTONDOWN;
      return 42;
    }
  } filter;
  m().AddMessageFilter(&filter);
  LRESULT result = 0;
  EXPECT_TRUE(Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 20), &result));
  EXPECT_EQ(result, 42);
  EXPECT_EQ(m().GetMousePos().y, 20) << "the point is kept even when a filter handled it";
  EXPECT_TRUE(log_.OfType(UIEVENT_BUTTONDOWN).empty());
  EXPECT_TRUE(m().RemoveMessageFilter(&filter));
  EXPECT_FALSE(m().RemoveMessageFilter(&filter));
}

TEST_F(PaintManagerEvents, FocusMovesWithEventsAndNotifications) {
  struct Recorder : INotifyUI {
    void Notify(TUINotification& msg) override {
      seen.push_back(std::wstring(msg.type.GetData()) + L":" + msg.sender->GetName().GetData());
    }
    std::vector<std::wstring> seen;
  } recorder;
  m().AddNotifier(&recorder);
  m().SetFocus(a_);
  m().SetFocus(b_);
  EXPECT_EQ(recorder.seen,
            (std::vector<std::wstring>{L"setfocus:a", L"killfocus:a", L"setfocus:b"}));
  const std::vector<testing_support::RecordedEvent> kill = log_.OfType(UIEVENT_KILLFOCUS);
  ASSERT_EQ(kill.size(), 1u);
  EXPECT_EQ(kill[0].sender, b_) << "the kill-focus event names the new control";

  // Invisible, disabled or foreign controls take no focus, and the old one has lost it.
  a_->SetEnabled(false);
  m().SetFocus(a_);
  EXPECT_EQ(m().GetFocus(), nullptr);
  a_->SetEnabled(true);
  b_->SetVisible(false);
  m().SetFocus(b_);
  EXPECT_EQ(m().GetFocus(), nullptr);
  m().RemoveNotifier(&recorder);
}

TEST_F(PaintManagerEvents, BackwardTabWrapsToTheLastTabStop) {
  auto* c = new RecordingControl(L"c", &log_, UIFLAG_TABSTOP);
  auto* plain = new RecordingControl(L"plain", &log_, 0);
  root_->Add(plain, RECT{0, 60, 10, 70});
  root_->Add(c, RECT{0, 80, 10, 90});
  std::vector<std::wstring> order;
  for (int i = 0; i < 4; ++i) {
    m().SetNextTabControl(false);
    order.push_back(m().GetFocus() != nullptr ? m().GetFocus()->GetName().GetData() : L"-");
  }
  // From nothing the first tab stop; from the first, back round to the last.
  EXPECT_EQ(order, (std::vector<std::wstring>{L"a", L"c", L"b", L"a"}));

  // The focus needed at the next paint: the tab stop before the control, without events.
  log_.Clear();
  m().SetFocusNeeded(c);
  EXPECT_EQ(m().GetFocus(), b_);
  EXPECT_TRUE(log_.OfType(UIEVENT_SETFOCUS).empty());
}

TEST_F(PaintManagerEvents, LookUpsByNameClassAndPoint) {
  EXPECT_EQ(m().FindControl(L"a"), a_);
  EXPECT_EQ(m().FindControl(L"root"), root_);
  EXPECT_EQ(m().FindControl(L"none"), nullptr);
  EXPECT_EQ(m().FindControl(POINT{60, 10}), b_);
  EXPECT_EQ(m().FindControl(POINT{500, 10}), nullptr);
  EXPECT_EQ(m().FindControlsByClass(nullptr, L"*")->GetSize(), 3);
  EXPECT_EQ(m().FindControlsByClass(nullptr, L"ControlUI")->GetSize(), 2);
  EXPECT_EQ(m().FindControlsByClass(nullptr, L"controlui")->GetSize(), 0) << "class names have case";

  // A control that goes away is forgotten: name, hover, focus.
  Send(WM_MOUSEMOVE, 0, Point(10, 10));
  m().SetFocus(a_);
  root_->Detach(a_);
  delete a_;
  EXPECT_EQ(m().FindControl(L"a"), nullptr);
  EXPECT_EQ(m().GetFocus(), nullptr);
  log_.Clear();
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  EXPECT_EQ(log_.Summary(), (std::vector<std::wstring>{Event(L"b", UIEVENT_MOUSEENTER),
                                                       Event(L"b", UIEVENT_MOUSEMOVE)}));
}

// A native child that answers reflected messages (the OCM_ range, 0x2000 above the original).
LRESULT CALLBACK ReflectingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 0x2000 + WM_NOTIFY) return 7;
  if (message == 0x2000 + WM_COMMAND) return 9;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(PaintManagerEvents, NotificationsOfNativeChildrenAreReflectedToThem) {
  ManagedWindow child;
  child.ResetManager();
  ::SetWindowLongPtrW(child.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReflectingProc));
  NMHDR header{};
  header.hwndFrom = child.hwnd();
  LRESULT result = 0;
  EXPECT_TRUE(Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header), &result));
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(Send(WM_COMMAND, 1, reinterpret_cast<LPARAM>(child.hwnd()), &result));
  EXPECT_EQ(result, 9);
  // A child that answers 0 leaves the message unhandled.
  result = 0;
  EXPECT_FALSE(Send(WM_CTLCOLOREDIT, 1, reinterpret_cast<LPARAM>(child.hwnd()), &result));
  EXPECT_FALSE(Send(WM_NOTIFY, 1, 0));
}

TEST_F(PaintManagerEvents, LayeredWindowsDrawNoFrame) {
  m().SetLayered(true);
  ASSERT_TRUE(m().IsLayered());
  LRESULT result = 5;
  EXPECT_TRUE(Send(WM_NCPAINT, 1, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(Send(WM_NCCALCSIZE, 0, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(Send(WM_NCACTIVATE, 0, 0, &result));
  EXPECT_EQ(result, TRUE);
  EXPECT_TRUE(Send(WM_NCACTIVATE, 1, 0, &result));
  EXPECT_EQ(result, FALSE);
}

TEST_F(PaintManagerEvents, DoubleClickAndMiddleButtonPushTheControl) {
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(60, 10));
  Send(WM_MBUTTONDOWN, MK_MBUTTON, Point(10, 10));
  Send(WM_MOUSEMOVE, MK_MBUTTON, Point(60, 10));
  Send(WM_MBUTTONUP, 0, Point(60, 10));
  std::vector<std::wstring> seen;
  for (const auto& e : log_.events()) {
    if (e.type != UIEVENT_SETFOCUS && e.type != UIEVENT_KILLFOCUS) {
      seen.push_back(Event(e.control.c_str(), e.type));
    }
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{Event(L"b", UIEVENT_DBLCLICK),
                                             Event(L"a", UIEVENT_MBUTTONDOWN),
                                             Event(L"a", UIEVENT_MOUSEMOVE),
                                             Event(L"b", UIEVENT_MBUTTONUP)}));
}

TEST_F(PaintManagerEvents, PrintClientPaintsTheTreeIntoTheGivenDc) {
  a_->SetBkColor(0xFF00FF00u);
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 100;
  info.bmiHeader.biHeight = -50;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  EXPECT_FALSE(Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT));
  ::GdiFlush();
  EXPECT_EQ(static_cast<const DWORD*>(bits)[10 * 100 + 10], 0xFF00FF00u);
  EXPECT_EQ(static_cast<const DWORD*>(bits)[10 * 100 + 60], 0u);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

// ---- Timers ----

class PaintManagerTimers : public PaintManagerEvents {
 protected:
  // The control's timer id that WM_TIMER with this Win32 id reaches, or -1.
  int Fire(UINT win32_id, RecordingControl* control) {
    log_.Clear();
    Send(WM_TIMER, win32_id, 0);
    for (const auto& e : log_.OfType(UIEVENT_TIMER)) {
      if (e.control == control->GetName().GetData()) return static_cast<int>(e.wParam);
    }
    return -1;
  }
};

TEST_F(PaintManagerTimers, OneTimerPerControlAndIdAndAKilledOneReArmsWithItsId) {
  EXPECT_TRUE(m().SetTimer(a_, 7, 1000));
  EXPECT_FALSE(m().SetTimer(a_, 7, 1000)) << "already running";
  EXPECT_EQ(Fire(17, a_), 7) << "the first Win32 id is 17";
  EXPECT_TRUE(m().KillTimer(a_, 7));
  EXPECT_FALSE(m().KillTimer(a_, 7));
  EXPECT_EQ(Fire(17, a_), -1);
  EXPECT_TRUE(m().SetTimer(b_, 1, 1000));
  EXPECT_EQ(Fire(18, b_), 1);
  EXPECT_TRUE(m().SetTimer(a_, 7, 1000));
  EXPECT_EQ(Fire(17, a_), 7) << "re-armed with its old id";
  m().KillTimer(a_);
  EXPECT_EQ(Fire(17, a_), -1);
  EXPECT_TRUE(m().SetTimer(a_, 7, 1000)) << "a removed entry starts afresh";
  EXPECT_EQ(Fire(19, a_), 7);
  m().RemoveAllTimers();
  EXPECT_EQ(Fire(19, a_), -1);
  EXPECT_EQ(Fire(18, b_), -1);
}

TEST_F(PaintManagerTimers, IdsWrapAndSkipIdsStillHeld) {
  ASSERT_TRUE(m().SetTimer(a_, 1, 100000));  // 17
  for (UINT i = 0; i < 223; ++i) ASSERT_TRUE(m().SetTimer(b_, i, 100000)) << i;
  EXPECT_EQ(Fire(0, b_), 222) << "the 224th timer wraps from 239 to 0";
  m().KillTimer(b_);
  for (UINT i = 0; i < 16; ++i) ASSERT_TRUE(m().SetTimer(b_, i, 100000));  // 1 .. 16
  // 17 is still a's: taking it would silently replace a's Win32 timer.
  ASSERT_TRUE(m().SetTimer(b_, 100, 100000));
  EXPECT_EQ(Fire(17, a_), 1);
  EXPECT_EQ(Fire(18, b_), 100);

  // With every id held no timer can start.
  for (UINT i = 101; i < 101 + 222; ++i) ASSERT_TRUE(m().SetTimer(b_, i, 100000)) << i;
  EXPECT_FALSE(m().SetTimer(b_, 999, 100000));
}

TEST_F(PaintManagerTimers, RealTimersReachTheirControl) {
  ASSERT_TRUE(m().SetTimer(a_, 5, 10));
  const DWORD start = ::GetTickCount();
  while (log_.OfType(UIEVENT_TIMER).empty() && ::GetTickCount() - start < 2000) {
    window_.Pump();
    ::Sleep(5);
  }
  const std::vector<testing_support::RecordedEvent> fired = log_.OfType(UIEVENT_TIMER);
  ASSERT_FALSE(fired.empty());
  EXPECT_EQ(fired[0].control, L"a");
  EXPECT_EQ(fired[0].wParam, 5u);
}

// ---- Notifications ----

struct NotifyRecorder : INotifyUI {
  void Notify(TUINotification& msg) override {
    types.push_back(msg.type.GetData());
    senders.push_back(msg.sender);
    virtual_wnds.push_back(msg.virtual_wnd.GetData());
  }
  std::vector<std::wstring> types;
  std::vector<CControlUI*> senders;
  std::vector<std::wstring> virtual_wnds;
};

TEST_F(PaintManagerEvents, SynchronousNotificationsReachTheSenderFirst) {
  struct SenderHook {
    bool OnNotify(void* param) {
      order->push_back(L"sender:" + std::wstring(static_cast<TUINotification*>(param)->type.GetData()));
      return true;
    }
    std::vector<std::wstring>* order;
  };
  std::vector<std::wstring> order;
  SenderHook hook{&order};
  a_->OnNotify += CDelegate<SenderHook>(&hook, &SenderHook::OnNotify);
  struct Ordered : INotifyUI {
    void Notify(TUINotification& msg) override {
      order->push_back(L"window:" + std::wstring(msg.type.GetData()));
    }
    std::vector<std::wstring>* order;
  } notifier;
  notifier.order = &order;
  m().AddNotifier(&notifier);
  Send(WM_MOUSEMOVE, 0, Point(3, 4));
  TUINotification msg;
  msg.type = L"click";
  msg.sender = a_;
  m().SendNotify(msg);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"sender:click", L"window:click"}));
  EXPECT_EQ(msg.mouse_point.x, 3);
  EXPECT_EQ(msg.mouse_point.y, 4);
  EXPECT_NE(msg.timestamp, 0u);
  m().RemoveNotifier(&notifier);
}

TEST_F(PaintManagerEvents, QueuedNotificationsPostOneMessageWithoutParameters) {
  NotifyRecorder recorder;
  m().AddNotifier(&recorder);
  window_.TakeQueued(kDeferredWorkMessage);
  m().SendNotify(a_, L"first", 1, 2, true);
  m().SendNotify(b_, L"second", 3, 4, true);
  EXPECT_TRUE(recorder.types.empty()) << "nothing is delivered before the message is handled";
  std::vector<MSG> posted = window_.TakeQueued(kDeferredWorkMessage);
  ASSERT_EQ(posted.size(), 1u);
  // A window that also takes tray callbacks on this message must not mistake it for a click.
  EXPECT_EQ(posted[0].wParam, 0u);
  EXPECT_EQ(posted[0].lParam, 0);

  Send(kDeferredWorkMessage, 0, 0);
  EXPECT_EQ(recorder.types, (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(recorder.senders, (std::vector<CControlUI*>{a_, b_}));

  m().SendNotify(a_, L"third", 0, 0, true);
  EXPECT_EQ(window_.TakeQueued(kDeferredWorkMessage).size(), 1u) << "posted again once handled";
  Send(kDeferredWorkMessage, 0, 0);
  m().RemoveNotifier(&recorder);
}

TEST_F(PaintManagerEvents, AQueuedNotificationOutlivesItsSender) {
  NotifyRecorder recorder;
  m().AddNotifier(&recorder);
  m().SendNotify(a_, L"gone", 0, 0, true);
  root_->Detach(a_);
  delete a_;
  Send(kDeferredWorkMessage, 0, 0);
  ASSERT_EQ(recorder.types.size(), 1u);
  EXPECT_EQ(recorder.types[0], L"gone");
  EXPECT_EQ(recorder.senders[0], nullptr);
  m().RemoveNotifier(&recorder);
}

TEST_F(PaintManagerEvents, VirtualWindowNamesOnlyWhileInUse) {
  NotifyRecorder recorder;
  m().AddNotifier(&recorder);
  b_->SetVirtualWnd(L"pump");
  EXPECT_TRUE(m().IsUseVirtualWnd());
  m().SendNotify(b_, L"click");
  m().SetUseVirtualWnd(false);
  m().SendNotify(b_, L"click");
  EXPECT_EQ(recorder.virtual_wnds, (std::vector<std::wstring>{L"pump", L""}));
  m().RemoveNotifier(&recorder);
}

TEST_F(PaintManagerEvents, AReplacedRootIsDeletedWithTheDeferredWork) {
  bool destroyed = false;
  struct Watch {
    bool OnDestroy(void*) {
      *flag = true;
      return true;
    }
    bool* flag;
  } watch{&destroyed};
  root_->OnDestroy += CDelegate<Watch>(&watch, &Watch::OnDestroy);
  auto* next = new TestContainer;
  ASSERT_TRUE(m().AttachRootControl(next));
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(m().GetRoot(), next);
  EXPECT_EQ(window_.TakeQueued(kDeferredWorkMessage).size(), 1u);
  Send(kDeferredWorkMessage, 0, 0);
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace Vellum
