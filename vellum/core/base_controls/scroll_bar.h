#pragma once

// A self-drawn scroll bar: two arrow buttons, a thumb, a rail centred on the thumb and a
// background, each with images per state. A bar that belongs to a container (its owner) turns
// mouse input into the owner's line, page and position operations; a free bar moves its own
// position. Holding a button, the rail or the thumb is driven by a 50 ms manager timer.

#include <windows.h>

#include <cstdint>

#include "vellum/core/manager/control.h"
#include "vellum/core/base/ui_string.h"

namespace Vellum {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  // The manager timer of the held button, rail or thumb, and its period.
  static constexpr UINT kRepeatTimerId = 10;
  static constexpr UINT kRepeatElapse = 50;
  // Timer ticks after a button down before a held button or rail repeats.
  static constexpr int kRepeatDelayTicks = 5;
  // Outline of a button or the thumb that has no image to draw.
  static constexpr DWORD kOutlineColor = 0xFF85E4FF;

  CScrollBarUI();
  ~CScrollBarUI() override;

  static CControlUI* CreateControl();

  CContainerUI* GetOwner() const;
  void SetOwner(CContainerUI* owner);

  bool IsShown() const;
  void SetShow(bool show);
  bool IsHorizontal() const;
  void SetHorizontal(bool horizontal = true);
  int64_t GetScrollRange() const;
  void SetScrollRange(int64_t range);
  int64_t GetScrollPos() const;
  void SetScrollPos(int64_t pos);
  int GetLineSize() const;
  void SetLineSize(int size);

  bool GetShowButton1() const;
  void SetShowButton1(bool show);
  bool GetShowButton2() const;
  void SetShowButton2(bool show);

  const wchar_t* GetButton1NormalImage() const;
  void SetButton1NormalImage(const wchar_t* image);
  const wchar_t* GetButton1HotImage() const;
  void SetButton1HotImage(const wchar_t* image);
  const wchar_t* GetButton1PushedImage() const;
  void SetButton1PushedImage(const wchar_t* image);
  const wchar_t* GetButton1DisabledImage() const;
  void SetButton1DisabledImage(const wchar_t* image);
  const wchar_t* GetButton2NormalImage() const;
  void SetButton2NormalImage(const wchar_t* image);
  const wchar_t* GetButton2HotImage() const;
  void SetButton2HotImage(const wchar_t* image);
  const wchar_t* GetButton2PushedImage() const;
  void SetButton2PushedImage(const wchar_t* image);
  const wchar_t* GetButton2DisabledImage() const;
  void SetButton2DisabledImage(const wchar_t* image);
  const wchar_t* GetThumbNormalImage() const;
  void SetThumbNormalImage(const wchar_t* image);
  const wchar_t* GetThumbHotImage() const;
  void SetThumbHotImage(const wchar_t* image);
  const wchar_t* GetThumbPushedImage() const;
  void SetThumbPushedImage(const wchar_t* image);
  const wchar_t* GetThumbDisabledImage() const;
  void SetThumbDisabledImage(const wchar_t* image);
  const wchar_t* GetRailNormalImage() const;
  void SetRailNormalImage(const wchar_t* image);
  const wchar_t* GetRailHotImage() const;
  void SetRailHotImage(const wchar_t* image);
  const wchar_t* GetRailPushedImage() const;
  void SetRailPushedImage(const wchar_t* image);
  const wchar_t* GetRailDisabledImage() const;
  void SetRailDisabledImage(const wchar_t* image);
  const wchar_t* GetBkNormalImage() const;
  void SetBkNormalImage(const wchar_t* image);
  const wchar_t* GetBkHotImage() const;
  void SetBkHotImage(const wchar_t* image);
  const wchar_t* GetBkPushedImage() const;
  void SetBkPushedImage(const wchar_t* image);
  const wchar_t* GetBkDisabledImage() const;
  void SetBkDisabledImage(const wchar_t* image);

  // The parts as laid out by the last SetPos, in window coordinates.
  const RECT& GetButton1Rect() const { return button1_rect_; }
  const RECT& GetButton2Rect() const { return button2_rect_; }
  const RECT& GetThumbRect() const { return thumb_rect_; }
  UINT GetButton1State() const { return button1_state_; }
  UINT GetButton2State() const { return button2_state_; }
  UINT GetThumbState() const { return thumb_state_; }

  // --- CControlUI overrides ---
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void SetFocus() override;
  void DoEvent(TUIEvent& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop) override;

  void PaintBk(HDC dc);
  void PaintButton1(HDC dc);
  void PaintButton2(HDC dc);
  void PaintThumb(HDC dc);
  void PaintRail(HDC dc);

 private:
  void StepLineBack();
  void StepLineForward();
  void StepPageBack();
  void StepPageForward();
  // Draws the first of the disabled, pushed and hot images that is set and draws, else normal.
  bool DrawStateImage(HDC dc, UINT state, const CUIString& normal, const CUIString& hot,
                      const CUIString& pushed, const CUIString& disabled, const wchar_t* modify);
  // The "dest" modify text of a part rectangle, relative to the bar and unscaled.
  CUIString MakeDestModify(const RECT& part);
  // Draws a button or the thumb in its state's image, or an outline where no image draws.
  void PaintPart(HDC dc, const RECT& part, UINT state, const CUIString& normal,
                 const CUIString& hot, const CUIString& pushed, const CUIString& disabled);
  void HandleTimer();

  bool shown_ = true;
  bool horizontal_ = false;
  int64_t range_ = 0;
  int64_t position_ = 0;
  int line_size_ = 8;
  CContainerUI* owner_ = nullptr;
  POINT last_mouse_{0, 0};
  int64_t last_position_ = 0;
  int64_t last_offset_ = 0;
  int repeat_count_ = 0;
  // Guards DoEvent against handing an event back and forth with its owner without end.
  int event_depth_ = 0;

  bool show_button1_ = true;
  RECT button1_rect_{0, 0, 0, 0};
  UINT button1_state_ = 0;
  CUIString button1_normal_image_;
  CUIString button1_hot_image_;
  CUIString button1_pushed_image_;
  CUIString button1_disabled_image_;

  bool show_button2_ = true;
  RECT button2_rect_{0, 0, 0, 0};
  UINT button2_state_ = 0;
  CUIString button2_normal_image_;
  CUIString button2_hot_image_;
  CUIString button2_pushed_image_;
  CUIString button2_disabled_image_;

  RECT thumb_rect_{0, 0, 0, 0};
  UINT thumb_state_ = 0;
  CUIString thumb_normal_image_;
  CUIString thumb_hot_image_;
  CUIString thumb_pushed_image_;
  CUIString thumb_disabled_image_;

  CUIString rail_normal_image_;
  CUIString rail_hot_image_;
  CUIString rail_pushed_image_;
  CUIString rail_disabled_image_;

  CUIString bk_normal_image_;
  CUIString bk_hot_image_;
  CUIString bk_pushed_image_;
  CUIString bk_disabled_image_;

  CUIString image_modify_;
};

}  // namespace Vellum
