#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/skin_life.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/layout/container.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/window/notify_pump.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/window/window_impl_base.h"
#include "vellum/core/window/window_wnd.h"

namespace {

using namespace Vellum;
using testing_support::LiveThroughSkin;
using testing_support::PumpFor;
using testing_support::WriteSkinFile;

// ---- CWindowWnd ------------------------------------------------------------------------------------

class PlainWindow : public CWindowWnd {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumTestPlainWindow"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_CLOSE) close_results.push_back(wParam);
    return CWindowWnd::HandleMessage(message, wParam, lParam);
  }
  void OnFinalMessage(HWND hwnd) override {
    final_hwnd = hwnd;
    handle_at_final = GetHWND();
    ++finals;
  }
  std::vector<UINT> messages;
  std::vector<WPARAM> close_results;
  HWND final_hwnd = nullptr;
  HWND handle_at_final = reinterpret_cast<HWND>(1);
  int finals = 0;
};

class SuperButton : public PlainWindow {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumTestSuperButton"; }
  const wchar_t* GetSuperClassName() const override { return L"BUTTON"; }
};

TEST(WindowWnd, OwnClassRoutesMessagesAndEndsWithTheFinalMessage) {
  PlainWindow window;
  HWND hwnd = window.Create(nullptr, L"plain", WS_POPUP, 0, 10, 20, 120, 80);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window.GetHWND(), hwnd);
  EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE));
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.right - rect.left, 120);

  window.ShowWindow(true, false);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  window.ShowWindow(false);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  window.Close(7);
  PumpFor(50);
  ASSERT_EQ(window.close_results.size(), 1u);
  EXPECT_EQ(window.close_results[0], 7u);
  // The default close destroyed the window; the object outlived it.
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.finals, 1);
  EXPECT_EQ(window.final_hwnd, hwnd);
  EXPECT_EQ(window.handle_at_final, nullptr);
  EXPECT_EQ(window.GetHWND(), nullptr);

  // A second window of the same class registers again without harm.
  PlainWindow again;
  ASSERT_NE(again.Create(nullptr, L"again", WS_POPUP, 0, 0, 0, 10, 10), nullptr);
  DestroyWindow(again.GetHWND());
}

TEST(WindowWnd, SuperclassKeepsTheCopiedClassBehaviour) {
  SuperButton button;
  HWND hwnd = button.Create(nullptr, L"caption", WS_POPUP | BS_PUSHBUTTON, 0, 0, 0, 80, 30);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetPropW(hwnd, L"WndX"), static_cast<HANDLE>(static_cast<CWindowWnd*>(&button)));
  wchar_t text[32] = {};
  GetWindowTextW(hwnd, text, 32);  // answered by the button class's own procedure
  EXPECT_STREQ(text, L"caption");
  SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"other"));
  GetWindowTextW(hwnd, text, 32);
  EXPECT_STREQ(text, L"other");
  DestroyWindow(hwnd);
  EXPECT_EQ(button.finals, 1);
  EXPECT_EQ(button.GetHWND(), nullptr);
}

class SuperOfNothing : public PlainWindow {
 public:
  const wchar_t* GetWindowClassName() const override { return L"VellumTestSuperOfNothing"; }
  const wchar_t* GetSuperClassName() const override { return L"VellumNoSuchClassAnywhere"; }
};

TEST(WindowWnd, AClassThatCannotBeRegisteredCreatesNothing) {
  SuperOfNothing window;
  EXPECT_EQ(window.Create(nullptr, L"none", WS_POPUP, 0, 0, 0, 10, 10), nullptr);
  EXPECT_EQ(window.GetHWND(), nullptr);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(FindWindowW(L"VellumTestSuperOfNothing", nullptr), nullptr);
}

TEST(WindowWnd, CenterWindowCentresOverTheOwnerInsideTheWorkArea) {
  PlainWindow owner;
  ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP, 0, 100, 100, 400, 300), nullptr);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(owner.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;

  PlainWindow child;
  ASSERT_NE(child.Create(owner.GetHWND(), L"child", WS_POPUP, 0, 0, 0, 201, 101), nullptr);
  child.CenterWindow();
  RECT rect;
  GetWindowRect(child.GetHWND(), &rect);
  EXPECT_EQ(rect.left, (100 + 500) / 2 - 201 / 2);
  EXPECT_EQ(rect.top, (100 + 400) / 2 - 101 / 2);

  // An owner near the work area's left and bottom edges: the window is pushed back inside.
  SetWindowPos(owner.GetHWND(), nullptr, work.left - 150, work.bottom - 40, 200, 60,
               SWP_NOZORDER | SWP_NOACTIVATE);
  child.CenterWindow();
  GetWindowRect(child.GetHWND(), &rect);
  EXPECT_EQ(rect.left, work.left);
  EXPECT_EQ(rect.bottom, work.bottom);
  DestroyWindow(child.GetHWND());
  DestroyWindow(owner.GetHWND());
}

// ---- CNotifyPump -----------------------------------------------------------------------------------

class MapPump : public CNotifyPump {
 public:
  void OnSpecial(TUINotification&) { calls.push_back(L"special"); }
  void OnAnyClick(TUINotification& msg) { calls.push_back(L"any:" + std::wstring(msg.sender->GetName().GetData())); }
  void OnParams(WPARAM wParam, LPARAM lParam) {
    calls.push_back(L"params:" + std::to_wstring(wParam) + L"," + std::to_wstring(lParam));
  }
  std::vector<std::wstring> calls;
  DECLARE_NOTIFY_MAP()
};

BEGIN_NOTIFY_MAP(MapPump, CNotifyPump)
  NOTIFY_TYPE_HANDLER(L"click", &MapPump::OnAnyClick)
  NOTIFY_CONTROL_HANDLER(L"click", L"special", &MapPump::OnSpecial)
  NOTIFY_PARAMS_HANDLER(L"selectchanged", L"", &MapPump::OnParams)
END_NOTIFY_MAP()

TUINotification Notification(const wchar_t* type, CControlUI* sender, WPARAM wParam = 0,
                             LPARAM lParam = 0) {
  TUINotification msg;
  msg.type = type;
  msg.sender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  return msg;
}

TEST(NotifyPump, NamedEntriesWinAndTheEmptyNameServesTheRest) {
  MapPump pump;
  CControlUI special;
  special.SetName(L"special");
  CControlUI other;
  other.SetName(L"other");
  TUINotification msg = Notification(L"click", &special);
  EXPECT_TRUE(pump.LoopDispatch(msg));
  msg = Notification(L"click", &other);
  EXPECT_TRUE(pump.LoopDispatch(msg));
  msg = Notification(L"selectchanged", &other, 3, 4);
  EXPECT_TRUE(pump.LoopDispatch(msg));
  // Types compare exactly as written; no entry means no dispatch.
  msg = Notification(L"Click", &other);
  EXPECT_FALSE(pump.LoopDispatch(msg));
  msg = Notification(L"timer", &other);
  EXPECT_FALSE(pump.LoopDispatch(msg));
  EXPECT_EQ(pump.calls, (std::vector<std::wstring>{L"special", L"any:other", L"params:3,4"}));
}

TEST(NotifyPump, VirtualWindowsTakeTheirNotificationsFirst) {
  MapPump outer;
  MapPump inner;
  ASSERT_TRUE(outer.AddVirtualWnd(L"Inner", &inner));
  EXPECT_FALSE(outer.AddVirtualWnd(L"INNER", &inner));
  CControlUI control;
  control.SetName(L"c");
  TUINotification msg = Notification(L"click", &control);
  msg.virtual_wnd = L"inner";
  outer.NotifyPump(msg);
  EXPECT_EQ(inner.calls.size(), 1u);
  EXPECT_TRUE(outer.calls.empty());
  // What the virtual window does not take comes back to the window itself.
  msg = Notification(L"unknown", &control);
  msg.virtual_wnd = L"inner";
  outer.NotifyPump(msg);
  EXPECT_TRUE(outer.RemoveVirtualWnd(L"INNER"));
  msg = Notification(L"click", &control);
  msg.virtual_wnd = L"inner";
  outer.NotifyPump(msg);
  EXPECT_EQ(outer.calls.size(), 1u);
}

// ---- WindowImplBase --------------------------------------------------------------------------------

class SkinWindow : public WindowImplBase {
 public:
  explicit SkinWindow(const wchar_t* skin) : skin_(skin) {}
  const wchar_t* GetWindowClassName() const override { return L"VellumTestSkinWindow"; }
  const wchar_t* GetSkinFile() override { return skin_.c_str(); }
  void InitWindow() override { ++inits; }
  void OnClick(TUINotification& msg) override {
    clicks.push_back(msg.sender->GetName().GetData());
    WindowImplBase::OnClick(msg);
  }
  LRESULT OnClose(UINT, WPARAM wParam, LPARAM, BOOL& handled) override {
    closes.push_back(wParam);
    handled = keep_open ? TRUE : FALSE;
    return 0;
  }
  CControlUI* Find(const wchar_t* name) { return GetPaintManager().FindControl(name); }
  LRESULT HitTest(int client_x, int client_y) {
    POINT point{client_x, client_y};
    ClientToScreen(GetHWND(), &point);
    return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  }

  std::vector<std::wstring> clicks;
  std::vector<WPARAM> closes;
  bool keep_open = true;
  int inits = 0;

 private:
  std::wstring skin_;
};

const wchar_t* const kFrameSkin =
    L"<Window size=\"300,200\" sizebox=\"4,4,4,4\" caption=\"0,0,0,30\" mininfo=\"120,90\" "
    L"maxinfo=\"700,0\">"
    L"<VerticalLayout><HorizontalLayout height=\"30\"><Label name=\"title\" width=\"100\"/>"
    L"<Button name=\"other\" width=\"50\"/><Button name=\"minbtn\" width=\"20\"/>"
    L"<Button name=\"maxbtn\" width=\"20\"/><Button name=\"restorebtn\" width=\"20\" visible=\"false\"/>"
    L"<Button name=\"closebtn\" width=\"20\"/></HorizontalLayout><Control name=\"body\"/>"
    L"</VerticalLayout></Window>";

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    ASSERT_NE(window_.Create(nullptr, L"frame", WS_OVERLAPPEDWINDOW, 0, 100, 100, 300, 200),
              nullptr);
    window_.ShowWindow(true, true);
    UpdateWindow(window_.GetHWND());
    PumpFor(50);
  }
  void TearDown() override {
    if (IsWindow(window_.GetHWND())) DestroyWindow(window_.GetHWND());
  }
  SkinWindow window_{kFrameSkin};
};

TEST_F(FrameTest, TheWholeWindowIsClientAreaWithoutCaption) {
  HWND hwnd = window_.GetHWND();
  EXPECT_EQ(window_.inits, 1);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_EQ(window_.GetStyle() & WS_CAPTION, 0);
  RECT window_rect;
  RECT client;
  GetWindowRect(hwnd, &window_rect);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, window_rect.right - window_rect.left);
  EXPECT_EQ(client.bottom, window_rect.bottom - window_rect.top);
  RECT proposed{0, 0, 300, 200};
  EXPECT_EQ(SendMessageW(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed)), 0);
  EXPECT_EQ(proposed.right, 300);
  EXPECT_EQ(SendMessageW(hwnd, WM_NCPAINT, 1, 0), 0);
  ASSERT_NE(window_.Find(L"title"), nullptr);
  EXPECT_EQ(window_.Find(L"title")->GetManager(), &window_.GetPaintManager());
}

TEST_F(FrameTest, HitTestsOfSizeBoxAndCaption) {
  struct Case {
    int x, y;
    LRESULT expected;
  };
  const Case cases[] = {
      {2, 2, HTTOPLEFT},       {150, 1, HTTOP},        {297, 2, HTTOPRIGHT},
      {1, 100, HTLEFT},        {298, 100, HTRIGHT},    {2, 197, HTBOTTOMLEFT},
      {150, 198, HTBOTTOM},    {297, 197, HTBOTTOMRIGHT},
      {50, 15, HTCAPTION},     // over the label
      {120, 15, HTCLIENT},     // over a button inside the caption
      {50, 100, HTCLIENT},     // below the caption
  };
  for (const Case& c : cases) {
    EXPECT_EQ(window_.HitTest(c.x, c.y), c.expected) << c.x << "," << c.y;
  }
}

// A caption-less pop-up, which Wine maximises itself (a window with a frame would wait for a window
// manager that Xvfb does not have).
TEST(WindowImplBaseMaximise, WhileMaximisedOnlyTheCaptionDecidesAndTheButtonsSwap) {
  SkinWindow window(kFrameSkin);
  ASSERT_NE(window.Create(nullptr, L"maximise", WS_POPUP | WS_VISIBLE | WS_MAXIMIZEBOX, 0, 100,
                          100, 300, 200),
            nullptr);
  UpdateWindow(window.GetHWND());
  PumpFor(50);
  window.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  PumpFor(100);
  ASSERT_TRUE(IsZoomed(window.GetHWND()));
  UpdateWindow(window.GetHWND());
  PumpFor(50);
  EXPECT_EQ(window.HitTest(2, 2), HTCAPTION);
  // Maximised shows restore instead of maximise.
  EXPECT_FALSE(window.Find(L"maxbtn")->IsVisible());
  EXPECT_TRUE(window.Find(L"restorebtn")->IsVisible());
  window.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpFor(100);
  EXPECT_FALSE(IsZoomed(window.GetHWND()));
  EXPECT_TRUE(window.Find(L"maxbtn")->IsVisible());
  EXPECT_FALSE(window.Find(L"restorebtn")->IsVisible());
  EXPECT_EQ(window.HitTest(2, 2), HTTOPLEFT);
  DestroyWindow(window.GetHWND());
}

TEST_F(FrameTest, SystemCloseIsRecognisedWhateverItsLowBits) {
  window_.SendMessage(WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);
  ASSERT_EQ(window_.closes.size(), 1u);
  EXPECT_TRUE(IsWindow(window_.GetHWND()));
}

TEST_F(FrameTest, MinMaxInfoComesFromTheWorkAreaAndTheSkin) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window_.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT work = monitor.rcWork;
  MINMAXINFO info{};
  window_.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxPosition.x, work.left);
  EXPECT_EQ(info.ptMaxPosition.y, work.top);
  EXPECT_EQ(info.ptMaxSize.x, work.right - work.left);
  EXPECT_EQ(info.ptMaxSize.y, work.bottom - work.top);
  EXPECT_EQ(info.ptMaxTrackSize.x, 700);
  EXPECT_EQ(info.ptMaxTrackSize.y, work.bottom - work.top);
  EXPECT_EQ(info.ptMinTrackSize.x, 120);
  EXPECT_EQ(info.ptMinTrackSize.y, 90);
}

TEST_F(FrameTest, EveryWindowGetsARegion) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(window_.GetHWND(), region), ERROR);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_EQ(box.right - box.left, 300);
  EXPECT_EQ(box.bottom - box.top, 200);
  DeleteObject(region);
}

class ResourceSkinWindow : public SkinWindow {
 public:
  ResourceSkinWindow() : SkinWindow(L"201") {}
  const wchar_t* GetSkinType() override { return L"SKINXML"; }
};

TEST(WindowImplBaseSkin, ASkinTypeMakesTheSkinFileAResourceId) {
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  ResourceSkinWindow window;
  ASSERT_NE(window.Create(nullptr, L"resource", WS_POPUP, 0, 0, 0, 10, 10), nullptr);
  EXPECT_NE(window.Find(L"resource_root"), nullptr);
  RECT rect;
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.right - rect.left, 160);
  EXPECT_EQ(rect.bottom - rect.top, 90);
  DestroyWindow(window.GetHWND());
}

TEST(WindowImplBaseRegion, RoundCornersCutTheWindowRegion) {
  SkinWindow window(L"<Window roundcorner=\"20,20\"><Control/></Window>");
  ASSERT_NE(window.Create(nullptr, L"round", WS_POPUP | WS_VISIBLE, 0, 50, 50, 200, 100), nullptr);
  SetWindowPos(window.GetHWND(), nullptr, 0, 0, 210, 110, SWP_NOMOVE | SWP_NOZORDER);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window.GetHWND(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 105, 0));
  EXPECT_TRUE(PtInRegion(region, 105, 55));
  DeleteObject(region);
  DestroyWindow(window.GetHWND());
}

TEST(WindowImplBaseCaption, ANegativeCaptionBottomMakesTheWholeHeightCaption) {
  SkinWindow window(
      L"<Window caption=\"0,0,0,-1\"><VerticalLayout><Control/><Button name=\"b\" height=\"20\"/>"
      L"</VerticalLayout></Window>");
  ASSERT_NE(window.Create(nullptr, L"caption", WS_POPUP | WS_VISIBLE, 0, 50, 50, 200, 100),
            nullptr);
  UpdateWindow(window.GetHWND());
  PumpFor(50);
  EXPECT_EQ(window.HitTest(100, 50), HTCAPTION);
  EXPECT_EQ(window.HitTest(100, 90), HTCLIENT);  // the button at the bottom
  DestroyWindow(window.GetHWND());
}

TEST_F(FrameTest, ClickNotificationsReachOnClickAndCloseTheWindow) {
  CPaintManagerUI& manager = window_.GetPaintManager();
  manager.SendNotify(window_.Find(L"other"), L"click");
  EXPECT_EQ(window_.clicks, (std::vector<std::wstring>{L"other"}));
  manager.SendNotify(window_.Find(L"closebtn"), L"click");
  PumpFor(50);
  ASSERT_EQ(window_.closes.size(), 1u);
  EXPECT_EQ(window_.closes[0], 1u);
}

TEST_F(FrameTest, ARealMouseClickOnAButtonReachesOnClick) {
  CControlUI* button = window_.Find(L"other");
  const RECT pos = button->GetPos();
  POINT point{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
  ClientToScreen(window_.GetHWND(), &point);
  SetForegroundWindow(window_.GetHWND());
  ASSERT_TRUE(testing_support::ClickAt(point));
  testing_support::WaitUntil([&] { return !window_.clicks.empty(); }, 2000);
  EXPECT_EQ(window_.clicks, (std::vector<std::wstring>{L"other"}));
  // The press gave the button the focus, so the keyboard now activates it.
  EXPECT_TRUE(button->IsFocused());
  ASSERT_TRUE(testing_support::PressKey(VK_SPACE));
  testing_support::WaitUntil([&] { return window_.clicks.size() >= 2; }, 2000);
  EXPECT_EQ(window_.clicks, (std::vector<std::wstring>{L"other", L"other"}));
}

TEST_F(FrameTest, ReturnAndEscapeAreOfferedButNeverConsumed) {
  bool handled = false;
  EXPECT_EQ(window_.MessageHandler(WM_KEYDOWN, VK_ESCAPE, 0, handled), TRUE);
  EXPECT_EQ(window_.MessageHandler(WM_KEYDOWN, VK_RETURN, 0, handled), FALSE);
  EXPECT_EQ(window_.MessageHandler(WM_KEYDOWN, 'A', 0, handled), 0);
  EXPECT_FALSE(handled);
}

TEST(WindowImplBaseStatic, OnlyShowingAndPlacingClassesUpToTheRootCount) {
  for (const wchar_t* name : {L"ControlUI", L"labelui", L"TEXTUI", L"ContainerUI",
                              L"HorizontalLayoutUI", L"VerticalLayoutUI", L"TabLayoutUI",
                              L"ChildLayoutUI", L"DialogLayoutUI", L"ProgressContainerUI"}) {
    EXPECT_TRUE(IsStaticControlClass(name));
  }
  for (const wchar_t* name : {L"ButtonUI", L"OptionUI", L"EditUI", L"TileLayoutUI", L""}) {
    EXPECT_FALSE(IsStaticControlClass(name));
  }
}

// ---- Hostile skins ------------------------------------------------------------------------------

// Each skin once crashed or hung the framework on its way through a window's life: loaded, laid
// out, painted, given input, and having controls removed and added.
TEST(WindowImplBaseHostileSkins, EachLoadsPaintsTakesInputAndLosesControlsWithinASecond) {
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  WriteSkinFile(L"wh_child_self.xml",
                "<Window><VerticalLayout><ChildLayout xmlfile=\"wh_child_self.xml\"/>"
                "</VerticalLayout></Window>");
  WriteSkinFile(L"wh_fan.xml",
                "<Window><VerticalLayout bkcolor=\"#FF00FF00\"><Include source=\"wh_fan.xml\"/>"
                "<Include source=\"wh_fan.xml\"/></VerticalLayout></Window>");
  std::wstring many = L"<Window><Label/>";
  for (int i = 0; i < 3000; ++i) many += L"<Button text=\"b\"/>";
  many += L"</Window>";
  const struct {
    const char* name;
    std::wstring skin;
  } cases[] = {
      {"a scroll bar longer than the integers", L"<Window><VerticalLayout vscrollbar=\"true\" "
       L"inset=\"50,-2147483647,100,abc\"><Control height=\"100\"/></VerticalLayout></Window>"},
      {"a child layout that holds itself",
       L"<Window><VerticalLayout><ChildLayout xmlfile=\"wh_child_self.xml\"/></VerticalLayout>"
       L"</Window>"},
      {"a skin that includes itself twice",
       L"<Window><VerticalLayout><Include source=\"wh_fan.xml\"/></VerticalLayout></Window>"},
      {"a huge window with a translucent colour",
       L"<Window size=\"2147483647,2147483647\"><Container bkcolor=\"20bcb445\"/></Window>"},
      {"a huge window with an opaque colour",
       L"<Window size=\"2147483646,4294967295\"><Container bkcolor=\"#FF123456\"/></Window>"},
      {"a huge layered window",
       L"<Window size=\"2147483647,2147483647\" bktrans=\"true\"><Control/></Window>"},
      {"a huge round border", L"<Window><Control bordersize=\"2\" bordercolor=\"#FFFF0000\" "
       L"borderround=\"2147483647,2147483647\" bkcolor=\"#FF0000FF\"/></Window>"},
      {"a border a million pixels thick", L"<Window><Control bordercolor=\"#66959575\" "
       L"topbordersize=\"1048576\" bordersize=\"1048576\"/></Window>"},
      {"thousands of top-level controls", many},
      {"a tab page given the focus inside a subtree the builder refuses",
       L"<Window><Label><HorizontalLayout><TabLayout selectedid=\"1\"><Label/><Container/></TabLayout>"
       L"</HorizontalLayout></Label></Window>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LiveThroughSkin(c.skin);
  }
}

// ---- The skin failure, from a second process ----------------------------------------------------

struct FoundText {
  std::wstring text;
};

BOOL CALLBACK ReadStaticText(HWND child, LPARAM data) {
  wchar_t class_name[32] = {};
  GetClassNameW(child, class_name, 32);
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  if (_wcsicmp(class_name, L"Static") == 0 && text[0] != L'\0') {
    reinterpret_cast<FoundText*>(data)->text = text;
    return FALSE;
  }
  return TRUE;
}

TEST(WindowImplBaseSkinFailure, ShowsTheErrorBoxAndEndsTheProcessWithOne) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring helper(path);
  helper = helper.substr(0, helper.find_last_of(L"\\/") + 1) + L"vellum_skin_failure_helper.exe";
  std::wstring command = L"\"" + helper + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(helper.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(process.hThread);

  HWND box = nullptr;
  const DWORD end = GetTickCount() + 30000;
  while (box == nullptr && static_cast<LONG>(GetTickCount() - end) < 0) {
    HWND candidate = FindWindowW(L"#32770", L"Vellum");
    DWORD owner_process = 0;
    if (candidate) GetWindowThreadProcessId(candidate, &owner_process);
    if (candidate && owner_process == process.dwProcessId) box = candidate;
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
  }
  if (box == nullptr) {
    TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    FAIL() << "no error box appeared";
  }
  FoundText found;
  EnumChildWindows(box, &ReadStaticText, reinterpret_cast<LPARAM>(&found));
  EXPECT_EQ(found.text,
            std::wstring(L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1A") +
                L"wb_missing_skin.xml");
  PostMessageW(box, WM_COMMAND, IDOK, 0);

  DWORD exit_code = 0;
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
  }
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exit_code, 1u);
}

}  // namespace
