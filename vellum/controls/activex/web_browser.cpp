#include "vellum/controls/activex/web_browser.h"

#include <exdispid.h>
#include <ocidl.h>

#include <cwchar>
#include <utility>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex_ids.h"
#include "vellum/controls/activex/object_calls.h"
#include "vellum/controls/activex/web_event_handler.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

// The event arguments arrive last first; each accessor answers null (or 0) for an argument of
// another type, so a malformed call never reaches through a wrong pointer.
const VARIANT& Arg(const DISPPARAMS& params, UINT index_from_first) {
  return params.rgvarg[params.cArgs - 1 - index_from_first];
}
IDispatch* DispatchArg(const VARIANT& v) { return v.vt == VT_DISPATCH ? v.pdispVal : nullptr; }
IDispatch** DispatchRefArg(const VARIANT& v) {
  return v.vt == (VT_BYREF | VT_DISPATCH) ? v.ppdispVal : nullptr;
}
VARIANT* VariantRefArg(const VARIANT& v) {
  return v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : nullptr;
}
VARIANT_BOOL* BoolRefArg(const VARIANT& v) {
  return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
}
BSTR BstrArg(const VARIANT& v) { return v.vt == VT_BSTR ? v.bstrVal : nullptr; }
long LongArg(const VARIANT& v) {
  VARIANT converted;
  ::VariantInit(&converted);
  long value = 0;
  if (SUCCEEDED(::VariantChangeType(&converted, const_cast<VARIANT*>(&v), 0, VT_I4))) value = converted.lVal;
  ::VariantClear(&converted);
  return value;
}

// The number of arguments each handled event carries.
UINT ArgumentCount(DISPID id) {
  switch (id) {
    case DISPID_COMMANDSTATECHANGE: return 2;
    case DISPID_TITLECHANGE: return 1;
    case DISPID_BEFORENAVIGATE2: return 7;
    case DISPID_NAVIGATECOMPLETE2: return 2;
    case DISPID_DOCUMENTCOMPLETE: return 2;
    case DISPID_NAVIGATEERROR: return 5;
    case DISPID_NEWWINDOW3: return 5;
    default: return 0;
  }
}

}  // namespace

CWebBrowserUI::CWebBrowserUI() { clsid_ = kWebBrowserClsid; }

CWebBrowserUI::~CWebBrowserUI() {
  CWebBrowserUI::ReleaseControl();
  if (browser_ != nullptr) std::exchange(browser_, nullptr)->Release();
  CActiveXUI::ReleaseControl();
}

CControlUI* CWebBrowserUI::CreateControl() { return new CWebBrowserUI(); }

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"WebBrowser") == 0) return static_cast<CWebBrowserUI*>(this);
  return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"homepage") == 0) {
    SetHomePage(value);
  } else if (_wcsicmp(name, L"autonavi") == 0) {
    auto_navigate_ = _wcsicmp(value, L"true") == 0;
  } else {
    CActiveXUI::SetAttribute(name, value);
  }
}

void CWebBrowserUI::SetHomePage(const wchar_t* url) { home_page_ = url ? url : L""; }

bool CWebBrowserUI::DoCreateControl() {
  ReleaseControl();
  if (browser_ != nullptr) std::exchange(browser_, nullptr)->Release();
  const bool created = CActiveXUI::DoCreateControl();
  // Activation may fail while the object exists; it is then still set up as far as it goes.
  if (object_ == nullptr) return created;
  if (manager_ != nullptr) manager_->AddTranslateAccelerator(this);
  GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
  // Listening first: the browser announces a navigation while it is being asked for it, so the
  // home page's events would otherwise be lost.
  ConnectEvents(true);
  if (auto_navigate_ && !home_page_.IsEmpty()) Navigate2(home_page_.GetData());
  return created;
}

void CWebBrowserUI::ReleaseControl() {
  created_ = false;
  CPaintManagerUI::RemoveInterfacesOf(this);
  ConnectEvents(false);
  ReturnUIHandler();
}

void CWebBrowserUI::ConnectEvents(bool connect) {
  ConnectEventSink(browser_, DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this), connect,
                   event_cookie_);
}

void CWebBrowserUI::Navigate2(const wchar_t* url) {
  if (url == nullptr || browser_ == nullptr) return;
  VARIANT target;
  ::VariantInit(&target);
  target.vt = VT_BSTR;
  target.bstrVal = ::SysAllocString(url);
  if (target.bstrVal != nullptr) browser_->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
  ::VariantClear(&target);
}

void CWebBrowserUI::BecomeUIHandler() {
  if (browser_ == nullptr) return;
  com_ptr<IDispatch> document;
  if (browser_->get_Document(document.put()) != S_OK || !document) return;
  com_ptr<ICustomDoc> custom;
  if (FAILED(document->QueryInterface(kIIDCustomDoc, custom.put_void())) || !custom) return;
  // A document navigated away from keeps no handler of this control either.
  if (custom.get() != handled_document_.get()) ReturnUIHandler();
  custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
  handled_document_ = std::move(custom);
}

void CWebBrowserUI::ReturnUIHandler() {
  if (!handled_document_) return;
  // The document's own handler is not known: it is left with none, which is its default.
  handled_document_->SetUIHandler(nullptr);
  handled_document_.reset();
}

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* msg) {
  return TranslateKeyToObject(browser_, host_window_, msg);
}

// ---- IUnknown ----

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IDocHostUIHandler) {
    *out = static_cast<IDocHostUIHandler*>(this);
  } else if (iid == IID_IDispatch || iid == IID_IUnknown) {
    // COM asks every object for IUnknown (a connection point may, to compare identities).
    *out = static_cast<IDispatch*>(this);
  } else if (iid == IID_IServiceProvider) {
    *out = static_cast<IServiceProvider*>(this);
  } else if (iid == IID_IInternetSecurityManager) {
    *out = static_cast<IInternetSecurityManager*>(this);
  } else if (iid == IID_IOleCommandTarget) {
    *out = static_cast<IOleCommandTarget*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&ref_count_));
}

STDMETHODIMP_(ULONG) CWebBrowserUI::Release() {
  return static_cast<ULONG>(::InterlockedDecrement(&ref_count_));
}

// ---- IDispatch: the browser's events ----

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count) {
  if (count != nullptr) *count = 0;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) {
  if (iid != IID_NULL) return E_INVALIDARG;
  if (id == DISPID_STATUSTEXTCHANGE) return S_OK;
  const UINT needed = ArgumentCount(id);
  if (needed == 0) return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr || params->cArgs < needed || params->rgvarg == nullptr) {
    return DISP_E_BADPARAMCOUNT;
  }
  const DISPPARAMS& p = *params;
  IWebEventHandler* handler = event_handler_;
  switch (id) {
    case DISPID_COMMANDSTATECHANGE:
      if (handler) {
        handler->CommandStateChange(this, LongArg(Arg(p, 0)),
                                    Arg(p, 1).vt == VT_BOOL ? Arg(p, 1).boolVal : VARIANT_FALSE);
      }
      break;
    case DISPID_TITLECHANGE:
      if (handler) handler->TitleChange(this, BstrArg(Arg(p, 0)));
      break;
    case DISPID_BEFORENAVIGATE2:
      if (handler) {
        handler->BeforeNavigate2(this, DispatchArg(Arg(p, 0)), VariantRefArg(Arg(p, 1)),
                                 VariantRefArg(Arg(p, 2)), VariantRefArg(Arg(p, 3)),
                                 VariantRefArg(Arg(p, 4)), VariantRefArg(Arg(p, 5)),
                                 BoolRefArg(Arg(p, 6)));
      }
      break;
    case DISPID_NAVIGATECOMPLETE2:
      BecomeUIHandler();
      if (handler) handler->NavigateComplete2(this, DispatchArg(Arg(p, 0)), VariantRefArg(Arg(p, 1)));
      break;
    case DISPID_DOCUMENTCOMPLETE:
      if (handler) handler->DocumentComplete(this, DispatchArg(Arg(p, 0)), VariantRefArg(Arg(p, 1)));
      break;
    case DISPID_NAVIGATEERROR:
      if (handler) {
        handler->NavigateError(this, DispatchArg(Arg(p, 0)), VariantRefArg(Arg(p, 1)),
                               VariantRefArg(Arg(p, 2)), VariantRefArg(Arg(p, 3)),
                               BoolRefArg(Arg(p, 4)));
      }
      break;
    case DISPID_NEWWINDOW3:
      if (handler) {
        handler->NewWindow3(this, DispatchRefArg(Arg(p, 0)), BoolRefArg(Arg(p, 1)),
                            static_cast<DWORD>(LongArg(Arg(p, 2))), BstrArg(Arg(p, 3)),
                            BstrArg(Arg(p, 4)));
      }
      break;
    default:
      break;
  }
  return S_OK;
}

}  // namespace Vellum
