// Cost of one statistics event body as each send makes it: JSON built from the fields, enciphered
// under the collector key and Base64-encoded. Run on demand:
//   tools/wine-run.sh --build build build/bench/statistics_bench.exe
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_clock.h"
#include "common/data_session.h"

int main() {
  // The common fields of a typical desktop and one event.
  const common::DataSession::StringMap fields = {
      {"av", "1.0.0.0"},      {"cp", "win32"},       {"ctz", "480"},          {"did", "lumavex_web"},
      {"dnt", "0"},           {"dpr", "96"},         {"dram", "16"},          {"drd", "32"},
      {"drh", "1080"},        {"drw", "1920"},       {"duid", "0535ae45862d2434bed543d4c87f9f795668051a49"},
      {"ea", "lumavex"},      {"em", "main"},        {"en", "event"},         {"et", "mouse_shaked"},
      {"iid", "8c1f2e3d"},    {"mv", "1.0.0.0"},     {"osa", "x64"},          {"osbn", "22631"},
      {"osn", "windows 11"},  {"oskv", "23H2"},      {"sv", "1"},             {"utmm", "cpc"},
      {"utms", "search"},     {"cets", "1765370000"}, {"first_hit", "true"}};
  auto session = std::make_shared<common::DataSession>("", fields, common::DataSession::StringMap(), false, false,
                                                       nullptr);

  const int kBodies = 5000;
  size_t size = 0;
  const LARGE_INTEGER start = bench::Now();
  for (int i = 0; i < kBodies; ++i) size += session->BuildBody(1).size();
  const double seconds = bench::Seconds(start, bench::Now());
  std::printf("event of %u plain bytes: %.1f us to build, encipher and encode (body %u bytes)\n",
              static_cast<unsigned>(session->BuildBody(0).size()), seconds * 1e6 / kBodies,
              static_cast<unsigned>(size / kBodies));
  return 0;
}
