#include "common/data_session.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "common/collector_http.h"
#include "common/logging.h"
#include "tests/support/test_support.h"

namespace {

using common::DataSession;
using testing_support::ReadFileBytes;
using testing_support::SplitLines;
using testing_support::TempDir;

std::shared_ptr<DataSession> MakeSession(const DataSession::StringMap& fields,
                                         const DataSession::StringMap& ep_fields = {}) {
  return std::make_shared<DataSession>("http://127.0.0.1:1/collection", fields, ep_fields, false, false, nullptr);
}

// Collects the log lines written while it lives.
class LogCapture {
 public:
  LogCapture() { InitLogger(dir_.File(L"test.log"), "lumavex_log"); }
  ~LogCapture() { ShutdownLogger(); }
  std::vector<std::string> Lines() {
    FlushLogger();
    std::vector<std::string> texts;
    // Only the message: what follows the level tag.
    for (const auto& line : SplitLines(ReadFileBytes(dir_.File(L"test.log")))) {
      const auto at = line.find("] [I] ");
      texts.push_back(at == std::string::npos ? line : line.substr(at + 6));
    }
    return texts;
  }

 private:
  TempDir dir_;
};

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
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"merge_patch exception", "merge_patch exception"}));
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
  const auto lines = log.Lines();
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
