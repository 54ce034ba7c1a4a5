#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/task_thread.h"
#include "common/winhttp_task.h"

// The statistics client's poster. Every request runs as a WinHttpTask; all bookkeeping (the table of
// running requests and the line of posts waiting for their turn) lives on the client's own task thread
// "CollectorHttpPost Task". One request runs at a time, in the order of the posts, so that a collector
// that answers slowly or not at all costs one request thread rather than one per event; when more than
// kMaxWaiting posts wait, the oldest half fail at once. Each Post ends in exactly one callback on that
// thread, whatever happens to the request.
class CollectorHttp : public WinHttpTask::Listener {
 public:
  // ok is true only for an answer with HTTP 200; code is always 0; response holds the received body
  // when ok, and is empty otherwise.
  using Callback = std::function<void(bool ok, int code, const std::string& response)>;
  using HeaderMap = std::map<std::string, std::string>;

  static constexpr size_t kMaxWaiting = 64;

  CollectorHttp();
  // Stops the task thread, then waits for the requests still running; their callbacks are dropped.
  ~CollectorHttp() override;
  CollectorHttp(const CollectorHttp&) = delete;
  CollectorHttp& operator=(const CollectorHttp&) = delete;

  // Starts the task thread.
  void Start();

  void OnTaskComplete(WinHttpTask* task, WinHttpTask::Status status) override;
  // Does nothing: no part of the product fetches statistics. The callback is never called.
  virtual void Get(const std::string& url, const HeaderMap& headers, Callback callback);
  // Posts body to url (UTF-8) and returns at once. The header map is accepted and not used.
  virtual void Post(const std::string& url, const std::string& body, const HeaderMap& headers, Callback callback);

  bool IsTaskThread() const { return worker_.IsCurrentThread(); }

 private:
  using Entry = std::pair<std::shared_ptr<WinHttpTask>, Callback>;
  struct Waiting {
    std::string url;
    std::string body;
    Callback callback;
  };

  void Complete(WinHttpTask* task);
  // Starts waiting posts until one runs; the callbacks of those that could not start are added to
  // `failed`, for the caller to call once it no longer touches this object.
  void StartNext(std::vector<Callback>* failed);
  bool StartRequest(const Waiting& post);

  TaskThread worker_;
  std::map<WinHttpTask*, Entry> running_;
  std::deque<Waiting> waiting_;
};
