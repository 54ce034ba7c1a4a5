// Cost of one statistics event body as each send makes it: JSON written from the fields, enciphered
// under the collector key and Base64-encoded, against the same body made through the JSON library's
// document with a key schedule per body (the reference, checked to give the same bytes). Run on demand:
//   tools/wine-run.sh --build build build/bench/statistics_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
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

  // The reference: the body as it used to be made, through the JSON library's document and with a
  // key schedule of its own. It must give the same bytes.
  auto reference_body = [&] {
    nlohmann::json event = nlohmann::json::object();
    for (const auto& [name, value] : session->fields()) {
      if (value.empty()) continue;
      if (value == "true" || value == "false") {
        event[name] = value == "true";
      } else {
        event[name] = value;
      }
    }
    std::string data;
    BlowfishEncryptToBase64(key, event.dump(), &data);
    nlohmann::json body = nlohmann::json::object();
    body["data"] = data;
    body["enc"] = "1";
    return body.dump();
  };
  if (reference_body() != session->BuildBody(1)) {
    std::printf("the body differs from the reference\n");
    return 1;
  }

  // Each round times every variant once, in turn; the medians over the rounds are reported.
  constexpr int kRounds = 15;
  constexpr int kBodies = 2000;
  std::vector<double> plain_us, body_us, reference_us;
  size_t size = 0;
  for (int round = 0; round < kRounds; ++round) {
    LARGE_INTEGER start = bench::Now();
    for (int i = 0; i < kBodies; ++i) size += session->BuildBody(0).size();
    plain_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);

    start = bench::Now();
    for (int i = 0; i < kBodies; ++i) size += session->BuildBody(1).size();
    body_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);

    start = bench::Now();
    for (int i = 0; i < kBodies; ++i) size += reference_body().size();
    reference_us.push_back(bench::Seconds(start, bench::Now()) * 1e6 / kBodies);
  }
  const double body_median = Median(body_us);
  const double reference_median = Median(reference_us);
  std::printf("event of %u plain bytes, enciphered body %u bytes; medians of %d rounds of %d\n",
              static_cast<unsigned>(plain.size()), static_cast<unsigned>(session->BuildBody(1).size()), kRounds,
              kBodies);
  std::printf("reference (JSON document, own key schedule): %7.2f us\n", reference_median);
  std::printf("built, enciphered and encoded:               %7.2f us  (%.3f x the reference)\n", body_median,
              body_median / reference_median);
  std::printf("of which the plain event text:               %7.2f us\n", Median(plain_us));
  return size == 0 ? 1 : 0;
}
