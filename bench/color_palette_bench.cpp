// One bar-drag mouse move of the colour palette against a 16 ms frame: the saturation taken from
// the point and the 360 x 200 pallet strip recomputed into the control's DIB, then the same move
// followed by the repaint that shows it (both strips stretched onto a 360 x 220 control).
// Runs headless: tools/wine-run.sh --headless --build build/x86_64 build/x86_64/bench/color_palette_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_surface.h"
#include "vellum/controls/color_palette/color_palette.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kMoves = 400;
constexpr double kFrameMilliseconds = 16.0;
constexpr RECT kPlace{0, 0, 360, 220};

void Send(Vellum::CColorPaletteUI& palette, int type, int x, int y) {
  Vellum::TUIEvent event;
  event.type = type;
  event.sender = &palette;
  event.mouse_point = POINT{x, y};
  palette.Event(event);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  Vellum::CPaintManagerUI manager;
  Vellum::CColorPaletteUI palette;
  palette.SetManager(&manager, nullptr, false);
  palette.Init();
  palette.SetPos(kPlace, false);
  bench::Canvas canvas(nullptr, kPlace.right, kPlace.bottom);

  // The drag starts in the bar; every move lands on another saturation so the strip always changes.
  Send(palette, Vellum::UIEVENT_BUTTONDOWN, 10, 215);
  std::vector<double> move_only;
  std::vector<double> move_and_paint;
  for (int i = 0; i < kMoves; ++i) {
    const int x = 1 + (i * 7) % 358;
    LARGE_INTEGER start = Now();
    Send(palette, Vellum::UIEVENT_MOUSEMOVE, x, 300);
    GdiFlush();
    move_only.push_back(Seconds(start, Now()) * 1e3);

    start = Now();
    Send(palette, Vellum::UIEVENT_MOUSEMOVE, x + 1, 300);
    palette.Paint(canvas.dc, kPlace);
    GdiFlush();
    move_and_paint.push_back(Seconds(start, Now()) * 1e3);
  }
  Send(palette, Vellum::UIEVENT_BUTTONUP, 10, 215);

  const double move = Median(move_only);
  const double shown = Median(move_and_paint);
  std::printf("colour palette bar drag, %d moves (median milliseconds)\n", kMoves);
  std::printf("  move (pallet strip recomputed into the DIB):  %.3f  = %.1f%% of a %.0f ms frame\n",
              move, move * 100.0 / kFrameMilliseconds, kFrameMilliseconds);
  std::printf("  move and repaint of the control:               %.3f  = %.1f%% of a %.0f ms frame\n",
              shown, shown * 100.0 / kFrameMilliseconds, kFrameMilliseconds);
  return 0;
}
