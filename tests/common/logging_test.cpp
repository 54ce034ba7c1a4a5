#include "common/logging.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <set>
#include <string>
#include <thread>

#include "common/text.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::SplitLines;
using testing_support::TempDir;

class Logging : public testing::Test {
 protected:
  void TearDown() override { ShutdownLogger(); }

  std::vector<std::string> Lines(const std::wstring& path) {
    FlushLogger();
    return SplitLines(ReadFileBytes(path));
  }
};

const std::regex kLine(
    R"(^\[(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) [+-]\d\d:\d\d\] \[PID:(\d+)\] \[TID:(\d+)\] \[([a-z_]+)\] \[([A-Z])\] (.*)$)");

TEST_F(Logging, LinesFromTwoThreadsAreWholeAndCarryTheirThreadId) {
  TempDir dir;
  const std::wstring path = dir.File(L"lumavex.log");
  ASSERT_TRUE(InitLogger(path, "lumavex_log"));

  DWORD tids[2] = {};
  auto writer = [&](int index) {
    tids[index] = GetCurrentThreadId();
    for (int i = 0; i < 200; ++i) LOG_INFO << "thread " << index << " line " << i << " " << std::string(80, 'x');
  };
  std::thread a(writer, 0), b(writer, 1);
  a.join();
  b.join();

  const auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 400u);
  int counts[2] = {};
  for (const auto& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, kLine)) << line;
    EXPECT_EQ(m[2].str(), std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(m[4].str(), "lumavex_log");
    EXPECT_EQ(m[5].str(), "I");
    const int index = m[6].str()[7] - '0';
    ASSERT_TRUE(index == 0 || index == 1) << line;
    EXPECT_EQ(m[3].str(), std::to_string(tids[index])) << line;
    EXPECT_EQ(m[6].str().size(), std::string("thread 0 line ").size() + std::to_string(counts[index]).size() + 81);
    ++counts[index];
  }
  EXPECT_EQ(counts[0], 200);
  EXPECT_EQ(counts[1], 200);
  EXPECT_NE(tids[0], tids[1]);
}

TEST_F(Logging, LevelsBelowInfoAreDroppedAndBracesStayLiteral) {
  TempDir dir;
  const std::wstring path = dir.File(L"levels.log");
  ASSERT_TRUE(InitLogger(path, "lumavex_log"));
  LogStream(LogStream::kDebug) << "debug line";
  LogStream(0) << "trace line";
  LOG_INFO << "info {} {0} %s";
  LOG_WARN << "warning " << 42;
  LOG_ERROR << "error " << 1.5;

  const auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 3u);
  const char* expected[][2] = {{"I", "info {} {0} %s"}, {"W", "warning 42"}, {"E", "error 1.5"}};
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i], m, kLine)) << lines[i];
    EXPECT_EQ(m[5].str(), expected[i][0]);
    EXPECT_EQ(m[6].str(), expected[i][1]);
  }
}

TEST_F(Logging, RotatesToExactlyTwoFiles) {
  TempDir dir;
  const std::wstring path = dir.File(L"rotate.log");
  ASSERT_TRUE(InitLogger(path, "lumavex_log"));
  const std::string payload(1000, 'r');
  // About 11 MiB: enough for two rotations, which must still leave only one rotated file.
  for (int i = 0; i < 11 * 1024; ++i) LOG_INFO << payload;
  FlushLogger();

  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(FileExists(dir.File(L"rotate.1.log")));
  EXPECT_FALSE(FileExists(dir.File(L"rotate.2.log")));
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExW(dir.File(L"rotate.1.log").c_str(), GetFileExInfoStandard, &data));
  EXPECT_LE(data.nFileSizeLow, 0x500000u);
  EXPECT_GT(data.nFileSizeLow, 0x500000u - 2000);
}

TEST_F(Logging, AppendsToAnExistingFile) {
  TempDir dir;
  const std::wstring path = dir.File(L"append.log");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, "earlier line\r\n"));
  ASSERT_TRUE(InitLogger(path, "lumavex_log"));
  LOG_INFO << "later line";
  const auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "earlier line");
}

TEST_F(Logging, NonAsciiFoldersHoldAWorkingLog) {
  for (const wchar_t* user : {L"Zo\u00eb", L"\u7528\u6237"}) {
    TempDir dir;
    const std::wstring folder = dir.File(user);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\lumavex.log";
    ASSERT_TRUE(InitLogger(path, "lumavex_log")) << Utf16ToUtf8(user);
    LOG_INFO << "hello " << Utf16ToUtf8(user);
    const auto lines = Lines(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("hello " + Utf16ToUtf8(user)), std::string::npos);
    ShutdownLogger();
  }
}

TEST_F(Logging, AFileThatCannotBeOpenedLeavesTheProcessRunning) {
  TempDir dir;
  // A folder where the file should be: the sink cannot open it.
  const std::wstring path = dir.File(L"taken.log");
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_FALSE(InitLogger(path, "lumavex_log"));
  LOG_INFO << "still alive";
  EXPECT_FALSE(InitLogger(std::wstring(), "lumavex_log"));
}

TEST_F(Logging, TemporaryFolderPathsPerDeliverable) {
  const std::wstring tray = TempLogFilePath(L"lumavex", L"lumavex.log", true);
  ASSERT_FALSE(tray.empty());
  EXPECT_EQ(tray.find(L'\\'), std::wstring::npos);
  EXPECT_EQ(tray.substr(tray.size() - 20), L"/lumavex/lumavex.log");

  const std::wstring helper = TempLogFilePath(L"lumavex", L"Kestrin.log");
  EXPECT_EQ(helper.substr(helper.size() - 20), L"\\lumavex\\Kestrin.log");
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  EXPECT_EQ(helper.rfind(temp, 0), 0u);
  EXPECT_TRUE(FileExists(std::wstring(temp) + L"lumavex"));
}

}  // namespace
