// A slider in a real window driven with real mouse input: the paint manager's events reach the
// slider and its notifications reach the window's notifier.

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/progress/slider.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::PumpFor;

bool SendMouse(DWORD flags, POINT screen = POINT{0, 0}, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  }
  return SendInput(1, &input, sizeof(input)) == 1;
}

// A 220 x 40 window holding one slider (0 to 100, 10-pixel thumb, step 5) over its whole client area.
struct SliderWindow {
  testing_support::ManagedWindow window{false, 220, 40};
  testing_support::TestContainer* root = new testing_support::TestContainer();
  Vellum::CSliderUI* slider = new Vellum::CSliderUI();
  NotificationRecorder recorder;
  SliderWindow() {
    slider->SetStep(5);
    root->Add(slider, RECT{0, 0, 220, 40});
    window.manager().AttachRootControl(root);
    window.manager().AddNotifier(&recorder);
    window.ShowAndPaint();
  }
  POINT Screen(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(window.hwnd(), &point);
    return point;
  }
  void MoveTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Screen(x, y));
    PumpFor(60);
  }
};

TEST(SliderWindow, ADragWithTheMouseEndsInOneValueChanged) {
  SliderWindow w;
  ASSERT_NE(w.window.hwnd(), nullptr);
  ASSERT_EQ(w.slider->GetPos().right, 220);
  w.MoveTo(5, 20);
  ASSERT_TRUE(SendMouse(MOUSEEVENTF_LEFTDOWN));
  PumpFor(60);
  EXPECT_EQ(w.slider->GetValue(), 0);
  w.MoveTo(107, 20);  // 102 of 210 pixels of travel: 48.57, truncated
  EXPECT_EQ(w.slider->GetValue(), 48);
  w.MoveTo(110, 20);
  ASSERT_TRUE(SendMouse(MOUSEEVENTF_LEFTUP));
  PumpFor(60);
  EXPECT_EQ(w.slider->GetValue(), 50);
  const auto changed = w.recorder.OfType(L"valuechanged");
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].sender, w.slider);

  // The wheel turned towards the user steps down by the step.
  const DWORD notch = static_cast<DWORD>(-WHEEL_DELTA);
  ASSERT_TRUE(SendMouse(MOUSEEVENTF_WHEEL, POINT{0, 0}, notch));
  PumpFor(100);
  EXPECT_EQ(w.slider->GetValue(), 45);
  EXPECT_EQ(w.recorder.OfType(L"valuechanged").size(), 2u);
}

}  // namespace
