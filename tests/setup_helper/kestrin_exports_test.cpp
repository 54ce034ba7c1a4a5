#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "common/logon_task.h"
#include "tests/setup_helper/kestrin_library.h"
#include "tests/support/pe_exports.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::TestProgramFolder;

std::wstring KestrinPath() { return TestProgramFolder() + L"..\\loopback\\Kestrin.dll"; }

std::string Ansi(const std::wstring& text) {
  std::string ansi;
  testing_support::ToAnsi(text, &ansi);
  return ansi;
}

// Calls a function with the given 32-bit arguments pushed right to left and returns how far the stack
// pointer moved across the call: 0 when the callee removed exactly its arguments, as __stdcall must.
__attribute__((noinline)) int StackDeltaOfCall(void* fn, const uint32_t* args, int count) {
  int delta;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "movl %[count], %%ecx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%[args],%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%[fn]\n\t"
      "movl %%esp, %%eax\n\t"
      "subl %%esi, %%eax\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(delta)
      : [fn] "b"(fn), [args] "D"(args), [count] "m"(count)
      : "ecx", "edx", "esi", "memory", "cc");
  return delta;
}

TEST(KestrinExports, ExportTableHoldsExactlyTheSixUndecoratedNames) {
  for (const std::wstring& path : {TestProgramFolder() + L"..\\bin\\Kestrin.dll", KestrinPath()}) {
    std::vector<std::string> names;
    ASSERT_TRUE(testing_support::ReadPeExportNames(path, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"CreateScheduledTask", "DeleteScheduledTask", "GetDeviceUniqueID",
                                               "NotifySetupFinish", "SendEventStatistics",
                                               "UpdateScheduledTaskConfig"}));
  }
}

TEST(KestrinExports, EveryExportRemovesItsOwnArguments) {
  KestrinLibrary kestrin(KestrinPath());
  ASSERT_TRUE(kestrin.loaded());
  TempDir dir;
  const std::string folder = Ansi(dir.path());
  char buffer[64] = {};
  const uint32_t no_args[1] = {};
  const uint32_t id_args[] = {reinterpret_cast<uint32_t>(buffer), sizeof(buffer)};
  const uint32_t config_args[] = {reinterpret_cast<uint32_t>(folder.c_str()), 1};
  uint32_t event_args[14] = {};
  event_args[4] = reinterpret_cast<uint32_t>("event");
  event_args[5] = reinterpret_cast<uint32_t>("stack_check");
  // Null event key and value: nothing to send, and nothing to crash on.
  const uint32_t no_event_args[14] = {};
  struct Case {
    const char* name;
    void* fn;
    const uint32_t* args;
    int count;
  } cases[] = {
      {"GetDeviceUniqueID", reinterpret_cast<void*>(kestrin.GetDeviceUniqueID), id_args, 2},
      {"UpdateScheduledTaskConfig", reinterpret_cast<void*>(kestrin.UpdateScheduledTaskConfig), config_args, 2},
      {"NotifySetupFinish", reinterpret_cast<void*>(kestrin.NotifySetupFinish), no_args, 0},
      {"SendEventStatistics", reinterpret_cast<void*>(kestrin.SendEventStatistics), event_args, 14},
      {"SendEventStatistics without an event", reinterpret_cast<void*>(kestrin.SendEventStatistics), no_event_args, 14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StackDeltaOfCall(c.fn, c.args, c.count), 0);
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
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, L"Global\\LumavexSetupFinish");
  ASSERT_NE(event, nullptr);
  kestrin.NotifySetupFinish();
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

}  // namespace
