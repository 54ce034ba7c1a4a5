#include <gtest/gtest.h>
#include <windows.h>

#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base/ui_events.h"

namespace {

using namespace Vellum;
using testing_support::Surface;

TEST(NativeTextArea, TakesThePaddingOffAndCentresTheFontHeight) {
  const struct {
    RECT item;
    RECT padding;
    int font_height;
    RECT expected;
  } cases[] = {
      {{10, 20, 110, 50}, {4, 3, 4, 3}, 13, {14, 28, 106, 41}},   // (24 - 13) / 2 = 5 from the top
      {{10, 20, 110, 50}, {4, 3, 4, 3}, 24, {14, 23, 106, 47}},   // just fits: unchanged
      {{10, 20, 110, 50}, {4, 3, 4, 3}, 30, {14, 23, 106, 47}},   // taller font: unchanged
      {{0, 0, 50, 20}, {0, 0, 0, 0}, 15, {0, 2, 50, 17}},         // (20 - 15) / 2 truncates
      {{0, 0, 50, 20}, {0, 0, 0, 0}, 0, {0, 10, 50, 10}},
  };
  for (const auto& c : cases) {
    const RECT area = NativeTextArea(c.item, c.padding, c.font_height);
    EXPECT_TRUE(::EqualRect(&area, &c.expected))
        << c.font_height << ": " << area.left << "," << area.top << "," << area.right << ","
        << area.bottom;
  }
}

TEST(NativeTextArea, IsClippedByEveryAncestorAndEmptyUnderAHiddenOne) {
  testing_support::ManagedWindow window;
  auto* root = new testing_support::TestContainer();
  auto* inner = new testing_support::TestContainer();
  auto* leaf = new testing_support::TestContainer();
  root->Add(inner, RECT{20, 0, 200, 100});
  inner->Add(leaf, RECT{0, 10, 150, 40});
  window.manager().AttachRootControl(root);
  root->SetPos(RECT{0, 0, 180, 100}, false);

  RECT clipped = ClipToAncestors(leaf, RECT{0, 15, 190, 35});
  const RECT expected{20, 15, 180, 35};  // inner's left edge, root's right edge
  EXPECT_TRUE(::EqualRect(&clipped, &expected));
  clipped = ClipToAncestors(leaf, RECT{0, 150, 190, 170});
  EXPECT_TRUE(::IsRectEmpty(&clipped));
  inner->SetVisible(false);
  clipped = ClipToAncestors(leaf, RECT{30, 15, 60, 35});
  EXPECT_TRUE(::IsRectEmpty(&clipped));
}

TEST(PatternBrush, KeepsThePatternAndFreesTheBitmap) {
  Surface pattern(2, 2, 0);
  pattern.Paint([](int x, int y) -> DWORD { return (x + y) % 2 == 0 ? 0x00FF0000 : 0x000000FF; });
  // The pattern's own bitmap, detached from the surface's DC by a copy.
  HBITMAP bitmap = static_cast<HBITMAP>(::CopyImage(pattern.bitmap(), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bitmap, nullptr);

  HBRUSH brush = PatternBrushFromBitmap(bitmap);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(::GetObjectType(bitmap), 0u);  // gone: one bitmap per repaint would pile up

  Surface painted(6, 4, 0);
  const RECT all{0, 0, 6, 4};
  ::FillRect(painted.dc(), &all, brush);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(painted.At(x, y) & 0x00FFFFFF, (x + y) % 2 == 0 ? 0x00FF0000u : 0x000000FFu)
          << x << "," << y;
    }
  }
  ::DeleteObject(brush);
  EXPECT_EQ(PatternBrushFromBitmap(nullptr), nullptr);
}

TEST(ArgbToColorRef, DropsTheAlphaAndSwapsRedAndBlue) {
  EXPECT_EQ(ArgbToColorRef(0x80123456), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(ArgbToColorRef(0xFFFF0000), RGB(0xFF, 0, 0));
}

}  // namespace

namespace {

HWND MessageWindow(HWND parent) {
  return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr,
                           nullptr);
}

TEST(IsFocusBackFromNative, OnlyTheNativeWindowItsChildrenOrAGoneWindowCount) {
  HWND native = MessageWindow(HWND_MESSAGE);
  HWND field = MessageWindow(native);
  HWND other = MessageWindow(HWND_MESSAGE);
  HWND gone = MessageWindow(HWND_MESSAGE);
  ASSERT_TRUE(native != nullptr && field != nullptr && other != nullptr && gone != nullptr);
  ::DestroyWindow(gone);
  const struct {
    const char* name;
    HWND from;
    HWND native;
    bool back;
  } cases[] = {
      {"no previous focus (the manager's own call)", nullptr, native, false},
      {"the native window", native, native, true},
      {"a field inside it", field, native, true},
      {"a window already destroyed", gone, native, true},
      {"another window", other, native, false},
      {"no native window", other, nullptr, false},
  };
  for (const auto& c : cases) {
    Vellum::TUIEvent event;
    event.type = Vellum::UIEVENT_SETFOCUS;
    event.wParam = reinterpret_cast<WPARAM>(c.from);
    EXPECT_EQ(Vellum::IsFocusBackFromNative(event, c.native), c.back) << c.name;
  }
  ::DestroyWindow(other);
  ::DestroyWindow(native);
}

}  // namespace
