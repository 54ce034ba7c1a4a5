#include "vellum/controls/animation/animation_tab_layout.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::ManagedWindow;
using testing_support::NotificationRecorder;
using testing_support::SameRect;
using testing_support::TestContainer;
using Vellum::CAnimationTabLayoutUI;
using Vellum::CControlUI;

constexpr RECT kPlace{10, 10, 110, 60};  // 100 x 50

CAnimationTabLayoutUI* MakeTabs(int pages) {
  auto* tabs = new CAnimationTabLayoutUI();
  for (int i = 0; i < pages; ++i) tabs->Add(new CControlUI());
  return tabs;
}

// Tabs of three pages under a manager of a message-only window; timer ticks come from the test.
struct Sliding {
  ManagedWindow window;
  CAnimationTabLayoutUI* tabs = MakeTabs(3);
  NotificationRecorder recorder;
  explicit Sliding(bool vertical = false, int start_page = 0) {
    if (vertical) tabs->SetAttribute(L"animation_direction", L"vertical");
    auto* root = new TestContainer();
    root->Add(tabs, kPlace);
    window.manager().AttachRootControl(root);
    window.manager().AddNotifier(&recorder);
    tabs->SetPos(kPlace, false);
    if (start_page != 0) {
      tabs->SelectItem(start_page);
      while (tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) Tick();
      recorder.heard.clear();
    }
  }
  void Tick() {
    Vellum::TUIEvent event;
    event.type = Vellum::UIEVENT_TIMER;
    event.sender = tabs;
    event.wParam = CAnimationTabLayoutUI::kSlideAnimationId;
    tabs->Event(event);
  }
  CControlUI* Page(int i) { return tabs->GetItemAt(i); }
};

TEST(AnimationTabLayout, TheNewPageSlidesInAndEndsOnTheLayoutsPlace) {
  struct Checkpoint {
    int ticks;  // ticks so far
    LONG left;
    LONG top;
  };
  const struct {
    const char* name;
    bool vertical;
    int from;
    int to;
    std::vector<Checkpoint> checkpoints;
  } cases[] = {
      // To the right: starts 100 - 52 pixels to the right, moves 100 / 15 (6) per frame and
      // lands on its place at the last frame.
      {"to the right", false, 0, 1, {{0, 58, 10}, {1, 52, 10}, {15, -32, 10}, {16, 10, 10}}},
      {"to the left", false, 2, 0, {{0, -38, 10}, {1, -32, 10}, {15, 52, 10}, {16, 10, 10}}},
      // Vertically: a whole height below (or above), 50 / 15 (3) per frame.
      {"downwards", true, 0, 2, {{0, 10, 60}, {1, 10, 57}, {15, 10, 15}, {16, 10, 10}}},
      {"upwards", true, 2, 1, {{0, 10, -40}, {1, 10, -37}, {15, 10, 5}, {16, 10, 10}}},
  };
  for (const auto& c : cases) {
    Sliding s(c.vertical, c.from);
    ASSERT_TRUE(s.tabs->SelectItem(c.to)) << c.name;
    EXPECT_EQ(s.tabs->GetCurSel(), c.to);
    EXPECT_EQ(s.tabs->GetDirectionSign(), c.to > c.from ? -1 : 1) << c.name;
    ASSERT_TRUE(s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId));
    // Hidden until the first frame; the old page is hidden at once.
    EXPECT_FALSE(s.Page(c.to)->IsVisible()) << c.name;
    EXPECT_FALSE(s.Page(c.from)->IsVisible()) << c.name;

    int ticks = 0;
    for (const Checkpoint& point : c.checkpoints) {
      while (ticks < point.ticks) {
        s.Tick();
        ++ticks;
      }
      const RECT& rect = ticks == 0 ? s.tabs->GetSlidingRect() : s.tabs->GetPos();
      EXPECT_EQ(rect.left, point.left) << c.name << " after " << ticks;
      EXPECT_EQ(rect.top, point.top) << c.name << " after " << ticks;
      if (ticks > 0) {
        EXPECT_TRUE(s.Page(c.to)->IsVisible()) << c.name;
        // The page moves with the layout.
        EXPECT_EQ(s.Page(c.to)->GetPos().left, rect.left) << c.name << " after " << ticks;
      }
    }
    EXPECT_TRUE(SameRect(s.tabs->GetPos(), kPlace)) << c.name << ": " << s.tabs->GetPos();
    EXPECT_TRUE(SameRect(s.Page(c.to)->GetPos(), kPlace)) << c.name;
    EXPECT_FALSE(s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId));
    EXPECT_EQ(s.window.manager().GetTimerCount(), 0u) << c.name;

    const auto selected = s.recorder.OfType(L"tabselect");
    ASSERT_EQ(selected.size(), 1u) << c.name;
    EXPECT_EQ(selected[0].wParam, static_cast<WPARAM>(c.to));
    EXPECT_EQ(selected[0].lParam, static_cast<LPARAM>(c.from));
  }
}

TEST(AnimationTabLayout, SelectionOutsideThePagesOrOfTheCurrentPageDoesNothing) {
  Sliding s;
  EXPECT_FALSE(s.tabs->SelectItem(3));
  EXPECT_FALSE(s.tabs->SelectItem(-1));
  EXPECT_TRUE(s.tabs->SelectItem(0));
  EXPECT_FALSE(s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId));
  EXPECT_TRUE(s.recorder.OfType(L"tabselect").empty());
  EXPECT_TRUE(s.Page(0)->IsVisible());
  EXPECT_TRUE(SameRect(s.tabs->GetPos(), kPlace));
}

TEST(AnimationTabLayout, ASecondSelectionDuringASlideStartsTheSlideAgain) {
  Sliding s;
  ASSERT_TRUE(s.tabs->SelectItem(1));
  for (int i = 0; i < 5; ++i) s.Tick();
  ASSERT_TRUE(s.tabs->SelectItem(2));
  EXPECT_EQ(s.tabs->GetCurrentFrame(CAnimationTabLayoutUI::kSlideAnimationId), 0);
  EXPECT_FALSE(s.Page(1)->IsVisible());
  EXPECT_EQ(s.window.manager().GetTimerCount(), 1u);
  // It was away from its place mid-slide: the new slide still lands on the place.
  while (s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) s.Tick();
  EXPECT_TRUE(SameRect(s.tabs->GetPos(), kPlace)) << s.tabs->GetPos();
  EXPECT_TRUE(s.Page(2)->IsVisible());
}

// A slide needs a manager with a window for its timer. Without one no frame would ever come and
// the new page would stay hidden: it is shown in place at once instead.
TEST(AnimationTabLayout, WithoutTimersTheNewPageIsShownAtOnce) {
  Vellum::CPaintManagerUI windowless;
  for (Vellum::CPaintManagerUI* manager : {static_cast<Vellum::CPaintManagerUI*>(nullptr),
                                           &windowless}) {
    CAnimationTabLayoutUI* tabs = MakeTabs(2);
    if (manager) tabs->SetManager(manager, nullptr, false);
    tabs->SetPos(kPlace, false);
    ASSERT_TRUE(tabs->SelectItem(1));
    EXPECT_FALSE(tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId));
    EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible()) << (manager ? "windowless" : "no manager");
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(SameRect(tabs->GetPos(), kPlace));
    EXPECT_TRUE(SameRect(tabs->GetItemAt(1)->GetPos(), kPlace));
    delete tabs;
  }
}

TEST(AnimationTabLayout, ThePageSlidingInMayBeRemovedMidSlide) {
  Sliding s;
  ASSERT_TRUE(s.tabs->SelectItem(2));
  s.tabs->Remove(s.Page(2));
  s.window.Pump();  // the manager deletes removed pages with its deferred work
  // A page of the same size, likely in the freed page's memory; added, it stays hidden.
  CControlUI* fresh = new CControlUI();
  s.tabs->Add(fresh);
  while (s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) s.Tick();
  EXPECT_FALSE(fresh->IsVisible());
  EXPECT_TRUE(SameRect(s.tabs->GetPos(), kPlace));

  Sliding all;
  ASSERT_TRUE(all.tabs->SelectItem(1));
  all.tabs->RemoveAll();
  all.window.Pump();
  while (all.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) all.Tick();
  EXPECT_EQ(all.tabs->GetCount(), 0);
}

TEST(AnimationTabLayout, TimerEventsStepTheSlideAndStillReachTheContainer) {
  Sliding s;
  ASSERT_TRUE(s.tabs->SelectItem(1));
  s.Tick();
  EXPECT_EQ(s.tabs->GetCurrentFrame(CAnimationTabLayoutUI::kSlideAnimationId), 1);
  EXPECT_EQ(s.recorder.OfType(L"timer").size(), 1u);
}

TEST(AnimationTabLayout, IdentityAndDirectionAttribute) {
  CAnimationTabLayoutUI tabs;
  EXPECT_STREQ(tabs.GetClass(), L"AnimationTabLayoutUI");
  EXPECT_EQ(tabs.GetInterface(L"animationtablayout"), static_cast<void*>(&tabs));
  EXPECT_NE(tabs.GetInterface(L"TabLayout"), nullptr);
  EXPECT_FALSE(tabs.IsVerticalDirection());
  tabs.SetAttribute(L"animation_direction", L"horizontal");
  EXPECT_FALSE(tabs.IsVerticalDirection());
  tabs.SetAttribute(L"Animation_Direction", L"VERTICAL");
  EXPECT_TRUE(tabs.IsVerticalDirection());
  tabs.SetAttribute(L"animation_direction", L"horizontal");  // only "vertical" changes it
  EXPECT_TRUE(tabs.IsVerticalDirection());
}

}  // namespace
