// A control that dies is forgotten by every list of its manager that could still hold it, so nothing
// calls it afterwards: pop-ups, menus and in-place editors remove controls while the mouse is down,
// while a timer runs or while a control hosts a native window.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"

namespace Vellum {
namespace {

using testing_support::EventLog;
using testing_support::ManagedWindow;
using testing_support::RecordingControl;
using testing_support::TestContainer;

int g_calls_after_death = 0;

// What a dead control's memory turns into: any event or post-paint call that still reaches it is
// counted instead of running on freed memory.
class Tombstone : public CControlUI {
 public:
  void DoEvent(TUIEvent&) override { ++g_calls_after_death; }
  void DoPostPaint(HDC, const RECT&) override { ++g_calls_after_death; }
  void SetFocus() override { ++g_calls_after_death; }
};

std::vector<Tombstone*> g_tombstones;

// A recording control whose storage outlives it: deleting it runs its destructor (and with it the
// manager's forget step), then leaves a tombstone where it stood.
class MortalControl : public RecordingControl {
 public:
  using RecordingControl::RecordingControl;
  static void operator delete(void* memory, size_t size) {
    static_assert(sizeof(Tombstone) <= sizeof(RecordingControl), "the tombstone must fit");
    (void)size;
    g_tombstones.push_back(new (memory) Tombstone);
  }
};

void BuryTombstones() {
  for (Tombstone* tombstone : g_tombstones) {
    tombstone->~Tombstone();
    ::operator delete(tombstone);
  }
  g_tombstones.clear();
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// "a" at (0,0)-(50,50) dies during the case; "b" at (50,0)-(100,50) lives on.
class PaintManagerForget : public testing::Test {
 protected:
  void SetUp() override {
    g_calls_after_death = 0;
    root_ = new TestContainer;
    a_ = new MortalControl(L"a", &log_, UIFLAG_TABSTOP);
    b_ = new RecordingControl(L"b", &log_, UIFLAG_TABSTOP);
    root_->Add(a_, RECT{0, 0, 50, 50});
    root_->Add(b_, RECT{50, 0, 100, 50});
    ASSERT_TRUE(m().AttachRootControl(root_));
    root_->SetPos(RECT{0, 0, 100, 50}, false);
    log_.Clear();
  }
  void TearDown() override {
    window_.ResetManager();
    BuryTombstones();
  }

  CPaintManagerUI& m() { return window_.manager(); }
  void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    LRESULT result = 0;
    m().MessageHandler(message, wParam, lParam, result);
  }
  // Takes "a" out of the tree and deletes it, as a family does with a row or an in-place editor.
  void KillA() {
    root_->Detach(a_);
    delete a_;
  }
  // Handles every message waiting for the window for a while (timers included).
  void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
      window_.Pump();
      ::Sleep(5);
    }
  }

  ManagedWindow window_;
  EventLog log_;
  TestContainer* root_ = nullptr;
  RecordingControl* a_ = nullptr;
  RecordingControl* b_ = nullptr;
};

TEST_F(PaintManagerForget, PostPaintListDropsTheControl) {
  ASSERT_TRUE(m().AddPostPaint(a_));
  CControlUI* dead = a_;
  KillA();
  EXPECT_FALSE(m().RemovePostPaint(dead));
}

TEST_F(PaintManagerForget, NativeWindowListDropsTheWindowWithItsControl) {
  HWND child = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(m().AddNativeWindow(a_, child));
  KillA();
  EXPECT_FALSE(m().RemoveNativeWindow(child));
  // The window itself belongs to whoever made it; the manager only stops naming it.
  EXPECT_TRUE(::IsWindow(child));
  ::DestroyWindow(child);
}

TEST_F(PaintManagerForget, MouseLeaveReceiversDropTheControl) {
  ASSERT_TRUE(m().AddMouseLeaveNeeded(a_));
  CControlUI* dead = a_;
  KillA();
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  Send(WM_MOUSEMOVE, 0, Point(110, 10));
  EXPECT_FALSE(m().RemoveMouseLeaveNeeded(dead));
  EXPECT_EQ(g_calls_after_death, 0);
}

TEST_F(PaintManagerForget, FocusMovesOnWithoutTheDeadControl) {
  m().SetFocus(a_);
  ASSERT_EQ(m().GetFocus(), a_);
  KillA();
  EXPECT_EQ(m().GetFocus(), nullptr);
  Send(WM_KEYDOWN, VK_DOWN, 0);
  Send(WM_CHAR, L'x', 0);
  // Backwards: a forward tab waits for the layout that this window (never painted) has not had.
  EXPECT_TRUE(m().SetNextTabControl(false));
  EXPECT_EQ(m().GetFocus(), b_);
  EXPECT_EQ(g_calls_after_death, 0);
}

// As when a row or a separator is removed while the user drags it: the button is still down.
TEST_F(PaintManagerForget, CaptureEndsWhenThePushedControlDies) {
  Send(WM_MOUSEMOVE, 0, Point(10, 10));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  ASSERT_TRUE(m().IsCaptured());
  KillA();
  EXPECT_FALSE(m().IsCaptured());
  Send(WM_MOUSEMOVE, MK_LBUTTON, Point(20, 10));
  Send(WM_LBUTTONUP, 0, Point(20, 10));
  EXPECT_EQ(g_calls_after_death, 0);
}

TEST_F(PaintManagerForget, HoverMovesToTheNextControlUnderTheMouse) {
  Send(WM_MOUSEMOVE, 0, Point(10, 10));
  KillA();
  log_.Clear();
  Send(WM_MOUSEMOVE, 0, Point(60, 10));
  Send(WM_MOUSELEAVE);
  EXPECT_EQ(g_calls_after_death, 0);
  ASSERT_FALSE(log_.OfType(UIEVENT_MOUSEENTER).empty());
  EXPECT_EQ(log_.OfType(UIEVENT_MOUSEENTER).front().control, L"b");
}

TEST_F(PaintManagerForget, TimersOfTheDeadControlStop) {
  ASSERT_TRUE(m().SetTimer(a_, 7, 10));
  ASSERT_TRUE(m().SetTimer(b_, 7, 10));
  CControlUI* dead = a_;
  KillA();
  EXPECT_FALSE(m().KillTimer(dead, 7));
  PumpFor(80);
  EXPECT_EQ(g_calls_after_death, 0);
  EXPECT_FALSE(log_.OfType(UIEVENT_TIMER).empty());
}

// A control that registers itself with a manager in every way a family does.
class RegisteringControl : public MortalControl,
                           public INotifyUI,
                           public IMessageFilterUI,
                           public ITranslateAccelerator {
 public:
  using MortalControl::MortalControl;
  void Notify(TUINotification&) override { ++g_calls_after_death; }
  LRESULT MessageHandler(UINT, WPARAM, LPARAM, bool&) override {
    ++g_calls_after_death;
    return 0;
  }
  LRESULT TranslateAccelerator(MSG*) override {
    ++g_calls_after_death;
    return S_FALSE;
  }
  static void operator delete(void* memory, size_t size) { MortalControl::operator delete(memory, size); }
};

// What each registration leaves behind once the control has died: true while the manager still
// holds the dead control.
struct Registration {
  const char* name;
  void (*add)(CPaintManagerUI& manager, RegisteringControl* control);
  bool (*still_held)(CPaintManagerUI& manager, RegisteringControl* dead);
};

const Registration kRegistrations[] = {
    {"notifier", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddNotifier(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) {
       return m.RemoveNotifier(static_cast<INotifyUI*>(d));
     }},
    {"message filter", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddMessageFilter(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) {
       return m.RemoveMessageFilter(static_cast<IMessageFilterUI*>(d));
     }},
    {"pre-message filter",
     [](CPaintManagerUI& m, RegisteringControl* c) { m.AddPreMessageFilter(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) {
       return m.RemovePreMessageFilter(static_cast<IMessageFilterUI*>(d));
     }},
    {"translator", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddTranslateAccelerator(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) {
       return m.RemoveTranslateAccelerator(static_cast<ITranslateAccelerator*>(d));
     }},
    {"timer", [](CPaintManagerUI& m, RegisteringControl* c) { m.SetTimer(c, 3, 10); },
     [](CPaintManagerUI& m, RegisteringControl*) { return m.GetTimerCount() != 0; }},
    {"post-paint", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddPostPaint(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) { return m.RemovePostPaint(d); }},
    {"mouse-leave", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddMouseLeaveNeeded(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) { return m.RemoveMouseLeaveNeeded(d); }},
    {"option group", [](CPaintManagerUI& m, RegisteringControl* c) { m.AddOptionGroup(L"g", c); },
     [](CPaintManagerUI& m, RegisteringControl* d) {
       CUIPtrArray* group = m.GetOptionGroup(L"g");
       return group != nullptr && group->Find(d) >= 0;
     }},
    {"focus", [](CPaintManagerUI& m, RegisteringControl* c) { m.SetFocus(c); },
     [](CPaintManagerUI& m, RegisteringControl* d) { return m.GetFocus() == d; }},
};

// As the skin builder leaves a control: it registered while attached for the build, was detached
// again (or moved to another window), and dies so, e.g. in a subtree the builder refuses.
TEST_F(PaintManagerForget, RegistrationsOfADetachedControlDieWithIt) {
  for (const Registration& registration : kRegistrations) {
    SCOPED_TRACE(registration.name);
    auto* control = new RegisteringControl(L"r", &log_, UIFLAG_TABSTOP);
    root_->Add(control, RECT{0, 0, 10, 10});
    control->SetManager(&m(), root_, false);
    registration.add(m(), control);
    root_->Detach(control);
    control->SetManager(nullptr, nullptr, false);
    delete control;
    EXPECT_FALSE(registration.still_held(m(), control));
    Send(WM_KEYDOWN, VK_DOWN, 0);
    PumpFor(30);
    EXPECT_EQ(g_calls_after_death, 0);
    BuryTombstones();
  }
}

// The builder gives the selected page of a tab layout the focus while it builds, before any window
// holds the tree; a page in a subtree it refuses (a label takes no children) dies detached and must
// not stay the manager's focus for the root's attaching to send it a kill-focus.
TEST(PaintManagerForgetBuilt, FocusGivenWhileBuildingDiesWithARefusedSubtree) {
  ManagedWindow window;
  CSkinBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Label><HorizontalLayout><TabLayout selectedid=\"1\"><Label/><Container/>"
      L"</TabLayout></HorizontalLayout></Label></Window>",
      nullptr, nullptr, &window.manager());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(window.manager().GetFocus(), nullptr);
  EXPECT_TRUE(window.manager().AttachRootControl(root));
}

}  // namespace
}  // namespace Vellum
