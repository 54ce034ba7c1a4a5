#include "vellum/controls/animation/ui_animation.h"

#include <algorithm>

#include "vellum/core/manager/control.h"
#include "vellum/core/manager/paint_manager.h"

namespace Vellum {

CUIAnimation::CUIAnimation(CControlUI* owner) : owner_(owner) {}

CUIAnimation::~CUIAnimation() = default;

CUIAnimation::TAnimationData* CUIAnimation::FindAnimation(int animation_id) {
  for (TAnimationData& data : animations_) {
    if (data.id == animation_id) return &data;
  }
  return nullptr;
}

CUIAnimation::TAnimationData* CUIAnimation::FindRun(int animation_id, unsigned serial) {
  TAnimationData* data = FindAnimation(animation_id);
  return data && data->serial == serial ? data : nullptr;
}

void CUIAnimation::KillAnimationTimer(int animation_id) {
  CPaintManagerUI* manager = owner_ ? owner_->GetManager() : nullptr;
  if (manager) manager->KillTimer(owner_, static_cast<UINT>(animation_id));
}

bool CUIAnimation::StartAnimation(int elapse, int total_frame, int animation_id, bool loop) {
  if (FindAnimation(animation_id) || elapse <= 0 || total_frame <= 0 || !owner_) return false;
  CPaintManagerUI* manager = owner_->GetManager();
  // Without a window the manager would start a thread timer that no event ever reaches and
  // nothing ever stops.
  if (!manager || !manager->GetPaintWindow()) return false;
  if (!manager->SetTimer(owner_, static_cast<UINT>(animation_id), static_cast<UINT>(elapse))) {
    return false;
  }
  animations_.push_back({animation_id, elapse, total_frame, 0, loop, true, ++next_serial_});
  return true;
}

void CUIAnimation::StopAnimation(int animation_id) {
  if (!owner_) return;
  if (animation_id != 0) {
    auto it = std::find_if(animations_.begin(), animations_.end(),
                           [animation_id](const TAnimationData& d) { return d.id == animation_id; });
    if (it == animations_.end()) return;
    KillAnimationTimer(animation_id);
    animations_.erase(it);
    return;
  }
  // Taken out first: the list is empty whatever the manager does while timers are stopped.
  std::vector<TAnimationData> stopping;
  stopping.swap(animations_);
  for (const TAnimationData& data : stopping) KillAnimationTimer(data.id);
}

bool CUIAnimation::IsAnimationRunning(int animation_id) {
  return FindAnimation(animation_id) != nullptr;
}

int CUIAnimation::GetCurrentFrame(int animation_id) {
  const TAnimationData* data = FindAnimation(animation_id);
  return data ? data->current_frame : -1;
}

bool CUIAnimation::SetCurrentFrame(int frame, int animation_id) {
  TAnimationData* data = FindAnimation(animation_id);
  if (!data || frame < 0 || frame > data->total_frame) return false;
  data->current_frame = frame;
  return true;
}

void CUIAnimation::OnAnimationStep(int, int, int) {}
void CUIAnimation::OnAnimationStart(int, bool) {}
void CUIAnimation::OnAnimationStop(int) {}

void CUIAnimation::OnAnimationElapse(int animation_id) {
  if (!owner_) return;
  TAnimationData* data = FindAnimation(animation_id);
  if (!data) return;
  // Every callback may start or stop animations, which moves or frees records: the record is
  // looked up again after each one, and a run that was stopped (or replaced by a new run of the
  // same id) is left alone from then on.
  const unsigned serial = data->serial;
  const int frame = data->current_frame;
  const int total = data->total_frame;
  if (frame == 0) {
    const bool first_loop = data->first_loop;
    data->first_loop = false;
    OnAnimationStart(animation_id, first_loop);
    if (!FindRun(animation_id, serial)) return;
  }
  OnAnimationStep(total, frame, animation_id);
  if (!FindRun(animation_id, serial)) return;
  if (frame >= total) {
    OnAnimationStop(animation_id);
    data = FindRun(animation_id, serial);
    if (!data) return;
    if (data->loop) {
      data->current_frame = 0;
    } else {
      StopAnimation(animation_id);
      return;
    }
  }
  data = FindRun(animation_id, serial);
  if (data) ++data->current_frame;
}

}  // namespace Vellum
