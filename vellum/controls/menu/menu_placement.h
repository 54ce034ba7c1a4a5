#pragma once

// Where menu windows go on the screen. No Win32 here: the callers supply the rectangles (screen
// coordinates) and the work area of the monitor that holds the menu.

#include <windows.h>

#include <vector>

namespace Vellum {

// Alignment flags of a root menu; only RIGHT and BOTTOM change the placement.
constexpr UINT MENU_ALIGN_LEFT = 2;
constexpr UINT MENU_ALIGN_TOP = 4;
constexpr UINT MENU_ALIGN_RIGHT = 8;
constexpr UINT MENU_ALIGN_BOTTOM = 16;

// A root menu of the size at the point: its top-left corner there, or with RIGHT its right edge and
// with BOTTOM its bottom edge. Not moved into the work area.
RECT PlaceRootMenu(POINT point, SIZE size, UINT alignment);

// Which way a chain of sub-menus has been opening. windows: the screen rectangles of the open
// menu windows in the order they were opened, up to and including the parent menu (parent_index).
// A window before the parent that lies right of (or below) the parent means the chain once had to
// turn left (or up), and deeper levels keep that direction.
struct TMenuChainDirection {
  bool opens_left = false;
  bool opens_up = false;
};
TMenuChainDirection ChainDirection(const std::vector<RECT>& windows, size_t parent_index);

// A monitor: its whole rectangle and its work area (screen coordinates).
struct TMonitorArea {
  RECT monitor;
  RECT work;
};

// The work area of the monitor that holds rect: the one it overlaps most, else the one nearest to
// it; an empty rectangle when there are no monitors.
RECT WorkAreaHolding(const RECT& rect, const std::vector<TMonitorArea>& monitors);

// A sub-menu of size (cx, cy) for an item whose top is owner_top (screen), inside the parent menu
// window parent_window: beside the parent's right edge from the item's top, or turned as the chain
// turned, then kept inside the work area (bottom, right, top, left, in that order). The rectangle's
// width carries two pixels more than cx while it opens to the right.
RECT PlaceSubMenu(int owner_top, SIZE size, const RECT& parent_window, TMenuChainDirection chain,
                  const RECT& work_area);
// The same for the owner item's screen rectangle, kept inside the work area of the monitor that
// holds the item (a menu may stand on any monitor, not only the primary).
RECT PlaceSubMenu(const RECT& owner_item, SIZE size, const RECT& parent_window,
                  TMenuChainDirection chain, const std::vector<TMonitorArea>& monitors);

}  // namespace Vellum
