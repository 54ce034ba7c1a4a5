#pragma once

// Two small COM objects a site hands to its embedded object: the enumerator over the one object of
// the container, and the in-place frame (the manager's paint window, with no tool space).
//
// Both are reference counted (plain counters, UI thread only) from 1 and delete themselves at 0.

#include <windows.h>
#include <ole2.h>

namespace Vellum {

class CActiveXUI;

class CActiveXEnum : public IEnumUnknown {
 public:
  // Holds one reference to the object (may be null).
  explicit CActiveXEnum(IUnknown* object);
  CActiveXEnum(const CActiveXEnum&) = delete;
  CActiveXEnum& operator=(const CActiveXEnum&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // Hands out the object once, whatever count is asked for.
  STDMETHODIMP Next(ULONG count, IUnknown** objects, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumUnknown** clone) override;

 private:
  virtual ~CActiveXEnum();

  ULONG ref_count_ = 1;
  ULONG position_ = 0;
  IUnknown* object_ = nullptr;
};

class CActiveXFrameWnd : public IOleInPlaceFrame {
 public:
  explicit CActiveXFrameWnd(CActiveXUI* owner);
  CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
  CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

  IOleInPlaceActiveObject* GetActiveObject() const { return active_object_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  // IOleInPlaceUIWindow
  STDMETHODIMP GetBorder(LPRECT border) override;
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
  // IOleInPlaceFrame
  STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
  STDMETHODIMP SetMenu(HMENU shared, HOLEMENU ole_menu, HWND active_object) override;
  STDMETHODIMP RemoveMenus(HMENU shared) override;
  STDMETHODIMP SetStatusText(LPCOLESTR text) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;

 private:
  virtual ~CActiveXFrameWnd();

  ULONG ref_count_ = 1;
  CActiveXUI* owner_ = nullptr;
  // The paint window, taken at creation: the object may keep the frame after the control is gone,
  // so the frame never reaches back into it.
  HWND window_ = nullptr;
  IOleInPlaceActiveObject* active_object_ = nullptr;
};

}  // namespace Vellum
