#pragma once

// Calls the hosted controls make on their OLE object alike, whatever interface they keep of it.

#include <windows.h>
#include <oaidl.h>

namespace Vellum {

// Advises the sink on the object's connection point for events (connect), or unadvises it. cookie
// is 0 while not connected; nothing happens without an object or when already in the asked state.
void ConnectEventSink(IUnknown* object, REFIID events, IDispatch* sink, bool connect,
                      DWORD& cookie);

// A key message to the object's in-place active object, while the focus is in the host window.
// S_FALSE for any other message, while the focus is elsewhere, or when the object has no in-place
// active object; E_NOTIMPL without an object.
LRESULT TranslateKeyToObject(IUnknown* object, HWND host_window, MSG* msg);

}  // namespace Vellum
