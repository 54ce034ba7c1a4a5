#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/ip_address/ip_address.h"
#include "vellum/controls/ip_address/ip_address_ex.h"
#include "vellum/controls/ip_address/ip_octets.h"
#include "vellum/core/base_controls/button.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using namespace Vellum;
using testing_support::NativeHostWindow;
using testing_support::PressChord;
using testing_support::PumpFor;
using testing_support::RectInParent;
using testing_support::TypeKeys;
using testing_support::WaitUntil;

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

DWORD NativeAddress(HWND native) {
  DWORD address = 0;
  ::SendMessageW(native, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return address;
}

bool FocusInside(HWND native) {
  HWND focus = ::GetFocus();
  return focus != nullptr && (focus == native || ::IsChild(native, focus));
}

class IPAddressWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ip_ = host_.Host(new CIPAddressUI());
    ip_->SetIP(0x0A010203);
    other_ = host_.AddBelow(new CButtonUI());
  }
  // Focus to the control through the manager, as a tab or a click would give it.
  HWND Open() {
    host_.manager().SetFocus(ip_);
    WaitUntil([&] { return ip_->GetNativeWindow() != nullptr &&
                           FocusInside(ip_->GetNativeWindow()); },
              2000);
    return ip_->GetNativeWindow();
  }

  NativeHostWindow host_;
  CIPAddressUI* ip_ = nullptr;
  CButtonUI* other_ = nullptr;
};

TEST_F(IPAddressWindowTest, FocusPlacesTheNativeControlOverTheLabelWithItsAddress) {
  HWND native = Open();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(ClassName(native), L"IPAddressWnd");
  EXPECT_EQ(::GetParent(native), host_.hwnd());
  EXPECT_TRUE(::IsWindowVisible(native));
  EXPECT_TRUE(FocusInside(native));
  const LONG style = ::GetWindowLongW(native, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_GROUP | WS_TABSTOP), WS_CHILD | WS_GROUP | WS_TABSTOP);
  EXPECT_EQ(NativeAddress(native), 0x0A010203u);
  const RECT item = ip_->GetPos();
  const RECT placed = RectInParent(native, host_.hwnd());
  EXPECT_TRUE(::EqualRect(&placed, &item));
}

TEST_F(IPAddressWindowTest, TypedAddressIsShownWhenTheFocusLeavesAndTheWindowIsKept) {
  HWND native = Open();
  ASSERT_NE(native, nullptr);
  ::SendMessageW(native, IPM_CLEARADDRESS, 0, 0);
  // Three digits fill a field and move on to the next.
  ASSERT_TRUE(TypeKeys(L"192168000001"));
  ASSERT_TRUE(WaitUntil([&] { return NativeAddress(native) == 0xC0A80001; }, 2000))
      << std::hex << NativeAddress(native);
  EXPECT_EQ(ip_->GetText(), L"10.1.2.3");  // the label follows only when editing ends

  host_.manager().SetFocus(other_);
  ASSERT_TRUE(WaitUntil([&] { return ip_->GetText() == L"192.168.0.1"; }, 2000))
      << ip_->GetText().GetData();
  EXPECT_EQ(ip_->GetIP(), 0xC0A80001u);
  // Hidden, not destroyed, and the focus stays where it went.
  EXPECT_TRUE(::IsWindow(native));
  EXPECT_FALSE(::IsWindowVisible(native));
  EXPECT_EQ(ip_->GetNativeWindow(), native);
  PumpFor(200);
  EXPECT_FALSE(::IsWindowVisible(native));
  EXPECT_EQ(host_.manager().GetFocus(), other_);

  // The next edit shows the same window again with the label's address.
  ip_->SetIP(0x01020304);
  EXPECT_EQ(Open(), native);
  EXPECT_TRUE(::IsWindowVisible(native));
  EXPECT_EQ(NativeAddress(native), 0x01020304u);
}

TEST_F(IPAddressWindowTest, BackAndDeleteEmptyTheLabelEscapeKeepsItAndEachCloses) {
  const struct {
    WORD key;
    const wchar_t* text;
  } cases[] = {
      {VK_BACK, L""},
      {VK_DELETE, L""},
      {VK_ESCAPE, L"10.1.2.3"},
  };
  for (const auto& c : cases) {
    ip_->SetIP(0x0A010203);
    HWND native = Open();
    ASSERT_NE(native, nullptr) << c.key;
    ASSERT_TRUE(PressChord({c.key}));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(native); }, 2000)) << c.key;
    EXPECT_EQ(ip_->GetNativeWindow(), nullptr) << c.key;
    EXPECT_EQ(ip_->GetText(), c.text) << c.key;
    EXPECT_EQ(ip_->GetIP(), 0x0A010203u) << c.key;
    host_.manager().SetFocus(other_);
    PumpFor(100);
  }
}

TEST_F(IPAddressWindowTest, AnEmptiedLabelStartsTheNextEditAtTheLocalAddress) {
  HWND native = Open();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(PressChord({VK_BACK}));
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(native); }, 2000));
  ASSERT_EQ(ip_->GetText(), L"");
  host_.manager().SetFocus(other_);
  PumpFor(100);
  CIPAddressUI fresh;  // starts at the local address
  native = Open();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(NativeAddress(native), fresh.GetIP());
}

TEST_F(IPAddressWindowTest, RemovingTheControlDestroysItsWindowShownOrHidden) {
  for (bool hidden : {false, true}) {
    auto* ip = host_.Host(new CIPAddressUI());
    host_.manager().SetFocus(ip);
    ASSERT_TRUE(WaitUntil([&] { return ip->GetNativeWindow() != nullptr; }, 2000));
    HWND native = ip->GetNativeWindow();
    if (hidden) {
      host_.manager().SetFocus(other_);
      ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(native); }, 2000));
    }
    host_.box()->Remove(ip);
    EXPECT_FALSE(::IsWindow(native)) << hidden;
    PumpFor(100);
    host_.PaintNow();
  }
}

// The system control makes a font for its fields; it must not outlive the window, whether the
// control is removed or the window closes by itself.
TEST_F(IPAddressWindowTest, TheFieldsFontGoesWithTheWindow) {
  for (bool remove : {true, false}) {
    CIPAddressUI* ip = remove ? host_.Host(new CIPAddressUI()) : ip_;
    host_.manager().SetFocus(ip);
    ASSERT_TRUE(WaitUntil([&] { return ip->GetNativeWindow() != nullptr &&
                                       FocusInside(ip->GetNativeWindow()); },
                          2000));
    HWND field = ::GetWindow(ip->GetNativeWindow(), GW_CHILD);
    ASSERT_NE(field, nullptr);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0));
    ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    ASSERT_NE(font, host_.manager().GetFont(ip->GetFont()));
    if (remove) {
      host_.box()->Remove(ip);
    } else {
      ASSERT_TRUE(PressChord({VK_ESCAPE}));
      ASSERT_TRUE(WaitUntil([&] { return ip->GetNativeWindow() == nullptr; }, 2000));
    }
    PumpFor(50);
    EXPECT_EQ(::GetObjectType(font), 0u) << remove;
  }
}

// A control a million pixels wide opens a system control no wider than the screens together: the
// platform's control would otherwise walk its whole width on some input.
TEST_F(IPAddressWindowTest, TheNativeControlIsNoWiderThanTheScreens) {
  ip_->SetAttribute(L"minwidth", L"1048576");
  host_.PaintNow();
  HWND native = Open();
  ASSERT_NE(native, nullptr);
  RECT placed{};
  ::GetWindowRect(native, &placed);
  EXPECT_EQ(placed.right - placed.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

// Busy blocks in every heap of the process, the platform's included.
size_t BusyHeapBlocks() {
  HANDLE heaps[64];
  const DWORD count = std::min<DWORD>(::GetProcessHeaps(64, heaps), 64);
  size_t blocks = 0;
  for (DWORD h = 0; h < count; ++h) {
    if (!::HeapLock(heaps[h])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heaps[h], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++blocks;
    }
    ::HeapUnlock(heaps[h]);
  }
  return blocks;
}

// The fields are subclassed for their keys. Each window that held the control must leave nothing
// behind, also where the system control puts its fields' own procedures back as it goes (then a
// subclass left on them never sees their last message and its bookkeeping is never freed).
TEST_F(IPAddressWindowTest, WindowsThatComeAndGoLeaveNoMemoryBehind) {
  // The host's record of notifications would grow with every window.
  host_.manager().RemoveNotifier(&host_.log());
  const auto open_and_remove = [&] {
    CIPAddressUI* ip = host_.Host(new CIPAddressUI());
    host_.manager().SetFocus(ip);
    ASSERT_TRUE(WaitUntil([&] { return ip->GetNativeWindow() != nullptr; }, 2000));
    host_.box()->Remove(ip);
    PumpFor(5);
  };
  for (int i = 0; i < 2; ++i) open_and_remove();
  const size_t before = BusyHeapBlocks();
  constexpr int kWindows = 15;
  for (int i = 0; i < kWindows; ++i) open_and_remove();
  EXPECT_LT(BusyHeapBlocks(), before + kWindows);
  host_.manager().AddNotifier(&host_.log());
}

TEST(IPAddressExWindowTest, ClicksKeysAndTheWheelReachTheOctetsThroughTheWindow) {
  NativeHostWindow host(320, 140);
  auto* ip = host.Host(new CIPAddressExUI());
  const RECT item = ip->GetPos();
  const int width = item.right - item.left;
  POINT at{item.left + width / 2 + width / 8, (item.top + item.bottom) / 2};
  POINT screen = at;
  ::ClientToScreen(host.hwnd(), &screen);
  ASSERT_TRUE(testing_support::ClickAt(screen));
  ASSERT_TRUE(WaitUntil([&] { return ip->GetOctets().GetActiveOctet() == 3; }, 2000));
  EXPECT_EQ(host.manager().GetFocus(), ip);
  EXPECT_EQ(ip->GetNativeWindow(), nullptr);  // the octets are edited without a native edit
  ASSERT_TRUE(TypeKeys(L"10"));
  ASSERT_TRUE(WaitUntil([&] { return ip->GetText() == L"0.0.10.0"; }, 2000))
      << ip->GetText().GetData();
  // A turn away from the user increments, one towards the user decrements.
  auto wheel = [&](short delta) {
    ::SendMessageW(host.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                   MAKELPARAM(screen.x, screen.y));
  };
  wheel(WHEEL_DELTA);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(ip->GetText(), L"0.0.12.0");
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(ip->GetText(), L"0.0.11.0");
  ASSERT_TRUE(PressChord({VK_RIGHT}));
  ASSERT_TRUE(TypeKeys(L"4"));
  ASSERT_TRUE(WaitUntil([&] { return ip->GetText() == L"0.0.11.4"; }, 2000))
      << ip->GetText().GetData();
}

}  // namespace
