// Costs on the shake path, measured in one run under the platform the program runs on:
//   - per WM_INPUT report: GetRawInputData alone (the floor) against GetRawInputData plus
//     ShakeDetector::AddMouseDelta, on same-direction reports (the common case);
//   - ShakeDetector::DetectShake with 10 and 1,000 samples in the window;
//   - building the enlarged cursor at factors 3 and 5, whole (in turns with the former build, whose
//     arrow the platform decoded) and step by step, beside what this machine charges for the first
//     touch of the fresh memory the build cannot do without.
// Needs a display (raw input goes to a window): tools/wine-run.sh --build build build/bench/shake_bench.exe
#include <windows.h>
#include <objidl.h>
// GDI+ needs the COM stream types above it.
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/cursor_utils.h"
#include "app/shake_detector.h"
#include "bench/bench_clock.h"
#include "bench/bench_window.h"
#include "common/base/gdi_handles.h"

namespace {

using bench::Now;
using bench::Seconds;

// Each WM_INPUT packet is read kRepeat times per variant, alternating which variant goes first.
constexpr int kRepeat = 2000;
constexpr int kReports = 300;

struct ReportBench {
  ShakeDetector detector{[] {}, [] { return uint64_t{1000000}; }};
  double floor_seconds = 0;
  double with_detector_seconds = 0;
  int reports = 0;

  void Measure(HRAWINPUT handle) {
    alignas(8) BYTE buffer[sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE)];
    auto floor = [&] {
      const LARGE_INTEGER start = Now();
      for (int i = 0; i < kRepeat; ++i) {
        UINT size = sizeof(buffer);
        GetRawInputData(handle, RID_INPUT, buffer, &size, sizeof(RAWINPUTHEADER));
      }
      floor_seconds += Seconds(start, Now());
    };
    // The program's own path: the read, its checks and the merge.
    auto with_detector = [&] {
      const LARGE_INTEGER start = Now();
      for (int i = 0; i < kRepeat; ++i) detector.OnRawInput(handle);
      with_detector_seconds += Seconds(start, Now());
    };
    if (reports % 2 == 0) {
      floor();
      with_detector();
    } else {
      with_detector();
      floor();
    }
    ++reports;
  }
};

ReportBench* g_bench = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INPUT && g_bench != nullptr) g_bench->Measure(reinterpret_cast<HRAWINPUT>(lparam));
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool BenchReports() {
  HWND hwnd = bench::CreateHiddenToolWindow(L"LumavexShakeBench", Proc);
  RAWINPUTDEVICE device = {1, 2, RIDEV_INPUTSINK, hwnd};
  if (hwnd == nullptr || !RegisterRawInputDevices(&device, 1, sizeof(device))) {
    std::printf("raw input unavailable (no display?)\n");
    return false;
  }
  ReportBench bench;
  // The detector starts with one sample, so every measured report is a merge.
  RAWINPUT first = {};
  first.header.dwType = RIM_TYPEMOUSE;
  first.data.mouse.lLastX = 5;
  bench.detector.AddMouseDelta(first);
  g_bench = &bench;
  for (int i = 0; i < kReports; ++i) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = 5;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  g_bench = nullptr;
  DestroyWindow(hwnd);

  const double calls = static_cast<double>(bench.reports) * kRepeat;
  const double floor_ns = bench.floor_seconds / calls * 1e9;
  const double both_ns = bench.with_detector_seconds / calls * 1e9;
  std::printf("WM_INPUT reports measured: %d (x%d reads each), samples after: %zu\n", bench.reports, kRepeat,
              bench.detector.samples().size());
  std::printf("GetRawInputData alone:                  %8.1f ns/report\n", floor_ns);
  std::printf("GetRawInputData + AddMouseDelta (merge): %8.1f ns/report  (+%.1f %%)\n", both_ns,
              (both_ns - floor_ns) / floor_ns * 100.0);
  return true;
}

void BenchDetectShake(int samples) {
  int decisions = 0;
  ShakeDetector detector([&] { ++decisions; }, [] { return uint64_t{1000000}; });
  for (int i = 0; detector.samples().size() < static_cast<size_t>(samples); ++i) {
    RAWINPUT packet = {};
    packet.header.dwType = RIM_TYPEMOUSE;
    packet.data.mouse.lLastX = i % 2 == 0 ? 1 : -1;
    detector.AddMouseDelta(packet);
  }
  const int iterations = samples <= 10 ? 1000000 : 20000;
  const LARGE_INTEGER start = Now();
  for (int i = 0; i < iterations; ++i) detector.DetectShake();
  const double ns = Seconds(start, Now()) / iterations * 1e9;
  std::printf("DetectShake with %4d samples:           %8.1f ns/call\n", samples, ns);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The first touch of a freshly allocated 1 MiB block, one write per page: what the decoded 512 x 512
// arrow costs before a pixel is decoded, and again for GDI+'s premultiplied copy of it, which DrawImage
// makes whatever the source's pixel format. Virtual machines charge many times what bare hardware does.
double FreshMebibyteMilliseconds() {
  constexpr size_t kBytes = 1u << 20;
  std::vector<double> ms;
  for (int i = 0; i < 20; ++i) {
    const LARGE_INTEGER start = Now();
    std::unique_ptr<char[]> block(new char[kBytes]);
    volatile char* bytes = block.get();
    for (size_t at = 0; at < kBytes; at += 4096) bytes[at] = 1;
    ms.push_back(Seconds(start, Now()) * 1e3);
  }
  return Median(ms);
}

// The arrow decoded by the platform, through GDI+ from a stream, as the program once did.
CursorUtils::BitmapPtr PlatformDecode() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(CursorUtils::kArrowResourceId), L"PNG");
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  IStream* stream = nullptr;
  if (bytes == nullptr || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
  ULONG written = 0;
  stream->Write(bytes, SizeofResource(module, found), &written);
  LARGE_INTEGER origin = {};
  stream->Seek(origin, STREAM_SEEK_SET, nullptr);
  CursorUtils::BitmapPtr bitmap(Gdiplus::Bitmap::FromStream(stream));
  stream->Release();
  return bitmap;
}

double PlatformDecodeMilliseconds() {
  const LARGE_INTEGER start = Now();
  const CursorUtils::BitmapPtr bitmap = PlatformDecode();
  return bitmap ? Seconds(start, Now()) * 1e3 : 0;
}

// The build as the program first made it, the reference for its speed: the same steps with the
// arrow decoded by the platform. Owned by the caller, null on failure.
HCURSOR FormerBuild(HCURSOR source, int scale, int base_size) {
  ScopedIconInfo info;
  if (!info.Read(source)) return nullptr;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return nullptr;
  HCURSOR result = nullptr;
  {
    CursorUtils::BitmapPtr image = PlatformDecode();
    CursorUtils::BitmapPtr scaled = CursorUtils::ScaleBitmap(image.get(), scale * base_size, scale * base_size);
    result = CursorUtils::BitmapToCursor(scaled.get(), static_cast<int>(info.get().xHotspot),
                                         static_cast<int>(info.get().yHotspot));
  }
  Gdiplus::GdiplusShutdown(token);
  return result;
}

// The program's build and the former one in turns, so that both meet the same machine.
void BenchCursorBuild(int scale) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const int base = CursorUtils::GetCursorBaseSize().width;
  constexpr int kBuilds = 20;
  std::vector<double> ms, former_ms;
  for (int i = 0; i < kBuilds; ++i) {
    LARGE_INTEGER start = Now();
    const ScopedCursor cursor(CursorUtils::BuildScaledCursor(arrow, scale, base));
    ms.push_back(Seconds(start, Now()) * 1e3);
    start = Now();
    const ScopedCursor former(FormerBuild(arrow, scale, base));
    former_ms.push_back(Seconds(start, Now()) * 1e3);
    if (!cursor || !former) {
      std::printf("cursor build failed at factor %d\n", scale);
      return;
    }
  }
  const double median = Median(ms);
  const double former = Median(former_ms);
  std::printf("Enlarged cursor build, factor %d (%dx%d): median %.2f ms against %.2f ms for the former build "
              "(%.2f x)\n",
              scale, scale * base, scale * base, median, former, median / former);
  const double fresh = FreshMebibyteMilliseconds();
  std::printf("  first touch of a fresh 1 MiB block: %.2f ms; the two the build needs take %.2f ms of it, "
              "the rest of the build %.2f ms\n",
              fresh, 2 * fresh, median - 2 * fresh);
}

// The build's steps one by one (medians), to show where its time goes.
void BenchCursorSteps(int scale) {
  const int side = scale * CursorUtils::GetCursorBaseSize().width;
  constexpr int kRuns = 20;
  std::vector<double> startup, load, platform_load, resize, convert;
  for (int i = 0; i < kRuns; ++i) {
    LARGE_INTEGER t0 = Now();
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return;
    const LARGE_INTEGER t1 = Now();
    platform_load.push_back(PlatformDecodeMilliseconds());
    {
      const LARGE_INTEGER t1b = Now();
      CursorUtils::BitmapPtr image = CursorUtils::LoadPngResource();
      LARGE_INTEGER t2 = Now();
      CursorUtils::BitmapPtr scaled = CursorUtils::ScaleBitmap(image.get(), side, side);
      LARGE_INTEGER t3 = Now();
      const ScopedCursor cursor(CursorUtils::BitmapToCursor(scaled.get(), 0, 0));
      LARGE_INTEGER t4 = Now();
      load.push_back(Seconds(t1b, t2) * 1e3);
      resize.push_back(Seconds(t2, t3) * 1e3);
      convert.push_back(Seconds(t3, t4) * 1e3);
    }
    LARGE_INTEGER t5 = Now();
    Gdiplus::GdiplusShutdown(token);
    startup.push_back((Seconds(t0, t1) + Seconds(t5, Now())) * 1e3);
  }
  std::printf("  factor %d steps (medians): GDI+ start+stop %.2f ms, PNG decode %.2f ms (platform decoder %.2f ms, "
              "%.2f x), scale %.2f ms, to cursor %.2f ms\n",
              scale, Median(startup), Median(load), Median(platform_load), Median(load) / Median(platform_load),
              Median(resize), Median(convert));
}

}  // namespace

int main() {
  BenchReports();
  BenchDetectShake(10);
  BenchDetectShake(1000);
  BenchCursorBuild(3);
  BenchCursorSteps(3);
  BenchCursorBuild(5);
  BenchCursorSteps(5);
  return 0;
}
