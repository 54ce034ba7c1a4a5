#include "vellum/controls/list/list_header_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/vellum/support/container_test_controls.h"

namespace {

using Vellum::HeaderColumnWidths;
using Vellum::HeaderSeparatorHit;
using Vellum::THeaderColumn;
using Vellum::THeaderSpace;

TEST(ListHeaderGeometry, SeparatorStripAndItsHitZone) {
  const RECT item{100, 0, 200, 20};
  EXPECT_TRUE(testing_support::SameRect(Vellum::HeaderSeparatorStrip(item, 4),
                                        RECT{196, 0, 200, 20}));
  EXPECT_TRUE(testing_support::SameRect(Vellum::HeaderSeparatorStrip(item, -4),
                                        RECT{100, 0, 104, 20}));
  const struct {
    int sep_width;
    int x;
    bool hit;
  } cases[] = {
      {4, 199, true},    // inside the right-edge strip
      {4, 192, true},    // the 4-pixel grip inside the item
      {4, 191, false},   // just beyond the grip
      {4, 200, false},   // the right edge belongs to the next item
      {-4, 100, true},   // left-edge strip
      {-4, 107, true},   // its grip reaches inwards to the right
      {-4, 108, false},
      {0, 199, false},   // no separator: no hit zone at all, not even the grip
      {0, 196, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HeaderSeparatorHit(item, c.sep_width, POINT{c.x, 10}), c.hit)
        << "sep " << c.sep_width << " x " << c.x;
  }
}

TEST(ListHeaderGeometry, TheDraggedEdgeFollowsThePointer) {
  const RECT item{100, 0, 200, 20};
  EXPECT_EQ(Vellum::DraggedColumnWidth(item, 4, 30, 0), 130);
  EXPECT_EQ(Vellum::DraggedColumnWidth(item, 4, -30, 0), 70);
  EXPECT_EQ(Vellum::DraggedColumnWidth(item, -4, 30, 0), 70);  // the left edge moves right
  EXPECT_EQ(Vellum::DraggedColumnWidth(item, 4, 0, 5), 95);
}

THeaderColumn Fixed(int width) {
  THeaderColumn column;
  column.estimated_width = width;
  return column;
}

THeaderColumn Scaled(int percent) {
  THeaderColumn column;
  column.scale = percent;
  return column;
}

TEST(ListHeaderGeometry, ColumnWidths) {
  THeaderColumn hidden = Fixed(50);
  hidden.visible = false;
  THeaderColumn floating = Fixed(50);
  floating.floating = true;
  THeaderColumn clamped = Fixed(10);
  clamped.min_width = 16;
  THeaderColumn padded;
  padded.padding_left = 5;
  padded.padding_right = 5;
  const struct {
    const char* name;
    std::vector<THeaderColumn> columns;
    THeaderSpace space;
    std::vector<int> widths;
  } cases[] = {
      // Every item has a width (the usual case): nothing to share, no division by zero.
      {"all fixed", {Fixed(100), Fixed(150)}, {400, 0, 400, false}, {100, 150}},
      {"one free item takes the rest", {Fixed(100), THeaderColumn{}}, {400, 0, 400, false}, {100, 300}},
      {"free items share, the last takes the remainder",
       {THeaderColumn{}, Fixed(100), THeaderColumn{}}, {301, 0, 301, false}, {100, 100, 101}},
      {"child padding comes off the share", {THeaderColumn{}, THeaderColumn{}}, {210, 10, 210, false},
       {100, 100}},
      {"item padding comes off the share", {padded, Fixed(100)}, {400, 0, 400, false}, {290, 100}},
      {"no room leaves free items empty", {Fixed(300), THeaderColumn{}}, {200, 0, 200, false}, {300, 0}},
      {"min width clamps", {clamped, Fixed(20)}, {400, 0, 400, false}, {16, 20}},
      {"hidden and floating items are not placed", {hidden, Fixed(80), floating, THeaderColumn{}},
       {200, 0, 200, false}, {0, 80, 0, 120}},
      {"scale header 30/70 of 400", {Scaled(30), Scaled(70)}, {400, 0, 400, true}, {120, 280}},
      {"scale base less the list's vertical bar", {Scaled(30), Scaled(70)}, {400, 0, 300, true},
       {90, 210}},
      {"scaled widths truncate", {Scaled(33), Scaled(33)}, {100, 0, 100, true}, {33, 33}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HeaderColumnWidths(c.columns, c.space), c.widths) << c.name;
  }
}

}  // namespace
