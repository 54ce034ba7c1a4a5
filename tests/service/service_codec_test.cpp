// The service's own codecs and version rules: MD5, Base64 decoding, Blowfish decryption, version
// comparison and the accepted shapes of offered versions and digests.
#include <gtest/gtest.h>

#include <string>

#include "common/crypto.h"
#include "service/md5.h"
#include "service/version_compare.h"

namespace {

std::string Md5HexOf(const std::string& text) {
  uint8_t digest[16];
  EXPECT_TRUE(Md5(text.data(), text.size(), digest));
  return Md5Hex(digest);
}

TEST(Md5, Rfc1321TestSuiteInUpperCase) {
  EXPECT_EQ(Md5HexOf(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Md5HexOf("a"), "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(Md5HexOf("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Md5HexOf("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(Md5HexOf("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(Md5HexOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(Md5HexOf("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57EDF4A22BE3C955AC49DA2E2107B67A");
  // Lengths around the padding boundary (55, 56, 64 bytes) take one or two final blocks.
  EXPECT_EQ(Md5HexOf(std::string(55, 'a')), "EF1772B6DFF9A122358552954AD0DF65");
  EXPECT_EQ(Md5HexOf(std::string(56, 'a')), "3B0C8AC703F828B04C6C197006D17218");
  EXPECT_EQ(Md5HexOf(std::string(64, 'a')), "014842D480B571495A4A0363793F7367");
}

TEST(Md5, NullBufferFailsWithAZeroDigest) {
  uint8_t digest[16];
  EXPECT_FALSE(Md5(nullptr, 4, digest));
  EXPECT_EQ(Md5Hex(digest), std::string(32, '0'));
}

TEST(Base64Decode, Table) {
  struct Case {
    std::string in;
    long result;
    std::string bytes;
  };
  const Case cases[] = {
      {"", 0, ""},
      {"QUJD", 3, "ABC"},
      {"QUI=", 2, "AB"},
      {"QQ==", 1, "A"},
      {"+/+/", 3, "\xfb\xff\xbf"},
      {"QUJ", -1, ""},           // not a multiple of 4
      {"QUJDQ", -1, ""},
      {"QU=D", -1, ""},          // padding inside
      {"Q===", -1, ""},
      {"QUJD\nREVG", -1, ""},    // a line break
      {"QU D", -1, ""},
      {"QUJ-", -1, ""},          // URL-safe alphabet
  };
  for (const Case& c : cases) {
    unsigned char out[16] = {};
    EXPECT_EQ(Base64Decode(c.in.data(), c.in.size(), out), c.result) << c.in;
    if (c.result > 0) {
      EXPECT_EQ(std::string(reinterpret_cast<char*>(out), c.result), c.bytes) << c.in;
    }
  }
}

TEST(Blowfish, DecryptIsTheInverseOfEncrypt) {
  const std::string key = "4f0a7c3e-91d2-4b6a-8e57-a2c93d1f6b08";
  const std::string texts[] = {"x", "12345678", "123456789", std::string(1000, 'q') + "\xe4\xb8\xad"};
  for (const std::string& text : texts) {
    std::string base64;
    ASSERT_TRUE(BlowfishEncryptToBase64(key, text, &base64));
    std::string plain;
    ASSERT_TRUE(BlowfishDecryptFromBase64(key, base64, &plain));
    EXPECT_EQ(plain, text);
  }
  // The standard test vector of Blowfish: key of eight zero bytes, zero block.
  Blowfish cipher;
  const unsigned char zero_key[8] = {};
  cipher.SetKey(zero_key, 8);
  uint32_t left = 0x4EF99745, right = 0x6198DD78;
  cipher.DecryptBlock(&left, &right);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(right, 0u);
}

TEST(Blowfish, DecryptFromBase64Edges) {
  const std::string key = "k";
  std::string plain = "untouched";
  EXPECT_FALSE(BlowfishDecryptFromBase64(key, "", &plain));
  EXPECT_EQ(plain, "");
  EXPECT_FALSE(BlowfishDecryptFromBase64(key, "abc", &plain));
  // Trailing zero bytes of the plain text are lost with the padding; all zeros leave one.
  std::string base64;
  ASSERT_TRUE(BlowfishEncryptToBase64(key, std::string("ab\0\0", 4), &base64));
  ASSERT_TRUE(BlowfishDecryptFromBase64(key, base64, &plain));
  EXPECT_EQ(plain, "ab");
  ASSERT_TRUE(BlowfishEncryptToBase64(key, std::string(3, '\0'), &base64));
  ASSERT_TRUE(BlowfishDecryptFromBase64(key, base64, &plain));
  EXPECT_EQ(plain, std::string(1, '\0'));
}

TEST(CompareVersion, SignTable) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    int sign;
  };
  const Case cases[] = {
      {L"1.10", L"1.9", 1},      {L"2", L"1.9.9", 1},       {L"1.0", L"1.0.0", -1},   {L"1.2.0", L"1.2", 1},
      {L"1..2", L"1.2", 0},      {L"1.2a", L"1.2", 0},      {L"", L"0", -1},          {L"", L"", 0},
      {L"1.2.3", L"1.2.3.0", -1}, {L" 7", L"7", 0},         {L"-1", L"0", -1},        {L"x", L"0", 0},
      // Parts far beyond 32 bits compare by sign, never by an overflowing difference.
      {L"4294967296", L"1", 1},  {L"99999999999999999999", L"1", 1}, {L"1", L"2147483648", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareVersion(c.a, c.b), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareVersion(c.b, c.a), -c.sign) << c.b << " vs " << c.a;
  }
  EXPECT_EQ(SplitString(L".1..2."), (std::vector<std::wstring>{L"1", L"2"}));
}

TEST(OfferShapes, VersionAndHashTexts) {
  for (const char* ok : {"1", "1.2", "1.2.3.4", "123456789.0", "0.0.0.0"}) EXPECT_TRUE(IsAcceptedVersionText(ok)) << ok;
  for (const char* bad : {"", ".", "1.", ".1", "1..2", "1.2.3.4.5", "1234567890", "1.a", "1 ", "-1", "1/2", "1\\2"}) {
    EXPECT_FALSE(IsAcceptedVersionText(bad)) << bad;
  }
  EXPECT_TRUE(IsAcceptedHashText(""));
  EXPECT_TRUE(IsAcceptedHashText("D41D8CD98F00B204E9800998ECF8427E"));
  EXPECT_TRUE(IsAcceptedHashText("d41d8cd98f00b204e9800998ecf8427e"));
  EXPECT_FALSE(IsAcceptedHashText("d41d8cd98f00b204e9800998ecf8427"));
  EXPECT_FALSE(IsAcceptedHashText("d41d8cd98f00b204e9800998ecf8427e0"));
  EXPECT_FALSE(IsAcceptedHashText("z41d8cd98f00b204e9800998ecf8427e"));
}

}  // namespace
