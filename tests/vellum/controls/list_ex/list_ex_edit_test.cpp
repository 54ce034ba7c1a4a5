// The edit cell: the floating rich edit placed over a clicked cell of an editable column, its text
// written back when it loses the focus, and rows removed or moved while a cell is being edited.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vellum/controls/list_ex/list_ex_fixture.h"
#include "vellum/controls/rich_edit/rich_edit.h"

namespace {

using testing_support::kCheckColumn;
using testing_support::kEditColumn;
using testing_support::ListExFixture;
using testing_support::SameRect;
using Vellum::CListTextExtElementUI;
using Vellum::CRichEditUI;

// Opens the edit over the edit column of a row, as a click in the focused list does.
CRichEditUI* OpenEdit(ListExFixture& fixture, int row) {
  fixture.FocusList(row);
  CListTextExtElementUI* target = fixture.rows[row];
  ListExFixture::Send(target, Vellum::UIEVENT_BUTTONUP,
                      ListExFixture::CellPoint(target, kEditColumn));
  return fixture.list->GetEditControl();
}

TEST(ListExEdit, OpensOverTheCellAndStoresTheTextOnLeaving) {
  ListExFixture fixture(3);
  CRichEditUI* edit = OpenEdit(fixture, 1);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetName(), L"ListEx_Edit");
  EXPECT_TRUE(edit->IsVisible());
  EXPECT_TRUE(edit->IsFloat());
  // A single plain line that scrolls sideways, on white.
  EXPECT_FALSE(edit->IsRich());
  EXPECT_EQ(edit->GetWinStyle() & ES_MULTILINE, 0);
  EXPECT_NE(edit->GetWinStyle() & ES_AUTOHSCROLL, 0);
  EXPECT_TRUE(edit->IsWantReturn());
  EXPECT_EQ(edit->GetBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(edit->GetTextPadding().left, 2);
  EXPECT_EQ(edit->GetText(), L"r1c1");
  EXPECT_EQ(fixture.window.manager().GetFocus(), edit);
  EXPECT_EQ(fixture.list->GetEditRow(), 1);
  EXPECT_EQ(fixture.list->GetEditColumn(), kEditColumn);
  // One pixel inside the cell: the header is 20 high, row 1 the second row.
  const RECT cell{61, 41, 119, 59};
  EXPECT_TRUE(SameRect(edit->GetPos(), cell)) << edit->GetPos();
  // The list's own layout keeps it there.
  fixture.Layout();
  EXPECT_TRUE(SameRect(edit->GetPos(), cell)) << edit->GetPos();

  edit->SetText(L"changed");
  fixture.window.manager().SetFocus(fixture.rows[0]);
  EXPECT_STREQ(fixture.rows[1]->GetText(kEditColumn), L"changed");
  EXPECT_FALSE(edit->IsVisible());
  EXPECT_EQ(fixture.list->GetEditRow(), -1);
  EXPECT_EQ(fixture.list->GetEditColumn(), -1);
  for (int i : {0, 2})
    EXPECT_STREQ(fixture.rows[i]->GetText(kEditColumn), i == 0 ? L"r0c1" : L"r2c1");
  EXPECT_STREQ(fixture.rows[1]->GetText(kCheckColumn), L"r1c0");

  // A later loss of focus stores nothing.
  edit->SetText(L"stray");
  fixture.window.manager().SetFocus(edit);
  fixture.window.manager().SetFocus(nullptr);
  EXPECT_STREQ(fixture.rows[1]->GetText(kEditColumn), L"changed");
}

TEST(ListExEdit, OtherCellsAndTheWheelCloseTheEdit) {
  // A click on another row takes the focus to that row before its button comes up.
  auto click = [](ListExFixture& f, int column) {
    f.window.manager().SetFocus(f.rows[2]);
    ListExFixture::Send(f.rows[2], Vellum::UIEVENT_BUTTONUP,
                        ListExFixture::CellPoint(f.rows[2], column));
  };
  const struct {
    const char* what;
    std::function<void(ListExFixture&)> close;
    bool edit_visible;
  } closers[] = {
      {"a column without an editor", [&](ListExFixture& f) { click(f, kCheckColumn); }, false},
      {"the wheel",
       [](ListExFixture& f) {
         ListExFixture::Send(f.list, Vellum::UIEVENT_SCROLLWHEEL, POINT{100, 50}, 1);
       },
       false},
      {"another editable cell", [&](ListExFixture& f) { click(f, kEditColumn); }, true},
  };
  for (const auto& c : closers) {
    ListExFixture fixture(3);
    CRichEditUI* edit = OpenEdit(fixture, 1);
    edit->SetText(L"typed");
    c.close(fixture);
    EXPECT_EQ(edit->IsVisible(), c.edit_visible) << c.what;
    // The text typed so far stays with its own cell.
    EXPECT_STREQ(fixture.rows[1]->GetText(kEditColumn), L"typed") << c.what;
    EXPECT_STREQ(fixture.rows[2]->GetText(kEditColumn), L"r2c1") << c.what;
    EXPECT_STREQ(fixture.rows[2]->GetText(kCheckColumn), L"r2c0") << c.what;
  }
}

// Rows removed or moved while a cell is edited end the edit first: the text lands in the row it
// was typed for, never in the row that takes that row's place, and never in a freed row.
TEST(ListExEdit, RowsThatMoveEndTheEditFirst) {
  const struct {
    const char* what;
    std::function<void(ListExFixture&)> change;
    bool edited_row_stays;
  } changes[] = {
      {"a row above removed", [](ListExFixture& f) { f.list->RemoveAt(0); }, true},
      {"a row above removed by pointer", [](ListExFixture& f) { f.list->Remove(f.rows[0]); }, true},
      {"a row inserted above",
       [](ListExFixture& f) { f.list->AddAt(new CListTextExtElementUI(), 0); }, true},
      {"the edited row moved down", [](ListExFixture& f) { f.list->SetItemIndex(f.rows[1], 3); },
       true},
      {"a row moved above it", [](ListExFixture& f) { f.list->SetItemIndex(f.rows[3], 0); }, true},
      {"the edited row removed", [](ListExFixture& f) { f.list->RemoveAt(1); }, false},
      {"every row removed", [](ListExFixture& f) { f.list->RemoveAll(); }, false},
  };
  for (const auto& c : changes) {
    ListExFixture fixture(4);
    CRichEditUI* edit = OpenEdit(fixture, 1);
    edit->SetText(L"edited");
    std::vector<CListTextExtElementUI*> before = fixture.rows;
    c.change(fixture);
    EXPECT_FALSE(edit->IsVisible()) << c.what;
    EXPECT_EQ(fixture.list->GetEditRow(), -1) << c.what;
    // Whatever happens to the focus later stores nothing more.
    fixture.window.manager().SetFocus(nullptr);
    for (int i = 0; i < fixture.list->GetCount(); ++i) {
      auto* row = static_cast<CListTextExtElementUI*>(fixture.list->GetItemAt(i));
      const wchar_t* text = row->GetText(kEditColumn);
      if (row == before[1]) {
        EXPECT_STREQ(text, L"edited") << c.what;
      } else if (text) {
        EXPECT_STRNE(text, L"edited") << c.what << " row " << i;
      }
    }
    bool found = false;
    for (int i = 0; i < fixture.list->GetCount(); ++i)
      found |= fixture.list->GetItemAt(i) == before[1];
    EXPECT_EQ(found, c.edited_row_stays) << c.what;
  }
}

}  // namespace
