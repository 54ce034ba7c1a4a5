#pragma once

// A small frame-animation engine that a control mixes in. Each animation has an id, a frame
// period and a frame count, and runs on a manager timer of the owning control whose id is the
// animation id; the mixing control forwards its timer events to OnAnimationElapse, which calls the
// start, step and stop callbacks. The owner is the mixing control itself and outlives the engine's
// use of it; the engine owns only its records.

#include <windows.h>

#include <vector>

namespace Vellum {

class CControlUI;

class IUIAnimation {
 public:
  virtual ~IUIAnimation() = default;
  virtual bool StartAnimation(int elapse, int total_frame, int animation_id, bool loop = false) = 0;
  // 0 stops every animation.
  virtual void StopAnimation(int animation_id = 0) = 0;
  virtual bool IsAnimationRunning(int animation_id) = 0;
  // -1 when that animation is not running.
  virtual int GetCurrentFrame(int animation_id = 0) = 0;
  virtual bool SetCurrentFrame(int frame, int animation_id = 0) = 0;
  virtual void OnAnimationStep(int total_frame, int current_frame, int animation_id) = 0;
  virtual void OnAnimationStart(int animation_id, bool first_loop) = 0;
  virtual void OnAnimationStop(int animation_id) = 0;
  virtual void OnAnimationElapse(int animation_id) = 0;
};

class CUIAnimation : public IUIAnimation {
 public:
  explicit CUIAnimation(CControlUI* owner);
  ~CUIAnimation() override;
  CUIAnimation(const CUIAnimation&) = delete;
  CUIAnimation& operator=(const CUIAnimation&) = delete;

  // False when that id already runs, the period or the frame count is not positive, or the owner's
  // manager cannot start the timer (no owner, no manager, no window).
  bool StartAnimation(int elapse, int total_frame, int animation_id, bool loop = false) override;
  void StopAnimation(int animation_id = 0) override;
  bool IsAnimationRunning(int animation_id) override;
  int GetCurrentFrame(int animation_id = 0) override;
  // False without that animation or for a frame outside 0..total frames.
  bool SetCurrentFrame(int frame, int animation_id = 0) override;
  void OnAnimationStep(int total_frame, int current_frame, int animation_id) override;
  void OnAnimationStart(int animation_id, bool first_loop) override;
  void OnAnimationStop(int animation_id) override;
  // One frame of that animation: start (at frame 0), step, and at the last frame stop, then either
  // a wrap to frame 0 (looping) or the end of the animation.
  void OnAnimationElapse(int animation_id) override;

 protected:
  struct TAnimationData {
    int id;
    int elapse;
    int total_frame;
    int current_frame;
    bool loop;
    bool first_loop;
    // Tells this record from a later one of the same id that a callback started meanwhile.
    unsigned serial;
  };

  // Null when that id does not run. Pointers are valid only until the list changes.
  TAnimationData* FindAnimation(int animation_id);
  // The record of that id only while it is still the run that had that serial.
  TAnimationData* FindRun(int animation_id, unsigned serial);
  void KillAnimationTimer(int animation_id);

  CControlUI* owner_;
  std::vector<TAnimationData> animations_;
  unsigned next_serial_ = 0;
};

}  // namespace Vellum
