#pragma once

// The selection state of a list, apart from its rows: the selected rows in the order they were
// selected, the row selected last (current), the first end of a Shift range (anchor) and the
// expanded row. Rows are inserted, removed and moved through it too, so every index it holds keeps
// pointing at the same row; a selection never drifts onto a neighbour.
//
// Beside the ordered set it keeps where each row stands in that order, so membership, the next
// selected row and selecting every row cost the same per row however many are selected.

#include <vector>

namespace Vellum {

class CListSelection {
 public:
  int Current() const { return current_; }
  void SetCurrent(int index) { current_ = index; }
  int Anchor() const { return anchor_; }
  void SetAnchor(int index) { anchor_ = index; }
  int Expanded() const { return expanded_; }
  void SetExpanded(int index) { expanded_ = index; }

  bool Contains(int index) const;
  // Appends index when it is not yet selected.
  void Add(int index);
  void Erase(int index);
  // Empties the set and the current row; the anchor and the expanded row stay.
  void ClearSelected();
  int Count() const { return static_cast<int>(order_.size()); }
  // The selected rows in selection order.
  const std::vector<int>& Order() const { return order_; }
  // The earliest selected row, -1 when none.
  int First() const;
  // The row selected after `after`, -1 when after is last or not selected; the first for after < 0.
  int Next(int after) const;
  int Smallest() const;
  int Largest() const;

  // A row came in at index: every held index at or after it moves up by one.
  void InsertRow(int index);
  // The row at index went: its entries leave, later ones move down by one.
  void RemoveRow(int index);
  // The row at from now stands at to; the rows between shift by one towards from.
  void MoveRow(int from, int to);
  // Every row went.
  void RemoveAllRows();

 private:
  void Reindex();

  int current_ = -1;
  int anchor_ = -1;
  int expanded_ = -1;
  std::vector<int> order_;
  // position_[row]: where the row stands in order_, -1 when not selected.
  std::vector<int> position_;
};

// Where the row that stood at index stands after a move of one row from `from` to `to`.
int RowAfterMove(int index, int from, int to);

}  // namespace Vellum
