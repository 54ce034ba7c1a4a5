// Menus as real windows: a root menu built from XML and placed at a point, sub-menus opened by
// hovering and by keys, the part of the chain below a menu closed, a chosen item posted to the
// application's window, the focus leaving, and sub-menus whose window or owner goes away.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/menu/menu.h"
#include "vellum/controls/menu/menu_observer.h"
#include "vellum/controls/menu/menu_wnd.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::NativeHostWindow;
using testing_support::PressKey;
using testing_support::PumpFor;
using testing_support::WaitUntil;

constexpr wchar_t kMenuXml[] =
    L"<Window>"
    L"<Menu name=\"root\" bkcolor=\"#FFFFFFFF\" itemtextpadding=\"30,0,0,0\">"
    L"  <MenuElement name=\"open\" text=\"Open\" />"
    L"  <MenuElement name=\"recent\" text=\"Recent\" expland=\"true\">"
    L"    <MenuElement name=\"first\" text=\"First\" expland=\"true\">"
    L"      <MenuElement name=\"deep\" text=\"Deep\" />"
    L"    </MenuElement>"
    L"    <MenuElement name=\"second\" text=\"Second\" />"
    L"  </MenuElement>"
    L"  <MenuElement linetype=\"true\" />"
    L"  <MenuElement name=\"wrap\" text=\"Word wrap\" checkitem=\"true\" ischeck=\"false\" />"
    L"</Menu>"
    L"</Window>";

RECT ScreenRect(HWND hwnd) {
  RECT rect{};
  ::GetWindowRect(hwnd, &rect);
  return rect;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

POINT CentreOnScreen(CControlUI* control) {
  const RECT pos = control->GetPos();
  POINT centre{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
  ::ClientToScreen(control->GetManager()->GetPaintWindow(), &centre);
  return centre;
}

// The cursor put beside the point and moved onto it, so the window under it sees a real move.
void HoverAt(POINT point) {
  ::SetCursorPos(point.x - 2, point.y);
  PumpFor(30);
  testing_support::MoveMouse({{2, 0}});
  PumpFor(60);
}

HWND SubMenuWindow(CMenuElementUI* item) {
  return item && item->GetMenuWnd() ? item->GetMenuWnd()->GetHWND() : nullptr;
}

class MenuWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    GetMenuObserver().Broadcast(MENU_CLOSE_ALL, nullptr);
    WaitUntil([] { return GetMenuObserver().GetReceivers().empty(); }, 2000);
    EXPECT_TRUE(GetMenuObserver().GetReceivers().empty());
    for (const MSG& msg : host_.seen()) {
      if (msg.message == kMenuCommandMessage) delete reinterpret_cast<TMenuCommand*>(msg.wParam);
    }
    GetMenuObserver().SetCheckTable(nullptr);
    for (int i = 0; i < table_.GetSize(); ++i) {
      delete static_cast<TMenuCheckInfo*>(table_.Find(table_.GetAt(i), false));
    }
  }

  // Shows the host and opens the root menu at the point; returns the menu's window.
  HWND OpenRoot(POINT point, UINT alignment = MENU_ALIGN_LEFT | MENU_ALIGN_TOP,
                const wchar_t* xml = kMenuXml) {
    if (!hosted_) {
      host_.Host(new CVerticalLayoutUI(), 30);
      hosted_ = true;
    }
    root_ = new CMenuWnd();
    if (!root_->Init(nullptr, xml, point, &host_.manager(), &table_, alignment)) {
      return nullptr;
    }
    HWND hwnd = root_->GetHWND();
    WaitUntil([&] { return ::GetFocus() == hwnd; }, 2000);
    PumpFor(80);
    return hwnd;
  }
  CMenuElementUI* Find(const wchar_t* name) {
    return static_cast<CMenuElementUI*>(root_->GetManager().FindControl(name));
  }
  bool WaitGone(HWND hwnd) {
    return WaitUntil([&] { return !::IsWindow(hwnd); }, 2000);
  }
  std::vector<TMenuCommand*> Commands() {
    std::vector<TMenuCommand*> commands;
    for (const MSG& msg : host_.seen()) {
      if (msg.message != kMenuCommandMessage) continue;
      commands.push_back(reinterpret_cast<TMenuCommand*>(msg.wParam));
    }
    return commands;
  }
  void ExpectSubItemsHome(CMenuElementUI* owner) {
    for (int i = 0; i < owner->GetSubItemCount(); ++i) {
      CMenuElementUI* item = owner->GetSubItemAt(i);
      EXPECT_EQ(item->GetManager(), owner->GetManager()) << i;
      EXPECT_EQ(item->GetParent(), owner) << i;
      EXPECT_FALSE(item->IsVisible()) << i;
    }
    EXPECT_EQ(owner->GetMenuWnd(), nullptr);
  }

  NativeHostWindow host_;
  bool hosted_ = false;
  CUIStringMap table_;
  CMenuWnd* root_ = nullptr;
};

TEST_F(MenuWindowTest, RootMenuOpensAtThePointAsTheAlignmentSays) {
  struct Case {
    UINT alignment;
    bool right;
    bool bottom;
  };
  const POINT point{400, 300};
  for (const Case& c : {Case{MENU_ALIGN_LEFT | MENU_ALIGN_TOP, false, false},
                        Case{MENU_ALIGN_RIGHT | MENU_ALIGN_BOTTOM, true, true}}) {
    SCOPED_TRACE(c.alignment);
    HWND menu = OpenRoot(point, c.alignment);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(ClassName(menu), L"DuiMenuWnd");
    EXPECT_EQ(::GetWindow(menu, GW_OWNER), host_.hwnd());
    EXPECT_NE(::GetWindowLongW(menu, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_NE(::GetWindowLongW(menu, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(::IsWindowVisible(menu));
    const RECT rect = ScreenRect(menu);
    EXPECT_EQ(rect.right - rect.left, 150);
    EXPECT_EQ(rect.bottom - rect.top, 30 + 30 + 6 + 30);
    EXPECT_EQ(c.right ? rect.right : rect.left, point.x);
    EXPECT_EQ(c.bottom ? rect.bottom : rect.top, point.y);

    // Right-button messages and the context menu reach nothing.
    ::SendMessageW(menu, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10));
    ::SendMessageW(menu, WM_RBUTTONUP, 0, MAKELPARAM(20, 10));
    ::SendMessageW(menu, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(menu), MAKELPARAM(420, 310));
    PumpFor(50);
    EXPECT_TRUE(::IsWindow(menu));
    EXPECT_TRUE(Commands().empty());

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitGone(menu));
  }
}

TEST_F(MenuWindowTest, HoverOpensSubMenusAndHoveringTheRootClosesTheDeeperLevels) {
  HWND menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  CMenuElementUI* first = Find(L"first");
  ASSERT_NE(recent, nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->IsVisible());

  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  HWND second = SubMenuWindow(recent);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);
  PumpFor(80);
  EXPECT_EQ(::GetWindow(second, GW_OWNER), menu);
  EXPECT_EQ(first->GetManager(), &recent->GetMenuWnd()->GetManager());
  EXPECT_TRUE(first->IsVisible());
  // Beside the root, from the hovered item's top.
  const RECT root_rect = ScreenRect(menu);
  const RECT second_rect = ScreenRect(second);
  EXPECT_EQ(second_rect.left, root_rect.right);
  EXPECT_EQ(second_rect.top, root_rect.top + 30);
  EXPECT_EQ(second_rect.bottom - second_rect.top, 60);
  // Focus moved from the root to its sub-menu: nothing closed.
  EXPECT_TRUE(::IsWindow(menu));

  HoverAt(CentreOnScreen(first));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(first) != nullptr; }, 2000));
  HWND third = SubMenuWindow(first);
  PumpFor(80);
  EXPECT_EQ(GetMenuObserver().GetReceivers().size(), 3u);

  HoverAt(CentreOnScreen(Find(L"open")));
  EXPECT_TRUE(WaitGone(second));
  EXPECT_TRUE(WaitGone(third));
  PumpFor(50);
  EXPECT_TRUE(::IsWindow(menu));
  EXPECT_EQ(GetMenuObserver().GetReceivers().size(), 1u);
  ExpectSubItemsHome(recent);
  ExpectSubItemsHome(first);
}

// Items a million pixels wide open menus no larger than the screens together: the window system is
// never asked for a window it may fail on.
TEST_F(MenuWindowTest, MenusAreNoLargerThanTheScreens) {
  constexpr wchar_t kWideMenuXml[] =
      L"<Window><Menu name=\"root\" bkcolor=\"#FFFFFFFF\">"
      L"<MenuElement name=\"wide\" text=\"Wide\" width=\"1048576\" expland=\"true\">"
      L"<MenuElement name=\"wider\" text=\"Wider\" width=\"1048576\"/></MenuElement>"
      L"</Menu></Window>";
  HWND menu = OpenRoot(POINT{0, 0}, MENU_ALIGN_LEFT | MENU_ALIGN_TOP, kWideMenuXml);
  ASSERT_NE(menu, nullptr);
  const int screens = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  EXPECT_EQ(ScreenRect(menu).right - ScreenRect(menu).left, screens);
  ::SetCursorPos(5, 400);
  PumpFor(50);
  root_->GetMenuRoot()->SelectItem(0, true);
  PressKey(VK_RIGHT);
  CMenuElementUI* wide = Find(L"wide");
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(wide) != nullptr; }, 2000));
  const RECT sub = ScreenRect(SubMenuWindow(wide));
  EXPECT_LE(sub.right - sub.left, screens + 2);
}

TEST_F(MenuWindowTest, KeysMoveOpenAndCloseOneLevelAtATime) {
  HWND menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  CMenuUI* list = root_->GetMenuRoot();
  ASSERT_NE(list, nullptr);
  HoverAt(CentreOnScreen(Find(L"open")));
  EXPECT_EQ(list->GetCurSel(), 0);
  // Move the pointer off the menu so hovering plays no part from here.
  ::SetCursorPos(5, 5);
  PumpFor(50);
  list->SelectItem(0, true);
  PumpFor(30);

  struct Step {
    WORD key;
    int selected;
  };
  for (const Step& step : {Step{VK_DOWN, 1}, Step{VK_DOWN, 3}, Step{VK_UP, 1}}) {
    PressKey(step.key);
    WaitUntil([&] { return list->GetCurSel() == step.selected; }, 1000);
    EXPECT_EQ(list->GetCurSel(), step.selected);
  }
  PressKey(VK_RIGHT);
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  HWND second = SubMenuWindow(recent);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);

  // Left closes only the sub-menu; the focus goes back to its owner item.
  PressKey(VK_LEFT);
  EXPECT_TRUE(WaitGone(second));
  PumpFor(80);
  EXPECT_TRUE(::IsWindow(menu));
  ExpectSubItemsHome(recent);
  EXPECT_EQ(root_->GetManager().GetFocus(), recent);

  PressKey(VK_RIGHT);
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  second = SubMenuWindow(recent);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitGone(second));
  PumpFor(50);
  EXPECT_TRUE(::IsWindow(menu));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitGone(menu));
  EXPECT_TRUE(Commands().empty());
}

TEST_F(MenuWindowTest, TheKeyboardAloneMovesOpensAndChooses) {
  CMenuUI* list = nullptr;
  auto open_root = [&] {
    // The pointer stays off the menus: only keys act.
    ::SetCursorPos(5, 5);
    PumpFor(30);
    HWND menu = OpenRoot(POINT{300, 200});
    list = menu ? root_->GetMenuRoot() : nullptr;
    return menu;
  };
  auto press = [](WORD key, const std::function<bool()>& done) {
    PressKey(key);
    return WaitUntil(done, 2000);
  };
  auto sub_list = [](CMenuElementUI* owner) {
    return owner->GetMenuWnd() ? owner->GetMenuWnd()->GetMenuRoot() : nullptr;
  };

  // Down into a new menu, Right into a sub-menu that starts on its first item, Return on a leaf.
  HWND menu = open_root();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCurSel(), -1);
  CMenuElementUI* recent = Find(L"recent");
  CMenuElementUI* first = Find(L"first");
  ASSERT_TRUE(press(VK_DOWN, [&] { return list->GetCurSel() == 0; }));
  ASSERT_TRUE(press(VK_DOWN, [&] { return list->GetCurSel() == 1; }));
  ASSERT_TRUE(press(VK_RIGHT, [&] { return sub_list(recent) != nullptr; }));
  HWND second = SubMenuWindow(recent);
  CMenuUI* second_list = sub_list(recent);
  EXPECT_EQ(second_list->GetCurSel(), 0);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);
  PumpFor(80);
  ASSERT_TRUE(press(VK_DOWN, [&] { return second_list->GetCurSel() == 1; }));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitGone(second));
  EXPECT_TRUE(WaitGone(menu));
  PumpFor(50);
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_STREQ(Commands()[0]->name, L"second");

  // Up into a new menu takes the last item; Return toggles the check item.
  menu = open_root();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(press(VK_UP, [&] { return list->GetCurSel() == 3; }));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitGone(menu));
  PumpFor(50);
  ASSERT_EQ(Commands().size(), 2u);
  EXPECT_STREQ(Commands()[1]->name, L"wrap");
  EXPECT_EQ(Commands()[1]->checked, TRUE);
  EXPECT_TRUE(GetMenuCheck(L"wrap"));

  // Return on an item with sub-items opens them on their first item, two levels down.
  menu = open_root();
  ASSERT_NE(list, nullptr);
  recent = Find(L"recent");
  first = Find(L"first");
  ASSERT_TRUE(press(VK_DOWN, [&] { return list->GetCurSel() == 0; }));
  ASSERT_TRUE(press(VK_DOWN, [&] { return list->GetCurSel() == 1; }));
  ASSERT_TRUE(press(VK_RETURN, [&] { return sub_list(recent) != nullptr; }));
  second = SubMenuWindow(recent);
  EXPECT_EQ(sub_list(recent)->GetCurSel(), 0);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);
  PumpFor(80);
  ASSERT_TRUE(press(VK_RETURN, [&] { return sub_list(first) != nullptr; }));
  HWND third = SubMenuWindow(first);
  EXPECT_EQ(sub_list(first)->GetCurSel(), 0);
  WaitUntil([&] { return ::GetFocus() == third; }, 2000);
  PumpFor(80);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitGone(third));
  EXPECT_TRUE(WaitGone(second));
  EXPECT_TRUE(WaitGone(menu));
  PumpFor(50);
  ASSERT_EQ(Commands().size(), 3u);
  EXPECT_STREQ(Commands()[2]->name, L"deep");
}

TEST_F(MenuWindowTest, AnItemInNoWindowOpensNoSubMenu) {
  auto key = [](CMenuElementUI* item, WORD vk) {
    TUIEvent event;
    event.type = UIEVENT_KEYDOWN;
    event.key_char = vk;
    event.sender = item;
    item->DoEvent(event);
  };
  const struct {
    const char* what;
    std::function<void(CMenuElementUI*)> open;
  } cases[] = {
      {"asked to create its sub-menu", [](CMenuElementUI* item) { item->CreateMenuWnd(); }},
      {"right", [&](CMenuElementUI* item) { key(item, VK_RIGHT); }},
      {"return", [&](CMenuElementUI* item) { key(item, VK_RETURN); }},
      {"a sub-menu window made for it",
       [](CMenuElementUI* item) {
         EXPECT_FALSE((new CMenuWnd())->Init(item, L"", POINT{0, 0}, nullptr));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CMenuElementUI item;
    item.Add(new CMenuElementUI());
    c.open(&item);
    PumpFor(30);
    EXPECT_EQ(item.GetMenuWnd(), nullptr);
    EXPECT_TRUE(GetMenuObserver().GetReceivers().empty());
  }
}

TEST_F(MenuWindowTest, ChoosingALeafPostsItsRecordAndClosesEveryMenu) {
  HWND menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  HWND second = SubMenuWindow(recent);
  PumpFor(80);

  // A click on the owner of the open sub-menu chooses nothing.
  testing_support::ClickAt(CentreOnScreen(recent));
  PumpFor(150);
  EXPECT_TRUE(::IsWindow(second));
  EXPECT_TRUE(Commands().empty());

  CMenuElementUI* leaf = static_cast<CMenuElementUI*>(recent->GetSubItemAt(1));
  ASSERT_NE(leaf, nullptr);
  testing_support::ClickAt(CentreOnScreen(leaf));
  EXPECT_TRUE(WaitGone(second));
  EXPECT_TRUE(WaitGone(menu));
  PumpFor(50);
  const std::vector<TMenuCommand*> commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_STREQ(commands[0]->name, L"second");
  EXPECT_STREQ(commands[0]->text, L"Second");
  EXPECT_EQ(commands[0]->checked, TRUE);  // a leaf toggles its state, check item or not

  // The check item: its state is the table's and the record carries the new one.
  menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(Find(L"wrap")->GetChecked());
  testing_support::ClickAt(CentreOnScreen(Find(L"wrap")));
  EXPECT_TRUE(WaitGone(menu));
  PumpFor(50);
  ASSERT_EQ(Commands().size(), 2u);
  EXPECT_STREQ(Commands()[1]->name, L"wrap");
  EXPECT_EQ(Commands()[1]->checked, TRUE);
  EXPECT_TRUE(GetMenuCheck(L"wrap"));
}

TEST_F(MenuWindowTest, AClickOnAControlInsideAnItemReachesTheApplicationWindow) {
  HWND menu = OpenRoot(POINT{300, 200}, MENU_ALIGN_LEFT | MENU_ALIGN_TOP,
                       L"<Window><Menu bkcolor=\"#FFFFFFFF\">"
                       L"<MenuElement name=\"zoom\" text=\"Zoom\">"
                       L"<Control /><Button name=\"plus\" text=\"+\" width=\"40\" />"
                       L"</MenuElement></Menu></Window>");
  ASSERT_NE(menu, nullptr);
  CControlUI* plus = root_->GetManager().FindControl(L"plus");
  ASSERT_NE(plus, nullptr);
  testing_support::ClickAt(CentreOnScreen(plus));
  WaitUntil([&] { return host_.log().Count(L"click", plus) > 0; }, 2000);
  EXPECT_EQ(host_.log().Count(L"click", plus), 1);
  // The click was the button's: no item was chosen and the menu stays.
  EXPECT_TRUE(Commands().empty());
  EXPECT_TRUE(::IsWindow(menu));
}

TEST_F(MenuWindowTest, FocusLeavingTheMenusClosesThemAll) {
  HWND menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  HWND second = SubMenuWindow(recent);
  WaitUntil([&] { return ::GetFocus() == second; }, 2000);

  ::SetFocus(host_.hwnd());
  EXPECT_TRUE(WaitGone(second));
  EXPECT_TRUE(WaitGone(menu));
  EXPECT_TRUE(Commands().empty());
}

TEST_F(MenuWindowTest, SubMenuDestroyedWithoutCloseOrLosingItsOwnerHandsTheItemsBack) {
  HWND menu = OpenRoot(POINT{300, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  HWND second = SubMenuWindow(recent);
  PumpFor(80);

  // Destroyed as when its owner window goes: no WM_CLOSE comes first.
  ::DestroyWindow(second);
  PumpFor(50);
  EXPECT_FALSE(::IsWindow(second));
  ExpectSubItemsHome(recent);
  EXPECT_EQ(GetMenuObserver().GetReceivers().size(), 1u);

  // It opens again as before.
  ::SetFocus(menu);
  HoverAt(CentreOnScreen(Find(L"open")));
  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  second = SubMenuWindow(recent);
  PumpFor(80);

  // The owner item goes while its sub-menu is open: the sub-menu closes first.
  CMenuUI* list = root_->GetMenuRoot();
  ::SetCursorPos(5, 5);
  PumpFor(30);
  list->SetDelayedDestroy(false);
  ASSERT_TRUE(list->Remove(recent));
  EXPECT_FALSE(::IsWindow(second));
  PumpFor(80);
  EXPECT_TRUE(::IsWindow(menu));
  EXPECT_EQ(GetMenuObserver().GetReceivers().size(), 1u);
}

TEST_F(MenuWindowTest, AChainThatMetTheRightEdgeKeepsOpeningToTheLeft) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND menu = OpenRoot(POINT{work.right - 200, 200});
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* recent = Find(L"recent");
  CMenuElementUI* first = Find(L"first");
  HoverAt(CentreOnScreen(recent));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(recent) != nullptr; }, 2000));
  PumpFor(80);
  HoverAt(CentreOnScreen(first));
  ASSERT_TRUE(WaitUntil([&] { return SubMenuWindow(first) != nullptr; }, 2000));
  PumpFor(80);
  const RECT root_rect = ScreenRect(menu);
  const RECT second_rect = ScreenRect(SubMenuWindow(recent));
  const RECT third_rect = ScreenRect(SubMenuWindow(first));
  EXPECT_EQ(second_rect.right, root_rect.left);
  EXPECT_EQ(third_rect.right, second_rect.left);
  EXPECT_EQ(third_rect.top, second_rect.top);
}

}  // namespace
