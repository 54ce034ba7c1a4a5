// The upgrade check's wire format and answer table, without a service around them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/crypto.h"
#include "service/upgrade_protocol.h"
#include "tests/support/log_capture.h"

namespace {

using testing_support::LogCapture;

std::string Encipher(const std::string& plain) {
  std::string base64;
  EXPECT_TRUE(BlowfishEncryptToBase64(kUpgradeKey, plain, &base64));
  return base64;
}

TEST(UpgradeRequest, PlainTextHasTheFourKeysInOrderAsStrings) {
  EXPECT_EQ(BuildUpgradeRequestText({"", "lumavex", "1.0.0.3", "1.0.0.3"}),
            R"({"did":"","module":"lumavex","module_version":"1.0.0.3","product_version":"1.0.0.3"})");
  EXPECT_EQ(BuildUpgradeRequestText({"D\"7", "lumavex", "", "2"}),
            R"({"did":"D\"7","module":"lumavex","module_version":"","product_version":"2"})");
  // Text that is not UTF-8 cannot be sent (and must not throw).
  EXPECT_EQ(BuildUpgradeRequestText({"\xb7\xfe", "lumavex", "1", "1"}), "");
}

// The expected bodies were computed apart from this code: Blowfish-ECB under the upgrade key with
// zero padding, standard Base64, then the escaping rule.
TEST(UpgradeRequest, FormBodyIsByteExact) {
  EXPECT_EQ(BuildUpgradeFormBody(
                R"({"did":"","module":"lumavex","module_version":"1.0.0.3","product_version":"1.0.0.3"})"),
            "data=EfvTN/mbJqSPgJz7veOQwHa8urGQT9jcQTfLxA1fGAcSJW769s9KhxjQS%2bCLnNW28usA2LwtqItOilrWPMJwavKIM5Ejjt6y"
            "VTaCKbogzIj2GWqyRI4NuA%3d%3d");
  EXPECT_EQ(BuildUpgradeFormBody(R"({"did":"D7","module":"lumavex","module_version":"2.1.0.4","product_version":""})"),
            "data=EfvTN/mbJqSoargstuRrkq/Tgs9MBTU6T2lfsmDp86zB%2bNRH7tyagFIh5fBUmdvYHY62nsLqNoNB1Nu82WiySQRTKmRW0znA"
            "towewjLFpGo%3d");
  EXPECT_EQ(BuildUpgradeFormBody(""), "");
}

TEST(UpgradeRequest, UrlEscapeKeepsItsSetAndWritesOtherBytesInLowerCaseHex) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"AZaz09!%'()*-./:_~", "AZaz09!%'()*-./:_~"},
      {"a+b=c", "a%2bb%3dc"},
      {" &?#", "%20%26%3f%23"},
      {std::string("\x00\xff\x80", 3), "%00%ff%80"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string escaped = "untouched";
    EXPECT_TRUE(UrlEscape(c.in, &escaped)) << c.in;
    EXPECT_EQ(escaped, c.out) << c.in;
  }
}

TEST(UpgradeRequest, UrlEscapeFailsBeyondTheLengthOfAUrl) {
  std::string escaped;
  EXPECT_TRUE(UrlEscape(std::string(2083, 'a'), &escaped));
  EXPECT_EQ(escaped.size(), 2083u);
  EXPECT_FALSE(UrlEscape(std::string(2084, 'a'), &escaped));
  // 694 escaped bytes are 2082 characters; one more byte of either kind passes the limit.
  EXPECT_TRUE(UrlEscape(std::string(694, '+') + "a", &escaped));
  EXPECT_FALSE(UrlEscape(std::string(695, '+'), &escaped));
}

TEST(UpgradeAnswer, DecipherCrossCheckedAnswer) {
  // Enciphered apart from this code.
  UpgradeOffer offer;
  LogCapture log;
  ASSERT_TRUE(ParseUpgradeAnswer("gBKgOU6GUrgQrpByc2rs/biJ6PDTBMUAPlBB6U1Iima6ZfI1zciQE/uDyosLy0ovUiHl8FSZ29iFpBm81v9ZQcT"
                                 "gmLSURVQVXdapgNtNiHQ=",
                                 &offer));
  EXPECT_EQ(offer.cdn_url, "http://x/a.exe");
  EXPECT_EQ(offer.version, "1.2.0");
  EXPECT_EQ(offer.hash, "");
  EXPECT_EQ(log.Messages('I'), std::vector<std::string>{
                                   R"(RequestSetupCfg: {"errno":0,"data":{"cdn_url":"http://x/a.exe","version":"1.2.0","hash":""}})"});
}

// Every answer that is no usable offer leaves the stored offer as it was.
TEST(UpgradeAnswer, ParseTable) {
  const std::string hash = "0123456789abcdefABCDEF0123456789";
  struct Case {
    const char* name;
    std::string plain;
    bool ok;
  };
  const Case cases[] = {
      {"errno 0", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1.2.0","hash":")" + hash + R"("}})", true},
      {"errno false", R"({"errno":false,"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", true},
      {"errno 0.0", R"({"errno":0.0,"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", true},
      {"errno 1", R"({"errno":1,"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", false},
      {"errno true", R"({"errno":true,"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", false},
      {"errno 2^32", R"({"errno":4294967296,"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", false},
      {"errno text", R"({"errno":"0","data":{"cdn_url":"http://h/p","version":"1","hash":""}})", false},
      {"errno missing", R"({"data":{"cdn_url":"http://h/p","version":"1","hash":""}})", false},
      {"not an object", R"([0])", false},
      {"not JSON", R"({"errno":0,)", false},
      {"data missing", R"({"errno":0})", false},
      {"data not an object", R"({"errno":0,"data":"x"})", false},
      {"cdn_url empty", R"({"errno":0,"data":{"cdn_url":"","version":"1","hash":""}})", false},
      {"version empty", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"","hash":""}})", false},
      {"version a number", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":1,"hash":""}})", false},
      {"hash missing", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1"}})", false},
      {"hash null", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1","hash":null}})", false},
      {"version with letters", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1.2a","hash":""}})", false},
      {"version with a path", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"..\\..\\x","hash":""}})", false},
      {"version of five parts", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1.2.3.4.5","hash":""}})", false},
      {"version part of ten digits", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1234567890","hash":""}})", false},
      {"hash of 31 digits", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1","hash":")" + hash.substr(1) + R"("}})", false},
      {"hash not hex", R"({"errno":0,"data":{"cdn_url":"http://h/p","version":"1","hash":")" + std::string(32, 'g') + R"("}})", false},
  };
  for (const Case& c : cases) {
    UpgradeOffer offer{"kept", "kept", "kept"};
    LogCapture log;
    EXPECT_EQ(ParseUpgradeAnswer(Encipher(c.plain), &offer), c.ok) << c.name;
    if (!c.ok) {
      EXPECT_EQ(offer.cdn_url, "kept") << c.name;
      EXPECT_EQ(offer.version, "kept") << c.name;
      EXPECT_EQ(offer.hash, "kept") << c.name;
    }
    EXPECT_EQ(log.Messages('I'), std::vector<std::string>{"RequestSetupCfg: " + c.plain}) << c.name;
  }
}

TEST(UpgradeAnswer, BodiesThatDoNotDecipher) {
  const std::string bodies[] = {"abc", "not base64!!", "QUJD\nREVG", std::string(8, '='), ""};
  for (const std::string& body : bodies) {
    UpgradeOffer offer;
    LogCapture log;
    EXPECT_FALSE(ParseUpgradeAnswer(body, &offer)) << body;
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"http_post Decrypt_Base64_Blowfish failed"}) << body;
  }
}

TEST(UpgradeAnswer, DecisionTableWithItsLogLines) {
  const std::string newer = Encipher(
      R"({"errno":0,"data":{"cdn_url":"http://h/s.exe","version":"1.2.0","hash":"0123456789abcdefABCDEF0123456789"}})");
  const std::string newer_without_hash =
      Encipher(R"({"errno":0,"data":{"cdn_url":"http://h/s.exe","version":"1.2.0","hash":""}})");
  const std::string long_garbage(5000, 'Q');
  const std::string same = Encipher(R"({"errno":0,"data":{"cdn_url":"http://h/s.exe","version":"1.2","hash":""}})");
  const std::string refused = Encipher(R"({"errno":3})");
  struct Case {
    const char* name;
    bool succeeded;
    unsigned long status;
    std::string body;
    std::string installed;
    UpgradeDecision decision;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"transport failure", false, 0, "", "1.2", UpgradeDecision::kCheckLater,
       {"http post failed, curl_code:0 http code : 0 err_msg : "}},
      {"HTTP 500", false, 500, "x", "1.2", UpgradeDecision::kCheckLater,
       {"http post failed, curl_code:0 http code : 500 err_msg : "}},
      {"empty 200", true, 200, "", "1.2", UpgradeDecision::kCheckLater,
       {"http post failed, curl_code:0 http code : 200 err_msg : "}},
      {"undecodable", true, 200, "%%%%", "1.2", UpgradeDecision::kCheckLater, {"parse udpate cfg failed: %%%%"}},
      {"errno", true, 200, refused, "1.2", UpgradeDecision::kCheckLater, {"parse udpate cfg failed: " + refused}},
      // Anything received is logged by its start only.
      {"long garbage", true, 200, long_garbage, "1.2", UpgradeDecision::kCheckLater,
       {"parse udpate cfg failed: " + std::string(256, 'Q') + "... (5000 bytes)"}},
      // A package that cannot be verified is never fetched.
      {"newer without a hash", true, 200, newer_without_hash, "1.2", UpgradeDecision::kCheckLater,
       {"offer refused, no package hash: 1.2.0"}},
      {"same version", true, 200, same, "1.2", UpgradeDecision::kCheckLater, {" no need update "}},
      {"older version", true, 200, same, "1.10", UpgradeDecision::kCheckLater, {" no need update "}},
      {"more parts win", true, 200, newer, "1.2", UpgradeDecision::kDownload, {}},
      {"nothing installed", true, 200, newer, "", UpgradeDecision::kDownload, {}},
  };
  for (const Case& c : cases) {
    UpgradeOffer offer;
    LogCapture log;
    EXPECT_EQ(EvaluateUpgradeAnswer(c.succeeded, c.status, c.body, c.installed, &offer), c.decision) << c.name;
    EXPECT_EQ(log.Messages('W'), c.warnings) << c.name;
    if (c.decision == UpgradeDecision::kDownload) {
      EXPECT_EQ(offer.cdn_url, "http://h/s.exe");
      EXPECT_EQ(offer.version, "1.2.0");
    } else {
      EXPECT_EQ(offer.version, "") << c.name;
    }
  }
}

TEST(UpgradeAnswer, LoggedPrefixShowsTheStartOfWhatCameReadably) {
  EXPECT_EQ(LoggedPrefix(""), "");
  EXPECT_EQ(LoggedPrefix("{\"errno\":1}"), "{\"errno\":1}");
  EXPECT_EQ(LoggedPrefix(std::string("a\0\r\n\\\xff", 6)), "a\\x00\\x0d\\x0a\\\\xff");
  EXPECT_EQ(LoggedPrefix(std::string(256, 'x')), std::string(256, 'x'));
  EXPECT_EQ(LoggedPrefix(std::string(257, 'x')), std::string(256, 'x') + "... (257 bytes)");
  // A line of escapes stays short too.
  EXPECT_EQ(LoggedPrefix(std::string(100000, '\x01')).size(), 256u * 4 + std::string("... (100000 bytes)").size());
}

TEST(UpgradeCheck, IntervalFromTheRegistryValue) {
  EXPECT_EQ(CheckIntervalMs(false, 5), 21600000u);
  EXPECT_EQ(CheckIntervalMs(true, 0), 21600000u);
  EXPECT_EQ(CheckIntervalMs(true, 1), 60000u);
  EXPECT_EQ(CheckIntervalMs(true, 360), 21600000u);
  // 71583 minutes wrap a 32-bit product to about 12.7 s; the interval is held at the timer's maximum.
  EXPECT_EQ(CheckIntervalMs(true, 71583), 0x7FFFFFFFu);
  EXPECT_EQ(CheckIntervalMs(true, 0xFFFFFFFFul), 0x7FFFFFFFu);
  EXPECT_EQ(CheckIntervalMs(true, 35791), 35791u * 60000u);
}

}  // namespace
