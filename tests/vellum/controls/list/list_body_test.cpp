// The body of a list with more rows than it shows: wherever it is scrolled to, every row reports
// the rectangle of its place in the stack (also rows out of sight, which the body places only when
// they are read), the scroll range covers the stack, points find the row under them, and rows that
// come into sight paint where they stand.

#include "vellum/controls/list/list_body.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/list/list.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::SameRect;
using testing_support::Surface;
using Vellum::CControlUI;
using Vellum::CListLabelElementUI;
using Vellum::CUIString;
using Vellum::CListUI;

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr int kPadding = 2;
constexpr DWORD kRowColor = 0xFF00FF00;
constexpr DWORD kSelectedColor = 0xFFFF0000;
constexpr DWORD kBackground = 0xFF0000FF;

// Heights from 11 to 33 in no order, so no row's place follows from its index alone.
int HeightOf(int index) { return 11 + (index * 7) % 23; }

std::wstring Describe(const RECT& rect) {
  return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
         std::to_wstring(rect.right) + L"," + std::to_wstring(rect.bottom);
}

// A list kWidth x kHeight without a header, with a vertical bar and label rows of HeightOf(i)
// spaced by kPadding.
struct LongList {
  testing_support::ManagedWindow window;
  CListUI* list = new CListUI();
  std::vector<CListLabelElementUI*> rows;
  explicit LongList(int count) {
    list->SetAttribute(L"header", L"hidden");
    list->SetAttribute(L"childpadding", std::to_wstring(kPadding).c_str());
    list->SetAttribute(L"itembkcolor", L"#FF00FF00");
    list->SetAttribute(L"itemselectedbkcolor", L"#FFFF0000");
    list->EnableScrollBar(true, false);
    for (int i = 0; i < count; ++i) {
      auto* row = new CListLabelElementUI();
      row->SetFixedHeight(HeightOf(i));
      rows.push_back(row);
      list->Add(row);
    }
    window.manager().AttachRootControl(list);
    Layout();
  }
  void Layout() { list->SetPos(RECT{0, 0, kWidth, kHeight}, false); }
  int BarWidth() const { return list->GetVerticalScrollBar()->GetFixedWidth(); }
  // Where the stack puts each shown row at the current scroll position; hidden rows take no room.
  std::vector<RECT> Expected() const {
    std::vector<RECT> places(rows.size(), RECT{0, 0, 0, 0});
    int y = -list->GetScrollPos().cy;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i]->IsVisible()) continue;
      places[i] = RECT{0, y, kWidth - BarWidth(), y + HeightOf(static_cast<int>(i))};
      y += HeightOf(static_cast<int>(i)) + kPadding;
    }
    return places;
  }
  int StackHeight() const {
    int total = 0;
    int shown = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i]->IsVisible()) continue;
      total += HeightOf(static_cast<int>(i));
      ++shown;
    }
    return total + (shown - 1) * kPadding;
  }
  // Every shown row's rectangle as read now; the first difference, or empty.
  std::wstring FirstMisplacedRow() const {
    const std::vector<RECT> expected = Expected();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i]->IsVisible()) continue;
      if (!SameRect(rows[i]->GetPos(), expected[i])) {
        return L"row " + std::to_wstring(i) + L" at " + Describe(rows[i]->GetPos()) +
               L", expected " + Describe(expected[i]);
      }
    }
    return L"";
  }
  void Key(WORD key) {
    Vellum::TUIEvent event;
    event.type = Vellum::UIEVENT_KEYDOWN;
    event.sender = list;
    event.key_char = key;
    event.wParam = key;
    list->Event(event);
  }
};

TEST(ListBodyPlacement, EveryRowReportsItsPlaceWhereverTheBodyIsScrolled) {
  LongList l(300);
  ASSERT_EQ(l.list->GetScrollRange().cy, l.StackHeight() - kHeight);
  EXPECT_EQ(l.FirstMisplacedRow(), L"");

  struct Step {
    const char* name;
    void (*act)(LongList&);
  };
  const Step steps[] = {
      {"three lines down", [](LongList& s) { for (int i = 0; i < 3; ++i) s.list->LineDown(); }},
      {"to 1237", [](LongList& s) { s.list->SetScrollPos(SIZE{0, 1237}); }},
      {"a page down", [](LongList& s) { s.list->PageDown(); }},
      {"Page Down key", [](LongList& s) { s.Key(VK_NEXT); }},
      {"to the end", [](LongList& s) { s.list->EndDown(); }},
      {"a line up", [](LongList& s) { s.list->LineUp(); }},
      {"a new layout", [](LongList& s) { s.Layout(); }},
      {"back home", [](LongList& s) { s.list->HomeUp(); }},
  };
  std::vector<int> positions;
  for (const Step& step : steps) {
    step.act(l);
    SCOPED_TRACE(step.name);
    positions.push_back(l.list->GetScrollPos().cy);
    EXPECT_EQ(l.FirstMisplacedRow(), L"");
  }
  const int range = l.list->GetScrollRange().cy;
  const int line = positions[0] / 3;
  EXPECT_GT(line, 0);
  EXPECT_EQ(positions, (std::vector<int>{3 * line, 1237, 1237 + kHeight, 1237 + 2 * kHeight, range,
                                         range - line, range - line, 0}));
}

TEST(ListBodyPlacement, RowsReadOutOfSightBeforeAndAfterTheyAreShown) {
  LongList l(200);
  // Far below the body, read first while out of sight, then scrolled into it.
  const RECT far_row = l.rows[150]->GetPos();
  EXPECT_TRUE(SameRect(far_row, l.Expected()[150])) << Describe(far_row);
  EXPECT_GT(far_row.top, kHeight);
  l.list->SetScrollPos(SIZE{0, far_row.top - 30});
  EXPECT_EQ(l.rows[150]->GetPos().top, 30);
  // A row that was in sight and left it moves with the scrolling like any other.
  EXPECT_TRUE(SameRect(l.rows[0]->GetPos(), l.Expected()[0])) << Describe(l.rows[0]->GetPos());
  EXPECT_LT(l.rows[0]->GetPos().bottom, 0);

  // Selecting a row out of sight scrolls it just in, as a row placed eagerly would.
  l.list->SelectItem(190);
  EXPECT_EQ(l.rows[190]->GetPos().bottom, kHeight);
  l.list->SelectItem(3);
  EXPECT_EQ(l.rows[3]->GetPos().top, 0);
  EXPECT_EQ(l.FirstMisplacedRow(), L"");
}

TEST(ListBodyPlacement, HiddenRowsAndRowsRemovedBeforeTheNextLayout) {
  LongList l(120);
  l.rows[2]->SetVisible(false);
  l.rows[60]->SetVisible(false);
  l.Layout();
  EXPECT_EQ(l.list->GetScrollRange().cy, l.StackHeight() - kHeight);
  l.list->SetScrollPos(SIZE{0, 900});
  EXPECT_EQ(l.FirstMisplacedRow(), L"");
  l.rows[2]->SetVisible(true);
  l.rows[60]->SetVisible(true);
  l.Layout();
  l.list->SetScrollPos(SIZE{0, 500});
  EXPECT_EQ(l.FirstMisplacedRow(), L"");

  // Removed rows leave their places to the next layout; until then the others keep theirs, also
  // when they scroll.
  const RECT before = l.rows[100]->GetPos();
  l.list->RemoveAt(0);
  l.list->RemoveAt(0);
  l.rows.erase(l.rows.begin(), l.rows.begin() + 2);
  EXPECT_TRUE(SameRect(l.rows[98]->GetPos(), before)) << Describe(l.rows[98]->GetPos());
  l.Layout();
  // The stack now starts at the old third row; compare against its own heights.
  int y = -l.list->GetScrollPos().cy;
  for (size_t i = 0; i < l.rows.size(); ++i) {
    const int height = HeightOf(static_cast<int>(i) + 2);
    ASSERT_EQ(l.rows[i]->GetPos().top, y) << "row " << i;
    ASSERT_EQ(l.rows[i]->GetPos().bottom, y + height) << "row " << i;
    y += height + kPadding;
  }
  l.list->LineDown();
  y = -l.list->GetScrollPos().cy;
  for (size_t i = 0; i < l.rows.size(); ++i) {
    ASSERT_EQ(l.rows[i]->GetPos().top, y) << "row " << i << " after a line down";
    y += HeightOf(static_cast<int>(i) + 2) + kPadding;
  }
}

TEST(ListBodyPlacement, PointsFindTheRowUnderThemAfterScrolling) {
  LongList l(300);
  // Downwards first: rows that were in sight and left it must not answer for the rows now there.
  for (const int scroll : {3000, 777, 0}) {
    l.list->SetScrollPos(SIZE{0, scroll});
    const std::vector<RECT> expected = l.Expected();
    for (const int y : {0, 13, 50, 99}) {
      const POINT point{40, y};
      CControlUI* found = l.window.manager().FindControl(point);
      CControlUI* under = nullptr;
      for (size_t i = 0; i < expected.size(); ++i) {
        if (PtInRect(&expected[i], point)) under = l.rows[i];
      }
      // Between two rows the point falls on the body itself.
      if (!under) under = l.list->GetList();
      EXPECT_EQ(found, under) << "scrolled to " << scroll << ", y " << y;
    }
  }
}

TEST(ListBodyPlacement, RowsThatComeIntoSightPaintWhereTheyStand) {
  LongList l(300);
  l.list->SetBkColor(kBackground);
  Surface surface(kWidth, kHeight, 0);
  const int selected = 140;
  l.list->SelectItem(selected);
  const int in_sight = l.list->GetScrollPos().cy;
  for (const int scroll : {in_sight - 40, 0, in_sight + 17}) {
    l.list->SetScrollPos(SIZE{0, std::max(scroll, 0)});
    surface.Fill(0);
    l.list->Paint(surface.dc(), RECT{0, 0, kWidth, kHeight});
    GdiFlush();
    const std::vector<RECT> expected = l.Expected();
    for (int y = 0; y < kHeight; ++y) {
      DWORD want = kBackground;
      for (size_t i = 0; i < expected.size(); ++i) {
        if (y >= expected[i].top && y < expected[i].bottom) {
          want = static_cast<int>(i) == selected ? kSelectedColor : kRowColor;
        }
      }
      ASSERT_EQ(surface.At(50, y) | 0xFF000000, want)
          << "scrolled to " << l.list->GetScrollPos().cy << ", y " << y;
    }
  }
}

// A row as tall as a tenth of the width it is offered.
class WidthBoundRow : public CListLabelElementUI {
 public:
  SIZE EstimateSize(SIZE available) override { return SIZE{available.cx, available.cx / 10}; }
};

TEST(ListBodyPlacement, RowsAreMeasuredAgainWhenTheirHeightsCanHaveChanged) {
  // A changed row height, limits and padding are taken up by the next layout, in and out of sight.
  LongList l(100);
  l.list->SetScrollPos(SIZE{0, 400});
  l.rows[30]->SetFixedHeight(47);
  l.rows[31]->SetMinHeight(45);
  l.rows[32]->SetMaxHeight(9);
  l.rows[33]->SetPadding(RECT{0, 3, 0, 4});
  l.Layout();
  int y = -l.list->GetScrollPos().cy;
  for (int i = 0; i < 100; ++i) {
    const int height = i == 30 ? 47 : i == 31 ? 45 : i == 32 ? 9 : HeightOf(i);
    const int above = i == 33 ? 3 : 0;
    const int below = i == 33 ? 4 : 0;
    ASSERT_EQ(l.rows[i]->GetPos().top, y + above) << "row " << i;
    ASSERT_EQ(l.rows[i]->GetPos().bottom, y + above + height) << "row " << i;
    y += above + height + below + kPadding;
  }

  // Rows whose height follows the width are measured again when the scroll bar gives its share
  // back: under the bar five such rows fit, so it goes, and the rows grow with the wider body.
  testing_support::ManagedWindow window;
  auto* list = new CListUI();
  list->SetAttribute(L"header", L"hidden");
  list->EnableScrollBar(true, false);
  std::vector<CControlUI*> rows;
  for (int i = 0; i < 5; ++i) {
    rows.push_back(new WidthBoundRow());
    list->Add(rows.back());
  }
  window.manager().AttachRootControl(list);
  list->SetPos(RECT{0, 0, kWidth, kHeight}, false);
  EXPECT_FALSE(list->GetVerticalScrollBar()->IsVisible());
  const int height = kWidth / 10;
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(SameRect(rows[i]->GetPos(), RECT{0, i * height, kWidth, (i + 1) * height}))
        << "row " << i << " at " << Describe(rows[i]->GetPos());
  }
}

// Where a fresh measure of every row would put the rows of the stack, asked through each row's
// getters in the body's order: the tops and bottoms of the stacked rows at the current scroll
// position, and the stack's height. The body's own record of what it measured is not consulted.
struct StackModel {
  std::vector<std::pair<CControlUI*, std::pair<LONG, LONG>>> places;
  int height = 0;
};

StackModel ModelStack(CListUI* list) {
  StackModel model;
  CControlUI* body = list->GetList();
  const RECT area = body->GetPos();
  const SIZE available{area.right - area.left, area.bottom - area.top};
  const int padding = list->GetChildPadding();
  int y = -list->GetScrollPos().cy;
  int stacked = 0;
  for (int i = 0; i < list->GetCount(); ++i) {
    CControlUI* row = list->GetItemAt(i);
    if (!row->IsVisible() || row->IsFloat()) continue;
    const RECT pad = row->GetPadding();
    const int height = std::min(std::max<int>(row->EstimateSize(available).cy, row->GetMinHeight()),
                                row->GetMaxHeight());
    if (stacked++ > 0) y += padding;
    model.places.push_back({row, {y + pad.top, y + pad.top + height}});
    y += pad.top + height + pad.bottom;
  }
  model.height = y + list->GetScrollPos().cy;
  return model;
}

// The first stacked row whose rectangle, read now, is not where the model puts it; empty if none.
std::wstring FirstRowOffModel(CListUI* list) {
  const StackModel model = ModelStack(list);
  for (const auto& place : model.places) {
    const RECT pos = place.first->GetPos();
    if (pos.top != place.second.first || pos.bottom != place.second.second) {
      return L"row " + std::to_wstring(list->GetItemIndex(place.first)) + L" at " +
             Describe(pos) + L", expected top " + std::to_wstring(place.second.first) +
             L" bottom " + std::to_wstring(place.second.second);
    }
  }
  return L"";
}

// A row as tall as ten pixels per line of its text, which says so whenever its text changes.
class TextBoundRow : public CListLabelElementUI {
 public:
  SIZE EstimateSize(SIZE available) override {
    const CUIString text = GetText();
    int lines = 1;
    for (int i = 0; i < text.GetLength(); ++i) lines += text[i] == L'\n' ? 1 : 0;
    return SIZE{available.cx, 10 * lines};
  }
  void SetText(const wchar_t* text) override {
    CListLabelElementUI::SetText(text);
    NeedParentUpdate();
  }
};

TEST(ListBodyMeasures, EveryKindOfSizeChangeIsTakenUpByTheNextLayout) {
  // Each case changes what one row measures (or what all rows are measured from) after the list
  // was laid out once and scrolled into the middle; the next layout must place every row where a
  // fresh measure of all rows puts it. Rows 16-22 are in sight at the start, row 100 is not.
  struct Case {
    const char* name;
    void (*change)(LongList&);
  };
  const Case cases[] = {
      {"fixed height", [](LongList& l) { l.rows[18]->SetFixedHeight(47); }},
      {"fixed height out of sight", [](LongList& l) { l.rows[100]->SetFixedHeight(3); }},
      {"height taken from the item font",
       [](LongList& l) { l.rows[19]->SetFixedHeight(0); }},
      {"min height", [](LongList& l) { l.rows[100]->SetMinHeight(45); }},
      {"max height", [](LongList& l) { l.rows[19]->SetMaxHeight(9); }},
      {"padding", [](LongList& l) { l.rows[17]->SetPadding(RECT{0, 3, 0, 4}); }},
      {"hidden", [](LongList& l) { l.rows[20]->SetVisible(false); }},
      {"hidden, laid out, made taller, shown again",
       [](LongList& l) {
         l.rows[21]->SetVisible(false);
         l.Layout();
         l.rows[21]->SetFixedHeight(33);
         l.rows[21]->SetVisible(true);
       }},
      {"floating", [](LongList& l) { l.rows[22]->SetFloat(true); }},
      {"text of a row whose height follows it",
       [](LongList& l) {
         auto* row = new TextBoundRow();
         row->SetText(L"one");
         l.list->AddAt(row, 18);
         l.Layout();
         row->SetText(L"one\ntwo\nthree\nfour");
       }},
      {"DPI", [](LongList& l) { l.window.manager().SetDPI(144); }},
      {"item text padding",
       [](LongList& l) {
         l.rows[18]->SetFixedHeight(0);
         l.Layout();
         l.list->SetAttribute(L"itemtextpadding", L"0,6,0,7");
       }},
      {"item font",
       [](LongList& l) {
         l.window.manager().AddFont(7, L"Tahoma", 40, false, false, false);
         l.rows[18]->SetFixedHeight(0);
         l.Layout();
         l.list->SetAttribute(L"itemfont", L"7");
       }},
      {"changed while earlier rows were removed",
       [](LongList& l) {
         l.list->RemoveAt(0);
         l.list->RemoveAt(5);
         l.rows[40]->SetFixedHeight(44);
       }},
      {"moved, then changed",
       [](LongList& l) {
         l.list->SetItemIndex(l.rows[3], 30);
         l.rows[3]->SetFixedHeight(41);
       }},
      {"removed and added back elsewhere",
       [](LongList& l) {
         auto* body = static_cast<Vellum::CContainerUI*>(l.list->GetList());
         body->SetAutoDestroy(false);
         CControlUI* row = l.rows[10];
         l.list->Remove(row);
         body->SetAutoDestroy(true);
         row->SetFixedHeight(39);
         l.list->AddAt(row, 50);
       }},
      {"appended after a removal",
       [](LongList& l) {
         // Destroyed at once, so the new row may well take the removed one's address.
         l.list->SetDelayedDestroy(false);
         l.list->RemoveAt(119);
         auto* row = new CListLabelElementUI();
         row->SetFixedHeight(37);
         l.list->Add(row);
       }},
      {"list hidden, laid out, shown again",
       [](LongList& l) {
         l.list->SetVisible(false);
         l.rows[18]->SetFixedHeight(30);
         l.Layout();
         l.list->SetVisible(true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LongList l(120);
    l.list->SetScrollPos(SIZE{0, 400});
    ASSERT_EQ(l.list->GetScrollPos().cy, 400);
    ASSERT_EQ(FirstRowOffModel(l.list), L"");
    const StackModel before = ModelStack(l.list);
    c.change(l);
    l.Layout();
    const StackModel after = ModelStack(l.list);
    // Every case really moves rows.
    EXPECT_NE(before.places, after.places);
    EXPECT_EQ(FirstRowOffModel(l.list), L"");
    EXPECT_EQ(l.list->GetScrollRange().cy, after.height - kHeight);
    // Rows owed their rectangles keep them right after scrolling too.
    l.list->SetScrollPos(SIZE{0, 1500});
    EXPECT_EQ(FirstRowOffModel(l.list), L"");
  }
}

TEST(ListBodyMeasures, ARowChangedOutOfSightStandsRightWhenScrolledTo) {
  LongList l(300);
  ASSERT_EQ(l.list->GetScrollPos().cy, 0);
  // Far below the body: taller, with padding, and its neighbour gone, none of them read since.
  l.rows[200]->SetFixedHeight(61);
  l.rows[200]->SetPadding(RECT{0, 5, 0, 0});
  l.rows[201]->SetVisible(false);
  l.Layout();
  const StackModel model = ModelStack(l.list);
  LONG top = 0;
  for (const auto& place : model.places) {
    if (place.first == l.rows[200]) top = place.second.first;
  }
  ASSERT_GT(top, kHeight);
  l.list->SetScrollPos(SIZE{0, top - 20});
  ASSERT_EQ(l.list->GetScrollPos().cy, top - 20);
  EXPECT_EQ(l.rows[200]->GetPos().top, 20);
  EXPECT_EQ(l.rows[200]->GetPos().bottom, 81);
  EXPECT_EQ(l.rows[202]->GetPos().top, 81 + kPadding);
  EXPECT_EQ(l.window.manager().FindControl(POINT{40, 75}), l.rows[200]);
  EXPECT_EQ(FirstRowOffModel(l.list), L"");
}

}  // namespace
