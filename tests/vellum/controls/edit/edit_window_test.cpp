#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/deleting_handler.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/edit/edit.h"
#include "vellum/controls/native/native_child_window.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::DeleteOnTextChanged;
using testing_support::NativeHostWindow;
using testing_support::Poisoned;
using testing_support::PressChord;
using testing_support::PumpFor;
using testing_support::RectInParent;
using testing_support::TypeKeys;
using testing_support::WaitUntil;

std::wstring WindowText(HWND hwnd) {
  wchar_t text[256] = {};
  ::GetWindowTextW(hwnd, text, 256);
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

class EditWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit_ = host_.Host(new CEditUI());
    other_ = host_.AddBelow(new CButtonUI());
  }
  // Focus to the edit through the manager, as a tab or a click would give it.
  HWND StartEditing() {
    host_.manager().SetFocus(edit_);
    WaitUntil([&] { return ::GetFocus() == edit_->GetNativeWindow(); }, 2000);
    return edit_->GetNativeWindow();
  }

  NativeHostWindow host_;
  CEditUI* edit_ = nullptr;
  CButtonUI* other_ = nullptr;
};

TEST_F(EditWindowTest, FocusPlacesAFocusedNativeEditOverTheTextArea) {
  edit_->SetText(L"hello");
  edit_->SetAttribute(L"align", L"right");
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(ClassName(native), L"EditWnd");
  EXPECT_EQ(::GetParent(native), host_.hwnd());
  EXPECT_TRUE(::IsWindowVisible(native));
  EXPECT_EQ(::GetFocus(), native);
  EXPECT_EQ(WindowText(native), L"hello");
  const LONG style = ::GetWindowLongW(native, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | ES_AUTOHSCROLL | ES_RIGHT), WS_CHILD | ES_AUTOHSCROLL | ES_RIGHT);
  EXPECT_EQ(::SendMessageW(native, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(host_.manager().GetFont(-1)));
  EXPECT_EQ(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 255);

  // Exactly the text area: padding off, the font's height, centred.
  const RECT item = edit_->GetPos();
  const int font_height = host_.manager().GetFontInfo(-1)->tm.tmHeight;
  const RECT expected = NativeTextArea(item, edit_->GetTextPadding(), font_height);
  const RECT placed = RectInParent(native, host_.hwnd());
  EXPECT_EQ(placed.left, item.left + 4);
  EXPECT_EQ(placed.right, item.right - 4);
  EXPECT_EQ(placed.bottom - placed.top, font_height);
  EXPECT_TRUE(::EqualRect(&placed, &expected));

  // A new place for the control takes the window along.
  RECT moved = item;
  ::OffsetRect(&moved, 20, 5);
  moved.right -= 60;
  edit_->SetPos(moved, false);
  const RECT expected_moved = edit_->GetNativeWindowRect();
  const RECT placed_moved = RectInParent(native, host_.hwnd());
  EXPECT_TRUE(::EqualRect(&placed_moved, &expected_moved));
  EXPECT_EQ(placed_moved.left, moved.left + 4);
  EXPECT_EQ(placed_moved.right, moved.right - 4);

  // The caret waits at the end of the text and blinks at the system's rate.
  const UINT blink = ::GetCaretBlinkTime();
  ASSERT_GT(blink, 0u);
  PumpFor(blink);
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetGUIThreadInfo(::GetCurrentThreadId(), &info));
  EXPECT_EQ(info.hwndCaret, native);
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 5u);
}

TEST_F(EditWindowTest, TypingReportsEveryChangeAndReturnOnlyNotifies) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(TypeKeys(L"AB1"));
  ASSERT_TRUE(WaitUntil([&] { return edit_->GetText() == L"ab1"; }, 2000))
      << edit_->GetText().GetData();
  EXPECT_EQ(host_.log().Count(L"textchanged", edit_), 3);

  ASSERT_TRUE(PressChord({VK_RETURN}));
  ASSERT_TRUE(WaitUntil([&] { return host_.log().Count(L"return", edit_) == 1; }, 2000));
  PumpFor(100);
  EXPECT_EQ(WindowText(native), L"ab1");
  EXPECT_EQ(edit_->GetText(), L"ab1");
  EXPECT_EQ(host_.log().Count(L"textchanged", edit_), 3);

  // A text set while editing reaches the window as the control keeps it.
  edit_->SetText(L"a{\\n}b");
  EXPECT_EQ(edit_->GetText(), L"a{\\n}b");
  EXPECT_EQ(WindowText(native), L"a{\\n}b");
}

TEST_F(EditWindowTest, KeysFollowTheNumberAndLengthLimits) {
  const struct {
    const wchar_t* attribute;
    const wchar_t* value;
    const wchar_t* keys;
    const wchar_t* expected;
  } cases[] = {
      {L"numberonly", L"true", L"A1B2", L"12"},
      {L"maxchar", L"3", L"ABCDE", L"abc"},
      {L"readonly", L"true", L"AB", L"x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attribute);
    edit_->SetAttribute(c.attribute, c.value);
    edit_->SetText(std::wcscmp(c.attribute, L"readonly") == 0 ? L"x" : L"");
    HWND native = StartEditing();
    ASSERT_NE(native, nullptr);
    ASSERT_TRUE(TypeKeys(c.keys));
    PumpFor(300);
    EXPECT_EQ(edit_->GetText(), c.expected);
    EXPECT_EQ(WindowText(native), c.expected);
    host_.manager().SetFocus(other_);
    ASSERT_TRUE(WaitUntil([&] { return edit_->GetNativeWindow() == nullptr; }, 2000));
    edit_->SetAttribute(c.attribute, L"false");
    edit_->SetMaxChar(255);
  }
}

TEST_F(EditWindowTest, LosingFocusClosesTheWindowAndKeepsTheText) {
  const int kill_focus_before = host_.log().Count(L"killfocus", edit_);
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(TypeKeys(L"QW"));
  ASSERT_TRUE(WaitUntil([&] { return edit_->GetText() == L"qw"; }, 2000));

  host_.manager().SetFocus(other_);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(native); }, 2000));
  EXPECT_EQ(edit_->GetNativeWindow(), nullptr);
  EXPECT_FALSE(edit_->IsFocused());
  EXPECT_EQ(edit_->GetText(), L"qw");
  EXPECT_EQ(host_.log().Count(L"killfocus", edit_), kill_focus_before + 1);
}

TEST_F(EditWindowTest, AClickCreatesTheWindowAndLaterClicksPlaceTheCaret) {
  edit_->SetText(L"abcdef");
  const RECT item = edit_->GetPos();
  POINT at{item.left + 2, (item.top + item.bottom) / 2};  // on the padding, left of the text
  ::ClientToScreen(host_.hwnd(), &at);
  ASSERT_TRUE(testing_support::ClickAt(at));
  ASSERT_TRUE(WaitUntil([&] { return edit_->GetNativeWindow() != nullptr; }, 2000));
  HWND native = edit_->GetNativeWindow();
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == native; }, 2000));

  // A second press on the padding goes to the open window as a press at its left edge: the caret
  // moves to the start, and the window stays open although the press passed the focus about.
  ASSERT_TRUE(testing_support::ClickAt(at));
  PumpFor(300);
  EXPECT_TRUE(::IsWindow(native));
  EXPECT_EQ(edit_->GetNativeWindow(), native);
  DWORD start = 99;
  DWORD end = 99;
  ::SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);
}

TEST_F(EditWindowTest, HidingTheParentClosesTheWindow) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  host_.box()->SetVisible(false);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(native); }, 2000));
  EXPECT_EQ(edit_->GetNativeWindow(), nullptr);
  EXPECT_EQ(host_.manager().GetFocus(), nullptr);
}

TEST_F(EditWindowTest, DestroyingTheEditWhileEditingDestroysItsWindow) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(TypeKeys(L"Z"));
  ASSERT_TRUE(WaitUntil([&] { return edit_->GetText() == L"z"; }, 2000));
  host_.box()->Remove(edit_);  // deleted at once: the box destroys without delay
  edit_ = nullptr;
  EXPECT_FALSE(::IsWindow(native));
  // Nothing queued for the window reaches the freed control.
  PumpFor(200);
  host_.PaintNow();
  EXPECT_EQ(host_.log().Count(L"textchanged", nullptr), 0);
}

TEST_F(EditWindowTest, OverALayeredWindowTheEditIsAnOwnedPopupAndTabMovesOn) {
  host_.manager().SetLayered(true);
  host_.PaintNow();
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  const LONG style = ::GetWindowLongW(native, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CHILD), WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(::GetWindow(native, GW_OWNER), host_.hwnd());
  // In screen coordinates, one pixel lower than the text area.
  RECT expected = edit_->GetNativeWindowRect();
  POINT origin{0, 0};
  ::ClientToScreen(host_.hwnd(), &origin);
  ::OffsetRect(&expected, origin.x, origin.y + 1);
  RECT placed{};
  ::GetWindowRect(native, &placed);
  EXPECT_TRUE(::EqualRect(&placed, &expected));

  ASSERT_TRUE(PressChord({VK_TAB}));
  // The move waits for the layout that turning the window layered asked for.
  ASSERT_TRUE(WaitUntil(
      [&] {
        host_.PaintNow();
        return host_.manager().GetFocus() == other_;
      },
      2000));
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(native); }, 2000));
  EXPECT_EQ(edit_->GetNativeWindow(), nullptr);
}

TEST_F(EditWindowTest, PasswordModeOnALiveWindowMasksAndUnmasksTheText) {
  edit_->SetText(L"secret");
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);

  edit_->SetPasswordChar(L'#');  // not in password mode: the window keeps its text in clear
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);
  edit_->SetAttribute(L"password", L"true");
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'#');
  EXPECT_NE(::GetWindowLongW(native, GWL_STYLE) & ES_PASSWORD, 0);
  edit_->SetPasswordChar(L'*');
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'*');
  edit_->SetAttribute(L"password", L"false");
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_EQ(WindowText(native), L"secret");
}

// The colour the edit's own paint gives the right end of its (empty) client area.
void ExpectBackground(HWND native, COLORREF expected) {
  // Pending repaints of the framework window first, then the edit's own paint is read.
  PumpFor(50);
  ::RedrawWindow(native, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client{};
  ::GetClientRect(native, &client);
  HDC dc = ::GetDC(native);
  const COLORREF seen = ::GetPixel(dc, client.right - 2, client.bottom / 2);
  ::ReleaseDC(native, dc);
  EXPECT_NEAR(GetRValue(seen), GetRValue(expected), 2);
  EXPECT_NEAR(GetGValue(seen), GetGValue(expected), 2);
  EXPECT_NEAR(GetBValue(seen), GetBValue(expected), 2);
}

TEST_F(EditWindowTest, ASemiTransparentBackgroundShowsTheWindowBehindThroughIt) {
  const struct {
    DWORD native_background;
    COLORREF expected;
  } cases[] = {
      {0xFF00FF00, RGB(0x00, 0xFF, 0x00)},  // opaque: the colour itself
      // Half black over the red box; the edit's own white background is not behind it.
      {0x80000000, RGB(0x7F, 0x00, 0x00)},
  };
  host_.box()->SetBkColor(0xFFFF0000);
  edit_->SetBkColor(0xFFFFFFFF);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.native_background);
    edit_->SetNativeBkColor(c.native_background);
    HWND native = StartEditing();
    ASSERT_NE(native, nullptr);
    ::SetWindowTextW(native, L"");
    ExpectBackground(native, c.expected);
    if (c.native_background == 0xFF00FF00) {  // a new colour on the live window is taken up
      edit_->SetNativeBkColor(0xFF0000FF);
      ExpectBackground(native, RGB(0x00, 0x00, 0xFF));
    } else {
      // Every repaint makes a fresh brush of what lies behind; the one before is gone.
      HDC dc = ::GetDC(native);
      auto ask = [&] {
        return reinterpret_cast<HBRUSH>(::SendMessageW(host_.hwnd(), WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(native)));
      };
      HBRUSH first = ask();
      ASSERT_NE(first, nullptr);
      EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));
      HBRUSH second = ask();
      EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
      EXPECT_NE(second, first);  // made before the old one goes
      EXPECT_EQ(::GetObjectType(first), 0u);
      ::ReleaseDC(native, dc);
    }
    host_.manager().SetFocus(other_);
    ASSERT_TRUE(WaitUntil([&] { return edit_->GetNativeWindow() == nullptr; }, 2000));
  }
}

// A handler that deletes the edit during its "textchanged" ends the editing there: the window goes
// with the control, and nothing after the notification reads either, in a layered window (which
// repaints the control after each change) or not.
TEST(EditWindowDeletion, AHandlerMayDeleteTheEditDuringTextChanged) {
  for (bool layered : {false, true}) {
    SCOPED_TRACE(layered ? "layered" : "plain");
    {
      NativeHostWindow host;
      CEditUI* edit = host.Host(new Poisoned<CEditUI>());
      if (layered) {
        host.manager().SetLayered(true);
        host.PaintNow();
      }
      host.manager().SetFocus(edit);
      ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == edit->GetNativeWindow(); }, 2000));
      HWND native = edit->GetNativeWindow();
      DeleteOnTextChanged deleter(host.box());
      host.manager().AddNotifier(&deleter);
      ::SendMessageW(native, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
      EXPECT_EQ(deleter.deleted, 1);
      EXPECT_FALSE(::IsWindow(native));
      host.manager().RemoveNotifier(&deleter);
      PumpFor(100);
      host.PaintNow();
    }
    Poisoned<CEditUI>::FreeAll();
  }
}

}  // namespace
