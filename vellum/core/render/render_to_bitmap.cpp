// Rendering a control, or a window's tree, into a bitmap of its own (drag pictures, snapshots).

#include <cstdint>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

// The canvas reaches from the window origin to the rectangle's far corner. A control placed far
// outside any window (a huge padding or position) would ask for gigabytes: such a rectangle gives
// no bitmap, as any other that cannot be rendered. 32 Mi pixels cover a window 8192 by 4096.
constexpr int64_t kMaxCanvasPixels = int64_t{1} << 25;

// Controls paint at their window positions and clip with regions in device units, so the tree is
// painted unshifted into a bitmap reaching to the rectangle's far corner and the rectangle copied
// out of it.
HBITMAP RenderToBitmap(CPaintManagerUI* manager, CControlUI* control, const RECT& rect,
                       CControlUI* stop, DWORD background) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || rect.left < 0 || rect.top < 0) return nullptr;
  if (static_cast<int64_t>(rect.right) * rect.bottom > kMaxCanvasPixels) return nullptr;
  HDC reference = manager->GetPaintDC();
  HDC screen = nullptr;
  if (reference == nullptr) reference = screen = ::GetDC(nullptr);

  HBITMAP result = nullptr;
  HDC canvas_dc = ::CreateCompatibleDC(reference);
  HDC result_dc = ::CreateCompatibleDC(reference);
  BYTE* canvas_bits = nullptr;
  HBITMAP canvas = CRenderUI::Create32BitDib(reference, rect.right, -rect.bottom, &canvas_bits);
  BYTE* result_bits = nullptr;
  HBITMAP bitmap = CRenderUI::Create32BitDib(reference, width, -height, &result_bits);
  if (canvas_dc != nullptr && result_dc != nullptr && canvas != nullptr && bitmap != nullptr) {
    HGDIOBJ old_canvas = ::SelectObject(canvas_dc, canvas);
    control->Paint(canvas_dc, rect, stop);
    HGDIOBJ old_result = ::SelectObject(result_dc, bitmap);
    ::BitBlt(result_dc, 0, 0, width, height, canvas_dc, rect.left, rect.top, SRCCOPY);
    if ((background >> 24) != 0) {
      const RECT whole{0, 0, width, height};
      CRenderUI::DrawColor(result_dc, whole, background);
    }
    ::GdiFlush();
    ::SelectObject(result_dc, old_result);
    ::SelectObject(canvas_dc, old_canvas);
    result = bitmap;
    bitmap = nullptr;
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (canvas != nullptr) ::DeleteObject(canvas);
  if (result_dc != nullptr) ::DeleteDC(result_dc);
  if (canvas_dc != nullptr) ::DeleteDC(canvas_dc);
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return result;
}

}  // namespace

HBITMAP CRenderUI::RenderControlToBitmap(CPaintManagerUI* manager, CControlUI* control,
                                         const RECT& rect, DWORD background) {
  if (manager == nullptr || control == nullptr) return nullptr;
  return RenderToBitmap(manager, control, rect, nullptr, background);
}

HBITMAP CRenderUI::RenderWindowToBitmap(CPaintManagerUI* manager, const RECT& rect,
                                        CControlUI* stop, DWORD background) {
  if (manager == nullptr || manager->GetRoot() == nullptr) return nullptr;
  return RenderToBitmap(manager, manager->GetRoot(), rect, stop, background);
}

}  // namespace Vellum
