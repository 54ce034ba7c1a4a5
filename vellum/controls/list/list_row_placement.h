#pragma once

// A long list places only the rows in sight; every other row of its body is owed its rectangle,
// which the body computes when the row's position is read. The record lives in the rows of this
// family; the body it names is not owned by it.

namespace Vellum {

class CControlUI;
class CListBodyUI;

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

}  // namespace Vellum
