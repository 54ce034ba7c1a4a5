// Rows inserted, removed or moved in the middle of a list: every way of reading a row's number
// afterwards must see the numbers the rows have now, however the list chooses to keep them.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using Vellum::CControlUI;
using Vellum::CListContainerElementUI;
using Vellum::CListLabelElementUI;
using Vellum::CListUI;
using Vellum::IListItemUI;
using Vellum::TUIEvent;

IListItemUI* AsRow(CControlUI* control) {
  return static_cast<IListItemUI*>(control->GetInterface(L"ListItem"));
}

// Eight label rows 20 high in a list 200 x 200 without a visible header; r5 is selected.
struct List {
  testing_support::ManagedWindow window;
  CListUI* list = new CListUI();
  // The rows in the order the list should hold them, kept by hand.
  std::vector<CControlUI*> expected;
  CControlUI* selected = nullptr;
  int added = 0;

  List() {
    list->SetAttribute(L"header", L"hidden");
    for (int i = 0; i < 8; ++i) {
      CControlUI* row = NewRow();
      list->Add(row);
      expected.push_back(row);
    }
    window.manager().AttachRootControl(list);
    list->SetPos(RECT{0, 0, 200, 200}, false);
    selected = expected[5];
    list->SelectItem(5);
  }
  CControlUI* NewRow() {
    auto* row = new CListLabelElementUI();
    row->SetFixedHeight(20);
    row->SetName((L"r" + std::to_wstring(added++)).c_str());
    return row;
  }
  int Expected(CControlUI* row) const {
    const auto found = std::find(expected.begin(), expected.end(), row);
    return found == expected.end() ? -1 : static_cast<int>(found - expected.begin());
  }
  void Send(CControlUI* target, int type, WORD key = 0) {
    TUIEvent event;
    event.type = type;
    event.sender = target;
    event.key_char = key;
    event.wParam = key;
    event.mouse_point = POINT{5, 5};
    target->Event(event);
  }
};

struct Step {
  enum Kind { kInsert, kRemove, kMove } kind;
  int at;
  int to;  // where kMove puts the row at `at`
};

struct Case {
  const char* name;
  std::vector<Step> steps;
};

void Apply(List& l, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    switch (step.kind) {
      case Step::kInsert: {
        CControlUI* row = l.NewRow();
        ASSERT_TRUE(l.list->AddAt(row, step.at));
        l.expected.insert(l.expected.begin() + step.at, row);
        break;
      }
      case Step::kRemove:
        ASSERT_TRUE(l.list->RemoveAt(step.at));
        l.expected.erase(l.expected.begin() + step.at);
        break;
      case Step::kMove: {
        CControlUI* row = l.expected[step.at];
        ASSERT_TRUE(l.list->SetItemIndex(row, step.to));
        l.expected.erase(l.expected.begin() + step.at);
        l.expected.insert(l.expected.begin() + step.to, row);
        break;
      }
    }
  }
}

enum class Read { kRowIndex, kItemIndex, kSelection, kHitTest, kClick, kKeyDown };

TEST(ListRenumber, EveryReadAfterChangesInTheMiddleSeesTheNewNumbers) {
  using S = Step;
  const std::vector<Case> cases = {
      {"insert above the selection", {{S::kInsert, 2, 0}}},
      {"several inserts in the middle", {{S::kInsert, 3, 0}, {S::kInsert, 3, 0}, {S::kInsert, 6, 0}}},
      {"insert below the selection", {{S::kInsert, 7, 0}}},
      {"remove above the selection", {{S::kRemove, 1, 0}}},
      {"remove then insert", {{S::kRemove, 2, 0}, {S::kInsert, 4, 0}, {S::kRemove, 0, 0}}},
      {"move a row down past the selection", {{S::kMove, 1, 6}}},
      {"move the last row up", {{S::kMove, 7, 2}}},
      {"insert, move and remove", {{S::kInsert, 3, 0}, {S::kMove, 0, 5}, {S::kRemove, 1, 0}}},
  };
  const std::vector<Read> reads = {Read::kRowIndex, Read::kItemIndex, Read::kSelection,
                                   Read::kHitTest,  Read::kClick,     Read::kKeyDown};
  for (const Case& c : cases) {
    for (Read read : reads) {
      SCOPED_TRACE(testing::Message() << c.name << ", read " << static_cast<int>(read));
      List l;
      Apply(l, c.steps);
      ASSERT_EQ(l.list->GetCount(), static_cast<int>(l.expected.size()));
      const int count = l.list->GetCount();
      const int selected = l.Expected(l.selected);
      ASSERT_GE(selected, 0);
      switch (read) {
        case Read::kRowIndex:
          // From the last row back, so the first answer cannot come from an earlier reading.
          for (int i = count - 1; i >= 0; --i) EXPECT_EQ(AsRow(l.expected[i])->GetIndex(), i);
          break;
        case Read::kItemIndex:
          for (int i = 0; i < count; ++i) {
            EXPECT_EQ(l.list->GetItemIndex(l.expected[i]), i);
            EXPECT_EQ(l.list->GetItemAt(i), l.expected[i]);
          }
          break;
        case Read::kSelection:
          EXPECT_EQ(l.list->GetCurSel(), selected);
          EXPECT_EQ(l.list->GetCurrentItem(), selected);
          for (int i = 0; i < count; ++i) {
            EXPECT_EQ(AsRow(l.expected[i])->IsSelected(), i == selected) << i;
          }
          break;
        case Read::kHitTest:
          l.list->SetPos(RECT{0, 0, 200, 200}, false);
          for (int i = 0; i < std::min(count, 10); ++i) {
            CControlUI* hit = l.window.manager().FindControl(POINT{50, i * 20 + 10});
            ASSERT_EQ(hit, l.expected[i]) << i;
            EXPECT_EQ(AsRow(hit)->GetIndex(), i);
          }
          break;
        case Read::kClick: {
          // The last row, whose number changed the most; clicked before any layout.
          const int target = count - 1;
          l.Send(l.expected[target], Vellum::UIEVENT_BUTTONDOWN);
          EXPECT_EQ(l.list->GetCurSel(), target);
          EXPECT_TRUE(AsRow(l.expected[target])->IsSelected());
          EXPECT_FALSE(AsRow(l.selected)->IsSelected());
          break;
        }
        case Read::kKeyDown:
          ASSERT_LT(selected + 1, count);
          l.Send(l.list, Vellum::UIEVENT_KEYDOWN, VK_DOWN);
          EXPECT_EQ(l.list->GetCurSel(), selected + 1);
          EXPECT_TRUE(AsRow(l.expected[selected + 1])->IsSelected());
          EXPECT_FALSE(AsRow(l.selected)->IsSelected());
          break;
      }
    }
  }
}

TEST(ListRenumber, ARowReadsItsNewNumberRightAfterAnInsertAboveIt) {
  testing_support::ManagedWindow window;
  CListUI* list = new CListUI();
  window.manager().AttachRootControl(list);
  std::vector<CControlUI*> rows;
  for (int i = 0; i < 6; ++i) {
    CControlUI* row = i % 2 ? static_cast<CControlUI*>(new CListContainerElementUI())
                            : static_cast<CControlUI*>(new CListLabelElementUI());
    rows.push_back(row);
    list->Add(row);
  }
  ASSERT_TRUE(list->AddAt(new CListLabelElementUI(), 1));
  EXPECT_EQ(AsRow(rows[1])->GetIndex(), 2);  // the row pushed down, read first
  EXPECT_EQ(AsRow(rows[3])->GetIndex(), 4);  // a container row
  EXPECT_EQ(AsRow(rows[4])->GetIndex(), 5);  // a label row

  // And after a removal above it, with an insert still unread before that.
  ASSERT_TRUE(list->AddAt(new CListLabelElementUI(), 0));
  ASSERT_TRUE(list->Remove(rows[0]));
  EXPECT_EQ(AsRow(rows[4])->GetIndex(), 5);
  EXPECT_EQ(AsRow(rows[1])->GetIndex(), 2);
}

}  // namespace
