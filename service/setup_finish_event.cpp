#include "service/setup_finish_event.h"

#include <sddl.h>

#include "common/logging.h"
#include "service/service_names.h"

namespace {

// EVENT_MODIFY_STATE | SYNCHRONIZE for everyone.
constexpr wchar_t kEventSddl[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x100002;;;WD)";
constexpr int64_t kTicksPerHour = 36000000000LL;
// 1601-01-01 to 1970-01-01 in 100 ns ticks.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;

}  // namespace

HANDLE CreateSetupFinishEvent() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kEventSddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    LOG_ERROR << "ConvertStringSecurityDescriptorToSecurityDescriptor";
    descriptor = nullptr;
  }
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
  HANDLE event = CreateEventW(descriptor != nullptr ? &attributes : nullptr, TRUE, FALSE, kSetupFinishEventName);
  if (event == nullptr) LOG_ERROR << "CreateEvent failed";
  if (descriptor != nullptr) LocalFree(descriptor);
  return event;
}

int64_t OnlineDays(int64_t start_ticks, int64_t now_ticks) {
  const int64_t hours = (now_ticks - start_ticks) / kTicksPerHour;
  return hours / 24;
}

int64_t SystemClockTicks() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  return ticks - kUnixEpochTicks;
}
