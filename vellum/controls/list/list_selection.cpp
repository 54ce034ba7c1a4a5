#include "vellum/controls/list/list_selection.h"

#include <algorithm>

namespace Vellum {

int RowAfterMove(int index, int from, int to) {
  if (index < 0) return index;
  if (index == from) return to;
  if (from < to && index > from && index <= to) return index - 1;
  if (to < from && index >= to && index < from) return index + 1;
  return index;
}

bool CListSelection::Contains(int index) const {
  return index >= 0 && index < static_cast<int>(position_.size()) && position_[index] >= 0;
}

void CListSelection::Add(int index) {
  if (index < 0 || Contains(index)) return;
  if (index >= static_cast<int>(position_.size())) position_.resize(index + 1, -1);
  position_[index] = static_cast<int>(order_.size());
  order_.push_back(index);
}

void CListSelection::Erase(int index) {
  if (!Contains(index)) return;
  const int at = position_[index];
  order_.erase(order_.begin() + at);
  position_[index] = -1;
  for (int i = at; i < static_cast<int>(order_.size()); ++i) position_[order_[i]] = i;
}

void CListSelection::ClearSelected() {
  for (int row : order_) position_[row] = -1;
  order_.clear();
  current_ = -1;
}

int CListSelection::First() const { return order_.empty() ? -1 : order_.front(); }

int CListSelection::Next(int after) const {
  if (order_.empty()) return -1;
  if (after < 0) return order_.front();
  if (!Contains(after)) return -1;
  const size_t at = static_cast<size_t>(position_[after]) + 1;
  return at < order_.size() ? order_[at] : -1;
}

int CListSelection::Smallest() const {
  return order_.empty() ? -1 : *std::min_element(order_.begin(), order_.end());
}

int CListSelection::Largest() const {
  return order_.empty() ? -1 : *std::max_element(order_.begin(), order_.end());
}

void CListSelection::Reindex() {
  std::fill(position_.begin(), position_.end(), -1);
  for (size_t i = 0; i < order_.size(); ++i) {
    if (order_[i] >= static_cast<int>(position_.size())) position_.resize(order_[i] + 1, -1);
    position_[order_[i]] = static_cast<int>(i);
  }
}

void CListSelection::InsertRow(int index) {
  if (index < 0) return;
  auto shift = [index](int& row) {
    if (row >= index) ++row;
  };
  shift(current_);
  shift(anchor_);
  shift(expanded_);
  for (int& row : order_) shift(row);
  if (index <= static_cast<int>(position_.size())) {
    position_.insert(position_.begin() + index, -1);
  }
  if (!order_.empty()) Reindex();
}

void CListSelection::RemoveRow(int index) {
  if (index < 0) return;
  Erase(index);
  auto shift = [index](int& row) {
    if (row == index) {
      row = -1;
    } else if (row > index) {
      --row;
    }
  };
  shift(current_);
  shift(anchor_);
  shift(expanded_);
  for (int& row : order_) shift(row);
  if (index < static_cast<int>(position_.size())) position_.erase(position_.begin() + index);
  if (!order_.empty()) Reindex();
}

void CListSelection::MoveRow(int from, int to) {
  if (from < 0 || to < 0 || from == to) return;
  current_ = RowAfterMove(current_, from, to);
  anchor_ = RowAfterMove(anchor_, from, to);
  expanded_ = RowAfterMove(expanded_, from, to);
  for (int& row : order_) row = RowAfterMove(row, from, to);
  Reindex();
}

void CListSelection::RemoveAllRows() {
  order_.clear();
  position_.clear();
  current_ = -1;
  anchor_ = -1;
  expanded_ = -1;
}

}  // namespace Vellum
