#include "app/balloon_texts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/text.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::ProcessResult;
using testing_support::RunProcess;
using testing_support::ScopedRegistryValue;

// Written here as readable text, apart from the escapes in the product's source.
const std::wstring kOldTitle = L"Lumavex";
const std::wstring kOldText = Utf8ToUtf16(u8"单击此图标打开设置，或使用鼠标右键退出程序");
const std::wstring kNewTitle = Utf8ToUtf16(u8"软件运行提示");
const std::wstring kNewText = Utf8ToUtf16(u8"单击 “Lumavex” 托盘图标打开设置，或使用鼠标右键退出程序");

bool IsOldPair(const BalloonTexts& texts) { return texts.title == kOldTitle && texts.text == kOldText; }
bool IsNewPair(const BalloonTexts& texts) { return texts.title == kNewTitle && texts.text == kNewText; }

TEST(SelectBalloonTexts, Windows81AndOlderGetTheOlderPair) {
  struct Case {
    bool known;
    DWORD major, minor;
    bool old_pair;
  } cases[] = {
      {true, 5, 1, true},   {true, 6, 0, true},   {true, 6, 1, true},  {true, 6, 2, true},
      {true, 6, 3, true},   {true, 6, 4, false},  {true, 10, 0, false}, {true, 7, 0, false},
      {false, 6, 1, false}, {false, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.known) + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
    const BalloonTexts& texts = SelectBalloonTexts(c.known, c.major, c.minor);
    EXPECT_TRUE(c.old_pair ? IsOldPair(texts) : IsNewPair(texts)) << Utf16ToUtf8(texts.title);
  }
}

TEST(SelectBalloonTexts, FitTheTrayRecord) {
  // The record holds 63 title and 255 text characters; neither text may be cut.
  for (const BalloonTexts* texts : {&SelectBalloonTexts(true, 6, 3), &SelectBalloonTexts(true, 10, 0)}) {
    EXPECT_LT(wcslen(texts->title), 64u);
    EXPECT_LT(wcslen(texts->text), 256u);
  }
}

// Run only as a child of the test below: reports the version and the pair it chose.
TEST(BalloonTextsForThisSystem, DISABLED_ChildReport) {
  DWORD major = 0, minor = 0;
  ASSERT_TRUE(ReadNtVersionNumbers(&major, &minor));
  const BalloonTexts& texts = BalloonTextsForThisSystem();
  printf("version=%lu.%lu pair=%s\n", major, minor, IsOldPair(texts) ? "old" : IsNewPair(texts) ? "new" : "none");
  fflush(stdout);
}

TEST(BalloonTextsForThisSystem, ReadsTheTrueVersion) {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  const auto rtl_get_version = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtl_get_version, nullptr);
  rtl_get_version(&info);
  DWORD major = 0, minor = 0;
  ASSERT_TRUE(ReadNtVersionNumbers(&major, &minor));
  EXPECT_EQ(major, info.dwMajorVersion);
  EXPECT_EQ(minor, info.dwMinorVersion);
}

// The Windows version Wine reports is set per program, so a child of this test program started under
// another version shows which pair a real system of that version gets.
TEST(BalloonTextsForThisSystem, FollowsTheWindowsVersion) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  const std::wstring program = path;
  const std::wstring exe_name = program.substr(program.find_last_of(L"\\/") + 1);

  struct Case {
    const wchar_t* wine_version;
    const char* expected;
  } cases[] = {
      {L"win7", "version=6.1 pair=old"},
      {L"win81", "version=6.3 pair=old"},
      {L"win10", "version=10.0 pair=new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.wine_version));
    ScopedRegistryValue version(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\" + exe_name, L"Version", 0);
    ASSERT_TRUE(version.SetString(c.wine_version));
    ProcessResult result;
    ASSERT_TRUE(RunProcess(L"\"" + program + L"\" --gtest_also_run_disabled_tests"
                           L" --gtest_filter=BalloonTextsForThisSystem.DISABLED_ChildReport", 60000,
                           &result));
    EXPECT_EQ(result.exit_code, 0u) << result.output;
    EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
  }
}

}  // namespace
