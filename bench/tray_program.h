#pragma once

// The tray program run by the benchmark programs as a user would start it: its own process, found by
// the moment its tray icon appears, and ended by the installer's quit broadcast.
//
// Under Wine, with no notification area on the display (Xvfb), an added tray icon shows as a child
// window of class "__winex11_tray_icon" in Wine's own top-level window "__winex11_standalone_tray"; that
// window appears when the shell takes the icon, which makes it the observable moment of "tray icon
// added".

#include <windows.h>

#include <string>

#include "bench/bench_clock.h"

namespace bench {

// Icons in Wine's stand-alone tray window now.
inline int TrayIconWindows() {
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  if (tray == nullptr) return 0;
  int count = 0;
  for (HWND icon = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); icon != nullptr;
       icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) {
    ++count;
  }
  return count;
}

// Lumavex.exe of the build this benchmark belongs to (<build>/bench/.. /loopback), unless given.
inline std::wstring TrayProgramPath(int argc, wchar_t** argv, int index) {
  if (argc > index) return argv[index];
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  path.resize(path.find_last_of(L'\\'));
  path.resize(path.find_last_of(L'\\'));
  return path + L"\\loopback\\Lumavex.exe";
}

class TrayProgram {
 public:
  TrayProgram() = default;
  TrayProgram(const TrayProgram&) = delete;
  TrayProgram& operator=(const TrayProgram&) = delete;
  ~TrayProgram() { Quit(15000); }

  // Starts the program with `arguments` and returns at once; the time of the start is kept.
  bool Start(const std::wstring& path, const std::wstring& arguments = std::wstring()) {
    std::wstring command = L"\"" + path + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    icons_before_ = TrayIconWindows();
    started_ = Now();
    if (!CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
      return false;
    }
    CloseHandle(info_.hThread);
    info_.hThread = nullptr;
    return true;
  }

  // Seconds from the start until one more tray icon shows than before it, polled every millisecond;
  // a negative value when none came within the time limit or the program ended first.
  double WaitForTrayIcon(DWORD limit_ms) {
    const LARGE_INTEGER limit_start = Now();
    while (Seconds(limit_start, Now()) * 1000.0 < limit_ms) {
      if (TrayIconWindows() > icons_before_) return Seconds(started_, Now());
      if (WaitForSingleObject(info_.hProcess, 1) == WAIT_OBJECT_0) return -1;
    }
    return -1;
  }

  // The installer's quit broadcast; the process is ended by force when it does not leave in time.
  void Quit(DWORD limit_ms) {
    if (info_.hProcess == nullptr) return;
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG"), 0, 0);
    if (WaitForSingleObject(info_.hProcess, limit_ms) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
    info_.hProcess = nullptr;
  }

  HANDLE process() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_ = {};
  LARGE_INTEGER started_ = {};
  int icons_before_ = 0;
};

}  // namespace bench
