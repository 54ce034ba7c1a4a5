// The settings window built from the embedded skin package: its size at each scale, its controls set
// from config.ini, the scale factor's limits, the switches writing config.ini, sending their events
// to the loopback collection server and managing the platform's logon task, hiding versus
// destroying, and the owner's callback on every way the window ends.

#include "app/setting_wnd.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "common/collector.h"
#include "common/base/com_ptr.h"
#include "common/config.h"
#include "common/logging.h"
#include "common/logon_task.h"
#include "common/singleton.h"
#include "tests/support/embedded_skin_package.h"
#include "tests/support/loopback_client.h"
#include "tests/support/test_support.h"
#include "tests/support/ui_input.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/base_controls/option.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::LoopbackServer;
using testing_support::PumpFor;
using Vellum::CControlUI;
using Vellum::COptionUI;
using Vellum::CPaintManagerUI;

constexpr UINT kIconId = 130;

std::wstring TaskFilePath() {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return std::wstring(system) + L"\\tasks\\" + kLogonTaskName;
}

// Once per program: COM for the task scheduler, the skin package, the statistics client aimed at
// the loopback server and a log file to read back.
class SettingWndEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    com_ = std::make_unique<ScopedComApartment>();
    testing_support::UseEmbeddedSkinPackage();
    Singleton<common::Collector>::GetInstance()->Init(LoopbackServer::Url("/collection"), "Lumavex",
                                                      "Lumavex");
    log_dir_ = std::make_unique<testing_support::TempDir>(L"lumavex-setting-log");
    log_path = log_dir_->File(L"lumavex.log");
    InitLogger(log_path, "lumavex_log");
    DeleteLogonTask();
  }
  void TearDown() override {
    DeleteLogonTask();
    ShutdownLogger();
    log_dir_.reset();
    com_.reset();
  }

  static std::wstring log_path;

 private:
  std::unique_ptr<ScopedComApartment> com_;
  std::unique_ptr<testing_support::TempDir> log_dir_;
};
std::wstring SettingWndEnvironment::log_path;
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new SettingWndEnvironment);

std::string LogText() {
  FlushLogger();
  return testing_support::ReadFileBytes(SettingWndEnvironment::log_path);
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Waits until `total` events have arrived, then a little longer so that an unexpected extra one
// would be counted too.
void SettleEvents(size_t total) {
  LoopbackServer::WaitForEvents(total, 5000);
  Sleep(150);
}

struct IniValues {
  int enable_shake;
  int auto_run;
  int game_mode;
  int scale_factor;
};

class SettingWndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing_support::EmbeddedSkinPackage().empty()) << "resource ZIPRES 137 is missing";
    ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
    config_dir_ = std::make_unique<testing_support::TempDir>(L"lumavex-setting");
    ini_path_ = config_dir_->File(L"config.ini");
    Config::GetInstance().Load(config_dir_->path());
  }

  void TearDown() override {
    if (window_ != nullptr) {
      DestroyWindow(window_->GetHWND());
      PumpFor(20);
    }
    DeleteLogonTask();
    config_dir_.reset();
  }

  void WriteIni(const IniValues& values) {
    auto put = [this](const wchar_t* key, int value) {
      WritePrivateProfileStringW(L"Setting", key, std::to_wstring(value).c_str(), ini_path_.c_str());
    };
    put(L"EnableShake", values.enable_shake);
    put(L"AutoRun", values.auto_run);
    put(L"GameModeEnable", values.game_mode);
    put(L"ScaleFactor", values.scale_factor);
    Config::GetInstance().Load(config_dir_->path());
  }

  int ReadIni(const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(L"Setting", key, -1, ini_path_.c_str()));
  }

  // Made as the main window makes it, and shown. Without a window manager, Wine takes about 2 s to
  // hide or destroy a shown window of this kind, so the cases that only need the controls leave it
  // hidden.
  void Open(int dpi = 96, HICON icon = nullptr, bool show = true) {
    window_ = SettingWnd::Make([this](SettingWnd* destroyed) { OnDestroyed(destroyed); }, dpi, icon);
    ASSERT_NE(window_, nullptr);
    hwnd_ = window_->GetHWND();
    if (show) window_->ShowWnd(true);
    PumpFor(50);
  }

  void OpenHidden() { Open(96, nullptr, false); }

  void OnDestroyed(SettingWnd* destroyed) {
    destroyed_.push_back(destroyed);
    // The object is still whole when its owner hears of the end; its window is gone already.
    EXPECT_EQ(destroyed->GetHWND(), nullptr);
    if (destroyed == window_) window_ = nullptr;
  }

  CControlUI* Find(const wchar_t* name) { return window_->GetPaintManager().FindControl(name); }
  COptionUI* Switch(const wchar_t* name) {
    return static_cast<COptionUI*>(Find(name)->GetInterface(L"Option"));
  }
  std::wstring Label() { return Find(L"scale_factor")->GetText().GetData(); }
  bool Enabled(const wchar_t* name) { return Find(name)->IsEnabled(); }
  void Notify(const wchar_t* name) { window_->GetPaintManager().SendNotify(Find(name), L"click"); }

  // A real left click in the middle of the control.
  void ClickAt(const wchar_t* name) {
    const RECT pos = Find(name)->GetPos();
    POINT point{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    ClientToScreen(hwnd_, &point);
    ASSERT_TRUE(testing_support::ClickAt(point));
    PumpFor(120);
  }

  std::unique_ptr<testing_support::TempDir> config_dir_;
  std::wstring ini_path_;
  SettingWnd* window_ = nullptr;
  HWND hwnd_ = nullptr;
  std::vector<SettingWnd*> destroyed_;
};

RECT WorkAreaOf(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

// ---- creation and size --------------------------------------------------------------------------

TEST_F(SettingWndTest, MadeAsTheMainWindowMakesItAtEachScale) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId));
  ASSERT_NE(icon, nullptr);
  struct Case {
    int dpi;
    SIZE size;
    RECT close_button;  // client coordinates
  } cases[] = {
      {96, {568, 344}, {496, 20, 544, 52}},
      {144, {852, 516}, {744, 30, 816, 78}},
      {192, {1136, 688}, {992, 40, 1088, 104}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    Open(c.dpi, icon);
    ASSERT_NE(window_, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    wchar_t class_name[64] = {};
    GetClassNameW(hwnd_, class_name, 64);
    EXPECT_STREQ(class_name, L"LumavexSettingWnd");
    EXPECT_STREQ(kSettingWndClassName, L"LumavexSettingWnd");
    wchar_t title[64] = {};
    GetWindowTextW(hwnd_, title, 64);
    EXPECT_STREQ(title, L"\u8BBE\u7F6E - Lumavex (Lumavex)");
    EXPECT_EQ(GetWindow(hwnd_, GW_OWNER), nullptr);
    EXPECT_NE(GetWindowLongW(hwnd_, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_NE(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd_, WM_GETICON, ICON_BIG, 0)), icon);

    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    EXPECT_EQ(rect.right - rect.left, c.size.cx);
    EXPECT_EQ(rect.bottom - rect.top, c.size.cy);
    const RECT work = WorkAreaOf(hwnd_);
    EXPECT_EQ(rect.left, (work.left + work.right) / 2 - c.size.cx / 2) << "centred";
    EXPECT_EQ(rect.top, (work.top + work.bottom) / 2 - c.size.cy / 2);
    const RECT close = Find(L"close_btn")->GetPos();
    EXPECT_EQ(close.left, c.close_button.left);
    EXPECT_EQ(close.top, c.close_button.top);
    EXPECT_EQ(close.right, c.close_button.right);
    EXPECT_EQ(close.bottom, c.close_button.bottom);

    DestroyWindow(hwnd_);
    PumpFor(20);
    EXPECT_EQ(window_, nullptr);
  }
  EXPECT_EQ(destroyed_.size(), 3u);
}

// ---- controls from the settings -----------------------------------------------------------------

TEST_F(SettingWndTest, ControlsShowTheLoadedSettings) {
  struct Case {
    IniValues ini;
    const wchar_t* label;
    bool minus_enabled;
    bool plus_enabled;
  } cases[] = {
      {{1, 0, 1, 3}, L"3", true, true},
      {{0, 1, 0, 5}, L"5", true, false},
      {{1, 1, 0, 2}, L"2", false, true},
      {{0, 0, 1, 4}, L"4", true, true},
      // Out of range in the file: the settings store's default.
      {{1, 0, 0, 9}, L"3", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ini.enable_shake << c.ini.auto_run << c.ini.game_mode
                                    << c.ini.scale_factor);
    WriteIni(c.ini);
    OpenHidden();
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(Label(), c.label);
    EXPECT_EQ(Enabled(L"minus_btn"), c.minus_enabled);
    EXPECT_EQ(Enabled(L"plus_btn"), c.plus_enabled);
    // The skin selects all three; the settings decide.
    EXPECT_EQ(Switch(L"enable_btn")->IsSelected(), c.ini.enable_shake != 0);
    EXPECT_EQ(Switch(L"autostart_btn")->IsSelected(), c.ini.auto_run != 0);
    EXPECT_EQ(Switch(L"gamemode_btn")->IsSelected(), c.ini.game_mode != 0);
    DestroyWindow(hwnd_);
    PumpFor(20);
  }
}

// ---- scale factor -------------------------------------------------------------------------------

TEST_F(SettingWndTest, MinusAndPlusStepWithinTwoToFive) {
  WriteIni({1, 0, 1, 3});
  OpenHidden();
  ASSERT_NE(window_, nullptr);
  struct Step {
    const wchar_t* button;
    int factor;
    bool minus_enabled;
    bool plus_enabled;
  } steps[] = {
      {L"plus_btn", 4, true, true},
      {L"plus_btn", 5, true, false},
      // A click that reaches the handler all the same (the button is disabled) changes nothing.
      {L"plus_btn", 5, true, false},
      {L"minus_btn", 4, true, true},
      {L"minus_btn", 3, true, true},
      {L"minus_btn", 2, false, true},
      {L"minus_btn", 2, false, true},
      {L"plus_btn", 3, true, true},
  };
  for (const Step& step : steps) {
    Notify(step.button);
    SCOPED_TRACE(testing::Message() << "after " << testing::PrintToString(std::wstring(step.button)));
    EXPECT_EQ(Label(), std::to_wstring(step.factor));
    EXPECT_EQ(Config::GetInstance().scale_factor, step.factor);
    EXPECT_EQ(ReadIni(L"ScaleFactor"), step.factor);
    EXPECT_EQ(Enabled(L"minus_btn"), step.minus_enabled);
    EXPECT_EQ(Enabled(L"plus_btn"), step.plus_enabled);
  }
  // Clicks on the label or the background do nothing.
  Notify(L"scale_factor");
  window_->GetPaintManager().SendNotify(window_->GetPaintManager().GetRoot(), L"click");
  EXPECT_EQ(Label(), L"3");
  EXPECT_EQ(ReadIni(L"ScaleFactor"), 3);
  EXPECT_TRUE(IsWindow(hwnd_));
}

// ---- switches -----------------------------------------------------------------------------------

TEST_F(SettingWndTest, SwitchesWriteTheirKeyAndSendTheirEvents) {
  struct Case {
    const wchar_t* name;
    const wchar_t* key;
    bool Config::*field;
    const char* on_event;
    const char* off_event;
  } cases[] = {
      {L"enable_btn", L"EnableShake", &Config::enable_shake, "shake_enabled", "shake_disabled"},
      {L"gamemode_btn", L"GameModeEnable", &Config::game_mode, "disableshake_gamemode_toggleon",
       "disableshake_gamemode_toggleoff"},
  };
  WriteIni({1, 0, 1, 3});
  OpenHidden();
  ASSERT_NE(window_, nullptr);
  size_t events = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    COptionUI* option = Switch(c.name);
    ASSERT_TRUE(option->IsSelected());
    // Through the control itself: its click reaches the window, then it toggles.
    option->Activate();
    EXPECT_FALSE(option->IsSelected());
    EXPECT_FALSE(Config::GetInstance().*c.field);
    EXPECT_EQ(ReadIni(c.key), 0);
    option->Activate();
    EXPECT_TRUE(option->IsSelected());
    EXPECT_TRUE(Config::GetInstance().*c.field);
    EXPECT_EQ(ReadIni(c.key), 1);
    events += 2;
  }
  SettleEvents(events);
  for (const Case& c : cases) {
    EXPECT_EQ(LoopbackServer::CountEvents(c.on_event), 1) << c.on_event;
    EXPECT_EQ(LoopbackServer::CountEvents(c.off_event), 1) << c.off_event;
  }
  EXPECT_EQ(nlohmann::json::parse(LoopbackServer::EventsJson()).size(), events)
      << LoopbackServer::EventsJson();
}

TEST_F(SettingWndTest, AutoStartSwitchCreatesAndDeletesTheLogonTaskWithoutAnEvent) {
  WriteIni({1, 0, 1, 3});
  ASSERT_FALSE(LogonTaskExists());
  OpenHidden();
  ASSERT_NE(window_, nullptr);
  COptionUI* option = Switch(L"autostart_btn");
  ASSERT_FALSE(option->IsSelected());

  option->Activate();
  EXPECT_TRUE(option->IsSelected());
  EXPECT_TRUE(Config::GetInstance().auto_run);
  EXPECT_EQ(ReadIni(L"AutoRun"), 1);
  EXPECT_TRUE(LogonTaskExists());

  option->Activate();
  EXPECT_FALSE(option->IsSelected());
  EXPECT_FALSE(Config::GetInstance().auto_run);
  EXPECT_EQ(ReadIni(L"AutoRun"), 0);
  EXPECT_FALSE(LogonTaskExists());

  // Off while the task is already gone is no failure.
  option->Selected(true, false);
  option->Activate();
  EXPECT_FALSE(LogonTaskExists());
  EXPECT_EQ(Occurrences(LogText(), "DeleteLogonTask failed"), 0);

  LoopbackServer::WaitForEvents(1, 1000);
  EXPECT_TRUE(nlohmann::json::parse(LoopbackServer::EventsJson()).empty()) << LoopbackServer::EventsJson();
}

// A logon task that cannot be created or deleted leaves the switch and config.ini at the user's
// choice (the next start repairs a missing task) but is written to the log.
TEST_F(SettingWndTest, AFailedLogonTaskChangeIsLogged) {
  const std::wstring task_file = TaskFilePath();
  {
    // A folder where the task file belongs makes the platform refuse the registration.
    WriteIni({1, 0, 1, 3});
    OpenHidden();
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(CreateDirectoryW(task_file.c_str(), nullptr));
    const int before = Occurrences(LogText(), "[E] autostart on: CreateLogonTask failed");
    Switch(L"autostart_btn")->Activate();
    RemoveDirectoryW(task_file.c_str());
    EXPECT_EQ(ReadIni(L"AutoRun"), 1);
    EXPECT_FALSE(LogonTaskExists());
    EXPECT_EQ(Occurrences(LogText(), "[E] autostart on: CreateLogonTask failed"), before + 1) << LogText();
    DestroyWindow(hwnd_);
    PumpFor(20);
  }
  {
    // The task file held open without delete sharing makes the deletion fail.
    ASSERT_TRUE(CreateLogonTask(std::wstring()));
    WriteIni({1, 1, 1, 3});
    OpenHidden();
    ASSERT_NE(window_, nullptr);
    HANDLE held = CreateFileW(task_file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int before = Occurrences(LogText(), "[E] autostart off: DeleteLogonTask failed");
    Switch(L"autostart_btn")->Activate();
    const bool still_there = LogonTaskExists();
    CloseHandle(held);
    EXPECT_EQ(ReadIni(L"AutoRun"), 0);
    ASSERT_TRUE(still_there) << "the platform deleted a task file that was held open";
    EXPECT_EQ(Occurrences(LogText(), "[E] autostart off: DeleteLogonTask failed"), before + 1) << LogText();
  }
}

// ---- showing, hiding and destroying -------------------------------------------------------------

TEST_F(SettingWndTest, EnterEscapeAndSystemCloseOnlyHide) {
  Open();
  ASSERT_NE(window_, nullptr);
  struct Case {
    UINT message;
    WPARAM wparam;
    LRESULT result;
    bool hides;
  } cases[] = {
      {WM_KEYDOWN, VK_RETURN, 0, true},
      {WM_KEYDOWN, VK_ESCAPE, 0, true},
      {WM_SYSCOMMAND, SC_CLOSE, 1, true},
      {WM_SYSCOMMAND, SC_CLOSE | 0x2, 1, true},  // the low four bits are the system's own
      {WM_KEYDOWN, 'A', 0, false},
  };
  int shows = 1;
  int hides = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.message << " " << c.wparam);
    window_->ShowWnd(true);
    ++shows;
    EXPECT_EQ(SendMessageW(hwnd_, c.message, c.wparam, 0), c.result);
    PumpFor(20);
    ASSERT_NE(window_, nullptr);
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_EQ(IsWindowVisible(hwnd_) == FALSE, c.hides);
    if (c.hides) ++hides;
  }
  EXPECT_TRUE(destroyed_.empty());
  SettleEvents(static_cast<size_t>(shows + hides));
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_show"), shows);
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_close"), hides);
}

TEST_F(SettingWndTest, EveryShowSendsItsEventAndCentresAgain) {
  Open();
  ASSERT_NE(window_, nullptr);
  RECT centred{};
  GetWindowRect(hwnd_, &centred);
  SetWindowPos(hwnd_, nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  window_->ShowWnd(true);  // already visible
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  EXPECT_EQ(rect.left, centred.left);
  EXPECT_EQ(rect.top, centred.top);
  window_->ShowWnd(false);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  window_->ShowWnd(true);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  SettleEvents(4);
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_show"), 3);
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_close"), 1);
}

// Records its own deletion, to show the object goes right after its owner was told.
class ProbeSettingWnd : public SettingWnd {
 public:
  ProbeSettingWnd(DestroyedCallback callback, int* deletions)
      : SettingWnd(std::move(callback)), deletions_(deletions) {}
  ~ProbeSettingWnd() override { ++*deletions_; }

 private:
  int* deletions_;
};

TEST_F(SettingWndTest, EveryWayTheWindowEndsTellsTheOwnerOnceAndDeletesTheObject) {
  enum class End { kCloseFromOutside, kCloseButton, kDestroyWindow };
  struct Case {
    End end;
    int close_events;
  } cases[] = {{End::kCloseFromOutside, 0}, {End::kCloseButton, 1}, {End::kDestroyWindow, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.end));
    ASSERT_TRUE(LoopbackServer::Clear());
    int deletions = 0;
    std::vector<int> deletions_seen_by_owner;
    SettingWnd* probe = nullptr;
    auto* window = new ProbeSettingWnd(
        [&](SettingWnd* destroyed) {
          EXPECT_EQ(destroyed, probe);
          deletions_seen_by_owner.push_back(deletions);
        },
        &deletions);
    probe = window;
    HWND hwnd = window->Create(nullptr, L"probe", WS_POPUP, WS_EX_APPWINDOW);
    ASSERT_NE(hwnd, nullptr);
    // Shown only where the case needs it: hiding a shown window is slow without a window manager.
    if (c.end == End::kCloseButton) window->ShowWnd(true);
    PumpFor(30);
    switch (c.end) {
      case End::kCloseFromOutside:
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        break;
      case End::kCloseButton:
        window->GetPaintManager().SendNotify(window->GetPaintManager().FindControl(L"close_btn"), L"click");
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "hidden at once";
        break;
      case End::kDestroyWindow:
        DestroyWindow(hwnd);
        break;
    }
    PumpFor(50);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(deletions_seen_by_owner, std::vector<int>{0}) << "told once, before the deletion";
    EXPECT_EQ(deletions, 1);
    SettleEvents(static_cast<size_t>(2 * c.close_events));  // with the show event
    EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_close"), c.close_events);
  }
}

// ---- real input ---------------------------------------------------------------------------------

// The mouse on every button and switch and the Escape key, as a user would; then the close button
// ends the window and the next one is built afresh from the skin with the current settings.
TEST_F(SettingWndTest, RealClicksAndKeys) {
  WriteIni({1, 0, 1, 3});
  Open();
  ASSERT_NE(window_, nullptr);
  SetForegroundWindow(hwnd_);

  ClickAt(L"plus_btn");
  EXPECT_EQ(Label(), L"4");
  ClickAt(L"minus_btn");
  EXPECT_EQ(Label(), L"3");
  ClickAt(L"plus_btn");
  EXPECT_EQ(Label(), L"4");
  EXPECT_EQ(ReadIni(L"ScaleFactor"), 4);

  ClickAt(L"enable_btn");
  EXPECT_FALSE(Switch(L"enable_btn")->IsSelected());
  EXPECT_EQ(ReadIni(L"EnableShake"), 0);
  ClickAt(L"autostart_btn");
  EXPECT_TRUE(Switch(L"autostart_btn")->IsSelected());
  EXPECT_EQ(ReadIni(L"AutoRun"), 1);
  EXPECT_TRUE(LogonTaskExists());
  ClickAt(L"gamemode_btn");
  EXPECT_FALSE(Switch(L"gamemode_btn")->IsSelected());
  EXPECT_EQ(ReadIni(L"GameModeEnable"), 0);

  ASSERT_TRUE(testing_support::PressKey(VK_ESCAPE));
  PumpFor(150);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  ASSERT_NE(window_, nullptr);

  window_->ShowWnd(true);
  PumpFor(50);
  SettingWnd* first = window_;
  ClickAt(L"close_btn");
  PumpFor(100);
  EXPECT_EQ(window_, nullptr);
  EXPECT_EQ(destroyed_, std::vector<SettingWnd*>{first});
  EXPECT_FALSE(IsWindow(hwnd_));

  SettleEvents(6);
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_show"), 2);
  EXPECT_EQ(LoopbackServer::CountEvents("dialog_settings_close"), 2);
  EXPECT_EQ(LoopbackServer::CountEvents("shake_disabled"), 1);
  EXPECT_EQ(LoopbackServer::CountEvents("disableshake_gamemode_toggleoff"), 1);

  Open();
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(Label(), L"4");
  EXPECT_FALSE(Switch(L"enable_btn")->IsSelected());
  EXPECT_TRUE(Switch(L"autostart_btn")->IsSelected());
  EXPECT_FALSE(Switch(L"gamemode_btn")->IsSelected());
}

}  // namespace
