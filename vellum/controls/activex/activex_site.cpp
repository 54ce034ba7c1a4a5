#include "vellum/controls/activex/activex_site.h"

#include <utility>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex.h"
#include "vellum/controls/activex/activex_frame.h"
#include "vellum/controls/activex/activex_window.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner) : owner_(owner) {}

CActiveXCtrl::~CActiveXCtrl() {
  UnlockRunning();
  DestroyActiveXWnd();
  if (view_object_ != nullptr) std::exchange(view_object_, nullptr)->Release();
  if (in_place_object_ != nullptr) std::exchange(in_place_object_, nullptr)->Release();
  if (outer_site_ != nullptr) std::exchange(outer_site_, nullptr)->Release();
  if (accelerators_ != nullptr) ::DestroyAcceleratorTable(accelerators_);
}

void CActiveXCtrl::Detach() {
  UnlockRunning();
  if (view_object_ != nullptr) std::exchange(view_object_, nullptr)->Release();
  if (in_place_object_ != nullptr) std::exchange(in_place_object_, nullptr)->Release();
  DestroyActiveXWnd();
  in_place_active_ = false;
  owner_ = nullptr;
}

void CActiveXCtrl::UnlockRunning() {
  if (running_lock_ == nullptr) return;
  IOleObject* object = std::exchange(running_lock_, nullptr);
  // Unlocking closes nothing: closing is the control's decision when it releases the object.
  ::OleLockRunning(object, FALSE, FALSE);
  object->Release();
}

void CActiveXCtrl::TakeViewObject(IOleObject* object) {
  if (view_object_ != nullptr) std::exchange(view_object_, nullptr)->Release();
  if (object == nullptr) return;
  // Each of these derives from the one before, so whichever is found serves as an IViewObject.
  const IID* const kViews[] = {&IID_IViewObjectEx, &IID_IViewObject2, &IID_IViewObject};
  for (const IID* iid : kViews) {
    if (SUCCEEDED(object->QueryInterface(*iid, reinterpret_cast<void**>(&view_object_))) &&
        view_object_ != nullptr) {
      return;
    }
    view_object_ = nullptr;
  }
}

bool CActiveXCtrl::DrawView(HDC dc, const RECT& rect) {
  if (view_object_ == nullptr || dc == nullptr) return false;
  const RECTL bounds{rect.left, rect.top, rect.right, rect.bottom};
  return SUCCEEDED(view_object_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                      &bounds, nullptr, 0));
}

HWND CActiveXCtrl::CreateActiveXWnd() {
  if (owner_ == nullptr) return nullptr;
  if (window_ != nullptr && ::IsWindow(window_->GetHWND())) {
    owner_->host_window_ = window_->GetHWND();
    return owner_->host_window_;
  }
  DestroyActiveXWnd();
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr || manager->GetPaintWindow() == nullptr) return nullptr;
  window_ = new CActiveXWnd(this);
  HWND hwnd = window_->Init(manager->GetPaintWindow());
  if (hwnd == nullptr) {
    delete std::exchange(window_, nullptr);
    return nullptr;
  }
  owner_->host_window_ = hwnd;
  return hwnd;
}

void CActiveXCtrl::DestroyActiveXWnd() {
  if (window_ == nullptr) return;
  HWND hwnd = window_->GetHWND();
  if (hwnd != nullptr && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  delete std::exchange(window_, nullptr);
  if (owner_ != nullptr && owner_->host_window_ == hwnd) owner_->host_window_ = nullptr;
}

// ---- IUnknown ----

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleInPlaceSiteWindowless || iid == IID_IOleInPlaceSiteEx ||
      iid == IID_IOleInPlaceSite || iid == IID_IOleWindow) {
    *out = static_cast<IOleInPlaceSiteWindowless*>(this);
  } else if (iid == IID_IOleClientSite) {
    *out = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleControlSite) {
    *out = static_cast<IOleControlSite*>(this);
  } else if (iid == IID_IObjectWithSite) {
    *out = static_cast<IObjectWithSite*>(this);
  } else if (iid == IID_IOleContainer) {
    *out = static_cast<IOleContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return ++ref_count_; }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release() {
  const ULONG count = --ref_count_;
  if (count == 0) delete this;
  return count;
}

// ---- IObjectWithSite ----

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* site) {
  if (outer_site_ != nullptr) std::exchange(outer_site_, nullptr)->Release();
  outer_site_ = site;
  if (outer_site_ != nullptr) outer_site_->AddRef();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer_site_ == nullptr) return E_FAIL;
  return outer_site_->QueryInterface(iid, out);
}

// ---- IOleClientSite ----

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = nullptr;
  if (outer_site_ != nullptr &&
      SUCCEEDED(outer_site_->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container))) &&
      *container != nullptr) {
    return S_OK;
  }
  *container = static_cast<IOleContainer*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowObject() {
  if (owner_ == nullptr) return E_UNEXPECTED;
  // GetDC of no window would hand out the screen.
  if (owner_->host_window_ == nullptr) return E_FAIL;
  HDC dc = ::GetDC(owner_->host_window_);
  if (dc == nullptr) return E_FAIL;
  DrawView(dc, owner_->ObjectRect());
  ::ReleaseDC(owner_->host_window_, dc);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleInPlaceSiteWindowless ----

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetCapture() {
  if (owner_ == nullptr) return E_UNEXPECTED;
  return captured_ ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL capture) {
  if (owner_ == nullptr) return E_UNEXPECTED;
  captured_ = capture == TRUE;
  if (captured_) {
    ::SetCapture(owner_->host_window_);
  } else {
    ::ReleaseCapture();
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() {
  if (owner_ == nullptr) return E_UNEXPECTED;
  return focused_ ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL focus) {
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (focus) owner_->SetFocus();
  focused_ = focus == TRUE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD flags, HDC* dc) {
  if (dc == nullptr) return E_POINTER;
  *dc = nullptr;
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (windowless_) return S_FALSE;
  if (owner_->host_window_ == nullptr) return E_FAIL;
  *dc = ::GetDC(owner_->host_window_);
  if (*dc == nullptr) return E_FAIL;
  if ((flags & OLEDC_PAINTBKGND) != 0) {
    RECT rect = owner_->GetPos();
    ::OffsetRect(&rect, -rect.left, -rect.top);
    ::FillRect(*dc, &rect, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC dc) {
  if (owner_ == nullptr) return E_UNEXPECTED;
  ::ReleaseDC(owner_->host_window_, dc);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL erase) {
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (owner_->host_window_ == nullptr) return E_FAIL;
  return ::InvalidateRect(owner_->host_window_, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN region, BOOL erase) {
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (owner_->host_window_ == nullptr) return E_FAIL;
  return ::InvalidateRgn(owner_->host_window_, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT* result) {
  if (result == nullptr) return E_POINTER;
  if (owner_ == nullptr) return E_UNEXPECTED;
  *result = ::DefWindowProcW(owner_->host_window_, message, wParam, lParam);
  return S_OK;
}

// ---- IOleInPlaceSiteEx ----

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL*, DWORD flags) {
  if (owner_ == nullptr || owner_->object_ == nullptr) return E_UNEXPECTED;
  CPaintManagerUI* manager = owner_->GetManager();
  if (manager == nullptr || manager->GetPaintWindow() == nullptr) return E_UNEXPECTED;
  IOleObject* object = owner_->object_;
  // One lock for as long as the object is in place: an activation that follows another without a
  // deactivation between them adds none.
  if (running_lock_ != object) {
    UnlockRunning();
    ::OleLockRunning(object, TRUE, FALSE);
    running_lock_ = object;
    running_lock_->AddRef();
  }
  if (in_place_object_ != nullptr) std::exchange(in_place_object_, nullptr)->Release();

  HRESULT hr = E_FAIL;
  if ((flags & ACTIVATE_WINDOWLESS) != 0) {
    windowless_ = true;
    hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                reinterpret_cast<void**>(&in_place_object_));
    if (SUCCEEDED(hr) && in_place_object_ != nullptr) {
      owner_->host_window_ = manager->GetPaintWindow();
      manager->RemoveMessageFilter(owner_);
      manager->AddMessageFilter(owner_);
    } else {
      in_place_object_ = nullptr;
      hr = E_NOINTERFACE;
    }
  }
  if ((flags & ACTIVATE_WINDOWLESS) == 0 || FAILED(hr)) {
    windowless_ = false;
    if (CreateActiveXWnd() == nullptr) return E_FAIL;
    hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place_object_));
    if (FAILED(hr)) in_place_object_ = nullptr;
  }
  if (in_place_object_ != nullptr && !owner_->IsMFC()) {
    const RECT rect = owner_->ObjectRect();
    in_place_object_->SetObjectRects(&rect, &rect);
  }
  in_place_active_ = SUCCEEDED(hr);
  return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL) {
  in_place_active_ = false;
  UnlockRunning();
  if (in_place_object_ != nullptr) std::exchange(in_place_object_, nullptr)->Release();
  DestroyActiveXWnd();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceSite ----

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
  ui_active_ = true;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame,
                                            IOleInPlaceUIWindow** document, LPRECT position,
                                            LPRECT clip, LPOLEINPLACEFRAMEINFO frame_info) {
  if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
      frame_info == nullptr) {
    return E_POINTER;
  }
  *frame = nullptr;
  *document = nullptr;
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (owner_->host_window_ != nullptr) {
    ::GetClientRect(owner_->host_window_, position);
    ::GetClientRect(owner_->host_window_, clip);
  }
  *frame = new CActiveXFrameWnd(owner_);
  if (accelerators_ == nullptr) {
    ACCEL accel{};
    accelerators_ = ::CreateAcceleratorTableW(&accel, 1);
  }
  CPaintManagerUI* manager = owner_->GetManager();
  frame_info->cb = sizeof(OLEINPLACEFRAMEINFO);
  frame_info->fMDIApp = FALSE;
  frame_info->hwndFrame = manager != nullptr ? manager->GetPaintWindow() : nullptr;
  frame_info->haccel = accelerators_;
  frame_info->cAccelEntries = 1;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL) {
  ui_active_ = false;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// ---- IOleWindow ----

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  if (owner_ == nullptr) return E_UNEXPECTED;
  if (owner_->host_window_ == nullptr) CreateActiveXWnd();
  if (owner_->host_window_ == nullptr) return E_FAIL;
  *window = owner_->host_window_;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleControlSite ----

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** dispatch) {
  if (dispatch == nullptr) return E_POINTER;
  *dispatch = nullptr;
  if (owner_ == nullptr || owner_->object_ == nullptr) return E_UNEXPECTED;
  return owner_->object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL focus) {
  focused_ = focus == TRUE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IOleContainer ----

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** objects) {
  if (objects == nullptr) return E_POINTER;
  *objects = nullptr;
  if (owner_ == nullptr) return E_UNEXPECTED;
  *objects = new CActiveXEnum(owner_->object_);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL lock) {
  locked_ = lock != FALSE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

}  // namespace Vellum
