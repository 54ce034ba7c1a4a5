#pragma once

#include <windows.h>

// Game mode's question when a shake is found: does the top-level window under the pointer fill its
// whole monitor (a full-screen game or video)? Then the cursors stay as they are. The desktop never
// counts. UI thread only.
bool IsFullScreenUnderCursor();

// The geometry half of the answer, for a top-level window with this client rectangle, style and
// window rectangle on a monitor with this rectangle (the full monitor, not its work area): either a
// frameless window (no caption, no sizing frame) whose client area is as large as the monitor, or any
// window whose window rectangle is exactly the monitor. A maximised ordinary window is neither: its
// frame hangs over the monitor's edges and its client area is smaller.
bool CoversMonitor(const RECT& client, DWORD style, const RECT& window, const RECT& monitor);

// The classes of the shell's desktop windows, compared without regard to case.
bool IsDesktopClassName(const wchar_t* class_name);
