// The running tray program left idle: wake-ups per second, CPU time and private bytes over 60 s (or
// the seconds given), next to a program that only waits for messages in one window (the reference:
// what any idle program costs here). Both are started side by side and measured over the same time,
// after the tray program's icon is shown and 3 s of settling. CPU time and private bytes are what
// Windows reports for the process; wake-ups are the voluntary context switches of all its threads as
// the host kernel counts them (bench/bench_process.h), so they exist only under Wine on Linux.
//   tools/wine-run.sh build/x86_64/bench/idle_bench.exe [seconds] [path of Lumavex.exe]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/bench_clock.h"
#include "bench/bench_process.h"
#include "bench/tray_program.h"

namespace {

// The reference program: this benchmark started again with this switch; it waits for messages in one
// hidden window until it is told to quit.
constexpr wchar_t kIdleWindowSwitch[] = L"--idle-window";

int IdleWindow() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumavexIdleReference";
  RegisterClassExW(&wc);
  if (CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr) == nullptr) {
    return 1;
  }
  const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == quit) break;
    DispatchMessageW(&msg);
  }
  return 0;
}

struct Sample {
  double cpu_ms = 0;
  uint64_t voluntary = 0;
  uint64_t involuntary = 0;
  uint64_t private_bytes = 0;
};

struct Measured {
  const char* name;
  HANDLE process = nullptr;
  unsigned long host_pid = 0;
  Sample first, last;
  uint64_t max_private = 0;

  Sample Take() const {
    Sample s;
    s.cpu_ms = bench::CpuMilliseconds(process);
    s.private_bytes = bench::PrivateBytes(process);
    if (host_pid != 0) bench::HostContextSwitches(host_pid, &s.voluntary, &s.involuntary);
    return s;
  }

  void Print(double seconds) const {
    std::printf("%-22s wake-ups %7.2f /s (preemptions %.2f /s), CPU %6.1f ms (%.3f%% of one core), "
                "private bytes %.0f KiB at the start, %.0f KiB at the end, %.0f KiB at most\n",
                name, host_pid != 0 ? (last.voluntary - first.voluntary) / seconds : -1.0,
                host_pid != 0 ? (last.involuntary - first.involuntary) / seconds : -1.0, last.cpu_ms - first.cpu_ms,
                (last.cpu_ms - first.cpu_ms) / (seconds * 10.0), first.private_bytes / 1024.0,
                last.private_bytes / 1024.0, max_private / 1024.0);
  }
};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc > 1 && std::wstring(argv[1]) == kIdleWindowSwitch) return IdleWindow();
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 60;
  const std::wstring program = bench::TrayProgramPath(argc, argv, 2);
  if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("%ls is not built\n", program.c_str());
    return 1;
  }

  // Markers in the two environments find the processes among the host's.
  const std::wstring mark = L"LUMAVEX_IDLE_BENCH=" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetTickCount());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  bench::TrayProgram tray_program;
  bench::TrayProgram reference;
  if (!tray_program.Start(program, std::wstring(), mark + L"-program") ||
      !reference.Start(self, kIdleWindowSwitch, mark + L"-reference")) {
    std::printf("a program could not be started\n");
    return 1;
  }
  if (tray_program.WaitForTrayIcon(30000) < 0) {
    std::printf("the tray program showed no tray icon within 30 s\n");
    return 1;
  }
  Sleep(3000);

  auto narrow = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
  Measured measured[] = {{"tray program", tray_program.process(), 0, {}, {}, 0},
                         {"reference (one window)", reference.process(), 0, {}, {}, 0}};
  measured[0].host_pid = bench::HostPidWithEnvironment(narrow(mark) + "-program");
  measured[1].host_pid = bench::HostPidWithEnvironment(narrow(mark) + "-reference");
  for (Measured& m : measured) {
    m.first = m.Take();
    m.max_private = m.first.private_bytes;
  }
  const LARGE_INTEGER start = bench::Now();
  for (int i = 0; i < seconds; ++i) {
    Sleep(1000);
    for (Measured& m : measured) m.max_private = std::max(m.max_private, bench::PrivateBytes(m.process));
  }
  for (Measured& m : measured) m.last = m.Take();
  const double elapsed = bench::Seconds(start, bench::Now());

  std::printf("idle over %.1f s (host pids %lu and %lu; wake-ups -1 where the host cannot be read)\n", elapsed,
              measured[0].host_pid, measured[1].host_pid);
  for (const Measured& m : measured) m.Print(elapsed);
  LocalFree(argv);
  return 0;
}
