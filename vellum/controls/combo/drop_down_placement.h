#pragma once

// Where a combo's drop-down window goes on the screen. No Win32 here: the caller supplies the
// combo's screen rectangle and the work area of the monitor that holds the combo.

#include <windows.h>

namespace Vellum {

// combo: the combo in screen coordinates; width: the drop-down's width (0 = the combo's);
// height: its height; work_area: the work area of the combo's monitor. The drop-down hangs below
// the combo when it fits there, else it stands above the combo with the same height. It is moved
// sideways to stay inside the work area, keeping its left edge visible when it is wider than that.
RECT PlaceDropDown(const RECT& combo, int width, int height, const RECT& work_area);

}  // namespace Vellum
