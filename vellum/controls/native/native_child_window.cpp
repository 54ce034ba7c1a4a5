#include "vellum/controls/native/native_child_window.h"

#include <algorithm>
#include <vector>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

bool HandleHostEvent(CLabelUI* control, bool window_open, TUIEvent& event) {
  if (!control->IsMouseEnabled() && IsMouseEvent(event.type)) {
    if (CControlUI* parent = control->GetParent()) {
      parent->DoEvent(event);
    } else {
      control->CLabelUI::DoEvent(event);
    }
    return true;
  }
  switch (event.type) {
    case UIEVENT_SETCURSOR:
      if (!control->IsEnabled()) return false;
      ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
      return true;
    case UIEVENT_WINDOWSIZE:
      if (window_open && control->GetManager() != nullptr) control->GetManager()->SetFocusNeeded(control);
      return false;
    case UIEVENT_SCROLLWHEEL:
      return window_open;
    default:
      return false;
  }
}

namespace {

// The windows that DetachAndDestroy is destroying right now. Destroying the focused one hands the
// focus back to the paint window, which tells the (dying) control that it has the focus again;
// that must not open a new window over it, which would outlive it.
std::vector<HWND>& ClosingWindows() {
  static std::vector<HWND> closing;
  return closing;
}

bool IsOrIsInside(HWND window, HWND candidate) {
  return window != nullptr && (candidate == window || ::IsChild(window, candidate));
}

}  // namespace

bool IsFocusBackFromNative(const TUIEvent& event, HWND native) {
  HWND from = reinterpret_cast<HWND>(event.wParam);
  if (from == nullptr) return false;
  if (!::IsWindow(from)) return true;
  for (HWND closing : ClosingWindows()) {
    if (IsOrIsInside(closing, from)) return true;
  }
  return IsOrIsInside(native, from);
}

SIZE EstimateFieldSize(CPaintManagerUI* manager, int font, LONG fixed_width) {
  constexpr LONG kExtraHeight = 6;
  LONG text_height = 0;
  if (manager != nullptr) {
    const TUIFontInfo* info = manager->GetFontInfo(font);
    if (info != nullptr) text_height = info->tm.tmHeight;
  }
  return SIZE{fixed_width, text_height + kExtraHeight};
}

bool HandleOpenOnFocusEvent(CLabelUI* control, HWND native, TUIEvent& event,
                            void (*open_window)(CLabelUI* control)) {
  switch (event.type) {
    case UIEVENT_SETFOCUS:
      if (!control->IsEnabled()) return false;
      if (IsFocusBackFromNative(event, native)) return false;
      open_window(control);
      return false;
    case UIEVENT_KILLFOCUS:
      if (control->IsEnabled()) control->Invalidate();
      return false;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (!control->IsEnabled()) return false;
      if (control->GetManager() != nullptr) control->GetManager()->ReleaseCapture();
      if (control->IsFocused()) open_window(control);
      return true;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      return true;
    default:
      return false;
  }
}

RECT NativeTextArea(const RECT& item, const RECT& padding, int font_height) {
  RECT rect{item.left + padding.left, item.top + padding.top, item.right - padding.right,
            item.bottom - padding.bottom};
  const LONG height = rect.bottom - rect.top;
  if (font_height < height) {
    rect.top += (height - font_height) / 2;
    rect.bottom = rect.top + font_height;
  }
  return rect;
}

RECT ClipToAncestors(const CControlUI* control, const RECT& rect) {
  RECT clipped = rect;
  for (const CControlUI* parent = control->GetParent(); parent != nullptr;
       parent = parent->GetParent()) {
    const RECT client = parent->GetClientPos();
    if (!parent->IsVisible() || !::IntersectRect(&clipped, &clipped, &client)) return RECT{};
  }
  return clipped;
}

COLORREF ArgbToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

HBRUSH PatternBrushFromBitmap(HBITMAP bitmap) {
  if (bitmap == nullptr) return nullptr;
  HBRUSH brush = ::CreatePatternBrush(bitmap);
  ::DeleteObject(bitmap);
  return brush;
}

CNativeChildWindow::~CNativeChildWindow() {
  if (brush_ != nullptr) ::DeleteObject(brush_);
}

bool CNativeChildWindow::CreateOver(CControlUI* owner, const RECT& rect, DWORD style, HFONT font,
                                    bool popup) {
  CPaintManagerUI* manager = owner != nullptr ? owner->GetManager() : nullptr;
  if (manager == nullptr || manager->GetPaintWindow() == nullptr) return false;
  owner_ = owner;
  manager_ = manager;
  popup_ = popup;
  const RECT placed = ToWindowCoordinates(rect);
  if (Create(manager->GetPaintWindow(), nullptr, style, 0, placed) == nullptr) {
    owner_ = nullptr;
    return false;
  }
  ::SendMessageW(GetHWND(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (popup_) listed_ = manager->AddNativeWindow(owner, GetHWND());
  return true;
}

RECT CNativeChildWindow::ToWindowCoordinates(const RECT& control_rect) const {
  // No side larger than the screens together: more could never be seen, and a system control a
  // million pixels wide has its own code walk them.
  const SIZE screens = ScreensExtent();
  RECT rect = control_rect;
  rect.right = static_cast<LONG>(
      std::min<LONGLONG>(static_cast<LONGLONG>(rect.right) - rect.left, screens.cx) + rect.left);
  rect.bottom = static_cast<LONG>(
      std::min<LONGLONG>(static_cast<LONGLONG>(rect.bottom) - rect.top, screens.cy) + rect.top);
  if (!popup_) return rect;
  // A pop-up lives in screen coordinates; it sits one pixel lower than the text area so that
  // its text lines up with the text the control painted into the layered image.
  POINT origin{0, 0};
  ::ClientToScreen(manager_->GetPaintWindow(), &origin);
  RECT screen = rect;
  ::OffsetRect(&screen, origin.x, origin.y + 1);
  return screen;
}

void CNativeChildWindow::MoveTo(const RECT& rect, bool keep_size) {
  if (GetHWND() == nullptr || manager_ == nullptr) return;
  const RECT placed = ToWindowCoordinates(rect);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (keep_size) flags |= SWP_NOSIZE;
  ::SetWindowPos(GetHWND(), nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top, flags);
}

HBRUSH CNativeChildWindow::ColorBackground(HDC dc, DWORD text_argb, DWORD background_argb) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ArgbToColorRef(text_argb));
  if (background_argb >= 0xFF000000) {
    if (brush_ == nullptr || !solid_brush_ || brush_color_ != background_argb) {
      HBRUSH solid = ::CreateSolidBrush(ArgbToColorRef(background_argb));
      if (solid == nullptr) return brush_;
      if (brush_ != nullptr) ::DeleteObject(brush_);
      brush_ = solid;
      brush_color_ = background_argb;
      solid_brush_ = true;
    }
    return brush_;
  }
  if (owner_ == nullptr || manager_ == nullptr) return brush_;
  // What lies under the window changes with every repaint of the window behind, so the pattern
  // is taken afresh each time.
  const RECT under = manager_->GetChildWindowRect(GetHWND());
  HBRUSH fresh = PatternBrushFromBitmap(
      CRenderUI::RenderWindowToBitmap(manager_, under, owner_, background_argb));
  if (fresh == nullptr) return brush_;
  if (brush_ != nullptr) ::DeleteObject(brush_);
  brush_ = fresh;
  solid_brush_ = false;
  return brush_;
}

void CNativeChildWindow::Unlist() {
  if (listed_ && manager_ != nullptr) manager_->RemoveNativeWindow(GetHWND());
  listed_ = false;
}

void CNativeChildWindow::DetachAndDestroy() {
  Unlist();
  owner_ = nullptr;
  if (GetHWND() != nullptr) {
    HWND hwnd = GetHWND();
    std::vector<HWND>& closing = ClosingWindows();
    closing.push_back(hwnd);
    ::DestroyWindow(hwnd);
    closing.erase(std::remove(closing.begin(), closing.end(), hwnd), closing.end());
  } else {
    delete this;
  }
}

void CNativeChildWindow::OnFinalMessage(HWND hwnd) {
  if (owner_ != nullptr) {
    owner_->Invalidate();
    if (listed_ && manager_ != nullptr) manager_->RemoveNativeWindow(hwnd);
    listed_ = false;
    ForgetOwnerPointer();
    owner_ = nullptr;
  }
  delete this;
}

}  // namespace Vellum
