// Painting of real windows (needs the test session's display): layout on demand, the off-screen
// bitmap, update rectangles, layered windows, forward tab order after a layout, and rendering a
// control into a bitmap.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/vellum/support/image_fixtures.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

using testing_support::EventLog;
using testing_support::ManagedWindow;
using testing_support::RecordingControl;
using testing_support::TestContainer;

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;

COLORREF WindowPixel(HWND window, int x, int y) {
  HDC dc = ::GetDC(window);
  const COLORREF pixel = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return pixel;
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT point{x, y};
  ::ClientToScreen(window, &point);
  HDC dc = ::GetDC(nullptr);
  const COLORREF pixel = ::GetPixel(dc, point.x, point.y);
  ::ReleaseDC(nullptr, dc);
  return pixel;
}

// The manager's off-screen pixel (top-down, the client width wide).
DWORD OffscreenPixel(ManagedWindow& window, int x, int y) {
  RECT client{};
  ::GetClientRect(window.hwnd(), &client);
  const DWORD* bits = window.manager().GetOffscreenBits();
  return bits != nullptr ? bits[y * client.right + x] : 0xDEADBEEFu;
}

struct TypeRecorder : INotifyUI {
  void Notify(TUINotification& msg) override { types.push_back(msg.type.GetData()); }
  std::vector<std::wstring> types;
};

// Paints one GDI rectangle in blue: GDI leaves the alpha byte 0.
class GdiFillControl : public CControlUI {
 public:
  void PaintText(HDC dc) override {
    HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 255));
    ::FillRect(dc, &GetPos(), brush);
    ::DeleteObject(brush);
  }
};

// A 100 x 50 window: a red root with a green child "a" at (10,10)-(30,30) and a tab stop "b".
class PaintManagerPainting : public testing::Test {
 protected:
  PaintManagerPainting() : window_(false, 100, 50) {}

  void SetUp() override {
    ASSERT_NE(window_.hwnd(), nullptr);
    root_ = new TestContainer;
    root_->SetBkColor(kRed);
    a_ = new RecordingControl(L"a", &log_, UIFLAG_TABSTOP);
    a_->SetBkColor(kGreen);
    b_ = new RecordingControl(L"b", &log_, UIFLAG_TABSTOP);
    root_->Add(a_, RECT{10, 10, 30, 30});
    root_->Add(b_, RECT{60, 10, 80, 30});
    m().AddNotifier(&types_);
  }
  void TearDown() override { m().RemoveNotifier(&types_); }

  CPaintManagerUI& m() { return window_.manager(); }

  ManagedWindow window_;
  EventLog log_;
  TypeRecorder types_;
  TestContainer* root_ = nullptr;
  RecordingControl* a_ = nullptr;
  RecordingControl* b_ = nullptr;
};

TEST_F(PaintManagerPainting, TheFirstPaintLaysOutSendsWindowInitThenWindowSize) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  ASSERT_GE(types_.types.size(), 2u);
  EXPECT_EQ(types_.types[0], L"windowinit");
  EXPECT_EQ(types_.types[1], L"windowsize");
  EXPECT_EQ(root_->GetPos().right, 100) << "the root fills the client area";
  EXPECT_EQ(a_->GetPos().left, 10);
  EXPECT_EQ(WindowPixel(window_.hwnd(), 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(WindowPixel(window_.hwnd(), 15, 15), RGB(0, 255, 0));
  EXPECT_EQ(OffscreenPixel(window_, 15, 15), kGreen);
}

TEST_F(PaintManagerPainting, AnInvalidatedControlRepaintsInTheSameOffscreenBitmap) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  const HBITMAP first = m().GetOffscreenBitmap();
  ASSERT_NE(first, nullptr);
  types_.types.clear();

  a_->SetBkColor(kBlue);  // invalidates only a
  window_.PaintNow();
  EXPECT_EQ(WindowPixel(window_.hwnd(), 15, 15), RGB(0, 0, 255));
  EXPECT_EQ(WindowPixel(window_.hwnd(), 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(m().GetOffscreenBitmap(), first) << "no layout: the bitmap is reused";
  EXPECT_EQ(std::count(types_.types.begin(), types_.types.end(), L"windowsize"), 0)
      << "no layout, no windowsize";

  // A layout of the root makes the next paint lay out again.
  root_->NeedUpdate();
  window_.PaintNow();
  EXPECT_EQ(std::count(types_.types.begin(), types_.types.end(), L"windowsize"), 1);
  EXPECT_NE(m().GetOffscreenBitmap(), nullptr);
}

// Only the floating control needs a new layout; its parent stands away from the window's corner,
// so a parent-relative place taken for a window place would move it.
TEST_F(PaintManagerPainting, AFloatingControlLaidOutAloneKeepsItsPlaceInItsParent) {
  auto* parent = new CContainerUI();
  root_->Add(parent, RECT{40, 5, 95, 45});
  auto* floating = new CControlUI();
  floating->SetBkColor(kBlue);
  floating->SetFloat(true);
  floating->SetFixedXY(SIZE{5, 20});
  floating->SetFixedWidth(10);
  floating->SetFixedHeight(10);
  parent->Add(floating);
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  const RECT placed{45, 25, 55, 35};
  ASSERT_TRUE(::EqualRect(&floating->GetPos(), &placed));

  for (int repaint = 0; repaint < 2; ++repaint) {
    floating->NeedUpdate();
    window_.PaintNow();
    EXPECT_TRUE(::EqualRect(&floating->GetPos(), &placed))
        << "repaint " << repaint << ": " << floating->GetPos().left << "," << floating->GetPos().top;
    EXPECT_EQ(WindowPixel(window_.hwnd(), 50, 30), RGB(0, 0, 255)) << "repaint " << repaint;
  }
}

TEST_F(PaintManagerPainting, ShowDirtyOutlinesTheUpdateRectangle) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  m().SetShowUpdateRect(true);
  m().Invalidate(RECT{40, 5, 50, 45});
  window_.PaintNow();
  EXPECT_EQ(WindowPixel(window_.hwnd(), 40, 20), RGB(220, 0, 0));
  EXPECT_EQ(WindowPixel(window_.hwnd(), 45, 20), RGB(255, 0, 0));
  EXPECT_EQ(OffscreenPixel(window_, 40, 20), kRed) << "the outline is not part of the picture";
}

TEST_F(PaintManagerPainting, AWindowWithoutRootPaintsBlack) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  ASSERT_EQ(WindowPixel(window_.hwnd(), 5, 5), RGB(255, 0, 0));
  window_.ReplaceManager();
  ::InvalidateRect(window_.hwnd(), nullptr, FALSE);
  window_.PaintNow();
  EXPECT_EQ(WindowPixel(window_.hwnd(), 5, 5), RGB(0, 0, 0));
  window_.manager().AddNotifier(&types_);  // TearDown removes it
}

TEST_F(PaintManagerPainting, ForwardTabWaitsForTheLayoutThenWraps) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  // Before the first paint a forward tab only asks for one.
  EXPECT_TRUE(m().SetNextTabControl(true));
  EXPECT_EQ(m().GetFocus(), nullptr);
  window_.ShowAndPaint();
  // The first paint lays out; the pending tab runs at the paint after it.
  m().Invalidate();
  window_.PaintNow();
  EXPECT_EQ(m().GetFocus(), a_);
  m().SetNextTabControl(true);
  EXPECT_EQ(m().GetFocus(), b_);
  m().SetNextTabControl(true);
  EXPECT_EQ(m().GetFocus(), a_) << "wraps to the first tab stop";
}

TEST_F(PaintManagerPainting, RenderedControlBitmaps) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  EXPECT_EQ(CRenderUI::RenderControlToBitmap(nullptr, a_, a_->GetPos()), nullptr);
  struct Case {
    DWORD background;
    DWORD expected;
  };
  // A background with alpha is blended over the copy.
  const Case cases[] = {{0, kGreen}, {0xFF0000FFu, kBlue}};
  for (const Case& c : cases) {
    HBITMAP bitmap = CRenderUI::RenderControlToBitmap(&m(), a_, a_->GetPos(), c.background);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 20);
    EXPECT_EQ(dib.dsBm.bmHeight, 20);
    const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    EXPECT_EQ(bits[0] & 0x00FFFFFFu, c.expected & 0x00FFFFFFu);
    EXPECT_EQ(bits[19 * 20 + 19] & 0x00FFFFFFu, c.expected & 0x00FFFFFFu);
    ::DeleteObject(bitmap);
  }
  // Larger than 8192 by 4096: refused at once.
  const DWORD started = ::GetTickCount();
  EXPECT_EQ(CRenderUI::RenderControlToBitmap(&m(), a_, RECT{0, 0, 8193, 4097}), nullptr);
  EXPECT_LT(::GetTickCount() - started, 1000u);
  // The window up to a stop control: the root's red where a would have been green.
  HBITMAP window = CRenderUI::RenderWindowToBitmap(&m(), RECT{0, 0, 100, 50}, a_);
  ASSERT_NE(window, nullptr);
  DIBSECTION dib{};
  ::GetObjectW(window, sizeof(dib), &dib);
  const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
  EXPECT_EQ(bits[15 * 100 + 15] & 0x00FFFFFFu, kRed & 0x00FFFFFFu);
  ::DeleteObject(window);
}

// A control far from the window origin renders as it does near it, into a bitmap of its own size:
// rounded clips, gradients, borders and text of a small tree, moved 400,000 pixels down (a bitmap
// from the window origin to there would be over 37 million pixels).
TEST_F(PaintManagerPainting, AControlFarAwayRendersAsItDoesNearTheOrigin) {
  CSkinBuilder builder;
  CControlUI* tree = builder.Create(
      L"<Window><HorizontalLayout bkcolor=\"#FF3060A0\" bkcolor2=\"#FFA0C0E0\" bordersize=\"2\" "
      L"bordercolor=\"#FF000000\" borderround=\"12,12\" inset=\"4,4,4,4\">"
      L"<Label text=\"Far away\" textcolor=\"#FFFFFFFF\" bkcolor=\"#FF008000\" borderround=\"6,6\"/>"
      L"<Label text=\"{b}ok{/b}\" showhtml=\"true\" bordersize=\"1\" bordercolor=\"#FFFF00FF\"/>"
      L"</HorizontalLayout></Window>",
      nullptr, nullptr, &m());
  ASSERT_NE(tree, nullptr);
  root_->Add(tree, RECT{0, 0, 90, 40});
  ASSERT_TRUE(m().AttachRootControl(root_));
  window_.ShowAndPaint();
  const auto render_at = [&](int left, int top) {
    const RECT place{left, top, left + 90, top + 40};
    tree->SetPos(place, false);
    std::vector<DWORD> pixels;
    HBITMAP bitmap = CRenderUI::RenderControlToBitmap(&m(), tree, place);
    if (bitmap == nullptr) return pixels;
    DIBSECTION dib{};
    if (::GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmWidth == 90 &&
        dib.dsBm.bmHeight == 40) {
      const DWORD* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
      pixels.assign(bits, bits + 90 * 40);
    }
    ::DeleteObject(bitmap);
    return pixels;
  };
  const std::vector<DWORD> near_origin = render_at(3, 5);
  ASSERT_EQ(near_origin.size(), 90u * 40u);
  EXPECT_NE(std::count(near_origin.begin(), near_origin.end(), near_origin[45 * 1 + 20 * 90]), 90 * 40)
      << "the picture is not blank";
  const std::vector<DWORD> far_away = render_at(3, 400005);
  ASSERT_EQ(far_away.size(), near_origin.size()) << "no bitmap";
  int differing = 0;
  for (size_t i = 0; i < near_origin.size(); ++i) differing += near_origin[i] != far_away[i];
  EXPECT_EQ(differing, 0);
}

// ---- Layered windows ----

class PaintManagerLayered : public PaintManagerPainting {
 protected:
  void MakeLayered() {
    m().SetLayered(true);
    ASSERT_TRUE(m().IsLayered());
  }
};

TEST_F(PaintManagerLayered, GdiDrawingBecomesOpaqueAndUntouchedPixelsStayTransparent) {
  root_->SetBkColor(0);
  auto* gdi = new GdiFillControl;
  root_->Add(gdi, RECT{40, 10, 60, 30});
  ASSERT_TRUE(m().AttachRootControl(root_));
  MakeLayered();
  window_.ShowAndPaint();
  EXPECT_NE(::GetWindowLongPtrW(window_.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(OffscreenPixel(window_, 50, 20), 0xFF0000FFu) << "GDI blue made opaque";
  EXPECT_EQ(OffscreenPixel(window_, 5, 40), 0u) << "untouched stays transparent";
  EXPECT_EQ(OffscreenPixel(window_, 15, 15), kGreen);
  EXPECT_EQ(ScreenPixel(window_.hwnd(), 50, 20), RGB(0, 0, 255));
  EXPECT_EQ(ScreenPixel(window_.hwnd(), 15, 15), RGB(0, 255, 0));
}

// The off-screen bitmap is top-down: a partial repaint clears and repaints only its own rows.
TEST_F(PaintManagerLayered, APartialRepaintKeepsTheOtherRows) {
  ASSERT_TRUE(m().AttachRootControl(root_));
  MakeLayered();
  window_.ShowAndPaint();
  ASSERT_EQ(OffscreenPixel(window_, 50, 45), kRed);
  ASSERT_EQ(OffscreenPixel(window_, 50, 2), kRed);
  m().Invalidate(RECT{0, 0, 100, 5});
  window_.PaintNow();
  for (int y : {0, 4, 5, 40, 45, 49}) {
    EXPECT_EQ(OffscreenPixel(window_, 50, y), kRed) << "row " << y;
  }
  EXPECT_EQ(ScreenPixel(window_.hwnd(), 50, 47), RGB(255, 0, 0));
}

TEST_F(PaintManagerLayered, TheLayeredImageShapesTheWindow) {
  // Left half fully transparent, right half opaque.
  std::vector<testing_support::Rgba> pixels;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      pixels.push_back(x < 5 ? testing_support::Rgba{0, 0, 0, 0}
                             : testing_support::Rgba{255, 255, 255, 255});
    }
  }
  testing_support::TempDir dir;
  const std::wstring path = dir.File(L"shape.png");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, testing_support::EncodePng(10, 10, pixels)));

  root_->SetBkColor(0xFFFFFFFFu);
  a_->SetBkColor(0);
  ASSERT_TRUE(m().AttachRootControl(root_));
  MakeLayered();
  m().SetLayeredImage((L"file='" + path + L"'").c_str());
  window_.ShowAndPaint();
  EXPECT_EQ(OffscreenPixel(window_, 10, 25), 0u) << "alpha 0 in the image: transparent";
  EXPECT_EQ(OffscreenPixel(window_, 90, 25), 0xFFFFFFFFu);
  EXPECT_EQ(ScreenPixel(window_.hwnd(), 90, 25), RGB(255, 255, 255));
}

// A native child window of a layered window is printed into the picture, opaque where it drew.
TEST_F(PaintManagerLayered, NativeChildWindowsArePrintedIn) {
  root_->SetBkColor(0);
  a_->SetBkColor(0);
  ASSERT_TRUE(m().AttachRootControl(root_));
  MakeLayered();
  HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_WHITERECT, 40, 10,
                                 20, 20, window_.hwnd(), nullptr, ::GetModuleHandleW(nullptr),
                                 nullptr);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(m().AddNativeWindow(a_, child));
  EXPECT_FALSE(m().AddNativeWindow(a_, child)) << "listed once";
  window_.ShowAndPaint();
  const RECT place = m().GetChildWindowRect(child);
  EXPECT_EQ(place.left, 40);
  EXPECT_EQ(place.top, 10);
  EXPECT_EQ(OffscreenPixel(window_, 50, 20) >> 24, 0xFFu) << "printed and made opaque";
  EXPECT_EQ(OffscreenPixel(window_, 80, 40), 0u);

  // A child that is gone leaves the list at the next paint.
  ::DestroyWindow(child);
  m().Invalidate();
  window_.PaintNow();
  EXPECT_FALSE(m().RemoveNativeWindow(child));
}

}  // namespace
}  // namespace Vellum
