#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace {

using Vellum::CRenderUI;
using testing_support::Surface;

constexpr DWORD kSentinel = 0xFF102030;

int Channel(DWORD color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

void ExpectNear(DWORD actual, DWORD expected, int tolerance, bool with_alpha = true) {
  for (int shift = 0; shift < (with_alpha ? 32 : 24); shift += 8) {
    EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift), tolerance)
        << std::hex << "actual 0x" << actual << " expected 0x" << expected;
  }
}

// The source bitmap must not stay selected in a DC while it is drawn from.
class SourceImage {
 public:
  SourceImage(int width, int height, const std::function<DWORD(int x, int y)>& color) {
    BYTE* bits = nullptr;
    bitmap_ = CRenderUI::Create32BitDib(nullptr, width, -height, &bits);
    DWORD* pixels = reinterpret_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels[y * width + x] = color(x, y);
    }
    GdiFlush();
  }
  ~SourceImage() { DeleteObject(bitmap_); }
  SourceImage(const SourceImage&) = delete;
  SourceImage& operator=(const SourceImage&) = delete;
  HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_ = nullptr;
};

class RenderDrawTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }
  static ULONG_PTR token_;
};
ULONG_PTR RenderDrawTest::token_ = 0;

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kGreen = 0xFF00FF00;
constexpr DWORD kBlue = 0xFF0000FF;

// 12 x 12, corners (4 wide) red, edges green, centre blue.
DWORD NineRegions(int x, int y) {
  const bool edge_x = x < 4 || x >= 8;
  const bool edge_y = y < 4 || y >= 8;
  if (edge_x && edge_y) return kRed;
  if (edge_x || edge_y) return kGreen;
  return kBlue;
}

TEST_F(RenderDrawTest, OpaqueImageAtItsSizeIsCopiedExactlyInsideThePaintRectangle) {
  SourceImage image(8, 6, [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8) | 0x7F; });
  Surface surface(20, 20, kSentinel);
  const RECT dest{5, 5, 13, 11};
  const RECT paint{0, 0, 10, 20};  // cuts the image after its fifth column
  CRenderUI::DrawImage(surface.dc(), image.get(), dest, paint, RECT{0, 0, 8, 6}, RECT{}, false);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 5 && x < 10 && y >= 5 && y < 11;
      const DWORD expected =
          inside ? 0xFF000000u | ((x - 5) << 16) | ((y - 5) << 8) | 0x7F : kSentinel;
      ASSERT_EQ(surface.At(x, y), expected) << x << "," << y;
    }
  }

  // A source part is taken from its own offset.
  surface.Fill(kSentinel);
  CRenderUI::DrawImage(surface.dc(), image.get(), RECT{0, 0, 2, 2}, RECT{0, 0, 20, 20},
                       RECT{3, 2, 5, 4}, RECT{}, false);
  EXPECT_EQ(surface.At(0, 0), 0xFF03027Fu);
  EXPECT_EQ(surface.At(1, 1), 0xFF04037Fu);
  EXPECT_EQ(surface.At(2, 2), kSentinel);
}

TEST_F(RenderDrawTest, NineGridKeepsCornersAndStretchesEdgesAndCentre) {
  SourceImage image(12, 12, NineRegions);
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "blended" : "opaque");
    Surface surface(40, 30, kSentinel);
    CRenderUI::DrawImage(surface.dc(), image.get(), RECT{0, 0, 40, 30}, RECT{0, 0, 40, 30},
                         RECT{0, 0, 12, 12}, RECT{4, 4, 4, 4}, alpha);
    const struct {
      int x, y;
      DWORD color;
    } probes[] = {
        {0, 0, kRed},    {3, 3, kRed},     {36, 0, kRed},   {39, 29, kRed},  {0, 26, kRed},
        {20, 1, kGreen}, {20, 28, kGreen}, {1, 15, kGreen}, {38, 15, kGreen},
        {20, 15, kBlue}, {5, 5, kBlue},    {34, 25, kBlue},
    };
    // A halftone stretch leaves the alpha byte to the system (Wine writes 0), so the opaque path
    // is compared by colour; the blended path keeps the source's alpha.
    const DWORD mask = alpha ? 0xFFFFFFFF : 0x00FFFFFF;
    for (const auto& p : probes) {
      EXPECT_EQ(surface.At(p.x, p.y) & mask, p.color & mask) << p.x << "," << p.y;
    }
  }
}

TEST_F(RenderDrawTest, HoleLeavesTheCentreUntouched) {
  SourceImage image(12, 12, NineRegions);
  for (bool alpha : {false, true}) {
    Surface surface(30, 30, kSentinel);
    CRenderUI::DrawImage(surface.dc(), image.get(), RECT{0, 0, 30, 30}, RECT{0, 0, 30, 30},
                         RECT{0, 0, 12, 12}, RECT{4, 4, 4, 4}, alpha, 255, true);
    for (int y = 4; y < 26; ++y) {
      for (int x = 4; x < 26; ++x) ASSERT_EQ(surface.At(x, y), kSentinel) << x << "," << y;
    }
    const DWORD mask = alpha ? 0xFFFFFFFF : 0x00FFFFFF;  // see the nine-grid test
    EXPECT_EQ(surface.At(0, 0), kRed);
    EXPECT_EQ(surface.At(15, 0) & mask, kGreen & mask);
    EXPECT_EQ(surface.At(29, 15) & mask, kGreen & mask);
    EXPECT_EQ(surface.At(29, 29), kRed);
  }
}

// Each column of the source centre has its own colour, so a tile shows which columns it used.
DWORD Column(int x, int /*y*/) { return 0xFF000000u | (static_cast<DWORD>(x) * 10 << 8); }

TEST_F(RenderDrawTest, TilesAreCroppedNotSqueezed) {
  SourceImage image(10, 4, Column);
  Surface surface(30, 4, kSentinel);
  // xtiled: a 10-wide source over 25 pixels gives tiles of 10, 10 and the first 5 columns.
  CRenderUI::DrawImage(surface.dc(), image.get(), RECT{0, 0, 25, 4}, RECT{0, 0, 30, 4},
                       RECT{0, 0, 10, 4}, RECT{}, false, 255, false, true, false);
  for (int x = 0; x < 25; ++x) {
    EXPECT_EQ(surface.At(x, 2), Column(x % 10, 0)) << x;
  }
  EXPECT_EQ(surface.At(25, 2), kSentinel);

  // Both directions: unscaled tiles, the last row and column cropped.
  SourceImage grid(3, 2, [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8); });
  Surface tiled(7, 5, kSentinel);
  CRenderUI::DrawImage(tiled.dc(), grid.get(), RECT{0, 0, 7, 5}, RECT{0, 0, 7, 5},
                       RECT{0, 0, 3, 2}, RECT{}, false, 255, false, true, true);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(tiled.At(x, y), 0xFF000000u | ((x % 3) << 16) | ((y % 2) << 8)) << x << "," << y;
    }
  }
}

TEST_F(RenderDrawTest, TilingWithoutASourceCentreSkipsTheCentre) {
  // Corners of 5 on a 10-pixel source leave no centre to tile; the borders still draw.
  SourceImage image(10, 10, NineRegions);
  for (bool alpha : {false, true}) {
    for (int tiling = 1; tiling <= 3; ++tiling) {
      Surface surface(30, 30, kSentinel);
      CRenderUI::DrawImage(surface.dc(), image.get(), RECT{0, 0, 30, 30}, RECT{0, 0, 30, 30},
                           RECT{0, 0, 10, 10}, RECT{5, 5, 5, 5}, alpha, 255, false,
                           (tiling & 1) != 0, (tiling & 2) != 0);
      EXPECT_EQ(surface.At(15, 15), kSentinel);
      EXPECT_EQ(surface.At(0, 0), kRed);
      EXPECT_EQ(surface.At(29, 29), NineRegions(9, 9));
    }
  }
}

TEST_F(RenderDrawTest, FadeAndPremultipliedAlphaBlend) {
  SourceImage opaque(4, 4, [](int, int) { return 0xFFFFFFFFu; });
  Surface surface(4, 4, 0xFF000000);
  CRenderUI::DrawImage(surface.dc(), opaque.get(), RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4},
                       RECT{0, 0, 4, 4}, RECT{}, false, 128);
  ExpectNear(surface.At(2, 2), 0xFF808080, 2, false);

  // Half-transparent red (premultiplied 0x80800000) over white.
  SourceImage half(4, 4, [](int, int) { return 0x80800000u; });
  Surface white(4, 4, 0xFFFFFFFF);
  CRenderUI::DrawImage(white.dc(), half.get(), RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4},
                       RECT{0, 0, 4, 4}, RECT{}, true);
  ExpectNear(white.At(1, 1), 0xFFFF7F7F, 2, false);
}

TEST_F(RenderDrawTest, SolidFills) {
  Surface surface(10, 10, kSentinel);
  CRenderUI::DrawColor(surface.dc(), RECT{2, 2, 6, 6}, 0xFF336699);
  EXPECT_EQ(surface.At(2, 2) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(surface.At(5, 5) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(surface.At(6, 6), kSentinel);
  EXPECT_EQ(surface.At(1, 2), kSentinel);

  // Alpha 0 draws nothing; a part alpha blends.
  surface.Fill(0xFF000000);
  CRenderUI::DrawColor(surface.dc(), RECT{0, 0, 10, 10}, 0x00FFFFFF);
  EXPECT_EQ(surface.At(5, 5), 0xFF000000u);
  CRenderUI::DrawColor(surface.dc(), RECT{0, 0, 10, 10}, 0x80FFFFFF);
  ExpectNear(surface.At(5, 5), 0xFF808080, 2, false);
}

// An opaque fill lands exactly on the pixels inside both the rectangle and the DC's clip, whichever
// row order the bitmap has and whether or not the DC's origin is moved (the latter takes the GDI+ path).
TEST_F(RenderDrawTest, OpaqueFillsKeepToTheClip) {
  struct Case {
    const char* name;
    bool top_down;
    POINT origin;
  } cases[] = {{"top-down", true, {0, 0}}, {"bottom-up", false, {0, 0}}, {"moved origin", true, {3, 2}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int size = 24;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = c.top_down ? -size : size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + size * size, kSentinel);
    HRGN clip = CreateRoundRectRgn(2, 3, 20, 22, 10, 10);
    SelectClipRgn(dc, clip);
    SetViewportOrgEx(dc, c.origin.x, c.origin.y, nullptr);
    const RECT fill = {0, 5, 15, 30};  // logical units, partly outside the bitmap
    CRenderUI::DrawColor(dc, fill, 0xFF336699);
    GdiFlush();
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const POINT logical = {x - c.origin.x, y - c.origin.y};
        const bool inside = PtInRegion(clip, x, y) && PtInRect(&fill, logical);
        const DWORD got = pixels[(c.top_down ? y : size - 1 - y) * size + x];
        ASSERT_EQ(got, inside ? 0xFF336699u : kSentinel) << x << "," << y;
      }
    }
    DeleteObject(clip);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
}

TEST_F(RenderDrawTest, Gradients) {
  Surface surface(16, 64, kSentinel);
  CRenderUI::DrawGradient(surface.dc(), RECT{0, 0, 16, 64}, 0x00FF0000, 0x000000FF, true, 64);
  EXPECT_EQ(surface.At(8, 32), kSentinel) << "two colours with alpha 0 draw nothing";

  CRenderUI::DrawGradient(surface.dc(), RECT{0, 0, 16, 64}, kRed, kBlue, true, 64);
  ExpectNear(surface.At(8, 0), kRed, 8, false);
  ExpectNear(surface.At(8, 63), kBlue, 8, false);
  ExpectNear(surface.At(8, 32), 0xFF7F0080, 8, false);
  EXPECT_EQ(surface.At(3, 10), surface.At(12, 10)) << "a vertical gradient is flat along a row";

  Surface across(64, 4, kSentinel);
  CRenderUI::DrawGradient(across.dc(), RECT{0, 0, 64, 4}, kRed, kBlue, false, 64);
  ExpectNear(across.At(0, 2), kRed, 8, false);
  ExpectNear(across.At(63, 2), kBlue, 8, false);

  // Alpha 255 and 0 average to 127: white over black comes out mid grey.
  Surface black(16, 16, 0xFF000000);
  CRenderUI::DrawGradient(black.dc(), RECT{0, 0, 16, 16}, 0xFFFFFFFF, 0x00FFFFFF, true, 64);
  ExpectNear(black.At(8, 8), 0xFF7F7F7F, 3, false);
}

TEST_F(RenderDrawTest, LinesAndOutlines) {
  Surface surface(20, 20, kSentinel);
  CRenderUI::DrawLine(surface.dc(), RECT{2, 5, 15, 5}, 1, 0x00123456);  // GDI pens ignore alpha
  for (int x = 2; x < 15; ++x) EXPECT_EQ(surface.At(x, 5) & 0xFFFFFF, 0x123456u) << x;
  EXPECT_EQ(surface.At(8, 4), kSentinel);
  EXPECT_EQ(surface.At(8, 6), kSentinel);

  surface.Fill(kSentinel);
  CRenderUI::DrawRect(surface.dc(), RECT{2, 2, 12, 10}, 1, kRed);
  // The outline runs along the rectangle's own edge pixels; inside and outside stay.
  for (int x = 2; x < 12; ++x) {
    EXPECT_EQ(surface.At(x, 2) & 0xFFFFFF, 0xFF0000u) << x;
    EXPECT_EQ(surface.At(x, 9) & 0xFFFFFF, 0xFF0000u) << x;
  }
  for (int y = 2; y < 10; ++y) {
    EXPECT_EQ(surface.At(2, y) & 0xFFFFFF, 0xFF0000u) << y;
    EXPECT_EQ(surface.At(11, y) & 0xFFFFFF, 0xFF0000u) << y;
  }
  EXPECT_EQ(surface.At(6, 6), kSentinel);
  EXPECT_EQ(surface.At(12, 6), kSentinel);
  EXPECT_EQ(surface.At(6, 10), kSentinel);
}

TEST_F(RenderDrawTest, RoundRectangleLeavesItsCornersOut) {
  Surface surface(40, 30, 0xFF000000);
  CRenderUI::DrawRoundRect(surface.dc(), RECT{0, 0, 40, 30}, 2, 16, 16, 0xFFFFFFFF);
  // Mid edges are drawn; the far corner points are outside the rounded outline; inside stays.
  EXPECT_GT(Channel(surface.At(20, 0), 8), 0x80);
  EXPECT_GT(Channel(surface.At(0, 15), 8), 0x80);
  EXPECT_GT(Channel(surface.At(39, 15), 8), 0x80);
  EXPECT_EQ(surface.At(0, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(surface.At(39, 29) & 0xFFFFFF, 0u);
  EXPECT_EQ(surface.At(20, 15) & 0xFFFFFF, 0u);

  Surface filled(40, 30, 0xFF000000);
  CRenderUI::DrawRoundRectPath(filled.dc(), 0, 0, 39, 29, 8, 1, 0xFF00FF00, true, 0);
  EXPECT_EQ(filled.At(20, 15) & 0xFFFFFF, 0x00FF00u) << "fill falls back to the pen colour";
  EXPECT_EQ(filled.At(0, 0) & 0xFFFFFF, 0u);
}

TEST_F(RenderDrawTest, CornersLargerThanTheRectangleRoundItNoFurther) {
  // Radii far beyond the rectangle (a skin's 2147483647) draw the fully rounded shape.
  Surface huge(40, 30, 0xFF000000);
  CRenderUI::DrawRoundRectPath(huge.dc(), 0, 0, 39, 29, 2147483647, 1, 0xFF00FF00, true, 0);
  Surface most(40, 30, 0xFF000000);
  CRenderUI::DrawRoundRectPath(most.dc(), 0, 0, 39, 29, 14, 1, 0xFF00FF00, true, 0);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) ASSERT_EQ(huge.At(x, y), most.At(x, y)) << x << "," << y;
  }
  EXPECT_EQ(huge.At(20, 15) & 0xFFFFFF, 0x00FF00u);

  Surface clipped(40, 30, 0xFF000000);
  {
    Vellum::CClipRegionUI clip;
    CRenderUI::ClipToRoundRect(clipped.dc(), RECT{0, 0, 40, 30}, RECT{0, 0, 40, 30}, 2147483647,
                               2147483647, clip);
    CRenderUI::DrawColor(clipped.dc(), RECT{0, 0, 40, 30}, 0xFFFFFFFF);
  }
  EXPECT_EQ(clipped.At(20, 15), 0xFFFFFFFFu);
  EXPECT_EQ(clipped.At(0, 0), 0xFF000000u) << "the corner stays outside the ellipse";
}

// An opaque PNG in the temporary folder, removed with the fixture.
class PngFile {
 public:
  PngFile(const wchar_t* name, int width, int height,
          const std::function<testing_support::Rgba(int x, int y)>& color) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name;
    std::vector<testing_support::Rgba> pixels;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels.push_back(color(x, y));
    }
    const std::string png = testing_support::EncodePng(width, height, pixels);
    FILE* file = _wfopen(path_.c_str(), L"wb");
    if (file != nullptr) {
      fwrite(png.data(), 1, png.size(), file);
      fclose(file);
    }
  }
  ~PngFile() { DeleteFileW(path_.c_str()); }
  PngFile(const PngFile&) = delete;
  PngFile& operator=(const PngFile&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

testing_support::Rgba Red(int, int) { return {255, 0, 0, 255}; }

class ImageDescriptionTest : public RenderDrawTest {
 protected:
  std::wstring File(const wchar_t* rest = L"") {
    return L"file='" + red_.path() + L"'" + rest;
  }
  Vellum::CPaintManagerUI manager_;
  PngFile red_{L"vellum_draw_red.png", 16, 16, Red};
};

TEST_F(ImageDescriptionTest, DescriptionsPlaceTheImageInTheItem) {
  const RECT item{0, 0, 100, 40};
  const struct {
    const wchar_t* rest;
    RECT expected;
  } cases[] = {
      {L" dest='10,5,26,21'", {10, 5, 26, 21}},
      // The malformed trailing word ends the parse; the destination stays.
      {L" dest='0,0,16,16' trailing", {0, 0, 16, 16}},
      {L" size='16,16' align='right bottom'", {84, 24, 100, 40}},
      {L" size='16,16' align='hcenter vcenter'", {42, 12, 58, 28}},
      // A destination reaching past the item is cut at the item's edge (and stretched there).
      {L" dest='90,30,120,60'", {90, 30, 100, 40}},
  };
  for (const auto& c : cases) {
    const std::wstring text = File(c.rest);
    SCOPED_TRACE(testing::PrintToString(text));
    Surface surface(100, 40, kSentinel);
    EXPECT_TRUE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, item, text.c_str()));
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 100; ++x) {
        const bool inside = x >= c.expected.left && x < c.expected.right &&
                            y >= c.expected.top && y < c.expected.bottom;
        ASSERT_EQ(surface.At(x, y) & 0xFFFFFF, inside ? 0xFF0000u : (kSentinel & 0xFFFFFF))
            << x << "," << y;
      }
    }
  }
}

TEST_F(ImageDescriptionTest, NothingToDrawAndNothingVisible) {
  Surface surface(100, 40, kSentinel);
  const RECT item{0, 0, 100, 40};
  // Outside the paint rectangle: nothing drawn, and still a success.
  const std::wstring text = File(L" dest='60,0,76,16'");
  EXPECT_TRUE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, RECT{0, 0, 50, 40},
                                         text.c_str()));
  EXPECT_EQ(surface.At(65, 5), kSentinel);
  // No manager, no description, or an image that cannot be had: false.
  EXPECT_FALSE(CRenderUI::DrawImageString(surface.dc(), nullptr, item, item, text.c_str()));
  EXPECT_FALSE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, item, L""));
  EXPECT_FALSE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, item,
                                          L"file='no such image.png'"));
  EXPECT_FALSE(CRenderUI::DrawImageInfo(surface.dc(), &manager_, item, item, nullptr));
  EXPECT_EQ(surface.At(5, 5), kSentinel);
}

TEST_F(ImageDescriptionTest, PaddingIsScaledOnceAtTwiceTheDpi) {
  Vellum::CPaintManagerUI scaled;
  scaled.SetDPI(192);
  // size 8 and padding 2 at 200 %: a 16-pixel image moved by 4, not by 8.
  const std::wstring text = File(L" size='8,8' align='left top' padding='2,2,0,0'");
  Surface surface(100, 40, kSentinel);
  const RECT item{0, 0, 100, 40};
  ASSERT_TRUE(CRenderUI::DrawImageString(surface.dc(), &scaled, item, item, text.c_str()));
  EXPECT_EQ(surface.At(3, 4), kSentinel);
  EXPECT_EQ(surface.At(4, 4) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(19, 19) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(20, 20), kSentinel);
}

TEST_F(ImageDescriptionTest, RotationAndFadeGoThroughGdiplus) {
  // Left half red, right half blue; a quarter turn clockwise puts red on top.
  PngFile halves(L"vellum_draw_halves.png", 16, 16, [](int x, int) {
    return x < 8 ? testing_support::Rgba{255, 0, 0, 255} : testing_support::Rgba{0, 0, 255, 255};
  });
  const std::wstring text = L"file='" + halves.path() + L"' rotate='90'";
  Surface surface(16, 16, 0xFF000000);
  const RECT item{0, 0, 16, 16};
  ASSERT_TRUE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, item, text.c_str()));
  ExpectNear(surface.At(8, 2), 0xFFFF0000, 8, false);
  ExpectNear(surface.At(8, 13), 0xFF0000FF, 8, false);

  PngFile white(L"vellum_draw_white.png", 4, 4,
                [](int, int) { return testing_support::Rgba{255, 255, 255, 255}; });
  const std::wstring faded = L"file='" + white.path() + L"' fade='128' gdiplus='true'";
  Surface black(4, 4, 0xFF000000);
  ASSERT_TRUE(CRenderUI::DrawImageString(black.dc(), &manager_, RECT{0, 0, 4, 4},
                                         RECT{0, 0, 4, 4}, faded.c_str()));
  ExpectNear(black.At(2, 2), 0xFF808080, 3, false);
}

TEST_F(ImageDescriptionTest, MaskColourIsMadeTransparentAtLoad) {
  PngFile halves(L"vellum_draw_masked.png", 8, 4, [](int x, int) {
    return x < 4 ? testing_support::Rgba{255, 0, 255, 255} : testing_support::Rgba{0, 0, 255, 255};
  });
  const std::wstring text = L"file='" + halves.path() + L"' mask='#FFFF00FF'";
  Surface surface(8, 4, kSentinel);
  const RECT item{0, 0, 8, 4};
  ASSERT_TRUE(CRenderUI::DrawImageString(surface.dc(), &manager_, item, item, text.c_str()));
  EXPECT_EQ(surface.At(1, 1), kSentinel) << "the magenta half is see-through";
  EXPECT_EQ(surface.At(6, 1), 0xFF0000FFu);
}

}  // namespace
