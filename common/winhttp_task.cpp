#include "common/winhttp_task.h"

#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>

#include "common/base/scoped_handle.h"
#include "common/text.h"

namespace {

constexpr wchar_t kFormContentType[] = L"Content-Type: application/x-www-form-urlencoded";
constexpr DWORD kChunkSize = 4096;
// How long the destructor lets a request finish on its own before cancelling it.
constexpr DWORD kFinishWaitMs = 10000;

// A step of the exchange may last no longer than the whole exchange: Wine returns from a blocked call
// (a name being resolved, above all) only when that call's own timeout runs out, however the deadline
// closes its handles. For WinHTTP, 0 and -1 mean no limit.
int StepWithin(int step_ms, DWORD deadline_ms) {
  if (deadline_ms == 0) return step_ms;
  const int deadline = static_cast<int>(std::min<DWORD>(deadline_ms, INT_MAX));
  return step_ms <= 0 || step_ms > deadline ? deadline : step_ms;
}

}  // namespace

// WinHTTP waits for ever to resolve a name by default; the others are its own defaults for connect,
// send and receive, shortened for connect.
const WinHttpTask::Timeouts WinHttpTask::kDefaultTimeouts = {15000, 15000, 30000, 30000};

WinHttpTask::WinHttpTask()
    : done_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      buffer_(static_cast<char*>(std::malloc(growth_))) {
  if (buffer_) {
    capacity_ = growth_;
    buffer_.get()[0] = 0;
  }
}

WinHttpTask::~WinHttpTask() {
  // Released from its own completion handler: the thread is on its way out and touches nothing more.
  if (thread_.valid() && GetCurrentThreadId() != thread_id_) {
    if (WaitForSingleObject(thread_.get(), kFinishWaitMs) == WAIT_TIMEOUT) {
      // Closing the handles makes the blocked WinHTTP call return; the buffer stays until then.
      cancelled_ = true;
      CloseHandles();
      WaitForSingleObject(thread_.get(), INFINITE);
    }
  }
}

bool WinHttpTask::Start() {
  if (thread_.valid()) return false;
  // Suspended until the id is stored, so that a completion handler releasing the task at once
  // already sees which thread it runs on.
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &WinHttpTask::ThreadProc, this, CREATE_SUSPENDED, &id);
  if (thread == nullptr) return false;
  thread_.reset(thread);
  thread_id_ = id;
  ResumeThread(thread);
  return true;
}

std::string WinHttpTask::response() const {
  if (!buffer_) return std::string();
  return std::string(buffer_.get(), length_);
}

DWORD WINAPI WinHttpTask::ThreadProc(LPVOID param) {
  try {
    if (param != nullptr) static_cast<WinHttpTask*>(param)->Run();
  } catch (...) {
    // A listener that throws: nothing is left to do, and nothing may leave the thread's entry.
  }
  return 0;
}

void CALLBACK WinHttpTask::OnDeadline(PVOID param, BOOLEAN) {
  auto* task = static_cast<WinHttpTask*>(param);
  task->deadline_passed_ = true;
  task->cancelled_ = true;
  // Windows returns from the blocked call at once; Wine only when that call's own timeout runs out, and
  // the read loop stops at its next chunk.
  task->CloseHandles();
}

void WinHttpTask::Run() {
  ResetEvent(done_event_.get());
  state_ = kRunning;
  if (listener_ != nullptr) listener_->OnTaskComplete(this, kRunning);

  HANDLE deadline = nullptr;
  if (deadline_ms_ != 0 &&
      !CreateTimerQueueTimer(&deadline, nullptr, &WinHttpTask::OnDeadline, this, deadline_ms_, 0,
                             WT_EXECUTEONLYONCE)) {
    deadline = nullptr;
    std::fprintf(stderr, "No deadline timer: %lu\n", GetLastError());
  }
  bool ok = false;
  try {
    ok = Exchange();
  } catch (const std::exception&) {
    // No memory for the read buffer, or a lock that failed: the request failed, and the listener
    // must still hear of it, or a sender waiting for the outcome would wait for ever.
  }
  // Waits for a deadline callback that is running: it uses the handles and the task.
  if (deadline != nullptr) DeleteTimerQueueTimer(nullptr, deadline, INVALID_HANDLE_VALUE);
  if (deadline_passed_) {
    std::fprintf(stderr, "Request abandoned at its deadline.\n");
    ok = false;
  }
  CloseHandles();

  const Status final_state = ok ? kSucceeded : kFailed;
  Listener* const listener = listener_;
  state_ = final_state;
  SetEvent(done_event_.get());
  // The last use of the task: the listener may release it.
  if (listener != nullptr) listener->OnTaskComplete(this, final_state);
}

bool WinHttpTask::Exchange() {
  // Each handle is published under the lock so that a cancel closes exactly what is open; a cancel
  // that came first closes the new handle at once.
  auto keep = [this](HINTERNET* slot, HINTERNET handle) {
    std::lock_guard<std::mutex> lock(handle_mutex_);
    if (cancelled_) {
      WinHttpCloseHandle(handle);
      return false;
    }
    *slot = handle;
    return true;
  };

  HINTERNET session = WinHttpOpen(agent_.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
  if (session == nullptr || !keep(&session_, session)) return false;
  const Timeouts steps = {StepWithin(timeouts_.resolve_ms, deadline_ms_), StepWithin(timeouts_.connect_ms, deadline_ms_),
                          StepWithin(timeouts_.send_ms, deadline_ms_), StepWithin(timeouts_.receive_ms, deadline_ms_)};
  if (!WinHttpSetTimeouts(session, steps.resolve_ms, steps.connect_ms, steps.send_ms, steps.receive_ms)) {
    std::printf("WinHttpSetTimeouts Failed: %lu\n", GetLastError());
    return false;
  }

  HINTERNET connection = WinHttpConnect(session, host_.c_str(), port_, 0);
  if (connection == nullptr) {
    std::printf("WinHttpConnect Failed: %lu\n", GetLastError());
    return false;
  }
  if (!keep(&connection_, connection)) return false;

  HINTERNET request = WinHttpOpenRequest(connection, verb_ == kPost ? L"POST" : L"GET", path_.c_str(), nullptr,
                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                         secure_ ? WINHTTP_FLAG_SECURE : 0);
  if (request == nullptr) {
    std::printf("WinHttpOpenRequest Failed: %lu\n", GetLastError());
    return false;
  }
  if (!keep(&request_, request)) return false;
  // The wait for the answer's headers has a timeout of its own, which the session's do not set.
  DWORD response_timeout = static_cast<DWORD>(steps.receive_ms);
  if (!WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response_timeout,
                        sizeof(response_timeout))) {
    std::printf("WinHttpSetOption Failed: %lu\n", GetLastError());
    return false;
  }

  BOOL sent;
  if (!body_.empty() && verb_ == kPost) {
    const DWORD size = static_cast<DWORD>(body_.size());
    sent = WinHttpSendRequest(request, kFormContentType, static_cast<DWORD>(std::wcslen(kFormContentType)),
                              const_cast<char*>(body_.data()), size, size, 0);
  } else {
    sent = WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0);
  }
  if (!sent) {
    std::printf("WinHttpSendRequest Failed: %lu\n", GetLastError());
    return false;
  }
  if (!WinHttpReceiveResponse(request, nullptr)) {
    std::printf("WinHttpReceiveResponse Failed: %lu\n", GetLastError());
    return false;
  }

  DWORD status = 0;
  DWORD status_size = sizeof(status);
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &status_size, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  http_status_ = status;
  if (status != 200) return false;
  return ReadBody(request);
}

bool WinHttpTask::ReadBody(HINTERNET request) {
  ScopedHandle file(output_path_.empty()
                        ? nullptr
                        : CreateFileW(output_path_.c_str(), GENERIC_WRITE, 0, nullptr,
                                      output_create_new_ ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
  if (!output_path_.empty() && !file.valid()) {
    std::fprintf(stderr, "Error opening file for writing.\n");
    return false;
  }

  std::unique_ptr<char[]> chunk(new char[kChunkSize]());
  // A body that ends early but cleanly (the server closed the connection) keeps what arrived: WinHTTP
  // reports that as zero bytes available, not as an error. Failures of the transfer itself, or of
  // storing it, fail the task.
  for (;;) {
    if (cancelled_) return false;
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) {
      std::printf("Error in WinHttpQueryDataAvailable.\n");
      return false;
    }
    if (available == 0) return true;

    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.get(), std::min(available, kChunkSize), &read)) {
      std::printf("Error in WinHttpReadData.\n");
      return false;
    }
    if (read == 0) return true;
    received_ += read;
    if (max_length_ != 0 && received_ > max_length_) {
      std::fprintf(stderr, "Answer longer than allowed.\n");
      return false;
    }

    if (file.valid()) {
      DWORD written = 0;
      if (!WriteFile(file.get(), chunk.get(), read, &written, nullptr) || written != read) {
        std::fprintf(stderr, "Error writing to file.\n");
        return false;
      }
    } else if (!Append(chunk.get(), read)) {
      return false;
    }
  }
}

bool WinHttpTask::Append(const char* bytes, size_t count) {
  // One byte stays free for the terminating zero.
  if (capacity_ == 0 || length_ + count > capacity_ - 1) {
    const size_t capacity = capacity_ + count + growth_;
    char* grown = static_cast<char*>(std::realloc(buffer_.get(), capacity));
    if (grown == nullptr) return false;
    buffer_.release();
    buffer_.reset(grown);
    capacity_ = capacity;
  }
  std::memcpy(buffer_.get() + length_, bytes, count);
  length_ += count;
  buffer_.get()[length_] = 0;
  return true;
}

void WinHttpTask::CloseHandles() {
  std::lock_guard<std::mutex> lock(handle_mutex_);
  for (HINTERNET* handle : {&request_, &connection_, &session_}) {
    if (*handle != nullptr) {
      WinHttpCloseHandle(*handle);
      *handle = nullptr;
    }
  }
}

bool WinHttpTask::CrackUrl(const std::string& url, Verb verb) {
  const std::wstring wide = Utf8ToUtf16(url);
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwUserNameLength = static_cast<DWORD>(-1);
  parts.dwPasswordLength = static_cast<DWORD>(-1);
  if (wide.empty() ||
      !WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), ICU_REJECT_USERPWD, &parts)) {
    std::fprintf(stderr, "Error in URL parsing.\n");
    return false;
  }
  // Credentials in the address are refused even where the platform lets them through.
  if (parts.dwUserNameLength != 0 || parts.dwPasswordLength != 0) return false;
  if (parts.nScheme == INTERNET_SCHEME_HTTP) secure_ = false;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) secure_ = true;
  if (parts.lpszHostName == nullptr || parts.dwHostNameLength == 0) return false;
  host_.assign(parts.lpszHostName, parts.dwHostNameLength);
  if (parts.lpszUrlPath != nullptr && parts.dwUrlPathLength != 0) path_.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  port_ = parts.nPort;
  verb_ = verb;
  return true;
}
