// The framework's animations in a shown window. The sliding tab layout at 568 x 344: processor time
// per frame (the step and its paint) against the 10 ms frame interval, driven frame by frame and
// on the real timers. The ring and the rolling text: processor time per second while they run,
// against the same window left idle, and the timers the manager still holds once they are stopped.
// Needs a display: tools/wine-run.sh build/x86_64/bench/animation_bench.exe
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "vellum/controls/animation/animation_tab_layout.h"
#include "vellum/controls/ring/ring.h"
#include "vellum/controls/rolling_text/roll_text.h"
#include "vellum/core/base/ui_events.h"
#include "vellum/core/base_controls/label.h"
#include "vellum/core/layout/horizontal_layout.h"
#include "vellum/core/layout/vertical_layout.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;
using Vellum::CAnimationTabLayoutUI;
using Vellum::CPaintManagerUI;

constexpr int kTabWidth = 568;
constexpr int kTabHeight = 344;
constexpr int kRowHeight = 48;
constexpr int kSlides = 10;
constexpr DWORD kRunMs = 3000;

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

void PumpFor(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  for (;;) {
    Pump();
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

// User and kernel time of this process, in seconds.
double ProcessorSeconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Processor time per second of wall time while the window's messages are handled for ms.
double ProcessorPerSecond(DWORD ms) {
  const double cpu = ProcessorSeconds();
  const LARGE_INTEGER start = Now();
  PumpFor(ms);
  return (ProcessorSeconds() - cpu) / Seconds(start, Now());
}

// A page of the tab layout: a gradient and a column of labels, like a settings page.
Vellum::CControlUI* MakePage(int index) {
  auto* page = new Vellum::CVerticalLayoutUI();
  page->SetBkColor(index == 0 ? 0xFF3060A0 : 0xFFA06030);
  page->SetBkColor2(0xFFE0E8F0);
  page->SetInset(RECT{16, 12, 16, 12});
  for (int i = 0; i < 12; ++i) {
    auto* label = new Vellum::CLabelUI();
    label->SetFixedHeight(24);
    label->SetText((L"Page " + std::to_wstring(index + 1) + L", line " + std::to_wstring(i + 1) +
                    L": a line of label text")
                       .c_str());
    page->Add(label);
  }
  return page;
}

// A 32 x 32 ring image as a 32-bit BMP file: a thick circle whose alpha grows along it.
std::wstring WriteRingImage() {
  wchar_t folder[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"animation_bench_ring.bmp";
  constexpr int kSize = 32;
  std::vector<DWORD> pixels(kSize * kSize, 0);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
      const double d = std::abs(std::sqrt(dx * dx + dy * dy) - 12);
      if (d <= 3) pixels[(kSize - 1 - y) * kSize + x] = 0xFF1E64D2;
    }
  }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = kSize;
  info.biHeight = kSize;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(out, &file, sizeof(file), &written, nullptr);
  ::WriteFile(out, &info, sizeof(info), &written, nullptr);
  ::WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size() * 4), &written, nullptr);
  ::CloseHandle(out);
  return path;
}

void SlideFrameByFrame(HWND window, CAnimationTabLayoutUI* tabs) {
  std::vector<double> frames;
  for (int slide = 0; slide < kSlides; ++slide) {
    tabs->SelectItem(1 - tabs->GetCurSel());
    while (tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) {
      const LARGE_INTEGER start = Now();
      Vellum::TUIEvent tick;
      tick.type = Vellum::UIEVENT_TIMER;
      tick.sender = tabs;
      tick.wParam = CAnimationTabLayoutUI::kSlideAnimationId;
      tabs->Event(tick);
      ::UpdateWindow(window);
      ::GdiFlush();
      frames.push_back(Seconds(start, Now()) * 1000.0);
    }
    // Drop the real timer's messages of this slide, which the frames above have overtaken.
    Pump();
  }
  std::sort(frames.begin(), frames.end());
  const double median = frames[frames.size() / 2];
  const double worst = frames.back();
  std::printf("tab slide %dx%d, frame by frame (%zu frames: step + paint)\n", kTabWidth,
              kTabHeight, frames.size());
  std::printf("  median %.3f ms, 95th percentile %.3f ms, worst %.3f ms; interval %d ms -> "
              "median is %.1f %% of the interval\n",
              median, frames[frames.size() * 95 / 100], worst,
              CAnimationTabLayoutUI::kSlideFrameElapse,
              100.0 * median / CAnimationTabLayoutUI::kSlideFrameElapse);
}

void SlideOnRealTimers(CAnimationTabLayoutUI* tabs) {
  const int frames_per_slide = CAnimationTabLayoutUI::kSlideFrameCount + 1;
  const double cpu = ProcessorSeconds();
  const LARGE_INTEGER start = Now();
  for (int slide = 0; slide < kSlides; ++slide) {
    tabs->SelectItem(1 - tabs->GetCurSel());
    while (tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId)) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
  }
  const double wall = Seconds(start, Now());
  const double per_frame_ms = (ProcessorSeconds() - cpu) * 1000.0 / (kSlides * frames_per_slide);
  std::printf("tab slide on real timers (%d slides of %d frames)\n", kSlides, frames_per_slide);
  std::printf("  processor %.3f ms per frame against the %d ms interval (%.1f %%); a slide took "
              "%.0f ms (%d ms planned)\n",
              per_frame_ms, CAnimationTabLayoutUI::kSlideFrameElapse,
              100.0 * per_frame_ms / CAnimationTabLayoutUI::kSlideFrameElapse,
              wall * 1000.0 / kSlides, frames_per_slide * CAnimationTabLayoutUI::kSlideFrameElapse);
  std::printf("  timers the manager holds after the slides: %zu\n", g_manager->GetTimerCount());
}

}  // namespace

int main() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FrameworkProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"AnimationBench";
  ::RegisterClassExW(&wc);
  CPaintManagerUI::SetInstance(wc.hInstance);
  HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"animation bench",
                                  WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 20, 20, kTabWidth,
                                  kTabHeight + kRowHeight, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("animation_bench: no window (a display is needed)\n");
    return 1;
  }
  CPaintManagerUI manager;
  manager.Init(window, L"bench");
  g_manager = &manager;

  auto* root = new Vellum::CVerticalLayoutUI();
  root->SetBkColor(0xFFF7F8FA);
  auto* tabs = new CAnimationTabLayoutUI();
  tabs->SetFixedHeight(kTabHeight);
  tabs->Add(MakePage(0));
  tabs->Add(MakePage(1));
  root->Add(tabs);
  auto* row = new Vellum::CHorizontalLayoutUI();
  row->SetFixedHeight(kRowHeight);
  row->SetInset(RECT{8, 8, 8, 8});
  root->Add(row);
  manager.AttachRootControl(root);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  for (int i = 0; i < 3; ++i) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
  }

  SlideFrameByFrame(window, tabs);
  SlideOnRealTimers(tabs);

  const double idle = ProcessorPerSecond(kRunMs);
  std::printf("the same window idle: %.2f ms of processor per second\n", idle * 1000.0);

  const std::wstring ring_image = WriteRingImage();
  auto* ring = new Vellum::CRingUI();
  ring->SetFixedWidth(32);
  ring->SetAttribute(L"bkimage", ring_image.c_str());
  row->Add(ring);
  PumpFor(200);
  const double ring_cpu = ProcessorPerSecond(kRunMs);
  std::printf("ring turning (36 degrees every %u ms): %.2f ms of processor per second\n",
              Vellum::CRingUI::kRingTimerElapse, ring_cpu * 1000.0);
  row->Remove(ring);
  PumpFor(200);
  std::printf("  timers the manager holds once the ring is removed: %zu\n",
              manager.GetTimerCount());

  auto* roll = new Vellum::CRollTextUI();
  roll->SetText(L"Rolling text moves through its area, five pixels a step.");
  roll->SetTextColor(0xFF303030);
  row->Add(roll);
  PumpFor(100);
  roll->BeginRoll(Vellum::CRollTextUI::kRollLeft, 30);
  const double roll_cpu = ProcessorPerSecond(kRunMs);
  std::printf("rolling text (a step every 30 ms): %.2f ms of processor per second\n",
              roll_cpu * 1000.0);
  roll->EndRoll();
  PumpFor(200);
  std::printf("  timers the manager holds once the roll has ended: %zu\n", manager.GetTimerCount());

  ::DeleteFileW(ring_image.c_str());
  g_manager = nullptr;
  ::DestroyWindow(window);
  return 0;
}
