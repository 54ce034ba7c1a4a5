// The package folder, the verification of a downloaded package and the clean-up of an installed one,
// on real files.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "service/service_folder.h"
#include "service/setup_package.h"
#include "tests/service/service_fixtures.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_support.h"

namespace {

using service_testing::kFixtureVersion;
using service_testing::Md5HexOf;
using service_testing::SetupFixtureBytes;
using testing_support::FileExists;
using testing_support::LogCapture;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(ServiceFolder, CreatedOnceAndKeptWithItsFiles) {
  TempDir temp;
  std::wstring folder;
  ASSERT_TRUE(PrepareServiceFolder(temp.path() + L"\\", &folder));
  EXPECT_EQ(folder, temp.path() + L"\\Lumavex");
  ASSERT_TRUE(WriteFileBytes(folder + L"\\kept.log", "x"));
  std::wstring again;
  ASSERT_TRUE(PrepareServiceFolder(temp.path(), &again));
  EXPECT_EQ(again, folder);
  EXPECT_TRUE(FileExists(folder + L"\\kept.log"));
  // Still writable after its protection was applied.
  EXPECT_TRUE(WriteFileBytes(folder + L"\\new.log", "y"));
}

// SYSTEM and Administrators full control, Users read and execute, nothing inherited from the
// temporary folder (which every user may write to). Wine keeps no access list of a file beyond its
// Unix permissions, so the descriptor the folder is created with is read, not the folder's.
TEST(ServiceFolder, CreatedWithAProtectedAccessList) {
  PSECURITY_DESCRIPTOR descriptor = NewServiceFolderSecurity();
  ASSERT_NE(descriptor, nullptr);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  EXPECT_TRUE(present);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  ASSERT_NE(dacl, nullptr);
  std::vector<std::pair<WELL_KNOWN_SID_TYPE, ACCESS_MASK>> granted;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinBuiltinUsersSid}) {
      if (IsWellKnownSid(&ace->SidStart, type)) granted.emplace_back(type, ace->Mask);
    }
  }
  const DWORD ace_count = dacl->AceCount;
  LocalFree(descriptor);
  EXPECT_EQ(ace_count, 3u);
  const std::vector<std::pair<WELL_KNOWN_SID_TYPE, ACCESS_MASK>> expected = {
      {WinLocalSystemSid, FILE_ALL_ACCESS},
      {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
      {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}};
  EXPECT_EQ(granted, expected);
}

TEST(ServiceFolder, AFileInItsPlaceIsReplacedByTheFolder) {
  TempDir temp;
  ASSERT_TRUE(WriteFileBytes(temp.File(L"Lumavex"), "planted"));
  std::wstring folder;
  ASSERT_TRUE(PrepareServiceFolder(temp.path(), &folder));
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ServiceFolder, PackagePathNamesTheVersion) {
  TempDir temp;
  EXPECT_EQ(SetupPackagePathIn(temp.path(), "1.0.0.2"), temp.path() + L"\\Lumavex\\setup_1.0.0.2.exe");
  EXPECT_EQ(SetupPackagePathIn(temp.path(), ""), temp.path() + L"\\Lumavex\\setup_.exe");
  EXPECT_EQ(SetupPackagePathIn(L"", "1"), L"");
}

class VerifyPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = SetupFixtureBytes();
    ASSERT_FALSE(bytes_.empty()) << "setup_fixture.exe is missing";
    path_ = SetupPackagePathIn(temp_.path(), kFixtureVersion);
    ASSERT_TRUE(WriteFileBytes(path_, bytes_));
  }

  TempDir temp_;
  std::string bytes_;
  std::wstring path_;
};

TEST_F(VerifyPackage, SoundPackageIsHeldOpenAgainstWritersAndKept) {
  for (const std::string& hash : {Md5HexOf(bytes_), Lower(Md5HexOf(bytes_))}) {
    LogCapture log;
    auto held = VerifySetupPackage(path_, kFixtureVersion, hash);
    ASSERT_NE(held, nullptr) << hash;
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"VerifySetupPackage Result: 1"});
    // Nobody may change or delete the checked file until the setup has started from it.
    HANDLE writer = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path_.c_str()));
    held.reset();
    EXPECT_TRUE(FileExists(path_));
  }
}

TEST_F(VerifyPackage, MismatchesDeleteTheFile) {
  const std::string digest = Md5HexOf(bytes_);
  struct Case {
    const char* name;
    std::string version;
    std::string hash;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"other version", "1.2.0.8", digest,
       {"old ver not equal cfg", "delete old setup package file", "VerifySetupPackage Result: 0"}},
      {"fewer parts", "1.2.0", digest,
       {"old ver not equal cfg", "delete old setup package file", "VerifySetupPackage Result: 0"}},
      {"other digest", kFixtureVersion, std::string(32, 'A'),
       {"old md5 not equal cfg. file md5: " + digest + ",cfg hash : " + std::string(32, 'A'),
        "delete old setup package file", "VerifySetupPackage Result: 0"}},
      {"no digest offered", kFixtureVersion, "",
       {"old md5 not equal cfg. file md5: " + digest + ",cfg hash : ", "delete old setup package file",
        "VerifySetupPackage Result: 0"}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(path_, bytes_));
    LogCapture log;
    EXPECT_EQ(VerifySetupPackage(path_, c.version, c.hash), nullptr) << c.name;
    EXPECT_EQ(log.Messages(), c.lines) << c.name;
    EXPECT_FALSE(FileExists(path_)) << c.name;
  }
}

TEST_F(VerifyPackage, FilesWithoutVersionAreDeletedWithoutDigest) {
  for (const std::string& content : {std::string(), std::string("MZ not really a program")}) {
    ASSERT_TRUE(WriteFileBytes(path_, content));
    LogCapture log;
    EXPECT_EQ(VerifySetupPackage(path_, kFixtureVersion, Md5HexOf(content)), nullptr);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"delete old setup package file", "VerifySetupPackage Result: 0"}));
    EXPECT_FALSE(FileExists(path_));
  }
}

TEST_F(VerifyPackage, MissingFileFailsSilently) {
  ASSERT_TRUE(DeleteFileW(path_.c_str()));
  LogCapture log;
  EXPECT_EQ(VerifySetupPackage(path_, kFixtureVersion, Md5HexOf(bytes_)), nullptr);
  EXPECT_TRUE(log.Messages().empty());
}

TEST(ClearPackage, DeletesTheInstalledVersionsPackageOnly) {
  TempDir temp;
  const std::wstring installed = SetupPackagePathIn(temp.path(), "1.0.0.2");
  const std::wstring other = SetupPackagePathIn(temp.path(), "1.0.0.3");
  ASSERT_TRUE(WriteFileBytes(installed, "old"));
  ASSERT_TRUE(WriteFileBytes(other, "new"));
  LogCapture log;
  EXPECT_TRUE(ClearSetupPackage(installed));
  EXPECT_FALSE(FileExists(installed));
  EXPECT_TRUE(FileExists(other));
  // Absent: nothing to do.
  EXPECT_TRUE(ClearSetupPackage(installed));
  EXPECT_EQ(log.Messages()[0], "app_setup_path: " + Utf16ToUtf8(installed));
}

TEST(ClearPackage, AFileInUseIsReportedForALaterTry) {
  TempDir temp;
  const std::wstring installed = SetupPackagePathIn(temp.path(), "1.0.0.2");
  ASSERT_TRUE(WriteFileBytes(installed, "old"));
  HANDLE open = CreateFileW(installed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  LogCapture log;
  EXPECT_FALSE(ClearSetupPackage(installed));
  CloseHandle(open);
  const auto warnings = log.Messages('W');
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "ClearCurrentVersionSetupPackage failed, err: 32");
  EXPECT_TRUE(ClearSetupPackage(installed));
}

}  // namespace
