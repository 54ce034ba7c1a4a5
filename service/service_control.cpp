#include "service/service_control.h"

#include <wtsapi32.h>

#include "common/logging.h"
#include "service/service_folder.h"
#include "service/service_impl.h"
#include "service/service_names.h"

namespace {

// How long ServiceMain lets the worker thread close its window, event and COM before reporting STOPPED.
constexpr DWORD kWorkerStopWaitMs = 5000;

SERVICE_STATUS_HANDLE g_status_handle = nullptr;
SERVICE_STATUS g_status = {SERVICE_WIN32_OWN_PROCESS, 0, SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SESSIONCHANGE, 0, 0,
                           0, 0};
HANDLE g_stop_event = nullptr;

void ReportState(DWORD state) {
  g_status.dwCurrentState = state;
  if (g_status_handle != nullptr) SetServiceStatus(g_status_handle, &g_status);
}

}  // namespace

DWORD CurrentServiceState() { return g_status.dwCurrentState; }

void SetServiceStateForTesting(DWORD state) { g_status.dwCurrentState = state; }

void RunServiceMain() {
  std::wstring folder;
  if (PrepareServiceFolder(ServiceTempPath(), &folder)) {
    if (InitLogger(folder + L"\\" + kServiceLogFileName, kServiceLoggerName)) FlushLogOnEveryLine();
  }

  g_status_handle = RegisterServiceCtrlHandlerExW(kServiceName, &ServiceCtrlHandlerEx, nullptr);
  if (g_status_handle == nullptr) return;
  ReportState(SERVICE_START_PENDING);

  g_stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_stop_event == nullptr) {
    g_status.dwWin32ExitCode = GetLastError();
    ReportState(SERVICE_STOPPED);
    return;
  }

  ServiceImpl* service = ServiceImpl::GetInstance();
  if (!service->StartThread()) {
    g_status.dwWin32ExitCode = GetLastError();
    CloseHandle(g_stop_event);
    g_stop_event = nullptr;
    ReportState(SERVICE_STOPPED);
    return;
  }
  ReportState(SERVICE_RUNNING);

  WaitForSingleObject(g_stop_event, INFINITE);
  service->WaitForThread(kWorkerStopWaitMs);
  FlushLogger();
  ReportState(SERVICE_STOPPED);
}

DWORD WINAPI ServiceCtrlHandlerEx(DWORD control, DWORD event_type, LPVOID, LPVOID) {
  try {
    if (control == SERVICE_CONTROL_STOP) {
      if (g_status.dwCurrentState != SERVICE_RUNNING) return NO_ERROR;
      ReportState(SERVICE_STOP_PENDING);
      if (g_stop_event != nullptr) SetEvent(g_stop_event);
      ServiceImpl::GetInstance()->RequestStop();
    } else if (control == SERVICE_CONTROL_SESSIONCHANGE && event_type == WTS_SESSION_LOGON) {
      LOG_INFO << "WTS_SESSION_LOGON";
      LOG_INFO << "DelayCheckUpdate";
      ServiceImpl::GetInstance()->DelayCheckAfterLogon();
    }
  } catch (...) {
    // Nothing may leave the handler into the service control dispatcher.
  }
  return NO_ERROR;
}
