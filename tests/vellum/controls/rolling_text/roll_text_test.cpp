#include "vellum/controls/rolling_text/roll_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::ManagedWindow;
using testing_support::NotificationRecorder;
using testing_support::Surface;
using testing_support::TestContainer;
using Vellum::CRollTextUI;

constexpr DWORD kPaper = 0xFFFFFFFF;
// The control sits inside a larger surface, so that ink beyond it shows.
constexpr RECT kPlace{20, 20, 120, 60};  // 100 x 40
constexpr int kSurfaceWidth = 140;
constexpr int kSurfaceHeight = 80;

struct Ink {
  bool any = false;
  int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
  bool outside = false;                          // ink beyond the control
};

Ink FindInk(const Surface& surface) {
  Ink ink{false, kSurfaceWidth, kSurfaceHeight, -1, -1, false};
  for (int y = 0; y < kSurfaceHeight; ++y) {
    for (int x = 0; x < kSurfaceWidth; ++x) {
      if ((surface.At(x, y) & 0xFFFFFF) == (kPaper & 0xFFFFFF)) continue;
      ink.any = true;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      if (x < kPlace.left || x >= kPlace.right || y < kPlace.top || y >= kPlace.bottom) {
        ink.outside = true;
      }
    }
  }
  return ink;
}

struct Rolling {
  ManagedWindow window;
  TestContainer* root = new TestContainer();
  CRollTextUI* text = new CRollTextUI();
  NotificationRecorder recorder;
  Rolling() {
    root->Add(text, kPlace);
    window.manager().AttachRootControl(root);
    window.manager().AddNotifier(&recorder);
    text->SetPos(kPlace, false);
    text->SetText(L"Roll");
    text->SetAttribute(L"textcolor", L"#FF000000");
  }
  Ink Paint() {
    Surface surface(kSurfaceWidth, kSurfaceHeight, kPaper);
    text->Paint(surface.dc(), RECT{0, 0, kSurfaceWidth, kSurfaceHeight});
    return FindInk(surface);
  }
  void Tick(UINT id) {
    Vellum::TUIEvent event;
    event.type = Vellum::UIEVENT_TIMER;
    event.sender = text;
    event.wParam = id;
    text->Event(event);
  }
};

TEST(RollText, TheFirstPaintMeasuresAndDrawsNothing) {
  Rolling r;
  EXPECT_EQ(r.text->GetTextExtent(), 0);
  EXPECT_FALSE(r.Paint().any);
  const int width = r.text->GetTextExtent();
  EXPECT_GT(width, 10);
  EXPECT_LT(width, 100);

  // The ordinary placement keeps the measurement; the added one measures again.
  r.text->SetPos(kPlace, true);
  EXPECT_EQ(r.text->GetTextExtent(), width);
  r.text->SetPosAndRemeasure(kPlace);
  EXPECT_EQ(r.text->GetTextExtent(), 0);
  EXPECT_FALSE(r.Paint().any);
  EXPECT_EQ(r.text->GetTextExtent(), width);

  // A new text is measured again on the next paint, which draws nothing.
  r.text->SetText(L"Rolling on");
  EXPECT_EQ(r.text->GetTextExtent(), 0);
  EXPECT_FALSE(r.Paint().any);
  EXPECT_GT(r.text->GetTextExtent(), width);

  // Up and down measure the height instead.
  r.text->BeginRoll(CRollTextUI::kRollUp);
  r.text->SetText(L"Roll");
  r.Paint();
  EXPECT_GT(r.text->GetTextExtent(), 5);
  EXPECT_LT(r.text->GetTextExtent(), 40);
}

// The text starts one span beyond one edge, moves by the step on every paint, never paints outside
// the control, and its leading edge sits where the scroll position says.
TEST(RollText, EachDirectionMovesTheTextThroughTheArea) {
  const struct {
    int direction;
    const char* name;
  } cases[] = {{CRollTextUI::kRollLeft, "left"},
               {CRollTextUI::kRollRight, "right"},
               {CRollTextUI::kRollUp, "up"},
               {CRollTextUI::kRollDown, "down"}};
  for (const auto& c : cases) {
    Rolling r;
    ASSERT_TRUE(r.text->BeginRoll(c.direction));
    r.text->SetRollStep(10);
    r.Paint();  // measures
    const bool horizontal = c.direction <= CRollTextUI::kRollRight;
    const int span = horizontal ? 100 : 40;
    const int extent = r.text->GetTextExtent();
    ASSERT_LT(extent, span) << c.name << ": the text is shorter than the area";

    EXPECT_FALSE(r.Paint().any) << c.name << ": starts out of sight";
    bool seen = false;
    for (int paint = 1; r.text->GetScrollPos() != 0; ++paint) {
      ASSERT_LT(paint, 100) << c.name;
      const int scroll = r.text->GetScrollPos();
      const Ink ink = r.Paint();
      EXPECT_FALSE(ink.outside) << c.name << " at " << scroll;
      if (!ink.any) continue;
      seen = true;
      // Where the leading edge is inside the area (beyond it the clip cuts the text); glyphs
      // sit a few pixels inside their rectangle.
      switch (c.direction) {
        case CRollTextUI::kRollLeft:
          if (span - scroll < 0) break;
          EXPECT_NEAR(ink.left, kPlace.left + span - scroll, 3) << c.name << " at " << scroll;
          break;
        case CRollTextUI::kRollRight:
          // The text's rectangle starts one span left of the area, its leading edge one text
          // extent further on: with a text shorter than the area it shows only after a while.
          if (scroll - span + extent > span) break;
          EXPECT_LE(ink.right, kPlace.left - span + scroll + extent) << c.name << " at " << scroll;
          EXPECT_GE(ink.right, kPlace.left - span + scroll + extent - 6) << c.name << " at " << scroll;
          break;
        case CRollTextUI::kRollUp:
          if (span - scroll < 0) break;
          EXPECT_NEAR(ink.top, kPlace.top + span - scroll, 5) << c.name << " at " << scroll;
          break;
        case CRollTextUI::kRollDown:
          if (scroll - span + extent > span) break;
          EXPECT_LE(ink.bottom, kPlace.top - span + scroll + extent) << c.name << " at " << scroll;
          EXPECT_GE(ink.bottom, kPlace.top - span + scroll + extent - 8) << c.name << " at " << scroll;
          break;
      }
    }
    EXPECT_TRUE(seen) << c.name;
  }
}

TEST(RollText, TheScrollStartsOverAfterTheSpanAndTheText) {
  Rolling r;
  r.text->SetRollStep(7);
  r.Paint();
  const int extent = r.text->GetTextExtent();
  int last = 0;
  int paints = 0;
  do {
    last = r.text->GetScrollPos();
    r.Paint();
    ++paints;
  } while (r.text->GetScrollPos() != 0 && paints < 200);
  EXPECT_LE(last, 100 + extent);
  EXPECT_GT(last + 7, 100 + extent);
}

TEST(RollText, TimersStepAndEndTheRoll) {
  Rolling r;
  ASSERT_TRUE(r.text->BeginRoll(CRollTextUI::kRollLeft, 50, 2000));
  EXPECT_TRUE(r.text->IsRolling());
  EXPECT_EQ(r.window.manager().GetTimerCount(), 2u);

  r.Tick(CRollTextUI::kRollTimerId);
  EXPECT_TRUE(r.recorder.OfType(L"timer").empty()) << "a step stays with the control";

  // The end is told once; the text keeps scrolling until the program ends the roll.
  r.Tick(CRollTextUI::kRollEndTimerId);
  EXPECT_TRUE(r.text->IsRolling());
  EXPECT_EQ(r.window.manager().GetTimerCount(), 1u);
  EXPECT_FALSE(r.window.manager().SetTimer(r.text, CRollTextUI::kRollTimerId, 50))
      << "the step timer still runs";
  const auto ends = r.recorder.OfType(L"textrollend");
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0].sender, r.text);
  EXPECT_EQ(ends[0].wParam, 0u);
  EXPECT_EQ(ends[0].lParam, 0);
  // The end goes on to the label as well.
  EXPECT_EQ(r.recorder.OfType(L"timer").size(), 1u);

  r.text->EndRoll();
  EXPECT_FALSE(r.text->IsRolling());
  EXPECT_EQ(r.window.manager().GetTimerCount(), 0u);

  // Destroying a rolling text stops its timers.
  ASSERT_TRUE(r.text->BeginRoll(CRollTextUI::kRollDown, 50, 2000));
  EXPECT_EQ(r.window.manager().GetTimerCount(), 2u);
  r.text->EndRoll();
  EXPECT_EQ(r.window.manager().GetTimerCount(), 0u);
  ASSERT_TRUE(r.text->BeginRoll(CRollTextUI::kRollDown, 50, 2000));
  r.root->Detach(r.text);
  delete r.text;
  EXPECT_EQ(r.window.manager().GetTimerCount(), 0u);
}

TEST(RollText, NoRollWithoutAWindowAndIdentity) {
  CRollTextUI text;
  EXPECT_FALSE(text.BeginRoll());
  Vellum::CPaintManagerUI windowless;
  text.SetManager(&windowless, nullptr, false);
  EXPECT_FALSE(text.BeginRoll());
  EXPECT_FALSE(text.IsRolling());

  EXPECT_STREQ(text.GetClass(), L"RollTextUI");
  EXPECT_EQ(text.GetInterface(L"rolltext"), static_cast<void*>(&text));
  EXPECT_NE(text.GetInterface(L"Label"), nullptr);
}

}  // namespace
