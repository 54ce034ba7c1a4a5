// The text-with-links control in a shown window (needs a display): links laid out by its paint,
// clicked and hovered with real input.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/text/text.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/render/render_engine.h"

namespace {

using namespace Vellum;
using testing_support::ManagedWindow;
using testing_support::TestContainer;

const RECT kTextRect{10, 10, 590, 70};

class NotifyRecorder : public INotifyUI {
 public:
  void Notify(TUINotification& msg) override {
    if (msg.type == L"link") links.push_back(static_cast<int>(msg.wParam));
  }
  std::vector<int> links;
};

// Records the events that reach it, so a test can see what a child passes up.
class RecordingContainer : public TestContainer {
 public:
  void DoEvent(TUIEvent& event) override { events.push_back(event.type); }
  std::vector<int> events;
};

std::wstring TenLinks() {
  std::wstring text;
  for (int i = 0; i < 10; ++i) {
    text += L"<a l" + std::to_wstring(i) + L">L" + std::to_wstring(i) + L"</a> ";
  }
  return text;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = new RecordingContainer();
    text_ = new CTextUI();
    text_->SetAttribute(L"showhtml", L"true");
    text_->SetText(L"Go <a home>home</a> or <a docs>the docs</a> now");
    root_->Add(text_, kTextRect);
    window_.manager().AttachRootControl(root_);
    window_.manager().AddNotifier(&recorder_);
    window_.ShowAndPaint();
  }
  void TearDown() override { window_.manager().RemoveNotifier(&recorder_); }

  POINT ToScreen(POINT client) {
    ::ClientToScreen(window_.hwnd(), &client);
    return client;
  }
  void Repaint() {
    window_.manager().Invalidate();
    window_.PaintNow();
  }
  void Send(int type, POINT point) {
    TUIEvent event;
    event.type = type;
    event.sender = text_;
    event.mouse_point = point;
    text_->Event(event);
  }
  // Clicks at a client point and waits until the window has the button's release.
  void ClickAt(POINT client) {
    const int released = window_.SeenCount(WM_LBUTTONUP);
    ASSERT_TRUE(testing_support::ClickAt(ToScreen(client)));
    ASSERT_TRUE(testing_support::WaitUntil([&] { return window_.SeenCount(WM_LBUTTONUP) > released; }, 2000))
        << "the click at " << client.x << "," << client.y << " never reached the window";
    testing_support::PumpFor(20);
  }
  void HoverAt(POINT client) {
    const POINT screen = ToScreen(client);
    ::SetCursorPos(screen.x, screen.y);
    testing_support::PumpFor(150);
  }

  // Topmost: windows of tests running beside this one must not catch its clicks.
  ManagedWindow window_{false, 600, 80, WS_EX_TOPMOST};
  RecordingContainer* root_ = nullptr;
  CTextUI* text_ = nullptr;
  NotifyRecorder recorder_;
};

TEST(TextDefaults, MultiLineWithSmallSidePaddingAndTheTextNames) {
  CTextUI text;
  EXPECT_STREQ(text.GetClass(), L"TextUI");
  EXPECT_EQ(text.GetInterface(L"TEXT"), &text);
  EXPECT_EQ(text.GetInterface(L"Label"), &text);
  EXPECT_EQ(text.GetTextStyle(), static_cast<UINT>(DT_WORDBREAK));
  const RECT padding = text.GetTextPadding();
  EXPECT_EQ(padding.left, 2);
  EXPECT_EQ(padding.right, 2);
  EXPECT_EQ(padding.top, 0);
  EXPECT_EQ(padding.bottom, 0);
  EXPECT_EQ(text.GetControlFlags(), 0u);  // no links known yet
}

TEST_F(TextTest, PaintRecordsEachLinkAndAClickSendsItsIndex) {
  ASSERT_EQ(text_->GetLinkCount(), 2);
  EXPECT_EQ(text_->GetLinkText(0), L"home");
  EXPECT_EQ(text_->GetLinkText(1), L"docs");
  EXPECT_EQ(text_->GetControlFlags(), UIFLAG_SETCURSOR);
  const RECT home = text_->GetLinkRect(0);
  const RECT docs = text_->GetLinkRect(1);
  EXPECT_LT(home.right, docs.left);

  ClickAt(Centre(docs));
  ClickAt(Centre(home));
  EXPECT_EQ(recorder_.links, (std::vector<int>{1, 0}));

  // Between the links and beside the text: no link.
  recorder_.links.clear();
  ClickAt(POINT{(home.right + docs.left) / 2, Centre(home).y});
  ClickAt(POINT{kTextRect.right - 5, kTextRect.bottom - 5});
  EXPECT_TRUE(recorder_.links.empty());
}

TEST_F(TextTest, OnlyTheFirstEightOfTenLinksCanBeClicked) {
  text_->SetText(TenLinks().c_str());
  Repaint();
  ASSERT_EQ(text_->GetLinkCount(), CTextUI::kMaxLinks);

  // Where all ten are drawn, measured with room for ten.
  RECT all[10] = {};
  CUIString targets[10];
  int count = 10;
  RECT rect = kTextRect;
  rect.left += 2;
  rect.right -= 2;
  testing_support::Surface surface(600, 80, 0xFFFFFFFF);
  CRenderUI::DrawHtmlText(surface.dc(), &window_.manager(), rect, TenLinks().c_str(), 0xFF000000, all,
                          targets, count, -1, DT_WORDBREAK);
  ASSERT_EQ(count, 10);
  for (int i = 0; i < CTextUI::kMaxLinks; ++i) {
    const RECT tracked = text_->GetLinkRect(i);
    EXPECT_TRUE(::EqualRect(&all[i], &tracked)) << "link " << i;
  }

  for (int i = 0; i < 10; ++i) ClickAt(Centre(all[i]));
  EXPECT_EQ(recorder_.links, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(TextTest, HandCursorAndHoverOnlyOverALink) {
  const RECT home = text_->GetLinkRect(0);
  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);

  HoverAt(Centre(home));
  EXPECT_EQ(::GetCursor(), hand);
  EXPECT_EQ(text_->GetHoveredLink(), 0);
  HoverAt(POINT{kTextRect.right - 5, kTextRect.bottom - 5});
  EXPECT_EQ(::GetCursor(), arrow);
  EXPECT_EQ(text_->GetHoveredLink(), -1);

  // Leaving the control forgets the hovered link.
  HoverAt(Centre(text_->GetLinkRect(1)));
  EXPECT_EQ(text_->GetHoveredLink(), 1);
  Send(UIEVENT_MOUSELEAVE, POINT{0, 0});
  EXPECT_EQ(text_->GetHoveredLink(), -1);
}

// Pixels of the window inside rect whose colour is mostly the given primary (0 red, 1 green).
int InkedPixels(HWND window, const RECT& rect, int primary) {
  HDC dc = ::GetDC(window);
  int inked = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      const COLORREF c = ::GetPixel(dc, x, y);
      const int main = primary == 0 ? GetRValue(c) : GetGValue(c);
      const int other = primary == 0 ? GetGValue(c) : GetRValue(c);
      if (main > 150 && other < 100 && GetBValue(c) < 100) ++inked;
    }
  }
  ::ReleaseDC(window, dc);
  return inked;
}

TEST_F(TextTest, HoveringALinkRepaintsItInTheHoverColour) {
  window_.manager().SetDefaultLinkFontColor(0xFFFF0000);
  window_.manager().SetDefaultLinkHoverFontColor(0xFF00FF00);
  HoverAt(POINT{kTextRect.right - 5, kTextRect.bottom - 5});
  Repaint();
  const RECT docs = text_->GetLinkRect(1);
  ASSERT_GT(InkedPixels(window_.hwnd(), docs, 0), 0);
  EXPECT_EQ(InkedPixels(window_.hwnd(), docs, 1), 0);

  // Nothing but the move asks for the repaint.
  HoverAt(Centre(docs));
  EXPECT_GT(InkedPixels(window_.hwnd(), docs, 1), 0);
  EXPECT_EQ(InkedPixels(window_.hwnd(), docs, 0), 0);
}

TEST_F(TextTest, WithoutTaggedTextThereAreNoLinksNoHandAndNoClicks) {
  const RECT home = text_->GetLinkRect(0);
  text_->SetAttribute(L"showhtml", L"false");
  Repaint();
  EXPECT_EQ(text_->GetLinkCount(), 0);
  EXPECT_EQ(text_->GetControlFlags(), 0u);

  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  ::SetCursor(arrow);
  HoverAt(Centre(home));
  EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  ClickAt(Centre(home));
  EXPECT_TRUE(recorder_.links.empty());

  // An empty text forgets its links too.
  text_->SetAttribute(L"showhtml", L"true");
  Repaint();
  ASSERT_EQ(text_->GetLinkCount(), 2);
  text_->SetText(L"");
  Repaint();
  EXPECT_EQ(text_->GetLinkCount(), 0);
}

TEST_F(TextTest, EventRulesByControlState) {
  const POINT on_link = Centre(text_->GetLinkRect(1));
  const POINT off_link{kTextRect.right - 5, kTextRect.bottom - 5};
  struct Case {
    const char* label;
    bool enabled;
    bool mouse_enabled;
    int type;
    POINT point;
    std::vector<int> links;         // "link" notifications
    std::vector<int> parent_events; // what reached the parent
  };
  const Case cases[] = {
      {"button up on a link", true, true, UIEVENT_BUTTONUP, on_link, {1}, {}},
      // Not a link event: it travels up as any control's does.
      {"button up beside the links", true, true, UIEVENT_BUTTONUP, off_link, {}, {UIEVENT_BUTTONUP}},
      {"disabled", false, true, UIEVENT_BUTTONUP, on_link, {}, {UIEVENT_BUTTONUP}},
      {"mouse disabled: passed up", true, false, UIEVENT_BUTTONUP, on_link, {}, {UIEVENT_BUTTONUP}},
      {"context menu swallowed", true, true, UIEVENT_CONTEXTMENU, on_link, {}, {}},
      {"wheel passed up", true, true, UIEVENT_SCROLLWHEEL, on_link, {}, {UIEVENT_SCROLLWHEEL}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    text_->SetEnabled(c.enabled);
    text_->SetMouseEnabled(c.mouse_enabled);
    recorder_.links.clear();
    root_->events.clear();
    Send(c.type, c.point);
    window_.Pump();
    EXPECT_EQ(recorder_.links, c.links);
    EXPECT_EQ(root_->events, c.parent_events);
  }
  text_->SetEnabled(false);
  EXPECT_EQ(text_->GetControlFlags(), 0u);
}

TEST_F(TextTest, AutomaticWidthIsTheMeasuredTextPlusBothPaddings) {
  text_->SetText(L"Some words to measure");
  text_->SetAttribute(L"autocalcwidth", L"true");
  text_->SetFixedHeight(20);
  const SIZE text_size = CRenderUI::GetTextSize(window_.manager().GetPaintDC(), &window_.manager(),
                                                L"Some words to measure", -1);
  const SIZE estimate = text_->EstimateSize(SIZE{600, 80});
  EXPECT_EQ(estimate.cx, text_size.cx + 4);
  EXPECT_EQ(estimate.cy, 20);  // the fixed height: the measured one is not used
  EXPECT_EQ(text_->GetFixedWidth(), text_size.cx + 4);

  // At 150 % the width is stored unscaled, so that reading it back gives the measured width plus
  // the scaled paddings again (less what the division dropped).
  window_.manager().SetDPI(144);
  const SIZE scaled_size = CRenderUI::GetTextSize(window_.manager().GetPaintDC(), &window_.manager(),
                                                  L"Some words to measure", -1);
  const SIZE scaled_estimate = text_->EstimateSize(SIZE{900, 120});
  EXPECT_LE(std::abs(scaled_estimate.cx - (scaled_size.cx + 6)), 1)
      << scaled_estimate.cx << " for a text of " << scaled_size.cx;
  EXPECT_EQ(scaled_estimate.cy, 30);
}

}  // namespace
