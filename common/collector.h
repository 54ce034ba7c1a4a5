#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "common/singleton.h"
#include "common/task_thread.h"

class CollectorHttp;

namespace common {

class DataSession;

// The process-wide statistics client (Singleton<common::Collector>). It holds the collection address,
// the common fields sent with every event, the HTTP client and its own task thread "collector_thread",
// on which the report path keeps its retries.
//
// Most events are sent once through a session. Events handed to Report are retried after each failure,
// after 1, 2, 4 ... 256 s and then every 300 s, until one attempt succeeds or the process ends. With
// the collection endpoint out of reach they would pile up for as long as the program runs: at most
// kMaxPendingReports are kept, none older than kMaxPendingAgeSeconds, and the oldest go first.
class Collector {
 public:
  using StringMap = std::map<std::string, std::string>;

  struct CollectRetryInfo {
    int64_t start_time = 0;  // seconds since 1970 when the report began
    int32_t retry_count = 0;  // attempts after the first
    int64_t time_spent = 0;  // seconds from start_time to the latest retry
    std::shared_ptr<DataSession> session;
  };

  // Seams for the tests of the retry timing: where "now" comes from (seconds since 1970) and how a
  // retry is scheduled (on collector_thread, after delay_ms).
  using SecondsClock = std::function<int64_t()>;
  using RetryScheduler = std::function<void(std::function<void()> task, int64_t delay_ms)>;

  static constexpr size_t kMaxPendingReports = 100;
  static constexpr int64_t kMaxPendingAgeSeconds = 24 * 3600;

  Collector();
  // Stops collector_thread, then releases the HTTP client; pending reports are dropped.
  virtual ~Collector();
  Collector(const Collector&) = delete;
  Collector& operator=(const Collector&) = delete;

  // Called once by each deliverable's start-up, before any event: url is the collection address,
  // app and module go into "ea" and "em".
  void Init(const std::string& url, const std::string& app, const std::string& module);
  // Stores a common field, replacing an earlier value; "pdid" with an empty value stores "computer".
  void SetDefaultField(const std::string& key, const std::string& value);
  // A new event with the common fields and "en" = key, "et" = value.
  std::shared_ptr<DataSession> CreateSession(const std::string& key, const std::string& value);
  // Sends with retries; returns at once.
  void Report(std::shared_ptr<DataSession> session);
  // Reads the installer's attribution values from the product key into the common fields.
  void LoadAttribution();

  // The installer helper's events carry "elapsed_time" in "ep".
  void set_add_elapsed_time(bool on) { add_elapsed_time_ = on; }
  bool debug() const { return debug_; }
  const StringMap& fields() const { return fields_; }

  // Seconds to wait after a failed attempt when retry_count retries were made before it:
  // 2^retry_count, at most 300.
  static int64_t RetryDelaySeconds(int32_t retry_count);

  void SetRetryTimingForTesting(SecondsClock clock, RetryScheduler scheduler);
  void SetReportLimitsForTesting(size_t max_reports, int64_t max_age_seconds);

 private:
  // Lets a report's outcome, which arrives on the HTTP client's thread and may outlive this object,
  // find the collector only while it exists.
  struct Link {
    std::mutex mutex;
    Collector* collector = nullptr;
  };

  void ScheduleRetry(std::shared_ptr<CollectRetryInfo> record, bool ok);
  void DoRetry(std::shared_ptr<CollectRetryInfo> record);
  void SendReport(const std::shared_ptr<CollectRetryInfo>& record);
  bool IsPending(const std::shared_ptr<CollectRetryInfo>& record) const;
  // Drops the reports past the age limit, then the oldest beyond the count limit, with one log line.
  void DropStaleReports();

  bool debug_ = false;
  std::shared_ptr<CollectorHttp> http_;
  StringMap fields_;
  StringMap ep_fields_;
  std::string url_;
  bool add_elapsed_time_ = false;
  std::list<std::shared_ptr<CollectRetryInfo>> pending_;  // oldest first
  size_t max_reports_ = kMaxPendingReports;
  int64_t max_age_seconds_ = kMaxPendingAgeSeconds;
  SecondsClock now_seconds_;
  RetryScheduler schedule_retry_;
  std::shared_ptr<Link> link_;
  TaskThread worker_;
};

}  // namespace common
