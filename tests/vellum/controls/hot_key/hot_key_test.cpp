#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "vellum/controls/hot_key/hot_key.h"
#include "vellum/controls/hot_key/hot_key_name.h"
#include "vellum/core/markup/control_factory.h"

namespace {

using namespace Vellum;

// The layout's own name of a key given its GetKeyNameTextW argument: read here at run time, never
// written down, since key names are texts of the keyboard driver.
std::wstring LayoutName(LONG param) {
  wchar_t name[260] = {};
  ::GetKeyNameTextW(param, name, 260);
  return name;
}

LONG ScanParam(WORD vk, bool extended) {
  LONG scan = static_cast<LONG>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  if (extended) scan |= 0x100;
  return scan << 16;
}

TEST(HotKeyName, NavigationKeysAreNamedAsExtendedKeys) {
  const struct {
    WORD vk;
    bool extended;
  } cases[] = {
      {VK_PRIOR, true}, {VK_NEXT, true},   {VK_END, true},  {VK_HOME, true},   {VK_LEFT, true},
      {VK_UP, true},    {VK_RIGHT, true},  {VK_DOWN, true}, {VK_INSERT, true}, {VK_DELETE, true},
      {'A', false},     {VK_F5, false},    {VK_SPACE, false}, {VK_SELECT, false}, {VK_HELP, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyNameParam(c.vk), ScanParam(c.vk, c.extended)) << c.vk;
    EXPECT_EQ(std::wstring(KeyName(c.vk).GetData()), LayoutName(ScanParam(c.vk, c.extended)))
        << c.vk;
  }
}

TEST(HotKeyName, NamesCtrlShiftAltThenTheKey) {
  const std::wstring ctrl = LayoutName(ScanParam(VK_CONTROL, false));
  const std::wstring shift = LayoutName(ScanParam(VK_SHIFT, false));
  const std::wstring alt = LayoutName(ScanParam(VK_MENU, false));
  const std::wstring home = LayoutName(ScanParam(VK_HOME, true));
  const std::wstring a = LayoutName(ScanParam('A', false));
  ASSERT_FALSE(ctrl.empty());
  ASSERT_FALSE(home.empty());
  const struct {
    WORD vk;
    WORD modifiers;
    std::wstring expected;
  } cases[] = {
      {0, 0, L""},
      {'A', 0, a},
      {VK_HOME, HOTKEYF_CONTROL | HOTKEYF_SHIFT, ctrl + L" + " + shift + L" + " + home},
      {'A', HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL,
       ctrl + L" + " + shift + L" + " + alt + L" + " + a},
      {'A', HOTKEYF_ALT | HOTKEYF_EXT, alt + L" + " + a},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::wstring(HotKeyName(c.vk, c.modifiers).GetData()), c.expected)
        << c.vk << "/" << c.modifiers;
  }
}

TEST(HotKey, IsCreatedByNameAndAnswersOnlyItsExactInterfaceName) {
  std::unique_ptr<CControlUI> control(CControlFactory::GetInstance()->CreateControl(L"CHotKeyUI"));
  ASSERT_NE(control, nullptr);
  EXPECT_STREQ(control->GetClass(), L"HotKeyUI");
  EXPECT_EQ(control->GetInterface(L"HotKey"), control.get());
  EXPECT_EQ(control->GetInterface(L"hotkey"), nullptr);
  EXPECT_EQ(control->GetInterface(L"label"), control.get());
  EXPECT_EQ(control->GetControlFlags(), UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
  control->SetEnabled(false);
  EXPECT_EQ(control->GetControlFlags(), 0u);
}

TEST(HotKey, AttributeNamesAreMatchedExactly) {
  CHotKeyUI hot_key;
  EXPECT_EQ(hot_key.GetNativeBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(hot_key.GetBkColor(), 0xFFFFFFFFu);
  hot_key.SetAttribute(L"nativebkcolor", L"#FF102030");
  EXPECT_EQ(hot_key.GetNativeBkColor(), 0xFF102030u);
  hot_key.SetAttribute(L"NativeBkColor", L"#FF405060");  // not this control's: to the base
  EXPECT_EQ(hot_key.GetNativeBkColor(), 0xFF102030u);
  hot_key.SetAttribute(L"textcolor", L"#FF0000FF");
  EXPECT_EQ(hot_key.GetTextColor(), 0xFF0000FFu);
}

TEST(HotKey, SettingACombinationShowsItsName) {
  CHotKeyUI hot_key;
  hot_key.SetHotKey('K', HOTKEYF_CONTROL);
  WORD key = 0;
  WORD modifiers = 0;
  hot_key.GetHotKey(key, modifiers);
  EXPECT_EQ(key, 'K');
  EXPECT_EQ(modifiers, HOTKEYF_CONTROL);
  EXPECT_EQ(hot_key.GetText(), HotKeyName('K', HOTKEYF_CONTROL).GetData());
}

}  // namespace
