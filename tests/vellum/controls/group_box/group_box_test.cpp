#include "vellum/controls/group_box/group_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/vellum/support/container_test_controls.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::ManagedWindow;
using testing_support::SameRect;
using testing_support::Surface;
using testing_support::TestContainer;
using Vellum::CGroupBoxUI;

constexpr int kWidth = 120;
constexpr int kHeight = 60;
constexpr DWORD kPaper = 0xFFFFFFFF;
constexpr DWORD kFill = 0xFFFFFF00;  // the group box's background
constexpr DWORD kLine = 0xFFFF0000;
constexpr DWORD kInk = 0xFF000080;

struct Boxed {
  ManagedWindow window;
  CGroupBoxUI* box = new CGroupBoxUI();
  Boxed() {
    auto* root = new TestContainer();
    root->Add(box, RECT{0, 0, kWidth, kHeight});
    window.manager().AttachRootControl(root);
    box->SetPos(RECT{0, 0, kWidth, kHeight}, false);
    box->SetBkColor(kFill);
    box->SetAttribute(L"textcolor", L"#FF000080");
    box->SetAttribute(L"disabledtextcolor", L"FF808080");
    box->SetBorderColor(kLine);
  }
};

struct Painted {
  DWORD top_line;     // on the top frame line, right of any title
  DWORD left_line;    // on the left frame line
  DWORD corner;       // the frame's top-left corner
  DWORD under_title;  // on the top frame line where a title would be
  int ink_left;       // the title's ink in the text colour, -1 for none
  int ink_top;
};

Painted Paint(CGroupBoxUI& box, DWORD ink_colour = kInk) {
  Surface surface(kWidth, kHeight, kPaper);
  box.Paint(surface.dc(), RECT{0, 0, kWidth, kHeight});
  Painted p{surface.At(100, 5), surface.At(5, 30), surface.At(5, 5), surface.At(24, 5), -1, -1};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      // GDI text leaves the alpha byte alone: the colour only.
      if ((surface.At(x, y) & 0xFFFFFF) != (ink_colour & 0xFFFFFF)) continue;
      p.ink_left = p.ink_left < 0 ? x : std::min(p.ink_left, x);
      p.ink_top = p.ink_top < 0 ? y : std::min(p.ink_top, y);
    }
  }
  return p;
}

TEST(GroupBoxPaint, FrameAndTitle) {
  const struct {
    const char* name;
    const wchar_t* text;
    int border;
    SIZE round;
    DWORD top_line, left_line, corner, under_title;
    bool title;
  } cases[] = {
      // Without a border size only the title is drawn.
      {"title only", L"Group", 0, {0, 0}, kFill, kFill, kFill, kFill, true},
      // The title, painted again after the frame, covers the line.
      {"frame and title", L"Group", 1, {0, 0}, kLine, kLine, kLine, kFill, true},
      {"frame without title", L"", 1, {0, 0}, kLine, kLine, kLine, kLine, false},
      {"round frame", L"Group", 1, {12, 12}, kLine, kLine, kFill, kFill, true},
  };
  for (const auto& c : cases) {
    Boxed b;
    b.box->SetText(c.text);
    b.box->SetBorderSize(c.border);
    b.box->SetBorderRound(c.round);
    const Painted p = Paint(*b.box);
    EXPECT_EQ(p.top_line, c.top_line) << c.name;
    EXPECT_EQ(p.left_line, c.left_line) << c.name;
    EXPECT_EQ(p.corner, c.corner) << c.name;
    EXPECT_EQ(p.under_title, c.under_title) << c.name;
    if (c.title) {
      // Starts 20 pixels in (15 past the frame) at the top of the box.
      EXPECT_GE(p.ink_left, 20) << c.name;
      EXPECT_LE(p.ink_left, 24) << c.name;
      EXPECT_GE(p.ink_top, 0) << c.name;
      EXPECT_LE(p.ink_top, 8) << c.name;
    } else {
      EXPECT_EQ(p.ink_left, -1) << c.name;
    }
  }
}

TEST(GroupBoxPaint, ADisabledBoxTakesTheDisabledTextColour) {
  Boxed b;
  b.box->SetText(L"Group");
  b.box->SetEnabled(false);
  EXPECT_EQ(Paint(*b.box, kInk).ink_left, -1);
  EXPECT_GE(Paint(*b.box, 0xFF808080).ink_left, 20);
}

TEST(GroupBox, InsetAttributesAndIdentity) {
  CGroupBoxUI box;
  EXPECT_TRUE(SameRect(box.GetInset(), RECT{20, 25, 20, 20}));
  EXPECT_EQ(box.GetTextStyle(), static_cast<UINT>(DT_SINGLELINE | DT_VCENTER | DT_CENTER));
  EXPECT_EQ(box.GetFont(), -1);

  box.SetAttribute(L"TextColor", L"#FF112233");
  EXPECT_EQ(box.GetTextColor(), 0xFF112233u);
  box.SetAttribute(L"textcolor", L"FF445566");
  EXPECT_EQ(box.GetTextColor(), 0xFF445566u);
  box.SetAttribute(L"DISABLEDTEXTCOLOR", L"#80808080");
  EXPECT_EQ(box.GetDisabledTextColor(), 0x80808080u);
  box.SetAttribute(L"font", L"3");
  EXPECT_EQ(box.GetFont(), 3);
  // Everything also reaches the layout.
  box.SetAttribute(L"inset", L"1,2,3,4");
  EXPECT_TRUE(SameRect(box.GetInset(), RECT{1, 2, 3, 4}));

  EXPECT_STREQ(box.GetClass(), L"GroupBoxUI");
  EXPECT_EQ(box.GetInterface(L"groupbox"), static_cast<void*>(&box));
  EXPECT_NE(box.GetInterface(L"VerticalLayout"), nullptr);
}

}  // namespace
