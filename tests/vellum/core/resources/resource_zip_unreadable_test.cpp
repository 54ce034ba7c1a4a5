// A skin archive that cannot be opened. The first SetResourceZip of a process wins even then, so this
// program hands over a damaged archive once and checks that every read fails cleanly.

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

TEST(UnreadableResourceZip, EveryReadFailsCleanlyAndPlainFilesStillLoad) {
  // A valid archive cut inside its directory.
  testing_support::ZipFixtureEntry entry;
  entry.name = "skin/main.xml";
  entry.data = "<Window/>";
  const std::string good = testing_support::BuildZip({entry});
  const std::string cut = good.substr(0, good.size() - 30);
  CPaintManagerUI::SetResourceZip(cut.data(), static_cast<unsigned>(cut.size()));
  EXPECT_TRUE(CPaintManagerUI::GetResourceZip() == L"membuffer");
  EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
  // A good archive handed over later does not replace the first one.
  CPaintManagerUI::SetResourceZip(good.data(), static_cast<unsigned>(good.size()));
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);

  std::vector<BYTE> bytes;
  EXPECT_EQ(ReadResourceFile(L"skin/main.xml", 1 << 20, &bytes), ResourceReadResult::kCannotOpenZip);
  EXPECT_TRUE(bytes.empty());
  CXmlMarkup xml;
  EXPECT_FALSE(xml.LoadFromFile(L"skin\\main.xml"));
  EXPECT_STREQ(xml.GetLastErrorMessage(), L"Error opening zip file");

  // Images fall back to the name as a file path.
  testing_support::TempDir dir;
  const std::wstring png = dir.File(L"plain.png");
  ASSERT_TRUE(testing_support::WriteFileBytes(png, testing_support::EncodePng(1, 1, {{1, 2, 3, 255}})));
  TUIImageInfo* image = CRenderUI::LoadImage(png.c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 1);
  CRenderUI::FreeImage(image);
  EXPECT_EQ(CRenderUI::LoadImage(L"skin/main.xml"), nullptr);
}

}  // namespace
