#pragma once

// Measuring a whole process for the benchmark programs: its CPU time and private bytes as Windows
// reports them, and, where the program runs under Wine on Linux, the wake-ups of its threads as the
// host kernel counts them (read through Wine's Z: drive, which maps the host's root).

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench {

// User plus kernel time of a process so far.
inline double CpuMilliseconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// The process's private bytes (commit charge); 0 when they cannot be read.
inline uint64_t PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
    return 0;
  }
  return counters.PrivateUsage;
}

// A whole host file, such as one under /proc; empty when it cannot be read.
inline std::string ReadHostFile(const std::wstring& unix_path) {
  std::wstring path = L"Z:" + unix_path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got != 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// The host process whose environment holds `entry` (NAME=value), or 0: how a program started by the
// benchmark with a marker in its environment is found among the host's processes.
inline unsigned long HostPidWithEnvironment(const std::string& entry) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  unsigned long pid = 0;
  do {
    wchar_t* end = nullptr;
    const unsigned long candidate = std::wcstoul(found.cFileName, &end, 10);
    if (candidate == 0 || *end != L'\0') continue;
    const std::string environment = ReadHostFile(L"/proc/" + std::to_wstring(candidate) + L"/environ");
    if (environment.find(std::string(1, '\0') + entry + std::string(1, '\0')) != std::string::npos ||
        environment.compare(0, entry.size() + 1, entry + std::string(1, '\0')) == 0) {
      pid = candidate;
    }
  } while (pid == 0 && FindNextFileW(search, &found));
  FindClose(search);
  return pid;
}

// Context switches of every thread of a host process: the voluntary ones are its wake-ups from
// waits and sleeps, the others preemptions. False when the host has no such process.
inline bool HostContextSwitches(unsigned long pid, uint64_t* voluntary, uint64_t* involuntary) {
  *voluntary = 0;
  *involuntary = 0;
  const std::wstring task = L"/proc/" + std::to_wstring(pid) + L"/task";
  WIN32_FIND_DATAW found;
  std::wstring pattern = L"Z:" + task + L"/*";
  for (wchar_t& c : pattern) {
    if (c == L'/') c = L'\\';
  }
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    const std::string status = ReadHostFile(task + L"/" + found.cFileName + L"/status");
    auto field = [&](const char* name) -> uint64_t {
      const size_t at = status.find(name);
      return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + std::strlen(name), nullptr, 10);
    };
    *voluntary += field("\nvoluntary_ctxt_switches:");
    *involuntary += field("\nnonvoluntary_ctxt_switches:");
    any = true;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return any;
}

}  // namespace bench
