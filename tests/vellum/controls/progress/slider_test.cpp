#include "vellum/controls/progress/slider.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::Rgba;
using testing_support::SameRect;
using testing_support::Surface;
using Vellum::CPaintManagerUI;
using Vellum::CSliderUI;
using Vellum::TUIEvent;

// A horizontal slider 110 pixels wide from 0 to 100 with a 10-pixel thumb (100 pixels of travel),
// attached to a windowless manager that records its notifications.
struct Slider {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  CSliderUI slider;
  explicit Slider(const RECT& pos = RECT{0, 0, 110, 20}) {
    manager.AddNotifier(&recorder);
    slider.SetManager(&manager, nullptr, false);
    slider.SetPos(pos, false);
  }
  void Send(int type, int x = 0, int y = 10, WPARAM wParam = 0) {
    TUIEvent event;
    event.type = type;
    event.sender = &slider;
    event.mouse_point = POINT{x, y};
    event.wParam = wParam;
    slider.Event(event);
  }
  size_t Count(const wchar_t* type) const { return recorder.OfType(type).size(); }
};

TEST(Slider, IdentityAttributesAndDefaults) {
  CSliderUI slider;
  EXPECT_STREQ(slider.GetClass(), L"SliderUI");
  EXPECT_EQ(slider.GetInterface(L"slider"), &slider);
  EXPECT_EQ(slider.GetInterface(L"Progress"), &slider);
  EXPECT_EQ(slider.GetTextStyle(), static_cast<UINT>(DT_SINGLELINE | DT_CENTER));
  EXPECT_EQ(slider.GetStep(), 1);
  EXPECT_EQ(slider.GetThumbSize().cx, 10);
  EXPECT_EQ(slider.GetThumbSize().cy, 10);

  slider.SetAttribute(L"ThumbSize", L"14,18");
  EXPECT_EQ(slider.GetThumbSize().cx, 14);
  EXPECT_EQ(slider.GetThumbSize().cy, 18);
  slider.SetAttribute(L"step", L"7");
  EXPECT_EQ(slider.GetStep(), 7);
  slider.SetAttribute(L"sendmove", L"true");
  EXPECT_TRUE(slider.IsSendMove());
  slider.SetAttribute(L"thumbimage", L"a.png");
  slider.SetAttribute(L"thumbhotimage", L"b.png");
  slider.SetAttribute(L"thumbpushedimage", L"c.png");
  EXPECT_STREQ(slider.GetThumbImage(), L"a.png");
  EXPECT_STREQ(slider.GetThumbHotImage(), L"b.png");
  EXPECT_STREQ(slider.GetThumbPushedImage(), L"c.png");
  slider.SetAttribute(L"max", L"500");  // the progress bar's attributes still apply
  EXPECT_EQ(slider.GetMaxValue(), 500);
}

TEST(SliderInput, APressTakesTheValueUnderThePoint) {
  const struct {
    const char* name;
    int type;
    int x;
    int value;
  } cases[] = {
      {"left + 5", Vellum::UIEVENT_BUTTONDOWN, 5, 0},
      {"left + 2", Vellum::UIEVENT_BUTTONDOWN, 2, 0},
      {"right - 5", Vellum::UIEVENT_BUTTONDOWN, 105, 100},
      {"right - 1", Vellum::UIEVENT_BUTTONDOWN, 109, 100},
      {"the middle", Vellum::UIEVENT_BUTTONDOWN, 55, 50},
      {"a double click", Vellum::UIEVENT_DBLCLICK, 35, 30},
  };
  for (const auto& c : cases) {
    Slider s;
    s.slider.SetValue(70);
    s.Send(c.type, c.x);
    EXPECT_EQ(s.slider.GetValue(), c.value) << c.name;
    EXPECT_NE(s.slider.GetButtonState() & Vellum::UISTATE_CAPTURED, 0u) << c.name;
  }
}

// Every release within the range sends "valuechanged", also one that leaves the value as it was,
// and so does every wheel turn up or down, also one the range refuses.
TEST(SliderInput, EveryReleaseInTheRangeSendsValueChanged) {
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> moves;  // event type, x
    int value;
  } cases[] = {
      {"a click on the thumb", {{Vellum::UIEVENT_BUTTONDOWN, 55}, {Vellum::UIEVENT_BUTTONUP, 55}}, 50},
      {"a click beside the thumb",
       {{Vellum::UIEVENT_BUTTONDOWN, 25}, {Vellum::UIEVENT_BUTTONUP, 25}}, 20},
      {"a drag that came back",
       {{Vellum::UIEVENT_BUTTONDOWN, 55}, {Vellum::UIEVENT_MOUSEMOVE, 85},
        {Vellum::UIEVENT_MOUSEMOVE, 55}, {Vellum::UIEVENT_BUTTONUP, 55}}, 50},
      {"a drag to another value",
       {{Vellum::UIEVENT_BUTTONDOWN, 55}, {Vellum::UIEVENT_MOUSEMOVE, 85},
        {Vellum::UIEVENT_BUTTONUP, 95}}, 90},
      {"a right button released without a press", {{Vellum::UIEVENT_RBUTTONUP, 55}}, 50},
  };
  for (const auto& c : cases) {
    Slider s;
    s.slider.SetValue(50);
    for (const auto& move : c.moves) s.Send(move.first, move.second);
    ASSERT_EQ(s.Count(L"valuechanged"), 1u) << c.name;
    EXPECT_EQ(s.recorder.OfType(L"valuechanged")[0].sender, &s.slider) << c.name;
    EXPECT_EQ(s.slider.GetValue(), c.value) << c.name;
    EXPECT_EQ(s.slider.GetButtonState() & Vellum::UISTATE_CAPTURED, 0u) << c.name;
    EXPECT_EQ(s.Count(L"movevaluechanged"), 0u) << c.name << ": send move is off";
  }
}

TEST(SliderInput, TheWheelStepsWithinTheRangeAndAlwaysNotifies) {
  const struct {
    const char* name;
    int start;
    int step;
    WORD direction;  // 0 up, 1 down
    int expected;
  } cases[] = {
      {"up", 50, 5, 0, 55},
      {"down", 50, 5, 1, 45},
      {"up to the maximum", 95, 5, 0, 100},
      {"down at the minimum stays", 0, 5, 1, 0},
      {"up past the maximum stays", 98, 5, 0, 98},
      {"down past the minimum stays", 3, 5, 1, 3},
      {"a step beyond an int stays", 50, INT_MAX, 0, 50},
  };
  for (const auto& c : cases) {
    Slider s;
    s.slider.SetStep(c.step);
    s.slider.SetValue(c.start);
    s.Send(Vellum::UIEVENT_SCROLLWHEEL, 50, 10, MAKEWPARAM(c.direction, 0));
    EXPECT_EQ(s.slider.GetValue(), c.expected) << c.name;
    EXPECT_EQ(s.Count(L"valuechanged"), 1u) << c.name;
  }
}

// A wheel event whose low word is neither turn is the control base's to handle: it goes on to the
// parent, and the slider neither moves nor reports.
TEST(SliderInput, OtherWheelEventsGoToTheControlBase) {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  manager.AddNotifier(&recorder);
  testing_support::EventLog log;
  testing_support::RecordingControl parent(L"parent", &log);
  CSliderUI slider;
  slider.SetManager(&manager, &parent, false);
  slider.SetPos(RECT{0, 0, 110, 20}, false);
  slider.SetValue(50);
  TUIEvent event;
  event.type = Vellum::UIEVENT_SCROLLWHEEL;
  event.sender = &slider;
  event.mouse_point = POINT{50, 10};
  event.wParam = MAKEWPARAM(2, 0);
  slider.DoEvent(event);
  EXPECT_EQ(slider.GetValue(), 50);
  EXPECT_TRUE(recorder.OfType(L"valuechanged").empty());
  ASSERT_EQ(log.events().size(), 1u);
  EXPECT_EQ(log.events()[0].type, Vellum::UIEVENT_SCROLLWHEEL);
}

TEST(SliderInput, SendMoveNotifiesAndUpdatesTheTextOnEveryMove) {
  Slider s;
  s.slider.SetSendMove(true);
  s.slider.SetShowText(true);
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 5);
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 30);
  EXPECT_EQ(s.slider.GetText(), L"25%");
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 45);
  EXPECT_EQ(s.slider.GetText(), L"40%");
  EXPECT_EQ(s.Count(L"movevaluechanged"), 2u);
  s.Send(Vellum::UIEVENT_BUTTONUP, 45);
  EXPECT_EQ(s.Count(L"valuechanged"), 1u);
  // Without a held thumb a move only tracks the hot state.
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 90);
  EXPECT_EQ(s.Count(L"movevaluechanged"), 2u);
  EXPECT_EQ(s.slider.GetValue(), 40);
}

TEST(SliderInput, HotCapturedAndDisabledStates) {
  Slider s;
  s.slider.SetValue(50);  // thumb at 50..60
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 55);
  EXPECT_EQ(s.slider.GetButtonState(), static_cast<UINT>(Vellum::UISTATE_HOT));
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 20);
  EXPECT_EQ(s.slider.GetButtonState(), 0u);
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 55);
  s.Send(Vellum::UIEVENT_MOUSELEAVE, 200);
  EXPECT_EQ(s.slider.GetButtonState(), 0u);

  // The program cannot move a held thumb.
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 55);
  s.slider.SetValue(10);
  EXPECT_EQ(s.slider.GetValue(), 50);

  // Disabling while held clears hot and captured; the disabled slider ignores the mouse.
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 55);
  s.slider.SetEnabled(false);
  EXPECT_EQ(s.slider.GetButtonState(), 0u);
  s.Send(Vellum::UIEVENT_BUTTONUP, 90);
  s.Send(Vellum::UIEVENT_SCROLLWHEEL, 90, 10, MAKEWPARAM(0, 0));
  EXPECT_EQ(s.slider.GetValue(), 50);
  EXPECT_EQ(s.Count(L"valuechanged"), 0u);
  s.slider.SetValue(10);
  EXPECT_EQ(s.slider.GetValue(), 10);
}

TEST(SliderInput, AnEmptyRangeBeforeAnyPaintDividesByNothing) {
  Slider s;
  s.slider.SetMinValue(5);
  s.slider.SetMaxValue(5);
  s.slider.SetSendMove(true);
  s.slider.SetShowText(true);
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 55);
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 80);
  s.Send(Vellum::UIEVENT_BUTTONUP, 80);
  EXPECT_GE(s.slider.GetValue(), 5);
  EXPECT_LE(s.slider.GetValue(), 6);
  EXPECT_EQ(s.slider.GetText().Find(L"nan"), -1);
  // 5..6 over 100 pixels: short of the right end the value stays 5.
  EXPECT_EQ(s.slider.GetValue(), 5);
  EXPECT_PRED2(SameRect, s.slider.GetThumbRect(), (RECT{0, 5, 10, 15}));
}

TEST(SliderInput, MouseEventsOfAMouseDisabledSliderGoToItsParent) {
  CPaintManagerUI manager;
  testing_support::EventLog log;
  testing_support::RecordingControl parent(L"parent", &log);
  CSliderUI slider;
  slider.SetManager(&manager, &parent, false);
  slider.SetPos(RECT{0, 0, 110, 20}, false);
  slider.SetMouseEnabled(false);
  TUIEvent event;
  event.type = Vellum::UIEVENT_BUTTONDOWN;
  event.mouse_point = POINT{90, 10};
  slider.DoEvent(event);
  EXPECT_EQ(slider.GetValue(), 0);
  EXPECT_EQ(slider.GetButtonState(), 0u);
  ASSERT_EQ(log.events().size(), 1u);
  EXPECT_EQ(log.events()[0].type, Vellum::UIEVENT_BUTTONDOWN);
}

// The thumb is scaled with the window, and a press reads the value through that same thumb.
TEST(SliderInput, AtTwiceTheScaleThePressUsesTheScaledThumb) {
  Slider s(RECT{0, 0, 220, 40});
  s.manager.SetDPI(192);
  s.slider.SetValue(50);
  // 20-pixel thumb, 200 pixels of travel.
  ASSERT_PRED2(SameRect, s.slider.GetThumbRect(), (RECT{100, 10, 120, 30}));
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 110, 20);
  s.Send(Vellum::UIEVENT_BUTTONUP, 110, 20);
  EXPECT_EQ(s.slider.GetValue(), 50);
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 10, 20);  // half a scaled thumb from the left
  EXPECT_EQ(s.slider.GetValue(), 0);
  s.Send(Vellum::UIEVENT_BUTTONUP, 210, 20);
  EXPECT_EQ(s.slider.GetValue(), 100);
}

// Thumb images in the working folder: normal red, hot green, pushed blue.
class SliderThumbPaint : public ::testing::Test {
 protected:
  static void Write(const wchar_t* name, Rgba colour) {
    const std::string png = testing_support::EncodePng(4, 4, std::vector<Rgba>(16, colour));
    FILE* file = _wfopen(name, L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(png.data(), 1, png.size(), file);
    fclose(file);
  }
  void SetUp() override {
    Write(L"slider_test_normal.png", Rgba{255, 0, 0, 255});
    Write(L"slider_test_hot.png", Rgba{0, 255, 0, 255});
    Write(L"slider_test_pushed.png", Rgba{0, 0, 255, 255});
  }
  void TearDown() override {
    DeleteFileW(L"slider_test_normal.png");
    DeleteFileW(L"slider_test_hot.png");
    DeleteFileW(L"slider_test_pushed.png");
  }
  // The colour at the centre of the thumb and the inked columns of the middle row.
  static DWORD ThumbCentre(Slider& s, std::pair<int, int>* inked) {
    Surface surface(110, 20, 0xFFFFFFFF);
    s.slider.Paint(surface.dc(), RECT{0, 0, 110, 20});
    const RECT thumb = s.slider.GetThumbRect();
    int first = -1;
    int last = -1;
    for (int x = 0; x < 110; ++x) {
      if ((surface.At(x, 10) & 0xFFFFFF) == 0xFFFFFF) continue;
      if (first < 0) first = x;
      last = x;
    }
    *inked = {first, last};
    return surface.At((thumb.left + thumb.right) / 2, 10) & 0xFFFFFF;
  }
};

TEST_F(SliderThumbPaint, TheThumbImageFollowsTheState) {
  Slider s;
  s.slider.SetThumbImage(L"slider_test_normal.png");
  s.slider.SetValue(30);
  std::pair<int, int> inked;
  EXPECT_EQ(ThumbCentre(s, &inked), 0xFF0000u) << "normal";
  EXPECT_EQ(inked, std::make_pair(30, 39));
  // Without a hot image the normal one stands in.
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 35);
  EXPECT_EQ(ThumbCentre(s, &inked), 0xFF0000u) << "hot without a hot image";
  s.slider.SetThumbHotImage(L"slider_test_hot.png");
  s.slider.SetThumbPushedImage(L"slider_test_pushed.png");
  EXPECT_EQ(ThumbCentre(s, &inked), 0x00FF00u) << "hot";
  s.Send(Vellum::UIEVENT_BUTTONDOWN, 35);
  EXPECT_EQ(ThumbCentre(s, &inked), 0x0000FFu) << "pushed";
  s.Send(Vellum::UIEVENT_MOUSEMOVE, 75);
  EXPECT_EQ(ThumbCentre(s, &inked), 0x0000FFu) << "dragged";
  EXPECT_EQ(inked, std::make_pair(70, 79));
}

}  // namespace
