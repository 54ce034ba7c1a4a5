// The list header and its items as controls: attributes, the click and the separator drag, the
// header's own estimate and the column layout, and the text colour of the first paint.

#include "vellum/controls/list/list_header.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::NotificationRecorder;
using testing_support::SameRect;
using Vellum::CListHeaderItemUI;
using Vellum::CListHeaderUI;
using Vellum::TUIEvent;

// A header 400 x 24 with two items 100 and 150 wide, attached to a window's manager (so the
// default font is measured) that records notifications.
struct Header {
  testing_support::ManagedWindow window;
  NotificationRecorder recorder;
  CListHeaderUI* header = new CListHeaderUI();
  CListHeaderItemUI* first = new CListHeaderItemUI();
  CListHeaderItemUI* second = new CListHeaderItemUI();
  explicit Header(int dpi = 96) {
    window.manager().GetDpiScaler()->SetScale(dpi);
    window.manager().AddNotifier(&recorder);
    first->SetFixedWidth(100);
    second->SetFixedWidth(150);
    header->Add(first);
    header->Add(second);
    window.manager().AttachRootControl(header);
    Layout();
  }
  void Layout() { header->SetPos(RECT{0, 0, 400, 24}, false); }
  void Send(CListHeaderItemUI* item, int type, int x, int y = 10) {
    TUIEvent event;
    event.type = type;
    event.sender = item;
    event.mouse_point = POINT{x, y};
    item->Event(event);
  }
  size_t Clicks() const { return recorder.OfType(L"headerclick").size(); }
};

TEST(ListHeader, IdentityAndAttributes) {
  CListHeaderUI header;
  EXPECT_STREQ(header.GetClass(), L"ListHeaderUI");
  EXPECT_EQ(header.GetInterface(L"listheader"), &header);
  EXPECT_NE(header.GetInterface(L"HorizontalLayout"), nullptr);
  header.SetAttribute(L"ScaleHeader", L"TRUE");
  EXPECT_TRUE(header.IsScaleHeader());

  CListHeaderItemUI item;
  EXPECT_STREQ(item.GetClass(), L"ListHeaderItemUI");
  EXPECT_EQ(item.GetInterface(L"ListHeaderItem"), &item);
  EXPECT_NE(item.GetInterface(L"Container"), nullptr);
  EXPECT_EQ(item.GetInterface(L"HorizontalLayout"), nullptr);
  EXPECT_EQ(item.GetMinWidth(), 16);
  EXPECT_EQ(item.GetTextStyle(), static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(item.GetSepWidth(), 4);
  EXPECT_EQ(item.GetControlFlags(), Vellum::UIFLAG_SETCURSOR);

  item.SetAttribute(L"align", L"right");
  EXPECT_EQ(item.GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_RIGHT));
  item.SetAttribute(L"align", L"left");
  EXPECT_EQ(item.GetTextStyle() & (DT_CENTER | DT_RIGHT), 0u);
  item.SetAttribute(L"endellipsis", L"true");
  EXPECT_NE(item.GetTextStyle() & DT_END_ELLIPSIS, 0u);
  item.SetAttribute(L"sepwidth", L"-6");
  EXPECT_EQ(item.GetSepWidth(), -6);
  item.SetAttribute(L"textcolor", L"#FF112233");
  EXPECT_EQ(item.GetTextColor(), 0xFF112233u);
  item.SetAttribute(L"textpadding", L"1,2,3,4");
  EXPECT_TRUE(SameRect(item.GetTextPadding(), RECT{1, 2, 3, 4}));
  item.SetAttribute(L"scale", L"30");
  EXPECT_EQ(item.GetScale(), 30);
  item.SetAttribute(L"sepimage", L"sep.png");
  EXPECT_STREQ(item.GetSepImage(), L"sep.png");
  item.SetAttribute(L"width", L"70");  // the layout's attributes still apply
  EXPECT_EQ(item.GetFixedWidth(), 70);

  item.SetAttribute(L"sepwidth", L"0");
  EXPECT_EQ(item.GetControlFlags(), 0u);
  item.SetAttribute(L"sepwidth", L"4");
  item.SetEnabled(false);
  EXPECT_EQ(item.GetControlFlags(), 0u);
}

TEST(ListHeader, APressOnTheTitleClicksAndOnTheSeparatorStartsADrag) {
  const struct {
    const char* name;
    int x;          // in the first item (0..100), strip 96..100, grip from 92
    bool dragable;
    int sep_width;
    size_t clicks;
    bool dragging;
  } cases[] = {
      {"title", 50, true, 4, 1, false},
      {"strip", 98, true, 4, 0, true},
      {"grip inside the strip", 93, true, 4, 0, true},
      {"strip of an item that may not be dragged", 98, false, 4, 0, false},
      {"no separator: the edge is title", 98, true, 0, 1, false},
  };
  for (const auto& c : cases) {
    Header h;
    h.first->SetDragable(c.dragable);
    h.first->SetSepWidth(c.sep_width);
    h.Send(h.first, Vellum::UIEVENT_BUTTONDOWN, c.x);
    EXPECT_EQ(h.Clicks(), c.clicks) << c.name;
    EXPECT_EQ((h.first->GetButtonState() & CListHeaderItemUI::kStateDragging) != 0, c.dragging)
        << c.name;
    h.Send(h.first, Vellum::UIEVENT_BUTTONUP, c.x);
    EXPECT_EQ(h.first->GetButtonState() & (Vellum::UISTATE_PUSHED | CListHeaderItemUI::kStateDragging),
              0u)
        << c.name;
  }
}

TEST(ListHeader, DraggingTheSeparatorResizesTheColumn) {
  const struct {
    const char* name;
    int dpi;
    int to_x;           // pointer taken at x 98 of the first item
    int stored_width;   // as written for 96 DPI
    int device_width;   // after the header's next layout
  } cases[] = {
      {"widen", 96, 128, 130, 130},
      {"narrow", 96, 48, 50, 50},
      {"not down to the minimum width", 96, 14, 100, 100},
      // At 150 % the column is 150 device pixels; 30 more make 180, stored as 120.
      {"at 150 % the pointer's width is kept", 144, 128, 120, 180},
  };
  for (const auto& c : cases) {
    Header h(c.dpi);
    const int edge = h.first->GetPos().right;
    h.Send(h.first, Vellum::UIEVENT_BUTTONDOWN, edge - 2);
    h.Send(h.first, Vellum::UIEVENT_MOUSEMOVE, edge - 2 + (c.to_x - 98));
    h.Send(h.first, Vellum::UIEVENT_BUTTONUP, edge - 2 + (c.to_x - 98));
    h.Layout();
    EXPECT_EQ(h.first->GetFixedWidth(), h.window.manager().GetDpiScaler()->Scale(c.stored_width))
        << c.name;
    EXPECT_EQ(h.first->GetPos().right - h.first->GetPos().left, c.device_width) << c.name;
    EXPECT_EQ(h.second->GetPos().left, h.first->GetPos().right) << c.name;
  }
}

TEST(ListHeader, ALeftEdgeSeparatorDragsTheLeftEdge) {
  Header h;
  h.second->SetSepWidth(-4);
  h.Send(h.second, Vellum::UIEVENT_BUTTONDOWN, 101);
  h.Send(h.second, Vellum::UIEVENT_MOUSEMOVE, 121);  // the left edge moves right: narrower
  EXPECT_EQ(h.second->GetFixedWidth(), 130);
  h.second->SetAttribute(L"dragable", L"false");  // ends the drag in progress
  h.Send(h.second, Vellum::UIEVENT_MOUSEMOVE, 141);
  EXPECT_EQ(h.second->GetFixedWidth(), 130);
}

TEST(ListHeader, HeightEstimatesFollowTheDefaultFont) {
  Header h;
  const Vellum::TUIFontInfo* font = h.window.manager().GetDefaultFontInfo();
  ASSERT_NE(font, nullptr);
  const int text_height = font->tm.tmHeight;
  EXPECT_EQ(h.first->EstimateSize(SIZE{400, 24}).cy, text_height + 14);
  EXPECT_GE(h.header->EstimateSize(SIZE{400, 0}).cy, text_height + 6);
  // The width is the sum of the items' widths, never less than what is available.
  EXPECT_EQ(h.header->EstimateSize(SIZE{100, 0}).cx, 250);
  EXPECT_EQ(h.header->EstimateSize(SIZE{400, 0}).cx, 400);
  h.header->SetFixedHeight(30);
  EXPECT_EQ(h.header->EstimateSize(SIZE{400, 0}).cy, 30);
}

TEST(ListHeader, ScaleHeaderItemsTakeTheirPercentOfTheWidth) {
  Header h;
  h.header->SetScaleHeader(true);
  h.first->SetScale(30);
  h.second->SetScale(70);
  h.Layout();
  EXPECT_TRUE(SameRect(h.first->GetPos(), RECT{0, 0, 120, 24}));
  EXPECT_TRUE(SameRect(h.second->GetPos(), RECT{120, 0, 400, 24}));
}

TEST(ListHeader, AnItemWithoutTextColourPaintsInTheDefaultFontColour) {
  Header h;
  h.window.manager().SetDefaultFontColor(0xFF0000FF);
  h.first->SetText(L"HHHHHHHH");
  h.first->SetTextPadding(RECT{0, 0, 0, 0});
  testing_support::Surface surface(400, 24, 0xFFFFFFFF);
  h.first->Paint(surface.dc(), RECT{0, 0, 400, 24});
  EXPECT_EQ(h.first->GetTextColor(), 0xFF0000FFu);
  // Smoothed edges blend with the white; the strokes themselves are blue.
  int blue = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 100; ++x) {
      const DWORD pixel = surface.At(x, y);
      const int b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
      if (b > 200 && r < 80 && g < 80) ++blue;
    }
  }
  EXPECT_GT(blue, 5);
}

}  // namespace
