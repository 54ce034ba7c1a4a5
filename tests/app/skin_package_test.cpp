// The skin package and the icon as the tray program carries them: this program embeds both the same
// way, and every check reads them back from its own resources through the framework's zip reader,
// XML parser and image loader.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/embedded_skin_package.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"
#include "vellum/core/markup/xml_markup.h"
#include "vellum/core/resources/zip/zip_reader.h"

namespace {

using namespace Vellum;

constexpr UINT kIconId = 130;

// Every image of the package with its size at 96 DPI and the number of state frames laid side by side.
struct ImageSpec {
  const wchar_t* name;
  int width;
  int height;
  int frames;
  bool dpi_variants;
};

const ImageSpec kImages[] = {
    {L"setting_bkg", 520, 296, 1, true},    {L"shadow", 568, 344, 1, true},
    {L"btn_setting_close", 144, 32, 3, true}, {L"opt_switch_on", 128, 20, 4, true},
    {L"opt_switch_off", 128, 20, 4, true},  {L"minus_btn", 96, 24, 4, true},
    {L"plus_btn", 96, 24, 4, true},         {L"setting_icon", 480, 32, 4, true},
    {L"exit_icon", 480, 32, 4, true},       {L"shadow_menu_test", 40, 140, 1, false},
};

// The variants' sizes are exact: base size * halves / 2.
struct Variant {
  const wchar_t* suffix;
  int halves;
};
const Variant kVariants[] = {{L"", 2}, {L"@150", 3}, {L"@200", 4}};

const wchar_t* const kWindowFiles[] = {L"main_wnd.xml", L"pop_menu.xml", L"setting_wnd.xml"};

std::vector<std::pair<std::wstring, int>> ImageEntries() {
  std::vector<std::pair<std::wstring, int>> entries;  // name, halves
  for (const ImageSpec& image : kImages) {
    for (const Variant& variant : kVariants) {
      if (variant.halves != 2 && !image.dpi_variants) continue;
      entries.emplace_back(std::wstring(L"img/") + image.name + variant.suffix + L".png", variant.halves);
    }
  }
  return entries;
}

struct PngHeader {
  bool valid = false;
  uint32_t width = 0;
  uint32_t height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = 0;
};

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

// The signature and the header chunk, which a PNG must start with.
PngHeader ReadPngHeader(const std::string& png) {
  PngHeader header;
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (png.size() < 33 || png.compare(0, 8, kSignature, 8) != 0 || BigEndian32(png, 8) != 13 ||
      png.compare(12, 4, "IHDR") != 0) {
    return header;
  }
  header.valid = true;
  header.width = BigEndian32(png, 16);
  header.height = BigEndian32(png, 20);
  header.bit_depth = static_cast<uint8_t>(png[24]);
  header.colour_type = static_cast<uint8_t>(png[25]);
  header.interlace = static_cast<uint8_t>(png[28]);
  return header;
}

// An element as a window description must hold it: name, attributes in order, children in order.
using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;
struct Element {
  std::wstring name;
  Attributes attributes;
  std::vector<Element> children;
};

Attributes operator+(Attributes a, const Attributes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One state of an image strip: frame index of frames width x height side by side.
std::wstring Frame(const std::wstring& file, int index, int width, int height) {
  return L"file='" + file + L"' source='" + std::to_wstring(index * width) + L",0," +
         std::to_wstring((index + 1) * width) + L"," + std::to_wstring(height) + L"'";
}

Attributes FourStates(const std::wstring& file, int width, int height) {
  return {{L"normalimage", Frame(file, 0, width, height)},
          {L"hotimage", Frame(file, 1, width, height)},
          {L"pushedimage", Frame(file, 2, width, height)},
          {L"disabledimage", Frame(file, 3, width, height)}};
}

// The switches name their files with a back slash.
Attributes SwitchImages() {
  const std::wstring on = L"img\\opt_switch_on.png";
  const std::wstring off = L"img\\opt_switch_off.png";
  return {{L"selectedimage", Frame(on, 0, 32, 20)},   {L"selectedhotimage", Frame(on, 1, 32, 20)},
          {L"selectedpushedimage", Frame(on, 2, 32, 20)}, {L"normalimage", Frame(off, 0, 32, 20)},
          {L"hotimage", Frame(off, 1, 32, 20)},        {L"pushedimage", Frame(off, 2, 32, 20)},
          {L"disabledimage", Frame(off, 3, 32, 20)}};
}

const wchar_t kYaHei[] = L"\u5fae\u8f6f\u96c5\u9ed1";

Element MainWindow() {
  return {L"Window",
          {{L"size", L"0,0"}, {L"caption", L"0,0,0,0"}, {L"mininfo", L"400,300"},
           {L"maxinfo", L"800,600"}, {L"name", L"MainWnd"}},
          {{L"VerticalLayout", {{L"name", L"mainLayout"}}, {}}}};
}

Element PopMenu() {
  const Attributes item = {{L"width", L"120"}, {L"height", L"32"}};
  const Attributes text = {{L"align", L"left"}, {L"textpadding", L"42,0,0,0"}};
  return {L"Window",
          {{L"layered", L"true"}, {L"size", L"120,72"}, {L"roundcorner", L"4,4"}, {L"showshadow", L"true"},
           {L"shadowimage", L"img/shadow_menu_test.png"}, {L"shadowsize", L"6"},
           {L"shadowcorner", L"8,8,8,8"}},
          {{L"Font",
            {{L"id", L"1"}, {L"name", kYaHei}, {L"size", L"14"}, {L"bold", L"false"}, {L"italic", L"false"},
             {L"default", L"true"}},
            {}},
           {L"VerticalLayout",
            {{L"bkcolor", L"#FFFFFFFF"}, {L"name", L"layout"}},
            {{L"Button",
              Attributes{{L"name", L"tray_open_setting"}} + item + Attributes{{L"padding", L"0,4,0,0"}} + text +
                  FourStates(L"img/setting_icon.png", 120, 32),
              {}},
             {L"Button",
              Attributes{{L"name", L"tray_open_quit"}} + item + text + FourStates(L"img/exit_icon.png", 120, 32),
              {}}}}}};
}

Element SettingWindow() {
  const Attributes switch_box = {{L"width", L"32"}, {L"height", L"20"}};
  const Attributes step_box = {{L"width", L"24"}, {L"height", L"24"}};
  const std::wstring close = L"img/btn_setting_close.png";
  const Element content = {
      L"VerticalLayout",
      {{L"bkimage", L"img/setting_bkg.png"}, {L"width", L"520"}, {L"height", L"296"},
       {L"padding", L"24,20,24,28"}},
      {{L"Button",
        {{L"name", L"close_btn"}, {L"width", L"48"}, {L"height", L"32"}, {L"padding", L"472,0,0,0"},
         {L"normalimage", Frame(close, 0, 48, 32)}, {L"hotimage", Frame(close, 1, 48, 32)},
         {L"pushedimage", Frame(close, 2, 48, 32)}},
        {}},
       {L"Option",
        Attributes{{L"name", L"enable_btn"}} + switch_box +
            Attributes{{L"padding", L"460,74,0,0"}, {L"selected", L"true"}} + SwitchImages(),
        {}},
       {L"HorizontalLayout",
        {{L"padding", L"0,26,0,0"}, {L"height", L"24"}},
        {{L"Button",
          Attributes{{L"name", L"minus_btn"}} + step_box + Attributes{{L"padding", L"412,0,0,0"}} +
              FourStates(L"img/minus_btn.png", 24, 24),
          {}},
         {L"Label",
          {{L"name", L"scale_factor"}, {L"textcolor", L"#FF2E2E2E"}, {L"font", L"1"}, {L"padding", L"0,0,0,0"},
           {L"width", L"32"}, {L"height", L"24"}, {L"align", L"center"}, {L"text", L"3"},
           {L"bordercolor", L"#ff00ffff"}, {L"bordersize", L"0"}},
          {}},
         {L"Button",
          Attributes{{L"name", L"plus_btn"}} + step_box + Attributes{{L"padding", L"0,0,0,0"}} +
              FourStates(L"img/plus_btn.png", 24, 24),
          {}}}},
       {L"Option",
        Attributes{{L"name", L"autostart_btn"}} + switch_box +
            Attributes{{L"padding", L"460,26,0,0"}, {L"selected", L"true"}} + SwitchImages(),
        {}},
       {L"Option",
        Attributes{{L"name", L"gamemode_btn"}} + switch_box +
            Attributes{{L"padding", L"460,26,0,0"}, {L"selected", L"true"}} + SwitchImages(),
        {}}}};
  return {L"Window",
          {{L"size", L"568,344"}, {L"caption", L"0,20,0,52"}, {L"mininfo", L"520,320"}, {L"layered", L"true"}},
          {{L"Font",
            {{L"shared", L"true"}, {L"id", L"1"}, {L"name", kYaHei}, {L"size", L"12"}, {L"bold", L"false"}},
            {}},
           // Six-digit colours keep their alpha 0, so these fills draw nothing: the images carry the look.
           {L"VerticalLayout",
            {{L"bkcolor", L"#f5f5f5"}, {L"bkcolor2", L"#eeeeee"}, {L"bkimage", L"img/shadow.png"}},
            {content}}}};
}

void ExpectElement(CXmlMarkupNode node, const Element& expected, const std::wstring& path) {
  SCOPED_TRACE(testing::PrintToString(path));
  ASSERT_TRUE(node.IsValid());
  EXPECT_EQ(std::wstring(node.GetName()), expected.name);
  const int count = node.GetAttributeCount();
  EXPECT_EQ(count, static_cast<int>(expected.attributes.size()));
  for (int i = 0; i < count && i < static_cast<int>(expected.attributes.size()); ++i) {
    EXPECT_EQ(std::wstring(node.GetAttributeName(i)), expected.attributes[i].first) << "attribute " << i;
    EXPECT_EQ(std::wstring(node.GetAttributeValue(i)), expected.attributes[i].second)
        << "attribute " << i;
  }
  size_t index = 0;
  for (CXmlMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling(), ++index) {
    if (index < expected.children.size()) {
      ExpectElement(child, expected.children[index], path + L"/" + std::to_wstring(index));
    }
  }
  EXPECT_EQ(index, expected.children.size()) << "children";
}

// Reads an image description: a plain path, or file='...' with an optional source='l,t,r,b'.
struct ImageReference {
  std::wstring file;
  bool has_source = false;
  RECT source{};
};

std::wstring Quoted(const std::wstring& text, const std::wstring& key) {
  const size_t at = text.find(key + L"='");
  if (at == std::wstring::npos) return {};
  const size_t start = at + key.size() + 2;
  const size_t end = text.find(L'\'', start);
  return end == std::wstring::npos ? std::wstring() : text.substr(start, end - start);
}

ImageReference ParseImageReference(const std::wstring& value) {
  ImageReference reference;
  if (value.find(L'\'') == std::wstring::npos) {
    reference.file = value;
    return reference;
  }
  reference.file = Quoted(value, L"file");
  const std::wstring source = Quoted(value, L"source");
  if (!source.empty()) {
    reference.has_source = swscanf(source.c_str(), L"%ld,%ld,%ld,%ld", &reference.source.left,
                                   &reference.source.top, &reference.source.right,
                                   &reference.source.bottom) == 4;
  }
  return reference;
}

void CollectImageReferences(CXmlMarkupNode node, std::vector<std::pair<std::wstring, std::wstring>>* out) {
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    const std::wstring name = node.GetAttributeName(i);
    if (name.size() >= 5 && name.compare(name.size() - 5, 5, L"image") == 0) {
      out->emplace_back(name, node.GetAttributeValue(i));
    }
  }
  for (CXmlMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    CollectImageReferences(child, out);
  }
}

// The loader's pixels: a top-down 32-bit DIB.
struct LoadedImage {
  TUIImageInfo* info = nullptr;
  const BYTE* bits = nullptr;
  explicit LoadedImage(const std::wstring& name) : info(CRenderUI::LoadImage(name.c_str())) {
    DIBSECTION dib{};
    if (info && GetObjectW(info->bitmap, sizeof(dib), &dib) == sizeof(dib)) {
      bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    }
  }
  ~LoadedImage() {
    if (info) CRenderUI::FreeImage(info);
  }
  LoadedImage(const LoadedImage&) = delete;
  LoadedImage& operator=(const LoadedImage&) = delete;
  const BYTE* Pixel(int x, int y) const { return bits + (static_cast<size_t>(y) * info->width + x) * 4; }
};

class SkinPackage : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string& package = testing_support::EmbeddedSkinPackage();
    if (package.empty()) return;
    zip_ = OpenZip(package.data(), static_cast<unsigned>(package.size()), nullptr);
    // Images are read the way the tray program reads them: through the framework's resource location.
    testing_support::UseEmbeddedSkinPackage();
  }
  static void TearDownTestSuite() {
    if (zip_) CloseZip(zip_);
    zip_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(zip_, nullptr) << "resource ZIPRES 137 is missing or not a zip"; }

  static bool ReadEntry(const std::wstring& name, std::string* bytes) {
    int index = -1;
    ZIPENTRY entry{};
    if (FindZipItem(zip_, name.c_str(), false, &index, &entry) != ZR_OK) return false;
    bytes->assign(static_cast<size_t>(entry.unc_size), '\0');
    if (bytes->empty()) return true;
    return UnzipItem(zip_, index, &(*bytes)[0], static_cast<unsigned>(bytes->size()), ZIP_MEMORY) == ZR_OK;
  }

  static HZIP zip_;
};

HZIP SkinPackage::zip_ = nullptr;

TEST_F(SkinPackage, HoldsTheWindowFilesTheImageFolderAndEveryImageOnce) {
  std::vector<std::wstring> expected(std::begin(kWindowFiles), std::end(kWindowFiles));
  expected.push_back(L"img/");
  for (const auto& image : ImageEntries()) expected.push_back(image.first);

  ZIPENTRY archive{};
  ASSERT_EQ(GetZipItem(zip_, -1, &archive), ZR_OK);
  std::vector<std::wstring> names;
  for (int i = 0; i < archive.index; ++i) {
    ZIPENTRY entry{};
    ASSERT_EQ(GetZipItem(zip_, i, &entry), ZR_OK);
    names.push_back(entry.name);
    const bool folder = (entry.attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    EXPECT_EQ(folder, names.back() == L"img/") << testing::PrintToString(names.back());
  }
  std::sort(expected.begin(), expected.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

TEST_F(SkinPackage, ImagesAreEightBitRgbaPngsAtExactlyTheirScale) {
  for (const ImageSpec& image : kImages) {
    for (const Variant& variant : kVariants) {
      if (variant.halves != 2 && !image.dpi_variants) continue;
      const std::wstring name = std::wstring(L"img/") + image.name + variant.suffix + L".png";
      SCOPED_TRACE(testing::PrintToString(name));
      std::string bytes;
      ASSERT_TRUE(ReadEntry(name, &bytes));
      const PngHeader header = ReadPngHeader(bytes);
      ASSERT_TRUE(header.valid);
      EXPECT_EQ(header.width, static_cast<uint32_t>(image.width * variant.halves / 2));
      EXPECT_EQ(header.height, static_cast<uint32_t>(image.height * variant.halves / 2));
      EXPECT_EQ(header.bit_depth, 8);
      EXPECT_EQ(header.colour_type, 6);  // truecolour with alpha
      EXPECT_EQ(header.interlace, 0);
    }
  }
}

// Each state of a strip must be drawn and tell itself apart from the others, at every scale, or a
// button would not show its hot, pushed or disabled look.
TEST_F(SkinPackage, EveryStateFrameIsDrawnAndDiffersFromTheOthers) {
  for (const ImageSpec& image : kImages) {
    for (const Variant& variant : kVariants) {
      if (variant.halves != 2 && !image.dpi_variants) continue;
      const std::wstring name = std::wstring(L"img/") + image.name + variant.suffix + L".png";
      SCOPED_TRACE(testing::PrintToString(name));
      LoadedImage loaded(name);
      ASSERT_NE(loaded.info, nullptr);
      ASSERT_NE(loaded.bits, nullptr);
      ASSERT_EQ(loaded.info->width, image.width * variant.halves / 2);
      ASSERT_EQ(loaded.info->height, image.height * variant.halves / 2);
      // Rounded corners, shadows and the menu items' clear backgrounds all need the alpha channel.
      EXPECT_TRUE(loaded.info->has_alpha);
      const int frame_width = loaded.info->width / image.frames;
      for (int a = 0; a < image.frames; ++a) {
        bool inked = false;
        for (int y = 0; y < loaded.info->height && !inked; ++y) {
          for (int x = 0; x < frame_width && !inked; ++x) inked = loaded.Pixel(a * frame_width + x, y)[3] != 0;
        }
        EXPECT_TRUE(inked) << "frame " << a << " is empty";
        for (int b = a + 1; b < image.frames; ++b) {
          bool differ = false;
          for (int y = 0; y < loaded.info->height && !differ; ++y) {
            differ = std::memcmp(loaded.Pixel(a * frame_width, y), loaded.Pixel(b * frame_width, y),
                                 static_cast<size_t>(frame_width) * 4) != 0;
          }
          EXPECT_TRUE(differ) << "frames " << a << " and " << b << " are the same";
        }
      }
    }
  }
}

TEST_F(SkinPackage, WindowFilesCarryTheirElementsAndAttributesInOrder) {
  const struct {
    const wchar_t* file;
    Element root;
  } cases[] = {
      {L"main_wnd.xml", MainWindow()},
      {L"pop_menu.xml", PopMenu()},
      {L"setting_wnd.xml", SettingWindow()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
    std::string bytes;
    ASSERT_TRUE(ReadEntry(c.file, &bytes));
    CXmlMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                                   XMLFILE_ENCODING_UTF8))
        << testing::PrintToString(std::wstring(markup.GetLastErrorMessage()));
    ExpectElement(markup.GetRoot(), c.root, c.file);
  }
}

// Every image a window names (with a slash or a back slash) loads from the package, and every source
// rectangle lies inside its image and covers one whole frame of it.
TEST_F(SkinPackage, EveryImageTheWindowsNameLoadsAndEverySourceFitsIt) {
  size_t references = 0;
  for (const wchar_t* file : kWindowFiles) {
    std::string bytes;
    ASSERT_TRUE(ReadEntry(file, &bytes));
    CXmlMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                                   XMLFILE_ENCODING_UTF8));
    std::vector<std::pair<std::wstring, std::wstring>> found;
    CollectImageReferences(markup.GetRoot(), &found);
    for (const auto& attribute : found) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(file) + L" " + attribute.first + L"=" + attribute.second));
      const ImageReference reference = ParseImageReference(attribute.second);
      LoadedImage loaded(reference.file);
      ASSERT_NE(loaded.info, nullptr);
      ++references;
      if (!reference.has_source) continue;
      const RECT& source = reference.source;
      EXPECT_GE(source.left, 0);
      EXPECT_EQ(source.top, 0);
      EXPECT_EQ(source.bottom, loaded.info->height);
      EXPECT_LE(source.right, loaded.info->width);
      const ImageSpec* spec = nullptr;
      for (const ImageSpec& image : kImages) {
        if (reference.file.find(image.name + std::wstring(L".png")) != std::wstring::npos) spec = &image;
      }
      ASSERT_NE(spec, nullptr);
      const int frame_width = spec->width / spec->frames;
      EXPECT_EQ(source.right - source.left, frame_width);
      EXPECT_EQ(source.left % frame_width, 0);
    }
  }
  // The shadows and background, the close button, three switches, the minus and plus buttons and
  // the two menu items.
  EXPECT_EQ(references, 3u + 3u + 3u * 7u + 2u * 4u + 2u * 4u);
}

TEST(SkinIcon, HoldsTheTrayAndWindowIconAtEachSize) {
  ASSERT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(kIconId), RT_GROUP_ICON), nullptr);
  for (int size : {16, 24, 32, 48}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    EXPECT_EQ(GetObjectW(info.hbmColor, sizeof(colour), &colour), static_cast<int>(sizeof(colour)));
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    EXPECT_EQ(colour.bmBitsPixel, 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
