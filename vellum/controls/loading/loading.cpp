#include "vellum/controls/loading/loading.h"

#include <objidl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gdiplus.h>

#include "vellum/controls/loading/loading_spokes.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

// 3.14 rather than pi: the spokes keep the positions existing skins were drawn against (the last
// one stops just short of a full turn).
constexpr double kDegreesToRadians = 3.14 / 180.0;
constexpr int kMaxSpokes = 360;

// Decimal, "0x" hexadecimal or leading-0 octal.
int ParseCInteger(const wchar_t* value) {
  return value ? static_cast<int>(wcstol(value, nullptr, 0)) : 0;
}

// A radius or a thickness: no ring is larger than a window can be, and beyond that the platform's
// line drawing would be sent along billions of pixels for every spoke of every frame.
int ParseRingLength(const wchar_t* value) {
  return std::clamp(ParseCInteger(value), -kMaxWindowExtent, kMaxWindowExtent);
}

void RegisterLoadingFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CLoadingUI", &CLoadingUI::CreateControl);
}

const CControlFamilyRegistrar kLoadingFamily(&RegisterLoadingFamily);

}  // namespace

CLoadingUI::CLoadingUI() = default;

CLoadingUI::~CLoadingUI() {
  timer_not_started_ = true;
  if (manager_) manager_->KillTimer(this, kSpinTimerId);
}

CControlUI* CLoadingUI::CreateControl() { return new CLoadingUI(); }

const wchar_t* CLoadingUI::GetClass() const { return L"Loading"; }

LPVOID CLoadingUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Loading") == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLoadingUI::Init() {
  CControlUI::Init();
  spoke_angles_ = BuildSpokeAngles(spoke_count_);
  spoke_colors_ = BuildSpokeColours(color_, spoke_count_);
  const int built = static_cast<int>(spoke_angles_.size());
  if (current_spoke_ >= built) current_spoke_ = 0;
  // A manager without a window would start a thread timer that nothing ever stops.
  if (time_ > 0 && manager_ && manager_->GetPaintWindow() && timer_not_started_) {
    if (manager_->SetTimer(this, kSpinTimerId, static_cast<UINT>(time_))) {
      timer_not_started_ = false;
    }
  }
}

void CLoadingUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER && event.wParam == kSpinTimerId) {
    current_spoke_ = NextSpoke(current_spoke_, static_cast<int>(spoke_angles_.size()));
    Invalidate();
    return;
  }
  CControlUI::DoEvent(event);
}

void CLoadingUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"style") == 0) {
    style_ = ParseAttributeInt(value);
  } else if (_wcsicmp(name, L"time") == 0) {
    time_ = ParseAttributeInt(value);
  } else if (_wcsicmp(name, L"spoke") == 0) {
    // Each spoke holds an angle and a colour and is drawn on every frame: more spokes than
    // degrees in a turn draw nothing more, and a huge count would reserve gigabytes.
    spoke_count_ = std::min(ParseCInteger(value), kMaxSpokes);
  } else if (_wcsicmp(name, L"thickness") == 0) {
    thickness_ = ParseRingLength(value);
  } else if (_wcsicmp(name, L"outradius") == 0) {
    outer_radius_ = ParseRingLength(value);
  } else if (_wcsicmp(name, L"innerradius") == 0) {
    inner_radius_ = ParseRingLength(value);
  } else if (_wcsicmp(name, L"color") == 0) {
    color_ = ParseAttributeColor(value, true);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CLoadingUI::PaintBkImage(HDC dc) {
  const int width = item_rect_.right - item_rect_.left;
  const int height = item_rect_.bottom - item_rect_.top;
  centre_x_ = static_cast<float>(width * 0.5);
  centre_y_ = static_cast<float>(height * 0.5);
  const int count = static_cast<int>(spoke_angles_.size());
  if (count < 1 || width <= 0 || height <= 0) return;
  // The ring is drawn only where it can be seen: a canvas of the whole control would cost memory
  // without bound for a large one.
  RECT clip{};
  RECT area{};
  if (::GetClipBox(dc, &clip) == ERROR || !::IntersectRect(&area, &item_rect_, &clip)) return;

  Gdiplus::Bitmap ring(area.right - area.left, area.bottom - area.top, PixelFormat32bppARGB);
  if (ring.GetLastStatus() != Gdiplus::Ok) return;
  {
    Gdiplus::Graphics canvas(&ring);
    canvas.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    canvas.TranslateTransform(static_cast<Gdiplus::REAL>(item_rect_.left - area.left),
                              static_cast<Gdiplus::REAL>(item_rect_.top - area.top));
    for (int i = 0; i < count; ++i) {
      const double radians = spoke_angles_[(current_spoke_ + i) % count] * kDegreesToRadians;
      const double cosine = std::cos(radians);
      const double sine = std::sin(radians);
      const Gdiplus::PointF inner(static_cast<float>(centre_x_ + inner_radius_ * cosine),
                                  static_cast<float>(centre_y_ + inner_radius_ * sine));
      const Gdiplus::PointF outer(static_cast<float>(centre_x_ + outer_radius_ * cosine),
                                  static_cast<float>(centre_y_ + outer_radius_ * sine));
      Gdiplus::Pen pen(Gdiplus::Color(spoke_colors_[i]), static_cast<Gdiplus::REAL>(thickness_));
      pen.SetStartCap(Gdiplus::LineCapRound);
      pen.SetEndCap(Gdiplus::LineCapRound);
      canvas.DrawLine(&pen, inner, outer);
    }
  }
  Gdiplus::Graphics target(dc);
  target.DrawImage(&ring, static_cast<INT>(area.left), static_cast<INT>(area.top),
                   static_cast<INT>(area.right - area.left), static_cast<INT>(area.bottom - area.top));
}

}  // namespace Vellum
