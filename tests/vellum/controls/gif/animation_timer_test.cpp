// The animation controls on the real timers of a shown window (needs a display).

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ui_input.h"
#include "tests/vellum/controls/gif/gif_fixture.h"
#include "tests/vellum/support/paint_manager_test_tree.h"
#include "vellum/controls/gif/gif_anim.h"
#include "vellum/controls/gif/sequence_frame.h"

namespace {

using namespace Vellum;
using testing_support::EncodeGif;
using testing_support::ManagedWindow;
using testing_support::TempFile;
using testing_support::TestContainer;

// Timers under Wine land within a few tens of milliseconds of their period, never much before it; on a
// busy machine the window's thread may be late by much more, which says nothing of the control.
constexpr long kEarlyMs = 40;
constexpr long kLateMs = 400;

struct FrameChange {
  UINT frame;
  ULONGLONG at;
};

TEST(AnimationTimers, EachFrameStaysForItsOwnDelay) {
  // 150 ms, a stored 0 (100 ms), 300 ms.
  TempFile file(L"timed.gif",
                EncodeGif(8, 6, {{0xFF0000, 15}, {0x00FF00, 0}, {0x0000FF, 30}}));
  ManagedWindow window(false, 80, 60);
  auto* root = new TestContainer();
  auto* gif = new CGifAnimUI();
  gif->SetAttribute(L"bkimage", file.path().c_str());
  root->Add(gif, RECT{0, 0, 80, 60});
  window.manager().AttachRootControl(root);
  window.ShowAndPaint();
  ASSERT_TRUE(gif->IsPlaying());

  std::vector<FrameChange> changes{{gif->GetCurrentFrame(), GetTickCount64()}};
  const ULONGLONG end = GetTickCount64() + 1400;
  while (GetTickCount64() < end) {
    testing_support::PumpFor(2);
    if (gif->GetCurrentFrame() != changes.back().frame) {
      changes.push_back({gif->GetCurrentFrame(), GetTickCount64()});
    }
  }
  ASSERT_GE(changes.size(), 5u);
  const long expected_ms[] = {150, 100, 300};
  for (size_t i = 1; i < changes.size(); ++i) {
    const UINT left = changes[i - 1].frame;
    EXPECT_EQ(changes[i].frame, (left + 1) % 3);
    const long shown = static_cast<long>(changes[i].at - changes[i - 1].at);
    EXPECT_GE(shown, expected_ms[left] - kEarlyMs) << "frame " << left << " shown " << shown << " ms";
    EXPECT_LE(shown, expected_ms[left] + kLateMs) << "frame " << left << " shown " << shown << " ms";
  }
}

TEST(AnimationTimers, SequenceFramesCycleOnTheirPeriod) {
  ManagedWindow window(false, 80, 60);
  auto* root = new TestContainer();
  auto* sequence = new CSequenceFrameUI();
  for (const auto& attribute : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
           {L"sequenced_frame", L"sheet.png"}, {L"elapse", L"50"}, {L"total_frame", L"3"},
           {L"frame_width", L"10"}, {L"frame_height", L"10"}}) {
    sequence->SetAttribute(attribute.first, attribute.second);
  }
  root->Add(sequence, RECT{0, 0, 80, 60});
  window.manager().AttachRootControl(root);
  window.ShowAndPaint();

  std::set<std::wstring> seen;
  const ULONGLONG start = GetTickCount64();
  int ticks = 0;
  std::wstring last;
  while (GetTickCount64() - start < 500) {
    testing_support::PumpFor(2);
    const std::wstring now = sequence->GetBkImage();
    if (now != last) {
      ++ticks;
      last = now;
      seen.insert(now);
    }
  }
  EXPECT_EQ(seen.size(), 3u);
  // About ten periods of 50 ms.
  EXPECT_GE(ticks, 6);
  EXPECT_LE(ticks, 12);
}

}  // namespace
