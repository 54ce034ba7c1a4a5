#include "vellum/controls/progress/progress_geometry.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/vellum/support/container_test_controls.h"

namespace {

using testing_support::SameRect;
using Vellum::TProgressRange;

TEST(ProgressRange, NormalisationGuardsTheRangeAndHoldsTheValue) {
  const struct {
    const char* name;
    TProgressRange in;
    TProgressRange out;
  } cases[] = {
      {"inside", {0, 100, 25}, {0, 100, 25}},
      {"equal bounds count as minimum + 1", {5, 5, 5}, {5, 6, 5}},
      {"maximum below minimum", {10, 3, 0}, {10, 11, 10}},
      {"value above", {0, 100, 150}, {0, 100, 100}},
      {"value below", {-20, -10, -30}, {-20, -10, -20}},
      {"the largest minimum keeps a range", {INT_MAX, INT_MAX, 0}, {INT_MAX - 1, INT_MAX, INT_MAX - 1}},
  };
  for (const auto& c : cases) {
    const TProgressRange r = Vellum::NormalizeProgressRange(c.in.minimum, c.in.maximum, c.in.value);
    EXPECT_EQ(r.minimum, c.out.minimum) << c.name;
    EXPECT_EQ(r.maximum, c.out.maximum) << c.name;
    EXPECT_EQ(r.value, c.out.value) << c.name;
  }
}

TEST(ProgressRange, ExtentsAndPercentNeverDivideByAnEmptyRange) {
  const struct {
    const char* name;
    TProgressRange range;
    int length;
    int filled;
    int unfilled;
    double percent;
  } cases[] = {
      {"a quarter of 200", {0, 100, 25}, 200, 50, 150, 25.0},
      {"truncated", {0, 3, 1}, 100, 33, 66, 100.0 / 3.0},
      {"empty range, value at the minimum", {5, 5, 5}, 200, 0, 200, 0.0},
      {"empty range, value above", {5, 5, 9}, 200, 200, 0, 100.0},
      {"reversed range", {50, 0, 20}, 80, 0, 80, 0.0},
      {"a wide range does not overflow", {INT_MIN, INT_MAX, 0}, 1000, 500, 499, 50.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Vellum::ProgressFilledExtent(c.length, c.range), c.filled) << c.name;
    EXPECT_EQ(Vellum::ProgressUnfilledExtent(c.length, c.range), c.unfilled) << c.name;
    EXPECT_NEAR(Vellum::ProgressPercent(c.range), c.percent, 0.01) << c.name;
  }
}

TEST(SliderGeometry, ThumbRectangles) {
  const struct {
    const char* name;
    RECT item;
    SIZE thumb;
    bool horizontal;
    TProgressRange range;
    RECT expected;
  } cases[] = {
      {"horizontal at the minimum", {10, 0, 120, 20}, {10, 10}, true, {0, 100, 0}, {10, 5, 20, 15}},
      {"horizontal in the middle", {10, 0, 120, 20}, {10, 10}, true, {0, 100, 50}, {60, 5, 70, 15}},
      {"horizontal at the maximum", {10, 0, 120, 20}, {10, 10}, true, {0, 100, 100}, {110, 5, 120, 15}},
      {"vertical at the minimum sits at the bottom", {0, 0, 20, 110}, {10, 10}, false, {0, 100, 0},
       {5, 100, 15, 110}},
      {"vertical at the maximum sits at the top", {0, 0, 20, 110}, {10, 10}, false, {0, 100, 100},
       {5, 0, 15, 10}},
      {"empty range", {0, 0, 110, 20}, {10, 10}, true, {7, 7, 7}, {0, 5, 10, 15}},
  };
  for (const auto& c : cases) {
    EXPECT_PRED2(SameRect, Vellum::SliderThumbRect(c.item, c.thumb, c.horizontal, c.range),
                 c.expected)
        << c.name;
  }
}

TEST(SliderGeometry, ValueFromPoint) {
  // A slider 110 pixels wide (or tall) from 0 to 100 with a 10-pixel thumb: 100 pixels of travel.
  const RECT wide{0, 0, 110, 20};
  const RECT tall{0, 0, 20, 110};
  const SIZE thumb{10, 10};
  const TProgressRange range{0, 100, 0};
  const struct {
    const char* name;
    bool horizontal;
    POINT point;
    int value;
  } cases[] = {
      {"left + 5 gives the minimum", true, {5, 10}, 0},
      {"left of the item gives the minimum", true, {-40, 10}, 0},
      {"right - 5 gives the maximum", true, {105, 10}, 100},
      {"beyond the right gives the maximum", true, {400, 10}, 100},
      {"the middle gives half the range", true, {55, 10}, 50},
      {"one pixel in", true, {6, 10}, 1},
      {"bottom - 5 gives the minimum", false, {10, 105}, 0},
      {"top + 5 gives the maximum", false, {10, 5}, 100},
      {"the vertical middle gives half", false, {10, 55}, 50},
      {"a quarter up", false, {10, 80}, 25},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Vellum::SliderValueFromPoint(c.horizontal ? wide : tall, thumb, c.horizontal, range,
                                           c.point),
              c.value)
        << c.name;
  }
  // A range not yet normalised and a track no longer than the thumb divide by nothing; half of the
  // one step of 3..4 truncates to 3.
  EXPECT_EQ(Vellum::SliderValueFromPoint(wide, thumb, true, TProgressRange{3, 3, 3}, POINT{55, 10}),
            3);
  EXPECT_EQ(Vellum::SliderValueFromPoint(wide, thumb, true, TProgressRange{3, 3, 3}, POINT{104, 10}),
            3);
  EXPECT_EQ(Vellum::SliderValueFromPoint(RECT{0, 0, 10, 20}, SIZE{10, 10}, true, range,
                                         POINT{5, 10}),
            100);
  EXPECT_EQ(Vellum::SliderValueFromPoint(RECT{0, 0, 4, 20}, SIZE{10, 10}, true, range,
                                         POINT{2, 10}),
            100);
}

// The value under a point is truncated as the thumb's placement is: 102 pixels into 210 pixels of
// travel is 48 of 100 (48.57), and wherever the point lies, the thumb of the value it gives is
// centred at or before it and that of the next value at or after it.
TEST(SliderGeometry, TheValueFromAPointTruncatesAsTheThumbIsPlaced) {
  EXPECT_EQ(Vellum::SliderValueFromPoint(RECT{0, 0, 220, 20}, SIZE{10, 10}, true,
                                         TProgressRange{0, 100, 0}, POINT{5 + 102, 10}),
            48);
  EXPECT_EQ(Vellum::SliderValueFromPoint(RECT{0, 0, 20, 220}, SIZE{10, 10}, false,
                                         TProgressRange{0, 100, 0}, POINT{10, 220 - 5 - 102}),
            48);
  const struct {
    const char* name;
    int length;
    int minimum;
    int maximum;
  } cases[] = {
      {"187 pixels for 100 values", 207, 0, 100},
      {"as many pixels as values", 120, 0, 100},
      {"50 pixels for 1000 values", 70, 0, 1000},
      {"an offset range", 90, -30, 7},
  };
  const SIZE thumb{20, 20};
  for (const auto& c : cases) {
    for (bool horizontal : {true, false}) {
      const RECT place = horizontal ? RECT{30, 0, 30 + c.length, 24} : RECT{0, 30, 24, 30 + c.length};
      const int first = horizontal ? place.left : place.top;
      const int last = horizontal ? place.right : place.bottom;
      for (int at = first; at < last; ++at) {
        const POINT point = horizontal ? POINT{at, 12} : POINT{12, at};
        const TProgressRange range{c.minimum, c.maximum, c.minimum};
        const int value = Vellum::SliderValueFromPoint(place, thumb, horizontal, range, point);
        ASSERT_GE(value, c.minimum) << c.name;
        ASSERT_LE(value, c.maximum) << c.name;
        // The thumb centre's distance along the travel from the minimum's end.
        auto centre_of = [&](int v) {
          const RECT r = Vellum::SliderThumbRect(place, thumb, horizontal,
                                                 TProgressRange{c.minimum, c.maximum, v});
          return horizontal ? r.left + thumb.cx / 2 - at : at - (r.bottom - thumb.cy / 2);
        };
        if (value > c.minimum && value < c.maximum) {
          EXPECT_LE(centre_of(value), 0) << c.name << " " << horizontal << " at " << at;
          EXPECT_GE(centre_of(value + 1), 0) << c.name << " " << horizontal << " at " << at;
        }
      }
    }
  }
}

}  // namespace
