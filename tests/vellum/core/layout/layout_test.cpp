#include <gtest/gtest.h>

#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "vellum/core/layout/child_layout.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/layout/tab_layout.h"
#include "vellum/core/layout/tile_layout.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::SameRect;
using testing_support::SizedControl;
using Vellum::CChildLayoutUI;
using Vellum::CContainerUI;
using Vellum::CControlUI;
using Vellum::CHorizontalLayoutUI;
using Vellum::CPaintManagerUI;
using Vellum::CTabLayoutUI;
using Vellum::CTileLayoutUI;
using Vellum::CVerticalLayoutUI;
using Vellum::TUIEvent;

// One child of a layout case: what it estimates (0,0 = its fixed size) and its settings.
struct Child {
  SIZE fixed{0, 0};
  RECT padding{0, 0, 0, 0};
  int min_height = 0;
  int max_height = 9999;
  int min_width = 0;
  SIZE estimate{-1, -1};
};

struct LayoutCase {
  const char* name;
  RECT pos;
  RECT inset;
  int child_padding;
  const wchar_t* align;   // "childalign" value or null
  const wchar_t* valign;  // "childvalign" value or null
  std::vector<Child> children;
  std::vector<RECT> expected;
};

void Populate(CContainerUI& layout, const LayoutCase& c, std::vector<CControlUI*>* made) {
  layout.SetInset(c.inset);
  layout.SetChildPadding(c.child_padding);
  if (c.align) layout.SetAttribute(L"childalign", c.align);
  if (c.valign) layout.SetAttribute(L"childvalign", c.valign);
  for (const Child& spec : c.children) {
    auto* child = spec.estimate.cx >= 0 ? new SizedControl(spec.estimate) : new SizedControl();
    child->SetFixedWidth(spec.fixed.cx);
    child->SetFixedHeight(spec.fixed.cy);
    child->SetPadding(spec.padding);
    child->SetMinHeight(spec.min_height);
    child->SetMaxHeight(spec.max_height);
    child->SetMinWidth(spec.min_width);
    layout.Add(child);
    made->push_back(child);
  }
  layout.SetPos(c.pos, false);
}

void CheckCases(const std::vector<LayoutCase>& cases, CContainerUI* (*make)()) {
  for (const LayoutCase& c : cases) {
    CContainerUI* layout = make();
    std::vector<CControlUI*> children;
    Populate(*layout, c, &children);
    ASSERT_EQ(children.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < children.size(); ++i) {
      EXPECT_PRED2(SameRect, children[i]->GetPos(), c.expected[i]) << c.name << ", child " << i;
    }
    delete layout;
  }
}

TEST(VerticalLayout, PlacementTable) {
  const std::vector<LayoutCase> cases = {
      {"three adjustable children share 100 pixels, the last takes the leftover",
       {0, 0, 50, 100}, {0, 0, 0, 0}, 0, nullptr, nullptr,
       {Child{}, Child{}, Child{}},
       {{0, 0, 50, 33}, {0, 33, 50, 66}, {0, 66, 50, 100}}},
      {"fixed and adjustable heights with inset, padding, child padding and a maximum",
       {0, 0, 200, 300}, {10, 5, 10, 5}, 6, nullptr, nullptr,
       {Child{{0, 40}, {2, 3, 4, 5}}, Child{}, Child{{50, 30}}, Child{{0, 0}, {}, 0, 20}},
       {{12, 8, 186, 48}, {10, 59, 190, 156}, {10, 162, 60, 192}, {10, 198, 190, 218}}},
      {"a minimum height raises an adjustable child",
       {0, 0, 40, 100}, {0, 0, 0, 0}, 0, nullptr, nullptr,
       {Child{{0, 0}, {}, 70}, Child{}},
       {{0, 0, 40, 70}, {0, 70, 40, 100}}},
      {"no adjustable child: bottom alignment", {0, 0, 100, 100}, {0, 0, 0, 0}, 10, nullptr,
       L"bottom", {Child{{0, 20}}, Child{{0, 30}}}, {{0, 40, 100, 60}, {0, 70, 100, 100}}},
      {"no adjustable child: centred", {0, 0, 100, 100}, {0, 0, 0, 0}, 10, nullptr, L"vcenter",
       {Child{{0, 20}}, Child{{0, 30}}}, {{0, 20, 100, 40}, {0, 50, 100, 80}}},
      {"an adjustable child makes the vertical alignment moot", {0, 0, 100, 100}, {0, 0, 0, 0},
       0, nullptr, L"bottom", {Child{{0, 20}}, Child{}}, {{0, 0, 100, 20}, {0, 20, 100, 100}}},
      {"centred horizontally ignores the side padding", {0, 0, 100, 50}, {0, 0, 0, 0}, 0,
       L"center", nullptr, {Child{{40, 10}, {7, 0, 3, 0}}}, {{30, 0, 70, 10}}},
      {"right aligned keeps the right padding", {0, 0, 100, 50}, {0, 0, 0, 0}, 0, L"right",
       nullptr, {Child{{40, 10}, {0, 0, 5, 0}}}, {{55, 0, 95, 10}}},
      {"an estimated width is lowered to what is available", {0, 0, 100, 50}, {0, 0, 0, 0}, 0,
       nullptr, nullptr, {Child{{0, 0}, {10, 0, 10, 0}, 0, 9999, 0, {150, 10}}},
       {{10, 0, 90, 10}}},
  };
  CheckCases(cases, [] { return static_cast<CContainerUI*>(new CVerticalLayoutUI()); });
}

TEST(VerticalLayout, AVisibleBarIgnoresTheAlignmentAndWidensTheSpace) {
  CPaintManagerUI manager;
  CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.EnableScrollBar(true, false);
  layout.GetVerticalScrollBar()->SetVisible(false);
  layout.SetAttribute(L"childvalign", L"bottom");
  auto* first = new CControlUI();
  auto* second = new CControlUI();
  first->SetFixedHeight(60);
  second->SetFixedHeight(60);
  layout.Add(first);
  layout.Add(second);
  layout.SetPos(RECT{0, 0, 100, 100}, false);
  ASSERT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), 20);
  EXPECT_PRED2(SameRect, first->GetPos(), (RECT{0, 0, 84, 60}));
  EXPECT_PRED2(SameRect, second->GetPos(), (RECT{0, 60, 84, 120}));

  // Shrinking the content hides the bar again and gives the width back.
  second->SetFixedHeight(20);
  layout.SetPos(RECT{0, 0, 100, 100}, false);
  EXPECT_FALSE(layout.GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), 0);
  EXPECT_PRED2(SameRect, first->GetPos(), (RECT{0, 20, 100, 80}));
  EXPECT_PRED2(SameRect, second->GetPos(), (RECT{0, 80, 100, 100}));
}

TEST(HorizontalLayout, PlacementTable) {
  const std::vector<LayoutCase> cases = {
      {"an estimated height is ignored; the adjustable child takes the rest",
       {0, 0, 300, 50}, {0, 0, 0, 0}, 10, nullptr, nullptr,
       {Child{{0, 0}, {}, 0, 9999, 0, {80, 20}}, Child{}, Child{{40, 30}}},
       {{0, 0, 80, 50}, {90, 0, 250, 50}, {260, 0, 300, 30}}},
      {"centred vertically", {0, 0, 300, 50}, {0, 0, 0, 0}, 0, nullptr, L"vcenter",
       {Child{{100, 30}}, Child{{100, 0}}}, {{0, 10, 100, 40}, {100, 0, 200, 50}}},
      {"bottom aligned keeps the bottom padding", {0, 0, 300, 50}, {0, 0, 0, 0}, 0, nullptr,
       L"bottom", {Child{{40, 30}, {0, 0, 0, 4}}}, {{0, 16, 40, 46}}},
      {"no adjustable child: the group is right aligned", {0, 0, 300, 50}, {5, 0, 5, 0}, 10,
       L"right", nullptr, {Child{{40, 0}}, Child{{60, 0}}}, {{185, 0, 225, 50}, {235, 0, 295, 50}}},
      {"no adjustable child: centred", {0, 0, 300, 50}, {0, 0, 0, 0}, 0, L"center", nullptr,
       {Child{{100, 0}}}, {{100, 0, 200, 50}}},
      {"three adjustable children with padding share the rest, the last takes the leftover",
       {0, 0, 100, 20}, {0, 0, 0, 0}, 0, nullptr, nullptr,
       {Child{{0, 0}, {1, 2, 1, 2}}, Child{}, Child{}},
       {{1, 2, 33, 18}, {34, 0, 66, 20}, {66, 0, 100, 20}}},
      {"a minimum height holds against a smaller layout", {0, 0, 100, 20}, {0, 0, 0, 0}, 0,
       nullptr, nullptr, {Child{{30, 0}, {}, 40}}, {{0, 0, 30, 40}}},
  };
  CheckCases(cases, [] { return static_cast<CContainerUI*>(new CHorizontalLayoutUI()); });
}

TEST(TileLayout, PlacementTable) {
  const std::vector<LayoutCase> cases = {
      {"children fill their cells", {0, 0, 350, 400}, {0, 0, 0, 0}, 0, nullptr, nullptr,
       {Child{{0, 40}}, Child{{0, 40}}, Child{{0, 40}}, Child{{0, 40}}},
       {{0, 0, 116, 40}, {116, 0, 232, 40}, {232, 0, 348, 40}, {0, 40, 116, 80}}},
      {"children are centred in cells as tall as the row's tallest, with child padding",
       {0, 0, 350, 400}, {0, 0, 0, 0}, 10, nullptr, nullptr,
       {Child{{100, 40}}, Child{{100, 60}}, Child{{100, 40}}, Child{{100, 40}},
        Child{{100, 40}}},
       {{5, 10, 105, 50}, {124, 0, 224, 60}, {242, 10, 342, 50}, {5, 70, 105, 110},
        {124, 70, 224, 110}}},
  };
  CheckCases(cases, [] {
    auto* tile = new CTileLayoutUI();
    tile->SetAttribute(L"itemsize", L"100,0");
    return static_cast<CContainerUI*>(tile);
  });

  // Without an item size the column count holds; 0 or less is refused.
  CTileLayoutUI tile;
  tile.SetAttribute(L"columns", L"2");
  tile.SetAttribute(L"columns", L"0");
  EXPECT_EQ(tile.GetColumns(), 2);
  auto* a = new CControlUI();
  auto* b = new CControlUI();
  auto* c = new CControlUI();
  for (CControlUI* child : {a, b, c}) {
    child->SetFixedHeight(10);
    tile.Add(child);
  }
  tile.SetPos(RECT{0, 0, 101, 100}, false);
  EXPECT_PRED2(SameRect, a->GetPos(), (RECT{0, 0, 50, 10}));
  EXPECT_PRED2(SameRect, b->GetPos(), (RECT{50, 0, 100, 10}));
  EXPECT_PRED2(SameRect, c->GetPos(), (RECT{0, 10, 50, 20}));
}

TEST(TabLayout, PagesComeAndGoAndTheCurrentOneFollows) {
  CTabLayoutUI tabs;
  auto* page0 = new CControlUI();
  auto* page1 = new CControlUI();
  auto* page2 = new CControlUI();
  EXPECT_EQ(tabs.GetCurSel(), -1);
  ASSERT_TRUE(tabs.Add(page0));
  EXPECT_EQ(tabs.GetCurSel(), 0);
  EXPECT_TRUE(page0->IsVisible());
  ASSERT_TRUE(tabs.Add(page1));
  EXPECT_FALSE(page1->IsVisible());
  EXPECT_EQ(tabs.GetCurSel(), 0);

  // Inserting before the current page keeps the same page current.
  ASSERT_TRUE(tabs.AddAt(page2, 0));
  EXPECT_EQ(tabs.GetCurSel(), 1);
  EXPECT_FALSE(page2->IsVisible());
  CControlUI refused;
  EXPECT_FALSE(tabs.AddAt(&refused, 9));
  EXPECT_EQ(tabs.GetCurSel(), 1);

  EXPECT_TRUE(tabs.SelectItem(page1));
  EXPECT_EQ(tabs.GetCurSel(), 2);
  EXPECT_TRUE(page1->IsVisible());
  EXPECT_FALSE(page0->IsVisible());
  EXPECT_FALSE(tabs.SelectItem(5));
  EXPECT_FALSE(tabs.SelectItem(-1));
  CControlUI stranger;
  EXPECT_FALSE(tabs.SelectItem(&stranger));

  // Removing the current page makes page 0 current and shows it.
  EXPECT_TRUE(tabs.Remove(page1));
  EXPECT_EQ(tabs.GetCurSel(), 0);
  EXPECT_TRUE(page2->IsVisible());
  // Removing a page before the current one keeps the same page current.
  EXPECT_TRUE(tabs.SelectItem(1));
  EXPECT_TRUE(tabs.Remove(page2));
  EXPECT_EQ(tabs.GetCurSel(), 0);
  EXPECT_EQ(tabs.GetItemAt(0), page0);
  tabs.RemoveAll();
  EXPECT_EQ(tabs.GetCurSel(), -1);
}

TEST(TabLayout, SelectingPlacesThePageAndNotifies) {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  manager.AddNotifier(&recorder);
  CTabLayoutUI tabs;
  tabs.SetManager(&manager, nullptr, false);
  tabs.SetInset(RECT{1, 2, 3, 4});
  auto* page0 = new CControlUI();
  auto* page1 = new CControlUI();
  page1->SetPadding(RECT{5, 5, 5, 5});
  page1->SetFixedWidth(30);
  tabs.Add(page0);
  tabs.Add(page1);
  tabs.SetPos(RECT{0, 0, 100, 80}, false);
  EXPECT_PRED2(SameRect, page0->GetPos(), (RECT{1, 2, 97, 76}));

  EXPECT_TRUE(tabs.SelectItem(1));
  EXPECT_PRED2(SameRect, page1->GetPos(), (RECT{6, 7, 36, 71}));
  auto selected = recorder.OfType(L"tabselect");
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0].sender, &tabs);
  EXPECT_EQ(selected[0].wParam, 1u);
  EXPECT_EQ(selected[0].lParam, 0);
  // Selecting the current page again is no change and no notification.
  EXPECT_TRUE(tabs.SelectItem(1));
  EXPECT_EQ(recorder.OfType(L"tabselect").size(), 1u);

  tabs.SetAttribute(L"selectedid", L"0");
  EXPECT_EQ(tabs.GetCurSel(), 0);
  EXPECT_STREQ(tabs.GetCustomAttribute(L"selectedid"), L"0");
}

TEST(LayoutSeparator, DraggingABottomSeparatorStopsAtTheMinimumHeight) {
  CPaintManagerUI manager;
  CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.SetAttribute(L"sepheight", L"4");
  layout.SetMinHeight(50);
  layout.SetPos(RECT{0, 0, 100, 100}, false);
  EXPECT_EQ(layout.GetControlFlags(), Vellum::UIFLAG_SETCURSOR);
  EXPECT_PRED2(SameRect, layout.GetThumbRect(false), (RECT{0, 96, 100, 100}));

  auto send = [&layout](int type, int x, int y) {
    TUIEvent event;
    event.type = type;
    event.mouse_point = POINT{x, y};
    layout.DoEvent(event);
  };
  send(Vellum::UIEVENT_BUTTONDOWN, 50, 98);
  send(Vellum::UIEVENT_MOUSEMOVE, 50, 90);
  EXPECT_EQ(layout.GetFixedHeight(), 92);
  EXPECT_PRED2(SameRect, layout.GetThumbRect(true), (RECT{0, 88, 100, 92}));
  // Below the minimum the edge stops at it; further moves the same way change nothing.
  send(Vellum::UIEVENT_MOUSEMOVE, 50, 30);
  EXPECT_EQ(layout.GetFixedHeight(), 50);
  send(Vellum::UIEVENT_MOUSEMOVE, 50, 20);
  EXPECT_EQ(layout.GetFixedHeight(), 50);
  // Moving down while still above the strip does nothing.
  send(Vellum::UIEVENT_MOUSEMOVE, 50, 25);
  EXPECT_EQ(layout.GetFixedHeight(), 50);
  send(Vellum::UIEVENT_BUTTONUP, 50, 25);
  EXPECT_PRED2(SameRect, layout.GetPos(), (RECT{0, 0, 100, 50}));

  // A press outside the strip starts nothing.
  send(Vellum::UIEVENT_BUTTONDOWN, 50, 10);
  send(Vellum::UIEVENT_MOUSEMOVE, 50, 40);
  EXPECT_EQ(layout.GetFixedHeight(), 50);
}

TEST(LayoutSeparator, ALeftSeparatorMovesTheLeftEdgeUpToTheMaximum) {
  CHorizontalLayoutUI layout;
  layout.SetAttribute(L"sepwidth", L"-6");
  layout.SetMaxWidth(120);
  layout.SetPos(RECT{0, 0, 100, 40}, false);
  EXPECT_PRED2(SameRect, layout.GetThumbRect(false), (RECT{0, 0, 6, 40}));
  auto send = [&layout](int type, int x, int y) {
    TUIEvent event;
    event.type = type;
    event.mouse_point = POINT{x, y};
    layout.DoEvent(event);
  };
  send(Vellum::UIEVENT_BUTTONDOWN, 3, 10);
  send(Vellum::UIEVENT_MOUSEMOVE, -7, 10);
  EXPECT_EQ(layout.GetFixedWidth(), 110);
  send(Vellum::UIEVENT_MOUSEMOVE, -47, 10);
  EXPECT_EQ(layout.GetFixedWidth(), 120);
  send(Vellum::UIEVENT_BUTTONUP, -47, 10);
  EXPECT_PRED2(SameRect, layout.GetPos(), (RECT{-20, 0, 100, 40}));
}

// A child whose height depends on its width the wrong way round: with the room a hidden bar
// leaves it needs the bar, and with the bar shown it no longer does.
class FlippingControl : public CControlUI {
 public:
  SIZE EstimateSize(SIZE available) override {
    return SIZE{0, available.cx > 90 ? 120 : 50};
  }
};

TEST(VerticalLayout, ABarThatKeepsFlippingEndsItsPlacement) {
  CPaintManagerUI manager;
  CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.EnableScrollBar(true, false);
  layout.GetVerticalScrollBar()->SetVisible(false);
  layout.Add(new FlippingControl());
  layout.SetPos(RECT{0, 0, 100, 100}, false);  // returns instead of recursing without end
  EXPECT_EQ(layout.GetCount(), 1);
}

TEST(ChildLayout, BuildsItsSkinWhenAttached) {
  CPaintManagerUI manager;
  CContainerUI root;
  root.SetManager(&manager, nullptr, false);
  auto* child = new CChildLayoutUI();
  child->SetAttribute(L"xmlfile", L"<Window><Control name=\"inner\" height=\"12\"/></Window>");
  EXPECT_STREQ(child->GetChildLayoutXML().GetData(),
               L"<Window><Control name=\"inner\" height=\"12\"/></Window>");
  root.Add(child);
  ASSERT_EQ(child->GetCount(), 1);
  CControlUI* inner = child->GetItemAt(0);
  EXPECT_EQ(inner->GetParent(), child);
  EXPECT_EQ(inner->GetFixedHeight(), 12);
  EXPECT_EQ(manager.FindControl(L"inner"), inner);
  EXPECT_STREQ(child->GetClass(), L"ChildLayoutUI");
  EXPECT_EQ(child->GetInterface(L"ChildLayout"), child);

  // A skin that yields nothing leaves the layout empty.
  auto* empty = new CChildLayoutUI();
  empty->Add(new CControlUI());
  empty->SetAttribute(L"xmlfile", L"<Window></Window>");
  root.Add(empty);
  EXPECT_EQ(empty->GetCount(), 0);
}

TEST(VerticalLayout, SizesInsetAndPaddingAreScaledAt150Percent) {
  CPaintManagerUI manager;
  manager.SetDPI(144);
  CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.SetInset(RECT{2, 2, 2, 2});  // 3
  layout.SetChildPadding(4);          // 6
  auto* fixed = new CControlUI();
  fixed->SetFixedHeight(20);             // 30
  fixed->SetPadding(RECT{2, 0, 2, 0});  // 3
  auto* rest = new CControlUI();
  layout.Add(fixed);
  layout.Add(rest);
  layout.SetPos(RECT{0, 0, 150, 300}, false);
  EXPECT_PRED2(SameRect, fixed->GetPos(), (RECT{6, 3, 144, 33}));
  EXPECT_PRED2(SameRect, rest->GetPos(), (RECT{3, 39, 147, 297}));
}

TEST(LayoutSeparator, TheDraggedPixelSizeHoldsAt150Percent) {
  CPaintManagerUI manager;
  manager.SetDPI(144);
  CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.SetAttribute(L"sepheight", L"4");  // device pixels, not scaled
  layout.SetPos(RECT{0, 0, 100, 150}, false);
  EXPECT_PRED2(SameRect, layout.GetThumbRect(false), (RECT{0, 146, 100, 150}));
  TUIEvent event;
  event.type = Vellum::UIEVENT_BUTTONDOWN;
  event.mouse_point = POINT{50, 148};
  layout.DoEvent(event);
  event.type = Vellum::UIEVENT_MOUSEMOVE;
  event.mouse_point = POINT{50, 88};
  layout.DoEvent(event);
  EXPECT_EQ(layout.GetFixedHeight(), 90);  // stored as 60 at 96 DPI
  event.type = Vellum::UIEVENT_BUTTONUP;
  layout.DoEvent(event);
  EXPECT_EQ(layout.GetHeight(), 90);
}

}  // namespace
