// The list's rows in a real list: clicks, Ctrl-clicks, activation, the right button, hiding a
// selected row, painting from the list's settings, links of text rows and tiles of container rows.

#include "vellum/controls/list/list_element.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_header.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::SolidPng;
using testing_support::NotificationRecorder;
using testing_support::SameRect;
using testing_support::Surface;
using Vellum::CControlUI;
using Vellum::CListContainerElementUI;
using Vellum::CListLabelElementUI;
using Vellum::CListTextElementUI;
using Vellum::CListUI;
using Vellum::TUIEvent;
using testing_support::HeldKey;

// A list 200 x 100 without a visible header, with label rows 20 high.
struct List {
  testing_support::ManagedWindow window;
  NotificationRecorder recorder;
  CListUI* list = new CListUI();
  std::vector<CListLabelElementUI*> rows;
  explicit List(int count = 5) {
    list->SetAttribute(L"header", L"hidden");
    for (int i = 0; i < count; ++i) {
      auto* row = new CListLabelElementUI();
      row->SetFixedHeight(20);
      rows.push_back(row);
      list->Add(row);
    }
    window.manager().AttachRootControl(list);
    window.manager().AddNotifier(&recorder);
    list->SetPos(RECT{0, 0, 200, 100}, false);
  }
  void Send(CControlUI* row, int type, WORD key = 0, POINT point = POINT{5, 5}) {
    TUIEvent event;
    event.type = type;
    event.sender = row;
    event.key_char = key;
    event.mouse_point = point;
    row->Event(event);
  }
  size_t Count(const wchar_t* type) const { return recorder.OfType(type).size(); }
};

TEST(ListElement, Identity) {
  CListLabelElementUI label;
  CListTextElementUI text;
  CListContainerElementUI container;
  EXPECT_STREQ(label.GetClass(), L"ListLabelElementUI");
  EXPECT_STREQ(text.GetClass(), L"ListTextElementUI");
  EXPECT_STREQ(container.GetClass(), L"ListContainerElementUI");
  for (CControlUI* row : std::vector<CControlUI*>{&label, &text, &container}) {
    EXPECT_NE(row->GetInterface(L"ListItem"), nullptr);
    EXPECT_EQ(row->GetControlFlags(), Vellum::UIFLAG_WANTRETURN);
  }
  EXPECT_NE(label.GetInterface(L"ListElement"), nullptr);
  EXPECT_NE(text.GetInterface(L"ListLabelElement"), nullptr);
  EXPECT_NE(container.GetInterface(L"ListContainerElement"), nullptr);
  EXPECT_NE(container.GetInterface(L"Container"), nullptr);
}

TEST(ListElement, ARowTakenOutOfTheListForgetsItAndOutlivesIt) {
  const struct {
    const char* name;
    std::function<CControlUI*()> make;
  } kinds[] = {
      {"label row", [] { return new CListLabelElementUI(); }},
      {"text row", [] { return new CListTextElementUI(); }},
      {"container row", [] { return new CListContainerElementUI(); }},
  };
  for (const auto& kind : kinds) {
    for (const bool through_body : {false, true}) {
      SCOPED_TRACE(std::string(kind.name) + (through_body ? ", through the body" : ", through the list"));
      CControlUI* row = kind.make();
      auto* item = static_cast<Vellum::IListItemUI*>(row->GetInterface(L"ListItem"));
      testing_support::ManagedWindow other;
      auto* elsewhere = new Vellum::CVerticalLayoutUI();
      other.manager().AttachRootControl(elsewhere);
      {
        List l;
        ASSERT_TRUE(l.list->Add(row));
        ASSERT_NE(item->GetOwner(), nullptr);
        auto* holder = static_cast<Vellum::CContainerUI*>(l.list->GetList());
        holder->SetAutoDestroy(false);
        ASSERT_TRUE(through_body ? holder->Remove(row) : l.list->Remove(row));
        holder->SetAutoDestroy(true);
        EXPECT_EQ(item->GetOwner(), nullptr);
        ASSERT_TRUE(elsewhere->Add(row));
      }
      // The list and its window are gone; the row, in another window, still takes the mouse and
      // selection.
      TUIEvent event;
      event.sender = row;
      event.mouse_point = POINT{5, 5};
      for (int type : {Vellum::UIEVENT_MOUSEENTER, Vellum::UIEVENT_BUTTONDOWN, Vellum::UIEVENT_BUTTONUP,
                       Vellum::UIEVENT_DBLCLICK, Vellum::UIEVENT_SCROLLWHEEL, Vellum::UIEVENT_MOUSELEAVE}) {
        event.type = type;
        row->Event(event);
      }
      item->Select(true);
    }
  }
}

TEST(ListElement, ClicksSelectAndReport) {
  List l;
  l.Send(l.rows[2], Vellum::UIEVENT_BUTTONDOWN);
  l.Send(l.rows[2], Vellum::UIEVENT_BUTTONUP);
  EXPECT_EQ(l.list->GetCurSel(), 2);
  EXPECT_TRUE(l.rows[2]->IsSelected());
  ASSERT_EQ(l.Count(L"itemselect"), 1u);
  EXPECT_EQ(l.recorder.OfType(L"itemselect")[0].wParam, 2u);
  EXPECT_EQ(l.Count(L"itemclick"), 1u);
  l.Send(l.rows[2], Vellum::UIEVENT_BUTTONDOWN);  // already selected: no second notification
  EXPECT_EQ(l.Count(L"itemselect"), 1u);

  // Ctrl-click goes to the list's multi-selection and keeps the others.
  l.list->SetMultiSelect(true);
  l.list->SelectItem(2);
  {
    HeldKey ctrl(VK_CONTROL);
    l.Send(l.rows[4], Vellum::UIEVENT_BUTTONDOWN);
  }
  EXPECT_TRUE(l.rows[2]->IsSelected());
  EXPECT_TRUE(l.rows[4]->IsSelected());
  EXPECT_EQ(l.list->GetSelectItemCount(), 2);
}

TEST(ListElement, ActivationByDoubleClickAndReturn) {
  const struct {
    const char* name;
    int type;
    WORD key;
    bool disable;
    bool hide;
    size_t activations;
  } cases[] = {
      {"double click", Vellum::UIEVENT_DBLCLICK, 0, false, false, 1},
      {"return", Vellum::UIEVENT_KEYDOWN, VK_RETURN, false, false, 1},
      {"disabled", Vellum::UIEVENT_DBLCLICK, 0, true, false, 0},
      {"hidden", Vellum::UIEVENT_KEYDOWN, VK_RETURN, false, true, 0},
  };
  for (const auto& c : cases) {
    List l;
    if (c.disable) l.rows[1]->SetEnabled(false);
    if (c.hide) l.rows[1]->SetVisible(false);
    l.Send(l.rows[1], c.type, c.key);
    EXPECT_EQ(l.Count(L"itemactivate"), c.activations) << c.name;
  }
}

TEST(ListElement, TheRightButtonSelectsOnlyWhenTheListSaysSo) {
  for (const bool selects : {true, false}) {
    List l;
    l.list->SetAttribute(L"itemrselected", selects ? L"true" : L"false");
    l.Send(l.rows[3], Vellum::UIEVENT_RBUTTONDOWN);
    EXPECT_EQ(l.rows[3]->IsSelected(), selects);
  }
}

TEST(ListElement, HidingTheSelectedRowEmptiesTheSelection) {
  List l;
  l.list->SelectItem(1);
  l.rows[1]->SetVisible(false);
  EXPECT_FALSE(l.rows[1]->IsSelected());
  EXPECT_EQ(l.list->GetCurSel(), -1);
}

// A selected row that is disabled afterwards leaves the selection at the next single selection,
// however that selection is made; so GetCurSel answers the new row.
TEST(ListElement, ASingleSelectionLetsGoOfADisabledSelectedRow) {
  const struct {
    const char* name;
    bool multi;
    std::function<void(List&)> select;
    int expected;
  } cases[] = {
      {"by code", false, [](List& l) { l.list->SelectItem(3); }, 3},
      {"by a click", false, [](List& l) { l.Send(l.rows[3], Vellum::UIEVENT_BUTTONDOWN); }, 3},
      {"by the down key", false, [](List& l) { l.Send(l.list, Vellum::UIEVENT_KEYDOWN, VK_DOWN); }, 2},
      {"by code in a multi-selection", true, [](List& l) { l.list->SelectItem(3); }, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    List l;
    l.list->SetMultiSelect(c.multi);
    l.list->SelectItem(1);
    if (c.multi) {
      HeldKey ctrl(VK_CONTROL);
      l.list->SelectMultiItem(0);
    }
    l.rows[1]->SetEnabled(false);
    c.select(l);
    EXPECT_EQ(l.list->GetCurSel(), c.expected);
    EXPECT_EQ(l.list->GetSelectItemCount(), 1);
    for (int i = 0; i < static_cast<int>(l.rows.size()); ++i) {
      EXPECT_EQ(l.rows[i]->IsSelected(), i == c.expected) << "row " << i;
    }
  }
}

TEST(ListElement, SelectedAttributeSelectsWhateverItsValue) {
  List l;
  l.rows[3]->SetAttribute(L"selected", L"false");
  EXPECT_EQ(l.list->GetCurSel(), 3);
}

TEST(ListElement, BackgroundByState) {
  const struct {
    const char* name;
    int row;
    bool select;
    bool hot;
    bool disable;
    DWORD expected;
  } cases[] = {
      {"even row", 0, false, false, false, 0xFF102030},
      {"odd row with alternate background", 1, false, false, false, 0xFFFFFFFF},
      {"hot", 1, false, true, false, 0xFFE9F5FF},
      {"selected beats hot", 2, true, true, false, 0xFFC1E3FF},
      {"disabled", 3, false, false, true, 0xFF808080},
  };
  for (const auto& c : cases) {
    List l;
    l.list->SetAttribute(L"itembkcolor", L"#FF102030");
    l.list->SetAttribute(L"itemaltbk", L"true");
    l.list->SetAttribute(L"itemdisabledbkcolor", L"#FF808080");
    if (c.select) l.list->SelectItem(c.row);
    if (c.hot) l.Send(l.rows[c.row], Vellum::UIEVENT_MOUSEENTER);
    if (c.disable) l.rows[c.row]->SetEnabled(false);
    Surface surface(200, 100, 0xFFFFFFFF);
    const RECT pos = l.rows[c.row]->GetPos();
    l.rows[c.row]->Paint(surface.dc(), pos);
    EXPECT_EQ(surface.At(pos.left + 5, pos.top + 5) & 0x00FFFFFF, c.expected & 0x00FFFFFF) << c.name;
  }
}

TEST(ListElement, RowLinesFollowTheColumns) {
  List l;
  auto* column = new Vellum::CListHeaderItemUI();
  column->SetFixedWidth(60);
  l.list->Add(column);
  l.list->SetAttribute(L"itemlinecolor", L"#FFFF0000");
  l.list->SetAttribute(L"itemshowrowline", L"true");
  l.list->SetAttribute(L"itemshowcolumnline", L"true");
  l.list->SetPos(RECT{0, 0, 200, 100}, false);
  Surface surface(200, 100, 0xFFFFFFFF);
  const RECT pos = l.rows[0]->GetPos();
  l.rows[0]->Paint(surface.dc(), pos);
  EXPECT_EQ(surface.At(100, pos.bottom - 1) & 0x00FFFFFF, 0x00FF0000u);  // row line
  EXPECT_EQ(surface.At(59, pos.top + 5) & 0x00FFFFFF, 0x00FF0000u);      // column line
  EXPECT_EQ(surface.At(100, pos.top + 5) & 0x00FFFFFF, 0x00FFFFFFu);
}

TEST(ListTextElement, LinksAcrossColumnsStopAtEight) {
  testing_support::ManagedWindow window;
  NotificationRecorder recorder;
  auto* list = new CListUI();
  window.manager().AttachRootControl(list);
  window.manager().AddNotifier(&recorder);
  for (int i = 0; i < 2; ++i) {
    auto* column = new Vellum::CListHeaderItemUI();
    column->SetFixedWidth(300);
    list->Add(column);
  }
  list->SetAttribute(L"itemshowhtml", L"true");
  auto* row = new CListTextElementUI();
  row->SetFixedHeight(24);
  list->Add(row);
  row->SetText(0, L"<a a0>x</a> <a a1>x</a> <a a2>x</a>");
  row->SetText(1, L"<a b0>y</a> <a b1>y</a> <a b2>y</a> <a b3>y</a> <a b4>y</a> <a b5>y</a>");
  list->SetPos(RECT{0, 0, 600, 100}, false);
  Surface surface(600, 100, 0xFFFFFFFF);
  row->Paint(surface.dc(), row->GetPos());
  ASSERT_EQ(row->GetLinkCount(), 8);
  EXPECT_EQ(row->GetLinkText(2), L"a2");
  EXPECT_EQ(row->GetLinkText(7), L"b4");
  EXPECT_EQ(row->GetControlFlags(), Vellum::UIFLAG_WANTRETURN | Vellum::UIFLAG_SETCURSOR);

  const RECT link = row->GetLinkRect(3);
  TUIEvent up;
  up.type = Vellum::UIEVENT_BUTTONUP;
  up.sender = row;
  up.mouse_point = POINT{(link.left + link.right) / 2, (link.top + link.bottom) / 2};
  row->Event(up);
  ASSERT_EQ(recorder.OfType(L"link").size(), 1u);
  EXPECT_EQ(recorder.OfType(L"link")[0].wParam, 3u);
  EXPECT_TRUE(recorder.OfType(L"itemclick").empty());
}

// A cell that draws nothing (no text, or no room) finds no link, so a link it showed before is
// gone: a click where it was is a row click.
TEST(ListTextElement, CellsThatDrawNothingFindNoLinks) {
  const struct {
    const char* name;
    const wchar_t* texts[2];
    int first_width;  // after the first paint
    int links;
  } cases[] = {
      {"first cell emptied", {L"", L"<a b0>y</a>"}, 300, 1},
      {"every cell emptied", {L"", L""}, 300, 0},
      {"first cell narrowed below its padding", {L"<a a0>x</a>", L""}, 6, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::ManagedWindow window;
    NotificationRecorder recorder;
    auto* list = new CListUI();
    window.manager().AttachRootControl(list);
    window.manager().AddNotifier(&recorder);
    std::vector<Vellum::CListHeaderItemUI*> columns;
    for (int i = 0; i < 2; ++i) {
      columns.push_back(new Vellum::CListHeaderItemUI());
      columns.back()->SetFixedWidth(300);
      list->Add(columns.back());
    }
    list->SetAttribute(L"itemshowhtml", L"true");
    list->SetAttribute(L"itemtextpadding", L"10,0,10,0");
    auto* row = new CListTextElementUI();
    row->SetFixedHeight(24);
    list->Add(row);
    row->SetText(0, L"<a a0>xxxx</a>");
    list->SetPos(RECT{0, 0, 600, 100}, false);
    Surface surface(600, 100, 0xFFFFFFFF);
    row->Paint(surface.dc(), row->GetPos());
    ASSERT_EQ(row->GetLinkCount(), 1);
    const RECT shown = row->GetLinkRect(0);

    row->SetText(0, c.texts[0]);
    row->SetText(1, c.texts[1]);
    columns[0]->SetFixedWidth(c.first_width);
    list->SetPos(RECT{0, 0, 600, 101}, false);
    row->Paint(surface.dc(), row->GetPos());
    ASSERT_EQ(row->GetLinkCount(), c.links);
    if (c.links > 0) {
      EXPECT_EQ(row->GetLinkText(0), L"b0");
    }
    EXPECT_TRUE(IsRectEmpty(&row->GetLinkRect(c.links)));

    TUIEvent up;
    up.type = Vellum::UIEVENT_BUTTONUP;
    up.sender = row;
    up.mouse_point = POINT{(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
    row->Event(up);
    EXPECT_TRUE(recorder.OfType(L"link").empty());
    EXPECT_EQ(recorder.OfType(L"itemclick").size(), 1u);
  }
}

// Links are found only while the list draws tagged text: before that and after it is turned off a
// row answers no link, an empty text and an empty rectangle.
TEST(ListTextElement, LinksOnlyWhileTaggedTextIsDrawn) {
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  window.manager().AttachRootControl(list);
  auto* column = new Vellum::CListHeaderItemUI();
  column->SetFixedWidth(300);
  list->Add(column);
  auto* row = new CListTextElementUI();
  row->SetFixedHeight(24);
  list->Add(row);
  row->SetText(0, L"<a a0>x</a> <a a1>x</a>");
  list->SetPos(RECT{0, 0, 300, 100}, false);
  auto paint = [&] {
    Surface surface(300, 100, 0xFFFFFFFF);
    row->Paint(surface.dc(), row->GetPos());
  };
  auto expect_no_links = [&] {
    EXPECT_EQ(row->GetLinkCount(), 0);
    EXPECT_TRUE(row->GetLinkText(0).IsEmpty());
    EXPECT_TRUE(IsRectEmpty(&row->GetLinkRect(0)));
    EXPECT_EQ(row->GetControlFlags(), Vellum::UIFLAG_WANTRETURN);
  };
  expect_no_links();
  paint();
  expect_no_links();

  list->SetAttribute(L"itemshowhtml", L"true");
  paint();
  ASSERT_EQ(row->GetLinkCount(), 2);
  EXPECT_EQ(row->GetLinkText(1), L"a1");
  EXPECT_FALSE(IsRectEmpty(&row->GetLinkRect(1)));

  list->SetAttribute(L"itemshowhtml", L"false");
  paint();
  expect_no_links();
  EXPECT_TRUE(row->GetLinkText(1).IsEmpty());
}

// Answers every cell with a text and a colour that say which row, column and state asked.
class CellTexts : public Vellum::IListTextCallback {
 public:
  const wchar_t* GetItemText(CControlUI*, int index, int column) override {
    asked.push_back(index * 10 + column);
    return L"\x2588\x2588\x2588";
  }
  DWORD GetItemTextColor(CControlUI*, int, int column, int state) override {
    states.push_back(state);
    return column == 0 ? 0xFF0000FF : 0xFF00FF00;
  }
  std::vector<int> asked;
  std::vector<int> states;
};

TEST(ListTextElement, TheTextCallbackGivesEveryCellItsTextAndColour) {
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  window.manager().AttachRootControl(list);
  for (int i = 0; i < 2; ++i) {
    auto* column = new Vellum::CListHeaderItemUI();
    column->SetFixedWidth(100);
    list->Add(column);
  }
  CellTexts texts;
  list->SetTextCallback(&texts);
  std::vector<CListTextElementUI*> rows;
  for (int i = 0; i < 2; ++i) {
    auto* row = new CListTextElementUI();
    row->SetFixedHeight(24);
    rows.push_back(row);
    list->Add(row);
  }
  list->SetPos(RECT{0, 0, 300, 100}, false);
  list->SelectItem(1);
  Surface surface(300, 100, 0xFFFFFFFF);
  rows[1]->Paint(surface.dc(), rows[1]->GetPos());
  EXPECT_EQ(texts.asked, (std::vector<int>{10, 11}));
  EXPECT_EQ(texts.states, (std::vector<int>{2, 2}));  // selected
  // Each column's text lands in its own column in its own colour.
  auto count = [&surface, &rows](int from, int to, DWORD color) {
    int found = 0;
    const RECT pos = rows[1]->GetPos();
    for (int y = pos.top; y < pos.bottom; ++y) {
      for (int x = from; x < to; ++x) found += (surface.At(x, y) & 0x00FFFFFF) == (color & 0x00FFFFFF);
    }
    return found;
  };
  EXPECT_GT(count(0, 100, 0xFF0000FF), 10);
  EXPECT_EQ(count(100, 200, 0xFF0000FF), 0);
  EXPECT_GT(count(100, 200, 0xFF00FF00), 10);
  rows[1]->SetEnabled(false);
  rows[1]->Paint(surface.dc(), rows[1]->GetPos());
  EXPECT_EQ(texts.states.back(), 3);
}

// A 4 x 4 PNG of one colour in the working folder for the length of a test.

// Over the rows' background image goes the list's "itemforeimage"; the row's own fore image is the
// container's to draw, once. A half-transparent red over white shows how many layers were drawn.
TEST(ListContainerElement, TheListsForeImageGoesOverTheBackgroundAndTheRowsOwnOnce) {
  const SolidPng white(L"list_element_white.png", testing_support::Rgba{255, 255, 255, 255});
  const SolidPng veil(L"list_element_veil.png", testing_support::Rgba{255, 0, 0, 128});
  const struct {
    const char* name;
    bool list_fore;
    bool row_fore;
    int layers;
  } cases[] = {
      {"the list's fore image", true, false, 1},
      {"the row's own fore image", false, true, 1},
      {"both", true, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::ManagedWindow window;
    auto* list = new CListUI();
    list->SetAttribute(L"header", L"hidden");
    window.manager().AttachRootControl(list);
    if (c.list_fore) list->SetAttribute(L"itemforeimage", L"list_element_veil.png");
    list->SetAttribute(L"itembkimage", L"list_element_white.png");
    auto* row = new CListContainerElementUI();
    row->SetFixedHeight(20);
    if (c.row_fore) row->SetForeImage(L"list_element_veil.png");
    list->Add(row);
    list->SetPos(RECT{0, 0, 200, 100}, false);
    Surface surface(200, 100, 0xFF000000);
    const RECT pos = row->GetPos();
    row->Paint(surface.dc(), pos);
    const int green = (surface.At(pos.left + 10, pos.top + 10) >> 8) & 0xFF;
    const int expected = c.layers == 1 ? 127 : 63;
    EXPECT_NEAR(green, expected, 4);
  }
}

TEST(ListContainerElement, FixedWidthRowsFormTiles) {
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  list->SetAttribute(L"header", L"hidden");
  window.manager().AttachRootControl(list);
  std::vector<CListContainerElementUI*> rows;
  for (int i = 0; i < 4; ++i) {
    auto* row = new CListContainerElementUI();
    row->SetFixedWidth(100);
    row->SetFixedHeight(30);
    rows.push_back(row);
    list->Add(row);
  }
  list->SetPos(RECT{0, 0, 350, 200}, false);
  EXPECT_TRUE(SameRect(rows[0]->GetPos(), RECT{0, 0, 100, 30}));
  EXPECT_TRUE(SameRect(rows[2]->GetPos(), RECT{200, 0, 300, 30}));
  EXPECT_TRUE(SameRect(rows[3]->GetPos(), RECT{0, 30, 100, 60}));
}

TEST(ListContainerElement, CellsLineUpUnderTheColumns) {
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  window.manager().AttachRootControl(list);
  list->GetHeader()->SetFixedHeight(20);
  for (const int width : {70, 90}) {
    auto* column = new Vellum::CListHeaderItemUI();
    column->SetFixedWidth(width);
    list->Add(column);
  }
  auto* row = new CListContainerElementUI();
  row->SetFixedHeight(24);
  auto* first = new Vellum::CControlUI();
  auto* second = new Vellum::CControlUI();
  row->Add(first);
  row->Add(second);
  list->Add(row);
  list->SetPos(RECT{0, 0, 300, 100}, false);
  EXPECT_EQ(first->GetPos().left, 0);
  EXPECT_EQ(first->GetPos().right, 70);
  EXPECT_EQ(second->GetPos().left, 70);
  EXPECT_EQ(second->GetPos().right, 160);
  EXPECT_EQ(second->GetPos().top, 20);
}

}  // namespace
