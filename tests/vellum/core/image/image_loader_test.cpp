// Image loading, the resource store and the resource lookup rule in a process that never sets a
// resource zip (the zip case runs in a process of its own: the first SetResourceZip wins for good).

#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "common/program_path.h"
#include "tests/support/test_support.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/resources/resource_location.h"
#include "vellum/core/resources/resource_store.h"

namespace Vellum {

class CResourceStoreTestAccess {
 public:
  static void SetTextQuery(IQueryControlText* query) { CResourceStore::GetInstance()->text_query_ = query; }
  static void MapImage(const wchar_t* name, const wchar_t* path) {
    CResourceStore::GetInstance()->image_paths_.Insert(name, new CUIString(path));
  }
};

}  // namespace Vellum

namespace {

using namespace Vellum;
using testing_support::EncodePng;
using testing_support::Rgba;

DWORD PixelAt(const TUIImageInfo* image, int index) {
  DIBSECTION dib{};
  GetObjectW(image->bitmap, sizeof(dib), &dib);
  return static_cast<const DWORD*>(dib.dsBm.bmBits)[index];
}

// Three pixels: half-covered red, an opaque colour, opaque magenta.
const std::string& SamplePng() {
  static const std::string png =
      EncodePng(3, 1, {Rgba{255, 0, 0, 128}, Rgba{10, 20, 30, 255}, Rgba{255, 0, 255, 255}});
  return png;
}

// A valid 1-pixel PNG whose header claims another size, its checksum kept valid.
std::string PngClaiming(uint32_t width, uint32_t height) {
  std::string png = EncodePng(1, 1, {Rgba{1, 2, 3, 255}});
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  const uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
  return png;
}

class ImageFiles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"sample.png"), SamplePng()));
    ASSERT_TRUE(testing_support::WriteFileBytes(
        Path(L"opaque.png"), EncodePng(2, 1, {Rgba{1, 2, 3, 255}, Rgba{255, 0, 255, 255}})));
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"garbage.png"), std::string(500, 'g')));
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"cut.png"), SamplePng().substr(0, 40)));
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"empty.png"), ""));
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"huge.png"), PngClaiming(20000, 20000)));
    ASSERT_TRUE(testing_support::WriteFileBytes(Path(L"absurd.png"), PngClaiming(0x7FFFFFFF, 0x7FFFFFFF)));
  }
  std::wstring Path(const wchar_t* name) const { return dir_.File(name); }

  testing_support::TempDir dir_;
};

TEST_F(ImageFiles, PixelsArePremultipliedIntoATopDownDib) {
  TUIImageInfo* image = CRenderUI::LoadImage(Path(L"sample.png").c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 1);
  EXPECT_TRUE(image->has_alpha);
  EXPECT_EQ(image->gdiplus_image, nullptr);
  EXPECT_EQ(image->bits, nullptr);
  EXPECT_EQ(image->hsl_bits, nullptr);
  EXPECT_EQ(PixelAt(image, 0), 0x80800000u);  // red 255 at alpha 128 is stored as red 128
  EXPECT_EQ(PixelAt(image, 1), 0xFF0A141Eu);  // opaque pixels are stored unchanged
  EXPECT_EQ(PixelAt(image, 2), 0xFFFF00FFu);
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectW(image->bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
  CRenderUI::FreeImage(image);
}

TEST_F(ImageFiles, MaskColourMakesPixelsTransparent) {
  TUIImageInfo* plain = CRenderUI::LoadImage(Path(L"opaque.png").c_str());
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(plain->has_alpha);
  CRenderUI::FreeImage(plain);

  TUIImageInfo* masked = CRenderUI::LoadImage(Path(L"opaque.png").c_str(), nullptr, 0xFFFF00FF);
  ASSERT_NE(masked, nullptr);
  EXPECT_TRUE(masked->has_alpha);
  EXPECT_EQ(PixelAt(masked, 0), 0xFF010203u);
  EXPECT_EQ(PixelAt(masked, 1), 0u);
  CRenderUI::FreeImage(masked);
}

TEST_F(ImageFiles, DamagedOrMissingFilesGiveNoImage) {
  // Headers that claim far more pixels than the file holds must not lead to a crash either.
  const wchar_t* names[] = {L"garbage.png", L"cut.png",    L"empty.png",
                            L"missing.png", L"huge.png", L"absurd.png"};
  for (const wchar_t* name : names) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    EXPECT_EQ(CRenderUI::LoadImage(Path(name).c_str()), nullptr);
    EXPECT_EQ(CRenderUI::LoadImageGdiplus(Path(name).c_str()), nullptr);
  }
  EXPECT_EQ(CRenderUI::LoadImage(static_cast<const wchar_t*>(nullptr)), nullptr);
  EXPECT_EQ(CRenderUI::LoadImage(148u), nullptr);  // an id without a type names no file
}

TEST_F(ImageFiles, ResourceLookupRuleReadsTheResourceFolder) {
  ASSERT_TRUE(CPaintManagerUI::GetResourceZip().IsEmpty());
  const struct {
    const wchar_t* name;
    size_t max;
    ResourceReadResult result;
    size_t size;
  } cases[] = {
      {L"opaque.png", 1 << 20, ResourceReadResult::kOk, 0},
      {L"empty.png", 1 << 20, ResourceReadResult::kEmpty, 0},
      {L"missing.png", 1 << 20, ResourceReadResult::kCannotOpenFile, 0},
      {L"garbage.png", 499, ResourceReadResult::kTooLarge, 0},
      {L"garbage.png", 500, ResourceReadResult::kOk, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)) + " max " + std::to_string(c.max));
    std::vector<BYTE> bytes(3);
    // The resource folder is empty here, so the rule reads the name as given.
    EXPECT_EQ(ReadResourceFile(Path(c.name).c_str(), c.max, &bytes), c.result);
    if (c.size) {
      EXPECT_EQ(bytes.size(), c.size);
    }
    if (c.result != ResourceReadResult::kOk) {
      EXPECT_TRUE(bytes.empty());
    }
  }
}

TEST_F(ImageFiles, GdiplusLoaderKeepsBothForms) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  TUIImageInfo* image = CRenderUI::LoadImageGdiplus(Path(L"sample.png").c_str());
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->gdiplus_image, nullptr);
  EXPECT_EQ(image->gdiplus_image->GetWidth(), 3u);
  ASSERT_NE(image->bitmap, nullptr);
  EXPECT_EQ(PixelAt(image, 0), 0x80800000u);
  CRenderUI::FreeImage(image);
  Gdiplus::GdiplusShutdown(token);
}

// A copy of this test program with image resources added, loaded as a data file.
class ImageResources : public ImageFiles {
 protected:
  void SetUp() override {
    ImageFiles::SetUp();
    const std::wstring copy = Path(L"with-resources.exe");
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    const std::string& png = SamplePng();
    ASSERT_TRUE(UpdateResourceW(update, L"PNG", MAKEINTRESOURCEW(148), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<char*>(png.data()), static_cast<DWORD>(png.size())));
    ASSERT_TRUE(UpdateResourceW(update, L"PNG", L"SKINPIC", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<char*>(png.data()), static_cast<DWORD>(png.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    module_ = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ImageResources, LoadsTypedResourcesAndFallsBackToFilesForTextNames) {
  const struct {
    const char* what;
    TUIImageInfo* image;
    bool loaded;
  } cases[] = {
      {"numeric id", CRenderUI::LoadImage(148u, L"PNG", 0, module_), true},
      {"text name", CRenderUI::LoadImage(L"SKINPIC", L"PNG", 0, module_), true},
      {"missing numeric id", CRenderUI::LoadImage(149u, L"PNG", 0, module_), false},
      {"missing text name is a file", CRenderUI::LoadImage(Path(L"sample.png").c_str(), L"PNG", 0, module_), true},
      {"missing text name, no file", CRenderUI::LoadImage(L"NOPIC", L"PNG", 0, module_), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.image != nullptr, c.loaded);
    if (c.image) {
      EXPECT_EQ(PixelAt(c.image, 0), 0x80800000u);
      CRenderUI::FreeImage(c.image);
    }
  }
  // Without an instance the framework's resource module is used.
  CPaintManagerUI::SetInstance(module_);
  EXPECT_EQ(CPaintManagerUI::GetResourceModule(), module_);
  TUIImageInfo* image = CRenderUI::LoadImage(148u, L"PNG");
  EXPECT_NE(image, nullptr);
  CRenderUI::FreeImage(image);
  CPaintManagerUI::SetInstance(nullptr);
}

TEST_F(ImageFiles, ImageNamesGoThroughTheResourceStore) {
  // Unmapped names load as written.
  EXPECT_EQ(CResourceStore::GetInstance()->GetImagePath(L"logo"), nullptr);
  EXPECT_EQ(CRenderUI::LoadImage(L"logo"), nullptr);
  const std::wstring path = Path(L"sample.png");
  CResourceStoreTestAccess::MapImage(L"logo", path.c_str());
  // An empty type is no type: the name is mapped all the same.
  for (const wchar_t* type : {static_cast<const wchar_t*>(nullptr), L""}) {
    TUIImageInfo* image = CRenderUI::LoadImage(L"logo", type);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    CRenderUI::FreeImage(image);
  }
}

class CountingQuery : public IQueryControlText {
 public:
  const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override {
    ++calls;
    last_type = type ? type : L"";
    return std::wstring(id) == L"IDS_OK" ? L"OK" : nullptr;
  }
  int calls = 0;
  std::wstring last_type;
};

TEST(ResourceStore, TextsFallThroughToTheIdUnlessAnsweredOnce) {
  CResourceStore* store = CResourceStore::GetInstance();
  EXPECT_EQ(store, CResourceStore::GetInstance());
  EXPECT_TRUE(store->GetText(nullptr).IsEmpty());
  EXPECT_TRUE(store->GetText(L"IDS_OK") == L"IDS_OK");
  EXPECT_EQ(store->GetXmlPath(L"main.xml"), nullptr);
  EXPECT_EQ(store->GetXmlPath(nullptr), nullptr);

  CountingQuery query;
  CResourceStoreTestAccess::SetTextQuery(&query);
  EXPECT_TRUE(store->GetText(L"IDS_OK", L"text") == L"OK");
  EXPECT_EQ(query.last_type, L"text");
  EXPECT_TRUE(store->GetText(L"IDS_OK") == L"OK");
  EXPECT_EQ(query.calls, 1);  // the answer is kept
  EXPECT_TRUE(store->GetText(L"IDS_OTHER") == L"IDS_OTHER");
  EXPECT_TRUE(store->GetText(L"IDS_OTHER") == L"IDS_OTHER");
  EXPECT_EQ(query.calls, 3);  // no answer is kept for an id the callback does not know
  CResourceStoreTestAccess::SetTextQuery(nullptr);
  EXPECT_TRUE(store->GetText(L"IDS_OK") == L"OK");
}

}  // namespace
