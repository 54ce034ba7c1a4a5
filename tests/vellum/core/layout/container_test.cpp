#include "vellum/core/layout/container.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

using testing_support::DeletionProbe;
using testing_support::NotificationRecorder;
using testing_support::SameRect;
using testing_support::SizedControl;
using Vellum::CContainerUI;
using Vellum::CControlUI;
using Vellum::CPaintManagerUI;
using Vellum::CScrollBarUI;
using Vellum::CVerticalLayoutUI;
using Vellum::TUIEvent;

TEST(ContainerChildList, RefusedIndexesLeaveTheChildAsItWas) {
  CPaintManagerUI manager;
  CContainerUI box;
  box.SetManager(&manager, nullptr, false);
  auto* first = new CControlUI();
  auto* second = new CControlUI();
  ASSERT_TRUE(box.Add(first));
  ASSERT_TRUE(box.Add(second));
  EXPECT_FALSE(box.Add(nullptr));

  // AddAt outside 0..count refuses before attaching: the child stays the caller's, untouched.
  for (int index : {-1, 3, 100}) {
    CControlUI stray;
    EXPECT_FALSE(box.AddAt(&stray, index)) << index;
    EXPECT_EQ(stray.GetParent(), nullptr) << index;
    EXPECT_EQ(stray.GetManager(), nullptr) << index;
  }
  EXPECT_EQ(box.GetCount(), 2);

  // SetItemIndex outside the list keeps the child where it was instead of dropping it.
  for (int index : {-1, 2, 50}) {
    EXPECT_FALSE(box.SetItemIndex(first, index)) << index;
    EXPECT_EQ(box.GetCount(), 2) << index;
    EXPECT_EQ(box.GetItemIndex(first), 0) << index;
  }
  CControlUI outsider;
  EXPECT_FALSE(box.SetItemIndex(&outsider, 0));
  EXPECT_TRUE(box.SetItemIndex(first, 1));
  EXPECT_EQ(box.GetItemAt(0), second);
  EXPECT_EQ(box.GetItemAt(1), first);
  EXPECT_EQ(box.GetItemAt(2), nullptr);
  EXPECT_EQ(box.GetItemAt(-1), nullptr);

  auto* third = new CControlUI();
  EXPECT_TRUE(box.AddAt(third, 2));  // the end is a valid place
  EXPECT_EQ(box.GetItemIndex(third), 2);
  EXPECT_EQ(third->GetParent(), &box);
  EXPECT_EQ(third->GetManager(), &manager);
  EXPECT_FALSE(box.RemoveAt(3));
  EXPECT_FALSE(box.RemoveAt(-1));
}

TEST(ContainerChildList, RemovingDeletesOnlyWhatTheContainerOwns) {
  bool deleted = false;
  CContainerUI box;  // no manager: deletion happens at once
  auto* probe = new DeletionProbe(&deleted);
  box.Add(probe);

  DeletionProbe* stranger_probe;
  bool stranger_deleted = false;
  stranger_probe = new DeletionProbe(&stranger_deleted);
  EXPECT_FALSE(box.Remove(stranger_probe));
  EXPECT_FALSE(box.Remove(nullptr));
  EXPECT_FALSE(stranger_deleted);
  delete stranger_probe;

  EXPECT_TRUE(box.RemoveAt(0));
  EXPECT_TRUE(deleted);
  EXPECT_EQ(box.GetCount(), 0);

  // Without auto-destroy the list is emptied and nothing is deleted.
  bool kept = false;
  auto* survivor = new DeletionProbe(&kept);
  box.SetAutoDestroy(false);
  box.Add(survivor);
  box.RemoveAll();
  EXPECT_EQ(box.GetCount(), 0);
  EXPECT_FALSE(kept);
  delete survivor;
}

TEST(ContainerChildList, RemovedChildrenOfAnAttachedTreeGoWithTheDeferredWork) {
  auto manager = std::make_unique<CPaintManagerUI>();
  bool removed_deleted = false;
  bool cleared_deleted = false;
  {
    CContainerUI box;
    box.SetManager(manager.get(), nullptr, false);
    auto* removed = new DeletionProbe(&removed_deleted);
    auto* cleared = new DeletionProbe(&cleared_deleted);
    box.Add(removed);
    box.Add(cleared);
    EXPECT_TRUE(box.Remove(removed));
    // Detached at once, deleted later: an event handler of the child may still be running.
    EXPECT_FALSE(removed_deleted);
    EXPECT_EQ(removed->GetParent(), nullptr);
    box.RemoveAll();
    EXPECT_FALSE(cleared_deleted);
    EXPECT_EQ(cleared->GetParent(), nullptr);
    EXPECT_EQ(box.GetCount(), 0);
  }
  EXPECT_FALSE(removed_deleted);
  EXPECT_FALSE(cleared_deleted);
  manager.reset();  // the manager's pending deferred work goes with it
  EXPECT_TRUE(removed_deleted);
  EXPECT_TRUE(cleared_deleted);
}

TEST(ContainerChildList, DestroyingTheContainerDeletesItsChildrenAtOnce) {
  CPaintManagerUI manager;
  bool deleted = false;
  {
    CContainerUI box;
    box.SetManager(&manager, nullptr, false);
    box.Add(new DeletionProbe(&deleted));
  }
  EXPECT_TRUE(deleted);
}

TEST(ContainerTree, AddAttachesNamesAndVisibility) {
  CPaintManagerUI manager;
  CContainerUI root;
  root.SetManager(&manager, nullptr, false);
  auto* inner = new CContainerUI();
  auto* leaf = new CControlUI();
  leaf->SetName(L"leaf");
  inner->Add(leaf);  // detached: no parent yet
  EXPECT_EQ(leaf->GetParent(), nullptr);
  root.Add(inner);
  EXPECT_EQ(inner->GetParent(), &root);
  EXPECT_EQ(leaf->GetParent(), inner);
  EXPECT_EQ(leaf->GetManager(), &manager);
  EXPECT_EQ(manager.FindControl(L"leaf"), leaf);

  // A hidden container hides what it gets and shows it again with itself.
  inner->SetVisible(false);
  EXPECT_FALSE(leaf->IsVisible());
  auto* late = new CControlUI();
  inner->Add(late);
  EXPECT_FALSE(late->IsVisible());
  inner->SetVisible(true);
  EXPECT_TRUE(leaf->IsVisible());
  EXPECT_TRUE(late->IsVisible());

  inner->SetEnabled(false);
  EXPECT_FALSE(leaf->IsEnabled());
  EXPECT_EQ(root.GetInterface(L"icontainer"), static_cast<Vellum::IContainerUI*>(&root));
  EXPECT_EQ(root.GetInterface(L"Container"), &root);
  EXPECT_EQ(root.GetInterface(L"Control"), &root);
}

TEST(ContainerPlacement, ChildrenFillTheContentAreaWithinTheirLimits) {
  CPaintManagerUI manager;
  manager.SetDPI(144);  // 150 %: the inset is scaled, the children's limits too
  CContainerUI box;
  box.SetManager(&manager, nullptr, false);
  box.SetInset(RECT{2, 4, 6, 8});  // 3, 6, 9, 12 at 150 %
  auto* plain = new CControlUI();
  auto* limited = new CControlUI();
  limited->SetMaxWidth(40);   // 60
  limited->SetMinHeight(100);  // 150
  box.Add(plain);
  box.Add(limited);
  box.SetPos(RECT{10, 20, 210, 120}, false);
  EXPECT_PRED2(SameRect, plain->GetPos(), (RECT{13, 26, 201, 108}));
  EXPECT_PRED2(SameRect, limited->GetPos(), (RECT{13, 26, 73, 176}));
  EXPECT_PRED2(SameRect, box.GetClientPos(), (RECT{13, 26, 201, 108}));
}

TEST(ContainerPlacement, FloatingChildrenTable) {
  struct Case {
    const wchar_t* name;
    UINT align;
    SIZE xy;
    SIZE size;
    Vellum::TFloatPercent percent;
    RECT expected;
  };
  // The container sits at (100, 50) and is 200 x 100.
  const Case cases[] = {
      {L"centred on the bottom edge", Vellum::UIFLOAT_HCENTER | Vellum::UIFLOAT_BOTTOM, {7, 7},
       {40, 20}, {}, {180, 130, 220, 150}},
      {L"right, centred vertically", Vellum::UIFLOAT_RIGHT | Vellum::UIFLOAT_VCENTER, {7, 7},
       {40, 20}, {}, {260, 90, 300, 110}},
      {L"aligned on one axis only keeps the fixed y", Vellum::UIFLOAT_RIGHT, {7, 9}, {40, 20}, {},
       {260, 59, 300, 79}},
      {L"fixed position from the top-left", 0, {10, 5}, {40, 20}, {}, {110, 55, 150, 75}},
      {L"negative x counts from the right edge", 0, {-50, 5}, {40, 20}, {}, {250, 55, 290, 75}},
      {L"percentages of the container's size", 0, {0, 0}, {0, 0}, {0.25, 0.5, 0.75, 1.0},
       {150, 100, 250, 150}},
      {L"percentages truncate toward zero", 0, {1, 1}, {10, 10}, {0.333, 0.333, 0.333, 0.333},
       {167, 84, 177, 94}},
  };
  for (const Case& c : cases) {
    CContainerUI box;
    auto* child = new CControlUI();
    child->SetFloat(true);
    child->SetFloatAlign(c.align);
    child->SetFixedXY(c.xy);
    child->SetFixedWidth(c.size.cx);
    child->SetFixedHeight(c.size.cy);
    child->SetFloatPercent(c.percent);
    box.Add(child);
    box.SetPos(RECT{100, 50, 300, 150}, false);
    EXPECT_PRED2(SameRect, child->GetPos(), c.expected) << testing::PrintToString(c.name);
  }
}

CControlUI* CALLBACK FindAny(CControlUI* control, LPVOID) { return control; }

TEST(ContainerFindControl, HitTestsGoThroughChildrenInsideTheContentArea) {
  const UINT hit = Vellum::UIFIND_VISIBLE | Vellum::UIFIND_HITTEST | Vellum::UIFIND_TOP_FIRST;
  CContainerUI box;
  box.SetInset(RECT{10, 10, 10, 10});
  auto* under = new CControlUI();
  auto* over = new CControlUI();  // later children lie on top
  auto* floating = new CControlUI();
  floating->SetFloat(true);
  floating->SetFixedXY(SIZE{-5, -5});
  floating->SetFixedWidth(10);
  floating->SetFixedHeight(10);
  box.Add(under);
  box.Add(over);
  box.Add(floating);
  box.SetPos(RECT{0, 0, 100, 100}, false);
  // The base placement puts both plain children on the content area.
  POINT inside{50, 50};
  EXPECT_EQ(box.FindControl(FindAny, &inside, hit), over);
  EXPECT_EQ(box.FindControl(FindAny, &inside, hit & ~Vellum::UIFIND_TOP_FIRST), under);
  // The inset belongs to the container; a floating child is found wherever it lies.
  POINT in_inset{5, 50};
  EXPECT_EQ(box.FindControl(FindAny, &in_inset, hit), &box);
  POINT on_float{96, 96};
  EXPECT_EQ(box.FindControl(FindAny, &on_float, hit), floating);
  POINT outside{150, 50};
  EXPECT_EQ(box.FindControl(FindAny, &outside, hit), nullptr);

  box.SetMouseChildEnabled(false);
  EXPECT_EQ(box.FindControl(FindAny, &inside, hit), &box);
  box.SetMouseChildEnabled(true);
  box.SetMouseEnabled(false);
  EXPECT_EQ(box.FindControl(FindAny, &inside, hit), over);
  EXPECT_EQ(box.FindControl(FindAny, &in_inset, hit), nullptr);
  box.SetMouseEnabled(true);

  EXPECT_EQ(box.FindControl(FindAny, nullptr, Vellum::UIFIND_ME_FIRST), &box);
  EXPECT_EQ(box.FindControl(FindAny, nullptr, 0), under);
  EXPECT_EQ(box.FindControl(FindAny, nullptr, Vellum::UIFIND_UPDATETEST), nullptr);
}

// A vertical layout of two 60-pixel children in 100 pixels: the vertical bar (16 wide) appears
// with a range of 20.
struct ScrolledLayout {
  CPaintManagerUI manager;
  CVerticalLayoutUI layout;
  NotificationRecorder recorder;
  CControlUI* first = new CControlUI();
  CControlUI* second = new CControlUI();
  ScrolledLayout() {
    manager.AddNotifier(&recorder);
    layout.SetManager(&manager, nullptr, false);
    layout.EnableScrollBar(true, false);
    first->SetFixedHeight(60);
    second->SetFixedHeight(60);
    layout.Add(first);
    layout.Add(second);
    layout.SetPos(RECT{0, 0, 100, 100}, false);
  }
};

TEST(ContainerScrolling, MovingTheBarMovesTheChildrenAndNotifiesOnce) {
  ScrolledLayout s;
  CScrollBarUI* bar = s.layout.GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 20);
  EXPECT_PRED2(SameRect, bar->GetPos(), (RECT{84, 0, 100, 100}));
  EXPECT_PRED2(SameRect, s.first->GetPos(), (RECT{0, 0, 84, 60}));
  EXPECT_PRED2(SameRect, s.second->GetPos(), (RECT{0, 60, 84, 120}));
  EXPECT_PRED2(SameRect, s.layout.GetClientPos(), (RECT{0, 0, 84, 120}));

  s.layout.SetScrollPos(SIZE{0, 15}, true);
  EXPECT_PRED2(SameRect, s.first->GetPos(), (RECT{0, -15, 84, 45}));
  EXPECT_PRED2(SameRect, s.second->GetPos(), (RECT{0, 45, 84, 105}));
  auto scrolls = s.recorder.OfType(L"scroll");
  ASSERT_EQ(scrolls.size(), 1u);
  EXPECT_EQ(scrolls[0].sender, &s.layout);
  EXPECT_EQ(scrolls[0].wParam, static_cast<WPARAM>((15 + 8) / 8));

  // The same position again moves nothing and says nothing; beyond the range clamps.
  s.layout.SetScrollPos(SIZE{0, 15}, true);
  EXPECT_EQ(s.recorder.OfType(L"scroll").size(), 1u);
  s.layout.SetScrollPos(SIZE{0, 500}, false);
  EXPECT_EQ(s.layout.GetScrollPos().cy, 20);
  EXPECT_PRED2(SameRect, s.first->GetPos(), (RECT{0, -20, 84, 40}));
  EXPECT_EQ(s.recorder.OfType(L"scroll").size(), 1u);
}

TEST(ContainerScrolling, ALineSizeOfZeroNeverDividesTheScrollPageByZero) {
  ScrolledLayout s;
  CScrollBarUI* bar = s.layout.GetVerticalScrollBar();
  bar->SetAttribute(L"linesize", L"0");
  s.layout.SetScrollPos(SIZE{0, 5}, true);
  auto scrolls = s.recorder.OfType(L"scroll");
  ASSERT_EQ(scrolls.size(), 1u);
  EXPECT_EQ(scrolls[0].wParam, 6u);  // counted in steps of one pixel
}

TEST(ContainerScrolling, KeysAndTheWheelScrollTheVisibleBar) {
  ScrolledLayout s;
  s.layout.SetScrollStepSize(7);
  s.layout.SetScrollStepSize(0);  // ignored: only sizes above 0 are stored
  TUIEvent wheel_down;
  wheel_down.type = Vellum::UIEVENT_SCROLLWHEEL;
  wheel_down.wParam = SB_LINEDOWN;
  s.layout.DoEvent(wheel_down);
  EXPECT_EQ(s.layout.GetScrollPos().cy, 7);
  TUIEvent key;
  key.type = Vellum::UIEVENT_KEYDOWN;
  key.key_char = VK_END;
  s.layout.DoEvent(key);
  EXPECT_EQ(s.layout.GetScrollPos().cy, 20);
  key.key_char = VK_HOME;
  s.layout.DoEvent(key);
  EXPECT_EQ(s.layout.GetScrollPos().cy, 0);
  key.key_char = VK_NEXT;  // a page: the item height
  s.layout.DoEvent(key);
  EXPECT_EQ(s.layout.GetScrollPos().cy, 20);
}

TEST(ContainerScrolling, WithOnlyAHorizontalBarTheWheelScrollsSideways) {
  CPaintManagerUI manager;
  CContainerUI box;
  box.SetManager(&manager, nullptr, false);
  box.EnableScrollBar(true, true);
  box.GetVerticalScrollBar()->SetVisible(false);
  CScrollBarUI* hbar = box.GetHorizontalScrollBar();
  hbar->SetVisible(true);
  hbar->SetScrollRange(50);
  auto* child = new CControlUI();
  box.Add(child);
  box.SetPos(RECT{0, 0, 100, 100}, false);
  const RECT before = child->GetPos();
  TUIEvent wheel_down;
  wheel_down.type = Vellum::UIEVENT_SCROLLWHEEL;
  wheel_down.wParam = SB_LINEDOWN;
  box.DoEvent(wheel_down);
  EXPECT_EQ(box.GetScrollPos().cx, 8);
  EXPECT_EQ(box.GetScrollPos().cy, 0);
  EXPECT_EQ(child->GetPos().left, before.left - 8);
}

TEST(ContainerAttributes, AlignmentNamesAndValuesAreExact) {
  struct Case {
    const wchar_t* name;
    const wchar_t* value;
    UINT align;
    UINT valign;
  };
  const Case cases[] = {
      {L"childalign", L"center", 1, 0},   {L"childalign", L"right", 2, 0},
      {L"childalign", L"Center", 0, 0},   {L"ChildAlign", L"center", 0, 0},
      {L"childvalign", L"vcenter", 0, 4}, {L"childvalign", L"bottom", 0, 8},
      {L"childvalign", L"Bottom", 0, 0},  {L"childvalign", L"center", 0, 0},
  };
  for (const Case& c : cases) {
    CContainerUI box;
    box.SetAttribute(c.name, c.value);
    EXPECT_EQ(box.GetChildAlign(), c.align) << testing::PrintToString(c.name);
    EXPECT_EQ(box.GetChildVAlign(), c.valign) << testing::PrintToString(c.value);
  }
  CContainerUI box;
  box.SetAttribute(L"inset", L"1,2,3,4");
  EXPECT_PRED2(SameRect, box.GetInset(), (RECT{1, 2, 3, 4}));
  box.SetAttribute(L"childpadding", L"6");
  EXPECT_EQ(box.GetChildPadding(), 6);
  box.SetAttribute(L"scrollstepsize", L"-3");
  EXPECT_EQ(box.GetScrollStepSize(), 0);
  box.SetAttribute(L"mousechild", L"TRUE");
  EXPECT_TRUE(box.IsMouseChildEnabled());
  box.SetAttribute(L"mousechild", L"no");
  EXPECT_FALSE(box.IsMouseChildEnabled());
}

TEST(ContainerAttributes, AHorizontalBarStyleCreatesAndStylesOnlyThatBar) {
  CPaintManagerUI manager;
  manager.AddStyle(L"thin", L"height=\"9\" linesize=\"3\"");
  CContainerUI box;
  box.SetManager(&manager, nullptr, false);
  box.SetAttribute(L"hscrollbarstyle", L"thin");
  EXPECT_EQ(box.GetVerticalScrollBar(), nullptr);
  ASSERT_NE(box.GetHorizontalScrollBar(), nullptr);
  EXPECT_TRUE(box.GetHorizontalScrollBar()->IsHorizontal());
  EXPECT_EQ(box.GetHorizontalScrollBar()->GetFixedHeight(), 9);
  EXPECT_EQ(box.GetHorizontalScrollBar()->GetLineSize(), 3);
  EXPECT_EQ(box.GetHorizontalScrollBar()->GetOwner(), &box);

  // An attribute list works as well, and the default list of the class comes first.
  manager.AddDefaultAttributeList(L"VScrollBar", L"linesize=\"11\"");
  box.SetAttribute(L"showscrollbar", L"false");
  box.SetAttribute(L"vscrollbarstyle", L"width=\"12\"");
  ASSERT_NE(box.GetVerticalScrollBar(), nullptr);
  EXPECT_EQ(box.GetVerticalScrollBar()->GetFixedWidth(), 12);
  EXPECT_EQ(box.GetVerticalScrollBar()->GetLineSize(), 11);
  EXPECT_FALSE(box.GetVerticalScrollBar()->IsShown());
  box.SetAttribute(L"vscrollbar", L"false");
  EXPECT_EQ(box.GetVerticalScrollBar(), nullptr);
  EXPECT_NE(box.GetHorizontalScrollBar(), nullptr);
}

TEST(ContainerPaint, ChildrenAreClippedToTheContentAreaButFloatingOnesAreNot) {
  testing_support::Surface surface(100, 100, 0);
  CContainerUI box;
  box.SetInset(RECT{10, 10, 10, 10});
  auto* big = new CControlUI();  // as large as its minimum: far beyond the content area
  big->SetMinWidth(200);
  big->SetMinHeight(200);
  big->SetBkColor(0xFFFF0000);
  auto* corner = new CControlUI();  // floating in the inset
  corner->SetFloat(true);
  corner->SetFixedWidth(5);
  corner->SetFixedHeight(5);
  corner->SetBkColor(0xFF00FF00);
  box.Add(big);
  box.Add(corner);
  box.SetPos(RECT{0, 0, 100, 100}, false);
  const RECT all{0, 0, 100, 100};
  EXPECT_TRUE(box.Paint(surface.dc(), all));
  EXPECT_EQ(surface.At(50, 50) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(89, 89) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(95, 50) & 0xFFFFFF, 0u);  // the right inset stays clear
  EXPECT_EQ(surface.At(50, 95) & 0xFFFFFF, 0u);
  EXPECT_EQ(surface.At(2, 2) & 0xFFFFFF, 0x00FF00u);

  // Painting stops at the stop control: nothing from it on is drawn.
  surface.Fill(0);
  EXPECT_FALSE(box.Paint(surface.dc(), all, corner));
  EXPECT_EQ(surface.At(50, 50) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(2, 2) & 0xFFFFFF, 0u);
}

// A repaint walks only the children whose rows cross the repainted band while the children lie
// in rows; each case breaks that order (or changes the list) after a paint, then repaints the top
// row, where the last-painted child must show.
TEST(ContainerPaint, ARepaintFindsChildrenThatMovedOrChangedPlaceInTheList) {
  constexpr DWORD kColours[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF00FFFF};
  const struct {
    const char* name;
    // Breaks the rows of a box of four 20x10 children stacked at y 0, 10, 20, 30.
    void (*change)(CVerticalLayoutUI& box, CControlUI* children[4]);
    DWORD expected;  // at the top row after the repaint
  } cases[] = {
      {"the last child moves onto the first",
       [](CVerticalLayoutUI&, CControlUI* children[4]) { children[3]->SetPos(RECT{0, 0, 20, 10}, false); },
       kColours[3]},
      {"the first child goes to the end of the list",
       [](CVerticalLayoutUI& box, CControlUI* children[4]) { box.SetItemIndex(children[0], 3); },
       kColours[0]},
      {"a child placed on the first row is added at the end",
       [](CVerticalLayoutUI& box, CControlUI*[4]) {
         auto* late = new CControlUI();
         late->SetBkColor(0xFFFFFF00);
         late->SetPos(RECT{0, 0, 20, 10}, false);
         box.Add(late);
       },
       0xFFFFFF00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CPaintManagerUI manager;
    testing_support::Surface surface(20, 40, 0);
    CVerticalLayoutUI box;
    box.SetManager(&manager, nullptr, false);
    CControlUI* children[4];
    for (int i = 0; i < 4; ++i) {
      children[i] = new CControlUI();
      children[i]->SetFixedHeight(10);
      children[i]->SetBkColor(kColours[i]);
      box.Add(children[i]);
    }
    box.SetPos(RECT{0, 0, 20, 40}, false);
    const RECT all{0, 0, 20, 40};
    box.Paint(surface.dc(), all);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(surface.At(5, i * 10 + 5), kColours[i]);

    c.change(box, children);
    surface.Fill(0);
    box.Paint(surface.dc(), RECT{0, 0, 20, 10});
    EXPECT_EQ(surface.At(5, 5), c.expected);
    EXPECT_EQ(surface.At(5, 25), 0u);  // outside the repaint
  }
}

TEST(ContainerFactory, ElementNamesAndAliasesMakeTheRightClasses) {
  const struct {
    const wchar_t* key;
    const wchar_t* class_name;
  } cases[] = {
      {L"CContainerUI", L"ContainerUI"},          {L"CBoxUI", L"ContainerUI"},
      {L"CVerticalLayoutUI", L"VerticalLayoutUI"}, {L"CVBoxUI", L"VerticalLayoutUI"},
      {L"chboxui", L"HorizontalLayoutUI"},         {L"CTileBoxUI", L"TileLayoutUI"},
      {L"CTabLayoutUI", L"TabLayoutUI"},           {L"CTabBoxUI", L"TabLayoutUI"},
      {L"CScrollBarUI", L"ScrollBarUI"},          {L"CChildLayoutUI", L"ChildLayoutUI"},
      {L"CChildBoxUI", L"ChildLayoutUI"},
  };
  auto* factory = Vellum::CControlFactory::GetInstance();
  for (const auto& c : cases) {
    CControlUI* control = factory->CreateControl(c.key);
    ASSERT_NE(control, nullptr) << testing::PrintToString(c.key);
    EXPECT_STREQ(control->GetClass(), c.class_name);
    delete control;
  }
}

}  // namespace
