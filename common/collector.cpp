#include "common/collector.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "common/collector_http.h"
#include "common/data_session.h"
#include "common/logging.h"
#include "common/registry.h"
#include "common/scoped_reg_key.h"
#include "common/system_info.h"
#include "common/text.h"

namespace common {

namespace {

constexpr int64_t kMaxRetryDelaySeconds = 300;
constexpr DWORD kStatDebugBit = 0x1000;

// Registry value names of the installer's attribution, with the field each one fills.
constexpr struct {
  const char* key;
  const wchar_t* value_name;
} kAttribution[] = {
    {"did", L"DistributionID"}, {"iid", L"InstanceID"}, {"rdid", L"ResourceDistributionID"},
    {"utms", L"UTMSource"},     {"utmm", L"UTMMedium"}, {"utmt", L"UTMTerm"},
    {"utmcont", L"UTMContent"},
};

bool ReadStatDebugLevel(DWORD* level) {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LONG result =
      RegQueryValueExW(key.get(), L"StatDebugLevel", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  if (result != ERROR_SUCCESS || size != sizeof(value)) return false;
  *level = value;
  return true;
}

void InsertIfMissing(Collector::StringMap* fields, const std::string& key, const std::string& value) {
  fields->emplace(key, value);
}

}  // namespace

Collector::Collector()
    : now_seconds_([] { return static_cast<int64_t>(std::time(nullptr)); }),
      schedule_retry_([this](std::function<void()> task, int64_t delay_ms) {
        worker_.PostDelayed(std::move(task), delay_ms);
      }),
      link_(std::make_shared<Link>()),
      worker_(L"collector_thread") {
  link_->collector = this;
}

Collector::~Collector() {
  {
    std::lock_guard<std::mutex> lock(link_->mutex);
    link_->collector = nullptr;
  }
  worker_.Stop();
  http_.reset();
}

void Collector::Init(const std::string& url, const std::string& app, const std::string& module) {
  auto http = std::make_shared<CollectorHttp>();
  http->Start();
  http_ = std::move(http);
  url_ = url;

  InsertIfMissing(&fields_, "sv", "1");
  InsertIfMissing(&fields_, "ea", app);
  InsertIfMissing(&fields_, "em", module);
  LoadAttribution();
  CollectSystemFields(&fields_);
  CollectDisplayFields(&fields_);
  InsertIfMissing(&fields_, "dnt", "0");
  InsertIfMissing(&fields_, "dram", InstalledMemoryGiB());

  DWORD level = 0;
  if (ReadStatDebugLevel(&level) && (level & kStatDebugBit) != 0) debug_ = true;

  worker_.Start();
}

void Collector::SetDefaultField(const std::string& key, const std::string& value) {
  fields_[key] = (key == "pdid" && value.empty()) ? std::string("computer") : value;
}

std::shared_ptr<DataSession> Collector::CreateSession(const std::string& key, const std::string& value) {
  auto session = std::make_shared<DataSession>(url_, fields_, ep_fields_, add_elapsed_time_, debug_, http_);
  session->SetField("en", key);
  session->SetField("et", value);
  return session;
}

void Collector::LoadAttribution() {
  // Assigned, not inserted: reading them again after setup has written them must take effect.
  for (const auto& entry : kAttribution) {
    std::wstring text;
    fields_[entry.key] = ReadRegStringHKLM(kProductRegistryKey, entry.value_name, &text) ? Utf16ToUtf8(text)
                                                                                         : std::string();
  }
}

int64_t Collector::RetryDelaySeconds(int32_t retry_count) {
  if (retry_count < 0) return 1;
  // Beyond 2^9 the cap applies; the guard keeps pow away from huge exponents.
  if (retry_count > 30) return kMaxRetryDelaySeconds;
  const auto delay = static_cast<int64_t>(std::pow(2.0, retry_count));
  return delay < kMaxRetryDelaySeconds ? delay : kMaxRetryDelaySeconds;
}

void Collector::SetRetryTimingForTesting(SecondsClock clock, RetryScheduler scheduler) {
  now_seconds_ = std::move(clock);
  schedule_retry_ = std::move(scheduler);
}

void Collector::SetReportLimitsForTesting(size_t max_reports, int64_t max_age_seconds) {
  max_reports_ = max_reports;
  max_age_seconds_ = max_age_seconds;
}

void Collector::Report(std::shared_ptr<DataSession> session) {
  if (!worker_.IsCurrentThread()) {
    worker_.Post([this, session] { Report(session); });
    return;
  }
  if (!session) return;
  auto record = std::make_shared<CollectRetryInfo>();
  record->start_time = now_seconds_();
  record->session = std::move(session);
  pending_.push_back(record);
  DropStaleReports();
  SendReport(record);
}

bool Collector::IsPending(const std::shared_ptr<CollectRetryInfo>& record) const {
  return std::find(pending_.begin(), pending_.end(), record) != pending_.end();
}

void Collector::DropStaleReports() {
  const int64_t now = now_seconds_();
  const size_t before = pending_.size();
  const int64_t max_age = max_age_seconds_;
  pending_.remove_if([now, max_age](const std::shared_ptr<CollectRetryInfo>& record) {
    return now - record->start_time > max_age;
  });
  while (pending_.size() > max_reports_) pending_.pop_front();
  const size_t dropped = before - pending_.size();
  if (dropped != 0) LOG_WARN << "statistics reports given up: " << dropped;
}

void Collector::SendReport(const std::shared_ptr<CollectRetryInfo>& record) {
  record->session->SetField("retry_count", std::to_string(record->retry_count));
  record->session->SetField("time_spent_trying", std::to_string(record->time_spent));
  std::shared_ptr<Link> link = link_;
  record->session->AsynSend(1, 1, [link, record](bool ok) {
    // Always queued, also when the outcome comes at once on collector_thread itself: the lock is
    // held only for the hand-over.
    std::lock_guard<std::mutex> lock(link->mutex);
    Collector* const collector = link->collector;
    if (collector != nullptr) collector->worker_.Post([collector, record, ok] { collector->ScheduleRetry(record, ok); });
  });
}

void Collector::ScheduleRetry(std::shared_ptr<CollectRetryInfo> record, bool ok) {
  if (!worker_.IsCurrentThread()) {
    worker_.Post([this, record, ok] { ScheduleRetry(record, ok); });
    return;
  }
  if (ok) {
    pending_.remove(record);
    return;
  }
  // Given up while its attempt was under way.
  if (!IsPending(record)) return;
  const int64_t delay = RetryDelaySeconds(record->retry_count);
  schedule_retry_([this, record] { DoRetry(record); }, delay * 1000);
}

void Collector::DoRetry(std::shared_ptr<CollectRetryInfo> record) {
  DropStaleReports();
  if (!IsPending(record)) return;
  record->retry_count += 1;
  record->time_spent = now_seconds_() - record->start_time;
  SendReport(record);
}

}  // namespace common
