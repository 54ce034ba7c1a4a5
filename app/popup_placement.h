#pragma once

#include <windows.h>

// Where the tray pop-up menu opens: next to the cursor, on the side away from the taskbar, so that it
// never covers the tray icon that was clicked.

// A taskbar edge that no taskbar reports; the menu then opens with its corner at the cursor.
constexpr UINT kUnknownTaskbarEdge = 0xFFFFFFFF;

// The menu's top-left corner for a menu of `menu` pixels opening `gap` pixels from `cursor`, with the
// taskbar on `taskbar_edge` (ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM or anything else). Only with the
// taskbar at the top or bottom is the menu kept from crossing the work area's right edge (it then
// opens to the left of the cursor); the other sides are taken as they come.
POINT PlacePopupMenu(UINT taskbar_edge, POINT cursor, SIZE menu, int gap, const RECT& work_area);

// The taskbar's edge as the shell reports it; kUnknownTaskbarEdge when the shell has no taskbar.
UINT QueryTaskbarEdge();

// PlacePopupMenu for the taskbar, the primary work area and the cursor as they are now.
POINT PopupMenuPositionAtCursor(SIZE menu, int gap);
