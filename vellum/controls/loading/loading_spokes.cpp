#include "vellum/controls/loading/loading_spokes.h"

namespace Vellum {

std::vector<double> BuildSpokeAngles(int count) {
  std::vector<double> angles;
  if (count < 1) return angles;
  angles.reserve(static_cast<size_t>(count));
  const double step = 360.0 / count;
  double angle = 0.0;
  for (int i = 0; i < count; ++i) {
    angle += step;
    angles.push_back(angle);
  }
  return angles;
}

std::vector<DWORD> BuildSpokeColours(DWORD colour, int count) {
  std::vector<DWORD> colours;
  if (count < 1) return colours;
  colours.reserve(static_cast<size_t>(count));
  colours.push_back(colour);
  const DWORD alpha_step = 255u / static_cast<DWORD>(count);
  for (int i = 1; i < count; ++i) {
    const DWORD alpha = (static_cast<DWORD>(i) * alpha_step) % 256u;
    colours.push_back((alpha << 24) | (colour & 0x00FFFFFFu));
  }
  return colours;
}

int NextSpoke(int current, int count) { return count < 1 ? 0 : (current + 1) % count; }

}  // namespace Vellum
