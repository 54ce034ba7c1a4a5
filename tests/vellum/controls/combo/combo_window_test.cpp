// The combo's drop-down as a real window: where it opens, what it borrows, and each way it closes
// (a click on a row, Return, Escape, the focus leaving, the combo or its window going away).

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/native_host_window.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/combo/combo.h"
#include "vellum/controls/combo/combo_wnd.h"
#include "vellum/controls/list/list_element.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::NativeHostWindow;
using testing_support::PressChord;
using testing_support::PumpFor;
using testing_support::WaitUntil;

CControlUI* MakeRow(int number) {
  auto* row = static_cast<CListLabelElementUI*>(CListLabelElementUI::CreateControl());
  row->SetText((L"row " + std::to_wstring(number)).c_str());
  row->SetFixedHeight(20);
  return row;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

RECT ScreenRect(HWND hwnd) {
  RECT rect{};
  ::GetWindowRect(hwnd, &rect);
  return rect;
}

class ComboWindowTest : public ::testing::Test {
 protected:
  void Build(int rows) {
    combo_ = new CComboUI();
    for (int i = 0; i < rows; ++i) combo_->Add(MakeRow(i));
    host_.Host(combo_, 24);
    other_ = host_.AddBelow(new CButtonUI());
  }
  HWND Open() {
    EXPECT_TRUE(combo_->Activate());
    return WaitOpen();
  }
  // Opened as a user opens it: the press pushes the combo.
  HWND OpenByClick() {
    RECT rect = combo_->GetPos();
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(host_.hwnd(), &centre);
    EXPECT_TRUE(testing_support::ClickAt(centre));
    WaitUntil([&] { return combo_->GetDropDown() != nullptr; }, 2000);
    return WaitOpen();
  }
  HWND WaitOpen() {
    HWND popup = combo_->GetDropDown() ? combo_->GetDropDown()->GetHWND() : nullptr;
    WaitUntil([&] { return popup && ::GetFocus() == popup; }, 2000);
    PumpFor(50);
    return popup;
  }
  bool WaitClosed(HWND popup) {
    return WaitUntil([&] { return !::IsWindow(popup) && combo_->GetDropDown() == nullptr; }, 2000);
  }
  void ExpectRowsHome() {
    for (int i = 0; i < combo_->GetCount(); ++i) {
      CControlUI* row = combo_->GetItemAt(i);
      EXPECT_EQ(row->GetManager(), &host_.manager()) << "row " << i;
      EXPECT_EQ(row->GetParent(), combo_) << "row " << i;
    }
    EXPECT_EQ(combo_->GetButtonState() & UICOMBO_STATE_PUSHED, 0u);
  }
  int Count(const wchar_t* type) { return host_.log().Count(type, combo_); }

  NativeHostWindow host_;
  CComboUI* combo_ = nullptr;
  CButtonUI* other_ = nullptr;
};

TEST_F(ComboWindowTest, OpensABorrowingPopUpBelowTheComboWithTheRowsHeight) {
  struct Case {
    int rows;
    int height;
  };
  for (const Case& test : {Case{5, 104}, Case{20, 150}}) {
    SCOPED_TRACE(test.rows);
    host_.box()->RemoveAll();
    Build(test.rows);
    combo_->SelectItem(1);
    HWND popup = OpenByClick();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ClassName(popup), L"ComboWnd");
    EXPECT_EQ(::GetWindow(popup, GW_OWNER), host_.hwnd());
    EXPECT_EQ(::GetWindowLongW(popup, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
    EXPECT_NE(::GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_TRUE(::IsWindowVisible(popup));
    EXPECT_EQ(::GetFocus(), popup);

    RECT combo_on_screen = combo_->GetPos();
    ::MapWindowPoints(host_.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&combo_on_screen), 2);
    const RECT placed = ScreenRect(popup);
    EXPECT_EQ(placed.top, combo_on_screen.bottom);
    EXPECT_EQ(placed.left, combo_on_screen.left);
    EXPECT_EQ(placed.right, combo_on_screen.right);
    EXPECT_EQ(placed.bottom - placed.top, test.height);

    CPaintManagerUI* popup_manager = &combo_->GetDropDown()->GetManager();
    EXPECT_EQ(combo_->GetItemAt(0)->GetManager(), popup_manager);
    EXPECT_NE(combo_->GetButtonState() & UICOMBO_STATE_PUSHED, 0u) << "pushed while open";
    EXPECT_EQ(Count(L"predropdown"), 1);
    EXPECT_EQ(Count(L"dropdown"), 1);

    // A second activation while open only announces itself.
    combo_->Activate();
    EXPECT_EQ(Count(L"predropdown"), 2);
    EXPECT_EQ(Count(L"dropdown"), 1);

    combo_->GetDropDown()->PostMessage(WM_CLOSE);
    ASSERT_TRUE(WaitClosed(popup));
    ExpectRowsHome();
    host_.log().entries.clear();
  }
}

TEST_F(ComboWindowTest, OpensUpwardsWithTheSameHeightAtTheBottomOfTheWorkArea) {
  Build(5);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(host_.hwnd(), MONITOR_DEFAULTTONEAREST), &info);
  const RECT window = ScreenRect(host_.hwnd());
  ::SetWindowPos(host_.hwnd(), nullptr, window.left, info.rcWork.bottom - 60, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(50);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  RECT combo_on_screen = combo_->GetPos();
  ::MapWindowPoints(host_.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&combo_on_screen), 2);
  const RECT placed = ScreenRect(popup);
  EXPECT_EQ(placed.bottom, combo_on_screen.top);
  EXPECT_EQ(placed.bottom - placed.top, 104);
  combo_->GetDropDown()->PostMessage(WM_CLOSE);
  ASSERT_TRUE(WaitClosed(popup));
}

// A drop-down asked to be a million pixels wide, or a combo that wide, opens no wider than the
// screens together: the window system is never asked for a window it may fail on.
TEST_F(ComboWindowTest, ADropDownIsNoLargerThanTheScreens) {
  for (const bool wide_combo : {false, true}) {
    SCOPED_TRACE(wide_combo);
    host_.box()->RemoveAll();
    Build(5);
    if (wide_combo) {
      combo_->SetAttribute(L"minwidth", L"1048576");
      combo_->SetAttribute(L"dropboxsize", L"0,150");
    } else {
      combo_->SetAttribute(L"dropboxsize", L"1048576,150");
    }
    host_.PaintNow();
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    const RECT placed = ScreenRect(popup);
    EXPECT_EQ(placed.right - placed.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(placed.bottom - placed.top, 104);
    combo_->GetDropDown()->PostMessage(WM_CLOSE);
    ASSERT_TRUE(WaitClosed(popup));
  }
}

TEST_F(ComboWindowTest, AClickOnARowSelectsItAndCloses) {
  Build(5);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  PumpFor(100);
  RECT row = combo_->GetItemAt(3)->GetPos();
  POINT centre{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  ::ClientToScreen(popup, &centre);
  ASSERT_TRUE(testing_support::ClickAt(centre));
  ASSERT_TRUE(WaitClosed(popup));
  EXPECT_EQ(combo_->GetCurSel(), 3);
  EXPECT_EQ(combo_->GetText(), L"row 3");
  ExpectRowsHome();
  EXPECT_TRUE(combo_->IsFocused());
}

TEST_F(ComboWindowTest, KeysMoveTheSelectionReturnKeepsItEscapeRestoresIt) {
  struct Case {
    const char* name;
    WORD closing_key;
    int expected;
    int itemselects;  // 2 downs, plus one for the restoring Escape
  };
  const Case cases[] = {{"return", VK_RETURN, 3, 2}, {"escape", VK_ESCAPE, 1, 3}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    host_.box()->RemoveAll();
    Build(5);
    combo_->SelectItem(1);
    host_.log().entries.clear();
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(PressChord({VK_DOWN}));
    ASSERT_TRUE(PressChord({VK_DOWN}));
    ASSERT_TRUE(WaitUntil([&] { return combo_->GetCurSel() == 3; }, 2000));
    EXPECT_TRUE(::IsWindow(popup)) << "arrows keep it open";
    ASSERT_TRUE(PressChord({test.closing_key}));
    ASSERT_TRUE(WaitClosed(popup));
    EXPECT_EQ(combo_->GetCurSel(), test.expected);
    EXPECT_EQ(Count(L"itemselect"), test.itemselects);
    ExpectRowsHome();
  }
}

TEST_F(ComboWindowTest, FocusLeavingThePopUpClosesIt) {
  Build(5);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  ::SetFocus(host_.hwnd());
  ASSERT_TRUE(WaitClosed(popup));
  ExpectRowsHome();
}

// Rows removed, added or moved while the drop-down is open leave, join or move in it at once, from
// code or from a "dropdown" handler that refills the combo; the open drop-down then hovers, paints
// and closes over the rows the combo has.
TEST_F(ComboWindowTest, RowsChangedWhileOpenAreTheDropDownsRowsAtOnce) {
  struct RefillOnDropDown : INotifyUI {
    CComboUI* combo = nullptr;
    void Notify(TUINotification& msg) override {
      if (msg.type != L"dropdown" || msg.sender != combo) return;
      combo->RemoveAll();
      for (int i = 10; i < 13; ++i) combo->Add(MakeRow(i));
    }
  };
  const struct {
    const char* name;
    void (*change)(CComboUI* combo);
    int rows;
  } cases[] = {
      {"remove", [](CComboUI* c) { c->Remove(c->GetItemAt(3)); }, 4},
      {"remove at", [](CComboUI* c) { c->RemoveAt(0); }, 4},
      {"remove all", [](CComboUI* c) { c->RemoveAll(); }, 0},
      {"remove all and add", [](CComboUI* c) {
         c->RemoveAll();
         c->Add(MakeRow(7));
       }, 1},
      {"add at", [](CComboUI* c) { c->AddAt(MakeRow(9), 1); }, 6},
      {"move", [](CComboUI* c) { c->SetItemIndex(c->GetItemAt(4), 0); }, 5},
      {"refill on dropdown", nullptr, 3},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    host_.box()->RemoveAll();
    Build(5);
    combo_->SelectItem(3);
    RefillOnDropDown refill;
    refill.combo = combo_;
    if (!test.change) host_.manager().AddNotifier(&refill);
    HWND popup = Open();
    host_.manager().RemoveNotifier(&refill);
    ASSERT_NE(popup, nullptr);
    CComboWnd* drop_down = combo_->GetDropDown();
    // Hovered first, so the pop-up's manager holds a row when the rows change.
    ::SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(10, 12));
    if (test.change) test.change(combo_);

    ASSERT_EQ(combo_->GetCount(), test.rows);
    ASSERT_EQ(drop_down->GetLayout()->GetCount(), test.rows);
    for (int i = 0; i < test.rows; ++i) {
      EXPECT_EQ(drop_down->GetLayout()->GetItemAt(i), combo_->GetItemAt(i)) << "row " << i;
      EXPECT_EQ(combo_->GetItemAt(i)->GetManager(), &drop_down->GetManager()) << "row " << i;
    }
    for (int y = 4; y < 100; y += 8) ::SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(10, y));
    ::InvalidateRect(popup, nullptr, FALSE);
    ::UpdateWindow(popup);
    PumpFor(50);

    combo_->GetDropDown()->PostMessage(WM_CLOSE);
    ASSERT_TRUE(WaitClosed(popup));
    ExpectRowsHome();
    host_.log().entries.clear();
  }
}

TEST_F(ComboWindowTest, AnOpenRowsParentRefusesContainerCallsTheComboKeepsItsRows) {
  const struct {
    const char* name;
    std::function<bool(CContainerUI*, CControlUI* row)> call;
  } cases[] = {
      {"remove", [](CContainerUI* p, CControlUI* row) { return p->Remove(row); }},
      {"remove without deleting",
       [](CContainerUI* p, CControlUI* row) {
         p->SetAutoDestroy(false);
         const bool removed = p->Remove(row);
         p->SetAutoDestroy(true);
         return removed;
       }},
      {"remove at", [](CContainerUI* p, CControlUI*) { return p->RemoveAt(0); }},
      {"remove all", [](CContainerUI* p, CControlUI*) { p->RemoveAll(); return false; }},
      {"add", [](CContainerUI* p, CControlUI*) {
         CControlUI* row = MakeRow(8);
         if (p->Add(row)) return true;
         delete row;
         return false;
       }},
      {"add at", [](CContainerUI* p, CControlUI*) {
         CControlUI* row = MakeRow(9);
         if (p->AddAt(row, 1)) return true;
         delete row;
         return false;
       }},
      {"move", [](CContainerUI* p, CControlUI* row) { return p->SetItemIndex(row, 0); }},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    host_.box()->RemoveAll();
    Build(5);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    CControlUI* row = combo_->GetItemAt(2);
    auto* parent = static_cast<CContainerUI*>(row->GetParent());
    ASSERT_EQ(parent, combo_->GetDropDown()->GetLayout());

    EXPECT_FALSE(test.call(parent, row));
    ASSERT_EQ(combo_->GetCount(), 5);
    ASSERT_EQ(parent->GetCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(parent->GetItemAt(i), combo_->GetItemAt(i)) << "row " << i;
    EXPECT_EQ(combo_->GetItemAt(2), row);

    combo_->GetDropDown()->PostMessage(WM_CLOSE);
    ASSERT_TRUE(WaitClosed(popup));
    ExpectRowsHome();
    host_.log().entries.clear();
  }
}

TEST_F(ComboWindowTest, RemovingTheOpenComboClosesItsPopUpFirst) {
  Build(5);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(host_.box()->Remove(combo_));
  combo_ = nullptr;
  PumpFor(100);
  EXPECT_FALSE(::IsWindow(popup));
}

TEST(ComboOwnerWindow, DestroyedWhileOpenGetsTheRowsBack) {
  testing_support::ManagedWindow window(false, 240, 120);
  auto* root = new CVerticalLayoutUI();
  auto* combo = new CComboUI();
  combo->SetFixedHeight(24);
  for (int i = 0; i < 3; ++i) combo->Add(MakeRow(i));
  root->Add(combo);
  window.manager().AttachRootControl(root);
  window.ShowAndPaint();
  ::SetForegroundWindow(window.hwnd());
  PumpFor(50);
  ASSERT_TRUE(combo->Activate());
  ASSERT_NE(combo->GetDropDown(), nullptr);
  HWND popup = combo->GetDropDown()->GetHWND();

  ::DestroyWindow(window.hwnd());
  EXPECT_FALSE(::IsWindow(popup));
  EXPECT_EQ(combo->GetDropDown(), nullptr);
  for (int i = 0; i < combo->GetCount(); ++i) {
    EXPECT_EQ(combo->GetItemAt(i)->GetManager(), &window.manager()) << "row " << i;
  }
}

}  // namespace
