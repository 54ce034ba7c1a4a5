#pragma once

// A long list places only the rows in sight; every other row of its body is owed its rectangle,
// which the body computes when the row's position is read. The record lives in the rows of this
// family; the body it names is not owned by it.

namespace Vellum {

class CControlUI;
class CListBodyUI;
class CPaintManagerUI;

struct TRowPlacement {
  // The body the row's list put it in, asked for the row's rectangle whenever it is read; honoured
  // only while that body is still the row's parent.
  CListBodyUI* body = nullptr;
  // Container rows with a width of their own lay themselves out as tiles, away from the stack.
  bool tiles_when_fixed_width = false;
  // The row's estimated height does not depend on the width offered.
  bool height_ignores_width = false;
};

// The placement record of a row of this family, null for any other control.
TRowPlacement* RowPlacementOf(CControlUI* control);

// What measuring a row for the stack gives.
struct TRowMeasure {
  bool visible;
  bool floating;
  int height;  // 0 for a row that takes a share of the free height
  int pad_top;
  int pad_bottom;
};

// Measures a row of the plain row classes (height_ignores_width) from its stored sizes, as its
// getters would, without a call per size: a long list measures every row it is given. Only
// for rows of a fixed height whose manager is `unscaled`, which must scale nothing (null for no
// manager); false when the row must be asked through its getters.
bool MeasureRowDirectly(CControlUI* control, const CPaintManagerUI* unscaled, TRowMeasure* out);

}  // namespace Vellum
