#include "app/cursor_utils.h"

#include <gtest/gtest.h>
#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>

#include <string>
#include <vector>

#include "tests/app/cursor_readback.h"
#include "tests/app/gdiplus_running.h"
#include "tests/support/log_capture.h"

namespace {

uint32_t Pixel(Gdiplus::Bitmap* bitmap, int x, int y) {
  Gdiplus::Color c;
  bitmap->GetPixel(x, y, &c);
  return c.GetValue();
}

using ArrowImage = GdiplusRunning;

TEST_F(ArrowImage, IsA512RgbaWhiteArrowWithBlackOutlineAndItsTipAtTheOrigin) {
  CursorUtils::BitmapPtr image = CursorUtils::LoadPngResource();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->GetWidth(), 512u);
  EXPECT_EQ(image->GetHeight(), 512u);
  EXPECT_NE(image->GetPixelFormat() & PixelFormatAlpha, 0u);
  EXPECT_EQ(Pixel(image.get(), 0, 0), 0xFF000000u);      // the tip is inked
  EXPECT_EQ(Pixel(image.get(), 4, 150), 0xFF000000u);    // left edge: outline
  EXPECT_EQ(Pixel(image.get(), 60, 200), 0xFFFFFFFFu);   // inside: white
  EXPECT_EQ(Pixel(image.get(), 511, 511) >> 24, 0u);     // background: transparent
  EXPECT_EQ(Pixel(image.get(), 300, 40) >> 24, 0u);      // right of the diagonal edge
}

TEST(CursorBaseSize, FollowsTheStandardArrow) {
  const CursorUtils::CursorBaseSize size = CursorUtils::GetCursorBaseSize();
  EXPECT_TRUE(size.read);
  EXPECT_EQ(size.width, size.height);
  EXPECT_EQ(size.width, GetSystemMetrics(SM_CXCURSOR));
}

using ScaledCursor = GdiplusRunning;

TEST_F(ScaledCursor, IsFactorTimesBaseSizeWithTheArrowsHotspotAndShape) {
  struct Case {
    int scale, base, side;
  };
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  for (const Case c : {Case{3, 32, 96}, Case{5, 48, 240}, Case{2, 32, 64}}) {
    SCOPED_TRACE(c.side);
    HCURSOR cursor = CursorUtils::ScaleCursor(arrow, c.scale, c.base);
    const CursorImage image = ReadCursor(cursor);
    ASSERT_TRUE(image.ok);
    EXPECT_FALSE(image.is_icon);
    EXPECT_EQ(image.width, c.side);
    EXPECT_EQ(image.height, c.side);
    EXPECT_EQ(image.hotspot_x, 0);
    EXPECT_EQ(image.hotspot_y, 0);
    // Outline at the tip, white body, transparent corner; the mask marks exactly the inked pixels.
    EXPECT_GT(image.Alpha(0, 0), 0u);
    EXPECT_EQ(image.Color(1, c.side / 4) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.Alpha(c.side / 8, c.side / 2), 0xFFu);
    EXPECT_EQ(image.Color(c.side / 8, c.side / 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.Alpha(c.side - 1, c.side - 1), 0u);
    for (int y = 0; y < c.side; ++y) {
      for (int x = 0; x < c.side; ++x) {
        ASSERT_EQ(image.Mask(x, y), image.Alpha(x, y) != 0 ? 0xFFFFFFu : 0u) << x << "," << y;
      }
    }
  }
}

TEST_F(ScaledCursor, IsBuiltOncePerFactorAndBaseSize) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  HCURSOR five_at_32 = CursorUtils::ScaleCursor(arrow, 5, 32);
  ASSERT_NE(five_at_32, nullptr);
  EXPECT_EQ(CursorUtils::ScaleCursor(arrow, 5, 32), five_at_32);
  // A changed pointer size is a new build, not the cursor of the old size.
  HCURSOR five_at_64 = CursorUtils::ScaleCursor(arrow, 5, 64);
  ASSERT_NE(five_at_64, nullptr);
  EXPECT_NE(five_at_64, five_at_32);
  EXPECT_EQ(ReadCursor(five_at_64).width, 320);
  // The form without a base size reads the current arrow's size and finds the same entry.
  EXPECT_EQ(CursorUtils::ScaleCursor(arrow, 5), CursorUtils::ScaleCursor(arrow, 5, GetSystemMetrics(SM_CXCURSOR)));
}

TEST_F(ScaledCursor, UnreadableSourceFailsWithoutBeingRemembered) {
  EXPECT_EQ(CursorUtils::ScaleCursor(nullptr, 4, 32), nullptr);
  EXPECT_NE(CursorUtils::ScaleCursor(LoadCursorW(nullptr, IDC_ARROW), 4, 32), nullptr);
}

using BitmapToCursor = GdiplusRunning;

TEST_F(BitmapToCursor, ClampsTheHotspotIntoTheBitmap) {
  Gdiplus::Bitmap bitmap(96, 80, PixelFormat32bppARGB);
  struct Case {
    int x, y, want_x, want_y;
  };
  for (const Case c : {Case{0, 0, 0, 0}, Case{40, 50, 40, 50}, Case{200, -5, 95, 0}, Case{-1, 500, 0, 79}}) {
    const ScopedCursor cursor(CursorUtils::BitmapToCursor(&bitmap, c.x, c.y));
    const CursorImage image = ReadCursor(cursor.get());
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.hotspot_x, c.want_x) << c.x;
    EXPECT_EQ(image.hotspot_y, c.want_y) << c.y;
  }
  EXPECT_EQ(CursorUtils::BitmapToCursor(nullptr, 0, 0), nullptr);
}

using ScaleBitmap = GdiplusRunning;

TEST_F(ScaleBitmap, FillsTheTargetBox) {
  CursorUtils::BitmapPtr image = CursorUtils::LoadPngResource();
  ASSERT_TRUE(image);
  CursorUtils::BitmapPtr scaled = CursorUtils::ScaleBitmap(image.get(), 150, 150);
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->GetWidth(), 150u);
  EXPECT_EQ(scaled->GetPixelFormat(), static_cast<Gdiplus::PixelFormat>(PixelFormat32bppARGB));
  EXPECT_GT(Pixel(scaled.get(), 0, 0) >> 24, 0u);
  EXPECT_EQ(Pixel(scaled.get(), 149, 149) >> 24, 0u);
  EXPECT_FALSE(CursorUtils::ScaleBitmap(nullptr, 96, 96));
}

TEST_F(ScaleBitmap, LogsTheScaledAndTheOriginalSize) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  CursorUtils::BitmapPtr image = CursorUtils::LoadPngResource();
  ASSERT_TRUE(image);
  EXPECT_TRUE(CursorUtils::ScaleBitmap(image.get(), 144, 144));
  EXPECT_EQ(log.Messages('I'), (std::vector<std::string>{"scaledWidth:144,scaledHeight:144", "originalWidth:512,originalHeight:512"}));
}

}  // namespace
