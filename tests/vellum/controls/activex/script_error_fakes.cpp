// Built with the C form of the interfaces: the fakes fill in only the few slots of the document,
// window and event interfaces that are used, and leave the rest empty.
#define CINTERFACE
#define COBJMACROS

#include "tests/vellum/controls/activex/script_error_fakes.h"

#include <mshtml.h>

namespace script_error_fakes {
namespace {

struct FakeEvent {
  IHTMLEventObjVtbl* vtbl;
  LONG refs;
  Record* record;
  std::vector<std::wstring> names;
};
struct FakeWindow {
  IHTMLWindow2Vtbl* vtbl;
  LONG refs;
  Record* record;
  bool with_event;
};
struct FakeDocument {
  IHTMLDocument2Vtbl* vtbl;
  LONG refs;
  Record* record;
  bool with_event;
};


// ---- event ----
HRESULT STDMETHODCALLTYPE EventQueryInterface(IHTMLEventObj* This, REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLEventObj) {
    *out = This;
    reinterpret_cast<FakeEvent*>(This)->refs++;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE EventAddRef(IHTMLEventObj* This) {
  return ++reinterpret_cast<FakeEvent*>(This)->refs;
}
ULONG STDMETHODCALLTYPE EventRelease(IHTMLEventObj* This) {
  auto* self = reinterpret_cast<FakeEvent*>(This);
  const LONG refs = --self->refs;
  if (refs == 0) delete self;
  return refs;
}
HRESULT STDMETHODCALLTYPE EventGetIDsOfNames(IHTMLEventObj* This, REFIID, LPOLESTR* names, UINT count,
                                             LCID locale, DISPID* ids) {
  auto* self = reinterpret_cast<FakeEvent*>(This);
  if (count != 1 || locale != 2048) return E_INVALIDARG;
  self->names.push_back(names[0]);
  ids[0] = static_cast<DISPID>(self->names.size());
  return S_OK;
}
HRESULT STDMETHODCALLTYPE EventInvoke(IHTMLEventObj* This, DISPID id, REFIID, LCID, WORD flags,
                                      DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  auto* self = reinterpret_cast<FakeEvent*>(This);
  if (flags != DISPATCH_PROPERTYGET || id < 1 || id > static_cast<DISPID>(self->names.size())) {
    return DISP_E_MEMBERNOTFOUND;
  }
  self->record->reads.push_back(self->names[id - 1]);
  result->vt = VT_BSTR;
  result->bstrVal = ::SysAllocString(L"value");
  return S_OK;
}

// ---- window ----
HRESULT STDMETHODCALLTYPE WindowQueryInterface(IHTMLWindow2* This, REFIID, void** out) {
  *out = nullptr;
  (void)This;
  return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE WindowAddRef(IHTMLWindow2* This) {
  return ++reinterpret_cast<FakeWindow*>(This)->refs;
}
ULONG STDMETHODCALLTYPE WindowRelease(IHTMLWindow2* This) {
  auto* self = reinterpret_cast<FakeWindow*>(This);
  const LONG refs = --self->refs;
  if (refs == 0) delete self;
  return refs;
}
HRESULT STDMETHODCALLTYPE WindowGetEvent(IHTMLWindow2* This, IHTMLEventObj** event) {
  auto* self = reinterpret_cast<FakeWindow*>(This);
  *event = nullptr;
  if (!self->with_event) return S_OK;
  static IHTMLEventObjVtbl vtbl = [] {
    IHTMLEventObjVtbl v{};
    v.QueryInterface = EventQueryInterface;
    v.AddRef = EventAddRef;
    v.Release = EventRelease;
    v.GetIDsOfNames = EventGetIDsOfNames;
    v.Invoke = EventInvoke;
    return v;
  }();
  *event = reinterpret_cast<IHTMLEventObj*>(new FakeEvent{&vtbl, 1, self->record, {}});
  return S_OK;
}

// ---- document ----
HRESULT STDMETHODCALLTYPE DocumentQueryInterface(IHTMLDocument2* This, REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IHTMLDocument2) {
    *out = This;
    reinterpret_cast<FakeDocument*>(This)->refs++;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE DocumentAddRef(IHTMLDocument2* This) {
  return ++reinterpret_cast<FakeDocument*>(This)->refs;
}
ULONG STDMETHODCALLTYPE DocumentRelease(IHTMLDocument2* This) {
  auto* self = reinterpret_cast<FakeDocument*>(This);
  const LONG refs = --self->refs;
  if (refs == 0) delete self;
  return refs;
}
HRESULT STDMETHODCALLTYPE DocumentGetParentWindow(IHTMLDocument2* This, IHTMLWindow2** window) {
  auto* self = reinterpret_cast<FakeDocument*>(This);
  static IHTMLWindow2Vtbl vtbl = [] {
    IHTMLWindow2Vtbl v{};
    v.QueryInterface = WindowQueryInterface;
    v.AddRef = WindowAddRef;
    v.Release = WindowRelease;
    v.get_event = WindowGetEvent;
    return v;
  }();
  *window = reinterpret_cast<IHTMLWindow2*>(new FakeWindow{&vtbl, 1, self->record, self->with_event});
  return S_OK;
}

}  // namespace

void* NewDocument(Record* record, bool with_event) {
  static IHTMLDocument2Vtbl vtbl = [] {
    IHTMLDocument2Vtbl v{};
    v.QueryInterface = DocumentQueryInterface;
    v.AddRef = DocumentAddRef;
    v.Release = DocumentRelease;
    v.get_parentWindow = DocumentGetParentWindow;
    return v;
  }();
  return new FakeDocument{&vtbl, 1, record, with_event};
}

}  // namespace script_error_fakes
