// The browser control's document-host side, called the way the browser calls it (the browser
// itself never gets that far under Wine without an HTML engine), and the Flash control where the
// player is not installed.

#include <gtest/gtest.h>
#include <windows.h>
#include <exdispid.h>
#include <mshtmhst.h>

#include <string>
#include <vector>

#include "common/base/com_ptr.h"
#include "tests/vellum/controls/activex/script_error_fakes.h"
#include "vellum/controls/activex/activex_ids.h"
#include "vellum/controls/activex/flash.h"
#include "vellum/controls/activex/web_browser.h"
#include "vellum/controls/activex/web_event_handler.h"

namespace {

using Vellum::CWebBrowserUI;

class RecordingHandler : public Vellum::IWebEventHandler {
 public:
  void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*,
                       VARIANT*, VARIANT_BOOL* cancel) override {
    calls.push_back(L"BeforeNavigate2 " + Text(url));
    if (cancel != nullptr) *cancel = VARIANT_TRUE;
  }
  void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* url) override {
    calls.push_back(L"NavigateComplete2 " + Text(url));
  }
  void TitleChange(CWebBrowserUI*, BSTR title) override {
    calls.push_back(L"TitleChange " + std::wstring(title ? title : L"(null)"));
  }
  void CommandStateChange(CWebBrowserUI*, long command, VARIANT_BOOL enable) override {
    calls.push_back(L"CommandStateChange " + std::to_wstring(command) + L" " +
                    (enable ? L"on" : L"off"));
  }
  HRESULT ShowContextMenu(CWebBrowserUI*, DWORD, POINT*, IUnknown*, IDispatch*) override {
    calls.push_back(L"ShowContextMenu");
    return S_OK;
  }
  HRESULT GetHostInfo(CWebBrowserUI*, DOCHOSTUIINFO* info) override {
    calls.push_back(L"GetHostInfo " + std::to_wstring(info->dwFlags));
    return E_FAIL;
  }
  HRESULT Download(CWebBrowserUI*, IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR,
                   LPCOLESTR, UINT code_page) override {
    calls.push_back(L"Download " + std::to_wstring(code_page));
    return E_ABORT;
  }
  static std::wstring Text(VARIANT* v) {
    return v != nullptr && v->vt == VT_BSTR && v->bstrVal ? v->bstrVal : L"(none)";
  }
  std::vector<std::wstring> calls;
};

class ComTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
  void TearDown() override { ::OleUninitialize(); }
};

using WebBrowserHostTest = ComTest;

TEST_F(WebBrowserHostTest, DocumentHostAnswersWithoutAHandler) {
  CWebBrowserUI browser;
  IDocHostUIHandler* host = &browser;
  EXPECT_EQ(host->ShowContextMenu(CONTEXT_MENU_DEFAULT, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_EQ(host->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(host->HideUI(), S_OK);
  EXPECT_EQ(host->UpdateUI(), S_OK);
  EXPECT_EQ(host->EnableModeless(TRUE), E_NOTIMPL);
  EXPECT_EQ(host->OnDocWindowActivate(TRUE), E_NOTIMPL);
  EXPECT_EQ(host->OnFrameWindowActivate(TRUE), E_NOTIMPL);
  EXPECT_EQ(host->ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL);
  EXPECT_EQ(host->TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
  EXPECT_EQ(host->GetOptionKeyPath(nullptr, 0), E_NOTIMPL);
  EXPECT_EQ(host->GetDropTarget(nullptr, nullptr), S_FALSE);
  EXPECT_EQ(host->GetExternal(nullptr), S_FALSE);
  LPWSTR translated = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(host->TranslateUrl(0, const_cast<LPWSTR>(L"about:blank"), &translated), E_NOTIMPL);
  EXPECT_EQ(translated, nullptr);
  IDataObject* filtered = reinterpret_cast<IDataObject*>(1);
  EXPECT_EQ(host->FilterDataObject(nullptr, &filtered), E_NOTIMPL);
  EXPECT_EQ(filtered, nullptr);

  // No 3-D border, inner or outer, whatever else the browser asked for.
  DOCHOSTUIINFO info{};
  info.cbSize = sizeof(info);
  info.dwFlags = DOCHOSTUIFLAG_DIALOG;
  EXPECT_EQ(host->GetHostInfo(&info), S_OK);
  EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER |
                                             DOCHOSTUIFLAG_NO3DOUTERBORDER));
  EXPECT_EQ(host->GetHostInfo(nullptr), S_OK);
  EXPECT_EQ(browser.Download(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, 0), S_OK);
}

TEST_F(WebBrowserHostTest, HandlerAnswersInsteadOfTheHost) {
  CWebBrowserUI browser;
  RecordingHandler handler;
  browser.SetWebBrowserEventHandler(&handler);
  IDocHostUIHandler* host = &browser;
  EXPECT_EQ(host->ShowContextMenu(CONTEXT_MENU_DEFAULT, nullptr, nullptr, nullptr), S_OK);
  DOCHOSTUIINFO info{};
  info.cbSize = sizeof(info);
  EXPECT_EQ(host->GetHostInfo(&info), E_FAIL);
  // The border flags are in place before the handler sees the record.
  const DWORD flags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
  EXPECT_EQ(handler.calls,
            (std::vector<std::wstring>{L"ShowContextMenu", L"GetHostInfo " + std::to_wstring(flags)}));

  // The download manager the browser asks for is the control, and the handler answers for it.
  com_ptr<IDownloadManager> downloads;
  ASSERT_EQ(browser.QueryService(Vellum::kSIDDownloadManager, Vellum::kIIDDownloadManager,
                                 downloads.put_void()),
            S_OK);
  EXPECT_EQ(downloads->Download(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, 936), E_ABORT);
  EXPECT_EQ(handler.calls.back(), L"Download 936");
}

TEST_F(WebBrowserHostTest, SecurityManagerLeavesEveryDecisionToTheBrowser) {
  CWebBrowserUI browser;
  com_ptr<IInternetSecurityManager> security;
  ASSERT_EQ(browser.QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager,
                                 security.put_void()),
            S_OK);
  // Answering success would grant every URL action; "default action" lets the zones decide, and
  // nothing is written for the caller.
  const DWORD kUntouched = 0xA5A5A5A5;
  DWORD zone = kUntouched;
  BYTE policy[4] = {0xA5, 0xA5, 0xA5, 0xA5};
  BYTE id[16] = {};
  DWORD id_size = sizeof(id);
  IInternetSecurityMgrSite* site = reinterpret_cast<IInternetSecurityMgrSite*>(1);
  BYTE* custom = nullptr;
  DWORD custom_size = 0;
  com_ptr<IEnumString> mappings;
  const HRESULT answers[] = {
      security->SetSecuritySite(nullptr),
      security->GetSecuritySite(&site),
      security->MapUrlToZone(L"http://example.invalid/", &zone, 0),
      security->GetSecurityId(L"http://example.invalid/", id, &id_size, 0),
      security->ProcessUrlAction(L"http://example.invalid/", URLACTION_SCRIPT_RUN, policy,
                                 sizeof(policy), nullptr, 0, PUAF_DEFAULT, 0),
      security->QueryCustomPolicy(L"http://example.invalid/", GUID_NULL, &custom, &custom_size,
                                  nullptr, 0, 0),
      security->SetZoneMapping(URLZONE_TRUSTED, L"http://example.invalid", SZM_CREATE),
      security->GetZoneMappings(URLZONE_TRUSTED, mappings.put(), 0),
  };
  for (HRESULT hr : answers) EXPECT_EQ(hr, INET_E_DEFAULT_ACTION);
  EXPECT_EQ(zone, kUntouched);
  EXPECT_EQ(policy[0], 0xA5);
  EXPECT_EQ(id_size, sizeof(id));
  EXPECT_EQ(site, reinterpret_cast<IInternetSecurityMgrSite*>(1));
}

TEST_F(WebBrowserHostTest, ServiceProviderAndPartsAnswerOnlyWhatTheyOffer) {
  CWebBrowserUI browser;
  struct Service {
    const GUID* service;
    const IID* iid;
    bool answered;
  };
  const Service services[] = {
      {&Vellum::kSIDDownloadManager, &Vellum::kIIDDownloadManager, true},
      {&Vellum::kSIDInternetSecurityManager, &IID_IInternetSecurityManager, true},
      {&Vellum::kSIDDownloadManager, &IID_IInternetSecurityManager, false},
      {&Vellum::kSIDInternetSecurityManager, &IID_IUnknown, false},
      {&IID_IWebBrowserApp, &IID_IWebBrowser2, false},
  };
  for (const Service& s : services) {
    void* out = reinterpret_cast<void*>(1);
    const HRESULT hr = browser.QueryService(*s.service, *s.iid, &out);
    EXPECT_EQ(hr, s.answered ? S_OK : E_NOINTERFACE);
    EXPECT_EQ(out != nullptr, s.answered);
    if (out != nullptr) static_cast<IUnknown*>(out)->Release();
  }
  EXPECT_EQ(browser.QueryService(IID_IUnknown, IID_IUnknown, nullptr), E_POINTER);

  struct Part {
    const IID* iid;
    bool answered;
  };
  const Part parts[] = {
      {&IID_IDocHostUIHandler, true},     {&IID_IDispatch, true},
      {&IID_IServiceProvider, true},      {&IID_IInternetSecurityManager, true},
      {&IID_IOleCommandTarget, true},     {&IID_IUnknown, true},
      {&IID_IOleClientSite, false},       {&DIID_DWebBrowserEvents2, false},
  };
  IDispatch* sink = &browser;
  for (const Part& p : parts) {
    com_ptr<IUnknown> part;
    EXPECT_EQ(SUCCEEDED(sink->QueryInterface(*p.iid, part.put_void())), p.answered);
  }
  // The count serves the browser only: dropping to zero leaves the control alive.
  EXPECT_EQ(sink->AddRef(), 1u);
  EXPECT_EQ(sink->Release(), 0u);
  EXPECT_STREQ(browser.GetClass(), L"WebBrowserUI");
  EXPECT_EQ(browser.GetInterface(L"webbrowser"), &browser);
  EXPECT_EQ(browser.GetInterface(L"ActiveX"), static_cast<Vellum::CActiveXUI*>(&browser));
}

TEST_F(WebBrowserHostTest, ScriptErrorsAreSwallowedAndArgumentsChecked) {
  CWebBrowserUI browser;
  IOleCommandTarget* target = &browser;
  const GUID& group = Vellum::kCGIDDocHostCommandHandler;
  EXPECT_EQ(target->QueryStatus(&group, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);

  VARIANT out;
  ::VariantInit(&out);
  VARIANT in;
  ::VariantInit(&in);
  EXPECT_EQ(target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(target->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out),
            OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWMESSAGE, 0, &in, &out), OLECMDERR_E_NOTSUPPORTED);

  // Malformed input or a missing output is refused before anything is touched.
  script_error_fakes::Record record;
  auto* document = static_cast<IUnknown*>(script_error_fakes::NewDocument(&record, true));
  in.vt = VT_UNKNOWN;
  in.punkVal = document;
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, &in, nullptr), E_INVALIDARG);
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), E_INVALIDARG);
  VARIANT number;
  ::VariantInit(&number);
  number.vt = VT_I4;
  number.lVal = 0x1234;
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, &number, &out), E_INVALIDARG);
  VARIANT empty_object;
  ::VariantInit(&empty_object);
  empty_object.vt = VT_DISPATCH;
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, &empty_object, &out), E_INVALIDARG);
  EXPECT_EQ(out.vt, VT_EMPTY);
  EXPECT_TRUE(record.reads.empty());

  // The error's properties are read in order and the script keeps running.
  EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), S_OK);
  EXPECT_EQ(record.reads, (std::vector<std::wstring>{L"errorLine", L"errorCharacter", L"errorCode",
                                                     L"errorMessage", L"errorUrl"}));
  EXPECT_EQ(out.vt, VT_BOOL);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  document->Release();

  // Whatever cannot be read, no error dialog is asked for.
  struct Case {
    IUnknown* object;
    HRESULT expected;
  };
  script_error_fakes::Record no_event_record;
  auto* no_event = static_cast<IUnknown*>(script_error_fakes::NewDocument(&no_event_record, false));
  CWebBrowserUI not_a_document;
  const Case cases[] = {
      {no_event, E_NOINTERFACE},
      {static_cast<IDispatch*>(&not_a_document), E_NOINTERFACE},
  };
  for (const Case& c : cases) {
    ::VariantInit(&out);
    in.vt = VT_UNKNOWN;
    in.punkVal = c.object;
    EXPECT_EQ(target->Exec(&group, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out), c.expected);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  }
  EXPECT_TRUE(no_event_record.reads.empty());
  no_event->Release();
}

// Builds the arguments of an event, first argument first (they travel last first).
class EventArguments {
 public:
  EventArguments& Add(const VARIANT& v) {
    args_.insert(args_.begin(), v);
    return *this;
  }
  DISPPARAMS* params() {
    params_.rgvarg = args_.data();
    params_.cArgs = static_cast<UINT>(args_.size());
    return &params_;
  }

 private:
  std::vector<VARIANT> args_;
  DISPPARAMS params_{};
};

VARIANT Make(VARTYPE vt) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = vt;
  return v;
}

TEST_F(WebBrowserHostTest, BrowserEventsReachTheHandlerWithCheckedArguments) {
  CWebBrowserUI browser;
  IDispatch* sink = &browser;
  UINT count = 7;
  EXPECT_EQ(sink->GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL);

  DISPPARAMS none{};
  EXPECT_EQ(sink->Invoke(DISPID_TITLECHANGE, IID_IUnknown, 0, DISPATCH_METHOD, &none, nullptr,
                         nullptr, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(sink->Invoke(DISPID_STATUSTEXTCHANGE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                         nullptr, nullptr),
            S_OK);
  EXPECT_EQ(sink->Invoke(DISPID_PROGRESSCHANGE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                         nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  // Too few arguments never reach the handler.
  EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                         nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(sink->Invoke(DISPID_NAVIGATEERROR, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                         nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);

  RecordingHandler handler;
  browser.SetWebBrowserEventHandler(&handler);

  ScopedBstr url(L"about:blank");
  VARIANT url_value = Make(VT_BSTR);
  url_value.bstrVal = url;
  VARIANT url_ref = Make(VT_BYREF | VT_VARIANT);
  url_ref.pvarVal = &url_value;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT cancel_ref = Make(VT_BYREF | VT_BOOL);
  cancel_ref.pboolVal = &cancel;
  VARIANT empty_ref = Make(VT_BYREF | VT_VARIANT);
  VARIANT empty = Make(VT_EMPTY);
  empty_ref.pvarVal = &empty;

  EventArguments before;
  before.Add(Make(VT_DISPATCH)).Add(url_ref).Add(empty_ref).Add(empty_ref).Add(empty_ref)
      .Add(empty_ref).Add(cancel_ref);
  EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, before.params(),
                         nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(cancel, VARIANT_TRUE);  // the handler's answer reaches the browser

  // Arguments of another type than the event's come through as null.
  EventArguments mistyped;
  mistyped.Add(Make(VT_I4)).Add(url_value).Add(Make(VT_I4)).Add(Make(VT_I4)).Add(Make(VT_I4))
      .Add(Make(VT_I4)).Add(Make(VT_I4));
  EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, mistyped.params(),
                         nullptr, nullptr, nullptr),
            S_OK);

  ScopedBstr title(L"Start");
  VARIANT title_value = Make(VT_BSTR);
  title_value.bstrVal = title;
  EventArguments title_args;
  title_args.Add(title_value);
  EXPECT_EQ(sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, title_args.params(),
                         nullptr, nullptr, nullptr),
            S_OK);

  VARIANT command = Make(VT_I4);
  command.lVal = CSC_NAVIGATEBACK;
  VARIANT enable = Make(VT_BOOL);
  enable.boolVal = VARIANT_TRUE;
  EventArguments state;
  state.Add(command).Add(enable);
  EXPECT_EQ(sink->Invoke(DISPID_COMMANDSTATECHANGE, IID_NULL, 0, DISPATCH_METHOD, state.params(),
                         nullptr, nullptr, nullptr),
            S_OK);

  // Before the browser exists there is no document to take as UI handler; the event still comes.
  EventArguments complete;
  complete.Add(Make(VT_DISPATCH)).Add(url_ref);
  EXPECT_EQ(sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, complete.params(),
                         nullptr, nullptr, nullptr),
            S_OK);

  EXPECT_EQ(handler.calls, (std::vector<std::wstring>{
                               L"BeforeNavigate2 about:blank",
                               L"BeforeNavigate2 (none)",
                               L"TitleChange Start",
                               L"CommandStateChange " + std::to_wstring(CSC_NAVIGATEBACK) + L" on",
                               L"NavigateComplete2 about:blank",
                           }));
}

using EmbeddedPlayerTest = ComTest;

TEST_F(EmbeddedPlayerTest, FlashIsAbsentAndItsCreationFailsCleanly) {
  Vellum::CFlashUI flash;
  EXPECT_STREQ(flash.GetClass(), L"FlashUI");
  EXPECT_EQ(flash.GetInterface(L"FLASH"), &flash);
  EXPECT_FALSE(flash.DoCreateControl());
  EXPECT_TRUE(flash.IsCreated());
  EXPECT_EQ(flash.GetFlash(), nullptr);
  EXPECT_EQ(flash.GetEventCookie(), 0u);
  void* out = nullptr;
  EXPECT_EQ(flash.GetControl(IID_IOleObject, &out), E_PENDING);
  MSG key{};
  key.message = WM_KEYDOWN;
  key.wParam = VK_TAB;
  EXPECT_EQ(flash.TranslateAccelerator(&key), E_NOTIMPL);
  MSG mouse{};
  mouse.message = WM_MOUSEMOVE;
  EXPECT_EQ(flash.TranslateAccelerator(&mouse), S_FALSE);
  // Laying it out tries again and leaves it just as empty.
  flash.SetPos(RECT{0, 0, 100, 50});
  EXPECT_EQ(flash.GetHostWindow(), nullptr);

  // Its event part accepts every event without acting.
  IDispatch* events = &flash;
  com_ptr<IUnknown> part;
  EXPECT_EQ(events->QueryInterface(Vellum::kDIIDShockwaveFlashEvents, part.put_void()), S_OK);
  EXPECT_EQ(events->Invoke(0x7A6, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
            S_OK);
}

// Asked for no name, the family answers nothing, as every other control does.
TEST_F(EmbeddedPlayerTest, NoInterfaceForANullName) {
  Vellum::CActiveXUI activex;
  CWebBrowserUI browser;
  Vellum::CFlashUI flash;
  Vellum::CControlUI* const controls[] = {&activex, &browser, &flash};
  for (Vellum::CControlUI* control : controls) {
    EXPECT_EQ(control->GetInterface(nullptr), nullptr) << control->GetClass();
  }
}

TEST_F(EmbeddedPlayerTest, BrowserKeysNeedTheBrowser) {
  CWebBrowserUI browser;
  MSG key{};
  key.message = WM_KEYDOWN;
  key.wParam = VK_TAB;
  EXPECT_EQ(browser.TranslateAccelerator(&key), E_NOTIMPL);
  MSG outside{};
  outside.message = WM_KEYDOWN - 1;
  EXPECT_EQ(browser.TranslateAccelerator(&outside), S_FALSE);
  outside.message = 0x10A;
  EXPECT_EQ(browser.TranslateAccelerator(&outside), S_FALSE);
  // Navigating before the browser exists does nothing.
  browser.Navigate2(L"about:blank");
  browser.Navigate2(nullptr);
  EXPECT_EQ(browser.GetWebBrowser2(), nullptr);
}

}  // namespace
