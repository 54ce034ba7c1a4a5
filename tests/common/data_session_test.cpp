#include "common/data_session.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "common/collector_http.h"
#include "common/crypto.h"
#include "common/logging.h"
#include "tests/support/log_capture.h"

namespace {

using common::DataSession;
using testing_support::LogCapture;

std::shared_ptr<DataSession> MakeSession(const DataSession::StringMap& fields,
                                         const DataSession::StringMap& ep_fields = {}) {
  return std::make_shared<DataSession>("http://127.0.0.1:1/collection", fields, ep_fields, false, false, nullptr);
}

// The key the collection endpoint deciphers with.
const std::string kCollectorKey = "Qm7Tz2Lp9Xc4Vb8Nw1Rk6Hd3Js5Fg0Ya";

// The enciphered body as a fresh key schedule for the collector key makes it.
std::string FreshlyEncipheredBody(const std::string& plain) {
  std::string data;
  BlowfishEncryptToBase64(kCollectorKey, plain, &data);
  return "{\"data\":\"" + data + "\",\"enc\":\"1\"}";
}

// First in this program on purpose: its threads race to make the process's one key schedule.
TEST(DataSessionCipher, ThreadsEncipheringAtOnceAllGetTheBytesOfAFreshSchedule) {
  const DataSession::StringMap fields = {{"en", "event"}, {"et", "mouse_shaked"}, {"ea", "lumavex"},
                                         {"duid", "0535ae45862d2434bed543d4c87f9f795668051a49"}};
  const std::string expected = FreshlyEncipheredBody(MakeSession(fields)->BuildBody(0));
  constexpr int kThreads = 4;
  constexpr int kBodies = 200;
  std::atomic<bool> go{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      auto session = MakeSession(fields);
      while (!go) std::this_thread::yield();
      for (int i = 0; i < kBodies; ++i) {
        if (session->BuildBody(1) != expected) ++wrong;
      }
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

TEST(DataSessionCipher, SharedScheduleGivesTheBytesOfAFreshOne) {
  // A known text, enciphered by an independent Blowfish-ECB implementation under the collector key.
  EXPECT_EQ(MakeSession({{"en", "event"}, {"et", "start"}})->BuildBody(1),
            "{\"data\":\"T9sOKpCSxK9vAbtl8AAHpr3S2Cvqx5Gia+ycPxZdMqk=\",\"enc\":\"1\"}");
  // Plain texts of every padding remainder and of several blocks ({"v":"..."} is 8 bytes plus the value).
  for (size_t length : {0u, 1u, 5u, 7u, 8u, 13u, 100u, 1000u}) {
    SCOPED_TRACE(length);
    std::string value;
    for (size_t i = 0; i < length; ++i) value += static_cast<char>('a' + i % 26);
    auto session = MakeSession({{"v", value}});
    EXPECT_EQ(session->BuildBody(1), FreshlyEncipheredBody(session->BuildBody(0)));
  }
}

TEST(DataSessionBody, FieldsBecomeSortedMembersWithExactBooleansAndEmptyValuesLeftOut) {
  auto session = MakeSession({{"f", "text"},
                              {"a", "true"},
                              {"b", "false"},
                              {"c", "True"},
                              {"d", "1"},
                              {"e", ""},
                              {"g", "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80"},
                              {"h", "quote\" backslash\\ tab\t"}});
  EXPECT_EQ(session->BuildBody(0),
            "{\"a\":true,\"b\":false,\"c\":\"True\",\"d\":\"1\",\"f\":\"text\","
            "\"g\":\"\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80\",\"h\":\"quote\\\" backslash\\\\ tab\\t\"}");
}

TEST(DataSessionBody, EpIsBuiltFromItsFieldsAndMergedWithEachExtraText) {
  struct Case {
    const char* name;
    DataSession::StringMap ep_fields;
    std::vector<std::string> extras;
    const char* expected;
  };
  const std::string deep = std::string(5000, '[') + std::string(5000, ']');
  const Case cases[] = {
      {"nothing", {}, {}, "{\"en\":\"event\"}"},
      {"one member", {}, {"{\"a\":1}"}, "{\"en\":\"event\",\"ep\":{\"a\":1}}"},
      {"null removes", {}, {"{\"a\":1}", "{\"a\":null}"}, "{\"en\":\"event\",\"ep\":{}}"},
      {"fields then patch", {{"k", "v"}, {"t", "true"}}, {"{\"n\":{\"x\":[1,2]}}"},
       "{\"en\":\"event\",\"ep\":{\"k\":\"v\",\"n\":{\"x\":[1,2]},\"t\":true}}"},
      {"non-object replaces", {{"k", "v"}}, {"5"}, "{\"en\":\"event\",\"ep\":5}"},
      {"hostile texts skipped",
       {{"k", "v"}},
       {"not json", "{\"a\":1", "{\"a\":1} trailing", "{\"bad\":\"\xFF\"}", deep, "{\"ok\":1}"},
       "{\"en\":\"event\",\"ep\":{\"k\":\"v\",\"ok\":1}}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto session = MakeSession({{"en", "event"}}, c.ep_fields);
    for (const auto& extra : c.extras) session->AddExtraJson(extra);
    EXPECT_EQ(session->BuildBody(0), c.expected);
  }
}

TEST(DataSessionBody, HostileExtraTextsAreSkippedWithTheirLogLine) {
  LogCapture log;
  auto session = MakeSession({{"en", "event"}});
  session->AddExtraJson("{oops");
  session->AddExtraJson(std::string(100000, '{'));
  session->AddExtraJson("{\"a\":2}");
  EXPECT_EQ(session->BuildBody(0), "{\"en\":\"event\",\"ep\":{\"a\":2}}");
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"merge_patch exception", "merge_patch exception"}));
}

TEST(DataSessionBody, EncipheredBodyHasDataThenEncAndPadsToWholeBlocks) {
  // The plain text {"":"x...x"} is 7 bytes plus the value.
  struct Case {
    size_t value_length;
    size_t cipher_bytes;
  };
  for (const Case& c : {Case{1, 8}, Case{2, 16}, Case{9, 16}, Case{10, 24}}) {
    SCOPED_TRACE(c.value_length);
    auto session = MakeSession({{"", std::string(c.value_length, 'x')}});
    const std::string body = session->BuildBody(1);
    const auto parsed = nlohmann::json::parse(body);
    ASSERT_EQ(parsed.size(), 2u);
    ASSERT_EQ(body.rfind("{\"data\":\"", 0), 0u) << body;
    EXPECT_EQ(body.substr(body.size() - 12), "\",\"enc\":\"1\"}");
    EXPECT_EQ(parsed["data"].get<std::string>().size(), (c.cipher_bytes + 2) / 3 * 4);
  }
}

TEST(DataSessionBody, AnEventThatCannotBeEncodedIsLoggedAndNeverSent) {
  LogCapture log;
  auto session = MakeSession({{"en", "event"}, {"bad", "\xC3\x28"}});
  EXPECT_EQ(session->BuildBody(0), "");
  EXPECT_EQ(session->BuildBody(1), "{\"data\":\"\",\"enc\":\"1\"}");
  const auto lines = log.Messages();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("json_dump Type error: ", 0), 0u) << lines[0];

  // With an HTTP client present the send still fails at once, without a request.
  auto http = std::make_shared<CollectorHttp>();
  auto with_client = std::make_shared<DataSession>("http://127.0.0.1:1/collection", session->fields(),
                                                   DataSession::StringMap(), false, false, http);
  int calls = 0;
  bool outcome = true;
  with_client->AsynSend(1, 1, [&](bool ok) {
    ++calls;
    outcome = ok;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(outcome);
}

TEST(DataSessionSend, WithoutAnHttpClientFailsAtOnceOnTheCallersThread) {
  auto session = MakeSession({{"en", "event"}});
  std::thread::id called_on;
  int calls = 0;
  session->AsynSend(1, 1, [&](bool ok) {
    ++calls;
    EXPECT_FALSE(ok);
    called_on = std::this_thread::get_id();
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(called_on, std::this_thread::get_id());
  EXPECT_FALSE(session->Send());
  // Each send stamps the event.
  const long long cets = std::stoll(session->fields().at("cets"));
  EXPECT_NEAR(cets, static_cast<long long>(std::time(nullptr)), 5);
}

TEST(DataSessionSend, ElapsedTimeGoesIntoEpOnlyWhenSwitchedOn) {
  for (bool on : {false, true}) {
    auto session =
        std::make_shared<DataSession>("", DataSession::StringMap{{"en", "e"}}, DataSession::StringMap(), on, false, nullptr);
    session->AsynSend(1, 1, nullptr);
    EXPECT_EQ(session->ep_fields().count("elapsed_time"), on ? 1u : 0u);
    if (on) {
      EXPECT_GE(std::stoll(session->ep_fields().at("elapsed_time")), 0);
    }
  }
}

}  // namespace
