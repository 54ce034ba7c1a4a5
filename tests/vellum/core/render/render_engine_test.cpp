#include "vellum/core/render/render_engine.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "common/base/gdi_handles.h"

namespace {

using Vellum::CClipRegionUI;
using Vellum::CRenderUI;
using Vellum::TUIImageInfo;

int Channel(DWORD color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

void ExpectNear(DWORD actual, DWORD expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift), tolerance)
        << std::hex << "actual 0x" << actual << " expected 0x" << expected;
  }
}

TEST(RenderColors, HueSaturationLightnessOfArgbColours) {
  const struct {
    DWORD color;
    float hue, saturation, lightness;
  } cases[] = {
      {0xFFFF0000, 0, 1, 0.5f},     // red
      {0x0000FF00, 120, 1, 0.5f},   // green; alpha plays no part
      {0x800000FF, 240, 1, 0.5f},   // blue
      {0xFF808080, 0, 0, 128 / 255.0f},
      {0xFFFFFFFF, 0, 0, 1},
      {0xFF000000, 0, 0, 0},
      {0xFFFF8000, 30, 1, 0.5f},
      {0xFF402020, 0, 1 / 3.0f, 0.1882353f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.color);
    float h = -1, s = -1, l = -1;
    CRenderUI::RgbToHsl(c.color, &h, &s, &l);
    EXPECT_NEAR(h, c.hue, 0.2);
    EXPECT_NEAR(s, c.saturation, 0.001);
    EXPECT_NEAR(l, c.lightness, 0.001);
    // And back: the colour bytes come out where they were read, the alpha byte untouched.
    DWORD back = 0x5A000000;
    CRenderUI::HslToRgb(back, h, s, l);
    ExpectNear(back, (c.color & 0x00FFFFFF) | 0x5A000000, 1);
  }
}

TEST(RenderColors, AdjustColorShiftsInTheColoursOwnChannels) {
  const DWORD colours[] = {0xFFFF0000, 0x80123456, 0x00000000, 0xFFFFFFFF, 0x7F00FF7F, 0xFFC0FFEE};
  for (DWORD c : colours) {
    SCOPED_TRACE(testing::Message() << std::hex << c);
    EXPECT_EQ(CRenderUI::AdjustColor(c, 180, 100, 100), c);
    // A full turn of hue is no shift either, and goes through the whole conversion.
    ExpectNear(CRenderUI::AdjustColor(c, 540, 100, 100), c, 1);
  }
  // Red stays red when only its lightness changes; reading and writing the channels in different
  // orders would turn it blue.
  EXPECT_EQ(CRenderUI::AdjustColor(0xFFFF0000, 180, 100, 50), 0xFF7F0000u);
  // A third of a turn moves red to green and green to blue.
  ExpectNear(CRenderUI::AdjustColor(0xFFFF0000, 300, 100, 100), 0xFF00FF00, 1);
  ExpectNear(CRenderUI::AdjustColor(0x4000FF00, 300, 100, 100), 0x400000FF, 1);
  // No saturation leaves grey of the same lightness.
  ExpectNear(CRenderUI::AdjustColor(0xFFFF0000, 180, 0, 100), 0xFF7F7F7F, 1);
}

TEST(RenderColors, MixAndAvoidPureBlack) {
  EXPECT_EQ(CRenderUI::MixColor(0xFF204060, 0.5, 0xFF000000, 0.5), 0x00102030u);
  EXPECT_EQ(CRenderUI::MixColor(0x80FFFFFF, 1.0, 0x80FFFFFF, 1.0), 0x00FFFFFFu);  // clamped
  EXPECT_EQ(CRenderUI::MixColor(0x00030303, 0.5, 0, 0), 0x00010101u);             // truncated

  const struct {
    DWORD in, out;
  } cases[] = {{0xFF000000, 0xFF000001}, {0x00000000, 0x00000001}, {0x80000000, 0x80000001},
               {0xFF000100, 0xFF000100}, {0xFF010000, 0xFF010000}};
  for (const auto& c : cases) {
    DWORD color = c.in;
    CRenderUI::AvoidPureBlack(color);
    EXPECT_EQ(color, c.out) << std::hex << c.in;
  }
}

TEST(RenderColors, AdjustImageWorksFromTheUnadjustedCopy) {
  TUIImageInfo image;
  image.width = 2;
  image.height = 1;
  image.use_hsl = true;
  BYTE* dib_bits = nullptr;
  image.bitmap = CRenderUI::Create32BitDib(nullptr, 2, -1, &dib_bits);
  ASSERT_NE(image.bitmap, nullptr);
  const DWORD original[2] = {0xFFFF0000, 0x80400000};  // opaque red, half-covered red (premultiplied)
  image.bits = static_cast<BYTE*>(std::malloc(8));
  image.hsl_bits = static_cast<BYTE*>(std::malloc(8));
  std::memcpy(image.bits, original, 8);
  std::memcpy(image.hsl_bits, original, 8);
  auto pixel = [&](int i) { return reinterpret_cast<const DWORD*>(dib_bits)[i]; };

  CRenderUI::AdjustImage(true, &image, 300, 100, 100);
  ExpectNear(pixel(0), 0xFF00FF00, 1);
  ExpectNear(pixel(1), 0x80004000, 1);
  // Adjusting again starts from the copy, not from the adjusted pixels.
  CRenderUI::AdjustImage(true, &image, 300, 100, 100);
  ExpectNear(pixel(0), 0xFF00FF00, 1);
  CRenderUI::AdjustImage(false, &image, 300, 100, 100);
  EXPECT_EQ(pixel(0), original[0]);
  EXPECT_EQ(pixel(1), original[1]);

  // Images not marked for HSL stay as they are.
  image.use_hsl = false;
  CRenderUI::AdjustImage(true, &image, 300, 100, 100);
  EXPECT_EQ(pixel(0), original[0]);
  CRenderUI::FreeImage(&image, false);
  EXPECT_EQ(image.bitmap, nullptr);
  EXPECT_EQ(image.bits, nullptr);
  EXPECT_EQ(image.hsl_bits, nullptr);
  CRenderUI::AdjustImage(true, nullptr, 300, 100, 100);
}

// A memory DC on a top-down 32-bit DIB whose pixels the test reads directly.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width),
        dc_(CreateCompatibleDC(nullptr)),
        bitmap_(CRenderUI::Create32BitDib(dc_.get(), width, -height, &bits_)),
        old_(SelectObject(dc_.get(), bitmap_.get())) {}
  // The bitmap leaves the DC before the owners delete both.
  ~Canvas() { SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }
  DWORD At(int x, int y) const {
    GdiFlush();
    return reinterpret_cast<const DWORD*>(bits_)[y * width_ + x];
  }
  void Set(int x, int y, DWORD v) { reinterpret_cast<DWORD*>(bits_)[y * width_ + x] = v; }
  // Paints the whole surface; only what the clip allows changes.
  void FillAll(COLORREF color) {
    const ScopedBrush brush(CreateSolidBrush(color));
    RECT all{0, 0, 1000, 1000};
    FillRect(dc_.get(), &all, brush.get());
  }
  bool Painted(int x, int y) const { return (At(x, y) & 0x00FFFFFF) != 0; }

 private:
  int width_;
  BYTE* bits_ = nullptr;
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  HGDIOBJ old_;
};

TEST(RenderDib, CreatesThirtyTwoBitSectionsInBothRowOrders) {
  BYTE* bits = nullptr;
  const ScopedBitmap top_down(CRenderUI::Create32BitDib(nullptr, 3, -2, &bits));
  ASSERT_NE(top_down, nullptr);
  ASSERT_NE(bits, nullptr);
  // The first row in memory is the top row.
  reinterpret_cast<DWORD*>(bits)[0] = 0x00123456;
  const ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
  HGDIOBJ old = SelectObject(dc.get(), top_down.get());
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(0x12, 0x34, 0x56));
  const ScopedBitmap bottom_up(CRenderUI::Create32BitDib(nullptr, 3, 2, &bits));
  if (bottom_up) {
    reinterpret_cast<DWORD*>(bits)[0] = 0x00654321;
    SelectObject(dc.get(), bottom_up.get());
    EXPECT_EQ(GetPixel(dc.get(), 0, 1), RGB(0x65, 0x43, 0x21));
  }
  SelectObject(dc.get(), old);
  ASSERT_NE(bottom_up, nullptr);
  bits = reinterpret_cast<BYTE*>(1);
  EXPECT_EQ(CRenderUI::Create32BitDib(nullptr, 0, 0, &bits), nullptr);
  EXPECT_EQ(bits, nullptr);
}

TEST(RenderClip, ClipsToARectangleAndRestoresTheOuterClip) {
  Canvas canvas(20, 20);
  {
    CClipRegionUI outer;
    CRenderUI::ClipToRect(canvas.dc(), RECT{2, 2, 12, 12}, outer);
    {
      CClipRegionUI inner;
      CRenderUI::ClipToRect(canvas.dc(), RECT{8, 8, 16, 16}, inner);  // intersected: 8..12
      canvas.FillAll(RGB(255, 0, 0));
      EXPECT_TRUE(canvas.Painted(8, 8));
      EXPECT_TRUE(canvas.Painted(11, 11));
      EXPECT_FALSE(canvas.Painted(12, 12));
      EXPECT_FALSE(canvas.Painted(5, 5));
      // Floating children paint in the outer clip, then the inner clip comes back.
      CRenderUI::RestoreOuterClip(canvas.dc(), inner);
      canvas.FillAll(RGB(0, 255, 0));
      EXPECT_EQ(canvas.At(5, 5) & 0xFFFFFF, 0x00FF00u);
      EXPECT_FALSE(canvas.Painted(14, 14));
      // Back to the inner clip as it was installed: inside the outer one.
      CRenderUI::ReapplyClip(canvas.dc(), inner);
      canvas.FillAll(RGB(0, 0, 255));
      EXPECT_EQ(canvas.At(9, 9) & 0xFFFFFF, 0x0000FFu);
      EXPECT_EQ(canvas.At(5, 5) & 0xFFFFFF, 0x00FF00u);
      EXPECT_FALSE(canvas.Painted(14, 14));
    }
    // The inner record's end puts the outer clip back.
    canvas.FillAll(RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(3, 3) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_FALSE(canvas.Painted(14, 14));
  }
  canvas.FillAll(RGB(255, 255, 255));
  EXPECT_TRUE(canvas.Painted(19, 19));
}

TEST(RenderClip, ClipsToARoundedRectangle) {
  Canvas canvas(40, 40);
  {
    CClipRegionUI clip;
    const RECT r{0, 0, 40, 40};
    CRenderUI::ClipToRoundRect(canvas.dc(), r, RECT{5, 5, 34, 34}, 16, 16, clip);
    canvas.FillAll(RGB(255, 255, 255));
  }
  EXPECT_TRUE(canvas.Painted(20, 20));   // centre
  EXPECT_TRUE(canvas.Painted(20, 5));    // straight edge
  EXPECT_FALSE(canvas.Painted(5, 5));    // rounded corner
  EXPECT_FALSE(canvas.Painted(2, 20));   // outside
}

// A child's clip record puts back the parent's clip exactly as it was: a round parent stays
// round for the siblings painted after it.
TEST(RenderClip, EndingAChildClipKeepsTheParentsRoundClip) {
  Canvas canvas(40, 40);
  {
    CClipRegionUI parent;
    CRenderUI::ClipToRoundRect(canvas.dc(), RECT{0, 0, 40, 40}, RECT{0, 0, 39, 39}, 20, 20,
                               parent);
    {
      CClipRegionUI child;
      CRenderUI::ClipToRect(canvas.dc(), RECT{10, 10, 30, 30}, child);
    }
    canvas.FillAll(RGB(255, 255, 255));
  }
  EXPECT_TRUE(canvas.Painted(20, 20));
  EXPECT_TRUE(canvas.Painted(20, 0));
  EXPECT_FALSE(canvas.Painted(0, 0)) << "the parent's rounded corner stays clipped";
  EXPECT_FALSE(canvas.Painted(39, 39));

  // With no clip before the record, none is left after it.
  Canvas open(20, 20);
  {
    CClipRegionUI clip;
    CRenderUI::ClipToRect(open.dc(), RECT{5, 5, 10, 10}, clip);
  }
  HRGN left = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(open.dc(), left), 0);
  DeleteObject(left);
  open.FillAll(RGB(255, 255, 255));
  EXPECT_TRUE(open.Painted(0, 0));
  EXPECT_TRUE(open.Painted(19, 19));
}

// The fallback must give what the system's AlphaBlend gives.
TEST(RenderAlphaBlend, FallbackMatchesTheSystemBlend) {
  ASSERT_NE(CRenderUI::GetAlphaBlend(), nullptr);
  EXPECT_NE(CRenderUI::GetAlphaBlend(), &CRenderUI::AlphaBlendFallback);
  EXPECT_NE(CRenderUI::GetGradientFill(), nullptr);

  const DWORD sources[] = {0xFFFF0000, 0x80800000, 0x00000000, 0x40102030, 0xC0A0B0C0};
  const DWORD dests[] = {0x00FFFFFF, 0xFF204060, 0x80808080};
  const BLENDFUNCTION blends[] = {{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA},
                                  {AC_SRC_OVER, 0, 128, AC_SRC_ALPHA},
                                  {AC_SRC_OVER, 0, 200, 0}};
  const int n = 5 * 3;
  Canvas source(n, 1);
  for (const BLENDFUNCTION& blend : blends) {
    SCOPED_TRACE(testing::Message() << "constant " << int(blend.SourceConstantAlpha) << " format "
                                    << int(blend.AlphaFormat));
    Canvas system(n, 1), fallback(n, 1);
    for (int s = 0; s < 5; ++s) {
      for (int d = 0; d < 3; ++d) {
        source.Set(s * 3 + d, 0, sources[s]);
        system.Set(s * 3 + d, 0, dests[d]);
        fallback.Set(s * 3 + d, 0, dests[d]);
      }
    }
    ASSERT_TRUE(CRenderUI::GetAlphaBlend()(system.dc(), 0, 0, n, 1, source.dc(), 0, 0, n, 1, blend));
    ASSERT_TRUE(CRenderUI::AlphaBlendFallback(fallback.dc(), 0, 0, n, 1, source.dc(), 0, 0, n, 1, blend));
    for (int i = 0; i < n; ++i) {
      SCOPED_TRACE(testing::Message() << "source " << std::hex << sources[i / 3] << " dest " << dests[i % 3]);
      ExpectNear(fallback.At(i, 0), system.At(i, 0), 2);
    }
  }
}

}  // namespace
