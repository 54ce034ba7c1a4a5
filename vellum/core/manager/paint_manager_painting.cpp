// The paint manager's painting: layout on demand, the off-screen top-down DIB that is painted and
// copied by update rectangle, the layered path (per-pixel alpha with UpdateLayeredWindow, native
// child windows printed in, the layered image that shapes the window), invalidation.

#include "vellum/core/manager/control.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/manager/paint_manager_internal.h"
#include "vellum/core/manager/paint_manager_rules.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                              BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up by name once: systems without layered windows simply keep windows opaque.
UpdateLayeredWindowProc GetUpdateLayeredWindow() {
  static const auto proc = reinterpret_cast<UpdateLayeredWindowProc>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  return proc;
}

SetLayeredWindowAttributesProc GetSetLayeredWindowAttributes() {
  static const auto proc = reinterpret_cast<SetLayeredWindowAttributesProc>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  return proc;
}

CControlUI* CALLBACK CollectUpdateNeeded(CControlUI* control, LPVOID data) {
  if (control->IsUpdateNeeded()) static_cast<CUIPtrArray*>(data)->Add(control);
  return nullptr;
}

RECT Deflated(RECT rect, const RECT& inset) {
  rect.left += inset.left;
  rect.top += inset.top;
  rect.right -= inset.right;
  rect.bottom -= inset.bottom;
  return rect;
}

void AddWindowExStyle(HWND window, LONG_PTR style) {
  const LONG_PTR ex_style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  if ((ex_style & style) != style) ::SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style | style);
}

}  // namespace

void CPaintManagerUI::HandlePaint() {
  if (root_ == nullptr) {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(window_, &ps);
    ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::EndPaint(window_, &ps);
    return;
  }
  RECT paint{};
  if (!::GetUpdateRect(window_, &paint, FALSE)) return;
  if (focus_needed_) SetNextTabControl();
  is_painting_ = true;

  RECT client{};
  ::GetClientRect(window_, &client);
  bool laid_out = false;
  if (update_needed_) {
    update_needed_ = false;
    if (!::IsRectEmpty(&client) && !::IsIconic(window_)) {
      if (root_->IsUpdateNeeded()) {
        DeleteOffscreen();
        root_->SetPos(layered_ ? Deflated(client, layered_inset_) : client, true);
      } else {
        found_controls_.Empty();
        root_->FindControl(CollectUpdateNeeded, &found_controls_,
                           UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
        for (int i = 0; i < found_controls_.GetSize(); ++i) {
          // Laid out again where it stands: a floating control keeps its place relative to its
          // parent, which has not moved (a parent that moves lays out its floating children).
          auto* control = static_cast<CControlUI*>(found_controls_[i]);
          control->SetPos(control->GetPos(), true);
        }
      }
      laid_out = true;
      if (first_layout_) {
        first_layout_ = false;
        SendNotify(root_, L"windowinit", 0, 0, false);
        if (layered_ && layered_changed_) {
          Invalidate();
          is_painting_ = false;
          return;
        }
      }
    }
  } else if (layered_ && layered_changed_) {
    if (offscreen_bits_ != nullptr) {
      ::GdiFlush();
      ClearPixels(offscreen_bits_, client.right, client.bottom, client);
    }
    root_->SetPos(Deflated(client, layered_inset_), true);
  }

  if (layered_) {
    AddWindowExStyle(window_, WS_EX_LAYERED);
    offscreen_paint_ = true;
    ::UnionRect(&paint, &paint, &pending_update_);
    if (paint.right > client.right) paint.right = client.right;
    if (paint.bottom > client.bottom) paint.bottom = client.bottom;
    ::SetRectEmpty(&pending_update_);
  }

  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (offscreen_paint_ && offscreen_bitmap_ == nullptr && width > 0 && height > 0) {
    offscreen_dc_ = ::CreateCompatibleDC(paint_dc_);
    BYTE* bits = nullptr;
    // Top-down: row y of the client area is row y of the pixels.
    offscreen_bitmap_ = CRenderUI::Create32BitDib(paint_dc_, width, -height, &bits);
    offscreen_bits_ = reinterpret_cast<DWORD*>(bits);
    if (offscreen_dc_ == nullptr || offscreen_bitmap_ == nullptr) DeleteOffscreen();
  }

  PAINTSTRUCT ps{};
  ::BeginPaint(window_, &ps);
  if (offscreen_paint_ && offscreen_bitmap_ != nullptr) {
    HGDIOBJ old_bitmap = ::SelectObject(offscreen_dc_, offscreen_bitmap_);
    const int saved = ::SaveDC(offscreen_dc_);
    if (layered_) ClearPixels(offscreen_bits_, width, height, paint);
    root_->Paint(offscreen_dc_, paint, nullptr);
    if (layered_) PaintLayeredNativeWindows(paint);
    for (int i = 0; i < post_paint_controls_.GetSize(); ++i) {
      static_cast<CControlUI*>(post_paint_controls_[i])->DoPostPaint(offscreen_dc_, paint);
    }
    ::RestoreDC(offscreen_dc_, saved);
    if (layered_) {
      ::GdiFlush();
      if (layered_image_ == nullptr || layered_image_->description.IsEmpty()) {
        MakeGdiPixelsOpaque(offscreen_bits_, width, height, paint);
      } else {
        ComposeLayeredImage(paint);
      }
      RECT window_rect{};
      ::GetWindowRect(window_, &window_rect);
      POINT position{window_rect.left, window_rect.top};
      SIZE size{width, height};
      POINT origin{0, 0};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity_, AC_SRC_ALPHA};
      UpdateLayeredWindowProc update = GetUpdateLayeredWindow();
      if (update != nullptr) {
        update(window_, paint_dc_, &position, &size, offscreen_dc_, &origin, 0, &blend, ULW_ALPHA);
      }
    } else {
      ::BitBlt(paint_dc_, paint.left, paint.top, paint.right - paint.left,
               paint.bottom - paint.top, offscreen_dc_, paint.left, paint.top, SRCCOPY);
    }
    ::SelectObject(offscreen_dc_, old_bitmap);
    if (show_update_rect_ && !layered_) {
      HGDIOBJ old_pen = ::SelectObject(paint_dc_, GetUpdateRectPen());
      HGDIOBJ old_brush = ::SelectObject(paint_dc_, ::GetStockObject(HOLLOW_BRUSH));
      ::Rectangle(paint_dc_, paint.left, paint.top, paint.right, paint.bottom);
      ::SelectObject(paint_dc_, old_brush);
      ::SelectObject(paint_dc_, old_pen);
    }
  } else {
    const int saved = ::SaveDC(paint_dc_);
    root_->Paint(paint_dc_, paint, nullptr);
    for (int i = 0; i < post_paint_controls_.GetSize(); ++i) {
      static_cast<CControlUI*>(post_paint_controls_[i])->DoPostPaint(paint_dc_, paint);
    }
    ::RestoreDC(paint_dc_, saved);
  }
  ::EndPaint(window_, &ps);

  is_painting_ = false;
  layered_changed_ = false;
  if (update_needed_) Invalidate();
  if (laid_out && root_ != nullptr) SendNotify(root_, L"windowsize", 0, 0, true);
}

void CPaintManagerUI::PaintLayeredNativeWindows(const RECT& paint) {
  for (int i = native_windows_.GetSize() - 1; i >= 0; --i) {
    HWND child = static_cast<HWND>(native_windows_[i]);
    if (!::IsWindow(child)) {
      native_windows_.Remove(i);
      native_window_controls_.Remove(i);
      continue;
    }
    if (!::IsWindowVisible(child)) continue;
    const RECT rect = GetChildWindowRect(child);
    RECT overlap{};
    if (!::IntersectRect(&overlap, &rect, &paint)) continue;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC dc = ::CreateCompatibleDC(paint_dc_);
    BYTE* bits = nullptr;
    HBITMAP bitmap = CRenderUI::Create32BitDib(paint_dc_, width, -height, &bits);
    if (dc != nullptr && bitmap != nullptr) {
      ZeroMemory(bits, static_cast<size_t>(width) * height * 4);
      HGDIOBJ old = ::SelectObject(dc, bitmap);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
      ::GdiFlush();
      MakeNonZeroPixelsOpaque(reinterpret_cast<DWORD*>(bits), width * height);
      ::BitBlt(offscreen_dc_, rect.left, rect.top, width, height, dc, 0, 0, SRCCOPY);
      ::SelectObject(dc, old);
    }
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    if (dc != nullptr) ::DeleteDC(dc);
  }
}

void CPaintManagerUI::ComposeLayeredImage(const RECT& paint) {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int width = client.right;
  const int height = client.bottom;
  bool draw = layered_changed_;
  if (background_bitmap_ == nullptr) {
    background_dc_ = ::CreateCompatibleDC(paint_dc_);
    BYTE* bits = nullptr;
    background_bitmap_ = CRenderUI::Create32BitDib(paint_dc_, width, -height, &bits);
    background_bits_ = reinterpret_cast<DWORD*>(bits);
    if (background_dc_ == nullptr || background_bitmap_ == nullptr) {
      if (background_dc_ != nullptr) ::DeleteDC(background_dc_);
      if (background_bitmap_ != nullptr) ::DeleteObject(background_bitmap_);
      background_dc_ = nullptr;
      background_bitmap_ = nullptr;
      background_bits_ = nullptr;
      return;
    }
    ::SelectObject(background_dc_, background_bitmap_);
    draw = true;
  }
  if (draw) {
    ClearPixels(background_bits_, width, height, client);
    const RECT inset = Deflated(client, layered_inset_);
    CClipRegionUI clip;
    CRenderUI::ClipToRect(background_dc_, inset, clip);
    CRenderUI::DrawImageInfo(background_dc_, this, inset, inset, &layered_image_->info);
    ::GdiFlush();
  }
  ApplyShapeAlpha(offscreen_bits_, background_bits_, width, height, paint);
}

void CPaintManagerUI::DeleteOffscreen() {
  if (offscreen_dc_ != nullptr) ::DeleteDC(offscreen_dc_);
  if (offscreen_bitmap_ != nullptr) ::DeleteObject(offscreen_bitmap_);
  if (background_dc_ != nullptr) ::DeleteDC(background_dc_);
  if (background_bitmap_ != nullptr) ::DeleteObject(background_bitmap_);
  offscreen_dc_ = nullptr;
  offscreen_bitmap_ = nullptr;
  offscreen_bits_ = nullptr;
  background_dc_ = nullptr;
  background_bitmap_ = nullptr;
  background_bits_ = nullptr;
}

void CPaintManagerUI::HandlePrintClient(HDC dc, LPARAM lParam) {
  if (root_ == nullptr || dc == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  const int saved = ::SaveDC(dc);
  root_->Paint(dc, client, nullptr);
  ::RestoreDC(dc, saved);
  if ((lParam & PRF_CHILDREN) == 0) return;
  for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = GetChildWindowRect(child);
    POINT old_origin{};
    ::SetWindowOrgEx(dc, -rect.left, -rect.top, &old_origin);
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), lParam | PRF_NONCLIENT);
    ::SetWindowOrgEx(dc, old_origin.x, old_origin.y, nullptr);
  }
}

void CPaintManagerUI::Invalidate() {
  if (window_ == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  ::UnionRect(&pending_update_, &pending_update_, &client);
  ::InvalidateRect(window_, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(RECT rect) {
  if (window_ == nullptr) return;
  const RECT area = NormalizeInvalidRect(rect);
  ::UnionRect(&pending_update_, &pending_update_, &area);
  ::InvalidateRect(window_, &area, FALSE);
}

void CPaintManagerUI::SetLayered(bool layered) {
  if (window_ == nullptr || layered == layered_) return;
  if ((::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0) return;
  if (GetUpdateLayeredWindow() == nullptr) return;
  layered_ = layered;
  if (root_ != nullptr) root_->NeedUpdate();
  Invalidate();
}

void CPaintManagerUI::SetLayeredImage(const wchar_t* image) {
  if (layered_image_ == nullptr) layered_image_.reset(new TLayeredState);
  layered_image_->description = image;
  ParseLayeredImage();
  layered_changed_ = true;
  Invalidate();
}

void CPaintManagerUI::ParseLayeredImage() {
  if (layered_image_ == nullptr) return;
  TImageDrawInfo& info = layered_image_->info;
  info.Clear();
  info.Parse(layered_image_->description.GetData(), nullptr, *GetDpiScaler());
  // Loaded now; drawing finds it by name in the image table (the record may be replaced there).
  GetOrLoadImage(info.name.GetData(), info.res_type.IsEmpty() ? nullptr : info.res_type.GetData(),
                 info.mask, false, info.gdiplus);
}

const wchar_t* CPaintManagerUI::GetLayeredImage() const {
  return layered_image_ != nullptr ? layered_image_->description.GetData() : nullptr;
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity) {
  opacity_ = opacity;
  layered_changed_ = true;
  Invalidate();
}

void CPaintManagerUI::SetLayeredInset(const RECT& inset) {
  layered_inset_ = inset;
  layered_changed_ = true;
  if (root_ != nullptr) root_->NeedUpdate();
  Invalidate();
}

void CPaintManagerUI::SetOpacity(BYTE opacity) {
  opacity_ = opacity;
  if (window_ == nullptr) return;
  SetLayeredWindowAttributesProc set_attributes = GetSetLayeredWindowAttributes();
  if (set_attributes == nullptr) return;
  AddWindowExStyle(window_, WS_EX_LAYERED);
  set_attributes(window_, 0, opacity, LWA_ALPHA);
}

bool CPaintManagerUI::AddNativeWindow(CControlUI* control, HWND window) {
  if (control == nullptr || window == nullptr || native_windows_.Find(window) >= 0) return false;
  if (!native_windows_.Add(window)) return false;
  if (!native_window_controls_.Add(control)) {
    native_windows_.Remove(native_windows_.GetSize() - 1);
    return false;
  }
  return true;
}

bool CPaintManagerUI::RemoveNativeWindow(HWND window) {
  const int index = native_windows_.Find(window);
  if (index < 0) return false;
  native_windows_.Remove(index);
  native_window_controls_.Remove(index);
  return true;
}

RECT CPaintManagerUI::GetChildWindowRect(HWND child) const {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace Vellum
