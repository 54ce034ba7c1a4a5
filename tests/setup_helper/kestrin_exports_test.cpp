#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/base/com_ptr.h"
#include "common/logon_task.h"
#include "common/program_path.h"
#include "common/base/scoped_handle.h"
#include "tests/setup_helper/kestrin_library.h"
#include "tests/support/pe_exports.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempDir;

std::wstring KestrinPath() { return ProgramFolder() + L"..\\loopback\\Kestrin.dll"; }

std::string Ansi(const std::wstring& text) {
  std::string ansi;
  testing_support::ToAnsi(text, &ansi);
  return ansi;
}

TEST(KestrinExports, ExportTableHoldsExactlyTheSixUndecoratedNames) {
  for (const std::wstring& path : {ProgramFolder() + L"..\\bin\\Kestrin.dll", KestrinPath()}) {
    std::vector<std::string> names;
    WORD machine = 0;
    ASSERT_TRUE(testing_support::ReadPeExportNames(path, &names, &machine));
    // Built by the same compiler as this test: 32-bit x86 for what ships, x86-64 for the test build of
    // hosts that run 64-bit programs only.
    EXPECT_EQ(machine, sizeof(void*) == 4 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"CreateScheduledTask", "DeleteScheduledTask", "GetDeviceUniqueID",
                                               "NotifySetupFinish", "SendEventStatistics",
                                               "UpdateScheduledTaskConfig"}));
  }
}

TEST(KestrinExports, DeviceIdCopiesOnlyWhatFits) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  char id[64];
  memset(id, 'x', sizeof(id));
  kestrin.GetDeviceUniqueID(id, sizeof(id));
  ASSERT_EQ(strlen(id), 42u);
  for (int i = 0; i < 42; ++i) EXPECT_TRUE(isxdigit(static_cast<unsigned char>(id[i])) && !isupper(id[i]));

  struct Case {
    int size;
    const char* expected;  // null: the buffer is left untouched
  } cases[] = {{43, id}, {42, ""}, {10, ""}, {1, ""}, {0, nullptr}, {-5, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    char buffer[80];
    memset(buffer, '#', sizeof(buffer));
    kestrin.GetDeviceUniqueID(buffer, c.size);
    if (c.expected == nullptr) {
      EXPECT_EQ(buffer[0], '#');
    } else {
      EXPECT_STREQ(buffer, c.expected);
    }
    // Nothing past the given size is ever written.
    for (int i = std::max(c.size, 0); i < 80; ++i) ASSERT_EQ(buffer[i], '#') << i;
  }
  kestrin.GetDeviceUniqueID(nullptr, 64);
}

TEST(KestrinExports, UpdateScheduledTaskConfigWritesAutoRunInTheGivenFolder) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  TempDir dir;
  const std::string folder = Ansi(dir.path());
  for (int enable : {1, 0}) {
    EXPECT_EQ(kestrin.UpdateScheduledTaskConfig(folder.c_str(), enable), TRUE);
    EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"AutoRun", -1, dir.File(L"config.ini").c_str()), enable);
  }
  // A trailing back slash on the folder makes no difference.
  EXPECT_EQ(kestrin.UpdateScheduledTaskConfig((folder + "\\").c_str(), 1), TRUE);
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"AutoRun", -1, dir.File(L"config.ini").c_str()), 1);
  EXPECT_EQ(kestrin.UpdateScheduledTaskConfig("Q:\\no\\such\\folder", 1), FALSE);

  // No folder is no place to write: a bare file name would end up in the Windows folder.
  wchar_t windows[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::wstring stray = std::wstring(windows) + L"\\config.ini";
  DeleteFileW(stray.c_str());
  EXPECT_EQ(kestrin.UpdateScheduledTaskConfig("", 1), FALSE);
  EXPECT_EQ(kestrin.UpdateScheduledTaskConfig(nullptr, 1), FALSE);
  EXPECT_EQ(GetFileAttributesW(stray.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(KestrinExports, NotifySetupFinishSignalsTheServiceEvent) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  ScopedHandle event(CreateEventW(nullptr, TRUE, FALSE, L"Global\\LumavexSetupFinish"));
  ASSERT_TRUE(event.valid());
  kestrin.NotifySetupFinish();
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
}

}  // namespace
