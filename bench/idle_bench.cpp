// The running tray program left idle: wake-ups per second, CPU time and private bytes over 60 s (or
// the seconds given), next to a program that only waits for messages in one window (the reference:
// what any idle program costs here). Both are started side by side and measured over the same time,
// after the tray program's icon is shown and 3 s of settling. Wine reports no times or memory counters
// of another process, so the figures are the host kernel's (bench/bench_process.h): wake-ups are the
// voluntary context switches of all the process's threads, CPU time is theirs, and private bytes are
// its resident anonymous memory (Windows' own private bytes are printed too where they are reported).
//   tools/wine-run.sh build/x86_64/bench/idle_bench.exe [seconds] [path of Lumavex.exe]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "bench/bench_clock.h"
#include "bench/bench_process.h"
#include "bench/bench_window.h"
#include "bench/tray_program.h"

namespace {

// The reference program: this benchmark started again with this switch; it waits for messages in one
// hidden window until it is told to quit.
constexpr wchar_t kIdleWindowSwitch[] = L"--idle-window";

int IdleWindow() {
  if (bench::CreateHiddenToolWindow(L"LumavexIdleReference", DefWindowProcW) == nullptr) return 1;
  const UINT quit = RegisterWindowMessageW(L"LUMAVEX_QUIT_MSG");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == quit) break;
    DispatchMessageW(&msg);
  }
  return 0;
}

struct Measured {
  Measured(const char* name, HANDLE process, std::string command_line)
      : name(name), process(process), command_line(std::move(command_line)) {}

  const char* name;
  HANDLE process;
  std::string command_line;  // as the host shows it, to find the host process
  unsigned long host_pid = 0;
  bench::HostProcessSample first, last;
  uint64_t max_rss_anon_kib = 0;
  uint64_t windows_private_first = 0, windows_private_last = 0;

  void Start() {
    host_pid = bench::HostPidWithCommandLine(command_line);
    if (host_pid != 0) first = bench::SampleHostProcess(host_pid);
    max_rss_anon_kib = first.rss_anon_kib;
    windows_private_first = bench::PrivateBytes(process);
  }
  void Poll() {
    if (host_pid != 0) max_rss_anon_kib = std::max(max_rss_anon_kib, bench::SampleHostProcess(host_pid).rss_anon_kib);
  }
  void Stop() {
    if (host_pid != 0) last = bench::SampleHostProcess(host_pid);
    windows_private_last = bench::PrivateBytes(process);
  }

  void Print(double seconds) const {
    if (host_pid == 0 || !first.ok || !last.ok) {
      std::printf("%-22s not found among the host's processes\n", name);
      return;
    }
    const double cpu_ms = last.cpu_ms - first.cpu_ms;
    std::printf("%-22s wake-ups %7.2f /s (preemptions %.2f /s), CPU %5.0f ms (%.3f%% of one core)\n", name,
                (last.voluntary - first.voluntary) / seconds, (last.involuntary - first.involuntary) / seconds,
                cpu_ms, cpu_ms / (seconds * 10.0));
    std::printf("%-22s private (resident anonymous) memory %llu KiB at the start, %llu KiB at the end, "
                "%llu KiB at most; all resident %llu KiB; Windows private bytes %llu -> %llu KiB%s\n",
                "", static_cast<unsigned long long>(first.rss_anon_kib),
                static_cast<unsigned long long>(last.rss_anon_kib),
                static_cast<unsigned long long>(max_rss_anon_kib), static_cast<unsigned long long>(last.rss_kib),
                static_cast<unsigned long long>(windows_private_first / 1024),
                static_cast<unsigned long long>(windows_private_last / 1024),
                windows_private_last == 0 ? " (not reported here)" : "");
  }
};

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

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

  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  bench::TrayProgram tray_program;
  bench::TrayProgram reference;
  if (!tray_program.Start(program) || !reference.Start(self, kIdleWindowSwitch)) {
    std::printf("a program could not be started\n");
    return 1;
  }
  if (tray_program.WaitForTrayIcon(30000) < 0) {
    std::printf("the tray program showed no tray icon within 30 s\n");
    return 1;
  }
  Sleep(3000);

  Measured measured[] = {{"tray program", tray_program.process(), Narrow(program)},
                         {"reference (one window)", reference.process(),
                          Narrow(std::wstring(self) + L" " + kIdleWindowSwitch)}};
  for (Measured& m : measured) m.Start();
  const LARGE_INTEGER start = bench::Now();
  for (int i = 0; i < seconds; ++i) {
    Sleep(1000);
    for (Measured& m : measured) m.Poll();
  }
  for (Measured& m : measured) m.Stop();
  const double elapsed = bench::Seconds(start, bench::Now());

  std::printf("idle over %.1f s (host pids %lu and %lu)\n", elapsed, measured[0].host_pid, measured[1].host_pid);
  for (const Measured& m : measured) m.Print(elapsed);
  LocalFree(argv);
  return 0;
}
