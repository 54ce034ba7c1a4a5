#include "vellum/controls/activex/object_calls.h"

#include <ocidl.h>
#include <oleidl.h>

#include "common/base/com_ptr.h"

namespace Vellum {

void ConnectEventSink(IUnknown* object, REFIID events, IDispatch* sink, bool connect,
                      DWORD& cookie) {
  if (object == nullptr || connect == (cookie != 0)) return;
  com_ptr<IConnectionPointContainer> container;
  com_ptr<IConnectionPoint> point;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.put_void())) ||
      !container || FAILED(container->FindConnectionPoint(events, point.put())) || !point) {
    return;
  }
  if (connect) {
    DWORD advised = 0;
    if (SUCCEEDED(point->Advise(sink, &advised))) cookie = advised;
  } else {
    point->Unadvise(cookie);
    cookie = 0;
  }
}

LRESULT TranslateKeyToObject(IUnknown* object, HWND host_window, MSG* msg) {
  if (msg == nullptr || msg->message < WM_KEYDOWN || msg->message > 0x109) return S_FALSE;
  if (object == nullptr) return E_NOTIMPL;
  HWND focus = ::GetFocus();
  if (host_window == nullptr || focus == nullptr ||
      (focus != host_window && !::IsChild(host_window, focus))) {
    return S_FALSE;
  }
  com_ptr<IOleInPlaceActiveObject> active;
  if (FAILED(object->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void())) || !active) {
    return S_FALSE;
  }
  return active->TranslateAccelerator(msg);
}

}  // namespace Vellum
