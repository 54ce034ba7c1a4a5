#include "app/fullscreen_check.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/log_capture.h"
#include "tests/support/ui_input.h"

namespace {

using testing_support::PumpFor;

constexpr RECT kMonitor = {0, 0, 1280, 1024};
constexpr RECT kSecondMonitor = {1280, 0, 3200, 1080};
constexpr DWORD kCaptioned = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

TEST(CoversMonitor, FramelessFillingTheMonitorOrExactlyOnIt) {
  struct Case {
    const char* name;
    RECT client;
    DWORD style;
    RECT window;
    RECT monitor;
    bool covers;
  } cases[] = {
      {"borderless, monitor size", {0, 0, 1280, 1024}, WS_POPUP, kMonitor, kMonitor, true},
      {"borderless on a second monitor", {0, 0, 1920, 1080}, WS_POPUP, kSecondMonitor, kSecondMonitor, true},
      {"maximised with caption and frame", {0, 0, 1280, 994}, kCaptioned | WS_MAXIMIZE, {-8, -8, 1288, 1032},
       kMonitor, false},
      {"client as large as the monitor, with caption", {0, 0, 1280, 1024}, kCaptioned, {-8, -31, 1288, 1032},
       kMonitor, false},
      {"client as large as the monitor, sizing frame only", {0, 0, 1280, 1024}, WS_POPUP | WS_THICKFRAME,
       {-4, -4, 1284, 1028}, kMonitor, false},
      {"captioned, window exactly on the monitor", {0, 0, 1264, 985}, kCaptioned, kMonitor, kMonitor, true},
      {"borderless, smaller", {0, 0, 800, 600}, WS_POPUP, {0, 0, 800, 600}, kMonitor, false},
      {"borderless, size of another monitor", {0, 0, 1920, 1080}, WS_POPUP, {0, 0, 1920, 1080}, kMonitor, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CoversMonitor(c.client, c.style, c.window, c.monitor), c.covers);
  }
}

TEST(IsDesktopClassName, ProgmanAndWorkerWInAnyCase) {
  for (const wchar_t* name : {L"Progman", L"progman", L"PROGMAN", L"WorkerW", L"workerw"}) {
    EXPECT_TRUE(IsDesktopClassName(name));
  }
  for (const wchar_t* name : {L"", L"Progman2", L"Worker", L"#32769", L"Shell_TrayWnd"}) {
    EXPECT_FALSE(IsDesktopClassName(name));
  }
}

// Lets a window grow past the screen's size plus its frame, as a captioned window with a client area
// the size of the monitor must.
LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETMINMAXINFO) {
    auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
    limits->ptMaxTrackSize = {10000, 10000};
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// Real windows under the X server. The cursor sits in the middle of the primary monitor, away from
// Wine's one-pixel taskbar at the bottom.
class UnderCursor : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const wchar_t* name : {L"LumavexFullScreenProbe", L"Progman", L"WorkerW"}) {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = ProbeProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      wc.lpszClassName = name;
      RegisterClassExW(&wc);
    }
  }

  void SetUp() override {
    foreground_ = GetForegroundWindow();
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    monitor_ = info.rcMonitor;
    centre_ = {(monitor_.left + monitor_.right) / 2, (monitor_.top + monitor_.bottom) / 2};
    // Early in a program's life, while Wine's shell is still coming up, the cursor may not move yet.
    bool placed = false;
    for (int attempt = 0; attempt < 50 && !placed; ++attempt) {
      placed = SetCursorPos(centre_.x, centre_.y) != FALSE;
      if (!placed) Sleep(100);
    }
    ASSERT_TRUE(placed);
  }

  void TearDown() override {
    RestoreForeground();
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    PumpFor(200);
  }

  // Destroying the active window would leave no foreground at all, and until something takes it
  // again raw input reaches no program of the session: before destroying, hand it back.
  void RestoreForeground() {
    if (foreground_ != nullptr && IsWindow(foreground_) && GetForegroundWindow() != foreground_) {
      SetForegroundWindow(foreground_);
    }
  }

  // A window of `class_name` over the whole monitor.
  HWND MonitorWindow(const wchar_t* class_name, DWORD style) {
    return Window(class_name, style, monitor_.left, monitor_.top, monitor_.right - monitor_.left,
                  monitor_.bottom - monitor_.top);
  }

  HWND Window(const wchar_t* class_name, DWORD style, int x, int y, int width, int height,
              HWND parent = nullptr) {
    const HWND window = CreateWindowExW(0, class_name, L"probe", style, x, y, width, height, parent, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) windows_.push_back(window);
    return window;
  }

  // Without activation where it can be: other tests of the run may own the foreground.
  void Show(HWND window, int how = SW_SHOWNOACTIVATE) {
    ShowWindow(window, how);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PumpFor(200);
  }

  static int DesktopLines(testing_support::LogCapture* log) {
    const auto lines = log->Messages('I');
    return static_cast<int>(std::count(lines.begin(), lines.end(), "Progman or WorkerW"));
  }

  HWND foreground_ = nullptr;
  RECT monitor_ = {};
  POINT centre_ = {};
  std::vector<HWND> windows_;
};

TEST_F(UnderCursor, BorderlessMonitorSizeWindowAndItsChild) {
  const HWND window = MonitorWindow(L"LumavexFullScreenProbe", WS_POPUP);
  ASSERT_NE(window, nullptr);
  Show(window);
  ASSERT_EQ(WindowFromPoint(centre_), window);
  EXPECT_TRUE(IsFullScreenUnderCursor());

  // A control of the full-screen window under the cursor: its top-level window is what is tested.
  const HWND child = Window(L"STATIC", WS_CHILD | WS_VISIBLE | SS_NOTIFY, centre_.x - 50 - monitor_.left,
                            centre_.y - 50 - monitor_.top, 100, 100, window);
  ASSERT_NE(child, nullptr);
  PumpFor(200);
  ASSERT_EQ(WindowFromPoint(centre_), child);
  EXPECT_TRUE(IsFullScreenUnderCursor());
}

// Without a window manager Wine maximises a window where it stands, so the window is first given the
// geometry Windows gives a maximised one: its sizing frame hanging over the monitor's edges and the
// caption inside. A captioned window whose client area alone is as large as the monitor is no
// full-screen window either.
TEST_F(UnderCursor, CaptionedWindowsAreNot) {
  const int frame_x = GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
  const int frame_y = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
  RECT maximised = monitor_;
  InflateRect(&maximised, frame_x, frame_y);
  const HWND window = Window(L"LumavexFullScreenProbe", WS_OVERLAPPEDWINDOW, maximised.left, maximised.top,
                             maximised.right - maximised.left, maximised.bottom - maximised.top);
  ASSERT_NE(window, nullptr);
  Show(window, SW_SHOWMAXIMIZED);
  ASSERT_TRUE(IsZoomed(window));
  RECT client = {};
  GetClientRect(window, &client);
  ASSERT_EQ(client.right, monitor_.right - monitor_.left);
  ASSERT_LT(client.bottom, monitor_.bottom - monitor_.top);
  ASSERT_EQ(WindowFromPoint(centre_), window);
  EXPECT_FALSE(IsFullScreenUnderCursor());
  RestoreForeground();
  DestroyWindow(window);
  windows_.clear();

  RECT client_as_monitor = monitor_;
  ASSERT_TRUE(AdjustWindowRectEx(&client_as_monitor, WS_OVERLAPPEDWINDOW, FALSE, 0));
  const HWND large = Window(L"LumavexFullScreenProbe", WS_OVERLAPPEDWINDOW, client_as_monitor.left,
                            client_as_monitor.top, client_as_monitor.right - client_as_monitor.left,
                            client_as_monitor.bottom - client_as_monitor.top);
  ASSERT_NE(large, nullptr);
  Show(large);
  GetClientRect(large, &client);
  ASSERT_EQ(client.right, monitor_.right - monitor_.left);
  ASSERT_EQ(client.bottom, monitor_.bottom - monitor_.top);
  ASSERT_EQ(WindowFromPoint(centre_), large);
  EXPECT_FALSE(IsFullScreenUnderCursor());
}

TEST_F(UnderCursor, DesktopIsNeverFullScreenAndSaysSoOnArrival) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  const HWND game = MonitorWindow(L"LumavexFullScreenProbe", WS_POPUP);
  const HWND progman = MonitorWindow(L"Progman", WS_POPUP);
  const HWND worker = MonitorWindow(L"WorkerW", WS_POPUP);
  ASSERT_TRUE(game != nullptr && progman != nullptr && worker != nullptr);

  Show(game);
  EXPECT_TRUE(IsFullScreenUnderCursor());
  EXPECT_EQ(DesktopLines(&log), 0);

  Show(progman);
  ASSERT_EQ(WindowFromPoint(centre_), progman);
  EXPECT_FALSE(IsFullScreenUnderCursor());
  EXPECT_EQ(DesktopLines(&log), 1);
  // Every mouse report asks again; the pointer staying on the desktop is not news.
  EXPECT_FALSE(IsFullScreenUnderCursor());
  EXPECT_FALSE(IsFullScreenUnderCursor());
  EXPECT_EQ(DesktopLines(&log), 1);

  ShowWindow(progman, SW_HIDE);
  Show(game);
  EXPECT_TRUE(IsFullScreenUnderCursor());
  Show(worker);
  ASSERT_EQ(WindowFromPoint(centre_), worker);
  EXPECT_FALSE(IsFullScreenUnderCursor());
  EXPECT_FALSE(IsFullScreenUnderCursor());
  EXPECT_EQ(DesktopLines(&log), 2);
}

TEST_F(UnderCursor, NothingUnderTheCursorIsNot) {
  // Only hidden windows of this process: the pointer is over the bare X screen.
  const HWND hidden = MonitorWindow(L"LumavexFullScreenProbe", WS_POPUP);
  ASSERT_NE(hidden, nullptr);
  PumpFor(200);
  EXPECT_FALSE(IsFullScreenUnderCursor());
}

}  // namespace
