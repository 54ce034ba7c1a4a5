#pragma once

// Plays a multi-frame image (an animated GIF) through GDI+, each frame for the delay the image
// stores, on the manager's timer kTimerId. The image is loaded at DoInit or at the first paint that
// needs it; a new "bkimage" stops playing before the old image is released, and the new file is
// loaded at the next paint.
//
// Owned by its container like every control; the loaded image is owned here.

#include <windows.h>

#include <vector>

#include "vellum/core/manager/control.h"

namespace Vellum {

struct TUIImageInfo;

class CGifAnimUI : public CControlUI {
 public:
  static constexpr UINT kTimerId = 100;

  CGifAnimUI();
  ~CGifAnimUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetVisible(bool visible = true) override;
  void DoInit() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  // Starts the frame timer; nothing when playing already, without an image, with one frame, or
  // under a manager without a window.
  void PlayGif();
  // Stops the timer and goes back to the first frame.
  void StopGif();

  // A plain file name (skin or path), not an image description.
  const CUIString& GetImageFile() const { return image_file_; }
  void SetImageFile(const wchar_t* file);
  bool IsAutoPlay() const { return auto_play_; }
  void SetAutoPlay(bool auto_play) { auto_play_ = auto_play; }
  bool IsAutoSize() const { return auto_size_; }
  void SetAutoSize(bool auto_size) { auto_size_ = auto_size; }

  bool IsLoaded() const { return image_ != nullptr; }
  bool IsPlaying() const { return playing_; }
  UINT GetFrameCount() const { return frame_count_; }
  UINT GetCurrentFrame() const { return current_frame_; }
  // The delays (hundredths of a second) as the image stores them; empty for a single frame.
  const std::vector<UINT>& GetFrameDelays() const { return delays_; }

 private:
  void LoadGif();
  void ReleaseGif();
  void OnFrameTimer();

  TUIImageInfo* image_ = nullptr;
  UINT frame_count_ = 0;
  UINT current_frame_ = 0;
  std::vector<UINT> delays_;
  CUIString image_file_;
  bool auto_play_ = true;
  bool auto_size_ = false;
  bool playing_ = false;
};

}  // namespace Vellum
