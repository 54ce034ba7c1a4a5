#include "vellum/controls/gif/gif_anim.h"

#include <objidl.h>
// After objidl.h, which declares what the GDI+ headers use.
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "vellum/controls/gif/frame_timing.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_attribute_values.h"
#include "vellum/core/markup/control_factory.h"
#include "vellum/core/render/render_engine.h"

namespace Vellum {
namespace {


void RegisterGifFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CGifAnimUI", &CGifAnimUI::CreateControl);
}

const CControlFamilyRegistrar g_gif_family(&RegisterGifFamily);

UINT CountFrames(Gdiplus::Image& image) {
  const UINT dimensions = image.GetFrameDimensionsCount();
  if (dimensions == 0) return 0;
  std::vector<GUID> ids(dimensions);
  if (image.GetFrameDimensionsList(ids.data(), dimensions) != Gdiplus::Ok) return 0;
  return image.GetFrameCount(&ids[0]);
}

std::vector<UINT> ReadDelayProperty(Gdiplus::Image& image) {
  const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return {};
  std::vector<uint8_t> block(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(block.data());
  if (image.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return {};
  // The value normally follows the header in the same block; never read past either the stated
  // length or the block.
  const auto* value = static_cast<const uint8_t*>(item->value);
  const uint8_t* end = block.data() + block.size();
  if (value < block.data() || value > end) return {};
  size_t length = item->length;
  if (length > static_cast<size_t>(end - value)) length = static_cast<size_t>(end - value);
  return ReadFrameDelays(value, length);
}

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
  // No Invalidate here: the ancestors may be half destroyed already.
  if (manager_ && playing_) manager_->KillTimer(this, kTimerId);
  playing_ = false;
  ReleaseGif();
}

CControlUI* CGifAnimUI::CreateControl() { return new CGifAnimUI(); }

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

LPVOID CGifAnimUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"GifAnim") == 0) return this;
  return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (visible) {
    PlayGif();
  } else {
    StopGif();
  }
}

void CGifAnimUI::DoInit() { LoadGif(); }

void CGifAnimUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER && event.wParam == kTimerId) OnFrameTimer();
}

void CGifAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"bkimage") == 0) {
    SetImageFile(value);
  } else if (_wcsicmp(name, L"autoplay") == 0) {
    SetAutoPlay(ParseAttributeBool(value));
  } else if (_wcsicmp(name, L"autosize") == 0) {
    SetAutoSize(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CGifAnimUI::SetImageFile(const wchar_t* file) {
  if (image_file_ == (file ? file : L"")) return;
  image_file_ = file;
  // The timer goes first: a frame step must never run between the release and the next load.
  StopGif();
  ReleaseGif();
  Invalidate();
}

void CGifAnimUI::PlayGif() {
  if (playing_ || image_ == nullptr || frame_count_ < 2 || manager_ == nullptr) return;
  // Without a window the manager would start a thread timer that nothing ever stops.
  if (manager_->GetPaintWindow() == nullptr) return;
  if (!manager_->SetTimer(this, kTimerId, FrameDelayMs(delays_, current_frame_))) return;
  playing_ = true;
}

void CGifAnimUI::StopGif() {
  if (!playing_) return;
  if (manager_) manager_->KillTimer(this, kTimerId);
  current_frame_ = 0;
  playing_ = false;
  Invalidate();
}

void CGifAnimUI::OnFrameTimer() {
  if (manager_) manager_->KillTimer(this, kTimerId);
  // A tick that was already queued when the image went away: nothing left to step.
  if (!playing_ || image_ == nullptr || frame_count_ < 2 || manager_ == nullptr ||
      manager_->GetPaintWindow() == nullptr) {
    playing_ = false;
    return;
  }
  Invalidate();
  current_frame_ = NextFrame(current_frame_, frame_count_);
  if (!manager_->SetTimer(this, kTimerId, FrameDelayMs(delays_, current_frame_))) playing_ = false;
}

void CGifAnimUI::LoadGif() {
  if (image_ != nullptr || image_file_.IsEmpty()) return;
  TUIImageInfo* loaded = CRenderUI::LoadImageGdiplus(image_file_.GetData());
  if (loaded == nullptr) return;
  if (loaded->gdiplus_image == nullptr) {
    CRenderUI::FreeImage(loaded);
    return;
  }
  image_ = loaded;
  Gdiplus::Image& gif = *image_->gdiplus_image;
  frame_count_ = CountFrames(gif);
  current_frame_ = 0;
  delays_.clear();
  if (frame_count_ > 1) delays_ = ReadDelayProperty(gif);
  if (auto_size_) {
    SetFixedWidth(static_cast<int>(gif.GetWidth()));
    SetFixedHeight(static_cast<int>(gif.GetHeight()));
  }
  if (auto_play_) PlayGif();
}

void CGifAnimUI::ReleaseGif() {
  if (image_ != nullptr) CRenderUI::FreeImage(image_);
  image_ = nullptr;
  frame_count_ = 0;
  current_frame_ = 0;
  delays_.clear();
}

bool CGifAnimUI::DoPaint(HDC dc, const RECT& paint, CControlUI* /*stop*/) {
  RECT area;
  if (!::IntersectRect(&area, &paint, &item_rect_)) return true;
  if (image_ == nullptr) LoadGif();
  if (image_ == nullptr || image_->gdiplus_image == nullptr) return true;
  Gdiplus::Image* gif = image_->gdiplus_image;
  // Selected before drawing, so the frame on screen is the one whose delay is running.
  if (frame_count_ > 1) gif->SelectActiveFrame(&Gdiplus::FrameDimensionTime, current_frame_);
  Gdiplus::Graphics graphics(dc);
  graphics.SetClip(Gdiplus::Rect(area.left, area.top, area.right - area.left, area.bottom - area.top),
                   Gdiplus::CombineModeIntersect);
  graphics.DrawImage(gif, static_cast<INT>(item_rect_.left), static_cast<INT>(item_rect_.top),
                     static_cast<INT>(item_rect_.right - item_rect_.left),
                     static_cast<INT>(item_rect_.bottom - item_rect_.top));
  return true;
}

}  // namespace Vellum
