#include "vellum/controls/color_palette/color_palette.h"

#include <algorithm>

#include "vellum/controls/color_palette/hsl_strips.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

constexpr int kThumbSquare = 8;

void RegisterColorPaletteFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CColorPaletteUI", &CColorPaletteUI::CreateControl);
}

const CControlFamilyRegistrar kColorPaletteFamily(&RegisterColorPaletteFamily);

RECT SquareAround(int x, int y) {
  return RECT{x - kThumbSquare / 2, y - kThumbSquare / 2, x + kThumbSquare / 2,
              y + kThumbSquare / 2};
}

}  // namespace

CColorPaletteUI::CColorPaletteUI() = default;

CColorPaletteUI::~CColorPaletteUI() {
  // The bitmap is put out of the DC first: a bitmap still selected cannot be deleted.
  if (memory_dc_ && replaced_bitmap_) SelectObject(memory_dc_, replaced_bitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  if (memory_dc_) DeleteDC(memory_dc_);
}

CControlUI* CColorPaletteUI::CreateControl() { return new CColorPaletteUI(); }

const wchar_t* CColorPaletteUI::GetClass() const { return L"ColorPaletteUI"; }

LPVOID CColorPaletteUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"ColorPalette") == 0) return this;
  return CControlUI::GetInterface(name);
}

DWORD CColorPaletteUI::GetSelectColor() const {
  return 0xFF000000 | HslToRgb(hue_ / 360.0, saturation_ / 200.0, lightness_ / 200.0);
}

void CColorPaletteUI::SetPalletHeight(int height) { pallet_height_ = height; }

void CColorPaletteUI::SetBarHeight(int height) {
  bar_height_ = std::max(0, std::min(height, kMaxBarHeight));
}

void CColorPaletteUI::SetThumbImage(const wchar_t* image) {
  if (thumb_image_ == (image ? image : L"")) return;
  thumb_image_ = image;
  NeedUpdate();
}

void CColorPaletteUI::DoInit() {
  if (memory_dc_) return;
  memory_dc_ = CreateCompatibleDC(manager_ ? manager_->GetPaintDC() : nullptr);
  if (!memory_dc_) return;
  bitmap_ = CRenderUI::Create32BitDib(memory_dc_, kPaletteBitmapWidth, -kPaletteBitmapHeight, &bits_);
  if (!bitmap_) {
    DeleteDC(memory_dc_);
    memory_dc_ = nullptr;
    return;
  }
  replaced_bitmap_ = SelectObject(memory_dc_, bitmap_);
  GetObjectW(bitmap_, sizeof(bitmap_info_), &bitmap_info_);
  // A palette placed before it was initialised gets its strips now rather than at the next move.
  UpdatePallet();
  UpdateBar();
}

void CColorPaletteUI::UpdatePallet() {
  if (!bits_) return;
  GdiFlush();
  FillPalletStrip(bits_, bitmap_info_.bmWidthBytes, saturation_);
}

void CColorPaletteUI::UpdateBar() {
  if (!bits_) return;
  GdiFlush();
  FillBarStrip(bits_, bitmap_info_.bmWidthBytes, bar_height_, hue_, lightness_);
}

void CColorPaletteUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  const int width = item_rect_.right - item_rect_.left;
  pallet_thumb_.x = item_rect_.left + width * hue_ / 360;
  pallet_thumb_.y = item_rect_.top + (200 - lightness_) * pallet_height_ / 200;
  UpdatePallet();
  UpdateBar();
}

void CColorPaletteUI::TakePalletPoint(POINT point) {
  const int width = item_rect_.right - item_rect_.left;
  hue_ = std::max(0, std::min(static_cast<int>((point.x - item_rect_.left) * 360 / width), 360));
  const int v = std::max(0, std::min(static_cast<int>((point.y - item_rect_.top) * 200 / pallet_height_), 200));
  lightness_ = 200 - v;
  pallet_thumb_.x = std::max(item_rect_.left, std::min(point.x, item_rect_.right));
  pallet_thumb_.y = std::max(item_rect_.top, std::min(point.y, item_rect_.top + pallet_height_));
}

void CColorPaletteUI::TakeBarPoint(POINT point) {
  const int width = item_rect_.right - item_rect_.left;
  saturation_ = std::max(0, std::min(static_cast<int>((point.x - item_rect_.left) * 200 / width), 200));
}

void CColorPaletteUI::DoEvent(TUIEvent& event) {
  CControlUI::DoEvent(event);

  const RECT& r = item_rect_;
  const POINT p = event.mouse_point;
  // A control squeezed to no width, or a pallet of no height, has no point to take a value from.
  const bool has_width = r.right > r.left;
  const bool has_pallet = has_width && pallet_height_ > 0;
  switch (event.type) {
    case UIEVENT_BUTTONDOWN:
      if (has_pallet && p.x >= r.left && p.x < r.right && p.y >= r.top &&
          p.y < r.top + pallet_height_) {
        TakePalletPoint(p);
        button_state_ |= UISTATE_CAPTURED;
        pallet_drag_ = true;
        bar_drag_ = false;
        UpdateBar();
      }
      if (has_width && p.x >= r.left && p.x < r.right && p.y >= r.bottom - bar_height_ &&
          p.y < r.bottom) {
        bar_drag_ = true;
        pallet_drag_ = false;
        button_state_ |= UISTATE_CAPTURED;
        TakeBarPoint(p);
        UpdatePallet();
      }
      break;
    case UIEVENT_BUTTONUP:
      if (IsEnabled() && manager_) manager_->SendNotify(this, L"colorchanged", GetSelectColor(), 0);
      button_state_ &= ~UISTATE_CAPTURED;
      pallet_drag_ = false;
      bar_drag_ = false;
      break;
    case UIEVENT_MOUSEMOVE:
      if ((button_state_ & UISTATE_CAPTURED) == 0) {
        pallet_drag_ = false;
        bar_drag_ = false;
      }
      // The pallet follows the mouse only inside it (its right and bottom edges included); the
      // bar follows it anywhere.
      if (pallet_drag_) {
        if (has_pallet && p.x >= r.left && p.x <= r.right && p.y >= r.top &&
            p.y <= r.top + pallet_height_) {
          TakePalletPoint(p);
          UpdateBar();
        }
      } else if (bar_drag_ && has_width) {
        TakeBarPoint(p);
        UpdatePallet();
      }
      break;
    default:
      return;
  }
  Invalidate();
}

void CColorPaletteUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, L"palletheight") == 0) {
    SetPalletHeight(ParseAttributeInt(value));
  } else if (wcscmp(name, L"barheight") == 0) {
    SetBarHeight(ParseAttributeInt(value));
  } else if (wcscmp(name, L"thumbimage") == 0) {
    SetThumbImage(value);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CColorPaletteUI::PaintBkColor(HDC dc) { PaintPallet(dc); }

void CColorPaletteUI::PaintPallet(HDC dc) {
  if (!memory_dc_) return;
  const RECT& r = item_rect_;
  const int width = r.right - r.left;
  const int saved = SaveDC(dc);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, r.left, r.top, width, pallet_height_, memory_dc_, 0, 1, kPalletColumns,
             kPalletRows, SRCCOPY);
  StretchBlt(dc, r.left, r.bottom - bar_height_, width, bar_height_, memory_dc_, 0, kBarTopRow,
             kBarColumns, bar_height_, SRCCOPY);
  if (!thumb_image_.IsEmpty()) {
    CRenderUI::DrawImageString(dc, manager_, SquareAround(pallet_thumb_.x, pallet_thumb_.y),
                               paint_rect_, thumb_image_.GetData());
    CRenderUI::DrawImageString(
        dc, manager_, SquareAround(r.left + width * saturation_ / 200, r.bottom - bar_height_ / 2),
        paint_rect_, thumb_image_.GetData());
  }
  RestoreDC(dc, saved);
}

}  // namespace Vellum
