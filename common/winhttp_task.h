#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "common/base/scoped_handle.h"

// One HTTP GET or POST through WinHTTP, run on a thread of its own, with the answer received into
// memory or into a file. A task is used once. Only HTTP 200 counts as success.
//
// Every request has resolve, connect, send and receive timeouts, so that no single step waits without
// end; a deadline, when set, bounds the whole exchange, which a server that trickles its answer would
// otherwise keep open for ever.
//
// The request thread alone touches the handles and the buffer until it signals done_event() and calls
// the listener; the listener call is its last use of the task. The destructor waits for the request
// thread (cancelling the request when it takes too long), so an owner may let go of the task at any
// time, even from inside the listener.
class WinHttpTask {
 public:
  enum Status { kNotStarted = 0, kRunning = 1, kSucceeded = 2, kFailed = 3 };
  enum Verb { kGet = 0, kPost = 1 };

  // Milliseconds for each step of a request, as WinHttpSetTimeouts takes them; the receive timeout
  // also bounds the wait for the answer's headers.
  struct Timeouts {
    int resolve_ms;
    int connect_ms;
    int send_ms;
    int receive_ms;
  };
  static const Timeouts kDefaultTimeouts;

  class Listener {
   public:
    // Called on the request thread: once with kRunning as the request starts, once with the outcome.
    virtual void OnTaskComplete(WinHttpTask* task, Status status) = 0;

   protected:
    virtual ~Listener() = default;
  };

  WinHttpTask();
  ~WinHttpTask();
  WinHttpTask(const WinHttpTask&) = delete;
  WinHttpTask& operator=(const WinHttpTask&) = delete;

  // Set before Start.
  void set_listener(Listener* listener) { listener_ = listener; }
  void set_secure(bool secure) { secure_ = secure; }
  void set_verb(Verb verb) { verb_ = verb; }
  void set_port(uint16_t port) { port_ = port; }
  void set_agent(const std::wstring& agent) { agent_ = agent; }
  void set_host(const std::wstring& host) { host_ = host; }
  // The URL's path component alone; a query is not sent.
  void set_path(const std::wstring& path) { path_ = path; }
  void set_body(const std::string& body) { body_ = body; }
  // When set, the answer is written to this file instead of memory.
  void set_output_path(const std::wstring& path) { output_path_ = path; }
  // The answer file must not exist yet: a file put in its place beforehand is never written through.
  void set_output_create_new(bool create_new) { output_create_new_ = create_new; }
  // An answer longer than this many bytes fails the task (0: no limit).
  void set_max_length(uint64_t bytes) { max_length_ = bytes; }
  void set_timeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
  // The whole exchange fails once this many milliseconds have passed since Start (0: no deadline).
  void set_deadline_ms(DWORD ms) { deadline_ms_ = ms; }

  // Splits a UTF-8 URL into scheme (secure for https), host, port and path, and sets the verb. False,
  // with "Error in URL parsing." on the standard error stream for an address that does not parse, and
  // false for one with credentials or without a host. The query is not kept.
  bool CrackUrl(const std::string& url, Verb verb);

  const std::wstring& agent() const { return agent_; }
  const std::wstring& host() const { return host_; }
  const std::wstring& path() const { return path_; }
  uint16_t port() const { return port_; }
  bool secure() const { return secure_; }
  Verb verb() const { return verb_; }

  // Creates the request thread. False when it cannot be created (the task then never runs).
  bool Start();

  // Read these once the task has ended (done_event() signalled or the final listener call).
  Status state() const { return state_; }
  DWORD http_status() const { return http_status_; }
  // Whether the task was failed by its deadline.
  bool deadline_passed() const { return deadline_passed_; }
  // The answer received into memory, followed by one zero byte.
  const char* data() const { return buffer_.get(); }
  size_t length() const { return length_; }
  size_t capacity() const { return capacity_; }
  std::string response() const;

  // Manual-reset event signalled when the request has ended.
  HANDLE done_event() const { return done_event_.get(); }

 private:
  struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
  };

  static DWORD WINAPI ThreadProc(LPVOID param);
  static void CALLBACK OnDeadline(PVOID param, BOOLEAN fired);
  void Run();
  // The exchange itself; true when the answer was 200 and was taken in.
  bool Exchange();
  bool ReadBody(HINTERNET request);
  bool Append(const char* bytes, size_t count);
  // Closes whichever handles are still open; the destructor uses it to cancel a request in flight.
  void CloseHandles();

  std::mutex handle_mutex_;  // guards the three handles between the request thread and a cancel
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
  Listener* listener_ = nullptr;
  bool secure_ = false;
  Verb verb_ = kGet;
  uint16_t port_ = 0;
  std::wstring agent_;
  std::wstring host_;
  std::wstring path_;
  std::string body_;
  DWORD thread_id_ = 0;
  ScopedHandle thread_;
  ScopedHandle done_event_;
  DWORD http_status_ = 0;
  std::atomic<Status> state_{kNotStarted};
  std::atomic<bool> cancelled_{false};
  size_t growth_ = 0x100000;
  std::unique_ptr<char, FreeDeleter> buffer_;
  size_t capacity_ = 0;
  size_t length_ = 0;
  std::wstring output_path_;
  bool output_create_new_ = false;
  uint64_t max_length_ = 0;
  uint64_t received_ = 0;
  Timeouts timeouts_ = kDefaultTimeouts;
  DWORD deadline_ms_ = 0;
  std::atomic<bool> deadline_passed_{false};
};
