#include "app/popup_placement.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

namespace {

constexpr SIZE kMenu96 = {120, 72};
constexpr int kGap96 = 5;
constexpr RECT kScreen = {0, 0, 1280, 1024};

TEST(PlacePopupMenu, OpensAwayFromTheTaskbar) {
  struct Case {
    const char* name;
    UINT edge;
    POINT cursor;
    SIZE menu;
    int gap;
    RECT work_area;
    POINT expected;
  } cases[] = {
      {"bottom: above and right", ABE_BOTTOM, {600, 1000}, kMenu96, kGap96, kScreen, {605, 923}},
      // Near the right edge the menu flips left: its right edge stays 5 pixels right of the cursor.
      {"bottom near the right edge", ABE_BOTTOM, {1250, 1010}, kMenu96, kGap96, kScreen, {1135, 933}},
      {"bottom, menu ends exactly at the edge", ABE_BOTTOM, {1155, 1000}, kMenu96, kGap96, kScreen, {1160, 923}},
      {"bottom, one pixel over the edge", ABE_BOTTOM, {1156, 1000}, kMenu96, kGap96, kScreen, {1041, 923}},
      {"top: below and right", ABE_TOP, {600, 10}, kMenu96, kGap96, kScreen, {605, 15}},
      {"top near the right edge", ABE_TOP, {1250, 10}, kMenu96, kGap96, kScreen, {1135, 15}},
      {"left: above and right", ABE_LEFT, {10, 500}, kMenu96, kGap96, kScreen, {15, 423}},
      // The left and right taskbars keep no watch on the work area.
      {"left near the top", ABE_LEFT, {10, 20}, kMenu96, kGap96, kScreen, {15, -57}},
      {"right: above and left", ABE_RIGHT, {1270, 500}, kMenu96, kGap96, kScreen, {1145, 423}},
      {"no taskbar: at the cursor", kUnknownTaskbarEdge, {600, 500}, kMenu96, kGap96, kScreen, {600, 500}},
      {"unexpected edge: at the cursor", 7, {600, 500}, kMenu96, kGap96, kScreen, {600, 500}},
      // 144 DPI: 180 x 108 and a gap of 8; the work area's right edge is what counts, not the screen's.
      {"144 dpi, bottom near the right edge", ABE_BOTTOM, {1900, 1030}, {180, 108}, 8, {0, 0, 1920, 1040},
       {1728, 914}},
      {"work area ending short of the screen", ABE_TOP, {1700, 40}, {180, 108}, 8, {0, 40, 1800, 1080},
       {1528, 48}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const POINT at = PlacePopupMenu(c.edge, c.cursor, c.menu, c.gap, c.work_area);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

// Wine's shell (and its taskbar) comes up with the first program of a session and goes a little after
// the last one ends, so a test that starts right after another may be there before it.
UINT WaitForTaskbarEdge() {
  UINT edge = kUnknownTaskbarEdge;
  for (int attempt = 0; attempt < 100 && edge == kUnknownTaskbarEdge; ++attempt) {
    edge = QueryTaskbarEdge();
    if (edge == kUnknownTaskbarEdge) Sleep(100);
  }
  return edge;
}

// The menu's position for the cursor put at `cursor`; false when the cursor could not be put there
// or something else moved it meanwhile, every time.
bool PositionAt(POINT cursor, POINT* at) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (SetCursorPos(cursor.x, cursor.y)) {
      *at = PopupMenuPositionAtCursor(kMenu96, kGap96);
      POINT after = {};
      GetCursorPos(&after);
      if (after.x == cursor.x && after.y == cursor.y) return true;
    }
    Sleep(50);
  }
  return false;
}

// Wine's own taskbar lies along the bottom of the screen.
TEST(PopupMenuPositionAtCursor, UsesTheShellsTaskbarAndTheRealCursor) {
  ASSERT_EQ(WaitForTaskbarEdge(), static_cast<UINT>(ABE_BOTTOM));
  POINT at = {};
  ASSERT_TRUE(PositionAt({400, 300}, &at));
  EXPECT_EQ(at.x, 405);
  EXPECT_EQ(at.y, 223);

  RECT work_area = {};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0));
  ASSERT_TRUE(PositionAt({work_area.right - 10, 300}, &at));
  EXPECT_EQ(at.x, work_area.right - 10 + kGap96 - kMenu96.cx);
  EXPECT_EQ(at.y, 223);
}

}  // namespace
