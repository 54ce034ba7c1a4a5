// Images named by a description or a name: placed inside the control's item rectangle, loaded
// through the window's paint manager and drawn with the bitmap drawing.

#include <algorithm>

#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/image/image_draw_info.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/paint_pass.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

bool Intersects(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

bool CRenderUI::DrawImageString(HDC dc, CPaintManagerUI* manager, const RECT& item,
                                const RECT& paint, const wchar_t* image, const wchar_t* modify,
                                HINSTANCE instance) {
  if (dc == nullptr || manager == nullptr) return false;
  // Drawn alone, the image still takes its memory DC from the window's pool.
  const CPaintPassUI pass(dc, manager->GetPaintDCPool());
  const TImageDrawInfo* info = manager->GetDrawInfo(image, modify);
  return DrawImageInfo(dc, manager, item, paint, info, instance);
}

bool CRenderUI::DrawImageInfo(HDC dc, CPaintManagerUI* manager, const RECT& item,
                              const RECT& paint, const TImageDrawInfo* info, HINSTANCE instance) {
  if (manager == nullptr || dc == nullptr || info == nullptr) return false;
  RECT dest = item;
  const RECT& written = info->dest;
  if (written.left != 0 || written.top != 0 || written.right != 0 || written.bottom != 0) {
    dest.left = item.left + written.left;
    dest.top = item.top + written.top;
    dest.right = std::min(item.right, item.left + written.right);
    dest.bottom = std::min(item.bottom, item.top + written.bottom);
  }
  if (info->size.cx > 0 && info->size.cy > 0) {
    // The padding was scaled when the description was parsed; only the size is scaled here.
    const SIZE size = manager->GetDpiScaler()->Scale(info->size);
    dest = MakeImageDest(item, dest, size, info->align.GetData(), info->padding);
  }
  return DrawImage(dc, manager, item, paint, info->name, info->res_type, dest, info->source,
                   info->corner, info->mask, info->fade, info->rotate, info->gdiplus, info->hole,
                   info->xtiled, info->ytiled, instance);
}

bool CRenderUI::DrawImage(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& paint,
                          const CUIString& name, const CUIString& type, const RECT& dest,
                          const RECT& source, const RECT& corners, DWORD mask, BYTE fade,
                          int rotate, bool gdiplus, bool hole, bool xtiled, bool ytiled,
                          HINSTANCE instance) {
  if (manager == nullptr || name.IsEmpty()) return false;
  TUIImageInfo* image =
      manager->GetOrLoadImage(name.GetData(), type.IsEmpty() ? nullptr : type.GetData(), mask,
                              false, gdiplus, instance);
  if (image == nullptr) return false;

  RECT part = source;
  if (part.left == 0 && part.top == 0 && part.right == 0 && part.bottom == 0) {
    part = RECT{0, 0, image->width, image->height};
  }
  part.right = std::min(part.right, static_cast<LONG>(image->width));
  part.bottom = std::min(part.bottom, static_cast<LONG>(image->height));

  if (!Intersects(dest, item) || !Intersects(dest, paint)) return true;

  const bool alpha = manager->IsLayered() ? true : image->has_alpha;
  if (gdiplus && image->gdiplus_image != nullptr) {
    DrawImageGdiplus(dc, image->gdiplus_image, dest, paint, part, alpha, fade, rotate);
  } else {
    // An image already in the table without its GDI+ copy is drawn from its bitmap (unrotated)
    // rather than not at all.
    DrawImage(dc, image->bitmap, dest, paint, part, corners, alpha, fade, hole, xtiled, ytiled);
  }
  return true;
}

}  // namespace Vellum
