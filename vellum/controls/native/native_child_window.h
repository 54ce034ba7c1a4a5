#pragma once

// The hosting of a native Win32 control over the text area of a self-drawn control, shared by the
// families that edit through one (edit, hot key, date-time, IP address): creation as a child of the
// manager's paint window (or as an owned pop-up over a layered window), placement, the background
// brush answered to the colour messages, focus, detaching on the control's destruction and the
// final message.
//
// Ownership: the window object owns itself. Its control creates it when editing starts and keeps a
// plain pointer to it; the object deletes itself in its final message, after ForgetOwnerPointer has
// let the control clear that pointer. A control destroyed while its window exists calls
// DetachAndDestroy: from then on the window never touches the control, and the window, and with it
// the object, is destroyed at once. The object owns its background brush. The manager's
// native-window list names the window without owning it; the object takes it out again.

#include <windows.h>

#include "vellum/core/window/window_wnd.h"

namespace Vellum {

class CControlUI;
class CLabelUI;
class CPaintManagerUI;
struct TUIEvent;

// The text area of a control: the item rectangle less the (scaled) text padding; when the font is
// lower than that, only the font's height of it, centred vertically.
RECT NativeTextArea(const RECT& item, const RECT& padding, int font_height);
// The rectangle intersected with the client rectangle of every ancestor of the control in turn;
// empty as soon as an ancestor is invisible or an intersection is empty.
RECT ClipToAncestors(const CControlUI* control, const RECT& rect);
// ARGB (alpha in the top byte) to a GDI COLORREF; the alpha is dropped.
COLORREF ArgbToColorRef(DWORD argb);
// A pattern brush of the bitmap. The bitmap is deleted whether or not the brush could be made: a
// pattern brush keeps its own copy of the pixels.
HBRUSH PatternBrushFromBitmap(HBITMAP bitmap);

// The events every label that hosts a native window treats alike: mouse events go to the parent while
// the control's mouse is off, the text cursor shows over it, a resize puts the focus back into an open
// window and the wheel belongs to that window. True when the event is finished with; otherwise the
// control handles it on.
bool HandleHostEvent(CLabelUI* control, bool window_open, TUIEvent& event);

// Whether a set-focus event only tells that the paint window took the focus back from the
// control's own native window (closing, hiding, or the focus moving on through the paint window)
// or from a window already destroyed or being destroyed by DetachAndDestroy (its control is dying):
// that is no request to edit.
bool IsFocusBackFromNative(const TUIEvent& event, HWND native);

// The focus and mouse events of a label whose native window opens on a focus it did not give back,
// or on a click while focused (a picker): open_window is called then. The mouse otherwise stays
// with the native window, so moves, releases and the context menu are swallowed. True when the
// event is finished with; otherwise the control hands it on to the label.
bool HandleOpenOnFocusEvent(CLabelUI* control, HWND native, TUIEvent& event,
                            void (*open_window)(CLabelUI* control));

// The size of a one-line field without a fixed height whose native window edits it: its fixed width,
// and the height of its font's text plus a small margin, so the native window's text fits.
SIZE EstimateFieldSize(CPaintManagerUI* manager, int font, LONG fixed_width);

// For the destructor of a control hosting a native window: the control's pointer is cleared first,
// then the window forgets the control and is destroyed.
template <class Window>
void DestroyHostedWindow(Window*& window) {
  if (window == nullptr) return;
  Window* detached = window;
  window = nullptr;
  detached->DetachAndDestroy();
}

class CNativeChildWindow : public CWindowWnd {
 public:
  // Null while detached.
  CControlUI* GetOwner() const { return owner_; }
  CPaintManagerUI* GetManager() const { return manager_; }

  // Places the window over rect, given in client coordinates of the paint window. With keep_size
  // only the position changes.
  void MoveTo(const RECT& rect, bool keep_size = false);

  // The answer to WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC: transparent text mode in the text colour,
  // and a brush of the background colour. An opaque colour gets one solid brush, kept while the
  // colour stays; a colour with alpha below 0xFF gets a fresh pattern brush of the manager
  // window's content under this window (painted up to the owner) with the colour blended over it.
  HBRUSH ColorBackground(HDC dc, DWORD text_argb, DWORD background_argb);

  // For the owner's destructor: the window forgets its owner and is destroyed now.
  void DetachAndDestroy();

 protected:
  CNativeChildWindow() = default;
  virtual ~CNativeChildWindow();

  // Creates the window over rect (client coordinates of the owner's paint window) with the font;
  // as a pop-up in screen coordinates listed in the manager's native windows when popup is set.
  // False when there is no paint window or the window could not be made.
  bool CreateOver(CControlUI* owner, const RECT& rect, DWORD style, HFONT font, bool popup);

  // The owner clears its pointer to this window; called once, in the final message, while attached.
  virtual void ForgetOwnerPointer() = 0;

  // The owner repaints, the brush goes, the owner forgets this window, the object deletes itself.
  void OnFinalMessage(HWND hwnd) override;

 private:
  // The window's rectangle for a rectangle of the paint window's client area: in screen
  // coordinates for a pop-up, and no larger than the screens together.
  RECT ToWindowCoordinates(const RECT& control_rect) const;
  void Unlist();

  CControlUI* owner_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;
  HBRUSH brush_ = nullptr;
  bool solid_brush_ = false;
  DWORD brush_color_ = 0;
  bool popup_ = false;
  bool listed_ = false;
};

}  // namespace Vellum
