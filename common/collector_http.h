#pragma once

#include <cstddef>
#include <cstdint>
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
// kMaxWaiting posts wait, the oldest half fail at once. Each post ends in exactly one callback on that
// thread, whatever happens to the request.
//
// A post that its sender waits for (PostWaited: a program's last event on its way out) takes its turn
// like any other; but while the request ahead of it is still out kBesideAfterMs after it was posted, it
// goes out beside that one, so that a slow collector cannot hold the last event past its sender's wait.
// At most one such request runs beside the line.
class CollectorHttp : public WinHttpTask::Listener {
 public:
  // ok is true only for an answer with HTTP 200; code is always 0; response holds the received body
  // when ok, and is empty otherwise.
  using Callback = std::function<void(bool ok, int code, const std::string& response)>;
  using HeaderMap = std::map<std::string, std::string>;

  static constexpr size_t kMaxWaiting = 64;
  // Long enough for an answering collector to take the posts ahead in order; short next to the
  // sender's own wait.
  static constexpr int64_t kBesideAfterMs = 1000;

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
  // As Post, for a post whose sender waits for its callback.
  void PostWaited(const std::string& url, const std::string& body, const HeaderMap& headers, Callback callback);

  bool IsTaskThread() const { return worker_.IsCurrentThread(); }

 private:
  using Entry = std::pair<std::shared_ptr<WinHttpTask>, Callback>;
  struct Waiting {
    uint64_t serial;
    std::string url;
    std::string body;
    Callback callback;
  };

  // Adds a post to the line and starts what may start.
  void Enqueue(Waiting post, bool waited);
  // A waited post whose grace has passed: still in the line behind a running request, it starts
  // beside it.
  void StartBeside(uint64_t serial);
  void Complete(WinHttpTask* task);
  // Starts waiting posts until one runs in the line; the callbacks of those that could not start are
  // added to `failed`, for the caller to call once it no longer touches this object.
  void StartNext(std::vector<Callback>* failed);
  // The started request, or null when none could start.
  WinHttpTask* StartRequest(const Waiting& post);
  bool LineRunning() const { return running_.size() > (beside_ != nullptr ? 1u : 0u); }

  TaskThread worker_;
  std::map<WinHttpTask*, Entry> running_;
  std::deque<Waiting> waiting_;
  // The request running beside the line, if any; also a key of running_.
  WinHttpTask* beside_ = nullptr;
  uint64_t next_serial_ = 0;
};
