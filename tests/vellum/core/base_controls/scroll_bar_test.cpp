#include "vellum/core/base_controls/scroll_bar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::PumpFor;
using testing_support::SameRect;
using testing_support::Surface;
using Vellum::CContainerUI;
using Vellum::CControlUI;
using Vellum::CPaintManagerUI;
using Vellum::CScrollBarUI;
using Vellum::CVerticalLayoutUI;
using Vellum::TUIEvent;

void Send(CScrollBarUI& bar, int type, int x = 0, int y = 0, WPARAM wParam = 0) {
  TUIEvent event;
  event.type = type;
  event.mouse_point = POINT{x, y};
  event.wParam = wParam;
  bar.DoEvent(event);
}

void Tick(CScrollBarUI& bar) {
  Send(bar, Vellum::UIEVENT_TIMER, 0, 0, CScrollBarUI::kRepeatTimerId);
}

TEST(ScrollBarPlacement, PartsTable) {
  struct Case {
    const char* name;
    RECT pos;
    bool horizontal;
    bool button1;
    int range;
    int position;
    RECT b1, b2, thumb;
  };
  const Case cases[] = {
      {"top", {0, 0, 16, 200}, false, true, 100, 0, {0, 0, 16, 16}, {0, 184, 16, 200},
       {0, 16, 16, 128}},
      {"middle", {0, 0, 16, 200}, false, true, 100, 50, {0, 0, 16, 16}, {0, 184, 16, 200},
       {0, 44, 16, 156}},
      {"end", {0, 0, 16, 200}, false, true, 100, 100, {0, 0, 16, 16}, {0, 184, 16, 200},
       {0, 72, 16, 184}},
      {"range 0 fills the track", {0, 0, 16, 200}, false, true, 0, 0, {0, 0, 16, 16},
       {0, 184, 16, 200}, {0, 16, 16, 184}},
      {"a long range keeps the thumb a square", {0, 0, 16, 200}, false, true, 10000, 10000,
       {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 168, 16, 184}},
      {"no room for a thumb", {0, 0, 16, 40}, false, true, 100, 0, {0, 0, 16, 16},
       {0, 24, 16, 40}, {0, 0, 0, 0}},
      {"no room: buttons share the length", {0, 0, 16, 20}, false, true, 100, 0, {0, 0, 16, 10},
       {0, 10, 16, 20}, {0, 0, 0, 0}},
      {"hidden first button", {0, 0, 16, 200}, false, false, 0, 0, {0, 0, 0, 0},
       {0, 184, 16, 200}, {0, 0, 16, 184}},
      {"horizontal", {0, 0, 200, 16}, true, true, 100, 50, {0, 0, 16, 16}, {184, 0, 200, 16},
       {44, 0, 156, 16}},
      // Length times track passes the 32-bit range: the thumb still takes its share.
      {"a bar longer than 46341 pixels", {0, 0, 16, 100000}, false, true, 100000, 0,
       {0, 0, 16, 16}, {0, 99984, 16, 100000}, {0, 16, 16, 50000}},
      {"a bar 2^31-1 pixels long", {0, -2147483647, 16, 0}, false, true, 2147483647, 0,
       {0, -2147483647, 16, -2147483631}, {0, -16, 16, 0}, {0, -2147483631, 16, -1073741824}},
      {"a horizontal bar longer than 46341 pixels", {0, 0, 100000, 16}, true, true, 100000, 0,
       {0, 0, 16, 16}, {99984, 0, 100000, 16}, {16, 0, 50000, 16}},
  };
  for (const Case& c : cases) {
    CScrollBarUI bar;
    bar.SetHorizontal(c.horizontal);
    bar.SetShowButton1(c.button1);
    bar.SetScrollRange(c.range);
    bar.SetScrollPos(c.position);
    bar.SetPos(c.pos, false);
    EXPECT_PRED2(SameRect, bar.GetButton1Rect(), c.b1) << c.name;
    EXPECT_PRED2(SameRect, bar.GetButton2Rect(), c.b2) << c.name;
    EXPECT_PRED2(SameRect, bar.GetThumbRect(), c.thumb) << c.name;
  }
}

TEST(ScrollBarAttributes, RangeAndValueStayInOrder) {
  CScrollBarUI bar;
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  bar.SetAttribute(L"range", L"50");
  bar.SetAttribute(L"value", L"80");
  EXPECT_EQ(bar.GetScrollPos(), 50);
  bar.SetAttribute(L"range", L"20");
  EXPECT_EQ(bar.GetScrollPos(), 20);
  bar.SetAttribute(L"range", L"-5");
  EXPECT_EQ(bar.GetScrollRange(), 0);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  bar.SetAttribute(L"value", L"-3");
  EXPECT_EQ(bar.GetScrollPos(), 0);

  bar.SetAttribute(L"HOR", L"True");
  EXPECT_TRUE(bar.IsHorizontal());
  EXPECT_EQ(bar.GetFixedWidth(), 0);
  EXPECT_EQ(bar.GetFixedHeight(), 16);
  bar.SetAttribute(L"hor", L"false");
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  EXPECT_EQ(bar.GetFixedHeight(), 0);

  bar.SetAttribute(L"linesize", L"-4");
  EXPECT_EQ(bar.GetLineSize(), -4);  // stored as given; the owner guards its division
  bar.SetAttribute(L"showbutton2", L"false");
  EXPECT_FALSE(bar.GetShowButton2());
  bar.SetAttribute(L"ThumbNormalImage", L"thumb.png");
  EXPECT_STREQ(bar.GetThumbNormalImage(), L"thumb.png");
  EXPECT_STREQ(bar.GetClass(), L"ScrollBarUI");
  EXPECT_EQ(bar.GetInterface(L"scrollbar"), &bar);
}

// A free vertical bar 200 pixels long with a range of 100 and line size 8.
struct FreeBar {
  CScrollBarUI bar;
  FreeBar(int range = 100) {
    bar.SetScrollRange(range);
    bar.SetPos(RECT{0, 0, 16, 200}, false);
  }
};

TEST(ScrollBarInput, AHeldButtonStepsOnceAndRepeatsFromTheSixthTick) {
  FreeBar f;
  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 190);
  EXPECT_EQ(f.bar.GetScrollPos(), 8);
  EXPECT_NE(f.bar.GetButton2State() & Vellum::UISTATE_PUSHED, 0u);
  for (int tick = 1; tick <= 5; ++tick) {
    Tick(f.bar);
    EXPECT_EQ(f.bar.GetScrollPos(), 8) << tick;
  }
  Tick(f.bar);
  EXPECT_EQ(f.bar.GetScrollPos(), 16);
  Tick(f.bar);
  EXPECT_EQ(f.bar.GetScrollPos(), 24);
  Send(f.bar, Vellum::UIEVENT_BUTTONUP, 8, 190);
  EXPECT_EQ(f.bar.GetButton2State() & Vellum::UISTATE_PUSHED, 0u);
  Tick(f.bar);  // a stray tick after release moves nothing
  EXPECT_EQ(f.bar.GetScrollPos(), 24);

  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 5);
  EXPECT_EQ(f.bar.GetScrollPos(), 16);
  Send(f.bar, Vellum::UIEVENT_BUTTONUP, 8, 5);
}

TEST(ScrollBarInput, TheRailPagesByTheBarLength) {
  FreeBar f(500);
  EXPECT_PRED2(SameRect, f.bar.GetThumbRect(), (RECT{0, 16, 16, 64}));
  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 150);
  EXPECT_EQ(f.bar.GetScrollPos(), 200);
  Send(f.bar, Vellum::UIEVENT_BUTTONUP, 8, 150);
  EXPECT_PRED2(SameRect, f.bar.GetThumbRect(), (RECT{0, 64, 16, 112}));
  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 30);
  EXPECT_EQ(f.bar.GetScrollPos(), 0);
  Send(f.bar, Vellum::UIEVENT_BUTTONUP, 8, 30);
}

TEST(ScrollBarInput, TheThumbFollowsTheMouseOnTheNextTick) {
  FreeBar f;
  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 20);
  EXPECT_NE(f.bar.GetThumbState() & Vellum::UISTATE_CAPTURED, 0u);
  Send(f.bar, Vellum::UIEVENT_MOUSEMOVE, 8, 48);  // 28 of the 56 free pixels
  EXPECT_EQ(f.bar.GetScrollPos(), 0);
  Tick(f.bar);
  EXPECT_EQ(f.bar.GetScrollPos(), 50);
  Send(f.bar, Vellum::UIEVENT_MOUSEMOVE, 8, 300);
  Tick(f.bar);
  EXPECT_EQ(f.bar.GetScrollPos(), 100);
  Send(f.bar, Vellum::UIEVENT_BUTTONUP, 8, 300);
  EXPECT_EQ(f.bar.GetThumbState() & (Vellum::UISTATE_CAPTURED | Vellum::UISTATE_PUSHED), 0u);

  // With range 0 the thumb fills the track and dragging it changes nothing.
  FreeBar empty(0);
  Send(empty.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 100);
  Send(empty.bar, Vellum::UIEVENT_MOUSEMOVE, 8, 150);
  Tick(empty.bar);
  EXPECT_EQ(empty.bar.GetScrollPos(), 0);
  Send(empty.bar, Vellum::UIEVENT_BUTTONUP, 8, 150);
}

TEST(ScrollBarInput, AThumbDragFollowsTheMouseAtTwiceTheScale) {
  CPaintManagerUI manager;
  manager.SetDPI(192);
  CScrollBarUI bar;
  bar.SetManager(&manager, nullptr, false);
  bar.SetScrollRange(100);
  bar.SetPos(RECT{0, 0, 32, 400}, false);
  // Buttons 32 pixels, track 336, thumb 400 * 336 / 500 = 268: 68 pixels to travel.
  ASSERT_PRED2(SameRect, bar.GetThumbRect(), (RECT{0, 32, 32, 300}));
  Send(bar, Vellum::UIEVENT_BUTTONDOWN, 16, 40);
  Send(bar, Vellum::UIEVENT_MOUSEMOVE, 16, 74);
  Tick(bar);
  EXPECT_EQ(bar.GetScrollPos(), 50);
  Send(bar, Vellum::UIEVENT_MOUSEMOVE, 16, 108);
  Tick(bar);
  EXPECT_EQ(bar.GetScrollPos(), 100);
  EXPECT_EQ(bar.GetThumbRect().bottom, 368);
  Send(bar, Vellum::UIEVENT_BUTTONUP, 16, 108);
}

TEST(ScrollBarInput, HotAndDisabledStates) {
  FreeBar f;
  Send(f.bar, Vellum::UIEVENT_MOUSEENTER, 8, 50);
  EXPECT_NE(f.bar.GetButton1State() & Vellum::UISTATE_HOT, 0u);
  EXPECT_NE(f.bar.GetThumbState() & Vellum::UISTATE_HOT, 0u);
  Send(f.bar, Vellum::UIEVENT_MOUSEMOVE, 8, 150);
  EXPECT_EQ(f.bar.GetThumbState() & Vellum::UISTATE_HOT, 0u);
  Send(f.bar, Vellum::UIEVENT_MOUSELEAVE, 8, 250);
  EXPECT_EQ(f.bar.GetButton1State() & Vellum::UISTATE_HOT, 0u);

  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 20);
  f.bar.SetEnabled(false);
  EXPECT_EQ(f.bar.GetThumbState(), 0u);
  Send(f.bar, Vellum::UIEVENT_BUTTONDOWN, 8, 190);  // a disabled bar does not step
  EXPECT_EQ(f.bar.GetScrollPos(), 0);
}

// A vertical layout of 120 pixels of children in 100: its bar has a range of 20.
struct OwnedBar {
  CPaintManagerUI manager;
  NotificationRecorder recorder;
  CVerticalLayoutUI layout;
  CScrollBarUI* bar = nullptr;
  OwnedBar() {
    manager.AddNotifier(&recorder);
    layout.SetManager(&manager, nullptr, false);
    layout.EnableScrollBar(true, false);
    layout.SetScrollStepSize(6);
    for (int i = 0; i < 2; ++i) {
      auto* child = new CControlUI();
      child->SetFixedHeight(60);
      layout.Add(child);
    }
    layout.SetPos(RECT{0, 0, 100, 100}, false);
    bar = layout.GetVerticalScrollBar();
  }
};

TEST(ScrollBarOwner, StepsGoThroughTheOwnerAndBothNotify) {
  OwnedBar o;
  ASSERT_NE(o.bar, nullptr);
  ASSERT_PRED2(SameRect, o.bar->GetPos(), (RECT{84, 0, 100, 100}));
  Send(*o.bar, Vellum::UIEVENT_BUTTONDOWN, 92, 95);
  EXPECT_EQ(o.layout.GetScrollPos().cy, 6);
  EXPECT_EQ(o.bar->GetScrollPos(), 6);
  const auto scrolls = o.recorder.OfType(L"scroll");
  ASSERT_EQ(scrolls.size(), 2u);
  EXPECT_EQ(scrolls[0].sender, &o.layout);
  EXPECT_EQ(scrolls[1].sender, o.bar);
  Send(*o.bar, Vellum::UIEVENT_BUTTONUP, 92, 95);

  // The thumb drag moves the owner's content.
  const RECT thumb = o.bar->GetThumbRect();
  Send(*o.bar, Vellum::UIEVENT_BUTTONDOWN, 92, thumb.top + 1);
  Send(*o.bar, Vellum::UIEVENT_MOUSEMOVE, 92, thumb.top + 200);
  Tick(*o.bar);
  EXPECT_EQ(o.layout.GetScrollPos().cy, 20);
  EXPECT_EQ(o.layout.GetItemAt(0)->GetPos().top, -20);
  Send(*o.bar, Vellum::UIEVENT_BUTTONUP, 92, thumb.top + 200);
}

// An owner that hands every event it gets back to its bar.
class BouncingContainer : public CContainerUI {
 public:
  void DoEvent(TUIEvent& event) override {
    ++received;
    if (received > 100) return;  // keeps a failing test from exhausting the stack
    if (GetVerticalScrollBar()) GetVerticalScrollBar()->DoEvent(event);
  }
  int received = 0;
};

TEST(ScrollBarOwner, AnEventHandedBackByTheOwnerDoesNotCircle) {
  BouncingContainer owner;
  owner.EnableScrollBar(true, false);
  TUIEvent key;
  key.type = Vellum::UIEVENT_KEYDOWN;
  key.key_char = VK_DOWN;
  owner.GetVerticalScrollBar()->DoEvent(key);
  EXPECT_EQ(owner.received, 1);
  // The bar still handles the next event normally.
  owner.GetVerticalScrollBar()->DoEvent(key);
  EXPECT_EQ(owner.received, 2);
}

TEST(ScrollBarPaint, WithoutImagesPartsAreOutlinedAndAHiddenBarPaintsNothing) {
  Surface surface(16, 200, 0);
  FreeBar f;
  const RECT all{0, 0, 16, 200};
  f.bar.Paint(surface.dc(), all);
  EXPECT_EQ(surface.At(0, 0) & 0xFFFFFF, 0x85E4FFu);   // button 1's outline
  EXPECT_EQ(surface.At(0, 20) & 0xFFFFFF, 0x85E4FFu);  // the thumb's
  EXPECT_EQ(surface.At(8, 150) & 0xFFFFFF, 0u);        // the bare track
  surface.Fill(0);
  f.bar.SetShow(false);
  f.bar.Paint(surface.dc(), all);
  EXPECT_EQ(surface.At(0, 0) & 0xFFFFFF, 0u);
}

TEST(ScrollBarTimer, AHeldArrowRepeatsThroughTheManagersTimer) {
  testing_support::ManagedWindow window;
  CPaintManagerUI& manager = window.manager();
  auto* layout = new CVerticalLayoutUI();
  layout->EnableScrollBar(true, false);
  layout->SetScrollStepSize(6);
  for (int i = 0; i < 10; ++i) {
    auto* child = new CControlUI();
    child->SetFixedHeight(60);
    layout->Add(child);
  }
  ASSERT_TRUE(manager.AttachRootControl(layout));
  layout->SetPos(RECT{0, 0, 100, 100}, false);
  CScrollBarUI* bar = layout->GetVerticalScrollBar();
  ASSERT_PRED2(SameRect, bar->GetPos(), (RECT{84, 0, 100, 100}));

  ::SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(92, 95));
  EXPECT_EQ(layout->GetScrollPos().cy, 6);  // one line at once
  PumpFor(150);  // about three ticks: still waiting for the sixth
  EXPECT_EQ(layout->GetScrollPos().cy, 6);
  PumpFor(600);  // then one line per tick
  const LONG held = layout->GetScrollPos().cy;
  EXPECT_GE(held, 18);
  ::SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(92, 95));
  const LONG released = layout->GetScrollPos().cy;
  PumpFor(200);
  EXPECT_EQ(layout->GetScrollPos().cy, released);
  EXPECT_EQ(bar->GetButton2State() & Vellum::UISTATE_PUSHED, 0u);
}

// An opaque red PNG in the temporary folder, removed with the fixture.
class RedPng {
 public:
  explicit RedPng(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name;
    const std::vector<testing_support::Rgba> pixels(16 * 16, testing_support::Rgba{255, 0, 0, 255});
    const std::string png = testing_support::EncodePng(16, 16, pixels);
    FILE* file = _wfopen(path_.c_str(), L"wb");
    if (file != nullptr) {
      fwrite(png.data(), 1, png.size(), file);
      fclose(file);
    }
  }
  ~RedPng() { ::DeleteFileW(path_.c_str()); }
  RedPng(const RedPng&) = delete;
  RedPng& operator=(const RedPng&) = delete;
  std::wstring Description() const { return L"file='" + path_ + L"'"; }

 private:
  std::wstring path_;
};

TEST(ScrollBarPaint, TheThumbImageCoversTheThumbAtTwiceTheScale) {
  RedPng red(L"vellum_scroll_bar_thumb.png");
  CPaintManagerUI manager;
  manager.SetDPI(192);
  CScrollBarUI bar;
  bar.SetManager(&manager, nullptr, false);
  bar.SetAttribute(L"thumbnormalimage", red.Description().c_str());
  bar.SetScrollRange(100);
  bar.SetPos(RECT{0, 0, 32, 400}, false);
  ASSERT_PRED2(SameRect, bar.GetThumbRect(), (RECT{0, 32, 32, 300}));
  Surface surface(32, 400, 0);
  bar.Paint(surface.dc(), RECT{0, 0, 32, 400});
  EXPECT_EQ(surface.At(16, 33) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(surface.At(16, 298) & 0xFFFFFF, 0xFF0000u);
  EXPECT_NE(surface.At(16, 302) & 0xFFFFFF, 0xFF0000u);  // the second button's square
  EXPECT_NE(surface.At(16, 20) & 0xFFFFFF, 0xFF0000u);   // the first button's
}

}  // namespace
