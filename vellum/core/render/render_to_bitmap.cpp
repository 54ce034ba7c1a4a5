// Rendering a control, or a window's tree, into a bitmap of its own (drag pictures, snapshots).

#include <cstdint>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// A picture larger than 8192 by 4096 is refused, as any other that cannot be rendered.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 25;

// The bitmap has the rectangle's own size: the tree paints at its window positions through a DC
// whose origin is moved to the rectangle's corner (clip regions follow it), so a control far outside
// the window costs no more than one at its top left.
HBITMAP RenderToBitmap(CPaintManagerUI* manager, CControlUI* control, const RECT& rect,
                       CControlUI* stop, DWORD background) {
  const int64_t width = int64_t{rect.right} - rect.left;
  const int64_t height = int64_t{rect.bottom} - rect.top;
  if (width <= 0 || height <= 0 || width * height > kMaxBitmapPixels) return nullptr;
  HDC reference = manager->GetPaintDC();
  HDC screen = nullptr;
  if (reference == nullptr) reference = screen = ::GetDC(nullptr);

  HBITMAP result = nullptr;
  HDC dc = ::CreateCompatibleDC(reference);
  BYTE* bits = nullptr;
  HBITMAP bitmap =
      CRenderUI::Create32BitDib(reference, static_cast<int>(width), -static_cast<int>(height), &bits);
  if (dc != nullptr && bitmap != nullptr) {
    HGDIOBJ old_bitmap = ::SelectObject(dc, bitmap);
    POINT old_origin{};
    ::SetViewportOrgEx(dc, -rect.left, -rect.top, &old_origin);
    control->Paint(dc, rect, stop);
    ::SetViewportOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    if ((background >> 24) != 0) {
      const RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
      CRenderUI::DrawColor(dc, whole, background);
    }
    ::GdiFlush();
    ::SelectObject(dc, old_bitmap);
    result = bitmap;
    bitmap = nullptr;
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (dc != nullptr) ::DeleteDC(dc);
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
