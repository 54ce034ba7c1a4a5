#pragma once

// The scrolling part of a list that holds its rows. Rows stretch to the header's width so their
// cells line up under the columns, and the header scrolls sideways with them. Owned by its list;
// it keeps a plain pointer to that list.
//
// A list may hold tens of thousands of rows while a few dozen are in sight. When every row is a
// visible, non-floating row of this family, the body measures all rows but places only those in
// sight; the others are owed their rectangles, which they compute from the body's record when
// their position is read (painting, hit testing, scrolling a row into view). Scrolling then moves
// only the rows that come into or stay in sight. Any other mix of rows is placed row by row.

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "vellum/core/layout/vertical_layout.h"

namespace Vellum {

class CListUI;
struct TRowPlacement;

class CListBodyUI : public CVerticalLayoutUI {
 public:
  explicit CListBodyUI(CListUI* owner);

  void SetPos(RECT rect, bool invalidate = true) override;
  void DoEvent(TUIEvent& event) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  void SetScrollPos(SIZE pos, bool notify = true) override;
  int GetScrollStepSize() const override;

 private:
  friend class CListUI;
  friend class CListElementUI;
  friend class CListContainerElementUI;

  // One row of the last layout: what measuring it gave, its top and bottom relative to the content
  // area's top with nothing scrolled, and the scroll generation it was last placed for.
  struct TRowRecord {
    CControlUI* control;
    TRowPlacement* placement;
    enum Kind : unsigned char { kHidden, kFloat, kStacked } kind;
    bool adjustable;
    int height;
    int pad_top;
    int pad_bottom;
    int top;
    int bottom;
    unsigned placed_generation;
  };

  // Grows the row records with the rows as they are added, so a first layout of many rows does
  // not pay for fresh memory all at once.
  void GrowRowRecords(int count);
  // Gives an owed row its rectangle for the current scroll position; index is where the row says
  // it is, checked before it is trusted.
  void PlaceOwedRow(CControlUI* row, int index);
  // Places the row of the last layout at index for the current scroll position.
  void PlaceRow(int index);
  // The rows of the last layout that reach into the content area at the current scroll position.
  void FindRowsInSight(int* first, int* end) const;
  // Whether the rows are still those of the last layout, none moved by anyone else since.
  bool RowsUnchanged() const { return children_version_ == rows_unchanged_version_; }
  // Records that the rows are in step with the last layout and, by it, stacked in order.
  void MarkRowsUnchanged();

  CListUI* owner_;
  std::vector<TRowRecord> rows_;
  // How many records the last layout made.
  int recorded_count_ = 0;
  // Records by control, built when a row's own index does not find it.
  std::unordered_map<const CControlUI*, int> record_of_;
  // The measures may be reused by a layout nested in this one's scroll bar placement, or by the
  // second placement within one layout of the list, which change only the width, when every
  // row's height is known not to depend on it.
  bool heights_ignore_width_ = false;
  unsigned measured_version_ = ~0u;
  // The list layout the measures were taken in.
  unsigned measured_serial_ = 0;
  // Whether the rows outside [sight_first_, sight_end_) are owed their rectangles.
  bool placing_in_sight_ = false;
  bool laying_out_ = false;
  int sight_first_ = 0;
  int sight_end_ = 0;
  POINT content_origin_{0, 0};
  int content_height_ = 0;
  // What a row's width derives from: the content width plus the horizontal range, and the width
  // the columns need.
  int row_span_ = 0;
  int columns_width_ = 0;
  // The scroll offset the placed rows stand at.
  SIZE applied_scroll_{0, 0};
  unsigned generation_ = 0;
  unsigned rows_unchanged_version_ = ~0u;
};

}  // namespace Vellum
