#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/rich_edit/rich_edit.h"
#include "vellum/controls/rich_edit/text_host.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::ClickAt;
using testing_support::NativeHostWindow;
using testing_support::PressChord;
using testing_support::PumpFor;
using testing_support::TypeKeys;
using testing_support::WaitUntil;

class RichEditWindowTest : public ::testing::Test {
 protected:
  CRichEditUI* Host(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attributes) {
    auto* edit = new CRichEditUI();
    edit->SetAttribute(L"multiline", L"false");
    for (const auto& a : attributes) edit->SetAttribute(a.first, a.second);
    edit_ = host_.Host(edit);
    other_ = host_.AddBelow(new CButtonUI());
    return edit_;
  }
  POINT ScreenPointIn(const RECT& rect) const {
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(host_.hwnd(), &point);
    return point;
  }
  // A click into the text, as a user gives the editor the focus.
  void ClickIntoText() {
    ASSERT_TRUE(ClickAt(ScreenPointIn(edit_->GetTextHost()->GetClientRect())));
    ASSERT_TRUE(WaitUntil([&] { return edit_->IsFocused(); }, 2000));
  }
  bool WaitForText(const wchar_t* text) {
    return WaitUntil([&] { return edit_->GetText() == text; }, 2000);
  }

  NativeHostWindow host_;
  CRichEditUI* edit_ = nullptr;
  CButtonUI* other_ = nullptr;
};

TEST_F(RichEditWindowTest, AClickFocusesAndPlacesTheCaretInTheText) {
  Host({});
  ASSERT_NE(edit_->GetTextHost(), nullptr);
  ClickIntoText();
  EXPECT_EQ(::GetFocus(), host_.hwnd());
  EXPECT_EQ(host_.manager().GetFocus(), edit_);
  // The real blink timer stops here so that the steps below see every change.
  host_.manager().KillTimer(edit_, kRichEditCaretTimerId);
  EXPECT_GT(edit_->GetTextHost()->GetCaretHeight(), 0);
  const POINT caret = edit_->GetTextHost()->GetCaretPos();
  EXPECT_TRUE(::PtInRect(&edit_->GetPos(), caret)) << caret.x << "," << caret.y;

  // The blink timer shows and hides the caret in turn while the window holds the focus.
  TUIEvent blink;
  blink.type = UIEVENT_TIMER;
  blink.sender = edit_;
  blink.wParam = kRichEditCaretTimerId;
  const bool shown = edit_->GetTextHost()->IsShowCaret();
  edit_->Event(blink);
  EXPECT_EQ(edit_->GetTextHost()->IsShowCaret(), !shown);
  edit_->Event(blink);
  EXPECT_EQ(edit_->GetTextHost()->IsShowCaret(), shown);

  // Focus moving on tells the engine: the caret goes away.
  host_.manager().SetFocus(other_);
  EXPECT_FALSE(edit_->IsFocused());
  EXPECT_FALSE(edit_->GetTextHost()->IsShowCaret());
}

TEST_F(RichEditWindowTest, TypedKeysBecomeTextAndEachChangeIsReported) {
  Host({});
  ClickIntoText();
  ASSERT_TRUE(TypeKeys(L"ABC"));
  EXPECT_TRUE(WaitForText(L"abc")) << testing::PrintToString(std::wstring(edit_->GetText().GetData()));
  EXPECT_EQ(host_.log().Count(L"textchanged", edit_), 3);
  ASSERT_TRUE(PressChord({VK_BACK}));
  EXPECT_TRUE(WaitForText(L"ab"));
  // Ctrl+Z reaches the engine (how much typing one undo takes back is the engine's choice).
  ASSERT_TRUE(PressChord({VK_CONTROL, 'Z'}));
  EXPECT_TRUE(WaitUntil([&] { return edit_->CanRedo(); }, 2000));
  EXPECT_NE(edit_->GetText(), L"ab");
}

TEST_F(RichEditWindowTest, TypingStopsAtTheLimit) {
  Host({{L"maxchar", L"3"}});
  ClickIntoText();
  ASSERT_TRUE(TypeKeys(L"ABCDE"));
  PumpFor(200);
  EXPECT_EQ(edit_->GetText(), L"abc");
}

TEST_F(RichEditWindowTest, ReturnIsReportedWhenTheEditorDoesNotWantIt) {
  Host({{L"multiline", L"true"}, {L"wantctrlreturn", L"false"}});
  ClickIntoText();
  ASSERT_TRUE(PressChord({VK_RETURN}));
  PumpFor(200);
  EXPECT_EQ(edit_->GetText(), L"\r");
  EXPECT_EQ(host_.log().Count(L"return", edit_), 0);
  ASSERT_TRUE(PressChord({VK_CONTROL, VK_RETURN}));
  ASSERT_TRUE(WaitUntil([&] { return host_.log().Count(L"return", edit_) == 1; }, 2000));
  EXPECT_EQ(edit_->GetText(), L"\r");
  edit_->SetWantReturn(false);
  ASSERT_TRUE(PressChord({VK_RETURN}));
  ASSERT_TRUE(WaitUntil([&] { return host_.log().Count(L"return", edit_) == 2; }, 2000));
  EXPECT_EQ(edit_->GetText(), L"\r");
}

TEST_F(RichEditWindowTest, PasswordTextIsTypedButNeverPaintedInClear) {
  Host({{L"password", L"true"}});
  ClickIntoText();
  ASSERT_TRUE(TypeKeys(L"XYZ"));
  EXPECT_TRUE(WaitForText(L"xyz"));
  EXPECT_EQ(edit_->GetTextHost()->GetPasswordChar(), L'*');
}

}  // namespace
