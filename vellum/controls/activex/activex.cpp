#include "vellum/controls/activex/activex.h"

#include <windowsx.h>
#include <ocidl.h>
#include <olectl.h>

#include <cwchar>

#include "common/base/com_ptr.h"
#include "vellum/controls/activex/activex_site.h"
#include "vellum/controls/activex/activex_window.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {
namespace {

using DllGetClassObjectProc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);

// Pixels to HIMETRIC (hundredths of a millimetre) at the screen's resolution.
SIZEL PixelsToHimetric(int width, int height) {
  HDC screen = ::GetDC(nullptr);
  const int dpi_x = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  const int dpi_y = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return SIZEL{::MulDiv(width, 2540, dpi_x), ::MulDiv(height, 2540, dpi_y)};
}

// The object from the module's own class factory; null when the module, its factory or the
// object cannot be had.
com_ptr<IUnknown> CreateFromModule(const wchar_t* module_name, REFCLSID clsid) {
  com_ptr<IUnknown> object;
  HMODULE module = ::LoadLibraryW(module_name);
  if (module == nullptr) return object;
  auto get_class_object = reinterpret_cast<DllGetClassObjectProc>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  if (get_class_object == nullptr) return object;
  com_ptr<IClassFactory> factory;
  if (FAILED(get_class_object(clsid, IID_IClassFactory, factory.put_void())) || !factory) {
    return object;
  }
  if (FAILED(factory->CreateInstance(nullptr, IID_IOleObject, object.put_void()))) object.reset();
  return object;
}

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKeyMessage(UINT message) { return message >= WM_KEYDOWN && message <= 0x109; }

}  // namespace

CActiveXUI::CActiveXUI() = default;

CActiveXUI::~CActiveXUI() { CActiveXUI::ReleaseControl(); }

CControlUI* CActiveXUI::CreateControl() { return new CActiveXUI(); }

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveXUI"; }

LPVOID CActiveXUI::GetInterface(const wchar_t* name) {
  if (name && std::wcscmp(name, L"ActiveX") == 0) return static_cast<CActiveXUI*>(this);
  return CControlUI::GetInterface(name);
}

bool CActiveXUI::IsDelayCreate() const { return delay_create_; }

void CActiveXUI::SetDelayCreate(bool delay_create) {
  if (delay_create_ == delay_create) return;
  if (!delay_create && !created_ && !::IsEqualCLSID(clsid_, CLSID_NULL)) DoCreateControl();
  delay_create_ = delay_create;
}

bool CActiveXUI::IsMFC() const { return mfc_; }
void CActiveXUI::SetMFC(bool mfc) { mfc_ = mfc; }

bool CActiveXUI::SetCLSID(REFCLSID clsid) {
  if (::IsEqualCLSID(clsid, CLSID_NULL)) return false;
  created_ = false;
  clsid_ = clsid;
  if (!delay_create_) DoCreateControl();
  return true;
}

HRESULT CActiveXUI::GetControl(REFIID iid, LPVOID* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (object_ == nullptr) return E_PENDING;
  return object_->QueryInterface(iid, out);
}

void CActiveXUI::SetModuleName(const wchar_t* module_name) {
  module_name_ = module_name ? module_name : L"";
}

RECT CActiveXUI::ObjectRect() const {
  RECT rect = item_rect_;
  if (site_ != nullptr && !site_->IsWindowless()) ::OffsetRect(&rect, -rect.left, -rect.top);
  return rect;
}

void CActiveXUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  if (!created_) DoCreateControl();
  if (object_ == nullptr || site_ == nullptr) return;

  SIZEL extent = PixelsToHimetric(item_rect_.right - item_rect_.left,
                                  item_rect_.bottom - item_rect_.top);
  object_->SetExtent(DVASPECT_CONTENT, &extent);
  if (IOleInPlaceObject* in_place = site_->GetInPlaceObject()) {
    const RECT object_rect = ObjectRect();
    in_place->SetObjectRects(&object_rect, &object_rect);
  }
  if (!site_->IsWindowless() && site_->GetActiveXWindow() != nullptr && host_window_ != nullptr) {
    ::MoveWindow(host_window_, item_rect_.left, item_rect_.top, item_rect_.right - item_rect_.left,
                 item_rect_.bottom - item_rect_.top, TRUE);
  }
}

void CActiveXUI::Move(SIZE offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  if (site_ != nullptr && !site_->IsWindowless() && site_->GetActiveXWindow() != nullptr &&
      host_window_ != nullptr) {
    RECT rect = item_rect_;
    ::OffsetRect(&rect, offset.cx, offset.cy);
    ::MoveWindow(host_window_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 TRUE);
  }
}

void CActiveXUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (site_ != nullptr && !site_->IsWindowless() && host_window_ != nullptr) {
    ::ShowWindow(host_window_, IsVisible() ? SW_SHOW : SW_HIDE);
  }
}

void CActiveXUI::SetInheritedVisible(bool visible) {
  CControlUI::SetInheritedVisible(visible);
  if (site_ != nullptr && !site_->IsWindowless() && host_window_ != nullptr) {
    ::ShowWindow(host_window_, IsVisible() ? SW_SHOW : SW_HIDE);
  }
}

void CActiveXUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (std::wcscmp(name, L"clsid") == 0) {
    // Longer values are cut: no class id or ProgID needs more.
    wchar_t text[100] = {};
    std::wcsncpy(text, value, 99);
    CLSID clsid = CLSID_NULL;
    HRESULT hr = text[0] == L'{' ? ::CLSIDFromString(text, &clsid) : ::CLSIDFromProgID(text, &clsid);
    if (FAILED(hr)) clsid = CLSID_NULL;
    SetCLSID(clsid);
  } else if (std::wcscmp(name, L"modulename") == 0) {
    SetModuleName(value);
  } else if (std::wcscmp(name, L"delaycreate") == 0) {
    SetDelayCreate(std::wcscmp(value, L"true") == 0);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

bool CActiveXUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  if (!CControlUI::DoPaint(dc, paint, stop)) return false;
  if (site_ != nullptr && site_->IsWindowless()) site_->DrawView(dc, item_rect_);
  return true;
}

LRESULT CActiveXUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (site_ == nullptr || !site_->IsInPlaceActive() || !site_->IsWindowless() ||
      site_->GetInPlaceObject() == nullptr) {
    return 0;
  }
  const bool mouse = IsMouseMessage(message) || message == WM_SETCURSOR;
  if (mouse && !IsMouseEnabled()) return 0;
  // The help and menu requests, and the cursor, stay the window's to finish.
  bool counts_as_handled = true;
  if (mouse) {
    if (message == WM_SETCURSOR) counts_as_handled = false;
    if (!site_->IsCaptured()) {
      // The lParam of WM_SETCURSOR holds no point and that of the wheel a screen point: both
      // are tested where the cursor is.
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) {
        ::GetCursorPos(&point);
        ::ScreenToClient(host_window_, &point);
      }
      // Only the extended view can say where the object is hit: without it nothing is sent.
      com_ptr<IViewObjectEx> view;
      if (site_->GetViewObject() == nullptr ||
          FAILED(site_->GetViewObject()->QueryInterface(IID_IViewObjectEx, view.put_void())) ||
          !view) {
        return 0;
      }
      DWORD hit = HITRESULT_OUTSIDE;
      if (FAILED(view->QueryHitPoint(DVASPECT_CONTENT, &item_rect_, point, 0, &hit)) ||
          hit != HITRESULT_HIT) {
        return 0;
      }
    }
  } else if (IsKeyMessage(message)) {
    if (!site_->IsFocused()) return 0;
  } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
    counts_as_handled = false;
  } else {
    return 0;
  }
  auto* windowless = static_cast<IOleInPlaceObjectWindowless*>(site_->GetInPlaceObject());
  LRESULT result = 0;
  if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK) {
    handled = counts_as_handled;
  }
  return result;
}

void CActiveXUI::ReleaseControl() {
  // From every manager, not only the current one: the skin builder detaches a control it created
  // the object for, and the object's release may pump messages.
  CPaintManagerUI::RemoveInterfacesOf(this);
  if (object_ != nullptr) {
    com_ptr<IObjectWithSite> with_site;
    if (SUCCEEDED(object_->QueryInterface(IID_IObjectWithSite, with_site.put_void())) && with_site) {
      with_site->SetSite(nullptr);
    }
    if (!mfc_) object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    std::exchange(object_, nullptr)->Release();
  }
  if (site_ != nullptr) {
    site_->Detach();
    std::exchange(site_, nullptr)->Release();
  }
  host_window_ = nullptr;
}

bool CActiveXUI::DoCreateControl() {
  ReleaseControl();
  // A derived release may keep the object until the control goes (the browser's does): a new
  // object must not leave the old one embedded.
  if (object_ != nullptr || site_ != nullptr) CActiveXUI::ReleaseControl();
  created_ = true;

  com_ptr<IUnknown> created;
  if (!module_name_.IsEmpty()) created = CreateFromModule(module_name_.GetData(), clsid_);
  if (!created &&
      FAILED(::CoCreateInstance(clsid_, nullptr, CLSCTX_ALL, IID_IOleControl, created.put_void()))) {
    return false;
  }
  if (!created ||
      FAILED(created->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_))) ||
      object_ == nullptr) {
    object_ = nullptr;
    return false;
  }

  site_ = new CActiveXCtrl(this);
  IOleClientSite* client_site = static_cast<IOleClientSite*>(site_);
  DWORD misc_status = 0;
  object_->GetMiscStatus(DVASPECT_CONTENT, &misc_status);
  const bool site_first = (misc_status & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (site_first) object_->SetClientSite(client_site);

  HRESULT hr = S_OK;
  com_ptr<IPersistStreamInit> persist;
  if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, persist.put_void())) && persist) {
    hr = persist->InitNew();
  }
  if (FAILED(hr)) return false;

  if (!site_first) object_->SetClientSite(client_site);
  site_->TakeViewObject(object_);
  object_->SetHostNames(L"UIActiveX", nullptr);
  if (manager_ != nullptr) manager_->SendNotify(this, L"showactivex", 0, 0, false);
  // The notification's handler may have let go of the object.
  if (object_ == nullptr || site_ == nullptr) return false;

  if ((misc_status & OLEMISC_INVISIBLEATRUNTIME) == 0) {
    // There are no structured exceptions here to catch a fault inside the object's activation;
    // the object's own answer is what counts, and the site refuses every request it cannot serve
    // (no window, no manager, detached) instead of running into it.
    HWND paint_window = manager_ != nullptr ? manager_->GetPaintWindow() : nullptr;
    hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, client_site, 0, paint_window,
                         &item_rect_);
  }
  if (object_ == nullptr) return false;
  com_ptr<IObjectWithSite> with_site;
  if (SUCCEEDED(object_->QueryInterface(IID_IObjectWithSite, with_site.put_void())) && with_site) {
    hr = with_site->SetSite(client_site);
  }
  return SUCCEEDED(hr);
}

}  // namespace Vellum
