#pragma once

// The timing rules of the animation controls, apart from any window or image: how long an
// animated image shows each frame, and which part of a sprite sheet a sequence shows next.

#include <windows.h>

#include <cstddef>
#include <vector>

namespace Vellum {

// Shown for frames whose delay is 0 or missing: what browsers and viewers do for such frames.
constexpr UINT kDefaultFrameDelayMs = 100;

// The whole 32-bit entries (hundredths of a second, one per frame) of a frame-delay property
// value of `length` bytes. Bytes beyond the property's length are never read.
std::vector<UINT> ReadFrameDelays(const void* value, size_t length);

// How long the frame shows, in milliseconds. A frame without an entry counts as a delay of 0.
UINT FrameDelayMs(const std::vector<UINT>& delays, UINT frame);

// The frame after `current` of `count` frames, back to 0 after the last; 0 without frames.
UINT NextFrame(UINT current, UINT count);

// One step of a sprite-sheet sequence: the frame index it moves to and the part of the sheet to show.
struct SequenceFrameStep {
  int next_frame;
  RECT source;
};

// From `current` of `total` frames of width x height laid side by side: at or past the end the
// first frame is shown again, else the current one, so the frames cycle 0, 1, ..., total - 1, 0.
SequenceFrameStep StepSequenceFrame(int current, int total, int width, int height);

}  // namespace Vellum
