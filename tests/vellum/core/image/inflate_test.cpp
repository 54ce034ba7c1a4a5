// The image decoder's inflater, held to zlib's own compressor: every kind of block and match an
// encoder writes, and damaged streams that must fail without a write outside the output.

#include "vellum/core/image/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Vellum::InflateZlib;

std::string Deflate(const std::string& data, int level, int strategy) {
  z_stream stream = {};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
  std::string packed(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(&packed[0]);
  stream.avail_out = static_cast<uInt>(packed.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return packed;
}

// The output lies between guard bytes that no call may touch.
struct GuardedOutput {
  static constexpr size_t kGuard = 64;
  explicit GuardedOutput(size_t size) : bytes(size + 2 * kGuard, '\xA5'), size(size) {}
  uint8_t* data() { return reinterpret_cast<uint8_t*>(&bytes[kGuard]); }
  std::string output() const { return bytes.substr(kGuard, size); }
  bool GuardsIntact() const {
    return bytes.substr(0, kGuard) == std::string(kGuard, '\xA5') &&
           bytes.substr(kGuard + size) == std::string(kGuard, '\xA5');
  }
  std::string bytes;
  size_t size;
};

bool Inflate(const std::string& packed, GuardedOutput* out) {
  return InflateZlib(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), out->data(), out->size);
}

std::vector<std::pair<const char*, std::string>> Samples() {
  std::mt19937 random(7);
  std::string noise;
  for (int i = 0; i < 70000; ++i) noise += static_cast<char>(random() & 0xFF);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "the arrow grows while the mouse shakes " + std::to_string(i * 7919 % 1000) + "\n";
  // Image rows: transparent runs, repeated pixels (matches 4 back) and rows like the one above.
  std::string rows;
  for (int y = 0; y < 200; ++y) {
    rows += static_cast<char>(y % 5);
    for (int x = 0; x < 300; ++x) {
      const bool inked = x < y;
      rows += inked ? std::string{'\x10', static_cast<char>(x), '\x30', '\xFF'} : std::string(4, '\0');
    }
  }
  // Short periods, each a different match distance below eight.
  std::string periods;
  for (int period = 1; period <= 9; ++period) {
    for (int i = 0; i < 3000; ++i) periods += static_cast<char>('a' + i % period);
  }
  // The same block again beyond 30,000 bytes back, for the farthest distances.
  std::string distant = noise.substr(0, 2000) + std::string(31000, 'z') + noise.substr(0, 2000);
  return {{"noise", noise}, {"text", text}, {"image rows", rows}, {"short periods", periods},
          {"far matches", distant}, {"zeros", std::string(300000, '\0')}, {"one byte", "x"}, {"empty", ""}};
}

TEST(InflateZlib, GivesBackWhatEveryKindOfBlockHolds) {
  struct Setting {
    const char* name;
    int level;
    int strategy;
  };
  const Setting settings[] = {{"stored", 0, Z_DEFAULT_STRATEGY}, {"fastest", 1, Z_DEFAULT_STRATEGY},
                              {"default", 6, Z_DEFAULT_STRATEGY}, {"best", 9, Z_DEFAULT_STRATEGY},
                              {"filtered", 6, Z_FILTERED},        {"Huffman only", 6, Z_HUFFMAN_ONLY},
                              {"runs", 6, Z_RLE},                 {"fixed codes", 6, Z_FIXED}};
  for (const auto& sample : Samples()) {
    for (const Setting& setting : settings) {
      SCOPED_TRACE(std::string(sample.first) + ", " + setting.name);
      const std::string packed = Deflate(sample.second, setting.level, setting.strategy);
      GuardedOutput out(sample.second.size());
      EXPECT_TRUE(Inflate(packed, &out));
      EXPECT_TRUE(out.output() == sample.second);
      EXPECT_TRUE(out.GuardsIntact());
    }
  }
}

TEST(InflateZlib, StopsWhenTheOutputIsFullAndFailsWhenTheStreamEndsFirst) {
  const std::string data = Samples()[2].second;  // image rows
  for (int level : {0, 6}) {
    SCOPED_TRACE(level);
    const std::string packed = Deflate(data, level, Z_DEFAULT_STRATEGY);
    for (size_t wanted : {size_t{0}, size_t{1}, size_t{1205}, data.size() / 2, data.size() - 1}) {
      GuardedOutput out(wanted);
      EXPECT_TRUE(Inflate(packed, &out)) << wanted;
      EXPECT_TRUE(out.output() == data.substr(0, wanted)) << wanted;
      EXPECT_TRUE(out.GuardsIntact()) << wanted;
    }
    GuardedOutput longer(data.size() + 1);
    EXPECT_FALSE(Inflate(packed, &longer));
    EXPECT_TRUE(longer.GuardsIntact());
  }
}

TEST(InflateZlib, DamagedStreamsFailWithoutWritingOutsideTheOutput) {
  const std::string data = Samples()[1].second;  // text
  const std::string packed = Deflate(data, 6, Z_DEFAULT_STRATEGY);
  std::string stored = Deflate(data.substr(0, 500), 0, Z_DEFAULT_STRATEGY);
  stored[2 + 1 + 2] ^= 0x01;  // the stored block's length no longer matches its complement

  std::string no_deflate = packed;
  no_deflate[0] = 0x79;  // compression method 9
  std::string dictionary = packed;
  dictionary[1] = static_cast<char>(0x20 | dictionary[1]);
  std::string bad_check = packed;
  bad_check[1] = static_cast<char>(bad_check[1] + 1);
  std::string reserved_block = packed;
  reserved_block[2] = static_cast<char>(reserved_block[2] | 0x06);  // block type 3

  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"header only", packed.substr(0, 2)},
      {"cut in the first block", packed.substr(0, packed.size() / 3)},
      // The end-of-block code and the checksum are never read, but the last matches are needed.
      {"cut in the last block", packed.substr(0, packed.size() - 4 - 8)},
      {"not deflate", no_deflate},
      {"preset dictionary", dictionary},
      {"header check wrong", bad_check},
      {"reserved block type", reserved_block},
      {"stored length and complement differ", stored},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    const size_t size = c.second == stored ? 500 : data.size();
    GuardedOutput out(size);
    EXPECT_FALSE(Inflate(c.second, &out));
    EXPECT_TRUE(out.GuardsIntact());
  }

  // Flipped bits anywhere: whatever the inflater makes of them, it stays inside its buffers.
  std::mt19937 random(11);
  for (int trial = 0; trial < 2000; ++trial) {
    std::string damaged = packed;
    for (int flips = 1 + trial % 3; flips > 0; --flips) {
      damaged[2 + random() % (damaged.size() - 2)] ^= static_cast<char>(1 << (random() % 8));
    }
    GuardedOutput out(data.size());
    Inflate(damaged, &out);
    ASSERT_TRUE(out.GuardsIntact()) << "trial " << trial;
  }
}

}  // namespace
