#include "vellum/controls/ring/ring.h"

#include <objidl.h>

#include <gdiplus.h>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {

void RegisterRingFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CRingUI", &CRingUI::CreateControl);
}

const CControlFamilyRegistrar kRingFamily(&RegisterRingFamily);

}  // namespace

void CRingUI::ImageDeleter::operator()(Gdiplus::Image* image) const { delete image; }

CRingUI::CRingUI() = default;

CRingUI::~CRingUI() { DeleteImage(); }

CControlUI* CRingUI::CreateControl() { return new CRingUI(); }

const wchar_t* CRingUI::GetClass() const { return L"RingUI"; }

LPVOID CRingUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Ring") == 0) return static_cast<CRingUI*>(this);
  return CLabelUI::GetInterface(name);
}

void CRingUI::DeleteImage() {
  image_.reset();
  // Nothing turns without an image: the timer waits for the next image that loads.
  if (manager_) manager_->KillTimer(this, kRingTimerId);
}

void CRingUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && wcscmp(name, L"bkimage") == 0) {
    const wchar_t* image = value ? value : L"";
    if (wcscmp(GetBkImage(), image) != 0) {
      SetBkImage(image);
      DeleteImage();
      Invalidate();
    }
    return;
  }
  CLabelUI::SetAttribute(name, value);
}

void CRingUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER && event.wParam == kRingTimerId) {
    // A tick already queued when the image went: nothing to turn, and no layout to ask for.
    if (!image_) {
      if (manager_) manager_->KillTimer(this, kRingTimerId);
      return;
    }
    // Compared before the step, so a whole turn reads 360 once before it starts again at 36.
    angle_ = (angle_ > 359.0f ? 0.0f : angle_) + kRingStepDegrees;
    NeedParentUpdate();
    return;
  }
  CLabelUI::DoEvent(event);
}

void CRingUI::PaintBkImage(HDC dc) {
  if (!image_ && GetBkImage()[0] != L'\0') {
    TUIImageInfo* loaded = CRenderUI::LoadImageGdiplus(GetBkImage());
    if (loaded && loaded->gdiplus_image) {
      image_.reset(loaded->gdiplus_image);
      loaded->gdiplus_image = nullptr;
      // Without a window the manager would start a thread timer that nothing ever stops.
      if (manager_ && manager_->GetPaintWindow()) {
        manager_->SetTimer(this, kRingTimerId, kRingTimerElapse);
      }
    }
    CRenderUI::FreeImage(loaded);
  }
  if (!image_) return;

  const LONG width = item_rect_.right - item_rect_.left;
  const LONG height = item_rect_.bottom - item_rect_.top;
  float centre_x = static_cast<float>(item_rect_.left) + static_cast<float>(width) / 2;
  float centre_y = static_cast<float>(item_rect_.top) + static_cast<float>(height) / 2;
  // An even size has no middle pixel: turning about the point between the two middle ones keeps
  // the image from wobbling by a pixel as it turns.
  if (width % 2 == 0) centre_x -= 0.5f;
  if (height % 2 == 0) centre_y -= 0.5f;

  Gdiplus::Graphics graphics(dc);
  graphics.TranslateTransform(centre_x, centre_y);
  graphics.RotateTransform(angle_);
  graphics.TranslateTransform(-centre_x, -centre_y);
  graphics.DrawImage(image_.get(), static_cast<INT>(item_rect_.left),
                     static_cast<INT>(item_rect_.top), static_cast<INT>(width),
                     static_cast<INT>(height));
}

}  // namespace Vellum
