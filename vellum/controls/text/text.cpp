#include "vellum/controls/text/text.h"

#include "vellum/core/base/dpi_scaler.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// The open side of the measuring rectangle: room for any text a skin holds.
constexpr LONG kMeasureExtent = 9999;

void RegisterTextFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CTextUI", &CTextUI::CreateControl);
}

const CControlFamilyRegistrar g_text_family(&RegisterTextFamily);

}  // namespace

CTextUI::CTextUI() {
  text_padding_ = RECT{2, 0, 2, 0};
  text_style_ = DT_WORDBREAK;
}

CTextUI::~CTextUI() = default;

CControlUI* CTextUI::CreateControl() { return new CTextUI(); }

const wchar_t* CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"Text") == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const {
  return IsEnabled() && link_count_ > 0 ? UIFLAG_SETCURSOR : 0;
}

RECT CTextUI::GetLinkRect(int index) const {
  if (index < 0 || index >= link_count_) return RECT{};
  return link_rects_[index];
}

CUIString CTextUI::GetLinkText(int index) const {
  if (index < 0 || index >= link_count_) return CUIString();
  return link_texts_[index];
}

int CTextUI::LinkAt(POINT point) const {
  for (int i = 0; i < link_count_; ++i) {
    if (::PtInRect(&link_rects_[i], point)) return i;
  }
  return -1;
}

void CTextUI::DoEvent(TUIEvent& event) {
  if (IsMouseEvent(event.type) && !IsMouseEnabled()) {
    if (parent_) {
      parent_->DoEvent(event);
    } else {
      CLabelUI::DoEvent(event);
    }
    return;
  }
  switch (event.type) {
    case UIEVENT_SETCURSOR:
      if (LinkAt(event.mouse_point) >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && LinkAt(event.mouse_point) >= 0) {
        Invalidate();
        return;
      }
      break;
    case UIEVENT_BUTTONUP:
      if (IsEnabled()) {
        const int link = LinkAt(event.mouse_point);
        if (link >= 0) {
          if (manager_) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link));
          return;
        }
      }
      break;
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_MOUSEMOVE:
      if (IsEnabled() && link_count_ > 0) {
        const int link = LinkAt(event.mouse_point);
        if (link != hovered_link_) {
          hovered_link_ = link;
          Invalidate();
        }
        return;
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled() && link_count_ > 0 && hovered_link_ >= 0) {
        hovered_link_ = -1;
        Invalidate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE available) {
  // The measured height is of no use here: a text control's height is the skin's to fix.
  if (auto_calc_width_ && manager_) {
    const CUIString text = GetText();
    const LONG left = ScaleValue(text_padding_.left);
    const LONG right = ScaleValue(text_padding_.right);
    RECT measured{left, 0, kMeasureExtent - right, kMeasureExtent};
    const UINT style = text_style_ | DT_CALCRECT;
    if (show_html_) {
      int no_links = 0;
      CRenderUI::DrawHtmlText(manager_->GetPaintDC(), manager_, measured, text.GetData(), 0,
                              nullptr, nullptr, no_links, font_, style);
    } else {
      CRenderUI::DrawText(manager_->GetPaintDC(), manager_, measured, text.GetData(), 0, font_,
                          style);
    }
    const int scale = manager_->GetDpiScaler()->GetScale();
    const int width = (measured.right - measured.left + left + right) * 100 / (scale > 0 ? scale : 100);
    // Set only on a change: SetFixedWidth asks for a new layout, and this runs inside one.
    if (width != fixed_width_) SetFixedWidth(width);
  }
  return CControlUI::EstimateSize(available);
}

void CTextUI::PaintText(HDC dc) {
  const CUIString text = GetText();
  if (text.IsEmpty()) {
    link_count_ = 0;
    return;
  }
  ResolveDefaultColors();
  // The scaled padding, as the label paints and as the estimate measures: the text wraps where it
  // was measured at every DPI.
  RECT rect = GetTextRect();
  const DWORD color = IsEnabled() ? text_color_ : disabled_text_color_;
  if (show_html_) {
    int count = kMaxLinks;
    CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), color, link_rects_, link_texts_,
                            count, font_, text_style_);
    link_count_ = count;
  } else {
    CRenderUI::DrawText(dc, manager_, rect, text.GetData(), color, font_, text_style_);
    link_count_ = 0;
  }
  if (hovered_link_ >= link_count_) hovered_link_ = -1;
}

}  // namespace Vellum
