// The tray program end to end: the loopback build of Lumavex.exe started from this process under
// Wine, reached as the shell reaches it (its tray callback posted to the main window), as an
// installer does (a second start, the quit broadcast) and as a user does (real clicks, keys and mouse
// movement through the input queue). Every statistics event it sends is deciphered by the loopback
// server; its settings file, log, windows, tray icon and single-instance mutex are read from outside.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/device_info.h"
#include "common/logon_task.h"
#include "common/registry.h"
#include "common/text.h"
#include "tests/app/lumavex_driver.h"
#include "tests/support/loopback_client.h"
#include "tests/support/registry_support.h"
#include "tests/support/ui_input.h"

namespace {

using nlohmann::json;
using testing_support::ClickAt;
using testing_support::CountWindowsOfClass;
using testing_support::LoopbackServer;
using testing_support::LumavexInstall;
using testing_support::LumavexProcess;
using testing_support::PressKey;
using testing_support::PumpFor;
using testing_support::WaitUntil;

constexpr wchar_t kMainClass[] = L"LumavexMainWnd";
constexpr wchar_t kSettingClass[] = L"LumavexSettingWnd";
constexpr wchar_t kMenuClass[] = L"LUMAVEX_POP_MENU";
constexpr wchar_t kMutexName[] = L"LumavexMutex";
// Without a notification area on the X server, Wine's X11 driver shows the icons in a window of its
// own, one child window of this class per icon.
constexpr wchar_t kTrayIconClass[] = L"__winex11_tray_icon";
constexpr wchar_t kTooltipClass[] = L"tooltips_class32";
constexpr UINT kTrayCallback = 0x8001;
constexpr WPARAM kTrayIconId = 1;

// ---- The loopback server's record -------------------------------------------------------------------

// Every event the server received; each must have deciphered.
json Events() {
  const json records = json::parse(LoopbackServer::EventsJson(), nullptr, false);
  json events = json::array();
  if (!records.is_array()) {
    ADD_FAILURE() << "the loopback server does not answer";
    return events;
  }
  for (const auto& record : records) {
    EXPECT_TRUE(record.value("ok", false)) << record.dump();
    if (record.value("ok", false)) events.push_back(record["event"]);
  }
  return events;
}

int CountEvents(const std::string& name) {
  const json events = Events();
  return static_cast<int>(std::count_if(events.begin(), events.end(),
                                        [&](const json& e) { return e.value("et", "") == name; }));
}

std::vector<std::string> EventNames() {
  std::vector<std::string> names;
  for (const auto& e : Events()) names.push_back(e.value("et", ""));
  return names;
}

// Waits until `count` events of that name have arrived.
bool WaitForEvent(const std::string& name, int count = 1, DWORD timeout_ms = 15000) {
  return WaitUntil([&] { return CountEvents(name) >= count; }, timeout_ms);
}

json FirstEvent(const std::string& name) {
  for (const auto& e : Events()) {
    if (e.value("et", "") == name) return e;
  }
  return json();
}

// Holds every answer of the collection endpoint back, so that a program sending synchronously stays
// alive long enough to be looked at, or has to give up.
bool DelayCollection(int delay_ms) {
  return LoopbackServer::SetResponses("/collection", "[{\"status\": 200, \"delay_ms\": " +
                                                         std::to_string(delay_ms) + "}]");
}

// ---- What the program leaves behind -----------------------------------------------------------------

bool MutexExists() {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kMutexName);
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

// The text of one key of the settings file, or "" when the key (or the file) is missing.
std::wstring ConfigValue(const LumavexInstall& install, const wchar_t* key) {
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L"Setting", key, L"", value, 64, install.ConfigPath().c_str());
  return value;
}

bool Logged(const LumavexProcess& process, const std::string& message) {
  const auto messages = process.LogMessages();
  return std::find(messages.begin(), messages.end(), message) != messages.end();
}

int CountLogged(const LumavexProcess& process, const std::string& message) {
  const auto messages = process.LogMessages();
  return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

bool VisibleWindow(HWND window) { return window != nullptr && IsWindow(window) && IsWindowVisible(window); }

POINT ScreenCentre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

// A point of a skin window given in its 96-DPI layout coordinates, scaled by the window's actual size
// against its size in the skin.
POINT SkinPoint(HWND window, int skin_width, int x, int y) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  const double scale = static_cast<double>(rect.right - rect.left) / skin_width;
  return {rect.left + static_cast<LONG>(x * scale), rect.top + static_cast<LONG>(y * scale)};
}

// Centres of the settings window's controls in its 568 x 344 layout: the content panel sits at
// (24, 20); the close button at its top right, the three switches at x 484..516 and the minus/plus
// pair left and right of the factor label.
constexpr int kSettingWidth = 568;
constexpr int kSettingHeight = 344;
constexpr POINT kCloseButton = {520, 36};
constexpr POINT kEnableSwitch = {500, 136};
constexpr POINT kMinusButton = {448, 184};
constexpr POINT kPlusButton = {504, 184};
constexpr POINT kAutoStartSwitch = {500, 232};
constexpr POINT kGameModeSwitch = {500, 278};
// The menu is 120 x 72: the settings item from 4 to 36, the quit item from 36 to 68.
constexpr int kMenuWidth = 120;
constexpr POINT kMenuSettings = {60, 20};
constexpr POINT kMenuQuit = {60, 52};

void ClickSkin(HWND window, int skin_width, POINT at) { ClickAt(SkinPoint(window, skin_width, at.x, at.y)); }

// The Task Scheduler is reached through COM.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

// One real click into the settings window and what it must leave in config.ini (and in the Task
// Scheduler for the auto-run switch) and send.
struct SettingsClick {
  const char* what;
  POINT at;
  const wchar_t* key;
  const wchar_t* stored;
  const char* event;  // nullptr: none
};

// Clicks through the steps; returns the events they must have sent, in order.
std::vector<std::string> ClickThrough(const LumavexInstall& install, HWND settings,
                                      const std::vector<SettingsClick>& steps) {
  std::vector<std::string> expected_events;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    const size_t events_before = Events().size();
    ClickSkin(settings, kSettingWidth, step.at);
    if (step.event != nullptr) {
      expected_events.push_back(step.event);
      EXPECT_TRUE(WaitUntil([&] { return Events().size() > events_before; }, 5000)) << "no event";
    }
    EXPECT_TRUE(WaitUntil([&] { return ConfigValue(install, step.key) == step.stored; }, 5000))
        << "stored: " << Utf16ToUtf8(ConfigValue(install, step.key));
    if (wcscmp(step.key, L"AutoRun") == 0) {
      const bool on = wcscmp(step.stored, L"1") == 0;
      EXPECT_TRUE(WaitUntil([&] { return LogonTaskExists() == on; }, 5000)) << "the logon task does not follow";
    } else {
      // A disabled button changes nothing: wait a moment for what a click could still write.
      PumpFor(150);
      EXPECT_EQ(ConfigValue(install, step.key), step.stored);
    }
  }
  return expected_events;
}

// Posts what the shell posts when the tray icon is clicked.
void TrayClick(HWND main_window, UINT mouse_message) {
  PostMessageW(main_window, kTrayCallback, kTrayIconId, mouse_message);
}

class LumavexE2E : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer";
    ASSERT_TRUE(install_.ready()) << "no loopback build of Lumavex.exe beside the tests";
    ASSERT_FALSE(MutexExists()) << "another Lumavex runs in this session";
    tray_icons_ = CountWindowsOfClass(kTrayIconClass);
  }
  void TearDown() override { LoopbackServer::Clear(); }

  // Starts the program and waits for its main window.
  HWND StartAndWait(LumavexProcess* process) {
    EXPECT_TRUE(process->started()) << "CreateProcess failed: " << GetLastError();
    const HWND main_window = process->WaitForWindow(kMainClass);
    EXPECT_NE(main_window, nullptr) << "no main window; log:\n" << Joined(process->LogMessages());
    return main_window;
  }

  bool WaitForTrayIcons(int count) {
    return WaitUntil([&] { return CountWindowsOfClass(kTrayIconClass) == count; }, 10000);
  }

  LumavexInstall install_;
  int tray_icons_ = 0;
};

// ---- Start-up, the single instance and the two ways out ---------------------------------------------

TEST_F(LumavexE2E, StartsOnceAndQuitsFromTheMenuOrOnTheBroadcast) {
  // Values an installer would have stored, which every event carries.
  testing_support::ScopedRegistryValue product(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumavex", L"ProductVersion");
  testing_support::ScopedRegistryValue distribution(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lumavex", L"DistributionID");
  ASSERT_TRUE(product.SetString(L"9.8.7.6"));
  ASSERT_TRUE(distribution.SetString(L"e2e-channel"));
  const POINT centre = ScreenCentre();
  SetCursorPos(centre.x, centre.y);

  LumavexProcess first(install_);
  const HWND main_window = StartAndWait(&first);
  ASSERT_NE(main_window, nullptr);
  {
    SCOPED_TRACE("cold start");
    EXPECT_FALSE(IsWindowVisible(main_window));
    EXPECT_NE(GetWindowLongPtrW(main_window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    ASSERT_TRUE(WaitForEvent("start"));
    const json start = FirstEvent("start");
    EXPECT_EQ(start.value("en", ""), "event");
    EXPECT_EQ(start.value("ea", ""), "lumavex");
    EXPECT_EQ(start.value("em", ""), "main");
    EXPECT_EQ(start.value("sv", ""), "1");
    EXPECT_EQ(start.value("av", ""), "9.8.7.6");
    EXPECT_EQ(start.value("did", ""), "e2e-channel");
    std::wstring file_version;
    EXPECT_TRUE(GetFileVersionString(install_.ProgramPath(), &file_version)) << "the program has no version";
    EXPECT_EQ(start.value("mv", ""), Utf16ToUtf8(file_version));
    std::string device_id;
    ASSERT_TRUE(GetDeviceUniqueId(&device_id));
    EXPECT_EQ(start.value("duid", ""), device_id);
    EXPECT_EQ(start.value("cp", ""), "win32");
    EXPECT_EQ(start.value("dnt", ""), "0");
    EXPECT_EQ(start.value("drw", ""), std::to_string(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(start.value("drh", ""), std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_FALSE(start.value("osn", "").empty());
    const long long sent = std::stoll(start.value("cets", "0"));
    EXPECT_LE(std::llabs(sent - static_cast<long long>(time(nullptr))), 120) << start.dump();
    EXPECT_FALSE(start.contains("ep")) << start.dump();

    EXPECT_TRUE(WaitUntil([&] { return Logged(first, "[I] StartMidnightTask"); }, 10000))
        << Joined(first.LogMessages());
    const auto log = first.LogMessages();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "[I] -------lumavex ------");
    EXPECT_TRUE(WaitForTrayIcons(tray_icons_ + 1)) << "the tray icon was not added";
    EXPECT_TRUE(MutexExists());
    EXPECT_FALSE(testing_support::FileExists(install_.ConfigPath())) << "loading must not create config.ini";
  }

  {
    SCOPED_TRACE("second instance");
    ASSERT_TRUE(LoopbackServer::Clear());
    LumavexProcess second(install_);
    ASSERT_TRUE(second.started());
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(20000, &code)) << "the second instance keeps running";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitForEvent("start"));
    EXPECT_EQ(CountEvents("instance_exists"), 1) << "sent and waited for before the program ended";
    EXPECT_EQ(CountEvents("start"), 1);
    const auto log = second.LogMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), "[E] lumavex already running"), log.end()) << Joined(log);
    EXPECT_EQ(std::find(log.begin(), log.end(), "[I] StartMidnightTask"), log.end()) << Joined(log);
    // The first one is untouched: still running, the same main window, one tray icon, no settings
    // window made for the second start.
    EXPECT_TRUE(first.running());
    EXPECT_EQ(first.FindWindowOfClass(kMainClass), main_window);
    EXPECT_EQ(CountWindowsOfClass(kMainClass), 1);
    EXPECT_EQ(CountWindowsOfClass(kTrayIconClass), tray_icons_ + 1);
    EXPECT_EQ(first.FindWindowOfClass(kSettingClass), nullptr);
  }

  {
    SCOPED_TRACE("quit from the tray menu");
    ASSERT_TRUE(LoopbackServer::Clear());
    SetCursorPos(centre.x, centre.y);
    TrayClick(main_window, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(menu = first.FindWindowOfClass(kMenuClass)); }, 10000))
        << "the menu did not open";
    EXPECT_TRUE(WaitForEvent("open_tray_menu"));
    // Above the pointer and to its right, with a small gap, as the taskbar lies at the bottom.
    RECT menu_rect = {};
    GetWindowRect(menu, &menu_rect);
    const int menu_width = menu_rect.right - menu_rect.left;
    EXPECT_EQ(menu_rect.bottom - menu_rect.top, menu_width * 72 / kMenuWidth);
    APPBARDATA taskbar = {};
    taskbar.cbSize = sizeof(taskbar);
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar) != 0 && taskbar.uEdge == ABE_BOTTOM) {
      const int gap = MulDiv(5, menu_width, kMenuWidth);
      EXPECT_EQ(menu_rect.left, centre.x + gap);
      EXPECT_EQ(menu_rect.bottom, centre.y - gap);
    }
    // The quitting program waits for its "exit" event: held back here, the program is still alive
    // when it has logged its way out, and its tray icon must be gone by then.
    ASSERT_TRUE(DelayCollection(2000));
    ClickSkin(menu, kMenuWidth, kMenuQuit);
    EXPECT_TRUE(WaitUntil([&] { return Logged(first, "[I] lumavex exit"); }, 10000)) << Joined(first.LogMessages());
    EXPECT_TRUE(first.running());
    EXPECT_EQ(CountWindowsOfClass(kTrayIconClass), tray_icons_) << "the tray icon outlives the quit";
    DWORD code = 1;
    ASSERT_TRUE(first.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    const auto log = first.LogMessages();
    EXPECT_TRUE(!log.empty() && log.back() == "[I] lumavex exit") << Joined(log);
    EXPECT_EQ(CountEvents("click_menu_exit"), 1);
    EXPECT_EQ(CountEvents("exit"), 1) << "\"exit\" is sent before the program ends";
    EXPECT_FALSE(MutexExists()) << "the mutex outlives the program";
    EXPECT_FALSE(testing_support::FileExists(install_.ConfigPath()));
  }

  {
    SCOPED_TRACE("a new start after the quit; the taskbar re-created; the quit broadcast");
    ASSERT_TRUE(LoopbackServer::Clear());
    LumavexProcess again(install_);
    const HWND again_window = StartAndWait(&again);
    ASSERT_NE(again_window, nullptr) << "a start right after a quit must be a first instance";
    EXPECT_TRUE(WaitForEvent("start"));
    EXPECT_TRUE(WaitForTrayIcons(tray_icons_ + 1));
    EXPECT_EQ(CountEvents("instance_exists"), 0);

    // Explorer restarting: the icon is gone, and the new taskbar announces itself to every window.
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = again_window;
    icon.uID = kTrayIconId;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    EXPECT_TRUE(WaitForTrayIcons(tray_icons_));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitForTrayIcons(tray_icons_ + 1)) << "the icon did not come back with the new taskbar";

    ASSERT_TRUE(DelayCollection(2000));
    const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
    ASSERT_NE(quit, 0u);
    PostMessageW(HWND_BROADCAST, quit, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Logged(again, "[I] lumavex exit"); }, 10000)) << Joined(again.LogMessages());
    EXPECT_TRUE(Logged(again, "[I] receive quit broadcast msg"));
    EXPECT_TRUE(again.running());
    EXPECT_EQ(CountWindowsOfClass(kTrayIconClass), tray_icons_) << "the broadcast quit leaves the tray icon";
    DWORD code = 1;
    ASSERT_TRUE(again.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(CountEvents("exit"), 1);
    EXPECT_EQ(CountEvents("click_menu_exit"), 0);
    EXPECT_FALSE(MutexExists());
  }
}

// The two start-up options, as an installer passes them, and one that the program does not know.
TEST_F(LumavexE2E, StartOptionsOpenTheSettingsWindowOrShowTheBalloon) {
  struct Case {
    const wchar_t* arguments;
    bool settings;
    bool balloon;
  } cases[] = {
      // The balloon case comes last: a balloon of an earlier case could still be on the screen.
      {L"--open_setting --show_balloon", true, false},
      {L"--no_such_option", false, false},
      {L"--show_balloon", false, true},
  };
  const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.arguments));
    ASSERT_TRUE(LoopbackServer::Clear());
    // The shell shows a balloon as a tooltip window of its own.
    const int balloons = CountWindowsOfClass(kTooltipClass, true);
    LumavexProcess app(install_, c.arguments);
    ASSERT_NE(StartAndWait(&app), nullptr);
    EXPECT_TRUE(WaitForTrayIcons(tray_icons_ + 1));
    const auto settings_shown = [&] { return VisibleWindow(app.FindWindowOfClass(kSettingClass)); };
    const auto balloon_shown = [&] { return CountWindowsOfClass(kTooltipClass, true) > balloons; };
    // The shell takes a few seconds to show a balloon: what should not come gets five to turn up.
    EXPECT_EQ(WaitUntil(settings_shown, c.settings ? 10000 : 5000), c.settings);
    EXPECT_EQ(WaitUntil(balloon_shown, c.balloon ? 10000 : 5000), c.balloon);
    EXPECT_EQ(CountEvents("dialog_settings_show"), c.settings ? 1 : 0);
    PostMessageW(HWND_BROADCAST, quit, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
  }
}

// A collector that never answers holds neither a second start nor a quitting program for longer
// than the synchronous send's limit, so the mutex is free again soon after a quit; and the event
// waited for still reaches it, though the one sent just before it is still out: "instance_exists"
// after the second start's "start", "exit" after "click_menu_exit". The one test of the program that
// measures its own time limit against the clock; "never" is an answer held back longer than the
// waits below allow.
TEST_F(LumavexE2E, SynchronousEventsReachASilentCollectorAndGiveUpOnIt) {
  constexpr DWORD kAnswerMs = 60000;
  LumavexProcess first(install_);
  const HWND main_window = StartAndWait(&first);
  ASSERT_NE(main_window, nullptr);
  ASSERT_TRUE(WaitForEvent("start"));
  ASSERT_TRUE(LoopbackServer::Clear());
  ASSERT_TRUE(DelayCollection(kAnswerMs));

  {
    SCOPED_TRACE("a second start");
    LumavexProcess second(install_);
    const ULONGLONG started = GetTickCount64();
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(kAnswerMs / 2, &code)) << "the second start waits for \"instance_exists\"";
    EXPECT_EQ(code, 0u);
    const ULONGLONG waited = GetTickCount64() - started;
    EXPECT_GE(waited, 4000u) << "\"instance_exists\" was not waited for";
    EXPECT_LT(waited, 12000u) << "the wait is not bounded";
    EXPECT_EQ(EventNames(), (std::vector<std::string>{"start", "instance_exists"}));
  }

  {
    SCOPED_TRACE("quit from the tray menu");
    ASSERT_TRUE(LoopbackServer::Clear());
    const POINT centre = ScreenCentre();
    SetCursorPos(centre.x, centre.y);
    TrayClick(main_window, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(menu = first.FindWindowOfClass(kMenuClass)); }, 10000))
        << "the menu did not open";
    // The menu's own event answered, the collector falls silent: "click_menu_exit" goes out and stays
    // out while the program quits.
    ASSERT_TRUE(WaitForEvent("open_tray_menu"));
    Sleep(500);
    ASSERT_TRUE(DelayCollection(kAnswerMs));
    const ULONGLONG quit = GetTickCount64();
    ClickSkin(menu, kMenuWidth, kMenuQuit);
    DWORD code = 1;
    ASSERT_TRUE(first.WaitForExit(kAnswerMs / 2, &code)) << "the quitting program waits for \"exit\"";
    EXPECT_EQ(code, 0u);
    EXPECT_LT(GetTickCount64() - quit, 9000u) << "the quit is held longer than the wait for \"exit\"";
    EXPECT_TRUE(Logged(first, "[I] lumavex exit"));
    const auto names = EventNames();
    const auto click = std::find(names.begin(), names.end(), "click_menu_exit");
    ASSERT_NE(click, names.end()) << Joined(names);
    EXPECT_NE(std::find(click, names.end(), "exit"), names.end()) << "\"exit\" is lost: " << Joined(names);
    EXPECT_FALSE(MutexExists());
  }
}

// ---- The tray icon, the menu and the settings window ------------------------------------------------

TEST_F(LumavexE2E, TrayClicksOpenTheSettingsWindowWhoseChangesArePersistedAndReported) {
  ComApartment com;
  ASSERT_FALSE(LogonTaskExists()) << "a logon task of an earlier run is left";
  // The auto-run switch registers the task in this prefix: never leave it behind.
  struct TaskRemover {
    ~TaskRemover() {
      if (LogonTaskExists()) DeleteLogonTask();
    }
  } task_remover;
  const POINT centre = ScreenCentre();
  SetCursorPos(centre.x, centre.y);
  LumavexProcess app(install_);
  const HWND main_window = StartAndWait(&app);
  ASSERT_NE(main_window, nullptr);
  ASSERT_TRUE(WaitForEvent("start"));
  ASSERT_TRUE(LoopbackServer::Clear());

  TrayClick(main_window, WM_LBUTTONUP);
  HWND settings = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(settings = app.FindWindowOfClass(kSettingClass)); }, 10000))
      << "the left click opened no settings window";
  EXPECT_TRUE(WaitForEvent("dialog_settings_show"));
  EXPECT_EQ(EventNames(), (std::vector<std::string>{"open_tray_settings", "dialog_settings_show"}));
  RECT rect = {};
  GetWindowRect(settings, &rect);
  const int width = rect.right - rect.left;
  EXPECT_EQ(rect.bottom - rect.top, width * kSettingHeight / kSettingWidth);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  if (dpi == 96) {
    EXPECT_EQ(width, kSettingWidth);
  }

  // The second click brings back the same window.
  TrayClick(main_window, WM_LBUTTONUP);
  EXPECT_TRUE(WaitForEvent("dialog_settings_show", 2));
  EXPECT_EQ(app.FindWindowOfClass(kSettingClass), settings);
  EXPECT_EQ(CountWindowsOfClass(kSettingClass), 1);

  {
    SCOPED_TRACE("Escape hides it; a second start shows it again");
    SetForegroundWindow(settings);
    PumpFor(100);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }, 5000));
    EXPECT_TRUE(WaitForEvent("dialog_settings_close"));
    ASSERT_TRUE(IsWindow(settings)) << "hiding must keep the window";
    LumavexProcess second(install_);
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindow(settings); }, 5000))
        << "the second start did not bring the settings window back";
    EXPECT_TRUE(app.running());
    EXPECT_TRUE(WaitForEvent("instance_exists"));
    EXPECT_TRUE(WaitForEvent("start"));
  }

  {
    SCOPED_TRACE("switches and the scale factor, by real clicks");
    ASSERT_TRUE(LoopbackServer::Clear());
    SetForegroundWindow(settings);
    PumpFor(100);
    const std::vector<SettingsClick> steps = {
        {"shaking off", kEnableSwitch, L"EnableShake", L"0", "shake_disabled"},
        {"shaking on", kEnableSwitch, L"EnableShake", L"1", "shake_enabled"},
        {"game mode off (on by default)", kGameModeSwitch, L"GameModeEnable", L"0",
         "disableshake_gamemode_toggleoff"},
        {"game mode on", kGameModeSwitch, L"GameModeEnable", L"1", "disableshake_gamemode_toggleon"},
        {"plus: 4", kPlusButton, L"ScaleFactor", L"4", nullptr},
        {"plus: 5", kPlusButton, L"ScaleFactor", L"5", nullptr},
        {"plus at 5 is disabled", kPlusButton, L"ScaleFactor", L"5", nullptr},
        {"minus: 4", kMinusButton, L"ScaleFactor", L"4", nullptr},
        {"minus: 3", kMinusButton, L"ScaleFactor", L"3", nullptr},
        {"minus: 2", kMinusButton, L"ScaleFactor", L"2", nullptr},
        {"minus at 2 is disabled", kMinusButton, L"ScaleFactor", L"2", nullptr},
        {"auto run on", kAutoStartSwitch, L"AutoRun", L"1", nullptr},
        {"auto run off", kAutoStartSwitch, L"AutoRun", L"0", nullptr},
    };
    const std::vector<std::string> expected_events = ClickThrough(install_, settings, steps);
    PumpFor(300);
    EXPECT_EQ(EventNames(), expected_events);
  }

  {
    SCOPED_TRACE("the close button destroys it; the next click makes a fresh one");
    ASSERT_TRUE(LoopbackServer::Clear());
    ClickSkin(settings, kSettingWidth, kCloseButton);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, 5000)) << "the close button kept the window";
    EXPECT_TRUE(WaitForEvent("dialog_settings_close"));
    TrayClick(main_window, WM_LBUTTONUP);
    HWND fresh = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(fresh = app.FindWindowOfClass(kSettingClass)); }, 10000));
    settings = fresh;
    // It starts from the stored settings, not from the skin's factor 3 and its switches all on.
    ClickThrough(install_, settings,
                 {{"plus from the stored 2", kPlusButton, L"ScaleFactor", L"3", nullptr},
                  {"auto run on from the stored off", kAutoStartSwitch, L"AutoRun", L"1", nullptr},
                  {"auto run off", kAutoStartSwitch, L"AutoRun", L"0", nullptr}});
  }

  {
    SCOPED_TRACE("WM_CLOSE from outside destroys it; the next click makes a fresh one");
    PostMessageW(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, 5000));
    ASSERT_TRUE(LoopbackServer::Clear());
    TrayClick(main_window, WM_LBUTTONUP);
    HWND fresh = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindow(fresh = app.FindWindowOfClass(kSettingClass)); }, 10000))
        << "no window after the outside close";
    EXPECT_TRUE(app.running()) << "the program touched the destroyed window";
    EXPECT_TRUE(WaitForEvent("dialog_settings_show"));
    settings = fresh;
  }

  {
    SCOPED_TRACE("the menu's settings item");
    SetForegroundWindow(settings);
    PumpFor(100);
    ASSERT_TRUE(LoopbackServer::Clear());
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }, 5000));
    ASSERT_TRUE(WaitForEvent("dialog_settings_close"));
    ASSERT_TRUE(LoopbackServer::Clear());
    SetCursorPos(centre.x, centre.y);
    TrayClick(main_window, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(menu = app.FindWindowOfClass(kMenuClass)); }, 10000));
    ClickSkin(menu, kMenuWidth, kMenuSettings);
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindow(settings); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000)) << "the menu stays open";
    EXPECT_TRUE(WaitForEvent("dialog_settings_show"));
    EXPECT_EQ(EventNames(),
              (std::vector<std::string>{"open_tray_menu", "click_menu_settings", "dialog_settings_show"}));
  }
  EXPECT_TRUE(app.running());
}

// ---- Shaking ----------------------------------------------------------------------------------------

// A plain window of the test, shown and put in front: raw input reaches no program while no thread
// owns the foreground, and the full-screen test looks at the window under the cursor.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height) {
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, x, y, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr) SetForegroundWindow(window_);
    PumpFor(100);
  }
  ~TestWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    PumpFor(50);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Ten runs of 100 units back and forth in steps that Wine passes on unaccelerated: a long path in a
// small area, well inside the detector's one-second window.
void Shake() {
  std::vector<POINT> deltas;
  for (int run = 0; run < 10; ++run) {
    for (int step = 0; step < 20; ++step) deltas.push_back({run % 2 == 0 ? 5 : -5, 0});
  }
  testing_support::MoveMouse(deltas);
}

// Each case from a fresh install with its own settings file, the pointer over a window of the test.
TEST_F(LumavexE2E, AShakeIsReportedOnceUnlessShakingIsOffOrAFullScreenWindowIsUnderThePointerInGameMode) {
  struct Case {
    const char* what;
    const wchar_t* key;  // written to config.ini before the start; nullptr: no file
    const wchar_t* value;
    bool full_screen;
    int shaked;
    const char* said_once;  // the log line of the state that stops the report, or nullptr
  } cases[] = {
      {"no settings file, an ordinary window", nullptr, nullptr, false, 1, nullptr},
      {"no settings file (game mode on), a full-screen window", nullptr, nullptr, true, 0, "[I] is_full_screen:1"},
      {"game mode off, a full-screen window", L"GameModeEnable", L"0", true, 1, nullptr},
      {"shaking off", L"EnableShake", L"0", false, 0, "[I] is_enable_shake:0"},
  };
  const POINT centre = ScreenCentre();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(centre, MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT& m = monitor.rcMonitor;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LumavexInstall install;
    ASSERT_TRUE(install.ready());
    if (c.key != nullptr) {
      ASSERT_TRUE(WritePrivateProfileStringW(L"Setting", c.key, c.value, install.ConfigPath().c_str()));
    }
    LumavexProcess app(install);
    ASSERT_NE(StartAndWait(&app), nullptr);
    ASSERT_TRUE(WaitForEvent("start"));
    ASSERT_TRUE(WaitForTrayIcons(tray_icons_ + 1));

    // A borderless window as large as the monitor, or an ordinary one; either way the test's own, in
    // front, with the pointer over it.
    TestWindow front = c.full_screen ? TestWindow(m.left, m.top, m.right - m.left, m.bottom - m.top)
                                     : TestWindow(centre.x - 200, centre.y - 200, 400, 400);
    ASSERT_NE(front.get(), nullptr);
    SetCursorPos(centre.x, centre.y);
    PumpFor(100);
    ASSERT_TRUE(LoopbackServer::Clear());
    Shake();
    // The program's own line says that it has decided: "Enlarge" as the cursors grow, or the line of
    // the state that stops it. The shake's two positive decisions (at its ninth and tenth runs) are
    // twenty reports apart, well within the restore delay, so the cursors grow once.
    const char* decided = c.said_once != nullptr ? c.said_once : "[I] Enlarge";
    EXPECT_TRUE(WaitUntil([&] { return Logged(app, decided); }, 15000)) << Joined(app.LogMessages());
    // Each enlarging is reported as it happens, so the events follow the program's lines.
    const int enlarged = CountLogged(app, "[I] Enlarge");
    EXPECT_EQ(enlarged, c.shaked) << Joined(app.LogMessages());
    if (enlarged > 0) {
      EXPECT_TRUE(WaitForEvent("mouse_shaked", enlarged));
    }
    EXPECT_EQ(CountEvents("mouse_shaked"), enlarged) << LoopbackServer::EventsJson();
    if (c.said_once != nullptr) {
      // Said when the state begins, not for each of the 200 reports.
      EXPECT_EQ(CountLogged(app, c.said_once), 1) << Joined(app.LogMessages());
    }
    app.Kill();
  }
}

}  // namespace
