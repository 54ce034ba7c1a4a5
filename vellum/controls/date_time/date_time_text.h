#pragma once

// The text a date-time control shows for its time, and the date comparison its callers use.

#include <windows.h>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// "yyyy-MM-dd" (any case) shows the date, "HH:mm:ss" (any case) the time of day, any other format
// both, as "yyyy-mm-dd hh:mm:ss" with zero-padded fields. The format itself is only for the native
// picker's own display.
CUIString FormatDateTimeText(const SYSTEMTIME& time, const wchar_t* format);

// Year, month and day equal; the time of day and the day of the week are ignored. A date picked
// from the drop-down calendar can come back with its time of day reset.
bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b);

}  // namespace Vellum
