// The tray pop-up menu built from the embedded skin as the main window builds it, with a stand-in main
// window that records what the menu sends it. It moves the real cursor and takes the foreground.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_wnd.h"
#include "app/pop_menu.h"
#include "app/popup_placement.h"
#include "tests/support/embedded_skin_package.h"
#include "tests/support/ui_input.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using testing_support::PumpFor;

class Environment : public testing::Environment {
 public:
  void SetUp() override {
    testing_support::UseEmbeddedSkinPackage();
  }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

// The main window's part: a hidden tool window that records the program messages it is sent.
class StandInMainWindow {
 public:
  struct Received {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };

  StandInMainWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &StandInMainWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LumavexStandInMainWnd";
    RegisterClassExW(&wc);
    hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~StandInMainWindow() { DestroyWindow(hwnd); }

  HWND hwnd = nullptr;
  std::vector<Received> received;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<StandInMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && (message == kOpenSettingsMessage || message == kQuitMessage)) {
      self->received.push_back({message, wparam, lparam});
      return 1;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
};

class PopMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing_support::EmbeddedSkinPackage().empty()) << "resource ZIPRES 137 is missing";
  }
  void TearDown() override { Drop(); }

  // The menu's object outlives its window in the program; here the window goes first.
  void Drop() {
    if (menu_ && menu_->GetHWND() != nullptr) DestroyWindow(menu_->GetHWND());
    menu_.reset();
  }

  // Made as the main window makes it: created, then given the monitor's DPI.
  void Make(int dpi) {
    Drop();
    menu_ = std::make_unique<PopMenu>(main_.hwnd);
    ASSERT_NE(menu_->Create(main_.hwnd, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT),
              nullptr);
    menu_->GetPaintManager().SetDPI(dpi);
    PumpFor(50);
  }

  HWND menu() const { return menu_->GetHWND(); }

  void Click(const wchar_t* control_name) {
    Vellum::TUINotification msg;
    msg.type = L"click";
    msg.sender = menu_->GetPaintManager().FindControl(control_name);
    ASSERT_NE(msg.sender, nullptr) << "no control " << testing::PrintToString(std::wstring(control_name));
    menu_->Notify(msg);
  }

  StandInMainWindow main_;
  std::unique_ptr<PopMenu> menu_;
};

// The taskbar of the X server session is at the bottom, as on most desktops: the menu opens above the
// cursor, to its right, or to its left where it would cross the work area's right edge.
TEST_F(PopMenuTest, OpensBesideTheCursorAtItsSizeForEachDpi) {
  ASSERT_EQ(QueryTaskbarEdge(), static_cast<UINT>(ABE_BOTTOM));
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  struct Case {
    int dpi;
    SIZE size;
    int gap;
  };
  const Case kCases[] = {{96, {120, 72}, 5}, {144, {180, 108}, 8}, {192, {240, 144}, 10}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dpi);
    Make(c.dpi);
    struct Spot {
      POINT cursor;
      POINT top_left;
    };
    const POINT middle = {(work.left + work.right) / 2, (work.top + work.bottom) / 2};
    const POINT near_right = {work.right - 20, middle.y};
    const Spot kSpots[] = {
        {middle, {middle.x + c.gap, middle.y - c.gap - c.size.cy}},
        {near_right, {near_right.x + c.gap - c.size.cx, near_right.y - c.gap - c.size.cy}},
    };
    for (const Spot& spot : kSpots) {
      SetCursorPos(spot.cursor.x, spot.cursor.y);
      menu_->ShowAtCursor();
      EXPECT_TRUE(IsWindowVisible(menu()));
      RECT rect = {};
      GetWindowRect(menu(), &rect);
      EXPECT_EQ(rect.left, spot.top_left.x);
      EXPECT_EQ(rect.top, spot.top_left.y);
      EXPECT_EQ(rect.right - rect.left, c.size.cx);
      EXPECT_EQ(rect.bottom - rect.top, c.size.cy);
      menu_->ShowWindow(false);
    }
  }
}

TEST_F(PopMenuTest, ItemsSendTheirMessagesToTheMainWindowAndTheMenuStaysUp) {
  Make(96);
  menu_->ShowAtCursor();
  Click(L"tray_open_setting");
  Click(L"tray_open_quit");
  Click(L"layout");
  ASSERT_EQ(main_.received.size(), 2u);
  EXPECT_EQ(main_.received[0].message, 0x8002u);
  EXPECT_EQ(main_.received[1].message, 0x8003u);
  for (const auto& r : main_.received) {
    EXPECT_EQ(r.wparam, 0u);
    EXPECT_EQ(r.lparam, 0);
  }
  EXPECT_TRUE(IsWindowVisible(menu()));
}

TEST_F(PopMenuTest, HidesOnEscapeOrEnterOrLosingTheFocusAndSurvivesClose) {
  Make(96);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wparam;
    bool hides;
  };
  const Case kCases[] = {
      {"Escape", WM_KEYDOWN, VK_ESCAPE, true},
      {"Enter", WM_KEYDOWN, VK_RETURN, true},
      {"another key", WM_KEYDOWN, 'A', false},
      {"close", WM_CLOSE, 0, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    menu_->ShowAtCursor();
    ASSERT_TRUE(IsWindowVisible(menu()));
    EXPECT_EQ(SendMessageW(menu(), c.message, c.wparam, 0), 0);
    ASSERT_TRUE(IsWindow(menu()));
    EXPECT_EQ(IsWindowVisible(menu()) != FALSE, !c.hides);
  }

  // A click elsewhere: another window takes the foreground and the focus.
  menu_->ShowAtCursor();
  PumpFor(50);
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  SetFocus(other);
  PumpFor(100);
  EXPECT_FALSE(IsWindowVisible(menu()));
  DestroyWindow(other);
}

}  // namespace
