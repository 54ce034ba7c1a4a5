#include "service/service_impl.h"

#include <objbase.h>

#include "common/collector.h"
#include "common/data_session.h"
#include "common/device_info.h"
#include "common/endpoints.h"
#include "common/logging.h"
#include "common/registry.h"
#include "common/system_info.h"
#include "common/text.h"
#include "service/service_module.h"
#include "service/setup_finish_event.h"
#include "service/setup_package.h"
#include "service/upgrade_protocol.h"

namespace {

constexpr wchar_t kWindowClass[] = L"LumavexServiceClass";
constexpr wchar_t kWindowTitle[] = L"LumavexServiceWindow";
constexpr wchar_t kAgent[] = L"default 1.0";
constexpr wchar_t kSetupArguments[] = L"/verysilent";
constexpr UINT kClearRetryMs = 30000;
constexpr UINT kSetupFinishPollMs = 2000;
// The upgrade answer is a small JSON document; anything much longer is not one.
constexpr uint64_t kMaxAnswerBytes = 64 * 1024;

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void ReportEvent(const std::string& value, const std::map<std::string, std::string>& extra) {
  auto* collector = Singleton<common::Collector>::GetInstance();
  auto session = collector->CreateSession("event", value);
  for (const auto& field : extra) session->SetField(field.first, field.second);
  collector->Report(session);
}

}  // namespace

// A check is a small exchange; a package of up to 1 GiB gets an hour, a few megabits a second.
const ServiceImpl::RequestLimits ServiceImpl::kRequestLimits = {WinHttpTask::kDefaultTimeouts, 120000, 3600000};

ServiceImpl::ServiceImpl(const SessionSource* sessions)
    : stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      sessions_(sessions),
      now_ticks_(&SystemClockTicks),
      first_check_delay_ms_(kFirstCheckDelayMs),
      logon_check_delay_ms_(kLogonCheckDelayMs),
      setup_finish_poll_ms_(kSetupFinishPollMs),
      limits_(kRequestLimits) {}

ServiceImpl::~ServiceImpl() {
  if (thread_ != nullptr) CloseHandle(thread_);
}

ServiceImpl* ServiceImpl::GetInstance() {
  static WtsSessionSource sessions;
  static ServiceImpl instance(&sessions);
  return &instance;
}

bool ServiceImpl::StartThread() {
  if (!stop_event_.valid()) return false;
  ResetEvent(stop_event_.get());
  running_ = true;
  thread_ = CreateThread(nullptr, 0, &ServiceImpl::ThreadProc, this, 0, &thread_id_);
  return thread_ != nullptr;
}

bool ServiceImpl::WaitForThread(DWORD timeout_ms) {
  return thread_ == nullptr || WaitForSingleObject(thread_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD WINAPI ServiceImpl::ThreadProc(LPVOID param) {
  try {
    LOG_INFO << "ThreadProc";
    if (param != nullptr) static_cast<ServiceImpl*>(param)->CreateWindowAndLoop();
  } catch (...) {
    // Nothing may leave the thread's entry; the service goes on without its worker.
  }
  return 0;
}

void ServiceImpl::RequestStop() {
  running_.exchange(false);
  SetEvent(stop_event_.get());
  const HWND window = hwnd_;
  if (window != nullptr) PostMessageW(window, WM_QUIT, 0, 0);
}

void ServiceImpl::DelayCheckAfterLogon() {
  const HWND window = hwnd_;
  if (IsWindow(window)) PostMessageW(window, WM_SERVICE_LOGON, 0, 0);
}

void ServiceImpl::OnTaskComplete(WinHttpTask* task, WinHttpTask::Status status) {
  if (status == WinHttpTask::kRunning) return;
  const HWND window = hwnd_;
  if (window != nullptr) PostMessageW(window, WM_SERVICE_TASK_DONE, 0, reinterpret_cast<LPARAM>(task));
}

bool ServiceImpl::CreateServiceWindow() {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &ServiceImpl::WndProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    LOG_INFO << "Failed to register window class";
    return false;
  }
  HWND window = CreateWindowExW(0, kWindowClass, kWindowTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) {
    // Where no desktop can take a top-level window, a message-only one carries the same messages and
    // timers.
    window = CreateWindowExW(0, kWindowClass, kWindowTitle, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  if (window == nullptr) {
    const DWORD error = GetLastError();
    LOG_INFO << "Failed to create window:" << error;
    return false;
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  hwnd_ = window;
  return true;
}

void ServiceImpl::CreateWindowAndLoop() {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(com)) {
    LOG_INFO << "Failed to initialize COM";
  } else if (CreateServiceWindow()) {
    PostMessageW(hwnd_, WM_SERVICE_INIT, 0, 0);
  }

  RunMessageLoop();

  const HWND window = hwnd_.exchange(nullptr);
  if (window != nullptr) DestroyWindow(window);
  if (setup_finish_event_ != nullptr) {
    CloseHandle(setup_finish_event_);
    setup_finish_event_ = nullptr;
  }
  // A request still running is waited for (and cancelled if slow) here, on this thread: at module
  // unload, where the object itself goes, waiting for a thread would hang.
  req_task_.reset();
  download_task_.reset();
  if (SUCCEEDED(com)) CoUninitialize();
}

// Sleeps until a message, a timer or the stop arrives, then handles every message queued, in order.
// MWMO_INPUTAVAILABLE wakes the wait also for messages that arrived while the previous pass drained
// the queue. The stop event comes first when both are ready, so a stop that came before the loop
// started ends it before any work begins.
void ServiceImpl::RunMessageLoop() {
  const HANDLE stop = stop_event_.get();
  while (running_) {
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) break;
    if (woke != WAIT_OBJECT_0 + 1) {
      LOG_ERROR << "MsgWaitForMultipleObjectsEx failed, err: " << GetLastError();
      break;
    }
    ++wakeups_;
    MSG message;
    while (running_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        running_.exchange(false);
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

LRESULT CALLBACK ServiceImpl::WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<ServiceImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) {
    LOG_ERROR << "instance nullptr";
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  try {
    switch (message) {
      case WM_CLOSE:
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      case WM_TIMER:
        self->OnTimer(static_cast<UINT_PTR>(wparam));
        return 0;
      case WM_SERVICE_RESERVED:
        return 0;
      case WM_SERVICE_INIT:
        self->Init();
        return DefWindowProcW(hwnd, message, wparam, lparam);
      case WM_SERVICE_DOWNLOAD:
        self->DownloadSetupPackage();
        return 0;
      case WM_SERVICE_TASK_DONE: {
        const auto* task = reinterpret_cast<const WinHttpTask*>(lparam);
        if (task != nullptr && task == self->req_task_.get()) self->OnReqSetupCfg();
        if (task != nullptr && task == self->download_task_.get()) self->OnDownloadSetupPackage();
        return 0;
      }
      case WM_SERVICE_LOGON:
        // A check under way re-arms the timer itself when it ends.
        if (!self->check_in_flight_) SetTimer(hwnd, TIMER_CHECK_UPDATE, self->logon_check_delay_ms_, nullptr);
        return 0;
      default:
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
  } catch (...) {
    // Nothing may leave a window procedure.
    return 0;
  }
}

void ServiceImpl::OnTimer(UINT_PTR id) {
  const HWND window = hwnd_;
  switch (id) {
    case TIMER_CHECK_UPDATE:
      KillTimer(window, id);
      LOG_INFO << "CheckUpdate";
      ReqSetupCfg();
      break;
    case TIMER_HEARTBEAT:
      KillTimer(window, id);
      ReportStatusHealthy();
      break;
    case TIMER_CLEAR_PACKAGE:
      KillTimer(window, id);
      ClearCurrentVersionSetupPackage();
      break;
    case TIMER_SETUP_FINISH:
      if (setup_finish_event_ != nullptr && WaitForSingleObject(setup_finish_event_, 0) == WAIT_OBJECT_0) {
        LOG_INFO << "found setup finish!";
        OnSetupFinish();
        ResetEvent(setup_finish_event_);
      }
      break;
    default:
      break;
  }
}

void ServiceImpl::Init() {
  start_time_ = now_ticks_();
  product_version_ = GetProductVersion();
  module_version_ = GetModuleVersion();
  setup_finish_event_ = CreateSetupFinishEvent();

  std::wstring did;
  if (ReadRegStringHKLM(kProductRegistryKey, L"DistributionID", &did)) did_ = Utf16ToUtf8(did);
  GetDeviceUniqueId(&device_id_);

  auto* collector = Singleton<common::Collector>::GetInstance();
  collector->Init(common::CollectionUrl(), "lumavex", "service");
  collector->SetDefaultField("av", GetProductVersion());
  collector->SetDefaultField("mv", GetModuleVersion());
  collector->SetDefaultField("duid", device_id_);

  StartMidnightTask();
  ReportEvent("start", {});
  ReportEvent("status_healthy", {{"first_hit", "true"}, {"online_days", std::to_string(online_days_)}});
  StartTimerCheck(true);
  ClearCurrentVersionSetupPackage();
  SetTimer(hwnd_, TIMER_SETUP_FINISH, setup_finish_poll_ms_, nullptr);
}

void ServiceImpl::StartMidnightTask() {
  LOG_INFO << "StartMidnightTask";
  SetTimer(hwnd_, TIMER_HEARTBEAT, static_cast<UINT>(SecondsToNextMidnight()) * 1000u, nullptr);
}

void ServiceImpl::ReportStatusHealthy() {
  online_days_ = OnlineDays(start_time_, now_ticks_());
  ReportEvent("status_healthy", {{"first_hit", "false"}, {"online_days", std::to_string(online_days_)}});
  StartMidnightTask();
}

void ServiceImpl::OnSetupFinish() {
  product_version_ = GetProductVersion();
  LOG_INFO << " product_version_: " << product_version_;
  auto* collector = Singleton<common::Collector>::GetInstance();
  collector->SetDefaultField("av", product_version_);
  collector->LoadAttribution();
}

void ServiceImpl::StartTimerCheck(bool first) {
  LOG_INFO << " StartTimerCheck ";
  unsigned long minutes = 0;
  const bool read = ReadRegDwordHKLM(kProductRegistryKey, L"check_update_interval_min", &minutes);
  SetTimer(hwnd_, TIMER_CHECK_UPDATE, first ? first_check_delay_ms_ : CheckIntervalMs(read, minutes), nullptr);
}

void ServiceImpl::CheckDone() {
  check_in_flight_ = false;
  StartTimerCheck(false);
}

void ServiceImpl::ReqSetupCfg() {
  LOG_INFO << "ServiceImpl::ReqSetupCfg";
  if (check_in_flight_) return;
  const std::string request =
      BuildUpgradeRequestText(UpgradeRequestFacts{did_, module_, module_version_, product_version_});
  std::string body;
  if (!request.empty()) {
    LOG_INFO << "req param:" << request;
    body = BuildUpgradeFormBody(request);
  }
  if (body.empty()) {
    LOG_WARN << "ReqSetupCfg failed";
    StartTimerCheck(false);
    return;
  }

  auto task = std::make_shared<WinHttpTask>();
  task->set_listener(this);
  if (!task->CrackUrl(common::UpgradeUrl(), WinHttpTask::kPost) || task->host().empty() || task->path().empty()) {
    return;
  }
  task->set_body(body);
  task->set_max_length(kMaxAnswerBytes);
  task->set_timeouts(limits_.timeouts);
  task->set_deadline_ms(limits_.check_deadline_ms);
  if (task->agent().empty()) task->set_agent(kAgent);
  // The previous task ended before this one was made: its release waits for nothing.
  req_task_ = task;
  if (!task->Start()) {
    LOG_WARN << "ReqSetupCfg failed";
    StartTimerCheck(false);
    return;
  }
  check_in_flight_ = true;
}

void ServiceImpl::OnReqSetupCfg() {
  const WinHttpTask& task = *req_task_;
  if (task.deadline_passed()) LOG_WARN << "upgrade check abandoned at its deadline";
  UpgradeOffer offer;
  const UpgradeDecision decision = EvaluateUpgradeAnswer(task.state() == WinHttpTask::kSucceeded, task.http_status(),
                                                         task.response(), product_version_, &offer);
  if (decision != UpgradeDecision::kDownload) {
    CheckDone();
    return;
  }
  version_ = offer.version;
  cdn_url_ = offer.cdn_url;
  hash_ = offer.hash;
  setup_path_ = GetSetupPackagePath(version_);
  if (setup_path_.empty()) {
    CheckDone();
    return;
  }
  PostMessageW(hwnd_, WM_SERVICE_DOWNLOAD, 0, 0);
}

void ServiceImpl::DownloadSetupPackage() {
  LOG_INFO << "DownloadSetupPackage";
  if (auto held = VerifySetupPackage(setup_path_, version_, hash_)) {
    if (LaunchSetup()) {
      LOG_INFO << "LaunchAppIntoDifferentSession success ";
    } else {
      LOG_WARN << "launch failed!";
    }
    held.reset();
    CheckDone();
    return;
  }

  auto task = std::make_shared<WinHttpTask>();
  if (!task->CrackUrl(cdn_url_, WinHttpTask::kGet) || task->host().empty() || task->path().empty()) {
    CheckDone();
    return;
  }
  task->set_output_path(setup_path_);
  // Written only into a file of its own making, never through one left in its place.
  task->set_output_create_new(true);
  task->set_max_length(kMaxPackageBytes);
  task->set_timeouts(limits_.timeouts);
  task->set_deadline_ms(limits_.download_deadline_ms);
  task->set_listener(this);
  if (task->agent().empty()) task->set_agent(kAgent);
  download_task_ = task;
  if (!task->Start()) CheckDone();
}

void ServiceImpl::OnDownloadSetupPackage() {
  const WinHttpTask& task = *download_task_;
  LOG_WARN << "OnDownloadSetupPackage";
  if (task.state() == WinHttpTask::kSucceeded) {
    LOG_WARN << "OnDownloadSetupPackage Success, http code: " << task.http_status();
    if (auto held = VerifySetupPackage(setup_path_, version_, hash_)) {
      if (LaunchSetup()) {
        LOG_INFO << "LaunchAppIntoDifferentSession success";
      } else {
        LOG_WARN << "launch failed!";
      }
    } else {
      LOG_WARN << "VerifySetupPackage Failed ";
    }
  } else {
    LOG_WARN << "OnDownloadSetupPackage Failed, http code:" << task.http_status();
    if (task.deadline_passed()) LOG_WARN << "package download abandoned at its deadline";
    DeleteFileW(setup_path_.c_str());
  }
  CheckDone();
}

bool ServiceImpl::LaunchSetup() {
  DWORD process_id = 0;
  return LaunchAppIntoDifferentSession(*sessions_, setup_path_, kSetupArguments, FolderOf(setup_path_), &process_id);
}

void ServiceImpl::ClearCurrentVersionSetupPackage() {
  LOG_INFO << "ClearCurrentVersionSetupPackage";
  if (!ClearSetupPackage(GetSetupPackagePath(product_version_))) {
    SetTimer(hwnd_, TIMER_CLEAR_PACKAGE, kClearRetryMs, nullptr);
  }
}
