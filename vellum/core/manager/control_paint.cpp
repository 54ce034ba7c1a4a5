#include <cwchar>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/paint_pass.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

constexpr int kTwoPartGradientSteps = 8;
constexpr int kOnePartGradientSteps = 16;
constexpr DWORD kOpaqueAlpha = 0xFF000000;

}  // namespace

bool CControlUI::Paint(HDC dc, const RECT& paint, CControlUI* stop) {
  if (stop == this) return false;
  const CPaintPassUI pass(dc, manager_ ? manager_->GetPaintDCPool() : nullptr);
  if (!IntersectRect(&paint_rect_, &paint, &item_rect_)) return true;
  return DoPaint(dc, paint_rect_, stop);
}

bool CControlUI::DoPaint(HDC dc, const RECT& paint, CControlUI* /*stop*/) {
  const SIZE round = GetBorderRound();
  // Steps run in a fixed order; derived controls replace single steps, never the order.
  auto paint_steps = [this, dc] {
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintForeColor(dc);
    PaintForeImage(dc);
    PaintText(dc);
    PaintBorder(dc);
  };
  if (round.cx > 0 || round.cy > 0) {
    CClipRegionUI clip;
    CRenderUI::ClipToRoundRect(dc, paint, item_rect_, round.cx, round.cy, clip);
    paint_steps();
  } else {
    paint_steps();
  }
  return true;
}

void CControlUI::PaintBkColor(HDC dc) {
  if (bk_color_ == 0) return;
  const bool vertical = _wcsicmp(GetGradient(), L"hor") != 0;
  if (bk_color2_ != 0) {
    if (bk_color3_ != 0) {
      RECT upper = item_rect_;
      const LONG middle = (item_rect_.top + item_rect_.bottom) / 2;
      upper.bottom = middle;
      CRenderUI::DrawGradient(dc, upper, GetAdjustColor(bk_color_), GetAdjustColor(bk_color2_),
                              vertical, kTwoPartGradientSteps);
      RECT lower = item_rect_;
      lower.top = middle;
      CRenderUI::DrawGradient(dc, lower, GetAdjustColor(bk_color2_), GetAdjustColor(bk_color3_),
                              vertical, kTwoPartGradientSteps);
    } else {
      CRenderUI::DrawGradient(dc, item_rect_, GetAdjustColor(bk_color_),
                              GetAdjustColor(bk_color2_), vertical, kOnePartGradientSteps);
    }
    return;
  }
  // An opaque colour covers what lies beneath, so the part outside this pass need not be
  // touched; a translucent one blends, and blending only part of the control would show a seam
  // against what an earlier pass drew.
  if (bk_color_ >= kOpaqueAlpha) {
    CRenderUI::DrawColor(dc, paint_rect_, GetAdjustColor(bk_color_));
  } else {
    CRenderUI::DrawColor(dc, item_rect_, GetAdjustColor(bk_color_));
  }
}

void CControlUI::PaintBkImage(HDC dc) {
  const wchar_t* image = GetBkImage();
  if (image[0] != L'\0') DrawImage(dc, image);
}

void CControlUI::PaintStatusImage(HDC /*dc*/) {}

void CControlUI::PaintForeColor(HDC dc) {
  CRenderUI::DrawColor(dc, item_rect_, GetAdjustColor(fore_color_));
}

void CControlUI::PaintForeImage(HDC dc) {
  const wchar_t* image = GetForeImage();
  if (image[0] != L'\0') DrawImage(dc, image);
}

void CControlUI::PaintText(HDC /*dc*/) {}

void CControlUI::PaintBorder(HDC dc) {
  if (border_color_ == 0 && focus_border_color_ == 0) return;
  const int size = GetBorderSize();
  const SIZE round = GetBorderRound();
  const bool focus_colour = focused_ && focus_border_color_ != 0;

  if (size > 0 && (round.cx > 0 || round.cy > 0)) {
    CRenderUI::DrawRoundRect(dc, item_rect_, size, round.cx, round.cy,
                             GetAdjustColor(focus_colour ? focus_border_color_ : border_color_),
                             border_style_);
    return;
  }
  if (focus_colour && size > 0) {
    CRenderUI::DrawRect(dc, item_rect_, size, GetAdjustColor(focus_border_color_), border_style_);
    return;
  }
  const RECT sides = GetBorderRect();
  if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
    const RECT& r = item_rect_;
    const DWORD colour = GetAdjustColor(border_color_);
    if (sides.left > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.top, r.left, r.bottom}, sides.left, colour, border_style_);
    }
    if (sides.top > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.top, r.right, r.top}, sides.top, colour, border_style_);
    }
    if (sides.right > 0) {
      CRenderUI::DrawLine(dc, RECT{r.right - 1, r.top, r.right - 1, r.bottom}, sides.right, colour,
                          border_style_);
    }
    if (sides.bottom > 0) {
      CRenderUI::DrawLine(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom - 1}, sides.bottom,
                          colour, border_style_);
    }
    return;
  }
  if (size > 0) {
    CRenderUI::DrawRect(dc, item_rect_, size, GetAdjustColor(border_color_), border_style_);
  }
}

void CControlUI::DoPostPaint(HDC /*dc*/, const RECT& /*paint*/) {}

bool CControlUI::DrawImage(HDC dc, const wchar_t* image, const wchar_t* modify) {
  return CRenderUI::DrawImageString(dc, manager_, item_rect_, paint_rect_, image, modify, nullptr);
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
  if (!color_hsl_) return color;
  short hue = 180;
  short saturation = 100;
  short lightness = 100;
  CPaintManagerUI::GetHSL(&hue, &saturation, &lightness);
  return CRenderUI::AdjustColor(color, hue, saturation, lightness);
}

}  // namespace Vellum
