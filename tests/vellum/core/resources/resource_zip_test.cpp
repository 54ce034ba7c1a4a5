// The resource location with an in-memory skin zip. The first SetResourceZip of a process wins for
// good, so this program sets it once and every test reads through it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/zip_builder.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_location.h"
#include "vellum/core/markup/xml_markup.h"

namespace {

using namespace Vellum;
using testing_support::ZipFixtureEntry;

ZipFixtureEntry Entry(const std::string& name, const std::string& data) {
  ZipFixtureEntry e;
  e.name = name;
  e.data = data;
  return e;
}

const char kMainXml[] = "<Window size=\"400,300\"><Button name=\"ok\"/></Window>";

std::string SkinZip() {
  std::vector<ZipFixtureEntry> entries = {
      Entry("skin/Main.xml", kMainXml),
      Entry("img/a.png", testing_support::EncodePng(1, 1, {{255, 0, 0, 128}})),
      Entry("empty.txt", ""),
  };
  ZipFixtureEntry huge = Entry("big.png", "small really");
  huge.declared_size = 0xFFFFFFF0;  // would need 4 GiB if believed
  entries.push_back(huge);
  ZipFixtureEntry damaged = Entry("damaged.xml", kMainXml);
  damaged.declared_crc = 7;
  entries.push_back(damaged);
  ZipFixtureEntry bad_png = Entry("bad.png", testing_support::EncodePng(1, 1, {{1, 2, 3, 255}}));
  bad_png.declared_crc = 7;
  entries.push_back(bad_png);
  ZipFixtureEntry secret = Entry("secret.xml", "<Secret/>");
  // The archive's password as the ANSI code page writes the wide one handed to the framework.
  char ansi[16] = {};
  WideCharToMultiByte(CP_ACP, 0, L"p\u00e4ss", -1, ansi, sizeof(ansi), nullptr, nullptr);
  secret.password = ansi;
  entries.push_back(secret);
  return testing_support::BuildZip(entries);
}

class ResourceZip : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(CPaintManagerUI::GetResourceZip().IsEmpty());
    ASSERT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
    ASSERT_FALSE(CPaintManagerUI::IsCachedResourceZip());
    // The framework keeps its own copy: the caller's buffer may go away at once.
    std::string bytes = SkinZip();
    CPaintManagerUI::SetResourceZip(bytes.data(), static_cast<unsigned>(bytes.size()), L"p\u00e4ss");
    bytes.assign(bytes.size(), 'x');
    // A second archive is ignored: the first call wins.
    const std::string other = testing_support::BuildZip({Entry("other.xml", "<Other/>")});
    CPaintManagerUI::SetResourceZip(other.data(), static_cast<unsigned>(other.size()));
  }
};

TEST_F(ResourceZip, TheFirstArchiveStaysInUse) {
  EXPECT_TRUE(CPaintManagerUI::GetResourceZip() == L"membuffer");
  EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
  EXPECT_NE(CPaintManagerUI::GetResourceZipHandle(), nullptr);
  EXPECT_TRUE(CPaintManagerUI::GetResourceZipPassword() == L"p\u00e4ss");
  std::vector<BYTE> bytes;
  EXPECT_EQ(ReadResourceFile(L"other.xml", 1 << 20, &bytes), ResourceReadResult::kNotInZip);
  EXPECT_EQ(ReadResourceFile(L"skin/Main.xml", 1 << 20, &bytes), ResourceReadResult::kOk);
}

TEST_F(ResourceZip, LookupReadsBackslashesAsSlashesAndIgnoresCase) {
  const size_t kXmlLimit = 0x400000;
  const struct {
    const wchar_t* name;
    size_t max;
    ResourceReadResult result;
    const char* text;
  } cases[] = {
      {L"skin\\main.xml", kXmlLimit, ResourceReadResult::kOk, kMainXml},
      {L"SKIN/MAIN.XML", kXmlLimit, ResourceReadResult::kOk, kMainXml},
      {L"secret.xml", kXmlLimit, ResourceReadResult::kOk, "<Secret/>"},
      {L"skin\\missing.xml", kXmlLimit, ResourceReadResult::kNotInZip, nullptr},
      {L"empty.txt", kXmlLimit, ResourceReadResult::kEmpty, nullptr},
      {L"skin/main.xml", 10, ResourceReadResult::kTooLarge, nullptr},
      {L"big.png", kXmlLimit, ResourceReadResult::kTooLarge, nullptr},
      {L"damaged.xml", kXmlLimit, ResourceReadResult::kCannotUnzip, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    std::vector<BYTE> bytes;
    EXPECT_EQ(ReadResourceFile(c.name, c.max, &bytes), c.result);
    if (c.text) {
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.text);
    } else {
      EXPECT_TRUE(bytes.empty());
    }
  }
}

TEST_F(ResourceZip, ImagesComeFromTheArchive) {
  TUIImageInfo* image = CRenderUI::LoadImage(L"img\\A.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 1);
  EXPECT_TRUE(image->has_alpha);
  CRenderUI::FreeImage(image);
  // An entry that lies about a huge size is refused before anything is allocated; with no file of
  // that name either, there is no image.
  EXPECT_EQ(CRenderUI::LoadImage(L"big.png"), nullptr);
  EXPECT_EQ(CRenderUI::LoadImage(L"img/missing.png"), nullptr);
}

TEST_F(ResourceZip, ImagesTheArchiveCannotGiveAreReadAsPlainFiles) {
  testing_support::TempDir dir;
  // 2 pixels wide, so that the file is told apart from the archive's 1-pixel entries.
  const std::string wide_png = testing_support::EncodePng(2, 1, {{9, 9, 9, 255}, {9, 9, 9, 255}});
  for (const wchar_t* name : {L"bad.png", L"only-on-disk.png"}) {
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(name), wide_png));
  }
  const std::wstring absolute = dir.File(L"only-on-disk.png");
  testing_support::ScopedCurrentDirectory cd(dir.path());
  const struct {
    const wchar_t* name;
    int width;  // 0: no image
  } cases[] = {
      {L"img/a.png", 1},         // in the archive
      {L"bad.png", 2},           // in the archive but unreadable: the file of that name
      {L"only-on-disk.png", 2},  // not in the archive
      {absolute.c_str(), 2},
      {L"img/missing.png", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    TUIImageInfo* image = CRenderUI::LoadImage(c.name);
    EXPECT_EQ(image != nullptr ? image->width : 0, c.width);
    CRenderUI::FreeImage(image);
  }
}

TEST_F(ResourceZip, SkinDocumentsComeFromTheArchive) {
  CXmlMarkup xml;
  ASSERT_TRUE(xml.LoadFromFile(L"skin\\MAIN.xml")) << xml.GetLastErrorMessage();
  EXPECT_STREQ(xml.GetRoot().GetName(), L"Window");
  const struct {
    const wchar_t* name;
    const wchar_t* error;
  } cases[] = {
      {L"skin\\missing.xml", L"Could not find ziped file"},
      {L"empty.txt", L"File is empty"},
      {L"big.png", L"File too large"},
      {L"damaged.xml", L"Could not unzip file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    EXPECT_FALSE(xml.LoadFromFile(c.name));
    EXPECT_STREQ(xml.GetLastErrorMessage(), c.error);
  }
}

}  // namespace
