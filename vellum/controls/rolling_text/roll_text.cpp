#include "vellum/controls/rolling_text/roll_text.h"

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

// The open side of the measuring rectangle: longer than any text a skin holds.
constexpr LONG kMeasureExtent = 10000;
constexpr UINT kMeasureStyle = DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT;
constexpr UINT kRollStyle = DT_WORDBREAK | DT_EDITCONTROL;

void RegisterRollingTextFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CRollTextUI", &CRollTextUI::CreateControl);
}

const CControlFamilyRegistrar kRollingTextFamily(&RegisterRollingTextFamily);

}  // namespace

CRollTextUI::CRollTextUI() = default;

CRollTextUI::~CRollTextUI() {
  if (manager_) {
    manager_->KillTimer(this, kRollEndTimerId);
    manager_->KillTimer(this, kRollTimerId);
  }
}

CControlUI* CRollTextUI::CreateControl() { return new CRollTextUI(); }

const wchar_t* CRollTextUI::GetClass() const { return L"RollTextUI"; }

LPVOID CRollTextUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"RollText") == 0) return static_cast<CRollTextUI*>(this);
  return CLabelUI::GetInterface(name);
}

void CRollTextUI::SetText(const wchar_t* text) {
  CLabelUI::SetText(text);
  text_extent_ = 0;
}

void CRollTextUI::SetPosAndRemeasure(RECT rect) {
  CLabelUI::SetPos(rect, true);
  text_extent_ = 0;
}

void CRollTextUI::SetRollStep(int step) { step_ = step < 1 ? 1 : step; }

bool CRollTextUI::BeginRoll(int direction, UINT elapse, UINT max_time) {
  EndRoll();
  // Without a window the manager would start a thread timer whose ticks never arrive.
  if (!manager_ || !manager_->GetPaintWindow()) return false;
  direction_ = direction >= kRollLeft && direction <= kRollDown ? direction : kRollLeft;
  scroll_pos_ = 0;
  if (!manager_->SetTimer(this, kRollTimerId, elapse)) return false;
  if (max_time > 0) manager_->SetTimer(this, kRollEndTimerId, max_time);
  rolling_ = true;
  Invalidate();
  return true;
}

void CRollTextUI::EndRoll() {
  rolling_ = false;
  if (!manager_) return;
  manager_->KillTimer(this, kRollEndTimerId);
  manager_->KillTimer(this, kRollTimerId);
}

void CRollTextUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER && event.wParam == kRollTimerId) {
    Invalidate();
    return;
  }
  if (event.type == UIEVENT_TIMER && event.wParam == kRollEndTimerId) {
    // Only the end timer stops: the text keeps scrolling until the program ends the roll, which
    // it may do on this notification.
    if (manager_) {
      manager_->KillTimer(this, kRollEndTimerId);
      manager_->SendNotify(this, L"textrollend", 0, 0);
    }
  }
  CLabelUI::DoEvent(event);
}

void CRollTextUI::PaintText(HDC dc) {
  ResolveDefaultColors();
  const DWORD colour = IsEnabled() ? text_color_ : disabled_text_color_;
  const CUIString text = GetText();
  if (text.IsEmpty()) return;

  const RECT area = GetTextRect();
  const bool horizontal = direction_ == kRollLeft || direction_ == kRollRight;
  auto draw = [&](RECT& rect, DWORD color, UINT style) {
    if (show_html_) {
      int links = 0;
      CRenderUI::DrawHtmlText(dc, manager_, rect, text.GetData(), color, nullptr, nullptr, links,
                              font_, style);
    } else {
      CRenderUI::DrawText(dc, manager_, rect, text.GetData(), color, font_, style);
    }
  };

  if (text_extent_ == 0) {
    RECT measured = area;
    if (horizontal) {
      measured.right += kMeasureExtent;
    } else {
      measured.bottom += kMeasureExtent;
    }
    draw(measured, colour, kMeasureStyle);
    text_extent_ = horizontal ? measured.right - measured.left : measured.bottom - measured.top;
    return;
  }

  const int span = horizontal ? area.right - area.left : area.bottom - area.top;
  // The text starts one span beyond one edge of the area and moves towards the opposite one.
  RECT rect = area;
  switch (direction_) {
    case kRollRight:
      rect.left = area.left - span + scroll_pos_;
      rect.right = rect.left + text_extent_;
      break;
    case kRollUp:
      rect.top = area.top + span - scroll_pos_;
      rect.bottom = rect.top + text_extent_;
      break;
    case kRollDown:
      rect.top = area.top - span + scroll_pos_;
      rect.bottom = rect.top + text_extent_;
      break;
    default:
      rect.left = area.left + span - scroll_pos_;
      rect.right = rect.left + text_extent_;
      break;
  }
  scroll_pos_ += step_;
  if (scroll_pos_ > span + text_extent_) scroll_pos_ = 0;

  // The text moves outside the area on its way in and out: it must not paint over neighbours.
  CClipRegionUI clip;
  CRenderUI::ClipToRect(dc, area, clip);
  draw(rect, colour, kRollStyle);
}

}  // namespace Vellum
