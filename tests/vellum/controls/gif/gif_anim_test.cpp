#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/vellum/controls/gif/gif_fixture.h"
#include "tests/vellum/support/dib_surface.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/gif/frame_timing.h"
#include "vellum/controls/gif/gif_anim.h"
#include "vellum/controls/gif/sequence_frame.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/markup/dialog_builder.h"

namespace {

using namespace Vellum;
using testing_support::EncodeGif;
using testing_support::GifFrame;
using testing_support::ManagedWindow;
using testing_support::Surface;
using testing_support::TempFile;
using testing_support::TestContainer;

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
const RECT kGifRect{10, 10, 50, 40};

void Tick(CControlUI* control, UINT id = 100) {
  TUIEvent event;
  event.type = UIEVENT_TIMER;
  event.sender = control;
  event.wParam = id;
  control->Event(event);
}

// A message-only window (no display needed) whose manager holds one control at kGifRect.
class AnimationTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Attach(T* control) {
    root_ = new TestContainer();
    root_->Add(control, kGifRect);
    window_.manager().AttachRootControl(root_);
    root_->SetPos(RECT{0, 0, 100, 60}, false);
    return control;
  }
  // The colour at the middle of the control after a paint through the control's paint path.
  DWORD PaintedColour(CControlUI* control) {
    Surface surface(100, 60, 0xFFFFFFFF);
    control->Paint(surface.dc(), RECT{0, 0, 100, 60});
    return surface.At(30, 25) & 0xFFFFFF;
  }
  // Whether the control's timer 100 is armed (and disarms it to find out).
  bool TimerArmed(CControlUI* control) { return window_.manager().KillTimer(control, 100); }

  ManagedWindow window_{true, 100, 60};
  TestContainer* root_ = nullptr;
};

TEST_F(AnimationTest, LoadingReadsFrameCountAndDelays) {
  struct Case {
    const char* label;
    std::vector<GifFrame> frames;
    bool autoplay;
    UINT frame_count;
    bool playing;
    std::vector<UINT> delays_ms;  // per frame, as the timer is armed
  };
  const Case cases[] = {
      {"three frames, one without a delay entry", {{kRed, 5}, {kGreen, 0}, {kBlue, -1}}, true, 3, true,
       {50, 100, 100}},
      {"single frame", {{kBlue, 20}}, true, 1, false, {}},
      {"autoplay off", {{kRed, 5}, {kGreen, 5}}, false, 2, false, {50, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFile file(L"frames.gif", EncodeGif(8, 6, c.frames));
    auto* gif = new CGifAnimUI();
    gif->SetAttribute(L"bkimage", file.path().c_str());
    gif->SetAttribute(L"AUTOPLAY", c.autoplay ? L"True" : L"false");
    Attach(gif);
    ASSERT_TRUE(gif->IsLoaded());
    EXPECT_EQ(gif->GetFrameCount(), c.frame_count);
    EXPECT_EQ(gif->IsPlaying(), c.playing);
    std::vector<UINT> delays_ms;
    if (c.frame_count > 1) {
      for (UINT i = 0; i < c.frame_count; ++i) delays_ms.push_back(FrameDelayMs(gif->GetFrameDelays(), i));
    } else {
      EXPECT_TRUE(gif->GetFrameDelays().empty());
    }
    EXPECT_EQ(delays_ms, c.delays_ms);
    EXPECT_EQ(TimerArmed(gif), c.playing);
  }
}

TEST_F(AnimationTest, EachPaintShowsTheFrameWhoseDelayIsRunning) {
  TempFile file(L"paint.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}, {kBlue, 5}}));
  auto* gif = new CGifAnimUI();
  gif->SetAttribute(L"bkimage", file.path().c_str());
  Attach(gif);
  EXPECT_EQ(PaintedColour(gif), kRed);
  const DWORD expected[] = {kGreen, kBlue, kRed, kGreen};
  for (DWORD colour : expected) {
    Tick(gif);
    EXPECT_EQ(PaintedColour(gif), colour) << "frame " << gif->GetCurrentFrame();
  }
  // Timer events of another id and other events leave the frame alone.
  Tick(gif, 7);
  EXPECT_EQ(gif->GetCurrentFrame(), 1u);
}

TEST_F(AnimationTest, SingleFrameIsDrawnButNeverAnimated) {
  TempFile file(L"still.gif", EncodeGif(8, 6, {{kBlue, 10}}));
  auto* gif = new CGifAnimUI();
  gif->SetAttribute(L"bkimage", file.path().c_str());
  Attach(gif);
  gif->PlayGif();
  EXPECT_FALSE(gif->IsPlaying());
  Tick(gif);
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  EXPECT_EQ(PaintedColour(gif), kBlue);
}

TEST_F(AnimationTest, HidingStopsAndRewindsShowingPlaysAgain) {
  TempFile file(L"hide.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}, {kBlue, 5}}));
  auto* gif = new CGifAnimUI();
  gif->SetAttribute(L"bkimage", file.path().c_str());
  Attach(gif);
  Tick(gif);
  Tick(gif);
  ASSERT_EQ(gif->GetCurrentFrame(), 2u);
  gif->SetVisible(false);
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  EXPECT_FALSE(TimerArmed(gif));
  gif->SetVisible(true);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_TRUE(TimerArmed(gif));
}

TEST_F(AnimationTest, NewImageOnAPlayingGifStopsTheTimerBeforeTheOldImageGoes) {
  TempFile first(L"first.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}, {kBlue, 5}}));
  TempFile second(L"second.gif", EncodeGif(8, 6, {{kGreen, 5}, {kBlue, 5}}));
  auto* gif = new CGifAnimUI();
  gif->SetAttribute(L"bkimage", first.path().c_str());
  Attach(gif);
  Tick(gif);
  Tick(gif);
  ASSERT_EQ(gif->GetCurrentFrame(), 2u);

  // The same file again changes nothing.
  gif->SetAttribute(L"bkimage", first.path().c_str());
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_EQ(gif->GetCurrentFrame(), 2u);

  gif->SetAttribute(L"bkimage", second.path().c_str());
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_FALSE(gif->IsLoaded());
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  EXPECT_EQ(gif->GetFrameCount(), 0u);
  // A tick that was already on its way steps nothing and divides by nothing.
  Tick(gif);
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);

  // The next paint loads the new file from its first frame and plays it.
  EXPECT_EQ(PaintedColour(gif), kGreen);
  EXPECT_EQ(gif->GetFrameCount(), 2u);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_TRUE(TimerArmed(gif));
}

TEST_F(AnimationTest, AutoSizeTakesTheImageSizeAndAMissingFileDrawsNothing) {
  TempFile file(L"size.gif", EncodeGif(24, 14, {{kRed, 5}, {kGreen, 5}}));
  auto* sized = new CGifAnimUI();
  sized->SetAttribute(L"autosize", L"true");
  sized->SetAttribute(L"bkimage", file.path().c_str());
  Attach(sized);
  EXPECT_EQ(sized->GetFixedWidth(), 24);
  EXPECT_EQ(sized->GetFixedHeight(), 14);

  auto* missing = new CGifAnimUI();
  missing->SetAttribute(L"bkimage", L"no such file.gif");
  Attach(missing);
  EXPECT_FALSE(missing->IsLoaded());
  EXPECT_EQ(PaintedColour(missing), 0xFFFFFFu);
  missing->PlayGif();
  EXPECT_FALSE(missing->IsPlaying());
}

void SetSequence(CSequenceFrameUI* sequence, const wchar_t* elapse) {
  sequence->SetAttribute(L"sequenced_frame", L"s.png");
  if (elapse != nullptr) sequence->SetAttribute(L"elapse", elapse);
  sequence->SetAttribute(L"total_frame", L"3");
  sequence->SetAttribute(L"frame_width", L"20");
  sequence->SetAttribute(L"frame_height", L"12");
}

// A manager without a window gets no timer from either control: it would be a thread timer that
// nothing can kill.
TEST_F(AnimationTest, UnderAManagerWithoutAWindowNoTimerStarts) {
  TempFile file(L"windowless.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}}));
  CPaintManagerUI windowless;
  TestContainer parent;
  CGifAnimUI gif;
  gif.SetAttribute(L"bkimage", file.path().c_str());
  gif.SetManager(&windowless, &parent, true);
  ASSERT_TRUE(gif.IsLoaded());
  gif.PlayGif();
  EXPECT_FALSE(gif.IsPlaying());
  CSequenceFrameUI sequence;
  SetSequence(&sequence, L"40");
  sequence.SetManager(&windowless, &parent, true);
  EXPECT_EQ(windowless.GetTimerCount(), 0u);
}

// With a window the timers run; each stop and each removal leaves the manager without any.
TEST_F(AnimationTest, TimersEndWithEachStopAndEachRemoval) {
  TempFile file(L"stops.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}}));
  CPaintManagerUI& manager = window_.manager();
  auto* gif = Attach(new CGifAnimUI());
  gif->SetAttribute(L"bkimage", file.path().c_str());
  PaintedColour(gif);
  ASSERT_TRUE(gif->IsPlaying());
  EXPECT_EQ(manager.GetTimerCount(), 1u);
  gif->StopGif();
  EXPECT_EQ(manager.GetTimerCount(), 0u);
  gif->SetVisible(false);
  gif->SetVisible(true);
  EXPECT_EQ(manager.GetTimerCount(), 1u);
  gif->SetVisible(false);
  EXPECT_EQ(manager.GetTimerCount(), 0u);
  gif->SetVisible(true);
  root_->Detach(gif);
  delete gif;
  EXPECT_EQ(manager.GetTimerCount(), 0u);

  auto* sequence = new CSequenceFrameUI();
  SetSequence(sequence, L"40");
  root_->Add(sequence, kGifRect);
  EXPECT_EQ(manager.GetTimerCount(), 1u);
  root_->Detach(sequence);
  delete sequence;
  EXPECT_EQ(manager.GetTimerCount(), 0u);
}

// Without a period a sequence shows its first frame and sets no timer (one of 0 ms would tick at
// the system's minimum).
TEST_F(AnimationTest, ASequenceWithoutAPeriodShowsItsFirstFrameAndStaysStill) {
  const wchar_t* const elapses[] = {nullptr, L"0", L"-5"};
  for (const wchar_t* elapse : elapses) {
    SCOPED_TRACE(elapse ? elapse : L"none");
    auto* sequence = new CSequenceFrameUI();
    SetSequence(sequence, elapse);
    Attach(sequence);
    EXPECT_EQ(window_.manager().GetTimerCount(), 0u);
    EXPECT_STREQ(sequence->GetBkImage(), L"file='s.png' source='0,0,20,12'");
  }
}

TEST_F(AnimationTest, SkinBuildsBothClassesWithTheirNamesAndAttributes) {
  TempFile file(L"skin.gif", EncodeGif(8, 6, {{kRed, 5}, {kGreen, 5}}));
  const std::wstring xml = L"<Window><HBox><GifAnim name=\"gif\" bkimage=\"" + file.path() +
                           L"\" autoplay=\"false\"/><SequenceFrame name=\"seq\" sequenced_frame=\"s.png\" "
                           L"elapse=\"40\" total_frame=\"3\" frame_width=\"20\" frame_height=\"12\" "
                           L"Total_frame=\"9\"/></HBox></Window>";
  CSkinBuilder builder;
  CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &window_.manager());
  ASSERT_NE(root, nullptr);
  window_.manager().AttachRootControl(root);
  auto* gif = static_cast<CGifAnimUI*>(window_.manager().FindControl(L"gif"));
  auto* seq = static_cast<CSequenceFrameUI*>(window_.manager().FindControl(L"seq"));
  ASSERT_NE(gif, nullptr);
  ASSERT_NE(seq, nullptr);
  EXPECT_STREQ(gif->GetClass(), L"GifAnimUI");
  EXPECT_EQ(gif->GetInterface(L"gifanim"), gif);
  EXPECT_FALSE(gif->IsAutoPlay());
  EXPECT_TRUE(gif->IsLoaded());
  EXPECT_FALSE(gif->IsPlaying());

  EXPECT_STREQ(seq->GetClass(), L"SequenceFrameUI");
  EXPECT_EQ(seq->GetInterface(L"SequenceFrame"), seq);
  EXPECT_EQ(seq->GetInterface(L"sequenceframe"), nullptr);
  EXPECT_EQ(seq->GetTotalFrames(), 3);  // names compare with their case: "Total_frame" is not one
  EXPECT_EQ(seq->GetElapse(), 40);

  std::vector<std::wstring> images;
  for (int tick = 0; tick < 4; ++tick) {
    Tick(seq);
    images.push_back(seq->GetBkImage());
  }
  EXPECT_EQ(images, (std::vector<std::wstring>{
                        L"file='s.png' source='0,0,20,12'", L"file='s.png' source='20,0,40,12'",
                        L"file='s.png' source='40,0,60,12'", L"file='s.png' source='0,0,20,12'"}));
  // Armed at initialisation, and still running after the ticks.
  EXPECT_TRUE(TimerArmed(seq));
}

}  // namespace
