// Where root menus and sub-menus go: the alignment flags, the edges of the work area, and a chain
// of sub-menus that keeps the direction it once had to take.

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "vellum/controls/menu/menu_placement.h"

namespace {

using namespace Vellum;

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MenuPlacement, RootMenuCornerFollowsTheAlignmentAndIsNotClamped) {
  struct Case {
    UINT alignment;
    POINT point;
    RECT expected;
  };
  const SIZE size{120, 90};
  const Case cases[] = {
      {MENU_ALIGN_LEFT | MENU_ALIGN_TOP, {300, 200}, {300, 200, 420, 290}},
      {MENU_ALIGN_RIGHT | MENU_ALIGN_BOTTOM, {300, 200}, {180, 110, 300, 200}},
      {MENU_ALIGN_RIGHT, {300, 200}, {180, 200, 300, 290}},
      {MENU_ALIGN_BOTTOM | MENU_ALIGN_LEFT, {300, 200}, {300, 110, 420, 200}},
      {0, {300, 200}, {300, 200, 420, 290}},
      // Beyond the screen's edge it stays where the point puts it.
      {MENU_ALIGN_LEFT | MENU_ALIGN_TOP, {1250, 1000}, {1250, 1000, 1370, 1090}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    const RECT placed = PlaceRootMenu(c.point, size, c.alignment);
    EXPECT_TRUE(Same(placed, c.expected))
        << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
  }
}

TEST(MenuPlacement, SubMenuOpensBesideItsParentAndTurnsAtTheWorkAreaEdges) {
  const RECT work{0, 0, 1280, 1024};
  const SIZE size{150, 120};
  struct Case {
    const char* what;
    RECT parent;
    int owner_top;
    TMenuChainDirection chain;
    RECT expected;
  };
  const Case cases[] = {
      {"right of the parent from the item's top", {100, 100, 250, 400}, 160, {},
       {250, 160, 402, 280}},
      {"crossing the right edge opens left", {1100, 100, 1250, 400}, 160, {}, {950, 160, 1100, 280}},
      {"crossing the bottom opens upward from the item's top", {100, 800, 250, 1000}, 950, {},
       {250, 830, 402, 950}},
      {"a chain that turned left keeps left", {700, 100, 850, 400}, 160, {true, false},
       {550, 160, 700, 280}},
      {"a chain that turned up keeps up", {100, 500, 250, 700}, 560, {false, true},
       {250, 380, 402, 500}},
      {"turned left but no room there goes right again", {40, 100, 190, 400}, 160, {true, false},
       {190, 160, 340, 280}},
      {"turned up but no room there goes down from the item", {100, 50, 250, 300}, 80, {false, true},
       {250, 80, 402, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RECT placed = PlaceSubMenu(c.owner_top, size, c.parent, c.chain, work);
    EXPECT_TRUE(Same(placed, c.expected))
        << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
  }
}

TEST(MenuPlacement, SubMenuKeepsInsideTheWorkAreaOfTheMonitorHoldingItsItem) {
  const TMonitorArea primary{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
  const TMonitorArea right{{1280, 0, 2560, 1024}, {1280, 0, 2560, 1024}};
  const TMonitorArea left{{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}};
  const TMonitorArea below{{0, 1024, 1280, 2048}, {0, 1024, 1280, 2008}};
  const SIZE size{150, 120};
  struct Case {
    const char* what;
    std::vector<TMonitorArea> monitors;
    RECT parent;
    RECT item;
    RECT expected;
  };
  const Case cases[] = {
      {"right of the primary, room to the right", {primary, right}, {1400, 100, 1550, 400},
       {1400, 130, 1550, 160}, {1550, 130, 1702, 250}},
      {"at the right edge of the right monitor: left", {primary, right}, {2400, 100, 2550, 400},
       {2400, 130, 2550, 160}, {2250, 130, 2400, 250}},
      {"at the right edge of a monitor left of the primary: left", {primary, left},
       {-200, 100, -50, 400}, {-200, 130, -50, 160}, {-350, 130, -200, 250}},
      {"below the primary, room below", {primary, below}, {100, 1050, 250, 1400},
       {100, 1080, 250, 1110}, {250, 1080, 402, 1200}},
      {"at the bottom of the lower monitor's work area: upward", {primary, below},
       {100, 1700, 250, 2000}, {100, 1950, 250, 1980}, {250, 1830, 402, 1950}},
      {"an item across two monitors goes by the larger part", {primary, right},
       {1200, 100, 1350, 400}, {1200, 130, 1350, 160}, {1050, 130, 1200, 250}},
      {"the same layout listed the other way round", {right, primary}, {1200, 100, 1350, 400},
       {1200, 130, 1350, 160}, {1050, 130, 1200, 250}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RECT placed = PlaceSubMenu(c.item, size, c.parent, TMenuChainDirection{}, c.monitors);
    EXPECT_TRUE(Same(placed, c.expected))
        << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
  }
}

TEST(MenuPlacement, ChainDirectionComesFromTheWindowsOpenedBeforeTheParent) {
  const RECT root{1000, 100, 1150, 400};
  const RECT second_left{850, 130, 1000, 300};   // had to open left of the root
  const RECT second_right{1150, 130, 1300, 300};  // opened right
  const RECT second_up{1150, 0, 1300, 90};        // above the root's bottom edge... and top
  struct Case {
    const char* what;
    std::vector<RECT> windows;
    size_t parent;
    bool left;
    bool up;
  };
  const Case cases[] = {
      {"the root alone", {root}, 0, false, false},
      {"second level turned left", {root, second_left}, 1, true, false},
      {"second level went right", {root, second_right}, 1, false, false},
      {"second level went up", {RECT{1000, 500, 1150, 800}, second_up}, 1, false, true},
      {"a parent index past the list", {root}, 3, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TMenuChainDirection chain = ChainDirection(c.windows, c.parent);
    EXPECT_EQ(chain.opens_left, c.left);
    EXPECT_EQ(chain.opens_up, c.up);
  }
}

}  // namespace
