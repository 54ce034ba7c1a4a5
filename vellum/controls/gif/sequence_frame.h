#pragma once

// Plays a sprite sheet: one image holding equal frames side by side. On each tick of the manager's
// timer kTimerId the control's background image becomes the sheet with the next frame as its
// source. The timer starts at DoInit and runs until the control is destroyed; without a period
// ("elapse") the first frame shows and no timer runs, nor under a manager without a window.
//
// Owned by its container like every control. Attribute names compare case-sensitively.

#include <windows.h>

#include "vellum/core/manager/control.h"

namespace Vellum {

class CSequenceFrameUI : public CControlUI {
 public:
  static constexpr UINT kTimerId = 100;

  CSequenceFrameUI();
  ~CSequenceFrameUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoInit() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

  const CUIString& GetSheetFile() const { return sheet_file_; }
  int GetElapse() const { return elapse_; }
  int GetTotalFrames() const { return total_frames_; }
  int GetCurrentFrame() const { return current_frame_; }
  int GetFrameWidth() const { return frame_width_; }
  int GetFrameHeight() const { return frame_height_; }

 private:
  void OnFrameTimer();

  CUIString sheet_file_;
  int elapse_ = 0;
  int total_frames_ = 0;
  int current_frame_ = 0;
  int frame_width_ = 0;
  int frame_height_ = 0;
};

}  // namespace Vellum
