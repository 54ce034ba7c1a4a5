// Start-up of the tray program: from process start to its tray icon added, against a program that
// creates one window and exits (the floor: starting any Windows program with a window here). Under
// Wine the icon is seen when its window appears in Wine's stand-alone tray window (bench/tray_program.h);
// it is polled every millisecond. The runs alternate between the two; medians are reported.
//   tools/wine-run.sh build/x86_64/bench/startup_bench.exe [runs] [path of Lumavex.exe]
// The program is the loopback build next to the benchmark unless a path is given; it is ended after
// each run by the installer's quit broadcast.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_window.h"
#include "bench/tray_program.h"

namespace {

// The floor program: this benchmark started again with this switch.
constexpr wchar_t kOneWindowSwitch[] = L"--one-window";

int OneWindow() {
  HWND window = bench::CreateHiddenToolWindow(L"LumavexStartupFloor", DefWindowProcW);
  if (window == nullptr) return 1;
  DestroyWindow(window);
  return 0;
}

// Seconds from the start of the floor program to its end; negative on failure.
double FloorRun() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + kOneWindowSwitch;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const LARGE_INTEGER start = bench::Now();
  if (!CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
  WaitForSingleObject(info.hProcess, INFINITE);
  const double seconds = bench::Seconds(start, bench::Now());
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code == 0 ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc > 1 && std::wstring(argv[1]) == kOneWindowSwitch) return OneWindow();
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
  const std::wstring program = bench::TrayProgramPath(argc, argv, 2);
  if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("%ls is not built\n", program.c_str());
    return 1;
  }

  std::vector<double> floor_ms, program_ms;
  for (int run = 0; run < runs; ++run) {
    const double floor = FloorRun();
    bench::TrayProgram tray_program;
    if (floor < 0 || !tray_program.Start(program)) {
      std::printf("run %d: a program could not be started\n", run + 1);
      return 1;
    }
    const double to_icon = tray_program.WaitForTrayIcon(30000);
    tray_program.Quit(15000);
    if (to_icon < 0) {
      std::printf("run %d: no tray icon within 30 s\n", run + 1);
      return 1;
    }
    floor_ms.push_back(floor * 1e3);
    program_ms.push_back(to_icon * 1e3);
    std::printf("run %d: one-window program %.0f ms, tray program to its icon %.0f ms\n", run + 1, floor * 1e3,
                to_icon * 1e3);
  }
  const double floor_median = Median(floor_ms);
  const double program_median = Median(program_ms);
  std::printf("median of %d runs: one window and exit (the floor) %.0f ms; start to tray icon added %.0f ms "
              "(%.2f x the floor)\n",
              runs, floor_median, program_median, program_median / floor_median);
  LocalFree(argv);
  return 0;
}
