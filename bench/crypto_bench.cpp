// Throughput of the statistics body's cipher and encoding, run on demand:
//   tools/wine-run.sh --build build build/bench/crypto_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "common/crypto.h"

namespace {

// 32 characters, like the collector key; the figures do not depend on its value.
const char kKey[] = "bench-key-0123456789abcdefghijkl";

// An event body of the usual size: the common fields and one event.
const char kTypicalBody[] =
    "{\"av\":\"1.0.0.0\",\"cp\":\"win32\",\"ctz\":\"480\",\"did\":\"lumavex_web\",\"dnt\":\"0\",\"dpr\":\"96\","
    "\"dram\":\"16\",\"drd\":\"32\",\"drh\":\"1080\",\"drw\":\"1920\",\"duid\":"
    "\"0535ae45862d2434bed543d4c87f9f795668051a49\",\"ea\":\"lumavex\",\"em\":\"main\",\"en\":\"event\","
    "\"ep\":{\"scale\":\"3\"},\"et\":\"mouse_shaked\",\"iid\":\"8c1f2e3d\",\"mv\":\"1.0.0.0\",\"osa\":\"x64\","
    "\"osbn\":\"22631\",\"osn\":\"windows 11\",\"oskv\":\"23H2\",\"sv\":\"1\",\"utmm\":\"cpc\",\"utms\":\"search\"}";

}  // namespace

int main() {
  LARGE_INTEGER start;
  LARGE_INTEGER end;

  // One body: key schedule, encipher, encode, as each send does it.
  const std::string body(kTypicalBody);
  const int kBodies = 2000;
  std::vector<unsigned char> buffer(Blowfish::PaddedLength(body.size()));
  std::string encoded;
  start = bench::Now();
  for (int i = 0; i < kBodies; ++i) {
    Blowfish cipher;
    cipher.SetKey(std::string(kKey));
    const size_t padded = cipher.Encrypt(reinterpret_cast<const unsigned char*>(body.data()), buffer.data(), body.size());
    Base64Encode(&encoded, buffer.data(), padded);
  }
  end = bench::Now();
  std::printf("event body of %u bytes: %.1f us to encipher and encode (key schedule included)\n",
              static_cast<unsigned>(body.size()), bench::Seconds(start, end) * 1e6 / kBodies);

  const size_t kMiB = 1 << 20;
  const int kRounds = 20;
  std::vector<unsigned char> data(kMiB);
  for (size_t i = 0; i < kMiB; ++i) data[i] = static_cast<unsigned char>(i * 131 + 7);

  Blowfish cipher;
  cipher.SetKey(std::string(kKey));
  start = bench::Now();
  for (int i = 0; i < kRounds; ++i) cipher.Encrypt(data.data(), data.data(), kMiB);
  end = bench::Now();
  std::printf("Blowfish-ECB: %.1f MB/s over 1 MiB\n", kRounds * (kMiB / 1e6) / bench::Seconds(start, end));

  std::vector<char> text(4 * ((kMiB + 2) / 3) + 1);
  start = bench::Now();
  for (int i = 0; i < kRounds; ++i) Base64EncodeRaw(text.data(), data.data(), kMiB);
  end = bench::Now();
  std::printf("Base64 encode: %.1f MB/s over 1 MiB\n", kRounds * (kMiB / 1e6) / bench::Seconds(start, end));
  return 0;
}
