// The paint manager's tables and window attributes, on message-only windows (no display needed).

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>

#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

using testing_support::ManagedWindow;

LOGFONTW FontOf(HFONT font) {
  LOGFONTW info{};
  ::GetObjectW(font, sizeof(info), &info);
  return info;
}

class PaintManagerResources : public testing::Test {
 protected:
  void TearDown() override {
    // The shared tables outlive every manager: leave them empty for the next test.
    CPaintManagerUI cleaner;
    cleaner.RemoveAllFonts(true);
    cleaner.RemoveAllImages(true);
    cleaner.RemoveAllStyle(true);
    cleaner.RemoveAllDefaultAttributeList(true);
  }
};

TEST_F(PaintManagerResources, FontIdsFallBackToTheDefaultFont) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  TUIFontInfo* fallback = m.GetDefaultFontInfo();
  ASSERT_NE(fallback->handle, nullptr);
  EXPECT_GT(fallback->tm.tmHeight, 0) << "measured with the paint DC on first use";

  HFONT arial = m.AddFont(1, L"Arial", 14, true, false, false);
  ASSERT_NE(arial, nullptr);
  struct Case {
    int id;
    HFONT expected;
  };
  const Case cases[] = {{-1, fallback->handle}, {1, arial}, {2, fallback->handle}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(m.GetFont(c.id), c.expected);
    EXPECT_EQ(m.GetFontInfo(c.id)->handle, c.expected);
  }
  const LOGFONTW logical = FontOf(arial);
  EXPECT_EQ(logical.lfHeight, -14);
  EXPECT_EQ(logical.lfWeight, FW_BOLD);
  EXPECT_EQ(logical.lfCharSet, DEFAULT_CHARSET);

  EXPECT_EQ(m.GetFontInfo(arial)->size, 14);
  HFONT stranger = ::CreateFontW(-9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
  EXPECT_EQ(m.GetFontInfo(stranger), fallback) << "a handle of no table gives the default record";
  ::DeleteObject(stranger);

  EXPECT_EQ(m.GetFont(L"Arial", 14, true, false, false), arial);
  EXPECT_EQ(m.GetFont(L"arial", 14, true, false, false), nullptr) << "faces compare with case";
  EXPECT_EQ(m.GetFont(L"Arial", 14, false, false, false), nullptr);
}

TEST_F(PaintManagerResources, FontTablesWindowBeforeSharedAndReplacedById) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  HFONT shared = m.AddFont(5, L"Arial", 10, false, false, false, true);
  EXPECT_EQ(m.GetFont(5), shared);
  HFONT own = m.AddFont(5, L"Arial", 11, false, false, false);
  EXPECT_EQ(m.GetFont(5), own) << "the window's table is asked first";
  HFONT replaced = m.AddFont(5, L"Arial", 12, false, true, false);
  EXPECT_EQ(m.GetFont(5), replaced);
  EXPECT_EQ(m.GetFontInfo(5)->size, 12);
  EXPECT_TRUE(m.GetFontInfo(5)->underline);
  m.RemoveAllFonts();
  EXPECT_EQ(m.GetFont(5), shared);

  // A second window sees the shared font but not the first window's fonts.
  ManagedWindow other;
  EXPECT_EQ(other.manager().GetFont(5), shared);

  m.SetForceSharedResources(true);
  HFONT forced = m.AddFont(6, L"Arial", 9, false, false, false);
  EXPECT_EQ(other.manager().GetFont(6), forced);
}

TEST_F(PaintManagerResources, FontFacesAreCutAndHeightsFollowTheScale) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  m.SetDPI(144);  // 150 %
  HFONT font = m.AddFont(3, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", 12, false, false, true);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(FontOf(font).lfHeight, -18);
  EXPECT_TRUE(FontOf(font).lfItalic);
  EXPECT_EQ(m.GetFontInfo(3)->size, 12) << "the record keeps the size as written";
  EXPECT_EQ(std::wstring(m.GetFontInfo(3)->face_name.GetData()).size(), 31u);

  m.SetDefaultFont(L"Arial", 10, true, false, false);
  TUIFontInfo* info = m.GetDefaultFontInfo();
  EXPECT_STREQ(info->face_name.GetData(), L"Arial");
  EXPECT_EQ(FontOf(info->handle).lfHeight, -15);
  EXPECT_GT(info->tm.tmHeight, 0);

  // A new scale rebuilds every font from its written size.
  m.SetDPI(192);
  EXPECT_EQ(FontOf(m.GetFont(3)).lfHeight, -24);
  EXPECT_EQ(FontOf(m.GetDefaultFontInfo()->handle).lfHeight, -20);
}

TEST_F(PaintManagerResources, DefaultAttributeListsLastWinsAndStylesFirstWins) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  m.AddDefaultAttributeList(L"Button", L"width=\"1\"");
  m.AddDefaultAttributeList(L"Button", L"width=\"2\"");
  EXPECT_STREQ(m.GetDefaultAttributeList(L"Button"), L"width=\"2\"");
  EXPECT_EQ(m.GetDefaultAttributeList(L"Label"), nullptr);

  m.AddStyle(L"big", L"height=\"40\"");
  m.AddStyle(L"big", L"height=\"50\"");
  EXPECT_STREQ(m.GetStyle(L"big"), L"height=\"40\"");
  EXPECT_EQ(m.GetStyle(L"small"), nullptr);

  m.AddStyle(L"wide", L"width=\"9\"", true);
  m.AddDefaultAttributeList(L"Label", L"text=\"shared\"", true);
  ManagedWindow other;
  EXPECT_STREQ(other.manager().GetStyle(L"wide"), L"width=\"9\"");
  EXPECT_STREQ(other.manager().GetDefaultAttributeList(L"Label"), L"text=\"shared\"");
  EXPECT_EQ(other.manager().GetStyle(L"big"), nullptr);

  m.RemoveAllStyle();
  m.RemoveAllDefaultAttributeList();
  EXPECT_EQ(m.GetStyle(L"big"), nullptr);
  EXPECT_STREQ(m.GetStyle(L"wide"), L"width=\"9\"");
}

TEST_F(PaintManagerResources, OptionGroupsHoldEachControlOnce) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  CControlUI a, b;
  EXPECT_TRUE(m.AddOptionGroup(L"g", &a));
  EXPECT_TRUE(m.AddOptionGroup(L"g", &b));
  EXPECT_FALSE(m.AddOptionGroup(L"g", &a));
  ASSERT_NE(m.GetOptionGroup(L"g"), nullptr);
  EXPECT_EQ(m.GetOptionGroup(L"g")->GetSize(), 2);
  m.RemoveOptionGroup(L"g", &a);
  EXPECT_EQ(m.GetOptionGroup(L"g")->GetSize(), 1);
  m.RemoveOptionGroup(L"g", &b);
  EXPECT_EQ(m.GetOptionGroup(L"g"), nullptr) << "an emptied group goes away";
}

TEST_F(PaintManagerResources, SharedColoursReachWindowsThatKeptThem) {
  ManagedWindow first;
  ManagedWindow second;
  CPaintManagerUI& a = first.manager();
  CPaintManagerUI& b = second.manager();
  const DWORD original = a.GetDefaultFontColor();
  EXPECT_EQ(original, 0xFF000000u);
  EXPECT_EQ(a.GetDefaultDisabledColor(), 0xFFA7A6AAu);
  EXPECT_EQ(a.GetDefaultLinkFontColor(), 0xFF0000FFu);
  EXPECT_EQ(a.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
  EXPECT_EQ(a.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);

  b.SetDefaultFontColor(0xFF112233);  // the window's own colour
  a.SetDefaultFontColor(0xFF445566, true);
  EXPECT_EQ(a.GetDefaultFontColor(), 0xFF445566u) << "still equal to the old shared colour";
  EXPECT_EQ(b.GetDefaultFontColor(), 0xFF112233u);
  ManagedWindow third;
  EXPECT_EQ(third.manager().GetDefaultFontColor(), 0xFF445566u) << "later windows copy the shared";
  a.SetDefaultFontColor(original, true);
}

TEST_F(PaintManagerResources, DrawInfosAreCachedByImageAndModifyText) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  EXPECT_EQ(m.GetDrawInfo(nullptr, nullptr), nullptr);
  EXPECT_EQ(m.GetDrawInfo(L"", L""), nullptr);

  TImageDrawInfo* plain = m.GetDrawInfo(L"file='a.png' dest='0,0,10,10'");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(m.GetDrawInfo(L"file='a.png' dest='0,0,10,10'"), plain);
  TImageDrawInfo* modified = m.GetDrawInfo(L"file='a.png' dest='0,0,10,10'", L"dest='1,1,5,5'");
  ASSERT_NE(modified, nullptr);
  EXPECT_NE(modified, plain);
  EXPECT_EQ(modified->dest.left, 1);
  EXPECT_EQ(modified->dest.right, 5);
  EXPECT_EQ(plain->dest.right, 10);
  EXPECT_STREQ(plain->name.GetData(), L"a.png");

  m.RemoveAllDrawInfos();
  TImageDrawInfo* again = m.GetDrawInfo(L"file='a.png' dest='0,0,10,10'");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->dest.right, 10);
}

TEST_F(PaintManagerResources, ScaledWindowAttributes) {
  ManagedWindow window;
  CPaintManagerUI& m = window.manager();
  m.SetSizeBox(RECT{4, 4, 4, 4});
  m.SetCaptionRect(RECT{0, 0, 0, 30});
  m.SetRoundCorner(6, 6);
  m.SetMinInfo(100, 80);
  m.SetMaxInfo(0, 500);
  m.SetDPI(192);
  EXPECT_EQ(m.GetSizeBox().left, 8);
  EXPECT_EQ(m.GetCaptionRect().bottom, 60);
  EXPECT_EQ(m.GetRoundCorner().cx, 12);
  EXPECT_EQ(m.GetMinInfo().cy, 160);
  EXPECT_EQ(m.GetMaxInfo().cy, 1000);

  // WM_GETMINMAXINFO takes the sizes as written, and only where they are set.
  MINMAXINFO info{};
  info.ptMaxTrackSize = {7, 7};
  info.ptMaxSize = {7, 7};
  LRESULT result = 0;
  EXPECT_FALSE(m.MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
  EXPECT_EQ(info.ptMinTrackSize.x, 100);
  EXPECT_EQ(info.ptMinTrackSize.y, 80);
  EXPECT_EQ(info.ptMaxTrackSize.x, 7);
  EXPECT_EQ(info.ptMaxTrackSize.y, 500);
  EXPECT_EQ(info.ptMaxSize.y, 500);

  m.SetInitSize(120, 90);
  EXPECT_EQ(m.GetInitSize().cx, 120);
  RECT rect{};
  ::GetWindowRect(window.hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 120) << "without a root the window takes the size";
  EXPECT_EQ(rect.bottom - rect.top, 90);
}

TEST_F(PaintManagerResources, SetDpiResizesTheWindowAndPostsOneNotice) {
  ManagedWindow window(true, 200, 100);
  CPaintManagerUI& m = window.manager();
  window.TakeQueued(kDpiChangedMessage);
  m.SetDPI(144);
  EXPECT_EQ(m.GetDpiScaler()->GetScale(), 150);
  RECT rect{};
  ::GetWindowRect(window.hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  const std::vector<MSG> notices = window.TakeQueued(kDpiChangedMessage);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].message, static_cast<UINT>(WM_USER + 2));
}

// Before a window exists only the scale changes: nothing to move, no root to lay out, no notice.
TEST_F(PaintManagerResources, SetDpiBeforeTheWindowExistsChangesOnlyTheScale) {
  CPaintManagerUI m;
  m.AddFont(1, L"Arial", 10, false, false, false);
  m.SetDPI(192);
  EXPECT_EQ(m.GetDpiScaler()->GetScale(), 200);
  EXPECT_EQ(FontOf(m.GetFont(1)).lfHeight, -20);
  MSG msg;
  EXPECT_FALSE(::PeekMessageW(&msg, nullptr, kDpiChangedMessage, kDpiChangedMessage, PM_REMOVE));
  EXPECT_EQ(m.GetPaintWindow(), nullptr);
}

// Images and fonts live on after the manager that made them; GDI+ must outlive every manager.
TEST_F(PaintManagerResources, GdiplusOutlivesEveryManager) {
  { CPaintManagerUI first; }
  { CPaintManagerUI second; }
  Gdiplus::Bitmap bitmap(4, 4, PixelFormat32bppARGB);
  EXPECT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
  Gdiplus::Color color;
  EXPECT_EQ(bitmap.GetPixel(0, 0, &color), Gdiplus::Ok);
}

}  // namespace
}  // namespace Vellum
