#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "vellum/controls/gif/frame_timing.h"

namespace {

using namespace Vellum;

TEST(FrameDelays, OnlyWholeEntriesWithinThePropertyLengthAreRead) {
  // A guard word after the stated length: it must never become a delay.
  const UINT stored[] = {7, 9, 0xDEAD};
  struct Case {
    size_t length;
    std::vector<UINT> expected;
  };
  const Case cases[] = {
      {0, {}},
      {3, {}},
      {4, {7}},
      {7, {7}},
      {8, {7, 9}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadFrameDelays(stored, c.length), c.expected) << "length " << c.length;
  }
  EXPECT_TRUE(ReadFrameDelays(nullptr, 8).empty());
}

TEST(FrameDelays, ZeroOrMissingDelayShowsTheFrameForOneHundredMilliseconds) {
  const std::vector<UINT> delays = {5, 0, 200};
  struct Case {
    UINT frame;
    UINT expected_ms;
  };
  const Case cases[] = {
      {0, 50},
      {1, 100},   // stored as 0
      {2, 2000},
      {3, 100},   // the property ends before this frame
      {99, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameDelayMs(delays, c.frame), c.expected_ms) << "frame " << c.frame;
  }
  EXPECT_EQ(FrameDelayMs({}, 0), 100u);
  // A value no GIF can hold saturates instead of wrapping into a short delay.
  EXPECT_EQ(FrameDelayMs({0x20000000u}, 0), 0xFFFFFFFFu);
}

TEST(FrameSteps, FramesCycleBackToTheFirst) {
  EXPECT_EQ(NextFrame(0, 3), 1u);
  EXPECT_EQ(NextFrame(2, 3), 0u);
  EXPECT_EQ(NextFrame(0, 1), 0u);
  EXPECT_EQ(NextFrame(5, 0), 0u);  // no frames: never a division by zero
}

TEST(SequenceFrames, ThreeFramesShowSourceZeroThenOneThenTwoWidthsAndAgain) {
  constexpr int kWidth = 20, kHeight = 12;
  int current = 0;
  std::vector<LONG> lefts;
  for (int tick = 0; tick < 7; ++tick) {
    const SequenceFrameStep step = StepSequenceFrame(current, 3, kWidth, kHeight);
    EXPECT_EQ(step.source.right - step.source.left, kWidth);
    EXPECT_EQ(step.source.top, 0);
    EXPECT_EQ(step.source.bottom, kHeight);
    lefts.push_back(step.source.left);
    current = step.next_frame;
  }
  EXPECT_EQ(lefts, (std::vector<LONG>{0, 20, 40, 0, 20, 40, 0}));
}

TEST(SequenceFrames, WithoutFramesTheFirstPartStaysShown) {
  int current = 0;
  for (int tick = 0; tick < 3; ++tick) {
    const SequenceFrameStep step = StepSequenceFrame(current, 0, 8, 8);
    EXPECT_EQ(step.source.left, 0);
    EXPECT_EQ(step.source.right, 8);
    current = step.next_frame;
  }
}

}  // namespace
