#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/image_fixtures.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/shadow_kernel.h"
#include "vellum/core/window/shadow_window.h"

namespace {

using testing_support::PumpFor;
using Vellum::CPaintManagerUI;
using Vellum::CShadowUI;
using Vellum::MakeShadowKernel;
using Vellum::PaintShadow;
using Vellum::ShadowKernel;
using Vellum::ShadowSpan;
using Vellum::ShrinkShadowSpans;

int AlphaAt(const ShadowKernel& kernel, int dx, int dy) {
  const int side = 2 * kernel.radius + 1;
  return static_cast<int>(
      kernel.pixels[static_cast<size_t>(dy + kernel.radius) * side + dx + kernel.radius] >> 24);
}

TEST(ShadowKernel, AlphaFallsWithDistance) {
  const struct {
    int size, sharpness, darkness;
    int dx, dy;
    int alpha;
  } cases[] = {
      // S = 0, K = 4: the double value at distance 4 is 29.999999999999993 and truncates.
      {4, 4, 150, 0, 0, 150},
      {4, 4, 150, 3, 0, 60},
      {4, 4, 150, 0, -3, 60},
      {4, 4, 150, 4, 0, 29},
      {4, 4, 150, 3, 4, 0},  // distance 5 lies beyond K
      // S = 5, K = 10: full darkness inside S, then falling over sharpness + 1 pixels.
      {10, 5, 200, 4, 0, 200},
      {10, 5, 200, 3, 4, 200},  // distance 5 = S: the fall starts here
      {10, 5, 200, 8, 0, 100},
      {10, 5, 200, 10, 0, 33},
      // Sharper than large: K = sharpness, S = 0.
      {2, 6, 255, 0, 0, 255},
      {2, 6, 255, 6, 0, 36},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << "/" << c.sharpness << " at " << c.dx << ","
                                    << c.dy);
    const ShadowKernel kernel = MakeShadowKernel(c.size, c.sharpness,
                                                 static_cast<BYTE>(c.darkness), 0);
    EXPECT_EQ(kernel.radius, std::max(c.size, c.sharpness));
    EXPECT_EQ(kernel.solid_radius, std::max(c.size - c.sharpness, 0));
    EXPECT_EQ(AlphaAt(kernel, c.dx, c.dy), c.alpha);
  }
}

TEST(ShadowKernel, ColourIsPremultipliedByAlpha) {
  const ShadowKernel kernel = MakeShadowKernel(4, 4, 150, 0xFF8040);
  EXPECT_EQ(kernel.solid, (150u << 24) | (150u << 16) | (75u << 8) | 37u);
  const int side = 2 * kernel.radius + 1;
  const DWORD at3 = kernel.pixels[static_cast<size_t>(kernel.radius) * side + kernel.radius + 3];
  EXPECT_EQ(at3, (60u << 24) | (60u << 16) | (30u << 8) | 15u);
}

TEST(ShadowKernel, SpansShrinkByTheirNeighbours) {
  std::vector<ShadowSpan> spans(6);
  for (int y = 1; y < 5; ++y) spans[y] = ShadowSpan{2 + y % 2, 12 - y % 2};
  ShrinkShadowSpans(&spans, 1);
  // Rows next to an empty row become empty; the others take the narrowest ends, less one.
  EXPECT_TRUE(spans[0].IsEmpty());
  EXPECT_TRUE(spans[1].IsEmpty());
  EXPECT_EQ(spans[2].left, 4);
  EXPECT_EQ(spans[2].right, 10);
  EXPECT_EQ(spans[3].left, 4);
  EXPECT_EQ(spans[3].right, 10);
  EXPECT_TRUE(spans[4].IsEmpty());
  ShrinkShadowSpans(&spans, 1);
  for (const ShadowSpan& span : spans) EXPECT_TRUE(span.IsEmpty());
}

TEST(ShadowKernel, PaintingStaysInsideTheBitmap) {
  // Spans touching every edge: the stamps reach past all four sides and must be cut there.
  constexpr int kWidth = 10;
  constexpr int kHeight = 8;
  constexpr DWORD kGuard = 0xDEADBEEF;
  std::vector<DWORD> block(kWidth * kHeight + 2 * 64, kGuard);
  DWORD* pixels = block.data() + 64;
  for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0;
  std::vector<ShadowSpan> spans(kHeight, ShadowSpan{0, kWidth - 1});
  const ShadowKernel kernel = MakeShadowKernel(6, 2, 200, 0x000000);
  PaintShadow(pixels, kWidth, kHeight, spans, kernel);
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(block[i], kGuard) << "before the bitmap, " << i;
    ASSERT_EQ(block[64 + kWidth * kHeight + i], kGuard) << "after the bitmap, " << i;
  }
  // Inside the spans every pixel holds at least the solid value; the larger value wins.
  for (int i = 0; i < kWidth * kHeight; ++i) EXPECT_GE(pixels[i], kernel.solid);

  // A span beyond the block's width is clipped, not wrapped into the next row.
  std::vector<DWORD> row_block(kWidth * 3, 0);
  std::vector<ShadowSpan> wide = {ShadowSpan{}, ShadowSpan{-20, 40}, ShadowSpan{}};
  PaintShadow(row_block.data(), kWidth, 3, wide, MakeShadowKernel(0, 0, 100, 0));
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(row_block[x], 0u);
    EXPECT_EQ(row_block[kWidth + x] >> 24, 100u);
    EXPECT_EQ(row_block[2 * kWidth + x], 0u);
  }
}

TEST(ShadowSettings, OutOfRangeValuesAreRefused) {
  CShadowUI shadow;
  EXPECT_FALSE(shadow.SetSize(36));
  EXPECT_FALSE(shadow.SetSize(-36));
  EXPECT_EQ(shadow.GetSize(), 0);
  EXPECT_TRUE(shadow.SetSize(35));
  EXPECT_TRUE(shadow.SetSize(-35));
  EXPECT_EQ(shadow.GetSize(), -35);
  EXPECT_FALSE(shadow.SetSharpness(36));
  EXPECT_EQ(shadow.GetSharpness(), 5);
  EXPECT_TRUE(shadow.SetSharpness(35));
  EXPECT_FALSE(shadow.SetDarkness(256));
  EXPECT_EQ(shadow.GetDarkness(), 150);
  EXPECT_TRUE(shadow.SetDarkness(255));
  EXPECT_FALSE(shadow.SetPosition(36, 0));
  EXPECT_FALSE(shadow.SetPosition(0, -36));
  EXPECT_TRUE(shadow.SetPosition(-35, 35));
  EXPECT_FALSE(shadow.SetShadowCorner(RECT{0, -1, 0, 0}));
  EXPECT_TRUE(shadow.SetShadowCorner(RECT{1, 2, 3, 4}));
  EXPECT_FALSE(shadow.SetImage(nullptr));
  EXPECT_TRUE(shadow.SetColor(0x123456));
}

// A plain top-level window with a manager bound to it.
class ShadowWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"VellumShadowTestParent";
    RegisterClassExW(&window_class);
    parent_ = CreateWindowExW(0, L"VellumShadowTestParent", L"parent", WS_OVERLAPPEDWINDOW, 100,
                              80, 200, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    manager_.Init(parent_);
  }
  void TearDown() override {
    if (parent_ != nullptr && IsWindow(parent_)) DestroyWindow(parent_);
  }
  CPaintManagerUI manager_;
  HWND parent_ = nullptr;
};

TEST_F(ShadowWindowTest, NoShadowWindowUnlessWanted) {
  CShadowUI shadow;
  shadow.SetSize(4);
  shadow.Create(&manager_);
  EXPECT_EQ(shadow.GetHWND(), nullptr);
}

TEST_F(ShadowWindowTest, ShadowSitsBehindItsParentAndFollowsIt) {
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(4);
  shadow.SetPosition(2, 3);
  shadow.Create(&manager_);
  HWND window = shadow.GetHWND();
  ASSERT_NE(window, nullptr);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  EXPECT_STREQ(class_name, L"TovelShadowWnd");
  const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_EQ(extended & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
  EXPECT_EQ(GetWindow(window, GW_OWNER), parent_);
  EXPECT_EQ(shadow.GetStatus(), CShadowUI::kStatusEnabled | CShadowUI::kStatusVisible |
                                    CShadowUI::kStatusParentVisible);
  EXPECT_TRUE(IsWindowVisible(window));

  RECT parent_rect{};
  RECT shadow_rect{};
  GetWindowRect(parent_, &parent_rect);
  GetWindowRect(window, &shadow_rect);
  EXPECT_EQ(shadow_rect.left, parent_rect.left + 2 - 4);
  EXPECT_EQ(shadow_rect.top, parent_rect.top + 3 - 4);
  EXPECT_EQ(shadow_rect.right - shadow_rect.left, parent_rect.right - parent_rect.left + 8);
  EXPECT_EQ(shadow_rect.bottom - shadow_rect.top, parent_rect.bottom - parent_rect.top + 8);

  SetWindowPos(parent_, nullptr, 150, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(0);
  GetWindowRect(window, &shadow_rect);
  EXPECT_EQ(shadow_rect.left, 150 + 2 - 4);
  EXPECT_EQ(shadow_rect.top, 90 + 3 - 4);

  // A second attach (a root attached again) redraws only: the parent keeps one subclass, and
  // its messages still reach it without recursing.
  shadow.Create(&manager_);
  EXPECT_EQ(shadow.GetHWND(), window);
  SendMessageW(parent_, WM_NULL, 0, 0);
  SetWindowPos(parent_, nullptr, 0, 0, 180, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(0);

  DestroyWindow(parent_);
  EXPECT_FALSE(IsWindow(window)) << "the shadow window goes with its parent";
  parent_ = nullptr;
}

TEST_F(ShadowWindowTest, GrowingWaitsForPaintShrinkingRedrawsAtOnceMaximisingHides) {
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  UpdateWindow(parent_);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(5);
  shadow.Create(&manager_);
  ASSERT_NE(shadow.GetHWND(), nullptr);
  // Let the first WM_SIZE record the starting size.
  SetWindowPos(parent_, nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(parent_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(180, 80));
  PumpFor(0);

  SendMessageW(parent_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(240, 90));
  EXPECT_TRUE(shadow.IsUpdatePending());
  SendMessageW(parent_, WM_PAINT, 0, 0);
  EXPECT_FALSE(shadow.IsUpdatePending());

  SendMessageW(parent_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 60));
  EXPECT_FALSE(shadow.IsUpdatePending());

  SendMessageW(parent_, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(800, 600));
  EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
  EXPECT_EQ(shadow.GetStatus() & CShadowUI::kStatusVisible, 0);
  SendMessageW(parent_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 60));
  EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
  EXPECT_NE(shadow.GetStatus() & CShadowUI::kStatusVisible, 0);

  ShowWindow(parent_, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
  EXPECT_EQ(shadow.GetStatus(), CShadowUI::kStatusEnabled);
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
}

TEST_F(ShadowWindowTest, HiddenParentStartsWithAHiddenShadow) {
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(3);
  shadow.Create(&manager_);
  ASSERT_NE(shadow.GetHWND(), nullptr);
  EXPECT_EQ(shadow.GetStatus(), CShadowUI::kStatusEnabled);
  EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
}

TEST(ShadowCopy, CopiesTheLookOfItsMode) {
  CShadowUI colour;
  colour.SetSize(7);
  colour.SetSharpness(9);
  colour.SetDarkness(80);
  colour.ShowShadow(true);
  CShadowUI copy;
  EXPECT_TRUE(colour.CopyShadow(&copy));
  EXPECT_EQ(copy.GetSize(), 7);
  EXPECT_EQ(copy.GetSharpness(), 9);
  EXPECT_EQ(copy.GetDarkness(), 80);
  EXPECT_TRUE(copy.IsShowShadow());
}

TEST_F(ShadowWindowTest, ImageModeCoversTheParentPlusItsSize) {
  std::vector<testing_support::Rgba> pixels(12 * 12, testing_support::Rgba{0, 0, 0, 128});
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"vellum_shadow_image.png";
  const std::string png = testing_support::EncodePng(12, 12, pixels);
  FILE* file = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  fwrite(png.data(), 1, png.size(), file);
  fclose(file);

  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(6);
  shadow.SetPosition(10, 10);  // colour mode only
  shadow.SetShadowCorner(RECT{4, 4, 4, 4});
  shadow.SetImage((L"file='" + path + L"'").c_str());
  shadow.Create(&manager_);
  ASSERT_NE(shadow.GetHWND(), nullptr);
  RECT parent_rect{};
  RECT shadow_rect{};
  GetWindowRect(parent_, &parent_rect);
  GetWindowRect(shadow.GetHWND(), &shadow_rect);
  EXPECT_EQ(shadow_rect.left, parent_rect.left - 6);
  EXPECT_EQ(shadow_rect.top, parent_rect.top - 6);
  EXPECT_EQ(shadow_rect.right, parent_rect.right + 6);
  EXPECT_EQ(shadow_rect.bottom, parent_rect.bottom + 6);
  DeleteFileW(path.c_str());
}

TEST_F(ShadowWindowTest, ANegativeSizeLargerThanTheParentDrawsNothing) {
  SetWindowPos(parent_, nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(-35);
  shadow.SetSharpness(0);
  shadow.Create(&manager_);
  ASSERT_NE(shadow.GetHWND(), nullptr);
  // No bitmap can be that small: the update stops without touching the window.
  EXPECT_TRUE(shadow.SetDarkness(200));
  SendMessageW(parent_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(20, 10));
  SUCCEED();
}

WNDPROC g_chained_previous = nullptr;
int g_chained_calls = 0;
LRESULT CALLBACK ChainedProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER + 7) ++g_chained_calls;
  return CallWindowProcW(g_chained_previous, window, message, wparam, lparam);
}

TEST_F(ShadowWindowTest, AShadowThatGoesFirstLeavesTheParentWorking) {
  const LONG_PTR original = GetWindowLongPtrW(parent_, GWLP_WNDPROC);
  {
    CShadowUI shadow;
    shadow.ShowShadow(true);
    shadow.SetSize(3);
    shadow.Create(&manager_);
    EXPECT_NE(GetWindowLongPtrW(parent_, GWLP_WNDPROC), original);
  }
  EXPECT_EQ(GetWindowLongPtrW(parent_, GWLP_WNDPROC), original) << "the subclass is taken off";

  // Subclassed again by someone else afterwards: the shadow's procedure stays in the chain when
  // the shadow goes, and passes every message on.
  {
    CShadowUI shadow;
    shadow.ShowShadow(true);
    shadow.SetSize(3);
    shadow.Create(&manager_);
    g_chained_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainedProc)));
  }
  g_chained_calls = 0;
  SendMessageW(parent_, WM_USER + 7, 0, 0);
  SetWindowPos(parent_, nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(g_chained_calls, 1);
  wchar_t title[16] = {};
  GetWindowTextW(parent_, title, 16);
  EXPECT_STREQ(title, L"parent") << "the default procedure still answers";
  DestroyWindow(parent_);
  parent_ = nullptr;

  // A new window that reuses the handle value starts clean.
  SetUp();
  CShadowUI fresh;
  fresh.ShowShadow(true);
  fresh.SetSize(2);
  fresh.Create(&manager_);
  EXPECT_NE(fresh.GetHWND(), nullptr);
}

}  // namespace
