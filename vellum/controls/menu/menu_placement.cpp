#include "vellum/controls/menu/menu_placement.h"

#include <algorithm>

namespace Vellum {
namespace {

// How far apart two rectangles are along one axis: 0 where they overlap or touch.
long Gap(long low_a, long high_a, long low_b, long high_b) {
  if (high_a <= low_b) return low_b - high_a;
  if (high_b <= low_a) return low_a - high_b;
  return 0;
}

}  // namespace

RECT PlaceRootMenu(POINT point, SIZE size, UINT alignment) {
  RECT rect{point.x, point.y, point.x + size.cx, point.y + size.cy};
  if ((alignment & MENU_ALIGN_RIGHT) != 0) {
    rect.right = point.x;
    rect.left = rect.right - size.cx;
  }
  if ((alignment & MENU_ALIGN_BOTTOM) != 0) {
    rect.bottom = point.y;
    rect.top = rect.bottom - size.cy;
  }
  return rect;
}

TMenuChainDirection ChainDirection(const std::vector<RECT>& windows, size_t parent_index) {
  TMenuChainDirection chain;
  if (parent_index >= windows.size()) return chain;
  const RECT& parent = windows[parent_index];
  for (size_t i = 0; i <= parent_index; ++i) {
    const RECT& window = windows[i];
    chain.opens_left = window.left >= parent.right;
    chain.opens_up = window.top >= parent.bottom;
    if (chain.opens_left || chain.opens_up) break;
  }
  return chain;
}

RECT PlaceSubMenu(int owner_top, SIZE size, const RECT& parent_window, TMenuChainDirection chain,
                  const RECT& work_area) {
  const int cx = size.cx;
  const int cy = size.cy;
  RECT rect{parent_window.right, owner_top, parent_window.right + cx + 2, owner_top + cy};
  if (chain.opens_up) {
    rect.bottom = parent_window.top;
    rect.top = rect.bottom - cy;
  }
  if (chain.opens_left) {
    rect.right = parent_window.left;
    rect.left = rect.right - cx;
  }
  if (rect.bottom > work_area.bottom) {
    rect.bottom = rect.top;
    rect.top = rect.bottom - cy;
  }
  if (rect.right > work_area.right) {
    rect.right = parent_window.left;
    rect.left = rect.right - cx;
  }
  if (rect.top < work_area.top) {
    rect.top = owner_top;
    rect.bottom = rect.top + cy;
  }
  if (rect.left < work_area.left) {
    rect.left = parent_window.right;
    rect.right = rect.left + cx;
  }
  return rect;
}

RECT WorkAreaHolding(const RECT& rect, const std::vector<TMonitorArea>& monitors) {
  const TMonitorArea* best = nullptr;
  long long best_overlap = 0;
  for (const TMonitorArea& area : monitors) {
    const long long width =
        std::min(rect.right, area.monitor.right) - std::max(rect.left, area.monitor.left);
    const long long height =
        std::min(rect.bottom, area.monitor.bottom) - std::max(rect.top, area.monitor.top);
    if (width <= 0 || height <= 0) continue;
    const long long overlap = width * height;
    if (overlap > best_overlap) {
      best_overlap = overlap;
      best = &area;
    }
  }
  if (!best) {
    long long best_distance = 0;
    for (const TMonitorArea& area : monitors) {
      const long long dx = Gap(rect.left, rect.right, area.monitor.left, area.monitor.right);
      const long long dy = Gap(rect.top, rect.bottom, area.monitor.top, area.monitor.bottom);
      const long long distance = dx * dx + dy * dy;
      if (!best || distance < best_distance) {
        best_distance = distance;
        best = &area;
      }
    }
  }
  return best ? best->work : RECT{0, 0, 0, 0};
}

RECT PlaceSubMenu(const RECT& owner_item, SIZE size, const RECT& parent_window,
                  TMenuChainDirection chain, const std::vector<TMonitorArea>& monitors) {
  return PlaceSubMenu(owner_item.top, size, parent_window, chain,
                      WorkAreaHolding(owner_item, monitors));
}

}  // namespace Vellum
