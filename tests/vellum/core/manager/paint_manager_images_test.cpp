// Images of the paint manager per DPI, from a skin zip held in memory (set once for the process).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "tests/vellum/support/zip_builder.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

using testing_support::ManagedWindow;
using testing_support::Rgba;
using testing_support::ZipFixtureEntry;

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kBlue = 0xFF0000FFu;
constexpr DWORD kGreen = 0xFF00FF00u;

ZipFixtureEntry File(const std::string& name, const std::string& data) {
  ZipFixtureEntry entry;
  entry.name = name;
  entry.data = data;
  return entry;
}

ZipFixtureEntry Png(const std::string& name, Rgba colour) {
  return File(name, testing_support::EncodePng(2, 2, {colour, colour, colour, colour}));
}

// The first pixel of an image record, as ARGB.
DWORD FirstPixel(const TUIImageInfo* image) {
  DIBSECTION dib{};
  if (image == nullptr || image->bitmap == nullptr ||
      ::GetObjectW(image->bitmap, sizeof(dib), &dib) == 0 || dib.dsBm.bmBits == nullptr) {
    return 0;
  }
  ::GdiFlush();
  return *static_cast<const DWORD*>(dib.dsBm.bmBits);
}

class PaintManagerImages : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static const std::string zip = testing_support::BuildZip({
        Png("img/a.png", {255, 0, 0, 255}),
        Png("img/a@200.png", {0, 0, 255, 255}),
        Png("img.x/b.png", {0, 255, 0, 255}),
        Png("img/mask.png", {255, 0, 255, 255}),
        File("fonts/broken.ttf", "not a font at all"),
    });
    CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  }

  // The image a description names at a DPI, loaded through the manager.
  static TUIImageInfo* LoadAtDpi(CPaintManagerUI& m, int dpi, const wchar_t* description) {
    m.SetDPI(dpi);
    TImageDrawInfo* info = m.GetDrawInfo(description);
    if (info == nullptr) return nullptr;
    return m.GetOrLoadImage(info->name.GetData());
  }
};

TEST_F(PaintManagerImages, DpiNamesFallBackToThePlainImage) {
  struct Case {
    int dpi;
    const wchar_t* description;
    const wchar_t* name;  // as the description resolves it
    DWORD pixel;
  };
  const Case cases[] = {
      {96, L"img/a.png", L"img/a.png", kRed},
      {192, L"img/a.png", L"img/a@200.png", kBlue},
      // No 150 % variant: the plain image.
      {144, L"img/a.png", L"img/a@150.png", kRed},
      // A folder with a dot in its name: the plain name with the folder as written.
      {144, L"img.x/b.png", L"img@150.x/b@150.png", kGreen},
      {192, L"file='img.x/b.png'", L"img@200.x/b@200.png", kGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " " << std::wstring(c.description).c_str());
    ManagedWindow window;
    CPaintManagerUI& m = window.manager();
    m.SetDPI(c.dpi);
    TImageDrawInfo* info = m.GetDrawInfo(c.description);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->name.GetData(), c.name);
    TUIImageInfo* image = m.GetOrLoadImage(info->name.GetData());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FirstPixel(image), c.pixel);
    EXPECT_EQ(image->width, 2);
  }
}

TEST_F(PaintManagerImages, MissingAndMistypedImagesGiveNull) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  EXPECT_EQ(m.AddImage(L""), nullptr);
  EXPECT_EQ(m.AddImage(nullptr), nullptr);
  EXPECT_EQ(m.AddImage(L"img/none.png"), nullptr);
  EXPECT_EQ(m.AddImage(L"img/none@200.png"), nullptr);
  EXPECT_EQ(m.AddImage(L"img/a.png", L"PNG"), nullptr) << "a typed name must be a number";
  EXPECT_EQ(m.GetImage(L"img/none.png"), nullptr);
}

TEST_F(PaintManagerImages, TablesKeepOneRecordPerName) {
  ManagedWindow window;
  ManagedWindow other;
  CPaintManagerUI& m = window.manager();
  TUIImageInfo* first = m.GetOrLoadImage(L"img/a.png");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(m.GetOrLoadImage(L"img/a.png"), first) << "loaded once";
  EXPECT_EQ(other.manager().GetImage(L"img/a.png"), nullptr) << "per window unless shared";

  TUIImageInfo* shared = m.AddImage(L"img.x/b.png", nullptr, 0, false, false, true);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(other.manager().GetImage(L"img.x/b.png"), shared);
  m.RemoveAllImages(true);
  EXPECT_EQ(other.manager().GetImage(L"img.x/b.png"), nullptr);

  TUIImageInfo* masked = m.AddImage(L"img/mask.png", nullptr, 0xFFFF00FF);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(FirstPixel(masked), 0u);
  EXPECT_TRUE(masked->has_alpha);
  EXPECT_EQ(masked->mask, 0xFFFF00FFu);

  TUIImageInfo* hsl = m.AddImage(L"img/a.png", nullptr, 0, true);
  ASSERT_NE(hsl, nullptr);
  EXPECT_EQ(m.GetImage(L"img/a.png"), hsl) << "a second add replaces the record";
  EXPECT_TRUE(hsl->use_hsl);
  ASSERT_NE(hsl->bits, nullptr);
  ASSERT_NE(hsl->hsl_bits, nullptr);
  EXPECT_EQ(*reinterpret_cast<const DWORD*>(hsl->hsl_bits), kRed);
}

TEST_F(PaintManagerImages, ANewScaleDropsTheWindowImagesAndDescriptions) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  TUIImageInfo* plain = LoadAtDpi(m, 96, L"img/a.png");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(FirstPixel(plain), kRed);
  TUIImageInfo* doubled = LoadAtDpi(m, 192, L"img/a.png");
  ASSERT_NE(doubled, nullptr);
  EXPECT_EQ(FirstPixel(doubled), kBlue);
  EXPECT_EQ(m.GetImage(L"img/a.png"), nullptr);
}

TEST_F(PaintManagerImages, FontFilesThatAreNoFontsAreRefused) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  EXPECT_FALSE(m.AddFontFile(L"fonts/broken.ttf"));
  EXPECT_FALSE(m.AddFontFile(L"fonts/missing.ttf"));
  EXPECT_FALSE(m.AddFontFile(L""));
}

}  // namespace
}  // namespace Vellum
