#include "common/crypto.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using testing_support::HexDecode;
using testing_support::HexEncode;

std::string EncodeBase64(const std::string& bytes) {
  std::string out = "unchanged";
  EXPECT_TRUE(Base64Encode(&out, bytes.data(), bytes.size()));
  return out;
}

TEST(Sha1Digest, PublishedDigestsAsRawBytes) {
  struct Case {
    std::string input;
    const char* hex;
  } cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.size());
    const std::string digest = Sha1Digest(c.input);
    ASSERT_EQ(digest.size(), 20u);
    EXPECT_EQ(HexEncode(digest), c.hex);
  }
  EXPECT_EQ(Sha1Digest(nullptr, 3), "");
}

TEST(Base64, PaddingAndAlphabet) {
  struct Case {
    std::string input;
    const char* encoded;
  } cases[] = {
      {"", ""},
      {"a", "YQ=="},
      {"ab", "YWI="},
      {"abc", "YWJj"},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xfb\xff\xbf", 3), "+/+/"},
      {std::string("\0\0\0\0", 4), "AAAAAA=="},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoded);
    EXPECT_EQ(EncodeBase64(c.input), c.encoded);
  }
}

TEST(Base64, RawEncoderCountsAndTerminates) {
  std::vector<char> out(9, 'x');
  const unsigned char in[] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(Base64EncodeRaw(out.data(), in, 4), 8u);
  EXPECT_EQ(std::string(out.data()), "YWJjZA==");
  EXPECT_EQ(Base64EncodeRaw(out.data(), in, 0), 0u);
  EXPECT_EQ(out[0], '\0');
}

TEST(Base64, RejectsMissingBuffers) {
  std::string out;
  EXPECT_FALSE(Base64Encode(nullptr, "a", 1));
  EXPECT_FALSE(Base64Encode(&out, nullptr, 1));
  EXPECT_TRUE(Base64Encode(&out, nullptr, 0));
  EXPECT_EQ(out, "");
}

TEST(Blowfish, PublishedBlockVectors) {
  struct Case {
    const char* key;
    uint32_t plain[2];
    uint32_t cipher[2];
  } cases[] = {
      {"0000000000000000", {0x00000000, 0x00000000}, {0x4EF99745, 0x6198DD78}},
      {"FFFFFFFFFFFFFFFF", {0xFFFFFFFF, 0xFFFFFFFF}, {0x51866FD5, 0xB85ECB8A}},
      {"3000000000000000", {0x10000000, 0x00000001}, {0x7D856F9A, 0x613063F2}},
      {"1111111111111111", {0x11111111, 0x11111111}, {0x2466DD87, 0x8B963C9D}},
      {"0123456789ABCDEF", {0x11111111, 0x11111111}, {0x61F9C380, 0x2281B096}},
      {"FEDCBA9876543210", {0x01234567, 0x89ABCDEF}, {0x0ACEAB0F, 0xC6A0A28D}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    Blowfish bf;
    bf.SetKey(HexDecode(c.key));
    uint32_t left = c.plain[0];
    uint32_t right = c.plain[1];
    bf.EncryptBlock(&left, &right);
    EXPECT_EQ(left, c.cipher[0]);
    EXPECT_EQ(right, c.cipher[1]);
  }
}

TEST(Blowfish, EncryptPadsWithZerosToWholeBlocks) {
  Blowfish bf;
  bf.SetKey(HexDecode("0000000000000000"));
  struct Case {
    size_t length;
    size_t padded;
  } cases[] = {{0, 0}, {1, 8}, {7, 8}, {8, 8}, {9, 16}, {16, 16}, {17, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    std::vector<unsigned char> out(c.padded + 4, 0xEE);
    const std::vector<unsigned char> in(c.length, 0);
    EXPECT_EQ(bf.Encrypt(in.data(), out.data(), c.length), c.padded);
    // All-zero plain text under the all-zero key: every block is the published cipher block.
    for (size_t i = 0; i < c.padded; i += 8) {
      EXPECT_EQ(HexEncode(std::string(out.begin() + i, out.begin() + i + 8)), "4ef997456198dd78");
    }
    EXPECT_EQ(out[c.padded], 0xEE) << "wrote past the padded length";
  }
}

// The shape of a statistics body: a 32-character key, a JSON text that is not a multiple of 8, the
// cipher text Base64-encoded. Expected value from an independent Blowfish-ECB implementation.
TEST(Blowfish, LongKeyInPlaceMatchesIndependentImplementation) {
  Blowfish bf;
  bf.SetKey(std::string("0123456789abcdefghijklmnopqrstuv"));
  std::string body = "{\"en\":\"event\",\"et\":\"start\"}";
  ASSERT_EQ(body.size(), 27u);
  std::string buffer = body;
  buffer.resize(Blowfish::PaddedLength(body.size()), 'x');
  auto* bytes = reinterpret_cast<unsigned char*>(&buffer[0]);
  ASSERT_EQ(bf.Encrypt(bytes, bytes, body.size()), 32u);
  EXPECT_EQ(EncodeBase64(buffer), "Veklb0MUn6MeyMZtTW/fpBJCJ4pwa/bZFgWUsJAYfy4=");

  // Separate buffers give the same text, and the input is left as it was.
  std::string separate(32, '\0');
  bf.Encrypt(reinterpret_cast<const unsigned char*>(body.data()), reinterpret_cast<unsigned char*>(&separate[0]),
             body.size());
  EXPECT_EQ(separate, buffer);
  EXPECT_EQ(body, "{\"en\":\"event\",\"et\":\"start\"}");
}

TEST(Blowfish, EncryptToBase64IsTheStatisticsBodyForm) {
  std::string out = "stale";
  EXPECT_TRUE(BlowfishEncryptToBase64("0123456789abcdefghijklmnopqrstuv", "{\"en\":\"event\",\"et\":\"start\"}", &out));
  EXPECT_EQ(out, "Veklb0MUn6MeyMZtTW/fpBJCJ4pwa/bZFgWUsJAYfy4=");
  // Nothing to encipher, or no key: a failure with no text.
  EXPECT_FALSE(BlowfishEncryptToBase64("0123456789abcdefghijklmnopqrstuv", "", &out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(BlowfishEncryptToBase64("", "text", &out));
  EXPECT_EQ(out, "");

  // A cipher scheduled once gives the same text, as often as it is used.
  const Blowfish scheduled(std::string("0123456789abcdefghijklmnopqrstuv"));
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(BlowfishEncryptToBase64(scheduled, "{\"en\":\"event\",\"et\":\"start\"}", &out));
    EXPECT_EQ(out, "Veklb0MUn6MeyMZtTW/fpBJCJ4pwa/bZFgWUsJAYfy4=");
  }
  out = "stale";
  EXPECT_FALSE(BlowfishEncryptToBase64(scheduled, "", &out));
  EXPECT_EQ(out, "");
}

TEST(Blowfish, RekeyingStartsFromTheInitialTables) {
  Blowfish once;
  once.SetKey(HexDecode("0123456789ABCDEF"));
  Blowfish twice;
  twice.SetKey(HexDecode("FEDCBA9876543210"));
  twice.SetKey(HexDecode("0123456789ABCDEF"));
  uint32_t a[2] = {0x11111111, 0x11111111};
  uint32_t b[2] = {0x11111111, 0x11111111};
  once.EncryptBlock(&a[0], &a[1]);
  twice.EncryptBlock(&b[0], &b[1]);
  EXPECT_EQ(a[0], b[0]);
  EXPECT_EQ(a[1], b[1]);

  // An empty key is no division by zero: the tables are only mixed with themselves.
  Blowfish empty;
  empty.SetKey(nullptr, 0);
  empty.SetKey(std::string());
}

}  // namespace
