#include "vellum/controls/list/list_header_item_core.h"

#include "vellum/controls/list/list_header_geometry.h"
#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// The list (the header's parent) lays its rows out against the new columns.
void RelayoutList(CControlUI& item) {
  if (CControlUI* header = item.GetParent()) header->NeedParentUpdate();
}

}  // namespace

bool HandleListHeaderItemEvent(CControlUI& item, TListHeaderItemCore& core, TUIEvent& event,
                               const wchar_t* click_notify) {
  CPaintManagerUI* manager = item.GetManager();
  switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      item.Invalidate();
      return true;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!item.IsEnabled()) return true;
      if (HeaderSeparatorHit(item.GetPos(), core.sep_width, event.mouse_point)) {
        if (core.dragable) {
          core.state |= UISTATE_CAPTURED;
          core.last_drag_point = event.mouse_point;
        }
      } else {
        core.state |= UISTATE_PUSHED;
        if (manager) manager->SendNotify(&item, click_notify);
        item.Invalidate();
      }
      return true;
    case UIEVENT_BUTTONUP:
      if ((core.state & UISTATE_CAPTURED) != 0) {
        core.state &= ~UISTATE_CAPTURED;
        RelayoutList(item);
      } else if ((core.state & UISTATE_PUSHED) != 0) {
        core.state &= ~UISTATE_PUSHED;
        item.Invalidate();
      }
      return true;
    case UIEVENT_MOUSEMOVE:
      if ((core.state & UISTATE_CAPTURED) != 0) {
        const int dx = event.mouse_point.x - core.last_drag_point.x;
        const int width =
            DraggedColumnWidth(item.GetPos(), core.sep_width, dx, item.GetPadding().right);
        if (width > item.GetMinWidth()) {
          // The fixed width is kept as written for 96 DPI and scaled when read, so the pointer's
          // device pixels go back to that unit before they are stored.
          CDpiScaler* scaler = manager ? manager->GetDpiScaler() : nullptr;
          item.SetFixedWidth(scaler ? scaler->Unscale(width) : width);
          core.last_drag_point = event.mouse_point;
          RelayoutList(item);
        }
      }
      return true;
    case UIEVENT_SETCURSOR:
      if (item.IsEnabled() && core.dragable &&
          HeaderSeparatorHit(item.GetPos(), core.sep_width, event.mouse_point)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return true;
      }
      return false;
    case UIEVENT_MOUSEENTER:
      if (item.IsEnabled()) {
        core.state |= UISTATE_HOT;
        item.Invalidate();
      }
      return true;
    case UIEVENT_MOUSELEAVE:
      if (item.IsEnabled()) {
        core.state &= ~UISTATE_HOT;
        item.Invalidate();
      }
      return true;
    default:
      return false;
  }
}

void PaintListHeaderItemImages(CControlUI& item, HDC dc, TListHeaderItemCore& core) {
  if (item.IsFocused()) {
    core.state |= UISTATE_FOCUSED;
  } else {
    core.state &= ~UISTATE_FOCUSED;
  }

  const CUIString* state_image = nullptr;
  if ((core.state & UISTATE_PUSHED) != 0) {
    state_image = &core.pushed_image;
  } else if ((core.state & UISTATE_HOT) != 0) {
    state_image = &core.hot_image;
  } else if ((core.state & UISTATE_FOCUSED) != 0) {
    state_image = &core.focused_image;
  }
  if (state_image) {
    if (state_image->IsEmpty() && !core.normal_image.IsEmpty()) {
      item.DrawImage(dc, core.normal_image.GetData());
    }
    if (!state_image->IsEmpty()) item.DrawImage(dc, state_image->GetData());
  } else if (!core.normal_image.IsEmpty()) {
    item.DrawImage(dc, core.normal_image.GetData());
  }

  if (core.sep_image.IsEmpty()) return;
  const RECT& pos = item.GetPos();
  RECT strip = HeaderSeparatorStrip(pos, core.sep_width);
  OffsetRect(&strip, -pos.left, -pos.top);
  // Image destinations are written for 96 DPI, like every skin geometry.
  CPaintManagerUI* manager = item.GetManager();
  if (CDpiScaler* scaler = manager ? manager->GetDpiScaler() : nullptr) scaler->Unscale(&strip);
  core.sep_modify.Format(L"dest='%d,%d,%d,%d'", static_cast<int>(strip.left),
                         static_cast<int>(strip.top), static_cast<int>(strip.right),
                         static_cast<int>(strip.bottom));
  item.DrawImage(dc, core.sep_image.GetData(), core.sep_modify.GetData());
}

void PaintListHeaderItemText(CControlUI& item, HDC dc, TListHeaderItemCore& core,
                             int leading_width, UINT style) {
  CPaintManagerUI* manager = item.GetManager();
  if (core.text_color == 0 && manager) core.text_color = manager->GetDefaultFontColor();
  const CUIString text = item.GetText();
  if (text.IsEmpty()) return;
  const RECT& pos = item.GetPos();
  const RECT& padding = core.text_padding;
  RECT rect{pos.left + padding.left + leading_width, pos.top + padding.top,
            pos.right - padding.right, pos.bottom - padding.bottom};
  if (core.show_html) {
    int links = 0;
    CRenderUI::DrawHtmlText(dc, manager, rect, text.GetData(), core.text_color, nullptr, nullptr,
                            links, core.font, style);
  } else {
    CRenderUI::DrawText(dc, manager, rect, text.GetData(), core.text_color, core.font, style);
  }
}

}  // namespace Vellum
