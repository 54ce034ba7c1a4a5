#include "vellum/core/image/image_draw_info.h"

#include <gtest/gtest.h>

#include "vellum/core/base/dpi_scaler.h"

namespace {

using Vellum::CDpiScaler;
using Vellum::MakeImageDest;
using Vellum::TImageDrawInfo;

CDpiScaler ScalerAt(int dpi) {
  CDpiScaler scaler;
  scaler.SetScale(dpi);
  return scaler;
}

void ExpectRect(const RECT& actual, const RECT& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST(ImageDrawInfo, EveryKeyFillsItsField) {
  TImageDrawInfo info;
  info.Parse(L"file='skin/btn.png' restype='PNG' dest='1,2,30,40' source='0,0,20,10' "
             L"corner='2,3,4,5' mask='#FFFF00FF' fade='128' hole='true' xtiled='TRUE' "
             L"ytiled='True' hsl='true' size='16,12' align='right bottom' padding='1,2,3,4'",
             nullptr, ScalerAt(96));
  EXPECT_EQ(info.name, L"skin/btn.png");
  EXPECT_EQ(info.res_type, L"PNG");
  ExpectRect(info.dest, {1, 2, 30, 40});
  ExpectRect(info.source, {0, 0, 20, 10});
  ExpectRect(info.corner, {2, 3, 4, 5});
  EXPECT_EQ(info.mask, 0xFFFF00FFu);
  EXPECT_EQ(info.fade, 128);
  EXPECT_TRUE(info.hole);
  EXPECT_TRUE(info.xtiled);
  EXPECT_TRUE(info.ytiled);
  EXPECT_TRUE(info.hsl);
  EXPECT_FALSE(info.gdiplus);
  EXPECT_EQ(info.size.cx, 16);
  EXPECT_EQ(info.size.cy, 12);
  EXPECT_EQ(info.align, L"right bottom");
  ExpectRect(info.padding, {1, 2, 3, 4});
  EXPECT_EQ(info.rotate, 0);
  EXPECT_EQ(info.image, nullptr);

  TImageDrawInfo rotated;
  rotated.Parse(L"res='7' rotate='90' mask='80FF0000'", nullptr, ScalerAt(96));
  EXPECT_EQ(rotated.name, L"7");
  EXPECT_EQ(rotated.rotate, 90);
  EXPECT_TRUE(rotated.gdiplus) << "a rotation can only be drawn through GDI+";
  EXPECT_EQ(rotated.mask, 0x80FF0000u);

  TImageDrawInfo explicit_gdiplus;
  explicit_gdiplus.Parse(L"file='a.png' gdiplus='true'", nullptr, ScalerAt(96));
  EXPECT_TRUE(explicit_gdiplus.gdiplus);
}

TEST(ImageDrawInfo, GrammarOfItems) {
  const struct {
    const wchar_t* text;
    const wchar_t* name;
    RECT dest;
    BYTE fade;
  } cases[] = {
      {L"", L"", {0, 0, 0, 0}, 255},
      {L"img/a.png", L"img/a.png", {0, 0, 0, 0}, 255},
      // A malformed trailing item ends the parse; the items before it stay.
      {L"file='a.png' dest='0,0,16,16' trailing", L"a.png", {0, 0, 16, 16}, 255},
      {L"file='a.png' dest='0,0,16,16' fade=128", L"a.png", {0, 0, 16, 16}, 255},
      {L"file='a.png' fade='128", L"a.png", {0, 0, 0, 0}, 255},
      // The character after a closing apostrophe must be a blank, or the parse ends there.
      {L"file='a.png',fade='128'", L"a.png", {0, 0, 0, 0}, 255},
      // Blanks (and any control characters) around the key and the equals sign are skipped.
      {L"  file = 'a.png'  fade\t=\t'7'", L"a.png", {0, 0, 0, 0}, 7},
      // An empty value is ignored; the whole text stays the name.
      {L"file='' fade='9'", L"file='' fade='9'", {0, 0, 0, 0}, 9},
      // Keys compare case-sensitively: an unknown key is read and ignored.
      {L"File='b.png' Fade='9' file='c.png'", L"c.png", {0, 0, 0, 0}, 255},
      // Missing numbers of a rectangle read as 0; any one character separates them.
      {L"file='a.png' dest='5,6'", L"a.png", {5, 6, 0, 0}, 255},
      {L"file='a.png' dest='1 2;3x4'", L"a.png", {1, 2, 3, 4}, 255},
      // Numbers no image or window reaches stop at 65535 either way.
      {L"file='a.png' dest='2147483647,-2147483648,1048576,-99999999999'", L"a.png",
       {65535, -65535, 65535, -65535}, 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << testing::PrintToString(std::wstring(c.text)));
    TImageDrawInfo info;
    info.Parse(c.text, nullptr, ScalerAt(96));
    EXPECT_EQ(info.name, c.name);
    EXPECT_EQ(info.draw_string, c.text);
    ExpectRect(info.dest, c.dest);
    EXPECT_EQ(info.fade, c.fade);
  }
}

TEST(ImageDrawInfo, HugeRectanglesAreClampedBeforeTheyAreScaled) {
  TImageDrawInfo info;
  info.Parse(L"file='a.png' padding='1048576,0,0,-1048576' source='0,0,2147483647,8' "
             L"corner='2147483647,0,0,0' size='2147483647,3'",
             nullptr, ScalerAt(192));
  ExpectRect(info.padding, {131070, 0, 0, -131070});
  ExpectRect(info.source, {0, 0, 131070, 16});
  EXPECT_EQ(info.corner.left, 131070);
  EXPECT_EQ(info.size.cx, 65535);
}

TEST(ImageDrawInfo, ModifyTextOverridesTheImageText) {
  TImageDrawInfo info;
  info.Parse(L"file='strip.png' dest='0,0,10,10' fade='100' hole='true'",
             L"dest='1,1,5,5' source='0,20,10,40' hole='false'", ScalerAt(96));
  EXPECT_EQ(info.name, L"strip.png");
  EXPECT_EQ(info.modify_string, L"dest='1,1,5,5' source='0,20,10,40' hole='false'");
  ExpectRect(info.dest, {1, 1, 5, 5});
  ExpectRect(info.source, {0, 20, 10, 40});
  EXPECT_EQ(info.fade, 100);
  EXPECT_FALSE(info.hole);

  // A malformed modify text keeps its earlier items and the image text's.
  TImageDrawInfo broken;
  broken.Parse(L"file='a.png' fade='10'", L"fade='20' oops", ScalerAt(96));
  EXPECT_EQ(broken.fade, 20);
  EXPECT_EQ(broken.name, L"a.png");

  // Parsing again starts from the defaults.
  info.Parse(L"b.png", nullptr, ScalerAt(96));
  EXPECT_EQ(info.fade, 255);
  ExpectRect(info.dest, {0, 0, 0, 0});
  EXPECT_EQ(info.modify_string, L"");
}

TEST(ImageDrawInfo, RectanglesScaleAtParseAndTheNameTakesTheScale) {
  const struct {
    int dpi;
    const wchar_t* text;
    const wchar_t* name;
    RECT dest;
    RECT padding;
    SIZE size;
  } cases[] = {
      {96, L"file='img/a.png' dest='0,0,10,10' padding='2,2,2,2' size='8,8'", L"img/a.png",
       {0, 0, 10, 10}, {2, 2, 2, 2}, {8, 8}},
      {144, L"file='img/a.png' dest='0,0,10,10' padding='2,2,2,2' size='8,8'", L"img/a@150.png",
       {0, 0, 15, 15}, {3, 3, 3, 3}, {8, 8}},
      {192, L"file='img/a.png' dest='1,2,10,10' padding='2,0,2,1' size='8,8'", L"img/a@200.png",
       {2, 4, 20, 20}, {4, 0, 4, 2}, {8, 8}},
      // Every dot takes the scale; the image table falls back to the plain name.
      {144, L"img.x/a.png", L"img@150.x/a@150.png", {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    TImageDrawInfo info;
    info.Parse(c.text, nullptr, ScalerAt(c.dpi));
    EXPECT_EQ(info.name, c.name);
    ExpectRect(info.dest, c.dest);
    ExpectRect(info.padding, c.padding);
    EXPECT_EQ(info.size.cx, c.size.cx) << "size is scaled when drawn, not here";
    EXPECT_EQ(info.size.cy, c.size.cy);
  }

  TImageDrawInfo both;
  both.Parse(L"file='a.png' dest='0,0,10,10' corner='2,2,2,2' source='0,0,4,4'",
             L"dest='1,1,5,5'", ScalerAt(144));
  ExpectRect(both.dest, {2, 2, 8, 8});  // the modify text's own values (1.5 and 7.5 round up)
  ExpectRect(both.corner, {3, 3, 3, 3});
  ExpectRect(both.source, {0, 0, 6, 6});
}

TEST(ImageDrawInfo, PlacementByAlignAndPadding) {
  const RECT item{0, 0, 100, 40};
  const struct {
    const wchar_t* align;
    RECT padding;
    RECT expected;
  } cases[] = {
      {L"right bottom", {0, 0, 0, 0}, {84, 24, 100, 40}},
      {L"left top", {0, 0, 0, 0}, {0, 0, 16, 16}},
      {L"hcenter vcenter", {0, 0, 0, 0}, {42, 12, 58, 28}},
      // No word on an axis keeps the destination's own edges there.
      {L"", {0, 0, 0, 0}, {5, 6, 50, 30}},
      {L"hcenter", {0, 0, 0, 0}, {42, 6, 58, 30}},
      // Words are case-sensitive substrings.
      {L"Right Bottom", {0, 0, 0, 0}, {5, 6, 50, 30}},
      // Padding moves by left/top and back by right/bottom.
      {L"left top", {3, 2, 0, 0}, {3, 2, 19, 18}},
      {L"left top", {3, 2, 1, 1}, {2, 1, 18, 17}},
      // The result is cut at the item's right and bottom.
      {L"right bottom", {4, 4, 0, 0}, {88, 28, 100, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.align)));
    ExpectRect(MakeImageDest(item, RECT{5, 6, 50, 30}, SIZE{16, 16}, c.align, c.padding),
               c.expected);
  }
  // An item away from the origin places relative to the item.
  ExpectRect(MakeImageDest(RECT{10, 20, 110, 60}, RECT{10, 20, 110, 60}, SIZE{16, 16},
                           L"right bottom", RECT{}),
             {94, 44, 110, 60});
}

}  // namespace
