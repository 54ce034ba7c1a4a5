// Lays out a scrolling vertical layout of 1,000 and of 10,000 labels and compares the costs: the
// placement must grow linearly with the number of children (ratio at most 12 for ten times as
// many). Each round changes the width, so that every label estimates its size again.

#include <windows.h>

#include <cstdio>

#include "bench/bench_clock.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/manager/paint_manager.h"
#include "vellum/core/layout/vertical_layout.h"

namespace {

constexpr int kRounds = 20;
constexpr double kMaxRatio = 12.0;

// Seconds per SetPos of a layout holding count labels, best of kRounds.
double TimeLayout(int count) {
  Vellum::CPaintManagerUI manager;
  Vellum::CVerticalLayoutUI layout;
  layout.SetManager(&manager, nullptr, false);
  layout.EnableScrollBar(true, false);
  for (int i = 0; i < count; ++i) {
    auto* label = new Vellum::CLabelUI();
    wchar_t text[32];
    swprintf(text, 32, L"Label %d", i);
    label->SetText(text);
    layout.Add(label);
  }
  layout.SetPos(RECT{0, 0, 300, 400}, false);  // first placement: the bar appears

  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const RECT pos{0, 0, 300 + (round % 2), 400};
    const LARGE_INTEGER start = bench::Now();
    layout.SetPos(pos, false);
    const double seconds = bench::Seconds(start, bench::Now());
    if (seconds < best) best = seconds;
  }
  return best;
}

}  // namespace

int main() {
  const double small = TimeLayout(1000);
  const double large = TimeLayout(10000);
  const double ratio = large / small;
  std::printf("vertical layout SetPos, 1,000 labels:  %.3f ms\n", small * 1000.0);
  std::printf("vertical layout SetPos, 10,000 labels: %.3f ms\n", large * 1000.0);
  std::printf("ratio 10,000 / 1,000: %.2f (at most %.0f)\n", ratio, kMaxRatio);
  return ratio <= kMaxRatio ? 0 : 1;
}
