#include "common/system_info.h"

#include <windows.h>

#include <chrono>
#include <random>
#include <vector>

#include "common/base/gdi_handles.h"
#include "common/registry.h"
#include "common/scoped_reg_key.h"

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int kSecondsPerDay = 86400;
constexpr int kMaxMidnightJitter = 300;

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

int SecondOfDay(const std::tm& t) { return t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec; }

bool ReadOsVersionValue(HKEY key, const char* name, std::string* out) {
  char buffer[256] = {};
  DWORD size = sizeof(buffer);
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
    return false;
  }
  *out = RegistryNarrowText(buffer, size, sizeof(buffer) - 1);
  return true;
}

}  // namespace

std::string OsNameFromVersion(unsigned major, unsigned minor, unsigned build) {
  const char* version = u8"未知版本";
  if (major == 6) {
    if (minor == 1) version = "7";
    if (minor == 2) version = "8";
    if (minor == 3) version = "8.1";
  } else if (major == 10) {
    version = (minor == 0 && build >= 22000) ? "11" : "10";
  }
  return std::string("Windows ") + version;
}

std::string GetOsName(unsigned long* build) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return std::string();
  auto rtl_get_version =
      reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (rtl_get_version == nullptr) return std::string();
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  rtl_get_version(&info);
  if (build != nullptr) *build = info.dwBuildNumber;
  return OsNameFromVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
}

std::string GetOsDisplayVersion() {
  ScopedRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ,
                    key.put()) != ERROR_SUCCESS) {
    return std::string();
  }
  std::string version;
  if (!ReadOsVersionValue(key.get(), "DisplayVersion", &version)) {
    ReadOsVersionValue(key.get(), "ReleaseId", &version);
  }
  return version;
}

std::string OsArchitectureName(unsigned architecture) {
  if (architecture == PROCESSOR_ARCHITECTURE_AMD64) return "x64";
  if (architecture == PROCESSOR_ARCHITECTURE_INTEL) return "x86";
  return "unknown";
}

int TimeZoneOffsetMinutes(const std::tm& local, const std::tm& utc) {
  int difference = SecondOfDay(local) - SecondOfDay(utc);
  if (difference < -kSecondsPerDay / 2) difference += kSecondsPerDay;
  if (difference > kSecondsPerDay / 2) difference -= kSecondsPerDay;
  return difference / 60;
}

uint64_t RoundUpToGiB(uint64_t bytes) {
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  return bytes / kGiB + (bytes % kGiB != 0 ? 1 : 0);
}

std::string InstalledMemoryGiB() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return "0";
  return std::to_string(RoundUpToGiB(status.ullTotalPhys));
}

void CollectSystemFields(StatFields* fields) {
  if (fields == nullptr) return;
  fields->emplace("cp", "win32");

  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  fields->emplace("osa", OsArchitectureName(system.wProcessorArchitecture));

  unsigned long build = 0;
  fields->emplace("osn", AsciiLower(GetOsName(&build)));
  fields->emplace("osbn", std::to_string(build));
  fields->emplace("oskv", GetOsDisplayVersion());

  const __time64_t now = _time64(nullptr);
  const std::tm* local = _localtime64(&now);
  if (local == nullptr) return;
  const std::tm local_copy = *local;  // both calls share one static result
  const std::tm* utc = _gmtime64(&now);
  if (utc == nullptr) return;
  fields->emplace("ctz", std::to_string(TimeZoneOffsetMinutes(local_copy, *utc)));
}

void CollectDisplayFields(StatFields* fields) {
  if (fields == nullptr) return;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  int depth = 0;
  int dpi = 0;
  {
    ScopedScreenDc screen(GetDC(nullptr));
    if (!screen) return;
    depth = GetDeviceCaps(screen.get(), BITSPIXEL);
    dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  fields->emplace("drw", std::to_string(width));
  fields->emplace("drh", std::to_string(height));
  fields->emplace("drd", std::to_string(depth));
  fields->emplace("dpr", std::to_string(dpi));
}

int32_t SecondsToNextMidnightFrom(int64_t now_ticks, int jitter) {
  const __time64_t seconds = now_ticks / kTicksPerSecond;
  const std::tm* local = _localtime64(&seconds);
  if (local == nullptr) return kSecondsPerDay + jitter;
  std::tm midnight = *local;
  midnight.tm_hour = 0;
  midnight.tm_min = 0;
  midnight.tm_sec = 0;
  // Let the conversion decide daylight saving for midnight itself: the current flag may differ on
  // the day the clocks change.
  midnight.tm_isdst = -1;
  const __time64_t today = _mktime64(&midnight);
  if (today == -1) return kSecondsPerDay + jitter;
  const int64_t next = static_cast<int64_t>(today) + kSecondsPerDay;
  return static_cast<int32_t>((next * kTicksPerSecond - now_ticks) / kTicksPerSecond) + jitter;
}

int32_t SecondsToNextMidnight() {
  const int64_t now_ticks =
      std::chrono::duration_cast<std::chrono::duration<int64_t, std::ratio<1, kTicksPerSecond>>>(
          std::chrono::system_clock::now().time_since_epoch())
          .count();
  std::random_device device;
  std::mt19937 generator(device());
  std::uniform_int_distribution<int> jitter(0, kMaxMidnightJitter);
  return SecondsToNextMidnightFrom(now_ticks, jitter(generator));
}
