#pragma once

// The client site of an object embedded by CActiveXUI: it answers the object's in-place protocol
// (windowless or windowed), hands out the host window, paints and hit-tests through the object's
// view object and routes windowless capture, focus and drawing requests to the host window.
//
// Ownership: reference counted (plain counter, UI thread only), starting at 1 for the control that
// made it. The control detaches it (Detach) before letting go; from then on every method that needs
// the control answers E_UNEXPECTED. The site owns the CActiveXWnd of a windowed object and the
// accelerator table it hands out with the window context; it holds one reference each to the
// object's view object, its in-place object and the outer site given through SetSite, and, while
// the object is in place, one to the object it keeps locked running.

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

namespace Vellum {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
 public:
  explicit CActiveXCtrl(CActiveXUI* owner);
  CActiveXCtrl(const CActiveXCtrl&) = delete;
  CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

  // The control lets go of the site: it releases what the site holds of the object, destroys
  // the object's window and answers E_UNEXPECTED from now on.
  void Detach();
  CActiveXUI* GetOwner() const { return owner_; }

  // Taken once the object is set up (the richest view interface it offers); none is fine.
  void TakeViewObject(IOleObject* object);
  IViewObject* GetViewObject() const { return view_object_; }
  IOleInPlaceObject* GetInPlaceObject() const { return in_place_object_; }
  CActiveXWnd* GetActiveXWindow() const { return window_; }
  // Creates the CActiveXWnd once; the window is reused while the site lives.
  HWND CreateActiveXWnd();
  // Draws the view object (when there is one) into dc over rect; false when nothing was drawn.
  bool DrawView(HDC dc, const RECT& rect);

  bool IsWindowless() const { return windowless_; }
  bool IsInPlaceActive() const { return in_place_active_; }
  bool IsUIActive() const { return ui_active_; }
  bool IsFocused() const { return focused_; }
  bool IsCaptured() const { return captured_; }
  bool IsLocked() const { return locked_; }
  void SetFocused(bool focused) { focused_ = focused; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID iid, void** out) override;

  // IOleClientSite
  STDMETHODIMP SaveObject() override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override;
  STDMETHODIMP OnShowWindow(BOOL show) override;
  STDMETHODIMP RequestNewObjectLayout() override;

  // IOleInPlaceSiteWindowless
  STDMETHODIMP CanWindowlessActivate() override;
  STDMETHODIMP GetCapture() override;
  STDMETHODIMP SetCapture(BOOL capture) override;
  STDMETHODIMP GetFocus() override;
  STDMETHODIMP SetFocus(BOOL focus) override;
  STDMETHODIMP GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
  STDMETHODIMP ReleaseDC(HDC dc) override;
  STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override;
  STDMETHODIMP InvalidateRgn(HRGN region, BOOL erase) override;
  STDMETHODIMP ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
  STDMETHODIMP AdjustRect(LPRECT rect) override;
  STDMETHODIMP OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT* result) override;

  // IOleInPlaceSiteEx
  STDMETHODIMP OnInPlaceActivateEx(BOOL* no_redraw, DWORD flags) override;
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL no_redraw) override;
  STDMETHODIMP RequestUIActivate() override;

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override;
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO frame_info) override;
  STDMETHODIMP Scroll(SIZE extent) override;
  STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override;
  STDMETHODIMP DeactivateAndUndo() override;
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override;
  STDMETHODIMP LockInPlaceActive(BOOL lock) override;
  STDMETHODIMP GetExtendedControl(IDispatch** dispatch) override;
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
  STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
  STDMETHODIMP OnFocus(BOOL focus) override;
  STDMETHODIMP ShowPropertyFrame() override;

  // IOleContainer
  STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** objects) override;
  STDMETHODIMP LockContainer(BOOL lock) override;

  // IParseDisplayName
  STDMETHODIMP ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten,
                                IMoniker** moniker) override;

 private:
  virtual ~CActiveXCtrl();
  void DestroyActiveXWnd();
  // Undoes the running lock taken at in-place activation, when there is one.
  void UnlockRunning();

  ULONG ref_count_ = 1;
  CActiveXUI* owner_ = nullptr;
  CActiveXWnd* window_ = nullptr;
  IUnknown* outer_site_ = nullptr;
  IViewObject* view_object_ = nullptr;
  // An IOleInPlaceObjectWindowless while windowless, else a plain IOleInPlaceObject.
  IOleInPlaceObject* in_place_object_ = nullptr;
  // Handed to the object with every window context and kept for the site's life, so that asking
  // for the context again does not leave a table behind each time.
  HACCEL accelerators_ = nullptr;
  // The object this site keeps running while it is in place (one lock, whatever the number of
  // activations), with a reference so that the lock can be undone before the object goes.
  IOleObject* running_lock_ = nullptr;
  bool locked_ = false;
  bool focused_ = false;
  bool captured_ = false;
  bool ui_active_ = false;
  bool in_place_active_ = false;
  bool windowless_ = true;
};

}  // namespace Vellum
