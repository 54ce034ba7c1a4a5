// The main window made as start-up makes it, on a real hidden window built from the embedded skin,
// with the tray calls and the system cursor calls recorded and the wall clock in the test's hand.
// Statistics events go to the loopback collection server, which deciphers them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/balloon_texts.h"
#include "app/cursor_manager.h"
#include "app/dpi_snap.h"
#include "app/main_wnd.h"
#include "app/pop_menu.h"
#include "app/setting_wnd.h"
#include "common/collector.h"
#include "common/config.h"
#include "common/singleton.h"
#include "tests/app/recording_cursors.h"
#include "tests/support/embedded_skin_package.h"
#include "tests/support/log_capture.h"
#include "tests/support/loopback_client.h"
#include "tests/support/ui_input.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::LogCapture;
using testing_support::LoopbackServer;
using testing_support::PumpFor;

constexpr int64_t kTicksPerHour = 36000000000LL;

class Environment : public testing::Environment {
 public:
  void SetUp() override {
    Singleton<common::Collector>::GetInstance()->Init(LoopbackServer::Url("/collection"), "lumavex", "main");
    testing_support::UseEmbeddedSkinPackage();
  }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

// The tray as the shell sees it: every record sent, in order.
class RecordingTray final : public TrayShell {
 public:
  struct Call {
    DWORD message;
    NOTIFYICONDATAW record;
  };
  bool NotifyIcon(DWORD message, const NOTIFYICONDATAW& record) override {
    calls.push_back({message, record});
    if (message == NIM_ADD && failing_adds > 0) {
      --failing_adds;
      return false;
    }
    return true;
  }
  int Adds() const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [](const Call& c) { return c.message == NIM_ADD; }));
  }
  std::vector<Call> calls;
  int failing_adds = 0;  // the shell is not ready for this many adds
};

// The system cursors of RecordingCursors, with the order of the calls that matter here and a scheme
// reload that, like the system's, sends WM_SETTINGCHANGE back to the window that asked for it. A
// handler that answered its own broadcast would come back here again: the depth limit keeps such a
// fault from overflowing the stack and lets the test count the rounds.
class BroadcastingCursors final : public SystemCursors {
 public:
  HCURSOR Copy(HCURSOR cursor) override {
    calls.push_back("copy");
    return recorded.Copy(cursor);
  }
  void Destroy(HCURSOR cursor) override { recorded.Destroy(cursor); }
  bool Set(HCURSOR cursor, DWORD id) override { return recorded.Set(cursor, id); }
  bool ReloadScheme(bool send_change) override {
    calls.push_back(send_change ? "reload+broadcast" : "reload");
    const bool result = recorded.ReloadScheme(send_change);
    if (send_change && window != nullptr && depth < kDepthLimit) {
      ++depth;
      SendMessageW(window, WM_SETTINGCHANGE, SPI_SETCURSORS, 0);
      --depth;
    }
    return result;
  }
  int ArrowSize() override {
    ++arrow_size_reads;
    return recorded.ArrowSize();
  }

  int Reloads(bool send_change) const {
    return static_cast<int>(std::count(recorded.reloads.begin(), recorded.reloads.end(), send_change));
  }

  static constexpr int kDepthLimit = 8;
  RecordingCursors recorded;
  std::vector<std::string> calls;
  HWND window = nullptr;
  int depth = 0;
  int arrow_size_reads = 0;  // 13 per cursor manager made
};

bool TakeQuitMessage(WPARAM* exit_code) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
  *exit_code = msg.wParam;
  return true;
}

class MainWndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing_support::EmbeddedSkinPackage().empty()) << "resource ZIPRES 137 is missing";
    Config& config = Config::GetInstance();
    config.enable_shake = true;
    config.game_mode = false;
    config.scale_factor = 3;
  }
  void TearDown() override {
    window_.reset();
    WPARAM ignored;
    TakeQuitMessage(&ignored);
  }

  // Makes the window exactly as start-up does.
  HWND Make(int start_mode = MainWnd::kStartNothing) {
    window_ = std::make_unique<MainWnd>(tray_, cursors_, [this] { return now_; });
    window_->set_start_mode(start_mode);
    hwnd_ = window_->Create(nullptr, L"", 0, WS_EX_TOOLWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT);
    cursors_.window = hwnd_;
    return hwnd_;
  }

  // The record of a tray add as every add must send it.
  void ExpectAddRecord(const RecordingTray::Call& call) {
    EXPECT_EQ(call.message, static_cast<DWORD>(NIM_ADD));
    const NOTIFYICONDATAW& r = call.record;
    EXPECT_EQ(r.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(r.hWnd, hwnd_);
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(r.uCallbackMessage, 0x8001u);
    EXPECT_NE(r.hIcon, nullptr);
    EXPECT_EQ(r.hIcon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(130)));
    EXPECT_STREQ(r.szTip, L"Lumavex (Lumavex)");
  }

  void ExpectDeleteRecord(const RecordingTray::Call& call) {
    EXPECT_EQ(call.message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(call.record.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(call.record.hWnd, hwnd_);
    EXPECT_EQ(call.record.uID, 1u);
    EXPECT_EQ(call.record.uFlags, 0u);
  }

  RecordingTray tray_;
  BroadcastingCursors cursors_;
  int64_t now_ = 133000000000000000LL;
  std::unique_ptr<MainWnd> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(MainWndTest, StartUpRestoresCursorsFirstThenAddsTheTrayIconAndTheHiddenMenu) {
  LogCapture log;
  ASSERT_NE(Make(), nullptr);

  wchar_t class_name[64] = {};
  GetClassNameW(hwnd_, class_name, 64);
  EXPECT_STREQ(class_name, L"LumavexMainWnd");
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_NE(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

  // The scheme is reloaded before the manager copies the arrow, so a crashed run's enlarged arrow is
  // never taken for the user's.
  ASSERT_FALSE(cursors_.calls.empty());
  EXPECT_EQ(cursors_.calls.front(), "reload+broadcast");
  EXPECT_EQ(cursors_.Reloads(true), 1);
  ASSERT_NE(window_->cursor_manager(), nullptr);
  EXPECT_FALSE(window_->cursor_manager()->enlarged());
  EXPECT_EQ(window_->cursor_manager()->entries().size(), CursorManager::kCursorCount);

  EXPECT_EQ(window_->taskbar_created_message(), RegisterWindowMessageW(L"TaskbarCreated"));
  EXPECT_EQ(window_->quit_message(), RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG"));

  ASSERT_EQ(tray_.calls.size(), 1u);
  ExpectAddRecord(tray_.calls[0]);

  PopMenu* menu = window_->pop_menu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(menu->GetHWND(), nullptr);
  GetClassNameW(menu->GetHWND(), class_name, 64);
  EXPECT_STREQ(class_name, L"LUMAVEX_POP_MENU");
  EXPECT_EQ(GetWindow(menu->GetHWND(), GW_OWNER), hwnd_);
  EXPECT_FALSE(IsWindowVisible(menu->GetHWND()));
  const LONG_PTR ex_style = GetWindowLongPtrW(menu->GetHWND(), GWL_EXSTYLE);
  EXPECT_EQ(ex_style & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(menu->GetPaintManager().GetDpiScaler()->GetDPI(), SnapDpi(Vellum::GetMainMonitorDpi()));

  EXPECT_EQ(window_->setting_wnd(), nullptr) << "start mode 0 opens nothing";
  const auto messages = log.Messages('I');
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "StartMidnightTask"), 1);
}

TEST_F(MainWndTest, BalloonStartModeModifiesTheKeptRecordWithThisSystemsTexts) {
  ASSERT_NE(Make(MainWnd::kStartShowBalloon), nullptr);
  ASSERT_EQ(tray_.calls.size(), 2u);
  ExpectAddRecord(tray_.calls[0]);
  const RecordingTray::Call& balloon = tray_.calls[1];
  EXPECT_EQ(balloon.message, static_cast<DWORD>(NIM_MODIFY));
  const NOTIFYICONDATAW& r = balloon.record;
  EXPECT_EQ(r.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(r.hWnd, hwnd_);
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_INFO));
  EXPECT_EQ(r.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
  EXPECT_EQ(r.uTimeout, 10000u);
  // What the add set stays in the one record.
  EXPECT_EQ(r.uCallbackMessage, 0x8001u);
  EXPECT_EQ(r.hIcon, tray_.calls[0].record.hIcon);
  EXPECT_STREQ(r.szTip, L"Lumavex (Lumavex)");

  DWORD major = 0;
  DWORD minor = 0;
  const bool known = ReadNtVersionNumbers(&major, &minor);
  const BalloonTexts& expected = SelectBalloonTexts(known, major, minor);
  EXPECT_STREQ(r.szInfoTitle, expected.title);
  EXPECT_STREQ(r.szInfo, expected.text);
}

// What each program message does: its result, whether it is left to default processing, the event it
// sends and the tray call it makes.
TEST_F(MainWndTest, CustomMessagesAreDispatchedWithTheirEventsAndTrayCalls) {
  ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
  ASSERT_NE(Make(), nullptr);
  const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");

  enum class Tray { kNone, kAdd, kDelete };
  struct Case {
    const char* name;
    UINT message;
    LPARAM lparam;
    BOOL handled;
    LRESULT result;
    const char* event;  // null: none
    Tray tray;
    bool quits;
    bool shows_menu;
    bool shows_settings;
  };
  const Case kCases[] = {
      {"tray right button up", 0x8001, WM_RBUTTONUP, TRUE, 1, "open_tray_menu", Tray::kNone, false, true, false},
      {"tray left button up", 0x8001, WM_LBUTTONUP, TRUE, 1, "open_tray_settings", Tray::kNone, false, false,
       true},
      {"balloon clicked", 0x8001, NIN_BALLOONUSERCLICK, TRUE, 1, "click_balloon_settings", Tray::kNone, false,
       false, true},
      // Pressing is not what counts; everything else under 0x8001 is the framework's deferred work.
      {"tray right button down", 0x8001, WM_RBUTTONDOWN, FALSE, 0, nullptr, Tray::kNone, false, false, false},
      {"tray left button down", 0x8001, WM_LBUTTONDOWN, FALSE, 0, nullptr, Tray::kNone, false, false, false},
      {"tray mouse move", 0x8001, WM_MOUSEMOVE, FALSE, 0, nullptr, Tray::kNone, false, false, false},
      {"framework deferred work", 0x8001, 0, FALSE, 0, nullptr, Tray::kNone, false, false, false},
      {"menu: settings", 0x8002, 0, TRUE, 1, "click_menu_settings", Tray::kNone, false, false, true},
      {"menu: quit", 0x8003, 0, TRUE, 1, "click_menu_exit", Tray::kDelete, true, false, false},
      {"quit broadcast", quit, 0, TRUE, 1, nullptr, Tray::kDelete, true, false, false},
      {"taskbar re-created", taskbar_created, 0, TRUE, 1, nullptr, Tray::kAdd, false, false, false},
      {"setting change", WM_SETTINGCHANGE, 0, FALSE, 0, nullptr, Tray::kNone, false, false, false},
      // Handled by passing it to default processing at once, which releases the report.
      {"raw input", WM_INPUT, 0, TRUE, 0, nullptr, Tray::kNone, false, false, false},
      {"another message", WM_USER + 77, 0, FALSE, 0, nullptr, Tray::kNone, false, false, false},
  };

  std::map<std::string, int> expected_events;
  SettingWnd* settings = nullptr;
  LogCapture log;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const size_t tray_calls = tray_.calls.size();
    const int reloads = cursors_.Reloads(true);
    BOOL handled = TRUE;
    const LRESULT result = window_->HandleCustomMessage(c.message, 0, c.lparam, handled);
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(result, c.result);
    if (c.event != nullptr) ++expected_events[c.event];
    if (c.shows_settings) {
      // Every request shows the one settings window, which reports each showing.
      ++expected_events["dialog_settings_show"];
      ASSERT_NE(window_->setting_wnd(), nullptr);
      if (settings == nullptr) settings = window_->setting_wnd();
      EXPECT_EQ(window_->setting_wnd(), settings) << "reused, not made again";
      EXPECT_TRUE(IsWindowVisible(settings->GetHWND()));
    } else {
      EXPECT_EQ(window_->setting_wnd(), settings);
    }

    switch (c.tray) {
      case Tray::kNone:
        EXPECT_EQ(tray_.calls.size(), tray_calls);
        break;
      case Tray::kAdd:
        ASSERT_EQ(tray_.calls.size(), tray_calls + 1);
        ExpectAddRecord(tray_.calls.back());
        break;
      case Tray::kDelete:
        ASSERT_EQ(tray_.calls.size(), tray_calls + 1);
        ExpectDeleteRecord(tray_.calls.back());
        break;
    }
    WPARAM exit_code = 99;
    EXPECT_EQ(TakeQuitMessage(&exit_code), c.quits);
    if (c.quits) {
      EXPECT_EQ(exit_code, 0u);
      EXPECT_EQ(cursors_.Reloads(true), reloads + 1) << "the user's cursors come back before quitting";
    }
    PopMenu* menu = window_->pop_menu();
    if (c.shows_menu) {
      EXPECT_TRUE(IsWindowVisible(menu->GetHWND()));
      menu->ShowWindow(false);
    } else {
      EXPECT_FALSE(IsWindowVisible(menu->GetHWND()));
    }
  }
  const auto messages = log.Messages('I');
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "receive quit broadcast msg"), 1);

  // Every event once, asynchronously, and nothing else.
  int total = 0;
  for (const auto& entry : expected_events) total += entry.second;
  LoopbackServer::WaitForEvents(total);
  PumpFor(300);
  EXPECT_EQ(LoopbackServer::EventCounts(), expected_events) << LoopbackServer::EventsJson();
}

TEST_F(MainWndTest, OpenSettingsStartModeShowsTheSettingsWindow) {
  ASSERT_NE(Make(MainWnd::kStartOpenSettings), nullptr);
  ASSERT_NE(window_->setting_wnd(), nullptr);
  HWND settings = window_->setting_wnd()->GetHWND();
  EXPECT_TRUE(IsWindowVisible(settings));
  EXPECT_EQ(FindWindowW(kSettingWndClassName, nullptr), settings);
  EXPECT_EQ(tray_.calls.size(), 1u) << "no balloon";
}

// However the settings window ends, the main window forgets it: the next request makes a new one
// rather than touching the freed object. Only hiding keeps it.
TEST_F(MainWndTest, ADestroyedSettingsWindowIsReplacedByANewOneOnTheNextRequest) {
  ASSERT_NE(Make(), nullptr);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wparam;
    bool destroys;
  };
  const Case kCases[] = {
      {"Escape hides", WM_KEYDOWN, VK_ESCAPE, false},
      {"system close hides", WM_SYSCOMMAND, SC_CLOSE, false},
      {"WM_CLOSE from outside destroys", WM_CLOSE, 0, true},
      {"destroyed", 0, 0, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SendMessageW(hwnd_, 0x8001, 0, WM_LBUTTONUP);
    SettingWnd* before = window_->setting_wnd();
    ASSERT_NE(before, nullptr);
    HWND settings = before->GetHWND();
    ASSERT_TRUE(IsWindowVisible(settings));
    if (c.message != 0) {
      SendMessageW(settings, c.message, c.wparam, 0);
    } else {
      DestroyWindow(settings);
    }
    PumpFor(50);
    EXPECT_EQ(IsWindow(settings) == FALSE, c.destroys);
    if (c.destroys) {
      EXPECT_EQ(window_->setting_wnd(), nullptr);
    } else {
      EXPECT_EQ(window_->setting_wnd(), before);
      EXPECT_FALSE(IsWindowVisible(settings));
    }

    SendMessageW(hwnd_, 0x8001, 0, WM_LBUTTONUP);
    ASSERT_NE(window_->setting_wnd(), nullptr);
    HWND again = window_->setting_wnd()->GetHWND();
    EXPECT_TRUE(IsWindowVisible(again));
    EXPECT_EQ(again == settings, !c.destroys);
    EXPECT_EQ(FindWindowW(kSettingWndClassName, nullptr), again);
  }
}

TEST_F(MainWndTest, CloseOnlyRemovesTheTrayIconAndKeysAreSwallowed) {
  ASSERT_NE(Make(), nullptr);
  EXPECT_EQ(SendMessageW(hwnd_, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_EQ(SendMessageW(hwnd_, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(hwnd_));
  ASSERT_EQ(tray_.calls.size(), 2u);
  ExpectDeleteRecord(tray_.calls[1]);
  WPARAM exit_code;
  EXPECT_FALSE(TakeQuitMessage(&exit_code));
}

// At logon the shell may not take the icon yet: without it the program could neither be reached nor
// quit.
TEST_F(MainWndTest, AFailedTrayAddIsTriedAgainUntilTheShellTakesIt) {
  tray_.failing_adds = 2;
  LogCapture log;
  ASSERT_NE(Make(), nullptr);
  EXPECT_EQ(tray_.Adds(), 1);
  // The first retry on the real timer; the rest are driven by hand.
  EXPECT_TRUE(testing_support::WaitUntil([this] { return tray_.Adds() == 2; }, kTrayRetryMs * 3));
  SendMessageW(hwnd_, WM_TIMER, kTrayRetryTimerId, 0);
  EXPECT_EQ(tray_.Adds(), 3);
  for (const auto& call : tray_.calls) ExpectAddRecord(call);
  SendMessageW(hwnd_, WM_TIMER, kTrayRetryTimerId, 0);
  EXPECT_EQ(tray_.Adds(), 3) << "nothing is pending once the icon is in";
  EXPECT_FALSE(KillTimer(hwnd_, kTrayRetryTimerId)) << "the retry timer was stopped";
  EXPECT_EQ(log.Messages('W'), std::vector<std::string>{"Shell_NotifyIcon NIM_ADD failed, trying again"});
  EXPECT_TRUE(log.Messages('E').empty());
}

TEST_F(MainWndTest, TrayAddRetriesAreBoundedAndStartAgainWhenTheTaskbarIsCreated) {
  tray_.failing_adds = 1000;
  LogCapture log;
  ASSERT_NE(Make(), nullptr);
  for (int i = 0; i < kTrayRetries + 5; ++i) SendMessageW(hwnd_, WM_TIMER, kTrayRetryTimerId, 0);
  EXPECT_EQ(tray_.Adds(), 1 + kTrayRetries);
  EXPECT_FALSE(KillTimer(hwnd_, kTrayRetryTimerId)) << "the retry timer was stopped";
  const std::string gave_up = "Shell_NotifyIcon NIM_ADD failed " + std::to_string(kTrayRetries + 1) +
                              " times, waiting for TaskbarCreated";
  EXPECT_EQ(log.Messages('E'), std::vector<std::string>{gave_up});

  tray_.failing_adds = 1;
  EXPECT_EQ(SendMessageW(hwnd_, window_->taskbar_created_message(), 0, 0), 1);
  EXPECT_EQ(tray_.Adds(), 2 + kTrayRetries);
  SendMessageW(hwnd_, WM_TIMER, kTrayRetryTimerId, 0);
  EXPECT_EQ(tray_.Adds(), 3 + kTrayRetries) << "a new taskbar gives the add a new set of tries";

  // Quitting removes the icon; a retry still pending must not bring it back.
  tray_.failing_adds = 1;
  EXPECT_EQ(SendMessageW(hwnd_, window_->taskbar_created_message(), 0, 0), 1);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  SendMessageW(hwnd_, WM_TIMER, kTrayRetryTimerId, 0);
  EXPECT_EQ(tray_.Adds(), 4 + kTrayRetries);
  EXPECT_EQ(tray_.calls.back().message, static_cast<DWORD>(NIM_DELETE));
}

// Reloading the scheme broadcasts WM_SETTINGCHANGE, which comes straight back to the window: it must
// not answer its own broadcast, or the rounds never end.
TEST_F(MainWndTest, SettingChangeWhileEnlargedReloadsTheSchemeOnceAndRebuildsTheManagerOnce) {
  ASSERT_NE(Make(), nullptr);
  ASSERT_NE(window_->cursor_manager(), nullptr);
  window_->cursor_manager()->Enlarge();
  ASSERT_TRUE(window_->cursor_manager()->enlarged());
  cursors_.recorded.reload_result = true;
  const int reloads = cursors_.Reloads(true);
  const int arrow_reads = cursors_.arrow_size_reads;

  EXPECT_EQ(SendMessageW(hwnd_, WM_SETTINGCHANGE, SPI_SETCURSORS, 0), 0);
  EXPECT_EQ(cursors_.Reloads(true), reloads + 1);
  EXPECT_EQ(cursors_.arrow_size_reads - arrow_reads, static_cast<int>(CursorManager::kCursorCount))
      << "one new cursor manager";
  ASSERT_NE(window_->cursor_manager(), nullptr);
  EXPECT_FALSE(window_->cursor_manager()->enlarged());
}

TEST_F(MainWndTest, SettingChangeWithNormalCursorsRebuildsTheManagerWithoutReloading) {
  ASSERT_NE(Make(), nullptr);
  const int reloads = cursors_.Reloads(true);
  const int arrow_reads = cursors_.arrow_size_reads;
  EXPECT_EQ(SendMessageW(hwnd_, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0), 0);
  EXPECT_EQ(cursors_.Reloads(true), reloads);
  EXPECT_EQ(cursors_.arrow_size_reads - arrow_reads, static_cast<int>(CursorManager::kCursorCount));
}

// Enlarged cursors must never outlive the program: every way out puts the user's scheme back.
TEST_F(MainWndTest, EveryWayOutRestoresTheCursors) {
  const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  struct Case {
    const char* name;
    UINT message;  // 0: the window is destroyed
  };
  const Case kCases[] = {{"menu quit", 0x8003}, {"quit broadcast", quit}, {"window destroyed", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(Make(), nullptr);
    window_->cursor_manager()->Enlarge();
    const int reloads = cursors_.Reloads(true);
    const size_t sets = cursors_.recorded.sets.size();
    if (c.message != 0) {
      SendMessageW(hwnd_, c.message, 0, 0);
      EXPECT_FALSE(window_->cursor_manager()->enlarged());
    } else {
      DestroyWindow(hwnd_);
      EXPECT_EQ(window_->cursor_manager(), nullptr);
    }
    EXPECT_EQ(cursors_.Reloads(true), reloads + 1);
    // Wine's reload fails; the standard arrow then goes back on every id.
    EXPECT_EQ(cursors_.recorded.sets.size(), sets + CursorManager::kCursorCount);
    window_.reset();
    WPARAM ignored;
    TakeQuitMessage(&ignored);
  }
}

TEST_F(MainWndTest, RestoreTimerPutsTheCursorsBackOnceIdle) {
  ASSERT_NE(Make(), nullptr);
  window_->cursor_manager()->Enlarge();
  EXPECT_EQ(SendMessageW(hwnd_, WM_TIMER, kRestoreTimerId, 0), 1);
  EXPECT_TRUE(window_->cursor_manager()->enlarged()) << "within the restore delay";
  Sleep(250);
  EXPECT_EQ(SendMessageW(hwnd_, WM_TIMER, kRestoreTimerId, 0), 1);
  EXPECT_FALSE(window_->cursor_manager()->enlarged());
}

// Whole days since start-up, from the injected clock, in the daily "alive" event.
TEST_F(MainWndTest, MidnightTimerReportsAliveWithWholeOnlineDays) {
  ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
  ASSERT_NE(Make(), nullptr);
  const int64_t start = now_;
  struct Case {
    int64_t since_start;  // 100 ns ticks
    int64_t days;
  };
  const Case kCases[] = {
      {0, 0},
      {24 * kTicksPerHour - 1, 0},
      {24 * kTicksPerHour, 1},
      {48 * kTicksPerHour - 1, 1},
      {400 * 24 * kTicksPerHour + 5 * kTicksPerHour, 400},
  };
  LogCapture log;
  for (const Case& c : kCases) {
    now_ = start + c.since_start;
    EXPECT_EQ(SendMessageW(hwnd_, WM_TIMER, kMidnightTimerId, 0), 1);
    EXPECT_EQ(window_->online_days(), c.days) << c.since_start;
  }
  const auto messages = log.Messages('I');
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "StartMidnightTask"), 5) << "re-armed each time";

  const size_t count = sizeof(kCases) / sizeof(kCases[0]);
  const auto events = nlohmann::json::parse(LoopbackServer::WaitForEvents(count));
  std::vector<std::string> days;
  for (const auto& record : events) {
    if (!record.value("ok", false) || record["event"].value("et", "") != "alive") continue;
    EXPECT_EQ(record["event"].value("en", ""), "event");
    // The wire format turns the texts "true" and "false" into JSON literals.
    EXPECT_EQ(record["event"]["first_hit"], false);
    days.push_back(record["event"].value("online_days", ""));
  }
  std::sort(days.begin(), days.end());
  EXPECT_EQ(days, (std::vector<std::string>{"0", "0", "1", "1", "400"})) << LoopbackServer::EventsJson();
}

// Raw input needs a thread that owns the foreground and moves the real cursor, and the full-screen
// test looks at what lies under it: this part runs alone (see the test list).
class MainWndInputTest : public MainWndTest {
 protected:
  static void SetUpTestSuite() {
    for (const wchar_t* name : {L"LumavexGameProbe", L"Progman"}) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      wc.lpszClassName = name;
      RegisterClassW(&wc);
    }
  }

  void SetUp() override {
    MainWndTest::SetUp();
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    monitor_ = info.rcMonitor;
    centre_ = {(monitor_.left + monitor_.right) / 2, (monitor_.top + monitor_.bottom) / 2};
  }

  void TearDown() override {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    windows_.clear();
    if (front_ != nullptr) DestroyWindow(front_);
    MainWndTest::TearDown();
  }

  // A topmost window of the test under the pointer. Raw input reaches no program while no thread owns
  // the foreground, and a captioned window may not be given it: a small window of the test in a corner
  // holds it instead. A static control would not do as a game: it is transparent to hit tests.
  HWND Window(const wchar_t* class_name, DWORD style, RECT at, HWND parent = nullptr) {
    const HWND window = CreateWindowExW(0, class_name, L"probe", style, at.left, at.top, at.right - at.left,
                                        at.bottom - at.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    windows_.push_back(window);
    if (parent == nullptr) {
      ShowWindow(window, (style & WS_MAXIMIZE) != 0 ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (front_ == nullptr) {
      front_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, monitor_.left,
                               monitor_.top, 8, 8, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    SetForegroundWindow(front_);
    SetCursorPos(centre_.x, centre_.y);
    PumpFor(200);
    return window;
  }

  // Moves back and forth by small steps (Wine accelerates larger ones), so every report starts a new
  // run in the detector and the cursor stays where it is.
  void Wiggle(int reports) {
    for (int i = 0; i < reports; ++i) testing_support::MoveMouse({{i % 2 == 0 ? 5 : -5, 0}});
    PumpFor(200);
  }

  // Ten runs of 100 units back and forth: a long path in a small area, a shake at the ninth run.
  void Shake() {
    std::vector<POINT> deltas;
    for (int run = 0; run < 10; ++run) {
      for (int step = 0; step < 20; ++step) deltas.push_back({run % 2 == 0 ? 5 : -5, 0});
    }
    testing_support::MoveMouse(deltas);
    PumpFor(200);
  }

  RECT monitor_ = {};
  POINT centre_ = {};
  std::vector<HWND> windows_;
  HWND front_ = nullptr;
};

TEST_F(MainWndInputTest, RawInputReachesTheDetectorOnlyWhileShakingIsOnAndTurningItOffIsLoggedOnceAsItBegins) {
  ASSERT_NE(Make(), nullptr);
  ASSERT_NE(Window(L"LumavexGameProbe", WS_POPUP, {0, 0, 200, 200}), nullptr);
  const auto& samples = window_->shake_detector().samples();
  const size_t before = samples.size();
  LogCapture log;
  auto count = [&log](const char* line) {
    const auto messages = log.Messages('I');
    return std::count(messages.begin(), messages.end(), line);
  };
  Config& config = Config::GetInstance();

  config.enable_shake = false;
  Wiggle(6);
  EXPECT_EQ(samples.size(), before) << "shaking is off";
  EXPECT_EQ(count("is_enable_shake:0"), 1);

  config.enable_shake = true;
  Wiggle(6);
  // Each report turns the direction, so each starts a run of its own (the first may extend the last).
  EXPECT_GE(samples.size(), before + 5) << "every report reaches the detector";
  const size_t passed = samples.size();

  config.enable_shake = false;
  Wiggle(4);
  EXPECT_EQ(samples.size(), passed);
  EXPECT_EQ(count("is_enable_shake:0"), 2) << "a new spell of shaking off is logged again";
}

// What lies under the pointer at the moment of the shake decides, as the full-screen test answers
// for it: each case's windows are made, the mouse shaken, and the cursors looked at.
TEST_F(MainWndInputTest, InGameModeAShakeOverAFullScreenWindowLeavesTheCursorsAsTheyAre) {
  ASSERT_NE(Make(), nullptr);
  const LONG width = monitor_.right - monitor_.left;
  const LONG height = monitor_.bottom - monitor_.top;
  RECT client_as_monitor = monitor_;
  ASSERT_TRUE(AdjustWindowRectEx(&client_as_monitor, WS_OVERLAPPEDWINDOW, FALSE, 0));
  enum Extra { kNone, kChildUnderPointer };
  const struct Case {
    const char* what;
    const wchar_t* class_name;
    DWORD style;
    RECT at;
    Extra extra;
    bool game_mode;
    bool enlarged;
  } cases[] = {
      {"borderless, the monitor's size", L"LumavexGameProbe", WS_POPUP, monitor_, kNone, true, false},
      {"a control of a borderless monitor-size window", L"LumavexGameProbe", WS_POPUP, monitor_, kChildUnderPointer,
       true, false},
      {"game mode off, borderless monitor-size window", L"LumavexGameProbe", WS_POPUP, monitor_, kNone, false, true},
      {"captioned, client area as large as the monitor", L"LumavexGameProbe", WS_OVERLAPPEDWINDOW, client_as_monitor,
       kNone, true, true},
      {"borderless, smaller than the monitor", L"LumavexGameProbe", WS_POPUP,
       {monitor_.left, monitor_.top, monitor_.left + width * 3 / 4, monitor_.top + height * 3 / 4}, kNone, true,
       true},
      {"the desktop", L"Progman", WS_POPUP, monitor_, kNone, true, true},
  };
  Config& config = Config::GetInstance();
  LogCapture log;
  int vetoes = 0;
  bool vetoed_before = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    config.game_mode = c.game_mode;
    const HWND window = Window(c.class_name, c.style, c.at);
    ASSERT_NE(window, nullptr);
    if (c.extra == kChildUnderPointer) {
      const RECT child = {centre_.x - 50 - monitor_.left, centre_.y - 50 - monitor_.top,
                          centre_.x + 50 - monitor_.left, centre_.y + 50 - monitor_.top};
      ASSERT_NE(Window(L"STATIC", WS_CHILD | WS_VISIBLE | SS_NOTIFY, child, window), nullptr);
      ASSERT_NE(WindowFromPoint(centre_), window);
    } else {
      ASSERT_EQ(WindowFromPoint(centre_), window);
    }
    // Counted by the cursors handed to the system: the restore timer may already have put them back.
    const size_t sets = cursors_.recorded.sets.size();
    Shake();
    EXPECT_EQ(cursors_.recorded.sets.size() > sets, c.enlarged);
    // A shake found over a full-screen window says so once as the state begins.
    if (!c.enlarged && !vetoed_before) ++vetoes;
    vetoed_before = !c.enlarged;
    const auto messages = log.Messages('I');
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "is_full_screen:1"), vetoes);

    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    windows_.clear();
    // The restore timer puts enlarged cursors back once the delay has passed.
    PumpFor(400);
  }
}

}  // namespace
