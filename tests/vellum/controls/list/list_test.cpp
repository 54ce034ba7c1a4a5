// The list with rows that behave as list rows do (they keep their own selected flag and call the
// owner back on Select): routing of children, selection by code, keys and wheel, renumbering, the
// layout of rows under the columns, and the attributes.

#include "vellum/controls/list/list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list_body.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::SameRect;
using Vellum::CControlUI;
using Vellum::CListHeaderItemUI;
using Vellum::CListHeaderUI;
using Vellum::CListUI;
using Vellum::IListItemUI;
using Vellum::IListOwnerUI;
using Vellum::TUIEvent;

// A row of fixed height that keeps its selected flag the way list rows do.
class Row : public CControlUI, public IListItemUI {
 public:
  explicit Row(int height = 20) { SetFixedHeight(height); }
  LPVOID GetInterface(const wchar_t* name) override {
    if (_wcsicmp(name, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    return CControlUI::GetInterface(name);
  }
  bool Activate() override {
    ++activations;
    return true;
  }
  int GetIndex() const override { return index_; }
  void SetIndex(int index) override { index_ = index; }
  IListOwnerUI* GetOwner() override { return owner_; }
  void SetOwner(CControlUI* owner) override {
    owner_ = owner ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
  }
  bool IsSelected() const override { return selected_; }
  bool Select(bool select) override {
    if (!IsEnabled()) return false;
    if (owner_) owner_->UnSelectItem(index_, true);
    if (selected_ == select) return true;
    selected_ = select;
    if (owner_) {
      if (select) {
        owner_->SelectItem(index_, false);
      } else {
        owner_->UnSelectItem(index_, false);
      }
    }
    return true;
  }
  bool SelectMulti(bool select) override {
    if (!IsEnabled()) return false;
    selected_ = select;
    return true;
  }
  bool IsExpanded() const override { return expanded_; }
  bool Expand(bool expand) override {
    expanded_ = expand;
    return true;
  }
  void DrawItemText(HDC, const RECT&) override {}
  int activations = 0;

 private:
  int index_ = -1;
  bool selected_ = false;
  bool expanded_ = false;
  IListOwnerUI* owner_ = nullptr;
};

using testing_support::HeldKey;

// A list 200 x 100 (header hidden unless a test shows it) with `count` rows 20 high.
struct List {
  testing_support::ManagedWindow window;
  NotificationRecorder recorder;
  CListUI* list = new CListUI();
  std::vector<Row*> rows;
  explicit List(int count = 10) {
    for (int i = 0; i < count; ++i) AddRow();
    window.manager().AttachRootControl(list);
    window.manager().AddNotifier(&recorder);
    Layout();
  }
  Row* AddRow() {
    Row* row = new Row();
    rows.push_back(row);
    list->Add(row);
    return row;
  }
  void Layout() { list->SetPos(RECT{0, 0, 200, 100}, false); }
  std::vector<std::pair<int, int>> ItemSelects() const {
    std::vector<std::pair<int, int>> found;
    for (const auto& heard : recorder.OfType(L"itemselect")) {
      found.emplace_back(static_cast<int>(heard.wParam), static_cast<int>(heard.lParam));
    }
    return found;
  }
  std::vector<int> Selected() const {
    std::vector<int> found;
    for (int i = list->GetNextSelItem(-1); i != -1; i = list->GetNextSelItem(i)) found.push_back(i);
    return found;
  }
  // Rows whose own flag says selected, in row order.
  std::vector<int> Flagged() const {
    std::vector<int> found;
    for (int i = 0; i < list->GetCount(); ++i) {
      auto* row = static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"ListItem"));
      if (row->IsSelected()) found.push_back(i);
    }
    return found;
  }
  void Key(WORD key) {
    TUIEvent event;
    event.type = Vellum::UIEVENT_KEYDOWN;
    event.sender = list;
    event.key_char = key;
    event.wParam = key;
    list->Event(event);
  }
  void Wheel(WORD direction) {
    TUIEvent event;
    event.type = Vellum::UIEVENT_SCROLLWHEEL;
    event.sender = list;
    event.wParam = MAKEWPARAM(direction, 0);
    list->Event(event);
  }
};

using Pairs = std::vector<std::pair<int, int>>;

TEST(List, IdentityAndChildren) {
  List l(3);
  EXPECT_STREQ(l.list->GetClass(), L"ListUI");
  EXPECT_EQ(l.list->GetInterface(L"list"), l.list);
  EXPECT_EQ(l.list->GetInterface(L"IList"), static_cast<Vellum::IListUI*>(l.list));
  EXPECT_EQ(l.list->GetInterface(L"IListOwner"), static_cast<IListOwnerUI*>(l.list));
  EXPECT_EQ(l.list->GetControlFlags(), Vellum::UIFLAG_TABSTOP);
  EXPECT_EQ(l.list->GetListType(), 0);
  // Rows go to the body with their owner and index; header items to the header.
  EXPECT_EQ(l.list->GetCount(), 3);
  EXPECT_EQ(l.rows[2]->GetIndex(), 2);
  EXPECT_EQ(l.rows[2]->GetOwner(), static_cast<IListOwnerUI*>(l.list));
  EXPECT_EQ(l.rows[1]->GetParent(), l.list->GetList());
  auto* column = new CListHeaderItemUI();
  l.list->Add(column);
  EXPECT_EQ(column->GetParent(), l.list->GetHeader());
  EXPECT_EQ(l.list->GetItemIndex(column), 0);
  EXPECT_EQ(l.list->GetItemIndex(l.list->GetHeader()), 0);
  EXPECT_EQ(l.list->GetItemIndex(l.rows[1]), 1);
  EXPECT_EQ(l.list->GetListInfo()->column_count, 1);
  // A header with 40 items still has 32 columns.
  for (int i = 1; i < 40; ++i) l.list->Add(new CListHeaderItemUI());
  EXPECT_EQ(l.list->GetListInfo()->column_count, 32);
  // A new header replaces the built-in one only while that one is empty.
  CListUI empty;
  auto* header = new CListHeaderUI();
  empty.Add(header);
  EXPECT_EQ(empty.GetHeader(), header);
}

TEST(ListSelection, SingleSelection) {
  List l;
  EXPECT_TRUE(l.list->SelectItem(3));
  EXPECT_TRUE(l.list->SelectItem(3));  // already selected: no second notification
  EXPECT_EQ(l.ItemSelects(), (Pairs{{3, 0}}));
  EXPECT_TRUE(l.list->SelectItem(6));
  EXPECT_EQ(l.Selected(), (std::vector<int>{6}));
  EXPECT_EQ(l.Flagged(), (std::vector<int>{6}));
  EXPECT_EQ(l.list->GetCurSel(), 6);
  // A click on a row selects through the row itself.
  l.recorder.heard.clear();
  EXPECT_TRUE(l.rows[1]->Select(true));
  EXPECT_EQ(l.ItemSelects(), (Pairs{{1, 0}}));
  EXPECT_EQ(l.Flagged(), (std::vector<int>{1}));
  // Failures change nothing further.
  l.rows[4]->SetEnabled(false);
  EXPECT_FALSE(l.list->SelectItem(4));
  EXPECT_FALSE(l.list->SelectItem(99));
  EXPECT_FALSE(l.list->SelectItem(-1));  // and nothing stays selected
  EXPECT_EQ(l.list->GetSelectItemCount(), 0);
}

TEST(ListSelection, MultipleSelectionWithCtrlShiftAndCtrlA) {
  List l;
  l.list->SetMultiSelect(true);
  {
    HeldKey ctrl(VK_CONTROL);
    EXPECT_TRUE(l.list->SelectMultiItem(5));
    EXPECT_TRUE(l.list->SelectMultiItem(2));
  }
  EXPECT_EQ(l.list->GetCurSel(), 5);  // the earliest selected
  EXPECT_EQ(l.list->GetNextSelItem(5), 2);
  EXPECT_EQ(l.list->GetCurrentItem(), 2);
  EXPECT_EQ(l.ItemSelects(), (Pairs{{5, 0}, {2, 0}}));
  {
    HeldKey ctrl(VK_CONTROL);  // a Ctrl-click on a selected row unselects it
    EXPECT_TRUE(l.list->SelectMultiItem(5));
  }
  EXPECT_EQ(l.Selected(), (std::vector<int>{2}));
  EXPECT_EQ(l.ItemSelects().back(), std::make_pair(-1, 0));

  // Shift from the row clicked last to row 6; a plain click starts a new range.
  l.list->SelectItem(2);
  l.recorder.heard.clear();
  l.rows[4]->SetEnabled(false);
  {
    HeldKey shift(VK_SHIFT);
    EXPECT_TRUE(l.list->SelectMultiItem(6));
  }
  EXPECT_EQ(l.Flagged(), (std::vector<int>{2, 3, 5, 6}));  // the disabled row stays out
  EXPECT_EQ(l.ItemSelects(), (Pairs{{6, 2}}));
  l.rows[4]->SetEnabled(true);

  // Ctrl+A selects every visible enabled row; a hidden one stays out.
  l.recorder.heard.clear();
  l.rows[9]->SetVisible(false);
  {
    HeldKey ctrl(VK_CONTROL);
    l.Key('A');
  }
  EXPECT_EQ(l.Flagged(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(l.list->GetSelectItemCount(), 9);
  EXPECT_EQ(l.ItemSelects(), (Pairs{{-1, -1}}));

  // Switching multi-selection off empties the selection quietly.
  l.recorder.heard.clear();
  l.list->SetMultiSelect(false);
  EXPECT_EQ(l.list->GetSelectItemCount(), 0);
  EXPECT_TRUE(l.Flagged().empty());
  EXPECT_TRUE(l.ItemSelects().empty());
}

TEST(ListSelection, KeysAndWheel) {
  const struct {
    const char* name;
    int selected;      // before; -1 none
    int disabled;      // -1 none
    bool scroll_select;
    WORD key;          // 0: a wheel turn in wheel_direction
    WORD wheel_direction;
    std::vector<int> after;
  } cases[] = {
      {"down", 3, -1, false, VK_DOWN, 0, {4}},
      {"up", 3, -1, false, VK_UP, 0, {2}},
      {"up on the first row stays", 0, -1, false, VK_UP, 0, {0}},
      {"down on the last row stays", 9, -1, false, VK_DOWN, 0, {9}},
      {"down onto a disabled row empties the selection", 3, 4, false, VK_DOWN, 0, {}},
      {"down with nothing selected does nothing", -1, -1, false, VK_DOWN, 0, {}},
      {"home", 5, 0, false, VK_HOME, 0, {1}},
      {"end", 5, -1, false, VK_END, 0, {9}},
      {"end onto a disabled last row empties the selection", 5, 9, false, VK_END, 0, {}},
      {"scroll select: wheel down skips a disabled row", 3, 4, true, 0, 1, {5}},
      {"scroll select: wheel up", 3, -1, true, 0, 0, {2}},
      {"scroll select: wheel down past the end keeps the row", 9, -1, true, 0, 1, {9}},
      {"scroll select: wheel down onto only a disabled row empties the selection", 8, 9, true, 0, 1,
       {}},
      {"wheel without scroll select scrolls", 3, -1, false, 0, 1, {3}},
  };
  for (const auto& c : cases) {
    List l;
    l.list->SetScrollSelect(c.scroll_select);
    if (c.selected >= 0) l.list->SelectItem(c.selected);
    if (c.disabled >= 0) l.rows[c.disabled]->SetEnabled(false);
    if (c.key != 0) {
      l.Key(c.key);
    } else {
      l.Wheel(c.wheel_direction);
    }
    EXPECT_EQ(l.Selected(), c.after) << c.name;
  }
}

// Changes the rows once, from inside the first "itemselect" that names a row.
class RowChanger : public Vellum::INotifyUI {
 public:
  RowChanger(CListUI* list, std::function<void(CListUI*, int)> change)
      : list_(list), change_(std::move(change)) {}
  void Notify(Vellum::TUINotification& msg) override {
    if (done_ || msg.type != L"itemselect" || static_cast<int>(msg.wParam) < 0) return;
    done_ = true;
    change_(list_, static_cast<int>(msg.wParam));
  }

 private:
  CListUI* list_;
  std::function<void(CListUI*, int)> change_;
  bool done_ = false;
};

// Keys and the wheel select with the focus; an "itemselect" handler that changes the rows under
// that selection leaves a list whose selection names rows it still has.
TEST(ListSelection, AnItemSelectHandlerMayChangeTheRowsUnderAKeyboardSelection) {
  const struct {
    const char* name;
    std::function<void(CListUI*, int)> change;
  } changes[] = {
      {"empties the list", [](CListUI* list, int) { list->RemoveAll(); }},
      {"keeps two rows",
       [](CListUI* list, int) {
         while (list->GetCount() > 2) list->RemoveAt(list->GetCount() - 1);
       }},
      {"removes the selected row", [](CListUI* list, int index) { list->RemoveAt(index); }},
      {"puts a row in front", [](CListUI* list, int) { list->AddAt(new Row(), 0); }},
  };
  const struct {
    const char* name;
    WORD key;  // 0: a wheel turn down with scroll select
  } inputs[] = {{"up", VK_UP}, {"down", VK_DOWN}, {"home", VK_HOME}, {"end", VK_END}, {"wheel", 0}};
  for (const auto& change : changes) {
    for (const auto& input : inputs) {
      SCOPED_TRACE(std::string(change.name) + ", " + input.name);
      List l;
      l.list->SetScrollSelect(input.key == 0);
      l.list->SelectItem(5);
      RowChanger changer(l.list, change.change);
      l.window.manager().AddNotifier(&changer);
      if (input.key != 0) {
        l.Key(input.key);
      } else {
        l.Wheel(1);
      }
      l.window.manager().RemoveNotifier(&changer);
      for (int selected : l.Selected()) EXPECT_LT(selected, l.list->GetCount());
      EXPECT_LE(l.list->GetSelectItemCount(), 1);
      EXPECT_LT(l.list->GetCurSel(), l.list->GetCount());
      if (l.list->GetCurSel() >= 0) {
        EXPECT_EQ(l.Flagged(), l.Selected());
      }
    }
  }
}

TEST(ListSelection, ReturnActivatesTheCurrentRow) {
  List l;
  l.list->SelectItem(2);
  l.Key(VK_RETURN);
  EXPECT_EQ(l.rows[2]->activations, 1);
}

TEST(ListRows, SelectionFollowsItsRowsOnInsertRemoveAndMove) {
  List l;
  l.list->SetMultiSelect(true);
  {
    HeldKey ctrl(VK_CONTROL);
    l.list->SelectMultiItem(5);
    l.list->SelectMultiItem(2);
  }
  Row* five = l.rows[5];
  Row* two = l.rows[2];
  auto selected_rows = [&l] {
    std::vector<CControlUI*> found;
    for (int i : l.Selected()) found.push_back(l.list->GetItemAt(i));
    return found;
  };

  l.list->AddAt(new Row(), 0);
  EXPECT_EQ(selected_rows(), (std::vector<CControlUI*>{five, two}));
  EXPECT_EQ(l.list->GetCurrentItem(), 3);
  EXPECT_EQ(five->GetIndex(), 6);

  l.list->SetItemIndex(five, 0);
  EXPECT_EQ(selected_rows(), (std::vector<CControlUI*>{five, two}));
  EXPECT_EQ(five->GetIndex(), 0);

  l.list->RemoveAt(1);  // an unselected row before both
  EXPECT_EQ(selected_rows(), (std::vector<CControlUI*>{five, two}));
  for (int i = 0; i < l.list->GetCount(); ++i) {
    EXPECT_EQ(static_cast<Row*>(l.list->GetItemAt(i))->GetIndex(), i);
  }
}

TEST(ListRows, RemovingTheSelectedRowSelectsTheNearestWithoutFocus) {
  List l;
  l.list->SelectItem(4);
  l.rows[3]->SetEnabled(false);
  l.recorder.heard.clear();
  EXPECT_TRUE(l.list->Remove(l.rows[4]));
  // Row 5 moved up to 4: the nearest selectable at or before the old index.
  EXPECT_EQ(l.Selected(), (std::vector<int>{4}));
  EXPECT_EQ(l.list->GetItemAt(4), l.rows[5]);
  EXPECT_EQ(l.ItemSelects(), (Pairs{{4, 0}}));
  EXPECT_NE(l.window.manager().GetFocus(), l.rows[5]);

  l.list->RemoveAll();
  EXPECT_EQ(l.list->GetCount(), 0);
  EXPECT_EQ(l.list->GetCurSel(), -1);
  EXPECT_FALSE(l.list->RemoveAt(0));
}

TEST(ListRows, ExpandingOneRowAtATime) {
  List l(3);
  EXPECT_TRUE(l.list->ExpandItem(1));
  EXPECT_EQ(l.list->GetExpandedItem(), 1);
  EXPECT_TRUE(l.list->ExpandItem(2));
  EXPECT_FALSE(l.rows[1]->IsExpanded());
  EXPECT_TRUE(l.rows[2]->IsExpanded());
  EXPECT_FALSE(l.list->ExpandItem(7));
  EXPECT_EQ(l.list->GetExpandedItem(), -1);
  l.list->SetAttribute(L"multiexpanding", L"true");
  l.list->ExpandItem(0);
  l.list->ExpandItem(1);
  EXPECT_TRUE(l.rows[0]->IsExpanded());
  EXPECT_TRUE(l.rows[1]->IsExpanded());
}

TEST(ListLayout, RowsStackUnderTheHeaderAndTakeItsColumns) {
  List l(3);
  auto* first = new CListHeaderItemUI();
  auto* second = new CListHeaderItemUI();
  first->SetFixedWidth(80);
  second->SetFixedWidth(150);
  l.list->GetHeader()->SetFixedHeight(24);
  l.list->Add(first);
  l.list->Add(second);
  l.list->SetAttribute(L"childpadding", L"2");  // spaces the rows, not the header from the body
  l.Layout();
  const Vellum::TListDisplayInfo* info = l.list->GetListInfo();
  EXPECT_EQ(info->column_count, 2);
  EXPECT_TRUE(SameRect(info->columns[0], RECT{0, 0, 80, 24}));
  EXPECT_TRUE(SameRect(info->columns[1], RECT{80, 0, 230, 24}));
  EXPECT_EQ(l.list->GetList()->GetPos().top, 24);
  // Rows are as wide as the columns, wider than the list.
  EXPECT_TRUE(SameRect(l.rows[0]->GetPos(), RECT{0, 24, 230, 44}));
  EXPECT_TRUE(SameRect(l.rows[1]->GetPos(), RECT{0, 46, 230, 66}));

  // A hidden header still gives the rows their columns.
  l.list->SetAttribute(L"header", L"hidden");
  l.Layout();
  EXPECT_EQ(l.list->GetListInfo()->column_count, 2);
  EXPECT_EQ(info->columns[1].right - info->columns[1].left, 150);
  EXPECT_EQ(l.rows[0]->GetPos().top, 0);
}

TEST(ListLayout, SelectingARowOutOfSightScrollsItIn) {
  List l(10);  // 200 rows' worth of height in a 100-high list
  l.list->SetAttribute(L"header", L"hidden");
  l.list->EnableScrollBar(true, false);
  l.Layout();
  ASSERT_NE(l.list->GetVerticalScrollBar(), nullptr);
  l.list->SelectItem(7);
  // Row 7 spans 140..160: it now ends at the bottom of the list.
  EXPECT_EQ(l.list->GetScrollPos().cy, 60);
  EXPECT_EQ(l.rows[7]->GetPos().bottom, 100);
  l.list->SelectItem(1);
  EXPECT_EQ(l.list->GetScrollPos().cy, 20);
  EXPECT_EQ(l.rows[1]->GetPos().top, 0);
}

TEST(ListAttributes, DisplaySettingsAndCaseSensitiveNames) {
  CListUI list;
  const Vellum::TListDisplayInfo& info = *list.GetListInfo();
  EXPECT_EQ(info.text_style, static_cast<UINT>(DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(info.selected_bk_color, 0xFFC1E3FFu);
  list.SetAttribute(L"itemalign", L"center");
  list.SetAttribute(L"itemvalign", L"bottom");
  EXPECT_EQ(info.text_style, static_cast<UINT>(DT_CENTER | DT_BOTTOM | DT_SINGLELINE));
  list.SetAttribute(L"ItemTextColor", L"#FF102030");
  EXPECT_EQ(info.text_color, 0xFF102030u);
  list.SetAttribute(L"itemtextpadding", L"1,2,3,4");
  EXPECT_TRUE(SameRect(info.text_padding, RECT{1, 2, 3, 4}));
  list.SetAttribute(L"itemshowhtml", L"true");
  EXPECT_TRUE(info.show_html);
  list.SetAttribute(L"itemselectedimage", L"sel.png");
  EXPECT_EQ(info.selected_image, L"sel.png");
  list.SetAttribute(L"scrollselect", L"TRUE");
  EXPECT_TRUE(list.IsScrollSelect());

  const struct {
    const wchar_t* name;
    const wchar_t* value;
    bool on;
  } cases[] = {
      {L"multiselect", L"true", true},
      {L"MultiSelect", L"true", false},
      {L"multiselect", L"True", false},
  };
  for (const auto& c : cases) {
    CListUI probe;
    probe.SetAttribute(c.name, c.value);
    EXPECT_EQ(probe.IsMultiSelect(), c.on);
    probe.SetAttribute(c.name == std::wstring(L"multiselect") ? L"itemrselected" : L"ItemRSelected",
                       c.value);
    EXPECT_EQ(probe.GetListInfo()->right_button_selects, c.on);
  }
}

}  // namespace
