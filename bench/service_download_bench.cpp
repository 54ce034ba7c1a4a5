// The update service's package download: the same WinHttpTask set-up the service uses (GET of the
// offered address, answer written into a file it creates new in the package folder, the size cap),
// timed over a few runs. The best run is reported in seconds, with the bytes received; the package
// is deleted before each run, as the service deletes an old one, and after the last.
//   service_download_bench.exe <url> [runs]
// tools/bench-service-download.sh serves a 100 MB package on the loopback server and compares the
// figure with curl fetching the same address.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_clock.h"
#include "common/winhttp_task.h"
#include "service/setup_package.h"

namespace {

// The agent the service sends.
constexpr wchar_t kAgent[] = L"default 1.0";

// One download into `path`; the seconds it took, or a negative value when it failed.
double DownloadOnce(const std::string& url, const std::wstring& path, unsigned long long* bytes) {
  DeleteFileW(path.c_str());
  WinHttpTask task;
  if (!task.CrackUrl(url, WinHttpTask::kGet) || task.host().empty() || task.path().empty()) return -1.0;
  task.set_output_path(path);
  task.set_output_create_new(true);
  task.set_max_length(kMaxPackageBytes);
  task.set_agent(kAgent);
  const LARGE_INTEGER start = bench::Now();
  if (!task.Start()) return -1.0;
  WaitForSingleObject(task.done_event(), INFINITE);
  const double seconds = bench::Seconds(start, bench::Now());
  if (task.state() != WinHttpTask::kSucceeded) {
    std::printf("download failed, http code %lu\n", task.http_status());
    return -1.0;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1.0;
  *bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: service_download_bench.exe <url> [runs]\n");
    return 2;
  }
  const std::string url = argv[1];
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return 1;
  // The package folder prepared as the service prepares its own, under this user's temporary folder.
  const std::wstring path = SetupPackagePathIn(std::wstring(temp, length), "9.9.9.9");
  if (path.empty()) {
    std::printf("package folder could not be prepared\n");
    return 1;
  }

  double best = -1.0;
  unsigned long long bytes = 0;
  for (int i = 0; i < runs; ++i) {
    const double seconds = DownloadOnce(url, path, &bytes);
    if (seconds < 0) {
      DeleteFileW(path.c_str());
      return 1;
    }
    std::printf("service download run %d: %.3f s\n", i + 1, seconds);
    if (best < 0 || seconds < best) best = seconds;
  }
  DeleteFileW(path.c_str());
  std::printf("service download: %llu bytes, best %.3f s (%.1f MB/s)\n", bytes, best,
              static_cast<double>(bytes) / best / 1e6);
  return 0;
}
