// CPU time the update service's worker takes while idle: the service object started as the service
// host starts it (window, timers, polling loop with its 1 ms sleep), then left alone for 60 s (or the
// number of seconds given as the first argument). Reports the process's user and kernel time.
//   service_idle_bench.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/bench_clock.h"
#include "service/service_impl.h"

namespace {

class NoSessions : public SessionSource {
 public:
  bool List(std::vector<SessionEntry>* sessions) const override {
    sessions->clear();
    return true;
  }
};

double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  NoSessions sessions;
  ServiceImpl service(&sessions);
  if (!service.StartThread()) return 1;
  // Start-up work (device id, statistics set-up) is not idling.
  Sleep(3000);
  const double before = CpuMilliseconds();
  const LARGE_INTEGER start = bench::Now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double used = CpuMilliseconds() - before;
  const double wall = bench::Seconds(start, bench::Now()) * 1000.0;
  std::printf("service idle: %.0f ms CPU in %.0f ms (%.2f%% of one core)\n", used, wall, 100.0 * used / wall);
  service.RequestStop();
  service.WaitForThread(15000);
  return 0;
}
