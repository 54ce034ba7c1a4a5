#pragma once

// The value arithmetic of the progress bar and the slider, apart from any window: the range guard,
// the filled extent, the percentage, the thumb rectangle and the value under a point. Every
// division by the range goes through the same guard, so a value read between two paints never
// divides by zero.

#include <windows.h>

namespace Vellum {

struct TProgressRange {
  int minimum = 0;
  int maximum = 100;
  int value = 0;
};

// A maximum not above the minimum counts as minimum + 1; the value is then held inside the range.
TProgressRange NormalizeProgressRange(int minimum, int maximum, int value);

// length * (value - minimum) / (maximum - minimum), truncated.
int ProgressFilledExtent(int length, const TProgressRange& range);
// length * (maximum - value) / (maximum - minimum), truncated: the unfilled part of a vertical bar,
// which fills from the value down to the bottom.
int ProgressUnfilledExtent(int length, const TProgressRange& range);
// (value - minimum) * 100 / (maximum - minimum) in floating point.
double ProgressPercent(const TProgressRange& range);

// Where the thumb of a slider at range.value lies in item; thumb is in device pixels.
RECT SliderThumbRect(const RECT& item, SIZE thumb, bool horizontal, const TProgressRange& range);
// The value under point, through the same travel as SliderThumbRect and truncated as it is: the
// thumb of that value is centred at or before the point. The ends within half a thumb of the
// item's edges snap to the minimum or the maximum.
int SliderValueFromPoint(const RECT& item, SIZE thumb, bool horizontal, const TProgressRange& range,
                         POINT point);

}  // namespace Vellum
