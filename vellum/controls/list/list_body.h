#pragma once

// The scrolling part of a list that holds its rows. Rows stretch to the header's width so their
// cells line up under the columns, and the header scrolls sideways with them. Owned by its list;
// it keeps a plain pointer to that list.
//
// A list may hold tens of thousands of rows while a few dozen are in sight. When every row is a
// visible, non-floating row of this family, the body stacks all rows but places only those in
// sight; the others are owed their rectangles, which they compute from the body's record when
// their position is read (painting, hit testing, scrolling a row into view). Scrolling then moves
// only the rows that come into or stay in sight. Any other mix of rows is placed row by row.
//
// Reading every row in each layout would itself cost more than the layout: each row is a cold
// object of its own. So the body keeps what it measured of the rows of this family and measures a
// row again only when it is new, when it says its size changed (NeedChildUpdate), or when
// something all rows are measured from changes (the manager, the scale, the list's item font and
// text padding, the body's visibility). Rows of other classes may take their size from anything
// and are measured in every layout.

#include <windows.h>

#include <unordered_map>
#include <unordered_set>
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
  void NeedChildUpdate(CControlUI* child) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  bool SetItemIndex(CControlUI* control, int index) override;

 private:
  friend class CListUI;
  friend class CListElementUI;
  friend class CListContainerElementUI;

  // Tells the list a row is leaving and lets the row forget the list.
  void RowLeaving(CControlUI* row);

  // One row: what measuring it gave and under which measure serial, its top and bottom relative to
  // the content area's top with nothing scrolled, and the scroll generation it was last placed for.
  struct TRowRecord {
    CControlUI* control;
    enum Kind : unsigned char { kHidden, kFloat, kStacked } kind;
    bool adjustable;
    // A row of this family, which can be owed its rectangle.
    bool list_row;
    bool tiles_when_fixed_width;
    bool height_ignores_width;
    // The measure stands until the row or what every row is measured from changes.
    bool keeps_measure;
    int height;
    int pad_top;
    int pad_bottom;
    int top;
    int bottom;
    unsigned placed_generation;
    // 0 when the row must be measured again.
    unsigned measure_serial;
  };

  // What measuring any row of this family may depend on besides the row itself.
  struct TMeasureBasis {
    const CPaintManagerUI* manager = nullptr;
    int scale = 100;
    int font = -1;
    LONG font_height = 0;
    RECT text_padding{0, 0, 0, 0};
    bool operator==(const TMeasureBasis& other) const;
  };

  // A row just appended by the list, whose placement record is given: measured now, while it is
  // still in the cache, when the records are in step with the rows and it can be read directly.
  // Also grows the records with the rows, so a first layout of many rows does not pay for fresh
  // memory all at once.
  void RecordAddedRow(CControlUI* row, const TRowPlacement* placement);
  TMeasureBasis CurrentMeasureBasis() const;
  // Drops every row's measure.
  void ForgetAllMeasures();
  // Drops the measure of the row, so the next layout measures it again.
  void ForgetMeasure(CControlUI* row);
  // Keeps the records of the rows still in the body, in the body's order, after rows were removed,
  // inserted or moved; other rows are left to be measured.
  void BringRecordsInStep(int count);
  void MeasureRow(int index, CControlUI* row, SIZE available, bool unscaled);
  // Gives an owed row its rectangle for the current scroll position; index is where the row says
  // it is, checked before it is trusted.
  void PlaceOwedRow(CControlUI* row, int index);
  // Rows of the list answer their numbers through this: the list numbers them only when read.
  void BringRowNumbersUpToDate(int known) const;
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
  // Records [0, measured_count_) hold measures. While in step, record i is the body's row i;
  // removals, insertions and moves put them out of step until the next layout.
  int measured_count_ = 0;
  bool records_in_step_ = true;
  // Rows whose record, if any, must not be trusted: added or moved while the records were out of
  // step, or named as changed where their record was not found at once.
  std::unordered_set<const CControlUI*> unmeasured_;
  // Where records are brought in step when rows were also added or moved.
  std::vector<TRowRecord> spare_rows_;
  TMeasureBasis measure_basis_;
  unsigned measure_serial_ = 1;
  // A row's measure was dropped since the last measuring.
  bool measure_dropped_ = false;
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
