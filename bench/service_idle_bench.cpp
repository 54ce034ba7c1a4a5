// CPU time the update service's worker takes while idle: the service object started as the service
// host starts it (window, timers, polling loop with its 1 ms sleep), then left alone for 60 s (or the
// number of seconds given as the first argument). Reports the process's user and kernel time.
//   service_idle_bench.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/bench_clock.h"
#include "bench/bench_process.h"
#include "service/service_impl.h"

namespace {

class NoSessions : public SessionSource {
 public:
  bool List(std::vector<SessionEntry>* sessions) const override {
    sessions->clear();
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  NoSessions sessions;
  ServiceImpl service(&sessions);
  if (!service.StartThread()) return 1;
  // Start-up work (device id, statistics set-up) is not idling.
  Sleep(3000);
  const double before = bench::CpuMilliseconds(GetCurrentProcess());
  const LARGE_INTEGER start = bench::Now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double used = bench::CpuMilliseconds(GetCurrentProcess()) - before;
  const double wall = bench::Seconds(start, bench::Now()) * 1000.0;
  std::printf("service idle: %.0f ms CPU in %.0f ms (%.2f%% of one core)\n", used, wall, 100.0 * used / wall);
  service.RequestStop();
  service.WaitForThread(15000);
  return 0;
}
