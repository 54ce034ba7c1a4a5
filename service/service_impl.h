#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/base/scoped_handle.h"
#include "common/winhttp_task.h"
#include "service/session_launcher.h"
#include "service/upgrade_protocol.h"

// The update service's one object. Its worker thread owns a hidden window whose messages and timers
// drive all the work: start-up, the upgrade check, the package download, verification and launch, the
// daily heartbeat and the poll of the setup-finish event. Everything runs on that thread; the control
// handler and the HTTP request threads only post messages to the window (and the control handler
// sets the stop event). The worker sleeps until a message, a timer or the stop arrives. A request or
// download in flight is never joined by a second one, and each has a deadline, so that one that hangs
// cannot hold back the checks after it.
class ServiceImpl : public WinHttpTask::Listener {
 public:
  enum Message : UINT {
    WM_SERVICE_RESERVED = WM_USER + 100,
    WM_SERVICE_INIT = WM_USER + 101,
    WM_SERVICE_DOWNLOAD = WM_USER + 102,
    // A request task has ended; lParam is the task.
    WM_SERVICE_TASK_DONE = WM_USER + 103,
    // A user logged on: the next check moves to two minutes from now.
    WM_SERVICE_LOGON = WM_USER + 104,
  };
  enum Timer : UINT_PTR {
    TIMER_CHECK_UPDATE = 1001,
    TIMER_HEARTBEAT = 1002,
    TIMER_CLEAR_PACKAGE = 1003,
    TIMER_SETUP_FINISH = 1004,
  };

  using TickClock = std::function<int64_t()>;

  // How long the network work may take: every request's WinHTTP timeouts, and the overall deadline of
  // the upgrade request and of the package download.
  struct RequestLimits {
    WinHttpTask::Timeouts timeouts;
    DWORD check_deadline_ms;
    DWORD download_deadline_ms;
  };
  static const RequestLimits kRequestLimits;

  // `sessions` tells where the interactive user is; it must outlive the object.
  explicit ServiceImpl(const SessionSource* sessions);
  ~ServiceImpl() override;
  ServiceImpl(const ServiceImpl&) = delete;
  ServiceImpl& operator=(const ServiceImpl&) = delete;

  // The process's instance, on the terminal services' session list.
  static ServiceImpl* GetInstance();

  // Worker thread entry; `param` is the instance.
  static DWORD WINAPI ThreadProc(LPVOID param);
  // Starts the worker thread; false when it cannot be created.
  bool StartThread();
  // Waits for the worker thread to end; false when it did not end within `timeout_ms`.
  bool WaitForThread(DWORD timeout_ms);

  // From the control handler's thread. The stop holds also when it comes before the worker's loop has
  // started.
  void RequestStop();
  void DelayCheckAfterLogon();

  // WinHttpTask::Listener, on a request thread: hands the outcome to the worker thread.
  void OnTaskComplete(WinHttpTask* task, WinHttpTask::Status status) override;

  void set_clock_for_testing(TickClock clock) { now_ticks_ = std::move(clock); }
  void set_first_check_delay_for_testing(UINT ms) { first_check_delay_ms_ = ms; }
  void set_logon_check_delay_for_testing(UINT ms) { logon_check_delay_ms_ = ms; }
  void set_setup_finish_poll_for_testing(UINT ms) { setup_finish_poll_ms_ = ms; }
  void set_request_limits_for_testing(const RequestLimits& limits) { limits_ = limits; }
  // The hidden window once the worker has made it; null before and after.
  HWND window_for_testing() const { return hwnd_; }
  // How often the worker's loop has woken up, and the worker's thread id.
  uint64_t wakeups() const { return wakeups_; }
  DWORD thread_id() const { return thread_id_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void CreateWindowAndLoop();
  void RunMessageLoop();
  bool CreateServiceWindow();
  void OnTimer(UINT_PTR id);

  void Init();
  void StartMidnightTask();
  void ReportStatusHealthy();
  void OnSetupFinish();
  void StartTimerCheck(bool first);
  void ReqSetupCfg();
  void OnReqSetupCfg();
  void DownloadSetupPackage();
  void OnDownloadSetupPackage();
  bool LaunchSetup();
  void ClearCurrentVersionSetupPackage();
  void CheckDone();

  std::atomic<HWND> hwnd_{nullptr};
  std::atomic<bool> running_{false};
  // Manual reset: set by RequestStop, cleared by StartThread.
  ScopedHandle stop_event_;
  std::atomic<uint64_t> wakeups_{0};
  int64_t online_days_ = 0;
  DWORD thread_id_ = 0;
  HANDLE thread_ = nullptr;
  std::string device_id_;
  std::shared_ptr<WinHttpTask> req_task_;
  std::shared_ptr<WinHttpTask> download_task_;
  int64_t start_time_ = 0;
  std::string module_ = kUpgradeModule;
  std::string version_;
  std::string cdn_url_;
  std::string hash_;
  std::wstring setup_path_;
  std::string product_version_;
  std::string module_version_;
  std::string did_;
  HANDLE setup_finish_event_ = nullptr;

  const SessionSource* sessions_;
  TickClock now_ticks_;
  // A check (request, then download) is under way; no timer re-arms it meanwhile.
  bool check_in_flight_ = false;
  UINT first_check_delay_ms_;
  UINT logon_check_delay_ms_;
  UINT setup_finish_poll_ms_;
  RequestLimits limits_;
};
