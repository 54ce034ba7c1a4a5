#include "vellum/controls/progress/progress.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::SolidPng;
using testing_support::Rgba;
using testing_support::Surface;
using Vellum::CPaintManagerUI;
using Vellum::CProgressUI;

constexpr DWORD kPaper = 0xFFFFFFFF;
constexpr DWORD kFore = 0xFF2040C0;

// A progress bar attached to a windowless manager at a fixed place.
struct PlacedProgress {
  CPaintManagerUI manager;
  CProgressUI progress;
  explicit PlacedProgress(const RECT& pos) {
    progress.SetManager(&manager, nullptr, false);
    progress.SetPos(pos, false);
  }
  // Paints through the control's own paint path into a fresh surface of the given size.
  void PaintInto(Surface& surface) { progress.Paint(surface.dc(), RECT{0, 0, surface.width(), surface.height()}); }
};

// The filled part of a row (or column) as [first, last] of pixels that are not paper.
std::pair<int, int> InkedSpan(const Surface& surface, bool row, int index, int length) {
  int first = -1;
  int last = -1;
  for (int i = 0; i < length; ++i) {
    const DWORD pixel = row ? surface.At(i, index) : surface.At(index, i);
    if ((pixel & 0xFFFFFF) == (kPaper & 0xFFFFFF)) continue;
    if (first < 0) first = i;
    last = i;
  }
  return {first, last};
}

TEST(Progress, IdentityAndDefaults) {
  CProgressUI progress;
  EXPECT_STREQ(progress.GetClass(), L"ProgressUI");
  EXPECT_EQ(progress.GetInterface(L"PROGRESS"), &progress);
  EXPECT_EQ(progress.GetInterface(L"Label"), &progress);
  EXPECT_EQ(progress.GetTextStyle(), static_cast<UINT>(DT_SINGLELINE | DT_CENTER));
  EXPECT_EQ(progress.GetFixedHeight(), 12);
  EXPECT_EQ(progress.GetMinValue(), 0);
  EXPECT_EQ(progress.GetMaxValue(), 100);
  EXPECT_EQ(progress.GetValue(), 0);
  EXPECT_TRUE(progress.IsHorizontal());
  EXPECT_TRUE(progress.IsStretchFore());
  EXPECT_FALSE(progress.IsShowText());
}

TEST(Progress, Attributes) {
  CProgressUI progress;
  progress.SetAttribute(L"HOR", L"False");
  EXPECT_FALSE(progress.IsHorizontal());
  progress.SetAttribute(L"hor", L"TRUE");
  EXPECT_TRUE(progress.IsHorizontal());
  progress.SetAttribute(L"hor", L"1");  // only "true" is true
  EXPECT_FALSE(progress.IsHorizontal());
  progress.SetAttribute(L"min", L"-20");
  progress.SetAttribute(L"Max", L"40");
  progress.SetAttribute(L"value", L"-5");
  EXPECT_EQ(progress.GetMinValue(), -20);
  EXPECT_EQ(progress.GetMaxValue(), 40);
  EXPECT_EQ(progress.GetValue(), -5);
  progress.SetAttribute(L"isstretchfore", L"false");
  EXPECT_FALSE(progress.IsStretchFore());
  progress.SetAttribute(L"showtext", L"true");
  EXPECT_TRUE(progress.IsShowText());
  // Names the progress bar does not know go to the label.
  progress.SetAttribute(L"textcolor", L"#FF123456");
  EXPECT_EQ(progress.GetTextColor(), 0xFF123456u);
}

TEST(Progress, ValueRulesAndPercentText) {
  const struct {
    const char* name;
    int minimum, maximum, start, set, expected;
  } cases[] = {
      {"inside", 0, 100, 0, 25, 25},
      {"above the maximum changes nothing", 0, 100, 40, 150, 40},
      {"below the minimum changes nothing", 10, 100, 40, 9, 40},
      {"the maximum itself", 0, 100, 40, 100, 100},
  };
  for (const auto& c : cases) {
    CProgressUI progress;
    progress.SetMinValue(c.minimum);
    progress.SetMaxValue(c.maximum);
    progress.SetValue(c.start);
    progress.SetValue(c.set);
    EXPECT_EQ(progress.GetValue(), c.expected) << c.name;
  }

  CProgressUI progress;
  progress.SetShowText(true);
  progress.SetValue(25);
  EXPECT_EQ(progress.GetText(), L"25%");
  progress.SetMinValue(-100);
  progress.SetValue(50);
  EXPECT_EQ(progress.GetText(), L"75%");
  progress.SetShowText(false);
  EXPECT_EQ(progress.GetText(), L"");
  // Turned on after the value was set, the text shows the value at once.
  progress.SetShowText(true);
  EXPECT_EQ(progress.GetText(), L"75%");
}

TEST(Progress, TheTextNeverDividesByAnEmptyRange) {
  // The bounds move without a paint in between: the text uses the guard painting uses.
  CProgressUI progress;
  progress.SetValue(5);
  progress.SetMinValue(5);
  progress.SetMaxValue(5);
  progress.SetShowText(true);
  EXPECT_EQ(progress.GetText(), L"0%");
  progress.SetMinValue(9);
  progress.SetMaxValue(2);
  progress.UpdateText();
  EXPECT_EQ(progress.GetText(), L"0%");
}

TEST(ProgressPaint, TheForeColourFillsTheValuePart) {
  const struct {
    const char* name;
    bool horizontal;
    int value;
    int first, last;  // filled pixels along the bar
  } cases[] = {
      {"horizontal: a quarter of 200 from the left", true, 25, 0, 49},
      {"horizontal: full", true, 100, 0, 199},
      {"horizontal: empty", true, 0, -1, -1},
      // Vertical bars fill from the value down to the bottom, like the fore image.
      {"vertical: a quarter of 200 at the bottom", false, 25, 150, 199},
      {"vertical: three quarters", false, 75, 50, 199},
  };
  for (const auto& c : cases) {
    const RECT pos = c.horizontal ? RECT{0, 0, 200, 12} : RECT{0, 0, 12, 200};
    PlacedProgress p(pos);
    p.progress.SetHorizontal(c.horizontal);
    p.progress.SetForeColor(kFore);
    p.progress.SetValue(c.value);
    Surface surface(pos.right, pos.bottom, kPaper);
    p.PaintInto(surface);
    const auto span = InkedSpan(surface, c.horizontal, 6, 200);
    EXPECT_EQ(span.first, c.first) << c.name;
    EXPECT_EQ(span.second, c.last) << c.name;
    if (span.first >= 0) {
      const DWORD pixel = c.horizontal ? surface.At(span.first, 6) : surface.At(6, span.first);
      EXPECT_EQ(pixel & 0xFFFFFF, kFore & 0xFFFFFF) << c.name;
    }
  }
}

TEST(ProgressPaint, ForeColourAndForeImageFillTheSamePart) {
  SolidPng image(L"progress_test_fore.png", 200, 200, Rgba{0x20, 0x40, 0xC0, 255});
  for (bool horizontal : {true, false}) {
    for (bool stretch : {true, false}) {
      const RECT pos = horizontal ? RECT{0, 0, 200, 12} : RECT{0, 0, 12, 200};
      PlacedProgress by_colour(pos);
      PlacedProgress by_image(pos);
      for (PlacedProgress* p : {&by_colour, &by_image}) {
        p->progress.SetHorizontal(horizontal);
        p->progress.SetStretchFore(stretch);
        p->progress.SetMinValue(10);
        p->progress.SetMaxValue(50);
        p->progress.SetValue(20);
      }
      by_colour.progress.SetForeColor(kFore);
      by_image.progress.SetForeImage(L"progress_test_fore.png");
      Surface colour_surface(pos.right, pos.bottom, kPaper);
      Surface image_surface(pos.right, pos.bottom, kPaper);
      by_colour.PaintInto(colour_surface);
      by_image.PaintInto(image_surface);
      const auto colour_span = InkedSpan(colour_surface, horizontal, 6, 200);
      const auto image_span = InkedSpan(image_surface, horizontal, 6, 200);
      EXPECT_EQ(colour_span, image_span) << horizontal << stretch;
      EXPECT_EQ(colour_span, horizontal ? std::make_pair(0, 49) : std::make_pair(150, 199))
          << horizontal << stretch;
    }
  }
}

TEST(ProgressPaint, AnEmptyRangePaintsAsMinimumPlusOneAndIsStoredBack) {
  PlacedProgress p(RECT{0, 0, 200, 12});
  p.progress.SetForeColor(kFore);
  p.progress.SetValue(80);
  p.progress.SetMinValue(5);
  p.progress.SetMaxValue(5);
  Surface surface(200, 12, kPaper);
  p.PaintInto(surface);
  // The value 80 is held at the guarded maximum 6: the bar is full.
  EXPECT_EQ(InkedSpan(surface, true, 6, 200), std::make_pair(0, 199));
  EXPECT_EQ(p.progress.GetMaxValue(), 6);
  EXPECT_EQ(p.progress.GetValue(), 6);
}

TEST(ProgressPaint, TheForeImageFollowsTheScale) {
  SolidPng image(L"progress_test_scaled.png", 8, 8, Rgba{0x20, 0x40, 0xC0, 255});
  PlacedProgress p(RECT{0, 0, 400, 24});
  p.manager.SetDPI(192);
  p.progress.SetForeImage(L"progress_test_scaled.png");
  p.progress.SetValue(25);
  Surface surface(400, 24, kPaper);
  p.PaintInto(surface);
  EXPECT_EQ(InkedSpan(surface, true, 12, 400), std::make_pair(0, 99));
}

}  // namespace
