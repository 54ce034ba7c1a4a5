// Keystroke to painted in the framework's edit, measured in one run: a character sent to the edit's
// native window and the window repainted (its colour message answered), for
//   - a semi-transparent native background (the window behind is painted afresh into the brush),
//   - an opaque native background (one solid brush),
//   - a plain native EDIT window of the same size and font in the same framework window.
// Also checks that the semi-transparent mode's brushes do not pile up: the process's GDI object
// count after the run against after the first keystroke (where the platform reports one).
// Needs a display: tools/wine-run.sh --build build/x86_64 build/x86_64/bench/edit_paint_bench.exe

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_clock.h"
#include "vellum/controls/edit/edit.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;
using Vellum::CEditUI;
using Vellum::CLabelUI;
using Vellum::CPaintManagerUI;
using Vellum::CVerticalLayoutUI;

constexpr int kKeystrokes = 300;
constexpr int kWidth = 480;
constexpr int kHeight = 320;

CPaintManagerUI* g_manager = nullptr;

LRESULT CALLBACK FrameworkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (g_manager != nullptr && g_manager->MessageHandler(message, wParam, lParam, result)) {
    return result;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

struct Timing {
  double median_ms;
  double p95_ms;
};

// Each keystroke: WM_CHAR to the window, then its paint, flushed. The text is emptied now and
// then (outside the timing) so that every run types into a line of the same lengths.
Timing TimeKeystrokes(HWND edit) {
  std::vector<double> times;
  for (int i = 0; i < kKeystrokes; ++i) {
    if (i % 40 == 0) {
      ::SetWindowTextW(edit, L"");
      ::UpdateWindow(edit);
      Pump();
    }
    const LARGE_INTEGER start = Now();
    ::SendMessageW(edit, WM_CHAR, L'a' + i % 26, 1);
    ::UpdateWindow(edit);
    ::GdiFlush();
    times.push_back(Seconds(start, Now()) * 1000.0);
    Pump();
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times[times.size() * 95 / 100]};
}

}  // namespace

int main() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FrameworkProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EditPaintBench";
  ::RegisterClassExW(&wc);
  CPaintManagerUI::SetInstance(wc.hInstance);
  HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"edit bench",
                                  WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 20, 20, kWidth,
                                  kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("edit_paint_bench: no window (a display is needed)\n");
    return 1;
  }
  CPaintManagerUI manager;
  manager.Init(window, L"bench");
  g_manager = &manager;

  // A window with something behind the edit: a gradient background and a column of labels.
  auto* root = new CVerticalLayoutUI();
  root->SetBkColor(0xFF3060A0);
  root->SetBkColor2(0xFFE0E8F0);
  for (int i = 0; i < 8; ++i) {
    auto* label = new CLabelUI();
    label->SetFixedHeight(24);
    label->SetText(L"Behind the edit: a line of label text");
    root->Add(label);
  }
  auto* edit = new CEditUI();
  edit->SetFixedHeight(28);
  edit->SetFloat(true);
  edit->SetFixedXY(SIZE{40, 120});
  edit->SetFixedWidth(360);
  root->Add(edit);
  manager.AttachRootControl(root);
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  for (int i = 0; i < 5; ++i) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
  }

  struct Mode {
    const char* name;
    DWORD native_background;
  } modes[] = {{"semi-transparent (0x80FFFFFF)", 0x80FFFFFF}, {"opaque (0xFFFFFFFF)", 0xFFFFFFFF}};
  std::printf("keystroke to painted, %d keystrokes each, ms (median / 95th percentile)\n",
              kKeystrokes);
  for (const Mode& mode : modes) {
    edit->SetNativeBkColor(mode.native_background);
    manager.SetFocus(edit);
    Pump();
    HWND native = edit->GetNativeWindow();
    if (native == nullptr) {
      std::printf("  %s: the edit opened no window\n", mode.name);
      continue;
    }
    ::SendMessageW(native, WM_CHAR, L'a', 1);
    ::UpdateWindow(native);
    const DWORD objects_after_first = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const Timing timing = TimeKeystrokes(native);
    const DWORD objects_after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("  framework edit, %-30s %7.3f / %7.3f", mode.name, timing.median_ms,
                timing.p95_ms);
    if (objects_after_first == 0) {
      std::printf("   GDI objects: not reported by this platform\n");
    } else {
      std::printf("   GDI objects %lu -> %lu\n", objects_after_first, objects_after);
    }
    manager.SetFocus(nullptr);
    Pump();
  }

  RECT area = edit->GetPos();
  HWND plain = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                 area.left, area.top + 4, area.right - area.left, 20, window,
                                 nullptr, wc.hInstance, nullptr);
  ::SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(manager.GetFont(-1)), TRUE);
  ::SetFocus(plain);
  Pump();
  const Timing plain_timing = TimeKeystrokes(plain);
  std::printf("  plain native EDIT                              %7.3f / %7.3f\n",
              plain_timing.median_ms, plain_timing.p95_ms);

  ::DestroyWindow(plain);
  g_manager = nullptr;
  ::DestroyWindow(window);
  return 0;
}
