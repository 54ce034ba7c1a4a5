#include "vellum/controls/activex/flash.h"

#include <utility>

#include "vellum/controls/activex/activex_ids.h"
#include "vellum/controls/activex/object_calls.h"
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
  if (name && _wcsicmp(name, L"Flash") == 0) return static_cast<CFlashUI*>(this);
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
  CPaintManagerUI::RemoveInterfacesOf(this);
  ConnectEvents(false);
  if (flash_ != nullptr) std::exchange(flash_, nullptr)->Release();
}

void CFlashUI::ConnectEvents(bool connect) {
  ConnectEventSink(flash_, kDIIDShockwaveFlashEvents, static_cast<IDispatch*>(this), connect,
                   event_cookie_);
}

LRESULT CFlashUI::TranslateAccelerator(MSG* msg) {
  return TranslateKeyToObject(flash_, host_window_, msg);
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
