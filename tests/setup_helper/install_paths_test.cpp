#include "setup_helper/install_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(InstallPaths, ProgramAndConfigLieInTheGivenFolder) {
  struct Case {
    const char* folder;
    const wchar_t* dir;
  } cases[] = {
      {"C:\\Program Files\\Lumavex", L"C:\\Program Files\\Lumavex\\"},
      {"C:\\Program Files\\Lumavex\\", L"C:\\Program Files\\Lumavex\\"},
      {"D:/apps/Lumavex/", L"D:/apps/Lumavex/"},
      {"E:\\", L"E:\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::wstring dir = MakeInstallDirPath(c.folder);
    EXPECT_EQ(dir, c.dir);
    EXPECT_EQ(MakeMainExePath(dir), std::wstring(c.dir) + L"Lumavex.exe");
    EXPECT_EQ(MakeConfigIniPath(dir), std::wstring(c.dir) + L"config.ini");
  }
}

TEST(InstallPaths, FolderIsReadInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs the Western ANSI code page, this prefix has " << GetACP();
  EXPECT_EQ(MakeMainExePath(MakeInstallDirPath("C:\\Caf\xe9")), L"C:\\Caf\u00e9\\Lumavex.exe");
}

}  // namespace
