// Built with the C form of the interfaces: the fake browser fills in only the slots of the browser
// and document interfaces the browser control uses, and leaves the rest empty.
#define CINTERFACE
#define COBJMACROS

#include "tests/vellum/controls/activex/fake_browser.h"

#include <exdisp.h>
#include <mshtmhst.h>

namespace fake_browser {
namespace {

// {3050F3F0-98B5-11CF-BB82-00AA00BDCE0B}, absent from the import libraries.
const IID kIIDCustomDoc = {0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

struct FakeDocument {
  ICustomDocVtbl* vtbl;
  LONG refs;
  LogLine log;
  IDocHostUIHandler* handler;
};

struct FakeBrowser {
  IWebBrowser2Vtbl* vtbl;
  LONG refs;
  IUnknown* object;
  FakeDocument* document;
  LogLine log;
};

// ---- document ----
HRESULT STDMETHODCALLTYPE DocumentQueryInterface(ICustomDoc* This, REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIIDCustomDoc) {
    *out = This;
    reinterpret_cast<FakeDocument*>(This)->refs++;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE DocumentAddRef(ICustomDoc* This) {
  return ++reinterpret_cast<FakeDocument*>(This)->refs;
}
ULONG STDMETHODCALLTYPE DocumentRelease(ICustomDoc* This) {
  auto* self = reinterpret_cast<FakeDocument*>(This);
  const LONG refs = --self->refs;
  if (refs == 0) {
    if (self->handler != nullptr) IDocHostUIHandler_Release(self->handler);
    delete self;
  }
  return refs;
}
// Holds the handler as the browser's document does: a handler released while the document still
// holds it is called into after it is gone.
HRESULT STDMETHODCALLTYPE DocumentSetUIHandler(ICustomDoc* This, IDocHostUIHandler* handler) {
  auto* self = reinterpret_cast<FakeDocument*>(This);
  self->log(handler != nullptr ? L"SetUIHandler(set)" : L"SetUIHandler(null)");
  if (handler != nullptr) IDocHostUIHandler_AddRef(handler);
  if (self->handler != nullptr) IDocHostUIHandler_Release(self->handler);
  self->handler = handler;
  return S_OK;
}

// ---- browser ----
HRESULT STDMETHODCALLTYPE BrowserQueryInterface(IWebBrowser2* This, REFIID iid, void** out) {
  auto* self = reinterpret_cast<FakeBrowser*>(This);
  if (iid == IID_IWebBrowser2 || iid == IID_IWebBrowserApp || iid == IID_IWebBrowser) {
    *out = This;
    self->refs++;
    return S_OK;
  }
  return IUnknown_QueryInterface(self->object, iid, out);
}
ULONG STDMETHODCALLTYPE BrowserAddRef(IWebBrowser2* This) {
  return ++reinterpret_cast<FakeBrowser*>(This)->refs;
}
ULONG STDMETHODCALLTYPE BrowserRelease(IWebBrowser2* This) {
  auto* self = reinterpret_cast<FakeBrowser*>(This);
  const LONG refs = --self->refs;
  if (refs == 0) {
    if (self->document != nullptr) DocumentRelease(reinterpret_cast<ICustomDoc*>(self->document));
    IUnknown_Release(self->object);
    delete self;
  }
  return refs;
}
HRESULT STDMETHODCALLTYPE BrowserGetDocument(IWebBrowser2* This, IDispatch** document) {
  auto* self = reinterpret_cast<FakeBrowser*>(This);
  if (self->document == nullptr) {
    static ICustomDocVtbl vtbl = [] {
      ICustomDocVtbl v{};
      v.QueryInterface = DocumentQueryInterface;
      v.AddRef = DocumentAddRef;
      v.Release = DocumentRelease;
      v.SetUIHandler = DocumentSetUIHandler;
      return v;
    }();
    self->document = new FakeDocument{&vtbl, 1, self->log, nullptr};
  }
  self->document->refs++;
  *document = reinterpret_cast<IDispatch*>(self->document);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE BrowserNavigate2(IWebBrowser2*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                           VARIANT*) {
  return E_NOTIMPL;
}

}  // namespace

void* NewBrowser(void* object, LogLine log) {
  static IWebBrowser2Vtbl vtbl = [] {
    IWebBrowser2Vtbl v{};
    v.QueryInterface = BrowserQueryInterface;
    v.AddRef = BrowserAddRef;
    v.Release = BrowserRelease;
    v.get_Document = BrowserGetDocument;
    v.Navigate2 = BrowserNavigate2;
    return v;
  }();
  auto* unknown = static_cast<IUnknown*>(object);
  IUnknown_AddRef(unknown);
  return new FakeBrowser{&vtbl, 1, unknown, nullptr, log};
}

}  // namespace fake_browser
