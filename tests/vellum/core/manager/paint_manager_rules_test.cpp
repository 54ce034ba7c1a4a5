#include "vellum/core/manager/paint_manager_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace Vellum {
namespace {

TEST(PaintManagerRulesTest, DpiImageNamesFallBackToThePlainAndTheOriginalName) {
  struct Case {
    const wchar_t* name;
    bool cut;
    const wchar_t* plain;
    bool unmarked;
    const wchar_t* original;
  };
  const Case cases[] = {
      {L"img/a@200.png", true, L"img/a.png", true, L"img/a.png"},
      // A folder with a dot: the cut keeps the folder's mark, the original name does not.
      {L"img@150.x/a@150.png", true, L"img@150.x/a.png", true, L"img.x/a.png"},
      {L"a.png", false, L"", false, L""},
      {L"mail@host", false, L"", false, L""},
      // "@" after the last ".": nothing to cut.
      {L"a.png@2", false, L"", false, L""},
      // Only "@" followed by digits and "." is a scale mark.
      {L"user@x.png", true, L"user.png", false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CUIString plain;
    EXPECT_EQ(CutDpiSuffix(c.name, &plain), c.cut);
    if (c.cut) {
      EXPECT_STREQ(plain.GetData(), c.plain);
    }
    CUIString original;
    EXPECT_EQ(RemoveDpiMarks(c.name, &original), c.unmarked);
    if (c.unmarked) {
      EXPECT_STREQ(original.GetData(), c.original);
    }
  }
}

TEST(PaintManagerRulesTest, SkinFontsStartFromTheStockFont) {
  LOGFONTW stock{};
  stock.lfHeight = -11;
  stock.lfWeight = FW_NORMAL;
  stock.lfCharSet = ANSI_CHARSET;
  wcscpy(stock.lfFaceName, L"MS Shell Dlg");

  LOGFONTW plain = MakeSkinLogFont(stock, L"", 15, false, false, false, false);
  EXPECT_STREQ(plain.lfFaceName, L"MS Shell Dlg");
  EXPECT_EQ(plain.lfHeight, -15);
  EXPECT_EQ(plain.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(plain.lfWeight, FW_NORMAL);

  LOGFONTW bold = MakeSkinLogFont(stock, L"Arial", 12, true, true, true, false);
  EXPECT_STREQ(bold.lfFaceName, L"Arial");
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  EXPECT_TRUE(bold.lfUnderline);
  EXPECT_TRUE(bold.lfItalic);
  // The default font adds the bold weight to the stock one.
  EXPECT_EQ(MakeSkinLogFont(stock, L"Arial", 12, true, false, false, true).lfWeight,
            FW_NORMAL + FW_BOLD);

  const wchar_t long_face[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij";  // 36 characters
  LOGFONTW cut = MakeSkinLogFont(stock, long_face, 12, false, false, false, false);
  EXPECT_EQ(wcslen(cut.lfFaceName), 31u);
  EXPECT_EQ(std::wstring(cut.lfFaceName), std::wstring(long_face, 31));
}

TEST(PaintManagerRulesTest, WheelAndInvalidationArithmetic) {
  EXPECT_EQ(PackWheelDelta(120), static_cast<WPARAM>(MAKEWPARAM(0, 120)));
  EXPECT_EQ(PackWheelDelta(-120), static_cast<WPARAM>(MAKEWPARAM(1, static_cast<WORD>(-120))));

  struct Case {
    RECT in;
    RECT out;
  };
  const Case cases[] = {
      {{10, 10, 20, 20}, {10, 10, 20, 20}},
      {{-5, -7, 20, 20}, {0, 0, 20, 20}},
      // Right left of left: an empty rectangle at the left edge.
      {{30, 10, 20, 40}, {30, 10, 30, 40}},
      {{10, 30, 20, 5}, {10, 30, 20, 30}},
  };
  for (const Case& c : cases) {
    const RECT r = NormalizeInvalidRect(c.in);
    EXPECT_EQ(r.left, c.out.left);
    EXPECT_EQ(r.top, c.out.top);
    EXPECT_EQ(r.right, c.out.right);
    EXPECT_EQ(r.bottom, c.out.bottom);
  }

  const SIZE grown = ScaleWindowSize({300, 201}, 100, 150);
  EXPECT_EQ(grown.cx, 450);
  EXPECT_EQ(grown.cy, 301);  // 301.5 truncated
  const SIZE same = ScaleWindowSize({300, 200}, 150, 150);
  EXPECT_EQ(same.cx, 300);
  EXPECT_EQ(same.cy, 200);
}

TEST(PaintManagerRulesTest, TimerCounterStartsAt17AndWrapsAfter239) {
  UINT counter = kTimerCounterStart;
  counter = NextTimerCounter(counter);
  EXPECT_EQ(counter, 17u);
  for (int i = 0; i < 222; ++i) counter = NextTimerCounter(counter);
  EXPECT_EQ(counter, 239u);
  EXPECT_EQ(NextTimerCounter(counter), 0u);
}

// The off-screen bitmap is top-down: clearing the paint rectangle must clear exactly its rows.
TEST(PaintManagerRulesTest, LayeredClearTouchesOnlyThePaintRectangleOfATopDownBitmap) {
  const int width = 4, height = 5;
  std::vector<DWORD> pixels(width * height + 1, 0xFFFFFFFFu);  // one guard pixel past the end
  ClearPixels(pixels.data(), width, height, RECT{1, 0, 3, 2});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool inside = x >= 1 && x < 3 && y < 2;
      EXPECT_EQ(pixels[y * width + x], inside ? 0u : 0xFFFFFFFFu) << x << "," << y;
    }
  }
  // A rectangle reaching past the bitmap is clipped to it; the guard stays.
  ClearPixels(pixels.data(), width, height, RECT{-3, 3, 10, 12});
  for (int x = 0; x < width; ++x) {
    EXPECT_EQ(pixels[4 * width + x], 0u);
    EXPECT_EQ(pixels[2 * width + x], 0xFFFFFFFFu);
  }
  EXPECT_EQ(pixels[width * height], 0xFFFFFFFFu);
}

TEST(PaintManagerRulesTest, LayeredPixelPasses) {
  const RECT all{0, 0, 4, 1};
  {
    // GDI drawing leaves alpha 0: coloured pixels become opaque, black ones stay transparent,
    // pixels that already carry alpha keep it.
    std::vector<DWORD> pixels = {0x00FF0000u, 0x00000000u, 0x80402010u, 0x00000001u};
    MakeGdiPixelsOpaque(pixels.data(), 4, 1, all);
    EXPECT_EQ(pixels, (std::vector<DWORD>{0xFFFF0000u, 0u, 0x80402010u, 0xFF000001u}));
  }
  {
    std::vector<DWORD> pixels = {0xFFFF8040u, 0xFFFF8040u, 0xFFFF8040u, 0xFFFF8040u};
    const std::vector<DWORD> shape = {0xFF000000u, 0x00123456u, 0x80000000u, 0x01FFFFFFu};
    ApplyShapeAlpha(pixels.data(), shape.data(), 4, 1, RECT{0, 0, 3, 1});
    EXPECT_EQ(pixels[0], 0xFFFF8040u);
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_EQ(pixels[2], (0x80u << 24) | (0x80u << 16) | (0x40u << 8) | 0x20u);
    EXPECT_EQ(pixels[3], 0xFFFF8040u);  // outside the paint rectangle
  }
  {
    std::vector<DWORD> pixels = {0u, 0x00000100u, 0x12345678u};
    MakeNonZeroPixelsOpaque(pixels.data(), 3);
    EXPECT_EQ(pixels, (std::vector<DWORD>{0u, 0xFF000100u, 0xFF345678u}));
  }
}

}  // namespace
}  // namespace Vellum
