// A small OLE control for the host's tests: windowless or windowed by class id, recording every
// call it receives and what the site answered to the calls it made.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <exdisp.h>

#include <cstdio>
#include <string>

#include "tests/vellum/controls/activex/fake_browser.h"
#include "tests/vellum/controls/activex/test_control.h"

namespace {

using test_control::Kind;

std::wstring g_log;
std::wstring g_log_copy;
IOleClientSite* g_newest_site = nullptr;
LONG g_live_objects = 0;
HINSTANCE g_instance = nullptr;

void Log(const std::wstring& line) {
  g_log += line;
  g_log += L'\n';
}

void LogLine(const wchar_t* line) { Log(line); }

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) +
         L"," + std::to_wstring(r.bottom);
}

bool RegisterWindowClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = g_instance;
  wc.lpszClassName = test_control::kWindowClass;
  return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

class TestObject final : public IOleObject,
                   public IOleInPlaceObjectWindowless,
                   public IOleInPlaceActiveObject,
                   public IViewObjectEx,
                   public IPersistStreamInit,
                   public IObjectWithSite,
                   public IOleControl,
                   public IRunnableObject {
 public:
  explicit TestObject(Kind kind) : kind_(kind) { ::InterlockedIncrement(&g_live_objects); }

  bool windowless() const { return kind_ != test_control::kWindowed; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
      *out = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleInPlaceObject || (iid == IID_IOleInPlaceObjectWindowless && windowless())) {
      *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
      *out = static_cast<IOleInPlaceActiveObject*>(this);
    } else if ((iid == IID_IViewObject && kind_ != test_control::kWindowlessNoView) ||
               (iid == IID_IViewObject2 &&
                (kind_ == test_control::kWindowless || kind_ == test_control::kWindowed)) ||
               (iid == IID_IViewObjectEx && kind_ == test_control::kWindowless)) {
      *out = static_cast<IViewObjectEx*>(this);
    } else if (iid == IID_IPersistStreamInit) {
      *out = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IObjectWithSite) {
      *out = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IWebBrowser2 && kind_ == test_control::kWindowed) {
      // Stands in for the browser so that a browser control can host this object: a tear-off
      // whose document takes a UI handler; it asks the object for every other interface.
      *out = fake_browser::NewBrowser(static_cast<IOleObject*>(this), &LogLine);
      return S_OK;
    } else if (iid == IID_IOleControl) {
      *out = static_cast<IOleControl*>(this);
    } else if (iid == IID_IRunnableObject) {
      *out = static_cast<IRunnableObject*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG count = --refs_;
    if (count == 0) {
      Log(L"Destroyed");
      delete this;
    }
    return count;
  }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    Log(site ? L"SetClientSite" : L"SetClientSite(null)");
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    g_newest_site = site;
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** site) override {
    *site = site_;
    if (site_) site_->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR) override {
    Log(std::wstring(L"SetHostNames(") + (app ? app : L"") + L")");
    return S_OK;
  }
  STDMETHODIMP Close(DWORD) override {
    Log(L"Close");
    Deactivate();
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override {
    Log(L"DoVerb(" + std::to_wstring(verb) + L"," + (rect ? RectText(*rect) : L"-") + L")");
    if (site == nullptr) return E_INVALIDARG;
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE && verb != OLEIVERB_SHOW) {
      return E_NOTIMPL;
    }
    HRESULT hr = active_ ? S_OK : (windowless() ? ActivateWindowless(site, parent) : ActivateWindowed(site));
    if (SUCCEEDED(hr) && verb == OLEIVERB_UIACTIVATE && in_place_site_ != nullptr) {
      Log(L"OnUIActivate=" + Hex(in_place_site_->OnUIActivate()));
    }
    return hr;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override {
    Log(L"SetExtent(" + std::to_wstring(aspect) + L"," + std::to_wstring(size->cx) + L"," +
        std::to_wstring(size->cy) + L")");
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_ACTIVATEWHENVISIBLE |
              (windowless() ? OLEMISC_SETCLIENTSITEFIRST : 0);
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow (of both the in-place and the active object)
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }

  // IOleInPlaceObject(Windowless)
  STDMETHODIMP InPlaceDeactivate() override {
    Log(L"InPlaceDeactivate");
    Deactivate();
    return S_OK;
  }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override {
    Log(L"SetObjectRects(" + RectText(*position) + L"|" + RectText(*clip) + L")");
    if (window_) {
      ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    }
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnWindowMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) override {
    wchar_t text[64];
    std::swprintf(text, 64, L"OnWindowMessage(%04X,%d,%d)", message, (int)(short)LOWORD(lParam),
                  (int)(short)HIWORD(lParam));
    Log(text);
    *result = 0;
    return S_OK;
  }
  STDMETHODIMP GetDropTarget(IDropTarget** target) override {
    *target = nullptr;
    return E_NOTIMPL;
  }

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG msg) override {
    Log(L"TranslateAccelerator(" + std::to_wstring(msg ? msg->message : 0) + L")");
    return S_OK;
  }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IViewObjectEx
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (bounds == nullptr) return E_INVALIDARG;
    const RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
    Log(L"Draw(" + std::to_wstring(aspect) + L"," + RectText(rect) + L")");
    HBRUSH brush = ::CreateSolidBrush(test_control::kDrawColor);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
    return S_OK;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
  STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) override { return E_NOTIMPL; }
  STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
  STDMETHODIMP GetViewStatus(DWORD* status) override {
    *status = VIEWSTATUS_OPAQUE;
    return S_OK;
  }
  // Hit only in the left half of the bounds.
  STDMETHODIMP QueryHitPoint(DWORD, LPCRECT bounds, POINT point, LONG, DWORD* hit) override {
    Log(L"QueryHitPoint(" + std::to_wstring(point.x) + L"," + std::to_wstring(point.y) + L")");
    const RECT left_half{bounds->left, bounds->top, (bounds->left + bounds->right) / 2, bounds->bottom};
    *hit = ::PtInRect(&left_half, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
  }
  STDMETHODIMP QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override {
    return E_NOTIMPL;
  }

  // IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override {
    *clsid = test_control::ClassId(kind_);
    return S_OK;
  }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override {
    Log(L"InitNew");
    return S_OK;
  }

  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* site) override {
    Log(site ? L"SetSite" : L"SetSite(null)");
    return S_OK;
  }
  STDMETHODIMP GetSite(REFIID, void** out) override {
    *out = nullptr;
    return E_FAIL;
  }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IRunnableObject: the host's running locks are logged.
  STDMETHODIMP GetRunningClass(CLSID* clsid) override {
    *clsid = test_control::ClassId(kind_);
    return S_OK;
  }
  STDMETHODIMP Run(LPBINDCTX) override { return S_OK; }
  BOOL STDMETHODCALLTYPE IsRunning() override { return TRUE; }
  STDMETHODIMP LockRunning(BOOL lock, BOOL last_unlock_closes) override {
    Log(L"LockRunning(" + std::to_wstring(lock ? 1 : 0) + L"," +
        std::to_wstring(last_unlock_closes ? 1 : 0) + L")");
    return S_OK;
  }
  STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

 private:
  ~TestObject() {
    if (window_) ::DestroyWindow(window_);
    if (in_place_site_) in_place_site_->Release();
    if (site_) site_->Release();
    if (g_newest_site == site_) g_newest_site = nullptr;
    ::InterlockedDecrement(&g_live_objects);
  }

  void TakeWindowContext() {
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof(info);
    HRESULT hr = in_place_site_->GetWindowContext(&frame, &document, &position, &clip, &info);
    Log(L"GetWindowContext=" + Hex(hr));
    if (frame) frame->Release();
    if (document) document->Release();
  }

  HRESULT ActivateWindowless(IOleClientSite* site, HWND parent) {
    IOleInPlaceSiteWindowless* wsite = nullptr;
    HRESULT hr = site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&wsite));
    Log(L"QueryInterface(IOleInPlaceSiteWindowless)=" + Hex(hr));
    if (FAILED(hr)) return hr;
    in_place_site_ = wsite;
    Log(L"CanInPlaceActivate=" + Hex(wsite->CanInPlaceActivate()));
    Log(L"CanWindowlessActivate=" + Hex(wsite->CanWindowlessActivate()));
    BOOL no_redraw = FALSE;
    hr = wsite->OnInPlaceActivateEx(&no_redraw, ACTIVATE_WINDOWLESS);
    Log(L"OnInPlaceActivateEx=" + Hex(hr));
    if (FAILED(hr)) return hr;
    HWND window = nullptr;
    hr = wsite->GetWindow(&window);
    Log(L"GetWindow=" + Hex(hr) + (window == parent ? L" (paint window)" : L" (other)"));
    TakeWindowContext();
    active_ = true;
    return S_OK;
  }

  HRESULT ActivateWindowed(IOleClientSite* site) {
    IOleInPlaceSite* isite = nullptr;
    HRESULT hr = site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&isite));
    Log(L"QueryInterface(IOleInPlaceSite)=" + Hex(hr));
    if (FAILED(hr)) return hr;
    in_place_site_ = isite;
    Log(L"CanInPlaceActivate=" + Hex(isite->CanInPlaceActivate()));
    HWND first = nullptr;
    Log(L"GetWindow=" + Hex(isite->GetWindow(&first)));
    hr = isite->OnInPlaceActivate();
    Log(L"OnInPlaceActivate=" + Hex(hr));
    if (FAILED(hr)) return hr;
    HWND host = nullptr;
    hr = isite->GetWindow(&host);
    Log(L"GetWindow=" + Hex(hr) + (host == first ? L" (same)" : L" (different)"));
    TakeWindowContext();
    RECT client{};
    ::GetClientRect(host, &client);
    if (RegisterWindowClass()) {
      window_ = ::CreateWindowExW(0, test_control::kWindowClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                  client.right, client.bottom, host, nullptr, g_instance, nullptr);
    }
    Log(window_ ? L"CreateWindow" : L"CreateWindow failed");
    Log(L"ShowObject=" + Hex(site->ShowObject()));
    active_ = true;
    return S_OK;
  }

  void Deactivate() {
    if (!active_) return;
    active_ = false;
    if (window_) {
      ::DestroyWindow(window_);
      window_ = nullptr;
    }
    if (in_place_site_) {
      Log(L"OnInPlaceDeactivate=" + Hex(in_place_site_->OnInPlaceDeactivate()));
      in_place_site_->Release();
      in_place_site_ = nullptr;
    }
  }

  ULONG refs_ = 1;
  Kind kind_;
  IOleClientSite* site_ = nullptr;
  IOleInPlaceSite* in_place_site_ = nullptr;
  HWND window_ = nullptr;
  bool active_ = false;
};

class Factory : public IClassFactory {
 public:
  explicit Factory(Kind kind) : kind_(kind) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Log(L"CreateInstance");
    TestObject* object = new TestObject(kind_);
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  Kind kind_;
};

Factory g_factories[] = {Factory(test_control::kWindowless), Factory(test_control::kWindowed),
                         Factory(test_control::kWindowlessPlainView),
                         Factory(test_control::kWindowlessNoView)};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                          LPVOID* out) {
  *out = nullptr;
  for (Factory& factory : g_factories) {
    for (BYTE kind = 1; kind <= 4; ++kind) {
      if (&factory == &g_factories[kind - 1] &&
          ::IsEqualCLSID(clsid, test_control::ClassId(static_cast<Kind>(kind)))) {
        return factory.QueryInterface(iid, out);
      }
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) const wchar_t* TestControlLog() {
  g_log_copy = g_log;
  return g_log_copy.c_str();
}
extern "C" __declspec(dllexport) void TestControlClearLog() { g_log.clear(); }
extern "C" __declspec(dllexport) IOleClientSite* TestControlClientSite() { return g_newest_site; }
extern "C" __declspec(dllexport) LONG TestControlLiveObjects() { return g_live_objects; }
