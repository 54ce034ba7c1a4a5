#include "vellum/controls/combo/drop_down_placement.h"

namespace Vellum {

RECT PlaceDropDown(const RECT& combo, int width, int height, const RECT& work_area) {
  RECT rect{};
  rect.left = combo.left;
  rect.right = width > 0 ? combo.left + width : combo.right;
  if (combo.bottom + height <= work_area.bottom) {
    rect.top = combo.bottom;
    rect.bottom = combo.bottom + height;
  } else {
    rect.top = combo.top - height;
    rect.bottom = combo.top;
  }
  if (rect.right > work_area.right) {
    const int shift = rect.right - work_area.right;
    rect.left -= shift;
    rect.right -= shift;
  }
  if (rect.left < work_area.left) {
    const int shift = work_area.left - rect.left;
    rect.left += shift;
    rect.right += shift;
  }
  return rect;
}

}  // namespace Vellum
