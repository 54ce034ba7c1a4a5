#include "vellum/controls/gif/sequence_frame.h"

#include <cwchar>
#include <string>

#include "vellum/controls/gif/frame_timing.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/control_factory.h"

namespace Vellum {
namespace {

void RegisterSequenceFrameFamily(CControlFactory& factory) {
  factory.RegisterControl(L"CSequenceFrameUI", &CSequenceFrameUI::CreateControl);
}

const CControlFamilyRegistrar g_sequence_frame_family(&RegisterSequenceFrameFamily);

}  // namespace

CSequenceFrameUI::CSequenceFrameUI() = default;
CSequenceFrameUI::~CSequenceFrameUI() = default;

CControlUI* CSequenceFrameUI::CreateControl() { return new CSequenceFrameUI(); }

const wchar_t* CSequenceFrameUI::GetClass() const { return L"SequenceFrameUI"; }

LPVOID CSequenceFrameUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"SequenceFrame") == 0) return this;
  return CControlUI::GetInterface(name);
}

void CSequenceFrameUI::DoInit() {
  // Without a period the first frame shows and stays: a timer of 0 ms would tick at the system's
  // minimum, about every 10 ms.
  if (elapse_ <= 0) {
    OnFrameTimer();
    return;
  }
  // Without a window the manager would start a thread timer that nothing ever stops.
  if (manager_ && manager_->GetPaintWindow()) {
    manager_->SetTimer(this, kTimerId, static_cast<UINT>(elapse_));
  }
}

void CSequenceFrameUI::DoEvent(TUIEvent& event) {
  if (event.type == UIEVENT_TIMER && event.wParam == kTimerId) {
    OnFrameTimer();
    return;
  }
  CControlUI::DoEvent(event);
}

void CSequenceFrameUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const wchar_t* text = value ? value : L"";
  if (wcscmp(name, L"sequenced_frame") == 0) {
    sheet_file_ = text;
  } else if (wcscmp(name, L"elapse") == 0) {
    elapse_ = _wtoi(text);
  } else if (wcscmp(name, L"total_frame") == 0) {
    total_frames_ = _wtoi(text);
  } else if (wcscmp(name, L"frame_width") == 0) {
    frame_width_ = _wtoi(text);
  } else if (wcscmp(name, L"frame_height") == 0) {
    frame_height_ = _wtoi(text);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CSequenceFrameUI::OnFrameTimer() {
  const SequenceFrameStep step =
      StepSequenceFrame(current_frame_, total_frames_, frame_width_, frame_height_);
  current_frame_ = step.next_frame;
  const std::wstring image = L"file='" + std::wstring(sheet_file_.GetData()) + L"' source='" +
                             std::to_wstring(step.source.left) + L"," +
                             std::to_wstring(step.source.top) + L"," +
                             std::to_wstring(step.source.right) + L"," +
                             std::to_wstring(step.source.bottom) + L"'";
  SetBkImage(image.c_str());
  Invalidate();
}

}  // namespace Vellum
