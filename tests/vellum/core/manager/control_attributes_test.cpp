#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;

TEST(ControlAttributes, EachNameReachesItsSetterWithItsValueSyntax) {
  const struct {
    const wchar_t* list;
    std::function<void(CControlUI&)> check;
  } cases[] = {
      {L"pos=\"-1,10,30,40\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetFixedXY().cx, 30);
         EXPECT_EQ(c.GetFixedXY().cy, 10);
         EXPECT_EQ(c.GetFixedWidth(), 31);
         EXPECT_EQ(c.GetFixedHeight(), 30);
       }},
      {L"pos=\"5,6,25,46\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetFixedXY().cx, 5);
         EXPECT_EQ(c.GetFixedXY().cy, 6);
         EXPECT_EQ(c.GetFixedWidth(), 20);
         EXPECT_EQ(c.GetFixedHeight(), 40);
       }},
      {L"bordersize=\"2\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetBorderSize(), 2);
         const RECT sides = c.GetBorderRect();
         EXPECT_TRUE(sides.left == 0 && sides.top == 0 && sides.right == 0 && sides.bottom == 0);
       }},
      {L"leftbordersize=\"3\" bordersize=\"2\"",
       [](CControlUI& c) { EXPECT_EQ(c.GetBorderRect().left, 0); }},  // the uniform form zeroes the sides
      {L"bordersize=\"4\" bordersize=\"1,0,1,0\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetBorderSize(), 4);
         const RECT sides = c.GetBorderRect();
         EXPECT_TRUE(sides.left == 1 && sides.top == 0 && sides.right == 1 && sides.bottom == 0);
       }},
      {L"topbordersize=\"2\" rightbordersize=\"3\" bottombordersize=\"4\" leftbordersize=\"1\"",
       [](CControlUI& c) {
         const RECT sides = c.GetBorderRect();
         EXPECT_TRUE(sides.left == 1 && sides.top == 2 && sides.right == 3 && sides.bottom == 4);
       }},
      {L"floatalign=\"null,right\"", [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 2u); }},
      {L"floatalign=\"right bottom\" floatalign=\"center,vcenter\"",
       [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 5u); }},  // from 10 to 5
      {L"float=\"TRUE\"", [](CControlUI& c) { EXPECT_TRUE(c.IsFloat()); }},
      {L"float=\"true\" float=\"1\"", [](CControlUI& c) { EXPECT_FALSE(c.IsFloat()); }},
      {L"float=\"0.5,0,1,0.2\"",
       [](CControlUI& c) {
         EXPECT_TRUE(c.IsFloat());
         const TFloatPercent p = c.GetFloatPercent();
         EXPECT_DOUBLE_EQ(p.left, 0.5);
         EXPECT_DOUBLE_EQ(p.top, 0.0);
         EXPECT_DOUBLE_EQ(p.right, 1.0);
         EXPECT_DOUBLE_EQ(p.bottom, 0.2);
       }},
      {L"bkcolor=\" #80112233\" bordercolor=\" #80112233\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetBkColor(), 0x80112233u);
         EXPECT_EQ(c.GetBorderColor(), 0u);
       }},
      {L"bkcolor1=\"#FF000001\" bkcolor2=\"FF000002\" bkcolor3=\"#FF000003\" forecolor=\"#10203040\" "
       L"focusbordercolor=\"#FFABCDEF\" colorhsl=\"true\" gradient=\"hor\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetBkColor(), 0xFF000001u);
         EXPECT_EQ(c.GetBkColor2(), 0xFF000002u);
         EXPECT_EQ(c.GetBkColor3(), 0xFF000003u);
         EXPECT_EQ(c.GetForeColor(), 0x10203040u);
         EXPECT_EQ(c.GetFocusBorderColor(), 0xFFABCDEFu);
         EXPECT_TRUE(c.IsColorHSL());
         EXPECT_STREQ(c.GetGradient(), L"hor");
       }},
      {L"padding=\"1,2,3,4\" borderround=\"6,8\" borderstyle=\"2\"",
       [](CControlUI& c) {
         const RECT p = c.GetPadding();
         EXPECT_TRUE(p.left == 1 && p.top == 2 && p.right == 3 && p.bottom == 4);
         EXPECT_EQ(c.GetBorderRound().cx, 6);
         EXPECT_EQ(c.GetBorderRound().cy, 8);
         EXPECT_EQ(c.GetBorderStyle(), 2);
       }},
      {L"width=\"10\" height=\"20\" minwidth=\"1\" minheight=\"2\" maxwidth=\"300\" maxheight=\"400\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetFixedWidth(), 10);
         EXPECT_EQ(c.GetFixedHeight(), 20);
         EXPECT_EQ(c.GetMinWidth(), 1);
         EXPECT_EQ(c.GetMinHeight(), 2);
         EXPECT_EQ(c.GetMaxWidth(), 300);
         EXPECT_EQ(c.GetMaxHeight(), 400);
       }},
      {L"width=\"10\" width=\"-4\"", [](CControlUI& c) { EXPECT_EQ(c.GetFixedWidth(), 10); }},
      {L"bkimage=\"file='a.png'\" foreimage=\"b.png\" name=\"ok\" userdata=\"u\"",
       [](CControlUI& c) {
         EXPECT_STREQ(c.GetBkImage(), L"file='a.png'");
         EXPECT_STREQ(c.GetForeImage(), L"b.png");
         EXPECT_TRUE(c.GetName() == L"ok");
         EXPECT_TRUE(c.GetUserData() == L"u");
       }},
      {L"drag=\"true\" drop=\"True\" richevent=\"TRUE\" menu=\"true\" resourcetext=\"yes\"",
       [](CControlUI& c) {
         EXPECT_TRUE(c.IsDragEnabled());
         EXPECT_TRUE(c.IsDropEnabled());
         EXPECT_TRUE(c.IsRichEvent());
         EXPECT_TRUE(c.IsContextMenuUsed());
         EXPECT_FALSE(c.IsResourceText());
       }},
      {L"enabled=\"false\" mouse=\"false\" keyboard=\"0\" visible=\"no\"",
       [](CControlUI& c) {
         EXPECT_FALSE(c.IsEnabled());
         EXPECT_FALSE(c.IsMouseEnabled());
         EXPECT_FALSE(c.IsKeyboardEnabled());
         EXPECT_FALSE(c.IsVisible());
       }},
      {L"text=\"a{\\n}b\" tooltip=\"x<n>y\" shortcut=\"Qz\"",
       [](CControlUI& c) {
         EXPECT_TRUE(c.GetText() == L"a\nb");
         EXPECT_TRUE(c.GetToolTip() == L"x\r\ny");
         EXPECT_EQ(c.GetShortcut(), L'Q');
       }},
      {L"cursor=\"hand\" cursor=\"pointer\"", [](CControlUI& c) { EXPECT_EQ(c.GetCursor(), 32649); }},
      {L"CURSOR=\"IBeam\"", [](CControlUI& c) { EXPECT_EQ(c.GetCursor(), 32513); }},
      {L"virtualwnd=\"page\"", [](CControlUI& c) { EXPECT_TRUE(c.GetVirtualWnd() == L"page"); }},
      {L"hint=\"first\" hint=\"second\" style=\"nosuchstyle\" empty=\"\"",
       [](CControlUI& c) {
         EXPECT_STREQ(c.GetCustomAttribute(L"hint"), L"first");
         EXPECT_STREQ(c.GetCustomAttribute(L"style"), L"nosuchstyle");
         EXPECT_EQ(c.GetCustomAttribute(L"empty"), nullptr);
       }},
      {L"width=\"1\",height=\"2\" minwidth=\"3\";maxwidth=\"4\"",
       [](CControlUI& c) {
         EXPECT_EQ(c.GetFixedWidth(), 1);
         EXPECT_EQ(c.GetFixedHeight(), 2);
         EXPECT_EQ(c.GetMinWidth(), 3);
         EXPECT_EQ(c.GetMaxWidth(), 9999);  // after the semicolon nothing more is applied
       }},
  };
  for (const auto& c : cases) {
    CControlUI control;
    control.ApplyAttributeList(c.list);
    SCOPED_TRACE(testing::Message() << "list #" << (&c - cases));
    c.check(control);
  }
}

TEST(ControlAttributes, StylesComeFromTheAttachedManager) {
  CPaintManagerUI manager;
  manager.AddStyle(L"wide", L"width=\"80\" bkcolor=\"#FF00FF00\"");
  manager.AddStyle(L"tall", L"height=\"90\" style=\"wide\"");

  CControlUI control;
  control.SetManager(&manager, nullptr, false);
  control.SetAttribute(L"style", L"tall");
  EXPECT_EQ(control.GetFixedWidth(), 80);
  EXPECT_EQ(control.GetFixedHeight(), 90);
  EXPECT_EQ(control.GetBkColor(), 0xFF00FF00u);
  EXPECT_EQ(control.GetCustomAttribute(L"style"), nullptr);

  // An inner style is a list of its own, as the skin's XML hands it over (quotes decoded).
  control.SetAttribute(L"innerstyle", L"minwidth=\"7\" minheight=\"8\"");
  EXPECT_EQ(control.GetMinWidth(), 7);
  EXPECT_EQ(control.GetMinHeight(), 8);

  // A whole list that names a style applies the style.
  CControlUI other;
  other.SetManager(&manager, nullptr, false);
  other.ApplyAttributeList(L"wide");
  EXPECT_EQ(other.GetFixedWidth(), 80);

  // Detached, the same name is only a custom attribute.
  CControlUI detached;
  detached.SetAttribute(L"style", L"tall");
  EXPECT_EQ(detached.GetFixedHeight(), 0);
  EXPECT_STREQ(detached.GetCustomAttribute(L"style"), L"tall");
}

TEST(ControlAttributes, StylesThatNameEachOtherInACircleEnd) {
  CPaintManagerUI manager;
  manager.AddStyle(L"ping", L"width=\"5\" style=\"pong\"");
  manager.AddStyle(L"pong", L"height=\"6\" style=\"ping\"");
  manager.AddStyle(L"self", L"self");

  CControlUI control;
  control.SetManager(&manager, nullptr, false);
  control.SetAttribute(L"style", L"ping");
  EXPECT_EQ(control.GetFixedWidth(), 5);
  EXPECT_EQ(control.GetFixedHeight(), 6);
  control.ApplyAttributeList(L"self");
  // The next list still applies: the nesting count came back down.
  control.ApplyAttributeList(L"minwidth=\"4\"");
  EXPECT_EQ(control.GetMinWidth(), 4);
}

TEST(ControlAttributes, TextSettersAndCustomAttributes) {
  CControlUI control;
  control.SetBkImage(L"a.png");
  control.SetBkImage(L"A.PNG");
  EXPECT_STREQ(control.GetBkImage(), L"A.PNG");  // compared case-sensitively
  control.SetGradient(nullptr);
  EXPECT_STREQ(control.GetGradient(), L"");
  // Reads and removal before any custom attribute exists, then refused adds that store nothing.
  EXPECT_EQ(control.GetCustomAttribute(L"k"), nullptr);
  control.RemoveAllCustomAttribute();
  control.AddCustomAttribute(nullptr, L"x");
  control.AddCustomAttribute(L"k", nullptr);
  control.AddCustomAttribute(L"k", L"");
  EXPECT_EQ(control.GetCustomAttribute(L"k"), nullptr);
  control.AddCustomAttribute(L"k", L"v");
  control.AddCustomAttribute(L"k", L"later");  // the first value stays
  control.AddCustomAttribute(L"j", L"u");
  EXPECT_STREQ(control.GetCustomAttribute(L"k"), L"v");
  EXPECT_STREQ(control.GetCustomAttribute(L"j"), L"u");
  EXPECT_EQ(control.GetCustomAttribute(L"K"), nullptr);  // names are case-sensitive
  control.RemoveAllCustomAttribute();
  EXPECT_EQ(control.GetCustomAttribute(L"k"), nullptr);
  EXPECT_EQ(control.GetCustomAttribute(L"j"), nullptr);
  control.AddCustomAttribute(L"k", L"w");
  EXPECT_STREQ(control.GetCustomAttribute(L"k"), L"w");
}

// The tooltip, user data, gradient and virtual window name read empty until set, and can be set
// again and cleared; a cleared virtual window name falls back to the parent's again.
TEST(ControlAttributes, RarelySetTextsReadEmptyUntilSetAndClear) {
  CControlUI parent;
  parent.SetVirtualWnd(L"outer");
  CControlUI control;
  control.SetManager(nullptr, &parent, false);
  EXPECT_STREQ(control.GetToolTip().GetData(), L"");
  EXPECT_TRUE(control.GetUserData().IsEmpty());
  EXPECT_STREQ(control.GetGradient(), L"");
  EXPECT_STREQ(control.GetVirtualWnd().GetData(), L"outer");
  control.SetToolTip(nullptr);
  control.SetUserData(L"");
  EXPECT_STREQ(control.GetToolTip().GetData(), L"");
  EXPECT_TRUE(control.GetUserData().IsEmpty());

  control.SetToolTip(L"a<n>b");
  control.SetUserData(L"data");
  control.SetGradient(L"hor");
  control.SetVirtualWnd(L"inner");
  EXPECT_STREQ(control.GetToolTip().GetData(), L"a\r\nb");
  EXPECT_STREQ(control.GetUserData().GetData(), L"data");
  EXPECT_STREQ(control.GetGradient(), L"hor");
  EXPECT_STREQ(control.GetVirtualWnd().GetData(), L"inner");

  control.SetToolTip(nullptr);
  control.SetUserData(L"");
  control.SetGradient(nullptr);
  control.SetVirtualWnd(L"");
  EXPECT_STREQ(control.GetToolTip().GetData(), L"");
  EXPECT_TRUE(control.GetUserData().IsEmpty());
  EXPECT_STREQ(control.GetGradient(), L"");
  EXPECT_STREQ(control.GetVirtualWnd().GetData(), L"outer");
}

}  // namespace
