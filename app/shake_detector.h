#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// One run of mouse movement in a single quadrant direction (a zero component counts as a direction of
// its own). The tick is the moment the run started; merging later reports never refreshes it.
struct MouseSample {
  int32_t dx;
  int32_t dy;
  uint64_t tick;
};
static_assert(sizeof(MouseSample) == 16, "samples are packed as two deltas and a 64-bit tick");

// Turns the raw mouse reports that the main window receives into shake decisions: a long path
// travelled inside a small area within the last second. The main window owns one and feeds it every
// WM_INPUT while shaking is enabled; each positive decision calls the shake callback (the cursor
// manager's Enlarge). UI thread only.
class ShakeDetector {
 public:
  using TickSource = std::function<uint64_t()>;
  using ShakeCallback = std::function<void()>;

  // tick_source defaults to GetTickCount64; tests pass a clock of their own.
  explicit ShakeDetector(ShakeCallback on_shake, TickSource tick_source = nullptr);

  // Reads one WM_INPUT packet (its lParam) and files it when it comes from a mouse. Packets of other
  // devices and failed reads change nothing.
  void OnRawInput(HRAWINPUT input);

  // Turns one mouse packet into a delta and files it. A report in the same direction as the previous
  // run is merged into it, with no clock read and no allocation; a change of direction starts a new
  // run and runs the detection.
  void AddMouseDelta(const RAWINPUT& packet);

  // Drops runs that started more than the window before now, then decides over the rest.
  void DetectShake();

  const std::vector<MouseSample>& samples() const { return samples_; }

  // Limits of the decision, in raw mouse units and milliseconds.
  static constexpr int32_t kMinimumPath = 800;
  static constexpr int32_t kWindowMs = 1000;
  // Path/extent ratio in hundredths.
  static constexpr int32_t kRatioThreshold = 400;

 private:
  uint64_t Now() const;

  ShakeCallback on_shake_;
  TickSource tick_source_;

  std::vector<MouseSample> samples_;
  bool absolute_position_known_ = false;
  int32_t previous_absolute_x_ = 0;
  int32_t previous_absolute_y_ = 0;
  int32_t minimum_path_ = kMinimumPath;
  int32_t window_ = kWindowMs;
  int32_t ratio_threshold_ = kRatioThreshold;
};
