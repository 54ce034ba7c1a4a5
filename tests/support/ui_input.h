#pragma once

// Driving windows from a test as a user would: this thread's messages dispatched while it waits, and
// real input through the system's input queue (a test that sends it takes LOCKS pointer).

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

// Dispatches this thread's messages for ms milliseconds (0: what is queued now). A quit message is
// taken off the queue with the rest.
void PumpFor(DWORD ms);
// Dispatches this thread's messages (the test's own windows must answer what is sent to them,
// activation among it) until `done` holds or timeout_ms passes; returns the last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// A left click at a screen point: the cursor is put there and left to settle first. These return
// whether the system took every input event.
bool ClickAt(POINT screen_point);
// A key pressed and released.
bool PressKey(WORD vk);
// One relative mouse move per (dx, dy) pair, all in one SendInput call.
bool MoveMouse(const std::vector<POINT>& deltas);

// Holds a key (Ctrl, Shift) down in this thread's key state while it lives, without any input: what
// GetKeyState answers to code that runs on this thread.
class HeldKey {
 public:
  explicit HeldKey(int key) : key_(key) { Set(0x80); }
  ~HeldKey() { Set(0); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  void Set(BYTE state) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[key_] = state;
    ::SetKeyboardState(keys);
  }
  int key_;
};

}  // namespace testing_support
