// Cost of one statistics event body as each send makes it: JSON built from the fields, enciphered
// under the collector key and Base64-encoded, against the plain JSON body alone. Run on demand:
//   tools/wine-run.sh --build build build/bench/statistics_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "common/crypto.h"
#include "common/data_session.h"

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

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
  const std::string plain = session->BuildBody(0);
  const std::string key = "Qm7Tz2Lp9Xc4Vb8Nw1Rk6Hd3Js5Fg0Ya";

  // Each round times every variant once, in turn; the medians over the rounds are reported.
  constexpr int kRounds = 15;
  constexpr int kBodies = 2000;
  std::vector<double> plain_us, body_us, schedule_us;
  size_t size = 0;
  for (int round = 0; round < kRounds; ++round) {
    LARGE_INTEGER start = bench::Now();
    for (int i = 0; i < kBodies; ++i) size += session->BuildBody(0).size();
    plain_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);

    start = bench::Now();
    for (int i = 0; i < kBodies; ++i) size += session->BuildBody(1).size();
    body_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);

    // What every body cost while each one made its own key schedule.
    start = bench::Now();
    for (int i = 0; i < kBodies; ++i) {
      const Blowfish cipher(key);
      uint32_t left = 0, right = 0;
      cipher.EncryptBlock(&left, &right);
      size += left & 1;
    }
    schedule_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);
  }
  const double plain_median = Median(plain_us);
  const double body_median = Median(body_us);
  std::printf("event of %u plain bytes, enciphered body %u bytes; medians of %d rounds of %d\n",
              static_cast<unsigned>(plain.size()), static_cast<unsigned>(session->BuildBody(1).size()), kRounds,
              kBodies);
  std::printf("plain JSON body alone (the floor):        %7.2f us\n", plain_median);
  std::printf("built, enciphered and encoded:            %7.2f us  (%.2f x the floor)\n", body_median,
              body_median / plain_median);
  std::printf("one key schedule, no longer in each body: %7.2f us\n", Median(schedule_us));
  return size == 0 ? 1 : 0;
}
