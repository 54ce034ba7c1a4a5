// The editable list without its edit: how the list recognises its header items, the rows' column
// texts, the check boxes of header and rows and how they keep each other in step, links, and the
// combo cell.

#include "vellum/controls/list_ex/list_ex.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/controls/list_ex/list_ex_fixture.h"
#include "tests/vellum/support/dib_surface.h"
#include "vellum/controls/combo/combo_box.h"
#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/core/base_controls/scroll_bar.h"

namespace {

using testing_support::kCheckColumn;
using testing_support::kComboColumn;
using testing_support::kEditColumn;
using testing_support::ListExFixture;
using testing_support::SameRect;
using Vellum::CComboBoxUI;
using Vellum::CControlUI;
using Vellum::CListContainerHeaderItemUI;
using Vellum::CListExUI;
using Vellum::CListLabelElementUI;
using Vellum::CListTextExtElementUI;
using Vellum::CListUI;
using Vellum::UISTATE_CAPTURED;
using Vellum::UISTATE_PUSHED;
using Vellum::UISTATE_SELECTED;

constexpr auto CheckBoxPointOf = &ListExFixture::CheckBoxPoint;
constexpr auto CellPoint = &ListExFixture::CellPoint;

TEST(ListEx, IdentityAndInterfaces) {
  CListExUI list;
  CListContainerHeaderItemUI item;
  CListTextExtElementUI row;
  EXPECT_STREQ(list.GetClass(), L"XListUI");
  EXPECT_STREQ(item.GetClass(), L"ListContainerHeaderItemUI");
  EXPECT_STREQ(row.GetClass(), L"ListTextExElementUI");
  EXPECT_EQ(list.GetInterface(L"ListEx"), static_cast<Vellum::IListUI*>(&list));
  EXPECT_EQ(list.GetInterface(L"List"), &list);
  EXPECT_EQ(item.GetInterface(L"ListContainerHeaderItem"), &item);
  EXPECT_EQ(item.GetInterface(L"ListHeaderItem"), nullptr);
  EXPECT_EQ(row.GetInterface(L"ListTextExElement"), &row);
  EXPECT_NE(row.GetInterface(L"ListItem"), nullptr);
  EXPECT_EQ(item.GetMinWidth(), 16);
  const RECT padding = item.GetTextPadding();
  EXPECT_TRUE(SameRect(padding, RECT{2, 0, 2, 0})) << padding;
  EXPECT_EQ(item.GetTextStyle(), static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
}

// A plain list takes the editable list's header items into its header, beside its own items.
TEST(ListEx, PlainListRecognisesTheHeaderItems) {
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  auto* plain = new Vellum::CListHeaderItemUI();
  auto* first = new CListContainerHeaderItemUI();
  auto* second = new CListContainerHeaderItemUI();
  auto* row = new CListLabelElementUI();
  list->Add(first);
  list->Add(row);
  list->AddAt(plain, 0);
  list->Add(second);
  window.manager().AttachRootControl(list);

  Vellum::CListHeaderUI* header = list->GetHeader();
  ASSERT_EQ(header->GetCount(), 3);
  EXPECT_EQ(header->GetItemAt(0), plain);
  EXPECT_EQ(header->GetItemAt(1), first);
  EXPECT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetListInfo()->column_count, 3);
  EXPECT_EQ(list->GetItemIndex(second), 2);
  EXPECT_EQ(list->GetItemIndex(row), 0);

  EXPECT_TRUE(list->SetItemIndex(second, 0));
  EXPECT_EQ(header->GetItemAt(0), second);
  EXPECT_TRUE(list->Remove(first));
  EXPECT_EQ(header->GetCount(), 2);
  EXPECT_EQ(list->GetListInfo()->column_count, 2);
  EXPECT_EQ(list->GetCount(), 1);

  // The columns the rows draw in are the items' places.
  header->SetFixedHeight(20);
  second->SetFixedWidth(50);
  plain->SetFixedWidth(70);
  list->SetPos(RECT{0, 0, 200, 100}, false);
  EXPECT_EQ(list->GetListInfo()->columns[0].right, 50);
  EXPECT_EQ(list->GetListInfo()->columns[1].right, 120);
}

TEST(ListEx, RowColumnTexts) {
  ListExFixture fixture(1);
  CListTextExtElementUI* row = fixture.rows[0];
  EXPECT_STREQ(row->GetText(1), L"r0c1");

  // Without an owner there is nothing to size the texts by.
  CListTextExtElementUI lone;
  lone.SetText(0, L"x");
  EXPECT_EQ(lone.GetText(0), nullptr);

  struct Case {
    int column;
    const wchar_t* text;
    const wchar_t* expected;  // what GetText(column) gives afterwards
  };
  const Case cases[] = {
      {-1, L"x", nullptr},  // outside the columns
      {3, L"x", nullptr},   // the list has three columns
      {2, L"new", L"new"},  // replaces
      {2, L"new", L"new"},  // the same text again
      {2, nullptr, L""},    // a set column is emptied
  };
  for (const Case& c : cases) {
    row->SetText(c.column, c.text);
    if (c.expected) {
      EXPECT_STREQ(row->GetText(c.column), c.expected) << c.column;
    } else {
      EXPECT_EQ(row->GetText(c.column), nullptr) << c.column;
    }
  }

  // A fresh row has no texts; a null text leaves the column without one.
  CListTextExtElementUI* fresh = fixture.AddRow();
  EXPECT_EQ(fresh->GetText(0), nullptr);
  fresh->SetText(0, nullptr);
  EXPECT_EQ(fresh->GetText(0), nullptr);
  fresh->SetText(2, L"last");
  EXPECT_EQ(fresh->GetText(1), nullptr);
  EXPECT_STREQ(fresh->GetText(2), L"last");
}

TEST(ListEx, ColumnFlagsComeFromTheHeaderItems) {
  ListExFixture fixture(0);
  CListExUI* list = fixture.list;
  const struct {
    int column;
    bool checkable, editable, comboable;
  } cases[] = {
      {kCheckColumn, true, false, false}, {kEditColumn, false, true, false},
      {kComboColumn, false, false, true}, {3, false, false, false},
      {-1, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(list->IsColumnCheckable(c.column), c.checkable) << c.column;
    EXPECT_EQ(list->IsColumnEditable(c.column), c.editable) << c.column;
    EXPECT_EQ(list->IsColumnComboEnabled(c.column), c.comboable) << c.column;
    // The list family's own name answers the same.
    EXPECT_EQ(static_cast<CListUI*>(list)->IsColumnComboable(c.column), c.comboable) << c.column;
  }
  // A plain header item in the header says nothing about its column.
  list->AddAt(new Vellum::CListHeaderItemUI(), 0);
  EXPECT_FALSE(list->IsColumnCheckable(0));
  EXPECT_TRUE(list->IsColumnCheckable(1));
}

// The editors by their own names and by the list family's: one edit and one combo, made once.
TEST(ListEx, TheEditorsAnswerByBothNames) {
  ListExFixture fixture(1);
  CListExUI* list = fixture.list;
  CListUI* as_list = list;
  Vellum::CRichEditUI* edit = list->GetEditUI();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetName(), L"ListEx_Edit");
  EXPECT_EQ(as_list->GetEditControl(), edit);
  CComboBoxUI* combo = list->GetComboBoxUI();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetName(), L"ListEx_Combo");
  EXPECT_EQ(as_list->GetComboControl(), combo);
  EXPECT_EQ(list->GetEditUI(), edit);
}

// A list that takes back every combo column through the name it is known by.
class NoComboList : public CListExUI {
 public:
  bool IsColumnComboEnabled(int) override { return false; }
};

TEST(ListEx, ADerivedListDecidesTheComboColumnsByItsOwnName) {
  ListExFixture fixture(1);
  auto* list = new NoComboList();
  list->Add(new CListContainerHeaderItemUI());
  list->GetHeader()->GetItemAt(0)->SetAttribute(L"comboable", L"true");
  EXPECT_FALSE(static_cast<CListUI*>(list)->IsColumnComboable(0));
  fixture.list->Add(list);
  list->OfferCell(0, 0, RECT{0, 0, 50, 20}, L"text");
  EXPECT_EQ(list->GetEditColumn(), -1);
}

TEST(ListEx, HeaderItemAttributes) {
  CListContainerHeaderItemUI item;
  const struct {
    const wchar_t* name;
    const wchar_t* value;
    std::function<bool(const CListContainerHeaderItemUI&)> holds;
  } cases[] = {
      {L"dragable", L"false", [](const auto& i) { return !i.IsDragable(); }},
      {L"SepWidth", L"-6", [](const auto& i) { return i.GetSepWidth() == -6; }},
      {L"align", L"left",
       [](const auto& i) { return (i.GetTextStyle() & (DT_CENTER | DT_RIGHT)) == 0; }},
      {L"align", L"right", [](const auto& i) { return (i.GetTextStyle() & DT_RIGHT) != 0; }},
      {L"endellipsis", L"true",
       [](const auto& i) { return (i.GetTextStyle() & DT_END_ELLIPSIS) != 0; }},
      {L"font", L"3", [](const auto& i) { return i.GetFont() == 3; }},
      {L"textcolor", L"#FF112233", [](const auto& i) { return i.GetTextColor() == 0xFF112233; }},
      {L"textpadding", L"1,2,3,4",
       [](const auto& i) {
         return SameRect(i.GetTextPadding(), RECT{1, 2, 3, 4});
       }},
      {L"showhtml", L"true", [](const auto& i) { return i.IsShowHtml(); }},
      {L"editable", L"true", [](const auto& i) { return i.IsColumnEditable(); }},
      {L"comboable", L"true", [](const auto& i) { return i.IsColumnComboable(); }},
      {L"checkable", L"true", [](const auto& i) { return i.IsColumnCheckable(); }},
      {L"checkboxwidth", L"14", [](const auto& i) { return i.GetCheckBoxRect().right == 20; }},
      {L"checkboxwidth", L"-3", [](const auto& i) { return i.GetCheckBoxRect().right == 20; }},
  };
  for (const auto& c : cases) {
    item.SetAttribute(c.name, c.value);
    EXPECT_TRUE(c.holds(item)) << testing::PrintToString(std::wstring(c.name)) << " "
                               << testing::PrintToString(std::wstring(c.value));
  }
}

// The header box checks every row; rows checked by hand check the header box once all are.
TEST(ListEx, HeaderAndRowChecksKeepInStep) {
  ListExFixture fixture(3);
  CListContainerHeaderItemUI* header_item = fixture.items[kCheckColumn];

  ListExFixture::Click(header_item, CheckBoxPointOf(header_item));
  EXPECT_TRUE(header_item->GetCheck());
  EXPECT_NE(header_item->GetCheckBoxState() & UISTATE_SELECTED, 0u);
  auto heard = fixture.recorder.OfType(L"listheaditemchecked");
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].sender, header_item);
  EXPECT_EQ(heard[0].wParam, static_cast<WPARAM>(kCheckColumn));
  EXPECT_EQ(heard[0].lParam, 1);
  for (CListTextExtElementUI* row : fixture.rows) EXPECT_TRUE(row->GetCheck());
  // Checking rows from the header sends nothing for the rows.
  EXPECT_EQ(fixture.Count(L"listitemchecked"), 0u);

  // One row unchecked unchecks the header box.
  CListTextExtElementUI* middle = fixture.rows[1];
  ListExFixture::Click(middle, CheckBoxPointOf(middle));
  EXPECT_FALSE(middle->GetCheck());
  EXPECT_FALSE(header_item->GetCheck());
  auto row_heard = fixture.recorder.OfType(L"listitemchecked");
  ASSERT_EQ(row_heard.size(), 1u);
  EXPECT_EQ(LOWORD(row_heard[0].wParam), 1);
  EXPECT_EQ(HIWORD(row_heard[0].wParam), kCheckColumn);
  EXPECT_EQ(row_heard[0].lParam, 0);

  // The header box checks the unchecked row again, and unchecked clears every row.
  ListExFixture::Click(header_item, CheckBoxPointOf(header_item));
  EXPECT_TRUE(header_item->GetCheck());
  EXPECT_TRUE(middle->GetCheck());
  ListExFixture::Click(header_item, CheckBoxPointOf(header_item));
  EXPECT_FALSE(header_item->GetCheck());
  for (CListTextExtElementUI* row : fixture.rows) EXPECT_FALSE(row->GetCheck());
  EXPECT_EQ(fixture.recorder.OfType(L"listheaditemchecked").back().lParam, 0);

  // Checking the rows one by one checks the header box only with the last one.
  for (size_t i = 0; i < fixture.rows.size(); ++i) {
    EXPECT_FALSE(header_item->GetCheck()) << i;
    ListExFixture::Click(fixture.rows[i], CheckBoxPointOf(fixture.rows[i]));
  }
  EXPECT_TRUE(header_item->GetCheck());

  // Rows of another kind do not count.
  auto* label = new CListLabelElementUI();
  label->SetFixedHeight(20);
  fixture.list->Add(label);
  CListTextExtElementUI* first = fixture.rows[0];
  ListExFixture::Click(first, CheckBoxPointOf(first));
  ListExFixture::Click(first, CheckBoxPointOf(first));
  EXPECT_TRUE(header_item->GetCheck());
}

TEST(ListEx, CheckBoxPressReleasedOutsideDoesNotToggle) {
  ListExFixture fixture(2);
  const struct {
    const char* what;
    CControlUI* control;
    std::function<bool()> checked;
    std::function<UINT()> state;
  } owners[] = {
      {"row", fixture.rows[0], [&] { return fixture.rows[0]->GetCheck(); },
       [&] { return fixture.rows[0]->GetCheckBoxState(); }},
      {"header item", fixture.items[0], [&] { return fixture.items[0]->GetCheck(); },
       [&] { return fixture.items[0]->GetCheckBoxState(); }},
  };
  for (const auto& owner : owners) {
    const POINT inside = CheckBoxPointOf(owner.control);
    const POINT outside{inside.x + 30, inside.y};
    ListExFixture::Send(owner.control, Vellum::UIEVENT_BUTTONDOWN, inside);
    EXPECT_EQ(owner.state() & (UISTATE_CAPTURED | UISTATE_PUSHED),
              UISTATE_CAPTURED | UISTATE_PUSHED)
        << owner.what;
    ListExFixture::Send(owner.control, Vellum::UIEVENT_MOUSEMOVE, outside);
    EXPECT_EQ(owner.state() & UISTATE_PUSHED, 0u) << owner.what;
    ListExFixture::Send(owner.control, Vellum::UIEVENT_BUTTONUP, outside);
    EXPECT_FALSE(owner.checked()) << owner.what;
    EXPECT_EQ(owner.state() & UISTATE_CAPTURED, 0u) << owner.what;

    // A press that starts outside the box never toggles it.
    ListExFixture::Send(owner.control, Vellum::UIEVENT_BUTTONDOWN, outside);
    ListExFixture::Send(owner.control, Vellum::UIEVENT_BUTTONUP, inside);
    EXPECT_FALSE(owner.checked()) << owner.what;
  }
  EXPECT_EQ(fixture.Count(L"listitemchecked"), 0u);
  EXPECT_EQ(fixture.Count(L"listheaditemchecked"), 0u);

  // A column that is not checkable has no box to press.
  fixture.items[kCheckColumn]->SetColumnCheckable(false);
  ListExFixture::Click(fixture.rows[1], CheckBoxPointOf(fixture.rows[1]));
  EXPECT_FALSE(fixture.rows[1]->GetCheck());
}

TEST(ListEx, HeaderItemClicksAndSeparatorDrag) {
  ListExFixture fixture(1);
  CListContainerHeaderItemUI* item = fixture.items[kEditColumn];
  const RECT pos = item->GetPos();
  ListExFixture::Click(item, POINT{pos.left + 20, 10});
  EXPECT_EQ(fixture.Count(L"listheaderclick"), 1u);
  EXPECT_EQ(item->GetButtonState() & UISTATE_PUSHED, 0u);

  // The separator strip (4 wide, grabbed 4 further in) drags the column wider.
  const POINT grip{pos.right - 6, 10};
  ListExFixture::Send(item, Vellum::UIEVENT_BUTTONDOWN, grip);
  EXPECT_NE(item->GetButtonState() & UISTATE_CAPTURED, 0u);
  ListExFixture::Send(item, Vellum::UIEVENT_MOUSEMOVE, POINT{grip.x + 15, 10});
  ListExFixture::Send(item, Vellum::UIEVENT_BUTTONUP, POINT{grip.x + 15, 10});
  EXPECT_EQ(item->GetFixedWidth(), 75);
  EXPECT_EQ(fixture.Count(L"listheaderclick"), 1u);
  fixture.Layout();
  EXPECT_EQ(fixture.list->GetListInfo()->columns[kEditColumn].right, 135);
}

TEST(ListEx, LinksOfRows) {
  ListExFixture fixture(1);
  fixture.list->SetAttribute(L"itemshowhtml", L"true");
  CListTextExtElementUI* row = fixture.rows[0];
  row->SetText(kEditColumn, L"<a go>link</a>");
  testing_support::Surface surface(200, 120, 0xFFFFFFFF);
  fixture.list->Paint(surface.dc(), RECT{0, 0, 200, 120});
  ASSERT_EQ(row->GetLinkCount(), 1);
  EXPECT_EQ(row->GetLinkText(0), L"go");
  const RECT link = row->GetLinkRect(0);
  EXPECT_GE(link.left, testing_support::kColumnWidth);
  const POINT on_link{(link.left + link.right) / 2, (link.top + link.bottom) / 2};
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, on_link);
  auto heard = fixture.recorder.OfType(L"link");
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].sender, row);
  EXPECT_EQ(heard[0].wParam, 0u);
  EXPECT_NE(row->GetControlFlags() & Vellum::UIFLAG_SETCURSOR, 0u);
}

// Fills the combo of a combo cell and, when asked, selects a row while filling.
class ChoiceFiller : public Vellum::IListComboCallback {
 public:
  void FillComboItems(CComboBoxUI* combo, int row, int column) override {
    calls.push_back({row, column});
    for (const wchar_t* text : {L"red", L"green", L"blue"}) {
      auto* item = new CListLabelElementUI();
      item->SetText(text);
      combo->Add(item);
    }
    if (select_while_filling) combo->SelectItem(0);
  }
  std::vector<std::pair<int, int>> calls;
  bool select_while_filling = false;
};

TEST(ListEx, ComboCellStoresTheChoice) {
  ListExFixture fixture(3);
  ChoiceFiller filler;
  fixture.list->SetComboCallback(&filler);
  EXPECT_EQ(fixture.list->GetComboCallback(), &filler);
  CListTextExtElementUI* row = fixture.rows[1];

  // Without the focus a click offers nothing.
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kComboColumn));
  EXPECT_EQ(fixture.list->GetEditRow(), -1);
  EXPECT_TRUE(filler.calls.empty());

  fixture.FocusList(1);
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kComboColumn));
  CComboBoxUI* combo = fixture.list->GetComboControl();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetName(), L"ListEx_Combo");
  EXPECT_TRUE(combo->IsVisible());
  EXPECT_EQ(fixture.list->GetEditRow(), 1);
  EXPECT_EQ(fixture.list->GetEditColumn(), kComboColumn);
  ASSERT_EQ(filler.calls.size(), 1u);
  EXPECT_EQ(filler.calls[0], std::make_pair(1, kComboColumn));
  EXPECT_EQ(combo->GetText(), L"r1c2");
  EXPECT_EQ(combo->GetCount(), 3);
  // Over the cell, one pixel in: the header is 20 high and row 1 is the second row.
  const RECT expected{2 * 60 + 1, 40 + 1, 3 * 60 - 1, 60 - 1};
  EXPECT_TRUE(SameRect(combo->GetPos(), expected)) << combo->GetPos();

  combo->SelectItem(2);
  EXPECT_STREQ(row->GetText(kComboColumn), L"blue");
  EXPECT_FALSE(combo->IsVisible());
  EXPECT_EQ(fixture.list->GetEditRow(), -1);
  // Other cells keep their texts.
  EXPECT_STREQ(fixture.rows[0]->GetText(kComboColumn), L"r0c2");
  EXPECT_STREQ(row->GetText(kEditColumn), L"r1c1");

  // The combo is emptied for the next cell; a selection made while filling is not a choice.
  filler.select_while_filling = true;
  CListTextExtElementUI* last = fixture.rows[2];
  ListExFixture::Send(last, Vellum::UIEVENT_BUTTONUP, CellPoint(last, kComboColumn));
  EXPECT_EQ(combo->GetCount(), 3);
  EXPECT_TRUE(combo->IsVisible());
  EXPECT_STREQ(last->GetText(kComboColumn), L"r2c2");
  combo->SelectItem(1);
  EXPECT_STREQ(last->GetText(kComboColumn), L"green");

  // Rows that move close the combo: a later choice lands nowhere.
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kComboColumn));
  ASSERT_TRUE(combo->IsVisible());
  fixture.list->RemoveAt(0);
  EXPECT_FALSE(combo->IsVisible());
  EXPECT_EQ(fixture.list->GetEditRow(), -1);
  // The row that took the edited row's index would get it.
  ASSERT_EQ(fixture.list->GetItemAt(1), last);
  ASSERT_NE(combo->GetCurSel(), 2);
  combo->SelectItem(2);
  EXPECT_STREQ(last->GetText(kComboColumn), L"green");
}

TEST(ListEx, OtherColumnsWheelAndScrollCloseTheCombo) {
  ListExFixture fixture(8);
  fixture.list->EnableScrollBar(true, false);
  fixture.Layout();
  fixture.FocusList();
  CListTextExtElementUI* row = fixture.rows[0];
  CComboBoxUI* combo = fixture.list->GetComboControl();
  const std::function<void()> closers[] = {
      [&] { ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kCheckColumn)); },
      [&] {
        ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, POINT{190, 30});
      },
      [&] {
        ListExFixture::Send(fixture.list, Vellum::UIEVENT_SCROLLWHEEL, POINT{100, 50}, 1);
      },
      [&] {
        ListExFixture::Send(fixture.list, Vellum::UIEVENT_BUTTONDOWN, POINT{100, 50});
      },
      // The list's scroll bar reports a drag as "scroll".
      [&] { fixture.window.manager().SendNotify(fixture.list->GetVerticalScrollBar(), L"scroll"); },
  };
  int index = 0;
  for (const auto& close : closers) {
    ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kComboColumn));
    ASSERT_TRUE(combo->IsVisible()) << index;
    close();
    EXPECT_FALSE(combo->IsVisible()) << index;
    EXPECT_TRUE(SameRect(combo->GetPos(), RECT{0, 0, 0, 0})) << index;
    ++index;
  }

  // Scrolling elsewhere in the window leaves the combo open.
  Vellum::CControlUI elsewhere;
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, CellPoint(row, kComboColumn));
  fixture.window.manager().SendNotify(&elsewhere, L"scroll");
  EXPECT_TRUE(combo->IsVisible());
}

}  // namespace
