#pragma once

// The test DLL's class ids and exports, shared by the DLL and the tests that load it.
// The DLL serves a small OLE control through DllGetClassObject, one class per kind below; every
// call the host makes on it is written to a log the tests read back.

#include <windows.h>
#include <ole2.h>

namespace test_control {

// The kind is the last byte of the class id.
enum Kind : BYTE {
  kWindowless = 1,           // activates windowless; IViewObjectEx; site set before InitNew
  kWindowed = 2,             // activates in a window of its own; only IViewObject2; stands in
                             // for the browser in the browser control (see QueryInterface)
  kWindowlessPlainView = 3,  // windowless, but only a plain IViewObject (no hit testing)
  kWindowlessNoView = 4,     // windowless without any view object
};

inline CLSID ClassId(Kind kind) {
  return CLSID{0x5EED0C70, 0x7E57, 0x4C71, {0x9A, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, kind}};
}

constexpr const wchar_t* kModuleName = L"activex_test_control.dll";
// The colour the control fills its bounds with when it is drawn.
constexpr COLORREF kDrawColor = RGB(0x33, 0x66, 0x99);
// The class of the window a windowed control makes for itself.
constexpr const wchar_t* kWindowClass = L"TestControlWindow";

// Exports: the call log (one call a line), emptied by ClearLog; the client site of the newest
// object (no reference added; null after it was cleared); the number of live objects.
using LogProc = const wchar_t* (*)();
using ClearLogProc = void (*)();
using ClientSiteProc = IOleClientSite* (*)();
using LiveObjectsProc = LONG (*)();

}  // namespace test_control
