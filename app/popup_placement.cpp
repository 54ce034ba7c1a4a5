#include "app/popup_placement.h"

#include <shellapi.h>

// The taskbar query's record: the shell checks cbSize against the size for the caller's bitness.
static_assert(sizeof(APPBARDATA) == (sizeof(void*) == 4 ? 36 : 48), "APPBARDATA layout");

POINT PlacePopupMenu(UINT taskbar_edge, POINT cursor, SIZE menu, int gap, const RECT& work_area) {
  const LONG x = cursor.x;
  const LONG y = cursor.y;
  switch (taskbar_edge) {
    case ABE_BOTTOM:
    case ABE_TOP: {
      LONG left = x + gap;
      if (x + gap + menu.cx > work_area.right) left = x + gap - menu.cx;
      const LONG top = taskbar_edge == ABE_BOTTOM ? y - gap - menu.cy : y + gap;
      return {left, top};
    }
    case ABE_LEFT:
      return {x + gap, y - gap - menu.cy};
    case ABE_RIGHT:
      return {x - gap - menu.cx, y - gap - menu.cy};
    default:
      return {x, y};
  }
}

UINT QueryTaskbarEdge() {
  APPBARDATA data = {};
  data.cbSize = sizeof(data);
  // Without a taskbar the record's edge would read as ABE_LEFT (0); say "unknown" instead.
  if (SHAppBarMessage(ABM_GETTASKBARPOS, &data) == 0) return kUnknownTaskbarEdge;
  return data.uEdge;
}

POINT PopupMenuPositionAtCursor(SIZE menu, int gap) {
  const UINT edge = QueryTaskbarEdge();
  RECT work_area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0);
  POINT cursor = {};
  GetCursorPos(&cursor);
  return PlacePopupMenu(edge, cursor, menu, gap, work_area);
}
