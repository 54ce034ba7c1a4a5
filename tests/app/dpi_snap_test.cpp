#include "app/dpi_snap.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SnapDpi, RoundsToTheNearestSkinnedStep) {
  struct Case {
    int dpi;
    int snapped;
  } cases[] = {
      {INT_MIN, 96}, {0, 96},    {72, 96},   {96, 96},   {120, 96},  {121, 144},     {143, 144},
      {144, 144},    {168, 144}, {172, 144}, {173, 192}, {191, 192}, {192, 192},     {240, 192},
      {288, 192},    {INT_MAX, 192},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(SnapDpi(c.dpi), c.snapped);
  }
}

}  // namespace
