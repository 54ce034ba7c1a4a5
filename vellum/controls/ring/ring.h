#pragma once

// A busy indicator: a label whose background image ("bkimage", a plain file name) turns about its
// centre by 36 degrees every 100 ms. The image is loaded through GDI+ at the first paint, and that
// paint starts the turning timer (under a manager with a window); the timer stops when the image
// goes and starts again with the next image that loads. Owned by its parent container like every control; it owns its
// loaded image.

#include <windows.h>

#include <memory>

#include "vellum/core/base_controls/label.h"

namespace Gdiplus {
class Image;
}

namespace Vellum {

class CRingUI : public CLabelUI {
 public:
  static constexpr UINT kRingTimerId = 100;
  static constexpr UINT kRingTimerElapse = 100;
  static constexpr float kRingStepDegrees = 36.0f;

  CRingUI();
  ~CRingUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkImage(HDC dc) override;

  float GetAngle() const { return angle_; }
  bool HasImage() const { return image_ != nullptr; }

 private:
  struct ImageDeleter {
    void operator()(Gdiplus::Image* image) const;
  };

  void DeleteImage();

  float angle_ = 0.0f;
  std::unique_ptr<Gdiplus::Image, ImageDeleter> image_;
};

}  // namespace Vellum
