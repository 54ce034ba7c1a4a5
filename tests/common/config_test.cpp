#include "common/config.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/base/com_ptr.h"
#include "common/logon_task.h"
#include "common/program_path.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// The keys and values of the "Setting" section, as the profile functions see them.
std::vector<std::wstring> SectionEntries(const std::wstring& ini) {
  std::vector<wchar_t> buffer(4096, L'\0');
  const DWORD length = GetPrivateProfileSectionW(L"Setting", buffer.data(), static_cast<DWORD>(buffer.size()), ini.c_str());
  std::vector<std::wstring> entries;
  for (const wchar_t* p = buffer.data(); p < buffer.data() + length && *p != L'\0'; p += wcslen(p) + 1) {
    entries.emplace_back(p);
  }
  return entries;
}

// Non-ASCII folder names catch any narrow profile or path call.
class ConfigTest : public ::testing::Test {
 protected:
  TempDir dir_{L"lumavex-配置-Zoë"};
  std::wstring ini_ = dir_.File(L"config.ini");
};

TEST_F(ConfigTest, ValuesBeforeLoading) {
  Config config;
  EXPECT_TRUE(config.enable_shake);
  EXPECT_TRUE(config.auto_run);
  EXPECT_FALSE(config.game_mode);
  EXPECT_EQ(config.scale_factor, 3);
  EXPECT_EQ(config.restore_delay, 200);
  EXPECT_EQ(config.ini_path, L"");
  EXPECT_EQ(&Config::GetInstance(), &Config::GetInstance());
}

TEST_F(ConfigTest, MissingFileGivesFileDefaultsAndIsNotCreated) {
  Config config;
  config.Load(dir_.path());
  EXPECT_EQ(config.ini_path, ini_);
  EXPECT_TRUE(config.enable_shake);
  EXPECT_FALSE(config.auto_run);
  EXPECT_TRUE(config.game_mode);
  EXPECT_EQ(config.scale_factor, 3);
  EXPECT_FALSE(FileExists(ini_));

  // A trailing separator on the folder makes no double one.
  config.Load(dir_.path() + L"\\");
  EXPECT_EQ(config.ini_path, ini_);

  // By default the file is the one beside the program.
  const std::wstring beside = ProgramFolder() + L"config.ini";
  ASSERT_FALSE(FileExists(beside));
  Config program_config;
  program_config.Load();
  EXPECT_EQ(program_config.ini_path, beside);
  EXPECT_FALSE(program_config.auto_run);
  EXPECT_FALSE(FileExists(beside));
}

TEST_F(ConfigTest, LoadsValuesWithTheirRanges) {
  struct Case {
    const char* lines;
    bool shake;
    bool game;
    int scale;
  } cases[] = {
      {"EnableShake=0\r\nGameModeEnable=0\r\nScaleFactor=5\r\n", false, false, 5},
      {"EnableShake=1\r\nGameModeEnable=1\r\nScaleFactor=2\r\n", true, true, 2},
      {"EnableShake=2\r\nScaleFactor=4\r\n", true, true, 4},
      {"ScaleFactor=1\r\n", true, true, 3},
      {"ScaleFactor=6\r\n", true, true, 3},
      {"ScaleFactor=-1\r\n", true, true, 3},
      {"EnableShake=abc\r\nScaleFactor=abc\r\n", false, true, 3},  // not a number reads as 0
      {"EnableShake=\r\nScaleFactor=\r\n", true, true, 3},         // empty reads as the default
      {"ScaleFactor= 4x\r\n", true, true, 4},
      {"[Other]\r\nEnableShake=0\r\n", true, true, 3},              // another section is not read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    const std::string text = std::string(c.lines).rfind("[", 0) == 0 ? c.lines : std::string("[Setting]\r\n") + c.lines;
    ASSERT_TRUE(WriteFileBytes(ini_, text));
    Config config;
    config.Load(dir_.path());
    EXPECT_EQ(config.enable_shake, c.shake);
    EXPECT_FALSE(config.auto_run);
    EXPECT_EQ(config.game_mode, c.game);
    EXPECT_EQ(config.scale_factor, c.scale);
  }
}

TEST_F(ConfigTest, FirstChangeCreatesTheFileWithThatOneKey) {
  Config config;
  config.Load(dir_.path());
  config.SetScaleFactor(4);
  ASSERT_TRUE(FileExists(ini_));
  EXPECT_EQ(SectionEntries(ini_), std::vector<std::wstring>{L"ScaleFactor=4"});
}

TEST_F(ConfigTest, SettersStoreAndWriteTheirTexts) {
  Config config;
  config.Load(dir_.path());
  config.SetEnableShake(false);
  config.SetAutoRun(false);
  config.SetGameModeEnable(true);
  config.SetScaleFactor(5);
  EXPECT_FALSE(config.enable_shake);
  EXPECT_FALSE(config.auto_run);
  EXPECT_TRUE(config.game_mode);
  EXPECT_EQ(config.scale_factor, 5);
  EXPECT_EQ(SectionEntries(ini_),
            (std::vector<std::wstring>{L"EnableShake=0", L"AutoRun=0", L"GameModeEnable=1", L"ScaleFactor=5"}));

  config.SetEnableShake(true);
  config.SetGameModeEnable(false);
  EXPECT_EQ(SectionEntries(ini_),
            (std::vector<std::wstring>{L"EnableShake=1", L"AutoRun=0", L"GameModeEnable=0", L"ScaleFactor=5"}));

  // What was written is what the next start reads.
  Config next;
  next.Load(dir_.path());
  EXPECT_TRUE(next.enable_shake);
  EXPECT_FALSE(next.game_mode);
  EXPECT_EQ(next.scale_factor, 5);
}

TEST_F(ConfigTest, ScaleFactorSetterRange) {
  struct Case {
    int32_t given;
    int32_t stored;
    const wchar_t* text;
  } cases[] = {
      {2, 2, L"ScaleFactor=2"}, {5, 5, L"ScaleFactor=5"}, {1, 3, L"ScaleFactor=3"},
      {6, 3, L"ScaleFactor=3"}, {20, 3, L"ScaleFactor=3"}, {-4, 3, L"ScaleFactor=3"},
  };
  Config config;
  config.Load(dir_.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    config.SetScaleFactor(c.given);
    EXPECT_EQ(config.scale_factor, c.stored);
    EXPECT_EQ(SectionEntries(ini_), std::vector<std::wstring>{c.text});
  }
}

TEST_F(ConfigTest, AFailedWriteIsLoggedAndKeepsTheValueInMemory) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  Config config;
  config.Load(dir_.File(L"missing folder"));  // the profile functions do not make folders
  config.SetScaleFactor(4);
  config.SetEnableShake(false);
  EXPECT_EQ(config.scale_factor, 4);
  EXPECT_FALSE(config.enable_shake);
  const auto errors = log.Messages('E');
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("write config.ini ScaleFactor failed: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind("write config.ini EnableShake failed: ", 0), 0u) << errors[1];
}

TEST_F(ConfigTest, SettersWithoutAFileKeepTheValueInMemory) {
  Config config;  // never loaded: no path to write to
  config.SetScaleFactor(4);
  config.SetAutoRun(false);
  EXPECT_EQ(config.scale_factor, 4);
  EXPECT_FALSE(config.auto_run);
  EXPECT_FALSE(FileExists(ini_));
}

// Against the platform's Task Scheduler: loading with auto run on puts a missing task back and
// leaves an existing one alone; auto run off never touches it.
TEST_F(ConfigTest, LoadingRepairsTheLogonTaskOnlyWhenAutoRunIsOn) {
  ScopedComApartment com;
  ASSERT_TRUE(com.usable());

  DeleteLogonTask();
  ASSERT_TRUE(WriteFileBytes(ini_, "[Setting]\r\nAutoRun=0\r\n"));
  Config off;
  off.Load(dir_.path());
  EXPECT_FALSE(off.auto_run);
  EXPECT_FALSE(LogonTaskExists()) << "auto run off must not create the task";

  ASSERT_TRUE(WriteFileBytes(ini_, "[Setting]\r\nAutoRun=1\r\n"));
  Config on;
  on.Load(dir_.path());
  EXPECT_TRUE(on.auto_run);
  EXPECT_TRUE(LogonTaskExists()) << "a missing task is registered again";

  ASSERT_TRUE(WriteFileBytes(ini_, "[Setting]\r\nAutoRun=0\r\n"));
  Config off_with_task;
  off_with_task.Load(dir_.path());
  EXPECT_TRUE(LogonTaskExists()) << "auto run off leaves an existing task alone";

  EXPECT_TRUE(DeleteLogonTask());
}

}  // namespace
