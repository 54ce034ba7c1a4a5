#include "vellum/controls/animation/fade_button.h"

#include <cwchar>

#include "vellum/core/base/ui_events.h"

namespace Vellum {
namespace {

CUIString FadeModifier(int alpha) {
  wchar_t text[32];
  std::swprintf(text, sizeof(text) / sizeof(text[0]), L"fade='%d'", alpha);
  return CUIString(text);
}

}  // namespace

CFadeButtonUI::CFadeButtonUI() : CUIAnimation(this) {}

CFadeButtonUI::~CFadeButtonUI() { StopAnimation(0); }

CControlUI* CFadeButtonUI::CreateControl() { return new CFadeButtonUI(); }

const wchar_t* CFadeButtonUI::GetClass() const { return L"FadeButtonUI"; }

LPVOID CFadeButtonUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"FadeButton") == 0) return static_cast<CFadeButtonUI*>(this);
  return CButtonUI::GetInterface(name);
}

void CFadeButtonUI::SetNormalImage(const wchar_t* image) {
  CButtonUI::SetNormalImage(image);
  last_image_ = GetNormalImage();
}

void CFadeButtonUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER) {
    OnAnimationElapse(static_cast<int>(event.wParam));
    return;
  }
  if (IsEnabled()) {
    if (event.type == UIEVENT_MOUSEENTER && !IsAnimationRunning(kFadeInId)) {
      fade_alpha_ = 0;
      mouse_entered_ = true;
      StopAnimation(kFadeOutId);
      StartAnimation(kFadeElapse, kFadeFrames, kFadeInId);
      Invalidate();
      return;
    }
    if (event.type == UIEVENT_MOUSELEAVE && !IsAnimationRunning(kFadeOutId)) {
      fade_alpha_ = 0;
      mouse_left_ = true;
      StopAnimation(kFadeInId);
      StartAnimation(kFadeElapse, kFadeFrames, kFadeOutId);
      Invalidate();
      return;
    }
  }
  CButtonUI::DoEvent(event);
}

void CFadeButtonUI::OnAnimationStep(int total_frame, int current_frame, int) {
  fade_alpha_ = static_cast<BYTE>(static_cast<double>(current_frame) / total_frame * 255);
  if (fade_alpha_ == 0) fade_alpha_ = 10;
  Invalidate();
}

void CFadeButtonUI::PaintStatusImage(HDC dc) {
  RefreshState(false);

  const wchar_t* state_image = nullptr;
  if ((button_state_ & UISTATE_DISABLED) != 0) {
    state_image = GetDisabledImage();
  } else if ((button_state_ & UISTATE_PUSHED) != 0) {
    state_image = GetPushedImage();
  } else if ((button_state_ & UISTATE_FOCUSED) != 0) {
    state_image = GetFocusedImage();
  }
  if (state_image && state_image[0] != L'\0' && DrawImage(dc, state_image)) return;

  const wchar_t* normal_image = GetNormalImage();
  const wchar_t* hot_image = GetHotImage();
  if (normal_image[0] == L'\0') return;
  if (mouse_entered_) {
    mouse_entered_ = false;
    last_image_ = hot_image;
  }
  if (mouse_left_) {
    mouse_left_ = false;
    last_image_ = normal_image;
  }
  const bool fading_in = IsAnimationRunning(kFadeInId);
  if (fading_in || IsAnimationRunning(kFadeOutId)) {
    old_image_ = fading_in ? normal_image : hot_image;
    new_image_ = fading_in ? hot_image : normal_image;
    DrawImage(dc, old_image_.GetData(), FadeModifier(255 - fade_alpha_).GetData());
    DrawImage(dc, new_image_.GetData(), FadeModifier(fade_alpha_).GetData());
    return;
  }
  DrawImage(dc, last_image_.IsEmpty() ? normal_image : last_image_.GetData());
}

}  // namespace Vellum
