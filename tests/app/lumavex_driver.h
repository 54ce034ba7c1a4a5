#pragma once

// Drives the real tray program from another process, as a user, the shell or an installer would:
// start it, find its windows, click into them, wait for it to end, read what it left behind.

#include <windows.h>

#include <string>
#include <vector>

#include "common/base/scoped_handle.h"
#include "tests/support/test_support.h"

namespace testing_support {

// Where the program runs as if installed: a fresh folder holding a copy of the Lumavex.exe under test
// (DeliverablePath; config.ini is written beside the program, so never into the build tree) and a
// temporary folder of its own, so that its log (%TEMP%\lumavex\lumavex.log) holds only the lines of
// the runs started from here.
class LumavexInstall {
 public:
  LumavexInstall();
  LumavexInstall(const LumavexInstall&) = delete;
  LumavexInstall& operator=(const LumavexInstall&) = delete;

  // False when the built program is missing or could not be copied.
  bool ready() const { return ready_; }
  std::wstring ProgramPath() const { return folder_.File(L"Lumavex.exe"); }
  std::wstring ConfigPath() const { return folder_.File(L"config.ini"); }
  std::wstring LogPath() const { return temp_.File(L"lumavex\\lumavex.log"); }
  const std::wstring& temp_folder() const { return temp_.path(); }

  // The messages that process `pid` logged, each as "[L] text" (L the level letter), in order.
  std::vector<std::string> LogMessages(DWORD pid) const;

 private:
  TempDir folder_{L"lumavex-install"};
  TempDir temp_{L"lumavex-temp"};
  bool ready_ = false;
};

// One run of the program of an install. Ends it at the end of the scope if it still runs.
class LumavexProcess {
 public:
  explicit LumavexProcess(const LumavexInstall& install, const std::wstring& arguments = std::wstring());
  ~LumavexProcess();
  LumavexProcess(const LumavexProcess&) = delete;
  LumavexProcess& operator=(const LumavexProcess&) = delete;

  bool started() const { return process_.valid(); }
  DWORD pid() const { return pid_; }
  bool running() const;
  // True when the process ended within timeout_ms; then its exit code is stored.
  bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
  // Ends the process if it still runs and waits for it to be gone.
  void Kill();

  // A top-level window of this process with the class, or null.
  HWND FindWindowOfClass(const wchar_t* class_name) const;
  // The same, waiting up to timeout_ms for it to appear.
  HWND WaitForWindow(const wchar_t* class_name, DWORD timeout_ms = 20000) const;

  std::vector<std::string> LogMessages() const { return install_.LogMessages(pid_); }

 private:
  const LumavexInstall& install_;
  ScopedHandle process_;
  DWORD pid_ = 0;
};

// The windows of this class, top-level or not, of any process; only the visible ones when asked.
int CountWindowsOfClass(const wchar_t* class_name, bool visible_only = false);

}  // namespace testing_support
