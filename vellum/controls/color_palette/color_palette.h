#pragma once

// Lets the user pick a colour with the mouse: a hue-by-lightness field (the pallet) in the upper
// part and a saturation bar along the bottom edge, each with a small thumb image on the current
// choice. Releasing the mouse sends "colorchanged" with the colour in wParam. Owned by its parent
// container like every control.
//
// Both strips live in a 32-bit DIB section of the control's own (see hsl_strips.h), recomputed
// whenever hue, lightness or saturation change and stretched onto the window when painting; a DIB
// keeps the colours exact whatever the display's depth. The DIB and its memory DC are made by
// DoInit and freed by the destructor.

#include <windows.h>

#include "vellum/core/manager/control.h"

namespace Vellum {

class CColorPaletteUI : public CControlUI {
 public:
  CColorPaletteUI();
  ~CColorPaletteUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void DoInit() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkColor(HDC dc) override;

  // --- virtual operations added by the colour palette ---
  // Stretches both strips onto the control and draws the two thumbs.
  virtual void PaintPallet(HDC dc);

  // The chosen colour, opaque.
  DWORD GetSelectColor() const;
  int GetHue() const { return hue_; }
  int GetSaturation() const { return saturation_; }
  int GetLightness() const { return lightness_; }

  int GetPalletHeight() const { return pallet_height_; }
  // In pixels, not scaled; takes effect at the next layout.
  void SetPalletHeight(int height);
  int GetBarHeight() const { return bar_height_; }
  // Held to 0..150: the bar's rows of the strip bitmap end there.
  void SetBarHeight(int height);
  const wchar_t* GetThumbImage() const { return thumb_image_.GetData(); }
  void SetThumbImage(const wchar_t* image);
  POINT GetPalletThumb() const { return pallet_thumb_; }

  // The strip bitmap (a 32-bit DIB section) and the memory DC it is selected into; null before
  // DoInit.
  HBITMAP GetStripBitmap() const { return bitmap_; }
  HDC GetStripDC() const { return memory_dc_; }

 private:
  void UpdatePallet();
  void UpdateBar();
  // Hue, lightness and the pallet thumb from a point of the pallet.
  void TakePalletPoint(POINT point);
  void TakeBarPoint(POINT point);

  HDC memory_dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ replaced_bitmap_ = nullptr;
  BITMAP bitmap_info_{};
  BYTE* bits_ = nullptr;
  UINT button_state_ = 0;
  bool bar_drag_ = false;
  bool pallet_drag_ = false;
  int hue_ = 180;
  int saturation_ = 200;
  int lightness_ = 100;
  int pallet_height_ = 200;
  int bar_height_ = 10;
  POINT pallet_thumb_{0, 0};
  CUIString thumb_image_;
};

}  // namespace Vellum
