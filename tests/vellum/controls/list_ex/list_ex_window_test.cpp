// The edit cell in a real window with real input: a click opens the edit over the cell, typing
// goes into it, and a click on another row writes the text back into its own cell.

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/ui_input.h"
#include "tests/vellum/controls/list_ex/list_ex_fixture.h"
#include "vellum/controls/rich_edit/rich_edit.h"

namespace {

using testing_support::ClickAt;
using testing_support::kCheckColumn;
using testing_support::kEditColumn;
using testing_support::ListExFixture;
using testing_support::PressKey;
using testing_support::WaitUntil;

TEST(ListExWindow, ClickTypeAndClickElsewhereStoresTheCell) {
  ListExFixture fixture(3, false);
  fixture.window.ShowAndPaint();
  ::SetForegroundWindow(fixture.window.hwnd());
  ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == fixture.window.hwnd(); }, 2000));
  auto screen = [&](POINT client) {
    ::ClientToScreen(fixture.window.hwnd(), &client);
    return client;
  };

  Vellum::CListTextExtElementUI* row = fixture.rows[1];
  ASSERT_TRUE(ClickAt(screen(ListExFixture::CellPoint(row, kEditColumn))));
  ASSERT_TRUE(WaitUntil(
      [&] {
        Vellum::CRichEditUI* edit = fixture.list->GetEditControl();
        return edit->IsVisible() && fixture.window.manager().GetFocus() == edit;
      },
      2000));
  Vellum::CRichEditUI* edit = fixture.list->GetEditControl();
  EXPECT_EQ(edit->GetText(), L"r1c1");
  EXPECT_EQ(fixture.list->GetEditRow(), 1);

  ASSERT_TRUE(PressKey('Q'));
  ASSERT_TRUE(WaitUntil([&] { return edit->GetText().Find(L'q') >= 0; }, 2000));
  const Vellum::CUIString typed = edit->GetText();
  EXPECT_EQ(typed.GetLength(), 5);

  Vellum::CListTextExtElementUI* other = fixture.rows[2];
  ASSERT_TRUE(ClickAt(screen(ListExFixture::CellPoint(other, kCheckColumn))));
  ASSERT_TRUE(WaitUntil([&] { return !edit->IsVisible(); }, 2000));
  EXPECT_STREQ(row->GetText(kEditColumn), typed.GetData());
  EXPECT_STREQ(other->GetText(kEditColumn), L"r2c1");
  EXPECT_EQ(fixture.list->GetEditRow(), -1);
}

// The edit floats over its cell in a list away from the window's corner; it stays there when it
// alone needs a new layout at a later paint.
TEST(ListExWindow, TheOpenEditStaysOverItsCellAcrossRepaints) {
  ListExFixture fixture(3, false, POINT{30, 20});
  fixture.window.ShowAndPaint();
  fixture.FocusList(1);
  Vellum::CListTextExtElementUI* row = fixture.rows[1];
  ListExFixture::Send(row, Vellum::UIEVENT_BUTTONUP, ListExFixture::CellPoint(row, kEditColumn));
  Vellum::CRichEditUI* edit = fixture.list->GetEditUI();
  ASSERT_TRUE(edit->IsVisible());
  const RECT column = fixture.list->GetListInfo()->columns[kEditColumn];
  const RECT cell{column.left + 1, row->GetPos().top + 1, column.right - 1, row->GetPos().bottom - 1};
  ASSERT_EQ(cell.left, 91);
  EXPECT_TRUE(testing_support::SameRect(edit->GetPos(), cell)) << edit->GetPos();

  for (int repaint = 0; repaint < 2; ++repaint) {
    edit->NeedUpdate();
    fixture.window.PaintNow();
    EXPECT_TRUE(testing_support::SameRect(edit->GetPos(), cell))
        << "repaint " << repaint << ": " << edit->GetPos();
  }
}

}  // namespace
