#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"

namespace {

using namespace Vellum;

// A parent that records the events its children pass up.
struct RecordingParent : CControlUI {
  std::vector<int> received;
  void DoEvent(TUIEvent& event) override { received.push_back(event.type); }
};

struct NotifyRecorder : INotifyUI {
  struct Entry {
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Entry> entries;
  void Notify(TUINotification& msg) override {
    entries.push_back({msg.type.GetData(), msg.sender, msg.wParam, msg.lParam});
  }
};

struct Gate {
  bool open = true;
  int calls = 0;
  bool OnEvent(void*) {
    ++calls;
    return open;
  }
};

struct Fixture {
  CPaintManagerUI manager;
  RecordingParent parent;
  CControlUI child;
  NotifyRecorder notes;
  Fixture() {
    manager.AddNotifier(&notes);
    parent.SetManager(&manager, nullptr, false);
    child.SetManager(&manager, &parent, false);
  }
  ~Fixture() { manager.RemoveNotifier(&notes); }
  void Send(int type, WPARAM wParam = 0, LPARAM lParam = 0) {
    TUIEvent event;
    event.type = type;
    event.sender = &child;
    event.wParam = wParam;
    event.lParam = lParam;
    child.Event(event);
  }
};

TEST(ControlEvents, UnhandledEventsGoToTheParent) {
  const int passed_up[] = {UIEVENT_KEYDOWN,     UIEVENT_CHAR,        UIEVENT_MOUSEMOVE,
                           UIEVENT_BUTTONDOWN,  UIEVENT_SCROLLWHEEL, UIEVENT_CONTEXTMENU,
                           UIEVENT_WINDOWSIZE,  UIEVENT_MOUSEENTER,  UIEVENT_DBLCLICK};
  Fixture f;
  for (int type : passed_up) f.Send(type);
  EXPECT_EQ(f.parent.received, std::vector<int>(std::begin(passed_up), std::end(passed_up)));
  EXPECT_TRUE(f.notes.entries.empty());

  // Without a parent the event is dropped.
  CControlUI lone;
  TUIEvent event;
  event.type = UIEVENT_BUTTONDOWN;
  lone.Event(event);
}

TEST(ControlEvents, FocusTimerAndMenuAreHandledByTheBase) {
  Fixture f;
  f.Send(UIEVENT_SETFOCUS);
  EXPECT_TRUE(f.child.IsFocused());
  f.Send(UIEVENT_KILLFOCUS);
  EXPECT_FALSE(f.child.IsFocused());

  f.Send(UIEVENT_TIMER, 7, 99);
  ASSERT_EQ(f.notes.entries.size(), 1u);
  EXPECT_EQ(f.notes.entries[0].type, L"timer");
  EXPECT_EQ(f.notes.entries[0].sender, &f.child);
  EXPECT_EQ(f.notes.entries[0].wParam, 7u);
  EXPECT_EQ(f.notes.entries[0].lParam, 99);

  f.child.SetAttribute(L"menu", L"true");
  f.Send(UIEVENT_CONTEXTMENU, 3, 4);
  ASSERT_EQ(f.notes.entries.size(), 2u);
  EXPECT_EQ(f.notes.entries[1].type, L"menu");
  EXPECT_EQ(f.notes.entries[1].wParam, 3u);
  EXPECT_EQ(f.notes.entries[1].lParam, 4);

  // The control's cursor, or the arrow while it has none.
  f.child.SetAttribute(L"cursor", L"hand");
  f.Send(UIEVENT_SETCURSOR);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  f.child.SetCursor(0);
  f.Send(UIEVENT_SETCURSOR);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_TRUE(f.parent.received.empty());
}

TEST(ControlEvents, AnEventDelegateThatAnswersFalseStopsTheEvent) {
  Fixture f;
  Gate gate;
  f.child.OnEvent += CDelegate<Gate>(&gate, &Gate::OnEvent);

  gate.open = false;
  f.Send(UIEVENT_SETFOCUS);
  f.Send(UIEVENT_BUTTONDOWN);
  EXPECT_EQ(gate.calls, 2);
  EXPECT_FALSE(f.child.IsFocused());
  EXPECT_TRUE(f.parent.received.empty());

  gate.open = true;
  f.Send(UIEVENT_SETFOCUS);
  f.Send(UIEVENT_BUTTONDOWN);
  EXPECT_TRUE(f.child.IsFocused());
  EXPECT_EQ(f.parent.received, std::vector<int>{UIEVENT_BUTTONDOWN});
}

}  // namespace
