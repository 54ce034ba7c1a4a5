#include "common/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/program_path.h"
#include "common/text.h"
#include "tests/support/registry_support.h"

namespace {

using testing_support::ScopedRegistryValue;

TEST(RegistryText, KeepsOnlyWhatWasReturnedUpToTheFirstZero) {
  const wchar_t data[] = {L'a', L'b', L'c', L'\0', L'd', L'e'};
  struct Case {
    size_t size;
    size_t max_chars;
    std::wstring expected;
  } cases[] = {
      {sizeof(data), 100, L"abc"},
      {3 * sizeof(wchar_t), 100, L"abc"},      // no terminator within the data
      {2 * sizeof(wchar_t) + 1, 100, L"ab"},   // half a character at the end is dropped
      {sizeof(data), 2, L"ab"},                // a full buffer is cut, not read past
      {0, 100, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    EXPECT_EQ(RegistryWideText(data, c.size, c.max_chars), c.expected);
  }
  EXPECT_EQ(RegistryWideText(nullptr, 8, 8), L"");
  EXPECT_EQ(RegistryNarrowText("22H2\0xx", 7, 255), "22H2");
  EXPECT_EQ(RegistryNarrowText("22H2", 4, 255), "22H2");
  EXPECT_EQ(RegistryNarrowText("22H2", 4, 3), "22H");
}

class ProductKeyTest : public ::testing::Test {
 protected:
  ScopedRegistryValue product_{HKEY_LOCAL_MACHINE, kProductRegistryKey, L"ProductVersion"};
  ScopedRegistryValue uninstall_{HKEY_LOCAL_MACHINE, kUninstallRegistryKey, L"ProductVersion"};
};

TEST_F(ProductKeyTest, ReadRegStringHandlesSizesAndTypes) {
  ScopedRegistryValue value(HKEY_LOCAL_MACHINE, kProductRegistryKey, L"LumavexTestValue");
  std::wstring out = L"unchanged";

  ASSERT_TRUE(value.SetString(L"Zoë 用户 \U0001F600"));
  EXPECT_TRUE(ReadRegStringHKLM(kProductRegistryKey, L"LumavexTestValue", &out));
  EXPECT_EQ(out, L"Zoë 用户 \U0001F600");

  // 512 characters without a terminator fill the whole buffer: the text is cut at 511. Binary
  // data, because the platform terminates string data itself and then finds the buffer too small.
  const std::wstring full(512, L'x');
  ASSERT_TRUE(value.SetRaw(REG_BINARY, full.data(), 1024));
  EXPECT_TRUE(ReadRegStringHKLM(kProductRegistryKey, L"LumavexTestValue", &out));
  EXPECT_EQ(out, std::wstring(511, L'x'));

  // One byte more than the buffer fails and leaves the output alone.
  out = L"unchanged";
  const std::wstring longer(513, L'y');
  ASSERT_TRUE(value.SetRaw(REG_SZ, longer.data(), 1026));
  EXPECT_FALSE(ReadRegStringHKLM(kProductRegistryKey, L"LumavexTestValue", &out));
  EXPECT_EQ(out, L"unchanged");

  // The type is not checked: four bytes of a number read as two characters.
  ASSERT_TRUE(value.SetDword(0x00420041));
  EXPECT_TRUE(ReadRegStringHKLM(kProductRegistryKey, L"LumavexTestValue", &out));
  EXPECT_EQ(out, L"AB");

  ASSERT_TRUE(value.Remove());
  EXPECT_FALSE(ReadRegStringHKLM(kProductRegistryKey, L"LumavexTestValue", &out));
  EXPECT_FALSE(ReadRegStringHKLM(L"SOFTWARE\\LumavexNoSuchKey", L"ProductVersion", &out));
}

TEST_F(ProductKeyTest, ProductVersionFallsBackToTheUninstallKey) {
  struct Case {
    const wchar_t* product;    // nullptr: value absent
    const wchar_t* uninstall;  // nullptr: value absent
    std::string expected;
  } cases[] = {
      {L"1.4.2.0", L"1.3.0.0", "1.4.2.0"},
      {L"", L"1.3.0.0", "1.3.0.0"},
      {nullptr, L"1.3.0.0", "1.3.0.0"},
      {nullptr, nullptr, ""},
      {L"", nullptr, ""},
      {L"2.0 测试版", nullptr, u8"2.0 测试版"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    ASSERT_TRUE(c.product ? product_.SetString(c.product) : product_.Remove());
    ASSERT_TRUE(c.uninstall ? uninstall_.SetString(c.uninstall) : uninstall_.Remove());
    EXPECT_EQ(GetProductVersion(), c.expected);
  }
}

TEST(FileVersion, ReadsTheFixedFileVersionOfAModule) {
  std::wstring version;
  ASSERT_TRUE(GetFileVersionString(ProgramFolder() + L"version_fixture.dll", &version));
  EXPECT_EQ(version, L"7.312.345.6789");
}

TEST(FileVersion, FailsWithoutVersionInformation) {
  const std::wstring paths[] = {ProgramPath(), L"", ProgramFolder() + L"no_such_module.dll"};
  for (const auto& path : paths) {
    SCOPED_TRACE(Utf16ToUtf8(path));
    std::wstring version = L"unchanged";
    EXPECT_FALSE(GetFileVersionString(path, &version));
    EXPECT_EQ(version, L"unchanged");
  }
}

}  // namespace
