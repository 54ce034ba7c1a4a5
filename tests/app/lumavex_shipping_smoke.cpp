// The tray program as it ships, started as a user starts it (tools/smoke-shipping.sh runs this, with
// LUMAVEX_SHIPPING_BIN naming the shipping folder): its main window and tray icon appear, and the
// second item of its tray menu ends it. Under user-mode emulation everything is many times slower than
// on the test build, hence waits of minutes that a passing run never uses up.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/app/lumavex_driver.h"
#include "tests/support/ui_input.h"

namespace {

using testing_support::ClickAt;
using testing_support::CountWindowsOfClass;
using testing_support::LumavexInstall;
using testing_support::LumavexProcess;
using testing_support::WaitUntil;

constexpr DWORD kPatienceMs = 240000;
constexpr wchar_t kMainClass[] = L"LumavexMainWnd";
constexpr wchar_t kMenuClass[] = L"LUMAVEX_POP_MENU";
// Without a notification area on the X server, Wine's X11 driver shows each tray icon in a window of
// this class.
constexpr wchar_t kTrayIconClass[] = L"__winex11_tray_icon";
constexpr UINT kTrayCallback = 0x8001;
constexpr WPARAM kTrayIconId = 1;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

TEST(ShippingLumavex, StartsShowsItsTrayIconAndQuitsFromItsMenu) {
  LumavexInstall install;
  ASSERT_TRUE(install.ready()) << "no Lumavex.exe to copy";
  const int icons = CountWindowsOfClass(kTrayIconClass);
  LumavexProcess program(install);
  ASSERT_TRUE(program.started()) << GetLastError();
  const HWND main_window = program.WaitForWindow(kMainClass, kPatienceMs);
  ASSERT_NE(main_window, nullptr) << Joined(program.LogMessages());
  ASSERT_TRUE(WaitUntil([&] { return CountWindowsOfClass(kTrayIconClass) == icons + 1; }, kPatienceMs))
      << "no tray icon";

  // What the shell posts on a right click at the icon; the menu opens at the pointer.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  PostMessageW(main_window, kTrayCallback, kTrayIconId, WM_RBUTTONUP);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] { return (menu = program.FindWindowOfClass(kMenuClass)) != nullptr && IsWindowVisible(menu); },
      kPatienceMs))
      << "the menu did not open";
  // Two items in a 72-unit-high menu: the quit item's middle lies at 52.
  RECT rect = {};
  GetWindowRect(menu, &rect);
  ClickAt({(rect.left + rect.right) / 2, rect.top + MulDiv(rect.bottom - rect.top, 52, 72)});

  DWORD exit_code = 1;
  ASSERT_TRUE(program.WaitForExit(kPatienceMs, &exit_code)) << "still running after the quit item";
  EXPECT_EQ(exit_code, 0u);
  EXPECT_EQ(CountWindowsOfClass(kTrayIconClass), icons) << "the tray icon outlives the program";
  const auto log = program.LogMessages();
  EXPECT_TRUE(!log.empty() && log.back() == "[I] lumavex exit") << Joined(log);
}

}  // namespace
