#pragma once

// Measuring a whole process for the benchmark programs: its CPU time and private bytes as Windows
// reports them, and, where the program runs under Wine on Linux, what the host kernel counts for it
// (read through Wine's Z: drive, which maps the host's root): CPU time, wake-ups, resident memory.
// Wine 8 reports neither times nor memory counters of another process, so there only the host's
// figures mean something.

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// The numbers of a /proc/<pid>/stat text after the command name and the state letter: element i is
// field i + 4 of the manual's list.
inline std::vector<unsigned long long> StatNumbers(const std::string& stat) {
  std::vector<unsigned long long> numbers;
  const size_t name_end = stat.rfind(')');
  if (name_end == std::string::npos || name_end + 3 > stat.size()) return numbers;
  const char* p = stat.c_str() + name_end + 3;
  for (;;) {
    char* next = nullptr;
    const unsigned long long value = std::strtoull(p, &next, 10);
    if (next == p) break;
    numbers.push_back(value);
    p = next;
  }
  return numbers;
}
constexpr size_t kUserTimeIndex = 14 - 4;
constexpr size_t kSystemTimeIndex = 15 - 4;
constexpr size_t kStartTimeIndex = 22 - 4;

// The latest started host process whose command line, its arguments joined by blanks, is `command`
// (compared ignoring case), or 0. Wine gives a program's host process the Windows command line, which
// is how a program the benchmark started is found among the host's processes.
inline unsigned long HostPidWithCommandLine(const std::string& command) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  unsigned long pid = 0;
  unsigned long long latest_start = 0;
  do {
    wchar_t* end = nullptr;
    const unsigned long candidate = std::wcstoul(found.cFileName, &end, 10);
    if (candidate == 0 || *end != L'\0') continue;
    std::string line = ReadHostFile(L"/proc/" + std::to_wstring(candidate) + L"/cmdline");
    while (!line.empty() && line.back() == '\0') line.pop_back();
    for (char& c : line) {
      if (c == '\0') c = ' ';
    }
    if (line.size() != command.size() || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, line.data(),
                                                        static_cast<int>(line.size()), command.data(),
                                                        static_cast<int>(command.size())) != CSTR_EQUAL) {
      continue;
    }
    const std::vector<unsigned long long> stat =
        StatNumbers(ReadHostFile(L"/proc/" + std::to_wstring(candidate) + L"/stat"));
    if (stat.size() <= kStartTimeIndex) continue;
    const unsigned long long start = stat[kStartTimeIndex];
    if (pid == 0 || start >= latest_start) {
      pid = candidate;
      latest_start = start;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return pid;
}

// What the host kernel counts for a process: CPU time of all its threads, their context switches
// (the voluntary ones are wake-ups from waits and sleeps, the others preemptions) and its resident
// memory, all of it and the anonymous (private) part.
struct HostProcessSample {
  bool ok = false;
  double cpu_ms = 0;
  uint64_t voluntary = 0;
  uint64_t involuntary = 0;
  uint64_t rss_kib = 0;
  uint64_t rss_anon_kib = 0;
};

inline uint64_t StatusField(const std::string& status, const char* name) {
  const size_t at = status.find(name);
  return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + std::strlen(name), nullptr, 10);
}

inline HostProcessSample SampleHostProcess(unsigned long pid) {
  HostProcessSample sample;
  const std::wstring root = L"/proc/" + std::to_wstring(pid);
  const std::vector<unsigned long long> stat = StatNumbers(ReadHostFile(root + L"/stat"));
  if (stat.size() <= kSystemTimeIndex) return sample;
  // In ticks of 1/100 s.
  sample.cpu_ms = static_cast<double>(stat[kUserTimeIndex] + stat[kSystemTimeIndex]) * 10.0;
  const std::string status = ReadHostFile(root + L"/status");
  sample.rss_kib = StatusField(status, "\nVmRSS:");
  sample.rss_anon_kib = StatusField(status, "\nRssAnon:");

  WIN32_FIND_DATAW found;
  std::wstring pattern = L"Z:" + root + L"/task/*";
  for (wchar_t& c : pattern) {
    if (c == L'/') c = L'\\';
  }
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return sample;
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    const std::string task = ReadHostFile(root + L"/task/" + found.cFileName + L"/status");
    sample.voluntary += StatusField(task, "\nvoluntary_ctxt_switches:");
    sample.involuntary += StatusField(task, "\nnonvoluntary_ctxt_switches:");
  } while (FindNextFileW(search, &found));
  FindClose(search);
  sample.ok = true;
  return sample;
}

}  // namespace bench
