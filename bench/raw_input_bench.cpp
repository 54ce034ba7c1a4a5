// The main window's WM_INPUT path per mouse report, in-process: the window made as start-up makes it
// (from the embedded skin), every report it receives from injected mouse moves handed to its window
// procedure again and again with game mode off and with game mode on (which asks about the window
// under the pointer only when the detector finds a shake), against GetRawInputData alone on the same
// report (the floor) and against the least any window procedure does with it (read it, then default
// processing, reached through CallWindowProcW as the main window's is). Each report is measured kRepeat times per variant, the variants in turn. The
// goal: game mode on within 2 times the floor. The tray calls go nowhere (nothing to see under Wine
// anyway); same-direction moves never make a shake.
// Needs a display:  tools/wine-run.sh build/x86_64/bench/raw_input_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_wnd.h"
#include "app/system_cursors.h"
#include "app/tray_icon.h"
#include "bench/bench_clock.h"
#include "common/config.h"
#include "vellum/core/manager/paint_manager.h"

namespace {

using bench::Now;
using bench::Seconds;

constexpr int kRepeat = 1000;
constexpr int kReports = 200;
constexpr UINT kSkinPackageId = 137;

class NoTray final : public TrayShell {
 public:
  bool NotifyIcon(DWORD, const NOTIFYICONDATAW&) override { return true; }
};

struct Variant {
  const char* name;
  std::vector<double> ns;  // per report: mean of its repeats
};

// The least a window can do with a report: read it, then default processing.
LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INPUT) {
    alignas(8) BYTE buffer[sizeof(RAWINPUT)];
    UINT size = sizeof(buffer);
    GetRawInputData(reinterpret_cast<HRAWINPUT>(lparam), RID_INPUT, buffer, &size, sizeof(RAWINPUTHEADER));
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

struct Bench {
  HWND window = nullptr;
  WNDPROC procedure = nullptr;
  Variant floor{"GetRawInputData alone (the floor)", {}};
  Variant minimal{"minimal window procedure", {}};
  Variant off{"main window, game mode off", {}};
  Variant on{"main window, game mode on", {}};
  int unreadable = 0;  // reports whose data could no longer be read after the handler ran
  int reports = 0;

  void Measure(const MSG& msg) {
    const auto handle = reinterpret_cast<HRAWINPUT>(msg.lParam);
    auto floor_run = [&] {
      alignas(8) BYTE buffer[sizeof(RAWINPUT)];
      const LARGE_INTEGER start = Now();
      for (int i = 0; i < kRepeat; ++i) {
        UINT size = sizeof(buffer);
        GetRawInputData(handle, RID_INPUT, buffer, &size, sizeof(RAWINPUTHEADER));
      }
      floor.ns.push_back(Seconds(start, Now()) / kRepeat * 1e9);
    };
    auto handler_run = [&](Variant* variant, bool game_mode) {
      Config::GetInstance().game_mode = game_mode;
      const LARGE_INTEGER start = Now();
      for (int i = 0; i < kRepeat; ++i) CallWindowProcW(procedure, window, WM_INPUT, msg.wParam, msg.lParam);
      variant->ns.push_back(Seconds(start, Now()) / kRepeat * 1e9);
    };
    auto minimal_run = [&] {
      const LARGE_INTEGER start = Now();
      for (int i = 0; i < kRepeat; ++i) CallWindowProcW(MinimalProc, window, WM_INPUT, msg.wParam, msg.lParam);
      minimal.ns.push_back(Seconds(start, Now()) / kRepeat * 1e9);
    };
    switch (reports % 3) {
      case 0: floor_run(); minimal_run(); handler_run(&off, false); handler_run(&on, true); break;
      case 1: handler_run(&off, false); handler_run(&on, true); floor_run(); minimal_run(); break;
      default: handler_run(&on, true); minimal_run(); floor_run(); handler_run(&off, false); break;
    }
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) ++unreadable;
    ++reports;
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main() {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kSkinPackageId), L"ZIPRES");
  HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    std::printf("the skin package (resource ZIPRES 137) is missing\n");
    return 1;
  }
  const std::string package(static_cast<const char*>(data), SizeofResource(nullptr, found));
  Vellum::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  Vellum::CPaintManagerUI::SetResourceZip(package.data(), static_cast<unsigned>(package.size()));

  Config& config = Config::GetInstance();
  config.enable_shake = true;
  NoTray tray;
  MainWnd main_window(tray, RealSystemCursors(), nullptr);
  Bench bench;
  bench.window = main_window.Create(nullptr, L"", 0, WS_EX_TOOLWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT);
  if (bench.window == nullptr) {
    std::printf("the main window could not be made\n");
    return 1;
  }
  bench.procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(bench.window, GWLP_WNDPROC));

  MSG msg;
  for (int i = 0; i < kReports; ++i) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (i / 50) % 2 == 0 ? 3 : -3;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_INPUT && msg.hwnd == bench.window) bench.Measure(msg);
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  config.game_mode = false;
  DestroyWindow(bench.window);
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

  if (bench.reports == 0) {
    std::printf("no WM_INPUT reached the main window (no display?)\n");
    return 1;
  }
  std::printf("WM_INPUT reports measured: %d (x%d each per variant); unreadable after the handler: %d\n",
              bench.reports, kRepeat, bench.unreadable);
  const double floor_ns = Median(bench.floor.ns);
  for (const Variant* v : {&bench.floor, &bench.minimal, &bench.off, &bench.on}) {
    const double ns = Median(v->ns);
    std::printf("%-36s median %9.1f ns/report  (%.2f x the floor)\n", v->name, ns, ns / floor_ns);
  }
  return 0;
}
