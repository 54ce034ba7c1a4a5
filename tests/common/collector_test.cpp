#include "common/collector.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/data_session.h"
#include "common/registry.h"
#include "common/base/scoped_handle.h"
#include "tests/support/log_capture.h"
#include "tests/support/loopback_client.h"
#include "tests/support/registry_support.h"

namespace {

using common::Collector;
using common::DataSession;
using nlohmann::json;
using testing_support::LogCapture;
using testing_support::LoopbackServer;
using testing_support::MillisecondsSince;
using testing_support::ScopedRegistryValue;
using Clock = std::chrono::steady_clock;


// Every value of the product key that the collector reads, absent unless a test sets it, and put
// back afterwards.
class ProductKey {
 public:
  ProductKey() {
    for (const wchar_t* name : {L"DistributionID", L"InstanceID", L"ResourceDistributionID", L"UTMSource",
                                L"UTMMedium", L"UTMTerm", L"UTMContent", L"StatDebugLevel"}) {
      values_.push_back(std::make_unique<ScopedRegistryValue>(HKEY_LOCAL_MACHINE, kProductRegistryKey, name));
      values_.back()->Remove();
    }
  }
  ScopedRegistryValue& operator[](size_t i) { return *values_[i]; }
  enum { kDistribution, kInstance, kResource, kSource, kMedium, kTerm, kContent, kDebug };

 private:
  std::vector<std::unique_ptr<ScopedRegistryValue>> values_;
};

// The decoded events the server recorded; fails the test for a body that did not decode.
std::vector<json> Events(size_t at_least, DWORD timeout_ms = 10000) {
  const auto records = json::parse(LoopbackServer::WaitForEvents(at_least, timeout_ms));
  std::vector<json> events;
  for (const auto& record : records) {
    EXPECT_TRUE(record["ok"].get<bool>()) << record.dump();
    events.push_back(record["event"]);
  }
  return events;
}

class CollectorTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoopbackServer::Clear()) << "the loopback server does not answer"; }
  static std::string Url() { return LoopbackServer::Url("/collection"); }
  ProductKey product_key_;
};

TEST_F(CollectorTest, EventsCarryEveryCommonFieldOnTheWire) {
  ASSERT_TRUE(product_key_[ProductKey::kDistribution].SetString(L"dist-7"));
  ASSERT_TRUE(product_key_[ProductKey::kInstance].SetString(L"inst-\x4E2D"));
  ASSERT_TRUE(product_key_[ProductKey::kSource].SetString(L"newsletter"));
  ASSERT_TRUE(product_key_[ProductKey::kContent].SetString(L""));
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  collector.SetDefaultField("av", "1.2.3.4");
  collector.SetDefaultField("mv", "1.2.3.5");
  collector.SetDefaultField("duid", std::string(40, 'a') + "b1");
  auto session = collector.CreateSession("event", "start");
  session->SetField("first_hit", "true");
  session->SetField("note", "\xF0\x9F\x90\xAD \xE4\xB8\xAD");
  ASSERT_TRUE(session->Send());

  const auto events = Events(1);
  ASSERT_EQ(events.size(), 1u);
  const json& e = events[0];
  std::set<std::string> keys;
  for (const auto& item : e.items()) keys.insert(item.key());
  keys.erase("oskv");  // absent where the system has no display version (Wine)
  EXPECT_EQ(keys, (std::set<std::string>{"av", "cets", "cp", "ctz", "did", "dnt", "dpr", "dram", "drd", "drh",
                                         "drw", "duid", "ea", "em", "en", "et", "first_hit", "iid", "mv", "note",
                                         "osa", "osbn", "osn", "sv", "utms"}));
  EXPECT_EQ(e["en"], "event");
  EXPECT_EQ(e["et"], "start");
  EXPECT_EQ(e["sv"], "1");
  EXPECT_EQ(e["ea"], "lumavex");
  EXPECT_EQ(e["em"], "main");
  EXPECT_EQ(e["did"], "dist-7");
  EXPECT_EQ(e["iid"], "inst-\xE4\xB8\xAD");
  EXPECT_EQ(e["utms"], "newsletter");
  EXPECT_EQ(e["av"], "1.2.3.4");
  EXPECT_EQ(e["mv"], "1.2.3.5");
  EXPECT_EQ(e["duid"], std::string(40, 'a') + "b1");
  EXPECT_EQ(e["cp"], "win32");
  EXPECT_EQ(e["dnt"], "0");
  EXPECT_EQ(e["first_hit"], true);
  EXPECT_EQ(e["note"], "\xF0\x9F\x90\xAD \xE4\xB8\xAD");
  EXPECT_TRUE(e["osa"] == "x86" || e["osa"] == "x64") << e["osa"];
  EXPECT_EQ(e["osn"].get<std::string>().rfind("windows ", 0), 0u) << e["osn"];
  for (const char* number : {"osbn", "ctz", "drw", "drh", "drd", "dpr", "dram", "cets"}) {
    const std::string text = e[number].get<std::string>();
    EXPECT_NO_THROW(std::stoll(text)) << number << "=" << text;
  }
  EXPECT_GE(std::stoll(e["dram"].get<std::string>()), 1);
  EXPECT_NEAR(std::stoll(e["cets"].get<std::string>()), static_cast<long long>(std::time(nullptr)), 10);

  const auto requests = json::parse(LoopbackServer::RequestsJson());
  ASSERT_EQ(requests.size(), 1u);
  std::map<std::string, std::string> headers;
  for (const auto& h : requests[0]["headers"]) headers[h[0].get<std::string>()] = h[1].get<std::string>();
  EXPECT_EQ(headers["User-Agent"], "default 1.0");
  EXPECT_EQ(headers["Content-Type"], "application/x-www-form-urlencoded");
}

TEST_F(CollectorTest, InstallerEventsCarryElapsedTimeAndTheExtraTextInEp) {
  Collector collector;
  collector.Init(Url(), "", "");
  collector.set_add_elapsed_time(true);
  auto session = collector.CreateSession("event", "install_start");
  session->AddExtraJson("{\"step\":\"copy\",\"ok\":true}");
  session->AddExtraJson("{\"ok\":null}");
  ASSERT_TRUE(session->Send());
  const auto events = Events(1);
  ASSERT_EQ(events.size(), 1u);
  const json& ep = events[0]["ep"];
  EXPECT_EQ(ep.size(), 2u) << ep.dump();
  EXPECT_EQ(ep["step"], "copy");
  EXPECT_GE(std::stoll(ep["elapsed_time"].get<std::string>()), 0);
  EXPECT_EQ(events[0].count("ea"), 0u) << "an empty application name is left out";
}

TEST_F(CollectorTest, SendReportsWhetherTheServerAnswered200) {
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  struct Case {
    const char* answer;
    bool expected;
  };
  for (const Case& c : {Case{"{\"status\":200}", true}, Case{"{\"status\":200,\"body\":\"0123456789\",\"cut\":4}", true},
                        Case{"{\"status\":204}", false}, Case{"{\"status\":404}", false},
                        Case{"{\"status\":500}", false}}) {
    SCOPED_TRACE(c.answer);
    ASSERT_TRUE(LoopbackServer::SetResponses("/collection", std::string("[") + c.answer + "]"));
    EXPECT_EQ(collector.CreateSession("event", "exit")->Send(), c.expected);
  }
  EXPECT_EQ(Events(5).size(), 5u);

  Collector unreachable;
  unreachable.Init("http://127.0.0.1:1/collection", "lumavex", "main");
  EXPECT_FALSE(unreachable.CreateSession("event", "exit")->Send());
}

// A quitting program sends "exit" this way: a collector that answers late must not hold it (and its
// single-instance mutex) beyond the limit, while an answer inside the limit still counts.
TEST_F(CollectorTest, SendWaitsForTheAnswerAtMostFiveSeconds) {
  struct Case {
    int delay_ms;
    bool expected;
    int64_t min_ms;
  };
  // The outcome shows which came first, the answer or the limit; only lower bounds are timed.
  for (const Case& c : {Case{1500, true, 1400}, Case{6500, false, 4900}}) {
    SCOPED_TRACE(c.delay_ms);
    ASSERT_TRUE(LoopbackServer::SetResponses("/collection",
                                             "[{\"status\":200,\"delay_ms\":" + std::to_string(c.delay_ms) + "}]"));
    Collector collector;
    collector.Init(Url(), "lumavex", "main");
    const auto start = Clock::now();
    EXPECT_EQ(collector.CreateSession("event", "exit")->Send(), c.expected);
    const int64_t waited = MillisecondsSince(start);
    EXPECT_GE(waited, c.min_ms);
  }
  EXPECT_EQ(Events(2).size(), 2u);
}

TEST_F(CollectorTest, AsynSendReturnsBeforeTheAnswerAndReportsItOnTheHttpThread) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":200,\"delay_ms\":800}]"));
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  const ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<bool> outcome{false}, returned{false}, returned_before_answer{false};
  std::thread::id called_on;
  const auto start = Clock::now();
  collector.CreateSession("event", "mouse_shaked")->AsynSend(1, 1, [&](bool ok) {
    outcome = ok;
    returned_before_answer = returned.load();
    called_on = std::this_thread::get_id();
    SetEvent(done.get());
  });
  returned = true;
  ASSERT_EQ(WaitForSingleObject(done.get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(returned_before_answer);
  EXPECT_GE(MillisecondsSince(start), 700);
  EXPECT_TRUE(outcome);
  EXPECT_NE(called_on, std::this_thread::get_id());
}

TEST(CollectorRetryDelay, DoublesFromOneSecondUpTo256ThenStaysAt300) {
  const int64_t expected[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 300, 300, 300};
  for (int32_t n = 0; n < 12; ++n) EXPECT_EQ(Collector::RetryDelaySeconds(n), expected[n]) << n;
  EXPECT_EQ(Collector::RetryDelaySeconds(1000), 300);
  EXPECT_EQ(Collector::RetryDelaySeconds(INT32_MAX), 300);
}

// Runs each retry at once while noting the delay it asked for, and moves a fake clock by it.
class InstantRetries {
 public:
  explicit InstantRetries(Collector* collector) {
    collector->SetRetryTimingForTesting([this] { return now_.load(); },
                                        [this](std::function<void()> task, int64_t delay_ms) {
                                          {
                                            std::lock_guard<std::mutex> lock(mutex_);
                                            delays_ms_.push_back(delay_ms);
                                          }
                                          now_ += delay_ms / 1000;
                                          task();
                                        });
  }
  std::vector<int64_t> delays_ms() {
    std::lock_guard<std::mutex> lock(mutex_);
    return delays_ms_;
  }
  static constexpr int64_t kStart = 1700000000;

 private:
  std::atomic<int64_t> now_{kStart};
  std::mutex mutex_;
  std::vector<int64_t> delays_ms_;
};

TEST_F(CollectorTest, ReportRetriesWithGrowingDelaysUntilAnAttemptSucceeds) {
  // Eleven failures, then success.
  std::string answers = "[";
  for (int i = 0; i < 11; ++i) answers += "{\"status\":500},";
  answers += "{\"status\":200}]";
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", answers));
  Collector collector;
  InstantRetries retries(&collector);
  collector.Init(Url(), "lumavex", "service");
  collector.Report(collector.CreateSession("event", "status_healthy"));

  const auto events = Events(12, 30000);
  ASSERT_EQ(events.size(), 12u);
  Sleep(500);
  EXPECT_EQ(Events(12).size(), 12u) << "no attempt may follow a success";
  EXPECT_EQ(retries.delays_ms(),
            (std::vector<int64_t>{1000, 2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 300000, 300000}));
  int64_t spent = 0;
  for (size_t n = 0; n < events.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(events[n]["et"], "status_healthy");
    EXPECT_EQ(events[n]["retry_count"], std::to_string(n));
    EXPECT_EQ(events[n]["time_spent_trying"], std::to_string(spent));
    if (n < 11) spent += retries.delays_ms()[n] / 1000;
  }
}

// Keeps every retry the collector schedules; on request, runs those kept so far at the next one it
// schedules, on the collector's thread and in the order they came.
class HeldRetries {
 public:
  explicit HeldRetries(Collector* collector) {
    collector->SetRetryTimingForTesting([this] { return now_.load(); },
                                        [this](std::function<void()> task, int64_t) {
                                          std::vector<std::function<void()>> ready;
                                          {
                                            std::lock_guard<std::mutex> lock(mutex_);
                                            if (release_) ready.swap(held_);
                                            release_ = false;
                                            held_.push_back(std::move(task));
                                            ++scheduled_;
                                          }
                                          for (auto& retry : ready) retry();
                                        });
  }
  void ReleaseAtNextSchedule() {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
  }
  bool WaitScheduled(size_t count) {
    for (int i = 0; i < 1000; ++i) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (scheduled_ >= count) return true;
      }
      Sleep(10);
    }
    return false;
  }
  void Advance(int64_t seconds) { now_ += seconds; }

 private:
  std::atomic<int64_t> now_{1700000000};
  std::mutex mutex_;
  bool release_ = false;
  size_t scheduled_ = 0;
  std::vector<std::function<void()>> held_;
};

// With the collection endpoint out of reach, the reports kept for retrying stay within a count and an
// age; the oldest go first, and each time one log line says how many.
TEST_F(CollectorTest, PendingReportsAreBoundedByCountAndAgeOldestFirst) {
  LogCapture log;
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":500}]"));
  Collector collector;
  HeldRetries retries(&collector);
  collector.SetReportLimitsForTesting(3, 600);
  collector.Init(Url(), "lumavex", "service");
  auto report = [&](int n) { collector.Report(collector.CreateSession("event", "e" + std::to_string(n))); };
  // Each report's first attempt fails before the next begins; e0 and e1 make room for e3 and e4.
  for (int n = 0; n < 5; ++n) {
    report(n);
    ASSERT_TRUE(retries.WaitScheduled(n + 1)) << n;
  }
  ASSERT_TRUE(LoopbackServer::Clear());
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":500}]"));
  // e5 pushes e2 out; then the retries kept so far run: only those of e3 and e4 are still wanted.
  retries.ReleaseAtNextSchedule();
  report(5);
  auto events = Events(3);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0]["et"], "e5");
  EXPECT_EQ(events[0]["retry_count"], "0");
  EXPECT_EQ(events[1]["et"], "e3");
  EXPECT_EQ(events[1]["retry_count"], "1");
  EXPECT_EQ(events[2]["et"], "e4");
  EXPECT_EQ(events[2]["retry_count"], "1");
  ASSERT_TRUE(retries.WaitScheduled(8));

  // Past the age limit, e3, e4 and e5 go at once when e6 comes.
  ASSERT_TRUE(LoopbackServer::Clear());
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":500}]"));
  retries.Advance(601);
  report(6);
  events = Events(1);
  ASSERT_GE(events.size(), 1u);
  EXPECT_EQ(events[0]["et"], "e6");
  const auto warnings = log.Messages('W');
  EXPECT_EQ(warnings, (std::vector<std::string>{"statistics reports given up: 1", "statistics reports given up: 1",
                                                "statistics reports given up: 1", "statistics reports given up: 3"}));
}

TEST_F(CollectorTest, ReportWaitsOneRealSecondBeforeTheFirstRetry) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":404},{\"status\":200}]"));
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  const auto start = Clock::now();
  collector.Report(collector.CreateSession("event", "alive"));
  const auto first = Events(1);
  const int64_t first_at = MillisecondsSince(start);
  const auto both = Events(2);
  const int64_t second_at = MillisecondsSince(start);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(first[0]["retry_count"], "0");
  EXPECT_EQ(first[0]["time_spent_trying"], "0");
  EXPECT_EQ(both[1]["retry_count"], "1");
  EXPECT_GE(second_at - first_at, 800);
  EXPECT_LT(second_at, 4000);
}

TEST_F(CollectorTest, DestroyingTheCollectorWithAReportInFlightDropsItQuietly) {
  ASSERT_TRUE(LoopbackServer::SetResponses("/collection", "[{\"status\":500,\"delay_ms\":700}]"));
  {
    Collector collector;
    collector.Init(Url(), "lumavex", "main");
    collector.Report(collector.CreateSession("event", "alive"));
    ASSERT_EQ(Events(1).size(), 1u);
  }
  // The failed outcome arrives after the collector is gone and must not schedule anything.
  Sleep(2000);
  EXPECT_EQ(Events(1).size(), 1u);
}

TEST_F(CollectorTest, LoadAttributionReplacesEarlierValues) {
  ASSERT_TRUE(product_key_[ProductKey::kDistribution].SetString(L"before"));
  ASSERT_TRUE(product_key_[ProductKey::kTerm].SetString(L"term"));
  Collector collector;
  collector.Init(Url(), "", "");
  EXPECT_EQ(collector.fields().at("did"), "before");
  EXPECT_EQ(collector.fields().at("utmt"), "term");

  ASSERT_TRUE(product_key_[ProductKey::kDistribution].SetString(L"after setup"));
  ASSERT_TRUE(product_key_[ProductKey::kTerm].Remove());
  collector.LoadAttribution();
  EXPECT_EQ(collector.fields().at("did"), "after setup");
  EXPECT_EQ(collector.fields().at("utmt"), "");
}

TEST_F(CollectorTest, DefaultFieldsReplaceAndAnEmptyPdidMeansComputer) {
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  collector.SetDefaultField("pdid", "");
  collector.SetDefaultField("av", "9.9");
  collector.SetDefaultField("av", "");
  collector.SetDefaultField("ea", "other");
  EXPECT_EQ(collector.fields().at("pdid"), "computer");
  EXPECT_EQ(collector.fields().at("av"), "");
  const auto plain = json::parse(collector.CreateSession("event", "start")->BuildBody(0));
  EXPECT_EQ(plain["pdid"], "computer");
  EXPECT_EQ(plain.count("av"), 0u);
  EXPECT_EQ(plain["ea"], "other");
}

TEST_F(CollectorTest, StatDebugLevelBit0x1000LogsThePlainEvent) {
  struct Case {
    bool set;
    DWORD level;
    bool debug;
  };
  for (const Case& c : {Case{false, 0, false}, Case{true, 0x0FFF, false}, Case{true, 0x1000, true},
                        Case{true, 0xFFFFFFFF, true}}) {
    SCOPED_TRACE(c.level);
    if (c.set) {
      ASSERT_TRUE(product_key_[ProductKey::kDebug].SetDword(c.level));
    }
    LogCapture log;
    Collector collector;
    collector.Init(Url(), "lumavex", "main");
    EXPECT_EQ(collector.debug(), c.debug);
    auto session = collector.CreateSession("event", "start");
    const std::string plain = session->BuildBody(0);
    const auto messages = log.Messages();
    if (c.debug) {
      EXPECT_EQ(messages, std::vector<std::string>{"stat: " + plain});
    } else {
      EXPECT_TRUE(messages.empty());
    }
  }
}

TEST_F(CollectorTest, AnEventWithInvalidTextFailsWithoutARequest) {
  Collector collector;
  collector.Init(Url(), "lumavex", "main");
  auto session = collector.CreateSession("event", "start");
  session->SetField("bad", "\xFF\xFE");
  EXPECT_FALSE(session->Send());
  EXPECT_EQ(json::parse(LoopbackServer::RequestsJson()).size(), 0u);
}

TEST(CollectorSingleton, EveryThreadGetsTheSameInstance) {
  std::vector<Collector*> seen(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = Singleton<Collector>::GetInstance(); });
  }
  for (auto& t : threads) t.join();
  ASSERT_NE(seen[0], nullptr);
  for (Collector* c : seen) EXPECT_EQ(c, seen[0]);
  EXPECT_EQ(Singleton<Collector>::GetInstance(), seen[0]);
}

struct Counted {
  ~Counted() { ++destroyed; }
  static inline int destroyed = 0;
};

// What an unloading library relies on: the instance leaves the singleton whole, and the singleton's own
// clean-up at exit no longer reaches it.
TEST(SingletonRelease, HandsOverTheInstanceWithoutDestroyingIt) {
  EXPECT_EQ(Singleton<Counted>::Release(), nullptr);
  Counted* instance = Singleton<Counted>::GetInstance();
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(Singleton<Counted>::Release(), instance);
  EXPECT_EQ(Counted::destroyed, 0);
  EXPECT_EQ(Singleton<Counted>::GetInstance(), nullptr);
  delete instance;
  EXPECT_EQ(Counted::destroyed, 1);
}

TEST(CollectorWithoutInit, SessionsFailAtOnce) {
  Collector collector;
  const auto start = Clock::now();
  EXPECT_FALSE(collector.CreateSession("event", "start")->Send());
  // Below the five seconds that a send waits for an answer.
  EXPECT_LT(MillisecondsSince(start), 4000);
}

}  // namespace
