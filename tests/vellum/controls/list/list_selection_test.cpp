// The list's selection bookkeeping without any rows: the ordered set, and how every index it holds
// follows its row when rows come, go and move.

#include "vellum/controls/list/list_selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Vellum::CListSelection;

// Rows 2, 5 and 8 selected in the order 5, 2, 8; 5 current, 2 the anchor, 8 expanded.
CListSelection Fixture() {
  CListSelection selection;
  selection.Add(5);
  selection.Add(2);
  selection.Add(8);
  selection.SetCurrent(5);
  selection.SetAnchor(2);
  selection.SetExpanded(8);
  return selection;
}

TEST(ListSelection, KeepsSelectionOrderAndWalksIt) {
  CListSelection selection = Fixture();
  selection.Add(2);  // never twice
  EXPECT_EQ(selection.Order(), (std::vector<int>{5, 2, 8}));
  EXPECT_EQ(selection.First(), 5);
  EXPECT_EQ(selection.Next(-1), 5);
  EXPECT_EQ(selection.Next(5), 2);
  EXPECT_EQ(selection.Next(2), 8);
  EXPECT_EQ(selection.Next(8), -1);
  EXPECT_EQ(selection.Next(3), -1);  // not selected
  EXPECT_EQ(selection.Smallest(), 2);
  EXPECT_EQ(selection.Largest(), 8);
  selection.Erase(2);
  EXPECT_EQ(selection.Next(5), 8);
  EXPECT_FALSE(selection.Contains(2));
  selection.ClearSelected();
  EXPECT_EQ(selection.Count(), 0);
  EXPECT_EQ(selection.Current(), -1);
  EXPECT_EQ(selection.First(), -1);
  EXPECT_EQ(selection.Next(-1), -1);
  EXPECT_EQ(selection.Anchor(), 2);  // a range keeps its first end
}

TEST(ListSelection, EveryIndexFollowsItsRow) {
  enum Op { kInsert, kRemove, kMove };
  const struct {
    const char* name;
    Op op;
    int a;
    int b;
    std::vector<int> order;
    int current;
    int anchor;
    int expanded;
  } cases[] = {
      {"insert before all", kInsert, 0, 0, {6, 3, 9}, 6, 3, 9},
      {"insert between", kInsert, 4, 0, {6, 2, 9}, 6, 2, 9},
      {"insert at a selected row pushes it on", kInsert, 5, 0, {6, 2, 9}, 6, 2, 9},
      {"insert after all", kInsert, 20, 0, {5, 2, 8}, 5, 2, 8},
      {"remove before all", kRemove, 0, 0, {4, 1, 7}, 4, 1, 7},
      {"remove the current row", kRemove, 5, 0, {2, 7}, -1, 2, 7},
      {"remove the anchor row", kRemove, 2, 0, {4, 7}, 4, -1, 7},
      {"remove the expanded row", kRemove, 8, 0, {5, 2}, 5, 2, -1},
      {"remove an unselected row between", kRemove, 6, 0, {5, 2, 7}, 5, 2, 7},
      {"move the current row down", kMove, 5, 9, {9, 2, 7}, 9, 2, 7},
      {"move a row up across others", kMove, 8, 0, {6, 3, 0}, 6, 3, 0},
      {"move an unselected row past them", kMove, 0, 9, {4, 1, 7}, 4, 1, 7},
      {"move outside the selection", kMove, 10, 12, {5, 2, 8}, 5, 2, 8},
  };
  for (const auto& c : cases) {
    CListSelection selection = Fixture();
    if (c.op == kInsert) selection.InsertRow(c.a);
    if (c.op == kRemove) selection.RemoveRow(c.a);
    if (c.op == kMove) selection.MoveRow(c.a, c.b);
    EXPECT_EQ(selection.Order(), c.order) << c.name;
    EXPECT_EQ(selection.Current(), c.current) << c.name;
    EXPECT_EQ(selection.Anchor(), c.anchor) << c.name;
    EXPECT_EQ(selection.Expanded(), c.expanded) << c.name;
    // Membership and the walk agree with the order after renumbering.
    for (size_t i = 0; i < c.order.size(); ++i) {
      EXPECT_TRUE(selection.Contains(c.order[i])) << c.name;
      EXPECT_EQ(selection.Next(c.order[i]), i + 1 < c.order.size() ? c.order[i + 1] : -1) << c.name;
    }
  }
}

TEST(ListSelection, RemovingEveryRowForgetsEverything) {
  CListSelection selection = Fixture();
  selection.RemoveAllRows();
  EXPECT_EQ(selection.Count(), 0);
  EXPECT_EQ(selection.Current(), -1);
  EXPECT_EQ(selection.Anchor(), -1);
  EXPECT_EQ(selection.Expanded(), -1);
  EXPECT_FALSE(selection.Contains(5));
}

}  // namespace
