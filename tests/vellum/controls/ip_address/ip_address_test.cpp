#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/vellum/support/dib_surface.h"
#include "vellum/controls/ip_address/ip_address.h"
#include "vellum/controls/ip_address/ip_address_ex.h"
#include "vellum/controls/ip_address/ip_octets.h"
#include "vellum/controls/ip_address/local_ip.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_rules.h"

namespace {

using namespace Vellum;

TEST(IPOctets, AddressesAreShownFirstOctetFirst) {
  const struct {
    DWORD address;
    const wchar_t* text;
  } cases[] = {
      {0, L"0.0.0.0"},
      {0xC0A80001, L"192.168.0.1"},
      {0x7F000001, L"127.0.0.1"},
      {0xFFFFFFFF, L"255.255.255.255"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAddress(c.address), c.text) << c.text;
}

TEST(IPOctets, EachQuarterOfTheWidthOwnsAnOctet) {
  const struct {
    int width;
    int offset;
    int octet;
  } cases[] = {
      {100, 0, 1},  {100, 25, 1}, {100, 26, 2}, {100, 50, 2}, {100, 51, 3},
      {100, 75, 3}, {100, 76, 4}, {100, 99, 4}, {100, 140, 4}, {100, -5, 1},
      {10, 2, 1},   {10, 3, 2},   {10, 7, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OctetAtOffset(c.width, c.offset), c.octet) << c.width << " " << c.offset;
  }
}

TEST(IPOctets, TypedDigitsAreClampedTo255) {
  const struct {
    const wchar_t* digits;
    int value;
  } cases[] = {
      {L"", 0},    {L"0", 0},     {L"7", 7},     {L"19", 19},   {L"192", 192},
      {L"255", 255}, {L"256", 255}, {L"300", 255}, {L"999", 255}, {L"007", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(OctetFromDigits(c.digits), c.value) << c.digits;
}

struct EditCase {
  const char* name;
  int pressed;  // the octet clicked first, 0 for none
  std::vector<UINT> keys;
  std::vector<int> octets;
  int active;
};

TEST(IPOctets, KeysEditAndMoveBetweenOctets) {
  const EditCase cases[] = {
      {"three digits fill the octet and move on", 1, {'1', '9', '2'}, {192, 0, 0, 0}, 2},
      {"too large a value stores 255", 2, {'3', '0', '0'}, {0, 255, 0, 0}, 3},
      {"numpad digits count", 1, {VK_NUMPAD4, VK_NUMPAD2}, {42, 0, 0, 0}, 1},
      {"the last octet keeps the focus", 4, {'1', '2', '3', '4'}, {0, 0, 0, 4}, 4},
      {"an address typed through", 1,
       {'1', '9', '2', '1', '6', '8', '0', VK_RIGHT, '1'}, {192, 168, 0, 1}, 4},
      {"right, decimal and period move on", 1,
       {'1', VK_RIGHT, '2', VK_DECIMAL, '3', VK_OEM_PERIOD, '4'}, {1, 2, 3, 4}, 4},
      {"digits after a move start afresh", 1, {'1', VK_RIGHT, VK_LEFT, '5'}, {5, 0, 0, 0}, 1},
      {"left stops at the first octet", 1, {VK_LEFT, '8'}, {8, 0, 0, 0}, 1},
      {"right stops at the last octet", 4, {VK_RIGHT, '8'}, {0, 0, 0, 8}, 4},
      {"up and down step within 0..255", 1, {VK_UP, VK_UP, VK_DOWN}, {1, 0, 0, 0}, 1},
      {"down stops at 0", 2, {VK_DOWN}, {0, 0, 0, 0}, 2},
      {"up stops at 255", 3, {'2', '5', VK_RIGHT, VK_LEFT, '2', '5', '5', VK_LEFT, VK_UP},
       {0, 0, 255, 0}, 3},
      {"back and delete zero the active octet", 1, {'9', '9', VK_BACK, '7'}, {7, 0, 0, 0}, 1},
      {"delete zeroes only the active octet", 2, {'4', VK_LEFT, '3', VK_DELETE}, {0, 4, 0, 0}, 1},
      {"other keys change nothing", 1, {'A', VK_SPACE, VK_RETURN}, {0, 0, 0, 0}, 1},
      // Nothing is edited until an octet is clicked.
      {"no active octet: digits do nothing", 0, {'1', '2'}, {0, 0, 0, 0}, 0},
      {"no active octet: arrows do nothing", 0, {VK_RIGHT, VK_UP, VK_UP}, {0, 0, 0, 0}, 0},
      {"no active octet: back does nothing", 0, {VK_BACK}, {0, 0, 0, 0}, 0},
  };
  for (const EditCase& c : cases) {
    COctetEditor editor;
    if (c.pressed != 0) editor.Press(100, (c.pressed - 1) * 25 + 10);
    for (UINT key : c.keys) editor.KeyDown(key);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(editor.GetOctet(i), c.octets[i - 1]) << c.name << " " << i;
    EXPECT_EQ(editor.GetActiveOctet(), c.active) << c.name;
  }
}

TEST(IPOctets, OnlyAMoveToAnotherOctetReportsAMove) {
  COctetEditor editor;
  EXPECT_FALSE(editor.KeyDown(VK_RIGHT));  // nothing active
  editor.Press(100, 10);
  EXPECT_TRUE(editor.KeyDown(VK_RIGHT));
  EXPECT_TRUE(editor.KeyDown(VK_LEFT));
  EXPECT_FALSE(editor.KeyDown(VK_LEFT));  // already at the first
  EXPECT_FALSE(editor.KeyDown(VK_UP));
  EXPECT_FALSE(editor.KeyDown('5'));
}

TEST(IPOctets, TheWheelStepsOnlyAnActiveOctet) {
  COctetEditor editor;
  editor.Wheel(true);
  EXPECT_TRUE(editor.AllZero());
  editor.Press(100, 60);
  editor.Wheel(true);
  editor.Wheel(true);
  editor.Wheel(false);
  EXPECT_EQ(editor.GetOctet(3), 1);
  editor.Wheel(false);
  editor.Wheel(false);
  EXPECT_EQ(editor.GetOctet(3), 0);
  EXPECT_EQ(editor.GetText(), L"0.0.0.0");
}

// Sends one event to the control as the manager builds it.
void Send(CIPAddressExUI& control, int type, WPARAM wParam, POINT at = {}) {
  TUIEvent event;
  event.type = type;
  event.sender = &control;
  event.wParam = wParam;
  event.key_char = static_cast<WORD>(wParam);
  event.mouse_point = at;
  control.Event(event);
}

TEST(IPAddressExControl, StartsReadOnlyAtZero) {
  CIPAddressExUI control;
  EXPECT_STREQ(control.GetClass(), L"IPAddressExUI");
  EXPECT_EQ(control.GetInterface(L"IPAddress"), &control);
  EXPECT_EQ(control.GetInterface(L"Edit"), static_cast<CEditUI*>(&control));
  EXPECT_TRUE(control.IsReadOnly());
  EXPECT_EQ(control.GetText(), L"0.0.0.0");
  EXPECT_EQ(control.GetOctets().GetActiveOctet(), 0);
}

TEST(IPAddressExControl, ClicksKeysAndTheWheelEditTheOctets) {
  CIPAddressExUI control;
  control.SetPos(RECT{100, 10, 300, 40});
  // The third quarter of the control.
  Send(control, UIEVENT_BUTTONDOWN, 0, POINT{100 + 120, 20});
  EXPECT_EQ(control.GetOctets().GetActiveOctet(), 3);
  for (WPARAM key : {WPARAM('1'), WPARAM('9'), WPARAM('2')}) Send(control, UIEVENT_KEYDOWN, key);
  EXPECT_EQ(control.GetText(), L"0.0.192.0");
  EXPECT_EQ(control.GetOctets().GetActiveOctet(), 4);
  // The wheel's direction is in the low word of the event, as the manager packs it: a turn away
  // from the user increments, a turn towards the user decrements.
  Send(control, UIEVENT_SCROLLWHEEL, PackWheelDelta(WHEEL_DELTA));
  Send(control, UIEVENT_SCROLLWHEEL, PackWheelDelta(WHEEL_DELTA));
  EXPECT_EQ(control.GetText(), L"0.0.192.2");
  Send(control, UIEVENT_SCROLLWHEEL, PackWheelDelta(-WHEEL_DELTA));
  EXPECT_EQ(control.GetText(), L"0.0.192.1");
  // Losing the focus leaves no octet active; the wheel and keys then change nothing.
  Send(control, UIEVENT_KILLFOCUS, 0);
  EXPECT_EQ(control.GetOctets().GetActiveOctet(), 0);
  Send(control, UIEVENT_SCROLLWHEEL, PackWheelDelta(-WHEEL_DELTA));
  Send(control, UIEVENT_KEYDOWN, '5');
  EXPECT_EQ(control.GetText(), L"0.0.192.1");
}

TEST(IPAddressExControl, ADisabledControlIgnoresInput) {
  CIPAddressExUI control;
  control.SetPos(RECT{0, 0, 200, 30});
  control.SetEnabled(false);
  Send(control, UIEVENT_BUTTONDOWN, 0, POINT{10, 10});
  Send(control, UIEVENT_KEYDOWN, '7');
  EXPECT_EQ(control.GetOctets().GetActiveOctet(), 0);
  EXPECT_EQ(control.GetText(), L"0.0.0.0");
}

// The columns holding the highlight colour of the active octet.
std::vector<int> HighlightColumns(const testing_support::Surface& surface) {
  std::vector<int> columns;
  for (int x = 0; x < surface.width(); ++x) {
    for (int y = 0; y < surface.height(); ++y) {
      if ((surface.At(x, y) & 0xFFFFFF) == 0x3399FF) {  // COLORREF 0xFF9933 in DIB order
        columns.push_back(x);
        break;
      }
    }
  }
  return columns;
}

TEST(IPAddressExControl, OnlyTheActiveOctetOfAnEnabledControlIsHighlighted) {
  CPaintManagerUI manager;
  CIPAddressExUI control;
  control.SetManager(&manager, nullptr, false);
  const RECT pos{0, 0, 240, 24};
  control.SetPos(pos);
  control.SetTextPadding(RECT{0, 0, 0, 0});
  Send(control, UIEVENT_BUTTONDOWN, 0, POINT{130, 10});  // the third octet
  Send(control, UIEVENT_KEYDOWN, '7');
  Send(control, UIEVENT_KEYDOWN, '7');

  testing_support::Surface surface(pos.right, pos.bottom, 0xFFFFFFFF);
  control.Paint(surface.dc(), pos);
  const std::vector<int> columns = HighlightColumns(surface);
  ASSERT_FALSE(columns.empty());
  // The third octet is drawn from an eighth past the middle, its highlight behind its text only.
  EXPECT_GE(columns.front(), 2 * 240 / 4 + 240 / 8);
  EXPECT_LT(columns.back(), 3 * 240 / 4 + 240 / 8);

  control.SetEnabled(false);
  surface.Fill(0xFFFFFFFF);
  control.Paint(surface.dc(), pos);
  EXPECT_TRUE(HighlightColumns(surface).empty());
}

// The same calls the control makes, so that the expectation holds on any host.
DWORD FirstHostAddress() {
  WSADATA data{};
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  DWORD address = 0;
  char name[255] = {};
  if (::gethostname(name, sizeof(name)) == 0) {
    if (const hostent* host = ::gethostbyname(name)) {
      address = ::ntohl(*reinterpret_cast<const u_long*>(host->h_addr_list[0]));
    }
  }
  ::WSACleanup();
  return address;
}

TEST(IPAddressControl, ANewControlShowsTheLocalHostAddress) {
  const DWORD expected = FirstHostAddress();
  EXPECT_EQ(GetLocalIP(), expected);
  CIPAddressUI control;
  EXPECT_STREQ(control.GetClass(), L"IPAddressUI");
  EXPECT_EQ(control.GetInterface(L"IPAddress"), &control);
  EXPECT_EQ(control.GetInterface(L"ipaddress"), nullptr);
  EXPECT_EQ(control.GetIP(), expected);
  EXPECT_EQ(control.GetText(), FormatAddress(expected));
  control.SetIP(0x0A000102);
  EXPECT_EQ(control.GetText(), L"10.0.1.2");
}

}  // namespace
