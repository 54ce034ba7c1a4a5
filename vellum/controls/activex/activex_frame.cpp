#include "vellum/controls/activex/activex_frame.h"

#include <utility>

#include "vellum/controls/activex/activex.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

// ---- CActiveXEnum ----

CActiveXEnum::CActiveXEnum(IUnknown* object) : object_(object) {
  if (object_ != nullptr) object_->AddRef();
}

CActiveXEnum::~CActiveXEnum() {
  if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IEnumUnknown) return E_NOINTERFACE;
  *out = static_cast<IEnumUnknown*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return ++ref_count_; }

STDMETHODIMP_(ULONG) CActiveXEnum::Release() {
  const ULONG count = --ref_count_;
  if (count == 0) delete this;
  return count;
}

STDMETHODIMP CActiveXEnum::Next(ULONG, IUnknown** objects, ULONG* fetched) {
  if (fetched != nullptr) *fetched = 0;
  if (objects == nullptr) return E_POINTER;
  if (++position_ > 1 || object_ == nullptr) return S_FALSE;
  *objects = object_;
  object_->AddRef();
  if (fetched != nullptr) *fetched = 1;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG count) {
  position_ += count;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown** clone) {
  if (clone != nullptr) *clone = nullptr;
  return E_NOTIMPL;
}

// ---- CActiveXFrameWnd ----

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXUI* owner) : owner_(owner) {
  CPaintManagerUI* manager = owner_ != nullptr ? owner_->GetManager() : nullptr;
  window_ = manager != nullptr ? manager->GetPaintWindow() : nullptr;
}

CActiveXFrameWnd::~CActiveXFrameWnd() {
  if (active_object_ != nullptr) std::exchange(active_object_, nullptr)->Release();
}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
      iid != IID_IOleInPlaceFrame) {
    return E_NOINTERFACE;
  }
  *out = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef() { return ++ref_count_; }

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release() {
  const ULONG count = --ref_count_;
  if (count == 0) delete this;
  return count;
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::ContextSensitiveHelp(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::GetBorder(LPRECT) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object != nullptr) object->AddRef();
  if (active_object_ != nullptr) active_object_->Release();
  active_object_ = object;
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace Vellum
