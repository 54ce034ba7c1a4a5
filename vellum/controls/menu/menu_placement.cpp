#include "vellum/controls/menu/menu_placement.h"

namespace Vellum {

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

}  // namespace Vellum
