// The system web browser in a window: created, activated in its own host window, navigated to
// about:blank and heard through its events (no network). Without an HTML engine in the Wine prefix
// the navigation ends in an error event rather than a document; both end a navigation here. Key
// forwarding is shown against the recording test control standing in for the browser.

#include <gtest/gtest.h>
#include <windows.h>
#include <exdispid.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/controls/activex/test_control.h"
#include "tests/vellum/controls/activex/test_control_module.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/activex/web_browser.h"
#include "vellum/controls/activex/web_event_handler.h"

namespace {

using testing_support::NativeHostWindow;
using Vellum::CWebBrowserUI;

class NavigationLog : public Vellum::IWebEventHandler {
 public:
  void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*,
                       VARIANT*, VARIANT_BOOL*) override {
    events.push_back(L"BeforeNavigate2 " + Text(url));
  }
  void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT*, VARIANT*,
                     VARIANT_BOOL*) override {
    events.push_back(L"NavigateError " + Text(url));
  }
  void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* url) override {
    events.push_back(L"NavigateComplete2 " + Text(url));
  }
  void DocumentComplete(CWebBrowserUI*, IDispatch*, VARIANT* url) override {
    events.push_back(L"DocumentComplete " + Text(url));
  }
  bool Has(const std::wstring& event) const {
    for (const std::wstring& e : events) {
      if (e == event) return true;
    }
    return false;
  }
  bool Finished() const {
    return Has(L"NavigateError about:blank") || Has(L"DocumentComplete about:blank");
  }
  static std::wstring Text(VARIANT* v) {
    return v != nullptr && v->vt == VT_BSTR && v->bstrVal ? v->bstrVal : L"(none)";
  }
  std::vector<std::wstring> events;
};

class WebBrowserTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
  void TearDown() override { ::OleUninitialize(); }
};

struct DescendantSearch {
  const wchar_t* class_name;
  HWND found;
};

// A Win32 callback: on 32-bit x86 it must be __stdcall, which a lambda is not.
BOOL CALLBACK MatchClassName(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<DescendantSearch*>(data);
  wchar_t name[64] = {};
  ::GetClassNameW(child, name, 64);
  if (std::wstring(name) != search->class_name) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindDescendant(HWND parent, const wchar_t* class_name) {
  DescendantSearch search{class_name, nullptr};
  ::EnumChildWindows(parent, &MatchClassName, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(WebBrowserTest, BrowserIsEmbeddedNavigatedAndHeard) {
  NativeHostWindow window(400, 260);
  NavigationLog log;
  auto* browser = new CWebBrowserUI();
  browser->SetAttribute(L"homepage", L"about:blank");
  browser->SetAttribute(L"autonavi", L"true");
  browser->SetWebBrowserEventHandler(&log);
  window.Host(browser, 200);

  ASSERT_TRUE(browser->IsCreated());
  ASSERT_NE(browser->GetWebBrowser2(), nullptr);
  EXPECT_NE(browser->GetEventCookie(), 0u);
  // The browser activates in a window: its own window sits in the host window made for it.
  HWND host = browser->GetHostWindow();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(::GetParent(host), window.hwnd());
  EXPECT_NE(FindDescendant(host, L"Shell Embedding"), nullptr);

  EXPECT_TRUE(testing_support::WaitUntil([&] { return log.Finished(); }, 15000));
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ(log.events.front(), L"BeforeNavigate2 about:blank");

  // Focus elsewhere in the window: keys are not the browser's.
  ::SetFocus(window.hwnd());
  MSG key{window.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_EQ(browser->TranslateAccelerator(&key), S_FALSE);
  // Focus inside: the browser is asked (its answer depends on the engine, never "not built").
  HWND inner = FindDescendant(host, L"Shell Embedding");
  ::SetFocus(inner);
  if (::GetFocus() == inner) {
    key.hwnd = inner;
    EXPECT_NE(browser->TranslateAccelerator(&key), E_NOTIMPL);
  }
}

TEST_F(WebBrowserTest, HomePageOpensOnlyWithAutoNavigation) {
  NativeHostWindow window(400, 260);
  NavigationLog log;
  auto* browser = new CWebBrowserUI();
  browser->SetAttribute(L"homepage", L"about:blank");
  browser->SetWebBrowserEventHandler(&log);
  window.Host(browser, 200);
  ASSERT_NE(browser->GetWebBrowser2(), nullptr);
  testing_support::PumpFor(1500);
  EXPECT_TRUE(log.events.empty());

  browser->Navigate2(L"about:blank");
  EXPECT_TRUE(testing_support::WaitUntil([&] { return log.Finished(); }, 15000));
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ(log.events.front(), L"BeforeNavigate2 about:blank");
}

TEST_F(WebBrowserTest, KeysReachTheEmbeddedObjectOnlyWhileFocusIsInside) {
  test_control::TestControlModule module;
  ASSERT_TRUE(module.loaded());
  NativeHostWindow window(400, 260);
  auto* browser = new CWebBrowserUI();
  browser->SetAttribute(L"modulename", test_control::kModuleName);
  wchar_t clsid[64] = {};
  ::StringFromGUID2(test_control::ClassId(test_control::kWindowed), clsid, 64);
  browser->SetAttribute(L"clsid", clsid);
  window.Host(browser, 100);
  ASSERT_NE(browser->GetWebBrowser2(), nullptr);
  HWND inside = FindDescendant(browser->GetHostWindow(), test_control::kWindowClass);
  ASSERT_NE(inside, nullptr);

  struct Case {
    HWND focus;
    UINT message;
    LRESULT expected;
    bool forwarded;
  };
  const Case cases[] = {
      {window.hwnd(), WM_KEYDOWN, S_FALSE, false},
      {inside, WM_KEYDOWN, S_OK, true},
      {inside, WM_CHAR, S_OK, true},
      {inside, WM_LBUTTONDOWN, S_FALSE, false},
      {browser->GetHostWindow(), WM_KEYUP, S_OK, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.message);
    ::SetFocus(c.focus);
    ASSERT_EQ(::GetFocus(), c.focus);
    module.ClearLog();
    MSG msg{c.focus, c.message, 'A', 0, 0, {}};
    EXPECT_EQ(browser->TranslateAccelerator(&msg), c.expected);
    const std::vector<std::wstring> log = module.Log();
    const std::wstring forwarded = L"TranslateAccelerator(" + std::to_wstring(c.message) + L")";
    EXPECT_EQ(std::find(log.begin(), log.end(), forwarded) != log.end(), c.forwarded);
  }
}

// The document takes the control as its UI handler when a navigation completes, and gets it back
// when the control lets the browser go, released or destroyed: a browser that outlives the control
// never calls into it.
TEST_F(WebBrowserTest, TheDocumentLosesItsHandlerWhenTheControlLetsTheBrowserGo) {
  test_control::TestControlModule module;
  ASSERT_TRUE(module.loaded());
  for (bool destroyed : {false, true}) {
    SCOPED_TRACE(destroyed ? "destroyed" : "released");
    NativeHostWindow window(400, 260);
    auto* browser = new CWebBrowserUI();
    browser->SetAttribute(L"modulename", test_control::kModuleName);
    wchar_t clsid[64] = {};
    ::StringFromGUID2(test_control::ClassId(test_control::kWindowed), clsid, 64);
    browser->SetAttribute(L"clsid", clsid);
    window.Host(browser, 100);
    ASSERT_NE(browser->GetWebBrowser2(), nullptr);
    module.ClearLog();

    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    DISPPARAMS params{arguments, nullptr, 2, 0};
    IDispatch* sink = browser;
    ASSERT_EQ(sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
              S_OK);
    EXPECT_EQ(module.Log(), std::vector<std::wstring>{L"SetUIHandler(set)"});

    if (destroyed) {
      window.box()->Remove(browser);
    } else {
      browser->ReleaseControl();
    }
    const std::vector<std::wstring> log = module.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), L"SetUIHandler(null)"), 1);
  }
  EXPECT_EQ(module.LiveObjects(), 0);
}

}  // namespace
