#include "vellum/controls/gif/frame_timing.h"

#include <cstring>

namespace Vellum {

std::vector<UINT> ReadFrameDelays(const void* value, size_t length) {
  std::vector<UINT> delays;
  if (value == nullptr) return delays;
  const size_t count = length / sizeof(UINT);
  delays.resize(count);
  if (count > 0) std::memcpy(delays.data(), value, count * sizeof(UINT));
  return delays;
}

UINT FrameDelayMs(const std::vector<UINT>& delays, UINT frame) {
  const UINT hundredths = frame < delays.size() ? delays[frame] : 0;
  if (hundredths == 0) return kDefaultFrameDelayMs;
  // A GIF stores 16 bits; a larger value from another format must not wrap into a short delay.
  constexpr UINT kMaxHundredths = 0xFFFFFFFFu / 10;
  return hundredths > kMaxHundredths ? 0xFFFFFFFFu : hundredths * 10;
}

UINT NextFrame(UINT current, UINT count) { return count == 0 ? 0 : (current + 1) % count; }

SequenceFrameStep StepSequenceFrame(int current, int total, int width, int height) {
  if (current >= total) return {1, RECT{0, 0, width, height}};
  return {current + 1, RECT{current * width, 0, (current + 1) * width, height}};
}

}  // namespace Vellum
