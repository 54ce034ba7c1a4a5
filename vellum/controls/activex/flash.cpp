#include "vellum/controls/activex/flash.h"

#include <ocidl.h>

#include <utility>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex_ids.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CFlashUI::CFlashUI() { clsid_ = kFlashClsid; }

CFlashUI::~CFlashUI() {
  CFlashUI::ReleaseControl();
  CActiveXUI::ReleaseControl();
}

CControlUI* CFlashUI::CreateControl() { return new CFlashUI(); }

const wchar_t* CFlashUI::GetClass() const { return L"FlashUI"; }

LPVOID CFlashUI::GetInterface(const wchar_t* name) {
  if (_wcsicmp(name, L"Flash") == 0) return static_cast<CFlashUI*>(this);
  return CActiveXUI::GetInterface(name);
}

bool CFlashUI::DoCreateControl() {
  ReleaseControl();
  const bool created = CActiveXUI::DoCreateControl();
  if (object_ == nullptr) return created;
  if (manager_ != nullptr) manager_->AddTranslateAccelerator(this);
  GetControl(kIIDShockwaveFlash, reinterpret_cast<void**>(&flash_));
  ConnectEvents(true);
  return created;
}

void CFlashUI::ReleaseControl() {
  if (manager_ != nullptr) manager_->RemoveTranslateAccelerator(this);
  ConnectEvents(false);
  if (flash_ != nullptr) std::exchange(flash_, nullptr)->Release();
}

void CFlashUI::ConnectEvents(bool connect) {
  if (flash_ == nullptr || connect == (event_cookie_ != 0)) return;
  com_ptr<IConnectionPointContainer> container;
  com_ptr<IConnectionPoint> point;
  if (FAILED(flash_->QueryInterface(IID_IConnectionPointContainer, container.put_void())) ||
      !container || FAILED(container->FindConnectionPoint(kDIIDShockwaveFlashEvents, point.put())) ||
      !point) {
    return;
  }
  if (connect) {
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &cookie))) event_cookie_ = cookie;
  } else {
    point->Unadvise(event_cookie_);
    event_cookie_ = 0;
  }
}

LRESULT CFlashUI::TranslateAccelerator(MSG* msg) {
  if (msg == nullptr || msg->message < WM_KEYDOWN || msg->message > 0x109) return S_FALSE;
  if (flash_ == nullptr) return E_NOTIMPL;
  HWND focus = ::GetFocus();
  if (host_window_ == nullptr || focus == nullptr ||
      (focus != host_window_ && !::IsChild(host_window_, focus))) {
    return S_FALSE;
  }
  com_ptr<IOleInPlaceActiveObject> active;
  if (FAILED(flash_->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void())) || !active) {
    return S_FALSE;
  }
  return active->TranslateAccelerator(msg);
}

STDMETHODIMP CFlashUI::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kDIIDShockwaveFlashEvents) {
    return E_NOINTERFACE;
  }
  *out = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CFlashUI::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&ref_count_)); }
STDMETHODIMP_(ULONG) CFlashUI::Release() { return static_cast<ULONG>(::InterlockedDecrement(&ref_count_)); }

STDMETHODIMP CFlashUI::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
STDMETHODIMP CFlashUI::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP CFlashUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
STDMETHODIMP CFlashUI::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return S_OK;
}

}  // namespace Vellum
