// Raw input end to end: a hidden tool window registered for raw mouse input, mouse movement injected
// with SendInput, the detector deciding, the cursor manager enlarging through the recording seam and
// its "mouse_shaked" event reaching the loopback collection server.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/cursor_manager.h"
#include "app/shake_detector.h"
#include "app/app_events.h"
#include "common/collector.h"
#include "common/singleton.h"
#include "tests/app/recording_cursors.h"
#include "tests/support/loopback_client.h"
#include "tests/support/ui_input.h"

namespace {

using testing_support::LoopbackServer;
using testing_support::MoveMouse;
using testing_support::PressKey;
using testing_support::PumpFor;

class LoopbackCollector : public testing::Environment {
 public:
  void SetUp() override {
    Singleton<common::Collector>::GetInstance()->Init(LoopbackServer::Url("/collection"), "Lumavex", "Lumavex");
  }
};
const auto* const kCollector = testing::AddGlobalTestEnvironment(new LoopbackCollector);

constexpr UINT_PTR kRestoreTimer = 1;
// Wine accelerates injected moves above 6 units; smaller steps arrive as sent.
constexpr LONG kStep = 5;

class RawInputWindow {
 public:
  RawInputWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &RawInputWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LumavexRawInputHarness";
    RegisterClassExW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
    if (hwnd_ == nullptr) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The keyboard too, so that packets of other devices reach the detector and must be ignored.
    RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_INPUTSINK, hwnd_}, {1, 6, RIDEV_INPUTSINK, hwnd_}};
    registered_ = RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
    SetTimer(hwnd_, kRestoreTimer, 100, nullptr);
    // Raw input reaches even a sink only while some thread owns the foreground, and an earlier test
    // may have left none: a small window of the test's own takes it, the sink itself stays hidden.
    front_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr,
                             nullptr, wc.hInstance, nullptr);
    if (front_ != nullptr) SetForegroundWindow(front_);
    manager = std::make_unique<CursorManager>(CursorManager::Settings{3, 200}, ReportMouseShaked, system,
                                              [this] { return clock_ms * 1000000; });
  }
  ~RawInputWindow() {
    if (hwnd_ != nullptr) {
      RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_REMOVE, nullptr}, {1, 6, RIDEV_REMOVE, nullptr}};
      RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
      DestroyWindow(hwnd_);
    }
    if (front_ != nullptr) DestroyWindow(front_);
  }

  bool ready() const { return hwnd_ != nullptr && registered_; }

  // One run of `length` units along (ux, uy), in small steps.
  void Run(int ux, int uy, int length) {
    for (int moved = 0; moved < length; moved += kStep) MoveMouse({{ux * kStep, uy * kStep}});
    PumpFor(0);
  }

  // The detector's and the manager's clock, in milliseconds: it stands still unless the test moves it,
  // so a slow machine can neither spread a burst beyond the detection window nor let the timer
  // restore in the middle of one. The restore timer itself is real.
  int64_t clock_ms = 1000000;
  RecordingCursors system;
  std::unique_ptr<CursorManager> manager;
  ShakeDetector detector{[this] { manager->Enlarge(); }, [this] { return static_cast<uint64_t>(clock_ms); }};
  // Mouse packets that move: Wine also delivers a few packets without movement (around window
  // changes under the pointer), which no injected move made.
  int mouse_moves = 0;
  int other_packets = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<RawInputWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_INPUT) {
      RAWINPUTHEADER header = {};
      UINT size = sizeof(header);
      GetRawInputData(reinterpret_cast<HRAWINPUT>(lparam), RID_HEADER, &header, &size, sizeof(header));
      if (header.dwType == RIM_TYPEMOUSE) {
        RAWINPUT input = {};
        UINT input_size = sizeof(input);
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lparam), RID_INPUT, &input, &input_size,
                            sizeof(RAWINPUTHEADER)) != static_cast<UINT>(-1) &&
            (input.data.mouse.lLastX != 0 || input.data.mouse.lLastY != 0)) {
          ++self->mouse_moves;
        }
      } else {
        ++self->other_packets;
      }
      self->detector.OnRawInput(reinterpret_cast<HRAWINPUT>(lparam));
    } else if (self != nullptr && message == WM_TIMER && wparam == kRestoreTimer) {
      self->manager->RestoreIfIdle();
      return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  HWND hwnd_ = nullptr;
  HWND front_ = nullptr;
  bool registered_ = false;
};

TEST(RawInputShake, ShakeEnlargesAllCursorsOnceAndRestoresThem) {
  ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
  RawInputWindow window;
  ASSERT_TRUE(window.ready());
  PressKey(VK_SHIFT);
  PumpFor(50);
  EXPECT_GT(window.other_packets, 0);
  EXPECT_TRUE(window.detector.samples().empty()) << "keyboard packets are not mouse movement";

  for (int run = 0; run < 10; ++run) window.Run(run % 2 == 0 ? 1 : -1, 0, 100);
  EXPECT_EQ(window.mouse_moves, 200);
  ASSERT_FALSE(window.detector.samples().empty());
  EXPECT_EQ(window.detector.samples().front().dx, 100) << "injected deltas arrive unaccelerated";

  ASSERT_EQ(window.system.sets.size(), 13u);
  for (size_t i = 0; i < 13; ++i) {
    EXPECT_EQ(window.system.sets[i].id, CursorManager::kCursorIds[i]);
    EXPECT_EQ(window.system.sets[i].width, 96);
  }
  EXPECT_TRUE(window.manager->enlarged());

  // Nothing comes back while the clock shows no time passing, however long the timer runs.
  PumpFor(300);
  EXPECT_TRUE(window.manager->enlarged());
  // The 100 ms timer puts the cursors back once the shaking has stopped for more than 200 ms.
  window.clock_ms += 201;
  for (int waited = 0; waited < 5000 && window.manager->enlarged(); waited += 50) PumpFor(50);
  EXPECT_FALSE(window.manager->enlarged());
  ASSERT_EQ(window.system.sets.size(), 26u);
  for (size_t i = 13; i < 26; ++i) EXPECT_EQ(window.system.sets[i].width, 32);

  // One burst, one event, although every direction change after the first decision decided again.
  LoopbackServer::WaitForEvents(1);
  PumpFor(300);
  EXPECT_EQ(LoopbackServer::CountEvents("mouse_shaked"), 1)
      << LoopbackServer::EventsJson() << LoopbackServer::RequestsJson();

  // The next burst, after the first has left the detection window, is reported again.
  window.clock_ms += 2 * ShakeDetector::kWindowMs;
  for (int run = 0; run < 10; ++run) window.Run(run % 2 == 0 ? 1 : -1, 0, 100);
  EXPECT_EQ(window.system.sets.size(), 39u);
  LoopbackServer::WaitForEvents(2);
  EXPECT_EQ(LoopbackServer::CountEvents("mouse_shaked"), 2);
}

TEST(RawInputShake, SteadyMovementEnlargesNothing) {
  ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
  RawInputWindow window;
  ASSERT_TRUE(window.ready());
  window.Run(1, 0, 3000);
  window.Run(0, 1, 1500);
  window.Run(-1, -1, 1000);
  PumpFor(300);
  EXPECT_EQ(window.mouse_moves, 1100);
  EXPECT_EQ(window.detector.samples().size(), 3u);
  EXPECT_TRUE(window.system.sets.empty());
  PumpFor(500);
  EXPECT_EQ(LoopbackServer::CountEvents("mouse_shaked"), 0);
}

}  // namespace
