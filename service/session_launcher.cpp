#include "service/session_launcher.h"

#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <memory>

#include "common/base/scoped_handle.h"

namespace {

constexpr size_t kMaxCommandLine = 1023;

using WtsQueryUserTokenFunction = BOOL(WINAPI*)(ULONG, PHANDLE);
using Wow64DisableFunction = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFunction = BOOL(WINAPI*)(PVOID);

class ScopedLibrary {
 public:
  explicit ScopedLibrary(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~ScopedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ScopedLibrary(const ScopedLibrary&) = delete;
  ScopedLibrary& operator=(const ScopedLibrary&) = delete;
  HMODULE get() const { return module_; }

  template <typename F>
  F Find(const char* name) const {
    return module_ == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

class ScopedEnvironmentBlock {
 public:
  ScopedEnvironmentBlock() = default;
  ~ScopedEnvironmentBlock() {
    if (block_ != nullptr) DestroyEnvironmentBlock(block_);
  }
  ScopedEnvironmentBlock(const ScopedEnvironmentBlock&) = delete;
  ScopedEnvironmentBlock& operator=(const ScopedEnvironmentBlock&) = delete;
  void** put() { return &block_; }
  void* get() const { return block_; }

 private:
  void* block_ = nullptr;
};

// File system redirection off for the calling thread while it lives, where the system has it.
class ScopedNoRedirection {
 public:
  explicit ScopedNoRedirection(const ScopedLibrary& kernel)
      : revert_(kernel.Find<Wow64RevertFunction>("Wow64RevertWow64FsRedirection")) {
    auto disable = kernel.Find<Wow64DisableFunction>("Wow64DisableWow64FsRedirection");
    disabled_ = disable != nullptr && disable(&old_);
  }
  ~ScopedNoRedirection() {
    if (disabled_ && revert_ != nullptr) revert_(old_);
  }
  ScopedNoRedirection(const ScopedNoRedirection&) = delete;
  ScopedNoRedirection& operator=(const ScopedNoRedirection&) = delete;

 private:
  Wow64RevertFunction revert_;
  void* old_ = nullptr;
  bool disabled_ = false;
};

}  // namespace

bool WtsSessionSource::List(std::vector<SessionEntry>* sessions) const {
  WTS_SESSION_INFOW* list = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &list, &count)) return false;
  sessions->clear();
  for (DWORD i = 0; i < count; ++i) {
    SessionEntry entry;
    entry.id = list[i].SessionId;
    entry.active = list[i].State == WTSActive;
    wchar_t* name = nullptr;
    DWORD size = 0;
    if (WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, entry.id, WTSUserName, &name, &size) &&
        name != nullptr) {
      entry.has_user = true;
      WTSFreeMemory(name);
    }
    sessions->push_back(entry);
  }
  WTSFreeMemory(list);
  return true;
}

bool HasActiveUserSession(const SessionSource& source, DWORD* session_id) {
  std::vector<SessionEntry> sessions;
  if (!source.List(&sessions)) return false;
  for (const SessionEntry& entry : sessions) {
    if (entry.active && entry.has_user) {
      *session_id = entry.id;
      return true;
    }
  }
  return false;
}

DWORD FindExplorerProcess(DWORD session_id) {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpW(entry.szExeFile, L"explorer.exe") != 0) continue;
    DWORD session = 0;
    if (ProcessIdToSessionId(entry.th32ProcessID, &session) && session == session_id) return entry.th32ProcessID;
  }
  return 0;
}

bool BuildLaunchCommandLine(const std::wstring& path, const std::wstring& arguments, std::wstring* line) {
  std::wstring text = L"\"" + path + L"\"";
  if (!arguments.empty()) text += L" " + arguments;
  if (text.size() > kMaxCommandLine) return false;
  *line = std::move(text);
  return true;
}

bool LaunchAppIntoDifferentSession(const SessionSource& sessions, const std::wstring& path,
                                   const std::wstring& arguments, const std::wstring& current_directory,
                                   DWORD* process_id) {
  *process_id = 0;
  ScopedLibrary kernel(L"kernel32.dll");
  ScopedLibrary wtsapi(L"wtsapi32.dll");
  auto query_user_token = wtsapi.Find<WtsQueryUserTokenFunction>("WTSQueryUserToken");
  if (kernel.get() == nullptr || query_user_token == nullptr) return false;

  DWORD session = 0;
  if (!HasActiveUserSession(sessions, &session)) return false;
  const DWORD explorer_id = FindExplorerProcess(session);
  if (explorer_id == 0) return false;

  HANDLE raw = nullptr;
  std::unique_ptr<ScopedHandle> explorer;
  if (!query_user_token(session, &raw)) {
    raw = nullptr;
    explorer = std::make_unique<ScopedHandle>(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, explorer_id));
    // Every token right except changing the session id.
    if (!explorer->valid() || !OpenProcessToken(explorer->get(), 0xF00FF, &raw)) raw = nullptr;
  }
  ScopedHandle user_token(raw);
  if (!user_token.valid()) return false;

  TOKEN_LINKED_TOKEN linked = {};
  DWORD size = 0;
  HANDLE launch_raw = nullptr;
  if (GetTokenInformation(user_token.get(), TokenLinkedToken, &linked, sizeof(linked), &size)) {
    launch_raw = linked.LinkedToken;
  } else if (!DuplicateTokenEx(user_token.get(), MAXIMUM_ALLOWED, nullptr, SecurityIdentification, TokenPrimary,
                               &launch_raw)) {
    launch_raw = nullptr;
  }
  ScopedHandle launch_token(launch_raw);
  if (!launch_token.valid()) return false;

  ScopedEnvironmentBlock environment;
  DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE;
  if (CreateEnvironmentBlock(environment.put(), launch_token.get(), TRUE)) {
    flags |= CREATE_UNICODE_ENVIRONMENT;
  } else {
    *environment.put() = nullptr;
  }

  std::wstring command_line;
  if (!BuildLaunchCommandLine(path, arguments, &command_line)) return false;

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  wchar_t desktop[] = L"winsta0\\default";
  startup.lpDesktop = desktop;
  PROCESS_INFORMATION process = {};
  BOOL created;
  {
    ScopedNoRedirection no_redirection(kernel);
    // The path is also the application name, so a blank in it can never pick another program; and the
    // setup inherits none of the service's handles.
    created = CreateProcessAsUserW(launch_token.get(), path.c_str(), &command_line[0], nullptr, nullptr, FALSE,
                                   flags, environment.get(), current_directory.empty() ? nullptr : current_directory.c_str(),
                                   &startup, &process);
  }
  if (!created) return false;
  ScopedHandle new_process(process.hProcess);
  ScopedHandle new_thread(process.hThread);
  *process_id = process.dwProcessId;
  return true;
}
