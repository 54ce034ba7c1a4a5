#pragma once

// A busy indicator: a ring of spokes around the control's centre whose colours step round by one
// spoke on every tick of a control timer. The ring is drawn in the background-image step, so a
// background colour still paints beneath it. Owned by its parent container like every control.
//
// The attributes take effect at the next Init, which builds the tables; a later Init builds them
// again but never starts a second timer.

#include <windows.h>

#include <vector>

#include "vellum/core/manager/control.h"

namespace Vellum {

class CLoadingUI : public CControlUI {
 public:
  // The control timer that steps the ring.
  static constexpr UINT kSpinTimerId = 100;

  CLoadingUI();
  ~CLoadingUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void Init() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkImage(HDC dc) override;

  int GetStyle() const { return style_; }
  int GetTime() const { return time_; }
  int GetSpokeCount() const { return spoke_count_; }
  int GetThickness() const { return thickness_; }
  int GetOuterRadius() const { return outer_radius_; }
  int GetInnerRadius() const { return inner_radius_; }
  DWORD GetColor() const { return color_; }
  // The rotation position: spoke colour 0 is drawn at this angle.
  int GetCurrentSpoke() const { return current_spoke_; }
  // The tables of the last Init (empty before it, or when it had fewer than one spoke).
  const std::vector<double>& GetSpokeAngles() const { return spoke_angles_; }
  const std::vector<DWORD>& GetSpokeColors() const { return spoke_colors_; }

 private:
  int style_ = 0;
  int time_ = 100;
  bool timer_not_started_ = true;
  int spoke_count_ = 10;
  int thickness_ = 4;
  int current_spoke_ = 0;
  int outer_radius_ = 10;
  int inner_radius_ = 8;
  float centre_x_ = 0.0f;
  float centre_y_ = 0.0f;
  DWORD color_ = 0xFF000000;
  // Built together at Init: stepping and painting go by their size, never by spoke_count_, which
  // an attribute may have changed since.
  std::vector<DWORD> spoke_colors_;
  std::vector<double> spoke_angles_;
};

}  // namespace Vellum
