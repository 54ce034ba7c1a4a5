#include "tests/support/guarded_bytes.h"

#include <cstdio>
#include <cstring>

namespace testing_support {

namespace {

LONG WINAPI ReportFault(EXCEPTION_POINTERS* fault) {
  std::fprintf(stderr, "fault 0x%08lX at %p\n", fault->ExceptionRecord->ExceptionCode,
               fault->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void ReportFaultsAtOnce() {
  static const bool installed = (SetUnhandledExceptionFilter(ReportFault), true);
  (void)installed;
}

GuardedBytes::GuardedBytes(const std::string& bytes) {
  ReportFaultsAtOnce();
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const size_t page = info.dwPageSize;
  const size_t body = (bytes.size() + page - 1) / page * page;
  base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, body + page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD old = 0;
  if (base_ && VirtualProtect(base_ + body, page, PAGE_NOACCESS, &old)) {
    data_ = base_ + body - bytes.size();
    size_ = bytes.size();
    std::memcpy(data_, bytes.data(), bytes.size());
  }
}

GuardedBytes::~GuardedBytes() {
  if (base_) VirtualFree(base_, 0, MEM_RELEASE);
}

}  // namespace testing_support
