#include "vellum/controls/combo/drop_down_placement.h"

#include <gtest/gtest.h>

#include "tests/vellum/support/container_test_controls.h"

namespace {

using Vellum::PlaceDropDown;

struct PlacementCase {
  const char* name;
  RECT combo;
  int width;
  int height;
  RECT work_area;
  RECT expected;
};

TEST(DropDownPlacement, HangsBelowFlipsAboveAndStaysInsideTheWorkArea) {
  const RECT screen{0, 0, 1280, 1024};
  const RECT second_monitor{1280, 0, 2560, 1024};
  const PlacementCase cases[] = {
      {"below, combo width", {100, 100, 300, 124}, 0, 104, screen, {100, 124, 300, 228}},
      {"below, own width", {100, 100, 300, 124}, 350, 104, screen, {100, 124, 450, 228}},
      {"exactly fits below", {100, 896, 300, 920}, 0, 104, screen, {100, 920, 300, 1024}},
      {"one pixel short: above, same height", {100, 897, 300, 921}, 0, 104, screen,
       {100, 793, 300, 897}},
      {"bottom of a second monitor", {1400, 980, 1600, 1004}, 0, 150, second_monitor,
       {1400, 830, 1600, 980}},
      {"past the right edge: moved left", {1200, 100, 1270, 124}, 200, 50, screen,
       {1080, 124, 1280, 174}},
      {"past the left edge: moved right", {-30, 100, 170, 124}, 0, 50, screen,
       {0, 124, 200, 174}},
      {"wider than the work area: left edge kept", {1300, 100, 1400, 124}, 1500, 50,
       second_monitor, {1280, 124, 2780, 174}},
  };
  for (const PlacementCase& c : cases) {
    const RECT placed = PlaceDropDown(c.combo, c.width, c.height, c.work_area);
    EXPECT_TRUE(testing_support::SameRect(placed, c.expected)) << c.name << ": " << placed;
  }
}

}  // namespace
