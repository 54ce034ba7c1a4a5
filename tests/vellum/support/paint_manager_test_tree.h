#pragma once

// A small control tree for the paint manager's tests: controls that record the events they get,
// and a container that places its children at fixed rectangles, finds and paints them. The real
// containers live in a later family; the manager needs only these few virtuals.

#include <windows.h>

#include <string>
#include <vector>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"

namespace testing_support {

struct RecordedEvent {
  std::wstring control;
  int type;
  Vellum::CControlUI* sender;
  WPARAM wParam;
  LPARAM lParam;
};

// Every event a RecordingControl gets, in order.
class EventLog {
 public:
  void Add(const RecordedEvent& event) { events_.push_back(event); }
  void Clear() { events_.clear(); }
  const std::vector<RecordedEvent>& events() const { return events_; }
  // "name:type" for each event, for compact comparisons.
  std::vector<std::wstring> Summary() const;
  // Only the events of one type.
  std::vector<RecordedEvent> OfType(int type) const;

 private:
  std::vector<RecordedEvent> events_;
};

class RecordingControl : public Vellum::CControlUI {
 public:
  RecordingControl(const wchar_t* name, EventLog* log, UINT flags = 0);
  UINT GetControlFlags() const override { return flags_; }
  void DoEvent(Vellum::TUIEvent& event) override;

 private:
  EventLog* log_;
  UINT flags_;
};

class TestContainer : public Vellum::CControlUI {
 public:
  TestContainer() = default;
  ~TestContainer() override;

  // Takes ownership; the child is placed at rect by every layout of the container.
  void Add(Vellum::CControlUI* child, const RECT& rect);
  // Hands a child back without deleting it.
  void Detach(Vellum::CControlUI* child);

  const wchar_t* GetClass() const override { return L"TestContainerUI"; }
  void SetManager(Vellum::CPaintManagerUI* manager, Vellum::CControlUI* parent,
                  bool init = true) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  Vellum::CControlUI* FindControl(Vellum::FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  bool DoPaint(HDC dc, const RECT& paint, Vellum::CControlUI* stop) override;

 private:
  struct Child {
    Vellum::CControlUI* control;
    RECT rect;
  };
  std::vector<Child> children_;
};

// A message-only window (works without a display) whose procedure hands everything to a manager
// and records the messages it sees.
class ManagedWindow {
 public:
  // message_only false: a visible top-level popup of the given client size (needs a display).
  explicit ManagedWindow(bool message_only = true, int width = 200, int height = 100,
                         DWORD ex_style = 0);
  ~ManagedWindow();
  ManagedWindow(const ManagedWindow&) = delete;
  ManagedWindow& operator=(const ManagedWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  Vellum::CPaintManagerUI& manager() { return *manager_; }
  // Destroys the manager (and its tree) while the window stays.
  void ResetManager();
  // A fresh manager without a tree for the same window.
  void ReplaceManager();
  // Shows the window without activating it and handles every message until none is left.
  void ShowAndPaint();
  // Paints what is invalid now and handles the messages that follow (deferred work included).
  void PaintNow();

  // The messages of one kind still waiting in the queue, removed from it.
  std::vector<MSG> TakeQueued(UINT message);
  // Dispatches everything waiting (through the manager).
  void Pump();
  // Messages the window procedure saw that the manager did not handle, by kind.
  int SeenCount(UINT message) const;
  const std::vector<MSG>& seen() const { return seen_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  Vellum::CPaintManagerUI* manager_ = nullptr;
  std::vector<MSG> seen_;
};

}  // namespace testing_support
