// The tray program's entry: brings the process up, runs the message loop of the hidden main window,
// and reports the way out.

#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "app/app_events.h"
#include "app/command_line.h"
#include "app/instance_mutex.h"
#include "app/main_wnd.h"
#include "app/setting_wnd.h"
#include "common/collector.h"
#include "common/base/com_ptr.h"
#include "common/config.h"
#include "common/data_session.h"
#include "common/device_info.h"
#include "common/endpoints.h"
#include "common/logging.h"
#include "common/program_path.h"
#include "common/registry.h"
#include "common/singleton.h"
#include "common/text.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

constexpr int kSkinPackageId = 137;
constexpr wchar_t kSkinPackageType[] = L"ZIPRES";

// "%TEMP%\lumavex\lumavex.log". Without its folder the program runs on without a file log.
void InitLogFile() {
  const std::wstring path = TempLogFilePath(L"lumavex", L"lumavex.log", true);
  // The log is read while the program runs (and may be all that is left of a run that was ended
  // from outside); the program logs little, so every line goes straight to the file.
  if (InitLogger(path, "lumavex_log")) FlushLogOnEveryLine();
}

void LogCommandLineProblems(const StartOptions& options) {
  if (!options.error.empty()) {
    LOG_WARN << "command line not understood, starting without its switches: " << options.error;
  }
  if (!options.unknown.empty()) {
    std::string ignored;
    for (const std::string& arg : options.unknown) ignored += (ignored.empty() ? "" : " ") + arg;
    LOG_WARN << "command-line arguments ignored: " << ignored;
  }
}

std::string ProgramFileVersion() {
  std::wstring version;
  const std::wstring path = ProgramPath();
  if (path.empty() || !GetFileVersionString(path, &version)) return std::string();
  return Utf16ToUtf8(version);
}

void StartStatistics(const std::string& device_id) {
  common::Collector* collector = Singleton<common::Collector>::GetInstance();
  collector->Init(common::CollectionUrl(), "lumavex", "main");
  collector->SetDefaultField("av", GetProductVersion());
  collector->SetDefaultField("mv", ProgramFileVersion());
  collector->SetDefaultField("duid", device_id);
}

// Waits for the collector, at most DataSession::kSendWaitMs.
void SendEventAndWait(const char* value) {
  Singleton<common::Collector>::GetInstance()->CreateSession("event", value)->Send();
}

// A request that outlived its waiter would otherwise hold the exiting process in the statistics
// client's clean-up until the network gives up; pending events are lost at exit anyway, and the
// end of the process stops the client's threads.
void LeaveStatisticsToProcessEnd() {
  FlushLogger();
  Singleton<common::Collector>::Release();
}

void BringSettingWindowToFront() {
  const HWND window = FindWindowW(kSettingWndClassName, nullptr);
  if (window != nullptr && IsWindow(window)) {
    // The window belongs to the running copy: a synchronous show would wait for its thread, for ever
    // when that copy hangs.
    ShowWindowAsync(window, SW_SHOW);
    SetForegroundWindow(window);
  }
}

// The skin package in the program's resources goes to the UI framework; without it the windows
// have no skin.
void LoadSkinPackage(HINSTANCE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kSkinPackageId), kSkinPackageType);
  if (found == nullptr) return;
  const HMODULE resources = Vellum::CPaintManagerUI::GetResourceModule();
  HGLOBAL loaded = LoadResource(resources, found);
  const DWORD size = SizeofResource(resources, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes != nullptr) Vellum::CPaintManagerUI::SetResourceZip(bytes, size, nullptr);
  if (loaded != nullptr) FreeResource(loaded);
}

int RunProgram(HINSTANCE instance) {
  auto com = std::make_unique<ScopedComApartment>(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  const StartOptions options = ParseStartOptions(CommandLineArguments(GetCommandLineW()));

  InitLogFile();
  LOG_INFO << "-------lumavex ------";
  LogCommandLineProblems(options);

  std::string device_id;
  GetDeviceUniqueId(&device_id);
  StartStatistics(device_id);
  // Every start reports itself, also one that gives way to a running copy just below.
  SendAppEvent("start");

  CInstanceMutex guard;
  if (guard.Create(kInstanceMutexName) == CInstanceMutex::kAlreadyExists) {
    LOG_ERROR << "lumavex already running";
    SendEventAndWait("instance_exists");
    BringSettingWindowToFront();
    LeaveStatisticsToProcessEnd();
    return 0;
  }

  Config::GetInstance().Load();

  Vellum::CPaintManagerUI::SetInstance(instance);
  LoadSkinPackage(instance);

  SetProcessDPIAware();

  MainWnd& main_wnd = MainWnd::GetInstance();
  main_wnd.set_start_mode(StartModeFor(options));
  main_wnd.Create(nullptr, L"", 0, WS_EX_TOOLWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);

  MSG msg;
  // -1 (a failed call) ends the loop as well as WM_QUIT does, instead of spinning.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  com.reset();
  LOG_INFO << "lumavex exit";
  SendEventAndWait("exit");
  LeaveStatisticsToProcessEnd();
  // The guard goes last, with this scope: a new start finds the name free only once "exit" is sent.
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return RunProgram(instance);
  } catch (const std::exception& e) {
    LOG_ERROR << "lumavex stopped: " << e.what();
  } catch (...) {
    LOG_ERROR << "lumavex stopped";
  }
  return 1;
}
