#include "common/system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "common/base/gdi_handles.h"
#include "common/scoped_reg_key.h"
#include "tests/support/registry_support.h"

namespace {

using testing_support::ScopedRegistryValue;

const wchar_t kOsVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

std::tm Clock(int day, int hour, int minute, int second) {
  std::tm t = {};
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(OsName, VersionTable) {
  struct Case {
    unsigned major, minor, build;
    std::string name;
  } cases[] = {
      {6, 1, 7601, "Windows 7"},
      {6, 2, 9200, "Windows 8"},
      {6, 3, 9600, "Windows 8.1"},
      {10, 0, 19045, "Windows 10"},
      {10, 0, 21999, "Windows 10"},
      {10, 0, 22000, "Windows 11"},
      {10, 0, 22631, "Windows 11"},
      {10, 1, 22631, "Windows 10"},
      {6, 0, 6002, u8"Windows 未知版本"},
      {5, 1, 2600, u8"Windows 未知版本"},
      {11, 0, 30000, u8"Windows 未知版本"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + std::to_string(c.build));
    EXPECT_EQ(OsNameFromVersion(c.major, c.minor, c.build), c.name);
  }
  // The unknown-version name goes into JSON: it must be UTF-8, not a local code page.
  const std::string unknown = OsNameFromVersion(6, 0, 6002);
  wchar_t wide[32] = {};
  ASSERT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, unknown.c_str(), -1, wide, 32), 0);
  EXPECT_STREQ(wide, L"Windows \u672A\u77E5\u7248\u672C");
}

TEST(OsName, RunningSystemAndItsFieldsAreLowerCaseUtf8) {
  unsigned long build = 0;
  const std::string name = GetOsName(&build);
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")))(&info);
  EXPECT_EQ(build, info.dwBuildNumber);
  EXPECT_EQ(name, OsNameFromVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber));

  StatFields fields;
  CollectSystemFields(&fields);
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  EXPECT_EQ(fields["osn"], lower);
  EXPECT_EQ(fields["osbn"], std::to_string(build));
  EXPECT_EQ(fields["cp"], "win32");
  // The prefix matches the build: a 32-bit Windows for the i686 build, a 64-bit one for the x86_64
  // test build.
  EXPECT_EQ(fields["osa"], sizeof(void*) == 4 ? "x86" : "x64");
  ASSERT_EQ(fields.count("ctz"), 1u);
  const int ctz = std::stoi(fields["ctz"]);
  EXPECT_GE(ctz, -720);
  EXPECT_LE(ctz, 720);
}

TEST(OsName, ArchitectureNames) {
  EXPECT_EQ(OsArchitectureName(PROCESSOR_ARCHITECTURE_AMD64), "x64");
  EXPECT_EQ(OsArchitectureName(PROCESSOR_ARCHITECTURE_INTEL), "x86");
  EXPECT_EQ(OsArchitectureName(PROCESSOR_ARCHITECTURE_ARM64), "unknown");
  EXPECT_EQ(OsArchitectureName(PROCESSOR_ARCHITECTURE_UNKNOWN), "unknown");
}

TEST(OsDisplayVersion, DisplayVersionElseReleaseIdElseEmpty) {
  ScopedRegistryValue display(HKEY_LOCAL_MACHINE, kOsVersionKey, L"DisplayVersion", 0);
  ScopedRegistryValue release(HKEY_LOCAL_MACHINE, kOsVersionKey, L"ReleaseId", 0);
  struct Case {
    const wchar_t* display;  // nullptr: value absent
    const wchar_t* release;
    std::string expected;
  } cases[] = {
      {L"22H2", L"2009", "22H2"},
      {nullptr, L"2009", "2009"},
      {nullptr, nullptr, ""},
      {L"", L"2009", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    ASSERT_TRUE(c.display ? display.SetString(c.display) : display.Remove());
    ASSERT_TRUE(c.release ? release.SetString(c.release) : release.Remove());
    EXPECT_EQ(GetOsDisplayVersion(), c.expected);
    StatFields fields;
    CollectSystemFields(&fields);
    EXPECT_EQ(fields["oskv"], c.expected);
  }

  // A value that fills the 256-byte buffer is cut at 255 characters, not read past. Binary data,
  // because the platform adds a terminator to string data and then reports the buffer as too small.
  const std::string full(256, '7');
  {
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                            KEY_SET_VALUE, key.put()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "DisplayVersion", 0, REG_BINARY,
                             reinterpret_cast<const BYTE*>(full.data()), 256),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(GetOsDisplayVersion(), std::string(255, '7'));
}

TEST(SystemFields, ExistingKeysKeepTheirValues) {
  StatFields fields = {{"cp", "mine"}, {"osn", "kept"}, {"drw", "1"}};
  CollectSystemFields(&fields);
  CollectDisplayFields(&fields);
  EXPECT_EQ(fields["cp"], "mine");
  EXPECT_EQ(fields["osn"], "kept");
  EXPECT_EQ(fields["drw"], "1");
  for (const char* key : {"osa", "osbn", "oskv", "ctz", "drh", "drd", "dpr"}) EXPECT_EQ(fields.count(key), 1u) << key;
}

TEST(TimeZone, MinutesEastOfUtcWithWrapping) {
  struct Case {
    std::tm local;
    std::tm utc;
    int minutes;
  } cases[] = {
      {Clock(1, 20, 0, 0), Clock(1, 12, 0, 0), 480},    // UTC+8
      {Clock(1, 7, 0, 0), Clock(1, 12, 0, 0), -300},    // UTC-5
      {Clock(1, 17, 30, 0), Clock(1, 12, 0, 0), 330},   // UTC+5:30
      {Clock(2, 4, 45, 0), Clock(1, 23, 0, 0), 345},    // UTC+5:45 across midnight
      {Clock(1, 21, 0, 0), Clock(2, 7, 0, 0), -600},    // UTC-10 across midnight
      {Clock(2, 1, 0, 0), Clock(1, 12, 0, 0), -660},    // UTC+13 wraps to the west on purpose
      {Clock(1, 12, 0, 0), Clock(1, 12, 0, 0), 0},
      {Clock(1, 12, 0, 59), Clock(1, 12, 0, 0), 0},     // whole minutes, truncated
      {Clock(1, 11, 59, 1), Clock(1, 12, 0, 0), 0},
      {Clock(1, 0, 0, 0), Clock(1, 12, 0, 0), -720},    // exactly half a day stays
      {Clock(1, 23, 59, 0), Clock(1, 11, 59, 0), 720},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.minutes);
    EXPECT_EQ(TimeZoneOffsetMinutes(c.local, c.utc), c.minutes);
  }
}

TEST(Memory, GibibytesRoundUp) {
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  EXPECT_EQ(RoundUpToGiB(0), 0u);
  EXPECT_EQ(RoundUpToGiB(1), 1u);
  EXPECT_EQ(RoundUpToGiB(kGiB), 1u);
  EXPECT_EQ(RoundUpToGiB(8 * kGiB), 8u);
  EXPECT_EQ(RoundUpToGiB(8 * kGiB + 1), 9u);
  EXPECT_EQ(RoundUpToGiB(~uint64_t{0}), uint64_t{1} << 34);

  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_EQ(InstalledMemoryGiB(), std::to_string(RoundUpToGiB(status.ullTotalPhys)));
}

TEST(NextMidnight, FromAKnownInstantInLocalTime) {
  // Build the instant from local calendar time so the test holds in any zone the prefix runs in.
  std::tm noon = Clock(15, 12, 0, 0);
  noon.tm_mon = 5;
  noon.tm_year = 126;
  noon.tm_isdst = -1;
  const int64_t ticks = static_cast<int64_t>(_mktime64(&noon)) * 10000000;
  EXPECT_EQ(SecondsToNextMidnightFrom(ticks, 0), 12 * 3600);
  EXPECT_EQ(SecondsToNextMidnightFrom(ticks + 5000000, 0), 12 * 3600 - 1);  // half a second truncates
  EXPECT_EQ(SecondsToNextMidnightFrom(ticks, 300), 12 * 3600 + 300);

  std::tm midnight = noon;
  midnight.tm_hour = 0;
  midnight.tm_isdst = -1;
  const int64_t at_midnight = static_cast<int64_t>(_mktime64(&midnight)) * 10000000;
  EXPECT_EQ(SecondsToNextMidnightFrom(at_midnight, 0), 86400);
  EXPECT_EQ(SecondsToNextMidnightFrom(at_midnight - 10000000, 0), 1);
}

TEST(NextMidnight, NowIsWithinADayPlusTheJitter) {
  const __time64_t now = _time64(nullptr);
  const std::tm local = *_localtime64(&now);
  const int until_midnight = 86400 - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
  for (int i = 0; i < 50; ++i) {
    const int32_t seconds = SecondsToNextMidnight();
    EXPECT_GE(seconds, until_midnight - 2);
    EXPECT_LE(seconds, until_midnight + 300);
  }
}

// Under the test session's Xvfb screen, whatever its size, the fields are what the process sees.
TEST(DisplayFields, ScreenSizeDepthAndDpi) {
  StatFields fields;
  CollectDisplayFields(&fields);
  ScopedScreenDc screen(GetDC(nullptr));
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(fields["drw"], std::to_string(GetSystemMetrics(SM_CXSCREEN)));
  EXPECT_EQ(fields["drh"], std::to_string(GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_EQ(fields["drd"], std::to_string(GetDeviceCaps(screen.get(), BITSPIXEL)));
  EXPECT_EQ(fields["dpr"], std::to_string(GetDeviceCaps(screen.get(), LOGPIXELSX)));
  EXPECT_GT(std::stoi(fields["drw"]), 0);
  EXPECT_GT(std::stoi(fields["drh"]), 0);
  EXPECT_EQ(fields["drd"], "32");
  EXPECT_EQ(fields["dpr"], "96");
  EXPECT_EQ(fields.size(), 4u);
}

}  // namespace
