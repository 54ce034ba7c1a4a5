// The ActiveX host against a small control of its own (tests/.../test_control.cpp) that records
// every call: the creation and in-place activation of a windowless and a windowed object, the
// host window, the message filter of a windowless object, painting through the view object, the
// site's answers and the release.

#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "common/base/com_ptr.h"
#include "tests/support/ui_input.h"
#include "tests/vellum/controls/activex/test_control.h"
#include "tests/vellum/controls/activex/test_control_module.h"
#include "tests/vellum/support/native_host_window.h"
#include "vellum/controls/activex/activex.h"
#include "vellum/controls/activex/flash.h"
#include "vellum/controls/activex/web_browser.h"

namespace {

using test_control::TestControlModule;
using testing_support::NativeHostWindow;

std::wstring ClassIdText(test_control::Kind kind) {
  wchar_t text[64] = {};
  ::StringFromGUID2(test_control::ClassId(kind), text, 64);
  return text;
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) +
         L"," + std::to_wstring(r.bottom);
}

class ActiveXHostTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    ASSERT_TRUE(module_.loaded());
    module_.ClearLog();
  }
  void TearDown() override { ::OleUninitialize(); }

  Vellum::CActiveXUI* NewControl(test_control::Kind kind) {
    auto* control = new Vellum::CActiveXUI();
    control->SetAttribute(L"modulename", test_control::kModuleName);
    control->SetAttribute(L"clsid", ClassIdText(kind).c_str());
    return control;
  }

  // The control's extent as the object should receive it, in HIMETRIC.
  static std::wstring ExtentText(const RECT& r) {
    HDC screen = ::GetDC(nullptr);
    const int cx = ::MulDiv(r.right - r.left, 2540, ::GetDeviceCaps(screen, LOGPIXELSX));
    const int cy = ::MulDiv(r.bottom - r.top, 2540, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    return L"SetExtent(1," + std::to_wstring(cx) + L"," + std::to_wstring(cy) + L")";
  }

  TestControlModule module_;
};

std::vector<std::wstring> Head(const std::vector<std::wstring>& lines, size_t count) {
  return std::vector<std::wstring>(lines.begin(), lines.begin() + std::min(count, lines.size()));
}

TEST_F(ActiveXHostTest, WindowlessObjectIsSetUpAndActivatedInOrder) {
  NativeHostWindow window;
  Vellum::CActiveXUI* control = window.Host(NewControl(test_control::kWindowless));
  ASSERT_TRUE(control->IsCreated());
  const RECT r = control->GetPos();
  const std::wstring rect = RectText(r);
  const std::vector<std::wstring> expected = {
      L"CreateInstance",
      L"SetClientSite",  // the object asks for its site before initialisation
      L"InitNew",
      L"SetHostNames(UIActiveX)",
      L"DoVerb(-5," + rect + L")",
      L"QueryInterface(IOleInPlaceSiteWindowless)=00000000",
      L"CanInPlaceActivate=00000000",
      L"CanWindowlessActivate=00000000",
      L"LockRunning(1,0)",
      L"SetObjectRects(" + rect + L"|" + rect + L")",
      L"OnInPlaceActivateEx=00000000",
      L"GetWindow=00000000 (paint window)",
      L"GetWindowContext=00000000",
      L"SetSite",
      ExtentText(r),
      L"SetObjectRects(" + rect + L"|" + rect + L")",
  };
  EXPECT_EQ(Head(module_.Log(), expected.size()), expected);
  EXPECT_EQ(control->GetHostWindow(), window.hwnd());
  EXPECT_EQ(window.log().Count(L"showactivex", control), 1);
  // A windowless object has no window of its own.
  EXPECT_EQ(::FindWindowExW(window.hwnd(), nullptr, L"ActiveXWnd", nullptr), nullptr);
}

TEST_F(ActiveXHostTest, WindowedObjectGetsOneHostWindowThatFollowsTheControl) {
  NativeHostWindow window;
  Vellum::CActiveXUI* control = window.Host(NewControl(test_control::kWindowed));
  ASSERT_TRUE(control->IsCreated());
  const RECT r = control->GetPos();
  const RECT origin{0, 0, r.right - r.left, r.bottom - r.top};
  const std::wstring at_origin = RectText(origin);
  const std::vector<std::wstring> expected = {
      L"CreateInstance",
      L"InitNew",
      L"SetClientSite",  // after initialisation: this object does not ask for it first
      L"SetHostNames(UIActiveX)",
      L"DoVerb(-5," + RectText(r) + L")",
      L"QueryInterface(IOleInPlaceSite)=00000000",
      L"CanInPlaceActivate=00000000",
      L"GetWindow=00000000",
      L"LockRunning(1,0)",
      L"SetObjectRects(" + at_origin + L"|" + at_origin + L")",
      L"OnInPlaceActivate=00000000",
      L"GetWindow=00000000 (same)",  // the window made for GetWindow is the one activation uses
      L"GetWindowContext=00000000",
      L"CreateWindow",
      L"Draw(1," + at_origin + L")",
      L"ShowObject=00000000",
      L"SetSite",
      ExtentText(r),
      L"SetObjectRects(" + at_origin + L"|" + at_origin + L")",
  };
  EXPECT_EQ(Head(module_.Log(), expected.size()), expected);

  HWND host = control->GetHostWindow();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(::GetParent(host), window.hwnd());
  wchar_t name[32] = {};
  ::GetWindowTextW(host, name, 32);
  EXPECT_STREQ(name, L"UIActiveX");
  EXPECT_EQ(::FindWindowExW(window.hwnd(), nullptr, L"ActiveXWnd", nullptr), host);
  EXPECT_NE(::FindWindowExW(host, nullptr, test_control::kWindowClass, nullptr), nullptr);
  const RECT placed = testing_support::RectInParent(host, window.hwnd());
  EXPECT_EQ(RectText(placed), RectText(r));

  // Hiding the control hides the object's window, and showing it brings it back.
  control->SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(host));
  control->SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(host));
  window.box()->SetVisible(false);
  window.Pump();
  EXPECT_FALSE(::IsWindowVisible(host));
}

TEST_F(ActiveXHostTest, ReleaseClosesTheObjectAndDestroysItsWindow) {
  struct Case {
    test_control::Kind kind;
    std::vector<std::wstring> tail;
  };
  const Case cases[] = {
      {test_control::kWindowless,
       {L"SetSite(null)", L"Close", L"LockRunning(0,0)", L"OnInPlaceDeactivate=00000000",
        L"SetClientSite(null)", L"Destroyed"}},
      {test_control::kWindowed,
       {L"SetSite(null)", L"Close", L"LockRunning(0,0)", L"OnInPlaceDeactivate=00000000",
        L"SetClientSite(null)", L"Destroyed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    NativeHostWindow window;
    Vellum::CActiveXUI* control = window.Host(NewControl(c.kind));
    ASSERT_EQ(module_.LiveObjects(), 1);
    HWND host = control->GetHostWindow();
    module_.ClearLog();
    control->ReleaseControl();
    EXPECT_EQ(module_.Log(), c.tail);
    EXPECT_EQ(module_.LiveObjects(), 0);
    EXPECT_EQ(control->GetHostWindow(), nullptr);
    if (c.kind == test_control::kWindowed) {
      EXPECT_FALSE(::IsWindow(host));
    }
    // The window's own tree is still whole.
    EXPECT_TRUE(::IsWindow(window.hwnd()));
  }
}

// While the object is in place the site keeps it locked running, once however often it is
// activated; the lock goes when the object leaves its place and when the control lets it go.
TEST_F(ActiveXHostTest, TheObjectIsLockedRunningOnceWhileItIsInPlace) {
  for (test_control::Kind kind : {test_control::kWindowless, test_control::kWindowed}) {
    SCOPED_TRACE(static_cast<int>(kind));
    module_.ClearLog();
    NativeHostWindow window;
    Vellum::CActiveXUI* control = window.Host(NewControl(kind));
    auto Count = [&](const wchar_t* line) {
      const std::vector<std::wstring> log = module_.Log();
      return std::count(log.begin(), log.end(), std::wstring(line));
    };
    auto Locks = [&] { return Count(L"LockRunning(1,0)"); };
    auto Unlocks = [&] { return Count(L"LockRunning(0,0)"); };
    EXPECT_EQ(Locks(), 1);
    EXPECT_EQ(Unlocks(), 0);

    // Another activation while in place adds no lock.
    com_ptr<IOleInPlaceSiteEx> site;
    ASSERT_EQ(module_.ClientSite()->QueryInterface(IID_IOleInPlaceSiteEx, site.put_void()), S_OK);
    BOOL no_redraw = FALSE;
    EXPECT_EQ(site->OnInPlaceActivateEx(
                  &no_redraw, kind == test_control::kWindowless ? ACTIVATE_WINDOWLESS : 0),
              S_OK);
    EXPECT_EQ(Locks(), 1);

    // Out of place and in again: one unlock, one new lock.
    com_ptr<IOleInPlaceObject> in_place;
    ASSERT_EQ(control->GetControl(IID_IOleInPlaceObject, in_place.put_void()), S_OK);
    in_place->InPlaceDeactivate();
    EXPECT_EQ(Unlocks(), 1);
    com_ptr<IOleObject> object;
    ASSERT_EQ(control->GetControl(IID_IOleObject, object.put_void()), S_OK);
    const RECT r = control->GetPos();
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, module_.ClientSite(), 0,
                             window.hwnd(), &r),
              S_OK);
    EXPECT_EQ(Locks(), 2);
    in_place.reset();
    object.reset();
    site.reset();

    control->ReleaseControl();
    EXPECT_EQ(Unlocks(), 2);
    EXPECT_EQ(module_.LiveObjects(), 0);
  }
}

TEST_F(ActiveXHostTest, WindowlessObjectGetsMouseWhereItIsHitAndKeysOnlyWithFocus) {
  NativeHostWindow window;
  Vellum::CActiveXUI* control = window.Host(NewControl(test_control::kWindowless));
  const RECT r = control->GetPos();
  const int y = (r.top + r.bottom) / 2;
  const int left_x = r.left + (r.right - r.left) / 4;       // the object's hit area
  const int right_x = r.left + (r.right - r.left) * 3 / 4;  // inside the control, not hit

  com_ptr<IOleInPlaceSiteWindowless> site;
  ASSERT_TRUE(SUCCEEDED(module_.ClientSite()->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                                             site.put_void())));
  auto Send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
    module_.ClearLog();
    ::SendMessageW(window.hwnd(), message, wParam, lParam);
    return module_.Log();
  };
  using Lines = std::vector<std::wstring>;
  auto Hit = [](int x, int yy) {
    return L"QueryHitPoint(" + std::to_wstring(x) + L"," + std::to_wstring(yy) + L")";
  };
  auto Message = [](const wchar_t* code, int x, int yy) {
    return std::wstring(L"OnWindowMessage(") + code + L"," + std::to_wstring(x) + L"," +
           std::to_wstring(yy) + L")";
  };

  EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(left_x, y)),
            (Lines{Hit(left_x, y), Message(L"0201", left_x, y)}));
  EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(right_x, y)), (Lines{Hit(right_x, y)}));
  EXPECT_EQ(Send(WM_KEYDOWN, 'A', 0), Lines{});

  // While the object holds the capture, the mouse goes to it without a hit test.
  ASSERT_EQ(site->SetCapture(TRUE), S_OK);
  EXPECT_EQ(site->GetCapture(), S_OK);
  EXPECT_EQ(Send(WM_MOUSEMOVE, 0, MAKELPARAM(right_x, y)), (Lines{Message(L"0200", right_x, y)}));
  ASSERT_EQ(site->SetCapture(FALSE), S_OK);
  EXPECT_EQ(site->GetCapture(), S_FALSE);

  ASSERT_EQ(site->SetFocus(TRUE), S_OK);
  EXPECT_EQ(site->GetFocus(), S_OK);
  EXPECT_TRUE(control->IsFocused());
  EXPECT_EQ(Send(WM_KEYDOWN, 'A', 0), (Lines{Message(L"0100", 0, 0)}));
  ASSERT_EQ(site->SetFocus(FALSE), S_OK);
  EXPECT_EQ(Send(WM_CHAR, 'a', 0), Lines{});

  // A control whose mouse is off passes no mouse message on.
  control->SetMouseEnabled(false);
  EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(left_x, y)), Lines{});
}

TEST_F(ActiveXHostTest, PaintingAndHitTestingNeedTheViewTheyUse) {
  struct Case {
    test_control::Kind kind;
    bool drawn;
  };
  // Only the extended view can answer a hit test; without any view nothing is drawn.
  const Case cases[] = {
      {test_control::kWindowless, true},
      {test_control::kWindowlessPlainView, true},
      {test_control::kWindowlessNoView, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    NativeHostWindow window;
    Vellum::CActiveXUI* control = window.Host(NewControl(c.kind));
    const RECT r = control->GetPos();
    module_.ClearLog();
    ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    window.Pump();
    const std::vector<std::wstring> painted = module_.Log();
    const bool drew = std::find(painted.begin(), painted.end(), L"Draw(1," + RectText(r) + L")") !=
                      painted.end();
    EXPECT_EQ(drew, c.drawn);
    HDC dc = ::GetDC(window.hwnd());
    const COLORREF centre = ::GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::ReleaseDC(window.hwnd(), dc);
    EXPECT_EQ(centre == test_control::kDrawColor, c.drawn);

    module_.ClearLog();
    const int x = r.left + 2;
    const int y = (r.top + r.bottom) / 2;
    ::SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    const bool sent = !module_.Log().empty();
    EXPECT_EQ(sent, c.kind == test_control::kWindowless);
  }
}

TEST_F(ActiveXHostTest, SiteAnswersAndTheObjectsItHandsOut) {
  NativeHostWindow window;
  Vellum::CActiveXUI* control = window.Host(NewControl(test_control::kWindowless));
  IOleClientSite* client_site = module_.ClientSite();
  ASSERT_NE(client_site, nullptr);

  struct Query {
    const IID* iid;
    bool answered;
  };
  const Query queries[] = {
      {&IID_IUnknown, true},          {&IID_IOleClientSite, true},
      {&IID_IOleInPlaceSiteWindowless, true}, {&IID_IOleInPlaceSiteEx, true},
      {&IID_IOleInPlaceSite, true},   {&IID_IOleWindow, true},
      {&IID_IOleControlSite, true},   {&IID_IObjectWithSite, true},
      {&IID_IOleContainer, true},     {&IID_IDispatch, false},
      {&IID_IOleInPlaceFrame, false},
  };
  for (const Query& q : queries) {
    com_ptr<IUnknown> part;
    EXPECT_EQ(SUCCEEDED(client_site->QueryInterface(*q.iid, part.put_void())), q.answered);
    EXPECT_EQ(static_cast<bool>(part), q.answered);
  }

  com_ptr<IOleInPlaceSiteWindowless> site;
  ASSERT_TRUE(SUCCEEDED(client_site->QueryInterface(IID_IOleInPlaceSiteWindowless, site.put_void())));

  IMoniker* moniker = reinterpret_cast<IMoniker*>(1);
  EXPECT_EQ(client_site->GetMoniker(0, 0, &moniker), E_NOTIMPL);
  EXPECT_EQ(moniker, nullptr);
  EXPECT_EQ(client_site->GetContainer(nullptr), E_POINTER);

  // The container enumerates the one object, once.
  com_ptr<IOleContainer> container;
  ASSERT_EQ(client_site->GetContainer(container.put()), S_OK);
  com_ptr<IEnumUnknown> objects;
  ASSERT_EQ(container->EnumObjects(OLECONTF_EMBEDDINGS, objects.put()), S_OK);
  com_ptr<IOleObject> object;
  ASSERT_EQ(control->GetControl(IID_IOleObject, object.put_void()), S_OK);
  for (int round = 0; round < 2; ++round) {
    com_ptr<IUnknown> first;
    ULONG fetched = 0;
    EXPECT_EQ(objects->Next(5, first.put(), &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    com_ptr<IUnknown> identity;
    object->QueryInterface(IID_IUnknown, identity.put_void());
    com_ptr<IUnknown> first_identity;
    first->QueryInterface(IID_IUnknown, first_identity.put_void());
    EXPECT_EQ(first_identity.get(), identity.get());
    com_ptr<IUnknown> second;
    EXPECT_EQ(objects->Next(1, second.put(), &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    objects->Reset();
  }
  com_ptr<IEnumUnknown> clone;
  EXPECT_EQ(objects->Clone(clone.put()), E_NOTIMPL);

  // The window context: a frame over the paint window without tool space, and one accelerator
  // table however often the object asks.
  HACCEL tables[2] = {};
  for (HACCEL& table : tables) {
    com_ptr<IOleInPlaceFrame> frame;
    com_ptr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    ASSERT_EQ(site->GetWindowContext(frame.put(), document.put(), &position, &clip, &info), S_OK);
    EXPECT_FALSE(document);
    EXPECT_EQ(info.hwndFrame, window.hwnd());
    EXPECT_EQ(info.cAccelEntries, 1u);
    EXPECT_FALSE(info.fMDIApp);
    table = info.haccel;
    HWND frame_window = nullptr;
    EXPECT_EQ(frame->GetWindow(&frame_window), S_OK);
    EXPECT_EQ(frame_window, window.hwnd());
    EXPECT_EQ(frame->RequestBorderSpace(nullptr), INPLACE_E_NOTOOLSPACE);
    com_ptr<IOleInPlaceUIWindow> ui_window;
    EXPECT_EQ(frame->QueryInterface(IID_IOleInPlaceUIWindow, ui_window.put_void()), S_OK);
  }
  EXPECT_NE(tables[0], nullptr);
  EXPECT_EQ(tables[0], tables[1]);
  com_ptr<IOleInPlaceFrame> frame;
  com_ptr<IOleInPlaceUIWindow> document;
  RECT rect{};
  EXPECT_EQ(site->GetWindowContext(frame.put(), document.put(), &rect, &rect, nullptr), E_POINTER);

  // A windowless object draws through the paint window, never through a DC of the site.
  HDC dc = reinterpret_cast<HDC>(1);
  EXPECT_EQ(site->GetDC(nullptr, 0, &dc), S_FALSE);
  EXPECT_EQ(dc, nullptr);
  EXPECT_EQ(site->GetDC(nullptr, 0, nullptr), E_POINTER);
  EXPECT_EQ(site->InvalidateRect(nullptr, FALSE), S_OK);
  LRESULT result = 0;
  EXPECT_EQ(site->OnDefWindowMessage(WM_NULL, 0, 0, &result), S_OK);

  com_ptr<IOleControlSite> control_site;
  ASSERT_EQ(client_site->QueryInterface(IID_IOleControlSite, control_site.put_void()), S_OK);
  EXPECT_EQ(control_site->GetExtendedControl(nullptr), E_POINTER);
  EXPECT_EQ(control_site->TranslateAccelerator(nullptr, 0), S_FALSE);
  EXPECT_EQ(control_site->ShowPropertyFrame(), E_NOTIMPL);

  com_ptr<IObjectWithSite> with_site;
  ASSERT_EQ(client_site->QueryInterface(IID_IObjectWithSite, with_site.put_void()), S_OK);
  com_ptr<IUnknown> outer;
  EXPECT_EQ(with_site->GetSite(IID_IUnknown, outer.put_void()), E_FAIL);

  // Once its control lets go, the site refuses everything that needs the control.
  site->AddRef();
  IOleInPlaceSiteWindowless* kept = site.get();
  control->ReleaseControl();
  HWND hwnd = nullptr;
  EXPECT_EQ(kept->GetWindow(&hwnd), E_UNEXPECTED);
  EXPECT_EQ(kept->GetCapture(), E_UNEXPECTED);
  EXPECT_EQ(kept->GetFocus(), E_UNEXPECTED);
  EXPECT_EQ(kept->SetFocus(TRUE), E_UNEXPECTED);
  EXPECT_EQ(kept->InvalidateRect(nullptr, FALSE), E_UNEXPECTED);
  BOOL no_redraw = FALSE;
  EXPECT_EQ(kept->OnInPlaceActivateEx(&no_redraw, ACTIVATE_WINDOWLESS), E_UNEXPECTED);
  EXPECT_EQ(kept->GetDC(nullptr, 0, &dc), E_UNEXPECTED);
  com_ptr<IOleClientSite> detached_client;
  ASSERT_EQ(kept->QueryInterface(IID_IOleClientSite, detached_client.put_void()), S_OK);
  EXPECT_EQ(detached_client->ShowObject(), E_UNEXPECTED);
  kept->Release();
}

TEST_F(ActiveXHostTest, CreationWaitsForTheFirstLayoutUnlessDelayIsOff) {
  {
    // Delayed (the default): the class id alone creates nothing; the first layout does.
    NativeHostWindow window;
    Vellum::CActiveXUI* control = NewControl(test_control::kWindowless);
    EXPECT_FALSE(control->IsCreated());
    EXPECT_EQ(module_.LiveObjects(), 0);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(control->GetControl(IID_IOleObject, &out), E_PENDING);
    EXPECT_EQ(out, nullptr);
    window.Host(control);
    EXPECT_TRUE(control->IsCreated());
    EXPECT_EQ(module_.LiveObjects(), 1);
  }
  EXPECT_EQ(module_.LiveObjects(), 0);
  {
    // Not delayed: the object exists as soon as the class id is read.
    Vellum::CActiveXUI control;
    control.SetAttribute(L"modulename", test_control::kModuleName);
    control.SetAttribute(L"delaycreate", L"false");
    EXPECT_FALSE(control.IsDelayCreate());
    control.SetAttribute(L"clsid", ClassIdText(test_control::kWindowed).c_str());
    EXPECT_TRUE(control.IsCreated());
    EXPECT_EQ(module_.LiveObjects(), 1);
    // Without a window to show it in, activation is refused, not attempted.
    const std::vector<std::wstring> log = module_.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), L"QueryInterface(IOleInPlaceSite)=00000000"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), L"CreateWindow"), log.end());
  }
  EXPECT_EQ(module_.LiveObjects(), 0);
  // Only the exact "true" delays.
  Vellum::CActiveXUI control;
  control.SetAttribute(L"delaycreate", L"TRUE");
  EXPECT_FALSE(control.IsDelayCreate());
}

// The skin builder creates the object of a control whose "delaycreate" is off while it applies the
// attributes with the window's manager, then detaches the control: deleted in that state, it must
// leave its message filter and its accelerator translator in no manager.
TEST_F(ActiveXHostTest, RegistrationsLeaveWithAControlTheBuilderDetached) {
  struct Case {
    const char* name;
    Vellum::CActiveXUI* (*make)();
  };
  const Case cases[] = {
      {"ActiveX", []() -> Vellum::CActiveXUI* { return new Vellum::CActiveXUI(); }},
      {"WebBrowser", []() -> Vellum::CActiveXUI* { return new Vellum::CWebBrowserUI(); }},
      {"Flash", []() -> Vellum::CActiveXUI* { return new Vellum::CFlashUI(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NativeHostWindow window;
    Vellum::CActiveXUI* control = c.make();
    control->SetManager(&window.manager(), nullptr, false);
    control->SetAttribute(L"modulename", test_control::kModuleName);
    control->SetAttribute(L"delaycreate", L"false");
    control->SetAttribute(L"clsid", ClassIdText(test_control::kWindowless).c_str());
    ASSERT_TRUE(control->IsCreated());
    Vellum::IMessageFilterUI* filter = control;
    auto* translator = dynamic_cast<Vellum::ITranslateAccelerator*>(control);
    control->SetManager(nullptr, nullptr, false);
    delete control;
    EXPECT_FALSE(window.manager().RemoveMessageFilter(filter));
    if (translator != nullptr) {
      EXPECT_FALSE(window.manager().RemoveTranslateAccelerator(translator));
    }
    EXPECT_EQ(module_.LiveObjects(), 0);
  }
}

TEST_F(ActiveXHostTest, ClassIdsFromTextAndModulesWithoutAFactory) {
  // A ProgID and the braced class id name the same class.
  Vellum::CActiveXUI by_name;
  by_name.SetAttribute(L"clsid", L"Shell.Explorer.2");
  Vellum::CActiveXUI by_id;
  by_id.SetAttribute(L"clsid", L"{8856F961-340A-11D0-A96B-00C04FD705A2}");
  EXPECT_TRUE(::IsEqualCLSID(by_name.GetCLSID(), by_id.GetCLSID()));
  EXPECT_FALSE(::IsEqualCLSID(by_id.GetCLSID(), CLSID_NULL));

  Vellum::CActiveXUI control;
  EXPECT_FALSE(control.SetCLSID(CLSID_NULL));
  control.SetAttribute(L"clsid", L"No.Such.ProgId");
  EXPECT_TRUE(::IsEqualCLSID(control.GetCLSID(), CLSID_NULL));

  // A module without a class factory falls back to the registry, where the test class is unknown.
  control.SetModuleName(L"kernel32.dll");
  control.SetCLSID(test_control::ClassId(test_control::kWindowless));
  EXPECT_FALSE(control.DoCreateControl());
  EXPECT_TRUE(control.IsCreated());
  void* out = nullptr;
  EXPECT_EQ(control.GetControl(IID_IOleObject, &out), E_PENDING);
  EXPECT_EQ(module_.LiveObjects(), 0);
}

}  // namespace
