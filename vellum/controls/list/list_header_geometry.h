#pragma once

// The arithmetic of a list's column header, apart from any control: where an item's separator strip
// lies, how wide a dragged column becomes, and how the header shares its width among its items.
// Everything is in device pixels.

#include <windows.h>

#include <vector>

namespace Vellum {

// The strip of an item's separator: at the right edge for a width >= 0, at the left edge for a
// negative one. A width of 0 gives an empty strip.
RECT HeaderSeparatorStrip(const RECT& item, int sep_width);

// The strip a press or a cursor test must hit: the separator strip widened towards the inside of
// the item, so a thin separator is easy to grab. A width of 0 has no hit zone at all.
bool HeaderSeparatorHit(const RECT& item, int sep_width, POINT point);

// The width a column takes when its separator moved by dx: the dragged edge follows the pointer.
int DraggedColumnWidth(const RECT& item, int sep_width, int dx, int right_padding);

// One item of the header as its layout sees it.
struct THeaderColumn {
  bool visible = true;
  bool floating = false;
  int estimated_width = 0;  // 0: the item shares the free width
  int min_width = 0;
  int max_width = 9999;
  int padding_left = 0;
  int padding_right = 0;
  int scale = 0;  // percent of the scale base in scale-header mode
};

struct THeaderSpace {
  int content_width = 0;
  int child_padding = 0;
  // What the percentages of scale-header mode refer to.
  int scale_base = 0;
  bool scale_header = false;
};

// The width of each column, in the order given; floating and hidden items get 0 (they are not
// placed by the run of columns).
std::vector<int> HeaderColumnWidths(const std::vector<THeaderColumn>& columns,
                                    const THeaderSpace& space);

}  // namespace Vellum
