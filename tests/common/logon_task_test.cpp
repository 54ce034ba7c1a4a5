#include "common/logon_task.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "common/base/com_ptr.h"
#include "common/logging.h"
#include "common/text.h"
#include "tests/support/test_support.h"

namespace {

TEST(LogonTaskDefinition, HoldsEveryValueOfTheTask) {
  const std::wstring program = L"C:\\Program Files\\X\\App.exe";
  LogonTaskDefinition d;
  ASSERT_TRUE(BuildLogonTaskDefinition(program, &d));
  EXPECT_EQ(d.folder, L"\\");
  EXPECT_EQ(d.name, L"LumavexLogonTask");
  EXPECT_EQ(d.author, L"LumavexLogonTask");
  EXPECT_EQ(d.description, GetLogonTaskDescriptions());
  EXPECT_EQ(d.run_level, 1);
  EXPECT_EQ(d.logon_type, 3);
  EXPECT_TRUE(d.settings.start_when_available);
  EXPECT_FALSE(d.settings.disallow_start_if_on_batteries);
  EXPECT_FALSE(d.settings.stop_if_going_on_batteries);
  EXPECT_EQ(d.settings.execution_time_limit, L"PT0S");
  EXPECT_FALSE(d.settings.hidden);
  EXPECT_EQ(d.settings.priority, 5);
  EXPECT_FALSE(d.settings.run_only_if_network_available);
  EXPECT_TRUE(d.settings.wake_to_run);
  EXPECT_TRUE(d.settings.allow_hard_terminate);
  EXPECT_TRUE(d.settings.enabled);
  EXPECT_EQ(d.trigger.type, 9);
  EXPECT_EQ(d.trigger.id, L"LogonTriggerId");
  EXPECT_TRUE(d.trigger.enabled);
  EXPECT_EQ(d.trigger.delay, L"PT10S");
  EXPECT_EQ(d.action.type, 0);
  EXPECT_EQ(d.action.path, program);
  EXPECT_EQ(d.action.working_directory, L"C:\\Program Files\\X");
  EXPECT_EQ(d.registration_flags, 6);
  EXPECT_EQ(d.registration_logon_type, 3);
}

TEST(LogonTaskDefinition, WorkingDirectoryAndPathLimits) {
  struct Case {
    std::wstring path;
    bool ok;
    std::wstring folder;
  } cases[] = {
      {L"C:\\App.exe", true, L"C:\\"},
      {L"D:\\a\\b\\Lumavex.exe", true, L"D:\\a\\b"},
      {L"", false, L""},
      {L"C:\\" + std::wstring(MAX_PATH - 4, L'a'), true, L"C:\\"},
      {L"C:\\" + std::wstring(MAX_PATH, L'a'), false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.size());
    LogonTaskDefinition d;
    EXPECT_EQ(BuildLogonTaskDefinition(c.path, &d), c.ok);
    if (c.ok) {
      EXPECT_EQ(d.action.working_directory, c.folder);
    }
  }
}

TEST(LogonTaskDescriptions, EnglishAndChineseTexts) {
  const auto& table = LogonTaskDescriptionTable();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(Utf16ToUtf8(table.at(L"default")),
            "This task automatically starts the \"LumavexUtility\" when you log in. If this task is disabled or "
            "deleted, you will need to manually start the program after restarting your computer to restore the "
            "\"Lumavex\" function.");
  EXPECT_EQ(Utf16ToUtf8(table.at(L"zh-cn")),
            u8"此任务可在您登陆时自动启动“Lumavex”。如果此任务被禁用或删除，则您需要在重启电脑后手动启动程序才能恢复“Lumavex”功能。");
  EXPECT_EQ(SelectLocalizedText(table, L"zh-cn"), table.at(L"zh-cn"));
  EXPECT_EQ(SelectLocalizedText(table, L"zh-tw"), table.at(L"default"));
}

// Against the platform's Task Scheduler for real: it registers, finds and deletes the task even
// though it refuses the logon trigger and run level.
TEST(LogonTaskScheduler, CreateExistsDeleteAndDeleteAgain) {
  ScopedComApartment com;
  ASSERT_TRUE(com.usable());
  testing_support::TempDir dir;
  ASSERT_TRUE(InitLogger(dir.File(L"task.log"), "lumavex_log"));

  DeleteLogonTask();
  EXPECT_FALSE(LogonTaskExists());
  EXPECT_TRUE(CreateLogonTask(L"C:\\Program Files\\Lumavex\\Lumavex.exe"));
  EXPECT_TRUE(LogonTaskExists());
  {
    // The platform keeps the registration info and the settings in its task file; each value below
    // differs from the scheduler's default, so finding it shows the definition reached the platform.
    wchar_t system[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::string stored =
        testing_support::ReadFileBytes(std::wstring(system) + L"\\tasks\\LumavexLogonTask");
    const std::string expected[] = {
        "<Author>LumavexLogonTask</Author>",
        "<Description>" + Utf16ToUtf8(GetLogonTaskDescriptions()) + "</Description>",
        "<StartWhenAvailable>true</StartWhenAvailable>",
        "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
        "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>",
        "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>",
        "<Priority>5</Priority>",
        "<WakeToRun>true</WakeToRun>",
        "<Enabled>true</Enabled>",
    };
    for (const auto& element : expected) EXPECT_NE(stored.find(element), std::string::npos) << element << "\n" << stored;
  }
  // A second registration replaces the first.
  EXPECT_TRUE(CreateLogonTask(std::wstring()));
  EXPECT_TRUE(LogonTaskExists());
  EXPECT_TRUE(DeleteLogonTask());
  EXPECT_FALSE(LogonTaskExists());
  EXPECT_FALSE(DeleteLogonTask());
  ShutdownLogger();
}

// A folder where the task file belongs makes the platform refuse the registration with access denied,
// as it does for a user without administrator rights.
TEST(LogonTaskScheduler, RefusedRegistrationIsLoggedWithCodeAndSystemText) {
  ScopedComApartment com;
  testing_support::TempDir dir;
  const std::wstring log = dir.File(L"task.log");
  ASSERT_TRUE(InitLogger(log, "lumavex_log"));
  DeleteLogonTask();
  wchar_t system[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring blocker = std::wstring(system) + L"\\tasks\\LumavexLogonTask";
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));

  const bool created = CreateLogonTask(L"C:\\Program Files\\Lumavex\\Lumavex.exe");
  RemoveDirectoryW(blocker.c_str());
  EXPECT_FALSE(created);

  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(E_ACCESSDENIED), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                 reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  const std::string expected = "[E] Register LumavexLogonTask failed,err code:5,error text:" + Utf16ToUtf8(text);
  LocalFree(text);
  FlushLogger();
  const std::string written = testing_support::ReadFileBytes(log);
  EXPECT_NE(written.find(expected), std::string::npos) << written;
  ShutdownLogger();
}

TEST(LogonTaskScheduler, OverlongProgramPathFailsWithoutRegistering) {
  ScopedComApartment com;
  DeleteLogonTask();
  EXPECT_FALSE(CreateLogonTask(L"C:\\" + std::wstring(400, L'x') + L".exe"));
  EXPECT_FALSE(LogonTaskExists());
}

}  // namespace
