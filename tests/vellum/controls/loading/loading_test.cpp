#include "vellum/controls/loading/loading.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/loading/loading_spokes.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::Surface;
using Vellum::CLoadingUI;
using Vellum::CPaintManagerUI;
using Vellum::TUIEvent;

constexpr DWORD kPaper = 0xFFFFFFFF;

void Tick(CLoadingUI& spinner, UINT id = CLoadingUI::kSpinTimerId) {
  TUIEvent event;
  event.type = Vellum::UIEVENT_TIMER;
  event.sender = &spinner;
  event.wParam = id;
  spinner.Event(event);
}

TEST(LoadingTables, AnglesColoursAndSteps) {
  const std::vector<double> angles = Vellum::BuildSpokeAngles(10);
  ASSERT_EQ(angles.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(angles[i], 36.0 * (i + 1), 1e-9) << i;

  const std::vector<DWORD> colours = Vellum::BuildSpokeColours(0xFF000000, 10);
  ASSERT_EQ(colours.size(), 10u);
  EXPECT_EQ(colours[0], 0xFF000000u);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(colours[i], static_cast<DWORD>(25 * i) << 24) << i;

  // The alpha steps by 255 / n in integers; the colour's own red, green and blue stay.
  const std::vector<DWORD> seven = Vellum::BuildSpokeColours(0x80336699, 7);
  EXPECT_EQ(seven[0], 0x80336699u);
  EXPECT_EQ(seven[1], 0x24336699u);
  EXPECT_EQ(seven[6], 0xD8336699u);
  // With more than 255 spokes every spoke after the first is transparent.
  const std::vector<DWORD> many = Vellum::BuildSpokeColours(0xFF112233, 300);
  EXPECT_EQ(many[299], 0x00112233u);

  for (int count : {0, -3}) {
    EXPECT_TRUE(Vellum::BuildSpokeAngles(count).empty()) << count;
    EXPECT_TRUE(Vellum::BuildSpokeColours(0xFF000000, count).empty()) << count;
    EXPECT_EQ(Vellum::NextSpoke(0, count), 0) << count;
  }
  EXPECT_EQ(Vellum::NextSpoke(8, 10), 9);
  EXPECT_EQ(Vellum::NextSpoke(9, 10), 0);
}

TEST(Loading, IdentityAndAttributes) {
  CLoadingUI spinner;
  EXPECT_STREQ(spinner.GetClass(), L"Loading");
  EXPECT_EQ(spinner.GetInterface(L"Loading"), &spinner);
  EXPECT_EQ(spinner.GetInterface(L"loading"), nullptr);
  EXPECT_EQ(spinner.GetInterface(L"Control"), &spinner);
  EXPECT_EQ(spinner.GetTime(), 100);
  EXPECT_EQ(spinner.GetSpokeCount(), 10);

  const struct {
    const wchar_t* name;
    const wchar_t* value;
    int (CLoadingUI::*get)() const;
    int expected;
  } cases[] = {
      {L"spoke", L"010", &CLoadingUI::GetSpokeCount, 8},  // C notation: octal
      {L"Spoke", L"0x0C", &CLoadingUI::GetSpokeCount, 12},
      // A count that would size tables of gigabytes stops at one spoke per degree.
      {L"spoke", L"0x7fffffff", &CLoadingUI::GetSpokeCount, 360},
      {L"spoke", L"99999999999", &CLoadingUI::GetSpokeCount, 360},
      {L"spoke", L"360", &CLoadingUI::GetSpokeCount, 360},
      {L"time", L"010", &CLoadingUI::GetTime, 10},        // decimal
      {L"thickness", L"3", &CLoadingUI::GetThickness, 3},
      {L"outradius", L"0x14", &CLoadingUI::GetOuterRadius, 20},
      {L"innerradius", L"012", &CLoadingUI::GetInnerRadius, 10},
      {L"style", L"7", &CLoadingUI::GetStyle, 7},
      // Lengths no window could show stop at the largest window extent.
      {L"innerradius", L"2147483647", &CLoadingUI::GetInnerRadius, 8192},
      {L"outradius", L"-99999999999", &CLoadingUI::GetOuterRadius, -8192},
      {L"thickness", L"0x7fffffff", &CLoadingUI::GetThickness, 8192},
  };
  for (const auto& c : cases) {
    spinner.SetAttribute(c.name, c.value);
    EXPECT_EQ((spinner.*c.get)(), c.expected) << testing::PrintToString(c.name);
  }
  spinner.SetAttribute(L"color", L" \t#FF336699");
  EXPECT_EQ(spinner.GetColor(), 0xFF336699u);
}

TEST(Loading, StepsRoundTheCountTheTablesWereBuiltWith) {
  CLoadingUI spinner;
  spinner.Init();
  ASSERT_EQ(spinner.GetSpokeAngles().size(), 10u);
  // A new count waits for the next Init: stepping keeps going round ten.
  spinner.SetAttribute(L"spoke", L"3");
  for (int i = 0; i < 12; ++i) Tick(spinner);
  EXPECT_EQ(spinner.GetCurrentSpoke(), 2);
  spinner.Init();
  EXPECT_EQ(spinner.GetSpokeAngles().size(), 3u);
  EXPECT_EQ(spinner.GetCurrentSpoke(), 2);
  Tick(spinner);
  EXPECT_EQ(spinner.GetCurrentSpoke(), 0);
}

TEST(Loading, FewerThanOneSpokeBuildsNothingStepsNeverAndDrawsNothing) {
  for (const wchar_t* count : {L"0", L"-4"}) {
    CPaintManagerUI manager;
    CLoadingUI spinner;
    spinner.SetManager(&manager, nullptr, false);
    spinner.SetAttribute(L"spoke", count);
    spinner.SetPos(RECT{0, 0, 40, 40}, false);
    spinner.Init();
    EXPECT_TRUE(spinner.GetSpokeAngles().empty());
    EXPECT_TRUE(spinner.GetSpokeColors().empty());
    Tick(spinner);
    EXPECT_EQ(spinner.GetCurrentSpoke(), 0);
    Surface surface(40, 40, kPaper);
    spinner.Paint(surface.dc(), RECT{0, 0, 40, 40});
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) ASSERT_EQ(surface.At(x, y), kPaper) << x << "," << y;
    }
  }
}

TEST(Loading, AnotherTimerGoesToTheControlBase) {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  manager.AddNotifier(&recorder);
  CLoadingUI spinner;
  spinner.SetManager(&manager, nullptr, false);
  spinner.Init();
  Tick(spinner, 7);
  EXPECT_EQ(spinner.GetCurrentSpoke(), 0);
  const auto timers = recorder.OfType(L"timer");
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers[0].wParam, 7u);
}

// The brightest channel halfway along a spoke of a 40 x 40 spinner centred on (20, 20): low where
// a dark spoke covers the background.
int InkAt(const Surface& surface, double degrees) {
  const double radians = degrees * 3.14 / 180.0;
  const int x = static_cast<int>(std::lround(20 + 9 * std::cos(radians)));
  const int y = static_cast<int>(std::lround(20 + 9 * std::sin(radians)));
  const DWORD pixel = surface.At(x, y);
  return static_cast<int>(std::max({pixel & 0xFF, (pixel >> 8) & 0xFF, (pixel >> 16) & 0xFF}));
}

TEST(LoadingPaint, TheOpaqueSpokeMovesOneStepPerTick) {
  CPaintManagerUI manager;
  CLoadingUI spinner;
  spinner.SetManager(&manager, nullptr, false);
  spinner.SetPos(RECT{0, 0, 40, 40}, false);
  spinner.SetBkColor(0xFFFF0000);
  spinner.Init();

  Surface before(40, 40, kPaper);
  spinner.Paint(before.dc(), RECT{0, 0, 40, 40});
  // Spoke colour 0 (opaque black) at 36 degrees, colour 1 (alpha 25) at 72.
  EXPECT_LT(InkAt(before, 36), 60);
  EXPECT_GT(InkAt(before, 72), 180);
  // The background colour still paints beneath the ring.
  EXPECT_EQ(before.At(20, 20) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(before.At(2, 2) & 0xFFFFFF, 0xFF0000u);

  Tick(spinner);
  Surface after(40, 40, kPaper);
  spinner.Paint(after.dc(), RECT{0, 0, 40, 40});
  EXPECT_LT(InkAt(after, 72), 60);
  // Colour 9 (alpha 225) has moved to 36 degrees: dark, though not as dark as the opaque spoke.
  EXPECT_GT(InkAt(after, 36), InkAt(after, 72));
}

// A spinner far larger than what is painted draws the part in view, on a canvas of that part only:
// here a 100,000-pixel square control centred on the surface's (20, 20).
TEST(LoadingPaint, AHugeSpinnerDrawsThePartInView) {
  CPaintManagerUI manager;
  CLoadingUI spinner;
  spinner.SetManager(&manager, nullptr, false);
  spinner.SetPos(RECT{-49980, -49980, 50020, 50020}, false);
  spinner.Init();
  Surface surface(40, 40, kPaper);
  spinner.Paint(surface.dc(), RECT{0, 0, 40, 40});
  EXPECT_LT(InkAt(surface, 36), 60);
  EXPECT_GT(InkAt(surface, 72), 180);
}

// A spinner under a container in a message-only window: Init starts the control timer once.
struct Spinning {
  testing_support::ManagedWindow window;
  testing_support::TestContainer* root = new testing_support::TestContainer();
  CLoadingUI* spinner = new CLoadingUI();
  explicit Spinning(const wchar_t* time) {
    spinner->SetAttribute(L"time", time);
    root->Add(spinner, RECT{0, 0, 40, 40});
    window.manager().AttachRootControl(root);
  }
};

TEST(LoadingTimer, TheRealTimerStepsTheRing) {
  Spinning s(L"50");
  ASSERT_EQ(s.spinner->GetSpokeAngles().size(), 10u);
  s.spinner->Init();  // a second Init starts no second timer
  int steps = 0;
  int last = s.spinner->GetCurrentSpoke();
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 600) {
    testing_support::PumpFor(10);
    const int now = s.spinner->GetCurrentSpoke();
    if (now != last) {
      steps += (now - last + 10) % 10;
      last = now;
    }
  }
  // 12 ticks of 50 ms in 600 ms. Loose below for a busy machine; a second timer would double it.
  EXPECT_GE(steps, 4);
  EXPECT_LE(steps, 16);
}

TEST(LoadingTimer, ATimeOfZeroDrawsAStillRing) {
  Spinning s(L"0");
  testing_support::PumpFor(300);
  EXPECT_EQ(s.spinner->GetCurrentSpoke(), 0);
}

}  // namespace
