#include "app/shake_detector.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

int Sign(int32_t value) { return (value > 0) - (value < 0); }

// A run keeps growing for as long as the mouse keeps its direction; it stops at the int32 limit rather
// than wrapping round to the opposite sign.
int32_t SaturatingAdd(int32_t a, int32_t b) {
  int32_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? INT32_MAX : INT32_MIN;
}

// Absolute devices report 0..65535, but nothing stops a driver from sending any LONG.
int32_t ClampedDifference(int32_t to, int32_t from) {
  const int64_t difference = static_cast<int64_t>(to) - from;
  if (difference > INT32_MAX) return INT32_MAX;
  if (difference < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(difference);
}

// Header plus RAWMOUSE: the largest packet a mouse sends. The header holds two handles, so the
// packet is 40 bytes in a 32-bit process and 48 in a 64-bit one.
constexpr UINT kMousePacketSize = sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE);
static_assert(kMousePacketSize == (sizeof(void*) == 4 ? 40 : 48), "raw mouse packet layout");

}  // namespace

ShakeDetector::ShakeDetector(ShakeCallback on_shake, TickSource tick_source)
    : on_shake_(std::move(on_shake)), tick_source_(std::move(tick_source)) {}

uint64_t ShakeDetector::Now() const { return tick_source_ ? tick_source_() : GetTickCount64(); }

void ShakeDetector::OnRawInput(HRAWINPUT input) {
  // Aligned storage: the packet is read through RAWINPUT's own layout.
  union {
    RAWINPUT packet;
    BYTE bytes[kMousePacketSize];
  } buffer;
  UINT size = kMousePacketSize;
  const UINT read = GetRawInputData(input, RID_INPUT, &buffer, &size, sizeof(RAWINPUTHEADER));
  if (read == static_cast<UINT>(-1) || read < sizeof(RAWINPUTHEADER)) return;
  if (buffer.packet.header.dwType != RIM_TYPEMOUSE) return;
  AddMouseDelta(buffer.packet);
}

void ShakeDetector::AddMouseDelta(const RAWINPUT& packet) {
  const RAWMOUSE& mouse = packet.data.mouse;
  int32_t dx;
  int32_t dy;
  // A tablet or remote session reports positions; (0, 0) from such a device is taken as no movement
  // and must not become the reference point for the next report.
  if ((mouse.usFlags & MOUSE_MOVE_ABSOLUTE) != 0 && (mouse.lLastX != 0 || mouse.lLastY != 0)) {
    if (absolute_position_known_) {
      dx = ClampedDifference(mouse.lLastX, previous_absolute_x_);
      dy = ClampedDifference(mouse.lLastY, previous_absolute_y_);
    } else {
      dx = 0;
      dy = 0;
    }
    previous_absolute_x_ = mouse.lLastX;
    previous_absolute_y_ = mouse.lLastY;
    absolute_position_known_ = true;
  } else {
    dx = mouse.lLastX;
    dy = mouse.lLastY;
  }

  if (samples_.empty()) {
    samples_.push_back({dx, dy, Now()});
    return;
  }
  MouseSample& last = samples_.back();
  if (Sign(dx) == Sign(last.dx) && Sign(dy) == Sign(last.dy)) {
    last.dx = SaturatingAdd(last.dx, dx);
    last.dy = SaturatingAdd(last.dy, dy);
    return;
  }
  samples_.push_back({dx, dy, Now()});
  DetectShake();
}

void ShakeDetector::DetectShake() {
  const uint64_t now = Now();
  // A run exactly one window old still counts. Within the first window after boot nothing is old
  // enough to drop (the subtraction must not wrap).
  const uint64_t window = static_cast<uint64_t>(window_);
  const uint64_t cutoff = now > window ? now - window : 0;
  samples_.erase(std::remove_if(samples_.begin(), samples_.end(),
                                [cutoff](const MouseSample& s) { return s.tick < cutoff; }),
                 samples_.end());

  int64_t x = 0, y = 0;
  int64_t min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  double path = 0.0;
  for (const MouseSample& s : samples_) {
    x += s.dx;
    y += s.dy;
    const double dx = s.dx;
    const double dy = s.dy;
    path += std::sqrt(dx * dx + dy * dy);
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
  }
  if (path < minimum_path_) return;

  const double width = static_cast<double>(max_x - min_x);
  const double height = static_cast<double>(max_y - min_y);
  const double extent = std::sqrt(width * width + height * height);
  if (!(extent > 0.0)) return;

  const double ratio = static_cast<double>(static_cast<float>(ratio_threshold_) / 100.0f);
  if (path / extent > ratio && on_shake_) on_shake_();
}
