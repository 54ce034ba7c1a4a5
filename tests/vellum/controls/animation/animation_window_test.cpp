// The animations on the real timers of a shown window (needs a display).

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/animation/animation_tab_layout.h"
#include "vellum/controls/animation/fade_button.h"
#include "vellum/core/base/ui_events.h"

namespace {

using namespace Vellum;
using testing_support::ManagedWindow;
using testing_support::SameRect;
using testing_support::TestContainer;

TEST(AnimationTimers, TheSlideAndTheFadeRunToTheirEndAndLeaveNoTimer) {
  constexpr RECT kPlace{0, 0, 200, 100};
  ManagedWindow window(false, 240, 160);
  auto* root = new TestContainer();
  auto* tabs = new CAnimationTabLayoutUI();
  tabs->Add(new CControlUI());
  tabs->Add(new CControlUI());
  auto* button = new CFadeButtonUI();
  root->Add(tabs, kPlace);
  root->Add(button, RECT{0, 110, 60, 140});
  window.manager().AttachRootControl(root);
  window.ShowAndPaint();

  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(tabs->SelectItem(1));
  TUIEvent enter;
  enter.type = UIEVENT_MOUSEENTER;
  enter.sender = button;
  button->Event(enter);
  ASSERT_EQ(window.manager().GetTimerCount(), 2u);

  EXPECT_TRUE(testing_support::WaitUntil(
      [&] {
        return !tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId) &&
               !button->IsAnimationRunning(CFadeButtonUI::kFadeInId);
      },
      3000));
  const ULONGLONG took = GetTickCount64() - start;
  // 16 ticks of 10 ms for the slide and 31 for the fade, give or take Wine's timer grain.
  EXPECT_GE(took, 150u);
  EXPECT_LE(took, 2000u);

  EXPECT_TRUE(SameRect(tabs->GetPos(), kPlace)) << tabs->GetPos();
  EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible());
  EXPECT_TRUE(SameRect(tabs->GetItemAt(1)->GetPos(), kPlace));
  EXPECT_EQ(button->GetFadeAlpha(), 255);
  EXPECT_EQ(window.manager().GetTimerCount(), 0u);
}

}  // namespace
