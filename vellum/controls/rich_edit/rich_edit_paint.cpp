// Painting: the control's own background and state images, then the engine's text, the children
// over the text area, the caret where the control draws it itself, the bars, and the tip text.

#include "vellum/controls/rich_edit/rich_edit.h"

#include "vellum/controls/rich_edit/text_host.h"
#include "vellum/core/base_controls/scroll_bar.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {

namespace {

bool Intersects(const RECT& a, const RECT& b) {
  RECT ignored;
  return IntersectRect(&ignored, &a, &b) != FALSE;
}

}  // namespace

bool CRichEditUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stop) {
  RECT area;
  if (!IntersectRect(&area, &paint, &item_rect_)) return true;
  CClipRegionUI clip;
  CRenderUI::ClipToRect(dc, area, clip);
  CControlUI::DoPaint(dc, paint, stop);

  // A text area of no width or height shows no text; the engine is not asked to fit it there.
  const RECT client = host_ != nullptr ? host_->GetClientRect() : RECT{};
  if (host_ != nullptr && host_->GetTextServices() != nullptr && client.right > client.left &&
      client.bottom > client.top) {
    RECTL bounds{client.left, client.top, client.right, client.bottom};
    RECT update = paint;
    host_->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds,
                                     nullptr, &update, nullptr, 0, TXTVIEW_ACTIVE);
    if (vscroll_auto_shown_) {
      const LONG natural = GetNaturalHeight(client.right - client.left);
      if (natural >= 0 && natural <= client.bottom - client.top) NeedUpdate();
    }
  }

  CScrollBarUI* vertical = GetVerticalScrollBar();
  CScrollBarUI* horizontal = GetHorizontalScrollBar();
  if (!items_.IsEmpty()) {
    RECT content = GetContentRect();
    RECT inner;
    if (IntersectRect(&inner, &paint, &content)) {
      CClipRegionUI child_clip;
      CRenderUI::ClipToRect(dc, inner, child_clip);
      for (int i = 0; i < items_.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(items_[i]);
        if (child == stop) return false;
        if (child == nullptr || !child->IsVisible() || !Intersects(paint, child->GetPos())) continue;
        if (!Intersects(item_rect_, child->GetPos())) continue;
        if (!child->Paint(dc, paint, stop)) return false;
      }
    }
  }

  PaintDrawnCaret(dc);

  for (CScrollBarUI* bar : {vertical, horizontal}) {
    if (bar == nullptr || !bar->IsVisible()) continue;
    if (bar == stop) return false;
    if (Intersects(paint, bar->GetPos()) && !bar->Paint(dc, paint, stop)) return false;
  }

  if (!tip_value_.IsEmpty() && !IsFocused() && GetText().IsEmpty()) {
    const RECT padding = ScaleValue(text_padding_);
    RECT rect{item_rect_.left + padding.left, item_rect_.top + padding.top,
              item_rect_.right - padding.right, item_rect_.bottom - padding.bottom};
    UINT style = tip_value_align_;
    if ((style_ & ES_MULTILINE) == 0) style |= DT_VCENTER;
    CRenderUI::DrawText(dc, manager_, rect, tip_value_.GetData(), tip_value_color_, font_, style);
  }
  return true;
}

// A layered window shows no system caret: the control draws a line of the caret's width itself.
void CRichEditUI::PaintDrawnCaret(HDC dc) {
  if (host_ == nullptr || manager_ == nullptr || !manager_->IsLayered()) return;
  if (!IsFocused() || !host_->IsShowCaret() || !caret_phase_) return;
  const POINT caret = host_->GetCaretPos();
  if (!PtInRect(&item_rect_, caret)) return;
  const RECT line{caret.x, caret.y, caret.x + host_->GetCaretWidth(),
                  caret.y + host_->GetCaretHeight()};
  CRenderUI::DrawColor(dc, line, text_color_ | 0xFF000000);
}

void CRichEditUI::PaintStatusImage(HDC dc) {
  if (IsFocused()) {
    button_state_ |= UISTATE_FOCUSED;
  } else {
    button_state_ &= ~UISTATE_FOCUSED;
  }
  if (!IsEnabled()) {
    button_state_ |= UISTATE_DISABLED;
  } else {
    button_state_ &= ~UISTATE_DISABLED;
  }
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    if (!disabled_image_.IsEmpty() && DrawImage(dc, disabled_image_.GetData())) return;
  } else if ((button_state_ & UISTATE_FOCUSED) != 0) {
    if (!focused_image_.IsEmpty() && DrawImage(dc, focused_image_.GetData())) return;
  }
  if (!normal_image_.IsEmpty()) DrawImage(dc, normal_image_.GetData());
}

}  // namespace Vellum
