#include "tests/app/lumavex_driver.h"

#include <cwchar>

#include "tests/support/ui_input.h"

namespace testing_support {

namespace {

// The test's environment with TEMP and TMP pointing at `temp`, as a block for CreateProcessW.
std::wstring EnvironmentWithTemp(const std::wstring& temp) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  if (strings != nullptr) {
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
      if (_wcsnicmp(entry, L"TEMP=", 5) == 0 || _wcsnicmp(entry, L"TMP=", 4) == 0) continue;
      block.append(entry);
      block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
  }
  for (const wchar_t* name : {L"TEMP=", L"TMP="}) {
    block.append(name).append(temp);
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

struct WindowSearch {
  DWORD pid;  // 0: any process
  const wchar_t* class_name;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (search->pid != 0 && pid != search->pid) return TRUE;
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (wcscmp(name, search->class_name) == 0 && (!search->visible_only || IsWindowVisible(window))) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> WindowsOfClass(DWORD pid, const wchar_t* class_name) {
  WindowSearch search{pid, class_name, false, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectWindowAndDescendants(HWND window, LPARAM param) {
  CollectWindow(window, param);
  EnumChildWindows(window, CollectWindow, param);
  return TRUE;
}

}  // namespace

LumavexInstall::LumavexInstall() {
  const std::wstring built = DeliverablePath(L"Lumavex.exe");
  ready_ = CopyFileW(built.c_str(), ProgramPath().c_str(), TRUE) != FALSE;
}

std::vector<std::string> LumavexInstall::LogMessages(DWORD pid) const {
  // "[time] [PID:n] [TID:n] [lumavex_log] [L] message"
  const std::string marker = "[PID:" + std::to_string(pid) + "]";
  const std::string name = "] [lumavex_log] ";
  std::vector<std::string> messages;
  for (const auto& line : SplitLines(ReadFileBytes(LogPath()))) {
    const size_t text = line.find(name);
    if (line.find(marker) != std::string::npos && text != std::string::npos) {
      messages.push_back(line.substr(text + name.size()));
    }
  }
  return messages;
}

LumavexProcess::LumavexProcess(const LumavexInstall& install, const std::wstring& arguments)
    : install_(install) {
  std::wstring command_line = L"\"" + install.ProgramPath() + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  std::wstring environment = EnvironmentWithTemp(install.temp_folder());
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &command_line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      &environment[0], nullptr, &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  pid_ = info.dwProcessId;
}

LumavexProcess::~LumavexProcess() { Kill(); }

bool LumavexProcess::running() const {
  return started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool LumavexProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
  if (!started()) return false;
  const bool ended = WaitUntil([this] { return !running(); }, timeout_ms);
  if (ended && exit_code != nullptr) GetExitCodeProcess(process_.get(), exit_code);
  return ended;
}

void LumavexProcess::Kill() {
  if (!running()) return;
  TerminateProcess(process_.get(), 1);
  WaitForSingleObject(process_.get(), 10000);
}

HWND LumavexProcess::FindWindowOfClass(const wchar_t* class_name) const {
  if (!started()) return nullptr;
  const auto found = WindowsOfClass(pid_, class_name);
  return found.empty() ? nullptr : found.front();
}

HWND LumavexProcess::WaitForWindow(const wchar_t* class_name, DWORD timeout_ms) const {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindWindowOfClass(class_name)) != nullptr || !running(); }, timeout_ms);
  return window;
}

int CountWindowsOfClass(const wchar_t* class_name, bool visible_only) {
  WindowSearch search{0, class_name, visible_only, {}};
  EnumWindows(CollectWindowAndDescendants, reinterpret_cast<LPARAM>(&search));
  return static_cast<int>(search.found.size());
}

}  // namespace testing_support
