#include "vellum/controls/list/list_header_geometry.h"

#include <algorithm>

namespace Vellum {
namespace {

// How far the hit zone reaches into the item beyond the separator strip.
constexpr int kSeparatorGrip = 4;

int Clamp(int width, const THeaderColumn& column) {
  width = std::max(width, column.min_width);
  return std::min(width, column.max_width);
}

bool Placed(const THeaderColumn& column) { return column.visible && !column.floating; }

}  // namespace

RECT HeaderSeparatorStrip(const RECT& item, int sep_width) {
  if (sep_width >= 0) return RECT{item.right - sep_width, item.top, item.right, item.bottom};
  return RECT{item.left, item.top, item.left - sep_width, item.bottom};
}

bool HeaderSeparatorHit(const RECT& item, int sep_width, POINT point) {
  if (sep_width == 0) return false;
  RECT strip = HeaderSeparatorStrip(item, sep_width);
  if (sep_width > 0) {
    strip.left -= kSeparatorGrip;
  } else {
    strip.right += kSeparatorGrip;
  }
  return PtInRect(&strip, point) != FALSE;
}

int DraggedColumnWidth(const RECT& item, int sep_width, int dx, int right_padding) {
  RECT moved = item;
  if (sep_width >= 0) {
    moved.right += dx;
  } else {
    moved.left += dx;
  }
  return moved.right - moved.left - right_padding;
}

std::vector<int> HeaderColumnWidths(const std::vector<THeaderColumn>& columns,
                                    const THeaderSpace& space) {
  std::vector<int> widths(columns.size(), 0);
  int adjustable = 0;
  int fixed_total = 0;
  int placed = 0;
  for (const THeaderColumn& column : columns) {
    if (!Placed(column)) continue;
    ++placed;
    if (column.estimated_width == 0) {
      ++adjustable;
    } else {
      fixed_total += Clamp(column.estimated_width, column);
    }
    fixed_total += column.padding_left + column.padding_right;
  }
  if (placed == 0) return widths;
  fixed_total += (placed - 1) * space.child_padding;
  // Every item usually has a width of its own; then there is nothing to share.
  const int share =
      adjustable > 0 ? std::max(0, (space.content_width - fixed_total) / adjustable) : 0;

  int used = 0;  // widths, paddings and child paddings of the items placed so far
  int fixed_after = fixed_total;
  int adjustable_seen = 0;
  bool first = true;
  for (size_t i = 0; i < columns.size(); ++i) {
    const THeaderColumn& column = columns[i];
    if (!Placed(column)) continue;
    if (!first) {
      used += space.child_padding;
      fixed_after -= space.child_padding;
    }
    first = false;
    fixed_after -= column.padding_left + column.padding_right;
    int width = column.estimated_width;
    if (space.scale_header) {
      width = static_cast<int>(static_cast<double>(column.scale) * space.scale_base / 100.0);
    }
    if (column.estimated_width != 0) fixed_after -= Clamp(column.estimated_width, column);
    if (width != 0) {
      width = Clamp(width, column);
    } else {
      ++adjustable_seen;
      width = share;
      if (adjustable_seen == adjustable) {
        width = std::max(0, space.content_width - used - column.padding_left -
                                column.padding_right - fixed_after);
      }
      width = Clamp(width, column);
    }
    widths[i] = width;
    used += width + column.padding_left + column.padding_right;
  }
  return widths;
}

}  // namespace Vellum
