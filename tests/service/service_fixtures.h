#pragma once

#include <windows.h>

#include <string>

#include "common/program_path.h"
#include "service/md5.h"
#include "service/session_launcher.h"
#include "tests/support/pe_exports.h"
#include "tests/support/test_support.h"

namespace service_testing {

// The stand-in setup package built beside the tests, with the file version 1.2.0.7.
inline std::wstring SetupFixturePath() { return ProgramFolder() + L"setup_fixture.exe"; }
constexpr char kFixtureVersion[] = "1.2.0.7";

inline std::string SetupFixtureBytes() { return testing_support::ReadFileBytes(SetupFixturePath()); }

inline std::string Md5HexOf(const std::string& bytes) {
  uint8_t digest[16];
  Md5(bytes.data(), bytes.size(), digest);
  return Md5Hex(digest);
}

// What the fixture wrote when it ran: its command line and its current folder; "" until it has run.
inline std::wstring ReadRunRecord(const std::wstring& package, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    const std::string bytes = testing_support::ReadFileBytes(package + L".ran");
    if (!bytes.empty() || GetTickCount64() >= deadline) {
      return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }
    Sleep(50);
  }
}

// Wine starts a session's explorer.exe (its desktop process) on first need; asking for the desktop
// window is such a need. The process id, or 0 when none came within 10 s.
inline DWORD WaitForExplorer(DWORD session) {
  GetDesktopWindow();
  const ULONGLONG deadline = GetTickCount64() + 10000;
  DWORD explorer = 0;
  while ((explorer = FindExplorerProcess(session)) == 0 && GetTickCount64() < deadline) Sleep(100);
  return explorer;
}

}  // namespace service_testing
