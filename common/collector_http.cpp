#include "common/collector_http.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdio>

#include "common/logging.h"
#include "common/text.h"

namespace {

constexpr wchar_t kDefaultAgent[] = L"default 1.0";
// With one request at a time, a collector that trickles its answer would hold back every event after it.
constexpr DWORD kRequestDeadlineMs = 60000;

struct ParsedUrl {
  bool secure = false;
  uint16_t port = 0;
  std::wstring host;
  std::wstring path;
};

bool ParseUrl(const std::string& url, ParsedUrl* out) {
  const std::wstring wide = Utf8ToUtf16(url);
  if (wide.empty()) return false;
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwUserNameLength = static_cast<DWORD>(-1);
  parts.dwPasswordLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), ICU_REJECT_USERPWD, &parts)) return false;
  // Credentials in the address are refused even where the platform lets them through.
  if (parts.dwUserNameLength != 0 || parts.dwPasswordLength != 0) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  out->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  out->port = parts.nPort;
  if (parts.lpszHostName != nullptr) out->host.assign(parts.lpszHostName, parts.dwHostNameLength);
  // The query (extra information) is not sent.
  if (parts.lpszUrlPath != nullptr) out->path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  return true;
}

}  // namespace

CollectorHttp::CollectorHttp() : worker_(L"CollectorHttpPost Task") {}

CollectorHttp::~CollectorHttp() {
  // No bookkeeping may run while the table goes away; the requests still running report to this
  // object until their tasks have waited for them, and those reports are dropped by the stopped thread.
  worker_.Stop();
  waiting_.clear();
  std::map<WinHttpTask*, Entry> running;
  running.swap(running_);
  running.clear();
}

namespace {

// Called after the last use of the client: a callback may release its last owner.
void Fail(const std::vector<CollectorHttp::Callback>& callbacks) {
  for (const auto& callback : callbacks) {
    if (callback) callback(false, 0, std::string());
  }
}

}  // namespace

void CollectorHttp::Start() { worker_.Start(); }

void CollectorHttp::Get(const std::string&, const HeaderMap&, Callback) {}

void CollectorHttp::Post(const std::string& url, const std::string& body, const HeaderMap&, Callback callback) {
  if (!worker_.IsCurrentThread()) {
    worker_.Post([this, url, body, callback] { Enqueue(Waiting{0, url, body, callback}, false); });
    return;
  }
  Enqueue(Waiting{0, url, body, std::move(callback)}, false);
}

void CollectorHttp::PostWaited(const std::string& url, const std::string& body, const HeaderMap&,
                               Callback callback) {
  worker_.Post([this, url, body, callback] { Enqueue(Waiting{0, url, body, callback}, true); });
}

void CollectorHttp::Enqueue(Waiting post, bool waited) {
  post.serial = ++next_serial_;
  if (waited) {
    const uint64_t serial = post.serial;
    worker_.PostDelayed([this, serial] { StartBeside(serial); }, kBesideAfterMs);
  }
  waiting_.push_back(std::move(post));
  std::vector<Callback> failed;
  // Half the line goes at once, so that an endpoint out of reach costs a log line per many events.
  if (waiting_.size() > kMaxWaiting) {
    while (waiting_.size() > kMaxWaiting / 2) {
      failed.push_back(std::move(waiting_.front().callback));
      waiting_.pop_front();
    }
  }
  if (!failed.empty()) LOG_WARN << "statistics requests dropped unsent: " << failed.size();
  StartNext(&failed);
  Fail(failed);
}

void CollectorHttp::StartBeside(uint64_t serial) {
  if (beside_ != nullptr || !LineRunning()) return;
  const auto it = std::find_if(waiting_.begin(), waiting_.end(),
                               [serial](const Waiting& post) { return post.serial == serial; });
  if (it == waiting_.end()) return;
  Waiting post = std::move(*it);
  waiting_.erase(it);
  std::vector<Callback> failed;
  WinHttpTask* const started = StartRequest(post);
  if (started != nullptr) {
    beside_ = started;
  } else {
    failed.push_back(std::move(post.callback));
  }
  Fail(failed);
}

void CollectorHttp::StartNext(std::vector<Callback>* failed) {
  while (!LineRunning() && !waiting_.empty()) {
    Waiting post = std::move(waiting_.front());
    waiting_.pop_front();
    if (StartRequest(post) == nullptr) failed->push_back(std::move(post.callback));
  }
}

WinHttpTask* CollectorHttp::StartRequest(const Waiting& post) {
  auto task = std::make_shared<WinHttpTask>();
  task->set_listener(this);
  ParsedUrl parsed;
  const bool url_ok = ParseUrl(post.url, &parsed);
  if (!url_ok) {
    std::fprintf(stderr, "Error in URL parsing.\n");
  } else {
    task->set_secure(parsed.secure);
    task->set_host(parsed.host);
    task->set_path(parsed.path);
    task->set_port(parsed.port);
    task->set_verb(WinHttpTask::kPost);
    task->set_deadline_ms(kRequestDeadlineMs);
  }
  task->set_body(post.body);
  WinHttpTask* const key = task.get();
  running_[key] = Entry(task, post.callback);

  if (url_ok && !parsed.host.empty() && !parsed.path.empty()) {
    if (task->agent().empty()) task->set_agent(kDefaultAgent);
    if (task->Start()) return key;
  }
  // Nothing was started, so no completion will come: the caller answers now, so that every Post ends
  // in exactly one callback and a waiting sender is released.
  running_.erase(key);
  return nullptr;
}

void CollectorHttp::OnTaskComplete(WinHttpTask* task, WinHttpTask::Status status) {
  if (status == WinHttpTask::kRunning) return;
  if (worker_.IsCurrentThread()) {
    Complete(task);
  } else {
    worker_.Post([this, task] { Complete(task); });
  }
}

void CollectorHttp::Complete(WinHttpTask* task) {
  auto it = running_.find(task);
  if (it == running_.end()) return;
  // Taken out of the table, and the next request started, before the callback runs: the callback may
  // post again, and dropping the entry may release the last owner of this client.
  Entry entry = std::move(it->second);
  running_.erase(it);
  if (task == beside_) beside_ = nullptr;
  std::vector<Callback> failed;
  StartNext(&failed);
  const bool ok = entry.first->state() == WinHttpTask::kSucceeded;
  if (entry.second) entry.second(ok, 0, ok ? entry.first->response() : std::string());
  Fail(failed);
}
