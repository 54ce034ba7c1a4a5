// The browser's document host: the UI handler, the services it asks for, the script-error command
// and the security manager.

#include <mshtml.h>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex_ids.h"
#include "vellum/controls/activex/web_browser.h"
#include "vellum/controls/activex/web_event_handler.h"

namespace Vellum {
namespace {

// The locale the script-error properties are read in.
constexpr LCID kScriptErrorLocale = 2048;

// Reads one property of the error event; the value itself is of no use to the host.
HRESULT ReadProperty(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, kScriptErrorLocale, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS no_arguments{};
  VARIANT value;
  ::VariantInit(&value);
  EXCEPINFO exception{};
  UINT arg_error = 0;
  hr = object->Invoke(id, IID_NULL, kScriptErrorLocale, DISPATCH_PROPERTYGET, &no_arguments, &value,
                      &exception, &arg_error);
  ::VariantClear(&value);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return hr;
}

}  // namespace

// ---- IDocHostUIHandler ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* point, IUnknown* command_target,
                                            IDispatch* object) {
  if (event_handler_) return event_handler_->ShowContextMenu(this, id, point, command_target, object);
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
  if (info != nullptr) info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
  if (event_handler_) return event_handler_->GetHostInfo(this, info);
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* active_object,
                                   IOleCommandTarget* command_target, IOleInPlaceFrame* frame,
                                   IOleInPlaceUIWindow* document) {
  if (event_handler_) {
    return event_handler_->ShowUI(this, id, active_object, command_target, frame, document);
  }
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI() {
  if (event_handler_) return event_handler_->HideUI(this);
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::UpdateUI() {
  if (event_handler_) return event_handler_->UpdateUI(this);
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) {
  if (event_handler_) return event_handler_->EnableModeless(this, enable);
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
  if (event_handler_) return event_handler_->OnDocWindowActivate(this, activate);
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
  if (event_handler_) return event_handler_->OnFrameWindowActivate(this, activate);
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame_window) {
  if (event_handler_) return event_handler_->ResizeBorder(this, border, window, frame_window);
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) {
  if (event_handler_) return event_handler_->TranslateAccelerator(this, msg, group, command);
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
  if (event_handler_) return event_handler_->GetOptionKeyPath(this, key, reserved);
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* drop_target, IDropTarget** replacement) {
  if (event_handler_) return event_handler_->GetDropTarget(this, drop_target, replacement);
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** dispatch) {
  if (event_handler_) return event_handler_->GetExternal(this, dispatch);
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) {
  if (event_handler_) return event_handler_->TranslateUrl(this, translate, url, translated);
  if (translated != nullptr) *translated = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* data, IDataObject** filtered) {
  if (event_handler_) return event_handler_->FilterDataObject(this, data, filtered);
  if (filtered != nullptr) *filtered = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Download(IMoniker* moniker, IBindCtx* context, DWORD bind_verb,
                                     LONG bind_flags, BINDINFO* bind_info, LPCOLESTR headers,
                                     LPCOLESTR redirect, UINT code_page) {
  if (event_handler_) {
    return event_handler_->Download(this, moniker, context, bind_verb, bind_flags, bind_info,
                                    headers, redirect, code_page);
  }
  return S_OK;
}

// ---- IServiceProvider ----

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (service == kSIDDownloadManager && iid == kIIDDownloadManager) {
    *out = static_cast<IDownloadManager*>(this);
  } else if (service == kSIDInternetSecurityManager && iid == IID_IInternetSecurityManager) {
    *out = static_cast<IInternetSecurityManager*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

// ---- IOleCommandTarget ----

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) {
  return OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD command, DWORD, VARIANT* in,
                                 VARIANT* out) {
  if (group == nullptr || *group != kCGIDDocHostCommandHandler) return OLECMDERR_E_UNKNOWNGROUP;
  if (command != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
  // The document comes in as the input's object, and the answer goes into the output.
  if (in == nullptr || out == nullptr || (in->vt != VT_UNKNOWN && in->vt != VT_DISPATCH) ||
      in->punkVal == nullptr) {
    return E_INVALIDARG;
  }
  com_ptr<IHTMLDocument2> document;
  com_ptr<IHTMLWindow2> window;
  com_ptr<IHTMLEventObj> event;
  com_ptr<IDispatch> event_object;
  HRESULT hr = in->punkVal->QueryInterface(IID_IHTMLDocument2, document.put_void());
  if (SUCCEEDED(hr) && document) hr = document->get_parentWindow(window.put());
  if (SUCCEEDED(hr) && window) hr = window->get_event(event.put());
  if (SUCCEEDED(hr) && event) hr = event->QueryInterface(IID_IDispatch, event_object.put_void());
  if (SUCCEEDED(hr) && !event_object) hr = E_NOINTERFACE;
  if (SUCCEEDED(hr)) {
    for (const wchar_t* name :
         {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl"}) {
      hr = ReadProperty(event_object.get(), name);
    }
  }
  // The script goes on running and no error dialog is shown, whatever could be read.
  ::VariantClear(out);
  out->vt = VT_BOOL;
  out->boolVal = VARIANT_TRUE;
  return hr;
}

// ---- IInternetSecurityManager ----
// Answering "default action" leaves each decision to the browser's own zone settings; answering
// success here would grant every URL action and leave zones and ids unset.

STDMETHODIMP CWebBrowserUI::SetSecuritySite(IInternetSecurityMgrSite*) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::GetSecuritySite(IInternetSecurityMgrSite**) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::MapUrlToZone(LPCWSTR, DWORD*, DWORD) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) {
  return INET_E_DEFAULT_ACTION;
}
STDMETHODIMP CWebBrowserUI::ProcessUrlAction(LPCWSTR, DWORD, BYTE*, DWORD, BYTE*, DWORD, DWORD,
                                             DWORD) {
  return INET_E_DEFAULT_ACTION;
}
STDMETHODIMP CWebBrowserUI::QueryCustomPolicy(LPCWSTR, REFGUID, BYTE**, DWORD*, BYTE*, DWORD,
                                              DWORD) {
  return INET_E_DEFAULT_ACTION;
}
STDMETHODIMP CWebBrowserUI::SetZoneMapping(DWORD, LPCWSTR, DWORD) { return INET_E_DEFAULT_ACTION; }
STDMETHODIMP CWebBrowserUI::GetZoneMappings(DWORD, IEnumString**, DWORD) {
  return INET_E_DEFAULT_ACTION;
}

}  // namespace Vellum
