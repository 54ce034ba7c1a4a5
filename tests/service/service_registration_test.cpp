// The fixed texts of registration: host command line, localized names and error results.
#include <gtest/gtest.h>
#include <windows.h>

#include "service/service_registration.h"

namespace {

TEST(Registration, HostCommandLine) {
  EXPECT_EQ(ServiceBinaryPath(false), L"%SystemRoot%\\System32\\svchost.exe -k LumavexUtilityGroup");
  // A 32-bit library on 64-bit Windows needs the 32-bit host.
  EXPECT_EQ(ServiceBinaryPath(true), L"%SystemRoot%\\SysWOW64\\svchost.exe -k LumavexUtilityGroup");
}

TEST(Registration, LocalizedTexts) {
  struct Case {
    const wchar_t* locale;
    const wchar_t* name;
    const wchar_t* description;
  };
  const Case cases[] = {
      {L"en-us", L"Lumavex Utility", L"This service ensures that the Lumavex Utility is always up-to-date."},
      {L"zh-hk", L"Lumavex Utility", L"This service ensures that the Lumavex Utility is always up-to-date."},
      {L"zh-cn", L"Lumavex\u670d\u52a1", L"\u8be5\u670d\u52a1\u7528\u4e8e\u786e\u4fddLumavex\u59cb\u7ec8\u5904\u4e8e\u6700\u65b0\u7248\u672c"},
      {L"zh-tw", L"Lumavex\u670d\u52d9", L"\u8a72\u670d\u52d9\u7528\u65bc\u78ba\u4fddLumavex\u59cb\u7d42\u8655\u65bc\u6700\u65b0\u7248\u672c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ServiceDisplayName(c.locale), c.name);
    EXPECT_EQ(ServiceDescription(c.locale), c.description);
  }
}

TEST(Registration, ErrorsBecomeHresults) {
  EXPECT_EQ(HresultFromError(ERROR_ACCESS_DENIED), static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(HresultFromError(1060), static_cast<HRESULT>(0x80070424));
  // A failure that left no error code is still a failure.
  EXPECT_EQ(HresultFromError(0), E_FAIL);
}

}  // namespace
