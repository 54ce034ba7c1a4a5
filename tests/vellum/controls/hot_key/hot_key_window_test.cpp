#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/deleting_handler.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/hot_key/hot_key.h"
#include "vellum/controls/hot_key/hot_key_name.h"
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
using testing_support::WaitUntil;

constexpr WORD kControlShift = HOTKEYF_CONTROL | HOTKEYF_SHIFT;

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

// Counts the windows of one class created on this thread while it lives.
class CreationCounter {
 public:
  explicit CreationCounter(const wchar_t* class_name) {
    class_name_ = class_name;
    count_ = 0;
    hook_ = ::SetWindowsHookExW(WH_CBT, &CreationCounter::Hook, nullptr, ::GetCurrentThreadId());
  }
  ~CreationCounter() { ::UnhookWindowsHookEx(hook_); }
  int count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && ClassName(reinterpret_cast<HWND>(wParam)) == class_name_) ++count_;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline std::wstring class_name_;
  static inline int count_ = 0;
  HHOOK hook_ = nullptr;
};

class HotKeyWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hot_key_ = host_.Host(new CHotKeyUI());
    other_ = host_.AddBelow(new CButtonUI());
  }
  HWND StartEditing() {
    host_.manager().SetFocus(hot_key_);
    WaitUntil([&] { return ::GetFocus() == hot_key_->GetNativeWindow(); }, 2000);
    return hot_key_->GetNativeWindow();
  }
  WORD Key() const {
    WORD key = 0;
    WORD modifiers = 0;
    hot_key_->GetHotKey(key, modifiers);
    return key;
  }
  WORD Modifiers() const {
    WORD key = 0;
    WORD modifiers = 0;
    hot_key_->GetHotKey(key, modifiers);
    return modifiers & ~HOTKEYF_EXT;  // the extended-key bit is the keyboard's to set
  }

  NativeHostWindow host_;
  CHotKeyUI* hot_key_ = nullptr;
  CButtonUI* other_ = nullptr;
};

TEST_F(HotKeyWindowTest, FocusPlacesAFocusedHotKeyWindowOverTheTextArea) {
  hot_key_->SetHotKey('K', HOTKEYF_ALT);
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(ClassName(native), L"HotKeyClass");
  EXPECT_EQ(::GetParent(native), host_.hwnd());
  EXPECT_TRUE(::IsWindowVisible(native));
  EXPECT_EQ(::GetFocus(), native);
  EXPECT_EQ(::SendMessageW(native, HKM_GETHOTKEY, 0, 0), MAKEWORD('K', HOTKEYF_ALT));
  EXPECT_EQ(hot_key_->GetText(), HotKeyName('K', HOTKEYF_ALT).GetData());

  const int font_height = host_.manager().GetFontInfo(-1)->tm.tmHeight;
  const RECT expected =
      NativeTextArea(hot_key_->GetPos(), hot_key_->GetTextPadding(), font_height);
  const RECT placed = RectInParent(native, host_.hwnd());
  EXPECT_TRUE(::EqualRect(&placed, &expected));

  // The window paints itself on the native background colour, the caret after the name.
  hot_key_->SetNativeBkColor(0xFF20C040);
  ::RedrawWindow(native, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = ::GetDC(native);
  EXPECT_EQ(::GetPixel(dc, placed.right - placed.left - 2, 1), RGB(0x20, 0xC0, 0x40));
  ::ReleaseDC(native, dc);
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetGUIThreadInfo(::GetCurrentThreadId(), &info));
  EXPECT_EQ(info.hwndCaret, native);
  EXPECT_GT(info.rcCaret.left, 0);
}

TEST_F(HotKeyWindowTest, TypingACombinationNamesItInOrder) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(PressChord({VK_CONTROL, VK_SHIFT, VK_HOME}));
  ASSERT_TRUE(WaitUntil([&] { return Key() == VK_HOME; }, 2000)) << Key();
  PumpFor(100);
  EXPECT_EQ(Modifiers(), kControlShift);
  const std::wstring text = hot_key_->GetText().GetData();
  EXPECT_EQ(text, HotKeyName(VK_HOME, kControlShift).GetData());
  const std::wstring ctrl = KeyName(VK_CONTROL).GetData();
  const std::wstring shift = KeyName(VK_SHIFT).GetData();
  const std::wstring home = KeyName(VK_HOME).GetData();
  EXPECT_EQ(text.find(ctrl), 0u);
  EXPECT_LT(text.find(ctrl), text.find(shift));
  EXPECT_EQ(text.rfind(home), text.size() - home.size());
  EXPECT_GT(host_.log().Count(L"textchanged", hot_key_), 0);
}

TEST_F(HotKeyWindowTest, EnterNotifiesAndKeepsTheCombination) {
  hot_key_->SetHotKey('Q', HOTKEYF_CONTROL);
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  const int changes = host_.log().Count(L"textchanged", hot_key_);
  ASSERT_TRUE(PressChord({VK_RETURN}));
  ASSERT_TRUE(WaitUntil([&] { return host_.log().Count(L"return", hot_key_) == 1; }, 2000));
  PumpFor(200);  // the character of the key follows it through the queue
  EXPECT_EQ(::SendMessageW(native, HKM_GETHOTKEY, 0, 0), MAKEWORD('Q', HOTKEYF_CONTROL));
  EXPECT_EQ(Key(), 'Q');
  EXPECT_EQ(hot_key_->GetText(), HotKeyName('Q', HOTKEYF_CONTROL).GetData());
  EXPECT_EQ(host_.log().Count(L"textchanged", hot_key_), changes);
}

TEST_F(HotKeyWindowTest, ClearingTheCombinationShowsNoneAndNotifies) {
  hot_key_->SetHotKey('Q', HOTKEYF_CONTROL);
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  const int changes = host_.log().Count(L"textchanged", hot_key_);
  ASSERT_TRUE(PressChord({VK_BACK}));
  ASSERT_TRUE(WaitUntil([&] { return Key() == 0; }, 2000));
  PumpFor(100);
  EXPECT_EQ(Modifiers(), 0);
  EXPECT_EQ(hot_key_->GetText(), L"\u65E0");
  EXPECT_EQ(host_.log().Count(L"textchanged", hot_key_), changes + 1);
}

TEST_F(HotKeyWindowTest, LosingFocusClosesTheWindowAtOnce) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  host_.manager().SetFocus(other_);
  EXPECT_FALSE(::IsWindow(native));
  EXPECT_EQ(hot_key_->GetNativeWindow(), nullptr);
  // The focus that came back to the framework window from the closed window opens nothing.
  PumpFor(100);
  EXPECT_EQ(hot_key_->GetNativeWindow(), nullptr);
  EXPECT_EQ(host_.manager().GetFocus(), other_);
}

TEST_F(HotKeyWindowTest, AClickOpensTheWindowOnceThroughTheFocusChange) {
  const int set_focus_before = host_.log().Count(L"setfocus", hot_key_);
  CreationCounter created(L"HotKeyClass");
  const RECT item = hot_key_->GetPos();
  POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ::ClientToScreen(host_.hwnd(), &at);
  ASSERT_TRUE(testing_support::ClickAt(at));
  ASSERT_TRUE(WaitUntil([&] { return hot_key_->GetNativeWindow() != nullptr; }, 2000));
  PumpFor(200);
  EXPECT_EQ(created.count(), 1);
  EXPECT_EQ(host_.log().Count(L"setfocus", hot_key_), set_focus_before + 1);
  EXPECT_EQ(::GetFocus(), hot_key_->GetNativeWindow());
}

TEST_F(HotKeyWindowTest, HidingTheParentClosesTheWindow) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  host_.box()->SetVisible(false);
  PumpFor(100);
  EXPECT_FALSE(::IsWindow(native));
  EXPECT_EQ(hot_key_->GetNativeWindow(), nullptr);
}

TEST_F(HotKeyWindowTest, DestroyingTheControlWhileEditingDestroysItsWindow) {
  HWND native = StartEditing();
  ASSERT_NE(native, nullptr);
  host_.box()->Remove(hot_key_);
  hot_key_ = nullptr;
  EXPECT_FALSE(::IsWindow(native));
  PumpFor(200);
  host_.PaintNow();
  EXPECT_EQ(host_.log().Count(L"textchanged", nullptr), 0);
}

// A handler that deletes the hot-key control during its "textchanged" ends the editing there: the
// window goes with the control, and nothing after the notification reads either.
TEST(HotKeyWindowDeletion, AHandlerMayDeleteTheControlDuringTextChanged) {
  {
    NativeHostWindow host;
    CHotKeyUI* hot_key = host.Host(new Poisoned<CHotKeyUI>());
    host.manager().SetFocus(hot_key);
    ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == hot_key->GetNativeWindow(); }, 2000));
    HWND native = hot_key->GetNativeWindow();
    DeleteOnTextChanged deleter(host.box());
    host.manager().AddNotifier(&deleter);
    const UINT scan = ::MapVirtualKeyW('Q', MAPVK_VK_TO_VSC);
    ::SendMessageW(native, WM_KEYDOWN, 'Q', static_cast<LPARAM>(1 | (scan << 16)));
    EXPECT_EQ(deleter.deleted, 1);
    EXPECT_FALSE(::IsWindow(native));
    host.manager().RemoveNotifier(&deleter);
    PumpFor(100);
    host.PaintNow();
  }
  Poisoned<CHotKeyUI>::FreeAll();
}

}  // namespace
