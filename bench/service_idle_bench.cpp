// CPU time and wake-ups of the update service's worker while idle, against a reference measured in the
// same run: a thread that keeps a window with the service's 2 s timer by the former polling loop
// (drain the queue, sleep 1 ms). Then the service object, started as the service host starts it, is
// left alone for as long. Each phase lasts 60 s (or the number of seconds given as the first argument)
// and is read from the user and kernel time of the looping thread and of the whole process (which
// also holds the service's statistics and request threads).
//   service_idle_bench.exe [seconds]
// The service's addresses are empty here, so it sends nothing: no statistics, no upgrade check.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_clock.h"
#include "bench/bench_process.h"
#include "common/endpoints.h"
#include "service/service_impl.h"

namespace common {

const char* CollectionUrl() { return ""; }
const char* UpgradeUrl() { return ""; }

}  // namespace common

namespace {

class NoSessions : public SessionSource {
 public:
  bool List(std::vector<SessionEntry>* sessions) const override {
    sessions->clear();
    return true;
  }
};

struct Phase {
  double thread_ms;
  double process_ms;
  double wall_ms;
  uint64_t wakeups;
};

double ThreadCpuMilliseconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

void Print(const char* name, const Phase& phase) {
  std::printf("%-22s thread %6.0f ms, process %6.0f ms CPU in %.0f ms (%.3f%% of one core), %.1f wake-ups/s\n",
              name, phase.thread_ms, phase.process_ms, phase.wall_ms, 100.0 * phase.thread_ms / phase.wall_ms,
              phase.wakeups * 1000.0 / phase.wall_ms);
}

// Sleeps for `seconds` and reads what the looping thread and the process spent meanwhile.
template <typename Wakeups>
Phase Measure(int seconds, HANDLE thread, Wakeups wakeups) {
  const double thread_before = ThreadCpuMilliseconds(thread);
  const double before = bench::CpuMilliseconds(GetCurrentProcess());
  const uint64_t woke = wakeups();
  const LARGE_INTEGER start = bench::Now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return Phase{ThreadCpuMilliseconds(thread) - thread_before, bench::CpuMilliseconds(GetCurrentProcess()) - before,
               bench::Seconds(start, bench::Now()) * 1000.0, wakeups() - woke};
}

std::atomic<bool> g_polling{true};
std::atomic<uint64_t> g_polling_passes{0};

DWORD WINAPI PollingLoop(LPVOID) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (window != nullptr) SetTimer(window, 1, 2000, nullptr);
  while (g_polling) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    ++g_polling_passes;
    Sleep(1);
  }
  if (window != nullptr) DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;

  HANDLE polling = CreateThread(nullptr, 0, &PollingLoop, nullptr, 0, nullptr);
  if (polling == nullptr) return 1;
  Sleep(1000);
  const Phase former = Measure(seconds, polling, [] { return g_polling_passes.load(); });
  g_polling = false;
  WaitForSingleObject(polling, INFINITE);
  CloseHandle(polling);

  NoSessions sessions;
  ServiceImpl service(&sessions);
  if (!service.StartThread()) return 1;
  // Start-up work (device id, statistics set-up) is not idling.
  Sleep(3000);
  HANDLE worker = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, service.thread_id());
  const Phase waiting = Measure(seconds, worker, [&service] { return service.wakeups(); });
  if (worker != nullptr) CloseHandle(worker);
  service.RequestStop();
  service.WaitForThread(15000);

  Print("former polling loop:", former);
  Print("service worker:", waiting);
  std::printf("service / former: thread CPU %.4f, process CPU %.4f, wake-ups %.4f\n",
              waiting.thread_ms / former.thread_ms, waiting.process_ms / former.process_ms,
              static_cast<double>(waiting.wakeups) / static_cast<double>(former.wakeups));
  return 0;
}
