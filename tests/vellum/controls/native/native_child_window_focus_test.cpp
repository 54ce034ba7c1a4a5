// A control that dies while its native window holds the keyboard focus: destroying the window hands
// the focus back to the paint window, which tells the dying control it has the focus again. No new
// window may open over it then, for that window would outlive it and its final message would reach
// freed memory.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "tests/support/ui_input.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/date_time/date_time.h"
#include "vellum/controls/edit/edit.h"
#include "vellum/controls/hot_key/hot_key.h"
#include "vellum/controls/ip_address/ip_address.h"

namespace {

using testing_support::NativeHostWindow;
using testing_support::PumpFor;
using testing_support::WaitUntil;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ChildWindowCount(HWND parent) {
  int count = 0;
  ::EnumChildWindows(parent, &CountChild, reinterpret_cast<LPARAM>(&count));
  return count;
}

bool FocusInside(HWND native) {
  HWND focus = ::GetFocus();
  return native != nullptr && focus != nullptr && (focus == native || ::IsChild(native, focus));
}

template <class Control>
HWND NativeOf(Vellum::CControlUI* control) {
  return static_cast<Control*>(control)->GetNativeWindow();
}

TEST(NativeChildWindowFocus, RemovingTheFocusedControlLeavesNoWindowBehind) {
  struct Case {
    const char* name;
    Vellum::CControlUI* (*make)();
    HWND (*native)(Vellum::CControlUI*);
  };
  const Case cases[] = {
      {"DateTime", [] { return static_cast<Vellum::CControlUI*>(new Vellum::CDateTimeUI()); },
       &NativeOf<Vellum::CDateTimeUI>},
      {"IPAddress", [] { return static_cast<Vellum::CControlUI*>(new Vellum::CIPAddressUI()); },
       &NativeOf<Vellum::CIPAddressUI>},
      {"Edit", [] { return static_cast<Vellum::CControlUI*>(new Vellum::CEditUI()); },
       &NativeOf<Vellum::CEditUI>},
      {"HotKey", [] { return static_cast<Vellum::CControlUI*>(new Vellum::CHotKeyUI()); },
       &NativeOf<Vellum::CHotKeyUI>},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NativeHostWindow host;
    Vellum::CControlUI* control = host.Host(c.make());
    host.manager().SetFocus(control);
    ASSERT_TRUE(WaitUntil([&] { return FocusInside(c.native(control)); }, 2000));
    host.box()->Remove(control);
    PumpFor(100);
    EXPECT_EQ(ChildWindowCount(host.manager().GetPaintWindow()), 0);
  }
}

}  // namespace
